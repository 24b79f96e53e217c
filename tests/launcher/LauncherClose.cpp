// The launcher program itself (vozeror.exe) closed while its worker is
// downloading: the process ends with exit code 0, and neither the setup nor a
// temporary part of it is left half-written in the temporary folder. The
// program's built-in setup URL reaches a local server through the prefix's
// proxy setting; the install click is a real mouse press and release posted
// to the window at the desktop tile's place.

#include "launcher/Products.h"
#include "launcher/SystemInfo.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ProxyGuard.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <set>
#include <string>

using namespace Launcher;
using TestSupport::HttpResponse;

namespace {

// The desktop tile's centre in client coordinates: the body row starts 50
// pixels down, the tile lies at (68, 20) in it, 400 by 90.
const int kTileX = 68 + 200;
const int kTileY = 50 + 20 + 45;

bool WaitFor(const std::function<bool()>& done, DWORD bound = 30000) {
    for (DWORD start = GetTickCount(); !done();) {
        if (GetTickCount() - start > bound) return false;
        Sleep(20);
    }
    return true;
}

std::string TempFolderPath() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return temp;
}

// Names of the download's temporary files ("vdl*.tmp") in the temporary folder.
std::set<std::string> TemporaryParts() {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((TempFolderPath() + "vdl*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.insert(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

LONGLONG FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return LONGLONG(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

}  // namespace

TEST(LauncherClose, ClosingTheWindowDuringADownloadEndsWithZeroAndLeavesNoHalfSetup) {
    const std::wstring program = TestSupport::TestBinDir() + L"..\\..\\launcher\\vozeror.exe";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(program.c_str()));
    ASSERT_EQ(nullptr, FindWindowW(nullptr, L"Vozeror")) << "a launcher is already running";
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductKeyPath(kDesktop));
    const std::string setupPath = TempFolderPath() + kProducts[kDesktop].setupFileName;
    const std::string path = TestSupport::UrlPath(kProducts[kDesktop].downloadUrl);
    const std::string big(size_t(64) << 20, 'z');

    struct Row {
        const char* name;
        HttpResponse response;
    };
    const Row rows[] = {
        {"the request is never answered", HttpResponse::Stall()},
        {"a 64 MiB body is arriving", HttpResponse::Ok(big)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DeleteFileA(setupPath.c_str());
        const std::set<std::string> partsBefore = TemporaryParts();
        TestSupport::HttpTestServer server;
        server.SetRoute(path, row.response);
        TestSupport::ProxyGuard proxy(server.Port());

        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        std::wstring line = L"\"" + program + L"\"";
        ASSERT_TRUE(CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process));
        HWND window = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (window = FindWindowW(nullptr, L"Vozeror")) != nullptr; }))
            << "the launcher's window did not appear";
        if (window != nullptr) {
            // Let the first frame lay the tree out before the press lands.
            Sleep(500);
            const LPARAM at = MAKELPARAM(kTileX, kTileY);
            PostMessageW(window, WM_MOUSEMOVE, 0, at);
            PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(window, WM_LBUTTONUP, 0, at);
            EXPECT_TRUE(WaitFor([&] { return server.RequestCount(path) > 0; })) << "the install click started no download";
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        const bool ended = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
        EXPECT_TRUE(ended) << "the launcher did not end after the close";
        if (!ended) TerminateProcess(process.hProcess, 99);
        DWORD code = 99;
        GetExitCodeProcess(process.hProcess, &code);
        EXPECT_EQ(0u, code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);

        const LONGLONG size = FileSize(setupPath);
        if (row.response.stall)
            EXPECT_EQ(-1, size) << "a setup was written although no byte of it arrived";
        else
            EXPECT_TRUE(size == -1 || size == LONGLONG(big.size())) << "a half-written setup of " << size << " bytes";
        EXPECT_EQ(partsBefore, TemporaryParts()) << "a temporary part of the download was left behind";
        DeleteFileA(setupPath.c_str());
    }
}
