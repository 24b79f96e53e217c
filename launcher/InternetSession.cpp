#include "launcher/InternetSession.h"

#include <wchar.h>

namespace Launcher {

CHttpFile::~CHttpFile() {
    if (m_hFile != nullptr) InternetCloseHandle(m_hFile);
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const {
    DWORD size = sizeof(DWORD);
    return HttpQueryInfoW(m_hFile, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                          &dwStatusCode, &size, nullptr);
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, DWORD& dwResult, LPDWORD lpdwIndex) const {
    DWORD value = 0;
    DWORD size = sizeof(DWORD);
    if (!HttpQueryInfoW(m_hFile, dwInfoLevel | HTTP_QUERY_FLAG_NUMBER, &value, &size, lpdwIndex))
        return FALSE;
    dwResult = value;
    return TRUE;
}

UINT CHttpFile::Read(void* lpBuf, UINT nCount) {
    DWORD read = 0;
    if (!InternetReadFile(m_hFile, lpBuf, nCount, &read))
        throw CInternetException(m_dwContext, GetLastError());
    return read;
}

void CHttpFile::Close() {
    if (m_hFile != nullptr) {
        HINTERNET h = m_hFile;
        m_hFile = nullptr;
        if (!InternetCloseHandle(h)) throw CInternetException(m_dwContext, GetLastError());
    }
}

CInternetSession::CInternetSession(LPCWSTR pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType,
                                   LPCWSTR pstrProxyName, LPCWSTR pstrProxyBypass, DWORD dwFlags)
    : m_hSession(nullptr), m_dwContext(dwContext) {
    m_hSession = InternetOpenW(pstrAgent, dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags);
    if (m_hSession == nullptr) throw CInternetException(m_dwContext, GetLastError());
}

CInternetSession::~CInternetSession() {
    if (m_hSession != nullptr) InternetCloseHandle(m_hSession);
}

BOOL CInternetSession::SetOption(DWORD dwOption, DWORD dwValue, DWORD dwFlags) {
    // The flags select how a string option is passed; a DWORD option has none.
    (void)dwFlags;
    return InternetSetOptionW(m_hSession, dwOption, &dwValue, sizeof(dwValue));
}

CHttpFile* CInternetSession::OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext, DWORD dwFlags,
                                     LPCWSTR pstrHeaders, DWORD dwHeadersLength) {
    if (pstrURL == nullptr || (_wcsnicmp(pstrURL, L"http://", 7) != 0 &&
                               _wcsnicmp(pstrURL, L"https://", 8) != 0))
        throw CInternetException(dwContext, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    HINTERNET h = InternetOpenUrlW(m_hSession, pstrURL, pstrHeaders, dwHeadersLength, dwFlags,
                                   dwContext);
    if (h == nullptr) throw CInternetException(dwContext, GetLastError());
    return new CHttpFile(h, dwContext);
}

void CInternetSession::Close() {
    if (m_hSession != nullptr) {
        HINTERNET h = m_hSession;
        m_hSession = nullptr;
        InternetCloseHandle(h);
    }
}

}  // namespace Launcher
