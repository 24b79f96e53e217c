// Painting of CPaintManagerUI:
//   OnPaint            the WM_PAINT pass: layout, "windowinit", off-screen
//                      paint, alpha repair, present
//   OnPrintClient      WM_PRINTCLIENT
//   invalidation, layered mode and opacity, post-paint controls, painted
//   child windows, the caret
#include "skinui/core/PaintManager.h"

#include "skinui/control/Control.h"
#include "skinui/render/DibPixels.h"
#include "skinui/render/RenderEngine.h"

#include <string.h>

namespace SkinUI {
namespace {

typedef BOOL(WINAPI* UpdateLayeredWindowProc)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                              DWORD);
typedef BOOL(WINAPI* UpdateLayeredWindowIndirectProc)(HWND, const UPDATELAYEREDWINDOWINFO*);
typedef BOOL(WINAPI* SetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);

UpdateLayeredWindowProc g_fUpdateLayeredWindow = nullptr;
// Windows Vista and later: the same present with a dirty rectangle, so that
// the system copies only what was painted. Null where it is missing.
UpdateLayeredWindowIndirectProc g_fUpdateLayeredWindowIndirect = nullptr;

CControlUI* CollectUpdateNeeded(CControlUI* pThis, LPVOID pData)
{
    if (pThis->IsUpdateNeeded()) static_cast<CStdPtrArray*>(pData)->Add(pThis);
    return nullptr;
}

// Pixels of a 32-bit DIB; rows of a bottom-up bitmap are stored last row
// first, so window row y is memory row height - 1 - y.
DWORD* PixelRow(BYTE* pBits, int width, int height, int y)
{
    return reinterpret_cast<DWORD*>(pBits) + static_cast<size_t>(height - 1 - y) * width;
}

// The update region's bounding rectangle in client coordinates; false when
// nothing waits to be painted. GetUpdateRect gives the same on a window
// whose DC has no mapping, but it takes and releases a DC of the window for
// that mapping each time, which under Wine costs as much as a small repaint.
bool GetUpdateBox(HWND hWnd, RECT& rc)
{
    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    if (hRgn == nullptr) return ::GetUpdateRect(hWnd, &rc, FALSE) != FALSE;
    const int nType = ::GetUpdateRgn(hWnd, hRgn, FALSE);
    const bool bAny = nType != ERROR && nType != NULLREGION && ::GetRgnBox(hRgn, &rc) != NULLREGION;
    ::DeleteObject(hRgn);
    return bAny;
}

void ClampToClient(RECT& rc, int width, int height)
{
    if (rc.left < 0) rc.left = 0;
    if (rc.top < 0) rc.top = 0;
    if (rc.right > width) rc.right = width;
    if (rc.bottom > height) rc.bottom = height;
}

}  // namespace

// ---- The WM_PAINT pass ---------------------------------------------------

