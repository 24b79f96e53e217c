#include "tests/support/DibSurface.h"

namespace TestSupport {

DibSurface::DibSurface(int width, int height) : m_dib(nullptr, width, height)
{
    Clear(0);
}

DWORD DibSurface::Pixel(int x, int y) const
{
    if (!IsValid() || x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    ::GdiFlush();
    return Pixels()[y * Width() + x];
}

void DibSurface::Clear(DWORD value)
{
    if (!IsValid()) return;
    ::GdiFlush();
    DWORD* pPixels = Pixels();
    for (int i = 0; i < Width() * Height(); ++i) pPixels[i] = value;
}

}  // namespace TestSupport
