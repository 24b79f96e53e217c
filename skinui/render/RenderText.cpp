// CRenderEngine: plain and inline-markup text.
//
//   Plain text: GDI, and GDI+ for windows that ask for GDI+ text
//   Inline markup: reader state, stacks and line starts
//   Inline markup: line ends and link rectangles
//   Inline markup: opening tags, closing tags, escapes, spaces, text runs
//   DrawHtmlText and GetTextSize
#include "skinui/render/RenderEngine.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/DibPixels.h"

#include <gdiplus.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

namespace SkinUI {

namespace {

COLORREF ToColorRef(DWORD dwColor)
{
    return RGB(GetBValue(dwColor), GetGValue(dwColor), GetRValue(dwColor));
}

// GDI text's colour on the manager's window. On a layered window the paint
// manager takes a pixel with alpha 0 for one nobody painted unless it has some
// colour, so black text is drawn a shade above black there: its fully covered
// pixels would otherwise come out transparent.
COLORREF TextColorRef(const CPaintManagerUI* pManager, DWORD dwColor)
{
    const COLORREF cr = ToColorRef(dwColor);
    return cr == RGB(0, 0, 0) && pManager != nullptr && pManager->IsLayered() ? RGB(1, 1, 1) : cr;
}

// ---- Plain text --------------------------------------------------------------

// The GDI+ objects of one DrawTextW call, released together.
struct TGdiplusText
{
    Gdiplus::GpGraphics* pGraphics = nullptr;
    Gdiplus::GpFont* pFont = nullptr;
    Gdiplus::GpStringFormat* pFormat = nullptr;
    Gdiplus::GpSolidFill* pBrush = nullptr;

