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
const DWORD kTimeoutMs = 5000;
const UINT kReadSize = 2048;
// The body block is the announced length plus this many zero bytes.
const size_t kBodySlack = 8;
// The largest body taken: below 2 GiB, the most one block of a 32-bit process
// could hold. The 64-bit build keeps the same bound, so both refuse alike.
const DWORD kMaxBodyLength = 0x7FFFFFFF;
// Always from the server, nothing left in the cache, bytes as sent.
const DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY;

// The system ANSI code page, as everywhere in the launcher: the worker that
// runs the setup reads the same path the same way, so the file written is the
// file run even where a thread's code page differs.
bool ToWide(const char* text, std::wstring& out)
{
    if (text == nullptr) return false;
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return false;
    out.assign(size_t(n), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, &out[0], n) != n) return false;
    out.resize(size_t(n - 1));
    return true;
}

// The folder part of path with its trailing separator ("." for a bare name).
std::wstring FolderOf(const std::wstring& path)
{
    size_t pos = path.find_last_of(L"\\/:");
    return pos == std::wstring::npos ? std::wstring(L".") : path.substr(0, pos + 1);
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
// is complete, so that no failure can leave a partial file at the path.
bool WriteWholeFile(const std::wstring& path, const char* body, UINT size)
{
    TempFile temp;
    if (GetTempFileNameW(FolderOf(path).c_str(), L"vdl", 0, temp.name) == 0) return false;
    temp.created = true;
    CFile file(temp.name, CFile::modeCreate | CFile::modeWrite);
    file.Write(body, size);
    file.Close();
    if (!MoveFileExW(temp.name, path.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
    temp.created = false;
    return true;
}

// The declared body length: a plain decimal number of at most kMaxBodyLength.
// A sign, a space, any other character or a larger number gives false.
bool ParseContentLength(const std::wstring& text, DWORD& length)
{
    if (text.empty()) return false;
    unsigned long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + unsigned(c - L'0');
        if (value > kMaxBodyLength) return false;
    }
    length = DWORD(value);
    return true;
}

bool Fetch(CInternetSession& session, const std::wstring& url, const std::wstring& path,
           DownloadProgressProc callback, int product)
{
    bool result = false;
    std::unique_ptr<CHttpFile> file;
    std::unique_ptr<char[]> body;
    try {
        file.reset(session.OpenURL(url.c_str(), kContext, kOpenFlags, nullptr, 0));
        DWORD status = 0;
        file->QueryInfoStatusCode(status);
        std::wstring lengthText;
        DWORD total = 0;
        if (file->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, lengthText, nullptr) &&
            !ParseContentLength(lengthText, total))
            total = 0;
        if (status == 200 && total != 0) {
            const size_t blockSize = size_t(total) + kBodySlack;
            body.reset(new (std::nothrow) char[blockSize]);
            if (body) {
                std::memset(body.get(), 0, blockSize);
                DWORD remaining = total;
                char* at = body.get();
                while (remaining > 0) {
                    UINT want = remaining < kReadSize ? UINT(remaining) : kReadSize;
                    UINT got = file->Read(at, want);
                    if (got == 0) break;
                    at += got;
                    remaining -= got;
                    if (callback != nullptr) callback(product, total, remaining);
                }
                if (remaining == 0) result = WriteWholeFile(path, body.get(), UINT(total));
            }
        }
    } catch (...) {
        // Connection failure, time-out, read or file error: the download failed.
        result = false;
    }
    body.reset();
    if (file) {
        try {
            file->Close();
        } catch (...) {}
        session.Close();
        file.reset();
    }
    return result;
}

}  // namespace

bool DownloadToFile(const char* url, const char* path, DownloadProgressProc callback, int product)
{
    std::wstring wideUrl, widePath;
    if (!ToWide(url, wideUrl) || !ToWide(path, widePath)) return false;
    try {
        CInternetSession session(L"varivo", kContext, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        const DWORD timeouts[] = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                                  INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                                  INTERNET_OPTION_DATA_RECEIVE_TIMEOUT};
        for (DWORD option : timeouts) session.SetOption(option, kTimeoutMs, 0);
        return Fetch(session, wideUrl, widePath, callback, product);
    } catch (...) {
        // The session itself could not be opened.
        return false;
    }
}

}  // namespace Launcher
