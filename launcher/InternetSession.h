#pragma once
// A thin layer over WinINet with the operations the download uses: an
// internet session (here) and the HTTP file object its OpenURL returns
// (HttpFile.h). Failures of the session constructor and OpenURL throw
// CInternetException; SetOption reports by result.

#include "launcher/HttpFile.h"
#include "launcher/InternetException.h"
#include "launcher/WinInetApi.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace Launcher {

// The session of an internet connection.
class CInternetSession
{
public:
    // Opens the session (InternetOpenW); throws CInternetException when it cannot.
    CInternetSession(LPCWSTR pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                     DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG, LPCWSTR pstrProxyName = nullptr,
                     LPCWSTR pstrProxyBypass = nullptr, DWORD dwFlags = 0);
    ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // A DWORD option of the session handle (time-outs and the like). It is
    // also set on the handles of every later OpenURL: not every WinINet
    // passes a session's time-outs down to its requests.
    BOOL SetOption(DWORD dwOption, DWORD dwValue, DWORD dwFlags = 0);
    // GET of an http:// or https:// URL. Redirects (301, 302, 303, 307, 308)
    // are followed up to 10 hops, unless the flags hold
    // INTERNET_FLAG_NO_AUTO_REDIRECT; one more throws ERROR_HTTP_REDIRECT_FAILED.
    // Returns a heap object the caller deletes; throws on failure, and for
    // any other scheme (ERROR_INTERNET_UNRECOGNIZED_SCHEME).
    CHttpFile* OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext = 1, DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII,
                       LPCWSTR pstrHeaders = nullptr, DWORD dwHeadersLength = 0);
    void Close();
    // Requests sent through OpenURL so far, each redirect hop counted.
    int GetRequestCount() const { return m_nRequests; }

    HINTERNET m_hSession;
    DWORD_PTR m_dwContext;
    std::vector<std::pair<DWORD, DWORD>> m_options;
    int m_nRequests;
};

}  // namespace Launcher
