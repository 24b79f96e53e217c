// The launcher program itself (vozeror.exe), started as a child process:
//   closed while its worker is downloading, it ends with exit code 0 and
//   leaves no setup half-written, and its next start removes the folder the
//   interrupted worker left;
//   started beside DLLs planted under system DLL names, with Windows' own
//   native-first load order, it loads none of them;
//   its embedded manifest.
// The program's built-in setup URL reaches a local server through the
// prefix's proxy setting; the install click is a real mouse press and release
// posted to the window at the desktop tile's place.

#include "launcher/Products.h"
#include "launcher/SystemInfo.h"
#include "skinui/resource/ModuleResource.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/LauncherFixture.h"
#include "tests/support/ProxyGuard.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace Launcher;
using TestSupport::HttpResponse;
using TestSupport::TempEntries;
using TestSupport::WaitFor;

namespace {

// The main window's title (MainWnd.h), by which the test finds it.
const wchar_t kLauncherTitle[] = L"Vozeror";

// The desktop tile's centre in client coordinates: the body row starts 50
// pixels down, the tile lies at (68, 20) in it, 400 by 90.
const int kTileX = 68 + 200;
const int kTileY = 50 + 20 + 45;

std::wstring BuiltProgram()
{
    return TestSupport::TestBinDir() + L"..\\..\\launcher\\vozeror.exe";
}

std::wstring Lower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), ::towlower);
    return text;
}

// One run of the launcher program: started, its window found, then closed
// with WM_CLOSE by Close(). Environment changes made before the start reach
// the child; the destructor ends a child that is still there.
class LauncherRun
{
public:
    bool Start(const std::wstring& program, const wchar_t* folder = nullptr)
    {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        std::wstring line = L"\"" + program + L"\"";
        if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                            &m_process))
            return false;
        return WaitFor([&] { return (m_window = FindWindowW(kLauncherTitle, kLauncherTitle)) != nullptr; });
    }

    void ClickDesktopTile()
    {
        // Let the first frame lay the tree out before the press lands.
        Sleep(500);
        const LPARAM at = MAKELPARAM(kTileX, kTileY);
        PostMessageW(m_window, WM_MOUSEMOVE, 0, at);
        PostMessageW(m_window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(m_window, WM_LBUTTONUP, 0, at);
    }

    // The full paths of the child's modules, in lower case.
    std::vector<std::wstring> Modules() const
    {
        HMODULE modules[512];
        DWORD bytes = 0;
        std::vector<std::wstring> paths;
        if (!EnumProcessModules(m_process.hProcess, modules, sizeof(modules), &bytes)) return paths;
        for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
            wchar_t path[MAX_PATH] = {};
            if (GetModuleFileNameExW(m_process.hProcess, modules[i], path, MAX_PATH))
                paths.push_back(Lower(path));
        }
        return paths;
    }

    HWND Window() const { return m_window; }

    // Closes the window; the exit code, or 99 when the child did not end.
    DWORD Close()
    {
        if (m_window != nullptr) PostMessageW(m_window, WM_CLOSE, 0, 0);
        DWORD code = 99;
        if (m_process.hProcess != nullptr && WaitForSingleObject(m_process.hProcess, 30000) == WAIT_OBJECT_0)
            GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }

    ~LauncherRun()
    {
        if (m_process.hProcess == nullptr) return;
        if (WaitForSingleObject(m_process.hProcess, 0) != WAIT_OBJECT_0)
            TerminateProcess(m_process.hProcess, 99);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }

private:
    PROCESS_INFORMATION m_process = {};
    HWND m_window = nullptr;
};

}  // namespace

