#include "launcher/DownloadFile.h"

#include "launcher/Download.h"
#include "launcher/Products.h"
#include "launcher/SetupFolder.h"

// The worker threads: the only code of the launcher that calls the download.

namespace Launcher {

namespace {

const DownloadProgressProc kProgressProcs[kProductCount] = {OnDesktopProgress, OnIPhoneProgress,
                                                            OnAndroidProgress};

}  // namespace

DWORD RunWorker(int index)
{
    if (index < 0 || index >= kProductCount) return 0;
    char url[kPathBufferSize] = {};
    char setupPath[kPathBufferSize] = {};
    lstrcpynA(url, kProducts[index].downloadUrl, kPathBufferSize);
    {
        // A failed download, and a setup that fails its check, end the same
        // way: nothing runs, and nothing the download wrote is left.
        CSetupFolder folder;
        if (folder.Create() && folder.FilePath(kProducts[index].setupFileName, setupPath) &&
            DownloadToFile(url, setupPath, kProgressProcs[index]))
            RunDownloadedSetup(setupPath, kSetupPublisher);
        folder.Remove();
    }
    // Last, so that whoever sees the flag sees the folder gone.
    SetSetupFinished(index, 1);
    return 0;
}

DWORD WINAPI DesktopWorkerProc(LPVOID)
{
    RunWorker(kDesktop);
    ReleaseWorker(kDesktop);
    return 0;
}

DWORD WINAPI IPhoneWorkerProc(LPVOID)
{
    RunWorker(kIPhone);
    ReleaseWorker(kIPhone);
    return 0;
}

DWORD WINAPI AndroidWorkerProc(LPVOID)
{
    RunWorker(kAndroid);
    ReleaseWorker(kAndroid);
    return 0;
}

bool StartWorker(int index)
{
    static const LPTHREAD_START_ROUTINE kRoutines[kProductCount] = {DesktopWorkerProc, IPhoneWorkerProc,
                                                                    AndroidWorkerProc};
    if (index < 0 || index >= kProductCount || !ClaimWorker(index)) return false;
    HANDLE thread = CreateThread(nullptr, 0, kRoutines[index], nullptr, 0, nullptr);
    if (!thread) {
        ReleaseWorker(index);
        return false;
    }
    CloseHandle(thread);  // detached: nobody waits for a worker
    return true;
}

}  // namespace Launcher
