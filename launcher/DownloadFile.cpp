#include "launcher/DownloadFile.h"

#include "launcher/ProductProbe.h"
#include "launcher/Products.h"

#include <atomic>
#include <cstring>
#include <string>

namespace Launcher {

namespace {

#ifndef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "setups and products start with a 60-byte record");
#endif

struct SharedProgress {
    std::atomic<unsigned int> total;
    std::atomic<unsigned int> remaining;
};

// Static storage: all zero at process start.
SharedProgress g_progress[kProductCount];
std::atomic<unsigned char> g_setupFinished[kProductCount];
std::atomic<bool> g_workerRunning[kProductCount];

bool ValidIndex(int index) {
    return index >= 0 && index < kProductCount;
}

void ToWide(const char* text, wchar_t (&out)[kPathBufferSize]) {
    ZeroMemory(out, sizeof(out));
    if (!MultiByteToWideChar(CP_ACP, 0, text, -1, out, kPathBufferSize))
        ZeroMemory(out, sizeof(out));
}

}  // namespace

DownloadProgress GetProgress(int index) {
    DownloadProgress copy = {0, 0};
    if (ValidIndex(index)) {
        copy.total = g_progress[index].total.load(std::memory_order_relaxed);
        copy.remaining = g_progress[index].remaining.load(std::memory_order_relaxed);
    }
    return copy;
}

void SetProgress(int index, unsigned int total, unsigned int remaining) {
    if (!ValidIndex(index))
        return;
    g_progress[index].total.store(total, std::memory_order_relaxed);
    g_progress[index].remaining.store(remaining, std::memory_order_relaxed);
}

unsigned char GetSetupFinished(int index) {
    return ValidIndex(index) ? g_setupFinished[index].load(std::memory_order_relaxed) : 0;
}

void SetSetupFinished(int index, unsigned char value) {
    if (ValidIndex(index))
        g_setupFinished[index].store(value, std::memory_order_relaxed);
}

void OnDesktopProgress(unsigned int total, unsigned int remaining) {
    SetProgress(kDesktop, total, remaining);
}
void OnIPhoneProgress(unsigned int total, unsigned int remaining) {
    SetProgress(kIPhone, total, remaining);
}
void OnAndroidProgress(unsigned int total, unsigned int remaining) {
    SetProgress(kAndroid, total, remaining);
}

bool ClaimWorker(int index) {
    return ValidIndex(index) && !g_workerRunning[index].exchange(true);
}

void ReleaseWorker(int index) {
    if (ValidIndex(index))
        g_workerRunning[index].store(false);
}

bool IsWorkerRunning(int index) {
    return ValidIndex(index) && g_workerRunning[index].load();
}

void RunSetupAndWait(const char* path, int index) {
    wchar_t file[kPathBufferSize];
    ToWide(path, file);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);  // 60 on 32-bit
    // No UI: a missing file would otherwise show a modal box and block the worker.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file;
    info.lpParameters = L"/s";
    info.nShow = SW_HIDE;
    ShellExecuteExW(&info);
    if (info.hProcess) {
        WaitForSingleObject(info.hProcess, INFINITE);
        DWORD code = 0;
        while (GetExitCodeProcess(info.hProcess, &code) && code == STILL_ACTIVE)
            Sleep(5);
    }
    SetSetupFinished(index, 1);
    if (info.hProcess)
        CloseHandle(info.hProcess);
}

void LaunchFileFromPath(const char* path, char (&file)[260]) {
    ZeroMemory(file, sizeof(file));
    if (path[0] == '"') {
        const char* end = std::strchr(path + 1, '"');
        size_t n = end ? size_t(end - (path + 1)) : std::strlen(path + 1);
        if (n >= sizeof(file))
            n = sizeof(file) - 1;
        std::memcpy(file, path + 1, n);
        return;
    }
    size_t n = std::strlen(path);
    if (n >= sizeof(file))
        n = sizeof(file) - 1;
    // A trailing ",N" (an icon index, possibly negative) is no part of the file.
    size_t digits = n;
    while (digits > 0 && path[digits - 1] >= '0' && path[digits - 1] <= '9')
        --digits;
    if (digits < n) {
        size_t comma = digits;
        if (comma > 0 && path[comma - 1] == '-')
            --comma;
        if (comma > 0 && path[comma - 1] == ',')
            n = comma - 1;
    }
    std::memcpy(file, path, n);
}

void LaunchProduct(const char* path, int index) {
    char bare[260];
    LaunchFileFromPath(path, bare);
    wchar_t file[kPathBufferSize];
    ToWide(bare, file);
    std::wstring directory;
    if (index == kIPhone)
        directory = ReadInstallLocation();
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = file;
    info.lpParameters = L"";
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = SW_HIDE;
    ShellExecuteExW(&info);
}

void FinishWorker(const char* setupPath, int index, bool downloaded) {
    // A failed download must not run whatever an earlier one left at the path.
    if (downloaded)
        RunSetupAndWait(setupPath, index);
    else
        SetSetupFinished(index, 1);
}

CDownloadFile::~CDownloadFile() {}

DownloadProgress CDownloadFile::GetDesktopProgress() const { return GetProgress(kDesktop); }
DownloadProgress CDownloadFile::GetIPhoneProgress() const { return GetProgress(kIPhone); }
DownloadProgress CDownloadFile::GetAndroidProgress() const { return GetProgress(kAndroid); }

unsigned char CDownloadFile::IsDesktopSetupFinished() { return GetSetupFinished(kDesktop); }
unsigned char CDownloadFile::IsIPhoneSetupFinished() { return GetSetupFinished(kIPhone); }
unsigned char CDownloadFile::IsAndroidSetupFinished() { return GetSetupFinished(kAndroid); }
void CDownloadFile::SetDesktopSetupFinished(unsigned char value) { SetSetupFinished(kDesktop, value); }
void CDownloadFile::SetIPhoneSetupFinished(unsigned char value) { SetSetupFinished(kIPhone, value); }
void CDownloadFile::SetAndroidSetupFinished(unsigned char value) { SetSetupFinished(kAndroid, value); }

void CDownloadFile::ResetProgress(int index) {
    SetProgress(index, 0, 0);
}

void CDownloadFile::RunProduct(int index, const char* path) {
    if (ValidIndex(index))
        LaunchProduct(path, index);
}

}  // namespace Launcher
