// CRenderEngine: images and shapes.
//
//   msimg32 entry points and the software blend
//   Images: draw strings, draw records, nine-grid drawing
//   Shapes: colour, gradient, line, rectangle, round rectangle
//   Colours and bitmaps: colour key, HSL adjustment, DIB sections
#include "skinui/render/RenderEngine.h"

#include "skinui/control/Control.h"
#include "skinui/core/PaintManager.h"
#include "skinui/core/SystemLibrary.h"
#include "skinui/render/DibPixels.h"
#include "skinui/render/MemoryDib.h"

#include <gdiplus.h>
#include <math.h>
#include <string.h>

namespace SkinUI {

namespace {

// ---- msimg32 entry points and the software blend ---------------------------

typedef BOOL(WINAPI* AlphaBlendFn)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef BOOL(WINAPI* GradientFillFn)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

struct TMsimg32
{
    AlphaBlendFn pAlphaBlend = nullptr;
    GradientFillFn pGradientFill = nullptr;
};

// Resolved once per process, at the first drawing, from the system folder's
// msimg32 only (a msimg32.dll beside the program must never load).
const TMsimg32& Msimg32()
{
    static TMsimg32 entries;
    static bool bResolved = false;
    if (!bResolved) {
        bResolved = true;
        HMODULE hModule = LoadSystemLibrary(L"msimg32.dll");
        if (hModule != nullptr) {
            // GetProcAddress gives a generic function pointer; the cast goes
            // through void (*)(), which every function pointer converts from.
            entries.pAlphaBlend = reinterpret_cast<AlphaBlendFn>(
                reinterpret_cast<void (*)()>(::GetProcAddress(hModule, "AlphaBlend")));
            entries.pGradientFill = reinterpret_cast<GradientFillFn>(
                reinterpret_cast<void (*)()>(::GetProcAddress(hModule, "GradientFill")));
        }
    }
    return entries;
}

BOOL Blend(HDC hDC, int x, int y, int cx, int cy, HDC hSrcDC, int sx, int sy, int scx, int scy,
           BLENDFUNCTION blend)
{
    AlphaBlendFn pAlphaBlend = Msimg32().pAlphaBlend;
    if (pAlphaBlend != nullptr) return pAlphaBlend(hDC, x, y, cx, cy, hSrcDC, sx, sy, scx, scy, blend);
    return CRenderEngine::SoftwareAlphaBlend(hDC, x, y, cx, cy, hSrcDC, sx, sy, scx, scy, blend);
}

// ---- Images ------------------------------------------------------------------

// Draws the pieces of one DrawImage call: blended or copied, each only when
// it has an area on both sides and meets the paint rectangle.
class CPieceBlitter
{
public:
    // Unscaled pieces are blended by the engine itself where both DCs hold
    // 32-bit DIB sections it can reach (the layered window's off-screen
    // bitmap and decoded images); scaled ones and every other DC go to
    // AlphaBlend. The source is the bitmap the source DC really holds: an
    // image selected into another DC cannot be selected here, and then
    // AlphaBlend draws nothing, as the engine must not either.
    //
    // The target's stretch mode becomes HALFTONE for the system's pieces
    // only, at the first of them, and is restored with the brush origin
    // HALFTONE moves; the engine's own blend does not depend on either.
    CPieceBlitter(HDC hDC, HDC hSrcDC, const RECT& rcPaint, bool bBlend, BYTE uFade)
        : m_hDC(hDC), m_hSrcDC(hSrcDC), m_rcPaint(rcPaint), m_bBlend(bBlend)
    {
        m_blend.BlendOp = AC_SRC_OVER;
        m_blend.BlendFlags = 0;
        m_blend.SourceConstantAlpha = uFade;
        m_blend.AlphaFormat = AC_SRC_ALPHA;
        m_bOwnBlend = bBlend && m_target.Attach(hDC) &&
            m_source.AttachBitmap(static_cast<HBITMAP>(::GetCurrentObject(hSrcDC, OBJ_BITMAP)));
    }
    ~CPieceBlitter()
    {
        if (!m_bSystemModes) return;
        ::SetBrushOrgEx(m_hDC, m_ptOldOrigin.x, m_ptOldOrigin.y, nullptr);
        if (m_nOldStretchMode != 0) ::SetStretchBltMode(m_hDC, m_nOldStretchMode);
    }
    CPieceBlitter(const CPieceBlitter&) = delete;
    CPieceBlitter& operator=(const CPieceBlitter&) = delete;

