#pragma once
// The bytes of one resource of a module, as a view or as a copy of one's own.

#include <windows.h>

namespace SkinUI {

// The resource's bytes in place: read-only, and valid as long as the module
// stays loaded. False when it is missing or empty.
bool FindModuleResource(HMODULE hModule, LPCTSTR name, LPCTSTR type, const BYTE** ppData, DWORD* pdwSize);

// A malloc'd copy of the resource, for readers that write into their input
// (the XML parser swaps bytes in place). Null when it is missing, empty,
// larger than dwMaxSize, or memory runs out; the caller frees the copy.
BYTE* CopyModuleResource(HMODULE hModule, LPCTSTR name, LPCTSTR type, DWORD dwMaxSize, DWORD* pdwSize);

}  // namespace SkinUI
