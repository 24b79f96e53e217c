#include "skinui/core/PaintManager.h"

#include "skinui/control/Control.h"
#include "skinui/core/AccessibilityProvider.h"

namespace SkinUI {

CStdPtrArray CPaintManagerUI::m_aPreMessages;

CPaintManagerUI::CPaintManagerUI()
{
    InitResources();
    CShadowUI::Initialize(m_hInstance);
}

CPaintManagerUI::~CPaintManagerUI()
{
    // Before the tree goes: clients lose their objects at once, not one
    // control at a time.
    delete m_pAccessibility;
    m_pAccessibility = nullptr;
    TermRegistry();
    TermResources();
    if (m_hwndTooltip != nullptr) ::DestroyWindow(m_hwndTooltip);
    ReleaseOffscreen();
    if (m_hDcPaint != nullptr) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
    m_aPreMessages.Remove(m_aPreMessages.Find(this));
    if (m_hDragBitmap != nullptr) ::DeleteObject(m_hDragBitmap);
}

void CPaintManagerUI::Init(HWND hWnd, LPCTSTR pstrName)
{
    ResetRegistry();
    ResetWindowResources();
    m_sName = pstrName != nullptr ? pstrName : L"";
    if (m_hWndPaint != hWnd) {
        if (m_hDcPaint != nullptr) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
        m_hWndPaint = hWnd;
        m_hDcPaint = ::GetDC(hWnd);
        if (m_aPreMessages.Find(this) < 0) m_aPreMessages.Add(this);
    }
    // The window becomes a drop target in the flush after its first paint:
    // registering sets up OLE's marshalling, which costs about as much as
    // the rest of the first frame, and a window not yet shown takes no
    // drops. Without OLE initialised the window simply accepts no drops.
    m_bDropTargetPending = true;
    // Keyboard cues start hidden, as a window the user has only reached
    // with the mouse shows them; the window's own copy of the state says the
    // same.
    m_bFocusCueHidden = true;
    ::SendMessageW(hWnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
}

// ---- Attaching the tree, focus and capture ---------------------------------

bool CPaintManagerUI::AttachDialog(CControlUI* pControl)
{
    m_shadow.Create(this);
    SetFocus(nullptr);
    m_pEventKey = nullptr;
    m_pEventHover = nullptr;
    m_pEventClick = nullptr;
    // Attaching the current root again re-registers it; it is not handed
    // to the clean-up that would delete it under the new (same) root.
    if (m_pRoot != nullptr && m_pRoot != pControl) {
        m_aPostPaintControls.Empty();
        AddDelayedCleanup(m_pRoot);
    }
    m_pRoot = pControl;
    m_bUpdateNeeded = true;
    m_bFirstLayout = true;
    m_bFocusNeeded = true;
    return InitControls(pControl, nullptr);
}

CControlUI* CPaintManagerUI::GetFocus() const
{
    return m_pFocus;
}

void CPaintManagerUI::SetFocus(CControlUI* pControl)
{
    HWND hFocusWnd = ::GetFocus();
    if (hFocusWnd != m_hWndPaint && pControl != m_pFocus) ::SetFocus(m_hWndPaint);
    if (pControl == m_pFocus) return;

    if (m_pFocus != nullptr) DropFocus(pControl);
    if (pControl == nullptr) return;
    if (pControl->GetManager() == this && pControl->IsVisible() && pControl->IsEnabled()) {
        SetFocusControl(pControl);
        SendFocusEvent(EVT_SETFOCUS, pControl);
        if (m_pFocus != nullptr) SendNotify(m_pFocus, L"setfocus");
    }
}

void CPaintManagerUI::DropFocus(CControlUI* pNewFocus)
{
    SendFocusEvent(EVT_KILLFOCUS, pNewFocus);
    // The handler may have destroyed the old focus (ReapObjects clears it).
    if (m_pFocus != nullptr) SendNotify(m_pFocus, L"killfocus");
    SetFocusControl(nullptr);
}

void CPaintManagerUI::SetFocusControl(CControlUI* pControl)
{
    if (pControl == m_pFocus) return;
    CControlUI* pOld = m_pFocus;
    InvalidateFocusCue();
    m_pFocus = pControl;
    InvalidateFocusCue();
    if (pOld != nullptr) ControlChanged(pOld, CHANGE_FOCUS);
    if (pControl != nullptr) ControlChanged(pControl, CHANGE_FOCUS);
}

namespace {

// One walk over the whole tree in Tab order: the last tab stop before
// pFrom and the first after it. With pFrom null every stop counts as
// "after" (the first one ends the walk) unless bLast asks for the last.
struct TabWalk
{
    const CPaintManagerUI* pManager;
    CControlUI* pFrom;
    bool bSeen;
    CControlUI* pBefore;
    CControlUI* pAfter;
};

CControlUI* WalkTabStops(CControlUI* pThis, LPVOID pData)
{
    TabWalk* pWalk = static_cast<TabWalk*>(pData);
    if (pThis == pWalk->pFrom) {
        pWalk->bSeen = true;
        return nullptr;
    }
    if (!pWalk->pManager->IsTabStop(pThis)) return nullptr;
    if (pWalk->bSeen) {
        pWalk->pAfter = pThis;
        return pThis;
    }
    pWalk->pBefore = pThis;
    return nullptr;
}

ITabStopsUI* TabStopsOf(CControlUI* pControl)
{
    return pControl != nullptr ? static_cast<ITabStopsUI*>(pControl->GetInterface(L"TabStops")) : nullptr;
}

bool Contains(const CControlUI* pAncestor, const CControlUI* pControl)
{
    for (const CControlUI* p = pControl; p != nullptr; p = p->GetParent())
        if (p == pAncestor) return true;
    return false;
}

}  // namespace

bool CPaintManagerUI::IsTabStop(CControlUI* pControl) const
{
    if (pControl == nullptr || pControl->GetManager() != this) return false;
    if ((pControl->GetControlFlags() & CONTROLFLAG_TABSTOP) == 0) return false;
    for (CControlUI* p = pControl; p != nullptr; p = p->GetParent())
        if (!p->IsVisible() || !p->IsEnabled()) return false;
    // Before the first layout nothing covers anything.
    const RECT& rc = pControl->GetPos();
    if (::IsRectEmpty(&rc)) return true;
    POINT pt = {rc.left + (rc.right - rc.left) / 2, rc.top + (rc.bottom - rc.top) / 2};
    CControlUI* pHit = FindControl(pt);
    // Nothing takes the mouse there, or the control itself, one of its
    // children or one of its parents does (then it does not take the mouse
    // itself): nothing covers it.
    return pHit == nullptr || Contains(pControl, pHit) || Contains(pHit, pControl);
}

CControlUI* CPaintManagerUI::FindNextTabStop(CControlUI* pFrom, bool bForward) const
{
    if (m_pRoot == nullptr) return nullptr;
    // The walk ends at the first stop after pFrom, so pBefore is the stop
    // just before pFrom, or without pFrom the last one.
    TabWalk walk = {this, pFrom, pFrom == nullptr && bForward, nullptr, nullptr};
    m_pRoot->FindControl(WalkTabStops, &walk, FIND_MEFIRST);
    if (bForward) return walk.pAfter;
    return pFrom == nullptr || walk.bSeen ? walk.pBefore : nullptr;
}

void CPaintManagerUI::SetFocusNeeded(CControlUI* pControl)
{
    ::SetFocus(m_hWndPaint);
    if (pControl == nullptr) return;
    if (m_pFocus != nullptr) DropFocus(pControl);
    // The stop before the control; the next paint moves on to it.
    SetFocusControl(FindNextTabStop(pControl, false));
    m_bFocusNeeded = true;
    if (m_pRoot != nullptr) m_pRoot->NeedUpdate();
}

bool CPaintManagerUI::SetNextTabControl(bool bForward)
{
    if (m_bUpdateNeeded && bForward) {
        m_bFocusNeeded = true;
        ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
        return true;
    }
    if (m_pRoot == nullptr) {
        m_bFocusNeeded = false;
        return true;
    }

    // First through the stops inside the focused control.
    ITabStopsUI* pStops = TabStopsOf(m_pFocus);
    if (pStops != nullptr) {
        const int iStop = pStops->GetFocusedTabStop();
        const int iNext = bForward ? iStop + 1 : iStop - 1;
        if (iStop >= 0 && iNext >= 0 && iNext < pStops->GetTabStopCount()) {
            InvalidateFocusCue();
            pStops->SetFocusedTabStop(iNext);
            InvalidateFocusCue();
            ControlChanged(m_pFocus, CHANGE_FOCUS);
            m_bFocusNeeded = false;
            return true;
        }
    }

    // Then the next control, wrapping around at either end; without a focus
    // both directions start at the first stop.
    CControlUI* pControl =
        m_pFocus == nullptr ? FindNextTabStop(nullptr, true) : FindNextTabStop(m_pFocus, bForward);
    if (pControl == nullptr) pControl = FindNextTabStop(nullptr, bForward);
    if (pControl != nullptr) {
        ITabStopsUI* pNewStops = TabStopsOf(pControl);
        if (pNewStops != nullptr) {
            InvalidateFocusCue();
            pNewStops->SetFocusedTabStop(bForward ? 0 : pNewStops->GetTabStopCount() - 1);
        }
        if (pControl == m_pFocus) {
            // The only control with stops: it wrapped around inside.
            InvalidateFocusCue();
            ControlChanged(m_pFocus, CHANGE_FOCUS);
        } else {
            SetFocus(pControl);
        }
    }
    m_bFocusNeeded = false;
    return true;
}

void CPaintManagerUI::SetCapture()
{
    ::SetCapture(m_hWndPaint);
    m_bMouseCapture = true;
}

void CPaintManagerUI::ReleaseCapture()
{
    ::ReleaseCapture();
    m_bMouseCapture = false;
}

bool CPaintManagerUI::IsCaptured() const
{
    return m_bMouseCapture;
}

POINT CPaintManagerUI::GetMousePos() const
{
    return m_ptLastMousePos;
}

}  // namespace SkinUI
