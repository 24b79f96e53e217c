#include "skinui/control/HorizontalLayout.h"
#include "skinui/control/ScrollBar.h"
#include "skinui/control/VerticalLayout.h"
#include "skinui/render/DPI.h"
#include "tests/support/ControlTree.h"
#include "tests/support/LauncherSkin.h"
#include "tests/support/PaintManagerWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace SkinUI;

namespace {

template <class T>
T* Make(const wchar_t* attributes)
{
    T* p = new T;
    p->ApplyAttributeList(attributes);
    return p;
}

using TestSupport::kLauncherRowTop;
using TestSupport::kLauncherSkin;
using TestSupport::LauncherSkinControl;
using TestSupport::R;
using TestSupport::Rect;

}  // namespace

// The launcher's tree, built by hand as the skin describes it, laid out in
// its 536 x 355 window: rows at their fixed sizes, every float control at
// its row's corner plus its offset; hidden controls are not placed until
// they are shown.
TEST(Layout, LauncherTreeGetsTheSkinsRectangles)
{
    TestSupport::PaintManagerWindow window;
    CPaintManagerUI& pm = *window.Manager();

    CVerticalLayoutUI* root = Make<CVerticalLayoutUI>(L"bkimage=\"bg.png\"");
    CVerticalLayoutUI* frame =
        Make<CVerticalLayoutUI>(L"float=\"true\" pos=\"0,0,0,0\" width=\"536\" height=\"355\"");
    CHorizontalLayoutUI* rows[3] = {
        Make<CHorizontalLayoutUI>(L"name=\"header\" width=\"535\" height=\"50\""),
        Make<CHorizontalLayoutUI>(L"name=\"body\" width=\"535\" height=\"255\""),
        Make<CHorizontalLayoutUI>(L"name=\"footer\" width=\"535\" height=\"50\""),
    };
    ASSERT_TRUE(root->Add(frame));
    std::vector<CControlUI*> controls;
    for (CHorizontalLayoutUI* row : rows) ASSERT_TRUE(frame->Add(row));
    for (int i = 0; i < TestSupport::kLauncherSkinCount; ++i) {
        const LauncherSkinControl& sc = kLauncherSkin[i];
        wchar_t attrs[200];
        swprintf(attrs, 200,
                 L"name=\"%ls\" float=\"true\" pos=\"%d,%d,0,0\" width=\"%d\" height=\"%d\" visible=\"%ls\"",
                 sc.name, sc.x, sc.y, sc.width, sc.height, sc.visible ? L"true" : L"false");
        CControlUI* control = Make<CControlUI>(attrs);
        controls.push_back(control);
        ASSERT_TRUE(rows[sc.row]->Add(control));
    }
    ASSERT_TRUE(pm.AttachDialog(root));
    root->SetPos(R(0, 0, 536, 355), true);

    EXPECT_EQ(Rect(root->GetPos()), L"0,0,536,355");
    EXPECT_EQ(Rect(frame->GetPos()), L"0,0,536,355");
    EXPECT_EQ(Rect(rows[0]->GetPos()), L"0,0,535,50");
    EXPECT_EQ(Rect(rows[1]->GetPos()), L"0,50,535,305");
    EXPECT_EQ(Rect(rows[2]->GetPos()), L"0,305,535,355");
    EXPECT_EQ(Rect(pm.FindControl(L"computer_install")->GetPos()), L"68,70,468,160");
    EXPECT_EQ(Rect(pm.FindControl(L"computer_pro")->GetPos()), L"292,90,372,98");

    for (size_t i = 0; i < controls.size(); i++) {
        const LauncherSkinControl& sc = kLauncherSkin[i];
        const int top = kLauncherRowTop[sc.row] + sc.y;
        RECT expected = R(sc.x, top, sc.x + sc.width, top + sc.height);
        EXPECT_EQ(Rect(controls[i]->GetPos()), sc.visible ? Rect(expected) : L"0,0,0,0") << sc.name;
        if (sc.name[0] != L'\0') {
            EXPECT_EQ(pm.FindControl(sc.name), controls[i]) << sc.name;
        }
    }

    // The second page: the phone tiles shown, the desktop tiles hidden.
    for (size_t i = 0; i < controls.size(); i++) controls[i]->SetVisible(!kLauncherSkin[i].visible);
    root->SetPos(R(0, 0, 536, 355), true);
    for (size_t i = 0; i < controls.size(); i++) {
        const LauncherSkinControl& sc = kLauncherSkin[i];
        if (sc.visible) continue;
        const int top = kLauncherRowTop[sc.row] + sc.y;
        RECT expected = R(sc.x, top, sc.x + sc.width, top + sc.height);
        EXPECT_EQ(Rect(controls[i]->GetPos()), Rect(expected)) << sc.name;
    }
}

