#include "skinui/render/DrawInfo.h"

#include "skinui/core/PaintManager.h"

#include <stdlib.h>
#include <wchar.h>

namespace SkinUI {

namespace {

bool IsSpace(wchar_t ch)
{
    return ch > 0 && ch <= 32;
}

// Four decimal numbers, each followed by one separator character. Numbers
// missing at the end of the value read as 0; the scan never steps over the
// terminating NUL.
RECT ParseRect(LPCTSTR pstrValue)
{
    LONG values[4] = {0, 0, 0, 0};
    LPCTSTR p = pstrValue;
    for (int i = 0; i < 4; ++i) {
        LPTSTR pEnd = nullptr;
        values[i] = wcstol(p, &pEnd, 10);
        p = pEnd;
        if (*p == L'\0') break;
        ++p;
    }
    RECT rc = {values[0], values[1], values[2], values[3]};
    return rc;
}

DWORD ParseColor(LPCTSTR pstrValue)
{
    if (*pstrValue == L'#') ++pstrValue;
    LPTSTR pEnd = nullptr;
    return static_cast<DWORD>(wcstoul(pstrValue, &pEnd, 16));
}

bool ParseBool(LPCTSTR pstrValue)
{
    return _wcsicmp(pstrValue, L"true") == 0;
}

}  // namespace

void tagTDrawInfo::Clear()
{
    sDrawString.Empty();
    sDrawModify.Empty();
    sImageName.Empty();
    sResType.Empty();
    ::SetRectEmpty(&rcDest);
    ::SetRectEmpty(&rcSource);
    ::SetRectEmpty(&rcCorner);
    dwMask = 0;
    uFade = 255;
    bHole = false;
    bTiledX = false;
    bTiledY = false;
    bHSL = false;
}

// Grammar of one string: pairs  key='value'  separated by one or more spaces
// (at least one must be a blank right after the closing quote). Whitespace
// around '=' is allowed. The first pair that breaks the grammar ends the scan.
static void ParsePairs(tagTDrawInfo& info, LPCTSTR pstr, const CDPI* pDPI)
{
    CUIString sKey;
    CUIString sValue;
    while (*pstr != L'\0') {
        while (IsSpace(*pstr)) ++pstr;
        LPCTSTR pKey = pstr;
        while (*pstr != L'\0' && *pstr != L'=' && !IsSpace(*pstr)) ++pstr;
        sKey.Assign(pKey, static_cast<int>(pstr - pKey));
        while (IsSpace(*pstr)) ++pstr;
        if (*pstr != L'=') break;
        ++pstr;
        while (IsSpace(*pstr)) ++pstr;
        if (*pstr != L'\'') break;
        ++pstr;
        LPCTSTR pValue = pstr;
        while (*pstr != L'\0' && *pstr != L'\'') ++pstr;
        if (*pstr == L'\0') break;
        sValue.Assign(pValue, static_cast<int>(pstr - pValue));
        ++pstr;

        if (!sValue.IsEmpty()) {
            LPCTSTR v = sValue.GetData();
            if (sKey == L"file" || sKey == L"res") {
                info.sImageName = sValue;
            } else if (sKey == L"restype") {
                info.sResType = sValue;
            } else if (sKey == L"dest") {
                info.rcDest = ParseRect(v);
                if (pDPI != nullptr) pDPI->Scale(&info.rcDest);
            } else if (sKey == L"source") {
                info.rcSource = ParseRect(v);
                if (pDPI != nullptr) pDPI->Scale(&info.rcSource);
            } else if (sKey == L"corner") {
                info.rcCorner = ParseRect(v);
                if (pDPI != nullptr) pDPI->Scale(&info.rcCorner);
            } else if (sKey == L"mask") {
                info.dwMask = ParseColor(v);
            } else if (sKey == L"fade") {
                info.uFade = static_cast<BYTE>(wcstol(v, nullptr, 10) & 0xFF);
            } else if (sKey == L"hole") {
                info.bHole = ParseBool(v);
            } else if (sKey == L"xtiled") {
                info.bTiledX = ParseBool(v);
            } else if (sKey == L"ytiled") {
                info.bTiledY = ParseBool(v);
            } else if (sKey == L"hsl") {
                info.bHSL = ParseBool(v);
            }
        }
        if (*pstr != L' ') break;
        ++pstr;
    }
}

void tagTDrawInfo::Parse(LPCTSTR pStrImage, LPCTSTR pStrModify, CPaintManagerUI* pManager)
{
    Clear();
    if (pStrImage == nullptr) pStrImage = L"";
    sDrawString = pStrImage;
    sDrawModify = pStrModify != nullptr ? pStrModify : L"";
    sImageName = pStrImage;

    const CDPI* pDPI = pManager != nullptr ? pManager->GetDPIObj() : nullptr;
    ParsePairs(*this, pStrImage, pDPI);
    if (pStrModify != nullptr) ParsePairs(*this, pStrModify, pDPI);

    if (pDPI != nullptr && pDPI->GetScale() != 100) {
        CUIString sMarker;
        sMarker.SmallFormat(L"@%d.", static_cast<int>(pDPI->GetScale()));
        sImageName.Replace(L".", sMarker);
    }
}

}  // namespace SkinUI
