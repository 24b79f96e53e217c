// The launcher's view and its real workers against a local server that
// misbehaves, on the control tree built from the launcher's own skin: every
// fault ends with the tile in a defined state and no setup run, neither a
// partial one nor a stale one left from an earlier attempt; and three
// downloads at once under a storm of clicks over every tile of both pages
// start at most one worker per product and end in the registry's states.
//
// Sections: fixture; the redirect bound; the fault matrix; three downloads
// and a click storm.

#include "launcher/Download.h"
#include "launcher/LauncherView.h"
#include "launcher/MainWnd.h"
#include "launcher/Products.h"
#include "launcher/SetupFolder.h"
#include "launcher/SystemInfo.h"
#include "skinui/control/Button.h"
#include "skinui/control/Control.h"
#include "skinui/control/Progress.h"
#include "skinui/core/PaintManager.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/LauncherFixture.h"
#include "tests/support/PaintManagerWindow.h"
#include "tests/support/ProxyGuard.h"
#include "tests/support/SkinFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

using namespace Launcher;
using SkinUI::CButtonUI;
using SkinUI::CControlUI;
using SkinUI::CPaintManagerUI;
using TestSupport::HttpResponse;
using TestSupport::KeyExists;
using TestSupport::WaitFor;
using TestSupport::WideFromAnsi;

namespace {

// ---- Fixture ------------------------------------------------------------------

// The products' tiles, named by the product table.
const wchar_t* InstallTile(int index)
{
    return kProducts[index].installTile;
}
const wchar_t* RunTile(int index)
{
    return kProducts[index].runTile;
}

std::wstring SetupPath(int index)
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp) + kProducts[index].setupFileName;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class LauncherFaultTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 0; i < kProductCount; i++) {
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductKeyPath(i));
            ResetWorkerRecord(i);
            DeleteFileW(SetupPath(i).c_str());
        }
        ASSERT_TRUE(m_window.IsValid());
        const std::string skin = TestSupport::SkinSourceFile("DlgMain.xml");
        CPaintManagerUI::SetResourcePath(WideFromAnsi(skin.substr(0, skin.find_last_of("\\/") + 1)).c_str());
        ASSERT_NE(nullptr, m_window.LoadSkin(L"DlgMain.xml"));
        ASSERT_TRUE(m_view.Init(Manager(), Manager().GetPaintWindow()));
        Manager().AddNotifier(&m_view);
        ASSERT_TRUE(TestSupport::ReadWholeFile(
            TestSupport::AnsiFromWide(TestSupport::TestBinDir()) + "fake_setup.exe", m_setup));
        SetEnvironmentVariableW(L"FAKE_SETUP_LOG", WideFromAnsi(m_folder.File("setup.log")).c_str());
        SetEnvironmentVariableW(L"FAKE_PRODUCT_LOG", WideFromAnsi(m_folder.File("product.log")).c_str());
        // The faults here are about where the tiles end, not how long the
        // retries take: short waits and time-outs.
        WorkerDownloadOptions().retryDelayMs = 10;
        WorkerDownloadOptions().timeoutMs = 1000;
    }

    void TearDown() override
    {
        WorkerDownloadOptions() = DownloadOptions();
        Manager().RemoveNotifier(&m_view);
        WaitFor([] {
            return !IsWorkerRunning(kDesktop) && !IsWorkerRunning(kIPhone) && !IsWorkerRunning(kAndroid);
        });
        for (const wchar_t* name : {L"FAKE_SETUP_LOG", L"FAKE_PRODUCT_LOG", L"FAKE_SETUP_REG_KEY",
                                    L"FAKE_SETUP_REG_VALUE", L"FAKE_SETUP_REG_DATA", L"FAKE_SETUP_DELAY_MS"})
            SetEnvironmentVariableW(name, nullptr);
        for (int i = 0; i < kProductCount; i++) {
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductKeyPath(i));
            ResetWorkerRecord(i);
            DeleteFileW(SetupPath(i).c_str());
        }
    }

    CPaintManagerUI& Manager() { return *m_window.Manager(); }
    CControlUI* C(const wchar_t* name) { return Manager().FindControl(name); }
    SkinUI::CProgressUI* P(const wchar_t* name)
    {
        return static_cast<SkinUI::CProgressUI*>(C(name)->GetInterface(L"Progress"));
    }
    // A click as the button's activation sends it; false when the button is
    // hidden or disabled, as a real click would then not land.
    bool Click(const wchar_t* name)
    {
        CControlUI* control = C(name);
        CButtonUI* button =
            control != nullptr ? static_cast<CButtonUI*>(control->GetInterface(L"Button")) : nullptr;
        return button != nullptr && button->IsVisible() && button->IsEnabled() && button->Activate();
    }
    bool SetupRan() { return Exists(m_folder.File("setup.log")); }

    TestSupport::PaintManagerWindow m_window;
    TestSupport::CTestView m_view;
    TestSupport::TempFolder m_folder{"vzfault"};
    std::string m_setup;
};

}  // namespace

