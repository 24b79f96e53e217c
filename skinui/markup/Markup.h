#pragma once
// CMarkup: the engine's small XML reader. It copies a document into its own
// UTF-16 text, parses it in place (names and values are terminated where they
// lie) and keeps a table of elements that refer to the text by offsets.
//
// Understood: elements, double-quoted attributes, an element's text before
// its first child, &amp; &lt; &gt; &quot; &apos;, processing instructions and
// comments. Every failure leaves the object empty with a message and the text
// where it was found.

#include "skinui/markup/MarkupNode.h"

#include <windows.h>

namespace SkinUI {

enum
{
    XMLFILE_ENCODING_UTF8 = 0,
    XMLFILE_ENCODING_UNICODE = 1,
    XMLFILE_ENCODING_ANSI = 2,
};

class CMarkup
{
    friend class CMarkupNode;

public:
    CMarkup(LPCTSTR pstrXML = nullptr);
    CMarkup(const CMarkup&) = delete;
    CMarkup& operator=(const CMarkup&) = delete;
    ~CMarkup();

    bool Load(LPCTSTR pstrXML);
    // pByte may be modified: big-endian UTF-16 is byte-swapped in place.
    bool LoadFromMem(BYTE* pByte, DWORD dwSize, int encoding = XMLFILE_ENCODING_UTF8);
    // The name is relative to the resource folder: a loose file there, or an
    // entry of the skin package when one is set (kept open or opened for
    // this load). Files above MAX_FILE_SIZE are refused before they are read.
    bool LoadFromFile(LPCTSTR pstrFilename, int encoding = XMLFILE_ENCODING_UTF8);
    void Release();
    bool IsValid() const;

    void SetPreserveWhitespace(bool bPreserve = true);
    void GetLastErrorMessage(LPTSTR pstrMessage, SIZE_T cchMax) const;
    void GetLastErrorLocation(LPTSTR pstrSource, SIZE_T cchMax) const;

    CMarkupNode GetRoot();

    // Records in use (the placeholder record 0 included) and records allocated.
    ULONG GetElementCount() const { return m_nElements; }
    ULONG GetReservedElementCount() const { return m_nReservedElements; }

    // Files above this size are refused before they are read.
    enum
    {
        MAX_FILE_SIZE = 4 * 1024 * 1024
    };
    // Deeper nesting fails instead of exhausting the stack.
    enum
    {
        MAX_NESTING_DEPTH = 256
    };

private:
    typedef struct tagXMLELEMENT
    {
        ULONG iStart;
        ULONG iChild;
        ULONG iNext;
        ULONG iParent;
        ULONG iData;
    } XMLELEMENT;

    bool _LoadFileBytes(LPCTSTR pstrFilename, BYTE*& pByte, DWORD& dwSize);
    bool _LoadPackageBytes(LPCTSTR pstrFilename, BYTE*& pByte, DWORD& dwSize);
    bool _Parse();
    bool _Parse(LPTSTR& pstrText, ULONG iParent, int nDepth);
    XMLELEMENT* _ReserveElement();
    void _SkipWhitespace(LPTSTR& pstr) const;
    void _SkipIdentifier(LPTSTR& pstr) const;
    void _ParseData(LPTSTR& pstrText, LPTSTR& pstrDest, char cEnd);
    bool _ParseAttributes(LPTSTR& pstrText);
    bool _Failed(LPCTSTR pstrError, LPCTSTR pstrLocation = nullptr);

    LPTSTR m_pstrXML;
    XMLELEMENT* m_pElements;
    ULONG m_nElements;
    ULONG m_nReservedElements;
    TCHAR m_szErrorMsg[100];
    TCHAR m_szErrorXML[50];
    bool m_bPreserveWhitespace;
};

}  // namespace SkinUI