namespace {

struct StackCase
{
    const char* what;
    const wchar_t* layout;             // attributes of the layout
    std::vector<const wchar_t*> kids;  // attributes of each child
    RECT rc;                           // the layout's rectangle
    std::vector<RECT> expected;        // each child's rectangle
    UINT dpi = 96;                     // the window's DPI
};

template <class Layout>
void RunStackCases(const std::vector<StackCase>& cases)
{
    for (const StackCase& tc : cases) {
        TestSupport::PaintManagerWindow window;
        window.Manager()->GetDPIObj()->SetScale(tc.dpi);
        Layout* layout = Make<Layout>(tc.layout);
        std::vector<CControlUI*> kids;
        for (const wchar_t* attrs : tc.kids) {
            kids.push_back(Make<CControlUI>(attrs));
            layout->Add(kids.back());
        }
        window.Manager()->AttachDialog(layout);
        layout->SetPos(tc.rc, false);
        for (size_t i = 0; i < kids.size(); i++) {
            EXPECT_EQ(Rect(kids[i]->GetPos()), Rect(tc.expected[i])) << tc.what << ", child " << i;
        }
    }
}

}  // namespace

TEST(Layout, VerticalLayoutStacksFixedMinMaxAndFlexibleChildren)
{
    RunStackCases<CVerticalLayoutUI>({
        {"three flexible share, last takes the remainder",
         L"",
         {L"", L"", L""},
         R(0, 0, 100, 100),
         {R(0, 0, 100, 33), R(0, 33, 100, 66), R(0, 66, 100, 100)}},
        {"fixed in the middle with child padding",
         L"childpadding=\"5\"",
         {L"", L"height=\"40\"", L""},
         R(0, 0, 100, 100),
         {R(0, 0, 100, 25), R(0, 30, 100, 70), R(0, 75, 100, 100)}},
        {"minimum beats the remaining space",
         L"",
         {L"height=\"80\"", L"minheight=\"30\""},
         R(0, 0, 100, 100),
         {R(0, 0, 100, 80), R(0, 80, 100, 110)}},
        {"maximum caps a share, the last takes the rest",
         L"",
         {L"maxheight=\"20\"", L""},
         R(0, 0, 100, 100),
         {R(0, 0, 100, 20), R(0, 20, 100, 100)}},
        {"fixed width narrower than the layout",
         L"",
         {L"width=\"535\" height=\"50\"", L"width=\"535\" height=\"255\"", L"width=\"535\" height=\"50\""},
         R(0, 0, 536, 355),
         {R(0, 0, 535, 50), R(0, 50, 535, 305), R(0, 305, 535, 355)}},
        {"child align center",
         L"childalign=\"center\"",
         {L"width=\"51\" height=\"10\""},
         R(0, 0, 100, 100),
         {R(25, 0, 76, 10)}},
        {"child align right with padding",
         L"childalign=\"right\"",
         {L"width=\"30\" height=\"10\" padding=\"0,0,5,0\""},
         R(0, 0, 100, 100),
         {R(65, 0, 95, 10)}},
        {"padding around a fixed child",
         L"",
         {L"height=\"20\" padding=\"10,5,10,5\""},
         R(0, 0, 100, 100),
         {R(10, 5, 90, 25)}},
        {"inset shrinks the room", L"inset=\"5,6,7,8\"", {L""}, R(0, 0, 100, 100), {R(5, 6, 93, 92)}},
        {"minimum width wider than the layout",
         L"",
         {L"minwidth=\"150\" height=\"10\""},
         R(0, 0, 100, 100),
         {R(0, 0, 150, 10)}},
        {"maximum width narrower than the layout",
         L"",
         {L"maxwidth=\"40\" height=\"10\""},
         R(0, 0, 100, 100),
         {R(0, 0, 40, 10)}},
        {"float child takes no share",
         L"childpadding=\"5\"",
         {L"", L"float=\"true\" pos=\"10,10,0,0\" width=\"5\" height=\"5\"", L""},
         R(0, 0, 100, 100),
         {R(0, 0, 100, 47), R(10, 10, 15, 15), R(0, 52, 100, 100)}},
        {"hidden child takes no share",
         L"",
         {L"", L"visible=\"false\"", L""},
         R(0, 0, 100, 100),
         {R(0, 0, 100, 50), R(0, 0, 0, 0), R(0, 50, 100, 100)}},
        {"fixed children overflow, flexible gets 0",
         L"",
         {L"height=\"80\"", L"", L"height=\"80\""},
         R(0, 0, 100, 100),
         {R(0, 0, 100, 80), R(0, 80, 100, 80), R(0, 80, 100, 160)}},
        // At 150 % the inset and the heights scale, the gap between the
        // children does not.
        {"150 %: child padding unscaled",
         L"inset=\"10,10,10,10\" childpadding=\"10\"",
         {L"height=\"20\"", L"height=\"20\""},
         R(0, 0, 300, 200),
         {R(15, 15, 285, 45), R(15, 55, 285, 85)},
         144},
    });
}