// ---- The redirect bound ------------------------------------------------------------
// A chain of redirects is followed up to ten hops; one more, like a loop,
// fails the download instead of following it for ever.

TEST(RedirectBound, TenHopsAreFollowedAndTheEleventhFails)
{
    struct Row
    {
        int hops;
        bool complete;
    };
    const Row rows[] = {{0, true}, {1, true}, {10, true}, {11, false}, {40, false}};
    TestSupport::TempFolder folder("vzhops");
    const std::string target = folder.File("setup.exe");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hops);
        TestSupport::HttpTestServer server;
        for (int i = 0; i < row.hops; i++)
            server.SetRoute("/hop" + std::to_string(i),
                            HttpResponse::Redirect("/hop" + std::to_string(i + 1)));
        server.SetRoute("/hop" + std::to_string(row.hops), HttpResponse::Ok("MZ, the setup"));
        DeleteFileA(target.c_str());
        EXPECT_EQ(row.complete,
                  DownloadToFile(TestSupport::WideFromAnsi(server.Url("/hop0")).c_str(),
                                 TestSupport::WideFromAnsi(target).c_str(), nullptr));
        EXPECT_EQ(row.complete, Exists(target));
        EXPECT_EQ(size_t(row.complete ? row.hops + 1 : 11), server.Requests().size());
    }
}

// ---- The fault matrix -------------------------------------------------------------
// Each row serves the desktop product's setup URL badly. A stale copy of the
// setup lies where the launcher once kept its setup, in the temporary
// folder: the worker must neither run it nor write there. When the worker
// ends the view reads the product's key again, finds nothing and shows the
// install tile, its bar back at 0.

TEST_F(LauncherFaultTest, EveryServerFaultEndsInTheInstallTileWithNoSetupRun)
{
    const std::string body = m_setup;
    struct Row
    {
        const char* name;
        HttpResponse response;
        bool refuse;  // the proxy port has no listener
    };
    HttpResponse loop = HttpResponse::Redirect(TestSupport::UrlPath(kProducts[kDesktop].downloadUrl));
    const Row rows[] = {
        {"refused connection", HttpResponse::Status(404), true},
        {"404", HttpResponse::Status(404, "not here"), false},
        {"302 to itself", loop, false},
        {"no Content-Length (chunked)", HttpResponse::Chunked(body), false},
        {"Content-Length above the body",
         HttpResponse::WithContentLength(std::to_string(body.size() + 4096), body), false},
        {"body cut off at half", HttpResponse::CutOff(body, body.size() / 2), false},
        {"body cut off one byte short", HttpResponse::CutOff(body, body.size() - 1), false},
        {"stalled past the time-outs", HttpResponse::Stall(), false},
        {"length 4 GiB - 1", HttpResponse::WithContentLength("4294967295", body), false},
        {"length 4 GiB", HttpResponse::WithContentLength("4294967296", body), false},
        {"length 0", HttpResponse::WithContentLength("0", body), false},
    };
    const std::string path = TestSupport::UrlPath(kProducts[kDesktop].downloadUrl);
    const std::wstring setupPath = SetupPath(kDesktop);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestSupport::HttpTestServer server;
        server.SetRoute(path, row.response);
        TestSupport::ProxyGuard proxy(row.refuse ? TestSupport::UnusedLoopbackPort() : server.Port());
        ResetWorkerRecord(kDesktop);
        DeleteFileA(m_folder.File("setup.log").c_str());
        ASSERT_TRUE(TestSupport::WriteWholeFile(TestSupport::AnsiFromWide(setupPath), body));
        ASSERT_TRUE(C(InstallTile(kDesktop))->IsVisible());

        ASSERT_TRUE(Click(InstallTile(kDesktop)));
        ASSERT_TRUE(WaitFor([&] {
            m_view.Tick();
            return !IsWorkerRunning(kDesktop) &&
                m_view.Status(kDesktop).endsSeen == ReadWorker(kDesktop).ends;
        })) << "the worker did not end";
        m_view.Tick();
        if (!row.refuse) {
            EXPECT_GE(server.RequestCount(path), 1u);
        }
        EXPECT_FALSE(SetupRan()) << "a setup ran";
        std::string left;
        ASSERT_TRUE(TestSupport::ReadWholeFile(TestSupport::AnsiFromWide(setupPath), left));
        EXPECT_EQ(body, left) << "the stale setup was overwritten";
        EXPECT_EQ(NotInstalled, m_view.State(kDesktop));
        EXPECT_TRUE(C(InstallTile(kDesktop))->IsVisible());
        EXPECT_FALSE(C(RunTile(kDesktop))->IsVisible());
        EXPECT_FALSE(C(kProducts[kDesktop].bar)->IsVisible());
        EXPECT_EQ(0, P(kProducts[kDesktop].bar)->GetValue());
        EXPECT_FALSE(Exists(m_folder.File("product.log")));
        EXPECT_FALSE(KeyExists(kDesktop));
        DeleteFileW(setupPath.c_str());
    }
}

