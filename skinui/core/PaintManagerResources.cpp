// The paint manager's resources: the shared and per-window resource sets,
// window tables, window-level settings and DPI changes.
//
//   Process-wide statics and table helpers
//   Construction, Init and destruction
//   Plug-ins, skin reload and colour adjustment
//   Colours
//   Fonts
//   Images
//   Draw descriptions
//   Default attribute lists and styles
//   Window custom attributes and option groups
//   Window settings
//   DPI change
#include "skinui/core/PaintManager.h"

#include "skinui/control/Control.h"
#include "skinui/core/StringTable.h"
#include "skinui/render/ImageResample.h"
#include "skinui/render/RenderEngine.h"

#include <gdiplus.h>
#include <new>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

namespace SkinUI {

// ---- Process-wide statics and table helpers --------------------------------

TResInfo CPaintManagerUI::m_SharedResInfo;
bool CPaintManagerUI::m_bUseHSL = false;
short CPaintManagerUI::m_H = 180;
short CPaintManagerUI::m_S = 100;
short CPaintManagerUI::m_L = 100;
CStdPtrArray CPaintManagerUI::m_aPlugins;

namespace {

// LOGFONTW face names hold 31 characters and the terminator.
const int kMaxFaceLength = LF_FACESIZE - 1;

// The count behind TFontInfo::uGeneration; fonts are made on the threads of
// their windows' paint, as the shared set is used.
unsigned g_uFontGeneration = 0;

unsigned NextFontGeneration()
{
    return ++g_uFontGeneration;
}

LOGFONTW StockGuiLogFont()
{
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    return lf;
}

void SetFaceName(LOGFONTW& lf, LPCTSTR pStrFontName)
{
    if (pStrFontName == nullptr || pStrFontName[0] == L'\0') return;
    wcsncpy(lf.lfFaceName, pStrFontName, kMaxFaceLength);
    lf.lfFaceName[kMaxFaceLength] = L'\0';
}

// "Bold adds 700 to the stock weight" can pass the largest weight a LOGFONT
// allows (1000); it is held there.
LONG AddBoldWeight(LONG lWeight)
{
    LONG w = lWeight + FW_BOLD;
    return w > 1000 ? 1000 : w;
}

void DeleteFontInfo(TFontInfo* pFontInfo)
{
    if (pFontInfo == nullptr) return;
    if (pFontInfo->hFont != nullptr) ::DeleteObject(pFontInfo->hFont);
    delete pFontInfo;
}

void FreeFontTable(CStdStringPtrMap& map)
{
    for (int i = 0; i < map.GetSize(); ++i) {
        LPCTSTR key = map.GetAt(i);
        if (key != nullptr) DeleteFontInfo(static_cast<TFontInfo*>(map.Find(key, false)));
    }
    map.RemoveAll();
}

void FreeImageTable(CStdStringPtrMap& map)
{
    for (int i = 0; i < map.GetSize(); ++i) {
        LPCTSTR key = map.GetAt(i);
        if (key != nullptr) CRenderEngine::FreeImage(static_cast<TImageInfo*>(map.Find(key, false)));
    }
    map.RemoveAll();
}

void FreeDrawInfoTable(CStdStringPtrMap& map)
{
    for (int i = 0; i < map.GetSize(); ++i) {
        LPCTSTR key = map.GetAt(i);
        if (key != nullptr) delete static_cast<TDrawInfo*>(map.Find(key, false));
    }
    map.RemoveAll();
}

void FreeGroupTable(CStdStringPtrMap& map)
{
    for (int i = 0; i < map.GetSize(); ++i) {
        LPCTSTR key = map.GetAt(i);
        if (key != nullptr) delete static_cast<CStdPtrArray*>(map.Find(key, false));
    }
    map.RemoveAll();
}

// A scaled image name ("bg@125.png") that the skin has no file for: the art
// of the nearest scale above, else below, resampled to the asked scale's
// size. Null when the skin has the image at no scale.
TImageInfo* LoadFromOtherScale(LPCTSTR bitmap, DWORD mask, HINSTANCE instance)
{
    const int wanted = ScaleOfImageName(bitmap);
    if (wanted <= 0) return nullptr;
    int order[16];
    int n = 0;
    for (int i = 0; i < kArtScaleCount; ++i)
        if (kArtScales[i] > wanted) order[n++] = kArtScales[i];
    for (int i = kArtScaleCount - 1; i >= 0; --i)
        if (kArtScales[i] < wanted) order[n++] = kArtScales[i];
    for (int i = 0; i < n; ++i) {
        const CUIString sName = ImageNameForScale(bitmap, wanted, order[i]);
        TImageInfo* pArt =
            CRenderEngine::LoadImageW(sName.GetData(), static_cast<LPCTSTR>(nullptr), mask, instance);
        if (pArt == nullptr) continue;
        TImageInfo* pImage =
            ResampleImage(*pArt, ::MulDiv(pArt->nX, wanted, order[i]), ::MulDiv(pArt->nY, wanted, order[i]));
        CRenderEngine::FreeImage(pArt);
        if (pImage != nullptr) pImage->nArtScale = order[i];
        return pImage;
    }
    return nullptr;
}

// Loads an image the way the tables describe it: by name when there is no
// resource type, else by the decimal resource id the name starts with. A
// scaled name the skin has no file for is made from another scale's art.
TImageInfo* LoadByName(LPCTSTR bitmap, LPCTSTR type, DWORD mask, HINSTANCE instance)
{
    if (type == nullptr || type[0] == L'\0') {
        TImageInfo* pImage = CRenderEngine::LoadImageW(bitmap, static_cast<LPCTSTR>(nullptr), mask, instance);
        return pImage != nullptr ? pImage : LoadFromOtherScale(bitmap, mask, instance);
    }
    if (bitmap[0] < L'0' || bitmap[0] > L'9') return nullptr;
    UINT nID = static_cast<UINT>(wcstoul(bitmap, nullptr, 10));
    return CRenderEngine::LoadImageW(STRINGorID(nID), type, mask, instance);
}

// The unadjusted pixel copy that use-HSL images keep next to their working
// pixels. Without working pixels there is nothing to copy.
void CopySourceBits(TImageInfo* pImage)
{
    if (!pImage->bUseHSL || pImage->pBits == nullptr || pImage->nX <= 0 || pImage->nY <= 0) return;
    size_t size = static_cast<size_t>(pImage->nX) * static_cast<size_t>(pImage->nY) * 4;
    pImage->pSrcBits = new (std::nothrow) BYTE[size];
    if (pImage->pSrcBits != nullptr) memcpy(pImage->pSrcBits, pImage->pBits, size);
}

// Moves the pixels of a freshly loaded record into an existing one and frees
// the fresh record's shell.
void TakePixels(TImageInfo* pImage, TImageInfo* pLoaded)
{
    pImage->hBitmap = pLoaded->hBitmap;
    pImage->pBits = pLoaded->pBits;
    pImage->pSrcBits = nullptr;
    pImage->nX = pLoaded->nX;
    pImage->nY = pLoaded->nY;
    pImage->bAlpha = pLoaded->bAlpha;
    pImage->nArtScale = pLoaded->nArtScale;
    pLoaded->hBitmap = nullptr;
    pLoaded->pBits = nullptr;
    pLoaded->pSrcBits = nullptr;
    CRenderEngine::FreeImage(pLoaded);
    CopySourceBits(pImage);
}

// Reloads every image of a set. A failed reload removes the image when
// bKeepOnFailure is false, else keeps the old pixels.
void ReloadImageTable(CStdStringPtrMap& map, bool bKeepOnFailure)
{
    CStdPtrArray aFailed;
    for (int i = 0; i < map.GetSize(); ++i) {
        LPCTSTR key = map.GetAt(i);
        TImageInfo* pImage = static_cast<TImageInfo*>(map.Find(key, false));
        if (pImage == nullptr) continue;
        TImageInfo* pLoaded = LoadByName(key, pImage->sResType, pImage->dwMask, nullptr);
        if (pLoaded == nullptr && bKeepOnFailure) continue;
        CRenderEngine::FreeImage(pImage, false);
        if (pLoaded != nullptr) {
            TakePixels(pImage, pLoaded);
        } else {
            aFailed.Add(pImage);
        }
    }
    // Failed entries are removed after the walk, which must not see the map
    // change under it.
    for (int i = map.GetSize() - 1; i >= 0 && !aFailed.IsEmpty(); --i) {
        LPCTSTR key = map.GetAt(i);
        void* pData = map.Find(key, false);
        int iFailed = aFailed.Find(pData);
        if (iFailed < 0) continue;
        aFailed.Remove(iFailed);
        CUIString sKey(key);
        map.Remove(sKey);
        CRenderEngine::FreeImage(static_cast<TImageInfo*>(pData));
    }
}

}  // namespace

CStdStringPtrMap& CPaintManagerUI::ChosenSet(CStdStringPtrMap TResInfo::*table, bool bShared)
{
    return (bShared || m_bForceUseSharedRes) ? m_SharedResInfo.*table : m_ResInfo.*table;
}

void CPaintManagerUI::MeasureFont(TFontInfo* pFontInfo) const
{
    if (pFontInfo == nullptr || m_hDcPaint == nullptr || pFontInfo->hFont == nullptr) return;
    HFONT hOldFont = static_cast<HFONT>(::SelectObject(m_hDcPaint, pFontInfo->hFont));
    ::GetTextMetricsW(m_hDcPaint, &pFontInfo->tm);
    ::SelectObject(m_hDcPaint, hOldFont);
}

TFontInfo* CPaintManagerUI::Measured(TFontInfo* pFontInfo) const
{
    if (pFontInfo != nullptr && pFontInfo->tm.tmHeight == 0) MeasureFont(pFontInfo);
    return pFontInfo;
}

// ---- Construction, Init and destruction ------------------------------------

void CPaintManagerUI::InitResources()
{
    TFontInfo& shared = m_SharedResInfo.m_DefaultFontInfo;
    if (shared.sFontName.IsEmpty()) {
        m_SharedResInfo.m_dwDefaultDisabledColor = 0xFFA7A6AA;
        m_SharedResInfo.m_dwDefaultFontColor = 0xFF000000;
        m_SharedResInfo.m_dwDefaultLinkFontColor = 0xFF0000FF;
        m_SharedResInfo.m_dwDefaultLinkHoverFontColor = 0xFFD3215F;
        m_SharedResInfo.m_dwDefaultSelectedBkColor = 0xFFBAE4FF;
        // The stock font comes at the system DPI in a DPI-aware process;
        // the record keeps its size in skin pixels (at 96 DPI), which the
        // DPI scale then enlarges once, not twice.
        LOGFONTW lf = StockGuiLogFont();
        HDC hScreen = ::GetDC(nullptr);
        const int systemDpi = hScreen != nullptr ? ::GetDeviceCaps(hScreen, LOGPIXELSY) : 96;
        if (hScreen != nullptr) ::ReleaseDC(nullptr, hScreen);
        if (systemDpi > 0 && systemDpi != 96) lf.lfHeight = ::MulDiv(lf.lfHeight, 96, systemDpi);
        HFONT hFont = ::CreateFontIndirectW(&lf);
        if (hFont != nullptr) {
            if (shared.hFont != nullptr) ::DeleteObject(shared.hFont);
            shared.hFont = hFont;
            shared.sFontName = lf.lfFaceName;
            shared.iSize = -lf.lfHeight;
            shared.bBold = lf.lfWeight >= FW_BOLD;
            shared.bUnderline = lf.lfUnderline == TRUE;
            shared.bItalic = lf.lfItalic == TRUE;
            shared.uScale = 100;
            shared.uGeneration = NextFontGeneration();
            ZeroMemory(&shared.tm, sizeof(shared.tm));
        }
    }
    m_ResInfo.m_dwDefaultDisabledColor = m_SharedResInfo.m_dwDefaultDisabledColor;
    m_ResInfo.m_dwDefaultFontColor = m_SharedResInfo.m_dwDefaultFontColor;
    m_ResInfo.m_dwDefaultLinkFontColor = m_SharedResInfo.m_dwDefaultLinkFontColor;
    m_ResInfo.m_dwDefaultLinkHoverFontColor = m_SharedResInfo.m_dwDefaultLinkHoverFontColor;
    m_ResInfo.m_dwDefaultSelectedBkColor = m_SharedResInfo.m_dwDefaultSelectedBkColor;

    // Each manager starts GDI+ for itself and shuts it down with its token.
    m_pGdiplusStartupInput = new (std::nothrow) Gdiplus::GdiplusStartupInput();
    if (m_pGdiplusStartupInput != nullptr &&
        Gdiplus::GdiplusStartup(&m_gdiplusToken, m_pGdiplusStartupInput, nullptr) != Gdiplus::Ok) {
        m_gdiplusToken = 0;
    }
}

void CPaintManagerUI::ResetWindowResources()
{
    RemoveAllFonts(false);
    FreeImageTable(m_ResInfo.m_ImageHash);
    FreeTableStrings(m_ResInfo.m_AttrHash);
    FreeTableStrings(m_ResInfo.m_StyleHash);
    RemoveAllWindowCustomAttribute();
    RemoveAllOptionGroups();
}

void CPaintManagerUI::TermResources()
{
    if (m_ResInfo.m_DefaultFontInfo.hFont != nullptr) ::DeleteObject(m_ResInfo.m_DefaultFontInfo.hFont);
    m_ResInfo.m_DefaultFontInfo.hFont = nullptr;
    FreeFontTable(m_ResInfo.m_CustomFonts);
    FreeScaledFonts();
    FreeImageTable(m_ResInfo.m_ImageHash);
    FreeTableStrings(m_ResInfo.m_AttrHash);
    FreeTableStrings(m_ResInfo.m_StyleHash);
    FreeDrawInfoTable(m_ResInfo.m_DrawInfoHash);
    RemoveAllWindowCustomAttribute();
    RemoveAllOptionGroups();
    if (m_gdiplusToken != 0) Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
    delete m_pGdiplusStartupInput;
    m_pGdiplusStartupInput = nullptr;
    delete m_pDPI;
    m_pDPI = nullptr;
}

// ---- Plug-ins, skin reload and colour adjustment ---------------------------

bool CPaintManagerUI::LoadPlugin(LPCTSTR pstrModuleName)
{
    if (pstrModuleName == nullptr || pstrModuleName[0] == L'\0') return false;
    HMODULE hModule = ::LoadLibraryW(pstrModuleName);
    if (hModule == nullptr) return false;
    FARPROC pCreate = ::GetProcAddress(hModule, "CreateControl");
    if (pCreate == nullptr) {
        ::FreeLibrary(hModule);
        return false;
    }
    void* pEntry = reinterpret_cast<void*>(pCreate);
    if (m_aPlugins.Find(pEntry) < 0 && !m_aPlugins.Add(pEntry)) return false;
    return true;
}

CStdPtrArray* CPaintManagerUI::GetPlugins()
{
    return &m_aPlugins;
}

void CPaintManagerUI::ReloadSkin()
{
    ReloadSharedImages();
    for (int i = 0; i < m_aPreMessages.GetSize(); ++i) {
        static_cast<CPaintManagerUI*>(m_aPreMessages[i])->ReloadImages();
    }
}

void CPaintManagerUI::SetHSL(bool bUseHSL, short H, short S, short L)
{
    if (!m_bUseHSL && !bUseHSL) return;
    m_bUseHSL = bUseHSL;
    if (H == m_H && S == m_S && L == m_L) return;
    m_H = H < 0 ? 0 : (H > 360 ? 360 : H);
    m_S = S < 0 ? 0 : (S > 200 ? 200 : S);
    m_L = L < 0 ? 0 : (L > 200 ? 200 : L);
    AdjustSharedImagesHSL();
    for (int i = 0; i < m_aPreMessages.GetSize(); ++i) {
        static_cast<CPaintManagerUI*>(m_aPreMessages[i])->AdjustImagesHSL();
    }
}

bool CPaintManagerUI::GetHSL(short* H, short* S, short* L)
{
    if (H != nullptr) *H = m_H;
    if (S != nullptr) *S = m_S;
    if (L != nullptr) *L = m_L;
    return m_bUseHSL;
}

// Images keep no working pixel buffer (the loader fills none), so there is
// nothing to recolour; the windows repaint with the new values.
void CPaintManagerUI::AdjustSharedImagesHSL() {}

void CPaintManagerUI::AdjustImagesHSL()
{
    if (m_hWndPaint != nullptr) ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void CPaintManagerUI::SetForceUseSharedRes(bool bForce)
{
    m_bForceUseSharedRes = bForce;
}

bool CPaintManagerUI::IsForceUseSharedRes() const
{
    return m_bForceUseSharedRes;
}

// ---- Colours -----------------------------------------------------------------

void CPaintManagerUI::SetColor(DWORD TResInfo::*color, DWORD dwColor, bool bShared)
{
    if (bShared || m_bForceUseSharedRes) {
        if (m_ResInfo.*color == m_SharedResInfo.*color) m_ResInfo.*color = dwColor;
        m_SharedResInfo.*color = dwColor;
    } else {
        m_ResInfo.*color = dwColor;
    }
}

void CPaintManagerUI::SetDefaultDisabledColor(DWORD dwColor, bool bShared)
{
    SetColor(&TResInfo::m_dwDefaultDisabledColor, dwColor, bShared);
}

DWORD CPaintManagerUI::GetDefaultDisabledColor() const
{
    return m_ResInfo.m_dwDefaultDisabledColor;
}

void CPaintManagerUI::SetDefaultFontColor(DWORD dwColor, bool bShared)
{
    SetColor(&TResInfo::m_dwDefaultFontColor, dwColor, bShared);
}

DWORD CPaintManagerUI::GetDefaultFontColor() const
{
    return m_ResInfo.m_dwDefaultFontColor;
}

void CPaintManagerUI::SetDefaultLinkFontColor(DWORD dwColor, bool bShared)
{
    SetColor(&TResInfo::m_dwDefaultLinkFontColor, dwColor, bShared);
}

DWORD CPaintManagerUI::GetDefaultLinkFontColor() const
{
    return m_ResInfo.m_dwDefaultLinkFontColor;
}

void CPaintManagerUI::SetDefaultLinkHoverFontColor(DWORD dwColor, bool bShared)
{
    SetColor(&TResInfo::m_dwDefaultLinkHoverFontColor, dwColor, bShared);
}

DWORD CPaintManagerUI::GetDefaultLinkHoverFontColor() const
{
    return m_ResInfo.m_dwDefaultLinkHoverFontColor;
}

void CPaintManagerUI::SetDefaultSelectedBkColor(DWORD dwColor, bool bShared)
{
    SetColor(&TResInfo::m_dwDefaultSelectedBkColor, dwColor, bShared);
}

DWORD CPaintManagerUI::GetDefaultSelectedBkColor() const
{
    return m_ResInfo.m_dwDefaultSelectedBkColor;
}

// ---- Fonts -------------------------------------------------------------------

TFontInfo* CPaintManagerUI::GetDefaultFontInfo()
{
    TFontInfo* pInfo = m_ResInfo.m_DefaultFontInfo.sFontName.IsEmpty()
        ? AtOwnScale(&m_SharedResInfo.m_DefaultFontInfo)
        : &m_ResInfo.m_DefaultFontInfo;
    return Measured(pInfo);
}

void CPaintManagerUI::SetDefaultFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline,
                                     bool bItalic, bool bShared)
{
    LOGFONTW lf = StockGuiLogFont();
    SetFaceName(lf, pStrFontName);
    lf.lfHeight = -GetDPIObj()->Scale(nSize);
    if (bBold) lf.lfWeight = AddBoldWeight(lf.lfWeight);
    if (bUnderline) lf.lfUnderline = TRUE;
    if (bItalic) lf.lfItalic = TRUE;
    HFONT hFont = ::CreateFontIndirectW(&lf);
    if (hFont == nullptr) return;

    TFontInfo& info =
        (bShared || m_bForceUseSharedRes) ? m_SharedResInfo.m_DefaultFontInfo : m_ResInfo.m_DefaultFontInfo;
    if (info.hFont != nullptr) ::DeleteObject(info.hFont);
    info.hFont = hFont;
    info.sFontName = lf.lfFaceName;
    info.iSize = nSize;
    info.bBold = bBold;
    info.bUnderline = bUnderline;
    info.bItalic = bItalic;
    info.uScale = GetDPIObj()->GetScale();
    info.uGeneration = NextFontGeneration();
    ZeroMemory(&info.tm, sizeof(info.tm));
    MeasureFont(&info);
}

DWORD CPaintManagerUI::GetCustomFontCount(bool bShared) const
{
    const TResInfo& set = (bShared || m_bForceUseSharedRes) ? m_SharedResInfo : m_ResInfo;
    return static_cast<DWORD>(set.m_CustomFonts.GetSize());
}

HFONT CPaintManagerUI::AddFont(int id, LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline,
                               bool bItalic, bool bShared)
{
    LOGFONTW lf = StockGuiLogFont();
    SetFaceName(lf, pStrFontName);
    lf.lfHeight = -GetDPIObj()->Scale(nSize);
    if (bBold) lf.lfWeight = FW_BOLD;
    if (bUnderline) lf.lfUnderline = TRUE;
    if (bItalic) lf.lfItalic = TRUE;
    HFONT hFont = ::CreateFontIndirectW(&lf);
    if (hFont == nullptr) return nullptr;

    TFontInfo* pInfo = new (std::nothrow) TFontInfo;
    if (pInfo == nullptr) {
        ::DeleteObject(hFont);
        return nullptr;
    }
    pInfo->hFont = hFont;
    pInfo->sFontName = lf.lfFaceName;
    pInfo->iSize = nSize;
    pInfo->bBold = bBold;
    pInfo->bUnderline = bUnderline;
    pInfo->bItalic = bItalic;
    pInfo->uScale = GetDPIObj()->GetScale();
    pInfo->uGeneration = NextFontGeneration();
    MeasureFont(pInfo);

    wchar_t szKey[16];
    _snwprintf(szKey, 16, L"%d", id);
    szKey[15] = L'\0';
    CStdStringPtrMap& fonts = ChosenSet(&TResInfo::m_CustomFonts, bShared);
    TFontInfo* pOld = static_cast<TFontInfo*>(fonts.Find(szKey));
    if (pOld != nullptr) {
        DeleteFontInfo(pOld);
        fonts.Remove(szKey);
    }
    if (!fonts.Insert(szKey, pInfo)) {
        DeleteFontInfo(pInfo);
        return nullptr;
    }
    return hFont;
}

HFONT CPaintManagerUI::GetFont(int id)
{
    if (id >= 0) {
        wchar_t szKey[16];
        _snwprintf(szKey, 16, L"%d", id);
        szKey[15] = L'\0';
        TFontInfo* pInfo = static_cast<TFontInfo*>(m_ResInfo.m_CustomFonts.Find(szKey));
        if (pInfo == nullptr)
            pInfo = AtOwnScale(static_cast<TFontInfo*>(m_SharedResInfo.m_CustomFonts.Find(szKey)));
        if (pInfo != nullptr) return pInfo->hFont;
    }
    return GetDefaultFontInfo()->hFont;
}

namespace {

bool FontMatches(const TFontInfo* pInfo, LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline,
                 bool bItalic)
{
    return pInfo != nullptr && pInfo->sFontName == (pStrFontName != nullptr ? pStrFontName : L"") &&
        pInfo->iSize == nSize && pInfo->bBold == bBold && pInfo->bUnderline == bUnderline &&
        pInfo->bItalic == bItalic;
}

// The key of the first record of a font table that the predicate accepts.
template <typename Pred>
LPCTSTR FindFontKey(const CStdStringPtrMap& fonts, Pred pred)
{
    for (int i = 0; i < fonts.GetSize(); ++i) {
        LPCTSTR key = fonts.GetAt(i);
        if (key != nullptr && pred(static_cast<TFontInfo*>(fonts.Find(key, false)))) return key;
    }
    return nullptr;
}

}  // namespace

HFONT CPaintManagerUI::GetFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic)
{
    auto match = [&](const TFontInfo* p) {
        return FontMatches(p, pStrFontName, nSize, bBold, bUnderline, bItalic);
    };
    const CStdStringPtrMap* sets[2] = {&m_ResInfo.m_CustomFonts, &m_SharedResInfo.m_CustomFonts};
    for (const CStdStringPtrMap* pSet : sets) {
        LPCTSTR key = FindFontKey(*pSet, match);
        if (key == nullptr) continue;
        TFontInfo* pInfo = static_cast<TFontInfo*>(pSet->Find(key, false));
        return (pSet == sets[0] ? pInfo : AtOwnScale(pInfo))->hFont;
    }
    return nullptr;
}

