#include "skinui/core/Shadow.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/DPI.h"
#include "skinui/render/MemoryDib.h"
#include "skinui/render/RenderEngine.h"
#include "skinui/resource/ImageInfo.h"

#include <math.h>
#include <stdlib.h>

#include <map>

// Sections:
//   Shadow map              owner window -> shadow, shared by the thread
//   Construction, class     constructor, destructor, Initialize
//   Creation and owner      Create, ParentProc, show/hide/move helpers
//   Settings                setters, CopyShadow, DisableShadow
//   Bitmap                  Update, MakeShadow and its helpers

namespace SkinUI {

// ---- Shadow map --------------------------------------------------------

namespace {

const wchar_t kShadowClassName[] = L"ZazuruShadowWnd";

// The owner's previous procedure is kept beside the shadow so that an owner
// whose shadow object went away first (and whose procedure could not be put
// back because someone subclassed it later) still reaches its own code.
struct TShadowEntry
{
    CShadowUI* pShadow;
    WNDPROC pfnPrevious;
};

typedef std::map<HWND, TShadowEntry> ShadowMap;

ShadowMap& GetShadowMap()
{
    static ShadowMap s_map;  // initialised once, thread-safe; freed at exit
    return s_map;
}

// One span [start, end) of a pixel row; empty when start >= end.
struct TSpan
{
    int start;
    int end;
};

inline int Max(int a, int b)
{
    return a > b ? a : b;
}
inline int Min(int a, int b)
{
    return a < b ? a : b;
}
inline int Max3(int a, int b, int c)
{
    return Max(a, Max(b, c));
}
inline int Min3(int a, int b, int c)
{
    return Min(a, Min(b, c));
}

// Sets the pixels [from, to) of one row of nWidth pixels, clipped to it.
void FillRow(UINT32* pRow, int nWidth, int from, int to, UINT32 value)
{
    if (from < 0) from = 0;
    if (to > nWidth) to = nWidth;
    for (int x = from; x < to; ++x) pRow[x] = value;
}

// Stamps the (2K + 1)^2 kernel centred on (cx, cy) of the bottom-up buffer,
// keeping per pixel the larger of the old and the kernel value.
void StampKernel(UINT32* pBits, int nWidth, int nHeight, const UINT32* pKernel, int nKernel, int cx, int cy)
{
    const int nSide = 2 * nKernel + 1;
    for (int dy = -nKernel; dy <= nKernel; ++dy) {
        const int y = cy + dy;
        if (y < 0 || y >= nHeight) continue;
        UINT32* pRow = pBits + (nHeight - y - 1) * nWidth;
        const UINT32* pKernelRow = pKernel + (dy + nKernel) * nSide + nKernel;
        for (int dx = -nKernel; dx <= nKernel; ++dx) {
            const int x = cx + dx;
            if (x < 0 || x >= nWidth) continue;
            if (pKernelRow[dx] > pRow[x]) pRow[x] = pKernelRow[dx];
        }
    }
}

}  // namespace

// ---- Construction, class -----------------------------------------------

bool CShadowUI::s_bHasInit = false;
HINSTANCE CShadowUI::s_hInstance = nullptr;

CShadowUI::CShadowUI()
    : m_pManager(nullptr), m_hWnd(nullptr), m_OriParentProc(nullptr), m_Status(0), m_bIsImageMode(false),
      m_bIsShowShadow(false), m_bIsDisableShadow(false), m_nDarkness(150), m_nSharpness(5), m_nSize(0),
      m_nxOffset(0), m_nyOffset(0), m_WndSize(0), m_bUpdate(false), m_Color(RGB(0, 0, 0)), m_hOwner(nullptr)
{
    ::SetRectEmpty(&m_rcShadowCorner);
}

CShadowUI::~CShadowUI()
{
    if (m_hOwner != nullptr) {
        ShadowMap& map = GetShadowMap();
        ShadowMap::iterator it = map.find(m_hOwner);
        if (it != map.end() && it->second.pShadow == this) {
            const bool bOwnerAlive = ::IsWindow(m_hOwner) != FALSE;
            if (bOwnerAlive &&
                reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hOwner, GWLP_WNDPROC)) ==
                    &CShadowUI::ParentProc) {
                ::SetWindowLongPtrW(m_hOwner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OriParentProc));
                map.erase(it);
            } else if (bOwnerAlive) {
                it->second.pShadow = nullptr;
            } else {
                map.erase(it);
            }
        }
    }
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