// ---- A scanner holding the new setup ------------------------------------------------
// A virus scanner opens a new file for a moment as it is written. Here it
// holds the setup's name in the worker's folder from before the body is
// complete until a while after: for 300 ms the worker waits and installs;
// for 5 s it gives up after about 2 s and the install tile comes back.

TEST_F(LauncherFaultTest, ASetupHeldByAScannerForAMomentStillInstalls)
{
    struct Row
    {
        DWORD holdMs;
        bool installs;
    };
    const Row rows[] = {{300, true}, {5000, false}};
    const std::string path = TestSupport::UrlPath(kProducts[kDesktop].downloadUrl);
    const std::string product = TestSupport::AnsiFromWide(TestSupport::TestBinDir()) + "fake_product.exe";
    SetEnvironmentVariableW(L"FAKE_SETUP_REG_KEY", ProductKeyPath(kDesktop));
    SetEnvironmentVariableW(L"FAKE_SETUP_REG_VALUE", kProducts[kDesktop].pathValue);
    SetEnvironmentVariableW(L"FAKE_SETUP_REG_DATA", WideFromAnsi(product).c_str());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.holdMs);
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductKeyPath(kDesktop));
        DeleteFileA(m_folder.File("setup.log").c_str());
        TestSupport::HttpTestServer server;
        // The last of three pieces comes 500 ms after the others.
        HttpResponse slow = HttpResponse::Ok(m_setup);
        slow.bytesPerInterval = m_setup.size() / 2 + 1;
        slow.intervalMs = 500;
        server.SetRoute(path, slow);
        TestSupport::ProxyGuard proxy(server.Port());
        ASSERT_TRUE(Click(InstallTile(kDesktop)));

        // The scanner: the setup's name in the new folder, held without
        // sharing from the first byte until holdMs after the last.
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        HANDLE held = INVALID_HANDLE_VALUE;
        ASSERT_TRUE(WaitFor(
            [&] {
                WIN32_FIND_DATAW found;
                HANDLE search = FindFirstFileW((std::wstring(temp) + L"VozerorSetup-*").c_str(), &found);
                if (search == INVALID_HANDLE_VALUE) return false;
                FindClose(search);
                const std::wstring setup =
                    std::wstring(temp) + found.cFileName + kProducts[kDesktop].setupFileName;
                held = CreateFileW(setup.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                                   nullptr);
                return held != INVALID_HANDLE_VALUE;
            },
            10000));
        const DownloadProgress atHold = ReadWorker(kDesktop).progress;
        ASSERT_TRUE(atHold.total == 0 || atHold.remaining != 0) << "the body was complete before the hold";
        ASSERT_TRUE(WaitFor(
            [] {
                DownloadProgress p = ReadWorker(kDesktop).progress;
                return p.total != 0 && p.remaining == 0;
            },
            10000));
        Sleep(row.holdMs);
        CloseHandle(held);

        ASSERT_TRUE(WaitFor([&] {
            m_view.Tick();
            return !IsWorkerRunning(kDesktop) &&
                m_view.Status(kDesktop).endsSeen == ReadWorker(kDesktop).ends;
        })) << "the worker did not end";
        EXPECT_EQ(row.installs, SetupRan());
        EXPECT_EQ(row.installs ? Installed : NotInstalled, m_view.State(kDesktop));
        EXPECT_EQ(row.installs, C(RunTile(kDesktop))->IsVisible());
        EXPECT_EQ(!row.installs, C(InstallTile(kDesktop))->IsVisible());
        m_view.BackToInstallTile(kDesktop);
        // A file still held when the worker ended keeps its folder for the
        // next start's clean-up.
        RemoveLeftoverSetupFolders();
    }
}