    // Stretched from (sx, sy, scx, scy) to (x, y, cx, cy).
    void Stretch(int x, int y, int cx, int cy, int sx, int sy, int scx, int scy) const
    {
        if (!Visible(x, y, cx, cy) || scx <= 0 || scy <= 0) return;
        if (m_bBlend) {
            if (m_bOwnBlend && cx == scx && cy == scy &&
                m_target.Blend(x, y, cx, cy, m_source, sx, sy, m_blend.SourceConstantAlpha))
                return;
            UseSystemModes();
            Blend(m_hDC, x, y, cx, cy, m_hSrcDC, sx, sy, scx, scy, m_blend);
        } else {
            UseSystemModes();
            ::StretchBlt(m_hDC, x, y, cx, cy, m_hSrcDC, sx, sy, scx, scy, SRCCOPY);
        }
    }

    // Unscaled from (sx, sy) to (x, y, cx, cy).
    void Copy(int x, int y, int cx, int cy, int sx, int sy) const
    {
        if (!Visible(x, y, cx, cy)) return;
        if (m_bBlend) {
            if (m_bOwnBlend && m_target.Blend(x, y, cx, cy, m_source, sx, sy, m_blend.SourceConstantAlpha))
                return;
            UseSystemModes();
            Blend(m_hDC, x, y, cx, cy, m_hSrcDC, sx, sy, cx, cy, m_blend);
        } else {
            UseSystemModes();
            ::BitBlt(m_hDC, x, y, cx, cy, m_hSrcDC, sx, sy, SRCCOPY);
        }
    }

private:
    void UseSystemModes() const
    {
        if (m_bSystemModes) return;
        m_bSystemModes = true;
        m_nOldStretchMode = ::SetStretchBltMode(m_hDC, HALFTONE);
        // HALFTONE asks for the brush origin to be set again.
        ::SetBrushOrgEx(m_hDC, 0, 0, &m_ptOldOrigin);
    }

    bool Visible(int x, int y, int cx, int cy) const
    {
        if (cx <= 0 || cy <= 0) return false;
        RECT rcPiece = {x, y, x + cx, y + cy};
        RECT rcTemp;
        return ::IntersectRect(&rcTemp, &rcPiece, &m_rcPaint) != FALSE;
    }

    HDC m_hDC;
    HDC m_hSrcDC;
    RECT m_rcPaint;
    bool m_bBlend;
    BLENDFUNCTION m_blend;
    bool m_bOwnBlend = false;
    CDibPixels m_target;
    CDibPixels m_source;
    mutable bool m_bSystemModes = false;
    mutable int m_nOldStretchMode = 0;
    mutable POINT m_ptOldOrigin = {0, 0};
};

// The middle piece M from the source middle (sx, sy, scx, scy), stretched or
// tiled. A source middle without width or height has nothing to repeat or
// stretch: the middle is left as it is. Tiles are laid only over the part of
// M that meets the paint rectangle, so a tiny tile in a huge middle costs no
// more than the visible tiles.
void DrawMiddle(const CPieceBlitter& blitter, const RECT& M, const RECT& rcPaint, int sx, int sy, int scx,
                int scy, bool bTiledX, bool bTiledY)
{
    if (M.right <= M.left || M.bottom <= M.top || scx <= 0 || scy <= 0) return;
    const int cx = M.right - M.left;
    const int cy = M.bottom - M.top;
    if (!bTiledX && !bTiledY) {
        blitter.Stretch(M.left, M.top, cx, cy, sx, sy, scx, scy);
        return;
    }
    // First tile column and row that can meet the paint rectangle, and the
    // ends beyond which no tile can.
    const int firstLeft = rcPaint.left > M.left ? M.left + (rcPaint.left - M.left) / scx * scx : M.left;
    const int firstTop = rcPaint.top > M.top ? M.top + (rcPaint.top - M.top) / scy * scy : M.top;
    const int endX = M.right < rcPaint.right ? M.right : rcPaint.right;
    const int endY = M.bottom < rcPaint.bottom ? M.bottom : rcPaint.bottom;
    if (bTiledX && bTiledY) {
        for (int top = firstTop; top < endY; top += scy) {
            const int h = M.bottom - top < scy ? M.bottom - top : scy;
            for (int left = firstLeft; left < endX; left += scx) {
                const int w = M.right - left < scx ? M.right - left : scx;
                blitter.Copy(left, top, w, h, sx, sy);
            }
        }
    } else if (bTiledX) {
        for (int left = firstLeft; left < endX; left += scx) {
            const int w = M.right - left < scx ? M.right - left : scx;
            blitter.Stretch(left, M.top, w, cy, sx, sy, w, scy);
        }
    } else {
        for (int top = firstTop; top < endY; top += scy) {
            const int h = M.bottom - top < scy ? M.bottom - top : scy;
            blitter.Stretch(M.left, top, cx, h, sx, sy, scx, h);
        }
    }
}

// The memory DC an image is selected into while it is drawn onto a memory
// DC: one per thread, kept, since a DC made and deleted for every image
// costs more than blending a small one. It is as new each time: it holds
// its stock bitmap between images, and nothing else of it is ever changed.
class CImageDC
{
public:
    CImageDC() = default;
    CImageDC(const CImageDC&) = delete;
    CImageDC& operator=(const CImageDC&) = delete;
    ~CImageDC()
    {
        if (m_hDC != nullptr) ::DeleteDC(m_hDC);
    }

