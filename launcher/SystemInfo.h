#pragma once
// What the launcher asks of the running Windows: its version, whether this
// 32-bit process runs under WOW64, and from both the form of the products'
// uninstall key paths.

#include <windows.h>

namespace Launcher {

// True on Windows 7 (6.1) and later. A failed version query gives false.
bool IsWindows7OrLater();

// True exactly when IsWow64Process exists and reports this process as a
// 32-bit process on 64-bit Windows.
bool IsWow64();

// True when the 32-bit-view key forms ("...\Wow6432Node\...") are to be used:
// 64-bit Windows 7 and later. IsWow64 is asked only on Windows 7 and later.
bool UseWow64KeyForms();

// The uninstall key path of product index (0..2) under HKLM in the chosen
// form; null for any other index.
const wchar_t* ProductKeyPath(int index, bool wow64Forms);

// The same, choosing the form afresh.
const wchar_t* ProductKeyPath(int index);

}  // namespace Launcher