// ---- Three downloads and a click storm -----------------------------------------------
// The three products' setups (the stand-in setup padded to 6 MiB, which it
// ignores, and signed) download at once; each setup then takes 3 s, so the workers stay
// up while 1000 clicks land on random tiles of both pages, with a poll tick
// after every fifth. The stand-in setups all install the desktop product.
// An install click can start a download only while its product has no
// worker: the server must see exactly one request per such click, so a
// second worker of one product would show as a request too many.

TEST_F(LauncherFaultTest, ThreeDownloadsAndAThousandClicksKeepOneWorkerPerProduct)
{
    // Padded before it was signed (tests/support/CMakeLists.txt): bytes
    // appended to a signed file would fail its check.
    std::string body;
    ASSERT_TRUE(TestSupport::ReadWholeFile(
        TestSupport::AnsiFromWide(TestSupport::TestBinDir()) + "fake_setup_6mib.exe", body));
    ASSERT_LE(size_t(6) << 20, body.size());
    TestSupport::HttpTestServer server;
    TestSupport::ProxyGuard proxy(server.Port());
    std::string paths[kProductCount];
    for (int i = 0; i < kProductCount; i++) {
        paths[i] = TestSupport::UrlPath(kProducts[i].downloadUrl);
        server.SetRoute(paths[i], HttpResponse::Ok(body));
    }
    const std::string product = TestSupport::AnsiFromWide(TestSupport::TestBinDir()) + "fake_product.exe";
    SetEnvironmentVariableW(L"FAKE_SETUP_DELAY_MS", L"3000");
    SetEnvironmentVariableW(L"FAKE_SETUP_REG_KEY", ProductKeyPath(kDesktop));
    SetEnvironmentVariableW(L"FAKE_SETUP_REG_VALUE", kProducts[kDesktop].pathValue);
    SetEnvironmentVariableW(L"FAKE_SETUP_REG_DATA", WideFromAnsi(product).c_str());

    int starts[kProductCount] = {};
    ASSERT_TRUE(Click(InstallTile(kDesktop)));
    ASSERT_TRUE(Click(L"phone_jump"));
    ASSERT_TRUE(Click(InstallTile(kIPhone)));
    ASSERT_TRUE(Click(InstallTile(kAndroid)));
    for (int i = 0; i < kProductCount; i++) {
        ++starts[i];
        EXPECT_TRUE(IsWorkerRunning(i)) << "product " << i;
    }

    const wchar_t* const tiles[] = {InstallTile(kDesktop), RunTile(kDesktop), L"phone_jump",
                                    InstallTile(kIPhone),  RunTile(kIPhone),  InstallTile(kAndroid),
                                    RunTile(kAndroid),     L"return"};
    const int kTileCount = sizeof(tiles) / sizeof(tiles[0]);
    UINT random = 0x2545F491u;
    int landed = 0;
    for (int click = 0; click < 1000; click++) {
        random ^= random << 13;
        random ^= random >> 17;
        random ^= random << 5;
        const wchar_t* tile = tiles[random % kTileCount];
        int product = -1;
        for (int i = 0; i < kProductCount; i++)
            if (tile == InstallTile(i)) product = i;
        const bool idle = product >= 0 && !IsWorkerRunning(product);
        if (Click(tile)) {
            ++landed;
            if (idle) ++starts[product];
        }
        if (click % 5 == 4) m_view.Tick();
    }
    EXPECT_GT(landed, 100);

    ASSERT_TRUE(WaitFor([] {
        return !IsWorkerRunning(kDesktop) && !IsWorkerRunning(kIPhone) && !IsWorkerRunning(kAndroid);
    })) << "the workers did not end";
    for (int i = 0; i < 3; i++) m_view.Tick();
    for (int i = 0; i < kProductCount; i++)
        EXPECT_EQ(size_t(starts[i]), server.RequestCount(paths[i])) << "product " << i;

    // Each product's run tile, where shown, reconciles it with the registry:
    // only the desktop product was installed.
    ResetWorkerRecord(kDesktop);
    if (!m_view.OnComputerPage()) {
        ASSERT_TRUE(Click(L"return"));
    }
    if (C(RunTile(kDesktop))->IsVisible()) Click(RunTile(kDesktop));
    EXPECT_TRUE(KeyExists(kDesktop));
    EXPECT_EQ(Installed, m_view.State(kDesktop));
    EXPECT_TRUE(C(RunTile(kDesktop))->IsVisible());
    EXPECT_TRUE(C(RunTile(kDesktop))->IsEnabled());
    EXPECT_FALSE(C(InstallTile(kDesktop))->IsVisible());
    ASSERT_TRUE(Click(L"phone_jump"));
    for (int i = kIPhone; i <= kAndroid; i++) {
        SCOPED_TRACE(i);
        if (C(RunTile(i))->IsVisible()) Click(RunTile(i));
        EXPECT_FALSE(KeyExists(i));
        EXPECT_NE(Installed, m_view.State(i));
        EXPECT_TRUE(C(InstallTile(i))->IsVisible());
        EXPECT_FALSE(C(RunTile(i))->IsVisible());
    }
}

