#pragma once
// DibSurface: a 32-bit top-down DIB section selected into its own memory DC,
// for tests that paint through GDI and then read the pixels back.

#include <windows.h>

namespace TestSupport {

class DibSurface {
public:
    DibSurface(int width, int height);
    ~DibSurface();
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    bool IsValid() const { return m_hDC != NULL && m_pBits != NULL; }
    HDC GetDC() const { return m_hDC; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The pixel as 0xAARRGGBB (B G R A in memory); 0 outside the surface.
    DWORD Pixel(int x, int y) const;
    // Every pixel set to the value, without going through the DC.
    void Clear(DWORD value);

private:
    int m_width;
    int m_height;
    HDC m_hDC = NULL;
    HBITMAP m_hBitmap = NULL;
    HGDIOBJ m_hOldBitmap = NULL;
    DWORD* m_pBits = NULL;
};

}  // namespace TestSupport
