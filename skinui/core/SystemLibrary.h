#pragma once
// Loading DLLs only from the system folder. A DLL that is found by name can
// be replaced by one placed beside the program (a Downloads folder) or in the
// current folder, and its DllMain runs with the program's rights; the engine
// and the launcher therefore name a system DLL by its full path, and the
// program's start-up takes the other folders out of the search path before
// any DLL that is not a known system DLL loads.

#include <windows.h>

namespace SkinUI {

// Loads name (a bare file name such as L"msimg32.dll") from the system folder
// by its full path; the DLLs it imports are looked for there first as well.
// Null when the DLL is not there or the path does not fit MAX_PATH.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Restricts the search path of later loads by name to the system folder:
// SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) where kernel32 has it
// (Windows 8, and Windows 7 with update KB2533623), else SetDllDirectoryW(L""),
// which takes at least the current folder out. True when the first applied.
bool RestrictDllSearchPath();

}  // namespace SkinUI
