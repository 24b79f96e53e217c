#pragma once
// CRenderEngine: the engine's drawing functions, all static.
//   Image loading          skinui/resource/ImageLoader.cpp
//   Images and shapes      RenderEngine.cpp
//   Text                   RenderText.cpp

#include "skinui/core/STRINGorID.h"
#include "skinui/core/UIString.h"
#include "skinui/render/DrawInfo.h"
#include "skinui/resource/ImageInfo.h"

#include <windows.h>

namespace SkinUI {

class CControlUI;
class CPaintManagerUI;

class CRenderEngine
{
public:
    // ---- Image loading --------------------------------------------------
    // The caller owns the returned record; null when nothing could be read
    // or decoded.
    static TImageInfo* LoadImageW(STRINGorID bitmap, LPCTSTR type = nullptr, DWORD mask = 0,
                                  HINSTANCE instance = nullptr);
    static TImageInfo* LoadImageW(LPCTSTR bitmap, LPCTSTR type = nullptr, DWORD mask = 0,
                                  HINSTANCE instance = nullptr);
    static TImageInfo* LoadImageW(UINT nID, LPCTSTR type = nullptr, DWORD mask = 0,
                                  HINSTANCE instance = nullptr);
    static void FreeImage(TImageInfo* bitmap, bool bDelete = true);

    // ---- Images and shapes ----------------------------------------------
    // Colours are 0xAARRGGBB; GDI calls take red, green and blue only.
    // Rectangles are in device pixels of the target DC.

    // The image a draw string describes, placed in the control rectangle
    // rcItem; only what meets rcPaint is drawn. False when the DC, the
    // manager, the record or the image is missing; true otherwise, also when
    // nothing was visible.
    static bool DrawImageString(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                                LPCTSTR pStrImage, LPCTSTR pStrModify = nullptr,
                                HINSTANCE instance = nullptr);
    static bool DrawImageInfo(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                              const TDrawInfo* pDrawInfo, HINSTANCE instance = nullptr);
    // Nine-grid drawing of the part rcBmpPart of a 32-bit premultiplied
    // bitmap into rc: corners unscaled, edges stretched along their edge,
    // the middle stretched or tiled, or left out with bHole. Blended when
    // bAlpha is set or uFade is below 255, else copied.
    static void DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint,
                          const RECT& rcBmpPart, const RECT& rcCorners, bool bAlpha, BYTE uFade = 255,
                          bool bHole = false, bool bTiledX = false, bool bTiledY = false);
    // The blend DrawImage falls back to where msimg32 has no AlphaBlend:
    // the same arguments and the same premultiplied source-over result.
    static BOOL SoftwareAlphaBlend(HDC hDC, int nDestX, int nDestY, int nDestWidth, int nDestHeight,
                                   HDC hSrcDC, int nSrcX, int nSrcY, int nSrcWidth, int nSrcHeight,
                                   BLENDFUNCTION blend);

    // Fills with a GDI+ brush, alpha respected; alpha 0 draws nothing.
    static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
    // dwFirst at the left (top when bVertical) to dwSecond at the right
    // (bottom), at the opacity of the average of both alphas.
    static void DrawGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical,
                             int nSteps);
    // The band gradient DrawGradient falls back to where msimg32 has no
    // GradientFill: 2^k opaque bands, k from nSteps (1 to 6).
    static void DrawGradientBands(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical,
                                  int nSteps);
    // A GDI line from (left, top) to (right, bottom).
    static void DrawLine(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle = PS_SOLID);
    // A GDI+ outline inside rc, alpha respected; nStyle is not used.
    static void DrawRect(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle = PS_SOLID);
    // A GDI RoundRect outline with a hollow brush.
    static void DrawRoundRect(HDC hDC, const RECT& rc, int nSize, int width, int height, DWORD dwPenColor,
                              int nStyle = PS_SOLID);

    // Pure black becomes 0x..000001, so that it never matches a colour key.
    static void CheckAlphaColor(DWORD& dwColor);
    // Hue shift H - 180 degrees, saturation * S / 100, lightness * L / 100;
    // (180, 100, 100) returns the colour unchanged. Alpha is kept.
    static DWORD AdjustColor(DWORD dwColor, short H, short S, short L);
    // Recolours a use-HSL image from its unadjusted pixels; nothing for an
    // image without both pixel buffers.
    static void AdjustImage(bool bUseHSL, TImageInfo* imageInfo, short H, short S, short L);

    // A 32-bit bottom-up DIB section; *pBits receives its pixels (may be null).
    static HBITMAP CreateARGB32Bitmap(HDC hDC, int cx, int cy, BYTE** pBits);
    // The control painted into a new 32-bit DIB section of rc's size, owned
    // by the caller; null when the manager has no paint DC.
    static HBITMAP GenerateBitmap(CPaintManagerUI* pManager, CControlUI* pControl, RECT rc);

    // ---- Text -----------------------------------------------------------
    // Plain text with the manager's font iFont and the Windows DT_* flags;
    // DT_CALCRECT measures into rc. Layered windows and GDI+ text windows
    // draw with GDI+, others with GDI.
    static void DrawTextW(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor,
                          int iFont, UINT uStyle);
    // The same over rc filled with dwTextBkColor first.
    static void DrawTextW(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor,
                          DWORD dwTextBkColor, int iFont, UINT uStyle);
    // Inline-markup text ({b} {i} {u} {c} {f} {a} {i image} {n} {p} {r} {s}
    // {x} {y}, also with angle brackets), always with GDI. nLinkRects is the
    // number of slots in prcLinks and sLinks on entry and the number of link
    // rectangles found on return. rc is moved for DT_CENTER, DT_RIGHT,
    // DT_VCENTER and DT_BOTTOM and receives the size with DT_CALCRECT.
    //
    // Bounds against hostile text: a line costs time linear in its length;
    // fonts, colours and paragraph spacings nest at most kMaxMarkupNesting
    // deep (a deeper opening tag pushes nothing); and at most
    // kMaxMarkupFonts fonts are made per window for the faces, sizes and
    // styles texts name (they are found again by those values and live as
    // long as the window); past that, a new one draws in the enclosing font.
    static void DrawHtmlText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText,
                             DWORD dwTextColor, RECT* prcLinks, CUIString* sLinks, int& nLinkRects,
                             UINT uStyle);
    enum
    {
        kMaxMarkupNesting = 64,
        kMaxMarkupFonts = 128
    };
    // What a reader hears of an inline-markup text, read as DrawHtmlText
    // tells tags from text: tags left out, escapes as their character, raw
    // sections as written, line breaks ({n}, {p}, line feeds) as spaces,
    // every run of spaces as one and none at either end. With sLinkTexts the
    // plain text of each link ({a}...{/a}) goes to the slot of the index
    // DrawHtmlText gives it, up to nLinkSlots; *pnLinks receives the number
    // of links. Linear in the length of the text.
    static CUIString GetHtmlPlainText(LPCTSTR pstrText, CUIString* sLinkTexts = nullptr, int nLinkSlots = 0,
                                      int* pnLinks = nullptr);
    // One line's extent with the manager's font iFont; zero for null input.
    static SIZE GetTextSize(HDC hDC, CPaintManagerUI* pManager, LPCTSTR pstrText, int iFont, UINT uStyle);
};

}  // namespace SkinUI
