#include "skinui/render/MemoryDib.h"

namespace SkinUI {

HBITMAP CMemoryDib::CreateBitmap(HDC hDC, int cx, int cy, bool bTopDown, BYTE** ppBits)
{
    if (ppBits != nullptr) *ppBits = nullptr;
    if (cx <= 0 || cy <= 0) return nullptr;
    const unsigned long long cb =
        static_cast<unsigned long long>(cx) * static_cast<unsigned long long>(cy) * 4;
    if (cb > 0x7FFFFFFFull) return nullptr;

    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = bTopDown ? -cy : cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    bmi.bmiHeader.biSizeImage = static_cast<DWORD>(cb);
    void* pvBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pvBits, nullptr, 0);
    if (hBitmap != nullptr && pvBits == nullptr) {
        ::DeleteObject(hBitmap);
        return nullptr;
    }
    if (ppBits != nullptr && hBitmap != nullptr) *ppBits = static_cast<BYTE*>(pvBits);
    return hBitmap;
}

CMemoryDib::CMemoryDib(HDC hDC, int cx, int cy, bool bTopDown) : m_cx(cx), m_cy(cy)
{
    BYTE* pBits = nullptr;
    m_hBitmap = CreateBitmap(hDC, cx, cy, bTopDown, &pBits);
    if (m_hBitmap == nullptr) return;
    m_hDC = ::CreateCompatibleDC(hDC);
    if (m_hDC == nullptr) return;
    m_hOld = ::SelectObject(m_hDC, m_hBitmap);
    m_pBits = pBits;
}

CMemoryDib::~CMemoryDib()
{
    if (m_hDC != nullptr) {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteDC(m_hDC);
    }
    if (m_hBitmap != nullptr) ::DeleteObject(m_hBitmap);
}

}  // namespace SkinUI
