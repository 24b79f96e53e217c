// Console demonstration of the launcher core, without a window:
//   vozeror_status                     the three products' install states and launch paths
//   vozeror_status install <product>   runs that product's worker with live progress
//   vozeror_status run <product>       starts an installed product
// <product> is desktop, iphone or android.

#include "launcher/ProductLaunch.h"
#include "launcher/ProductProbe.h"
#include "launcher/ProductWorker.h"
#include "launcher/Products.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

using namespace Launcher;

namespace {

const char* const kNames[kProductCount] = {"desktop", "iphone", "android"};

// By ProbeResult: not probed, installed, missing.
const char* const kStateNames[] = {"unknown", "installed", "not installed"};

int IndexByName(const char* name)
{
    for (int i = 0; i < kProductCount; ++i)
        if (_stricmp(name, kNames[i]) == 0) return i;
    return -1;
}

void PrintStates()
{
    CProductProbe probe;
    probe.ProbeProducts();
    for (int i = 0; i < kProductCount; ++i)
        std::printf("%-8s %-14s %ls\n", kNames[i], kStateNames[probe.Result(i)], probe.LaunchPath(i).c_str());
}

int Install(int index)
{
    const unsigned endsBefore = ReadWorker(index).ends;
    if (!StartWorker(index)) {
        std::printf("a worker for %s is already running\n", kNames[index]);
        return 1;
    }
    std::printf("downloading %ls\n", kProducts[index].downloadUrl);
    unsigned int lastPercent = 101;
    bool announcedSetup = false;
    while (ReadWorker(index).ends == endsBefore) {
        DownloadProgress p = ReadWorker(index).progress;
        if (p.total > 0) {
            unsigned int percent = unsigned((unsigned long long)(p.total - p.remaining) * 100 / p.total);
            if (percent != lastPercent && (percent % 5 == 0 || percent == 100)) {
                std::printf("  %3u%%  %u of %u bytes\n", percent, p.total - p.remaining, p.total);
                lastPercent = percent;
            }
            if (p.remaining == 0 && !announcedSetup) {
                std::printf("running the setup hidden with /s and waiting for it\n");
                announcedSetup = true;
            }
        }
        std::fflush(stdout);
        Sleep(100);
    }
    if (ReadWorker(index).outcome != WorkerFinished) std::printf("the download failed; no setup was run\n");
    std::printf("worker finished\n\n");
    PrintStates();
    return 0;
}

int Run(int index)
{
    CProductProbe probe;
    if (probe.ProbeProduct(index) != ProbedInstalled) {
        std::printf("%s is not installed\n", kNames[index]);
        return 1;
    }
    LaunchProduct(probe.LaunchPath(index), index);
    std::printf("started %ls\n", probe.LaunchPath(index).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 1) {
        PrintStates();
        return 0;
    }
    int index = argc == 3 ? IndexByName(argv[2]) : -1;
    if (index >= 0 && std::strcmp(argv[1], "install") == 0) return Install(index);
    if (index >= 0 && std::strcmp(argv[1], "run") == 0) return Run(index);
    std::fprintf(stderr, "usage: vozeror_status [install|run desktop|iphone|android]\n");
    return 2;
}
