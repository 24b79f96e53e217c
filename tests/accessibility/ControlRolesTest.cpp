// The table of control kinds read through real controls: which row each
// kind lands on (a button, a progress bar and a text are labels too), and
// what that row makes of its role, exposure, text, states, value and action.
#include "skinui/accessibility/ControlRoles.h"

#include "skinui/control/Button.h"
#include "skinui/control/HorizontalLayout.h"
#include "skinui/control/Progress.h"
#include "skinui/control/ScrollBar.h"
#include "skinui/control/Text.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <memory>
#include <string>

using namespace SkinUI;

namespace {

TEST(ControlRolesTest, EachKindReadsThroughItsRow)
{
    auto progress = std::make_unique<CProgressUI>();
    progress->SetMaxValue(200);
    progress->SetValue(75);
    auto html = std::make_unique<CLabelUI>();
    html->SetShowHtml(true);
    struct Case
    {
        CControlUI* control;
        LPCTSTR text;
        LPCTSTR bkimage;
        AccessibleKind kind;
        LONG role;
        bool exposed;
        LPCTSTR read;
        LONG states;
        LPCTSTR value;
        LPCTSTR action;
    } cases[] = {
        {new CButtonUI, L" OK ", nullptr, ACCKIND_BUTTON, ROLE_SYSTEM_PUSHBUTTON, true, L"OK", 0, L"",
         L"Press"},
        {new CButtonUI, L"", L"close.png", ACCKIND_BUTTON, ROLE_SYSTEM_PUSHBUTTON, true, L"", 0, L"",
         L"Press"},
        {progress.release(), L"37", nullptr, ACCKIND_PROGRESS, ROLE_SYSTEM_PROGRESSBAR, true, L"",
         STATE_SYSTEM_READONLY, L"37%", nullptr},
        {new CTextUI, L"Help ", nullptr, ACCKIND_TEXT, ROLE_SYSTEM_STATICTEXT, false, L"Help",
         STATE_SYSTEM_READONLY, L"", nullptr},
        {new CHorizontalLayoutUI, L"", L"panel.png", ACCKIND_CONTAINER, ROLE_SYSTEM_GROUPING, false, L"", 0,
         L"", nullptr},
        {html.release(), L"{b}Ready{/b}", nullptr, ACCKIND_LABEL, ROLE_SYSTEM_STATICTEXT, false, L"Ready",
         STATE_SYSTEM_READONLY, L"", nullptr},
        {new CLabelUI, L"", L"logo.png", ACCKIND_LABEL, ROLE_SYSTEM_GRAPHIC, false, L"", 0, L"", nullptr},
        {new CScrollBarUI, L"\tbar\n", nullptr, ACCKIND_CONTROL, ROLE_SYSTEM_STATICTEXT, false, L"bar",
         STATE_SYSTEM_READONLY, L"", nullptr},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CControlUI> owner(c.control);
        c.control->SetText(c.text);
        if (c.bkimage != nullptr) c.control->SetBkImage(c.bkimage);
        const CControlRoleUI role(c.control);
        SCOPED_TRACE(c.control->GetClass());
        EXPECT_EQ(c.kind, role.GetRow().kind);
        EXPECT_EQ(c.role, role.GetRole());
        EXPECT_EQ(c.exposed, role.GetRow().bAlwaysExposed);
        EXPECT_EQ(std::wstring(c.read), role.GetText().GetData());
        EXPECT_EQ(c.states, role.GetStates());
        EXPECT_EQ(std::wstring(c.value), role.GetValue().GetData());
        EXPECT_EQ(std::wstring(c.action != nullptr ? c.action : L""),
                  role.GetRow().pstrDefaultAction != nullptr ? role.GetRow().pstrDefaultAction : L"");
    }
}

}  // namespace
