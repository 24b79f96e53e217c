#pragma once
// CLauncherView: the logic of the launcher's window. It finds the products'
// tiles (named by the product table) and the page controls in the skin,
// probes the registry, reacts to clicks (web pages, install, run, page
// switch), starts the workers, and on every tick of its 100 ms window timer
// moves each product through its install states from its worker's report.
// The main window derives from it and from the engine's window base, and
// calls Init from InitWindow, OnTimer for WM_TIMER and HandleClick for every
// notification.
//
// Everything here runs on the UI thread; the workers only write their own
// records (ReadWorker), which OnTimer reads. A product's install state has
// one writer, Apply, which takes the steps of ProductState.h; one table from
// {state, page} to the tiles shows it (ShowState).

#include "launcher/ProductProbe.h"
#include "launcher/ProductState.h"
#include "skinui/core/UIEvents.h"

#include <windows.h>

#include <string>

namespace SkinUI {
class CButtonUI;
class CControlUI;
class CPaintManagerUI;
class CProgressUI;
}  // namespace SkinUI

namespace Launcher {

// The window timer that polls the workers.
const UINT kPollTimerId = 1000;
const UINT kPollTimerPeriod = 100;

// The two web pages, opened with "iexplore.exe".
extern const wchar_t kServicePage[];
extern const wchar_t kContactPage[];

class CLauncherView
{
public:
    CLauncherView();
    virtual ~CLauncherView();
    CLauncherView(const CLauncherView&) = delete;
    CLauncherView& operator=(const CLauncherView&) = delete;

    // Starts the poll timer on hWnd, finds the controls, sets the bars to 0
    // and the hand cursor on the clickable tiles, probes and shows the
    // computer page's tiles. A control that is missing, or is not of its
    // kind, stays null and is left out of every view; the result is then false.
    bool Init(SkinUI::CPaintManagerUI& manager, HWND hWnd);

    // WM_TIMER: acts on the poll timer only and never consumes the message.
    LRESULT OnTimer(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

    // Runs the click handling for a "click" notification; ignores others.
    void HandleClick(SkinUI::TNotifyUI& msg);

    // The view table's row for the state on the page showing, applied to
    // the product's tiles.
    void ShowState(int index, InstallState state);

    InstallState State(int index) const { return m_status[index].state; }
    const ProductStatus& Status(int index) const { return m_status[index]; }
    const std::wstring& LaunchPath(int index) const { return m_probe.LaunchPath(index); }
    bool OnComputerPage() const { return m_page == kComputerPage; }

private:
    struct ProductTiles
    {
        SkinUI::CButtonUI* install;
        SkinUI::CButtonUI* run;
        SkinUI::CProgressUI* bar;
    };

    // The one writer of a product's status.
    void Apply(int index, const ProductStep& step);
    // Shows a page: its controls and its products' tiles in their states.
    void ShowPage(ProductPage page);
    // A run click: probe again; start the product, or show its install tile.
    void RunOrReinstall(int index);

    // Keyboard focus after an action (see "Focus" in LauncherView.cpp).
    // The control that held the focus lost it to this action, or never had
    // it: false when the user's focus is elsewhere and must stay there.
    bool HadFocus(SkinUI::CControlUI* control) const;
    void FocusNextStopAfter(SkinUI::CControlUI* control);
    void FocusIfShown(SkinUI::CControlUI* control);

    SkinUI::CPaintManagerUI* m_pManager;
    ProductPage m_page;
    CProductProbe m_probe;
    ProductStatus m_status[kProductCount];
    // The paint manager owns every control.
    ProductTiles m_tiles[kProductCount];
    SkinUI::CButtonUI* m_pPhoneJump;
    SkinUI::CButtonUI* m_pQQ;
    SkinUI::CButtonUI* m_pTel;
    SkinUI::CControlUI* m_pFirstBK3;
    SkinUI::CControlUI* m_pChooseText;
    SkinUI::CButtonUI* m_pReturn;
};

}  // namespace Launcher
