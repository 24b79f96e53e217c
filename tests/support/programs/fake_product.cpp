// Stand-in for an installed product: appends its arguments, how it was asked
// to show itself and its current directory to a log file, then exits.
//   FAKE_PRODUCT_LOG  log file (default: this exe's path with ".log")
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring Arguments() {
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

void AppendUtf8(FILE* f, const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    std::fputs(out.c_str(), f);
}

}  // namespace

int main() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t log[1024] = {};
    DWORD n = GetEnvironmentVariableW(L"FAKE_PRODUCT_LOG", log, 1024);
    std::wstring logPath = n > 0 && n < 1024 ? std::wstring(log) : std::wstring(self) + L".log";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    GetStartupInfoW(&si);
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    // Written to a side file and renamed, so a reader never sees half a record.
    std::wstring part = logPath + L".part";
    if (FILE* f = _wfopen(part.c_str(), L"w")) {
        AppendUtf8(f, L"exe=" + std::wstring(self) + L"\n");
        AppendUtf8(f, L"args=" + Arguments() + L"\n");
        std::fprintf(f, "useshow=%d\nshow=%d\n", (si.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0,
                     int(si.wShowWindow));
        AppendUtf8(f, std::wstring(L"cwd=") + cwd + L"\n");
        std::fclose(f);
        MoveFileExW(part.c_str(), logPath.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    return 0;
}