int CPaintManagerUI::GetFontIndex(HFONT hFont, bool bShared)
{
    const CStdStringPtrMap& fonts = bShared ? m_SharedResInfo.m_CustomFonts : m_ResInfo.m_CustomFonts;
    if (hFont == nullptr) return -1;
    // This window's copy of a shared record stands for the record.
    const TFontInfo* pCopied = bShared ? SharedOfCopy(hFont) : nullptr;
    LPCTSTR key = FindFontKey(
        fonts, [&](const TFontInfo* p) { return p != nullptr && (p->hFont == hFont || p == pCopied); });
    return key != nullptr ? _wtoi(key) : -1;
}

int CPaintManagerUI::GetFontIndex(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                                  bool bShared)
{
    const CStdStringPtrMap& fonts = bShared ? m_SharedResInfo.m_CustomFonts : m_ResInfo.m_CustomFonts;
    LPCTSTR key = FindFontKey(fonts, [&](const TFontInfo* p) {
        return FontMatches(p, pStrFontName, nSize, bBold, bUnderline, bItalic);
    });
    return key != nullptr ? _wtoi(key) : -1;
}

void CPaintManagerUI::RemoveFont(HFONT hFont, bool bShared)
{
    if (hFont == nullptr) return;
    const TFontInfo* pCopied = SharedOfCopy(hFont);
    if (pCopied != nullptr) hFont = pCopied->hFont;
    CStdStringPtrMap& fonts = ChosenSet(&TResInfo::m_CustomFonts, bShared);
    LPCTSTR key = FindFontKey(fonts, [&](const TFontInfo* p) { return p != nullptr && p->hFont == hFont; });
    if (key == nullptr) return;
    CUIString sKey(key);
    DeleteFontInfo(static_cast<TFontInfo*>(fonts.Find(sKey, false)));
    fonts.Remove(sKey);
}

