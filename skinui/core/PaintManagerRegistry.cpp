#include "skinui/core/PaintManager.h"

#include "skinui/control/Control.h"

#include <wchar.h>

// Sections: Init and destruction; attaching and forgetting controls; timers;
// notifications and the flush; searches.

namespace SkinUI {

// ---- Init and destruction -------------------------------------------------

void CPaintManagerUI::ResetRegistry()
{
    m_mNameHash.Resize(83);
    RemoveAllTimers();
}

void CPaintManagerUI::TermRegistry()
{
    for (int i = 0; i < m_aDelayedCleanup.GetSize(); i++) {
        delete static_cast<CControlUI*>(m_aDelayedCleanup.GetAt(i));
    }
    m_aDelayedCleanup.Empty();
    for (int i = 0; i < m_aAsyncNotify.GetSize(); i++) {
        delete static_cast<TNotifyUI*>(m_aAsyncNotify.GetAt(i));
    }
    m_aAsyncNotify.Empty();
    m_mNameHash.Resize(0);
    CControlUI* pRoot = m_pRoot;
    m_pRoot = nullptr;
    delete pRoot;
    RemoveAllTimers();
}

// ---- Attaching and forgetting controls --------------------------------------

namespace {

struct NameMapping
{
    CStdStringPtrMap* pNameHash;
};

CControlUI* RegisterName(CControlUI* pThis, LPVOID pData)
{
    CStdStringPtrMap* pNameHash = static_cast<NameMapping*>(pData)->pNameHash;
    const CUIString sName = pThis->GetName();
    if (!sName.IsEmpty()) pNameHash->Set(sName, pThis);
    return nullptr;
}

}  // namespace

bool CPaintManagerUI::InitControls(CControlUI* pControl, CControlUI* pParent)
{
    if (pControl == nullptr) return false;
    pControl->SetManager(this, pParent != nullptr ? pParent : pControl->GetParent(), true);
    NameMapping mapping = {&m_mNameHash};
    pControl->FindControl(RegisterName, &mapping, 0);
    return true;
}

void CPaintManagerUI::ReapObjects(CControlUI* pControl)
{
    if (pControl == nullptr) return;
    if (pControl == m_pEventKey) m_pEventKey = nullptr;
    if (pControl == m_pEventHover) m_pEventHover = nullptr;
    if (pControl == m_pEventClick) m_pEventClick = nullptr;
    // The control heard CHANGE_DESTROYED already: the focus goes quietly.
    if (pControl == m_pFocus) m_pFocus = nullptr;
    if (pControl == m_pRoot) m_pRoot = nullptr;
    KillTimer(pControl);
    const CUIString sName = pControl->GetName();
    if (!sName.IsEmpty() && m_mNameHash.Find(sName) == pControl) m_mNameHash.Remove(sName);
    for (int i = 0; i < m_aAsyncNotify.GetSize(); i++) {
        TNotifyUI* pMsg = static_cast<TNotifyUI*>(m_aAsyncNotify.GetAt(i));
        if (pMsg->sender == pControl) pMsg->sender = nullptr;
    }
    m_aPostPaintControls.Remove(m_aPostPaintControls.Find(pControl));
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* pControl)
{
    if (pControl == nullptr) return;
    pControl->SetManager(this, nullptr, false);
    // Listed once, deleted once.
    if (m_aDelayedCleanup.Find(pControl) >= 0) return;
    m_aDelayedCleanup.Add(pControl);
    PostFlush();
}

// ---- Timers -------------------------------------------------------------------

bool CPaintManagerUI::SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse)
{
    // Without a window ::SetTimer would make a thread timer of another id.
    if (pControl == nullptr || m_hWndPaint == nullptr) return false;
    for (int i = 0; i < m_aTimers.GetSize(); i++) {
        TimerRecord* pTimer = static_cast<TimerRecord*>(m_aTimers.GetAt(i));
        if (pTimer->pSender == pControl && pTimer->hWnd == m_hWndPaint && pTimer->nLocalID == nTimerID) {
            if (!pTimer->bKilled) return false;
            if (::SetTimer(m_hWndPaint, pTimer->uWinTimer, uElapse, nullptr) == 0) return false;
            pTimer->bKilled = false;
            return true;
        }
    }

    // Native ids cycle through 0..239 so that they stay clear of the ids the
    // window itself uses (the caret timer is 0x1999).
    m_uTimerID = (m_uTimerID + 1) % 0xF0;
    if (::SetTimer(m_hWndPaint, m_uTimerID, uElapse, nullptr) == 0) return false;
    TimerRecord* pTimer = new TimerRecord;
    pTimer->pSender = pControl;
    pTimer->nLocalID = nTimerID;
    pTimer->hWnd = m_hWndPaint;
    pTimer->uWinTimer = m_uTimerID;
    pTimer->bKilled = false;
    if (m_aTimers.Add(pTimer)) return true;
    ::KillTimer(m_hWndPaint, pTimer->uWinTimer);
    delete pTimer;
    return false;
}

