#include "skinui/markup/Markup.h"

#include "skinui/core/PaintManager.h"
#include "skinui/core/UIString.h"
#include "skinui/resource/SkinPackage.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <wctype.h>

// Sections: construction and loading, file reading, parsing (element lists,
// attributes, text), errors.

namespace SkinUI {

namespace {

bool IsWhitespace(TCHAR ch)
{
    return ch > 0 && ch <= 32;
}

bool IsNameChar(TCHAR ch)
{
    return iswalnum(ch) || ch == L'_' || ch == L':';
}

}  // namespace

// --- Construction and loading ----------------------------------------------

CMarkup::CMarkup(LPCTSTR pstrXML)
    : m_pstrXML(nullptr), m_pElements(nullptr), m_nElements(0), m_nReservedElements(0),
      m_bPreserveWhitespace(true)
{
    m_szErrorMsg[0] = L'\0';
    m_szErrorXML[0] = L'\0';
    if (pstrXML != nullptr) Load(pstrXML);
}

CMarkup::~CMarkup()
{
    Release();
}

bool CMarkup::IsValid() const
{
    return m_pElements != nullptr;
}

void CMarkup::SetPreserveWhitespace(bool bPreserve)
{
    m_bPreserveWhitespace = bPreserve;
}

bool CMarkup::Load(LPCTSTR pstrXML)
{
    Release();
    if (pstrXML == nullptr) return _Failed(L"Expected start tag");
    const SIZE_T cchLen = wcslen(pstrXML) + 1;
    m_pstrXML = static_cast<LPTSTR>(malloc(cchLen * sizeof(TCHAR)));
    if (m_pstrXML == nullptr) return _Failed(L"Out of memory");
    wmemcpy(m_pstrXML, pstrXML, cchLen);
    if (!_Parse()) {
        Release();
        return false;
    }
    return true;
}

bool CMarkup::LoadFromMem(BYTE* pByte, DWORD dwSize, int encoding)
{
    Release();
    if (pByte == nullptr && dwSize > 0) return _Failed(L"Could not read file");
    if (dwSize > (DWORD)0x7FFFFFFE) return _Failed(L"File too large");

    if (encoding == XMLFILE_ENCODING_UTF8 || encoding == XMLFILE_ENCODING_ANSI) {
        UINT codePage = CP_ACP;
        if (encoding == XMLFILE_ENCODING_UTF8) {
            codePage = CP_UTF8;
            if (dwSize >= 3 && pByte[0] == 0xEF && pByte[1] == 0xBB && pByte[2] == 0xBF) {
                pByte += 3;
                dwSize -= 3;
            }
        }
        const LPCSTR pstrBytes = reinterpret_cast<LPCSTR>(pByte);
        const int nWide =
            dwSize > 0 ? MultiByteToWideChar(codePage, 0, pstrBytes, (int)dwSize, nullptr, 0) : 0;
        if (nWide < 0) return _Failed(L"Could not read file");
        m_pstrXML = static_cast<LPTSTR>(malloc(((SIZE_T)nWide + 1) * sizeof(TCHAR)));
        if (m_pstrXML == nullptr) return _Failed(L"Out of memory");
        if (nWide > 0) MultiByteToWideChar(codePage, 0, pstrBytes, (int)dwSize, m_pstrXML, nWide);
        m_pstrXML[nWide] = L'\0';
    } else if (encoding == XMLFILE_ENCODING_UNICODE) {
        // A byte-order mark is required; an odd last byte is ignored.
        if (dwSize < 2) return _Failed(L"Missing byte-order mark");
        const bool bLittle = pByte[0] == 0xFF && pByte[1] == 0xFE;
        const bool bBig = pByte[0] == 0xFE && pByte[1] == 0xFF;
        if (!bLittle && !bBig) return _Failed(L"Missing byte-order mark");
        const DWORD nUnits = dwSize / 2 - 1;
        if (bBig) {
            for (DWORD i = 1; i <= nUnits; ++i) {
                const BYTE b = pByte[2 * i];
                pByte[2 * i] = pByte[2 * i + 1];
                pByte[2 * i + 1] = b;
            }
        }
        m_pstrXML = static_cast<LPTSTR>(malloc(((SIZE_T)nUnits + 1) * sizeof(TCHAR)));
        if (m_pstrXML == nullptr) return _Failed(L"Out of memory");
        memcpy(m_pstrXML, pByte + 2, (SIZE_T)nUnits * sizeof(TCHAR));
        m_pstrXML[nUnits] = L'\0';
    } else {
        return _Failed(L"Unknown encoding");
    }

    if (!_Parse()) {
        Release();
        return false;
    }
    return true;
}

bool CMarkup::LoadFromFile(LPCTSTR pstrFilename, int encoding)
{
    Release();
    BYTE* pByte = nullptr;
    DWORD dwSize = 0;
    if (pstrFilename == nullptr) return _Failed(L"Error opening file");
    const bool bRead = CPaintManagerUI::GetResourceZip().IsEmpty()
        ? _LoadFileBytes(pstrFilename, pByte, dwSize)
        : _LoadPackageBytes(pstrFilename, pByte, dwSize);
    if (!bRead) return false;
    const bool bResult = LoadFromMem(pByte, dwSize, encoding);
    free(pByte);
    return bResult;
}

void CMarkup::Release()
{
    free(m_pstrXML);
    free(m_pElements);
    m_pstrXML = nullptr;
    m_pElements = nullptr;
    m_nElements = 0;
}

void CMarkup::GetLastErrorMessage(LPTSTR pstrMessage, SIZE_T cchMax) const
{
    if (pstrMessage != nullptr) wcsncpy(pstrMessage, m_szErrorMsg, cchMax);
}

void CMarkup::GetLastErrorLocation(LPTSTR pstrSource, SIZE_T cchMax) const
{
    if (pstrSource != nullptr) wcsncpy(pstrSource, m_szErrorXML, cchMax);
}

CMarkupNode CMarkup::GetRoot()
{
    if (m_nElements < 2) return CMarkupNode();
    return CMarkupNode(this, 1);
}

// --- File reading ------------------------------------------------------------
// Names are relative to the resource folder: a loose file there, or an entry
// of the skin package. Failures store an empty location.

bool CMarkup::_LoadFileBytes(LPCTSTR pstrFilename, BYTE*& pByte, DWORD& dwSize)
{
    const CUIString sFile = CPaintManagerUI::GetResourcePath() + pstrFilename;
    HANDLE hFile = ::CreateFileW(sFile.GetData(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return _Failed(L"Error opening file");
    DWORD dwHigh = 0;
    const DWORD dwLow = ::GetFileSize(hFile, &dwHigh);
    bool bOk = false;
    if (dwLow == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR)
        _Failed(L"Could not read file");
    else if (dwHigh == 0 && dwLow == 0)
        _Failed(L"File is empty");
    else if (dwHigh != 0 || dwLow > MAX_FILE_SIZE)
        _Failed(L"File too large");
    else if ((pByte = static_cast<BYTE*>(malloc(dwLow))) == nullptr)
        _Failed(L"Out of memory");
    else {
        DWORD dwRead = 0;
        if (!::ReadFile(hFile, pByte, dwLow, &dwRead, nullptr) || dwRead != dwLow) {
            free(pByte);
            pByte = nullptr;
            _Failed(L"Could not read file");
        } else {
            dwSize = dwLow;
            bOk = true;
        }
    }
    ::CloseHandle(hFile);
    return bOk;
}

// The kept-open package when there is one, else the package file opened for
// this load only.
bool CMarkup::_LoadPackageBytes(LPCTSTR pstrFilename, BYTE*& pByte, DWORD& dwSize)
{
    bool bOwnPackage = false;
    HANDLE hPackage = CPaintManagerUI::OpenResourceZip(bOwnPackage);
    if (hPackage == nullptr) return _Failed(L"Error opening zip file");
    bool bOk = false;
    int iIndex = -1;
    TSkinPackageEntry entry;
    if (SkinPackageFind(hPackage, pstrFilename, true, &iIndex, &entry) != SKINPKG_OK)
        _Failed(L"Could not find ziped file");
    else if (entry.unpackedSize == 0)
        _Failed(L"File is empty");
    else if (entry.unpackedSize > MAX_FILE_SIZE)
        _Failed(L"File too large");
    else if ((pByte = static_cast<BYTE*>(malloc(entry.unpackedSize))) == nullptr)
        _Failed(L"Out of memory");
    else {
        const DWORD dwResult = SkinPackageUnpack(hPackage, iIndex, pByte, entry.unpackedSize);
        if (dwResult != SKINPKG_OK && dwResult != SKINPKG_MORE) {
            free(pByte);
            pByte = nullptr;
            _Failed(L"Could not unzip file");
        } else {
            dwSize = entry.unpackedSize;
            bOk = true;
        }
    }
    if (bOwnPackage) SkinPackageClose(hPackage);
    return bOk;
}

// --- Parsing -------------------------------------------------------------------

bool CMarkup::_Parse()
{
    _ReserveElement();  // record 0: index 0 means "none"
    if (m_pElements == nullptr) return _Failed(L"Out of memory");
    memset(m_pElements, 0, sizeof(XMLELEMENT));
    m_szErrorMsg[0] = L'\0';
    m_szErrorXML[0] = L'\0';
    LPTSTR pstrXML = m_pstrXML;
    return _Parse(pstrXML, 0, 0);
}

// One list of sibling elements under iParent. The end of the text ends the
// list successfully only for top-level elements and the root's children, so
// that missing end tags of the root and its direct children are tolerated.
bool CMarkup::_Parse(LPTSTR& pstrText, ULONG iParent, int nDepth)
{
    if (nDepth > MAX_NESTING_DEPTH) return _Failed(L"Elements nested too deeply", pstrText);
    ULONG iPrevious = 0;
    for (;;) {
        _SkipWhitespace(pstrText);
        if (*pstrText == L'\0' && iParent <= 1) return true;
        if (*pstrText != L'<') return _Failed(L"Expected start tag", pstrText);
        if (pstrText[1] == L'/') {
            // An end tag closes the caller's element; at the top level there is none.
            if (iParent == 0) return _Failed(L"Unmatched closing tag", pstrText);
            return true;
        }
        *pstrText++ = L'\0';
        _SkipWhitespace(pstrText);
        // Processing instructions end at "?>", comments and declarations at "->".
        if (*pstrText == L'?' || *pstrText == L'!') {
            LPTSTR pstrEnd = wcsstr(pstrText, *pstrText == L'?' ? L"?>" : L"->");
            pstrText = pstrEnd != nullptr ? pstrEnd + 2 : pstrText + wcslen(pstrText);
            continue;
        }

        XMLELEMENT* pEl = _ReserveElement();
        if (pEl == nullptr) return _Failed(L"Out of memory", pstrText);
        // The table may move while children are parsed: keep the index.
        const ULONG iPos = (ULONG)(pEl - m_pElements);
        pEl->iStart = (ULONG)(pstrText - m_pstrXML);
        pEl->iParent = iParent;
        pEl->iNext = pEl->iChild = 0;
        pEl->iData = 0;
        if (iPrevious != 0)
            m_pElements[iPrevious].iNext = iPos;
        else if (iParent > 0)
            m_pElements[iParent].iChild = iPos;
        iPrevious = iPos;

        LPCTSTR pstrName = pstrText;
        _SkipIdentifier(pstrText);
        LPTSTR pstrNameEnd = pstrText;
        if (*pstrText == L'\0') return _Failed(L"Error parsing element name", pstrText);
        if (!_ParseAttributes(pstrText)) return false;
        _SkipWhitespace(pstrText);

        if (pstrText[0] == L'/' && pstrText[1] == L'>') {
            m_pElements[iPos].iData = (ULONG)(pstrText - m_pstrXML);
            *pstrText = L'\0';
            pstrText += 2;
        } else {
            if (*pstrText != L'>') return _Failed(L"Expected start-tag closing", pstrText);
            m_pElements[iPos].iData = (ULONG)(++pstrText - m_pstrXML);
            LPTSTR pstrDest = pstrText;
            _ParseData(pstrText, pstrDest, '<');
            if (*pstrText == L'\0' && iParent <= 1) {
                *pstrDest = L'\0';
                *pstrNameEnd = L'\0';
                return true;
            }
            if (*pstrText != L'<') return _Failed(L"Expected end-tag start", pstrText);
            if (pstrText[1] != L'/') {
                if (!_Parse(pstrText, iPos, nDepth + 1)) return false;
            }
            if (pstrText[0] == L'<' && pstrText[1] == L'/') {
                *pstrDest = L'\0';
                pstrText += 2;
                _SkipWhitespace(pstrText);
                const SIZE_T cchName = (SIZE_T)(pstrNameEnd - pstrName);
                if (wcsncmp(pstrText, pstrName, cchName) != 0)
                    return _Failed(L"Unmatched closing tag", pstrText);
                pstrText += cchName;
                _SkipWhitespace(pstrText);
                if (*pstrText != L'>') return _Failed(L"Unmatched closing tag", pstrText);
                ++pstrText;
            }
        }
        *pstrNameEnd = L'\0';
    }
}

CMarkup::XMLELEMENT* CMarkup::_ReserveElement()
{
    if (m_nElements == 0) m_nReservedElements = 0;
    if (m_nElements >= m_nReservedElements) {
        const ULONG nMax = (ULONG)(((SIZE_T)-1) / sizeof(XMLELEMENT)) / 2;
        if (m_nReservedElements > nMax) return nullptr;
        const ULONG nReserved = m_nReservedElements + (m_nReservedElements / 2) + 500;
        XMLELEMENT* pElements =
            static_cast<XMLELEMENT*>(realloc(m_pElements, nReserved * sizeof(XMLELEMENT)));
        if (pElements == nullptr) return nullptr;
        m_pElements = pElements;
        m_nReservedElements = nReserved;
    }
    return &m_pElements[m_nElements++];
}

void CMarkup::_SkipWhitespace(LPTSTR& pstr) const
{
    while (IsWhitespace(*pstr)) pstr = ::CharNextW(pstr);
}

void CMarkup::_SkipIdentifier(LPTSTR& pstr) const
{
    while (*pstr != L'\0' && IsNameChar(*pstr)) pstr = ::CharNextW(pstr);
}

// Attributes from right after the element name up to '>' or '/'.
bool CMarkup::_ParseAttributes(LPTSTR& pstrText)
{
    if (*pstrText == L'>') return true;
    if (pstrText[0] == L'/' && pstrText[1] == L'>') return true;
    *pstrText++ = L'\0';
    _SkipWhitespace(pstrText);
    while (*pstrText != L'\0' && *pstrText != L'>' && *pstrText != L'/') {
        _SkipIdentifier(pstrText);
        LPTSTR pstrIdentifierEnd = pstrText;
        _SkipWhitespace(pstrText);
        if (*pstrText != L'=') return _Failed(L"Error while parsing attributes", pstrText);
        *pstrText++ = L' ';
        *pstrIdentifierEnd = L'\0';
        _SkipWhitespace(pstrText);
        if (*pstrText != L'"') return _Failed(L"Expected attribute value", pstrText);
        ++pstrText;
        LPTSTR pstrDest = pstrText;
        _ParseData(pstrText, pstrDest, '"');
        if (*pstrText == L'\0') return _Failed(L"Error while parsing attribute string", pstrText);
        *pstrDest = L'\0';
        if (pstrDest != pstrText) *pstrText = L' ';
        ++pstrText;
        _SkipWhitespace(pstrText);
    }
    return true;
}

// Decodes text up to cEnd or the end of the text, writing over what it reads.
// On return pstrText is at cEnd (or the end) and pstrDest at the end of the
// decoded text; what lies between them has become spaces.
void CMarkup::_ParseData(LPTSTR& pstrText, LPTSTR& pstrDest, char cEnd)
{
    struct Entity
    {
        LPCTSTR name;
        SIZE_T cch;
        TCHAR ch;
    };
    static const Entity kEntities[] = {
        {L"&amp;", 5, L'&'},  {L"&lt;", 4, L'<'},    {L"&gt;", 4, L'>'},
        {L"&quot;", 6, L'"'}, {L"&apos;", 6, L'\''},
    };
    while (*pstrText != L'\0' && *pstrText != (TCHAR)cEnd) {
        if (*pstrText == L'&') {
            bool bDecoded = false;
            for (const Entity& e : kEntities) {
                if (wcsncmp(pstrText, e.name, e.cch) == 0) {
                    *pstrDest++ = e.ch;
                    pstrText += e.cch;
                    bDecoded = true;
                    break;
                }
            }
            if (bDecoded) continue;
        }
        if (*pstrText == L' ') {
            *pstrDest++ = *pstrText++;
            if (!m_bPreserveWhitespace) _SkipWhitespace(pstrText);
        } else {
            LPTSTR pstrTemp = ::CharNextW(pstrText);
            while (pstrText < pstrTemp) *pstrDest++ = *pstrText++;
        }
    }
    for (LPTSTR pstrFill = pstrDest; pstrFill < pstrText; ++pstrFill) *pstrFill = L' ';
}

// --- Errors ----------------------------------------------------------------------

bool CMarkup::_Failed(LPCTSTR pstrError, LPCTSTR pstrLocation)
{
    wcsncpy(m_szErrorMsg, pstrError, 99);
    m_szErrorMsg[99] = L'\0';
    wcsncpy(m_szErrorXML, pstrLocation != nullptr ? pstrLocation : L"", 49);
    m_szErrorXML[49] = L'\0';
    return false;
}

}  // namespace SkinUI
