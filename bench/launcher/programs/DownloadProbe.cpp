// Runs the launcher's download routine once, in a process of its own so that
// its memory figures hold nothing but the routine's:
//   download_probe URL PATH
// prints download_ok (1 or 0), download_seconds, and the growth of the peak
// working set and of the peak committed bytes over the process's use before
// the call: download_peak_ws_mib, download_peak_commit_mib.

#include "bench/launcher/programs/ProbeReport.h"
#include "launcher/Download.h"

#include <psapi.h>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    PROCESS_MEMORY_COUNTERS before = {};
    before.cb = sizeof(before);
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before));
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const bool ok = Launcher::DownloadToFile(argv[1], argv[2], nullptr);
    QueryPerformanceCounter(&end);
    PROCESS_MEMORY_COUNTERS after = {};
    after.cb = sizeof(after);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after));
    const double mib = 1024.0 * 1024.0;
    ProbeReport::Line("download_ok", ok ? 1 : 0);
    ProbeReport::Line("download_seconds", ProbeReport::Milliseconds(start, end) / 1000.0);
    ProbeReport::Line("download_peak_ws_mib", (double(after.PeakWorkingSetSize) - double(before.WorkingSetSize)) / mib);
    ProbeReport::Line("download_peak_commit_mib",
                      (double(after.PeakPagefileUsage) - double(before.PagefileUsage)) / mib);
    return ok ? 0 : 1;
}