    HDC Get()
    {
        if (m_hDC == nullptr) m_hDC = ::CreateCompatibleDC(nullptr);
        return m_hDC;
    }

private:
    HDC m_hDC = nullptr;
};

HDC SharedImageDC()
{
    static thread_local CImageDC dc;
    return dc.Get();
}

bool IsZero(const RECT& rc)
{
    return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0;
}

// ---- Shapes ------------------------------------------------------------------

COLORREF ToColorRef(DWORD dwColor)
{
    return RGB(GetBValue(dwColor), GetGValue(dwColor), GetRValue(dwColor));
}

// A GDI+ graphics object over a DC, deleted with the object; null when GDI+
// is not running.
class CGdiplusGraphics
{
public:
    explicit CGdiplusGraphics(HDC hDC)
    {
        if (Gdiplus::DllExports::GdipCreateFromHDC(hDC, &m_pGraphics) != Gdiplus::Ok) {
            m_pGraphics = nullptr;
        }
    }
    ~CGdiplusGraphics()
    {
        if (m_pGraphics != nullptr) Gdiplus::DllExports::GdipDeleteGraphics(m_pGraphics);
    }
    CGdiplusGraphics(const CGdiplusGraphics&) = delete;
    CGdiplusGraphics& operator=(const CGdiplusGraphics&) = delete;

