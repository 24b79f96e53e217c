#pragma once
// Pixel checks over a DibSurface and small source bitmaps for drawing tests.
// Pixels are 0xAARRGGBB values, as DibSurface::Pixel returns them.

#include "tests/support/DibSurface.h"

#include <windows.h>

#include <functional>

namespace TestSupport {

// Opaque colours as 0xAARRGGBB, for painting and for checking what was painted.
namespace Colors {
const DWORD kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
const DWORD kYellow = 0xFFFFFF00, kCyan = 0xFF00FFFF, kMagenta = 0xFFFF00FF;
const DWORD kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kGrey = 0xFF808080;
}  // namespace Colors

typedef std::function<bool(DWORD pixel)> PixelTest;
typedef std::function<DWORD(int x, int y)> PixelSource;

// The bounding box of the pixels of the surface that pass the test; an
// empty rectangle (0,0,0,0) when none does.
RECT BoundsOf(const DibSurface& surface, const PixelTest& test);
// Pixels inside area that pass the test.
int CountIn(const DibSurface& surface, const RECT& area, const PixelTest& test);
// Pixels outside area that pass the test.
int CountOutside(const DibSurface& surface, const RECT& area, const PixelTest& test);

// Pixels that are not the value.
PixelTest Not(DWORD value);
// Pixels whose red, green and blue each lie within tolerance of the colour's
// (alpha is not compared).
PixelTest Near(DWORD color, int tolerance);
// Pixels whose red exceeds green and blue by more than margin.
PixelTest Reddish(int margin);

// Red, green and blue of both within tolerance (alpha not compared).
bool IsNear(DWORD a, DWORD b, int tolerance);
int Alpha(DWORD pixel);
int Red(DWORD pixel);
int Green(DWORD pixel);
int Blue(DWORD pixel);

// A 32-bit top-down DIB section filled pixel by pixel from the source (the
// values are stored as given, so premultiplied ones stay premultiplied);
// the caller owns it.
HBITMAP CreateSourceBitmap(int width, int height, const PixelSource& source);
// A bitmap's pixel as GDI's GetPixel reads it through a memory DC
// (CLR_INVALID outside the bitmap).
COLORREF BitmapPixel(HBITMAP hBitmap, int x, int y);

}  // namespace TestSupport
