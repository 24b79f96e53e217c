// The launcher's view controller on a hand-built tree of the skin's named
// controls, attached to a paint manager bound to a hidden window. It is
// driven the way the window drives it: clicks are real button activations
// whose "click" notification the manager delivers to the view, and ticks
// are OnTimer calls reading the real shared progress records and flags. The
// probe reads real uninstall keys of the prefix; run clicks start the stand-in
// product, the service links start a stand-in browser through ShellExecuteW,
// and the whole install path runs a real worker against a local server.
//
// Sections: tree and fixture; Init; state tables; page switch; the poll
// timer; run clicks; service links; the whole install path.

#include "launcher/LauncherView.h"
#include "launcher/Products.h"
#include "launcher/SystemInfo.h"
#include "skinui/control/Button.h"
#include "skinui/control/Container.h"
#include "skinui/control/Label.h"
#include "skinui/control/Progress.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/LauncherFixture.h"
#include "tests/support/PaintManagerWindow.h"
#include "tests/support/ProxyGuard.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace Launcher;
using namespace SkinUI;
using TestSupport::AnsiFromWide;
using TestSupport::WideFromAnsi;
using namespace TestSupport;

namespace {

// ---- Tree and fixture --------------------------------------------------------

enum Kind
{
    kLabel,
    kButton,
    kProgress
};

struct Node
{
    const wchar_t* name;
    Kind kind;
    bool visible;  // as the skin starts
};

// The skin's controls in document order, plus two the view does not use.
const Node kSkin[] = {
    {L"LabelUI1", kLabel, true},
    {L"closebtn", kButton, true},
    {L"computer_install", kButton, true},
    {L"computer_run", kButton, true},
    {L"computer_pro", kProgress, true},
    {L"phone_jump", kButton, true},
    {L"firstBK3", kLabel, false},
    {L"iphone_install", kButton, false},
    {L"iphone_run", kButton, false},
    {L"android_install", kButton, false},
    {L"android_run", kButton, false},
    {L"choose_text", kLabel, false},
    {L"iphone_pro", kProgress, false},
    {L"android_pro", kProgress, false},
    {L"qq", kButton, true},
    {L"tel", kButton, true},
    {L"return", kButton, false},
};

std::string ReadFile(const std::string& path)
{
    std::string text;
    TestSupport::ReadWholeFile(path, text);
    return text;
}

class LauncherViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 0; i < kProductCount; i++) RemoveKey(i);
        ResetShared();
        ASSERT_TRUE(m_window.IsValid());
        BuildTree(kSkin, sizeof(kSkin) / sizeof(kSkin[0]));
    }

    void TearDown() override
    {
        Manager().RemoveNotifier(&m_view);
        for (int i = 0; i < kProductCount; i++) RemoveKey(i);
        ResetShared();
    }

    CPaintManagerUI& Manager() { return *m_window.Manager(); }

    void BuildTree(const Node* nodes, size_t count)
    {
        CContainerUI* root = new CContainerUI;
        for (size_t i = 0; i < count; i++) {
            CControlUI* control = nodes[i].kind == kButton ? new CButtonUI
                : nodes[i].kind == kProgress               ? static_cast<CControlUI*>(new CProgressUI)
                                                           : new CLabelUI;
            control->SetName(nodes[i].name);
            control->SetVisible(nodes[i].visible);
            if (nodes[i].kind == kProgress) control->SetAttribute(L"value", L"30");
            root->Add(control);
        }
        ASSERT_TRUE(Manager().AttachDialog(root));
    }

    bool Start()
    {
        bool complete = m_view.Init(Manager(), Manager().GetPaintWindow());
        Manager().AddNotifier(&m_view);
        return complete;
    }

    CControlUI* C(const wchar_t* name) { return Manager().FindControl(name); }
    CButtonUI* B(const wchar_t* name) { return static_cast<CButtonUI*>(C(name)->GetInterface(L"Button")); }
    CProgressUI* P(const wchar_t* name)
    {
        return static_cast<CProgressUI*>(C(name)->GetInterface(L"Progress"));
    }
    // A completed click on the button, as its activation sends it.
    void Click(const wchar_t* name) { EXPECT_TRUE(B(name)->Activate()) << AnsiFromWide(name); }

    // "v"/"h" per control of the tree, in tree order.
    std::map<std::wstring, bool> Visibility()
    {
        std::map<std::wstring, bool> shown;
        for (const Node& n : kSkin) shown[n.name] = C(n.name)->IsVisible();
        return shown;
    }

    TestSupport::PaintManagerWindow m_window;
    TestSupport::CTestView m_view;
};

}  // namespace