    Gdiplus::GpGraphics* Get() const { return m_pGraphics; }

private:
    Gdiplus::GpGraphics* m_pGraphics = nullptr;
};

// Number of bands of the band gradient: 2^k for the given steps.
int GradientBandCount(int nSteps)
{
    int k = 1;
    if (nSteps >= 64) {
        k = 6;
    } else if (nSteps >= 32) {
        k = 5;
    } else if (nSteps >= 16) {
        k = 4;
    } else if (nSteps >= 8) {
        k = 3;
    } else if (nSteps >= 4) {
        k = 2;
    }
    return 1 << k;
}

void FillGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical, int nSteps)
{
    GradientFillFn pGradientFill = Msimg32().pGradientFill;
    if (pGradientFill == nullptr) {
        CRenderEngine::DrawGradientBands(hDC, rc, dwFirst, dwSecond, bVertical, nSteps);
        return;
    }
    TRIVERTEX triv[2] = {{rc.left, rc.top, static_cast<COLOR16>(GetBValue(dwFirst) << 8),
                          static_cast<COLOR16>(GetGValue(dwFirst) << 8),
                          static_cast<COLOR16>(GetRValue(dwFirst) << 8), 0xFF00},
                         {rc.right, rc.bottom, static_cast<COLOR16>(GetBValue(dwSecond) << 8),
                          static_cast<COLOR16>(GetGValue(dwSecond) << 8),
                          static_cast<COLOR16>(GetRValue(dwSecond) << 8), 0xFF00}};
    GRADIENT_RECT gradientRect = {0, 1};
    pGradientFill(hDC, triv, 2, &gradientRect, 1, bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

// ---- Colours -----------------------------------------------------------------

double HueToChannel(double p, double q, double t)
{
    if (t < 0.0) t += 1.0;
    if (t > 1.0) t -= 1.0;
    if (t < 1.0 / 6.0) return p + (q - p) * 6.0 * t;
    if (t < 1.0 / 2.0) return q;
    if (t < 2.0 / 3.0) return p + (q - p) * (2.0 / 3.0 - t) * 6.0;
    return p;
}

BYTE ClampChannel(double value)
{
    double scaled = value * 255.0;
    if (scaled <= 0.0) return 0;
    if (scaled >= 255.0) return 255;
    return static_cast<BYTE>(scaled);
}

}  // namespace

// ---- msimg32 entry points and the software blend ---------------------------

// Premultiplied source-over, as AlphaBlend: the source is scaled by the
// constant alpha, then every channel (alpha included) becomes
// source + destination * (255 - source alpha) / 255. Without AC_SRC_ALPHA
// the constant alpha alone weighs source against destination.
BOOL CRenderEngine::SoftwareAlphaBlend(HDC hDC, int nDestX, int nDestY, int nDestWidth, int nDestHeight,
                                       HDC hSrcDC, int nSrcX, int nSrcY, int nSrcWidth, int nSrcHeight,
                                       BLENDFUNCTION blend)
{
    if (hDC == nullptr || hSrcDC == nullptr || nDestWidth <= 0 || nDestHeight <= 0 || nSrcWidth <= 0 ||
        nSrcHeight <= 0) {
        return FALSE;
    }
    CMemoryDib source(hDC, nDestWidth, nDestHeight);
    CMemoryDib target(hDC, nDestWidth, nDestHeight);
    if (!source.IsValid() || !target.IsValid()) return FALSE;
    ::SetStretchBltMode(source.GetDC(), COLORONCOLOR);
    if (!::StretchBlt(source.GetDC(), 0, 0, nDestWidth, nDestHeight, hSrcDC, nSrcX, nSrcY, nSrcWidth,
                      nSrcHeight, SRCCOPY) ||
        !::BitBlt(target.GetDC(), 0, 0, nDestWidth, nDestHeight, hDC, nDestX, nDestY, SRCCOPY)) {
        return FALSE;
    }
    ::GdiFlush();

    const UINT constant = blend.SourceConstantAlpha;
    const bool bPerPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    const BYTE* pSrc = source.GetBits();
    BYTE* pDst = target.GetBits();
    const size_t count = static_cast<size_t>(nDestWidth) * static_cast<size_t>(nDestHeight);
    for (size_t i = 0; i < count; ++i, pSrc += 4, pDst += 4) {
        if (bPerPixel) {
            UINT scaled[4];
            for (int c = 0; c < 4; ++c) scaled[c] = (pSrc[c] * constant + 127) / 255;
            const UINT keep = 255 - scaled[3];
            for (int c = 0; c < 4; ++c) {
                UINT value = scaled[c] + (pDst[c] * keep + 127) / 255;
                pDst[c] = static_cast<BYTE>(value > 255 ? 255 : value);
            }
        } else {
            for (int c = 0; c < 4; ++c) {
                pDst[c] = static_cast<BYTE>((pSrc[c] * constant + pDst[c] * (255 - constant) + 127) / 255);
            }
        }
    }
    return ::BitBlt(hDC, nDestX, nDestY, nDestWidth, nDestHeight, target.GetDC(), 0, 0, SRCCOPY);
}

// ---- Images: draw strings, draw records, nine-grid drawing -------------------

bool CRenderEngine::DrawImageString(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem,
                                    const RECT& rcPaint, LPCTSTR pStrImage, LPCTSTR pStrModify,
                                    HINSTANCE instance)
{
    if (hDC == nullptr || pManager == nullptr) return false;
    const TDrawInfo* pDrawInfo = pManager->GetDrawInfo(pStrImage, pStrModify);
    return DrawImageInfo(hDC, pManager, rcItem, rcPaint, pDrawInfo, instance);
}

bool CRenderEngine::DrawImageInfo(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                                  const TDrawInfo* pDrawInfo, HINSTANCE instance)
{
    if (hDC == nullptr || pManager == nullptr || pDrawInfo == nullptr) return false;

    RECT rcDest = rcItem;
    if (!IsZero(pDrawInfo->rcDest)) {
        rcDest.left = rcItem.left + pDrawInfo->rcDest.left;
        rcDest.top = rcItem.top + pDrawInfo->rcDest.top;
        rcDest.right = rcItem.left + pDrawInfo->rcDest.right;
        if (rcDest.right > rcItem.right) rcDest.right = rcItem.right;
        rcDest.bottom = rcItem.top + pDrawInfo->rcDest.bottom;
        if (rcDest.bottom > rcItem.bottom) rcDest.bottom = rcItem.bottom;
    }

    if (pDrawInfo->sImageName.IsEmpty()) return false;
    LPCTSTR pResType = pDrawInfo->sResType.IsEmpty() ? nullptr : pDrawInfo->sResType.GetData();
    const TImageInfo* pImage =
        pManager->GetImageEx(pDrawInfo->sImageName, pResType, pDrawInfo->dwMask, false, instance);
    if (pImage == nullptr) return false;

    RECT rcSource = pDrawInfo->rcSource;
    if (IsZero(rcSource)) {
        rcSource.right = pImage->nX;
        rcSource.bottom = pImage->nY;
    }
    if (rcSource.right > pImage->nX) rcSource.right = pImage->nX;
    if (rcSource.bottom > pImage->nY) rcSource.bottom = pImage->nY;

    RECT rcTemp;
    if (!::IntersectRect(&rcTemp, &rcDest, &rcItem)) return true;
    if (!::IntersectRect(&rcTemp, &rcDest, &rcPaint)) return true;

    const bool bAlpha = pManager->IsLayered() || pImage->bAlpha;
    DrawImage(hDC, pImage->hBitmap, rcDest, rcPaint, rcSource, pDrawInfo->rcCorner, bAlpha, pDrawInfo->uFade,
              pDrawInfo->bHole, pDrawInfo->bTiledX, pDrawInfo->bTiledY);
    return true;
}

// Pieces of the destination D and source S cut by the corners C:
//
//   piece         destination (x, y, w, h)            source
//   middle        Dl+Cl, Dt+Ct, Dw-Cl-Cr, Dh-Ct-Cb     Sl+Cl, St+Ct, Sw-Cl-Cr, Sh-Ct-Cb
//   top-left      Dl, Dt, Cl, Ct                       Sl, St, Cl, Ct
//   top           Dl+Cl, Dt, Dw-Cl-Cr, Ct              Sl+Cl, St, Sw-Cl-Cr, Ct
//   top-right     Dr-Cr, Dt, Cr, Ct                    Sr-Cr, St, Cr, Ct
//   left          Dl, Dt+Ct, Cl, Dh-Ct-Cb              Sl, St+Ct, Cl, Sh-Ct-Cb
//   right         Dr-Cr, Dt+Ct, Cr, Dh-Ct-Cb           Sr-Cr, St+Ct, Cr, Sh-Ct-Cb
//   bottom-left   Dl, Db-Cb, Cl, Cb                    Sl, Sb-Cb, Cl, Cb
//   bottom        Dl+Cl, Db-Cb, Dw-Cl-Cr, Cb           Sl+Cl, Sb-Cb, Sw-Cl-Cr, Cb
//   bottom-right  Dr-Cr, Db-Cb, Cr, Cb                 Sr-Cr, Sb-Cb, Cr, Cb
//
// drawn in this order. Negative corner widths count as 0.
void CRenderEngine::DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint,
                              const RECT& rcBmpPart, const RECT& rcCorners, bool bAlpha, BYTE uFade,
                              bool bHole, bool bTiledX, bool bTiledY)
{
    if (hDC == nullptr || hBitmap == nullptr) return;
    // Other targets (a printer's DC) get a DC of their own device.
    const bool bSharedDC = ::GetObjectType(hDC) == OBJ_MEMDC;
    HDC hCloneDC = bSharedDC ? SharedImageDC() : ::CreateCompatibleDC(hDC);
    if (hCloneDC == nullptr) return;
    HBITMAP hOldBitmap = static_cast<HBITMAP>(::SelectObject(hCloneDC, hBitmap));

    const RECT& D = rc;
    const RECT& S = rcBmpPart;
    RECT C = rcCorners;
    if (C.left < 0) C.left = 0;
    if (C.top < 0) C.top = 0;
    if (C.right < 0) C.right = 0;
    if (C.bottom < 0) C.bottom = 0;
    const int dw = D.right - D.left;
    const int dh = D.bottom - D.top;
    const int sw = S.right - S.left;
    const int sh = S.bottom - S.top;
    const bool bBlend = bAlpha || uFade < 255;

    if (!bBlend && dw == sw && dh == sh && IsZero(C)) {
        RECT rcTemp;
        if (::IntersectRect(&rcTemp, &D, &rcPaint)) {
            ::BitBlt(hDC, rcTemp.left, rcTemp.top, rcTemp.right - rcTemp.left, rcTemp.bottom - rcTemp.top,
                     hCloneDC, S.left + rcTemp.left - D.left, S.top + rcTemp.top - D.top, SRCCOPY);
        }
    } else {
        CPieceBlitter blitter(hDC, hCloneDC, rcPaint, bBlend, uFade);
        const int dmw = dw - C.left - C.right;
        const int dmh = dh - C.top - C.bottom;
        const int smw = sw - C.left - C.right;
        const int smh = sh - C.top - C.bottom;
        if (!bHole) {
            RECT M = {D.left + C.left, D.top + C.top, D.right - C.right, D.bottom - C.bottom};
            DrawMiddle(blitter, M, rcPaint, S.left + C.left, S.top + C.top, smw, smh, bTiledX, bTiledY);
        }
        if (C.left > 0 && C.top > 0) {
            blitter.Stretch(D.left, D.top, C.left, C.top, S.left, S.top, C.left, C.top);
        }
        if (C.top > 0) {
            blitter.Stretch(D.left + C.left, D.top, dmw, C.top, S.left + C.left, S.top, smw, C.top);
        }
        if (C.right > 0 && C.top > 0) {
            blitter.Stretch(D.right - C.right, D.top, C.right, C.top, S.right - C.right, S.top, C.right,
                            C.top);
        }
        if (C.left > 0) {
            blitter.Stretch(D.left, D.top + C.top, C.left, dmh, S.left, S.top + C.top, C.left, smh);
        }
        if (C.right > 0) {
            blitter.Stretch(D.right - C.right, D.top + C.top, C.right, dmh, S.right - C.right, S.top + C.top,
                            C.right, smh);
        }
        if (C.left > 0 && C.bottom > 0) {
            blitter.Stretch(D.left, D.bottom - C.bottom, C.left, C.bottom, S.left, S.bottom - C.bottom,
                            C.left, C.bottom);
        }
        if (C.bottom > 0) {
            blitter.Stretch(D.left + C.left, D.bottom - C.bottom, dmw, C.bottom, S.left + C.left,
                            S.bottom - C.bottom, smw, C.bottom);
        }
        if (C.right > 0 && C.bottom > 0) {
            blitter.Stretch(D.right - C.right, D.bottom - C.bottom, C.right, C.bottom, S.right - C.right,
                            S.bottom - C.bottom, C.right, C.bottom);
        }
    }

    ::SelectObject(hCloneDC, hOldBitmap);
    if (!bSharedDC) ::DeleteDC(hCloneDC);
}

// ---- Shapes: colour, gradient, line, rectangle, round rectangle --------------

void CRenderEngine::DrawColor(HDC hDC, const RECT& rc, DWORD color)
{
    if (hDC == nullptr || (color >> 24) == 0) return;
    if (rc.right <= rc.left || rc.bottom <= rc.top) return;
    // An opaque colour on a 32-bit DIB is what GDI+ would write: the colour
    // itself in every pixel of the clip.
    if ((color >> 24) == 0xFF) {
        CDibPixels target;
        if (target.Attach(hDC)) {
            target.FillOpaque(rc, color);
            return;
        }
    }
    CGdiplusGraphics graphics(hDC);
    if (graphics.Get() == nullptr) return;
    Gdiplus::GpSolidFill* pBrush = nullptr;
    if (Gdiplus::DllExports::GdipCreateSolidFill(color, &pBrush) != Gdiplus::Ok) return;
    Gdiplus::DllExports::GdipFillRectangleI(graphics.Get(), pBrush, rc.left, rc.top, rc.right - rc.left,
                                            rc.bottom - rc.top);
    Gdiplus::DllExports::GdipDeleteBrush(pBrush);
}

void CRenderEngine::DrawGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical,
                                 int nSteps)
{
    if (hDC == nullptr) return;
    const int cx = rc.right - rc.left;
    const int cy = rc.bottom - rc.top;
    if (cx <= 0 || cy <= 0) return;
    const UINT opacity = ((dwFirst >> 24) + (dwSecond >> 24)) / 2;
    if (opacity == 0) return;
    if (opacity >= 255) {
        FillGradient(hDC, rc, dwFirst, dwSecond, bVertical, nSteps);
        return;
    }
    // Translucent: the opaque gradient is made off-screen, then blended
    // once at the common opacity.
    CMemoryDib offscreen(hDC, cx, cy);
    if (!offscreen.IsValid()) return;
    RECT rcLocal = {0, 0, cx, cy};
    FillGradient(offscreen.GetDC(), rcLocal, dwFirst, dwSecond, bVertical, nSteps);
    ::GdiFlush();
    // GDI leaves the alpha bytes as it likes; the gradient is opaque.
    BYTE* pBits = offscreen.GetBits();
    const size_t count = static_cast<size_t>(cx) * static_cast<size_t>(cy);
    for (size_t i = 0; i < count; ++i) pBits[i * 4 + 3] = 0xFF;
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(opacity), AC_SRC_ALPHA};
    Blend(hDC, rc.left, rc.top, cx, cy, offscreen.GetDC(), 0, 0, cx, cy, blend);
}

