#pragma once
// What each kind of control is to a screen reader, as one table (the rows are
// in ControlRoles.cpp): its role, whether it is always exposed or only with a
// name, how its text reads as a name, its own states, its value, its default
// action and its children. A control's kind is the first row whose interface
// it answers (GetInterface); the last row, "Control", is every control's.
// The links of a text are a row of their own.
//
// CControlRoleUI reads one control through its row. The tree asks only it,
// so that this file alone knows the kinds of controls.

#include "skinui/core/UIString.h"

#include <windows.h>

namespace SkinUI {

class CButtonUI;
class CContainerUI;
class CControlUI;
class CLabelUI;
class CTextUI;

// Which interface a row reads.
enum AccessibleKind
{
    ACCKIND_BUTTON,
    ACCKIND_PROGRESS,
    ACCKIND_TEXT,
    ACCKIND_CONTAINER,
    ACCKIND_LABEL,
    ACCKIND_CONTROL,
    ACCKIND_LINK  // a link of a text, a simple element of it
};

// How a kind's text reads as its name.
enum AccessibleText
{
    ACCTEXT_NONE,   // not at all (a progress bar's text is its value)
    ACCTEXT_LABEL,  // inline markup as plain text where the label shows it, else as plain text
    ACCTEXT_PLAIN,  // as written, without the spaces around it
    ACCTEXT_LINK    // the link's own text
};

// What a kind's value is.
enum AccessibleValue
{
    ACCVALUE_NONE,
    ACCVALUE_PERCENT,  // the whole percent of the range ("37%")
    ACCVALUE_TARGET    // the link's target
};

// Which children a kind has.
enum AccessibleChildren
{
    ACCCHILDREN_NONE,
    ACCCHILDREN_ITEMS,  // a container's items, not its scroll bars
    ACCCHILDREN_LINKS   // the links of the text's last paint
};

struct TControlRoleUI
{
    AccessibleKind kind;
    LPCTSTR pstrInterface;     // what the control answers to GetInterface
    LONG nRole;                // ROLE_SYSTEM_*
    bool bGraphicWithoutText;  // ROLE_SYSTEM_GRAPHIC, without the states below,
                               // while it shows a background image and no text
    bool bAlwaysExposed;       // else only while it has a name
    AccessibleText text;
    LONG nStates;     // STATE_SYSTEM_* it always has
    bool bPressable;  // hot and pressed follow the button's state
    AccessibleValue value;
    LPCTSTR pstrDefaultAction;  // the verb of Windows' own controls; null for none
    AccessibleChildren children;
};

// The control's row and the interface that row names, looked up once.
// Questions a row does not answer get the empty answer (0, -1, empty).
class CControlRoleUI
{
public:
    explicit CControlRoleUI(CControlUI* pControl);

    const TControlRoleUI& GetRow() const { return *m_pRow; }
    // The row of a text's links.
    static const TControlRoleUI& GetLinkRow();

    // The text read aloud, by the row's text rule.
    CUIString GetText() const;
    // The row's role, or a graphic (see bGraphicWithoutText).
    LONG GetRole() const;
    // The row's states and, for a pressable kind, hot and pressed.
    LONG GetStates() const;
    bool IsPushed() const;
    // 0..100 for a kind with a percent value, -1 for the others.
    int GetPercent() const;
    // As a client reads it: "37%"; empty without a value.
    CUIString GetValue() const;
    // The row's action, run at once: false for a kind without one.
    bool DoDefaultAction() const;

    // Items of a container kind.
    int GetItemCount() const;
    CControlUI* GetItemAt(int iIndex) const;
    // The control's own Tab stops (ITabStopsUI), whatever its kind: none
    // and -1 without them.
    int GetTabStopCount() const;
    int GetFocusedTabStop() const;

    // Links of a text kind, as its last paint found them.
    int GetLinkCount() const;
    // The focused link, -1 while none (or a stop beyond the links) is.
    int GetFocusedLink() const;
    int GetHoverLink() const;
    CUIString GetLinkName(int iLink) const;
    CUIString GetLinkTarget(int iLink) const;
    RECT GetLinkRect(int iLink) const;
    void ActivateLink(int iLink) const;

private:
    // The row's interface where the row is of that kind, else null.
    CButtonUI* Button() const;
    CContainerUI* Container() const;
    CTextUI* Text() const;
    CLabelUI* Label() const;

    CControlUI* m_pControl;
    const TControlRoleUI* m_pRow;
    LPVOID m_pInterface;  // the row's interface of the control
};

}  // namespace SkinUI