// ---- Init ---------------------------------------------------------------------

TEST_F(LauncherViewTest, InitFindsTheControlsStartsTheTimerAndShowsTheDesktopTile)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(KillTimer(Manager().GetPaintWindow(), kPollTimerId)) << "the poll timer runs on the window";
    for (const wchar_t* bar : {L"computer_pro", L"iphone_pro", L"android_pro"})
        EXPECT_EQ(0, P(bar)->GetValue());
    for (const Node& n : kSkin) {
        bool hand = n.kind == kButton && std::wstring(n.name) != L"closebtn";
        EXPECT_EQ(hand ? 32649 : 0, C(n.name)->GetCursor()) << AnsiFromWide(n.name);
    }
    for (int i = 0; i < kProductCount; i++) EXPECT_EQ(NotInstalled, m_view.State(i));

    std::map<std::wstring, bool> shown = Visibility();
    EXPECT_TRUE(shown[L"computer_install"]);
    EXPECT_FALSE(shown[L"computer_run"]);
    EXPECT_FALSE(shown[L"computer_pro"]);
    EXPECT_TRUE(shown[L"phone_jump"]);
    for (const wchar_t* name : {L"firstBK3", L"choose_text", L"iphone_install", L"iphone_run",
                                L"android_install", L"android_run", L"iphone_pro", L"android_pro", L"return"})
        EXPECT_FALSE(shown[name]) << "phone tiles stay as the skin has them: " << AnsiFromWide(name);
}

TEST_F(LauncherViewTest, InitWithTheDesktopProductInstalledOffersItsRunTile)
{
    InstallKey(kDesktop, L"C:\\Vedeziz\\Vedeziz.exe");
    InstallKey(kIPhone, L"C:\\Zarazed\\Zarazed.exe");
    ASSERT_TRUE(Start());
    EXPECT_EQ(Installed, m_view.State(kDesktop));
    EXPECT_EQ(Installed, m_view.State(kIPhone));
    EXPECT_EQ(L"C:\\Vedeziz\\Vedeziz.exe", m_view.LaunchPath(kDesktop));
    EXPECT_FALSE(C(L"computer_install")->IsVisible());
    EXPECT_TRUE(C(L"computer_run")->IsVisible());
    EXPECT_TRUE(C(L"computer_run")->IsEnabled());
    EXPECT_FALSE(C(L"iphone_run")->IsVisible()) << "the phone page is not showing";
}

TEST_F(LauncherViewTest, ASkinWithoutOneOfTheControlsStillWorks)
{
    // "tel" is missing and "computer_pro" is a label, not a bar.
    std::vector<Node> nodes;
    for (const Node& n : kSkin) {
        if (std::wstring(n.name) == L"tel") continue;
        Node copy = n;
        if (std::wstring(n.name) == L"computer_pro") copy.kind = kLabel;
        nodes.push_back(copy);
    }
    BuildTree(nodes.data(), nodes.size());
    EXPECT_FALSE(Start());
    Click(L"phone_jump");
    Click(L"return");
    FeedProgress(kDesktop, 1000, 500);
    m_view.Tick();
    EXPECT_EQ(Downloading, m_view.State(kDesktop));
    EXPECT_TRUE(C(L"computer_pro")->IsVisible()) << "a control of the wrong kind is left alone";
}

// ---- Page switch ----------------------------------------------------------------

