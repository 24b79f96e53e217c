// Keyboard reach on real windows: Tab visits exactly what the mouse can
// reach (nothing covered, hidden or disabled, also through a parent), the
// links of a text are stops of their own that Return activates, a held key
// activates once, and the focus cue appears only once the keyboard is used.
#include "skinui/control/Button.h"
#include "skinui/control/Text.h"
#include "tests/support/ControlTree.h"
#include "tests/window/Recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace WindowTest {
namespace {

using TestSupport::AddChild;

// The focus as "name" or "name#stop" for a control with stops of its own.
std::wstring FocusName(CPaintManagerUI* pManager)
{
    CControlUI* pFocus = pManager->GetFocus();
    if (pFocus == nullptr) return L"-";
    std::wstring name = pFocus->GetName().GetData();
    ITabStopsUI* pStops = static_cast<ITabStopsUI*>(pFocus->GetInterface(L"TabStops"));
    if (pStops != nullptr) name += L"#" + std::to_wstring(pStops->GetFocusedTabStop());
    return name;
}

// Where Tab (or Shift+Tab) goes from the current focus, n times.
std::vector<std::wstring> TabWalk(PaintManagerWindow& host, int n, bool shift)
{
    std::vector<std::wstring> walk;
    for (int i = 0; i < n; i++) {
        host.Key(VK_TAB, shift);
        walk.push_back(FocusName(host.Manager()));
    }
    return walk;
}

class LinkLog : public INotifyUI
{
public:
    void Notify(TNotifyUI& msg) override
    {
        if (msg.type == L"click" || msg.type == L"link")
            log.push_back(std::wstring(msg.type.GetData()) + L":" + msg.sender->GetName().GetData() + L":" +
                          std::to_wstring(msg.wParam));
    }
    std::vector<std::wstring> log;
};

}  // namespace

