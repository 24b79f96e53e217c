#pragma once
// Points WinINet's preconfigured proxy (HKCU Internet Settings) at a local
// port while alive, so that the launcher's built-in URLs on the vendor's host
// reach a local HttpTestServer; the earlier values come back afterwards.

#include <windows.h>

#include <string>

namespace TestSupport {

class ProxyGuard
{
public:
    explicit ProxyGuard(unsigned short port);
    ~ProxyGuard();
    ProxyGuard(const ProxyGuard&) = delete;
    ProxyGuard& operator=(const ProxyGuard&) = delete;

private:
    bool Save(const wchar_t* name, std::string& data, DWORD& type);
    void Restore(const wchar_t* name, bool had, const std::string& data, DWORD type);

    HKEY m_key = nullptr;
    bool m_hadEnable = false, m_hadServer = false;
    std::string m_enable, m_server;
    DWORD m_enableType = 0, m_serverType = 0;
};

// The request path of an absolute URL: everything after "scheme://host";
// "" when there is none. The URL is ASCII, as the launcher's are.
std::string UrlPath(const wchar_t* url);

}  // namespace TestSupport
