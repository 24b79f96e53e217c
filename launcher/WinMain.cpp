// The launcher's entry point: the DLL search path narrowed to the system
// folder, one instance only, the setup folders of interrupted runs removed,
// COM, the skin package from the program's own resources, the main window
// centred and shown, and the engine's message loop until that window is
// gone. The result is 0, or 1 when the window cannot be made.
//
// The program's static imports are known system DLLs only (kernel32, user32,
// gdi32, advapi32, shell32, ole32, msvcrt); GDI+, comctl32, oleacc, WinINet,
// wintrust and crypt32 are delay-loaded (cmake/DelayImport.cmake) and msimg32 and
// Shcore loaded at run time, so none of them is resolved before the first
// line below has run.

#include "launcher/MainWnd.h"
#include "launcher/SetupFolder.h"
#include "launcher/SingleInstance.h"
#include "skinui/core/PaintManager.h"
#include "skinui/core/SystemLibrary.h"
#include "skinui/resource/ModuleResource.h"
#include "skinui/resource/ResourceManager.h"

#include <objbase.h>
#include <windows.h>

#include <delayimp.h>

#include <cstdlib>
#include <new>

namespace {

// Every delay-loaded DLL comes from the system folder by its full path, also
// where kernel32 lacks SetDefaultDllDirectories and the program's own folder
// would still be searched. Should that load fail, the helper's own load by
// name still sees only the narrowed search path.
FARPROC WINAPI LoadDelayedFromSystemFolder(unsigned notification, PDelayLoadInfo info)
{
    if (notification != dliNotePreLoadLibrary || info == nullptr || info->szDll == nullptr) return nullptr;
    wchar_t name[MAX_PATH] = {};
    // Import names are ASCII.
    for (int i = 0; info->szDll[i] != '\0'; ++i) {
        if (i == MAX_PATH - 1) return nullptr;
        name[i] = static_cast<unsigned char>(info->szDll[i]);
    }
    return reinterpret_cast<FARPROC>(SkinUI::LoadSystemLibrary(name));
}

const UINT kProgramIcon = 131;
// The window base takes the caption bits away again while the window is made.
const DWORD kMainWindowStyle = WS_VISIBLE | WS_OVERLAPPEDWINDOW;

// Points the engine at the "ZIPRES" package among the module's resources.
// A missing or empty package is not reported here: the window then fails to
// load its skin and says so.
void PrepareSkinPackage()
{
    using SkinUI::CPaintManagerUI;
    CPaintManagerUI::SetResourceType(SkinUI::kResourceTypeZipInMemory);
    const BYTE* package = nullptr;
    DWORD size = 0;
    // The module's own resource stays valid for the life of the process.
    if (!SkinUI::FindModuleResource(CPaintManagerUI::GetResourceDll(), L"IDR_ZIPRES1", L"ZIPRES", &package,
                                    &size))
        return;
    // The engine reads the package in place and never writes to it.
    CPaintManagerUI::SetResourceZip(const_cast<BYTE*>(package), size);
    SkinUI::CResourceManager::GetInstance()->LoadResource(L"DlgMain.xml", nullptr);
}

}  // namespace

// The delay-load helper's notification hook. MSVC's helper declares it const
// (the hook cannot be changed at run time), so it needs extern to be seen;
// MinGW's declares it writable.
#ifdef _MSC_VER
extern "C" const PfnDliHook __pfnDliNotifyHook2 = LoadDelayedFromSystemFolder;
#else
extern "C" {
PfnDliHook __pfnDliNotifyHook2 = LoadDelayedFromSystemFolder;
}
#endif

#if defined(__GNUC__) && !defined(_MSC_VER)
// libstdc++'s default terminate handler prints the active exception's
// demangled type to the standard error, which a GUI program does not have,
// and it alone links the 45 KiB demangler into the program. This one ends
// the program the way that handler ends it after printing.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    SkinUI::RestrictDllSearchPath();
    if (Launcher::BringRunningLauncherToFront()) return 0;
    // After the single-instance test: a running launcher's folders are its own.
    Launcher::RemoveLeftoverSetupFolders();
    if (FAILED(::CoInitialize(nullptr))) return 0;

    SkinUI::CPaintManagerUI::SetInstance(instance);
    PrepareSkinPackage();

    Launcher::CMainWnd* frame = new (std::nothrow) Launcher::CMainWnd;
    if (frame == nullptr) {
        ::CoUninitialize();
        return 0;
    }
    // Without a window there is nothing for the message loop to end: stop,
    // with exit code 1 as after a skin that does not load (the window base
    // has said why). A window destroyed during creation has already deleted
    // its object. No size of its own: the skin gives it, at the monitor's DPI.
    if (frame->Create(nullptr, Launcher::kMainWindowTitle, kMainWindowStyle, 0, 0, 0, 0, 0) == nullptr) {
        ::CoUninitialize();
        return 1;
    }
    frame->CenterWindow();
    ::ShowWindow(frame->GetHWND(), SW_SHOW);
    frame->SetIcon(kProgramIcon);
    SkinUI::CPaintManagerUI::MessageLoop();

    ::CoUninitialize();
    return 0;
}
