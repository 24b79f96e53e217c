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

struct SharedProgress
{
    std::atomic<unsigned int> total;
    std::atomic<unsigned int> remaining;
};

// Static storage: all zero at process start.
SharedProgress g_progress[kProductCount];
std::atomic<unsigned char> g_setupFinished[kProductCount];
std::atomic<bool> g_workerRunning[kProductCount];

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

DownloadProgress GetProgress(int index)
{
    DownloadProgress copy = {0, 0};
    if (ValidIndex(index)) {
        copy.total = g_progress[index].total.load(std::memory_order_relaxed);
        copy.remaining = g_progress[index].remaining.load(std::memory_order_relaxed);
    }
    return copy;
}

void SetProgress(int index, unsigned int total, unsigned int remaining)
{
    if (!ValidIndex(index)) return;
    g_progress[index].total.store(total, std::memory_order_relaxed);
    g_progress[index].remaining.store(remaining, std::memory_order_relaxed);
}

unsigned char GetSetupFinished(int index)
{
    return ValidIndex(index) ? g_setupFinished[index].load(std::memory_order_relaxed) : 0;
}

void SetSetupFinished(int index, unsigned char value)
{
    if (ValidIndex(index)) g_setupFinished[index].store(value, std::memory_order_relaxed);
}

void OnDesktopProgress(unsigned int total, unsigned int remaining)
{
    SetProgress(kDesktop, total, remaining);
}
void OnIPhoneProgress(unsigned int total, unsigned int remaining)
{
    SetProgress(kIPhone, total, remaining);
}
void OnAndroidProgress(unsigned int total, unsigned int remaining)
{
    SetProgress(kAndroid, total, remaining);
}

bool ClaimWorker(int index)
{
    return ValidIndex(index) && !g_workerRunning[index].exchange(true);
}

void ReleaseWorker(int index)
{
    if (ValidIndex(index)) g_workerRunning[index].store(false);
}

bool IsWorkerRunning(int index)
{
    return ValidIndex(index) && g_workerRunning[index].load();
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
    SetSetupFinished(index, 1);
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
    HANDLE held = HoldSetupFile(file);
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

bool CDownloadFile::StartDesktopDownload()
{
    return StartWorker(kDesktop);
}
bool CDownloadFile::StartIPhoneDownload()
{
    return StartWorker(kIPhone);
}
bool CDownloadFile::StartAndroidDownload()
{
    return StartWorker(kAndroid);
}

DownloadProgress CDownloadFile::GetDesktopProgress() const
{
    return GetProgress(kDesktop);
}
DownloadProgress CDownloadFile::GetIPhoneProgress() const
{
    return GetProgress(kIPhone);
}
DownloadProgress CDownloadFile::GetAndroidProgress() const
{
    return GetProgress(kAndroid);
}

unsigned char CDownloadFile::IsDesktopSetupFinished()
{
    return GetSetupFinished(kDesktop);
}
unsigned char CDownloadFile::IsIPhoneSetupFinished()
{
    return GetSetupFinished(kIPhone);
}
unsigned char CDownloadFile::IsAndroidSetupFinished()
{
    return GetSetupFinished(kAndroid);
}
void CDownloadFile::SetDesktopSetupFinished(unsigned char value)
{
    SetSetupFinished(kDesktop, value);
}
void CDownloadFile::SetIPhoneSetupFinished(unsigned char value)
{
    SetSetupFinished(kIPhone, value);
}
void CDownloadFile::SetAndroidSetupFinished(unsigned char value)
{
    SetSetupFinished(kAndroid, value);
}

void CDownloadFile::ResetProgress(int index)
{
    SetProgress(index, 0, 0);
}

void CDownloadFile::RunProduct(int index, const char* path)
{
    if (ValidIndex(index)) LaunchProduct(path, index);
}

}  // namespace Launcher
