#pragma once
// What the stand-in programs note about how they were started: the command
// line's arguments, the show request and the current directory, as UTF-8
// "name=value" lines. Header-only: every program here is one source file.
#include <windows.h>

#include <cstdio>
#include <string>

namespace LaunchRecord {

// The variable's value; empty when it is unset or longer than 1023 units.
inline std::wstring Env(const wchar_t* name)
{
    wchar_t value[1024];
    DWORD n = GetEnvironmentVariableW(name, value, 1024);
    return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

// The command line after the program's own (possibly quoted) path.
inline std::wstring Arguments()
{
    const wchar_t* p = GetCommandLineW();
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

inline void AppendUtf8(FILE* f, const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    std::fputs(out.c_str(), f);
}

// The lines "args=", "useshow=", "show=" and "cwd=" of this start.
inline void Write(FILE* f, const std::wstring& args)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    GetStartupInfoW(&si);
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    AppendUtf8(f, L"args=" + args + L"\n");
    std::fprintf(f, "useshow=%d\nshow=%d\n", (si.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0,
                 int(si.wShowWindow));
    AppendUtf8(f, std::wstring(L"cwd=") + cwd + L"\n");
}

}  // namespace LaunchRecord