// Layout, then paint into the off-screen bitmap, then present it.
bool CPaintManagerUI::OnPaint()
{
    RECT rcPaint = {};
    if (!GetUpdateBox(m_hWndPaint, rcPaint)) return true;
    if (m_pRoot == nullptr) {
        PAINTSTRUCT ps = {};
        ::BeginPaint(m_hWndPaint, &ps);
        ::EndPaint(m_hWndPaint, &ps);
        return true;
    }

    RECT rcClient = {};
    ::GetClientRect(m_hWndPaint, &rcClient);
    const int width = rcClient.right - rcClient.left;
    const int height = rcClient.bottom - rcClient.top;
    m_bIsPainting = true;
    const bool bNeedSizeMsg = LayOutForPaint(rcClient);
    if (m_bFocusNeeded) SetNextTabControl(true);
    if (m_bLayered) PrepareLayeredPaint(rcPaint, width, height);
    if (m_hbmpOffscreen == nullptr) {
        m_hDcOffscreen = ::CreateCompatibleDC(m_hDcPaint);
        m_hbmpOffscreen = CRenderEngine::CreateARGB32Bitmap(m_hDcPaint, width, height, &m_pOffscreenBits);
        m_szOffscreen.cx = width;
        m_szOffscreen.cy = height;
    }

    // A layered window shows only what UpdateLayeredWindow hands over, and
    // this pass never draws on the DC BeginPaint would give: where the
    // client area is the whole window (no frame that could wait for its
    // WM_NCPAINT), validating the window itself, not its children, is all
    // BeginPaint and EndPaint would do, at a fraction of their cost.
    RECT rcWnd = {};
    ::GetWindowRect(m_hWndPaint, &rcWnd);
    PAINTSTRUCT ps = {};
    const bool bBeginPaint =
        !m_bLayered || rcWnd.right - rcWnd.left != width || rcWnd.bottom - rcWnd.top != height;
    if (bBeginPaint)
        ::BeginPaint(m_hWndPaint, &ps);
    else
        ::RedrawWindow(m_hWndPaint, nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
    if (m_hDcOffscreen != nullptr && m_hbmpOffscreen != nullptr && m_pOffscreenBits != nullptr) {
        HBITMAP hOldBitmap = static_cast<HBITMAP>(::SelectObject(m_hDcOffscreen, m_hbmpOffscreen));
        // The bitmap keeps the size of the last full layout; never touch
        // pixels outside it.
        RECT rcBits = rcPaint;
        ClampToClient(rcBits, m_szOffscreen.cx, m_szOffscreen.cy);
        PaintOffscreen(rcPaint, rcBits);
        PresentOffscreen(rcWnd, rcPaint, rcBits, width, height);
        ::SelectObject(m_hDcOffscreen, hOldBitmap);
        if (m_bShowUpdateRect) CRenderEngine::DrawRect(m_hDcPaint, rcPaint, 1, 0xFFFF0000);
    }
    if (bBeginPaint) ::EndPaint(m_hWndPaint, &ps);

    if (m_bUpdateNeeded) Invalidate();
    if (m_bDropTargetPending) PostFlush();
    m_bIsPainting = false;
    if (bNeedSizeMsg) SendNotify(m_pRoot, L"windowsize", 0, 0, true);
    return true;
}

bool CPaintManagerUI::LayOutForPaint(const RECT& rcClient)
{
    if (!m_bUpdateNeeded) return false;
    m_bUpdateNeeded = false;
    if (::IsRectEmpty(&rcClient) || ::IsIconic(m_hWndPaint)) return false;
    bool bNeedSizeMsg = false;
    if (m_pRoot->IsUpdateNeeded()) {
        ReleaseOffscreen();
        m_pRoot->SetPos(rcClient, true);
        bNeedSizeMsg = true;
    } else {
        LayOutUpdatedControls();
    }
    if (m_bFirstLayout) {
        m_bFirstLayout = false;
        SendNotify(m_pRoot, L"windowinit", 0, 0, false);
        m_shadow.Update(m_hWndPaint);
    }
    return bNeedSizeMsg;
}

void CPaintManagerUI::LayOutUpdatedControls()
{
    m_aFoundControls.Empty();
    m_pRoot->FindControl(CollectUpdateNeeded, &m_aFoundControls,
                         FIND_VISIBLE | FIND_MEFIRST | FIND_UPDATETEST);
    // Parents come before their children in the list, and a parent's SetPos
    // places its children: a child placed that way is skipped. A float
    // control is placed by its parent from its own offset and size, so its
    // parent is laid out again; its relative rectangle taken as a window
    // rectangle would put it at the window's origin.
    for (int i = 0; i < m_aFoundControls.GetSize(); ++i) {
        CControlUI* pControl = static_cast<CControlUI*>(m_aFoundControls[i]);
        if (!pControl->IsUpdateNeeded()) continue;
        CControlUI* pParent = pControl->GetParent();
        if (pControl->IsFloat() && pParent != nullptr)
            pParent->SetPos(pParent->GetPos(), true);
        else
            pControl->SetPos(pControl->GetPos(), true);
    }
}

void CPaintManagerUI::PrepareLayeredPaint(RECT& rcPaint, int width, int height)
{
    const DWORD dwExStyle = static_cast<DWORD>(::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE));
    if ((dwExStyle & WS_EX_LAYERED) == 0)
        ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, static_cast<LONG>(dwExStyle | WS_EX_LAYERED));
    ::UnionRect(&rcPaint, &rcPaint, &m_rcLayeredUpdate);
    if (rcPaint.right > width) rcPaint.right = width;
    if (rcPaint.bottom > height) rcPaint.bottom = height;
    ::SetRectEmpty(&m_rcLayeredUpdate);
}

