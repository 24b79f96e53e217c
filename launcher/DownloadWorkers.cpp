#include "launcher/DownloadFile.h"

#include "launcher/Download.h"
#include "launcher/Products.h"

#include <cstring>

// The worker threads: the only code of the launcher that calls the download.

namespace Launcher {

namespace {

const DownloadProgressProc kProgressProcs[kProductCount] = {
    OnDesktopProgress, OnIPhoneProgress, OnAndroidProgress};

bool StartWorker(int index, LPTHREAD_START_ROUTINE routine) {
    if (!ClaimWorker(index))
        return false;
    HANDLE thread = CreateThread(nullptr, 0, routine, nullptr, 0, nullptr);
    if (!thread) {
        ReleaseWorker(index);
        return false;
    }
    CloseHandle(thread);  // detached: nobody waits for a worker
    return true;
}

}  // namespace

DWORD RunWorker(int index) {
    if (index < 0 || index >= kProductCount)
        return 0;
    char url[kPathBufferSize] = {};
    char setupPath[kPathBufferSize] = {};
    lstrcpynA(url, kProducts[index].downloadUrl, kPathBufferSize);
    DWORD length = GetTempPathA(kPathBufferSize, setupPath);
    // A result of 0 failed; one of 260 or more did not fit and wrote nothing.
    bool fits = length > 0 && length < DWORD(kPathBufferSize) &&
                std::strlen(setupPath) + std::strlen(kProducts[index].setupFileName) <
                    size_t(kPathBufferSize);
    bool downloaded = false;
    if (fits) {
        strcat_s(setupPath, kPathBufferSize, kProducts[index].setupFileName);
        downloaded = DownloadToFile(url, setupPath, kProgressProcs[index]);
    }
    FinishWorker(setupPath, index, downloaded);
    return 0;
}

DWORD WINAPI DesktopWorkerProc(LPVOID) {
    RunWorker(kDesktop);
    ReleaseWorker(kDesktop);
    return 0;
}

DWORD WINAPI IPhoneWorkerProc(LPVOID) {
    RunWorker(kIPhone);
    ReleaseWorker(kIPhone);
    return 0;
}

DWORD WINAPI AndroidWorkerProc(LPVOID) {
    RunWorker(kAndroid);
    ReleaseWorker(kAndroid);
    return 0;
}

bool CDownloadFile::StartDesktopDownload() { return StartWorker(kDesktop, DesktopWorkerProc); }
bool CDownloadFile::StartIPhoneDownload() { return StartWorker(kIPhone, IPhoneWorkerProc); }
bool CDownloadFile::StartAndroidDownload() { return StartWorker(kAndroid, AndroidWorkerProc); }

}  // namespace Launcher
