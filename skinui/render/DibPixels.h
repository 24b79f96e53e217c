#pragma once
// CDibPixels: the pixels of a 32-bit DIB section selected into a memory DC,
// with the DC's clip as device rectangles, so that the engine can blend and
// fill on them itself instead of going through AlphaBlend and GDI+.
//
// Attach refuses every DC it cannot treat exactly as GDI would: no memory
// DC, a bitmap that is not a 32-bit BI_RGB DIB section, a mapping other than
// a plain offset, a mirrored layout, or a clip of more rectangles than it
// keeps. Callers then take the system path, which stays the reference: the
// results here are the pixels AlphaBlend and GDI+ give for the same call.

#include <windows.h>

namespace SkinUI {

class CDibPixels
{
public:
    CDibPixels() = default;
    CDibPixels(const CDibPixels&) = delete;
    CDibPixels& operator=(const CDibPixels&) = delete;

    // The DIB selected into hDC and the DC's clip. False when the DC cannot be
    // drawn on here (see above); the object is then empty.
    bool Attach(HDC hDC);
    // A 32-bit DIB section as a blend source (no clip). False as above.
    bool AttachBitmap(HBITMAP hBitmap);
    bool IsAttached() const { return m_pBits != nullptr; }

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    // Logical to device offset, and the clip in device pixels (a count of -1:
    // no clip, the whole bitmap).
    POINT Offset() const { return m_ptOffset; }
    int ClipRectCount() const { return m_nClipRects; }
    const RECT* ClipRects() const { return m_rcClip; }

    // Premultiplied source-over of the unscaled source part (sx, sy, cx, cy)
    // at logical (x, y), the source first scaled by uConstant; as AlphaBlend
    // with AC_SRC_ALPHA. Only pixels inside the clip are written. False, with
    // nothing drawn, when the source part does not lie inside the source,
    // where AlphaBlend fails too.
    bool Blend(int x, int y, int cx, int cy, const CDibPixels& source, int sx, int sy, BYTE uConstant) const;
    // An opaque colour (0xFFRRGGBB) over the logical rectangle rc, as GDI+
    // fills it on such a DC: every pixel inside the clip becomes the colour.
    void FillOpaque(const RECT& rc, DWORD dwColor) const;

    // Pixel rows of the DIB, window row y first: bottom-up bitmaps are
    // stored last row first.
    DWORD* Row(int y) const;

    // The layered window's alpha repair on n pixels: a pixel with alpha 0
    // but some colour (GDI text leaves alpha alone) becomes opaque; a pixel
    // nobody painted, 0, stays transparent.
    static void OpaqueWhereColoured(DWORD* pPixels, int n);

private:
    static const int kMaxClipRects = 32;

    // The device rectangle of the logical (x, y, cx, cy) inside the bitmap;
    // false when nothing is left.
    bool ToDevice(int x, int y, int cx, int cy, RECT& rcDevice) const;

    BYTE* m_pBits = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nStride = 0;  // bytes from one window row to the next
    bool m_bBottomUp = false;
    POINT m_ptOffset = {0, 0};  // logical to device
    int m_nClipRects = 0;       // -1: no clip, the whole bitmap
    RECT m_rcClip[kMaxClipRects] = {};
};

}  // namespace SkinUI
