#pragma once
// CAccessibilityTreeUI: a window's controls as Microsoft Active Accessibility
// objects, for screen readers. It is the window's accessibility provider: the
// paint manager makes it at the first WM_GETOBJECT for the client object
// (CreateAccessibilityProvider), owns it and ends it at WM_DESTROY; until
// then none of it exists and control changes cost nothing.
//
// What each kind of control is (role, exposure, name rule, states, value,
// default action, children) is the table of ControlRoles.h. Exposed (seen by
// a client) are the kinds always exposed there and every other control with
// a name. Containers without a name are not exposed: their children belong
// to the nearest exposed ancestor, or to the window's client object at the
// top. A parent lists only its visible children; a hidden object stays
// reachable by its id.
//
// Names, first non-empty of: the "accdisabledname" custom attribute while
// the control is disabled, "accname", the text as its kind reads it, the
// tooltip. The tooltip is the description when the name came from elsewhere.
//
// Every object has a unique id, never given twice; events go out as
// NotifyWinEvent(event, window, OBJID_CLIENT, -id) after the change.

#include "skinui/accessibility/ControlRoles.h"
#include "skinui/core/AccessibilityProvider.h"
#include "skinui/core/PaintManager.h"
#include "skinui/core/UIString.h"

#include <windows.h>

#include <optional>
#include <unordered_map>
#include <vector>

namespace SkinUI {

class CAccessibleObjectUI;
class CControlUI;

// One object a client can name: a control (iLink -1), one link of a text
// control (iLink its index), or with pControl null the window's client
// object.
struct TAccessibleTarget
{
    CControlUI* pControl;
    int iLink;

    bool operator==(const TAccessibleTarget& other) const
    {
        return pControl == other.pControl && iLink == other.iLink;
    }
};

class CAccessibilityTreeUI final : public IAccessibilityProviderUI, public IControlObserverUI
{
public:
    // Registers as the manager's control observer.
    explicit CAccessibilityTreeUI(CPaintManagerUI* pManager);
    // Cuts every object handed out from its control and from its clients
    // (CoDisconnectObject): they answer E_FAIL, or their proxies an RPC
    // error, from then on.
    ~CAccessibilityTreeUI() override;
    CAccessibilityTreeUI(const CAccessibilityTreeUI&) = delete;
    CAccessibilityTreeUI& operator=(const CAccessibilityTreeUI&) = delete;

    // ---- The window's side ----------------------------------------------
    LRESULT GetClientObjectResult(WPARAM wParam) override;
    // The focus event of the focused object again.
    void OnWindowFocus() override;
    // The action of the object with that id, when it still exists, is shown
    // and enabled.
    void OnPostedAction(WPARAM wParam) override;
    // Change 0 only records what the control shows now.
    void OnControlChanged(CControlUI* pControl, int change) override;

    // ---- Ids and objects ------------------------------------------------
    // The object of the control, or of the client object for null, made on
    // first use; the caller gets a reference. Null for a link.
    CAccessibleObjectUI* GetAccessible(CControlUI* pControl);
    LONG GetId(const TAccessibleTarget& target);
    // False for an id never given or whose object is gone.
    bool FindById(LONG nId, TAccessibleTarget& target);
    // Checks, then posts the action: E_FAIL while hidden or disabled,
    // DISP_E_MEMBERNOTFOUND for an object without an action.
    HRESULT DoDefaultAction(const TAccessibleTarget& target);
    HWND GetWindow() const;

    // ---- What a client reads --------------------------------------------
    // Still part of the tree: the control attached under the manager's
    // root, the link within the text's links.
    bool IsValid(const TAccessibleTarget& target) const;
    bool IsExposed(CControlUI* pControl) const;
    // The visible exposed children, in tree order.
    void GetChildren(const TAccessibleTarget& target, std::vector<TAccessibleTarget>& children) const;
    // The exposed parent; the client object's is itself.
    TAccessibleTarget GetParent(const TAccessibleTarget& target) const;
    bool IsDescendant(const TAccessibleTarget& target, const TAccessibleTarget& ancestor) const;
    CUIString GetName(const TAccessibleTarget& target) const;
    CUIString GetDescription(const TAccessibleTarget& target) const;
    // A progress bar's whole percent ("37%"), a link's target; else empty.
    CUIString GetValue(const TAccessibleTarget& target) const;
    // "Press" for a button, "Jump" for a link; else empty.
    CUIString GetDefaultAction(const TAccessibleTarget& target) const;
    LONG GetRole(const TAccessibleTarget& target) const;
    LONG GetState(const TAccessibleTarget& target) const;
    // In screen pixels.
    RECT GetScreenRect(const TAccessibleTarget& target) const;
    // The exposed object with the focus; false for none.
    bool GetFocusTarget(TAccessibleTarget& target) const;
    // The deepest visible object under the screen point, starting at
    // "from"; false when the point lies outside "from".
    bool HitTest(const TAccessibleTarget& from, POINT ptScreen, TAccessibleTarget& hit) const;

private:
    // What was last reported of a control, to tell real changes.
    struct TControlEntry
    {
        CAccessibleObjectUI* pAccessible = nullptr;  // one reference held
        LONG nId = 0;                                // 0 until asked
        std::vector<LONG> linkIds;                   // 0 until asked
        CUIString sName;
        int nPercent = -1;
        bool bPushed = false;
        bool bExposed = false;
        std::optional<CControlRoleUI> role;  // its kind's row, looked up once
    };

    // ---- Lifetime, ids, events --------------------------------------------
    TControlEntry& Entry(CControlUI* pControl, bool& bNew);
    void Snapshot(CControlUI* pControl, TControlEntry& entry) const;
    void Forget(CControlUI* pControl);
    // The control's row: its entry's, or looked up for a control without one.
    CControlRoleUI RoleOf(CControlUI* pControl) const;
    void Fire(DWORD dwEvent, const TAccessibleTarget& target);
    // Cuts the object from the tree and its clients and drops the tree's
    // reference.
    static void Disconnect(CAccessibleObjectUI* pAccessible);

    // ---- Shape, names, places ---------------------------------------------
    // The control's name as it would read enabled (bDisabled false) or
    // disabled; bFromToolTip tells where it came from.
    static CUIString NameOf(CControlUI* pControl, const CControlRoleUI& role, bool bDisabled,
                            bool* pbFromToolTip);
    bool IsExposed(CControlUI* pControl, const CControlRoleUI& role) const;
    RECT ClientRect(const TAccessibleTarget& target) const;
    void AddExposed(CControlUI* pControl, std::vector<TAccessibleTarget>& children) const;
    void AddExposedChildren(CControlUI* pControl, std::vector<TAccessibleTarget>& children) const;
    // Visible, resp. enabled, with all its ancestors.
    static bool IsShown(CControlUI* pControl);
    static bool IsEnabledAll(CControlUI* pControl);

    CPaintManagerUI* m_pManager;
    CAccessibleObjectUI* m_pClient = nullptr;  // one reference held
    std::unordered_map<CControlUI*, TControlEntry> m_entries;
    std::unordered_map<LONG, TAccessibleTarget> m_ids;
    LONG m_nNextId = 1;
};

}  // namespace SkinUI
