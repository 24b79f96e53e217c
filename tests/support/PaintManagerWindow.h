#pragma once
// PaintManagerWindow: a real top-level popup window whose messages all go to
// a paint manager bound to it, as a skinned window's handler hands them on:
// input, WM_PAINT into the manager's off-screen bitmap, control timers'
// WM_TIMER and the posted WM_ASYNC_FLUSH. The tests of controls, painting,
// input, the builder and the launcher's view drive the engine through it.

#include "skinui/core/PaintManager.h"

#include <windows.h>

#include <string>
#include <vector>

namespace SkinUI {
class CContainerUI;
class CControlUI;
}  // namespace SkinUI

namespace TestSupport {

class PaintManagerWindow : public SkinUI::INotifyUI
{
public:
    // A hidden popup of cx by cy pixels at (100, 100), away from the cursor;
    // bLayered puts the manager in layered mode.
    explicit PaintManagerWindow(int cx = 536, int cy = 355, bool bLayered = false);
    ~PaintManagerWindow();
    PaintManagerWindow(const PaintManagerWindow&) = delete;
    PaintManagerWindow& operator=(const PaintManagerWindow&) = delete;

    bool IsValid() const;
    HWND Handle() const { return m_hWnd; }
    SkinUI::CPaintManagerUI* Manager() { return m_pManager; }

    // A plain container attached as the root; the manager owns it.
    SkinUI::CContainerUI* AttachContainer();
    // A skin built with the manager and attached as the root: its XML text,
    // or the name of a document among the current resources. Null when the
    // builder refuses it.
    SkinUI::CControlUI* LoadSkin(LPCTSTR pstrSkin);

    // Types of the notifications the manager delivered, in order.
    const std::vector<std::wstring>& Notifications() const { return m_notifications; }

    // Dispatches every message queued for this thread, WM_PAINT included,
    // and returns how many WM_ASYNC_FLUSH reached this window meanwhile.
    int Pump();
    // Pumps until pred() holds; false when it did not within the hang guard
    // (a few seconds of waiting for messages).
    template <class Pred>
    bool PumpUntil(Pred pred)
    {
        const DWORD dwStart = ::GetTickCount();
        while (!pred()) {
            if (::GetTickCount() - dwStart > 5000) return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            Pump();
        }
        return true;
    }
    // A paint of the whole client area, now.
    void Paint();
    // A key-down the way the message loop hands it on: the engine's
    // pre-translation first (Tab), then the window. Shift is held for it
    // when asked; lParam carries the repeat bit where a test wants it.
    void Key(WPARAM vk, bool shift = false, LPARAM lParam = 0);
    // The last paint's pixel as 0xAARRGGBB; 0 outside it or before it.
    DWORD PaintedPixel(int x, int y) const;

    // The manager goes first (tree and timers included), then the window.
    void DestroyManager();

    void Notify(SkinUI::TNotifyUI& msg) override;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    SkinUI::CPaintManagerUI* m_pManager = nullptr;
    HWND m_hWnd = nullptr;
    int m_nFlushes = 0;
    std::vector<std::wstring> m_notifications;
};

// The LOGFONT a font handle was made from.
inline LOGFONTW LogFontOf(HFONT hFont)
{
    LOGFONTW lf = {};
    ::GetObjectW(hFont, sizeof(lf), &lf);
    return lf;
}

}  // namespace TestSupport