TEST_F(LauncherViewTest, PageSwitchHidesAndShowsExactlyTheListedControls)
{
    ASSERT_TRUE(Start());
    std::map<std::wstring, bool> expected = Visibility();

    Click(L"phone_jump");
    EXPECT_FALSE(m_view.OnComputerPage());
    for (const wchar_t* name : {L"computer_install", L"computer_run", L"computer_pro", L"phone_jump",
                                L"iphone_run", L"android_run", L"iphone_pro", L"android_pro"})
        expected[name] = false;
    for (const wchar_t* name :
         {L"firstBK3", L"choose_text", L"iphone_install", L"android_install", L"return"})
        expected[name] = true;
    EXPECT_EQ(expected, Visibility());

    Click(L"return");
    EXPECT_TRUE(m_view.OnComputerPage());
    for (const wchar_t* name :
         {L"firstBK3", L"choose_text", L"iphone_install", L"android_install", L"return"})
        expected[name] = false;
    expected[L"computer_install"] = true;
    expected[L"phone_jump"] = true;
    EXPECT_EQ(expected, Visibility());
    EXPECT_TRUE(C(L"qq")->IsVisible());
    EXPECT_TRUE(C(L"closebtn")->IsVisible());
}

// ---- The poll timer ------------------------------------------------------------------

struct PollCase
{
    int product;
    bool phonePage;
};

TEST_F(LauncherViewTest, BarMovesInStepsOfFiveAndIsHiddenOneTickAfterAHundred)
{
    ASSERT_TRUE(Start());
    const PollCase cases[] = {{kDesktop, false}, {kIPhone, true}, {kAndroid, true}, {kDesktop, true}};
    for (const PollCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "product " << c.product << (c.phonePage ? " on the phone page" : ""));
        ResetShared();
        m_view.BackToInstallTile(c.product);
        if (c.phonePage == m_view.OnComputerPage()) Click(c.phonePage ? L"phone_jump" : L"return");
        const ProductInfo& t = kProducts[c.product];
        P(t.bar)->SetValue(0);
        // Visible while downloading: the bar of the desktop on its own page
        // and of the phones on theirs.
        bool barShown = (c.product == kDesktop) != c.phonePage;
        bool runShown = c.product == kDesktop || c.phonePage;

        // The worker has started, before any byte: the download shows at once.
        FeedProgress(c.product, 0, 0);
        m_view.Tick();
        EXPECT_EQ(Downloading, m_view.State(c.product));
        EXPECT_EQ(0, P(t.bar)->GetValue());
        EXPECT_EQ(barShown, C(t.bar)->IsVisible());
        EXPECT_FALSE(C(t.installTile)->IsVisible());

        const unsigned total = 1000;
        int last = 0;
        for (unsigned remaining = total;; remaining = remaining >= 37 ? remaining - 37 : 0) {
            FeedProgress(c.product, total, remaining);
            m_view.Tick();
            int value = P(t.bar)->GetValue();
            EXPECT_EQ(int((total - remaining) / 50) * 5, value) << "remaining " << remaining;
            EXPECT_EQ(0, value % 5);
            EXPECT_GE(value, last);
            last = value;
            EXPECT_EQ(Downloading, m_view.State(c.product));
            EXPECT_EQ(total, m_view.Status(c.product).shown.total);
            EXPECT_FALSE(C(t.installTile)->IsVisible());
            EXPECT_EQ(runShown, C(t.runTile)->IsVisible());
            EXPECT_FALSE(C(t.runTile)->IsEnabled());
            EXPECT_EQ(barShown, C(t.bar)->IsVisible());
            if (remaining == 0) break;
        }
        EXPECT_EQ(100, last);

        // The worker runs the setup; the tick after the bar reached 100: state
        // 4, bar hidden.
        ReportOutcome(c.product, WorkerSetupRunning);
        m_view.Tick();
        EXPECT_EQ(Downloaded, m_view.State(c.product));
        EXPECT_FALSE(C(t.bar)->IsVisible());
        EXPECT_EQ(100, P(t.bar)->GetValue());
        m_view.Tick();
        EXPECT_EQ(Downloaded, m_view.State(c.product)) << "while the setup runs";

        // The setup has finished and wrote the product's key: the run tile
        // is offered, and the flag is taken.
        InstallKey(c.product, L"C:\\P\\product.exe");
        ReportOutcome(c.product, WorkerFinished);
        m_view.Tick();
        RemoveKey(c.product);
        EXPECT_EQ(Installed, m_view.State(c.product));
        EXPECT_EQ(runShown, C(t.runTile)->IsVisible());
        EXPECT_TRUE(C(t.runTile)->IsEnabled());
        EXPECT_FALSE(C(t.bar)->IsVisible());
        // An installed product ignores records.
        FeedProgress(c.product, 1000, 500);
        m_view.Tick();
        EXPECT_EQ(Installed, m_view.State(c.product));
        EXPECT_EQ(100, P(t.bar)->GetValue());
    }
}