void CPaintManagerUI::PaintOffscreen(const RECT& rcPaint, const RECT& rcBits)
{
    const int iSaveDC = ::SaveDC(m_hDcOffscreen);
    if (m_bLayered) ClearPixels(rcBits);
    m_pRoot->DoPaint(m_hDcOffscreen, rcPaint);
    DrawCaret(m_hDcOffscreen, rcPaint);
    for (int i = 0; i < m_aPostPaintControls.GetSize(); ++i) {
        static_cast<CControlUI*>(m_aPostPaintControls[i])->DoPostPaint(m_hDcOffscreen, rcPaint);
    }
    DrawFocusCue(m_hDcOffscreen, rcPaint);
    if (m_bLayered) {
        RepairAlpha(rcBits);
        PaintChildWindows(rcPaint);
    }
    ::RestoreDC(m_hDcOffscreen, iSaveDC);
}

void CPaintManagerUI::PresentOffscreen(const RECT& rcWnd, const RECT& rcPaint, const RECT& rcBits, int width,
                                       int height)
{
    if (!m_bLayered || g_fUpdateLayeredWindow == nullptr) {
        ::BitBlt(m_hDcPaint, rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left,
                 rcPaint.bottom - rcPaint.top, m_hDcOffscreen, rcPaint.left, rcPaint.top, SRCCOPY);
        return;
    }
    POINT ptPos = {rcWnd.left, rcWnd.top};
    SIZE sizeWnd = {width, height};
    POINT ptSrc = {0, 0};
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, m_nOpacity, AC_SRC_ALPHA};
    // The whole bitmap is handed over; only the painted rectangle differs
    // from what the window already shows.
    if (g_fUpdateLayeredWindowIndirect != nullptr) {
        UPDATELAYEREDWINDOWINFO info = {};
        info.cbSize = sizeof(info);
        info.hdcDst = m_hDcPaint;
        info.pptDst = &ptPos;
        info.psize = &sizeWnd;
        info.hdcSrc = m_hDcOffscreen;
        info.pptSrc = &ptSrc;
        info.crKey = 0;
        info.pblend = &bf;
        info.dwFlags = ULW_ALPHA;
        info.prcDirty = &rcBits;
        if (g_fUpdateLayeredWindowIndirect(m_hWndPaint, &info) != FALSE) return;
    }
    g_fUpdateLayeredWindow(m_hWndPaint, m_hDcPaint, &ptPos, &sizeWnd, m_hDcOffscreen, &ptSrc, 0, &bf,
                           ULW_ALPHA);
}

void CPaintManagerUI::ClearPixels(const RECT& rc)
{
    if (rc.right <= rc.left) return;
    const size_t bytes = static_cast<size_t>(rc.right - rc.left) * sizeof(DWORD);
    for (int y = rc.top; y < rc.bottom; ++y) {
        memset(PixelRow(m_pOffscreenBits, m_szOffscreen.cx, m_szOffscreen.cy, y) + rc.left, 0, bytes);
    }
}

void CPaintManagerUI::RepairAlpha(const RECT& rc)
{
    // GDI drawing (text) leaves alpha 0; such pixels become opaque, pixels
    // nobody painted stay transparent black.
    if (rc.right <= rc.left) return;
    for (int y = rc.top; y < rc.bottom; ++y) {
        DWORD* pRow = PixelRow(m_pOffscreenBits, m_szOffscreen.cx, m_szOffscreen.cy, y);
        CDibPixels::OpaqueWhereColoured(pRow + rc.left, rc.right - rc.left);
    }
}

