#include "launcher/MainWnd.h"

#include <stdexcept>

namespace Launcher {

const wchar_t kMainWindowTitle[] = L"Vozeror";

namespace {

// One receive time-out, and a moment for the folders.
const DWORD kStopWaitMs = 5000 + 1000;

}  // namespace

CMainWnd::~CMainWnd() = default;

LPCTSTR CMainWnd::GetWindowClassName() const
{
    return kMainWindowTitle;
}

SkinUI::CUIString CMainWnd::GetSkinFile()
{
    return SkinUI::CUIString(L"DlgMain.xml");
}

// A view that could not find every control of the skin, or whose Init threw,
// fails the window's creation (the window base shows why and gives no window).
void CMainWnd::InitWindow()
{
    WindowImplBase::InitWindow();
    if (!Init(m_Manager, m_hWnd)) throw std::runtime_error("CMainWnd::Init: the skin lacks a control");
}

// What escapes this would cross the window procedure; the operation's name
// in its place says where it came from.

LRESULT CMainWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (uMsg == WM_TIMER) return OnTimer(uMsg, wParam, lParam, bHandled);
    return 0;
}

void CMainWnd::Notify(SkinUI::TNotifyUI& msg)
{
    HandleClick(msg);
    WindowImplBase::Notify(msg);
}

void CMainWnd::OnFinalMessage(HWND hWnd)
{
    try {
        WindowImplBase::OnFinalMessage(hWnd);
        // Downloads under way end and take their folders with them; a setup
        // that already runs is left to finish.
        StopDownloads(kStopWaitMs);
        ::PostQuitMessage(0);
        delete this;
    } catch (...) {
        throw "CMainWnd::OnFinalMessage";
    }
}

}  // namespace Launcher