void CPaintManagerUI::RemoveFont(int id, bool bShared)
{
    wchar_t szKey[16];
    _snwprintf(szKey, 16, L"%d", id);
    szKey[15] = L'\0';
    CStdStringPtrMap& fonts = ChosenSet(&TResInfo::m_CustomFonts, bShared);
    TFontInfo* pInfo = static_cast<TFontInfo*>(fonts.Find(szKey));
    if (pInfo == nullptr) return;
    DeleteFontInfo(pInfo);
    fonts.Remove(szKey);
}

void CPaintManagerUI::RemoveAllFonts(bool bShared)
{
    FreeFontTable(ChosenSet(&TResInfo::m_CustomFonts, bShared));
}

TFontInfo* CPaintManagerUI::GetFontInfo(int id)
{
    if (id < 0) return GetDefaultFontInfo();
    wchar_t szKey[16];
    _snwprintf(szKey, 16, L"%d", id);
    szKey[15] = L'\0';
    TFontInfo* pInfo = static_cast<TFontInfo*>(m_ResInfo.m_CustomFonts.Find(szKey));
    if (pInfo == nullptr)
        pInfo = AtOwnScale(static_cast<TFontInfo*>(m_SharedResInfo.m_CustomFonts.Find(szKey)));
    if (pInfo == nullptr) return GetDefaultFontInfo();
    return Measured(pInfo);
}

