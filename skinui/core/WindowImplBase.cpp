#include "skinui/core/WindowImplBase.h"

#include "skinui/control/Control.h"
#include "skinui/render/DPI.h"

#include <windowsx.h>

#include <cwchar>
#include <cwctype>

// Sections: message map and static classes; construction; dispatch;
// creation; frame and caption; sizing and system commands; window buttons;
// interfaces.

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace SkinUI {

// ---- Message map and static classes ------------------------------------------

UI_BEGIN_MESSAGE_MAP(WindowImplBase, CNotifyPump)
UI_ON_MSGTYPE(L"click", OnClick)
UI_END_MESSAGE_MAP()

namespace {

// Classes that only show something; a press on them (and on nothing else)
// drags the window when it lies in the caption rectangle. Lower case.
const LPCTSTR kStaticClasses[] = {
    L"controlui",        L"textui",      L"labelui",       L"containerui",    L"horizontallayoutui",
    L"verticallayoutui", L"tablayoutui", L"childlayoutui", L"dialoglayoutui", L"progresscontainerui",
};

// Class names are compared in lower case; a longer name is never static.
bool IsStaticClass(LPCTSTR pstrClass)
{
    if (pstrClass == nullptr) return false;
    WCHAR lower[32];
    size_t i = 0;
    for (; pstrClass[i] != L'\0'; ++i) {
        if (i + 1 >= sizeof(lower) / sizeof(lower[0])) return false;
        lower[i] = static_cast<WCHAR>(std::towlower(pstrClass[i]));
    }
    lower[i] = L'\0';
    for (LPCTSTR name : kStaticClasses) {
        if (std::wcscmp(lower, name) == 0) return true;
    }
    return false;
}

const WCHAR kLoadFailureText[] = L"加载资源文件失败：";
const WCHAR kLoadFailureCaption[] = L"SkinUI";

}  // namespace

bool WindowImplBase::IsInStaticControl(CControlUI* pControl)
{
    if (pControl == nullptr) return false;
    for (CControlUI* p = pControl; p != nullptr; p = p->GetParent()) {
        if (!IsStaticClass(p->GetClass())) return false;
    }
    return true;
}

// ---- Construction ------------------------------------------------------------

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() = default;

UINT WindowImplBase::GetClassStyle() const
{
    return CS_DBLCLKS;
}

void WindowImplBase::InitResource() {}

void WindowImplBase::InitWindow() {}

LPCTSTR WindowImplBase::GetSkinType()
{
    return L"";
}

LPCTSTR WindowImplBase::GetManagerName()
{
    return nullptr;
}

LONG WindowImplBase::GetStyle()
{
    LONG styleValue = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    return styleValue & ~WS_CAPTION;
}

// ---- Dispatch ----------------------------------------------------------------

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lRes = 0;
    BOOL bHandled = TRUE;
    switch (uMsg) {
    case WM_CREATE:
        lRes = OnCreate(uMsg, wParam, lParam, bHandled);
        break;
    case WM_CLOSE:
        lRes = OnClose(uMsg, wParam, lParam, bHandled);
        break;
    case WM_DESTROY:
        lRes = OnDestroy(uMsg, wParam, lParam, bHandled);
        break;
    case WM_NCACTIVATE:
        lRes = OnNcActivate(uMsg, wParam, lParam, bHandled);
        break;
    case WM_NCCALCSIZE:
        lRes = OnNcCalcSize(uMsg, wParam, lParam, bHandled);
        break;
    case WM_NCPAINT:
        lRes = OnNcPaint(uMsg, wParam, lParam, bHandled);
        break;
    case WM_NCHITTEST:
        lRes = OnNcHitTest(uMsg, wParam, lParam, bHandled);
        break;
    case WM_GETMINMAXINFO:
        lRes = OnGetMinMaxInfo(uMsg, wParam, lParam, bHandled);
        break;
    case WM_MOUSEWHEEL:
        lRes = OnMouseWheel(uMsg, wParam, lParam, bHandled);
        break;
    case WM_MOUSEHOVER:
        lRes = OnMouseHover(uMsg, wParam, lParam, bHandled);
        break;
    case WM_SIZE:
        lRes = OnSize(uMsg, wParam, lParam, bHandled);
        break;
    case WM_CHAR:
        lRes = OnChar(uMsg, wParam, lParam, bHandled);
        break;
    case WM_SYSCOMMAND:
        lRes = OnSysCommand(uMsg, wParam, lParam, bHandled);
        break;
    case WM_KEYDOWN:
        lRes = OnKeyDown(uMsg, wParam, lParam, bHandled);
        break;
    case WM_KILLFOCUS:
        lRes = OnKillFocus(uMsg, wParam, lParam, bHandled);
        break;
    case WM_SETFOCUS:
        lRes = OnSetFocus(uMsg, wParam, lParam, bHandled);
        break;
    case WM_LBUTTONDOWN:
        lRes = OnLButtonDown(uMsg, wParam, lParam, bHandled);
        break;
    case WM_LBUTTONUP:
        lRes = OnLButtonUp(uMsg, wParam, lParam, bHandled);
        break;
    case WM_MOUSEMOVE:
        lRes = OnMouseMove(uMsg, wParam, lParam, bHandled);
        break;
    case WM_DPICHANGED:
        lRes = OnDpiChanged(wParam, lParam);
        break;
    default:
        bHandled = FALSE;
        break;
    }
    if (bHandled) return lRes;

    lRes = HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    if (bHandled) return lRes;

    if (m_Manager.MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

// The handlers that leave their message to the later stages.
LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

// ---- Creation ----------------------------------------------------------------

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    // No system caption; the frame is recomputed so that the client area is
    // the whole window. The creator positions the window afterwards.
    LONG styleValue = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    styleValue &= ~WS_CAPTION;
    ::SetWindowLongW(m_hWnd, GWL_STYLE, styleValue | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    ::SetWindowPos(m_hWnd, nullptr, rcClient.left, rcClient.top, rcClient.right - rcClient.left,
                   rcClient.bottom - rcClient.top, SWP_FRAMECHANGED);

    m_Manager.Init(m_hWnd, GetManagerName());
    m_Manager.AddPreMessageFilter(this);
    // The skin is built at the DPI of the monitor the window is made on, so
    // that it is shown at its final size. A process that is not DPI-aware
    // is told 96 by the system, and 96 changes nothing.
    const int dpi = CDPI::GetDPIOfMonitor(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST));
    if (dpi != 96) m_Manager.SetDPI(dpi);

    CUIString sSkinFile = GetSkinFile();
    LPCTSTR pstrSkinType = GetSkinType();
    CDialogBuilder builder;
    CControlUI* pRoot = nullptr;
    if (pstrSkinType != nullptr && pstrSkinType[0] != L'\0') {
        UINT nId = static_cast<UINT>(_wtoi(sSkinFile.GetData())) & 0xFFFF;
        pRoot = builder.Create(STRINGorID(nId), pstrSkinType, this, &m_Manager);
    } else {
        pRoot = builder.Create(STRINGorID(sSkinFile.GetData()), nullptr, this, &m_Manager);
    }
    CUIString sFailure = kLoadFailureText;
    sFailure += sSkinFile;
    if (pRoot == nullptr) {
        ::MessageBoxW(nullptr, sFailure.GetData(), kLoadFailureCaption, MB_ICONERROR);
        ::ExitProcess(1);
    }

    m_Manager.AttachDialog(pRoot);
    m_Manager.AddNotifier(this);
    bHandled = TRUE;
    // A window whose InitWindow throws is not made at all: the same message
    // as for a skin that does not load, then -1, so that the creator gets no
    // window rather than one with half its controls.
    try {
        InitWindow();
    } catch (...) {
        ::MessageBoxW(nullptr, sFailure.GetData(), kLoadFailureCaption, MB_ICONERROR);
        return -1;
    }
    return 0;
}

// ---- Frame and caption --------------------------------------------------------

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (::IsIconic(m_hWnd)) bHandled = FALSE;
    return (wParam == 0) ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}

