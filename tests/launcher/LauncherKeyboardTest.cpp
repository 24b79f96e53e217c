// The launcher's own skin driven with keys only: the Tab order of each page
// in each product state (never a tile hidden under the phone page's panel),
// where the focus lands after each action, and the name every control a user
// acts on or reads carries for screen readers. Keys go the way the message
// loop sends them (the engine's pre-translation, then the window); installs
// start real workers whose requests a local server refuses.
//
// Sections: fixture; Tab order; focus after actions; names.

#include "launcher/LauncherView.h"
#include "launcher/Products.h"
#include "launcher/SystemInfo.h"
#include "skinui/accessibility/AccessibilityTree.h"
#include "skinui/control/Control.h"
#include "skinui/core/PaintManager.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/LauncherFixture.h"
#include "tests/support/PaintManagerWindow.h"
#include "tests/support/ProxyGuard.h"
#include "tests/support/SkinFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace Launcher;
using SkinUI::CControlUI;
using SkinUI::CPaintManagerUI;
using TestSupport::FeedProgress;
using TestSupport::WaitFor;
using TestSupport::WideFromAnsi;

namespace {

// ---- Fixture ------------------------------------------------------------------

void SetKey(int index, bool installed)
{
    if (installed)
        ASSERT_TRUE(TestSupport::InstallKey(index, L"C:\\Vozeror\\Product.exe"));
    else
        TestSupport::RemoveKey(index);
}

// No product installed and every worker record idle.
void ResetAll()
{
    for (int i = 0; i < kProductCount; i++) SetKey(i, false);
    TestSupport::ResetShared();
}

class LauncherKeyboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string skin = TestSupport::SkinSourceFile("DlgMain.xml");
        CPaintManagerUI::SetResourcePath(WideFromAnsi(skin.substr(0, skin.find_last_of("\\/") + 1)).c_str());
        m_server.SetRoute("/", TestSupport::HttpResponse::Status(404));
        Fresh();
    }

    void TearDown() override { End(); }

    // A new window on the launcher's skin with a new view, nothing
    // installed and no worker running.
    void Fresh()
    {
        End();
        ResetAll();
        m_window.reset(new TestSupport::PaintManagerWindow);
        ASSERT_TRUE(m_window->IsValid());
        ASSERT_NE(nullptr, m_window->LoadSkin(L"DlgMain.xml"));
        m_view.reset(new TestSupport::CTestView);
    }

    void End()
    {
        if (m_view != nullptr) Manager().RemoveNotifier(m_view.get());
        WaitFor([] {
            return !IsWorkerRunning(kDesktop) && !IsWorkerRunning(kIPhone) && !IsWorkerRunning(kAndroid);
        });
        m_view.reset();
        m_window.reset();
        ResetAll();
    }

    // The window as it starts with these products installed: laid out and
    // painted once, as the first WM_PAINT does.
    void Start(bool desktop, bool iphone, bool android)
    {
        SetKey(kDesktop, desktop);
        SetKey(kIPhone, iphone);
        SetKey(kAndroid, android);
        ASSERT_TRUE(m_view->Init(Manager(), Manager().GetPaintWindow()));
        Manager().AddNotifier(m_view.get());
        ShowWindow(Manager().GetPaintWindow(), SW_SHOWNOACTIVATE);
        m_window->Paint();
    }

    // A product whose worker reported its first bytes: the next tick shows
    // its disabled run tile and bar.
    void Downloading(int index)
    {
        FeedProgress(index, 100000, 90000);
        m_view->Tick();
        m_window->Paint();
    }

    void Key(WPARAM vk, bool shift = false)
    {
        m_window->Key(vk, shift);
        m_window->Paint();
    }

    std::wstring Focus()
    {
        CControlUI* focus = Manager().GetFocus();
        return focus != nullptr ? focus->GetName().GetData() : L"-";
    }

    // The stops Tab visits from the focus, until it comes back to it.
    std::vector<std::wstring> TabCycle(bool shift = false)
    {
        std::vector<std::wstring> cycle = {Focus()};
        for (int i = 0; i < 20; i++) {
            Key(VK_TAB, shift);
            if (Focus() == cycle.front()) break;
            cycle.push_back(Focus());
        }
        return cycle;
    }

    CPaintManagerUI& Manager() { return *m_window->Manager(); }
    CControlUI* C(const wchar_t* name) { return Manager().FindControl(name); }

    TestSupport::HttpTestServer m_server;
    TestSupport::ProxyGuard m_proxy{m_server.Port()};
    std::unique_ptr<TestSupport::PaintManagerWindow> m_window;
    std::unique_ptr<TestSupport::CTestView> m_view;
};

}  // namespace