TEST_F(LauncherViewTest, TinyTotalsCompleteAndShortBodiesStayDownloadingUntilTheFlag)
{
    ASSERT_TRUE(Start());
    // Totals below 20: the step of total / 20 bytes would be 0.
    for (unsigned total : {1u, 19u, 20u}) {
        SCOPED_TRACE(testing::Message() << "total " << total);
        ResetShared();
        m_view.BackToInstallTile(kDesktop);
        FeedProgress(kDesktop, total, total);
        m_view.Tick();
        EXPECT_EQ(0, P(L"computer_pro")->GetValue());
        EXPECT_TRUE(C(L"computer_pro")->IsVisible());
        FeedProgress(kDesktop, total, 0);
        m_view.Tick();
        EXPECT_EQ(100, P(L"computer_pro")->GetValue());
        EXPECT_EQ(Downloading, m_view.State(kDesktop));
        ReportOutcome(kDesktop, WorkerSetupRunning);
        m_view.Tick();
        EXPECT_EQ(Downloaded, m_view.State(kDesktop));
        EXPECT_FALSE(C(L"computer_pro")->IsVisible());
    }

    // A body under 400 bytes counts past 20 steps; the bar ignores 105 and
    // the tile waits in state 3 for the setup.
    ResetShared();
    m_view.BackToInstallTile(kDesktop);
    FeedProgress(kDesktop, 399, 0);
    ReportOutcome(kDesktop, WorkerSetupRunning);
    for (int i = 0; i < 3; i++) {
        m_view.Tick();
        EXPECT_EQ(Downloading, m_view.State(kDesktop));
        EXPECT_EQ(0, P(L"computer_pro")->GetValue());
        EXPECT_TRUE(C(L"computer_pro")->IsVisible());
    }
    // The setup ran and installed nothing: the install tile is back.
    ReportOutcome(kDesktop, WorkerFinished);
    m_view.Tick();
    EXPECT_EQ(NotInstalled, m_view.State(kDesktop));
    EXPECT_TRUE(C(L"computer_install")->IsVisible());
    EXPECT_FALSE(C(L"computer_run")->IsVisible());
    EXPECT_EQ(0, P(L"computer_pro")->GetValue());
}

TEST_F(LauncherViewTest, APhoneDownloadOnTheComputerPageChangesNothingVisible)
{
    ASSERT_TRUE(Start());
    std::map<std::wstring, bool> before = Visibility();
    FeedProgress(kIPhone, 1000, 600);
    m_view.Tick();
    EXPECT_EQ(Downloading, m_view.State(kIPhone));
    EXPECT_EQ(before, Visibility());
    Click(L"phone_jump");
    EXPECT_TRUE(C(L"iphone_run")->IsVisible());
    EXPECT_FALSE(C(L"iphone_run")->IsEnabled());
    EXPECT_TRUE(C(L"iphone_pro")->IsVisible());
    EXPECT_FALSE(C(L"iphone_install")->IsVisible());
    EXPECT_EQ(40, P(L"iphone_pro")->GetValue());

    // A desktop download seen from the phone page keeps its bar hidden.
    FeedProgress(kDesktop, 1000, 600);
    m_view.Tick();
    EXPECT_TRUE(C(L"computer_run")->IsVisible());
    EXPECT_FALSE(C(L"computer_pro")->IsVisible());
}

TEST_F(LauncherViewTest, OnlyThePollTimerActs)
{
    ASSERT_TRUE(Start());
    FeedProgress(kDesktop, 1000, 500);
    ReportOutcome(kIPhone, WorkerFinished);
    for (WPARAM id : {WPARAM(1), WPARAM(999), WPARAM(1001), WPARAM(0x1000)}) {
        BOOL handled = FALSE;
        EXPECT_EQ(0, m_view.OnTimer(WM_TIMER, id, 0, handled));
        EXPECT_FALSE(handled);
    }
    EXPECT_EQ(NotInstalled, m_view.State(kDesktop));
    EXPECT_EQ(NotInstalled, m_view.State(kIPhone));
}

