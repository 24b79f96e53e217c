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
    if (m_hwndTooltip != NULL) ::DestroyWindow(m_hwndTooltip);
    ReleaseOffscreen();
    if (m_hDcPaint != NULL) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
    m_aPreMessages.Remove(m_aPreMessages.Find(this));
    if (m_hDragBitmap != NULL) ::DeleteObject(m_hDragBitmap);
}

void CPaintManagerUI::Init(HWND hWnd, LPCTSTR pstrName)
{
    ResetRegistry();
    ResetWindowResources();
    m_sName = pstrName != NULL ? pstrName : L"";
    if (m_hWndPaint != hWnd) {
        if (m_hDcPaint != NULL) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
        m_hWndPaint = hWnd;
        m_hDcPaint = ::GetDC(hWnd);
        if (m_aPreMessages.Find(this) < 0) m_aPreMessages.Add(this);
    }
    // Without OLE initialised the window simply accepts no drops.
    InitDragDrop();
}

// ---- Attaching the tree, focus and capture ---------------------------------

bool CPaintManagerUI::AttachDialog(CControlUI* pControl)
{
    m_shadow.Create(this);
    SetFocus(NULL);
    m_pEventKey = NULL;
    m_pEventHover = NULL;
    m_pEventClick = NULL;
    // Attaching the current root again re-registers it; it is not handed
    // to the clean-up that would delete it under the new (same) root.
    if (m_pRoot != NULL && m_pRoot != pControl) {
        m_aPostPaintControls.Empty();
        AddDelayedCleanup(m_pRoot);
    }
    m_pRoot = pControl;
    m_bUpdateNeeded = true;
    m_bFirstLayout = true;
    m_bFocusNeeded = true;
    return InitControls(pControl, NULL);
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

    if (m_pFocus != NULL) DropFocus(pControl);
    if (pControl == NULL) return;
    if (pControl->GetManager() == this && pControl->IsVisible() && pControl->IsEnabled()) {
        m_pFocus = pControl;
        SendFocusEvent(EVT_SETFOCUS, pControl);
        if (m_pFocus != NULL) SendNotify(m_pFocus, L"setfocus");
    }
}

void CPaintManagerUI::DropFocus(CControlUI* pNewFocus)
{
    SendFocusEvent(EVT_KILLFOCUS, pNewFocus);
    // The handler may have destroyed the old focus (ReapObjects clears it).
    if (m_pFocus != NULL) SendNotify(m_pFocus, L"killfocus");
    m_pFocus = NULL;
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
        return pInfo->bForward ? NULL : pInfo->pLast;
    }
    if ((pThis->GetControlFlags() & CONTROLFLAG_TABSTOP) == 0) return NULL;
    pInfo->pLast = pThis;
    if (pInfo->bNextIsIt || pInfo->pFocus == NULL) return pThis;
    return NULL;
}

} // namespace

void CPaintManagerUI::SetFocusNeeded(CControlUI* pControl)
{
    ::SetFocus(m_hWndPaint);
    if (pControl == NULL) return;
    if (m_pFocus != NULL) DropFocus(pControl);
    FindTabInfo info = {pControl, NULL, false, false};
    if (m_pRoot != NULL) {
        m_pFocus = m_pRoot->FindControl(FindControlFromTab, &info,
                                        FIND_VISIBLE | FIND_ENABLED | FIND_MEFIRST);
    }
    m_bFocusNeeded = true;
    if (m_pRoot != NULL) m_pRoot->NeedUpdate();
}

bool CPaintManagerUI::SetNextTabControl(bool bForward)
{
    if (m_bUpdateNeeded && bForward) {
        m_bFocusNeeded = true;
        ::InvalidateRect(m_hWndPaint, NULL, FALSE);
        return true;
    }
    if (m_pRoot == NULL) {
        m_bFocusNeeded = false;
        return true;
    }

    const UINT uFlags = FIND_VISIBLE | FIND_ENABLED | FIND_MEFIRST;
    FindTabInfo info1 = {m_pFocus, NULL, bForward, false};
    CControlUI* pControl = m_pRoot->FindControl(FindControlFromTab, &info1, uFlags);
    if (pControl == NULL) {
        if (bForward) {
            FindTabInfo info2 = {NULL, NULL, bForward, false};
            pControl = m_pRoot->FindControl(FindControlFromTab, &info2, uFlags);
        } else {
            pControl = info1.pLast;
        }
    }
    if (pControl != NULL) SetFocus(pControl);
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

} // namespace SkinUI
