#pragma once
// CHttpFile: one open HTTP request, as CInternetSession::OpenURL returns it.
// Read throws CInternetException; the QueryInfo calls report by result.

#include "launcher/InternetException.h"
#include "launcher/WinInetApi.h"

#include <windows.h>

#include <string>

namespace Launcher {

// One open request and its connection. Owns both handles; Close (or the
// destructor) frees them.
class CHttpFile
{
public:
    CHttpFile(HINTERNET hConnect, HINTERNET hFile, DWORD_PTR context)
        : m_hConnect(hConnect), m_hFile(hFile), m_dwContext(context)
    {}
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

}  // namespace Launcher