TFontInfo* CPaintManagerUI::GetFontInfo(HFONT hFont)
{
    if (hFont != nullptr) {
        auto byHandle = [&](const TFontInfo* p) { return p != nullptr && p->hFont == hFont; };
        const CStdStringPtrMap* sets[2] = {&m_ResInfo.m_CustomFonts, &m_SharedResInfo.m_CustomFonts};
        for (const CStdStringPtrMap* pSet : sets) {
            LPCTSTR key = FindFontKey(*pSet, byHandle);
            if (key != nullptr) return Measured(static_cast<TFontInfo*>(pSet->Find(key, false)));
        }
        for (int i = 0; i < m_aScaledFonts.GetSize(); ++i) {
            TScaledFont* pCopy = static_cast<TScaledFont*>(m_aScaledFonts[i]);
            if (pCopy->font.hFont == hFont) return Measured(&pCopy->font);
        }
    }
    return GetDefaultFontInfo();
}

void CPaintManagerUI::RebuildFont(TFontInfo* pFontInfo)
{
    if (pFontInfo == nullptr) return;
    LOGFONTW lf = StockGuiLogFont();
    SetFaceName(lf, pFontInfo->sFontName);
    lf.lfHeight = -GetDPIObj()->Scale(pFontInfo->iSize);
    lf.lfQuality = CLEARTYPE_QUALITY;
    if (pFontInfo->bBold) lf.lfWeight = AddBoldWeight(lf.lfWeight);
    if (pFontInfo->bUnderline) lf.lfUnderline = TRUE;
    if (pFontInfo->bItalic) lf.lfItalic = TRUE;
    if (pFontInfo->hFont != nullptr) ::DeleteObject(pFontInfo->hFont);
    pFontInfo->hFont = ::CreateFontIndirectW(&lf);
    pFontInfo->uScale = GetDPIObj()->GetScale();
    ZeroMemory(&pFontInfo->tm, sizeof(pFontInfo->tm));
    MeasureFont(pFontInfo);
}

