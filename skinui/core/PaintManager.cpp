#include "skinui/core/PaintManager.h"

#include "skinui/control/Control.h"

namespace SkinUI {

CStdPtrArray CPaintManagerUI::m_aPreMessages;

CPaintManagerUI::CPaintManagerUI()
{
    InitResources();
    CShadowUI::Initialize(m_hInstance);
}

CPaintManagerUI::~CPaintManagerUI()
{
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
        m_pFocus = pControl;
        SendFocusEvent(EVT_SETFOCUS, pControl);
        if (m_pFocus != nullptr) SendNotify(m_pFocus, L"setfocus");
    }
}

void CPaintManagerUI::DropFocus(CControlUI* pNewFocus)
{
    SendFocusEvent(EVT_KILLFOCUS, pNewFocus);
    // The handler may have destroyed the old focus (ReapObjects clears it).
    if (m_pFocus != nullptr) SendNotify(m_pFocus, L"killfocus");
    m_pFocus = nullptr;
}

namespace {

struct FindTabInfo
{
    CControlUI* pFocus;
    CControlUI* pLast;
    bool bForward;
    bool bNextIsIt;
};

CControlUI* FindControlFromTab(CControlUI* pThis, LPVOID pData)
{
    FindTabInfo* pInfo = static_cast<FindTabInfo*>(pData);
    if (pInfo->pFocus == pThis) {
        if (pInfo->bForward) pInfo->bNextIsIt = true;
        return pInfo->bForward ? nullptr : pInfo->pLast;
    }
    if ((pThis->GetControlFlags() & CONTROLFLAG_TABSTOP) == 0) return nullptr;
    pInfo->pLast = pThis;
    if (pInfo->bNextIsIt || pInfo->pFocus == nullptr) return pThis;
    return nullptr;
}

}  // namespace

void CPaintManagerUI::SetFocusNeeded(CControlUI* pControl)
{
    ::SetFocus(m_hWndPaint);
    if (pControl == nullptr) return;
    if (m_pFocus != nullptr) DropFocus(pControl);
    FindTabInfo info = {pControl, nullptr, false, false};
    if (m_pRoot != nullptr) {
        m_pFocus =
            m_pRoot->FindControl(FindControlFromTab, &info, FIND_VISIBLE | FIND_ENABLED | FIND_MEFIRST);
    }
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

    const UINT uFlags = FIND_VISIBLE | FIND_ENABLED | FIND_MEFIRST;
    FindTabInfo info1 = {m_pFocus, nullptr, bForward, false};
    CControlUI* pControl = m_pRoot->FindControl(FindControlFromTab, &info1, uFlags);
    if (pControl == nullptr) {
        if (bForward) {
            FindTabInfo info2 = {nullptr, nullptr, bForward, false};
            pControl = m_pRoot->FindControl(FindControlFromTab, &info2, uFlags);
        } else {
            pControl = info1.pLast;
        }
    }
    if (pControl != nullptr) SetFocus(pControl);
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
