#include "bench/launcher/ChildProgram.h"
#include "bench/support/Bench.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/TempFolder.h"

#include <algorithm>
#include <cstdio>
#include <string>

// A 64 MiB setup served from 127.0.0.1, fetched in turn by the launcher's
// download routine (in download_probe.exe, so that its memory peak is its
// own) and by the Linux side's curl, which Wine starts like any program. Each
// takes the better of three rounds; the rounds alternate so that both meet
// the same machine load.

using LauncherBench::ChildResult;
using LauncherBench::RunChild;

namespace {

const size_t kSetupBytes = size_t(64) << 20;
const int kRounds = 3;
const double kMiB = 1024.0 * 1024.0;

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

}  // namespace

VOZEROR_BENCH(Download64MiB)
{
    std::string body(kSetupBytes, '\0');
    for (size_t i = 0; i < body.size(); ++i) body[i] = char((i * 2654435761u) >> 13);
    TestSupport::HttpTestServer server;
    server.SetRoute("/setup.exe", TestSupport::HttpResponse::Ok(body));
    TestSupport::TempFolder folder("vzbenchdl");
    const std::string target = folder.File("setup.exe");
    const std::wstring probe = LauncherBench::BenchFolder() + L"download_probe.exe";

    double best = 0.0, bestCurl = 0.0, peakWs = 0.0, peakCommit = 0.0;
    bool complete = true, curlRan = true;
    for (int round = 0; round < kRounds; ++round) {
        ChildResult own = RunChild(L"\"" + probe + L"\" " + Wide(server.Url("/setup.exe")) + L" \"" + Wide(target) + L"\"",
                                   120000);
        if (!own.ended || own.figures["download_ok"] != 1.0) complete = false;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &data) || data.nFileSizeLow != kSetupBytes)
            complete = false;
        DeleteFileA(target.c_str());
        if (own.figures["download_seconds"] > 0) best = std::max(best, kSetupBytes / kMiB / own.figures["download_seconds"]);
        peakWs = std::max(peakWs, own.figures["download_peak_ws_mib"]);
        peakCommit = std::max(peakCommit, own.figures["download_peak_commit_mib"]);

        ChildResult curl = RunChild(L"/usr/bin/curl -s -o /dev/null -w \"curl_seconds: %{time_total}\\n\" " +
                                        Wide(server.Url("/setup.exe")),
                                    120000);
        if (!curl.ended || curl.figures.count("curl_seconds") == 0) curlRan = false;
        if (curl.figures["curl_seconds"] > 0) bestCurl = std::max(bestCurl, kSetupBytes / kMiB / curl.figures["curl_seconds"]);
    }
    if (!complete) std::printf("the download routine did not fetch the whole setup\n");
    if (!curlRan) std::printf("curl could not be run\n");
    Bench::Report("download_mb_s", best);
    Bench::Report("curl_mb_s", bestCurl);
    Bench::Report("download_vs_curl", bestCurl > 0 ? best / bestCurl : 0.0);
    Bench::Report("download_peak_mb", std::max(peakWs, peakCommit));
    Bench::Report("download_body_mb", kSetupBytes / kMiB);
}