TFontInfo* CPaintManagerUI::AtOwnScale(TFontInfo* pShared)
{
    if (pShared == nullptr || pShared->hFont == nullptr) return pShared;
    const UINT uScale = GetDPIObj()->GetScale();
    const bool bRebuilt = m_uRescaleGeneration > pShared->uGeneration;
    if (!bRebuilt && pShared->uScale == uScale) return pShared;
    // Copies go with each rescale, so that every copy is of this scale.
    for (int i = 0; i < m_aScaledFonts.GetSize(); ++i) {
        TScaledFont* pCopy = static_cast<TScaledFont*>(m_aScaledFonts[i]);
        if (pCopy->pShared == pShared && pCopy->uSharedGeneration == pShared->uGeneration)
            return &pCopy->font;
    }
    TScaledFont* pCopy = new (std::nothrow) TScaledFont;
    if (pCopy == nullptr) return pShared;
    pCopy->pShared = pShared;
    pCopy->uSharedGeneration = pShared->uGeneration;
    TFontInfo& font = pCopy->font;
    font.sFontName = pShared->sFontName;
    font.iSize = pShared->iSize;
    font.bBold = pShared->bBold;
    font.bUnderline = pShared->bUnderline;
    font.bItalic = pShared->bItalic;
    font.uGeneration = pShared->uGeneration;
    LOGFONTW lf;
    if (bRebuilt) {
        RebuildFont(&font);
    } else if (::GetObjectW(pShared->hFont, sizeof(lf), &lf) != 0) {
        // As made, only at this scale.
        lf.lfHeight = -GetDPIObj()->Scale(pShared->iSize);
        font.hFont = ::CreateFontIndirectW(&lf);
        font.uScale = uScale;
        MeasureFont(&font);
    }
    if (font.hFont == nullptr || !m_aScaledFonts.Add(pCopy)) {
        if (font.hFont != nullptr) ::DeleteObject(font.hFont);
        delete pCopy;
        return pShared;
    }
    return &font;
}

