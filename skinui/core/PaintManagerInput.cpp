// Input and event dispatch of CPaintManagerUI:
//   MessageHandler      native messages -> control events
//   mouse move, tooltip hover tracking, enter/leave, the tooltip window
//   PreMessageHandler   Tab navigation, shortcuts, system keys
//   keyboard cues       shown once the keyboard is used; the focus cue
//   TranslateMessage / MessageLoop, filters and accelerators
//   drop target registration, drag source
#include "skinui/core/PaintManager.h"

#include "skinui/control/Control.h"
#include "skinui/core/AccessibilityProvider.h"
#include "skinui/core/DataObject.h"
#include "skinui/core/DropSource.h"
#include "skinui/render/DPI.h"
#include "skinui/render/RenderEngine.h"

#include <commctrl.h>
#include <olectl.h>
#include <shlobj.h>
#include <windowsx.h>

#include <new>

namespace SkinUI {
namespace {

POINT PointFromLParam(LPARAM lParam)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return pt;
}

// Upper case of one UTF-16 unit, as the shortcut comparison needs it.
TCHAR UpperChar(TCHAR ch)
{
    return static_cast<TCHAR>(reinterpret_cast<UINT_PTR>(
        ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(static_cast<WORD>(ch))))));
}

struct FindShortcut
{
    TCHAR ch;
    bool bPickNext;
};

CControlUI* FindControlFromShortcut(CControlUI* pThis, LPVOID pData)
{
    FindShortcut* pFS = static_cast<FindShortcut*>(pData);
    if (!pThis->IsVisible()) return nullptr;
    if (pFS->ch != 0 && UpperChar(pThis->GetShortcut()) == pFS->ch) pFS->bPickNext = true;
    // A label's shortcut names the control that follows it.
    if (wcsstr(pThis->GetClass(), L"LabelUI") != nullptr) return nullptr;
    return pFS->bPickNext ? pThis : nullptr;
}

}  // namespace

// ---- Message handling ----------------------------------------------------

WORD CPaintManagerUI::MapKeyState()
{
    WORD uState = 0;
    if (::GetKeyState(VK_CONTROL) < 0) uState |= MK_CONTROL;
    if (::GetKeyState(VK_LBUTTON) < 0) uState |= MK_LBUTTON;
    if (::GetKeyState(VK_RBUTTON) < 0) uState |= MK_RBUTTON;
    if (::GetKeyState(VK_SHIFT) < 0) uState |= MK_SHIFT;
    if (::GetKeyState(VK_MENU) < 0) uState |= MK_ALT;
    return uState;
}

namespace {

// An event of the type from pSender, stamped now, with the message's
// parameters; no mouse position, key or key state.
TEventUI NewEvent(int type, CControlUI* pSender, WPARAM wParam, LPARAM lParam)
{
    TEventUI event = {};
    event.type = type;
    event.sender = pSender;
    event.timestamp = ::GetTickCount();
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

}  // namespace

void CPaintManagerUI::SendEvent(CControlUI* pControl, int type, POINT pt, WORD keyState, WPARAM wParam,
                                LPARAM lParam, TCHAR keyChar)
{
    TEventUI event = NewEvent(type, pControl, wParam, lParam);
    event.mousePos = pt;
    event.keyChar = keyChar;
    event.keyState = keyState;
    pControl->Event(event);
}

void CPaintManagerUI::SendFocusEvent(int type, CControlUI* pSender, WPARAM wParam, LPARAM lParam)
{
    TEventUI event = NewEvent(type, pSender, wParam, lParam);
    m_pFocus->Event(event);
}

CControlUI* CPaintManagerUI::FindOwnControl(POINT pt) const
{
    CControlUI* pControl = FindControl(pt);
    if (pControl != nullptr && pControl->GetManager() != this) return nullptr;
    return pControl;
}

namespace {

// Hands the message to each filter in turn; the first that handles it gives
// the result.
bool RunFilters(const CStdPtrArray& aFilters, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    for (int i = 0; i < aFilters.GetSize(); ++i) {
        bool bHandled = false;
        LRESULT lResult =
            static_cast<IMessageFilterUI*>(aFilters[i])->MessageHandler(uMsg, wParam, lParam, bHandled);
        if (bHandled) {
            lRes = lResult;
            return true;
        }
    }
    return false;
}

}  // namespace

CControlUI* CPaintManagerUI::PressTarget(LPARAM lParam, POINT& pt)
{
    ::SetFocus(m_hWndPaint);
    pt = PointFromLParam(lParam);
    m_ptLastMousePos = pt;
    return FindOwnControl(pt);
}

// One line per message: each handler returns what MessageHandler returns for
// it (true: handled, lRes holds the result; false: the default procedure
// runs as well).
bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (m_hWndPaint == nullptr) return false;

