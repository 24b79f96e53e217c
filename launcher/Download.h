#pragma once
// The installer download: HTTP GETs of a product's silent setup into a file,
// resumed and retried within bounds.

#include <windows.h>

#include <atomic>
#include <string>

namespace Launcher {

// Progress callback: the product the download is for (as given to
// DownloadToFile), the announced body length and the bytes not yet read.
// Called on the downloading thread after every successful read that takes
// the download past what was already reported, so remaining never grows.
typedef void (*DownloadProgressProc)(int product, unsigned int total, unsigned int remaining);

// How patient a download is. The defaults are the launcher's; tests shorten
// the waits where the bound itself is not what they look at.
struct DownloadOptions
{
    // Each of the five WinINet time-outs (connect, send, receive, data send,
    // data receive) of every request.
    DWORD timeoutMs = 5000;
    // The wait before the first retry of a request that added nothing; the
    // second waits twice as long, and a third such request ends the download.
    DWORD retryDelayMs = 1000;
    // A Retry-After of up to this many milliseconds replaces the wait; a
    // longer one ends the download.
    DWORD retryAfterLimitMs = 10000;
    // No request starts later than this after the last byte arrived (or the
    // first request), so that a server that sends nothing more has ended the
    // download within 40 s of its last byte: this, plus one request's worst
    // case of three time-outs.
    DWORD lastRequestAfterMs = 25000;
    // Set by whoever wants the download to end: checked after every read and
    // during every wait. A read under way is never cut; it ends by itself
    // within the receive time-out.
    const std::atomic<bool>* stop = nullptr;
    // Requests of one download, every redirect hop counted.
    int maxRequests = 64;
    // How long the finished file's rename is retried while a scanner holds it.
    DWORD fileRetryMs = 2000;
    // Called with true before the wait for a retry and with false when the
    // download asks again (on the downloading thread, with its product).
    void (*retrying)(int product, bool waiting) = nullptr;
};

// Downloads url into the file at path. The body is read 2048 bytes at a time into one block of
// its announced length, and written in one call only when it arrived in
// full; returns true exactly when the file was written. A failure writes
// nothing and leaves an earlier file at path untouched.
//
// A body that ends early, or a read that fails with bytes still missing, is
// asked for again from where it stopped ("Range: bytes=<received>-" with
// "If-Range: <first ETag or Last-Modified>", through the same redirects): a
// 206 is spliced only when its Content-Range is exactly
// "bytes <received>-<total-1>/<total>"; a 200 is read again from the start
// into the same block. A different total or range, a body that does not
// begin with "MZ", too little free space for the body beside path, a status
// other than 200, 206, 408, 429 and 5xx (407 included), or a stop, ends the
// download at once. Refused or reset connections, time-outs, 408, 429 and
// 5xx are tried again (see DownloadOptions). product is only handed on to
// the callback; options null means the defaults.
bool DownloadToFile(const wchar_t* url, const wchar_t* path, DownloadProgressProc callback, int product = 0,
                    const DownloadOptions* options = nullptr);

// The folder part of path with its last separator ("C:\\P\\" of
// "C:\\P\\s.exe"); empty for a bare name.
std::wstring FolderOf(const std::wstring& path);

// Retries a file step for as long as it fails with a sharing violation or
// access denied (a virus scanner holding a new file for a moment), up to
// windowMs; true once step succeeds. Any other failure (the file is gone:
// quarantined) stops at once. step returns true on success and leaves its
// error in GetLastError.
template <class Step>
bool RetryWhileHeld(DWORD windowMs, Step step)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (step()) return true;
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION)
            return false;
        if (GetTickCount() - start >= windowMs) return false;
        Sleep(50);
    }
}

}  // namespace Launcher