// a and b side by side; a panel over b (later in the tree, so on top) with
// c on the panel; d inside a container that the rows switch off.
TEST(Keyboard, TabVisitsWhatTheMouseReaches)
{
    struct Row
    {
        const char* what;
        bool panel;         // the panel over b shows
        bool groupVisible;  // d's container
        bool groupEnabled;
        std::vector<std::wstring> cycle;  // the stops, from a
    } rows[] = {
        {"nothing covers anything", false, true, true, {L"a", L"b", L"c", L"d"}},
        {"the panel covers b", true, true, true, {L"a", L"c", L"d"}},
        {"d's container is hidden", true, false, true, {L"a", L"c"}},
        {"d's container is disabled", false, true, false, {L"a", L"b", L"c"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<std::wstring> log;
        PaintManagerWindow host;
        CContainerUI* pRoot = host.AttachContainer();
        CRecorderUI* a = AddRecorder(pRoot, &log, L"a", RECT{10, 10, 110, 60}, CONTROLFLAG_TABSTOP);
        AddRecorder(pRoot, &log, L"b", RECT{200, 10, 300, 60}, CONTROLFLAG_TABSTOP);
        CRecorderUI* panel = AddRecorder(pRoot, &log, L"panel", RECT{150, 0, 400, 200});
        AddRecorder(pRoot, &log, L"c", RECT{160, 100, 260, 150}, CONTROLFLAG_TABSTOP);
        CContainerUI* pGroup = AddChild<CContainerUI>(pRoot, L"float=\"true\" pos=\"0,250,100,300\"");
        AddRecorder(pGroup, &log, L"d", RECT{0, 0, 50, 50}, CONTROLFLAG_TABSTOP);
        panel->SetVisible(row.panel);
        pGroup->SetVisible(row.groupVisible);
        pGroup->SetEnabled(row.groupEnabled);
        ::ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
        host.Paint();

        const int n = static_cast<int>(row.cycle.size());
        std::vector<std::wstring> forward(row.cycle.begin() + 1, row.cycle.end());
        forward.push_back(L"a");
        std::vector<std::wstring> backward(row.cycle.rbegin(), row.cycle.rend() - 1);
        backward.push_back(L"a");
        host.Manager()->SetFocus(a);
        EXPECT_EQ(TabWalk(host, n, false), forward);
        EXPECT_EQ(TabWalk(host, n, true), backward);
        EXPECT_FALSE(host.Manager()->IsTabStop(panel)) << "a control without the flag is no stop";
    }
}

// Each link of a text is a stop; Return sends "link" for the focused one, a
// button's Return and Space send "click"; an auto-repeated key-down (bit 30
// of lParam) activates nothing.
TEST(Keyboard, LinksAreStopsAndReturnActivatesOnceAHeldKeyDoesNotRepeat)
{
    PaintManagerWindow host;
    CContainerUI* pRoot = host.AttachContainer();
    CButtonUI* pButton = AddChild<CButtonUI>(pRoot, L"name=\"go\" float=\"true\" pos=\"10,10,110,40\"");
    CTextUI* pText = AddChild<CTextUI>(pRoot,
                                       L"name=\"text\" float=\"true\" pos=\"10,60,400,90\" showhtml=\"true\" "
                                       L"text=\"{a one}First{/a} and {a two}Second{/a}\"");
    LinkLog links;
    host.Manager()->AddNotifier(&links);
    ::ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    host.Paint();
    ASSERT_EQ(2, pText->GetLinkCount());
    host.Manager()->SetFocus(pButton);

    EXPECT_EQ(TabWalk(host, 4, false), (std::vector<std::wstring>{L"text#0", L"text#1", L"go", L"text#0"}));
    EXPECT_EQ(TabWalk(host, 3, true), (std::vector<std::wstring>{L"go", L"text#1", L"text#0"}));

    const LPARAM kRepeat = 1 << 30;
    struct Press
    {
        int tabs;  // from the button
        WPARAM vk;
        LPARAM lParam;
        const wchar_t* expected;  // null: nothing
    } presses[] = {
        {0, VK_RETURN, 0, L"click:go:0"},  {0, VK_SPACE, 0, L"click:go:0"},
        {0, VK_RETURN, kRepeat, nullptr},  {1, VK_RETURN, 0, L"link:text:0"},
        {2, VK_RETURN, 0, L"link:text:1"}, {2, VK_RETURN, kRepeat, nullptr},
    };
    for (const Press& press : presses) {
        host.Manager()->SetFocus(pButton);
        for (int i = 0; i < press.tabs; i++) host.Key(VK_TAB);
        links.log.clear();
        host.Key(press.vk, false, press.lParam);
        std::vector<std::wstring> expected;
        if (press.expected != nullptr) expected.push_back(press.expected);
        EXPECT_EQ(links.log, expected) << press.tabs << " tabs, key " << press.vk;
    }
    host.Manager()->RemoveNotifier(&links);
}

// The cue is a frame just outside the focused control, in the window's cue
// colour or the control's own focusbordercolor; hidden until a key is
// pressed, however often the mouse clicks.
TEST(Keyboard, TheFocusCueShowsOnceTheKeyboardIsUsed)
{
    PaintManagerWindow host;
    CContainerUI* pRoot = host.AttachContainer();
    pRoot->SetBkColor(0xFFFFFFFF);
    CButtonUI* pA = AddChild<CButtonUI>(pRoot, L"name=\"a\" float=\"true\" pos=\"20,20,120,60\"");
    CButtonUI* pB = AddChild<CButtonUI>(
        pRoot, L"name=\"b\" float=\"true\" pos=\"200,20,300,60\" focusbordercolor=\"#FF00FF00\"");
    host.Manager()->SetFocusCueColor(0xFFFF0000);
    ::ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    host.Paint();
    host.Pump();

    // The frame's outer pixel column at the control's left edge, mid-height.
    auto cueAt = [&host](CControlUI* pControl) {
        host.Paint();
        const RECT& rc = pControl->GetPos();
        return host.PaintedPixel(rc.left - 3, (rc.top + rc.bottom) / 2) & 0x00FFFFFF;
    };
    host.Manager()->SetFocus(pA);
    ::SendMessageW(host.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(30, 30));
    ::SendMessageW(host.Handle(), WM_LBUTTONUP, 0, PointParam(30, 30));
    EXPECT_FALSE(host.Manager()->IsFocusCueShown());
    EXPECT_NE(0xFF0000u, cueAt(pA)) << "no cue while only the mouse was used";

    host.Key(VK_TAB);
    EXPECT_TRUE(host.Manager()->IsFocusCueShown());
    EXPECT_EQ(FocusName(host.Manager()), L"b");
    EXPECT_EQ(0x00FF00u, cueAt(pB)) << "the control's own colour";
    EXPECT_NE(0xFF0000u, cueAt(pA)) << "the old focus lost its frame";
    host.Key(VK_TAB);
    EXPECT_EQ(0xFF0000u, cueAt(pA)) << "the window's colour";
    EXPECT_EQ(0, ::SendMessageW(host.Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)
        << "the window's own copy of the state agrees";
}

}  // namespace WindowTest