    if (RunFilters(m_aMessageFilters, uMsg, wParam, lParam, lRes)) return true;

    switch (uMsg) {
    case WM_ASYNC_FLUSH:
        OnAsyncFlush();
        return false;
    case WM_CLOSE:
        return OnClose();
    case WM_ERASEBKGND:
        lRes = 1;
        return true;
    case WM_PAINT:
        return OnPaint();
    case WM_PRINTCLIENT:
        OnPrintClient(reinterpret_cast<HDC>(wParam), lParam);
        return false;
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(reinterpret_cast<LPMINMAXINFO>(lParam));
    case WM_SIZE:
        return OnSize();
    case WM_TIMER:
        return OnTimer(wParam, lParam);
    case WM_MOUSEHOVER:
        return OnMouseHover(wParam, lParam);
    case WM_MOUSELEAVE:
        return OnMouseLeave();
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, lParam);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(wParam, lParam);
    case WM_LBUTTONDBLCLK:
        return OnLButtonDblClk(wParam, lParam);
    case WM_LBUTTONUP:
        return OnLButtonUp(wParam, lParam);
    case WM_RBUTTONDOWN:
        return OnOtherButtonDown(EVT_RBUTTONDOWN, wParam, lParam);
    case WM_MBUTTONDOWN:
        return OnOtherButtonDown(EVT_MBUTTONDOWN, wParam, lParam);
    case WM_RBUTTONUP:
        return OnOtherButtonUp(EVT_RBUTTONUP, wParam, lParam);
    case WM_MBUTTONUP:
        return OnOtherButtonUp(EVT_MBUTTONUP, wParam, lParam);
    case WM_CONTEXTMENU:
        return OnContextMenu(wParam, lParam);
    case WM_MOUSEWHEEL:
        return OnMouseWheel(wParam, lParam);
    case WM_KEYDOWN:
        return OnKeyDown(wParam, lParam);
    case WM_KEYUP:
        return OnKeyUp(wParam, lParam);
    case WM_CHAR:
        return OnChar(wParam, lParam);
    case WM_SETCURSOR:
        return OnSetCursor(wParam, lParam);
    case WM_SETFOCUS:
        if (m_pFocus != nullptr) SendFocusEvent(EVT_SETFOCUS, m_pFocus, wParam, lParam);
        if (m_pAccessibility != nullptr) m_pAccessibility->OnWindowFocus();
        return false;
    case WM_GETOBJECT:
        return OnGetObject(wParam, lParam, lRes);
    case WM_ACCESSIBLE_ACTION:
        if (m_pAccessibility != nullptr) m_pAccessibility->OnPostedAction(wParam);
        return true;
    case WM_DESTROY:
        // Clients still holding objects get errors from now on.
        delete m_pAccessibility;
        m_pAccessibility = nullptr;
        return false;
    case WM_UPDATEUISTATE:
        // The default procedure keeps the window's own copy of the state.
        OnUpdateUIState(wParam);
        return false;
    case WM_NOTIFY:
        return OnNotify(wParam, lParam, lRes);
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return ReflectToChild(uMsg, wParam, lParam, lRes);
    default:
        return false;
    }
}

// ---- Window messages -----------------------------------------------------

bool CPaintManagerUI::OnClose()
{
    const WORD keyState = MapKeyState();
    if (m_pEventHover != nullptr) SendEvent(m_pEventHover, EVT_MOUSELEAVE, m_ptLastMousePos, keyState, 0, 0);
    if (m_pEventClick != nullptr) SendEvent(m_pEventClick, EVT_BUTTONUP, m_ptLastMousePos, keyState, 0, 0);
    SetFocus(nullptr);
    if (::GetActiveWindow() == m_hWndPaint) {
        HWND hwndParent = ::GetWindow(m_hWndPaint, GW_OWNER);
        if (hwndParent != nullptr) ::SetFocus(hwndParent);
    }
    if (m_hwndTooltip != nullptr) {
        ::DestroyWindow(m_hwndTooltip);
        m_hwndTooltip = nullptr;
    }
    return false;
}