bool CShadowUI::Initialize(HINSTANCE hInstance)
{
    if (s_bHasInit) return false;

    WNDCLASSEXW wcex = {};
    wcex.cbSize = sizeof(wcex);
    wcex.style = CS_HREDRAW | CS_VREDRAW;
    wcex.lpfnWndProc = ::DefWindowProcW;
    wcex.cbClsExtra = 0;
    wcex.cbWndExtra = 0;
    wcex.hInstance = hInstance;
    wcex.hIcon = nullptr;
    wcex.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wcex.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wcex.lpszMenuName = nullptr;
    wcex.lpszClassName = kShadowClassName;
    ::RegisterClassExW(&wcex);

    s_hInstance = hInstance;
    s_bHasInit = true;
    return true;
}

// ---- Creation and owner ------------------------------------------------

void CShadowUI::Create(CPaintManagerUI* pPaintManager)
{
    if (!m_bIsShowShadow) return;
    if (pPaintManager == nullptr || !s_bHasInit || m_hWnd != nullptr) return;
    HWND hParent = pPaintManager->GetPaintWindow();
    if (!::IsWindow(hParent)) return;

    // One shadow per owner: a second subclassing would make the owner's
    // procedure call itself.
    ShadowMap& map = GetShadowMap();
    if (map.find(hParent) != map.end()) return;

    m_pManager = pPaintManager;
    const LONG_PTR lParentStyle = ::GetWindowLongPtrW(hParent, GWL_STYLE);
    m_hWnd =
        ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClassName, nullptr,
                          (static_cast<DWORD>(lParentStyle) & WS_CAPTION) | WS_POPUP | WS_BORDER | WS_SYSMENU,
                          CW_USEDEFAULT, 0, 0, 0, hParent, nullptr, s_hInstance, nullptr);
    if (m_hWnd == nullptr) return;

    TShadowEntry entry = {this, nullptr};
    map[hParent] = entry;
    m_hOwner = hParent;

    ApplyOwnerState(hParent);

    m_OriParentProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hParent, GWLP_WNDPROC));
    map[hParent].pfnPrevious = m_OriParentProc;
    ::SetWindowLongPtrW(hParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CShadowUI::ParentProc));
}

void CShadowUI::ApplyOwnerState(HWND hParent)
{
    const LONG_PTR lParentStyle = ::GetWindowLongPtrW(hParent, GWL_STYLE);
    if (!(lParentStyle & WS_VISIBLE)) {
        m_Status = StatusEnabled;
    } else if (lParentStyle & (WS_MAXIMIZE | WS_MINIMIZE)) {
        m_Status = StatusEnabled | StatusParentVisible;
    } else {
        m_Status = StatusEnabled | StatusVisible | StatusParentVisible;
        Show();
        Update(hParent);
    }
}

void CShadowUI::Show()
{
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
}

void CShadowUI::Hide()
{
    ::ShowWindow(m_hWnd, SW_HIDE);
}

int CShadowUI::Scaled(int value) const
{
    return m_pManager != nullptr ? m_pManager->GetDPIObj()->Scale(value) : value;
}

