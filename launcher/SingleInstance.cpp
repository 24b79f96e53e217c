#include "launcher/SingleInstance.h"

#include "launcher/MainWnd.h"

namespace Launcher {

HWND FindRunningLauncher()
{
    // The main window's class name and title are the same text.
    return ::FindWindowW(kMainWindowTitle, kMainWindowTitle);
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