// ---- A skin lacking a tile -----------------------------------------------------
// The main window on a copy of the skin whose "tel" link is renamed: its
// creation fails after the load-failure message (a thread here reads and
// closes the box), instead of giving a window with half its view.

// Reads the load-failure box's text and closes it; a thread routine, so that
// the window's creation can run on the test's thread.
static wchar_t s_boxText[256];
static DWORD WINAPI CloseLoadFailureBox(LPVOID)
{
    for (int i = 0; i < 1500; ++i, Sleep(20))
        if (HWND box = FindWindowW(nullptr, L"SkinUI")) {
            GetDlgItemTextW(box, 0xFFFF, s_boxText, 256);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
    return 1;
}

TEST(MainWindow, ASkinLackingATileFailsTheWindowsCreationWithTheLoadFailureMessage)
{
    const std::string source = TestSupport::SkinSourceFile("DlgMain.xml");
    const std::wstring sourceDir = WideFromAnsi(source.substr(0, source.find_last_of("\\/") + 1));
    TestSupport::TempFolder folder("vzskin");
    std::string xml;
    ASSERT_TRUE(TestSupport::ReadWholeFile(source, xml));
    ASSERT_NE(std::string::npos, xml.find("name=\"tel\""));
    xml.replace(xml.find("name=\"tel\""), 10, "name=\"lef\"");
    ASSERT_TRUE(TestSupport::WriteWholeFile(folder.File("DlgMain.xml"), xml));
    CPaintManagerUI::SetResourcePath((WideFromAnsi(folder.Path()) + L"\\").c_str());

    s_boxText[0] = L'\0';
    HANDLE closer = CreateThread(nullptr, 0, CloseLoadFailureBox, nullptr, 0, nullptr);
    CMainWnd* frame = new CMainWnd;  // deletes itself with its window
    EXPECT_EQ(nullptr, frame->Create(nullptr, kMainWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(closer, 40000));
    CloseHandle(closer);
    EXPECT_NE(nullptr, std::wcsstr(s_boxText, L"DlgMain.xml")) << "the load-failure message";
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the window's end posted one
    CPaintManagerUI::SetResourcePath(sourceDir.c_str());
}
