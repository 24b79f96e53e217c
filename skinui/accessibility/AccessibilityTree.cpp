// CAccessibilityTreeUI. Sections: lifetime; the window's side; ids and
// objects; events; tree shape; names, roles, values, actions; states,
// places, focus, hit test.
#include "skinui/accessibility/AccessibilityTree.h"

#include "skinui/accessibility/AccessibleObject.h"
#include "skinui/accessibility/ControlRoles.h"
#include "skinui/control/Control.h"

#include <oleacc.h>

#include <new>

namespace SkinUI {

IAccessibilityProviderUI* CreateAccessibilityProvider(CPaintManagerUI* pManager)
{
    return new (std::nothrow) CAccessibilityTreeUI(pManager);
}

namespace {

// Change 0: the control is seen for the first time.
CControlUI* SnapshotControl(CControlUI* pControl, LPVOID pData)
{
    static_cast<CAccessibilityTreeUI*>(pData)->OnControlChanged(pControl, 0);
    return nullptr;
}

bool IsNonEmpty(LPCTSTR pstr)
{
    return pstr != nullptr && pstr[0] != L'\0';
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
    const CControlRoleUI role = RoleOf(target.pControl);
    if (target.iLink >= 0) {
        role.ActivateLink(target.iLink);
        return;
    }
    role.DoDefaultAction();
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
    entry.role.emplace(pControl);
    const CControlRoleUI& role = *entry.role;
    entry.bExposed = IsExposed(pControl, role);
    entry.sName = NameOf(pControl, role, !pControl->IsEnabled(), nullptr);
    entry.nPercent = role.GetPercent();
    entry.bPushed = role.IsPushed();
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

CControlRoleUI CAccessibilityTreeUI::RoleOf(CControlUI* pControl) const
{
    auto found = m_entries.find(pControl);
    if (found != m_entries.end() && found->second.role) return *found->second.role;
    return CControlRoleUI(pControl);
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
    const CControlRoleUI role = RoleOf(pControl);
    const TAccessibleTarget self = {pControl, -1};
    const bool bWasExposed = entry.bExposed;
    entry.bExposed = IsExposed(pControl, role);
    const bool bShown = IsShown(pControl);
    switch (change) {
    case CHANGE_FOCUS: {
        // A control whose Tab stops are its parts reports again once one of
        // them has the focus.
        if (role.GetTabStopCount() > 0 && role.GetFocusedTabStop() < 0) break;
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
        const CUIString sName = NameOf(pControl, role, !pControl->IsEnabled(), nullptr);
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
        const int nPercent = role.GetPercent();
        if (nPercent == entry.nPercent && !bNew) break;
        entry.nPercent = nPercent;
        if (bShown && entry.bExposed) Fire(EVENT_OBJECT_VALUECHANGE, self);
        break;
    }
    case CHANGE_STATE: {
        // Hot tracking changes with every mouse move: only a press is told.
        const bool bPushed = role.IsPushed();
        if (bPushed == entry.bPushed && !bNew) break;
        entry.bPushed = bPushed;
        if (bShown && entry.bExposed) Fire(EVENT_OBJECT_STATECHANGE, self);
        break;
    }
    default:
        break;
    }
}

// ---- Tree shape ----------------------------------------------------------------

bool CAccessibilityTreeUI::IsShown(CControlUI* pControl)
{
    for (CControlUI* p = pControl; p != nullptr; p = p->GetParent())
        if (!p->IsVisible()) return false;
    return true;
}

bool CAccessibilityTreeUI::IsEnabledAll(CControlUI* pControl)
{
    for (CControlUI* p = pControl; p != nullptr; p = p->GetParent())
        if (!p->IsEnabled()) return false;
    return true;
}

bool CAccessibilityTreeUI::IsValid(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr) return target.iLink < 0;
    if (target.pControl->GetManager() != m_pManager) return false;
    CControlUI* pTop = target.pControl;
    while (pTop->GetParent() != nullptr) pTop = pTop->GetParent();
    if (pTop != m_pManager->GetRoot()) return false;
    if (target.iLink < 0) return true;
    return target.iLink < RoleOf(target.pControl).GetLinkCount();
}

bool CAccessibilityTreeUI::IsExposed(CControlUI* pControl) const
{
    if (pControl == nullptr) return false;
    return IsExposed(pControl, RoleOf(pControl));
}

bool CAccessibilityTreeUI::IsExposed(CControlUI* pControl, const CControlRoleUI& role) const
{
    if (role.GetRow().bAlwaysExposed) return true;
    return !NameOf(pControl, role, !pControl->IsEnabled(), nullptr).IsEmpty();
}

void CAccessibilityTreeUI::AddExposed(CControlUI* pControl, std::vector<TAccessibleTarget>& children) const
{
    if (pControl == nullptr || !pControl->IsVisible()) return;
    if (IsExposed(pControl)) {
        children.push_back(TAccessibleTarget{pControl, -1});
        return;
    }
    AddExposedChildren(pControl, children);
}

void CAccessibilityTreeUI::AddExposedChildren(CControlUI* pControl,
                                              std::vector<TAccessibleTarget>& children) const
{
    const CControlRoleUI role = RoleOf(pControl);
    for (int i = 0; i < role.GetItemCount(); ++i) AddExposed(role.GetItemAt(i), children);
}

void CAccessibilityTreeUI::GetChildren(const TAccessibleTarget& target,
                                       std::vector<TAccessibleTarget>& children) const
{
    children.clear();
    if (target.iLink >= 0) return;
    if (target.pControl == nullptr) {
        AddExposed(m_pManager->GetRoot(), children);
        return;
    }
    const CControlRoleUI role = RoleOf(target.pControl);
    if (role.GetRow().children == ACCCHILDREN_LINKS) {
        // A text's links are known from its last paint.
        for (int i = 0; i < role.GetLinkCount(); ++i)
            children.push_back(TAccessibleTarget{target.pControl, i});
        return;
    }
    AddExposedChildren(target.pControl, children);
}

TAccessibleTarget CAccessibilityTreeUI::GetParent(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr) return target;
    if (target.iLink >= 0) return TAccessibleTarget{target.pControl, -1};
    CControlUI* pParent = target.pControl->GetParent();
    while (pParent != nullptr && !IsExposed(pParent)) pParent = pParent->GetParent();
    return TAccessibleTarget{pParent, -1};
}

bool CAccessibilityTreeUI::IsDescendant(const TAccessibleTarget& target,
                                        const TAccessibleTarget& ancestor) const
{
    if (ancestor.iLink >= 0 || target.pControl == nullptr) return false;
    if (target.iLink >= 0 && target.pControl == ancestor.pControl) return true;
    if (ancestor.pControl == nullptr) return true;
    for (CControlUI* p = target.pControl->GetParent(); p != nullptr; p = p->GetParent())
        if (p == ancestor.pControl) return true;
    return false;
}

// ---- Names, roles, values, actions -------------------------------------------------

CUIString CAccessibilityTreeUI::NameOf(CControlUI* pControl, const CControlRoleUI& role, bool bDisabled,
                                       bool* pbFromToolTip)
{
    if (pbFromToolTip != nullptr) *pbFromToolTip = false;
    LPCTSTR pstrDisabled = pControl->GetCustomAttribute(L"accdisabledname");
    if (bDisabled && IsNonEmpty(pstrDisabled)) return pstrDisabled;
    LPCTSTR pstrName = pControl->GetCustomAttribute(L"accname");
    if (IsNonEmpty(pstrName)) return pstrName;
    CUIString sText = role.GetText();
    if (!sText.IsEmpty()) return sText;
    if (pbFromToolTip != nullptr) *pbFromToolTip = true;
    return pControl->GetToolTip();
}

CUIString CAccessibilityTreeUI::GetName(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr) {
        wchar_t szTitle[256] = {};
        ::GetWindowTextW(GetWindow(), szTitle, 256);
        return szTitle;
    }
    const CControlRoleUI role = RoleOf(target.pControl);
    if (target.iLink >= 0) return role.GetLinkName(target.iLink);
    return NameOf(target.pControl, role, !target.pControl->IsEnabled(), nullptr);
}

