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
#include "tests/support/programs/LaunchRecord.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using LaunchRecord::Env;

int main()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring args = LaunchRecord::Arguments();

    if (args == L"child") {
        Sleep(static_cast<DWORD>(_wtoi(Env(L"FAKE_SETUP_CHILD_MS").c_str())));
        return 0;
    }

    std::wstring log = Env(L"FAKE_SETUP_LOG");
    if (log.empty()) log = std::wstring(self) + L".log";
    if (FILE* f = _wfopen(log.c_str(), L"a")) {
        LaunchRecord::Write(f, args);
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
