#include "tests/support/HttpTestServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <chrono>
#include <cctype>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace TestSupport {

// --- Responses --------------------------------------------------------------

HttpResponse HttpResponse::Ok(const std::string& body)
{
    return Status(200, body);
}

HttpResponse HttpResponse::Status(int status, const std::string& body)
{
    HttpResponse r;
    r.status = status;
    r.body = body;
    return r;
}

HttpResponse HttpResponse::Redirect(const std::string& location, int status)
{
    HttpResponse r;
    r.status = status;
    r.headers.push_back({"Location", location});
    return r;
}

HttpResponse HttpResponse::Chunked(const std::string& body)
{
    HttpResponse r = Ok(body);
    r.chunked = true;
    return r;
}

HttpResponse HttpResponse::CutOff(const std::string& body, size_t bytes)
{
    HttpResponse r = Ok(body);
    r.cutAfter = bytes;
    return r;
}

HttpResponse HttpResponse::Stall()
{
    HttpResponse r;
    r.stall = true;
    return r;
}

HttpResponse HttpResponse::Drop()
{
    HttpResponse r;
    r.drop = true;
    return r;
}

HttpResponse HttpResponse::WithContentLength(const std::string& value, const std::string& body)
{
    HttpResponse r = Ok(body);
    r.contentLength = value;
    return r;
}

HttpResponse HttpResponse::Partial(const std::string& contentRange, const std::string& body)
{
    HttpResponse r = Status(206, body);
    r.headers.push_back({"Content-Range", contentRange});
    return r;
}

static bool SameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i])) return false;
    return true;
}

std::string HttpRequest::Header(const std::string& name) const
{
    for (const auto& h : headers)
        if (SameText(h.first, name)) return h.second;
    return std::string();
}

// --- Server state -----------------------------------------------------------

namespace {
// Every blocking wait is cut into slices of this length to notice a stop.
const int kSliceMs = 50;
// A request head larger than this is refused.
const size_t kMaxHead = 64 * 1024;

const char* ReasonOf(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 206:
        return "Partial Content";
    case 404:
        return "Not Found";
    case 407:
        return "Proxy Authentication Required";
    case 503:
        return "Service Unavailable";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}
}  // namespace

struct HttpTestServer::State
{
    mutable std::mutex mutex;
    std::condition_variable stopped;
    std::atomic<bool> stopping{false};
    SOCKET listener = INVALID_SOCKET;
    unsigned short port = 0;
    std::map<std::string, std::vector<HttpResponse>> routes;
    std::map<std::string, size_t> answered;
    std::vector<HttpRequest> requests;
    std::vector<std::thread> connections;
    std::thread acceptor;

