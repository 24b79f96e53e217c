#include "bench/launcher/ChildProgram.h"
#include "bench/support/Bench.h"

#include <cstdio>
#include <vector>

// Start-up, idle cost and size of the launcher next to the minimal layered
// window program. Both are started as real processes, in turn, several
// times; the first-frame figures are the medians. The launcher is
// vozeror_first_frame.exe: the launcher's own entry point and skin with a
// probe around it (the shipped vozeror.exe carries no probe).

using LauncherBench::ChildResult;
using LauncherBench::RunChild;

namespace {

const int kStarts = 7;
const int kIdleSeconds = 10;
const DWORD kStartLimitMs = 60000;

}  // namespace

VOZEROR_BENCH(StartupAndIdle)
{
    const std::wstring folder = LauncherBench::BenchFolder();
    const std::wstring launcher = L"\"" + folder + L"vozeror_first_frame.exe\"";
    const std::wstring baseline = L"\"" + folder + L"baseline_window.exe\"";

    // One start of each first, so that both meet warm file caches.
    RunChild(launcher, kStartLimitMs);
    RunChild(baseline, kStartLimitMs);
    std::vector<double> own, bare;
    for (int i = 0; i < kStarts; ++i) {
        ChildResult a = RunChild(launcher, kStartLimitMs);
        if (a.figures.count("startup_first_frame_ms") != 0)
            own.push_back(a.figures["startup_first_frame_ms"]);
        ChildResult b = RunChild(baseline, kStartLimitMs);
        if (b.figures.count("baseline_first_frame_ms") != 0)
            bare.push_back(b.figures["baseline_first_frame_ms"]);
    }
    if (int(own.size()) != kStarts || int(bare.size()) != kStarts)
        std::printf("a start gave no first frame (launcher %u, baseline %u of %d)\n", unsigned(own.size()),
                    unsigned(bare.size()), kStarts);
    const double startup = LauncherBench::Median(own);
    const double first = LauncherBench::Median(bare);
    Bench::Report("startup_first_frame_ms", startup);
    Bench::Report("baseline_first_frame_ms", first);
    Bench::Report("startup_vs_baseline", first > 0 ? startup / first : 0.0);

    wchar_t idle[32];
    swprintf(idle, 32, L" idle %d", kIdleSeconds);
    ChildResult shown = RunChild(launcher + idle, kStartLimitMs + kIdleSeconds * 1000);
    ChildResult bareShown = RunChild(baseline + L" idle 3", kStartLimitMs);
    if (!shown.ended || shown.exitCode != 0) std::printf("the idle launcher did not end by itself with 0\n");
    Bench::Report("idle_paints_per_s", shown.figures["idle_paints_per_s"]);
    Bench::Report("idle_cpu_percent", shown.figures["idle_cpu_percent"]);
    const double privateMiB = shown.figures["idle_private_mib"];
    const double barePrivateMiB = bareShown.figures["baseline_idle_private_mib"];
    Bench::Report("idle_private_mib", privateMiB);
    Bench::Report("baseline_idle_private_mib", barePrivateMiB);
    Bench::Report("idle_private_vs_baseline", barePrivateMiB > 0 ? privateMiB / barePrivateMiB : 0.0);

    // vozeror.exe as the build leaves it is the file a user downloads.
    Bench::Report("release_exe_kib", LauncherBench::FileKiB(folder + L"..\\launcher\\vozeror.exe"));
    Bench::Report("baseline_exe_kib", LauncherBench::FileKiB(folder + L"baseline_window.exe"));
}