// Band i of n is (second * (n - i) + first * i) / n and lies, counted from
// the far end, between i and i + 1 n-ths of the length.
void CRenderEngine::DrawGradientBands(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical,
                                      int nSteps)
{
    if (hDC == nullptr) return;
    const int n = GradientBandCount(nSteps);
    const int length = bVertical ? rc.bottom - rc.top : rc.right - rc.left;
    const int end = bVertical ? rc.bottom : rc.right;
    if (length <= 0 || rc.right <= rc.left || rc.bottom <= rc.top) return;
    for (int i = 0; i < n; ++i) {
        const int from = end - static_cast<int>((static_cast<long long>(i) + 1) * length / n);
        const int to = end - static_cast<int>(static_cast<long long>(i) * length / n);
        if (to <= from) continue;
        const BYTE r = static_cast<BYTE>((GetBValue(dwSecond) * (n - i) + GetBValue(dwFirst) * i) / n);
        const BYTE g = static_cast<BYTE>((GetGValue(dwSecond) * (n - i) + GetGValue(dwFirst) * i) / n);
        const BYTE b = static_cast<BYTE>((GetRValue(dwSecond) * (n - i) + GetRValue(dwFirst) * i) / n);
        RECT rcBand = rc;
        if (bVertical) {
            rcBand.top = from;
            rcBand.bottom = to;
        } else {
            rcBand.left = from;
            rcBand.right = to;
        }
        HBRUSH hBrush = ::CreateSolidBrush(RGB(r, g, b));
        if (hBrush == nullptr) continue;
        ::FillRect(hDC, &rcBand, hBrush);
        ::DeleteObject(hBrush);
    }
}

