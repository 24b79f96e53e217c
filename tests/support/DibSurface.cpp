#include "tests/support/DibSurface.h"

namespace TestSupport {

DibSurface::DibSurface(int width, int height) : m_width(width), m_height(height)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = NULL;
    m_hBitmap = ::CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
    if (m_hBitmap == NULL) return;
    m_pBits = static_cast<DWORD*>(pBits);
    m_hDC = ::CreateCompatibleDC(NULL);
    if (m_hDC != NULL) m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
    Clear(0);
}

DibSurface::~DibSurface()
{
    if (m_hDC != NULL) {
        ::SelectObject(m_hDC, m_hOldBitmap);
        ::DeleteDC(m_hDC);
    }
    if (m_hBitmap != NULL) ::DeleteObject(m_hBitmap);
}

DWORD DibSurface::Pixel(int x, int y) const
{
    if (m_pBits == NULL || x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    ::GdiFlush();
    return m_pBits[y * m_width + x];
}

void DibSurface::Clear(DWORD value)
{
    if (m_pBits == NULL) return;
    ::GdiFlush();
    for (int i = 0; i < m_width * m_height; ++i) m_pBits[i] = value;
}

}  // namespace TestSupport
