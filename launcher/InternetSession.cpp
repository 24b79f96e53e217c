#include "launcher/InternetSession.h"

#include <string>

namespace Launcher {

CInternetSession::CInternetSession(LPCWSTR pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType,
                                   LPCWSTR pstrProxyName, LPCWSTR pstrProxyBypass, DWORD dwFlags)
    : m_hSession(nullptr), m_dwContext(dwContext), m_nRequests(0)
{
    m_hSession = InternetOpenW(pstrAgent, dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags);
    if (m_hSession == nullptr) throw CInternetException(m_dwContext, GetLastError());
}

CInternetSession::~CInternetSession()
{
    if (m_hSession != nullptr) InternetCloseHandle(m_hSession);
}

BOOL CInternetSession::SetOption(DWORD dwOption, DWORD dwValue, DWORD dwFlags)
{
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

namespace {

// Redirects followed for one OpenURL. WinINet under Wine follows a
// redirect loop without end, so the hops are followed here, with a bound.
const int kMaxRedirects = 10;

bool IsRedirect(DWORD status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The Location of a redirect resolved against the URL that answered it;
// false when there is none.
bool RedirectTarget(const CHttpFile& file, const std::wstring& from, std::wstring& to)
{
    DWORD size = 0;
    HttpQueryInfoW(file.m_hFile, HTTP_QUERY_LOCATION, nullptr, &size, nullptr);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return false;
    std::vector<wchar_t> location(size / sizeof(wchar_t) + 1, L'\0');
    if (!HttpQueryInfoW(file.m_hFile, HTTP_QUERY_LOCATION, location.data(), &size, nullptr)) return false;
    DWORD length = INTERNET_MAX_URL_LENGTH;
    std::vector<wchar_t> combined(length + 1, L'\0');
    if (!InternetCombineUrlW(from.c_str(), location.data(), combined.data(), &length, ICU_NO_ENCODE))
        return false;
    to.assign(combined.data(), length);
    return true;
}

// One GET of the URL, answered by whatever the server sends first.
CHttpFile* OpenOnce(HINTERNET hSession, const std::vector<std::pair<DWORD, DWORD>>& options, LPCWSTR pstrURL,
                    DWORD_PTR dwContext, DWORD dwFlags, LPCWSTR pstrHeaders, DWORD dwHeadersLength)
{
    if (pstrURL == nullptr) throw CInternetException(dwContext, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH + 1;
    parts.dwUrlPathLength = 1;  // pointers into pstrURL
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

    HINTERNET connect =
        InternetConnectW(hSession, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, dwContext);
    if (connect == nullptr) throw CInternetException(dwContext, GetLastError());
    for (auto option : options)
        InternetSetOptionW(connect, option.first, &option.second, sizeof(option.second));
    HINTERNET request =
        HttpOpenRequestW(connect, L"GET", object.c_str(), nullptr, nullptr, nullptr, dwFlags, dwContext);
    if (request == nullptr) {
        DWORD error = GetLastError();
        InternetCloseHandle(connect);
        throw CInternetException(dwContext, error);
    }
    CHttpFile* file = new CHttpFile(connect, request, dwContext);
    for (auto option : options)
        InternetSetOptionW(request, option.first, &option.second, sizeof(option.second));
    if (!HttpSendRequestW(request, pstrHeaders, pstrHeaders != nullptr ? dwHeadersLength : 0, nullptr, 0)) {
        DWORD error = GetLastError();
        delete file;
        throw CInternetException(dwContext, error);
    }
    return file;
}

}  // namespace

CHttpFile* CInternetSession::OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext, DWORD dwFlags, LPCWSTR pstrHeaders,
                                     DWORD dwHeadersLength)
{
    if ((dwFlags & INTERNET_FLAG_NO_AUTO_REDIRECT) != 0) {
        ++m_nRequests;
        return OpenOnce(m_hSession, m_options, pstrURL, dwContext, dwFlags, pstrHeaders, dwHeadersLength);
    }
    std::wstring url = pstrURL != nullptr ? pstrURL : L"";
    for (int hop = 0;; ++hop) {
        ++m_nRequests;
        CHttpFile* file =
            OpenOnce(m_hSession, m_options, pstrURL != nullptr ? url.c_str() : nullptr, dwContext,
                     dwFlags | INTERNET_FLAG_NO_AUTO_REDIRECT, pstrHeaders, dwHeadersLength);
        DWORD status = 0;
        std::wstring next;
        if (!file->QueryInfoStatusCode(status) || !IsRedirect(status) || !RedirectTarget(*file, url, next))
            return file;
        delete file;
        if (hop == kMaxRedirects) throw CInternetException(dwContext, ERROR_HTTP_REDIRECT_FAILED);
        url = next;
    }
}

void CInternetSession::Close()
{
    if (m_hSession != nullptr) {
        HINTERNET h = m_hSession;
        m_hSession = nullptr;
        InternetCloseHandle(h);
    }
}

}  // namespace Launcher
