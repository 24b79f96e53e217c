#pragma once
// A thin layer over WinINet with the operations the download uses: an
// internet session, and the HTTP file object its OpenURL returns.
// Failures of the session constructor, OpenURL and Read throw
// CInternetException; SetOption and the QueryInfo calls report by result.

#include <windows.h>
#include <wininet.h>

#include <string>
#include <utility>
#include <vector>

namespace Launcher {

// Thrown by the internet classes; carries the Windows (WinINet) error code.
class CInternetException {
public:
    CInternetException(DWORD_PTR context, DWORD error) : m_dwContext(context), m_dwError(error) {}
    DWORD_PTR m_dwContext;
    DWORD m_dwError;
};

// One open request and its connection. Owns both handles; Close (or the
// destructor) frees them.
class CHttpFile {
public:
    CHttpFile(HINTERNET hConnect, HINTERNET hFile, DWORD_PTR context)
        : m_hConnect(hConnect), m_hFile(hFile), m_dwContext(context) {}
    ~CHttpFile();
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    // Status code of the (final) response.
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;
    // A header queried as a number (HTTP_QUERY_FLAG_NUMBER is added); dwResult
    // is left as it was when the header is missing or not a number.
    BOOL QueryInfo(DWORD dwInfoLevel, DWORD& dwResult, LPDWORD lpdwIndex = nullptr) const;
    // A header as its text; strResult is left as it was when the header is missing.
    BOOL QueryInfo(DWORD dwInfoLevel, std::wstring& strResult, LPDWORD lpdwIndex = nullptr) const;
    // Up to nCount bytes; 0 at the end of data. Throws on failure.
    UINT Read(void* lpBuf, UINT nCount);
    void Close();

    HINTERNET m_hConnect;
    HINTERNET m_hFile;
    DWORD_PTR m_dwContext;
};

class CInternetSession {
public:
    // Opens the session (InternetOpenW); throws CInternetException when it cannot.
    CInternetSession(LPCWSTR pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                     DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG,
                     LPCWSTR pstrProxyName = nullptr, LPCWSTR pstrProxyBypass = nullptr,
                     DWORD dwFlags = 0);
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
    CHttpFile* OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext = 1,
                       DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII,
                       LPCWSTR pstrHeaders = nullptr, DWORD dwHeadersLength = 0);
    void Close();

    HINTERNET m_hSession;
    DWORD_PTR m_dwContext;
    std::vector<std::pair<DWORD, DWORD>> m_options;
};

}  // namespace Launcher