TEST(LauncherProgram, ClosingTheWindowDuringADownloadEndsWithZeroAndLeavesNoSetupFolder)
{
    const std::wstring program = BuiltProgram();
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(program.c_str()));
    ASSERT_EQ(nullptr, FindWindowW(nullptr, kLauncherTitle)) << "a launcher is already running";
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductKeyPath(kDesktop));
    const std::string path = TestSupport::UrlPath(kProducts[kDesktop].downloadUrl);
    const std::string big = "MZ" + std::string((size_t(64) << 20) - 2, 'z');
    // Held after its first MiB, so that the close always falls inside the
    // transfer, never after a fast loopback has delivered it all.
    HttpResponse held = HttpResponse::Ok(big);
    held.holdAfter = size_t(1) << 20;

    struct Row
    {
        const char* name;
        HttpResponse response;
    };
    const Row rows[] = {
        {"the request is never answered", HttpResponse::Stall()},
        {"a 64 MiB body is arriving", held},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::set<std::wstring> partsBefore = TempEntries(L"vdl*.tmp");
        TestSupport::HttpTestServer server;
        server.SetRoute(path, row.response);
        TestSupport::ProxyGuard proxy(server.Port());
        {
            LauncherRun run;
            ASSERT_TRUE(run.Start(program)) << "the launcher's window did not appear";
            run.ClickDesktopTile();
            EXPECT_TRUE(WaitFor([&] { return server.RequestCount(path) > 0; }))
                << "the install click started no download";
            EXPECT_EQ(0u, run.Close());
        }
        // Closing stops the download: the worker removes its folder before
        // the program ends.
        EXPECT_EQ(std::set<std::wstring>(), TempEntries(L"VozerorSetup-*")) << "a setup folder was left";
        EXPECT_EQ(partsBefore, TempEntries(L"vdl*.tmp"))
            << "a temporary part of the download was left behind";
        const std::wstring setupName = std::wstring(kProducts[kDesktop].setupFileName + 1);
        EXPECT_EQ(0u, TempEntries(setupName.c_str()).size()) << "a setup in the temporary folder";
    }

    // The next start removes what the interrupted workers left.
    TestSupport::HttpTestServer server;
    TestSupport::ProxyGuard proxy(server.Port());
    LauncherRun run;
    ASSERT_TRUE(run.Start(program));
    EXPECT_EQ(std::set<std::wstring>(), TempEntries(L"VozerorSetup-*"))
        << "a leftover setup folder survived the start";
    EXPECT_EQ(0u, run.Close());
}

// Wine loads a DLL it finds beside a program in place of its own when the
// load order names it native first, as Windows does for every DLL that is not
// a known one; the test's CMake entry sets that order for msimg32, gdiplus
// and wininet. A stand-in DLL planted under those names marks every process
// that loads it; a small consumer that loads them by name proves the planting
// is seen, and the launcher, started in that folder and made to draw and to
// download, must load the system folder's DLLs only.
TEST(LauncherProgram, DllsPlantedBesideTheProgramNeverLoad)
{
    ASSERT_EQ(nullptr, FindWindowW(nullptr, kLauncherTitle)) << "a launcher is already running";
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductKeyPath(kDesktop));
    TestSupport::TempFolder folder("vzplanted");
    const std::wstring dir = TestSupport::WideFromAnsi(folder.Path()) + L"\\";
    const std::wstring bin = TestSupport::TestBinDir();
    const wchar_t* const planted[] = {L"msimg32.dll", L"gdiplus.dll", L"wininet.dll"};
    for (const wchar_t* name : planted)
        ASSERT_TRUE(CopyFileW((bin + L"planted_dll.dll").c_str(), (dir + name).c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(BuiltProgram().c_str(), (dir + L"vozeror.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((bin + L"dll_consumer.exe").c_str(), (dir + L"dll_consumer.exe").c_str(), FALSE));
    const std::wstring mark = dir + L"marks.log";
    SetEnvironmentVariableW(L"PLANTED_DLL_MARK", mark.c_str());

    // The consumer: every planted DLL loads and marks.
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::wstring line = L"dll_consumer.exe msimg32.dll gdiplus.dll wininet.dll";
    ASSERT_TRUE(CreateProcessW((dir + L"dll_consumer.exe").c_str(), &line[0], nullptr, nullptr, FALSE, 0,
                               nullptr, dir.c_str(), &startup, &process));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 30000));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string marks;
    ASSERT_TRUE(TestSupport::ReadWholeFile(folder.File("marks.log"), marks))
        << "the planting is not seen at all";
    EXPECT_EQ(3, std::count(marks.begin(), marks.end(), '\n')) << marks;
    DeleteFileW(mark.c_str());

    // The launcher: drawn, then downloading (WinINet), in the same folder.
    {
        TestSupport::HttpTestServer server;
        const std::string path = TestSupport::UrlPath(kProducts[kDesktop].downloadUrl);
        server.SetRoute(path, HttpResponse::Status(404));
        TestSupport::ProxyGuard proxy(server.Port());
        LauncherRun run;
        ASSERT_TRUE(run.Start(dir + L"vozeror.exe", dir.c_str())) << "the launcher's window did not appear";
        run.ClickDesktopTile();
        EXPECT_TRUE(WaitFor([&] { return server.RequestCount(path) > 0; }))
            << "the install click started no download";
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        const std::vector<std::wstring> modules = run.Modules();
        // GDI+ draws the texts and WinINet downloads; msimg32 loads only
        // where the engine leaves a blend to the system. Whatever loaded of
        // the three came from the system folder.
        for (const wchar_t* name : planted) {
            SCOPED_TRACE(testing::Message() << name);
            const std::wstring expected = Lower(std::wstring(system) + L"\\" + name);
            const std::wstring tail = std::wstring(L"\\") + name;
            for (const std::wstring& module : modules) {
                if (module.size() >= tail.size() &&
                    module.compare(module.size() - tail.size(), tail.size(), tail) == 0) {
                    EXPECT_EQ(expected, module);
                }
            }
            if (wcscmp(name, L"msimg32.dll") != 0) {
                EXPECT_NE(modules.end(), std::find(modules.begin(), modules.end(), expected)) << "not loaded";
            }
        }
        EXPECT_EQ(0u, run.Close());
    }
    SetEnvironmentVariableW(L"PLANTED_DLL_MARK", nullptr);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(mark.c_str()))
        << "a planted DLL ran in the launcher";
}

