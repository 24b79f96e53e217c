#include "tests/support/PixelScan.h"

#include "skinui/render/MemoryDib.h"

#include <stdlib.h>

namespace TestSupport {

RECT BoundsOf(const DibSurface& surface, const PixelTest& test)
{
    RECT rc = {0, 0, 0, 0};
    bool bFound = false;
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            if (!test(surface.Pixel(x, y))) continue;
            if (!bFound) {
                rc.left = x;
                rc.top = y;
                rc.right = x + 1;
                rc.bottom = y + 1;
                bFound = true;
                continue;
            }
            if (x < rc.left) rc.left = x;
            if (y < rc.top) rc.top = y;
            if (x + 1 > rc.right) rc.right = x + 1;
            if (y + 1 > rc.bottom) rc.bottom = y + 1;
        }
    }
    return rc;
}

int CountIn(const DibSurface& surface, const RECT& area, const PixelTest& test)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (x >= 0 && y >= 0 && x < surface.Width() && y < surface.Height() &&
                test(surface.Pixel(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

int CountOutside(const DibSurface& surface, const RECT& area, const PixelTest& test)
{
    int count = 0;
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            POINT pt = {x, y};
            if (!::PtInRect(&area, pt) && test(surface.Pixel(x, y))) ++count;
        }
    }
    return count;
}

PixelTest Not(DWORD value)
{
    return [value](DWORD pixel) { return pixel != value; };
}

PixelTest Near(DWORD color, int tolerance)
{
    return [color, tolerance](DWORD pixel) { return IsNear(pixel, color, tolerance); };
}

PixelTest Reddish(int margin)
{
    return [margin](DWORD pixel) {
        return Red(pixel) > Green(pixel) + margin && Red(pixel) > Blue(pixel) + margin;
    };
}

bool IsNear(DWORD a, DWORD b, int tolerance)
{
    return abs(Red(a) - Red(b)) <= tolerance && abs(Green(a) - Green(b)) <= tolerance &&
        abs(Blue(a) - Blue(b)) <= tolerance;
}

int Alpha(DWORD pixel)
{
    return static_cast<int>((pixel >> 24) & 0xFF);
}
int Red(DWORD pixel)
{
    return static_cast<int>((pixel >> 16) & 0xFF);
}
int Green(DWORD pixel)
{
    return static_cast<int>((pixel >> 8) & 0xFF);
}
int Blue(DWORD pixel)
{
    return static_cast<int>(pixel & 0xFF);
}

HBITMAP CreateSourceBitmap(int width, int height, const PixelSource& source)
{
    BYTE* pBits = nullptr;
    HBITMAP hBitmap = SkinUI::CMemoryDib::CreateBitmap(nullptr, width, height, true, &pBits);
    if (hBitmap == nullptr) return nullptr;
    DWORD* pPixels = reinterpret_cast<DWORD*>(pBits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pPixels[y * width + x] = source(x, y);
    }
    return hBitmap;
}

COLORREF BitmapPixel(HBITMAP hBitmap, int x, int y)
{
    HDC hDC = ::CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    const COLORREF color = ::GetPixel(hDC, x, y);
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
    return color;
}

}  // namespace TestSupport