CUIString CAccessibilityTreeUI::GetDescription(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr || target.iLink >= 0) return CUIString();
    bool bFromToolTip = false;
    NameOf(target.pControl, RoleOf(target.pControl), !target.pControl->IsEnabled(), &bFromToolTip);
    return bFromToolTip ? CUIString() : target.pControl->GetToolTip();
}

CUIString CAccessibilityTreeUI::GetValue(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr) return CUIString();
    const CControlRoleUI role = RoleOf(target.pControl);
    if (target.iLink >= 0) return role.GetLinkTarget(target.iLink);
    return role.GetValue();
}

CUIString CAccessibilityTreeUI::GetDefaultAction(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr) return CUIString();
    const TControlRoleUI& row =
        target.iLink >= 0 ? CControlRoleUI::GetLinkRow() : RoleOf(target.pControl).GetRow();
    return row.pstrDefaultAction != nullptr ? CUIString(row.pstrDefaultAction) : CUIString();
}

LONG CAccessibilityTreeUI::GetRole(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr) return ROLE_SYSTEM_CLIENT;
    if (target.iLink >= 0) return CControlRoleUI::GetLinkRow().nRole;
    return RoleOf(target.pControl).GetRole();
}

// ---- States, places, focus, hit test ---------------------------------------------

bool CAccessibilityTreeUI::GetFocusTarget(TAccessibleTarget& target) const
{
    CControlUI* pFocus = m_pManager->GetFocus();
    if (pFocus == nullptr || !IsValid(TAccessibleTarget{pFocus, -1})) return false;
    const CControlRoleUI role = RoleOf(pFocus);
    const int iLink = role.GetFocusedLink();
    if (iLink >= 0) {
        target = TAccessibleTarget{pFocus, iLink};
        return true;
    }
    if (!IsExposed(pFocus, role)) return false;
    target = TAccessibleTarget{pFocus, -1};
    return true;
}