bool CPaintManagerUI::OnGetMinMaxInfo(LPMINMAXINFO lpMMI)
{
    // The limits are skin pixels; the system wants device pixels.
    const SIZE szMin = GetDPIObj()->Scale(m_szMinWindow);
    const SIZE szMax = GetDPIObj()->Scale(m_szMaxWindow);
    if (szMin.cx > 0) lpMMI->ptMinTrackSize.x = szMin.cx;
    if (szMin.cy > 0) lpMMI->ptMinTrackSize.y = szMin.cy;
    if (szMax.cx > 0) lpMMI->ptMaxTrackSize.x = lpMMI->ptMaxSize.x = szMax.cx;
    if (szMax.cy > 0) lpMMI->ptMaxTrackSize.y = lpMMI->ptMaxSize.y = szMax.cy;
    return false;
}

bool CPaintManagerUI::OnSize()
{
    if (m_pFocus != nullptr) SendFocusEvent(EVT_WINDOWSIZE, m_pFocus);
    if (m_pRoot != nullptr) m_pRoot->NeedUpdate();
    return true;
}

bool CPaintManagerUI::OnTimer(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == CARET_TIMER_ID) {
        Invalidate(m_rcCaret);
        m_bCaretActive = !m_bCaretActive;
        return false;
    }
    const TimerRecord* pTimer = FindTimer(LOWORD(wParam));
    if (pTimer != nullptr) {
        SendEvent(pTimer->pSender, EVT_TIMER, m_ptLastMousePos, MapKeyState(), pTimer->nLocalID, lParam);
    }
    return false;
}

bool CPaintManagerUI::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (lParam == 0) return false;
    LPNMHDR lpNMHDR = reinterpret_cast<LPNMHDR>(lParam);
    lRes = ::SendMessageW(lpNMHDR->hwndFrom, OCM__BASE + WM_NOTIFY, wParam, lParam);
    return true;
}

bool CPaintManagerUI::ReflectToChild(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (lParam == 0) return false;
    HWND hWndChild = reinterpret_cast<HWND>(lParam);
    lRes = ::SendMessageW(hWndChild, OCM__BASE + uMsg, wParam, lParam);
    return lRes != 0;
}

// ---- Mouse messages ------------------------------------------------------

bool CPaintManagerUI::OnMouseHover(WPARAM wParam, LPARAM lParam)
{
    m_bMouseTracking = false;
    POINT pt = PointFromLParam(lParam);
    CControlUI* pHover = FindControl(pt);
    if (pHover == nullptr) return false;
    if (m_pEventHover != nullptr) SendEvent(m_pEventHover, EVT_MOUSEHOVER, pt, MapKeyState(), wParam, lParam);
    ShowToolTip(pHover);
    return true;
}

bool CPaintManagerUI::OnMouseLeave()
{
    if (m_hwndTooltip != nullptr) ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, FALSE, (LPARAM)&m_ToolTip);
    if (m_bMouseTracking) {
        POINT pt = {};
        RECT rcWnd = {};
        ::GetCursorPos(&pt);
        ::GetWindowRect(m_hWndPaint, &rcWnd);
        LPARAM lPoint = static_cast<LPARAM>(-1);
        if (!::IsIconic(m_hWndPaint) && ::GetActiveWindow() == m_hWndPaint && ::PtInRect(&rcWnd, pt) &&
            ::SendMessageW(m_hWndPaint, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)) == HTCLIENT) {
            ::ScreenToClient(m_hWndPaint, &pt);
            lPoint = MAKELPARAM(pt.x, pt.y);
        }
        ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, lPoint);
    }
    m_bMouseTracking = false;
    return false;
}

bool CPaintManagerUI::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    POINT pt;
    CControlUI* pControl = PressTarget(lParam, pt);
    if (pControl == nullptr) return false;
    // A press elsewhere ends the drag mode of an earlier press that never
    // moved, so that only a drag-enabled control is ever dragged.
    m_bDragMode = pControl->IsDragEnabled();
    if (m_bDragMode) {
        if (m_hDragBitmap != nullptr) ::DeleteObject(m_hDragBitmap);
        m_hDragBitmap = CRenderEngine::GenerateBitmap(this, pControl, pControl->GetPos());
    }
    SetCapture();
    m_pEventClick = pControl;
    pControl->SetFocus();
    SendEvent(pControl, EVT_BUTTONDOWN, pt, LOWORD(wParam), wParam, lParam);
    return false;
}

