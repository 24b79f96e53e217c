#pragma once
// One launcher at a time: a second start hands over to the first window.

#include <windows.h>

namespace Launcher {

// The running launcher's main window: a top-level window of the launcher's
// class whose title is the launcher's too (another program's window that
// merely bears the title is not it). Null when there is none.
HWND FindRunningLauncher();

// Brings the running launcher's window to the front, restored if it was
// minimised, and says whether there was one. A second start calls this and
// exits when it gives true.
bool BringRunningLauncherToFront();

}  // namespace Launcher
