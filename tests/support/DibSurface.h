#pragma once
// DibSurface: a 32-bit top-down DIB section selected into its own memory DC,
// for tests that paint through GDI and then read the pixels back.

#include "skinui/render/MemoryDib.h"

#include <windows.h>

namespace TestSupport {

class DibSurface
{
public:
    DibSurface(int width, int height);
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    bool IsValid() const { return m_dib.IsValid(); }
    HDC GetDC() const { return m_dib.GetDC(); }
    int Width() const { return m_dib.GetWidth(); }
    int Height() const { return m_dib.GetHeight(); }
    // The pixel as 0xAARRGGBB (B G R A in memory); 0 outside the surface.
    DWORD Pixel(int x, int y) const;
    // Every pixel set to the value, without going through the DC.
    void Clear(DWORD value);

private:
    DWORD* Pixels() const { return reinterpret_cast<DWORD*>(m_dib.GetBits()); }

    SkinUI::CMemoryDib m_dib;
};

}  // namespace TestSupport