void CPaintManagerUI::PaintChildWindows(const RECT& rcPaint)
{
    for (int i = 0; i < m_aChildWnds.GetSize();) {
        HWND hChildWnd = static_cast<HWND>(m_aChildWnds[i]);
        if (!::IsWindow(hChildWnd)) {
            m_aChildWnds.Remove(i);
            continue;
        }
        ++i;
        if (!::IsWindowVisible(hChildWnd)) continue;
        RECT rcChild = {};
        ::GetWindowRect(hChildWnd, &rcChild);
        ::ScreenToClient(m_hWndPaint, reinterpret_cast<POINT*>(&rcChild.left));
        ::ScreenToClient(m_hWndPaint, reinterpret_cast<POINT*>(&rcChild.right));
        RECT rcTemp = {};
        if (!::IntersectRect(&rcTemp, &rcPaint, &rcChild)) continue;

        const int cx = rcChild.right - rcChild.left;
        const int cy = rcChild.bottom - rcChild.top;
        HDC hChildDC = ::CreateCompatibleDC(m_hDcOffscreen);
        BYTE* pChildBits = nullptr;
        HBITMAP hChildBitmap = CRenderEngine::CreateARGB32Bitmap(m_hDcOffscreen, cx, cy, &pChildBits);
        if (hChildDC != nullptr && hChildBitmap != nullptr && pChildBits != nullptr) {
            DWORD* pPixels = reinterpret_cast<DWORD*>(pChildBits);
            const size_t count = static_cast<size_t>(cx) * cy;
            for (size_t p = 0; p < count; ++p) pPixels[p] = 0;
            HBITMAP hOld = static_cast<HBITMAP>(::SelectObject(hChildDC, hChildBitmap));
            ::SendMessageW(hChildWnd, WM_PRINT, reinterpret_cast<WPARAM>(hChildDC),
                           PRF_CHECKVISIBLE | PRF_CLIENT | PRF_CHILDREN | PRF_OWNED);
            for (size_t p = 0; p < count; ++p) {
                if (pPixels[p] != 0) pPixels[p] |= 0xFF000000;
            }
            ::BitBlt(m_hDcOffscreen, rcChild.left, rcChild.top, cx, cy, hChildDC, 0, 0, SRCCOPY);
            ::SelectObject(hChildDC, hOld);
        }
        if (hChildBitmap != nullptr) ::DeleteObject(hChildBitmap);
        if (hChildDC != nullptr) ::DeleteDC(hChildDC);
    }
}

void CPaintManagerUI::ReleaseOffscreen()
{
    if (m_hDcOffscreen != nullptr) ::DeleteDC(m_hDcOffscreen);
    if (m_hbmpOffscreen != nullptr) ::DeleteObject(m_hbmpOffscreen);
    m_hDcOffscreen = nullptr;
    m_hbmpOffscreen = nullptr;
    m_pOffscreenBits = nullptr;
    m_szOffscreen.cx = m_szOffscreen.cy = 0;
}

void CPaintManagerUI::OnPrintClient(HDC hDC, LPARAM lParam)
{
    if (m_pRoot == nullptr || hDC == nullptr) return;
    RECT rcClient = {};
    ::GetClientRect(m_hWndPaint, &rcClient);
    const int iSaveDC = ::SaveDC(hDC);
    m_pRoot->DoPaint(hDC, rcClient);
    if ((lParam & PRF_CHILDREN) != 0) {
        HWND hWndChild = ::GetWindow(m_hWndPaint, GW_CHILD);
        while (hWndChild != nullptr) {
            RECT rcPos = {};
            ::GetWindowRect(hWndChild, &rcPos);
            ::MapWindowPoints(HWND_DESKTOP, m_hWndPaint, reinterpret_cast<LPPOINT>(&rcPos), 2);
            ::SetWindowOrgEx(hDC, -rcPos.left, -rcPos.top, nullptr);
            ::SendMessageW(hWndChild, WM_PRINT, reinterpret_cast<WPARAM>(hDC), lParam | PRF_NONCLIENT);
            hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT);
        }
    }
    ::RestoreDC(hDC, iSaveDC);
}

// ---- Invalidation ----------------------------------------------------------

