// The install-state transition (ProductState.h) row by row: from the view's
// status of a product, its worker's report and, where a step asks for it,
// the probe, to the next state, the view-table rows applied and the bar.

#include "launcher/ProductState.h"

#include <gtest/gtest.h>

using namespace Launcher;

namespace {

const DownloadProgress kNone = {0, 0}, kHalf = {1000, 500}, kFull = {1000, 0}, kShort = {399, 0};
const InstallState kNoRow = Unprobed;

struct Expect
{
    InstallState state;
    InstallState rows[2];
    int bar;
};

void Check(const ProductStep& step, const Expect& e)
{
    EXPECT_EQ(e.state, step.next.state);
    EXPECT_EQ(e.rows[0], step.rows[0]);
    EXPECT_EQ(e.rows[1], step.rows[1]);
    EXPECT_EQ(e.bar, step.bar);
}

}  // namespace

TEST(ProductState, EveryTickStep)
{
    struct Row
    {
        const char* name;
        InstallState from;
        DownloadProgress shown;  // at the last tick
        bool started;
        WorkerOutcome outcome;
        DownloadProgress progress;
        bool ended;
        ProbeResult probe;
        Expect expect;
    };
    const int kLeave = kBarUnchanged;
    const Row rows[] = {
        {"no worker", NotInstalled, kNone, false, WorkerIdle, kNone, false, NotProbed, {NotInstalled, {kNoRow, kNoRow}, kLeave}},
        {"an earlier worker's record", NotInstalled, kNone, false, WorkerFailed, kFull, false, NotProbed, {NotInstalled, {kNoRow, kNoRow}, kLeave}},
        {"started, its record not yet its own", NotInstalled, kNone, true, WorkerFailed, kFull, false, NotProbed, {Downloading, {Downloading, kNoRow}, 0}},
        {"under way", NotInstalled, kNone, false, WorkerDownloading, kHalf, false, NotProbed, {Downloading, {Downloading, kNoRow}, 50}},
        {"retrying", Downloading, kHalf, false, WorkerRetrying, kHalf, false, NotProbed, {Downloading, {Downloading, kNoRow}, 50}},
        {"a run click's failure is no obstacle", MissingAtRun, kNone, false, WorkerDownloading, kHalf, false, NotProbed, {Downloading, {Downloading, kNoRow}, 50}},
        {"full, the setup not yet run", Downloading, kFull, false, WorkerDownloading, kFull, false, NotProbed, {Downloading, {Downloading, kNoRow}, 100}},
        {"the setup runs, the bar not yet full", Downloading, kHalf, false, WorkerSetupRunning, kFull, false, NotProbed, {Downloading, {Downloading, kNoRow}, 100}},
        {"the setup runs one tick after 100", Downloading, kFull, false, WorkerSetupRunning, kFull, false, NotProbed, {Downloaded, {Downloaded, kNoRow}, 100}},
        {"the setup still runs", Downloaded, kFull, false, WorkerSetupRunning, kFull, false, NotProbed, {Downloaded, {Downloaded, kNoRow}, 100}},
        {"a short body counts past 100", Downloading, kShort, false, WorkerSetupRunning, kShort, false, NotProbed, {Downloading, {Downloading, kNoRow}, 105}},
        {"installed ignores reports", Installed, kNone, false, WorkerDownloading, kHalf, false, NotProbed, {Installed, {kNoRow, kNoRow}, kLeave}},
        {"an end that installed", Downloaded, kFull, false, WorkerFinished, kFull, true, ProbedInstalled, {Installed, {Downloaded, Installed}, 100}},
        {"an end that installed nothing", Downloading, kHalf, false, WorkerFailed, kHalf, true, ProbedMissing, {NotInstalled, {Downloading, NotInstalled}, 0}},
        {"an end before any tick saw it", NotInstalled, kNone, true, WorkerFailed, kNone, true, ProbedMissing, {NotInstalled, {Downloading, NotInstalled}, 0}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const ProductStatus status = {r.from, r.shown, 7, r.started};
        const WorkerReport report = {r.progress, r.outcome, r.ended ? 8u : 7u, true};
        EXPECT_EQ(r.ended, WorkerEnded(status, report));
        const ProductStep step = TickStep(status, report, r.probe);
        Check(step, r.expect);
        EXPECT_FALSE(step.launch);
        EXPECT_EQ(8u - !r.ended, step.next.endsSeen);
        EXPECT_EQ(r.started && !r.ended && r.outcome == WorkerFailed, step.next.started)
            << "a report of the worker's own ends the start";
    }
}

TEST(ProductState, ClicksAndProbes)
{
    const ProductStatus any = {Downloading, kHalf, 3, false};
    Check(ProbeStep(any, ProbedInstalled), {Installed, {Installed, kNoRow}, kBarUnchanged});
    Check(ProbeStep(any, ProbedMissing), {NotInstalled, {NotInstalled, kNoRow}, kBarUnchanged});
    // A run click probes every product; only the clicked one starts or
    // shows its install tile, and is left MissingAtRun, which shows nothing.
    EXPECT_TRUE(RunClickStep(any, ProbedInstalled, true).launch);
    Check(RunClickStep(any, ProbedInstalled, true), {Installed, {kNoRow, kNoRow}, kBarUnchanged});
    Check(RunClickStep(any, ProbedMissing, true), {MissingAtRun, {NotInstalled, kNoRow}, kBarUnchanged});
    EXPECT_FALSE(RunClickStep(any, ProbedInstalled, false).launch);
    Check(RunClickStep(any, ProbedMissing, false), {NotInstalled, {kNoRow, kNoRow}, kBarUnchanged});
    const ProductStep install = InstallStep(any);
    Check(install, {Downloading, {kNoRow, kNoRow}, kBarUnchanged});
    EXPECT_TRUE(install.next.started);
}
TEST(ProgressBarValue, TwentiethsReadWithoutDividingByZero)
{
    struct Row
    {
        unsigned total, remaining;
        int value;
    };
    const Row rows[] = {
        {0, 0, 0},       {0, 5, 0},       {1, 1, 0},     {1, 0, 100},           {19, 19, 0},
        {19, 10, 45},    {19, 1, 90},     {19, 0, 100},  {20, 20, 0},           {20, 10, 50},
        {20, 1, 95},     {20, 0, 100},    {399, 20, 95}, {399, 0, 105},         {400, 0, 100},
        {1000, 500, 50}, {1000, 501, 45}, {10, 20, 0},   {0xFFFFFFFFu, 0, 100}, {0xFFFFFFFFu, 0xFFFFFFFFu, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.value, ProgressBarValue(DownloadProgress{r.total, r.remaining}))
            << "total " << r.total << " remaining " << r.remaining;
}

