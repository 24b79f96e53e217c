#include "launcher/InternetSession.h"

#include <string>

namespace Launcher {

CHttpFile::~CHttpFile() {
    if (m_hFile != nullptr) InternetCloseHandle(m_hFile);
    if (m_hConnect != nullptr) InternetCloseHandle(m_hConnect);
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
    auto it = m_options.begin();
    while (it != m_options.end() && it->first != dwOption) ++it;
    if (it == m_options.end())
        m_options.push_back(std::make_pair(dwOption, dwValue));
    else
        it->second = dwValue;
    return InternetSetOptionW(m_hSession, dwOption, &dwValue, sizeof(dwValue));
}

CHttpFile* CInternetSession::OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext, DWORD dwFlags,
                                     LPCWSTR pstrHeaders, DWORD dwHeadersLength) {
    if (pstrURL == nullptr) throw CInternetException(dwContext, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH + 1;
    parts.dwUrlPathLength = 1;   // pointers into pstrURL
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(pstrURL, 0, 0, &parts)) throw CInternetException(dwContext, GetLastError());
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        throw CInternetException(dwContext, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    // The request target is the path and query exactly as given, braces and all.
    std::wstring object = parts.lpszUrlPath != nullptr
                              ? std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength)
                              : std::wstring();
    if (parts.lpszExtraInfo != nullptr) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty()) object = L"/";
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) dwFlags |= INTERNET_FLAG_SECURE;

    HINTERNET connect = InternetConnectW(m_hSession, host, parts.nPort, nullptr, nullptr,
                                         INTERNET_SERVICE_HTTP, 0, dwContext);
    if (connect == nullptr) throw CInternetException(dwContext, GetLastError());
    for (auto& option : m_options)
        InternetSetOptionW(connect, option.first, &option.second, sizeof(option.second));
    HINTERNET request = HttpOpenRequestW(connect, L"GET", object.c_str(), nullptr, nullptr, nullptr,
                                         dwFlags, dwContext);
    if (request == nullptr) {
        DWORD error = GetLastError();
        InternetCloseHandle(connect);
        throw CInternetException(dwContext, error);
    }
    CHttpFile* file = new CHttpFile(connect, request, dwContext);
    for (auto& option : m_options)
        InternetSetOptionW(request, option.first, &option.second, sizeof(option.second));
    if (!HttpSendRequestW(request, pstrHeaders, pstrHeaders != nullptr ? dwHeadersLength : 0, nullptr, 0)) {
        DWORD error = GetLastError();
        delete file;
        throw CInternetException(dwContext, error);
    }
    return file;
}

void CInternetSession::Close() {
    if (m_hSession != nullptr) {
        HINTERNET h = m_hSession;
        m_hSession = nullptr;
        InternetCloseHandle(h);
    }
}

}  // namespace Launcher