bool CPaintManagerUI::OnLButtonDblClk(WPARAM wParam, LPARAM lParam)
{
    ::SetFocus(m_hWndPaint);
    SetCapture();
    POINT pt = PointFromLParam(lParam);
    m_ptLastMousePos = pt;
    CControlUI* pControl = FindOwnControl(pt);
    if (pControl == nullptr) return false;
    SendEvent(pControl, EVT_DBLCLICK, pt, LOWORD(wParam), wParam, lParam);
    m_pEventClick = pControl;
    return false;
}

bool CPaintManagerUI::OnLButtonUp(WPARAM wParam, LPARAM lParam)
{
    ReleaseCapture();
    POINT pt = PointFromLParam(lParam);
    m_ptLastMousePos = pt;
    if (m_pEventClick == nullptr) return false;
    CControlUI* pClick = m_pEventClick;
    m_pEventClick = nullptr;
    SendEvent(pClick, EVT_BUTTONUP, pt, LOWORD(wParam), wParam, lParam);
    return false;
}

bool CPaintManagerUI::OnOtherButtonDown(int type, WPARAM wParam, LPARAM lParam)
{
    POINT pt;
    CControlUI* pControl = PressTarget(lParam, pt);
    if (pControl == nullptr) return false;
    pControl->SetFocus();
    SetCapture();
    SendEvent(pControl, type, pt, LOWORD(wParam), wParam, lParam);
    m_pEventClick = pControl;
    return false;
}

bool CPaintManagerUI::OnOtherButtonUp(int type, WPARAM wParam, LPARAM lParam)
{
    ReleaseCapture();
    POINT pt = PointFromLParam(lParam);
    m_ptLastMousePos = pt;
    m_pEventClick = FindControl(pt);
    if (m_pEventClick == nullptr) return false;
    SendEvent(m_pEventClick, type, pt, LOWORD(wParam), wParam, lParam);
    return false;
}

bool CPaintManagerUI::OnContextMenu(WPARAM wParam, LPARAM lParam)
{
    POINT pt = PointFromLParam(lParam);
    ::ScreenToClient(m_hWndPaint, &pt);
    m_ptLastMousePos = pt;
    if (m_pEventClick == nullptr) return false;
    ReleaseCapture();
    CControlUI* pClick = m_pEventClick;
    SendEvent(pClick, EVT_CONTEXTMENU, pt, LOWORD(wParam), wParam, reinterpret_cast<LPARAM>(pClick));
    m_pEventClick = nullptr;
    return false;
}

bool CPaintManagerUI::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    POINT pt = PointFromLParam(lParam);
    ::ScreenToClient(m_hWndPaint, &pt);
    m_ptLastMousePos = pt;
    CControlUI* pControl = FindOwnControl(pt);
    if (pControl == nullptr) return false;
    const int zDelta = static_cast<short>(HIWORD(wParam));
    SendEvent(pControl, EVT_SCROLLWHEEL, pt, MapKeyState(), zDelta < 0 ? SB_LINEDOWN : SB_LINEUP, lParam);
    // Hover follows the content that scrolled under the mouse.
    ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(m_ptLastMousePos.x, m_ptLastMousePos.y));
    return false;
}

bool CPaintManagerUI::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(lParam) != HTCLIENT) return false;
    if (m_bMouseCapture) return true;
    POINT pt = {};
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWndPaint, &pt);
    CControlUI* pControl = FindControl(pt);
    if (pControl == nullptr || (pControl->GetControlFlags() & CONTROLFLAG_SETCURSOR) == 0) return false;
    SendEvent(pControl, EVT_SETCURSOR, pt, MapKeyState(), wParam, lParam);
    return true;
}

// ---- Keyboard messages ---------------------------------------------------

bool CPaintManagerUI::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    ShowKeyboardCues();
    if (m_pFocus == nullptr) return false;
    SendEvent(m_pFocus, EVT_KEYDOWN, m_ptLastMousePos, MapKeyState(), wParam, lParam,
              static_cast<TCHAR>(LOWORD(wParam)));
    m_pEventKey = m_pFocus;
    return false;
}

bool CPaintManagerUI::OnKeyUp(WPARAM wParam, LPARAM lParam)
{
    if (m_pEventKey == nullptr) return false;
    CControlUI* pKey = m_pEventKey;
    SendEvent(pKey, EVT_KEYUP, m_ptLastMousePos, MapKeyState(), wParam, lParam,
              static_cast<TCHAR>(LOWORD(wParam)));
    m_pEventKey = nullptr;
    return false;
}

