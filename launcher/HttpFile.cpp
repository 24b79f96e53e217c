#include "launcher/HttpFile.h"

#include <vector>

namespace Launcher {

CHttpFile::~CHttpFile()
{
    if (m_hFile != nullptr) InternetCloseHandle(m_hFile);
    if (m_hConnect != nullptr) InternetCloseHandle(m_hConnect);
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const
{
    DWORD size = sizeof(DWORD);
    return HttpQueryInfoW(m_hFile, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatusCode, &size,
                          nullptr);
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, DWORD& dwResult, LPDWORD lpdwIndex) const
{
    DWORD value = 0;
    DWORD size = sizeof(DWORD);
    if (!HttpQueryInfoW(m_hFile, dwInfoLevel | HTTP_QUERY_FLAG_NUMBER, &value, &size, lpdwIndex))
        return FALSE;
    dwResult = value;
    return TRUE;
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, std::wstring& strResult, LPDWORD lpdwIndex) const
{
    DWORD size = 0;
    DWORD index = lpdwIndex != nullptr ? *lpdwIndex : 0;
    HttpQueryInfoW(m_hFile, dwInfoLevel, nullptr, &size, &index);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return FALSE;
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    if (!HttpQueryInfoW(m_hFile, dwInfoLevel, text.data(), &size, lpdwIndex)) return FALSE;
    strResult.assign(text.data(), size / sizeof(wchar_t));
    return TRUE;
}

UINT CHttpFile::Read(void* lpBuf, UINT nCount)
{
    DWORD read = 0;
    if (!InternetReadFile(m_hFile, lpBuf, nCount, &read))
        throw CInternetException(m_dwContext, GetLastError());
    return read;
}

void CHttpFile::Close()
{
    BOOL closed = TRUE;
    if (m_hFile != nullptr) {
        closed = InternetCloseHandle(m_hFile);
        m_hFile = nullptr;
    }
    DWORD error = closed ? ERROR_SUCCESS : GetLastError();
    if (m_hConnect != nullptr) {
        InternetCloseHandle(m_hConnect);
        m_hConnect = nullptr;
    }
    if (!closed) throw CInternetException(m_dwContext, error);
}

}  // namespace Launcher
