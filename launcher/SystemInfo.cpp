#include "launcher/SystemInfo.h"

#include "launcher/Products.h"

namespace Launcher {

namespace {

static_assert(sizeof(OSVERSIONINFOW) == 276, "the version query passes a 276-byte record");

typedef BOOL(WINAPI* IsWow64ProcessProc)(HANDLE, PBOOL);

// Looked up afresh at every IsWow64 call; kernel32 of Windows XP before SP2
// has no IsWow64Process.
IsWow64ProcessProc g_pfnIsWow64Process = nullptr;

}  // namespace

bool IsWindows7OrLater()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);  // 276
#ifdef _MSC_VER
#pragma warning(push)
#pragma warning(disable : 4996)  // GetVersionExW is deprecated; a manifest-free answer is wanted
#endif
    GetVersionExW(&info);  // a failure leaves zeros, which read as "older"
#ifdef _MSC_VER
#pragma warning(pop)
#endif
    return info.dwMajorVersion > 6 || (info.dwMajorVersion == 6 && info.dwMinorVersion >= 1);
}

bool IsWow64()
{
    // Through void* because FARPROC and the real signature are unrelated types.
    g_pfnIsWow64Process = reinterpret_cast<IsWow64ProcessProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process")));
    if (!g_pfnIsWow64Process) return false;
    BOOL wow64 = FALSE;
    g_pfnIsWow64Process(GetCurrentProcess(), &wow64);
    return wow64 == 1;
}

bool IsWindows64()
{
    return sizeof(void*) == 8 || IsWow64();
}

bool UseWow64KeyForms()
{
    return IsWindows7OrLater() && IsWindows64();
}

const wchar_t* ProductKeyPath(int index, bool wow64Forms)
{
    if (index < 0 || index >= kProductCount) return nullptr;
    return wow64Forms ? kProducts[index].keyWow64 : kProducts[index].keyPlain;
}

const wchar_t* ProductKeyPath(int index)
{
    return ProductKeyPath(index, UseWow64KeyForms());
}

}  // namespace Launcher