bool CPaintManagerUI::KillTimer(CControlUI* pControl, UINT nTimerID)
{
    for (int i = 0; i < m_aTimers.GetSize(); i++) {
        TimerRecord* pTimer = static_cast<TimerRecord*>(m_aTimers.GetAt(i));
        if (pTimer->pSender == pControl && pTimer->hWnd == m_hWndPaint && pTimer->nLocalID == nTimerID &&
            !pTimer->bKilled) {
            if (::IsWindow(m_hWndPaint)) ::KillTimer(pTimer->hWnd, pTimer->uWinTimer);
            pTimer->bKilled = true;
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::KillTimer(CControlUI* pControl)
{
    int i = 0;
    while (i < m_aTimers.GetSize()) {
        TimerRecord* pTimer = static_cast<TimerRecord*>(m_aTimers.GetAt(i));
        if (pTimer->pSender == pControl && pTimer->hWnd == m_hWndPaint) {
            if (!pTimer->bKilled && ::IsWindow(m_hWndPaint)) {
                ::KillTimer(pTimer->hWnd, pTimer->uWinTimer);
            }
            delete pTimer;
            m_aTimers.Remove(i);
        } else {
            i++;
        }
    }
}

void CPaintManagerUI::RemoveAllTimers()
{
    // Records of another window (a manager bound anew by Init) are freed
    // too: their window no longer belongs to this manager.
    for (int i = 0; i < m_aTimers.GetSize(); i++) {
        TimerRecord* pTimer = static_cast<TimerRecord*>(m_aTimers.GetAt(i));
        if (pTimer->hWnd == m_hWndPaint && !pTimer->bKilled && ::IsWindow(m_hWndPaint)) {
            ::KillTimer(pTimer->hWnd, pTimer->uWinTimer);
        }
        delete pTimer;
    }
    m_aTimers.Empty();
}

const TimerRecord* CPaintManagerUI::FindTimer(UINT uWinTimer) const
{
    for (int i = 0; i < m_aTimers.GetSize(); i++) {
        const TimerRecord* pTimer = static_cast<const TimerRecord*>(m_aTimers.GetAt(i));
        if (pTimer->hWnd == m_hWndPaint && pTimer->uWinTimer == uWinTimer && !pTimer->bKilled) {
            return pTimer;
        }
    }
    return nullptr;
}

// ---- Notifications and the flush ------------------------------------------------

void CPaintManagerUI::SendNotify(CControlUI* pControl, LPCTSTR pstrMessage, WPARAM wParam, LPARAM lParam,
                                 bool bAsync)
{
    TNotifyUI Msg;
    Msg.type = pstrMessage != nullptr ? pstrMessage : L"";
    Msg.sender = pControl;
    Msg.timestamp = 0;
    Msg.mousePos.x = 0;
    Msg.mousePos.y = 0;
    Msg.wParam = wParam;
    Msg.lParam = lParam;
    SendNotify(Msg, bAsync);
}

void CPaintManagerUI::SendNotify(TNotifyUI& Msg, bool bAsync)
{
    Msg.mousePos = m_ptLastMousePos;
    Msg.timestamp = ::GetTickCount();
    if (m_bUsedVirtualWnd && Msg.sender != nullptr) Msg.virtualWnd = Msg.sender->GetVirtualWnd();

    if (!bAsync) {
        if (Msg.sender != nullptr && Msg.sender->OnNotify) Msg.sender->OnNotify(&Msg);
        // A notifier may remove itself (or others) while it is called; the
        // walk goes on with whatever then stands at the next index.
        for (int i = 0; i < m_aNotifiers.GetSize(); i++) {
            static_cast<INotifyUI*>(m_aNotifiers.GetAt(i))->Notify(Msg);
        }
        return;
    }

    TNotifyUI* pMsg = new TNotifyUI;
    pMsg->type = Msg.type;
    pMsg->virtualWnd = Msg.virtualWnd;
    pMsg->sender = Msg.sender;
    pMsg->timestamp = Msg.timestamp;
    pMsg->mousePos = Msg.mousePos;
    pMsg->wParam = Msg.wParam;
    pMsg->lParam = Msg.lParam;
    if (!m_aAsyncNotify.Add(pMsg)) {
        delete pMsg;
        return;
    }
    PostFlush();
}

// A manager without a window keeps what it queued until it is destroyed; a
// post to a null window would land in the thread's queue instead.
void CPaintManagerUI::PostFlush()
{
    if (m_hWndPaint != nullptr) ::PostMessageW(m_hWndPaint, WM_ASYNC_FLUSH, 0, 0);
}

bool CPaintManagerUI::AddNotifier(INotifyUI* pNotifier)
{
    return m_aNotifiers.Add(pNotifier);
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* pNotifier)
{
    int iIndex = m_aNotifiers.Find(pNotifier);
    if (iIndex < 0) return false;
    return m_aNotifiers.Remove(iIndex);
}

bool CPaintManagerUI::AddControlObserver(IControlObserverUI* pObserver)
{
    if (pObserver == nullptr || m_aControlObservers.Find(pObserver) >= 0) return false;
    return m_aControlObservers.Add(pObserver);
}

bool CPaintManagerUI::RemoveControlObserver(IControlObserverUI* pObserver)
{
    int iIndex = m_aControlObservers.Find(pObserver);
    if (iIndex < 0) return false;
    return m_aControlObservers.Remove(iIndex);
}

void CPaintManagerUI::ControlChanged(CControlUI* pControl, int change)
{
    for (int i = 0; i < m_aControlObservers.GetSize(); i++)
        static_cast<IControlObserverUI*>(m_aControlObservers[i])->OnControlChanged(pControl, change);
}

void CPaintManagerUI::UsedVirtualWnd(bool bUsed)
{
    m_bUsedVirtualWnd = bUsed;
}

void CPaintManagerUI::OnAsyncFlush()
{
    if (m_bDropTargetPending) {
        m_bDropTargetPending = false;
        InitDragDrop();
    }
    // Destroying a control may add others to the list (a container removing
    // its children with delayed destroy): take the list apart one by one.
    while (!m_aDelayedCleanup.IsEmpty()) {
        CControlUI* pControl = static_cast<CControlUI*>(m_aDelayedCleanup.GetAt(0));
        m_aDelayedCleanup.Remove(0);
        delete pControl;
    }

    while (!m_aAsyncNotify.IsEmpty()) {
        TNotifyUI* pMsg = static_cast<TNotifyUI*>(m_aAsyncNotify.GetAt(0));
        m_aAsyncNotify.Remove(0);
        if (pMsg->sender != nullptr && pMsg->sender->OnNotify) pMsg->sender->OnNotify(pMsg);
        for (int i = 0; i < m_aNotifiers.GetSize(); i++) {
            static_cast<INotifyUI*>(m_aNotifiers.GetAt(i))->Notify(*pMsg);
        }
        delete pMsg;
    }
}

// ---- Searches -----------------------------------------------------------------

namespace {

CControlUI* FindControlFromPoint(CControlUI* pThis, LPVOID pData)
{
    LPPOINT pPoint = static_cast<LPPOINT>(pData);
    return ::PtInRect(&pThis->GetPos(), *pPoint) ? pThis : nullptr;
}

CControlUI* FindControlFromName(CControlUI* pThis, LPVOID pData)
{
    LPCTSTR pstrName = static_cast<LPCTSTR>(pData);
    const CUIString sName = pThis->GetName();
    if (sName.IsEmpty()) return nullptr;
    return _wcsicmp(sName, pstrName) == 0 ? pThis : nullptr;
}

struct ClassSearch
{
    LPCTSTR pstrClass;
    CStdPtrArray* pFound;
};

bool ClassMatches(CControlUI* pThis, LPCTSTR pstrClass)
{
    return wcscmp(pstrClass, L"*") == 0 || wcscmp(pThis->GetClass(), pstrClass) == 0;
}

// Fills the first empty slot of the found list; the control that fills the
// last slot ends the search.
CControlUI* FindControlFromClass(CControlUI* pThis, LPVOID pData)
{
    ClassSearch* pSearch = static_cast<ClassSearch*>(pData);
    if (!ClassMatches(pThis, pSearch->pstrClass)) return nullptr;
    CStdPtrArray* pFound = pSearch->pFound;
    int iIndex = -1;
    while (pFound->GetAt(++iIndex) != nullptr) {}
    if (iIndex >= pFound->GetSize()) return nullptr;
    pFound->SetAt(iIndex, pThis);
    return iIndex == pFound->GetSize() - 1 ? pThis : nullptr;
}

CControlUI* FindControlsFromClass(CControlUI* pThis, LPVOID pData)
{
    ClassSearch* pSearch = static_cast<ClassSearch*>(pData);
    if (ClassMatches(pThis, pSearch->pstrClass)) pSearch->pFound->Add(pThis);
    return nullptr;
}

}  // namespace

CControlUI* CPaintManagerUI::FindControl(POINT pt) const
{
    if (m_pRoot == nullptr) return nullptr;
    return m_pRoot->FindControl(FindControlFromPoint, &pt, FIND_VISIBLE | FIND_HITTEST | FIND_TOPFIRST);
}

CControlUI* CPaintManagerUI::FindControl(LPCTSTR pstrName) const
{
    if (pstrName == nullptr) return nullptr;
    return static_cast<CControlUI*>(m_mNameHash.Find(pstrName));
}

CControlUI* CPaintManagerUI::FindSubControlByPoint(CControlUI* pParent, POINT pt) const
{
    if (pParent == nullptr) pParent = m_pRoot;
    if (pParent == nullptr) return nullptr;
    return pParent->FindControl(FindControlFromPoint, &pt, FIND_VISIBLE | FIND_HITTEST | FIND_TOPFIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* pParent, LPCTSTR pstrName) const
{
    if (pParent == nullptr) pParent = m_pRoot;
    if (pParent == nullptr || pstrName == nullptr) return nullptr;
    return pParent->FindControl(FindControlFromName, const_cast<LPTSTR>(pstrName), 0);
}

CControlUI* CPaintManagerUI::FindSubControlByClass(CControlUI* pParent, LPCTSTR pstrClass, int iIndex)
{
    if (pParent == nullptr) pParent = m_pRoot;
    if (pParent == nullptr || pstrClass == nullptr || iIndex < 0) return nullptr;
    m_aFoundControls.Resize(iIndex + 1);
    if (m_aFoundControls.GetSize() != iIndex + 1) return nullptr;
    ClassSearch search = {pstrClass, &m_aFoundControls};
    return pParent->FindControl(FindControlFromClass, &search, 0);
}

CStdPtrArray* CPaintManagerUI::FindSubControlsByClass(CControlUI* pParent, LPCTSTR pstrClass)
{
    m_aFoundControls.Empty();
    if (pParent == nullptr) pParent = m_pRoot;
    if (pParent == nullptr || pstrClass == nullptr) return &m_aFoundControls;
    ClassSearch search = {pstrClass, &m_aFoundControls};
    pParent->FindControl(FindControlsFromClass, &search, 0);
    return &m_aFoundControls;
}

CStdPtrArray* CPaintManagerUI::GetFoundControls()
{
    return &m_aFoundControls;
}

CPaintManagerUI* CPaintManagerUI::GetPaintManager(LPCTSTR pstrName)
{
    if (pstrName == nullptr || pstrName[0] == L'\0') return nullptr;
    for (int i = 0; i < m_aPreMessages.GetSize(); i++) {
        CPaintManagerUI* pManager = static_cast<CPaintManagerUI*>(m_aPreMessages.GetAt(i));
        if (pManager != nullptr && pManager->GetName() == pstrName) return pManager;
    }
    return nullptr;
}

}  // namespace SkinUI
