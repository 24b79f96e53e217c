#pragma once
// CMemoryDib: the one place the engine sets up a 32-bit DIB section, and a
// DIB section selected into a memory DC of its own for scratch painting.

#include <windows.h>

namespace SkinUI {

class CMemoryDib
{
public:
    // A cx by cy DIB section of 32 bits a pixel (BI_RGB), rows stored
    // top-down or bottom-up. Null when a side is not positive, the pixels
    // would take 2 GiB or more, or GDI refuses; *ppBits (when given) gets
    // the pixels, or null.
    static HBITMAP CreateBitmap(HDC hDC, int cx, int cy, bool bTopDown, BYTE** ppBits);

    // A bitmap (top-down unless asked otherwise) selected into a DC
    // compatible with hDC. IsValid is false when either could not be made.
    CMemoryDib(HDC hDC, int cx, int cy, bool bTopDown = true);
    ~CMemoryDib();
    CMemoryDib(const CMemoryDib&) = delete;
    CMemoryDib& operator=(const CMemoryDib&) = delete;

    bool IsValid() const { return m_hDC != nullptr && m_pBits != nullptr; }
    HDC GetDC() const { return m_hDC; }
    HBITMAP GetBitmap() const { return m_hBitmap; }
    BYTE* GetBits() const { return m_pBits; }
    int GetWidth() const { return m_cx; }
    int GetHeight() const { return m_cy; }

private:
    int m_cx;
    int m_cy;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    HDC m_hDC = nullptr;
    BYTE* m_pBits = nullptr;
};

}  // namespace SkinUI