void CRenderEngine::DrawLine(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle)
{
    if (hDC == nullptr) return;
    HPEN hPen = ::CreatePen(nStyle, nSize, ToColorRef(dwPenColor));
    if (hPen == nullptr) return;
    HPEN hOldPen = static_cast<HPEN>(::SelectObject(hDC, hPen));
    POINT ptOld;
    ::MoveToEx(hDC, rc.left, rc.top, &ptOld);
    ::LineTo(hDC, rc.right, rc.bottom);
    ::MoveToEx(hDC, ptOld.x, ptOld.y, nullptr);
    ::SelectObject(hDC, hOldPen);
    ::DeleteObject(hPen);
}

void CRenderEngine::DrawRect(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int /*nStyle*/)
{
    if (hDC == nullptr) return;
    CGdiplusGraphics graphics(hDC);
    if (graphics.Get() == nullptr) return;
    Gdiplus::GpPen* pPen = nullptr;
    if (Gdiplus::DllExports::GdipCreatePen1(dwPenColor, static_cast<Gdiplus::REAL>(nSize), Gdiplus::UnitWorld,
                                            &pPen) != Gdiplus::Ok) {
        return;
    }
    // Inside the shape: a centred pen on the outline moved in by half the
    // pen's extra width. GDI+ implementations differ in honouring inset
    // alignment for rectangles; this geometry is the same everywhere.
    const Gdiplus::REAL inset = nSize > 1 ? (nSize - 1) / 2.0f : 0.0f;
    Gdiplus::DllExports::GdipDrawRectangle(graphics.Get(), pPen, rc.left + inset, rc.top + inset,
                                           static_cast<Gdiplus::REAL>(rc.right - rc.left - 1) - 2 * inset,
                                           static_cast<Gdiplus::REAL>(rc.bottom - rc.top - 1) - 2 * inset);
    Gdiplus::DllExports::GdipDeletePen(pPen);
}

