#include "launcher/InternetSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "tests/support/HttpTestServer.h"
#include "tests/support/TempFolder.h"

using namespace Launcher;
using TestSupport::HttpResponse;
using TestSupport::HttpTestServer;

namespace {

const DWORD kFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY;

std::unique_ptr<CHttpFile> Open(CInternetSession& session, const std::string& url)
{
    return std::unique_ptr<CHttpFile>(
        session.OpenURL(TestSupport::WideFromAnsi(url).c_str(), 1, kFlags, nullptr, 0));
}

// The error OpenURL throws, or ERROR_SUCCESS when it returns a file.
DWORD OpenError(CInternetSession& session, const std::string& url)
{
    try {
        Open(session, url);
    } catch (const CInternetException& e) {
        return e.m_dwError;
    }
    return ERROR_SUCCESS;
}

}  // namespace

TEST(InternetSession, ContentLengthIsReadAsAnUnsigned32BitNumber)
{
    struct Case
    {
        const char* header;  // nullptr: chunked, no header at all
        BOOL found;
        DWORD value;
    };
    const Case cases[] = {
        {"5000", TRUE, 5000},
        {"0", TRUE, 0},
        {"4294967290", TRUE, 4294967290u},
        {"4000000000", TRUE, 4000000000u},
        {nullptr, FALSE, 77},  // the output keeps what it held
    };
    HttpTestServer server;
    CInternetSession session(L"varivo");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header ? c.header : "chunked");
        server.SetRoute("/len",
                        c.header ? HttpResponse::WithContentLength(c.header, "abc")
                                 : HttpResponse::Chunked("abc"));
        auto file = Open(session, server.Url("/len"));
        DWORD length = 77;
        EXPECT_EQ(c.found, file->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, length));
        EXPECT_EQ(c.value, length);
    }
}

TEST(InternetSession, StatusIsThatOfTheFinalResponse)
{
    HttpTestServer server;
    server.SetRoute("/ok", HttpResponse::Ok("x"));
    server.SetRoute("/moved", HttpResponse::Redirect("/ok"));
    server.SetRoute("/gone", HttpResponse::Redirect("/nowhere"));
    CInternetSession session(L"varivo");
    const std::pair<const char*, DWORD> cases[] = {
        {"/ok", 200}, {"/moved", 200}, {"/gone", 404}, {"/x", 404}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        auto file = Open(session, server.Url(c.first));
        DWORD status = 0;
        EXPECT_TRUE(file->QueryInfoStatusCode(status));
        EXPECT_EQ(c.second, status);
    }
}

TEST(InternetSession, ReadGivesTheBodyThenZero)
{
    HttpTestServer server;
    std::string body;
    for (int i = 0; i < 3000; ++i) body += char('a' + i % 26);
    server.SetRoute("/b", HttpResponse::Ok(body));
    CInternetSession session(L"varivo");
    auto file = Open(session, server.Url("/b"));
    std::string got;
    char buf[2048];
    for (UINT n; (n = file->Read(buf, sizeof(buf))) != 0;) got.append(buf, n);
    EXPECT_EQ(body, got);
    EXPECT_EQ(0u, file->Read(buf, sizeof(buf)));
    file->Close();
    EXPECT_EQ(nullptr, file->m_hFile);
}

TEST(InternetSession, OpenUrlThrowsTheWindowsError)
{
    CInternetSession session(L"varivo");
    EXPECT_EQ(DWORD(ERROR_INTERNET_UNRECOGNIZED_SCHEME), OpenError(session, "ftp://127.0.0.1/x"));
    const std::string refused =
        "http://127.0.0.1:" + std::to_string(TestSupport::UnusedLoopbackPort()) + "/x";
    EXPECT_EQ(DWORD(ERROR_INTERNET_CANNOT_CONNECT), OpenError(session, refused));
}

TEST(InternetSession, SessionTimeOutsReachTheRequest)
{
    HttpTestServer server;
    server.SetRoute("/stall", HttpResponse::Stall());
    CInternetSession session(L"varivo");
    EXPECT_TRUE(session.SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, 1000));
    auto start = std::chrono::steady_clock::now();
    const DWORD error = OpenError(session, server.Url("/stall"));
    // Windows reports a time-out; Wine reports the connection aborted.
    EXPECT_TRUE(error == ERROR_INTERNET_TIMEOUT || error == ERROR_INTERNET_CONNECTION_ABORTED) << error;
    // Sanity bound only: the 1 s time-out, not the library's default, ended it.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
}

TEST(InternetSession, ProxyGetsTheAbsoluteUri)
{
    HttpTestServer proxy;
    proxy.SetRoute("/via/proxy", HttpResponse::Ok("proxied"));
    const std::string proxyName = "127.0.0.1:" + std::to_string(proxy.Port());
    CInternetSession session(L"varivo", 1, INTERNET_OPEN_TYPE_PROXY,
                             TestSupport::WideFromAnsi(proxyName).c_str(), L"<-loopback>", 0);
    // Port 1 has no server: only the proxy can answer.
    auto file = Open(session, "http://127.0.0.1:1/via/proxy");
    DWORD status = 0;
    EXPECT_TRUE(file->QueryInfoStatusCode(status));
    EXPECT_EQ(200u, status);
    const auto requests = proxy.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("http://127.0.0.1:1/via/proxy", requests[0].target);
    EXPECT_EQ("/via/proxy", requests[0].path);
}