bool CPaintManagerUI::OnChar(WPARAM wParam, LPARAM lParam)
{
    if (m_pFocus == nullptr) return false;
    SendEvent(m_pFocus, EVT_CHAR, m_ptLastMousePos, MapKeyState(), wParam, lParam,
              static_cast<TCHAR>(LOWORD(wParam)));
    return false;
}

bool CPaintManagerUI::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    if (!m_bMouseTracking) {
        TRACKMOUSEEVENT tme = {};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWndPaint;
        tme.dwHoverTime = m_hwndTooltip == nullptr
            ? 400UL
            : static_cast<DWORD>(::SendMessageW(m_hwndTooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
        ::TrackMouseEvent(&tme);
        m_bMouseTracking = true;
    }

    POINT pt = PointFromLParam(lParam);
    const bool bMoved = pt.x != m_ptLastMousePos.x || pt.y != m_ptLastMousePos.y;
    m_ptLastMousePos = pt;
    CControlUI* pNewHover = FindControl(pt);
    if (pNewHover != nullptr && pNewHover->GetManager() != this) return false;
    if (bMoved && m_bDragMode && wParam == MK_LBUTTON) {
        DoDrag();
        return false;
    }

    if (pNewHover != m_pEventHover && m_pEventHover != nullptr) {
        CControlUI* pOldHover = m_pEventHover;
        SendEvent(pOldHover, EVT_MOUSELEAVE, pt, 0, wParam, lParam);
        m_pEventHover = nullptr;
        if (m_hwndTooltip != nullptr)
            ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, FALSE, (LPARAM)&m_ToolTip);
    }
    if (pNewHover != m_pEventHover && pNewHover != nullptr) {
        SendEvent(pNewHover, EVT_MOUSEENTER, pt, 0, wParam, lParam);
        m_pEventHover = pNewHover;
    }
    if (m_pEventClick != nullptr) {
        SendEvent(m_pEventClick, EVT_MOUSEMOVE, pt, 0, wParam, lParam);
    } else if (pNewHover != nullptr) {
        SendEvent(pNewHover, EVT_MOUSEMOVE, pt, 0, wParam, lParam);
    }
    return false;
}

void CPaintManagerUI::ShowToolTip(CControlUI* pHover)
{
    CUIString sToolTip = pHover->GetToolTip();
    if (sToolTip.IsEmpty()) return;
    ::ZeroMemory(&m_ToolTip, sizeof(TOOLINFOW));
    m_ToolTip.cbSize = sizeof(TOOLINFOW);
    m_ToolTip.uFlags = TTF_IDISHWND;
    m_ToolTip.hwnd = m_hWndPaint;
    m_ToolTip.uId = reinterpret_cast<UINT_PTR>(m_hWndPaint);
    m_ToolTip.hinst = m_hInstance;
    m_ToolTip.lpszText = const_cast<LPWSTR>(sToolTip.GetData());
    m_ToolTip.rect = pHover->GetPos();
    if (m_hwndTooltip == nullptr) {
        // The common controls are loaded with the first tooltip, not at
        // start-up: loading them costs more than the rest of the first frame
        // and the tooltip is the only common control the engine makes.
        static bool s_bCommonControlsReady = false;
        if (!s_bCommonControlsReady) {
            s_bCommonControlsReady = true;
            ::InitCommonControls();
        }
        m_hwndTooltip = ::CreateWindowExW(
            0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWndPaint, nullptr, m_hInstance, nullptr);
        if (m_hwndTooltip == nullptr) return;
        ::SendMessageW(m_hwndTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
        ::SendMessageW(m_hwndTooltip, TTM_SETMAXTIPWIDTH, 0, pHover->GetToolTipWidth());
    }
    if (!::IsWindowVisible(m_hwndTooltip)) {
        ::SendMessageW(m_hwndTooltip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
        ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_ToolTip));
    }
    // The tooltip control copied the text; the record must not keep a
    // pointer into this function's string.
    m_ToolTip.lpszText = nullptr;
}

// ---- Keyboard pre-translation -------------------------------------------