void CRenderEngine::DrawRoundRect(HDC hDC, const RECT& rc, int nSize, int width, int height, DWORD dwPenColor,
                                  int nStyle)
{
    if (hDC == nullptr) return;
    HPEN hPen = ::CreatePen(nStyle, nSize, ToColorRef(dwPenColor));
    if (hPen == nullptr) return;
    HPEN hOldPen = static_cast<HPEN>(::SelectObject(hDC, hPen));
    HGDIOBJ hOldBrush = ::SelectObject(hDC, ::GetStockObject(HOLLOW_BRUSH));
    ::RoundRect(hDC, rc.left, rc.top, rc.right, rc.bottom, width, height);
    ::SelectObject(hDC, hOldBrush);
    ::SelectObject(hDC, hOldPen);
    ::DeleteObject(hPen);
}

// ---- Colours and bitmaps -----------------------------------------------------

void CRenderEngine::CheckAlphaColor(DWORD& dwColor)
{
    if ((dwColor & 0x00FFFFFF) == 0) dwColor += 1;
}

DWORD CRenderEngine::AdjustColor(DWORD dwColor, short H, short S, short L)
{
    if (H == 180 && S == 100 && L == 100) return dwColor;
    const double r = ((dwColor >> 16) & 0xFF) / 255.0;
    const double g = ((dwColor >> 8) & 0xFF) / 255.0;
    const double b = (dwColor & 0xFF) / 255.0;
    const double maxc = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const double minc = r < g ? (r < b ? r : b) : (g < b ? g : b);
    double hue = 0.0;
    double sat = 0.0;
    double light = (maxc + minc) / 2.0;
    if (maxc > minc) {
        const double d = maxc - minc;
        sat = light > 0.5 ? d / (2.0 - maxc - minc) : d / (maxc + minc);
        if (maxc == r) {
            hue = (g - b) / d + (g < b ? 6.0 : 0.0);
        } else if (maxc == g) {
            hue = (b - r) / d + 2.0;
        } else {
            hue = (r - g) / d + 4.0;
        }
        hue *= 60.0;
    }
    hue += H - 180;
    if (hue <= 0.0) hue += 360.0;
    hue = fmod(hue, 360.0);
    sat *= S / 100.0;
    light *= L / 100.0;

    double rr = light;
    double gg = light;
    double bb = light;
    if (sat != 0.0) {
        const double q = light < 0.5 ? light * (1.0 + sat) : light + sat - light * sat;
        const double p = 2.0 * light - q;
        const double t = hue / 360.0;
        rr = HueToChannel(p, q, t + 1.0 / 3.0);
        gg = HueToChannel(p, q, t);
        bb = HueToChannel(p, q, t - 1.0 / 3.0);
    }
    return (dwColor & 0xFF000000) | (static_cast<DWORD>(ClampChannel(rr)) << 16) |
        (static_cast<DWORD>(ClampChannel(gg)) << 8) | ClampChannel(bb);
}