    TGdiplusText() = default;
    TGdiplusText(const TGdiplusText&) = delete;
    TGdiplusText& operator=(const TGdiplusText&) = delete;
    ~TGdiplusText()
    {
        using namespace Gdiplus::DllExports;
        if (pBrush != nullptr) GdipDeleteBrush(pBrush);
        if (pFormat != nullptr) GdipDeleteStringFormat(pFormat);
        if (pFont != nullptr) GdipDeleteFont(pFont);
        if (pGraphics != nullptr) GdipDeleteGraphics(pGraphics);
    }
};

// Text rendering hints by the manager's number: 0 system default, 1 single
// bit per pixel grid-fit, 2 single bit per pixel, 3 antialias grid-fit,
// 4 antialias, 5 ClearType grid-fit.
Gdiplus::TextRenderingHint RenderingHint(int trh)
{
    switch (trh) {
    case 1:
        return Gdiplus::TextRenderingHintSingleBitPerPixelGridFit;
    case 2:
        return Gdiplus::TextRenderingHintSingleBitPerPixel;
    case 3:
        return Gdiplus::TextRenderingHintAntiAliasGridFit;
    case 4:
        return Gdiplus::TextRenderingHintAntiAlias;
    case 5:
        return Gdiplus::TextRenderingHintClearTypeGridFit;
    default:
        return Gdiplus::TextRenderingHintSystemDefault;
    }
}

void DrawTextGdiplus(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor,
                     HFONT hFont, UINT uStyle)
{
    using namespace Gdiplus::DllExports;
    TGdiplusText gp;
    if (GdipCreateFromHDC(hDC, &gp.pGraphics) != Gdiplus::Ok) {
        gp.pGraphics = nullptr;
        return;
    }
    LOGFONTW lf = {};
    if (hFont == nullptr || ::GetObjectW(hFont, sizeof(lf), &lf) == 0 ||
        GdipCreateFontFromLogfontW(hDC, &lf, &gp.pFont) != Gdiplus::Ok) {
        gp.pFont = nullptr;
        return;
    }
    GdipSetTextRenderingHint(gp.pGraphics, RenderingHint(pManager->GetGdiplusTextRenderingHint()));
    GdipSetSmoothingMode(gp.pGraphics, Gdiplus::SmoothingModeHighQuality);
    GdipSetInterpolationMode(gp.pGraphics, Gdiplus::InterpolationModeHighQualityBicubic);

    Gdiplus::GpStringFormat* pTypographic = nullptr;
    if (GdipStringFormatGetGenericTypographic(&pTypographic) != Gdiplus::Ok ||
        GdipCloneStringFormat(pTypographic, &gp.pFormat) != Gdiplus::Ok) {
        gp.pFormat = nullptr;
        return;
    }
    if ((uStyle & DT_END_ELLIPSIS) != 0) {
        GdipSetStringFormatTrimming(gp.pFormat, Gdiplus::StringTrimmingEllipsisCharacter);
    }
    INT formatFlags = 0;
    if ((uStyle & DT_NOCLIP) != 0) formatFlags |= Gdiplus::StringFormatFlagsNoClip;
    if ((uStyle & DT_SINGLELINE) != 0) formatFlags |= Gdiplus::StringFormatFlagsNoWrap;
    GdipSetStringFormatFlags(gp.pFormat, formatFlags);
    Gdiplus::StringAlignment align = Gdiplus::StringAlignmentNear;
    if ((uStyle & DT_CENTER) != 0) {
        align = Gdiplus::StringAlignmentCenter;
    } else if ((uStyle & DT_RIGHT) != 0) {
        align = Gdiplus::StringAlignmentFar;
    }
    GdipSetStringFormatAlign(gp.pFormat, align);
    Gdiplus::StringAlignment lineAlign = Gdiplus::StringAlignmentNear;
    if ((uStyle & DT_VCENTER) != 0) {
        lineAlign = Gdiplus::StringAlignmentCenter;
    } else if ((uStyle & DT_BOTTOM) != 0) {
        lineAlign = Gdiplus::StringAlignmentFar;
    }
    GdipSetStringFormatLineAlign(gp.pFormat, lineAlign);

    Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(rc.left), static_cast<Gdiplus::REAL>(rc.top),
                          static_cast<Gdiplus::REAL>(rc.right - rc.left),
                          static_cast<Gdiplus::REAL>(rc.bottom - rc.top));
    if ((uStyle & DT_CALCRECT) != 0) {
        Gdiplus::RectF bounds;
        if (GdipMeasureString(gp.pGraphics, pstrText, -1, gp.pFont, &layout, gp.pFormat, &bounds, nullptr,
                              nullptr) == Gdiplus::Ok) {
            rc.right = rc.left + static_cast<LONG>(bounds.Width) + 1;
            rc.bottom = rc.top + static_cast<LONG>(bounds.Height) + 1;
        }
        return;
    }
    // Alpha 254, not 255: text on a layered window stays blended with what
    // lies under it.
    const Gdiplus::ARGB argb = (static_cast<Gdiplus::ARGB>(254) << 24) | (dwTextColor & 0x00FFFFFF);
    if (GdipCreateSolidFill(argb, &gp.pBrush) != Gdiplus::Ok) {
        gp.pBrush = nullptr;
        return;
    }
    GdipDrawString(gp.pGraphics, pstrText, -1, gp.pFont, &layout, gp.pFormat, gp.pBrush);
}

// ---- Plain text: the result cache -------------------------------------------
// GDI+ text on a layered window costs far more than the pixels it changes, and
// a repaint draws the same texts over the same pixels again. The result is a
// function of the call (text, font, colour, style, rendering hint, rectangle,
// clip) and of the pixels GDI+ can write before it: those of the text's
// rectangle within the clip box, or of the whole clip box for a text drawn
// without clipping. So each entry keeps the call, those pixels, and the pixels
// of the box that drawing changed; a later call with the same call over the
// very same pixels (compared, not hashed: a row compare runs at memory speed
// and cannot be fooled) gets the changed pixels copied instead of drawn.
// Kept pixels are bounded by count and by bytes, the least recently used
// going first.

struct TTextResult
{
    std::wstring sText;
    LOGFONTW lf;
    DWORD dwColor = 0;
    UINT uStyle = 0;
    int nHint = 0;
    RECT rcText = {};  // device pixels
    RECT rcArea = {};  // the clip box, device pixels
    std::vector<RECT> aClip;
    std::vector<DWORD> aBefore;  // the writable pixels before drawing, row by row
    RECT rcChanged = {};
    std::vector<DWORD> aAfter;  // rcChanged's pixels, row by row
    unsigned uLastUse = 0;
};

const size_t kTextResults = 8;
// Several window-sized clip boxes; the launcher's texts keep a few dozen
// kilobytes (their rectangles and what they changed).
const size_t kTextResultBytes = 4 * 1024 * 1024;

std::vector<TTextResult>& TextResults()
{
    // Painting runs on the thread of its window.
    static thread_local std::vector<TTextResult> results;
    return results;
}

// rcKey's pixels equal the kept ones (the same rectangle, so the same count).
bool SameArea(const std::vector<DWORD>& aKept, const CDibPixels& pixels, const RECT& rcKey)
{
    const size_t width = static_cast<size_t>(rcKey.right - rcKey.left);
    if (aKept.size() != width * static_cast<size_t>(rcKey.bottom - rcKey.top)) return false;
    const DWORD* pKept = aKept.data();
    for (int y = rcKey.top; y < rcKey.bottom; ++y, pKept += width)
        if (memcmp(pixels.Row(y) + rcKey.left, pKept, width * sizeof(DWORD)) != 0) return false;
    return true;
}

size_t KeptBytes(const TTextResult& r)
{
    return (r.aBefore.size() + r.aAfter.size()) * sizeof(DWORD);
}

// The index of the least recently used entry; results is not empty.
size_t LeastRecentlyUsed(const std::vector<TTextResult>& results)
{
    size_t oldest = 0;
    for (size_t i = 1; i < results.size(); ++i)
        if (results[i].uLastUse < results[oldest].uLastUse) oldest = i;
    return oldest;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool SameCall(const TTextResult& r, LPCTSTR pstrText, const LOGFONTW& lf, DWORD dwColor, UINT uStyle,
              int nHint, const RECT& rcText, const RECT& rcArea, const CDibPixels& pixels)
{
    if (r.dwColor != dwColor || r.uStyle != uStyle || r.nHint != nHint || !SameRect(r.rcText, rcText) ||
        !SameRect(r.rcArea, rcArea) || memcmp(&r.lf, &lf, sizeof(lf)) != 0 || r.sText != pstrText) {
        return false;
    }
    const int nClip = pixels.ClipRectCount();
    if (nClip < 0) return r.aClip.empty();
    if (r.aClip.size() != static_cast<size_t>(nClip)) return false;
    return memcmp(r.aClip.data(), pixels.ClipRects(), sizeof(RECT) * nClip) == 0;
}

// A call as the cache knows it: rcText and rcArea (the clip box) in device
// pixels, and rcKey, the pixels the drawing can change or depend on.
struct TTextCall
{
    LPCTSTR pstrText;
    LOGFONTW lf;
    DWORD dwColor;
    UINT uStyle;
    int nHint;
    RECT rcText;
    RECT rcArea;
    RECT rcKey;
};

// False when the call is not one the cache takes.
bool DescribeCall(HDC hDC, const CDibPixels& pixels, CPaintManagerUI* pManager, const RECT& rc, HFONT hFont,
                  TTextCall& call)
{
    memset(&call.lf, 0, sizeof(call.lf));
    if (::GetObjectW(hFont, sizeof(call.lf), &call.lf) == 0) return false;
    RECT rcArea = {};
    if (::GetClipBox(hDC, &rcArea) == ERROR) return false;
    const POINT offset = pixels.Offset();
    ::OffsetRect(&rcArea, offset.x, offset.y);
    const RECT rcBits = {0, 0, pixels.Width(), pixels.Height()};
    if (!::IntersectRect(&call.rcArea, &rcArea, &rcBits)) return false;
    call.rcText = rc;
    ::OffsetRect(&call.rcText, offset.x, offset.y);
    call.nHint = pManager->GetGdiplusTextRenderingHint();
    // Without DT_NOCLIP GDI+ clips the text to its layout rectangle, so only
    // the pixels under it (one more all round, for the clip's edge) can
    // change or matter; only they are kept and compared. With DT_NOCLIP it
    // is the whole clip box.
    call.rcKey = call.rcArea;
    if ((call.uStyle & DT_NOCLIP) == 0) {
        RECT rcReach = call.rcText;
        ::InflateRect(&rcReach, 1, 1);
        if (!::IntersectRect(&call.rcKey, &call.rcArea, &rcReach)) return false;
    }
    return true;
}

// Copies the changed pixels of a kept result of the same call over the same
// pixels; false when there is none.
bool ReplayKept(std::vector<TTextResult>& results, const TTextCall& call, const CDibPixels& pixels,
                unsigned uUse)
{
    for (TTextResult& r : results) {
        if (!SameCall(r, call.pstrText, call.lf, call.dwColor, call.uStyle, call.nHint, call.rcText,
                      call.rcArea, pixels) ||
            !SameArea(r.aBefore, pixels, call.rcKey))
            continue;
        r.uLastUse = uUse;
        const int width = r.rcChanged.right - r.rcChanged.left;
        const DWORD* pFrom = r.aAfter.data();
        for (int y = r.rcChanged.top; y < r.rcChanged.bottom; ++y, pFrom += width)
            memcpy(pixels.Row(y) + r.rcChanged.left, pFrom, sizeof(DWORD) * width);
        return true;
    }
    return false;
}

// rc's pixels, row by row, appended to out.
void AppendPixels(const CDibPixels& pixels, const RECT& rc, std::vector<DWORD>& out)
{
    for (int y = rc.top; y < rc.bottom; ++y)
        out.insert(out.end(), pixels.Row(y) + rc.left, pixels.Row(y) + rc.right);
}

// The box of the pixels of rcKey that differ from before (its pixels row by
// row); an empty box at rcKey's corner when none does.
RECT ChangedBox(const CDibPixels& pixels, const RECT& rcKey, const std::vector<DWORD>& before)
{
    const int keyWidth = rcKey.right - rcKey.left;
    RECT rcChanged = {rcKey.right, rcKey.bottom, rcKey.left, rcKey.top};
    const DWORD* pBefore = before.data();
    for (int y = rcKey.top; y < rcKey.bottom; ++y, pBefore += keyWidth) {
        const DWORD* pRow = pixels.Row(y);
        for (int x = rcKey.left; x < rcKey.right; ++x) {
            if (pRow[x] == pBefore[x - rcKey.left]) continue;
            if (x < rcChanged.left) rcChanged.left = x;
            if (x >= rcChanged.right) rcChanged.right = x + 1;
            if (y < rcChanged.top) rcChanged.top = y;
            if (y >= rcChanged.bottom) rcChanged.bottom = y + 1;
        }
    }
    if (rcChanged.right < rcChanged.left) {
        // Nothing changed: an empty box.
        rcChanged.left = rcChanged.right = rcKey.left;
        rcChanged.top = rcChanged.bottom = rcKey.top;
    }
    return rcChanged;
}

// Keeps a drawn call: in a free slot, else in the least recently used one;
// then over the byte budget the least recently used entries go, the new one
// last: a text whose kept pixels alone are above it is drawn every time.
void KeepResult(std::vector<TTextResult>& results, const TTextCall& call, const CDibPixels& pixels,
                std::vector<DWORD>& before, const RECT& rcChanged, unsigned uUse)
{
    TTextResult* pSlot = nullptr;
    if (results.size() < kTextResults) {
        results.push_back(TTextResult());
        pSlot = &results.back();
    } else {
        pSlot = &results[LeastRecentlyUsed(results)];
    }
    pSlot->sText = call.pstrText;
    pSlot->lf = call.lf;
    pSlot->dwColor = call.dwColor;
    pSlot->uStyle = call.uStyle;
    pSlot->nHint = call.nHint;
    pSlot->rcText = call.rcText;
    pSlot->rcArea = call.rcArea;
    pSlot->aClip.assign(pixels.ClipRects(),
                        pixels.ClipRects() + (pixels.ClipRectCount() < 0 ? 0 : pixels.ClipRectCount()));
    pSlot->aBefore.swap(before);
    pSlot->rcChanged = rcChanged;
    pSlot->aAfter.clear();
    AppendPixels(pixels, rcChanged, pSlot->aAfter);
    pSlot->uLastUse = uUse;

    size_t bytes = 0;
    for (const TTextResult& r : results) bytes += KeptBytes(r);
    while (bytes > kTextResultBytes && !results.empty()) {
        const size_t oldest = LeastRecentlyUsed(results);
        bytes -= KeptBytes(results[oldest]);
        results.erase(results.begin() + static_cast<ptrdiff_t>(oldest));
    }
}

// Draws through the cache; false when the DC or the call is not one it
// takes, and nothing was drawn.
bool DrawTextGdiplusCached(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor,
                           HFONT hFont, UINT uStyle)
{
    if ((uStyle & DT_CALCRECT) != 0 || hFont == nullptr) return false;
    CDibPixels pixels;
    if (!pixels.Attach(hDC)) return false;
    TTextCall call;
    call.pstrText = pstrText;
    call.dwColor = dwTextColor;
    call.uStyle = uStyle;
    if (!DescribeCall(hDC, pixels, pManager, rc, hFont, call)) return false;

    std::vector<TTextResult>& results = TextResults();
    static thread_local unsigned uUse = 0;
    ++uUse;
    if (ReplayKept(results, call, pixels, uUse)) return true;

    const RECT& rcKey = call.rcKey;
    std::vector<DWORD> before;
    before.reserve(static_cast<size_t>(rcKey.right - rcKey.left) * (rcKey.bottom - rcKey.top));
    AppendPixels(pixels, rcKey, before);
    DrawTextGdiplus(hDC, pManager, rc, pstrText, dwTextColor, hFont, uStyle);
    ::GdiFlush();
    const RECT rcChanged = ChangedBox(pixels, rcKey, before);
    KeepResult(results, call, pixels, before, rcChanged, uUse);
    return true;
}

// ---- Inline markup: reader state, stacks and line starts ------------------

// A growable stack of plain values, at most kMaxMarkupNesting deep. A push
// past that depth, or one the heap cannot take, is dropped; the reader then
// simply pops one value early. The bound keeps the copy each line start
// makes small, whatever the text nests.
template <typename T>
class CTextStack
{
public:
    CTextStack() = default;
    CTextStack(const CTextStack&) = delete;
    CTextStack& operator=(const CTextStack&) = delete;
    ~CTextStack() { free(m_pItems); }

    bool IsEmpty() const { return m_nCount == 0; }
    T Top() const { return m_pItems[m_nCount - 1]; }
    void Pop()
    {
        if (m_nCount > 0) --m_nCount;
    }
    void Push(T value)
    {
        if (m_nCount >= CRenderEngine::kMaxMarkupNesting || !Reserve(m_nCount + 1)) return;
        m_pItems[m_nCount++] = value;
    }
    void CopyFrom(const CTextStack& src)
    {
        if (!Reserve(src.m_nCount)) return;
        if (src.m_nCount > 0) memcpy(m_pItems, src.m_pItems, sizeof(T) * src.m_nCount);
        m_nCount = src.m_nCount;
    }

private:
    bool Reserve(int nCount)
    {
        if (nCount <= m_nAllocated) return true;
        int nAllocated = m_nAllocated < 8 ? 8 : m_nAllocated * 2;
        if (nAllocated < nCount) nAllocated = nCount;
        T* pItems = static_cast<T*>(realloc(m_pItems, sizeof(T) * nAllocated));
        if (pItems == nullptr) return false;
        m_pItems = pItems;
        m_nAllocated = nAllocated;
        return true;
    }

    T* m_pItems = nullptr;
    int m_nCount = 0;
    int m_nAllocated = 0;
};

// Created font variants are registered under free ids from here upwards, far
// from the small ids skins give their fonts.
const int kFirstVariantFontId = 0x10000;
// Face names are kept to the 31 characters a LOGFONT holds, so that a
// variant is found again under the name it was recorded with.
const int kMaxFaceName = LF_FACESIZE - 1;

bool IsDigit(wchar_t ch)
{
    return ch >= L'0' && ch <= L'9';
}

bool IsAsciiLetter(wchar_t ch)
{
    return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z');
}

bool IsTagEnd(wchar_t ch)
{
    return ch == L'>' || ch == L'}';
}

// "{/r}" or "</r>".
bool IsRawClose(LPCTSTR p)
{
    return (p[0] == L'{' && p[1] == L'/' && p[2] == L'r' && p[3] == L'}') ||
        (p[0] == L'<' && p[1] == L'/' && p[2] == L'r' && p[3] == L'>');
}

void SkipSpaces(LPCTSTR& p)
{
    while (*p == L' ') ++p;
}

int ReadNumber(LPCTSTR& p, int base)
{
    LPTSTR pEnd = nullptr;
    long value = wcstol(p, &pEnd, base);
    if (pEnd != nullptr) p = pEnd;
    return static_cast<int>(value);
}

// Pen moves, line heights and spacings written in the text are kept within
// this many pixels, so that adding them up never overflows.
const int kMaxTextOffset = 1 << 24;

int LimitOffset(long long value)
{
    if (value > kMaxTextOffset) return kMaxTextOffset;
    if (value < -kMaxTextOffset) return -kMaxTextOffset;
    return static_cast<int>(value);
}

// Characters up to the tag end; with bStopAtSpace also up to a space.
CUIString ReadTagText(LPCTSTR& p, bool bStopAtSpace)
{
    LPCTSTR pStart = p;
    while (*p != L'\0' && !IsTagEnd(*p) && !(bStopAtSpace && *p == L' ')) ++p;
    return CUIString(pStart, static_cast<int>(p - pStart));
}

// Reads one text with inline markup, line by line. When drawing, each line
// is read twice: a measuring pass that finds its height and records link
// rectangles, then, from the state saved at the line's start, a drawing
// pass. Measuring only (DT_CALCRECT) reads each line once.
class CHtmlTextReader
{
public:
    CHtmlTextReader(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor,
                    RECT* prcLinks, CUIString* sLinks, int nLinkSlots, UINT uStyle)
        : m_hDC(hDC), m_pManager(pManager), m_rc(rc), m_p(pstrText), m_dwTextColor(dwTextColor),
          m_prcLinks(prcLinks), m_sLinks(sLinks), m_nLinkSlots(nLinkSlots), m_uStyle(uStyle),
          m_bDraw((uStyle & DT_CALCRECT) == 0)
    {
        m_pDefaultFont = pManager->GetDefaultFontInfo();
    }

    // Reads the whole text; returns the number of link rectangles made.
    int Read();

private:
    // ---- State helpers ----
    bool IsDrawingPass() const { return m_bDraw && m_bLineDraw; }
    bool IsMeasuringPass() const { return !IsDrawingPass(); }
    bool IsSingleLine() const { return (m_uStyle & DT_SINGLELINE) != 0; }
    TFontInfo* CurrentFont() const { return m_fonts.IsEmpty() ? m_pDefaultFont : m_fonts.Top(); }
    DWORD CurrentColor() const { return m_colors.IsEmpty() ? m_dwTextColor : m_colors.Top(); }
    int CurrentSpacing() const { return m_spacings.IsEmpty() ? 0 : m_spacings.Top(); }
    int FontHeight(const TFontInfo* pFont) const { return pFont->tm.tmHeight + pFont->tm.tmExternalLeading; }
    // Where a text piece of the current font starts so that every character
    // cell of the line ends at the line's bottom.
    int TextTop() const { return m_pt.y + m_cyLine - FontHeight(CurrentFont()); }
    // During a drawing pass the line keeps the height its measuring pass
    // found.
    void RaiseLineHeight(int cy)
    {
        if (!IsDrawingPass() && cy > m_cyLine) m_cyLine = cy;
    }
    void SelectFont(TFontInfo* pFont);
    void SelectColor() { ::SetTextColor(m_hDC, TextColorRef(m_pManager, CurrentColor())); }
    void SelectBkMode() { ::SetBkMode(m_hDC, m_bInSelected ? OPAQUE : TRANSPARENT); }
    void PushFont(TFontInfo* pFont);
    void PopFont();
    void PushColor(DWORD dwColor);
    void PopColor();
    TFontInfo* FindOrAddFont(CUIString sFace, int nSize, bool bBold, bool bUnderline, bool bItalic);
    TFontInfo* Variant(bool bBold, bool bUnderline, bool bItalic);
    int FreeVariantFontId();
    void SaveLineStart();
    void RestoreLineStart();
    void OutputText(int x, LPCTSTR pstr, int cch);

    // ---- Line ends ----
    bool EndLine();
    void RecordOpenLink();
    void FinishLineLinks();

    // ---- Elements ----
    void ReadElement();
    void ReadOpenTag();
    void ReadImageTag(LPCTSTR pTag, bool& bReread);
    void ReadCloseTag();
    void ReadEscape();
    void ReadSpace();
    void ReadRun();
    void SkipPastTagEnd();

    HDC m_hDC;
    CPaintManagerUI* m_pManager;
    RECT& m_rc;
    LPCTSTR m_p;
    DWORD m_dwTextColor;
    RECT* m_prcLinks;
    CUIString* m_sLinks;
    int m_nLinkSlots;
    UINT m_uStyle;
    bool m_bDraw;
    TFontInfo* m_pDefaultFont = nullptr;

    CTextStack<TFontInfo*> m_fonts;
    CTextStack<DWORD> m_colors;
    CTextStack<int> m_spacings;
    POINT m_pt = {0, 0};
    int m_cyLine = 0;
    int m_cxMax = 0;
    int m_cyMaxImage = 0;
    bool m_bLineEnd = false;
    bool m_bInRaw = false;
    bool m_bInLink = false;
    bool m_bInSelected = false;
    bool m_bLineDraw = false;

    // The state at the start of the current line.
    CTextStack<TFontInfo*> m_lineFonts;
    CTextStack<DWORD> m_lineColors;
    CTextStack<int> m_lineSpacings;
    LPCTSTR m_pLineBegin = nullptr;
    bool m_bLineInRaw = false;
    bool m_bLineInLink = false;
    bool m_bLineInSelected = false;

    // Links: where the open link started, the next free slot, the first slot
    // of this line, and the text of the link under the mouse.
    POINT m_ptLinkStart = {0, 0};
    int m_iLinkIndex = 0;
    int m_iLineLinkIndex = 0;
    bool m_bHover = false;
    CUIString m_sHoverLink;
};

void CHtmlTextReader::SelectFont(TFontInfo* pFont)
{
    ::SelectObject(m_hDC, pFont->hFont);
    // The manager measures a record once it has a paint DC; before that the
    // record learns its metrics here.
    if (pFont->tm.tmHeight == 0) ::GetTextMetricsW(m_hDC, &pFont->tm);
}

// A font that could not be had keeps the current one, pushed again, so that
// the closing tag still pops what its opening tag pushed.
void CHtmlTextReader::PushFont(TFontInfo* pFont)
{
    if (pFont == nullptr) pFont = CurrentFont();
    m_fonts.Push(pFont);
    SelectFont(CurrentFont());
    RaiseLineHeight(FontHeight(CurrentFont()) + CurrentSpacing());
}

void CHtmlTextReader::PopFont()
{
    TFontInfo* pLeft = CurrentFont();
    m_fonts.Pop();
    TFontInfo* pFont = CurrentFont();
    if (pLeft->bItalic && !pFont->bItalic) {
        // Still in the italic font: its space's trailing width.
        ABC abc;
        if (::GetCharABCWidthsW(m_hDC, L' ', L' ', &abc)) m_pt.x += abc.abcC / 2;
    }
    SelectFont(pFont);
    RaiseLineHeight(FontHeight(pFont) + CurrentSpacing());
}

void CHtmlTextReader::PushColor(DWORD dwColor)
{
    m_colors.Push(dwColor);
    SelectColor();
}

void CHtmlTextReader::PopColor()
{
    m_colors.Pop();
    SelectColor();
}

// The first free id of the variant range, or -1 when the window already
// holds kMaxMarkupFonts fonts made for texts. Variants are never removed
// one by one, so the ids in use run without gaps from the range's start.
int CHtmlTextReader::FreeVariantFontId()
{
    HFONT hDefault = m_pManager->GetDefaultFontInfo()->hFont;
    for (int i = 0; i < CRenderEngine::kMaxMarkupFonts; ++i) {
        if (m_pManager->GetFont(kFirstVariantFontId + i) == hDefault) return kFirstVariantFontId + i;
    }
    return -1;
}

// A font named by its values: found among the window's fonts, else made
// while the window holds fewer than kMaxMarkupFonts made for texts; null
// past that, and the caller keeps the enclosing font.
TFontInfo* CHtmlTextReader::FindOrAddFont(CUIString sFace, int nSize, bool bBold, bool bUnderline,
                                          bool bItalic)
{
    if (sFace.IsEmpty()) sFace = CurrentFont()->sFontName;
    if (sFace.GetLength() > kMaxFaceName) sFace = sFace.Left(kMaxFaceName);
    HFONT hFont = m_pManager->GetFont(sFace, nSize, bBold, bUnderline, bItalic);
    if (hFont == nullptr) {
        const int id = FreeVariantFontId();
        if (id < 0) return nullptr;
        hFont = m_pManager->AddFont(id, sFace, nSize, bBold, bUnderline, bItalic, false);
    }
    if (hFont == nullptr) return nullptr;
    return m_pManager->GetFontInfo(hFont);
}

TFontInfo* CHtmlTextReader::Variant(bool bBold, bool bUnderline, bool bItalic)
{
    const TFontInfo* pFont = CurrentFont();
    return FindOrAddFont(pFont->sFontName, pFont->iSize, pFont->bBold || bBold,
                         pFont->bUnderline || bUnderline, pFont->bItalic || bItalic);
}

void CHtmlTextReader::SaveLineStart()
{
    m_lineFonts.CopyFrom(m_fonts);
    m_lineColors.CopyFrom(m_colors);
    m_lineSpacings.CopyFrom(m_spacings);
    m_pLineBegin = m_p;
    m_bLineInRaw = m_bInRaw;
    m_bLineInLink = m_bInLink;
    m_bLineInSelected = m_bInSelected;
}

void CHtmlTextReader::RestoreLineStart()
{
    m_fonts.CopyFrom(m_lineFonts);
    m_colors.CopyFrom(m_lineColors);
    m_spacings.CopyFrom(m_lineSpacings);
    m_p = m_pLineBegin;
    m_bInRaw = m_bLineInRaw;
    m_bInLink = m_bLineInLink;
    m_bInSelected = m_bLineInSelected;
    SelectFont(CurrentFont());
    SelectColor();
    SelectBkMode();
}

void CHtmlTextReader::OutputText(int x, LPCTSTR pstr, int cch)
{
    ::TextOutW(m_hDC, x, TextTop(), pstr, cch);
}

// ---- Inline markup: line ends and link rectangles -------------------------

void CHtmlTextReader::RecordOpenLink()
{
    if (!m_bInLink || m_iLinkIndex >= m_nLinkSlots) return;
    RECT& rcLink = m_prcLinks[m_iLinkIndex];
    rcLink.left = m_ptLinkStart.x;
    rcLink.top = m_ptLinkStart.y;
    rcLink.right = m_pt.x < m_rc.right ? m_pt.x : m_rc.right;
    rcLink.bottom = m_pt.y + m_cyLine;
    // The link goes on in the next line, under the same text.
    if (m_iLinkIndex + 1 < m_nLinkSlots) m_sLinks[m_iLinkIndex + 1] = m_sLinks[m_iLinkIndex];
    ++m_iLinkIndex;
}

void CHtmlTextReader::FinishLineLinks()
{
    for (int i = m_iLineLinkIndex; i < m_iLinkIndex; ++i) {
        m_prcLinks[i].bottom = m_pt.y + m_cyLine;
    }
}

// Ends the current pass of the line. False when the text ends here.
bool CHtmlTextReader::EndLine()
{
    m_bLineEnd = false;
    if (m_bDraw && !m_bLineDraw) {
        // Measured: the same line again, now drawing, at the height found.
        RecordOpenLink();
        FinishLineLinks();
        RestoreLineStart();
        m_bLineDraw = true;
        m_pt.x = m_rc.left;
        m_ptLinkStart = m_pt;
        return true;
    }
    if (!m_bDraw) {
        RecordOpenLink();
        FinishLineLinks();
    }
    if (*m_p == L'\0') return false;
    if (*m_p == L'\n') ++m_p;
    if (IsSingleLine()) return false;
    m_pt.x = m_rc.left;
    m_pt.y = LimitOffset(static_cast<long long>(m_pt.y) + m_cyLine);
    if (m_bDraw) {
        m_bLineDraw = false;
        if (m_pt.y >= m_rc.bottom) return false;
        SaveLineStart();
    }
    m_cyLine = FontHeight(CurrentFont()) + CurrentSpacing();
    m_ptLinkStart = m_pt;
    m_iLineLinkIndex = m_iLinkIndex;
    return true;
}

int CHtmlTextReader::Read()
{
    SelectFont(m_pDefaultFont);
    ::SetBkMode(m_hDC, TRANSPARENT);
    SelectColor();
    ::SetBkColor(m_hDC, ToColorRef(m_pManager->GetDefaultSelectedBkColor()));

    if (m_prcLinks == nullptr || m_sLinks == nullptr || m_nLinkSlots < 0) m_nLinkSlots = 0;
    const POINT ptMouse = m_pManager->GetMousePos();
    for (int i = 0; i < m_nLinkSlots; ++i) {
        if (::PtInRect(&m_prcLinks[i], ptMouse)) {
            m_bHover = true;
            m_sHoverLink = m_sLinks[i];
            break;
        }
    }

    m_pt.x = m_rc.left;
    m_pt.y = m_rc.top;
    m_cxMax = m_rc.left;
    m_cyLine = FontHeight(CurrentFont());
    m_ptLinkStart = m_pt;
    SaveLineStart();

    for (;;) {
        if (m_pt.x >= m_rc.right || *m_p == L'\n' || m_bLineEnd) {
            if (!EndLine()) break;
            continue;
        }
        if (*m_p == L'\0') break;
        ReadElement();
        if (m_pt.x > m_cxMax) m_cxMax = m_pt.x;
        if (m_pt.x >= m_rc.right || *m_p == L'\n' || *m_p == L'\0') m_bLineEnd = true;
    }

    if (!m_bDraw) {
        const int cyText = m_pt.y + m_cyLine;
        m_rc.bottom = m_cyMaxImage > cyText ? m_cyMaxImage : cyText;
        if (m_cxMax < m_rc.right) m_rc.right = m_cxMax;
    }
    return m_iLinkIndex;
}

// ---- Inline markup: elements ----------------------------------------------

void CHtmlTextReader::ReadElement()
{
    const wchar_t ch = *m_p;
    if (!m_bInRaw) {
        if ((ch == L'<' || ch == L'{') && m_p[1] >= L'a' && m_p[1] <= L'z' &&
            (m_p[2] == L' ' || IsTagEnd(m_p[2]))) {
            ReadOpenTag();
            return;
        }
        if ((ch == L'<' || ch == L'{') && m_p[1] == L'/') {
            ReadCloseTag();
            return;
        }
        if ((ch == L'<' && (m_p[1] == L'{' || m_p[1] == L'}') && m_p[2] == L'>') ||
            (ch == L'{' && (m_p[1] == L'<' || m_p[1] == L'>') && m_p[2] == L'}')) {
            ReadEscape();
            return;
        }
        if (ch == L' ') {
            ReadSpace();
            return;
        }
    } else if (IsRawClose(m_p)) {
        // An empty raw section, or one whose text wrapped just before its end.
        m_p += 4;
        m_bInRaw = false;
        return;
    }
    ReadRun();
}

void CHtmlTextReader::SkipPastTagEnd()
{
    while (*m_p != L'\0' && !IsTagEnd(*m_p)) ++m_p;
    if (*m_p != L'\0') ++m_p;
}

void CHtmlTextReader::ReadOpenTag()
{
    const wchar_t letter = m_p[1];
    LPCTSTR q = m_p + 2;
    bool bReread = false;
    switch (letter) {
    case L'a': {
        SkipSpaces(q);
        CUIString sLink = ReadTagText(q, false);
        if (IsMeasuringPass() && m_iLinkIndex < m_nLinkSlots) m_sLinks[m_iLinkIndex] = sLink;
        DWORD dwColor = m_dwTextColor != 0 ? m_dwTextColor : m_pManager->GetDefaultLinkFontColor();
        if (m_bHover && m_sHoverLink == sLink) dwColor = m_pManager->GetDefaultLinkHoverFontColor();
        PushColor(dwColor);
        if (!CurrentFont()->bUnderline) PushFont(Variant(false, true, false));
        m_bInLink = true;
        m_ptLinkStart = m_pt;
        break;
    }
    case L'b':
        if (!CurrentFont()->bBold) PushFont(Variant(true, false, false));
        break;
    case L'c': {
        SkipSpaces(q);
        if (*q == L'#') ++q;
        // wcstol: values above 0x7FFFFFFF read as 0x7FFFFFFF.
        PushColor(static_cast<DWORD>(ReadNumber(q, 16)));
        break;
    }
    case L'f': {
        SkipSpaces(q);
        if (IsDigit(*q)) {
            PushFont(m_pManager->GetFontInfo(ReadNumber(q, 10)));
            break;
        }
        CUIString sFace = ReadTagText(q, true);
        SkipSpaces(q);
        int nSize = 10;
        if (IsDigit(*q)) nSize = ReadNumber(q, 10);
        CUIString sAttributes = ReadTagText(q, false);
        sAttributes.MakeLower();
        PushFont(FindOrAddFont(sFace, nSize, sAttributes.Find(L"bold") >= 0,
                               sAttributes.Find(L"underline") >= 0, sAttributes.Find(L"italic") >= 0));
        break;
    }
    case L'i': {
        SkipSpaces(q);
        if (*q == L'\0' || IsTagEnd(*q)) {
            if (!CurrentFont()->bItalic) PushFont(Variant(false, false, true));
        } else {
            ReadImageTag(q, bReread);
        }
        break;
    }
    case L'n':
        if (!IsSingleLine()) m_bLineEnd = true;
        break;
    case L'p': {
        if (m_pt.x > m_rc.left) m_bLineEnd = true;
        SkipSpaces(q);
        m_spacings.Push(LimitOffset(ReadNumber(q, 10)));
        // A paragraph that starts a new line gets its spacing when that line
        // starts.
        if (!m_bLineEnd) RaiseLineHeight(FontHeight(CurrentFont()) + CurrentSpacing());
        break;
    }
    case L'r':
        m_bInRaw = true;
        break;
    case L's':
        m_bInSelected = !m_bInSelected;
        if (IsDrawingPass()) SelectBkMode();
        break;
    case L'u':
        if (!CurrentFont()->bUnderline) PushFont(Variant(false, true, false));
        break;
    case L'x':
        SkipSpaces(q);
        m_pt.x = LimitOffset(static_cast<long long>(m_pt.x) + ReadNumber(q, 10));
        break;
    case L'y':
        SkipSpaces(q);
        {
            const int cy = LimitOffset(ReadNumber(q, 10));
            if (!IsDrawingPass()) m_cyLine = cy;
        }
        break;
    default:
        break;
    }
    if (!bReread) SkipPastTagEnd();
}

// {i name count index} or {i file='name' restype='type' ...}: frame index of
// count equal frames side by side.
void CHtmlTextReader::ReadImageTag(LPCTSTR pTag, bool& bReread)
{
    LPCTSTR q = pTag;
    CUIString sName = ReadTagText(q, true);
    SkipSpaces(q);
    int nCount = ReadNumber(q, 10);
    SkipSpaces(q);
    int nIndex = ReadNumber(q, 10);
    if (nCount < 1) nCount = 1;
    if (nIndex < 0 || nIndex >= nCount) nIndex = 0;

    LPCTSTR pEnd = pTag;
    while (*pEnd != L'\0' && !IsTagEnd(*pEnd)) ++pEnd;
    CUIString sTag(pTag, static_cast<int>(pEnd - pTag));
    CUIString sResType;
    if (sTag.Find(L"file='") >= 0 || sTag.Find(L"res='") >= 0) {
        // key='value' pairs; only the image name and its type count here.
        LPCTSTR s = sTag.GetData();
        for (;;) {
            while (*s > L'\0' && *s <= L' ') ++s;
            LPCTSTR pKey = s;
            while (*s != L'\0' && *s != L'=' && *s > L' ') ++s;
            CUIString sKey(pKey, static_cast<int>(s - pKey));
            while (*s > L'\0' && *s <= L' ') ++s;
            if (*s++ != L'=') break;
            while (*s > L'\0' && *s <= L' ') ++s;
            if (*s++ != L'\'') break;
            LPCTSTR pValue = s;
            while (*s != L'\0' && *s != L'\'') ++s;
            if (*s == L'\0') break;
            CUIString sValue(pValue, static_cast<int>(s - pValue));
            ++s;
            if (sKey == L"file" || sKey == L"res") {
                sName = sValue;
            } else if (sKey == L"restype") {
                sResType = sValue;
            }
        }
    }

    const TImageInfo* pImage =
        m_pManager->GetImageEx(sName, sResType.IsEmpty() ? nullptr : sResType.GetData());
    if (pImage == nullptr) return;
    const int cxFrame = pImage->nX / nCount;
    if (m_pt.x + cxFrame > m_rc.right && m_pt.x > m_rc.left && !IsSingleLine()) {
        m_bLineEnd = true;
        bReread = true;
        return;
    }
    if (IsDrawingPass()) {
        const int bottom = m_pt.y + m_cyLine - (m_cyLine - pImage->nY) / 2;
        RECT rcImage = {m_pt.x, bottom - pImage->nY, m_pt.x + cxFrame, bottom};
        RECT rcSource = {nIndex * cxFrame, 0, (nIndex + 1) * cxFrame, pImage->nY};
        RECT rcCorners = {0, 0, 0, 0};
        CRenderEngine::DrawImage(m_hDC, pImage->hBitmap, rcImage, m_rc, rcSource, rcCorners, pImage->bAlpha,
                                 255);
    }
    RaiseLineHeight(pImage->nY);
    m_pt.x += cxFrame;
    if (m_pt.y + pImage->nY > m_cyMaxImage) m_cyMaxImage = m_pt.y + pImage->nY;
}

void CHtmlTextReader::ReadCloseTag()
{
    switch (m_p[2]) {
    case L'c':
        PopColor();
        break;
    case L'p':
        if (m_pt.x > m_rc.left) m_bLineEnd = true;
        m_spacings.Pop();
        if (!m_bLineEnd) RaiseLineHeight(FontHeight(CurrentFont()) + CurrentSpacing());
        break;
    case L's':
        m_bInSelected = !m_bInSelected;
        if (IsDrawingPass()) SelectBkMode();
        break;
    case L'a':
        if (IsMeasuringPass() && m_iLinkIndex < m_nLinkSlots) {
            RECT& rcLink = m_prcLinks[m_iLinkIndex];
            rcLink.left = m_ptLinkStart.x;
            rcLink.top = m_ptLinkStart.y;
            rcLink.right = m_pt.x < m_rc.right ? m_pt.x : m_rc.right;
            rcLink.bottom = m_pt.y + FontHeight(CurrentFont());
            ++m_iLinkIndex;
        }
        PopColor();
        m_bInLink = false;
        PopFont();
        break;
    case L'b':
    case L'f':
    case L'i':
    case L'u':
        PopFont();
        break;
    default:
        break;
    }
    SkipPastTagEnd();
}

void CHtmlTextReader::ReadEscape()
{
    const wchar_t ch = m_p[1];
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(m_hDC, &ch, 1, &size);
    if (IsDrawingPass()) OutputText(m_pt.x, &ch, 1);
    m_pt.x += size.cx;
    m_p += 3;
}

void CHtmlTextReader::ReadSpace()
{
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(m_hDC, L" ", 1, &size);
    if (IsDrawingPass()) OutputText(m_pt.x, L" ", 1);
    m_pt.x += size.cx;
    ++m_p;
}

// A run of plain characters up to a line feed, the end, the next bracket
// (outside raw text) or the end of raw text. Its width is estimated from the
// font's widest character and measured only near the right edge. What has
// been measured is kept, and only the characters added since are measured
// next, so a run costs time linear in its length even when its characters
// are narrower than the estimate (zero-width ones never reach the edge).
void CHtmlTextReader::ReadRun()
{
    LPCTSTR pRun = m_p;
    const int cxMaxChar = CurrentFont()->tm.tmMaxCharWidth;
    int cch = 0;
    int cchMeasured = 0;  // the first cchMeasured characters are cxMeasured wide
    int cxMeasured = 0;
    bool bAtRawClose = false;
    bool bCut = false;
    bool bEllipsis = false;
    for (;;) {
        const wchar_t ch = pRun[cch];
        if (ch == L'\0' || ch == L'\n') break;
        if (cch > 0) {
            if (!m_bInRaw && (ch == L'<' || ch == L'{')) break;
            if (m_bInRaw && IsRawClose(pRun + cch)) {
                bAtRawClose = true;
                break;
            }
        }
        ++cch;
        if (static_cast<long long>(m_pt.x) + cxMeasured +
                static_cast<long long>(cch - cchMeasured) * cxMaxChar <
            m_rc.right)
            continue;
        SIZE size = {0, 0};
        ::GetTextExtentPoint32W(m_hDC, pRun + cchMeasured, cch - cchMeasured, &size);
        cxMeasured += size.cx;
        cchMeasured = cch;
        if (m_pt.x + cxMeasured <= m_rc.right) continue;

        // Too wide. An empty line keeps its first character, so that every
        // line takes at least one.
        const bool bLineEmpty = m_pt.x <= m_rc.left;
        if (cch > 1 || !bLineEmpty) --cch;
        if ((m_uStyle & DT_WORDBREAK) != 0) {
            int cchBreak = 0;
            for (int i = 0; i < cch; ++i) {
                if (!IsAsciiLetter(pRun[i])) cchBreak = i + 1;
            }
            if (cchBreak > 0) cch = cchBreak;
        }
        if ((m_uStyle & DT_END_ELLIPSIS) != 0) {
            cch -= cch > 1 ? 2 : 1;
            if (cch < 0) cch = 0;
            if (cch == 0 && bLineEmpty && !IsSingleLine()) cch = 1;
            bEllipsis = true;
        }
        m_bLineEnd = true;
        bCut = true;
        break;
    }

    SIZE size = {0, 0};
    if (cch > 0) ::GetTextExtentPoint32W(m_hDC, pRun, cch, &size);
    if (IsDrawingPass()) {
        int x = m_pt.x;
        if (!IsSingleLine()) {
            const int cxFree = (m_rc.right - m_rc.left) - size.cx;
            if ((m_uStyle & DT_CENTER) != 0) {
                x += cxFree / 2;
            } else if ((m_uStyle & DT_RIGHT) != 0) {
                x += cxFree;
            }
        }
        if (cch > 0) OutputText(x, pRun, cch);
        if (bEllipsis) OutputText(x + size.cx, L"...", 3);
    }
    m_pt.x += size.cx;
    if (bEllipsis && m_pt.x < m_rc.right) m_pt.x = m_rc.right;
    m_p = pRun + cch;
    if (bAtRawClose && !bCut) {
        m_p += 4;
        m_bInRaw = false;
    }
}

}  // namespace

// ---- DrawTextW ---------------------------------------------------------------

void CRenderEngine::DrawTextW(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText,
                              DWORD dwTextColor, int iFont, UINT uStyle)
{
    if (hDC == nullptr || pstrText == nullptr || pManager == nullptr) return;
    HFONT hFont = pManager->GetFont(iFont);
    HFONT hOldFont = static_cast<HFONT>(::SelectObject(hDC, hFont));
    // A layered window's text is GDI's too, as its inline-markup text is: GDI
    // leaves alpha 0 where it drew, which the paint manager makes opaque when
    // it presents. GDI draws the same glyphs on every architecture; GDI+'s
    // antialiased glyphs differ between its 32-bit and 64-bit builds by a
    // coverage level here and there, so a window's pixels would depend on the
    // build it runs in. GDI+ text is for the windows that ask for it.
    if (pManager->IsUseGdiplusText()) {
        if (!DrawTextGdiplusCached(hDC, pManager, rc, pstrText, dwTextColor, hFont, uStyle))
            DrawTextGdiplus(hDC, pManager, rc, pstrText, dwTextColor, hFont, uStyle);
    } else {
        ::SetBkMode(hDC, TRANSPARENT);
        ::SetTextColor(hDC, TextColorRef(pManager, dwTextColor));
        ::DrawTextW(hDC, pstrText, -1, &rc, uStyle);
    }
    ::SelectObject(hDC, hOldFont);
}

void CRenderEngine::DrawTextW(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText,
                              DWORD dwTextColor, DWORD dwTextBkColor, int iFont, UINT uStyle)
{
    if (hDC == nullptr || pstrText == nullptr || pManager == nullptr) return;
    DrawColor(hDC, rc, dwTextBkColor);
    DrawTextW(hDC, pManager, rc, pstrText, dwTextColor, iFont, uStyle);
}

// ---- DrawHtmlText and GetTextSize --------------------------------------------

void CRenderEngine::DrawHtmlText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText,
                                 DWORD dwTextColor, RECT* prcLinks, CUIString* sLinks, int& nLinkRects,
                                 UINT uStyle)
{
    if (hDC == nullptr || pstrText == nullptr || pManager == nullptr || ::IsRectEmpty(&rc)) return;
    const bool bDraw = (uStyle & DT_CALCRECT) == 0;

    // The clip comes back as the rectangle of the clip box it had.
    RECT rcClip = {0, 0, 0, 0};
    ::GetClipBox(hDC, &rcClip);
    HRGN hOldRgn = ::CreateRectRgnIndirect(&rcClip);
    if (bDraw) {
        HRGN hRgn = ::CreateRectRgnIndirect(&rc);
        if (hRgn != nullptr) {
            ::ExtSelectClipRgn(hDC, hRgn, RGN_AND);
            ::DeleteObject(hRgn);
        }
    }

    if (bDraw && (uStyle & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) != 0) {
        RECT rcText = {0, 0, 9999, 100};
        int nLinks = 0;
        DrawHtmlText(hDC, pManager, rcText, pstrText, dwTextColor, nullptr, nullptr, nLinks,
                     uStyle | DT_CALCRECT);
        const int cxText = rcText.right - rcText.left;
        const int cyText = rcText.bottom - rcText.top;
        if ((uStyle & DT_SINGLELINE) != 0) {
            if ((uStyle & DT_CENTER) != 0) {
                rc.left = rc.left + (rc.right - rc.left) / 2 - cxText / 2;
                rc.right = rc.left + cxText;
            }
            if ((uStyle & DT_RIGHT) != 0) rc.left = rc.right - cxText;
        }
        if ((uStyle & DT_VCENTER) != 0) {
            rc.top = rc.top + (rc.bottom - rc.top) / 2 - cyText / 2;
            rc.bottom = rc.top + cyText;
        }
        if ((uStyle & DT_BOTTOM) != 0) rc.top = rc.bottom - cyText;
    }

    HGDIOBJ hOldFont = ::GetCurrentObject(hDC, OBJ_FONT);
    const COLORREF clrOldText = ::GetTextColor(hDC);
    const COLORREF clrOldBk = ::GetBkColor(hDC);
    const int nOldBkMode = ::GetBkMode(hDC);
    {
        CHtmlTextReader reader(hDC, pManager, rc, pstrText, dwTextColor, prcLinks, sLinks, nLinkRects,
                               uStyle);
        nLinkRects = reader.Read();
    }
    ::SelectObject(hDC, hOldFont);
    ::SetTextColor(hDC, clrOldText);
    ::SetBkColor(hDC, clrOldBk);
    ::SetBkMode(hDC, nOldBkMode);

    if (hOldRgn != nullptr) {
        ::SelectClipRgn(hDC, hOldRgn);
        ::DeleteObject(hOldRgn);
    }
}

