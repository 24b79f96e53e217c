#pragma once
// A hidden top-level window with a paint manager bound to it, so that the
// manager has a paint DC, its GDI+ start-up and its resource tables, as in
// a running window. Header-only: test_support is linked after skinui.

#include "skinui/core/PaintManager.h"

#include <windows.h>

namespace TestSupport {

class PaintManagerWindow {
public:
    PaintManagerWindow()
    {
        m_hWnd = ::CreateWindowExW(0, L"STATIC", L"paint manager window", WS_POPUP, 0, 0, 300,
                                   200, NULL, NULL, ::GetModuleHandleW(NULL), NULL);
        if (m_hWnd != NULL) m_manager.Init(m_hWnd);
    }
    ~PaintManagerWindow()
    {
        if (m_hWnd != NULL) ::DestroyWindow(m_hWnd);
    }
    PaintManagerWindow(const PaintManagerWindow&) = delete;
    PaintManagerWindow& operator=(const PaintManagerWindow&) = delete;

    bool IsValid() const { return m_hWnd != NULL && m_manager.GetPaintDC() != NULL; }
    SkinUI::CPaintManagerUI* Manager() { return &m_manager; }

private:
    SkinUI::CPaintManagerUI m_manager;
    HWND m_hWnd = NULL;
};

}  // namespace TestSupport