// The manifest the loader reads (resource 1 of type RT_MANIFEST): the user's
// own rights without virtualization, every supported Windows, and no DPI
// awareness. The tests above show that Wine runs the program carrying it.
TEST(LauncherProgram, TheProgramCarriesItsManifest)
{
    HMODULE image = LoadLibraryExW(BuiltProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, image);
    const BYTE* bytes = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(SkinUI::FindModuleResource(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24), &bytes, &size))
        << "no manifest";
    const std::string manifest(reinterpret_cast<const char*>(bytes), size);
    FreeLibrary(image);
    const char* const parts[] = {
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
        // Per-monitor aware, with the older forms for Windows 8.1 and 7.
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>",
        "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, "
        "PerMonitor</dpiAwareness>",
    };
    for (const char* part : parts) EXPECT_NE(std::string::npos, manifest.find(part)) << part;
}

// A second start hands over to the first launcher: its window comes back
// from the taskbar and the second process exits with 0 and no window. A
// window of another program that merely bears the title keeps nothing from
// starting.
TEST(LauncherProgram, ASecondStartBringsTheFirstWindowBack)
{
    const std::wstring program = BuiltProgram();
    TestSupport::HttpTestServer server;
    TestSupport::ProxyGuard proxy(server.Port());
    WNDCLASSW other = {};
    other.lpfnWndProc = DefWindowProcW;
    other.hInstance = GetModuleHandleW(nullptr);
    other.lpszClassName = L"NotTheLauncher";
    RegisterClassW(&other);
    HWND lookalike = CreateWindowW(L"NotTheLauncher", kLauncherTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   100, 100, nullptr, nullptr, other.hInstance, nullptr);
    ASSERT_NE(nullptr, lookalike);
    {
        LauncherRun first;
        ASSERT_TRUE(first.Start(program))
            << "a window titled Vozeror of another program kept it from starting";
        ShowWindow(first.Window(), SW_MINIMIZE);
        ASSERT_TRUE(WaitFor([&] { return IsIconic(first.Window()) != FALSE; }));
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        std::wstring line = L"\"" + program + L"\"";
        ASSERT_TRUE(CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &info));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(info.hProcess, 30000));
        DWORD code = 99;
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        EXPECT_EQ(0u, code);
        EXPECT_TRUE(WaitFor([&] { return IsIconic(first.Window()) == FALSE; }))
            << "the first window stayed minimised";
        EXPECT_TRUE(IsWindowVisible(first.Window()));
        EXPECT_EQ(0u, first.Close());
    }
    DestroyWindow(lookalike);
}
