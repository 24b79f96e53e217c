#include "skinui/core/UIString.h"

#include <limits.h>
#include <malloc.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <wctype.h>

namespace SkinUI {

namespace {

// Characters of pstr before its NUL, looking at no more than nMax of them.
int BoundedLength(LPCTSTR pstr, int nMax)
{
    int n = 0;
    while (n < nMax && pstr[n] != L'\0') ++n;
    return n;
}

LPCTSTR OrEmpty(LPCTSTR pstr)
{
    return pstr != nullptr ? pstr : L"";
}

}  // namespace

CUIString::CUIString() : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = L'\0';
}

CUIString::CUIString(const wchar_t ch) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = ch;
    m_szBuffer[1] = L'\0';
}

CUIString::CUIString(LPCTSTR lpsz, int nLen) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = L'\0';
    Assign(lpsz, nLen);
}

CUIString::CUIString(const CUIString& src) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = L'\0';
    Assign(src.m_pstr);
}

CUIString::~CUIString()
{
    if (!IsLocal()) free(m_pstr);
}

void CUIString::ToLocal()
{
    if (!IsLocal()) free(m_pstr);
    m_pstr = m_szBuffer;
    m_szBuffer[0] = L'\0';
}

void CUIString::Empty()
{
    ToLocal();
}

int CUIString::GetLength() const
{
    return (int)wcslen(m_pstr);
}

bool CUIString::IsEmpty() const
{
    return m_pstr[0] == L'\0';
}

TCHAR CUIString::GetAt(int nIndex) const
{
    return m_pstr[nIndex];
}

void CUIString::SetAt(int nIndex, TCHAR ch)
{
    m_pstr[nIndex] = ch;
}

LPCTSTR CUIString::GetData() const
{
    return m_pstr;
}

CUIString::operator LPCTSTR() const
{
    return m_pstr;
}

TCHAR CUIString::operator[](int nIndex) const
{
    return m_pstr[nIndex];
}

// The source may lie inside this string's own storage (s.Assign(s.GetData() + 1)),
// so the characters are moved, and a heap block is never resized in place
// while the source may still point into it.
void CUIString::Assign(LPCTSTR pstr, int nLength)
{
    pstr = OrEmpty(pstr);
    if (nLength < 0) nLength = (int)wcslen(pstr);
    // A length whose block size would not fit in 32 bits cannot be stored: the
    // most a 32-bit build could ask for, so that both builds refuse alike.
    if ((unsigned long long)nLength + 1 > 0xFFFFFFFFull / sizeof(TCHAR)) {
        ToLocal();
        return;
    }
    const int nCopy = BoundedLength(pstr, nLength);

    if (nLength < MAX_LOCAL_STRING_LEN) {
        wmemmove(m_szBuffer, pstr, nCopy);
        if (!IsLocal()) {
            free(m_pstr);
            m_pstr = m_szBuffer;
        }
    } else if (IsLocal() || nLength > GetLength()) {
        LPTSTR pNew = static_cast<LPTSTR>(malloc(((size_t)nLength + 1) * sizeof(TCHAR)));
        if (pNew == nullptr) {
            ToLocal();
            return;
        }
        wmemcpy(pNew, pstr, nCopy);
        if (!IsLocal()) free(m_pstr);
        m_pstr = pNew;
    } else {
        wmemmove(m_pstr, pstr, nCopy);
    }
    for (int i = nCopy; i <= nLength; ++i) m_pstr[i] = L'\0';
}

void CUIString::Append(LPCTSTR pstr)
{
    if (pstr == nullptr) return;
    const int nOld = GetLength();
    const size_t cchAdd = wcslen(pstr);
    // A result longer than an int can count is refused; the text stays as it is.
    if (cchAdd > (size_t)(INT_MAX - 1 - nOld)) return;
    const int nAdd = (int)cchAdd;
    const int nNew = nOld + nAdd;
    if (nNew < MAX_LOCAL_STRING_LEN) {
        // A heap text shortened through SetAt comes back into the local buffer;
        // the heap block is freed only after pstr (which may lie in it) was read.
        if (!IsLocal()) wmemcpy(m_szBuffer, m_pstr, nOld);
        wmemmove(m_szBuffer + nOld, pstr, nAdd);
        m_szBuffer[nNew] = L'\0';
        if (!IsLocal()) {
            free(m_pstr);
            m_pstr = m_szBuffer;
        }
        return;
    }
    LPTSTR pNew = static_cast<LPTSTR>(malloc(((size_t)nNew + 1) * sizeof(TCHAR)));
    if (pNew == nullptr) {
        ToLocal();
        return;
    }
    wmemcpy(pNew, m_pstr, nOld);
    wmemcpy(pNew + nOld, pstr, nAdd);
    pNew[nNew] = L'\0';
    if (!IsLocal()) free(m_pstr);
    m_pstr = pNew;
}

