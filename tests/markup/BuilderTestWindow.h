#pragma once
// A real, hidden top-level window with a paint manager bound to it, for the
// builder tests and the skin fuzz target.

#include "skinui/core/PaintManager.h"

#include <windows.h>

namespace SkinTest {

class HiddenWindow
{
public:
    HiddenWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(NULL);
        wc.lpszClassName = L"SkinBuilderTestWnd";
        ::RegisterClassW(&wc);  // a second registration fails harmlessly
        m_hWnd = ::CreateWindowExW(0, L"SkinBuilderTestWnd", L"builder test", WS_POPUP, 0, 0, 536, 355,
                                   NULL, NULL, wc.hInstance, NULL);
    }
    ~HiddenWindow()
    {
        if (m_hWnd != NULL) ::DestroyWindow(m_hWnd);
    }
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;

    HWND Handle() const { return m_hWnd; }

private:
    HWND m_hWnd = NULL;
};

}  // namespace SkinTest
