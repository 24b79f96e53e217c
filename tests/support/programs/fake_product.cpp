// Stand-in for an installed product: appends its arguments, how it was asked
// to show itself and its current directory to a log file, then exits.
//   FAKE_PRODUCT_LOG  log file (default: this exe's path with ".log")
#include "tests/support/programs/LaunchRecord.h"

#include <windows.h>

#include <cstdio>
#include <string>

int main()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring logPath = LaunchRecord::Env(L"FAKE_PRODUCT_LOG");
    if (logPath.empty()) logPath = std::wstring(self) + L".log";
    // Written to a side file and renamed, so a reader never sees half a record.
    std::wstring part = logPath + L".part";
    if (FILE* f = _wfopen(part.c_str(), L"w")) {
        LaunchRecord::AppendUtf8(f, L"exe=" + std::wstring(self) + L"\n");
        LaunchRecord::Write(f, LaunchRecord::Arguments());
        std::fclose(f);
        MoveFileExW(part.c_str(), logPath.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    return 0;
}
