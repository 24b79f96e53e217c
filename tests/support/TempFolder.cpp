#include "tests/support/TempFolder.h"

#include <windows.h>

namespace TestSupport {

std::wstring WideFromAnsi(const std::string& s)
{
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
    w.resize(size_t(n - 1));
    return w;
}

std::string AnsiFromWide(const std::wstring& w)
{
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string s(size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    s.resize(size_t(n - 1));
    return s;
}

std::string Utf8FromWide(const std::wstring& w)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(size_t(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring WideFromUtf8(const std::string& s)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), &w[0], n);
    return w;
}

TempFolder::TempFolder(const std::string& prefix)
{
    static LONG counter = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_path = AnsiFromWide(temp) + prefix + "_" + std::to_string(GetCurrentProcessId()) + "_" +
        std::to_string(InterlockedIncrement(&counter)) + "_" + std::to_string(GetTickCount());
    CreateDirectoryW(WideFromAnsi(m_path).c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    for (const std::string& name : Names()) {
        std::wstring p = WideFromAnsi(File(name));
        if (!DeleteFileW(p.c_str())) RemoveDirectoryW(p.c_str());
    }
    RemoveDirectoryW(WideFromAnsi(m_path).c_str());
}

std::string TempFolder::File(const std::string& name) const
{
    return m_path + "\\" + name;
}

std::vector<std::string> TempFolder::Names() const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(WideFromAnsi(m_path + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring n = fd.cFileName;
        if (n != L"." && n != L"..") names.push_back(AnsiFromWide(n));
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

bool ReadWholeFile(const std::string& path, std::string& out)
{
    HANDLE h = CreateFileW(WideFromAnsi(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    out.clear();
    char buf[65536];
    DWORD n = 0;
    bool ok;
    while ((ok = ReadFile(h, buf, sizeof(buf), &n, nullptr) != FALSE) && n > 0) out.append(buf, n);
    CloseHandle(h);
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& data)
{
    HANDLE h = CreateFileW(WideFromAnsi(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    bool ok = WriteFile(h, data.data(), DWORD(data.size()), &n, nullptr) && n == data.size();
    return CloseHandle(h) && ok;
}

std::set<std::wstring> TempEntries(const wchar_t* pattern)
{
    std::set<std::wstring> names;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((std::wstring(temp) + pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring n = fd.cFileName;
        if (n != L"." && n != L"..") names.insert(n);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

namespace {

bool ReadVariable(const wchar_t* name, std::wstring& value)
{
    wchar_t buffer[32768];
    DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
    if (n == 0 || n >= 32768) return false;
    value.assign(buffer, n);
    return true;
}

}  // namespace

TempPathOverride::TempPathOverride(const std::wstring& folder)
    : m_hadTmp(ReadVariable(L"TMP", m_tmp)), m_hadTemp(ReadVariable(L"TEMP", m_temp))
{
    SetEnvironmentVariableW(L"TMP", folder.c_str());
    SetEnvironmentVariableW(L"TEMP", folder.c_str());
}

TempPathOverride::~TempPathOverride()
{
    SetEnvironmentVariableW(L"TMP", m_hadTmp ? m_tmp.c_str() : nullptr);
    SetEnvironmentVariableW(L"TEMP", m_hadTemp ? m_temp.c_str() : nullptr);
}

std::wstring UnrepresentableName()
{
    const wchar_t* const candidates[] = {L"\u4E34\u65F6\u6587\u4EF6", L"\u0416\u0443\u0440\u043D\u0430\u043B",
                                         L"\u05E7\u05D1\u05E6\u05D9\u05DD", L"\u0E44\u0E1F\u0E25\u0E4C"};
    for (const wchar_t* name : candidates) {
        char ansi[64] = {};
        int n = WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof(ansi), nullptr, nullptr);
        wchar_t back[64] = {};
        if (n <= 0 || MultiByteToWideChar(CP_ACP, 0, ansi, -1, back, 64) <= 0 || std::wstring(back) != name)
            return name;
    }
    return std::wstring();
}

std::wstring TestBinDir()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring s(self);
    return s.substr(0, s.rfind(L'\\') + 1);
}

}  // namespace TestSupport
