#include "launcher/SingleInstance.h"

namespace Launcher {

namespace {

// The main window's class name and title (MainWnd.cpp uses the same text).
const wchar_t kLauncherWindow[] = L"Vozeror";

}  // namespace

HWND FindRunningLauncher()
{
    return ::FindWindowW(kLauncherWindow, kLauncherWindow);
}

bool BringRunningLauncherToFront()
{
    HWND window = FindRunningLauncher();
    if (window == nullptr) return false;
    if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
    // A process the user has just started may take the foreground.
    ::SetForegroundWindow(window);
    return true;
}

}  // namespace Launcher