// Sizing borders from the manager's size box (only while not maximised),
// then the caption rectangle: left and top are distances from the left and
// top edges, right a distance from the right edge, bottom an absolute
// height (-1: the whole client height). Inside it a static control drags.
LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWnd, &pt);
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);

    const CDPI* pDPI = m_Manager.GetDPIObj();
    if (!::IsZoomed(m_hWnd)) {
        const RECT rcSizeBox = pDPI->ScaleEdges(m_Manager.GetSizeBox());
        bool bLeft = pt.x < rcClient.left + rcSizeBox.left;
        bool bRight = pt.x > rcClient.right - rcSizeBox.right;
        if (pt.y < rcClient.top + rcSizeBox.top) {
            if (bLeft) return HTTOPLEFT;
            if (bRight) return HTTOPRIGHT;
            return HTTOP;
        }
        if (pt.y > rcClient.bottom - rcSizeBox.bottom) {
            if (bLeft) return HTBOTTOMLEFT;
            if (bRight) return HTBOTTOMRIGHT;
            return HTBOTTOM;
        }
        if (bLeft) return HTLEFT;
        if (bRight) return HTRIGHT;
    }

    const RECT rcCaption = pDPI->ScaleEdges(m_Manager.GetCaptionRect());
    LONG captionBottom = m_Manager.GetCaptionRect().bottom == -1 ? rcClient.bottom : rcCaption.bottom;
    if (pt.x >= rcClient.left + rcCaption.left && pt.x < rcClient.right - rcCaption.right &&
        pt.y >= rcCaption.top && pt.y < captionBottom) {
        if (IsInStaticControl(m_Manager.FindControl(pt))) return HTCAPTION;
    }
    return HTCLIENT;
}

// ---- Sizing and system commands ------------------------------------------------