// ---- Tab order ------------------------------------------------------------------

// Reading order: header, body, footer; the close button is the header's
// stop, so it comes last before the cycle starts again at the page's first
// tile. A disabled run tile is no stop, and neither is a desktop tile that a
// tick shows under the phone page's white panel.
TEST_F(LauncherKeyboardTest, TabVisitsThePageInReadingOrderInEveryProductState)
{
    struct Row
    {
        const char* what;
        bool desktop, iphone, android;  // installed at start
        bool phonePage;
        int downloading;  // then a tick shows this product downloading (-1: none)
        int finished;     // or this product's setup finished and installed it
        std::vector<std::wstring> cycle;
    } rows[] = {
        {"nothing installed",
         false,
         false,
         false,
         false,
         -1,
         -1,
         {L"computer_install", L"phone_jump", L"qq", L"tel", L"closebtn"}},
        {"desktop installed",
         true,
         false,
         false,
         false,
         -1,
         -1,
         {L"computer_run", L"phone_jump", L"qq", L"tel", L"closebtn"}},
        {"desktop downloading",
         false,
         false,
         false,
         false,
         kDesktop,
         -1,
         {L"phone_jump", L"qq", L"tel", L"closebtn"}},
        {"phone page",
         false,
         false,
         false,
         true,
         -1,
         -1,
         {L"iphone_install", L"android_install", L"qq", L"tel", L"return", L"closebtn"}},
        {"phone page, desktop downloading under the panel",
         false,
         false,
         false,
         true,
         kDesktop,
         -1,
         {L"iphone_install", L"android_install", L"qq", L"tel", L"return", L"closebtn"}},
        {"phone page, desktop installed under the panel",
         false,
         false,
         false,
         true,
         -1,
         kDesktop,
         {L"iphone_install", L"android_install", L"qq", L"tel", L"return", L"closebtn"}},
        {"phone page, iPhone downloading",
         false,
         false,
         false,
         true,
         kIPhone,
         -1,
         {L"android_install", L"qq", L"tel", L"return", L"closebtn"}},
        {"phone page, both phones installed",
         false,
         true,
         true,
         true,
         -1,
         -1,
         {L"iphone_run", L"android_run", L"qq", L"tel", L"return", L"closebtn"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Fresh();
        Start(row.desktop, row.iphone, row.android);
        if (row.phonePage) {
            Manager().SetFocus(C(L"phone_jump"));
            Key(VK_RETURN);
            ASSERT_FALSE(m_view->OnComputerPage());
        }
        if (row.downloading >= 0) Downloading(row.downloading);
        if (row.finished >= 0) {
            SetKey(row.finished, true);
            ReportOutcome(row.finished, WorkerFinished);
            m_view->Tick();
            m_window->Paint();
        }
        if (row.finished == kDesktop) {
            ASSERT_TRUE(C(L"computer_run")->IsVisible()) << "under the panel";
        }
        Manager().SetFocus(C(row.cycle.front().c_str()));
        EXPECT_EQ(TabCycle(), row.cycle);
        std::vector<std::wstring> back(row.cycle.rbegin(), row.cycle.rend() - 1);
        back.insert(back.begin(), row.cycle.front());
        EXPECT_EQ(TabCycle(true), back) << "Shift+Tab: the same cycle backwards";
    }
}

// ---- Focus after actions ------------------------------------------------------

TEST_F(LauncherKeyboardTest, EveryActionLeavesTheFocusOnAVisibleStop)
{
    Start(false, false, false);
    EXPECT_EQ(Focus(), L"computer_install") << "the first tile, not the close button";

    // Return right after start installs: a worker asks the server, and the
    // focus moves on, as the run tile that follows cannot hold it.
    Key(VK_RETURN);
    EXPECT_TRUE(WaitFor([this] { return !m_server.Requests().empty(); })) << "the install started";
    EXPECT_EQ(Focus(), L"phone_jump");
    EXPECT_TRUE(IsWindow(Manager().GetPaintWindow())) << "Return did not close the window";

    Key(VK_RETURN);
    EXPECT_FALSE(m_view->OnComputerPage());
    EXPECT_EQ(Focus(), L"iphone_install") << "the phone page's first tile";
    Key(VK_RETURN);
    EXPECT_EQ(Focus(), L"android_install") << "past the iPhone tile whose install started";
    Manager().SetFocus(C(L"return"));
    Key(VK_RETURN);
    EXPECT_TRUE(m_view->OnComputerPage());
    EXPECT_EQ(Focus(), L"phone_jump") << "back on the tile that opened the page";

    // The desktop download ends while the focus is elsewhere: it stays.
    ASSERT_TRUE(WaitFor([] { return !IsWorkerRunning(kDesktop); }));
    Manager().SetFocus(C(L"qq"));
    ReportOutcome(kDesktop, WorkerFinished);
    m_view->Tick();
    EXPECT_EQ(Focus(), L"qq");
}

TEST_F(LauncherKeyboardTest, AFailedRunFocusesTheInstallTileThatReplacesIt)
{
    Start(true, false, false);
    EXPECT_EQ(Focus(), L"computer_run");
    SetKey(kDesktop, false);  // uninstalled meanwhile
    Key(VK_RETURN);
    EXPECT_TRUE(C(L"computer_install")->IsVisible());
    EXPECT_EQ(Focus(), L"computer_install");
}

// ---- Names ------------------------------------------------------------------------

// What each control a user acts on or reads says to a screen reader: its
// accessible name while enabled, and while disabled where that differs.
TEST_F(LauncherKeyboardTest, EveryActionableControlHasANameInTheSkinsLanguage)
{
    struct Row
    {
        std::wstring control;
        std::wstring name;
        std::wstring disabledName;  // empty: the same name
    };
    std::vector<Row> rows = {{L"closebtn", L"关闭", L""},
                             {L"phone_jump", L"手机数据恢复 选择手机", L""},
                             {L"qq", L"客服 4000012345：打开网页在线客服", L""},
                             {L"tel", L"热线 4000012345：打开联系我们页面", L""},
                             {L"return", L"返回", L""}};
    // Each product's tiles: its name, then what the tile does.
    const wchar_t* const products[kProductCount] = {L"电脑数据恢复 ", L"苹果手机恢复 ", L"安卓手机恢复 "};
    for (int i = 0; i < kProductCount; ++i) {
        const std::wstring product = products[i];
        rows.push_back({kProducts[i].installTile, product + L"立即安装", L""});
        rows.push_back({kProducts[i].runTile, product + L"立即运行", product + L"安装中"});
        rows.push_back({kProducts[i].bar, product + L"正在下载并安装", L""});
    }
    Start(false, false, false);
    SkinUI::CAccessibilityTreeUI tree(&Manager());
    for (const Row& row : rows) {
        CControlUI* control = C(row.control.c_str());
        ASSERT_NE(nullptr, control) << TestSupport::AnsiFromWide(row.control);
        const SkinUI::TAccessibleTarget target = {control, -1};
        EXPECT_TRUE(tree.IsExposed(control)) << TestSupport::AnsiFromWide(row.control);
        EXPECT_EQ(row.name, tree.GetName(target).GetData()) << TestSupport::AnsiFromWide(row.control);
        const bool enabled = control->IsEnabled();
        control->SetEnabled(false);
        EXPECT_EQ(row.disabledName.empty() ? row.name : row.disabledName, tree.GetName(target).GetData())
            << "disabled: " << TestSupport::AnsiFromWide(row.control);
        control->SetEnabled(enabled);
    }
    // The title and the phone page's instruction read as static text.
    C(L"choose_text")->SetVisible(true);
    std::vector<SkinUI::TAccessibleTarget> children;
    tree.GetChildren({nullptr, -1}, children);
    for (const wchar_t* text : {L"Vozeror", L"请选择需要恢复的手机类型"}) {
        bool found = false;
        for (const SkinUI::TAccessibleTarget& child : children)
            if (tree.GetName(child) == text) found = tree.GetRole(child) == ROLE_SYSTEM_STATICTEXT;
        EXPECT_TRUE(found) << TestSupport::AnsiFromWide(text);
    }
}
