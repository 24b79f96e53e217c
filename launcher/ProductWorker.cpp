#include "launcher/ProductWorker.h"

#include "launcher/ProductLaunch.h"
#include "launcher/Products.h"
#include "launcher/SetupFolder.h"

#include <atomic>
#include <string>

// Sections: the records; the worker thread.

namespace Launcher {

namespace {

// ---- The records ----------------------------------------------------------------

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

std::atomic<bool> g_stop;

bool ValidIndex(int index)
{
    return index >= 0 && index < kProductCount;
}

}  // namespace

WorkerReport ReadWorker(int index)
{
    WorkerReport report = {{0, 0}, WorkerIdle, 0, false};
    if (!ValidIndex(index)) return report;
    const WorkerRecord& r = g_workers[index];
    // The count first: an end seen here has its outcome stored already; the
    // outcome before the progress: a new worker's outcome comes with its
    // progress reset.
    report.ends = r.ends.load(std::memory_order_acquire);
    report.outcome = WorkerOutcome(r.outcome.load(std::memory_order_acquire));
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
    g_workers[index].outcome.store(outcome, std::memory_order_release);
    if (outcome == WorkerFailed || outcome == WorkerFinished)
        g_workers[index].ends.fetch_add(1, std::memory_order_release);
}

void ResetWorkerRecord(int index)
{
    ReportProgress(index, 0, 0);
    if (ValidIndex(index)) g_workers[index].outcome.store(WorkerIdle, std::memory_order_release);
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

// ---- The worker thread: the only code of the launcher that calls the download ----

namespace {

// A worker holding its slot whose setup does not run: downloading, or just
// started and not yet reporting (its record still the last worker's), or
// just ended and not yet gone.
bool StillDownloading(int index)
{
    const WorkerReport report = ReadWorker(index);
    return report.running && report.outcome != WorkerSetupRunning;
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
    if (!ValidIndex(index)) return 0;
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
    if (!ClaimWorker(index)) return false;
    HANDLE thread =
        CreateThread(nullptr, 0, WorkerProc, reinterpret_cast<LPVOID>(INT_PTR(index)), 0, nullptr);
    if (!thread) {
        ReleaseWorker(index);
        return false;
    }
    CloseHandle(thread);  // detached: nobody waits for a worker
    return true;
}

}  // namespace Launcher