// ---- Run clicks ----------------------------------------------------------------------

TEST_F(LauncherViewTest, RunClickStartsTheProductOrShowsTheInstallTileWhenItWasUninstalled)
{
    TestSupport::TempFolder folder("vzview");
    const std::string product = AnsiFromWide(TestSupport::TestBinDir()) + "fake_product.exe";
    const std::string productLog = folder.File("product.log");
    SetEnvironmentVariableW(L"FAKE_PRODUCT_LOG", WideFromAnsi(productLog).c_str());
    InstallKey(kDesktop, WideFromAnsi(product));
    InstallKey(kIPhone, WideFromAnsi(product));
    ASSERT_TRUE(Start());

    Click(L"computer_run");
    EXPECT_EQ(Installed, m_view.State(kDesktop));
    EXPECT_TRUE(WaitFor([&] { return GetFileAttributesA(productLog.c_str()) != INVALID_FILE_ATTRIBUTES; }))
        << "the product did not start";

    // Uninstalled meanwhile: the click shows the install tile, state 0.
    RemoveKey(kDesktop);
    Click(L"computer_run");
    EXPECT_EQ(MissingAtRun, m_view.State(kDesktop));
    EXPECT_TRUE(C(L"computer_install")->IsVisible());
    EXPECT_FALSE(C(L"computer_run")->IsVisible());
    EXPECT_FALSE(C(L"computer_pro")->IsVisible());

    // The same on the phone page; state 0 then changes nothing, so leaving
    // the page and coming back shows all three of its controls at once.
    Click(L"phone_jump");
    ASSERT_TRUE(C(L"iphone_run")->IsVisible());
    RemoveKey(kIPhone);
    Click(L"iphone_run");
    EXPECT_EQ(MissingAtRun, m_view.State(kIPhone));
    EXPECT_TRUE(C(L"iphone_install")->IsVisible());
    EXPECT_FALSE(C(L"iphone_run")->IsVisible());
    Click(L"return");
    Click(L"phone_jump");
    EXPECT_TRUE(C(L"iphone_install")->IsVisible());
    EXPECT_TRUE(C(L"iphone_run")->IsVisible());
    EXPECT_TRUE(C(L"iphone_pro")->IsVisible());
    EXPECT_EQ(NotInstalled, m_view.State(kAndroid)) << "the Android install tile as before";
    EXPECT_TRUE(C(L"android_install")->IsVisible());
    SetEnvironmentVariableW(L"FAKE_PRODUCT_LOG", nullptr);
}

// ---- Service links -----------------------------------------------------------------------
// The browser stand-in is registered as "iexplore.exe" under App Paths. Wine
// ships a browser of its own in the system folder, which ShellExecuteW finds
// before App Paths; it is moved aside for the test and put back afterwards.

class BrowserGuard
{
public:
    explicit BrowserGuard(const std::wstring& recorder)
    {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        m_builtin = std::wstring(system) + L"\\iexplore.exe";
        m_moved = m_builtin + L".vzaside";
        if (GetFileAttributesW(m_moved.c_str()) != INVALID_FILE_ATTRIBUTES &&
            GetFileAttributesW(m_builtin.c_str()) == INVALID_FILE_ATTRIBUTES)
            MoveFileW(m_moved.c_str(), m_builtin.c_str());  // left aside by an interrupted run
        m_wasMoved = MoveFileW(m_builtin.c_str(), m_moved.c_str()) != FALSE;

        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                        nullptr);
        wchar_t old[1024] = {};
        DWORD size = sizeof(old) - sizeof(wchar_t);
        m_hadValue = RegQueryValueExW(m_key, nullptr, nullptr, &m_type, reinterpret_cast<BYTE*>(old),
                                      &size) == ERROR_SUCCESS;
        m_old.assign(reinterpret_cast<char*>(old), size);
        RegSetValueExW(m_key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(recorder.c_str()),
                       DWORD((recorder.size() + 1) * sizeof(wchar_t)));
    }
    ~BrowserGuard()
    {
        if (m_hadValue)
            RegSetValueExW(m_key, nullptr, 0, m_type, reinterpret_cast<const BYTE*>(m_old.data()),
                           DWORD(m_old.size()));
        else
            RegDeleteValueW(m_key, nullptr);
        RegCloseKey(m_key);
        if (m_wasMoved) MoveFileW(m_moved.c_str(), m_builtin.c_str());
    }

