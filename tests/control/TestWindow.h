#pragma once
// A hidden top-level window bound to a paint manager, for tests that need
// the manager's own message queue: posted WM_ASYNC_FLUSH and control
// timers' WM_TIMER reach the manager through this window's procedure, the
// way the window base's message handler hands them on.

#include "skinui/core/PaintManager.h"

#include <windows.h>

namespace SkinUI {

class CTestWindow
{
public:
    CTestWindow();
    ~CTestWindow();
    CTestWindow(const CTestWindow&) = delete;
    CTestWindow& operator=(const CTestWindow&) = delete;

    HWND GetHWND() const { return m_hWnd; }
    CPaintManagerUI& Manager() { return *m_pManager; }

    // Dispatches every message already posted to the window, and returns
    // how many WM_ASYNC_FLUSH messages were among them.
    int PumpPosted();
    // Dispatches messages until pred() holds; false when it did not hold
    // within the hang guard (a few seconds of waiting for messages).
    template <class Pred>
    bool PumpUntil(Pred pred)
    {
        DWORD start = ::GetTickCount();
        while (!pred()) {
            if (::GetTickCount() - start > 5000) return false;
            ::MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
            PumpPosted();
        }
        return true;
    }
    // Destroys the manager first (tree included), then the window.
    void DestroyManager();

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = NULL;
    CPaintManagerUI* m_pManager = NULL;
    int m_nFlushes = 0;
};

} // namespace SkinUI
