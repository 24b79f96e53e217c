#include "launcher/Download.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/HttpTestServer.h"
#include "tests/support/TempFolder.h"

using namespace Launcher;
using TestSupport::HttpResponse;
using TestSupport::HttpTestServer;
using TestSupport::TempFolder;

namespace {

// URLs and paths as the download takes them.
std::wstring W(const std::string& text)
{
    return TestSupport::WideFromAnsi(text);
}

}  // namespace

namespace {

typedef std::pair<unsigned, unsigned> Call;  // (total, remaining)

// The callback runs on the downloading thread: each thread keeps its own record.
thread_local std::vector<Call> t_calls;
void Record(int, unsigned total, unsigned remaining)
{
    t_calls.push_back(Call(total, remaining));
}

// Bytes of every value, zeros included, in an order no short pattern repeats.
std::string Body(size_t size, unsigned seed = 1)
{
    std::string b(size, '\0');
    unsigned x = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        b[i] = char(x >> 24);
    }
    // Every setup begins like a program.
    if (size > 0) b[0] = 'M';
    if (size > 1) b[1] = 'Z';
    return b;
}

// The callbacks a complete body of size bytes must give: one per 2048-byte read.
std::vector<Call> FullReads(unsigned size)
{
    std::vector<Call> calls;
    for (unsigned remaining = size; remaining > 0;) {
        remaining -= remaining < 2048 ? remaining : 2048;
        calls.push_back(Call(size, remaining));
    }
    return calls;
}

const char* const kEarlier = "an earlier setup that a failed download must keep";

// Retries without their waits, where the waits are not what a test looks at.
DownloadOptions Quick()
{
    DownloadOptions options;
    options.retryDelayMs = 10;
    options.fileRetryMs = 100;
    return options;
}
const DownloadOptions kQuick = Quick();

}  // namespace

TEST(Download, FiveThousandBytesAreReadIn2048ByteStepsAndWrittenExactly)
{
    HttpTestServer server;
    const std::string body = Body(5000);
    server.SetRoute("/setup.exe", HttpResponse::Ok(body));
    TempFolder folder;
    const std::string path = folder.File("setup.exe");
    ASSERT_TRUE(TestSupport::WriteWholeFile(
        path, Body(12000, 7)));  // longer than the new file: must not survive as a tail

    t_calls.clear();
    EXPECT_TRUE(DownloadToFile(W(server.Url("/setup.exe")).c_str(), W(path).c_str(), Record, 0, &kQuick));
    EXPECT_EQ((std::vector<Call>{{5000, 2952}, {5000, 904}, {5000, 0}}), t_calls);
    std::string onDisk;
    ASSERT_TRUE(TestSupport::ReadWholeFile(path, onDisk));
    EXPECT_TRUE(onDisk == body) << "file of " << onDisk.size() << " bytes differs";
    EXPECT_EQ(std::vector<std::string>{"setup.exe"}, folder.Names()) << "a temporary file was left";
}

TEST(Download, CompleteBodiesOfEverySizeAndAfterRedirects)
{
    struct Case
    {
        const char* name;
        size_t size;
        int redirects;  // 302 hops before the body
    };
    const Case cases[] = {
        {"one byte", 1, 0},        {"one full read", 2048, 0},  {"one byte past a read", 2049, 0},
        {"302 then 200", 5000, 1}, {"two redirects", 70001, 2}, {"large body", 1000000, 0},
    };
    HttpTestServer server;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string body = Body(c.size, unsigned(c.size));
        const std::string final = "/final/" + std::to_string(c.size);
        server.SetRoute(final, HttpResponse::Ok(body));
        std::string first = final;
        for (int i = 0; i < c.redirects; ++i) {
            std::string hop = final + "/hop" + std::to_string(i);
            server.SetRoute(hop, HttpResponse::Redirect(first));
            first = hop;
        }
        TempFolder folder;
        const std::string path = folder.File("s.exe");
        t_calls.clear();
        EXPECT_TRUE(DownloadToFile(W(server.Url(first)).c_str(), W(path).c_str(), Record, 0, &kQuick));
        EXPECT_EQ(FullReads(unsigned(c.size)), t_calls);
        std::string onDisk;
        ASSERT_TRUE(TestSupport::ReadWholeFile(path, onDisk));
        EXPECT_TRUE(onDisk == body) << "file of " << onDisk.size() << " bytes differs";
        EXPECT_EQ(1u, server.RequestCount(final));
    }
}