private:
    static constexpr const wchar_t* kAppPath =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\iexplore.exe";
    std::wstring m_builtin, m_moved;
    bool m_wasMoved = false;
    HKEY m_key = nullptr;
    bool m_hadValue = false;
    DWORD m_type = REG_SZ;
    std::string m_old;
};

TEST_F(LauncherViewTest, ServiceLinksOpenTheTwoPagesInTheBrowser)
{
    TestSupport::TempFolder folder("vzbrowser");
    const std::string log = folder.File("browser.log");
    BrowserGuard browser(TestSupport::TestBinDir() + L"iexplore_recorder.exe");
    SetEnvironmentVariableW(L"IEXPLORE_RECORDER_LOG", WideFromAnsi(log).c_str());
    // An "iexplore.exe" in the current folder, as anyone may leave one there,
    // must not be what starts.
    const std::wstring planted = WideFromAnsi(folder.File("iexplore.exe"));
    ASSERT_TRUE(
        CopyFileW((TestSupport::TestBinDir() + L"iexplore_recorder.exe").c_str(), planted.c_str(), FALSE));
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(WideFromAnsi(folder.Path()).c_str());
    ASSERT_TRUE(Start());

    Click(L"qq");
    ASSERT_TRUE(WaitFor([&] { return ReadFile(log).find('\n') != std::string::npos; }))
        << "the browser was not started";
    Click(L"tel");
    ASSERT_TRUE(WaitFor([&] {
        std::string text = ReadFile(log);
        return text.find('\n') != text.rfind('\n');
    }));
    SetEnvironmentVariableW(L"IEXPLORE_RECORDER_LOG", nullptr);
    SetCurrentDirectoryW(previous);

    std::string text = ReadFile(log);
    std::string first = text.substr(0, text.find('\n'));
    std::string second = text.substr(first.size() + 1);
    second = second.substr(0, second.find('\n'));
    EXPECT_NE(std::string::npos, first.find("iexplore_recorder.exe")) << first;
    EXPECT_NE(std::string::npos, second.find("iexplore_recorder.exe")) << second;
    const std::string service =
        " http://wpa.qq.com/page/portalpage/wpa.php?uin=4000012345&aty=0&a=0&curl=&ty=1";
    const std::string contact =
        " http://" VOZEROR_REDIRECT_HOST "/redirect/ver1/vuvudavu/contact/{version}/{setupname}/{machineid}";
    EXPECT_EQ(service, first.substr(first.size() - std::min(first.size(), service.size())));
    EXPECT_EQ(contact, second.substr(second.size() - std::min(second.size(), contact.size())));
    EXPECT_EQ(service.substr(1), AnsiFromWide(kServicePage));
    EXPECT_EQ(contact.substr(1), AnsiFromWide(kContactPage));
    // The links change no tile.
    EXPECT_EQ(NotInstalled, m_view.State(kDesktop));
}

// ---- The whole install path ------------------------------------------------------------------

struct TickRecord
{
    int state;
    int bar;
    bool barShown;
    bool runShown;
    bool runEnabled;
};