TEST(Layout, HorizontalLayoutStacksFixedMinMaxAndFlexibleChildren)
{
    RunStackCases<CHorizontalLayoutUI>({
        {"three flexible share, last takes the remainder",
         L"",
         {L"", L"", L""},
         R(0, 0, 100, 100),
         {R(0, 0, 33, 100), R(33, 0, 66, 100), R(66, 0, 100, 100)}},
        {"fixed in the middle with child padding",
         L"childpadding=\"5\"",
         {L"", L"width=\"40\"", L""},
         R(0, 0, 100, 100),
         {R(0, 0, 25, 100), R(30, 0, 70, 100), R(75, 0, 100, 100)}},
        {"minimum beats the remaining space",
         L"",
         {L"width=\"80\"", L"minwidth=\"30\""},
         R(0, 0, 100, 100),
         {R(0, 0, 80, 100), R(80, 0, 110, 100)}},
        {"maximum caps a share, the last takes the rest",
         L"",
         {L"maxwidth=\"20\"", L""},
         R(0, 0, 100, 100),
         {R(0, 0, 20, 100), R(20, 0, 100, 100)}},
        {"child valign vcenter",
         L"childvalign=\"vcenter\"",
         {L"width=\"10\" height=\"51\""},
         R(0, 0, 100, 100),
         {R(0, 25, 10, 76)}},
        {"child valign bottom with padding",
         L"childvalign=\"bottom\"",
         {L"width=\"10\" height=\"30\" padding=\"0,0,0,5\""},
         R(0, 0, 100, 100),
         {R(0, 65, 10, 95)}},
        {"padding around a fixed child",
         L"",
         {L"width=\"20\" padding=\"5,10,5,10\""},
         R(0, 0, 100, 100),
         {R(5, 10, 25, 90)}},
        {"offset layout",
         L"",
         {L"width=\"20\"", L""},
         R(10, 20, 110, 70),
         {R(10, 20, 30, 70), R(30, 20, 110, 70)}},
        {"float child takes no share",
         L"",
         {L"", L"float=\"true\" pos=\"1,2,0,0\" width=\"3\" height=\"4\""},
         R(0, 0, 100, 50),
         {R(0, 0, 100, 50), R(1, 2, 4, 6)}},
        {"150 %: child padding unscaled",
         L"inset=\"10,10,10,10\" childpadding=\"10\"",
         {L"width=\"20\"", L"width=\"20\""},
         R(0, 0, 200, 300),
         {R(15, 15, 45, 285), R(55, 15, 85, 285)},
         144},
    });
}