// ---- GetHtmlPlainText ----------------------------------------------------------

namespace {

// Text with every run of spaces as one and none at the start; the caller
// drops the one a run may leave at the end.
class CPlainTextBuilder
{
public:
    void Add(wchar_t ch)
    {
        const bool bSpace = ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n';
        if (bSpace) {
            m_bSpacePending = !m_text.empty();
            return;
        }
        if (m_bSpacePending) m_text += L' ';
        m_bSpacePending = false;
        m_text += ch;
    }
    void Clear()
    {
        m_text.clear();
        m_bSpacePending = false;
    }
    CUIString Result() const { return CUIString(m_text.c_str(), static_cast<int>(m_text.size())); }

private:
    std::wstring m_text;
    bool m_bSpacePending = false;
};

}  // namespace

CUIString CRenderEngine::GetHtmlPlainText(LPCTSTR pstrText, CUIString* sLinkTexts, int nLinkSlots,
                                          int* pnLinks)
{
    if (pnLinks != nullptr) *pnLinks = 0;
    if (pstrText == nullptr) return CUIString();
    if (sLinkTexts == nullptr || nLinkSlots < 0) nLinkSlots = 0;
    CPlainTextBuilder text;
    CPlainTextBuilder link;
    int nLinks = 0;
    bool bInRaw = false;
    LPCTSTR p = pstrText;
    // The tests of CHtmlTextReader::ReadElement, in its order.
    while (*p != L'\0') {
        const wchar_t ch = *p;
        if (bInRaw) {
            if (IsRawClose(p)) {
                p += 4;
                bInRaw = false;
                continue;
            }
        } else if ((ch == L'<' || ch == L'{') && p[1] >= L'a' && p[1] <= L'z' &&
                   (p[2] == L' ' || IsTagEnd(p[2]))) {
            if (p[1] == L'a') link.Clear();
            if (p[1] == L'n' || p[1] == L'p') {
                text.Add(L' ');
                link.Add(L' ');
            }
            if (p[1] == L'r') bInRaw = true;
            while (*p != L'\0' && !IsTagEnd(*p)) ++p;
            if (*p != L'\0') ++p;
            continue;
        } else if ((ch == L'<' || ch == L'{') && p[1] == L'/') {
            // Every closing link tag ends a link, as every one makes a link
            // rectangle when drawn.
            if (p[2] == L'a') {
                if (nLinks < nLinkSlots) sLinkTexts[nLinks] = link.Result();
                ++nLinks;
                link.Clear();
            }
            if (p[2] == L'p') text.Add(L' ');
            while (*p != L'\0' && !IsTagEnd(*p)) ++p;
            if (*p != L'\0') ++p;
            continue;
        } else if ((ch == L'<' && (p[1] == L'{' || p[1] == L'}') && p[2] == L'>') ||
                   (ch == L'{' && (p[1] == L'<' || p[1] == L'>') && p[2] == L'}')) {
            text.Add(p[1]);
            link.Add(p[1]);
            p += 3;
            continue;
        }
        text.Add(ch);
        link.Add(ch);
        ++p;
    }
    if (pnLinks != nullptr) *pnLinks = nLinks;
    return text.Result();
}

SIZE CRenderEngine::GetTextSize(HDC hDC, CPaintManagerUI* pManager, LPCTSTR pstrText, int iFont,
                                UINT /*uStyle*/)
{
    SIZE size = {0, 0};
    if (hDC == nullptr || pstrText == nullptr || pManager == nullptr) return size;
    HGDIOBJ hOldFont = ::SelectObject(hDC, pManager->GetFont(iFont));
    ::GetTextExtentPoint32W(hDC, pstrText, static_cast<int>(wcslen(pstrText)), &size);
    ::SelectObject(hDC, hOldFont);
    return size;
}

}  // namespace SkinUI