TEST_F(LauncherViewTest, InstallClickRunsAWorkerAgainstTheLocalServerAndOffersTheRunTile)
{
    TestSupport::TempFolder folder("vzviewinstall");
    std::string setupBody;
    ASSERT_TRUE(
        TestSupport::ReadWholeFile(AnsiFromWide(TestSupport::TestBinDir()) + "fake_setup.exe", setupBody));
    const std::string product = AnsiFromWide(TestSupport::TestBinDir()) + "fake_product.exe";
    const std::string productLog = folder.File("product.log");
    const std::string path = TestSupport::UrlPath(kProducts[kDesktop].downloadUrl);
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring setupFile = std::wstring(temp) + kProducts[kDesktop].setupFileName;

    struct Body
    {
        const char* name;
        std::string body;
        bool installs;
    };
    const Body bodies[] = {{"the stand-in setup", setupBody, true},
                           {"a 399-byte body", std::string(399, 'x'), false}};

    TestSupport::HttpTestServer server;
    TestSupport::ProxyGuard proxy(server.Port());
    SetEnvironmentVariableW(L"FAKE_SETUP_LOG", WideFromAnsi(folder.File("setup.log")).c_str());
    SetEnvironmentVariableW(L"FAKE_PRODUCT_LOG", WideFromAnsi(productLog).c_str());
    SetEnvironmentVariableW(L"FAKE_SETUP_REG_KEY", ProductKeyPath(kDesktop));
    SetEnvironmentVariableW(L"FAKE_SETUP_REG_VALUE", L"DisplayIcon");
    SetEnvironmentVariableW(L"FAKE_SETUP_REG_DATA", WideFromAnsi(product).c_str());
    ASSERT_TRUE(Start());

    for (const Body& b : bodies) {
        SCOPED_TRACE(b.name);
        RemoveKey(kDesktop);
        ResetShared();
        ASSERT_TRUE(WaitFor([] { return !IsWorkerRunning(kDesktop); }));
        m_view.BackToInstallTile(kDesktop);
        server.SetRoute(path, TestSupport::HttpResponse::Ok(b.body));
        size_t requests = server.RequestCount(path);

        Click(L"computer_install");
        std::vector<TickRecord> ticks;
        ASSERT_TRUE(WaitFor([&] {
            m_view.Tick();
            ticks.push_back({m_view.State(kDesktop), P(L"computer_pro")->GetValue(),
                             C(L"computer_pro")->IsVisible(), C(L"computer_run")->IsVisible(),
                             C(L"computer_run")->IsEnabled()});
            return b.installs
                ? ticks.back().state == Installed
                : !IsWorkerRunning(kDesktop) && m_view.Status(kDesktop).endsSeen == ReadWorker(kDesktop).ends;
        })) << "the worker did not finish";
        EXPECT_EQ(requests + 1, server.RequestCount(path));

        int last = 0;
        for (const TickRecord& t : ticks) {
            EXPECT_EQ(0, t.bar % 5);
            EXPECT_GE(t.bar, last);
            EXPECT_LE(t.bar, 100);
            last = t.bar;
            if (t.state == Downloading) {
                EXPECT_TRUE(t.barShown);
                EXPECT_TRUE(t.runShown);
                EXPECT_FALSE(t.runEnabled);
            }
            if (t.state == Downloaded) {
                EXPECT_TRUE(b.installs) << "a short body never completes the bar";
                EXPECT_FALSE(t.barShown);
                EXPECT_EQ(100, t.bar);
            }
        }
        // The worker's end reads the key again: the stand-in setup wrote it
        // and the run tile starts the product; the short body installed
        // nothing and the install tile is back, its bar at 0.
        const TickRecord& end = ticks.back();
        EXPECT_EQ(b.installs, end.runShown);
        EXPECT_EQ(b.installs, end.runEnabled);
        EXPECT_FALSE(end.barShown);
        EXPECT_EQ(!b.installs, C(L"computer_install")->IsVisible());
        EXPECT_EQ(b.installs ? 100 : 0, end.bar);
        if (b.installs) {
            DeleteFileA(productLog.c_str());
            Click(L"computer_run");
            EXPECT_EQ(Installed, m_view.State(kDesktop));
            EXPECT_EQ(WideFromAnsi(product), m_view.LaunchPath(kDesktop));
            EXPECT_TRUE(WaitFor([&] {
                return GetFileAttributesA(productLog.c_str()) != INVALID_FILE_ATTRIBUTES;
            })) << "the installed product did not start";
        } else {
            EXPECT_EQ(NotInstalled, m_view.State(kDesktop));
        }
    }

    for (const wchar_t* name : {L"FAKE_SETUP_LOG", L"FAKE_PRODUCT_LOG", L"FAKE_SETUP_REG_KEY",
                                L"FAKE_SETUP_REG_VALUE", L"FAKE_SETUP_REG_DATA"})
        SetEnvironmentVariableW(name, nullptr);
    WaitFor([] { return !IsWorkerRunning(kDesktop); });
    DeleteFileW(setupFile.c_str());
}
