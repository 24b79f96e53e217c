#pragma once
// <wininet.h> with its functions declared as plain externals instead of
// imports. wininet.dll is delay-loaded, and the i686 MinGW linker drops the
// code of a delay-import stub that is only reached through its import pointer
// (see cmake/DelayImport.cmake): every call must go through the stub. Include
// this, never <wininet.h> itself.

#include <windows.h>

#pragma push_macro("DECLSPEC_IMPORT")
#undef DECLSPEC_IMPORT
#define DECLSPEC_IMPORT
#include <wininet.h>
#pragma pop_macro("DECLSPEC_IMPORT")
