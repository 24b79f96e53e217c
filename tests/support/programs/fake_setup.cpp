// Stand-in for a product's silent setup. Every run appends one record to a
// log file: its arguments, how it was asked to show itself and its current
// directory. Options come from the environment, which a program started
// through ShellExecuteEx inherits from the test:
//   FAKE_SETUP_LOG       log file (default: this exe's path with ".log")
//   FAKE_SETUP_DELAY_MS  sleep this long before exiting
//   FAKE_SETUP_CHILD_MS  start a copy of itself that sleeps this long, and
//                        exit at once (a setup handing over to a child)
//   FAKE_SETUP_REG_KEY, FAKE_SETUP_REG_VALUE, FAKE_SETUP_REG_DATA
//                        write this value under HKLM (own registry view)
// "child" as the only argument makes the program the sleeping child.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024];
    DWORD n = GetEnvironmentVariableW(name, value, 1024);
    return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

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
    std::wstring args = Arguments();

    if (args == L"child") {
        Sleep(static_cast<DWORD>(_wtoi(Env(L"FAKE_SETUP_CHILD_MS").c_str())));
        return 0;
    }

    std::wstring log = Env(L"FAKE_SETUP_LOG");
    if (log.empty())
        log = std::wstring(self) + L".log";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    GetStartupInfoW(&si);
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    if (FILE* f = _wfopen(log.c_str(), L"a")) {
        AppendUtf8(f, L"args=" + args + L"\n");
        std::fprintf(f, "useshow=%d\nshow=%d\n", (si.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0,
                     int(si.wShowWindow));
        AppendUtf8(f, std::wstring(L"cwd=") + cwd + L"\n");
        std::fclose(f);
    }

    std::wstring key = Env(L"FAKE_SETUP_REG_KEY");
    if (!key.empty()) {
        HKEY h = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h,
                            nullptr) == ERROR_SUCCESS) {
            std::wstring name = Env(L"FAKE_SETUP_REG_VALUE");
            std::wstring data = Env(L"FAKE_SETUP_REG_DATA");
            RegSetValueExW(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           DWORD((data.size() + 1) * sizeof(wchar_t)));
            RegCloseKey(h);
        }
    }

    if (!Env(L"FAKE_SETUP_CHILD_MS").empty()) {
        std::wstring line = L"\"" + std::wstring(self) + L"\" child";
        STARTUPINFOW csi = {};
        csi.cb = sizeof(csi);
        PROCESS_INFORMATION pi = {};
        if (CreateProcessW(self, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &csi, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
        return 0;
    }

    Sleep(static_cast<DWORD>(_wtoi(Env(L"FAKE_SETUP_DELAY_MS").c_str())));
    return 0;
}