void CRenderEngine::AdjustImage(bool bUseHSL, TImageInfo* imageInfo, short H, short S, short L)
{
    if (imageInfo == nullptr || !imageInfo->bUseHSL || imageInfo->hBitmap == nullptr ||
        imageInfo->pBits == nullptr || imageInfo->pSrcBits == nullptr || imageInfo->nX <= 0 ||
        imageInfo->nY <= 0) {
        return;
    }
    const size_t count = static_cast<size_t>(imageInfo->nX) * static_cast<size_t>(imageInfo->nY);
    if (!bUseHSL || (H == 180 && S == 100 && L == 100)) {
        memcpy(imageInfo->pBits, imageInfo->pSrcBits, count * 4);
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        DWORD pixel;
        memcpy(&pixel, imageInfo->pSrcBits + i * 4, 4);
        pixel = AdjustColor(pixel, H, S, L);
        memcpy(imageInfo->pBits + i * 4, &pixel, 4);
    }
}

HBITMAP CRenderEngine::CreateARGB32Bitmap(HDC hDC, int cx, int cy, BYTE** pBits)
{
    return CMemoryDib::CreateBitmap(hDC, cx, cy, false, pBits);
}

HBITMAP CRenderEngine::GenerateBitmap(CPaintManagerUI* pManager, CControlUI* pControl, RECT rc)
{
    if (pManager == nullptr || pControl == nullptr || pManager->GetPaintDC() == nullptr) return nullptr;
    const int cx = rc.right - rc.left;
    const int cy = rc.bottom - rc.top;
    if (cx <= 0 || cy <= 0 || rc.right <= 0 || rc.bottom <= 0) return nullptr;
    HDC hPaintDC = pManager->GetPaintDC();

    HDC hPaintMemDC = ::CreateCompatibleDC(hPaintDC);
    HBITMAP hPaintBitmap = ::CreateCompatibleBitmap(hPaintDC, rc.right, rc.bottom);
    if (hPaintMemDC == nullptr || hPaintBitmap == nullptr) {
        if (hPaintMemDC != nullptr) ::DeleteDC(hPaintMemDC);
        if (hPaintBitmap != nullptr) ::DeleteObject(hPaintBitmap);
        return nullptr;
    }
    HBITMAP hOldPaintBitmap = static_cast<HBITMAP>(::SelectObject(hPaintMemDC, hPaintBitmap));
    pControl->DoPaint(hPaintMemDC, rc);

    HBITMAP hBitmap = CreateARGB32Bitmap(hPaintDC, cx, cy, nullptr);
    HDC hCloneDC = hBitmap != nullptr ? ::CreateCompatibleDC(hPaintDC) : nullptr;
    if (hCloneDC != nullptr) {
        HBITMAP hOldBitmap = static_cast<HBITMAP>(::SelectObject(hCloneDC, hBitmap));
        ::BitBlt(hCloneDC, 0, 0, cx, cy, hPaintMemDC, rc.left, rc.top, SRCCOPY);
        ::SelectObject(hCloneDC, hOldBitmap);
        ::DeleteDC(hCloneDC);
    } else if (hBitmap != nullptr) {
        ::DeleteObject(hBitmap);
        hBitmap = nullptr;
    }
    ::SelectObject(hPaintMemDC, hOldPaintBitmap);
    ::DeleteObject(hPaintBitmap);
    ::DeleteDC(hPaintMemDC);
    return hBitmap;
}

}  // namespace SkinUI
