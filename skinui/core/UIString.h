#pragma once
// CUIString: the engine's UTF-16 string. Texts of up to 62 characters live in
// a buffer inside the object; longer ones in a malloc'ed block of exactly
// length + 1 characters, sized when the text was assigned or appended.
// If the heap cannot supply a block, the string becomes empty.

#include <windows.h>

namespace SkinUI {

class CUIString
{
public:
    enum
    {
        MAX_LOCAL_STRING_LEN = 63
    };  // local buffer is 64; texts below 63 stay local

    CUIString();
    CUIString(const wchar_t ch);
    CUIString(const CUIString& src);
    CUIString(LPCTSTR lpsz, int nLen = -1);
    ~CUIString();

    void Empty();
    int GetLength() const;
    bool IsEmpty() const;
    TCHAR GetAt(int nIndex) const;
    void Append(LPCTSTR pstr);
    void Assign(LPCTSTR pstr, int nLength = -1);
    LPCTSTR GetData() const;

    void SetAt(int nIndex, TCHAR ch);
    operator LPCTSTR() const;

    TCHAR operator[](int nIndex) const;
    const CUIString& operator=(const CUIString& src);
    const CUIString& operator=(const TCHAR ch);
    const CUIString& operator=(LPCTSTR pstr);
    const CUIString& operator=(LPCSTR lpStr);
    const CUIString& operator+=(LPCSTR lpStr);
    CUIString operator+(const CUIString& src) const;
    CUIString operator+(LPCTSTR pstr) const;
    const CUIString& operator+=(const CUIString& src);
    const CUIString& operator+=(LPCTSTR pstr);
    const CUIString& operator+=(const TCHAR ch);

    // A null text compares as the empty text.
    bool operator==(LPCTSTR str) const;
    bool operator!=(LPCTSTR str) const;
    bool operator<=(LPCTSTR str) const;
    bool operator<(LPCTSTR str) const;
    bool operator>=(LPCTSTR str) const;
    bool operator>(LPCTSTR str) const;

    int Compare(LPCTSTR pstr) const;
    int CompareNoCase(LPCTSTR pstr) const;

    void MakeUpper();
    void MakeLower();

    CUIString Left(int nLength) const;
    CUIString Mid(int iPos, int nLength = -1) const;
    CUIString Right(int nLength) const;

    int Find(TCHAR ch, int iPos = 0) const;
    int Find(LPCTSTR pstr, int iPos = 0) const;
    int ReverseFind(TCHAR ch) const;
    int Replace(LPCTSTR pstrFrom, LPCTSTR pstrTo);

    int __cdecl Format(LPCTSTR pstrFormat, ...);
    int __cdecl SmallFormat(LPCTSTR pstrFormat, ...);

private:
    void AssignNarrow(LPCSTR lpStr, bool bAppend);
    bool IsLocal() const { return m_pstr == m_szBuffer; }
    void ToLocal();

    LPTSTR m_pstr;
    TCHAR m_szBuffer[MAX_LOCAL_STRING_LEN + 1];
};

}  // namespace SkinUI