// Without a paint window there is nothing to invalidate: InvalidateRect of a
// null window would repaint every window of the desktop.
void CPaintManagerUI::Invalidate()
{
    if (m_hWndPaint == nullptr) return;
    RECT rcClient = {};
    ::GetClientRect(m_hWndPaint, &rcClient);
    ::UnionRect(&m_rcLayeredUpdate, &m_rcLayeredUpdate, &rcClient);
    ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void CPaintManagerUI::Invalidate(RECT& rcItem)
{
    if (rcItem.left < 0) rcItem.left = 0;
    if (rcItem.top < 0) rcItem.top = 0;
    if (rcItem.right < rcItem.left) rcItem.right = rcItem.left;
    if (rcItem.bottom < rcItem.top) rcItem.bottom = rcItem.top;
    if (m_hWndPaint == nullptr) return;
    // An empty rectangle invalidates nothing; controls being built, before
    // any layout, ask for it on every attribute, and each InvalidateRect is a
    // trip to the window system.
    if (::IsRectEmpty(&rcItem)) return;
    ::UnionRect(&m_rcLayeredUpdate, &m_rcLayeredUpdate, &rcItem);
    ::InvalidateRect(m_hWndPaint, &rcItem, FALSE);
}

void CPaintManagerUI::NeedUpdate()
{
    m_bUpdateNeeded = true;
}

bool CPaintManagerUI::IsUpdateNeeded() const
{
    return m_bUpdateNeeded;
}

void CPaintManagerUI::SetPainting(bool bIsPainting)
{
    m_bIsPainting = bIsPainting;
}

bool CPaintManagerUI::IsPainting() const
{
    return m_bIsPainting;
}

// ---- Layered mode and opacity -----------------------------------------------

void CPaintManagerUI::SetLayered(bool bLayered)
{
    if (m_hWndPaint == nullptr || bLayered == m_bLayered) return;
    const UINT uStyle = static_cast<UINT>(::GetWindowLongW(m_hWndPaint, GWL_STYLE));
    if ((uStyle & WS_CHILD) != 0) return;
    if (g_fUpdateLayeredWindow == nullptr) {
        HMODULE hUser32 = ::GetModuleHandleW(L"User32.dll");
        if (hUser32 != nullptr) {
            g_fUpdateLayeredWindow = reinterpret_cast<UpdateLayeredWindowProc>(
                reinterpret_cast<void*>(::GetProcAddress(hUser32, "UpdateLayeredWindow")));
            g_fUpdateLayeredWindowIndirect = reinterpret_cast<UpdateLayeredWindowIndirectProc>(
                reinterpret_cast<void*>(::GetProcAddress(hUser32, "UpdateLayeredWindowIndirect")));
        }
        if (g_fUpdateLayeredWindow == nullptr) return;
    }
    m_bLayered = bLayered;
    if (m_pRoot != nullptr) m_pRoot->NeedUpdate();
    Invalidate();
}

bool CPaintManagerUI::IsLayered() const
{
    return m_bLayered;
}

void CPaintManagerUI::SetLayeredOpacity(BYTE nOpacity)
{
    m_nOpacity = nOpacity;
    Invalidate();
}

BYTE CPaintManagerUI::GetLayeredOpacity() const
{
    return m_nOpacity;
}

void CPaintManagerUI::SetLayeredInset(RECT& rcLayeredInset)
{
    m_rcLayeredInset = rcLayeredInset;
    Invalidate();
}

RECT& CPaintManagerUI::GetLayeredInset()
{
    return m_rcLayeredInset;
}

void CPaintManagerUI::SetOpacity(BYTE nOpacity)
{
    m_nOpacity = nOpacity;
    if (m_hWndPaint == nullptr) return;
    HMODULE hUser32 = ::GetModuleHandleW(L"User32.dll");
    if (hUser32 == nullptr) return;
    SetLayeredWindowAttributesProc fSetLayeredWindowAttributes =
        reinterpret_cast<SetLayeredWindowAttributesProc>(
            reinterpret_cast<void*>(::GetProcAddress(hUser32, "SetLayeredWindowAttributes")));
    if (fSetLayeredWindowAttributes == nullptr) return;
    const DWORD dwExStyle = static_cast<DWORD>(::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE));
    if ((dwExStyle & WS_EX_LAYERED) == 0)
        ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, static_cast<LONG>(dwExStyle | WS_EX_LAYERED));
    fSetLayeredWindowAttributes(m_hWndPaint, 0, nOpacity, LWA_ALPHA);
}

BYTE CPaintManagerUI::GetOpacity() const
{
    return m_nOpacity;
}

void CPaintManagerUI::SetShowUpdateRect(bool show)
{
    m_bShowUpdateRect = show;
}

bool CPaintManagerUI::IsShowUpdateRect() const
{
    return m_bShowUpdateRect;
}

// ---- Post-paint controls and painted child windows -----------------------

bool CPaintManagerUI::AddPostPaint(CControlUI* pControl)
{
    return m_aPostPaintControls.Add(pControl);
}

