// Runs the launcher's download routine once, with a progress callback after
// every read as the worker has, in a process of its own so that
// its memory figures hold nothing but the routine's:
//   download_probe URL PATH
// prints download_ok (1 or 0), download_seconds, and the growth of the peak
// working set and of the peak committed bytes over the process's use before
// the call: download_peak_ws_mib, download_peak_commit_mib.
//   download_probe --bare URL
// is WinINet's own floor for the same reads: one session, the same open
// flags, and InternetReadFile of 2048 bytes into one buffer until the body
// ends, nothing kept or written; it prints bare_ok and bare_seconds.

#include "bench/launcher/programs/ProbeReport.h"
#include "launcher/Download.h"
#include "launcher/WinInetApi.h"

#include <psapi.h>
#include <windows.h>

#include <cstring>
#include <string>

namespace {

// As the launcher's worker: the progress record written after every read.
volatile unsigned int g_total;
volatile unsigned int g_remaining;

void Progress(int, unsigned int total, unsigned int remaining)
{
    g_total = total;
    g_remaining = remaining;
}

int Bare(const char* url)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    bool ok = false;
    HINTERNET session = InternetOpenA("varivo", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (session != nullptr) {
        const DWORD flags =
            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY;
        HINTERNET file = InternetOpenUrlA(session, url, nullptr, 0, flags, 1);
        if (file != nullptr) {
            char buffer[2048];
            DWORD got = 0;
            unsigned long long total = 0;
            while (InternetReadFile(file, buffer, sizeof(buffer), &got) && got > 0) total += got;
            ok = total > 0;
            InternetCloseHandle(file);
        }
        InternetCloseHandle(session);
    }
    QueryPerformanceCounter(&end);
    ProbeReport::Line("bare_ok", ok ? 1 : 0);
    ProbeReport::Line("bare_seconds", ProbeReport::Milliseconds(start, end) / 1000.0);
    return ok ? 0 : 1;
}

// A command-line argument (in the ANSI code page, as main receives it) as UTF-16.
std::wstring Argument(const char* text)
{
    wchar_t wide[4096] = {};
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 4096);
    return wide;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--bare") == 0) return Bare(argv[2]);
    if (argc != 3) return 2;
    PROCESS_MEMORY_COUNTERS before = {};
    before.cb = sizeof(before);
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before));
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const bool ok = Launcher::DownloadToFile(Argument(argv[1]).c_str(), Argument(argv[2]).c_str(), Progress);
    QueryPerformanceCounter(&end);
    PROCESS_MEMORY_COUNTERS after = {};
    after.cb = sizeof(after);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after));
    const double mib = 1024.0 * 1024.0;
    ProbeReport::Line("download_ok", ok ? 1 : 0);
    ProbeReport::Line("download_seconds", ProbeReport::Milliseconds(start, end) / 1000.0);
    ProbeReport::Line("download_peak_ws_mib",
                      (double(after.PeakWorkingSetSize) - double(before.WorkingSetSize)) / mib);
    ProbeReport::Line("download_peak_commit_mib",
                      (double(after.PeakPagefileUsage) - double(before.PagefileUsage)) / mib);
    return ok ? 0 : 1;
}