    // Waits until sock is readable (true) or the server stops (false).
    bool WaitReadable(SOCKET sock)
    {
        while (!stopping) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(sock, &set);
            timeval tv = {0, kSliceMs * 1000};
            int n = select(0, &set, nullptr, nullptr, &tv);
            if (n > 0) return true;
            if (n < 0) return false;
        }
        return false;
    }

    bool SendAll(SOCKET sock, const char* data, size_t size)
    {
        while (size > 0 && !stopping) {
            int chunk = size > 65536 ? 65536 : int(size);
            int n = send(sock, data, chunk, 0);
            if (n <= 0) return false;
            data += n;
            size -= size_t(n);
        }
        return size == 0;
    }

    bool ReadRequest(SOCKET sock, HttpRequest& req)
    {
        std::string data;
        size_t end;
        char buf[4096];
        while ((end = data.find("\r\n\r\n")) == std::string::npos) {
            if (data.size() > kMaxHead || !WaitReadable(sock)) return false;
            int n = recv(sock, buf, sizeof(buf), 0);
            if (n <= 0) return false;
            data.append(buf, size_t(n));
        }
        std::string head = data.substr(0, end);
        std::string rest = data.substr(end + 4);
        size_t lineEnd = head.find("\r\n");
        std::string line = head.substr(0, lineEnd);
        size_t s1 = line.find(' '), s2 = line.rfind(' ');
        if (s1 == std::string::npos || s2 == s1) return false;
        req.method = line.substr(0, s1);
        req.target = line.substr(s1 + 1, s2 - s1 - 1);
        req.version = line.substr(s2 + 1);
        req.path = req.target;
        size_t scheme = req.target.find("://");
        if (req.target.compare(0, 1, "/") != 0 && scheme != std::string::npos) {
            size_t slash = req.target.find('/', scheme + 3);
            req.path = slash == std::string::npos ? "/" : req.target.substr(slash);
        }
        size_t at = lineEnd == std::string::npos ? head.size() : lineEnd + 2;
        while (at < head.size()) {
            size_t next = head.find("\r\n", at);
            if (next == std::string::npos) next = head.size();
            std::string h = head.substr(at, next - at);
            size_t colon = h.find(':');
            if (colon != std::string::npos) {
                size_t v = h.find_first_not_of(" \t", colon + 1);
                req.headers.push_back({h.substr(0, colon), v == std::string::npos ? "" : h.substr(v)});
            }
            at = next + 2;
        }
        size_t want = size_t(std::strtoul(req.Header("Content-Length").c_str(), nullptr, 10));
        while (rest.size() < want) {
            if (!WaitReadable(sock)) return false;
            int n = recv(sock, buf, sizeof(buf), 0);
            if (n <= 0) return false;
            rest.append(buf, size_t(n));
        }
        req.body = rest.substr(0, want);
        return true;
    }

    void Hold()
    {
        std::unique_lock<std::mutex> lock(mutex);
        stopped.wait(lock, [this] { return stopping.load(); });
    }

    // The first byte of a "Range: bytes=N-" the response honours, else 0.
    static size_t RangeStart(const HttpResponse& r, const HttpRequest& req)
    {
        const std::string range = req.Header("Range");
        const std::string ifRange = req.Header("If-Range");
        if (!r.ranges || range.compare(0, 6, "bytes=") != 0) return 0;
        if (!ifRange.empty() && ifRange != r.etag) return 0;
        size_t from = size_t(std::strtoul(range.c_str() + 6, nullptr, 10));
        return from < r.body.size() ? from : 0;
    }

    void Answer(SOCKET sock, const HttpResponse& r, const HttpRequest& req)
    {
        if (r.stall) {
            Hold();
            return;
        }
        if (r.drop) return;
        const size_t from = RangeStart(r, req);
        const int status = from > 0 ? 206 : r.status;
        char line[64];
        std::snprintf(line, sizeof(line), "HTTP/1.1 %d %s\r\n", status, ReasonOf(status));
        std::string out = line;
        for (const auto& h : r.headers) out += h.first + ": " + h.second + "\r\n";
        if (!r.etag.empty()) out += "ETag: " + r.etag + "\r\n";
        if (from > 0)
            out += "Content-Range: bytes " + std::to_string(from) + "-" + std::to_string(r.body.size() - 1) +
                "/" + std::to_string(r.body.size()) + "\r\n";
        if (r.chunked)
            out += "Transfer-Encoding: chunked\r\n";
        else if (!r.contentLength.empty())
            out += "Content-Length: " + r.contentLength + "\r\n";
        else
            out += "Content-Length: " + std::to_string(r.body.size() - from) + "\r\n";
        out += "Connection: close\r\n\r\n";
        if (r.chunked) {
            const size_t piece = 1000;
            for (size_t at = 0; at < r.body.size(); at += piece) {
                std::string part = r.body.substr(at, piece);
                char size[16];
                std::snprintf(size, sizeof(size), "%x\r\n", unsigned(part.size()));
                out += size + part + "\r\n";
            }
            out += "0\r\n\r\n";
            SendAll(sock, out.data(), out.size());
            return;
        }
        // The body's bytes [from, end) go out; then the connection closes,
        // or holds.
        size_t end = r.body.size();
        if (r.cutAfter < end) end = r.cutAfter > from ? r.cutAfter : from;
        if (r.cutHalf) end = from + (end - from) / 2;
        const bool hold = r.holdAfter < end;
        if (hold) end = r.holdAfter > from ? r.holdAfter : from;
        if (!SendAll(sock, out.data(), out.size())) return;
        const size_t piece = r.bytesPerInterval != 0 ? r.bytesPerInterval : end - from;
        for (size_t at = from; at < end && !stopping; at += piece) {
            if (at > from && r.intervalMs != 0) {
                std::unique_lock<std::mutex> lock(mutex);
                if (stopped.wait_for(lock, std::chrono::milliseconds(r.intervalMs),
                                     [this] { return stopping.load(); }))
                    return;
            }
            if (!SendAll(sock, r.body.data() + at, (end - at) < piece ? end - at : piece)) return;
        }
        if (hold) Hold();
    }

    void Serve(SOCKET sock)
    {
        HttpRequest req;
        if (ReadRequest(sock, req)) {
            HttpResponse response = HttpResponse::Status(404, "not found");
            {
                std::lock_guard<std::mutex> lock(mutex);
                requests.push_back(req);
                auto it = routes.find(req.path);
                if (it != routes.end() && !it->second.empty()) {
                    size_t n = answered[req.path]++;
                    response = it->second[n < it->second.size() ? n : it->second.size() - 1];
                }
            }
            Answer(sock, response, req);
        }
        shutdown(sock, SD_SEND);
        closesocket(sock);
    }

    void AcceptLoop()
    {
        while (WaitReadable(listener)) {
            SOCKET sock = accept(listener, nullptr, nullptr);
            if (sock == INVALID_SOCKET) continue;
            // A client that stops reading must not hold a sender past the stop.
            DWORD sendTimeoutMs = 5000;
            setsockopt(sock, SOL_SOCKET, SO_SNDTIMEO, (const char*)&sendTimeoutMs, sizeof(sendTimeoutMs));
            std::lock_guard<std::mutex> lock(mutex);
            connections.emplace_back([this, sock] { Serve(sock); });
        }
    }
};