bool CPaintManagerUI::RemovePostPaint(CControlUI* pControl)
{
    return m_aPostPaintControls.Remove(m_aPostPaintControls.Find(pControl));
}

bool CPaintManagerUI::IsPostPaint(CControlUI* pControl) const
{
    return m_aPostPaintControls.Find(pControl) >= 0;
}

int CPaintManagerUI::GetPostPaintCount() const
{
    return m_aPostPaintControls.GetSize();
}

bool CPaintManagerUI::SetPostPaintIndex(CControlUI* pControl, int iIndex)
{
    if (iIndex < 0 || iIndex > m_aPostPaintControls.GetSize()) return false;
    RemovePostPaint(pControl);
    if (iIndex > m_aPostPaintControls.GetSize()) iIndex = m_aPostPaintControls.GetSize();
    return m_aPostPaintControls.InsertAt(iIndex, pControl);
}

bool CPaintManagerUI::AddPaintChildWnd(HWND hChildWnd)
{
    RECT rcChildWnd = {};
    ::GetWindowRect(hChildWnd, &rcChildWnd);
    ::ScreenToClient(m_hWndPaint, reinterpret_cast<POINT*>(&rcChildWnd.left));
    ::ScreenToClient(m_hWndPaint, reinterpret_cast<POINT*>(&rcChildWnd.right));
    Invalidate(rcChildWnd);
    if (m_aChildWnds.Find(hChildWnd) >= 0) return false;
    return m_aChildWnds.Add(hChildWnd);
}

bool CPaintManagerUI::RemovePaintChildWnd(HWND hChildWnd)
{
    return m_aChildWnds.Remove(m_aChildWnds.Find(hChildWnd));
}

int CPaintManagerUI::GetPaintChildWndCount() const
{
    return m_aChildWnds.GetSize();
}

// ---- Caret -------------------------------------------------------------------

bool CPaintManagerUI::CreateCaret(HBITMAP hBmp, int nWidth, int nHeight)
{
    ::CreateCaret(m_hWndPaint, hBmp, nWidth, nHeight);
    m_rcCaret.right = m_rcCaret.left + nWidth;
    m_rcCaret.bottom = m_rcCaret.top + nHeight;
    return true;
}

bool CPaintManagerUI::ShowCaret(bool bShow)
{
    if (m_bCaretShowing == bShow) return true;
    m_bCaretShowing = bShow;
    if (bShow) {
        ::SetTimer(m_hWndPaint, CARET_TIMER_ID, ::GetCaretBlinkTime(), nullptr);
        if (!m_bCaretActive) {
            Invalidate(m_rcCaret);
            m_bCaretActive = true;
        }
    } else {
        ::KillTimer(m_hWndPaint, CARET_TIMER_ID);
        if (m_bCaretActive) {
            Invalidate(m_rcCaret);
            m_bCaretActive = false;
        }
    }
    return true;
}

bool CPaintManagerUI::SetCaretPos(CControlUI* pControl, int x, int y)
{
    if (!::SetCaretPos(x, y)) return false;
    m_pCurrentCaretObject = pControl;
    RECT rcOld = m_rcCaret;
    ::OffsetRect(&m_rcCaret, x - m_rcCaret.left, y - m_rcCaret.top);
    Invalidate(rcOld);
    Invalidate(m_rcCaret);
    return true;
}

CControlUI* CPaintManagerUI::GetCurrentCaretObject() const
{
    return m_pCurrentCaretObject;
}

void CPaintManagerUI::DrawCaret(HDC hDC, const RECT& rcPaint)
{
    if (m_pCurrentCaretObject != nullptr &&
        (!m_pCurrentCaretObject->IsFocused() || m_hWndPaint != ::GetFocus())) {
        ::KillTimer(m_hWndPaint, CARET_TIMER_ID);
        if (m_bCaretActive) Invalidate(m_rcCaret);
        m_bCaretActive = false;
        return;
    }
    if (m_bCaretActive && m_bCaretShowing && m_pCurrentCaretObject != nullptr) {
        RECT rcTemp = {};
        if (!::IntersectRect(&rcTemp, &m_rcCaret, &rcPaint)) return;
        // The caret takes the default text colour: no control of this
        // engine has a text colour of its own for it.
        CRenderEngine::DrawColor(hDC, rcTemp, GetDefaultFontColor());
    }
}

}  // namespace SkinUI