TFontInfo* CPaintManagerUI::SharedOfCopy(HFONT hFont)
{
    if (hFont == nullptr) return nullptr;
    for (int i = 0; i < m_aScaledFonts.GetSize(); ++i) {
        const TScaledFont* pCopy = static_cast<TScaledFont*>(m_aScaledFonts[i]);
        if (pCopy->font.hFont != hFont) continue;
        if (pCopy->pShared == &m_SharedResInfo.m_DefaultFontInfo) return &m_SharedResInfo.m_DefaultFontInfo;
        const CStdStringPtrMap& fonts = m_SharedResInfo.m_CustomFonts;
        LPCTSTR key = FindFontKey(fonts, [&](const TFontInfo* p) { return p == pCopy->pShared; });
        return key != nullptr ? static_cast<TFontInfo*>(fonts.Find(key, false)) : nullptr;
    }
    return nullptr;
}

void CPaintManagerUI::FreeScaledFonts()
{
    for (int i = 0; i < m_aScaledFonts.GetSize(); ++i) {
        TScaledFont* pCopy = static_cast<TScaledFont*>(m_aScaledFonts[i]);
        if (pCopy->font.hFont != nullptr) ::DeleteObject(pCopy->font.hFont);
        delete pCopy;
    }
    m_aScaledFonts.Empty();
}

// ---- Images --------------------------------------------------------------------

const TImageInfo* CPaintManagerUI::GetImage(LPCTSTR bitmap)
{
    TImageInfo* pData = static_cast<TImageInfo*>(m_ResInfo.m_ImageHash.Find(bitmap));
    if (pData == nullptr) pData = static_cast<TImageInfo*>(m_SharedResInfo.m_ImageHash.Find(bitmap));
    return pData;
}

const TImageInfo* CPaintManagerUI::GetImageEx(LPCTSTR bitmap, LPCTSTR type, DWORD mask, bool bUseHSL,
                                              HINSTANCE instance)
{
    const TImageInfo* pData = GetImage(bitmap);
    if (pData != nullptr) return pData;
    return AddImage(bitmap, type, mask, bUseHSL, false, instance);
}

const TImageInfo* CPaintManagerUI::AddImage(LPCTSTR bitmap, LPCTSTR type, DWORD mask, bool bUseHSL,
                                            bool bShared, HINSTANCE instance)
{
    if (bitmap == nullptr || bitmap[0] == L'\0') return nullptr;
    TImageInfo* pData = LoadByName(bitmap, type, mask, instance);
    if (pData == nullptr) return nullptr;
    pData->bUseHSL = bUseHSL;
    if (type != nullptr) pData->sResType = type;
    pData->dwMask = mask;
    CopySourceBits(pData);

    CStdStringPtrMap& images = ChosenSet(&TResInfo::m_ImageHash, bShared);
    TImageInfo* pOld = static_cast<TImageInfo*>(images.Find(bitmap));
    if (pOld != nullptr) {
        CRenderEngine::FreeImage(pOld);
        images.Remove(bitmap);
    }
    if (!images.Insert(bitmap, pData)) {
        CRenderEngine::FreeImage(pData);
        return nullptr;
    }
    return pData;
}

const TImageInfo* CPaintManagerUI::AddImage(LPCTSTR bitmap, HBITMAP hBitmap, int iWidth, int iHeight,
                                            bool bAlpha, bool bShared)
{
    // Refused arguments leave the bitmap with the caller, who frees it when
    // null comes back; only a record that fails to go into the table takes
    // the bitmap with it.
    if (bitmap == nullptr || bitmap[0] == L'\0' || hBitmap == nullptr || iWidth <= 0 || iHeight <= 0)
        return nullptr;
    TImageInfo* pData = new (std::nothrow) TImageInfo;
    if (pData == nullptr) return nullptr;
    pData->hBitmap = hBitmap;
    pData->nX = iWidth;
    pData->nY = iHeight;
    pData->bAlpha = bAlpha;
    if (!ChosenSet(&TResInfo::m_ImageHash, bShared).Insert(bitmap, pData)) {
        CRenderEngine::FreeImage(pData);
        return nullptr;
    }
    return pData;
}

void CPaintManagerUI::RemoveImage(LPCTSTR bitmap, bool bShared)
{
    CStdStringPtrMap& images = ChosenSet(&TResInfo::m_ImageHash, bShared);
    TImageInfo* pData = static_cast<TImageInfo*>(images.Find(bitmap));
    if (pData == nullptr) return;
    CRenderEngine::FreeImage(pData);
    images.Remove(bitmap);
}

void CPaintManagerUI::RemoveAllImages(bool bShared)
{
    FreeImageTable(ChosenSet(&TResInfo::m_ImageHash, bShared));
}

void CPaintManagerUI::ReloadSharedImages()
{
    ReloadImageTable(m_SharedResInfo.m_ImageHash, true);
}

void CPaintManagerUI::ReloadImages()
{
    RemoveAllDrawInfos();
    ReloadImageTable(m_ResInfo.m_ImageHash, false);
    if (m_pRoot != nullptr) m_pRoot->Invalidate();
}

const TImageInfo* CPaintManagerUI::GetImageString(LPCTSTR pStrImage, LPCTSTR pStrModify)
{
    // Parsed without a manager: the name is taken as written, unscaled.
    TDrawInfo info;
    info.Parse(pStrImage, pStrModify, nullptr);
    return GetImageEx(info.sImageName, info.sResType, info.dwMask, false, nullptr);
}

// ---- Draw descriptions -----------------------------------------------------------

const TDrawInfo* CPaintManagerUI::GetDrawInfo(LPCTSTR pStrImage, LPCTSTR pStrModify)
{
    CUIString sKey(pStrImage != nullptr ? pStrImage : L"");
    sKey += (pStrModify != nullptr ? pStrModify : L"");
    if (sKey.IsEmpty()) return nullptr;
    TDrawInfo* pInfo = static_cast<TDrawInfo*>(m_ResInfo.m_DrawInfoHash.Find(sKey));
    if (pInfo != nullptr) return pInfo;
    pInfo = new (std::nothrow) TDrawInfo;
    if (pInfo == nullptr) return nullptr;
    pInfo->Parse(pStrImage, pStrModify, this);
    if (!m_ResInfo.m_DrawInfoHash.Insert(sKey, pInfo)) {
        delete pInfo;
        return nullptr;
    }
    return pInfo;
}

void CPaintManagerUI::RemoveDrawInfo(LPCTSTR pStrImage, LPCTSTR pStrModify)
{
    CUIString sKey(pStrImage != nullptr ? pStrImage : L"");
    sKey += (pStrModify != nullptr ? pStrModify : L"");
    TDrawInfo* pInfo = static_cast<TDrawInfo*>(m_ResInfo.m_DrawInfoHash.Find(sKey));
    if (pInfo == nullptr) return;
    delete pInfo;
    m_ResInfo.m_DrawInfoHash.Remove(sKey);
}

