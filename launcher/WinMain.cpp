// The launcher's entry point: one instance only, COM, the skin package from
// the program's own resources, the main window centred and shown, and the
// engine's message loop until that window is gone. The result is always 0.

#include "launcher/MainWnd.h"
#include "skinui/core/PaintManager.h"
#include "skinui/resource/ResourceManager.h"

#include <objbase.h>
#include <windows.h>

#include <new>

namespace {

// The skin package is a ZIP archive held in memory (resource type 4).
const int kResourceTypeZipInMemory = 4;
const UINT kProgramIcon = 131;
// WS_VISIBLE | WS_OVERLAPPEDWINDOW; the window base takes the caption away.
const DWORD kMainWindowStyle = 0x10CF0000;

// Points the engine at the "ZIPRES" package among the module's resources.
// A missing or empty package is not reported here: the window then fails to
// load its skin and says so.
void PrepareSkinPackage() {
    using SkinUI::CPaintManagerUI;
    CPaintManagerUI::SetResourceType(kResourceTypeZipInMemory);
    HINSTANCE module = CPaintManagerUI::GetResourceDll();
    HRSRC found = ::FindResourceW(module, L"IDR_ZIPRES1", L"ZIPRES");
    if (found == NULL) return;
    HGLOBAL loaded = ::LoadResource(module, found);
    if (loaded != NULL) {
        DWORD size = ::SizeofResource(module, found);
        if (size != 0) {
            // The module's own resource stays valid for the life of the process.
            CPaintManagerUI::SetResourceZip(::LockResource(loaded), size);
            SkinUI::CResourceManager::GetInstance()->LoadResource(L"DlgMain.xml", NULL);
        }
    }
    ::FreeResource(loaded);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    if (::FindWindowW(NULL, Launcher::kMainWindowTitle) != NULL) return 0;
    if (FAILED(::CoInitialize(NULL))) return 0;

    SkinUI::CPaintManagerUI::SetInstance(instance);
    PrepareSkinPackage();

    Launcher::CMainWnd* frame = new (std::nothrow) Launcher::CMainWnd;
    if (frame == NULL) {
        ::CoUninitialize();
        return 0;
    }
    // Without a window there is nothing for the message loop to end: stop.
    // A window destroyed during creation has already deleted its object.
    if (frame->Create(NULL, Launcher::kMainWindowTitle, kMainWindowStyle, 0, 0, 0, 536, 355) == NULL) {
        ::CoUninitialize();
        return 0;
    }
    frame->CenterWindow();
    ::ShowWindow(frame->GetHWND(), SW_SHOW);
    frame->SetIcon(kProgramIcon);
    SkinUI::CPaintManagerUI::MessageLoop();

    ::CoUninitialize();
    return 0;
}
