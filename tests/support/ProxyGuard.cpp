#include "tests/support/ProxyGuard.h"

#include <cstring>
#include <cwchar>

namespace TestSupport {

namespace {
const wchar_t kInternetSettings[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
}

ProxyGuard::ProxyGuard(unsigned short port)
{
    RegCreateKeyExW(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                    nullptr);
    m_hadEnable = Save(L"ProxyEnable", m_enable, m_enableType);
    m_hadServer = Save(L"ProxyServer", m_server, m_serverType);
    DWORD one = 1;
    RegSetValueExW(m_key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof(one));
    std::wstring server = L"127.0.0.1:" + std::to_wstring(port);
    RegSetValueExW(m_key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                   DWORD((server.size() + 1) * sizeof(wchar_t)));
}

ProxyGuard::~ProxyGuard()
{
    Restore(L"ProxyEnable", m_hadEnable, m_enable, m_enableType);
    Restore(L"ProxyServer", m_hadServer, m_server, m_serverType);
    RegCloseKey(m_key);
}

bool ProxyGuard::Save(const wchar_t* name, std::string& data, DWORD& type)
{
    BYTE buf[1024];
    DWORD size = sizeof(buf);
    if (RegQueryValueExW(m_key, name, nullptr, &type, buf, &size) != ERROR_SUCCESS) return false;
    data.assign(reinterpret_cast<char*>(buf), size);
    return true;
}

void ProxyGuard::Restore(const wchar_t* name, bool had, const std::string& data, DWORD type)
{
    if (had)
        RegSetValueExW(m_key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), DWORD(data.size()));
    else
        RegDeleteValueW(m_key, name);
}

std::string UrlPath(const wchar_t* url)
{
    const wchar_t* p = std::wcsstr(url, L"://");
    p = p ? std::wcschr(p + 3, L'/') : nullptr;
    return p ? std::string(p, p + std::wcslen(p)) : std::string();
}

}  // namespace TestSupport