const CUIString& CUIString::operator=(const CUIString& src)
{
    if (&src != this) Assign(src.m_pstr);
    return *this;
}

const CUIString& CUIString::operator=(LPCTSTR pstr)
{
    if (pstr == nullptr)
        Empty();
    else
        Assign(pstr);
    return *this;
}

const CUIString& CUIString::operator=(const TCHAR ch)
{
    ToLocal();
    m_szBuffer[0] = ch;
    m_szBuffer[1] = L'\0';
    return *this;
}

void CUIString::AssignNarrow(LPCSTR lpStr, bool bAppend)
{
    const UINT cp = GetACP();
    const int cchLen = MultiByteToWideChar(cp, 0, lpStr, -1, nullptr, 0);
    if (cchLen <= 0) {
        if (!bAppend) Empty();
        return;
    }
    LPTSTR pwstr = static_cast<LPTSTR>(malloc((size_t)cchLen * sizeof(TCHAR)));
    if (pwstr == nullptr) {
        if (!bAppend) Empty();
        return;
    }
    if (MultiByteToWideChar(cp, 0, lpStr, -1, pwstr, cchLen) <= 0) pwstr[0] = L'\0';
    pwstr[cchLen - 1] = L'\0';
    if (bAppend)
        Append(pwstr);
    else
        Assign(pwstr);
    free(pwstr);
}

const CUIString& CUIString::operator=(LPCSTR lpStr)
{
    if (lpStr == nullptr)
        Empty();
    else
        AssignNarrow(lpStr, false);
    return *this;
}

const CUIString& CUIString::operator+=(LPCSTR lpStr)
{
    if (lpStr != nullptr) AssignNarrow(lpStr, true);
    return *this;
}

const CUIString& CUIString::operator+=(const CUIString& src)
{
    // Appending a string to itself: Append copies into a fresh block first.
    Append(src.m_pstr);
    return *this;
}

const CUIString& CUIString::operator+=(LPCTSTR pstr)
{
    Append(pstr);
    return *this;
}

const CUIString& CUIString::operator+=(const TCHAR ch)
{
    TCHAR str[] = {ch, L'\0'};
    Append(str);
    return *this;
}

CUIString CUIString::operator+(const CUIString& src) const
{
    CUIString sTemp = *this;
    sTemp.Append(src.m_pstr);
    return sTemp;
}

CUIString CUIString::operator+(LPCTSTR pstr) const
{
    CUIString sTemp = *this;
    sTemp.Append(pstr);
    return sTemp;
}

bool CUIString::operator==(LPCTSTR str) const
{
    return Compare(str) == 0;
}
bool CUIString::operator!=(LPCTSTR str) const
{
    return Compare(str) != 0;
}
bool CUIString::operator<=(LPCTSTR str) const
{
    return Compare(str) <= 0;
}
bool CUIString::operator<(LPCTSTR str) const
{
    return Compare(str) < 0;
}
bool CUIString::operator>=(LPCTSTR str) const
{
    return Compare(str) >= 0;
}
bool CUIString::operator>(LPCTSTR str) const
{
    return Compare(str) > 0;
}

int CUIString::Compare(LPCTSTR pstr) const
{
    return wcscmp(m_pstr, OrEmpty(pstr));
}

int CUIString::CompareNoCase(LPCTSTR pstr) const
{
    return _wcsicmp(m_pstr, OrEmpty(pstr));
}

void CUIString::MakeUpper()
{
    for (LPTSTR p = m_pstr; *p != L'\0'; ++p) *p = (TCHAR)towupper(*p);
}

void CUIString::MakeLower()
{
    for (LPTSTR p = m_pstr; *p != L'\0'; ++p) *p = (TCHAR)towlower(*p);
}

