#include "skinui/core/SystemLibrary.h"

#include <wchar.h>

namespace SkinUI {

namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD flags);

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    if (name == nullptr || name[0] == L'\0') return nullptr;
    wchar_t path[MAX_PATH];
    UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    size_t nameLength = wcslen(name);
    if (length == 0 || length >= MAX_PATH || length + 1 + nameLength >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    wmemcpy(path + length + 1, name, nameLength + 1);
    // With a full path, the altered search order looks for the DLL's own
    // imports in its folder first, not beside the program.
    return ::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool RestrictDllSearchPath()
{
    // kernel32 is mapped in every process, so looking it up loads nothing.
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    SetDefaultDllDirectoriesFn pSetDefault = kernel != nullptr
        ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
              reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDefaultDllDirectories")))
        : nullptr;
    if (pSetDefault != nullptr && pSetDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
    ::SetDllDirectoryW(L"");
    return false;
}

}  // namespace SkinUI