// Float children of any container: alignment bits first, else percent plus
// fixed offset; relative to the item rectangle, not the inset.
TEST(Layout, FloatChildrenArePlacedByAlignOrPercent)
{
    // xy: set through SetFixedXY when not 0,0
    const std::tuple<const char*, const wchar_t*, SIZE, RECT, RECT> cases[] = {
        {"right",
         L"float=\"true\" floatalign=\"right\" width=\"30\" height=\"10\"",
         {0, 0},
         R(10, 0, 110, 50),
         R(80, 0, 110, 10)},
        {"center",
         L"float=\"true\" floatalign=\"center\" width=\"30\" height=\"10\"",
         {0, 0},
         R(10, 0, 110, 50),
         R(45, 0, 75, 10)},
        {"vcenter keeps x",
         L"float=\"true\" floatalign=\"vcenter\" pos=\"7,3,0,0\" width=\"30\" height=\"10\"",
         {0, 0},
         R(0, 0, 100, 51),
         R(7, 20, 37, 30)},
        {"bottom right",
         L"float=\"true\" floatalign=\"right,bottom\" width=\"30\" height=\"10\"",
         {0, 0},
         R(0, 0, 100, 50),
         R(70, 40, 100, 50)},
        {"percent with negative offset",
         L"float=\"0.5,0,0.5,0\" width=\"40\" height=\"10\"",
         {-20, 0},
         R(0, 0, 200, 100),
         R(80, 0, 120, 10)},
        {"percent stretches", L"float=\"0.25,0.5,0.75,1\"", {0, 0}, R(0, 0, 200, 100), R(50, 50, 150, 100)},
        {"plain float ignores inset",
         L"float=\"true\" pos=\"5,5,0,0\" width=\"30\" height=\"30\"",
         {0, 0},
         R(100, 100, 300, 300),
         R(105, 105, 135, 135)},
    };
    for (const auto& [what, attrs, xy, container, expected] : cases) {
        TestSupport::PaintManagerWindow window;
        CContainerUI* parent = Make<CContainerUI>(L"inset=\"9,9,9,9\"");
        CControlUI* child = Make<CControlUI>(attrs);
        if (xy.cx != 0 || xy.cy != 0) child->SetFixedXY(xy);
        parent->Add(child);
        window.Manager()->AttachDialog(parent);
        parent->SetPos(container, false);
        EXPECT_EQ(Rect(child->GetPos()), Rect(expected)) << what;
    }
}

TEST(Layout, PlainContainerFillsItsClientAreaWithinMinAndMax)
{
    TestSupport::PaintManagerWindow window;
    CContainerUI* container = Make<CContainerUI>(L"inset=\"10,10,10,10\"");
    CControlUI* fill = Make<CControlUI>(L"");
    CControlUI* capped = Make<CControlUI>(L"maxwidth=\"20\" maxheight=\"30\"");
    CControlUI* grown = Make<CControlUI>(L"minwidth=\"200\" minheight=\"10\"");
    container->Add(fill);
    container->Add(capped);
    container->Add(grown);
    window.Manager()->AttachDialog(container);
    container->SetPos(R(0, 0, 100, 100), false);
    EXPECT_EQ(Rect(fill->GetPos()), L"10,10,90,90");
    EXPECT_EQ(Rect(capped->GetPos()), L"10,10,30,40");
    EXPECT_EQ(Rect(grown->GetPos()), L"10,10,210,90");
}

// A vertical layout whose content is taller than it shows its scroll bar;
// scrolling moves the flow children and leaves the float ones.
TEST(Layout, ScrollingMovesFlowChildrenOnly)
{
    TestSupport::PaintManagerWindow window;
    CVerticalLayoutUI* layout = Make<CVerticalLayoutUI>(L"vscrollbar=\"true\"");
    CControlUI* first = Make<CControlUI>(L"height=\"80\"");
    CControlUI* second = Make<CControlUI>(L"height=\"80\"");
    CControlUI* pinned = Make<CControlUI>(L"float=\"true\" pos=\"1,1,0,0\" width=\"5\" height=\"5\"");
    layout->Add(first);
    layout->Add(second);
    layout->Add(pinned);
    window.Manager()->AttachDialog(layout);
    CScrollBarUI* bar = layout->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    bar->SetVisible(false);
    layout->SetPos(R(0, 0, 100, 100), false);

    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollRange(), 60);
    EXPECT_EQ(Rect(bar->GetPos()), L"84,0,100,100");
    EXPECT_EQ(Rect(first->GetPos()), L"0,0,84,80");
    EXPECT_EQ(Rect(second->GetPos()), L"0,80,84,160");

    SIZE pos = {0, 30};
    layout->SetScrollPos(pos);
    EXPECT_EQ(layout->GetScrollPos().cy, 30);
    EXPECT_EQ(Rect(first->GetPos()), L"0,-30,84,50");
    EXPECT_EQ(Rect(second->GetPos()), L"0,50,84,130");
    EXPECT_EQ(Rect(pinned->GetPos()), L"1,1,6,6");

    pos.cy = 500;  // clamped to the range
    layout->SetScrollPos(pos);
    EXPECT_EQ(layout->GetScrollPos().cy, 60);
    layout->HomeUp();
    EXPECT_EQ(Rect(first->GetPos()), L"0,0,84,80");

    // Content that fits again hides the bar.
    second->SetFixedHeight(10);
    layout->SetPos(R(0, 0, 100, 100), false);
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(Rect(first->GetPos()), L"0,0,100,80");
}