// --- Server -----------------------------------------------------------------

HttpTestServer::HttpTestServer() : HttpTestServer(0) {}

HttpTestServer::HttpTestServer(unsigned short port) : m_state(std::make_shared<State>())
{
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) throw std::runtime_error("WSAStartup failed");
    State& s = *m_state;
    s.listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    int len = sizeof(addr);
    if (s.listener == INVALID_SOCKET || bind(s.listener, (sockaddr*)&addr, sizeof(addr)) != 0 ||
        listen(s.listener, SOMAXCONN) != 0 || getsockname(s.listener, (sockaddr*)&addr, &len) != 0) {
        if (s.listener != INVALID_SOCKET) closesocket(s.listener);
        WSACleanup();
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    s.port = ntohs(addr.sin_port);
    s.acceptor = std::thread([&s] { s.AcceptLoop(); });
}

HttpTestServer::~HttpTestServer()
{
    State& s = *m_state;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.stopping = true;
    }
    s.stopped.notify_all();
    s.acceptor.join();
    closesocket(s.listener);
    // No connection thread is added once the acceptor has ended.
    for (std::thread& t : s.connections) t.join();
    WSACleanup();
}

unsigned short HttpTestServer::Port() const
{
    return m_state->port;
}

std::string HttpTestServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_state->port) + path;
}

void HttpTestServer::SetRoute(const std::string& path, const HttpResponse& response)
{
    SetRoute(path, std::vector<HttpResponse>{response});
}

void HttpTestServer::SetRoute(const std::string& path, const std::vector<HttpResponse>& sequence)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->routes[path] = sequence;
    m_state->answered[path] = 0;
}

std::vector<HttpRequest> HttpTestServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->requests;
}

size_t HttpTestServer::RequestCount(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    size_t n = 0;
    for (const HttpRequest& r : m_state->requests)
        if (r.path == path) ++n;
    return n;
}

unsigned short UnusedLoopbackPort()
{
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 0;
    SOCKET sock = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof(addr);
    unsigned short port = 0;
    if (sock != INVALID_SOCKET && bind(sock, (sockaddr*)&addr, sizeof(addr)) == 0 &&
        getsockname(sock, (sockaddr*)&addr, &len) == 0)
        port = ntohs(addr.sin_port);
    if (sock != INVALID_SOCKET) closesocket(sock);
    WSACleanup();
    return port;
}

}  // namespace TestSupport
