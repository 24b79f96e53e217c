#include "skinui/accessibility/AccessibilityTree.h"

#include "skinui/control/Button.h"
#include "skinui/control/Control.h"
#include "skinui/control/Text.h"
#include "skinui/accessibility/AccessibleObject.h"

#include <oleacc.h>

#include <new>

// Sections: lifetime; the window's side; ids and objects; events.

namespace SkinUI {

namespace {

// Change 0: the control is seen for the first time.
CControlUI* SnapshotControl(CControlUI* pControl, LPVOID pData)
{
    static_cast<CAccessibilityTreeUI*>(pData)->OnControlChanged(pControl, 0);
    return nullptr;
}

}  // namespace

// ---- Lifetime ------------------------------------------------------------------

CAccessibilityTreeUI::CAccessibilityTreeUI(CPaintManagerUI* pManager) : m_pManager(pManager)
{
    m_pManager->AddControlObserver(this);
    // What every control shows now, so that the first change of each is told
    // from what stays the same.
    if (m_pManager->GetRoot() != nullptr) m_pManager->GetRoot()->FindControl(SnapshotControl, this, 0);
}

CAccessibilityTreeUI::~CAccessibilityTreeUI()
{
    m_pManager->RemoveControlObserver(this);
    for (auto& item : m_entries) Disconnect(item.second.pAccessible);
    m_entries.clear();
    m_ids.clear();
    Disconnect(m_pClient);
    m_pClient = nullptr;
}

void CAccessibilityTreeUI::Disconnect(CAccessibleObjectUI* pAccessible)
{
    if (pAccessible == nullptr) return;
    pAccessible->Detach();
    // Stubs of other apartments and processes let go of it: their clients
    // get an RPC error instead of calls into a dead tree.
    ::CoDisconnectObject(static_cast<IAccessible*>(pAccessible), 0);
    pAccessible->Release();
}

// ---- The window's side -----------------------------------------------------------

LRESULT CAccessibilityTreeUI::GetClientObjectResult(WPARAM wParam)
{
    if (m_pClient == nullptr) {
        m_pClient = new (std::nothrow) CAccessibleObjectUI(this, nullptr);
        if (m_pClient == nullptr) return 0;
    }
    return ::LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(m_pClient));
}

void CAccessibilityTreeUI::OnWindowFocus()
{
    TAccessibleTarget target = {};
    if (GetFocusTarget(target)) Fire(EVENT_OBJECT_FOCUS, target);
}

void CAccessibilityTreeUI::OnPostedAction(WPARAM wParam)
{
    TAccessibleTarget target = {};
    if (!FindById(static_cast<LONG>(wParam), target) || target.pControl == nullptr) return;
    // It may have been hidden or disabled since the action was asked for.
    if (!IsShown(target.pControl) || !IsEnabledAll(target.pControl)) return;
    if (target.iLink >= 0) {
        CTextUI* pText = static_cast<CTextUI*>(target.pControl->GetInterface(L"Text"));
        if (pText != nullptr) pText->ActivateLink(target.iLink);
        return;
    }
    if (target.pControl->GetInterface(L"Button") != nullptr) target.pControl->Activate();
}

HWND CAccessibilityTreeUI::GetWindow() const
{
    return m_pManager->GetPaintWindow();
}

// ---- Ids and objects ---------------------------------------------------------------

CAccessibilityTreeUI::TControlEntry& CAccessibilityTreeUI::Entry(CControlUI* pControl, bool& bNew)
{
    auto found = m_entries.find(pControl);
    bNew = found == m_entries.end();
    if (!bNew) return found->second;
    TControlEntry& entry = m_entries[pControl];
    Snapshot(pControl, entry);
    return entry;
}

void CAccessibilityTreeUI::Snapshot(CControlUI* pControl, TControlEntry& entry) const
{
    entry.bExposed = IsExposed(pControl);
    entry.sName = NameOf(pControl, !pControl->IsEnabled(), nullptr);
    entry.nPercent = PercentOf(pControl);
    CButtonUI* pButton = static_cast<CButtonUI*>(pControl->GetInterface(L"Button"));
    entry.bPushed = pButton != nullptr && (pButton->GetButtonState() & STATE_PUSHED) != 0;
}

void CAccessibilityTreeUI::Forget(CControlUI* pControl)
{
    auto found = m_entries.find(pControl);
    if (found == m_entries.end()) return;
    if (found->second.nId != 0) m_ids.erase(found->second.nId);
    for (LONG nId : found->second.linkIds)
        if (nId != 0) m_ids.erase(nId);
    CAccessibleObjectUI* pAccessible = found->second.pAccessible;
    m_entries.erase(found);
    Disconnect(pAccessible);
}

CAccessibleObjectUI* CAccessibilityTreeUI::GetAccessible(CControlUI* pControl)
{
    CAccessibleObjectUI** ppAccessible = &m_pClient;
    if (pControl != nullptr) {
        bool bNew = false;
        ppAccessible = &Entry(pControl, bNew).pAccessible;
    }
    if (*ppAccessible == nullptr) {
        *ppAccessible = new (std::nothrow) CAccessibleObjectUI(this, pControl);
        if (*ppAccessible == nullptr) return nullptr;
    }
    (*ppAccessible)->AddRef();
    return *ppAccessible;
}