// A rich edit that wants Tab, and a web view, take the key as their own.
// They are known by class name, so that such a control from a plug-in keeps
// its Tab as a built-in one would.
bool CPaintManagerUI::FocusKeepsTab() const
{
    if (m_pFocus == nullptr || !m_pFocus->IsVisible() || !m_pFocus->IsEnabled()) return false;
    LPCTSTR pstrClass = m_pFocus->GetClass();
    if (pstrClass == nullptr) return false;
    if (wcsstr(pstrClass, L"WkeWebkitUI") != nullptr) return true;
    if (wcsstr(pstrClass, L"RichEditUI") == nullptr) return false;
    const IWantTabUI* pWantTab = static_cast<IWantTabUI*>(m_pFocus->GetInterface(L"WantTab"));
    return pWantTab != nullptr && pWantTab->IsWantTab();
}

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (RunFilters(m_aPreMessageFilters, uMsg, wParam, lParam, lRes)) return true;
    switch (uMsg) {
    case WM_KEYDOWN:
        if (wParam != VK_TAB) return false;
        if (FocusKeepsTab()) return false;
        ShowKeyboardCues();
        SetNextTabControl(::GetKeyState(VK_SHIFT) >= 0);
        return true;
    case WM_SYSCHAR: {
        if (m_pRoot == nullptr) return false;
        FindShortcut fs = {UpperChar(static_cast<TCHAR>(wParam)), false};
        CControlUI* pControl =
            m_pRoot->FindControl(FindControlFromShortcut, &fs, FIND_ENABLED | FIND_MEFIRST | FIND_TOPFIRST);
        if (pControl == nullptr) return false;
        pControl->SetFocus();
        pControl->Activate();
        return true;
    }
    case WM_SYSKEYDOWN:
        ShowKeyboardCues();
        if (m_pFocus != nullptr) {
            SendEvent(m_pFocus, EVT_SYSKEY, m_ptLastMousePos, MapKeyState(), 0, 0,
                      static_cast<TCHAR>(LOWORD(wParam)));
        }
        return false;
    default:
        return false;
    }
}

// ---- Keyboard cues ----------------------------------------------------------
// The window starts with its cues hidden; the first key shows them for good. The system's copy of the state is kept in step through
// WM_CHANGEUISTATE, so that it reads the same to everyone who asks the window
// (WM_QUERYUISTATE).

