// A DLL planted beside a program under the name of a system DLL (msimg32.dll,
// gdiplus.dll, ...). When it is loaded its DllMain appends its own file name,
// one line, to the file named by PLANTED_DLL_MARK: the mark of a DLL that
// should never have run. It exports nothing the real DLL offers.
#include <windows.h>

#include <cstdio>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t mark[1024];
    DWORD n = GetEnvironmentVariableW(L"PLANTED_DLL_MARK", mark, 1024);
    if (n == 0 || n >= 1024) return TRUE;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(instance, self, MAX_PATH);
    if (FILE* f = _wfopen(mark, L"a")) {
        std::fprintf(f, "%ls\n", self);
        std::fclose(f);
    }
    return TRUE;
}
