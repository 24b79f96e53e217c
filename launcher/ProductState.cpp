#include "launcher/ProductState.h"

namespace Launcher {

namespace {

ProductStep Stay(const ProductStatus& status)
{
    return ProductStep{status, {Unprobed, Unprobed}, kBarUnchanged, false};
}

InstallState Found(ProbeResult probe)
{
    return probe == ProbedInstalled ? Installed : NotInstalled;
}

// A report of the worker now running or of the one that just ended (not of
// an earlier one, which a worker just started has not replaced yet).
bool Current(const ProductStatus& status, const WorkerReport& report)
{
    return WorkerEnded(status, report) || report.outcome == WorkerDownloading ||
        report.outcome == WorkerRetrying || report.outcome == WorkerSetupRunning;
}

}  // namespace

int ProgressBarValue(const DownloadProgress& progress)
{
    if (progress.total == 0) return 0;
    unsigned int done = progress.remaining < progress.total ? progress.total - progress.remaining : 0;
    unsigned int step = progress.total / 20;
    unsigned int n = step != 0
        ? done / step
        : static_cast<unsigned int>(static_cast<unsigned long long>(done) * 20 / progress.total);
    // n < 40 whatever the record, so the product fits an int.
    return static_cast<int>(n * 5);
}

bool WorkerEnded(const ProductStatus& status, const WorkerReport& report)
{
    return report.ends != status.endsSeen;
}

ProductStep TickStep(const ProductStatus& status, const WorkerReport& report, ProbeResult probe)
{
    ProductStep step = Stay(status);
    ProductStatus& next = step.next;
    const bool current = Current(status, report);
    const bool underWay = current || status.started;
    const DownloadProgress progress = current ? report.progress : DownloadProgress{0, 0};
    next.started = status.started && !current;
    next.shown = underWay ? progress : DownloadProgress{0, 0};
    if (underWay && status.state != Installed) {
        // The bar showed 100 at the last tick (a body under 400 bytes counts
        // past it, which the bar never shows: such a tile waits Downloading).
        const bool fullBefore = status.shown.total != 0 && ProgressBarValue(status.shown) == 100;
        const bool setupRuns =
            current && (report.outcome == WorkerSetupRunning || report.outcome == WorkerFinished);
        if (setupRuns && (fullBefore || status.state == Downloaded)) {
            next.state = Downloaded;
            step.bar = 100;
        } else {
            next.state = Downloading;
            step.bar = ProgressBarValue(progress);
        }
        step.rows[0] = next.state;
    }
    if (WorkerEnded(status, report)) {
        next.endsSeen = report.ends;
        next.shown = DownloadProgress{0, 0};
        next.state = Found(probe);
        if (next.state == NotInstalled) step.bar = 0;
        step.rows[1] = next.state;
    }
    return step;
}

ProductStep InstallStep(const ProductStatus& status)
{
    ProductStep step = Stay(status);
    step.next.started = true;
    return step;
}

ProductStep RunClickStep(const ProductStatus& status, ProbeResult probe, bool clicked)
{
    ProductStep step = Stay(status);
    step.next.state = Found(probe);
    if (!clicked) return step;
    if (step.next.state == Installed) {
        step.launch = true;
    } else {
        step.rows[0] = NotInstalled;
        step.next.state = MissingAtRun;
    }
    return step;
}

ProductStep ProbeStep(const ProductStatus& status, ProbeResult probe)
{
    ProductStep step = Stay(status);
    step.next.state = Found(probe);
    step.rows[0] = step.next.state;
    return step;
}

}  // namespace Launcher