LONG CAccessibilityTreeUI::GetId(const TAccessibleTarget& target)
{
    if (target.pControl == nullptr) return CHILDID_SELF;
    bool bNew = false;
    TControlEntry& entry = Entry(target.pControl, bNew);
    LONG* pnId = &entry.nId;
    if (target.iLink >= 0) {
        if (entry.linkIds.size() <= static_cast<size_t>(target.iLink))
            entry.linkIds.resize(static_cast<size_t>(target.iLink) + 1, 0);
        pnId = &entry.linkIds[static_cast<size_t>(target.iLink)];
    }
    if (*pnId == 0) {
        // Ids only grow: an id seen once never names another object. Two
        // billion objects outlast any window.
        *pnId = m_nNextId++;
        m_ids[*pnId] = target;
    }
    return *pnId;
}

bool CAccessibilityTreeUI::FindById(LONG nId, TAccessibleTarget& target)
{
    auto found = m_ids.find(nId);
    if (found == m_ids.end() || !IsValid(found->second)) return false;
    target = found->second;
    return true;
}

HRESULT CAccessibilityTreeUI::DoDefaultAction(const TAccessibleTarget& target)
{
    if (GetDefaultAction(target).IsEmpty()) return DISP_E_MEMBERNOTFOUND;
    if (!IsShown(target.pControl) || !IsEnabledAll(target.pControl)) return E_FAIL;
    // The action runs from the window's own queue, as a key press would,
    // after the client's call has returned.
    const LONG nId = GetId(target);
    if (!::PostMessageW(GetWindow(), WM_ACCESSIBLE_ACTION, static_cast<WPARAM>(nId), 0)) return E_FAIL;
    return S_OK;
}

// ---- Events ------------------------------------------------------------------------

void CAccessibilityTreeUI::Fire(DWORD dwEvent, const TAccessibleTarget& target)
{
    const LONG nChild = target.pControl == nullptr ? CHILDID_SELF : -GetId(target);
    ::NotifyWinEvent(dwEvent, GetWindow(), OBJID_CLIENT, nChild);
}

// Change 0 only takes the control's snapshot.
void CAccessibilityTreeUI::OnControlChanged(CControlUI* pControl, int change)
{
    if (change == CHANGE_DESTROYED) {
        // Only the base part is left: nothing of it is read.
        Forget(pControl);
        return;
    }
    if (!IsValid(TAccessibleTarget{pControl, -1})) return;
    bool bNew = false;
    TControlEntry& entry = Entry(pControl, bNew);
    if (change == 0) return;
    const TAccessibleTarget self = {pControl, -1};
    const bool bWasExposed = entry.bExposed;
    entry.bExposed = IsExposed(pControl);
    const bool bShown = IsShown(pControl);
    switch (change) {
    case CHANGE_FOCUS: {
        // A control whose Tab stops are its parts reports again once one of
        // them has the focus.
        const ITabStopsUI* pStops = static_cast<ITabStopsUI*>(pControl->GetInterface(L"TabStops"));
        if (pStops != nullptr && pStops->GetTabStopCount() > 0 && pStops->GetFocusedTabStop() < 0) break;
        TAccessibleTarget focus = {};
        if (m_pManager->GetFocus() == pControl && GetFocusTarget(focus)) Fire(EVENT_OBJECT_FOCUS, focus);
        break;
    }
    case CHANGE_VISIBLE: {
        CControlUI* pParent = pControl->GetParent();
        // Inside a hidden parent nothing was or becomes visible.
        if (pParent != nullptr && !IsShown(pParent)) break;
        if (entry.bExposed) Fire(bShown ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE, self);
        Fire(EVENT_OBJECT_REORDER, GetParent(self));
        break;
    }
    case CHANGE_ENABLED:
    case CHANGE_TEXT:
    case CHANGE_NAME: {
        const CUIString sName = NameOf(pControl, !pControl->IsEnabled(), nullptr);
        const bool bNameChanged = bNew || sName != entry.sName;
        entry.sName = sName;
        if (!bShown) break;
        if (entry.bExposed != bWasExposed && !bNew) {
            Fire(EVENT_OBJECT_REORDER, GetParent(self));
            break;
        }
        if (!entry.bExposed) break;
        if (change == CHANGE_ENABLED) Fire(EVENT_OBJECT_STATECHANGE, self);
        if (bNameChanged) Fire(EVENT_OBJECT_NAMECHANGE, self);
        break;
    }
    case CHANGE_VALUE: {
        const int nPercent = PercentOf(pControl);
        if (nPercent == entry.nPercent && !bNew) break;
        entry.nPercent = nPercent;
        if (bShown && entry.bExposed) Fire(EVENT_OBJECT_VALUECHANGE, self);
        break;
    }
    case CHANGE_STATE: {
        // Hot tracking changes with every mouse move: only a press is told.
        CButtonUI* pButton = static_cast<CButtonUI*>(pControl->GetInterface(L"Button"));
        const bool bPushed = pButton != nullptr && (pButton->GetButtonState() & STATE_PUSHED) != 0;
        if (bPushed == entry.bPushed && !bNew) break;
        entry.bPushed = bPushed;
        if (bShown && entry.bExposed) Fire(EVENT_OBJECT_STATECHANGE, self);
        break;
    }
    default:
        break;
    }
}

}  // namespace SkinUI