TEST(Layout, HorizontalScrollBarFollowsTheContentWidth)
{
    TestSupport::PaintManagerWindow window;
    CHorizontalLayoutUI* layout = Make<CHorizontalLayoutUI>(L"hscrollbar=\"true\" scrollstepsize=\"8\"");
    CControlUI* first = Make<CControlUI>(L"width=\"80\"");
    CControlUI* second = Make<CControlUI>(L"width=\"80\"");
    layout->Add(first);
    layout->Add(second);
    window.Manager()->AttachDialog(layout);
    CScrollBarUI* bar = layout->GetHorizontalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsHorizontal());
    EXPECT_EQ(bar->GetFixedHeight(), 16);
    bar->SetVisible(false);
    layout->SetPos(R(0, 0, 100, 100), false);
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollRange(), 60);
    EXPECT_EQ(Rect(bar->GetPos()), L"0,84,100,100");
    EXPECT_EQ(Rect(second->GetPos()), L"80,0,160,84");

    layout->LineRight();
    EXPECT_EQ(layout->GetScrollPos().cx, 8);
    EXPECT_EQ(Rect(second->GetPos()), L"72,0,152,84");
    layout->EndRight();
    EXPECT_EQ(Rect(second->GetPos()), L"20,0,100,84");
    layout->PageLeft();
    EXPECT_EQ(layout->GetScrollPos().cx, 0);

    // The scroll bar's own position change ends in the owner's SetScrollPos.
    bar->ScrollTo(30);
    EXPECT_EQ(Rect(first->GetPos()), L"-30,0,50,84");
}

// A separator strip: the size-WE cursor flag, and a drag that resizes the
// layout within its minimum and maximum once the button is released.
TEST(Layout, SeparatorDragResizesTheLayout)
{
    TestSupport::PaintManagerWindow window;
    CHorizontalLayoutUI* outer = Make<CHorizontalLayoutUI>(L"");
    CHorizontalLayoutUI* pane = Make<CHorizontalLayoutUI>(L"width=\"50\" sepwidth=\"4\" maxwidth=\"65\"");
    outer->Add(pane);
    window.Manager()->AttachDialog(outer);
    outer->SetPos(R(0, 0, 200, 100), false);
    ASSERT_EQ(Rect(pane->GetPos()), L"0,0,50,100");
    EXPECT_EQ(pane->GetControlFlags(), static_cast<UINT>(CONTROLFLAG_SETCURSOR));
    EXPECT_EQ(Rect(pane->GetThumbRect(false)), L"46,0,50,100");
    TEventUI cursor = {};
    cursor.type = EVT_SETCURSOR;
    cursor.mousePos.x = 48;
    cursor.mousePos.y = 10;
    pane->Event(cursor);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZEWE));
    cursor.mousePos.x = 10;
    pane->Event(cursor);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));

    TEventUI event = {};
    event.type = EVT_BUTTONDOWN;
    event.mousePos.x = 47;
    event.mousePos.y = 10;
    pane->Event(event);
    EXPECT_TRUE(window.Manager()->IsPostPaint(pane));
    event.type = EVT_MOUSEMOVE;
    event.mousePos.x = 57;
    pane->Event(event);
    EXPECT_EQ(Rect(pane->GetPos()), L"0,0,50,100");  // a preview only
    EXPECT_EQ(Rect(pane->GetThumbRect(true)), L"56,0,60,100");
    event.mousePos.x = 90;  // beyond the maximum: stops at 65
    pane->Event(event);
    event.type = EVT_BUTTONUP;
    pane->Event(event);
    EXPECT_FALSE(window.Manager()->IsPostPaint(pane));
    outer->SetPos(R(0, 0, 200, 100), false);
    EXPECT_EQ(Rect(pane->GetPos()), L"0,0,65,100");

    // Immediate mode relayouts on every move and posts no preview.
    pane->SetSepImmMode(true);
    event.type = EVT_BUTTONDOWN;
    event.mousePos.x = 63;
    pane->Event(event);
    EXPECT_FALSE(window.Manager()->IsPostPaint(pane));
    event.type = EVT_MOUSEMOVE;
    event.mousePos.x = 53;
    pane->Event(event);
    EXPECT_EQ(Rect(pane->GetPos()), L"0,0,55,100");
    event.type = EVT_BUTTONUP;
    pane->Event(event);
}
