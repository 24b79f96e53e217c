#pragma once
// An HTTP/1.1 server on 127.0.0.1 for tests, running in the test process.
//
//   TestSupport::HttpTestServer server;                // ephemeral port, serving
//   server.SetRoute("/a", HttpResponse::Ok("body"));
//   server.SetRoute("/old", HttpResponse::Redirect("/a"));
//   std::string url = server.Url("/a");                // "http://127.0.0.1:PORT/a"
//   ... server.Requests() lists what arrived.
//
// Routes match the request path exactly (query included). A route given a
// sequence answers its first request with the first response, the next with
// the next, and every later one with the last. A request line with
// an absolute URI ("GET http://host:80/a HTTP/1.1", as a proxy receives it)
// matches by its path. Unknown paths get 404. Every response carries
// "Connection: close" and the connection ends after it. Each connection is
// served on its own thread. All calls are thread-safe. The destructor stops
// the server within about a second, releasing stalled connections too.

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

typedef std::vector<std::pair<std::string, std::string>> HttpHeaders;

struct HttpResponse
{
    int status = 200;
    HttpHeaders headers;  // sent as given, after the status line
    std::string body;
    // Body sent with "Transfer-Encoding: chunked" and no Content-Length.
    bool chunked = false;
    // Content-Length value sent instead of the body's size (may exceed it).
    std::string contentLength;
    // Only the first cutAfter bytes of the body are sent, then the connection
    // closes; Content-Length still announces the whole body.
    size_t cutAfter = std::string::npos;
    // The request is read and never answered until the server stops.
    bool stall = false;
    // The request is read and the connection closed without an answer.
    bool drop = false;
    // Ranges honoured: a request with "Range: bytes=N-" (and an If-Range
    // that is absent or equals etag) gets 206 with the body from N and
    // "Content-Range: bytes N-<size-1>/<size>". cutAfter, holdAfter and the
    // half cut count in bytes of the whole body.
    bool ranges = false;
    // Sent as the ETag header when not empty.
    std::string etag;
    // Of the part asked for, only the first half is sent, then the
    // connection closes.
    bool cutHalf = false;
    // After this many bytes of the body, nothing more is sent until the
    // server stops.
    size_t holdAfter = std::string::npos;
    // The body is sent in pieces of this many bytes, one per interval.
    size_t bytesPerInterval = 0;
    unsigned intervalMs = 0;

    static HttpResponse Ok(const std::string& body);
    static HttpResponse Status(int status, const std::string& body = std::string());
    static HttpResponse Redirect(const std::string& location, int status = 302);
    static HttpResponse Chunked(const std::string& body);
    static HttpResponse CutOff(const std::string& body, size_t bytes);
    static HttpResponse Stall();
    static HttpResponse Drop();
    static HttpResponse WithContentLength(const std::string& value, const std::string& body);
    // 206 with the given Content-Range and body, whatever was asked.
    static HttpResponse Partial(const std::string& contentRange, const std::string& body);
};

struct HttpRequest
{
    std::string method;
    std::string target;  // as on the request line (absolute URI or path)
    std::string path;    // the target without scheme and authority
    std::string version;
    HttpHeaders headers;
    std::string body;
    // Value of the first header of that name (any letter case), "" if none.
    std::string Header(const std::string& name) const;
};

class HttpTestServer
{
public:
    // Listens on 127.0.0.1 at a free port; throws std::runtime_error if it cannot.
    // Listens on 127.0.0.1 at port instead (one UnusedLoopbackPort gave).
    explicit HttpTestServer(unsigned short port);
    HttpTestServer();
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    unsigned short Port() const;
    // "http://127.0.0.1:PORT" followed by path.
    std::string Url(const std::string& path) const;

    void SetRoute(const std::string& path, const HttpResponse& response);
    void SetRoute(const std::string& path, const std::vector<HttpResponse>& sequence);
    // Every request received so far, in order of arrival.
    std::vector<HttpRequest> Requests() const;
    // Requests received so far for path.
    size_t RequestCount(const std::string& path) const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

// A port on 127.0.0.1 where nothing listens (connections are refused).
unsigned short UnusedLoopbackPort();

}  // namespace TestSupport
