// Stand-in for the web browser: appends its whole command line, as one
// UTF-8 line, to the file named by IEXPLORE_RECORDER_LOG (nothing without
// it), then exits. Tests register it as "iexplore.exe" under App Paths.
#include <windows.h>

#include <cstdio>
#include <string>

int main()
{
    wchar_t log[1024];
    DWORD n = GetEnvironmentVariableW(L"IEXPLORE_RECORDER_LOG", log, 1024);
    if (n == 0 || n >= 1024) return 1;
    const wchar_t* line = GetCommandLineW();
    int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return 1;
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line, -1, &utf8[0], size, nullptr, nullptr);
    FILE* f = _wfopen(log, L"ab");
    if (f == nullptr) return 1;
    std::fputs(utf8.c_str(), f);
    std::fputs("\n", f);
    std::fclose(f);
    return 0;
}