TEST(Download, FailuresWriteNothingAndKeepTheEarlierFile)
{
    struct Case
    {
        const char* name;
        HttpResponse response;
        std::vector<Call> callbacks;  // exact, or the first ones when partial
        bool partial;                 // the body was cut: later calls may follow
    };
    const std::string body = Body(5000);
    const std::vector<Case> cases = {
        {"404", HttpResponse::Status(404, body), {}, false},
        {"500", HttpResponse::Status(500, body), {}, false},
        {"200 with an empty body", HttpResponse::Ok(""), {}, false},
        {"200 chunked, no Content-Length", HttpResponse::Chunked(body), {}, false},
        {"302 to a 404", HttpResponse::Redirect("/missing"), {}, false},
        {"cut after 3048 of 5000", HttpResponse::CutOff(body, 3048), {{5000, 2952}}, true},
        {"cut after 1000 of 5000", HttpResponse::CutOff(body, 1000), {}, true},
        {"length 10000, body 5000",
         HttpResponse::WithContentLength("10000", body),
         {{10000, 7952}, {10000, 5904}},
         true},
        // total + 8 wraps in 32 bits to 2, to 0, to 7.
        {"length 4294967290", HttpResponse::WithContentLength("4294967290", body), {}, false},
        {"length 4294967288", HttpResponse::WithContentLength("4294967288", body), {}, false},
        {"length 4294967295", HttpResponse::WithContentLength("4294967295", body), {}, false},
        // Fits the arithmetic, not a 32-bit address space.
        {"length 4000000000", HttpResponse::WithContentLength("4000000000", body), {}, false},
        // 2 GiB and more, or not a plain number: refused before any read, in both builds.
        {"length 2147483648", HttpResponse::WithContentLength("2147483648", body), {}, false},
        {"length 99999999999999999999",
         HttpResponse::WithContentLength("99999999999999999999", body),
         {},
         false},
        {"length -5", HttpResponse::WithContentLength("-5", body), {}, false},
        {"length +5000", HttpResponse::WithContentLength("+5000", body), {}, false},
        {"length 5000x", HttpResponse::WithContentLength("5000x", body), {}, false},
        {"length 0x1388", HttpResponse::WithContentLength("0x1388", body), {}, false},
    };
    HttpTestServer server;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.SetRoute("/f", c.response);
        TempFolder folder;
        const std::string path = folder.File("s.exe");
        ASSERT_TRUE(TestSupport::WriteWholeFile(path, kEarlier));
        t_calls.clear();
        EXPECT_FALSE(DownloadToFile(W(server.Url("/f")).c_str(), W(path).c_str(), Record, 0, &kQuick));
        std::string onDisk;
        ASSERT_TRUE(TestSupport::ReadWholeFile(path, onDisk));
        EXPECT_EQ(kEarlier, onDisk);
        EXPECT_EQ(std::vector<std::string>{"s.exe"}, folder.Names());
        if (!c.partial) {
            EXPECT_EQ(c.callbacks, t_calls);
            continue;
        }
        // Cut bodies: the full reads first, then at most the bytes that arrived;
        // never a call claiming the whole body.
        ASSERT_GE(t_calls.size(), c.callbacks.size());
        EXPECT_EQ(c.callbacks, std::vector<Call>(t_calls.begin(), t_calls.begin() + c.callbacks.size()));
        unsigned last = 0;
        for (const Call& call : t_calls) {
            EXPECT_EQ(t_calls[0].first, call.first);
            EXPECT_GT(call.second, 0u);
            if (last != 0) {
                EXPECT_LT(call.second, last);
            }
            last = call.second;
        }
        const unsigned sent = unsigned(c.response.cutAfter < body.size() ? c.response.cutAfter : body.size());
        if (!t_calls.empty()) {
            EXPECT_GE(t_calls.back().second, t_calls.back().first - sent);
        }
    }
}

