#include "launcher/DownloadFile.h"

#include "launcher/ProductProbe.h"
#include "launcher/Products.h"
#include "launcher/SetupSignature.h"

#include <atomic>
#include <cstring>
#include <cwchar>
#include <string>

namespace Launcher {

namespace {

#ifndef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "setups and products start with a 60-byte record");
#endif

struct WorkerRecord
{
    std::atomic<unsigned int> total;
    std::atomic<unsigned int> remaining;
    std::atomic<int> outcome;
    std::atomic<unsigned int> ends;
    std::atomic<bool> running;
};

// Static storage: all zero (idle) at process start.
WorkerRecord g_workers[kProductCount];

// How long a new setup file is waited for while a scanner holds it.
const DWORD kHeldFileRetryMs = 2000;

bool ValidIndex(int index)
{
    return index >= 0 && index < kProductCount;
}

void ToWide(const char* text, wchar_t (&out)[kPathBufferSize])
{
    ZeroMemory(out, sizeof(out));
    if (!MultiByteToWideChar(CP_ACP, 0, text, -1, out, kPathBufferSize)) ZeroMemory(out, sizeof(out));
}

}  // namespace

WorkerReport ReadWorker(int index)
{
    WorkerReport report = {{0, 0}, WorkerIdle, 0, false};
    if (!ValidIndex(index)) return report;
    const WorkerRecord& r = g_workers[index];
    // The count first: an end seen here has its outcome stored already.
    report.ends = r.ends.load(std::memory_order_acquire);
    report.outcome = WorkerOutcome(r.outcome.load(std::memory_order_relaxed));
    report.progress.total = r.total.load(std::memory_order_relaxed);
    report.progress.remaining = r.remaining.load(std::memory_order_relaxed);
    report.running = r.running.load();
    return report;
}

void ReportProgress(int index, unsigned int total, unsigned int remaining)
{
    if (!ValidIndex(index)) return;
    g_workers[index].total.store(total, std::memory_order_relaxed);
    g_workers[index].remaining.store(remaining, std::memory_order_relaxed);
}

void ReportOutcome(int index, WorkerOutcome outcome)
{
    if (!ValidIndex(index)) return;
    g_workers[index].outcome.store(outcome, std::memory_order_relaxed);
    if (outcome == WorkerFailed || outcome == WorkerFinished)
        g_workers[index].ends.fetch_add(1, std::memory_order_release);
}

void ResetWorkerRecord(int index)
{
    ReportProgress(index, 0, 0);
    if (ValidIndex(index)) g_workers[index].outcome.store(WorkerIdle, std::memory_order_relaxed);
}

bool ClaimWorker(int index)
{
    return ValidIndex(index) && !g_workers[index].running.exchange(true);
}

void ReleaseWorker(int index)
{
    if (ValidIndex(index)) g_workers[index].running.store(false);
}

bool IsWorkerRunning(int index)
{
    return ValidIndex(index) && g_workers[index].running.load();
}

namespace {

// The folder part of a setup path, its working directory; empty for a bare name.
std::wstring FolderOf(const wchar_t* path)
{
    const wchar_t* slash = std::wcsrchr(path, L'\\');
    return slash != nullptr ? std::wstring(path, size_t(slash - path)) : std::wstring();
}

// The length of a trailing icon index (",N" or ",-N", blanks allowed around
// the comma) at the end of text[0..n), or 0 when there is none.
size_t IconIndexLength(const char* text, size_t n)
{
    size_t at = n;
    while (at > 0 && text[at - 1] == ' ') --at;
    size_t digitsEnd = at;
    while (at > 0 && text[at - 1] >= '0' && text[at - 1] <= '9') --at;
    if (at == digitsEnd) return 0;
    if (at > 0 && text[at - 1] == '-') --at;
    while (at > 0 && text[at - 1] == ' ') --at;
    if (at == 0 || text[at - 1] != ',') return 0;
    --at;
    while (at > 0 && text[at - 1] == ' ') --at;
    return n - at;
}

}  // namespace

bool StartSetupAndWait(const char* path, HANDLE heldOpen)
{
    wchar_t file[kPathBufferSize];
    ToWide(path, file);
    const std::wstring folder = FolderOf(file);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);  // 60 on 32-bit
    // No UI: a missing file would otherwise show a modal box and block the worker.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file;
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

void RunSetupAndWait(const char* path, int index)
{
    StartSetupAndWait(path, nullptr);
    ReportOutcome(index, WorkerFinished);
}

HANDLE HoldSetupFile(const wchar_t* path)
{
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

bool RunDownloadedSetup(const char* path, const wchar_t* publisher)
{
    wchar_t file[kPathBufferSize];
    ToWide(path, file);
    if (file[0] == L'\0') return false;
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

bool LaunchFileFromPath(const char* path, char (&file)[260])
{
    ZeroMemory(file, sizeof(file));
    size_t n = std::strlen(path);
    const char* begin = path;
    if (path[0] == '"') {
        begin = path + 1;
        const char* close = std::strchr(begin, '"');
        if (close != nullptr) {
            // After the closing quote: blanks only, or an icon index.
            const char* rest = close + 1;
            const size_t restLength = std::strlen(rest);
            if (rest[std::strspn(rest, " ")] != '\0' && IconIndexLength(rest, restLength) != restLength)
                return false;
            n = size_t(close - begin);
        } else {
            n = std::strlen(begin);
        }
    } else {
        n -= IconIndexLength(path, n);
    }
    if (n == 0 || n >= sizeof(file)) return false;
    std::memcpy(file, begin, n);
    return true;
}

void LaunchProduct(const char* path, int index)
{
    char bare[260];
    if (!LaunchFileFromPath(path, bare)) return;
    wchar_t file[kPathBufferSize];
    ToWide(bare, file);
    std::wstring directory;
    if (index == kIPhone) directory = ReadInstallLocation();
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = file;
    info.lpParameters = L"";
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = SW_HIDE;
    ShellExecuteExW(&info);
}

CDownloadFile::~CDownloadFile() {}

bool CDownloadFile::Start(int index)
{
    return StartWorker(index);
}

WorkerReport CDownloadFile::Read(int index) const
{
    return ReadWorker(index);
}

void CDownloadFile::RunProduct(int index, const char* path)
{
    if (ValidIndex(index)) LaunchProduct(path, index);
}

}  // namespace Launcher
