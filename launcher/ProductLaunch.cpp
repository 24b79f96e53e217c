#include "launcher/ProductLaunch.h"

#include "launcher/Download.h"
#include "launcher/ProductProbe.h"
#include "launcher/ProductWorker.h"
#include "launcher/Products.h"
#include "launcher/SetupSignature.h"

#include <shellapi.h>

#include <cwchar>
#include <string>

namespace Launcher {

namespace {

#ifndef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "setups and products start with a 60-byte record");
#endif

// How long a new setup file is waited for while a scanner holds it.
const DWORD kHeldFileRetryMs = 2000;

// The length of a trailing icon index (",N" or ",-N", blanks allowed around
// the comma) at the end of text[0..n), or 0 when there is none.
size_t IconIndexLength(const wchar_t* text, size_t n)
{
    size_t at = n;
    while (at > 0 && text[at - 1] == L' ') --at;
    size_t digitsEnd = at;
    while (at > 0 && text[at - 1] >= L'0' && text[at - 1] <= L'9') --at;
    if (at == digitsEnd) return 0;
    if (at > 0 && text[at - 1] == L'-') --at;
    while (at > 0 && text[at - 1] == L' ') --at;
    if (at == 0 || text[at - 1] != L',') return 0;
    --at;
    while (at > 0 && text[at - 1] == L' ') --at;
    return n - at;
}

}  // namespace

bool StartSetupAndWait(const wchar_t* path, HANDLE heldOpen)
{
    const std::wstring folder = FolderOf(path);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);  // 60 on 32-bit
    // No UI: a missing file would otherwise show a modal box and block the worker.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = path;
    info.lpParameters = L"/s";
    // The setup's own folder, where nothing but what it brought lies.
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_HIDE;
    ShellExecuteExW(&info);
    if (heldOpen != nullptr && heldOpen != INVALID_HANDLE_VALUE) CloseHandle(heldOpen);
    if (!info.hProcess) return false;
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    while (GetExitCodeProcess(info.hProcess, &code) && code == STILL_ACTIVE) Sleep(5);
    CloseHandle(info.hProcess);
    return true;
}

void RunSetupAndWait(const wchar_t* path, int index)
{
    StartSetupAndWait(path, nullptr);
    ReportOutcome(index, WorkerFinished);
}

HANDLE HoldSetupFile(const wchar_t* path)
{
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

bool RunDownloadedSetup(const wchar_t* path, const wchar_t* publisher)
{
    if (path == nullptr || path[0] == L'\0') return false;
    const wchar_t* file = path;
    // The check reads the file through the hold, and the hold lasts until
    // the process has started: the bytes checked are the bytes run.
    HANDLE held = INVALID_HANDLE_VALUE;
    RetryWhileHeld(kHeldFileRetryMs, [&] { return (held = HoldSetupFile(file)) != INVALID_HANDLE_VALUE; });
    if (held == INVALID_HANDLE_VALUE) {
        DeleteFileW(file);
        return false;
    }
    if (!SetupMayRun(held, file, publisher)) {
        CloseHandle(held);
        DeleteFileW(file);
        return false;
    }
    return StartSetupAndWait(path, held);
}

bool LaunchFileFromPath(const std::wstring& path, std::wstring& file)
{
    file.clear();
    const wchar_t* text = path.c_str();
    size_t n = path.size();
    const wchar_t* begin = text;
    if (text[0] == L'"') {
        begin = text + 1;
        const wchar_t* close = std::wcschr(begin, L'"');
        if (close != nullptr) {
            // After the closing quote: blanks only, or an icon index.
            const wchar_t* rest = close + 1;
            const size_t restLength = std::wcslen(rest);
            if (rest[std::wcsspn(rest, L" ")] != L'\0' && IconIndexLength(rest, restLength) != restLength)
                return false;
            n = size_t(close - begin);
        } else {
            n = std::wcslen(begin);
        }
    } else {
        n -= IconIndexLength(text, n);
    }
    if (n == 0 || n > kMaxPathLength) return false;
    file.assign(begin, n);
    return true;
}

void LaunchProduct(const std::wstring& path, int index)
{
    std::wstring file;
    if (index < 0 || index >= kProductCount || !LaunchFileFromPath(path, file)) return;
    const std::wstring directory = ReadStartFolder(index);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.lpParameters = L"";
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = SW_HIDE;
    ShellExecuteExW(&info);
}

}  // namespace Launcher
