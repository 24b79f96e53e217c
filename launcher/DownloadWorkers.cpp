#include "launcher/DownloadFile.h"

#include "launcher/Download.h"
#include "launcher/Products.h"
#include "launcher/SetupFolder.h"

#include <atomic>
#include <string>

// The worker thread: the only code of the launcher that calls the download.

namespace Launcher {

namespace {

std::atomic<bool> g_stop;

bool StillDownloading(int index)
{
    const WorkerReport report = ReadWorker(index);
    return report.running && (report.outcome == WorkerDownloading || report.outcome == WorkerRetrying);
}

void ReportRetrying(int index, bool waiting)
{
    ReportOutcome(index, waiting ? WorkerRetrying : WorkerDownloading);
}

DWORD WINAPI WorkerProc(LPVOID parameter)
{
    const int index = static_cast<int>(reinterpret_cast<INT_PTR>(parameter));
    RunWorker(index);
    ReleaseWorker(index);
    return 0;
}

}  // namespace

DWORD RunWorker(int index)
{
    if (index < 0 || index >= kProductCount) return 0;
    ReportProgress(index, 0, 0);
    ReportOutcome(index, WorkerDownloading);
    DownloadOptions options = WorkerDownloadOptions();
    options.stop = &g_stop;
    options.retrying = ReportRetrying;
    bool ran = false;
    {
        // A failed download, and a setup that fails its check, end the same
        // way: nothing runs, and nothing the download wrote is left.
        CSetupFolder folder;
        const std::wstring setupPath =
            folder.Create() ? folder.FilePath(kProducts[index].setupFileName) : L"";
        if (!setupPath.empty() &&
            DownloadToFile(kProducts[index].downloadUrl, setupPath.c_str(), ReportProgress, index,
                           &options) &&
            !g_stop) {
            ReportOutcome(index, WorkerSetupRunning);
            ran = RunDownloadedSetup(setupPath.c_str(), kSetupPublisher);
        }
        folder.Remove();
    }
    // Last, so that whoever sees the end sees the folder gone.
    ReportOutcome(index, ran ? WorkerFinished : WorkerFailed);
    return 0;
}

DownloadOptions& WorkerDownloadOptions()
{
    static DownloadOptions options;
    return options;
}

bool StopDownloads(DWORD waitMs)
{
    g_stop = true;
    const DWORD start = GetTickCount();
    for (;;) {
        bool any = false;
        for (int i = 0; i < kProductCount; ++i) any = any || StillDownloading(i);
        if (!any) break;
        if (GetTickCount() - start >= waitMs) return false;
        Sleep(20);
    }
    g_stop = false;
    return true;
}

bool StartWorker(int index)
{
    if (index < 0 || index >= kProductCount || !ClaimWorker(index)) return false;
    // Seen by the next tick already, before the thread has run.
    ReportProgress(index, 0, 0);
    ReportOutcome(index, WorkerDownloading);
    HANDLE thread =
        CreateThread(nullptr, 0, WorkerProc, reinterpret_cast<LPVOID>(INT_PTR(index)), 0, nullptr);
    if (!thread) {
        ReportOutcome(index, WorkerFailed);
        ReleaseWorker(index);
        return false;
    }
    CloseHandle(thread);  // detached: nobody waits for a worker
    return true;
}

}  // namespace Launcher