void CPaintManagerUI::ShowKeyboardCues()
{
    if (!m_bFocusCueHidden || m_hWndPaint == nullptr) return;
    ::SendMessageW(m_hWndPaint, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    // A system that does not pass the change on as WM_UPDATEUISTATE still
    // shows the cue.
    if (m_bFocusCueHidden) OnUpdateUIState(MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
}

void CPaintManagerUI::OnUpdateUIState(WPARAM wParam)
{
    if ((HIWORD(wParam) & UISF_HIDEFOCUS) == 0) return;
    bool bHidden = m_bFocusCueHidden;
    if (LOWORD(wParam) == UIS_SET) bHidden = true;
    if (LOWORD(wParam) == UIS_CLEAR) bHidden = false;
    if (bHidden == m_bFocusCueHidden) return;
    InvalidateFocusCue();
    m_bFocusCueHidden = bHidden;
    InvalidateFocusCue();
}

bool CPaintManagerUI::IsFocusCueShown() const
{
    return !m_bFocusCueHidden;
}

void CPaintManagerUI::SetFocusCueColor(DWORD dwColor)
{
    m_dwFocusCueColor = dwColor;
    InvalidateFocusCue();
}

DWORD CPaintManagerUI::GetFocusCueColor() const
{
    return m_dwFocusCueColor;
}

RECT CPaintManagerUI::GetFocusCueRect()
{
    RECT rc = {0, 0, 0, 0};
    if (m_bFocusCueHidden || m_pFocus == nullptr || !m_pFocus->IsVisible()) return rc;
    rc = m_pFocus->GetPos();
    ITabStopsUI* pStops = static_cast<ITabStopsUI*>(m_pFocus->GetInterface(L"TabStops"));
    if (pStops != nullptr && pStops->GetFocusedTabStop() >= 0)
        rc = pStops->GetTabStopRect(pStops->GetFocusedTabStop());
    if (::IsRectEmpty(&rc)) return RECT{0, 0, 0, 0};
    // Two pixels of frame just outside the control, a pixel apart from it.
    const int nOut = GetDPIObj()->Scale(3);
    ::InflateRect(&rc, nOut, nOut);
    return rc;
}

void CPaintManagerUI::InvalidateFocusCue()
{
    RECT rc = GetFocusCueRect();
    if (!::IsRectEmpty(&rc)) Invalidate(rc);
}

void CPaintManagerUI::DrawFocusCue(HDC hDC, const RECT& rcPaint)
{
    RECT rc = GetFocusCueRect();
    RECT rcTemp = {};
    if (::IsRectEmpty(&rc) || !::IntersectRect(&rcTemp, &rc, &rcPaint)) return;
    DWORD dwColor = m_pFocus->GetFocusBorderColor();
    if (dwColor == 0) dwColor = m_dwFocusCueColor;
    if (dwColor == 0) dwColor = kDefaultFocusCueColor;
    CRenderEngine::DrawRect(hDC, rc, GetDPIObj()->Scale(2), dwColor);
}

bool CPaintManagerUI::TranslateAcceleratorW(MSG* pMsg)
{
    for (int i = 0; i < m_aTranslateAccelerator.GetSize(); ++i) {
        LRESULT lResult =
            static_cast<ITranslateAccelerator*>(m_aTranslateAccelerator[i])->TranslateAccelerator(pMsg);
        if (lResult == S_OK) return true;
    }
    return false;
}

bool CPaintManagerUI::TranslateMessage(const MSG* pMsg)
{
    const UINT uStyle = static_cast<UINT>(::GetWindowLongW(pMsg->hwnd, GWL_STYLE));
    LRESULT lRes = 0;
    if (uStyle & WS_CHILD) {
        HWND hWndParent = ::GetParent(pMsg->hwnd);
        for (int i = 0; i < m_aPreMessages.GetSize(); ++i) {
            CPaintManagerUI* pT = static_cast<CPaintManagerUI*>(m_aPreMessages[i]);
            HWND hTempParent = hWndParent;
            while (hTempParent != nullptr) {
                if (pMsg->hwnd == pT->GetPaintWindow() || hTempParent == pT->GetPaintWindow()) {
                    if (pT->TranslateAcceleratorW(const_cast<MSG*>(pMsg))) return true;
                    pT->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam, lRes);
                }
                hTempParent = ::GetParent(hTempParent);
            }
        }
        return false;
    }
    for (int i = 0; i < m_aPreMessages.GetSize(); ++i) {
        CPaintManagerUI* pT = static_cast<CPaintManagerUI*>(m_aPreMessages[i]);
        if (pMsg->hwnd == pT->GetPaintWindow()) {
            if (pT->TranslateAcceleratorW(const_cast<MSG*>(pMsg))) return true;
            return pT->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam, lRes);
        }
    }
    return false;
}

void CPaintManagerUI::MessageLoop()
{
    MSG msg = {};
    while (::GetMessageW(&msg, nullptr, 0, 0)) {
        if (CPaintManagerUI::TranslateMessage(&msg)) continue;
        try {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        } catch (...) {
            // A failure inside one message must not end the program.
        }
    }
}

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* pFilter)
{
    return m_aPreMessageFilters.Add(pFilter);
}

bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* pFilter)
{
    return m_aPreMessageFilters.Remove(m_aPreMessageFilters.Find(pFilter));
}

bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* pFilter)
{
    return m_aMessageFilters.Add(pFilter);
}

bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* pFilter)
{
    return m_aMessageFilters.Remove(m_aMessageFilters.Find(pFilter));
}

bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator)
{
    return m_aTranslateAccelerator.Add(pTranslateAccelerator);
}

bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator)
{
    return m_aTranslateAccelerator.Remove(m_aTranslateAccelerator.Find(pTranslateAccelerator));
}

// ---- Drop target ---------------------------------------------------------

bool CPaintManagerUI::InitDragDrop()
{
    if (!DragDropRegister(m_hWndPaint)) return false;
    // The formats a drop may bring, in the order they are asked for.
    static const struct
    {
        CLIPFORMAT cfFormat;
        DWORD tymed;
    } kFormats[] = {
        {CF_BITMAP, TYMED_GDI},
        {CF_DIB, TYMED_HGLOBAL},
        {CF_HDROP, TYMED_HGLOBAL},
        {CF_ENHMETAFILE, TYMED_ENHMF},
    };
    FORMATETC ftetc = {};
    ftetc.dwAspect = DVASPECT_CONTENT;
    ftetc.lindex = -1;
    for (const auto& format : kFormats) {
        ftetc.cfFormat = format.cfFormat;
        ftetc.tymed = format.tymed;
        AddSuportedFormat(ftetc);
    }
    return true;
}

