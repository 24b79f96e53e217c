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
    // Short names for the table: worker outcomes, probe results, states.
    const WorkerOutcome kIdle = WorkerIdle, kGet = WorkerDownloading, kWait = WorkerRetrying,
                        kSetup = WorkerSetupRunning, kFail = WorkerFailed, kDone = WorkerFinished;
    const ProbeResult kAsk = NotProbed, kFound = ProbedInstalled, kGone = ProbedMissing;
    const InstallState kNot = NotInstalled, kDl = Downloading, kDd = Downloaded, kIn = Installed,
                       kMar = MissingAtRun;
    const int kLeave = kBarUnchanged;
    struct Row
    {
        InstallState from;
        DownloadProgress shown;  // at the last tick
        bool started;
        WorkerOutcome outcome;
        DownloadProgress progress;
        bool ended;
        ProbeResult probe;
        Expect expect;
    };
    const Row rows[] = {
        // No worker; an earlier worker's record; a worker started, its record not yet its own.
        {kNot, kNone, false, kIdle, kNone, false, kAsk, {kNot, {kNoRow, kNoRow}, kLeave}},
        {kNot, kNone, false, kFail, kFull, false, kAsk, {kNot, {kNoRow, kNoRow}, kLeave}},
        {kNot, kNone, true, kFail, kFull, false, kAsk, {kDl, {kDl, kNoRow}, 0}},
        // Under way, retrying, and again after a run click found the product missing.
        {kNot, kNone, false, kGet, kHalf, false, kAsk, {kDl, {kDl, kNoRow}, 50}},
        {kDl, kHalf, false, kWait, kHalf, false, kAsk, {kDl, {kDl, kNoRow}, 50}},
        {kMar, kNone, false, kGet, kHalf, false, kAsk, {kDl, {kDl, kNoRow}, 50}},
        // Full, the setup not yet run; it runs, 100 not yet shown; one tick after 100; still runs.
        {kDl, kFull, false, kGet, kFull, false, kAsk, {kDl, {kDl, kNoRow}, 100}},
        {kDl, kHalf, false, kSetup, kFull, false, kAsk, {kDl, {kDl, kNoRow}, 100}},
        {kDl, kFull, false, kSetup, kFull, false, kAsk, {kDd, {kDd, kNoRow}, 100}},
        {kDd, kFull, false, kSetup, kFull, false, kAsk, {kDd, {kDd, kNoRow}, 100}},
        // A body under 400 bytes counts past 100; an installed product ignores reports.
        {kDl, kShort, false, kSetup, kShort, false, kAsk, {kDl, {kDl, kNoRow}, 105}},
        {kIn, kNone, false, kGet, kHalf, false, kAsk, {kIn, {kNoRow, kNoRow}, kLeave}},
        // Ends: installed, installed nothing, ended before any tick saw it.
        {kDd, kFull, false, kDone, kFull, true, kFound, {kIn, {kDd, kIn}, 100}},
        {kDl, kHalf, false, kFail, kHalf, true, kGone, {kNot, {kDl, kNot}, 0}},
        {kNot, kNone, true, kFail, kNone, true, kGone, {kNot, {kDl, kNot}, 0}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(&r - rows);
        const ProductStatus status = {r.from, r.shown, 7, r.started};
        const WorkerReport report = {r.progress, r.outcome, r.ended ? 8u : 7u, true};
        EXPECT_EQ(r.ended, WorkerEnded(status, report));
        const ProductStep step = TickStep(status, report, r.probe);
        Check(step, r.expect);
        EXPECT_FALSE(step.launch);
        EXPECT_EQ(r.ended ? 8u : 7u, step.next.endsSeen);
        EXPECT_EQ(r.started && !r.ended && r.outcome == kFail, step.next.started)
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