CUIString CUIString::Left(int nLength) const
{
    if (nLength < 0) nLength = 0;
    const int nLen = GetLength();
    if (nLength > nLen) nLength = nLen;
    return CUIString(m_pstr, nLength);
}

CUIString CUIString::Mid(int iPos, int nLength) const
{
    const int nLen = GetLength();
    if (iPos < 0) iPos = 0;
    if (iPos >= nLen) return CUIString();
    if (nLength < 0 || nLength > nLen - iPos) nLength = nLen - iPos;
    if (nLength == 0) return CUIString();
    return CUIString(m_pstr + iPos, nLength);
}

CUIString CUIString::Right(int nLength) const
{
    const int nLen = GetLength();
    if (nLength < 0) nLength = 0;
    if (nLength > nLen) nLength = nLen;
    return CUIString(m_pstr + nLen - nLength, nLength);
}

int CUIString::Find(TCHAR ch, int iPos) const
{
    if (iPos != 0 && (iPos < 0 || iPos >= GetLength())) return -1;
    LPCTSTR p = wcschr(m_pstr + iPos, ch);
    if (p == nullptr) return -1;
    return (int)(p - m_pstr);
}

int CUIString::Find(LPCTSTR pstrSub, int iPos) const
{
    if (pstrSub == nullptr) return -1;
    if (iPos != 0 && (iPos < 0 || iPos > GetLength())) return -1;
    // An empty text is found where the search starts (C runtimes disagree here).
    if (pstrSub[0] == L'\0') return iPos;
    LPCTSTR p = wcsstr(m_pstr + iPos, pstrSub);
    if (p == nullptr) return -1;
    return (int)(p - m_pstr);
}

int CUIString::ReverseFind(TCHAR ch) const
{
    LPCTSTR p = wcsrchr(m_pstr, ch);
    if (p == nullptr) return -1;
    return (int)(p - m_pstr);
}

int CUIString::Replace(LPCTSTR pstrFrom, LPCTSTR pstrTo)
{
    // An empty pattern would match everywhere forever: nothing to replace.
    if (pstrFrom == nullptr || pstrFrom[0] == L'\0') return 0;
    // pstrTo may point into this string; keep a copy while the text changes.
    CUIString sTo(OrEmpty(pstrTo));
    const int nFrom = (int)wcslen(pstrFrom);
    const int nTo = sTo.GetLength();
    CUIString sFrom(pstrFrom);
    int nCount = 0;
    int iPos = Find(sFrom, 0);
    while (iPos >= 0) {
        CUIString sTemp = Left(iPos);
        sTemp.Append(sTo);
        sTemp.Append(Mid(iPos + nFrom));
        Assign(sTemp);
        ++nCount;
        iPos = Find(sFrom, iPos + nTo);
    }
    return nCount;
}

int __cdecl CUIString::Format(LPCTSTR pstrFormat, ...)
{
    if (pstrFormat == nullptr) return -1;
    va_list args;
    va_start(args, pstrFormat);
    const int nLen = _vscwprintf(pstrFormat, args);
    va_end(args);
    if (nLen < 0) return -1;
    LPTSTR szBuffer = static_cast<LPTSTR>(malloc(((size_t)nLen + 1) * sizeof(TCHAR)));
    if (szBuffer == nullptr) return -1;
    va_start(args, pstrFormat);
    int iRet = _vsnwprintf(szBuffer, (size_t)nLen + 1, pstrFormat, args);
    va_end(args);
    szBuffer[nLen] = L'\0';
    if (iRet >= 0)
        Assign(szBuffer);
    else
        iRet = -1;
    free(szBuffer);
    return iRet;
}

int __cdecl CUIString::SmallFormat(LPCTSTR pstrFormat, ...)
{
    if (pstrFormat == nullptr) return -1;
    TCHAR szBuffer[64];
    va_list args;
    va_start(args, pstrFormat);
    // Room for 63 characters; the formatter reports -1 when the result is cut.
    int iRet = _vsnwprintf(szBuffer, 63, pstrFormat, args);
    va_end(args);
    szBuffer[63] = L'\0';
    Assign(szBuffer);
    return iRet < 0 ? -1 : iRet;
}

}  // namespace SkinUI