TEST(Download, RefusedConnectionGivesFalse)
{
    TempFolder folder;
    const std::string path = folder.File("s.exe");
    ASSERT_TRUE(TestSupport::WriteWholeFile(path, kEarlier));
    const std::string url = "http://127.0.0.1:" + std::to_string(TestSupport::UnusedLoopbackPort()) + "/s";
    t_calls.clear();
    EXPECT_FALSE(DownloadToFile(W(url).c_str(), W(path).c_str(), Record, 0, &kQuick));
    EXPECT_TRUE(t_calls.empty());
    std::string onDisk;
    ASSERT_TRUE(TestSupport::ReadWholeFile(path, onDisk));
    EXPECT_EQ(kEarlier, onDisk);
}

TEST(Download, ThreeDownloadsAtOnce)
{
    HttpTestServer server;
    const size_t sizes[3] = {300000, 70001, 12345};
    std::string bodies[3];
    for (int i = 0; i < 3; ++i) {
        bodies[i] = Body(sizes[i], unsigned(i + 3));
        server.SetRoute("/p" + std::to_string(i), HttpResponse::Ok(bodies[i]));
    }
    TempFolder folder;
    bool results[3] = {};
    std::vector<Call> calls[3];
    std::vector<std::thread> workers;
    for (int i = 0; i < 3; ++i) {
        workers.emplace_back([&, i] {
            t_calls.clear();
            results[i] =
                DownloadToFile(W(server.Url("/p" + std::to_string(i))).c_str(),
                               W(folder.File("p" + std::to_string(i) + ".exe")).c_str(), Record, 0, &kQuick);
            calls[i] = t_calls;
        });
    }
    for (std::thread& t : workers) t.join();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(results[i]);
        EXPECT_EQ(FullReads(unsigned(sizes[i])), calls[i]);
        std::string onDisk;
        ASSERT_TRUE(TestSupport::ReadWholeFile(folder.File("p" + std::to_string(i) + ".exe"), onDisk));
        EXPECT_TRUE(onDisk == bodies[i]) << "file of " << onDisk.size() << " bytes differs";
    }
    EXPECT_EQ(3u, folder.Names().size());
}