void CPaintManagerUI::RemoveAllDrawInfos()
{
    FreeDrawInfoTable(m_ResInfo.m_DrawInfoHash);
}

// ---- Default attribute lists and styles -------------------------------------------

void CPaintManagerUI::AddDefaultAttributeList(LPCTSTR pStrControlName, LPCTSTR pStrControlAttrList,
                                              bool bShared)
{
    if (pStrControlName == nullptr || pStrControlName[0] == L'\0') return;
    CUIString* pList =
        new (std::nothrow) CUIString(pStrControlAttrList != nullptr ? pStrControlAttrList : L"");
    if (pList == nullptr) return;
    CStdStringPtrMap& lists = ChosenSet(&TResInfo::m_AttrHash, bShared);
    CUIString* pOld = static_cast<CUIString*>(lists.Find(pStrControlName));
    if (pOld != nullptr) {
        lists.Set(pStrControlName, pList);
        delete pOld;
    } else if (!lists.Insert(pStrControlName, pList)) {
        delete pList;
    }
}

LPCTSTR CPaintManagerUI::GetDefaultAttributeList(LPCTSTR pStrControlName) const
{
    CUIString* pList = static_cast<CUIString*>(m_ResInfo.m_AttrHash.Find(pStrControlName));
    if (pList == nullptr) pList = static_cast<CUIString*>(m_SharedResInfo.m_AttrHash.Find(pStrControlName));
    return pList != nullptr ? pList->GetData() : nullptr;
}

bool CPaintManagerUI::RemoveDefaultAttributeList(LPCTSTR pStrControlName, bool bShared)
{
    CStdStringPtrMap& lists = ChosenSet(&TResInfo::m_AttrHash, bShared);
    CUIString* pList = static_cast<CUIString*>(lists.Find(pStrControlName));
    if (pList == nullptr) return false;
    delete pList;
    return lists.Remove(pStrControlName);
}

void CPaintManagerUI::RemoveAllDefaultAttributeList(bool bShared)
{
    FreeTableStrings(ChosenSet(&TResInfo::m_AttrHash, bShared));
}

void CPaintManagerUI::AddStyle(LPCTSTR pName, LPCTSTR pStyle, bool bShared)
{
    if (pName == nullptr || pName[0] == L'\0') return;
    CStdStringPtrMap& styles = ChosenSet(&TResInfo::m_StyleHash, bShared);
    if (styles.Find(pName) != nullptr) return;
    CUIString* pCopy = new (std::nothrow) CUIString(pStyle != nullptr ? pStyle : L"");
    if (pCopy != nullptr && !styles.Insert(pName, pCopy)) delete pCopy;
}

LPCTSTR CPaintManagerUI::GetStyle(LPCTSTR pName) const
{
    CUIString* pStyle = static_cast<CUIString*>(m_ResInfo.m_StyleHash.Find(pName));
    if (pStyle == nullptr) pStyle = static_cast<CUIString*>(m_SharedResInfo.m_StyleHash.Find(pName));
    return pStyle != nullptr ? pStyle->GetData() : nullptr;
}

bool CPaintManagerUI::RemoveStyle(LPCTSTR pName, bool bShared)
{
    CStdStringPtrMap& styles = ChosenSet(&TResInfo::m_StyleHash, bShared);
    CUIString* pStyle = static_cast<CUIString*>(styles.Find(pName));
    if (pStyle != nullptr) {
        delete pStyle;
        styles.Remove(pName);
    }
    return true;
}

const CStdStringPtrMap& CPaintManagerUI::GetStyles(bool bShared) const
{
    return (bShared || m_bForceUseSharedRes) ? m_SharedResInfo.m_StyleHash : m_ResInfo.m_StyleHash;
}

void CPaintManagerUI::RemoveAllStyle(bool bShared)
{
    FreeTableStrings(ChosenSet(&TResInfo::m_StyleHash, bShared));
}

// ---- Window custom attributes and option groups ------------------------------------

void CPaintManagerUI::AddWindowCustomAttribute(LPCTSTR pstrName, LPCTSTR pstrAttr)
{
    AddTableString(m_mWindowCustomAttrHash, pstrName, pstrAttr);
}

LPCTSTR CPaintManagerUI::GetWindowCustomAttribute(LPCTSTR pstrName) const
{
    return FindTableString(m_mWindowCustomAttrHash, pstrName);
}

bool CPaintManagerUI::RemoveWindowCustomAttribute(LPCTSTR pstrName)
{
    return RemoveTableString(m_mWindowCustomAttrHash, pstrName);
}

void CPaintManagerUI::RemoveAllWindowCustomAttribute()
{
    FreeTableStrings(m_mWindowCustomAttrHash);
    m_mWindowCustomAttrHash.Resize(83);
}

bool CPaintManagerUI::AddOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl)
{
    if (pStrGroupName == nullptr || pStrGroupName[0] == L'\0') return false;
    CStdPtrArray* aOptionGroup = static_cast<CStdPtrArray*>(m_mOptionGroup.Find(pStrGroupName));
    if (aOptionGroup != nullptr) {
        if (aOptionGroup->Find(pControl) >= 0) return false;
        return aOptionGroup->Add(pControl);
    }
    aOptionGroup = new (std::nothrow) CStdPtrArray(6);
    if (aOptionGroup == nullptr) return false;
    if (!aOptionGroup->Add(pControl) || !m_mOptionGroup.Insert(pStrGroupName, aOptionGroup)) {
        delete aOptionGroup;
        return false;
    }
    return true;
}

CStdPtrArray* CPaintManagerUI::GetOptionGroup(LPCTSTR pStrGroupName)
{
    return static_cast<CStdPtrArray*>(m_mOptionGroup.Find(pStrGroupName));
}

void CPaintManagerUI::RemoveOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl)
{
    CStdPtrArray* aOptionGroup = static_cast<CStdPtrArray*>(m_mOptionGroup.Find(pStrGroupName));
    if (aOptionGroup == nullptr) return;
    aOptionGroup->Remove(aOptionGroup->Find(pControl));
    if (aOptionGroup->IsEmpty()) {
        delete aOptionGroup;
        m_mOptionGroup.Remove(pStrGroupName);
    }
}