bool CPaintManagerUI::OnDrop(FORMATETC* /*pFmtEtc*/, STGMEDIUM& /*medium*/, DWORD* /*pdwEffect*/)
{
    // A click in progress ends; the dropped data is not taken into the tree.
    POINT ptMouse = {};
    ::GetCursorPos(&ptMouse);
    ::SendMessageW(m_hWndPaint, WM_LBUTTONUP, 0, MAKELPARAM(ptMouse.x, ptMouse.y));
    return true;
}

// ---- Drag source -----------------------------------------------------------

namespace {

// A metafile that draws a copy of the bitmap at its own size.
HENHMETAFILE MetafileOf(HBITMAP hBitmap)
{
    BITMAP bm = {};
    if (::GetObjectW(hBitmap, sizeof(bm), &bm) == 0) return nullptr;
    HDC hMeta = ::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    if (hMeta == nullptr) return nullptr;
    HDC hMem = ::CreateCompatibleDC(nullptr);
    if (hMem != nullptr) {
        HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
        ::BitBlt(hMeta, 0, 0, bm.bmWidth, bm.bmHeight, hMem, 0, 0, SRCCOPY);
        ::SelectObject(hMem, hOld);
        ::DeleteDC(hMem);
    }
    return ::CloseEnhMetaFile(hMeta);
}

// Offers the picture in both formats; a format that cannot be made is left
// out.
void OfferPicture(CIDataObject* pData, HBITMAP hBitmap)
{
    FORMATETC fmt = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_GDI;
    medium.hBitmap = static_cast<HBITMAP>(::OleDuplicateData(hBitmap, CF_BITMAP, 0));
    if (medium.hBitmap != nullptr && FAILED(pData->SetData(&fmt, &medium, TRUE)))
        ::DeleteObject(medium.hBitmap);

    fmt.cfFormat = CF_ENHMETAFILE;
    fmt.tymed = TYMED_ENHMF;
    medium.tymed = TYMED_ENHMF;
    medium.hEnhMetaFile = MetafileOf(hBitmap);
    if (medium.hEnhMetaFile != nullptr && FAILED(pData->SetData(&fmt, &medium, TRUE)))
        ::DeleteEnhMetaFile(medium.hEnhMetaFile);
}

// The system's drag image follows the cursor where the system has the
// helper; without it the drag shows only the cursors.
void ShowDragImage(CIDataObject* pData, HBITMAP hBitmap)
{
    BITMAP bm = {};
    if (::GetObjectW(hBitmap, sizeof(bm), &bm) == 0) return;
    IDragSourceHelper* pHelper = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                                  reinterpret_cast<void**>(&pHelper))) ||
        pHelper == nullptr)
        return;
    SHDRAGIMAGE image = {};
    image.sizeDragImage.cx = bm.bmWidth;
    image.sizeDragImage.cy = bm.bmHeight;
    image.ptOffset.x = bm.bmWidth / 2;
    image.ptOffset.y = bm.bmHeight / 2;
    image.crColorKey = ::GetSysColor(COLOR_WINDOW);
    // The helper takes the bitmap it is given when it succeeds.
    image.hbmpDragImage = static_cast<HBITMAP>(::OleDuplicateData(hBitmap, CF_BITMAP, 0));
    if (image.hbmpDragImage != nullptr && FAILED(pHelper->InitializeFromBitmap(&image, pData)))
        ::DeleteObject(image.hbmpDragImage);
    pHelper->Release();
}

}  // namespace

void CPaintManagerUI::DoDrag()
{
    // Off before the drag runs: the drag's own loop hands moves back to this
    // window, and they must not start a drag inside the drag.
    m_bDragMode = false;
    ::ReleaseCapture();
    m_bMouseCapture = false;
    CIDropSource* pSource = new (std::nothrow) CIDropSource;
    CIDataObject* pData = new (std::nothrow) CIDataObject;
    if (pSource != nullptr && pData != nullptr && m_hDragBitmap != nullptr) {
        OfferPicture(pData, m_hDragBitmap);
        ShowDragImage(pData, m_hDragBitmap);
        DWORD dwEffect = DROPEFFECT_NONE;
        ::DoDragDrop(pData, pSource, DROPEFFECT_COPY | DROPEFFECT_MOVE, &dwEffect);
    }
    if (pData != nullptr) pData->Release();
    if (pSource != nullptr) pSource->Release();
}

HWND CPaintManagerUI::GetTooltipWindow() const
{
    return m_hwndTooltip;
}

}  // namespace SkinUI