void CShadowUI::MoveToOwner(HWND hParent)
{
    RECT rcParent;
    if (!::GetWindowRect(hParent, &rcParent)) return;
    int x = rcParent.left - Scaled(m_nSize);
    int y = rcParent.top - Scaled(m_nSize);
    if (!m_bIsImageMode) {
        x += Scaled(m_nxOffset);
        y += Scaled(m_nyOffset);
    }
    ::SetWindowPos(m_hWnd, hParent, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

// The owner's procedure while a shadow follows it. Every message goes on to
// the previous procedure afterwards; the shadow only watches:
//   WM_ACTIVATEAPP, WM_NCACTIVATE  keep the shadow directly behind the owner
//   WM_WINDOWPOSCHANGED, WM_MOVE   move it along (WM_MOVE only while shown)
//   WM_SIZE                        hide on maximise/minimise; otherwise show,
//                                  rebuild a shrunk owner now and a grown one
//                                  at its next WM_PAINT
//   WM_SHOWWINDOW                  follow the owner's visibility
//   WM_EXITSIZEMOVE                rebuild at the end of a move/size loop
//   WM_DESTROY, WM_NCDESTROY       destroy the shadow window, forget the owner
// The last two are handled even while the shadow is disabled.
LRESULT CALLBACK CShadowUI::ParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    ShadowMap& map = GetShadowMap();
    ShadowMap::iterator it = map.find(hwnd);
    if (it == map.end()) return ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
    CShadowUI* pThis = it->second.pShadow;
    const WNDPROC pfnPrevious = it->second.pfnPrevious;
    if (pfnPrevious == nullptr) return ::DefWindowProcW(hwnd, uMsg, wParam, lParam);

    if (uMsg == WM_NCDESTROY) {
        map.erase(it);
        if (pThis != nullptr) pThis->m_hOwner = nullptr;
        return ::CallWindowProcW(pfnPrevious, hwnd, uMsg, wParam, lParam);
    }
    if (pThis == nullptr) return ::CallWindowProcW(pfnPrevious, hwnd, uMsg, wParam, lParam);
    if (uMsg == WM_DESTROY) {
        if (pThis->m_hWnd != nullptr) ::DestroyWindow(pThis->m_hWnd);
        pThis->m_hWnd = nullptr;
        pThis->m_Status = 0;
        return ::CallWindowProcW(pfnPrevious, hwnd, uMsg, wParam, lParam);
    }
    if (pThis->m_bIsDisableShadow) return ::CallWindowProcW(pfnPrevious, hwnd, uMsg, wParam, lParam);

    switch (uMsg) {
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        ::SetWindowPos(pThis->m_hWnd, hwnd, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        break;
    case WM_WINDOWPOSCHANGED:
        pThis->MoveToOwner(hwnd);
        break;
    case WM_MOVE:
        if (pThis->m_Status & StatusVisible) pThis->MoveToOwner(hwnd);
        break;
    case WM_SIZE:
        if (pThis->m_Status & StatusEnabled) {
            if (wParam == SIZE_MAXIMIZED || wParam == SIZE_MINIMIZED) {
                pThis->Hide();
                pThis->m_Status &= ~StatusVisible;
            } else if (pThis->m_Status & StatusParentVisible) {
                // Shown first: Update draws only for a visible shadow, and a
                // restored owner needs its shadow rebuilt.
                if (!(pThis->m_Status & StatusVisible)) {
                    pThis->Show();
                    pThis->m_Status |= StatusVisible;
                }
                if (LOWORD(lParam) > LOWORD(pThis->m_WndSize) || HIWORD(lParam) > HIWORD(pThis->m_WndSize)) {
                    pThis->m_bUpdate = true;
                } else {
                    pThis->Update(hwnd);
                }
            }
            pThis->m_WndSize = lParam;
        }
        break;
    case WM_PAINT:
        if (pThis->m_bUpdate) {
            pThis->Update(hwnd);
            pThis->m_bUpdate = false;
        }
        break;
    case WM_SHOWWINDOW:
        if (pThis->m_Status & StatusEnabled) {
            if (wParam) {
                if (!(pThis->m_Status & StatusParentVisible)) {
                    pThis->m_bUpdate = true;
                    pThis->Show();
                    pThis->m_Status |= StatusVisible | StatusParentVisible;
                }
            } else {
                pThis->Hide();
                pThis->m_Status &= ~(StatusVisible | StatusParentVisible);
            }
        }
        break;
    case WM_EXITSIZEMOVE:
        if (pThis->m_Status & StatusVisible) pThis->Update(hwnd);
        break;
    default:
        break;
    }
    return ::CallWindowProcW(pfnPrevious, hwnd, uMsg, wParam, lParam);
}

// ---- Settings ----------------------------------------------------------

void CShadowUI::ShowShadow(bool bShow)
{
    m_bIsShowShadow = bShow;
}

bool CShadowUI::IsShowShadow() const
{
    return m_bIsShowShadow;
}

void CShadowUI::DisableShadow(bool bDisable)
{
    m_bIsDisableShadow = bDisable;
    if (m_hWnd == nullptr) return;
    if (bDisable) {
        Hide();
    } else {
        ApplyOwnerState(::GetParent(m_hWnd));
    }
}

bool CShadowUI::IsDisableShadow() const
{
    return m_bIsDisableShadow;
}

void CShadowUI::UpdateIfShown()
{
    if (m_hWnd != nullptr && (m_Status & StatusVisible)) Update(::GetParent(m_hWnd));
}

bool CShadowUI::SetSize(int NewSize)
{
    if (NewSize > 35 || NewSize < -35) return false;
    m_nSize = static_cast<signed char>(NewSize);
    UpdateIfShown();
    return true;
}

bool CShadowUI::SetSharpness(unsigned int NewSharpness)
{
    if (NewSharpness > 35) return false;
    m_nSharpness = static_cast<unsigned char>(NewSharpness);
    UpdateIfShown();
    return true;
}

bool CShadowUI::SetDarkness(unsigned int NewDarkness)
{
    if (NewDarkness > 255) return false;
    m_nDarkness = static_cast<unsigned char>(NewDarkness);
    UpdateIfShown();
    return true;
}

bool CShadowUI::SetPosition(int NewXOffset, int NewYOffset)
{
    if (NewXOffset > 35 || NewXOffset < -35 || NewYOffset > 35 || NewYOffset < -35) return false;
    m_nxOffset = static_cast<signed char>(NewXOffset);
    m_nyOffset = static_cast<signed char>(NewYOffset);
    UpdateIfShown();
    return true;
}

bool CShadowUI::SetColor(COLORREF NewColor)
{
    m_Color = NewColor;
    UpdateIfShown();
    return true;
}

bool CShadowUI::SetImage(LPCTSTR szImage)
{
    if (szImage == nullptr) return false;
    m_bIsImageMode = true;
    m_sShadowImage = szImage;
    UpdateIfShown();
    return true;
}

bool CShadowUI::SetShadowCorner(RECT rcCorner)
{
    if (rcCorner.left < 0 || rcCorner.top < 0 || rcCorner.right < 0 || rcCorner.bottom < 0) {
        return false;
    }
    m_rcShadowCorner = rcCorner;
    UpdateIfShown();
    return true;
}

bool CShadowUI::CopyShadow(CShadowUI* pShadow)
{
    if (pShadow == nullptr) return false;
    if (m_bIsImageMode) {
        pShadow->SetImage(m_sShadowImage);
        pShadow->SetShadowCorner(m_rcShadowCorner);
    } else {
        pShadow->SetSize(m_nSize);
        pShadow->SetSharpness(m_nSharpness);
        pShadow->SetDarkness(m_nDarkness);
        pShadow->SetColor(m_Color);
        pShadow->SetPosition(m_nxOffset, m_nyOffset);
    }
    pShadow->ShowShadow(m_bIsShowShadow);
    return true;
}

// ---- Bitmap ------------------------------------------------------------

DWORD CShadowUI::PreMultiply(COLORREF cl, unsigned char nAlpha)
{
    const DWORD a = nAlpha;
    const DWORD b0 = (cl & 0xFF) * a / 255;
    const DWORD b1 = ((cl >> 8) & 0xFF) * a / 255;
    const DWORD b2 = ((cl >> 16) & 0xFF) * a / 255;
    return b2 << 16 | b1 << 8 | b0;
}

void CShadowUI::Update(HWND hParent)
{
    if (!m_bIsShowShadow || !(m_Status & StatusVisible)) return;
    RECT rcParent;
    if (!::GetWindowRect(hParent, &rcParent)) return;
    if (m_bIsImageMode ? m_sShadowImage.IsEmpty() : m_nSize == 0) return;

    const int nShadWndWid = rcParent.right - rcParent.left + Scaled(m_nSize) * 2;
    const int nShadWndHei = rcParent.bottom - rcParent.top + Scaled(m_nSize) * 2;
    if (nShadWndWid <= 0 || nShadWndHei <= 0) return;

    CMemoryDib dib(nullptr, nShadWndWid, nShadWndHei, false);  // rows stored bottom-up
    if (!dib.IsValid()) return;

    bool bDrawn = false;
    if (m_bIsImageMode) {
        bDrawn = DrawShadowImage(dib.GetDC(), nShadWndWid, nShadWndHei);
    } else {
        ::ZeroMemory(dib.GetBits(), static_cast<size_t>(nShadWndWid) * nShadWndHei * 4);
        MakeShadow(reinterpret_cast<UINT32*>(dib.GetBits()), hParent, rcParent);
        bDrawn = true;
    }
    if (bDrawn) Present(dib.GetDC(), rcParent, nShadWndWid, nShadWndHei);
}

bool CShadowUI::DrawShadowImage(HDC hMemDC, int nWidth, int nHeight)
{
    if (m_pManager == nullptr || hMemDC == nullptr || nWidth <= 0 || nHeight <= 0) return false;
    const TImageInfo* pImage = m_pManager->GetImageEx(m_sShadowImage, nullptr, 0);
    if (pImage == nullptr || pImage->hBitmap == nullptr) return false;
    const RECT rcDest = {0, 0, nWidth, nHeight};
    const RECT rcBmpPart = {0, 0, pImage->nX, pImage->nY};
    CRenderEngine::DrawImage(hMemDC, pImage->hBitmap, rcDest, rcDest, rcBmpPart, m_rcShadowCorner,
                             pImage->bAlpha, 255, true, false, false);
    return true;
}

void CShadowUI::Present(HDC hMemDC, const RECT& rcParent, int nWidth, int nHeight)
{
    POINT ptDst = {rcParent.left - Scaled(m_nSize), rcParent.top - Scaled(m_nSize)};
    if (!m_bIsImageMode) {
        ptDst.x += Scaled(m_nxOffset);
        ptDst.y += Scaled(m_nyOffset);
    }
    POINT ptSrc = {0, 0};
    SIZE szWnd = {nWidth, nHeight};
    BLENDFUNCTION blendPixelFunction = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::MoveWindow(m_hWnd, ptDst.x, ptDst.y, nWidth, nHeight, FALSE);
    ::UpdateLayeredWindow(m_hWnd, nullptr, &ptDst, &szWnd, hMemDC, &ptSrc, 0, &blendPixelFunction, ULW_ALPHA);
    ++m_nPresents;
}

// ---- The outline's steps (see MakeShadow) ------------------------------

namespace {

// The sizes every step shares: the owner's nWidth x nHeight rectangle, the
// shadow's size s (nSize) and sharpness p (nSharp), the shadow bitmap's
// nShadWndWid x nShadWndHei and the kernel's radius K and full core C.
struct TOutlineGeometry
{
    int nWidth;
    int nHeight;
    int nSize;
    int nSharp;
    int nShadWndWid;
    int nShadWndHei;
    int nTable;
    int nKernel;
    int nCenter;
};

// 1. Per owner row, the span of the window region on it.
void ScanRegion(HRGN hRgn, TOutlineGeometry g, TSpan* pRows)
{
    const TSpan empty = {g.nWidth, 0};
    for (int y = 0; y < g.nHeight; ++y) {
        TSpan row = empty;
        for (int x = 0; x < g.nWidth; ++x) {
            if (::PtInRegion(hRgn, x, y)) {
                row.start = x;
                break;
            }
        }
        if (row.start < g.nWidth) {
            for (int x = g.nWidth - 1; x >= row.start; --x) {
                if (::PtInRegion(hRgn, x, y)) {
                    row.end = x + 1;
                    break;
                }
            }
        }
        pRows[y] = row;
    }
}

// 2. The working table: owner row y at entry y + 1 + Max(s, 0), shifted by s.
void FillWorkTable(const TSpan* pRows, TOutlineGeometry g, TSpan* pWork)
{
    const TSpan empty = {g.nWidth, 0};
    for (int i = 0; i < g.nTable; ++i) pWork[i] = empty;
    const int nFirstRow = 1 + Max(g.nSize, 0);
    for (int y = 0; y < g.nHeight; ++y) {
        if (pRows[y].start < pRows[y].end) {
            pWork[y + nFirstRow].start = pRows[y].start + g.nSize;
            pWork[y + nFirstRow].end = pRows[y].end + g.nSize;
        }
    }
}

// 3. Erosion, p - s times; the result is in pWork (pSwap is scratch).
void Erode(TSpan*& pWork, TSpan*& pSwap, TOutlineGeometry g)
{
    const int nTable = g.nTable;
    for (int n = g.nSize; n < g.nSharp; ++n) {
        pSwap[0] = pWork[0];
        pSwap[nTable - 1] = pWork[nTable - 1];
        for (int i = 1; i < nTable - 1; ++i) {
            pSwap[i].start = 1 + Max3(pWork[i - 1].start, pWork[i].start, pWork[i + 1].start);
            pSwap[i].end = Min3(pWork[i - 1].end, pWork[i].end, pWork[i + 1].end) - 1;
        }
        TSpan* pTemp = pWork;
        pWork = pSwap;
        pSwap = pTemp;
    }
}

// 4. The radial kernel: cCenter inside C, fading linearly over p + 1 pixels
// beyond, nothing past K.
void MakeKernel(UINT32* pKernel, TOutlineGeometry g, int nDark, COLORREF color, UINT32 cCenter)
{
    const int nKernel = g.nKernel;
    const int nSide = 2 * nKernel + 1;
    for (int dy = -nKernel; dy <= nKernel; ++dy) {
        for (int dx = -nKernel; dx <= nKernel; ++dx) {
            const double r = sqrt(static_cast<double>(dx * dx + dy * dy));
            UINT32 value = 0;
            if (r < g.nCenter) {
                value = cCenter;
            } else if (r <= nKernel) {
                // The small addend keeps whole distances (r = 2 gives
                // exactly 100 of 150 at sharpness 5) from truncating one
                // lower through rounding, e.g. in x87 registers; other
                // distances lie at least 5e-7 away from a whole value.
                const double falloff = (1.0 - (r - g.nCenter) / (g.nSharp + 1)) * nDark;
                const int f = static_cast<int>(falloff + 1e-9);
                value = static_cast<UINT32>(f) << 24 |
                    CShadowUI::PreMultiply(color, static_cast<unsigned char>(f));
            }
            pKernel[(dy + nKernel) * nSide + dx + nKernel] = value;
        }
    }
}

// 5. Dilation: the kernel stamped along the left and right ends of every
// span of pLine (shadow line i) and along whole spans where the shape's top
// or bottom edge runs.
void Dilate(UINT32* pShadBits, const TSpan* pLine, const UINT32* pKernel, TOutlineGeometry g)
{
    const int nKernel = g.nKernel;
    for (int i = nKernel; i < g.nShadWndHei - nKernel; ++i) {
        const int a = pLine[i].start;
        const int b = pLine[i].end;
        if (a >= b) continue;
        int j = a;
        const int nLeftEnd = Min(Max(pLine[i - 1].start, pLine[i + 1].start) + 1, b);
        for (; j < nLeftEnd; ++j)
            StampKernel(pShadBits, g.nShadWndWid, g.nShadWndHei, pKernel, nKernel, j, i);
        for (j = Max(j, Min(pLine[i - 1].end, pLine[i + 1].end) - 1); j < b; ++j) {
            StampKernel(pShadBits, g.nShadWndWid, g.nShadWndHei, pKernel, nKernel, j, i);
        }
    }
}

// 6. The inside filled with cCenter and the part under the owner (moved by
// the offsets) cut out.
void FillAndCutOut(UINT32* pShadBits, const TSpan* pLine, const TSpan* pRows, TOutlineGeometry g, int nOffX,
                   int nOffY, UINT32 cCenter)
{
    const int nSize = g.nSize;
    const int nShadWndHei = g.nShadWndHei;
    const int iBegin = Max(Min(g.nKernel, Max(nSize - nOffY, 0)), 0);
    const int iEnd =
        Min(Max(nShadWndHei - g.nKernel, Min(g.nHeight + nSize - nOffY, nShadWndHei)), nShadWndHei);
    for (int i = iBegin; i < iEnd; ++i) {
        const int a = pLine[i].start;
        const int b = pLine[i].end;
        UINT32* pRow = pShadBits + (nShadWndHei - i - 1) * g.nShadWndWid;
        const int y = i - nSize + nOffY;
        if (y < 0 || y >= g.nHeight) {
            FillRow(pRow, g.nShadWndWid, a, b, cCenter);
        } else {
            const int nCutStart = pRows[y].start + nSize - nOffX;
            const int nCutEnd = pRows[y].end + nSize - nOffX;
            FillRow(pRow, g.nShadWndWid, a, Min(nCutStart, b), cCenter);
            FillRow(pRow, g.nShadWndWid, nCutStart, nCutEnd, 0);
            FillRow(pRow, g.nShadWndWid, Max(nCutEnd, a), b, cCenter);
        }
    }
}

}  // namespace

// The outline, step by step (s size, p sharpness, d darkness):
//   1. per owner row, the span of the window region on it;
//   2. those spans shifted by s into a working table with empty margins;
//   3. eroded p - s times, so that the blur below ends where the sharp
//      outline of the grown window would;
//   4. a radial kernel of radius K = Max(s, p): full darkness inside C = s - p,
//      fading linearly over p + 1 pixels beyond;
//   5. the kernel stamped along the left and right ends of every span and
//      along whole spans where the shape's top or bottom edge runs;
//   6. the inside filled with full darkness and the part under the owner cut
//      out, so that a translucent owner never shows its own shadow.
void CShadowUI::MakeShadow(UINT32* pShadBits, HWND hParent, const RECT& rcParent)
{
    if (pShadBits == nullptr) return;
    TOutlineGeometry g;
    g.nWidth = rcParent.right - rcParent.left;
    g.nHeight = rcParent.bottom - rcParent.top;
    g.nSize = Scaled(m_nSize);
    g.nSharp = Scaled(m_nSharpness);
    g.nShadWndWid = g.nWidth + g.nSize * 2;
    g.nShadWndHei = g.nHeight + g.nSize * 2;
    if (g.nWidth <= 0 || g.nHeight <= 0 || g.nShadWndWid <= 0 || g.nShadWndHei <= 0) return;
    g.nTable = Max(g.nHeight, g.nShadWndHei) + 2;
    g.nKernel = Max(g.nSize, g.nSharp);
    g.nCenter = g.nSize > g.nSharp ? g.nSize - g.nSharp : 0;
    const int nDark = m_nDarkness;

    HRGN hParentRgn = ::CreateRectRgn(0, 0, 0, 0);
    if (hParentRgn == nullptr) return;
    if (::GetWindowRgn(hParent, hParentRgn) == ERROR) {
        ::SetRectRgn(hParentRgn, 0, 0, g.nWidth, g.nHeight);
    }

    const int nSide = 2 * g.nKernel + 1;
    TSpan* pRows = static_cast<TSpan*>(malloc(sizeof(TSpan) * g.nHeight));
    TSpan* pWork = static_cast<TSpan*>(malloc(sizeof(TSpan) * g.nTable));
    TSpan* pSwap = static_cast<TSpan*>(malloc(sizeof(TSpan) * g.nTable));
    UINT32* pKernel = static_cast<UINT32*>(malloc(sizeof(UINT32) * nSide * nSide));
    if (pRows != nullptr && pWork != nullptr && pSwap != nullptr && pKernel != nullptr) {
        ScanRegion(hParentRgn, g, pRows);
        FillWorkTable(pRows, g, pWork);
        Erode(pWork, pSwap, g);
        const UINT32 cCenter =
            static_cast<UINT32>(nDark) << 24 | PreMultiply(m_Color, static_cast<unsigned char>(nDark));
        MakeKernel(pKernel, g, nDark, m_Color, cCenter);
        // Shadow line i is working entry i + 1 + Max(-s, 0).
        const TSpan* pLine = pWork + 1 + Max(-g.nSize, 0);
        Dilate(pShadBits, pLine, pKernel, g);
        FillAndCutOut(pShadBits, pLine, pRows, g, Scaled(m_nxOffset), Scaled(m_nyOffset), cCenter);
    }

    free(pRows);
    free(pWork);
    free(pSwap);
    free(pKernel);
    ::DeleteObject(hParentRgn);
}

}  // namespace SkinUI
