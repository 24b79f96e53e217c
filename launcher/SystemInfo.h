#pragma once
// What the launcher asks of the running Windows: its version, whether it is
// 64-bit, and from both the form of the products' uninstall key paths. The
// products' setups are 32-bit programs, so on 64-bit Windows their keys are
// in the 32-bit view, whichever build of the launcher reads them.

#include <windows.h>

namespace Launcher {

// True on Windows 7 (6.1) and later. A failed version query gives false.
bool IsWindows7OrLater();

// True exactly when IsWow64Process exists and reports this process as a
// 32-bit process on 64-bit Windows. Always false for the 64-bit build.
bool IsWow64();

// True on 64-bit Windows: this process is 64-bit, or runs under WOW64.
bool IsWindows64();

// True when the 32-bit-view key forms ("...\Wow6432Node\...") are to be used:
// 64-bit Windows 7 and later. A 64-bit process reaches the 32-bit view through
// those paths as a 32-bit one does. Windows' bitness is asked only on Windows
// 7 and later.
bool UseWow64KeyForms();

// The uninstall key path of product index (0..2) under HKLM in the chosen
// form; null for any other index.
const wchar_t* ProductKeyPath(int index, bool wow64Forms);

// The same, choosing the form afresh.
const wchar_t* ProductKeyPath(int index);

}  // namespace Launcher
