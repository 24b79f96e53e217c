#pragma once
// CMainWnd: the launcher's only window. The window base creates it, loads
// "DlgMain.xml" from the skin package and routes its notifications; the view
// controller it also derives from drives the tiles. The object deletes
// itself after its window's final message, which also ends the message loop.
//
// A failed Init (a control of the skin missing, or an exception) fails the
// window's creation: Create gives null after the window base's load-failure
// message. OnFinalMessage runs its body inside a catch-all that throws,
// instead of whatever escaped, a narrow C string naming the operation. The
// class name and skin file cannot throw and need none.

#include "launcher/LauncherView.h"
#include "skinui/core/WindowImplBase.h"

namespace Launcher {

// The main window's title and class name; a second start looks for a window
// with both (SingleInstance.h).
extern const wchar_t kMainWindowTitle[];

class CMainWnd : public SkinUI::WindowImplBase, public CLauncherView
{
public:
    CMainWnd() = default;

    LPCTSTR GetWindowClassName() const override;
    // The base's clean-up, then WM_QUIT, then delete this.
    void OnFinalMessage(HWND hWnd) override;
    ~CMainWnd() override;
    // The base's (empty) InitWindow, then the view controller's Init; throws
    // when Init fails, which fails the window's creation.
    void InitWindow() override;
    SkinUI::CUIString GetSkinFile() override;
    // WM_TIMER goes to the view controller's OnTimer and is never consumed,
    // so the paint manager's control timers keep running.
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    // The launcher's click handling first, then the base's routing, so the
    // window buttons keep working.
    void Notify(SkinUI::TNotifyUI& msg) override;
};

}  // namespace Launcher
