#include "bench/support/Bench.h"
#include "launcher/Products.h"
#include "launcher/SetupSignature.h"

#include <windows.h>

#include <algorithm>
#include <string>

// How long the signature check holds a downloaded setup back: the check as
// the worker makes it (through a handle opened the worker's way), on the
// signed demo setup and on a signed setup of 64 MiB, whose whole content the
// digest covers. The best of five rounds each; the first round also loads
// wintrust and crypt32 and is reported on its own.

namespace {

std::wstring BuildFolder()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path.resize(path.find_last_of(L'\\'));      // bench
    path.resize(path.find_last_of(L'\\') + 1);  // the tree
    return path;
}

// Milliseconds of one check, or -1 when the file is missing or refused.
double CheckMs(const std::wstring& path)
{
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1.0;
    const double start = Bench::Now();
    const bool ok = Launcher::SetupMayRun(file, path.c_str(), Launcher::kSetupPublisher);
    const double ms = (Bench::Now() - start) * 1000.0;
    CloseHandle(file);
    return ok ? ms : -1.0;
}

void ReportCheck(const char* name, const std::wstring& path)
{
    double best = -1.0;
    for (int round = 0; round < 5; ++round) {
        double ms = CheckMs(path);
        if (ms < 0) break;
        best = best < 0 ? ms : std::min(best, ms);
    }
    Bench::Report(name, best);
}

}  // namespace

VOZEROR_BENCH(SetupCheck)
{
    const std::wstring tree = BuildFolder();
    Bench::Report("setup_check_first_ms", CheckMs(tree + L"launcher\\demo_setup.exe"));
    ReportCheck("setup_check_demo_ms", tree + L"launcher\\demo_setup.exe");
    ReportCheck("setup_check_64mib_ms", tree + L"bench\\signed_64mib.exe");
}