TEST(Download, UnwritableTargetsGiveFalseAndKeepWhatWasThere)
{
    TempFolder folder;
    HttpTestServer server;
    server.SetRoute("/s", HttpResponse::Ok(Body(5000)));

    // A folder that does not exist.
    const std::string missing = folder.File("no such folder\\s.exe");
    EXPECT_FALSE(DownloadToFile(W(server.Url("/s")).c_str(), W(missing).c_str(), Record, 0, &kQuick));
    EXPECT_EQ(1u, server.RequestCount("/s"));
    EXPECT_TRUE(folder.Names().empty());

    // A target held open without sharing: the body arrives but cannot replace it.
    const std::string locked = folder.File("locked.exe");
    ASSERT_TRUE(TestSupport::WriteWholeFile(locked, kEarlier));
    HANDLE h = CreateFileW(TestSupport::WideFromAnsi(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    t_calls.clear();
    EXPECT_FALSE(DownloadToFile(W(server.Url("/s")).c_str(), W(locked).c_str(), Record, 0, &kQuick));
    CloseHandle(h);
    EXPECT_EQ(FullReads(5000), t_calls);
    std::string onDisk;
    ASSERT_TRUE(TestSupport::ReadWholeFile(locked, onDisk));
    EXPECT_EQ(kEarlier, onDisk);
    EXPECT_EQ(std::vector<std::string>{"locked.exe"}, folder.Names()) << "a temporary file was left";

    // A folder standing at the path.
    const std::string dir = folder.File("adir");
    ASSERT_TRUE(CreateDirectoryW(TestSupport::WideFromAnsi(dir).c_str(), nullptr));
    EXPECT_FALSE(DownloadToFile(W(server.Url("/s")).c_str(), W(dir).c_str(), Record, 0, &kQuick));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(TestSupport::WideFromAnsi(dir).c_str()));
    EXPECT_TRUE(GetFileAttributesW(TestSupport::WideFromAnsi(dir).c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(2u, folder.Names().size());
}

TEST(Download, SendsAgentVarivoAndThePathWithItsBraces)
{
    HttpTestServer server;
    const std::string route =
        "/redirect/ver1/vuvudavu/download_silent_zadazi/{version}/{setupname}/{machineid}";
    server.SetRoute(route, HttpResponse::Ok(Body(100)));
    TempFolder folder;
    EXPECT_TRUE(
        DownloadToFile(W(server.Url(route)).c_str(), W(folder.File("s.exe")).c_str(), Record, 0, &kQuick));
    const auto requests = server.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("GET", requests[0].method);
    EXPECT_EQ(route, requests[0].path);
    EXPECT_EQ("varivo", requests[0].Header("User-Agent"));
}

TEST(Download, NullArgumentsGiveFalse)
{
    TempFolder folder;
    EXPECT_FALSE(DownloadToFile(nullptr, W(folder.File("s.exe")).c_str(), Record, 0, &kQuick));
    EXPECT_FALSE(DownloadToFile(L"http://127.0.0.1:1/", nullptr, Record, 0, &kQuick));
    EXPECT_TRUE(folder.Names().empty());
}

// ---- Resume and retry ------------------------------------------------------------
// Each row is a real sequence of answers to the one URL. Rows about the bound
// (marked real) keep the launcher's own waits and time-outs; the others wait
// only briefly between requests. The rows run side by side, each on its own
// server and thread. In every row the reported progress never goes back.

TEST(Download, ResumesAndRetriesWithinTheBound)
{
    const std::string body = Body(10000);
    const std::string etag = "\"v1\"";
    auto ranged = [&](HttpResponse r) {
        r.ranges = true;
        r.etag = etag;
        return r;
    };
    HttpResponse busy = HttpResponse::Status(503);
    busy.headers.push_back({"Retry-After", "1"});
    HttpResponse proxyAuth = HttpResponse::Status(407);
    proxyAuth.headers.push_back({"Proxy-Authenticate", "Basic realm=\"proxy\""});
    HttpResponse half = ranged(HttpResponse::Ok(body));
    half.cutHalf = true;
    HttpResponse held = ranged(HttpResponse::Ok(body));
    held.holdAfter = 3048;
    HttpResponse slow = HttpResponse::Ok(body);
    slow.bytesPerInterval = 2048;
    slow.intervalMs = 300;
    const std::string tail = body.substr(3048);
    struct Row
    {
        const char* name;
        std::vector<HttpResponse> answers;
        bool ok;
        size_t minRequests, maxRequests;
        bool real;                // the launcher's own waits: the row is about the bound
        DWORD minElapsed;         // ms the row must at least take
        std::string secondRange;  // the Range of the second request, when checked
        DWORD listenAfter = 0;    // ms the port refuses connections first
    };
    const std::vector<Row> rows = {
        {"cut at 3048, Range honoured",
         {ranged(HttpResponse::CutOff(body, 3048)), ranged(HttpResponse::Ok(body))},
         true,
         2,
         2,
         false,
         0,
         "bytes=3048-"},
        {"cut at 3048, Range ignored",
         {HttpResponse::CutOff(body, 3048), HttpResponse::Ok(body)},
         true,
         2,
         2,
         false,
         0,
         ""},
        {"a different total",
         {ranged(HttpResponse::CutOff(body, 3048)),
          HttpResponse::Partial("bytes 3048-10999/11000", tail + std::string(1000, 'x'))},
         false,
         2,
         2,
         false,
         0,
         ""},
        {"a wrong Content-Range start",
         {ranged(HttpResponse::CutOff(body, 3048)),
          HttpResponse::Partial("bytes 3000-9999/10000", body.substr(3000))},
         false,
         2,
         2,
         false,
         0,
         ""},
        {"cut at the same byte every time",
         {ranged(HttpResponse::CutOff(body, 3048))},
         false,
         4,
         4,
         true,
         2900,
         ""},
        {"cut after half of what was asked, every time", {half}, false, 10, 64, true, 0, ""},
        {"stall after part of the body", {held}, false, 4, 4, true, 0, ""},
        {"stall before the answer", {HttpResponse::Stall()}, false, 3, 3, true, 0, ""},
        // Refused at 0 s and after 1 s; the server listens from 2 s on and
        // takes the request made after another 2 s.
        {"refused twice, then the body", {HttpResponse::Ok(body)}, true, 1, 1, true, 2900, "", 2000},
        {"closed unanswered twice, then the body",
         {HttpResponse::Drop(), HttpResponse::Drop(), HttpResponse::Ok(body)},
         true,
         3,
         3,
         false,
         0,
         ""},
        {"503 with Retry-After: 1, then the body",
         {busy, HttpResponse::Ok(body)},
         true,
         2,
         2,
         false,
         950,
         ""},
        {"404 once only", {HttpResponse::Status(404, body)}, false, 1, 1, false, 0, ""},
        {"407 once only", {proxyAuth}, false, 1, 1, false, 0, ""},
        {"503 always: three requests", {HttpResponse::Status(503)}, false, 3, 3, true, 2900, ""},
        {"an HTML page",
         {HttpResponse::Ok("<html><body>Sign in to the network</body></html>")},
         false,
         1,
         1,
         false,
         0,
         ""},
        {"2048 bytes every 300 ms", {slow}, true, 1, 1, false, 1200, ""},
    };
    struct Outcome
    {
        bool ok = false;
        DWORD elapsed = 0;
        std::vector<Call> calls;
        std::vector<TestSupport::HttpRequest> requests;
        std::string file;
    };
    std::vector<Outcome> outcomes(rows.size());
    TempFolder folder;
    std::vector<std::thread> threads;
    for (size_t i = 0; i < rows.size(); ++i) {
        threads.emplace_back([&, i] {
            const Row& row = rows[i];
            std::unique_ptr<HttpTestServer> server;
            unsigned short port = 0;
            std::atomic<bool> done{false};
            std::thread late;
            if (row.listenAfter == 0) {
                server.reset(new HttpTestServer);
                server->SetRoute("/s", row.answers);
                port = server->Port();
            } else {
                // Nothing listens at first: the connections are refused.
                port = TestSupport::UnusedLoopbackPort();
                late = std::thread([&] {
                    Sleep(row.listenAfter);
                    HttpTestServer listening(port);
                    listening.SetRoute("/s", row.answers);
                    while (!done) Sleep(20);
                    outcomes[i].requests = listening.Requests();
                });
            }
            const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/s";
            const std::string path = folder.File("s" + std::to_string(i) + ".exe");
            const DownloadOptions defaults;
            t_calls.clear();
            const DWORD start = GetTickCount();
            outcomes[i].ok =
                DownloadToFile(W(url).c_str(), W(path).c_str(), Record, 0, row.real ? &defaults : &kQuick);
            outcomes[i].elapsed = GetTickCount() - start;
            outcomes[i].calls = t_calls;
            done = true;
            if (late.joinable()) late.join();
            if (server) outcomes[i].requests = server->Requests();
            TestSupport::ReadWholeFile(path, outcomes[i].file);
        });
    }
    for (std::thread& t : threads) t.join();
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const Outcome& out = outcomes[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.ok, out.ok);
        EXPECT_EQ(row.ok, out.file == body) << "file of " << out.file.size() << " bytes";
        EXPECT_GE(out.requests.size(), row.minRequests);
        EXPECT_LE(out.requests.size(), row.maxRequests);
        // A server that delivers nothing more ends the download within 40 s
        // of its last byte (here: of the start, at the latest).
        EXPECT_LT(out.elapsed, 40000u);
        EXPECT_GE(out.elapsed, row.minElapsed);
        if (!row.secondRange.empty() && out.requests.size() >= 2) {
            EXPECT_EQ(row.secondRange, out.requests[1].Header("Range"));
            EXPECT_EQ(etag, out.requests[1].Header("If-Range"));
        }
        unsigned last = 0xFFFFFFFFu;
        for (const Call& call : out.calls) {
            EXPECT_EQ(out.calls[0].first, call.first);
            EXPECT_LT(call.second, last) << "progress went back";
            last = call.second;
        }
        if (row.ok) {
            EXPECT_EQ(0u, last);
        }
    }
}