void CPaintManagerUI::RemoveAllOptionGroups()
{
    FreeGroupTable(m_mOptionGroup);
}

// ---- Window settings ------------------------------------------------------------

SIZE CPaintManagerUI::GetInitSize() const
{
    const CDPI* pDPI = m_pDPI;
    return pDPI != nullptr ? pDPI->Scale(m_szInitWindowSize) : m_szInitWindowSize;
}

void CPaintManagerUI::SetInitSize(int cx, int cy)
{
    m_szInitWindowSize.cx = cx;
    m_szInitWindowSize.cy = cy;
    if (m_pRoot == nullptr && m_hWndPaint != nullptr) {
        const SIZE sz = GetInitSize();
        ::SetWindowPos(m_hWndPaint, nullptr, 0, 0, sz.cx, sz.cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

RECT& CPaintManagerUI::GetSizeBox()
{
    return m_rcSizeBox;
}

void CPaintManagerUI::SetSizeBox(RECT& rcSizeBox)
{
    m_rcSizeBox = rcSizeBox;
}

RECT& CPaintManagerUI::GetCaptionRect()
{
    return m_rcCaption;
}

void CPaintManagerUI::SetCaptionRect(RECT& rcCaption)
{
    m_rcCaption = rcCaption;
}

SIZE CPaintManagerUI::GetRoundCorner() const
{
    return m_szRoundCorner;
}

void CPaintManagerUI::SetRoundCorner(int cx, int cy)
{
    m_szRoundCorner.cx = cx;
    m_szRoundCorner.cy = cy;
}

SIZE CPaintManagerUI::GetMinInfo() const
{
    return m_szMinWindow;
}

void CPaintManagerUI::SetMinInfo(int cx, int cy)
{
    m_szMinWindow.cx = cx;
    m_szMinWindow.cy = cy;
}

SIZE CPaintManagerUI::GetMaxInfo() const
{
    return m_szMaxWindow;
}

void CPaintManagerUI::SetMaxInfo(int cx, int cy)
{
    m_szMaxWindow.cx = cx;
    m_szMaxWindow.cy = cy;
}

SIZE CPaintManagerUI::GetClientSize() const
{
    RECT rcClient = {0, 0, 0, 0};
    if (m_hWndPaint != nullptr) ::GetClientRect(m_hWndPaint, &rcClient);
    SIZE sz = {rcClient.right - rcClient.left, rcClient.bottom - rcClient.top};
    return sz;
}

bool CPaintManagerUI::IsUseGdiplusText() const
{
    return m_bUseGdiplusText;
}

void CPaintManagerUI::SetUseGdiplusText(bool bUse)
{
    m_bUseGdiplusText = bUse;
}

int CPaintManagerUI::GetGdiplusTextRenderingHint() const
{
    return m_trh;
}

void CPaintManagerUI::SetGdiplusTextRenderingHint(int trh)
{
    m_trh = trh;
}

// ---- DPI change -----------------------------------------------------------------

CDPI* CPaintManagerUI::GetDPIObj()
{
    if (m_pDPI == nullptr) m_pDPI = new (std::nothrow) CDPI;
    // Without memory for the object the manager works at scale 100 through a
    // process-wide stand-in that nothing rescales.
    static CDPI s_unscaled;
    return m_pDPI != nullptr ? m_pDPI : &s_unscaled;
}

void CPaintManagerUI::SetDPI(int iDPI, const RECT* prcWindow)
{
    CDPI* pDPI = GetDPIObj();
    const SIZE szOldInit = GetInitSize();
    const int oldScale = static_cast<int>(pDPI->GetScale());
    pDPI->SetScale(static_cast<UINT>(iDPI));
    const int newScale = static_cast<int>(pDPI->GetScale());
    ResetDPIAssets();
    if (m_hWndPaint != nullptr) {
        RECT rcWnd = {0, 0, 0, 0};
        ::GetWindowRect(m_hWndPaint, &rcWnd);
        if (prcWindow != nullptr) {
            rcWnd = *prcWindow;
        } else if (!::IsZoomed(m_hWndPaint) && oldScale > 0) {
            // A window at the skin's size takes the skin's size at the new
            // scale, computed from skin pixels, so that going back and forth
            // between scales never drifts by a rounding pixel; any other
            // size is scaled by the ratio.
            int width = rcWnd.right - rcWnd.left;
            int height = rcWnd.bottom - rcWnd.top;
            const SIZE szNewInit = GetInitSize();
            const bool bAtSkinSize = m_szInitWindowSize.cx > 0 && m_szInitWindowSize.cy > 0 &&
                width == szOldInit.cx && height == szOldInit.cy;
            width = bAtSkinSize ? szNewInit.cx : ::MulDiv(width, newScale, oldScale);
            height = bAtSkinSize ? szNewInit.cy : ::MulDiv(height, newScale, oldScale);
            rcWnd.right = rcWnd.left + width;
            rcWnd.bottom = rcWnd.top + height;
        }
        ::SetWindowPos(m_hWndPaint, nullptr, rcWnd.left, rcWnd.top, rcWnd.right - rcWnd.left,
                       rcWnd.bottom - rcWnd.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // A maximised window keeps its size, so no WM_SIZE lays the tree out at
    // the new scale: ask for the layout here.
    if (m_pRoot != nullptr) {
        m_pRoot->NeedUpdate();
        Invalidate();
    }
}

void CPaintManagerUI::SetAllDPI(int iDPI)
{
    for (int i = 0; i < m_aPreMessages.GetSize(); ++i) {
        static_cast<CPaintManagerUI*>(m_aPreMessages[i])->SetDPI(iDPI);
    }
}

void CPaintManagerUI::ResetDPIAssets()
{
    RemoveAllDrawInfos();
    FreeImageTable(m_ResInfo.m_ImageHash);
    CStdStringPtrMap& fonts = m_ResInfo.m_CustomFonts;
    for (int i = 0; i < fonts.GetSize(); ++i)
        RebuildFont(static_cast<TFontInfo*>(fonts.Find(fonts.GetAt(i), false)));
    // An empty default record stands for "use the shared one": it has no
    // face of its own to rebuild.
    if (!m_ResInfo.m_DefaultFontInfo.sFontName.IsEmpty()) RebuildFont(&m_ResInfo.m_DefaultFontInfo);
    // The shared records stay as they were made: every other window keeps
    // drawing with them. This window makes its own copies, rebuilt at its
    // new scale, when it next asks for them.
    FreeScaledFonts();
    m_uRescaleGeneration = NextFontGeneration();
}

}  // namespace SkinUI
