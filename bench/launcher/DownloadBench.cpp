#include "bench/launcher/ChildProgram.h"
#include "bench/support/Bench.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/TempFolder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A 64 MiB setup served from 127.0.0.1, fetched in turn by the launcher's
// download routine (in download_probe.exe, so that its memory peak is its
// own), by a bare WinINet loop of the same 2048-byte reads (download_probe
// --bare: the floor the routine's own work is measured against) and by the
// Linux side's curl, kept for reference. Wine cannot start a Linux program, so
// ./bench.sh runs a helper (scripts/curl_helper.sh) that watches the folder
// named by VOZEROR_BENCH_CURL_DIR: a URL written to its "request" file is
// fetched with curl and answered in its "result" file. Each
// takes the better of three rounds; the rounds alternate so that both meet
// the same machine load. download_resume_overhead is the extra time of the
// routine's download when the server cuts it once at half and the routine
// asks for the rest with a Range, against the uncut download of the same
// rounds (0.05: 5 % longer).

using LauncherBench::ChildResult;
using LauncherBench::RunChild;

namespace {

const size_t kSetupBytes = size_t(64) << 20;
const int kRounds = 3;
const double kMiB = 1024.0 * 1024.0;

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// curl's own transfer time for url in seconds, or -1 without the helper.
double CurlSeconds(const std::string& url)
{
    char folder[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA("VOZEROR_BENCH_CURL_DIR", folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return -1.0;
    const std::string request = std::string(folder) + "\\request";
    const std::string result = std::string(folder) + "\\result";
    DeleteFileA(result.c_str());
    if (!TestSupport::WriteWholeFile(request + ".part", url + "\n") ||
        !MoveFileExA((request + ".part").c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING))
        return -1.0;
    std::string answer;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 120000; Sleep(20)) {
        if (TestSupport::ReadWholeFile(result, answer) && !answer.empty()) break;
    }
    DeleteFileA(result.c_str());
    const size_t at = answer.find("curl_seconds: ");
    return at == std::string::npos ? -1.0 : std::atof(answer.c_str() + at + 14);
}

}  // namespace

VOZEROR_BENCH(Download64MiB)
{
    std::string body(kSetupBytes, '\0');
    for (size_t i = 0; i < body.size(); ++i) body[i] = char((i * 2654435761u) >> 13);
    body[0] = 'M';
    body[1] = 'Z';
    TestSupport::HttpTestServer server;
    server.SetRoute("/setup.exe", TestSupport::HttpResponse::Ok(body));
    TestSupport::HttpResponse whole = TestSupport::HttpResponse::Ok(body);
    whole.ranges = true;
    whole.etag = "\"v1\"";
    TestSupport::HttpResponse cut = whole;
    cut.cutAfter = body.size() / 2;
    TestSupport::TempFolder folder("vzbenchdl");
    const std::string target = folder.File("setup.exe");
    const std::wstring probe = LauncherBench::BenchFolder() + L"download_probe.exe";

    double best = 0.0, bestBare = 0.0, bestCurl = 0.0, peakWs = 0.0, peakCommit = 0.0;
    double bestSeconds = 0.0, bestCutSeconds = 0.0;
    bool complete = true, bareRan = true, curlRan = true, resumed = true;
    for (int round = 0; round < kRounds; ++round) {
        ChildResult own = RunChild(
            L"\"" + probe + L"\" " + Wide(server.Url("/setup.exe")) + L" \"" + Wide(target) + L"\"", 120000);
        if (!own.ended || own.figures["download_ok"] != 1.0) complete = false;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &data) ||
            data.nFileSizeLow != kSetupBytes)
            complete = false;
        DeleteFileA(target.c_str());
        const double seconds = own.figures["download_seconds"];
        if (seconds > 0) {
            best = std::max(best, kSetupBytes / kMiB / seconds);
            bestSeconds = bestSeconds > 0 ? std::min(bestSeconds, seconds) : seconds;
        }

        server.SetRoute("/cut.exe", std::vector<TestSupport::HttpResponse>{cut, whole});
        ChildResult again = RunChild(
            L"\"" + probe + L"\" " + Wide(server.Url("/cut.exe")) + L" \"" + Wide(target) + L"\"", 120000);
        const double cutSeconds = again.figures["download_seconds"];
        if (!again.ended || again.figures["download_ok"] != 1.0 || cutSeconds <= 0 ||
            server.RequestCount("/cut.exe") != size_t(2 * (round + 1)))
            resumed = false;
        else
            bestCutSeconds = bestCutSeconds > 0 ? std::min(bestCutSeconds, cutSeconds) : cutSeconds;
        DeleteFileA(target.c_str());
        peakWs = std::max(peakWs, own.figures["download_peak_ws_mib"]);
        peakCommit = std::max(peakCommit, own.figures["download_peak_commit_mib"]);

        ChildResult bare = RunChild(L"\"" + probe + L"\" --bare " + Wide(server.Url("/setup.exe")), 120000);
        if (!bare.ended || bare.figures["bare_ok"] != 1.0 || bare.figures["bare_seconds"] <= 0)
            bareRan = false;
        else
            bestBare = std::max(bestBare, kSetupBytes / kMiB / bare.figures["bare_seconds"]);

        const double curlSeconds = CurlSeconds(server.Url("/setup.exe"));
        if (curlSeconds <= 0)
            curlRan = false;
        else
            bestCurl = std::max(bestCurl, kSetupBytes / kMiB / curlSeconds);
    }
    if (!complete) std::printf("the download routine did not fetch the whole setup\n");
    if (!bareRan) std::printf("the bare WinINet loop did not fetch the setup\n");
    if (!curlRan) std::printf("curl could not be run\n");
    if (!resumed) std::printf("the cut download was not resumed\n");
    Bench::Report("download_mb_s", best);
    Bench::Report("wininet_mb_s", bestBare);
    Bench::Report("download_vs_wininet", bestBare > 0 ? best / bestBare : 0.0);
    Bench::Report("curl_mb_s", bestCurl);
    Bench::Report("download_vs_curl", bestCurl > 0 ? best / bestCurl : 0.0);
    Bench::Report("download_resume_overhead",
                  resumed && bestSeconds > 0 ? bestCutSeconds / bestSeconds - 1.0 : 0.0);
    Bench::Report("download_peak_mb", std::max(peakWs, peakCommit));
    Bench::Report("download_body_mb", kSetupBytes / kMiB);
}