// The maximised window fills the work area of its monitor; the skin's
// minimum and maximum sizes are the paint manager's to add, at the DPI.
LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    MINMAXINFO* lpMMI = reinterpret_cast<MINMAXINFO*>(lParam);
    MONITORINFO monitorInfo = {};
    monitorInfo.cbSize = sizeof(monitorInfo);
    ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitorInfo);
    RECT rcWork = monitorInfo.rcWork;
    // The maximised position is relative to the window's own monitor.
    if (monitorInfo.dwFlags != MONITORINFOF_PRIMARY) {
        ::OffsetRect(&rcWork, -rcWork.left, -rcWork.top);
    }
    lpMMI->ptMaxPosition.x = rcWork.left;
    lpMMI->ptMaxPosition.y = rcWork.top;
    lpMMI->ptMaxTrackSize.x = rcWork.right - rcWork.left;
    lpMMI->ptMaxTrackSize.y = rcWork.bottom - rcWork.top;
    lpMMI->ptMaxSize.x = rcWork.right - rcWork.left;
    lpMMI->ptMaxSize.y = rcWork.bottom - rcWork.top;
    // No smallest size of the system's own: the skin's, or none.
    lpMMI->ptMinTrackSize.x = 0;
    lpMMI->ptMinTrackSize.y = 0;
    bHandled = FALSE;
    return 0;
}

// The region is one pixel wider and taller than the window, so that the
// right and bottom edges survive CreateRoundRectRgn's exclusive edges. It
// belongs to the window once set. The manager sees WM_SIZE too.
LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (!::IsIconic(m_hWnd)) {
        RECT rcWnd = {};
        ::GetWindowRect(m_hWnd, &rcWnd);
        ::OffsetRect(&rcWnd, -rcWnd.left, -rcWnd.top);
        rcWnd.right++;
        rcWnd.bottom++;
        const SIZE szRound = m_Manager.GetDPIObj()->Scale(m_Manager.GetRoundCorner());
        HRGN hRgn =
            ::CreateRoundRectRgn(rcWnd.left, rcWnd.top, rcWnd.right, rcWnd.bottom, szRound.cx, szRound.cy);
        if (hRgn != nullptr && ::SetWindowRgn(m_hWnd, hRgn, TRUE) == 0) ::DeleteObject(hRgn);
    }
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    const RECT* prcSuggested = reinterpret_cast<const RECT*>(lParam);
    // The region, the layout and the shadow follow from the WM_SIZE of the
    // move: the shadow of a shrunk window is rebuilt at once, of a grown one
    // at its next paint. Only a window whose client size happens to stay
    // still gets its shadow here; a rebuild on top of the WM_SIZE's would
    // draw it twice.
    RECT rcBefore = {};
    ::GetClientRect(m_hWnd, &rcBefore);
    m_Manager.SetDPI(LOWORD(wParam), prcSuggested);
    RECT rcAfter = {};
    ::GetClientRect(m_hWnd, &rcAfter);
    if (rcAfter.right == rcBefore.right && rcAfter.bottom == rcBefore.bottom)
        m_Manager.GetShadow()->Update(m_hWnd);
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (wParam == SC_CLOSE) {
        bHandled = TRUE;
        SendMessage(WM_CLOSE);
        return 0;
    }
    BOOL bZoomed = ::IsZoomed(m_hWnd);
    LRESULT lRes = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    if (::IsZoomed(m_hWnd) != bZoomed) {
        bool bNowZoomed = !bZoomed;
        CControlUI* pMax = m_Manager.FindControl(L"maxbtn");
        CControlUI* pRestore = m_Manager.FindControl(L"restorebtn");
        if (pMax != nullptr) pMax->SetVisible(!bNowZoomed);
        if (pRestore != nullptr) pRestore->SetVisible(bNowZoomed);
    }
    return lRes;
}

// ---- Window buttons --------------------------------------------------------------

void WindowImplBase::OnClick(TNotifyUI& msg)
{
    CUIString sName = msg.sender != nullptr ? msg.sender->GetName() : CUIString();
    if (sName == L"closebtn") {
        Close(IDOK);
    } else if (sName == L"minbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (sName == L"maxbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (sName == L"restorebtn") {
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

void WindowImplBase::OnFinalMessage(HWND /*hWnd*/)
{
    m_Manager.RemovePreMessageFilter(this);
    m_Manager.RemoveNotifier(this);
    m_Manager.ReapObjects(m_Manager.GetRoot());
}

// ---- Interfaces ------------------------------------------------------------------

void WindowImplBase::Notify(TNotifyUI& msg)
{
    NotifyPump(msg);
}

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM /*lParam*/, bool& /*bHandled*/)
{
    if (uMsg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        return ResponseDefaultKeyEvent(wParam);
    }
    return FALSE;
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam)
{
    return wParam == VK_ESCAPE ? TRUE : FALSE;
}

CControlUI* WindowImplBase::CreateControl(LPCTSTR /*pstrClass*/)
{
    return nullptr;
}

LPCTSTR WindowImplBase::QueryControlText(LPCTSTR /*lpstrId*/, LPCTSTR /*lpstrType*/)
{
    return nullptr;
}

}  // namespace SkinUI
