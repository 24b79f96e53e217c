#pragma once
// Running a downloaded setup and starting an installed product: both hidden,
// through ShellExecuteExW, with the path as the registry or the worker has it.

#include <windows.h>

#include <string>

namespace Launcher {

// Runs the setup at path hidden with "/s", from the folder it lies in, and
// waits until it has exited; then reports the product's worker as finished
// (ReportOutcome), whether or not the setup started.
void RunSetupAndWait(const wchar_t* path, int index);

// The same run without the report. heldOpen, when given, is a handle of the
// setup file that is closed once the process has started (or failed to), so
// that nobody can change the file between its check and its start. True when
// the setup started.
bool StartSetupAndWait(const wchar_t* path, HANDLE heldOpen);

// Opens a setup file for reading and shares reading only: while the handle
// is open nobody can write, delete, rename or replace the file, and it can
// still be started. INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE HoldSetupFile(const wchar_t* path);

// A freshly downloaded setup at path: held (HoldSetupFile, retried for about
// 2 s while a scanner holds the new file), checked for the publisher's
// signature through that handle (SetupMayRun; an empty publisher skips the
// check), and started while still held, then waited for. A setup that cannot
// be opened or fails the check is deleted and never runs. True when it ran.
bool RunDownloadedSetup(const wchar_t* path, const wchar_t* publisher);

// Starts an installed product from its launch path as the probe stored it
// (see LaunchFileFromPath), in its start folder when its row names one that
// the registry holds (ReadStartFolder). No wait; a path that is not launched,
// and any index but 0 .. 2, do nothing.
void LaunchProduct(const std::wstring& path, int index);

// The file part of a launch path as read from the registry, and whether it
// may be launched at all:
//   C:\P\a.exe           the path itself
//   C:\P\a.exe,N         the path without its icon index (N: digits, maybe
//                        with a minus sign)
//   "C:\P\a.exe"         the text the quotes enclose; after the closing quote
//   "C:\P\a.exe",N       only an icon index may follow (blanks around the
//                        comma allowed)
//   "C:\P\a.exe          no closing quote (the Android product's path derived
//                        from a quoted uninstaller): the rest
// Other text after a closing quote, as in "C:\P\Uninstall.exe"Rezude.exe,
// gives false and an empty file: such a path names another program than
// the one it reads as; so does an empty file part, or one longer than
// kMaxPathLength.
bool LaunchFileFromPath(const std::wstring& path, std::wstring& file);

}  // namespace Launcher
