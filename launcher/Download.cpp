#include "launcher/Download.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "launcher/File.h"
#include "launcher/InternetSession.h"

namespace Launcher {

namespace {

const DWORD kContext = 1;
const UINT kReadSize = 2048;
// The body block is the announced length plus this many zero bytes.
const size_t kBodySlack = 8;
// The largest body taken: below 2 GiB, the most one block of a 32-bit process
// could hold. The 64-bit build keeps the same bound, so both refuse alike.
const DWORD kMaxBodyLength = 0x7FFFFFFF;
// Always from the server, nothing left in the cache, bytes as sent.
const DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY;

// The folder that holds path, "." for a bare name.
std::wstring FolderOrCurrent(const std::wstring& path)
{
    const std::wstring folder = FolderOf(path);
    return folder.empty() ? std::wstring(L".") : folder;
}

// Removes the temporary file unless it has been moved over the target.
struct TempFile
{
    wchar_t name[MAX_PATH] = {};
    bool created = false;
    ~TempFile()
    {
        if (created) DeleteFileW(name);
    }
};

// Writes the body beside the target and moves it over the target only once it
// is complete, so that no failure can leave a partial file at the path. The
// move is retried for a moment while a scanner holds the new file.
bool WriteWholeFile(const std::wstring& path, const char* body, UINT size, DWORD retryMs)
{
    TempFile temp;
    if (GetTempFileNameW(FolderOrCurrent(path).c_str(), L"vdl", 0, temp.name) == 0) return false;
    temp.created = true;
    CFile file(temp.name, CFile::modeCreate | CFile::modeWrite);
    file.Write(body, size);
    file.Close();
    if (!RetryWhileHeld(retryMs, [&] {
            return MoveFileExW(temp.name, path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        }))
        return false;
    temp.created = false;
    return true;
}

// A plain decimal number of at most kMaxBodyLength. A sign, a space, any
// other character or a larger number gives false.
bool ParseLength(const std::wstring& text, size_t& at, size_t end, DWORD& length)
{
    if (at >= end) return false;
    unsigned long long value = 0;
    size_t i = at;
    for (; i < end && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + unsigned(text[i] - L'0');
        if (value > kMaxBodyLength) return false;
    }
    if (i == at) return false;
    at = i;
    length = DWORD(value);
    return true;
}

// The declared body length.
bool ParseContentLength(const std::wstring& text, DWORD& length)
{
    size_t at = 0;
    return ParseLength(text, at, text.size(), length) && at == text.size();
}

// True when a Content-Range says exactly "bytes <from>-<total-1>/<total>".
bool ContentRangeIs(const std::wstring& text, DWORD from, DWORD total)
{
    const std::wstring unit = L"bytes ";
    if (text.compare(0, unit.size(), unit) != 0) return false;
    size_t at = unit.size();
    DWORD first = 0, last = 0, whole = 0;
    if (!ParseLength(text, at, text.size(), first) || at >= text.size() || text[at++] != L'-') return false;
    if (!ParseLength(text, at, text.size(), last) || at >= text.size() || text[at++] != L'/') return false;
    if (!ParseLength(text, at, text.size(), whole) || at != text.size()) return false;
    return first == from && whole == total && last == total - 1;
}

// A Retry-After in seconds (the date form is not honoured: it gives false).
bool RetryAfterMs(const CHttpFile& file, DWORD& ms)
{
    std::wstring text;
    DWORD seconds = 0;
    if (!file.QueryInfo(HTTP_QUERY_RETRY_AFTER, text, nullptr) || !ParseContentLength(text, seconds) ||
        seconds > 3600)
        return false;
    ms = seconds * 1000;
    return true;
}

// Errors of a request worth asking again: the server or the way to it may
// be back in a moment.
bool IsPassingFailure(DWORD error)
{
    switch (error) {
    case ERROR_INTERNET_TIMEOUT:
    case ERROR_INTERNET_CANNOT_CONNECT:
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET:
    case ERROR_HTTP_INVALID_SERVER_RESPONSE:
    case ERROR_INTERNET_SERVER_UNREACHABLE:
        return true;
    default:
        return false;
    }
}

bool IsPassingStatus(DWORD status)
{
    return status == 408 || status == 429 || (status >= 500 && status <= 599);
}

// The free bytes of the volume that holds path's folder; false when unknown.
bool EnoughSpaceFor(const std::wstring& path, DWORD size)
{
    ULARGE_INTEGER available = {};
    if (!GetDiskFreeSpaceExW(FolderOrCurrent(path).c_str(), &available, nullptr, nullptr)) return true;
    return available.QuadPart >= ULONGLONG(size);
}

bool Stopped(const DownloadOptions& options)
{
    return options.stop != nullptr && options.stop->load();
}

// Waits ms in short slices, so that a stop is seen at once; false on a stop.
bool Wait(const DownloadOptions& options, DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        if (Stopped(options)) return false;
        DWORD left = ms - (GetTickCount() - start);
        Sleep(left < 50 ? left : 50);
    }
    return !Stopped(options);
}

// One download across its requests.
class CTransfer
{
public:
    CTransfer(CInternetSession& session, const std::wstring& url, const std::wstring& path,
              DownloadProgressProc callback, int product, const DownloadOptions& options)
        : m_session(session), m_url(url), m_path(path), m_callback(callback), m_product(product),
          m_options(options)
    {}