LONG CAccessibilityTreeUI::GetState(const TAccessibleTarget& target) const
{
    TAccessibleTarget focus = {};
    const bool bHasFocus = GetFocusTarget(focus);
    CControlUI* pControl = target.pControl;
    if (pControl == nullptr) {
        LONG nState = STATE_SYSTEM_FOCUSABLE;
        if (!bHasFocus && ::GetFocus() == GetWindow()) nState |= STATE_SYSTEM_FOCUSED;
        if (!::IsWindowVisible(GetWindow())) nState |= STATE_SYSTEM_INVISIBLE;
        return nState;
    }
    LONG nState = 0;
    if (!IsShown(pControl)) nState |= STATE_SYSTEM_INVISIBLE;
    if (!IsEnabledAll(pControl)) nState |= STATE_SYSTEM_UNAVAILABLE;
    if (bHasFocus && focus == target) nState |= STATE_SYSTEM_FOCUSED;
    const bool bTabStop = m_pManager->IsTabStop(pControl);
    const CControlRoleUI role = RoleOf(pControl);
    if (target.iLink >= 0) {
        nState |= CControlRoleUI::GetLinkRow().nStates;
        if (bTabStop) nState |= STATE_SYSTEM_FOCUSABLE;
        if (role.GetHoverLink() == target.iLink) nState |= STATE_SYSTEM_HOTTRACKED;
        return nState;
    }
    // A control whose Tab stops are its parts (a text's links) is not one.
    if (bTabStop && role.GetTabStopCount() == 0) nState |= STATE_SYSTEM_FOCUSABLE;
    return nState | role.GetStates();
}

RECT CAccessibilityTreeUI::ClientRect(const TAccessibleTarget& target) const
{
    RECT rc = {0, 0, 0, 0};
    if (target.pControl == nullptr) {
        ::GetClientRect(GetWindow(), &rc);
    } else if (target.iLink >= 0) {
        rc = RoleOf(target.pControl).GetLinkRect(target.iLink);
    } else {
        rc = target.pControl->GetPos();
    }
    return rc;
}

RECT CAccessibilityTreeUI::GetScreenRect(const TAccessibleTarget& target) const
{
    // Control rectangles are in device pixels already, at any DPI.
    RECT rc = ClientRect(target);
    ::MapWindowPoints(GetWindow(), nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool CAccessibilityTreeUI::HitTest(const TAccessibleTarget& from, POINT ptScreen,
                                   TAccessibleTarget& hit) const
{
    POINT pt = ptScreen;
    ::ScreenToClient(GetWindow(), &pt);
    RECT rc = ClientRect(from);
    if (!::PtInRect(&rc, pt)) return false;
    hit = from;
    std::vector<TAccessibleTarget> children;
    for (;;) {
        GetChildren(hit, children);
        // Later children are painted over earlier ones.
        size_t i = children.size();
        while (i > 0) {
            rc = ClientRect(children[i - 1]);
            if (::PtInRect(&rc, pt)) break;
            --i;
        }
        if (i == 0) return true;
        hit = children[i - 1];
    }
}

}  // namespace SkinUI