    bool Run();

private:
    enum Attempt
    {
        kComplete,  // the whole body is in the block
        kAgain,     // worth another request
        kGiveUp,    // the download has failed
    };
    Attempt Request(DWORD& retryAfterMs);
    Attempt ReadBody(CHttpFile& file, DWORD from);
    bool Start(CHttpFile& file);

    CInternetSession& m_session;
    const std::wstring& m_url;
    const std::wstring& m_path;
    DownloadProgressProc m_callback;
    int m_product;
    const DownloadOptions& m_options;

    std::unique_ptr<char[]> m_body;
    DWORD m_total = 0;
    // Bytes of the body now in the block, from its start.
    DWORD m_received = 0;
    // The most bytes ever reported: progress is reported only past it.
    DWORD m_reported = 0;
    // The first response's validator, sent in If-Range.
    std::wstring m_validator;
};

bool CTransfer::Start(CHttpFile& file)
{
    std::wstring lengthText;
    DWORD total = 0;
    if (!file.QueryInfo(HTTP_QUERY_CONTENT_LENGTH, lengthText, nullptr) ||
        !ParseContentLength(lengthText, total) || total == 0)
        return false;
    if (m_body) return total == m_total;
    // Free space for the whole setup before the first byte is read.
    if (!EnoughSpaceFor(m_path, total)) return false;
    const size_t blockSize = size_t(total) + kBodySlack;
    m_body.reset(new (std::nothrow) char[blockSize]);
    if (!m_body) return false;
    std::memset(m_body.get(), 0, blockSize);
    m_total = total;
    // A strong ETag, else Last-Modified: what If-Range may carry.
    std::wstring etag, modified;
    if (file.QueryInfo(HTTP_QUERY_ETAG, etag, nullptr) && !etag.empty() && etag.compare(0, 2, L"W/") != 0)
        m_validator = etag;
    else if (file.QueryInfo(HTTP_QUERY_LAST_MODIFIED, modified, nullptr) && !modified.empty())
        m_validator = modified;
    return true;
}

CTransfer::Attempt CTransfer::ReadBody(CHttpFile& file, DWORD from)
{
    m_received = from;
    while (m_received < m_total) {
        const DWORD remaining = m_total - m_received;
        const UINT want = remaining < kReadSize ? UINT(remaining) : kReadSize;
        UINT got = 0;
        try {
            got = file.Read(m_body.get() + m_received, want);
        } catch (const CInternetException&) {
            return Stopped(m_options) ? kGiveUp : kAgain;
        }
        if (got == 0) break;
        m_received += got;
        // Whatever answers the setup's address, a page of a captive portal
        // for one, must at least begin like a program.
        if (m_received >= 2 && m_received - got < 2 && (m_body[0] != 'M' || m_body[1] != 'Z')) return kGiveUp;
        if (m_received > m_reported) {
            m_reported = m_received;
            if (m_callback != nullptr) m_callback(m_product, m_total, m_total - m_received);
        }
        if (Stopped(m_options)) return kGiveUp;
    }
    return m_received == m_total ? kComplete : kAgain;
}

CTransfer::Attempt CTransfer::Request(DWORD& retryAfterMs)
{
    std::wstring headers;
    const DWORD from = m_received;
    if (from > 0) {
        headers = L"Range: bytes=" + std::to_wstring(from) + L"-\r\n";
        if (!m_validator.empty()) headers += L"If-Range: " + m_validator + L"\r\n";
    }
    std::unique_ptr<CHttpFile> file;
    try {
        file.reset(m_session.OpenURL(m_url.c_str(), kContext, kOpenFlags,
                                     headers.empty() ? nullptr : headers.c_str(), DWORD(headers.size())));
    } catch (const CInternetException& e) {
        return IsPassingFailure(e.m_dwError) ? kAgain : kGiveUp;
    }
    DWORD status = 0;
    file->QueryInfoStatusCode(status);
    Attempt result = kGiveUp;
    // No status at all: the connection closed before a response (some
    // WinINets report that as success with nothing to read).
    if (status == 0 || IsPassingStatus(status)) {
        if (!RetryAfterMs(*file, retryAfterMs)) retryAfterMs = 0;
        result = kAgain;
    } else if (status == 200) {
        // The first answer, or a server that ignores ranges: from the start,
        // into the same block, for the same total.
        if (Start(*file)) result = ReadBody(*file, 0);
    } else if (status == 206 && from > 0) {
        std::wstring range;
        if (file->QueryInfo(HTTP_QUERY_CONTENT_RANGE, range, nullptr) && ContentRangeIs(range, from, m_total))
            result = ReadBody(*file, from);
    }
    try {
        file->Close();
    } catch (...) {}
    return result;
}

bool CTransfer::Run()
{
    DWORD lastProgress = GetTickCount();
    int idle = 0;  // requests in a row that added nothing
    for (;;) {
        if (Stopped(m_options) || m_session.GetRequestCount() >= m_options.maxRequests) return false;
        const DWORD before = m_reported;
        DWORD retryAfterMs = 0;
        const Attempt attempt = Request(retryAfterMs);
        if (attempt == kComplete)
            return WriteWholeFile(m_path, m_body.get(), UINT(m_total), m_options.fileRetryMs);
        if (attempt == kGiveUp) return false;
        if (m_reported > before) {
            // Progress: ask for the rest at once.
            idle = 0;
            lastProgress = GetTickCount();
            continue;
        }
        if (++idle > 2) return false;
        DWORD wait = m_options.retryDelayMs << (idle - 1);
        if (retryAfterMs > m_options.retryAfterLimitMs) return false;
        if (retryAfterMs > wait) wait = retryAfterMs;
        if (GetTickCount() - lastProgress + wait > m_options.lastRequestAfterMs) return false;
        if (m_options.retrying != nullptr) m_options.retrying(m_product, true);
        const bool waited = Wait(m_options, wait);
        if (m_options.retrying != nullptr) m_options.retrying(m_product, false);
        if (!waited) return false;
    }
}

}  // namespace

std::wstring FolderOf(const std::wstring& path)
{
    const size_t pos = path.find_last_of(L"\\/:");
    return pos == std::wstring::npos ? std::wstring() : path.substr(0, pos + 1);
}

bool DownloadToFile(const wchar_t* url, const wchar_t* path, DownloadProgressProc callback, int product,
                    const DownloadOptions* options)
{
    const DownloadOptions defaults;
    const DownloadOptions& chosen = options != nullptr ? *options : defaults;
    if (url == nullptr || path == nullptr) return false;
    const std::wstring wideUrl(url), widePath(path);
    try {
        CInternetSession session(L"varivo", kContext, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        const DWORD timeouts[] = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                                  INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                                  INTERNET_OPTION_DATA_RECEIVE_TIMEOUT};
        for (DWORD option : timeouts) session.SetOption(option, chosen.timeoutMs, 0);
        CTransfer transfer(session, wideUrl, widePath, callback, product, chosen);
        return transfer.Run();
    } catch (...) {
        // The session could not be opened, or the file not be written.
        return false;
    }
}

}  // namespace Launcher
