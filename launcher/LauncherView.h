#pragma once
// CLauncherView: the logic of the launcher's window. It finds the skin's
// tiles by name, probes the registry, reacts to clicks (web pages, install,
// run, page switch), starts the workers, and on every tick of its 100 ms
// window timer moves each product's tiles through the install states from
// the workers' shared records. The main window derives from it and from the
// engine's window base, and calls Init from InitWindow, OnTimer for WM_TIMER
// and HandleClick for every notification.
//
// Everything here runs on the UI thread; the workers only write their own
// records (ReadWorker), which OnTimer reads. Each product's install state,
// launch path, last progress and tiles are one ProductRecord (m_product).

#include "launcher/DownloadFile.h"
#include "launcher/ProductProbe.h"
#include "skinui/core/UIEvents.h"

#include <windows.h>

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

class CLauncherView : public CProductProbe
{
public:
    CLauncherView();
    virtual ~CLauncherView();
    CLauncherView(const CLauncherView&) = delete;
    CLauncherView& operator=(const CLauncherView&) = delete;

    // Creates the download facade, starts the poll timer on hWnd, finds the
    // fifteen controls, sets the bars to 0 and the hand cursor on the
    // clickable tiles, probes and shows the desktop tile. A control that is
    // missing, or is not of its kind, stays null and is left out of every
    // view; the result is then false.
    bool Init(SkinUI::CPaintManagerUI& manager, HWND hWnd);

    // WM_TIMER: acts on the poll timer only and never consumes the message.
    LRESULT OnTimer(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

    // Runs the click handling for a "click" notification; ignores others.
    void HandleClick(SkinUI::TNotifyUI& msg);

    // A product's state applied to its tiles; state 0 changes nothing.
    void ShowState(int index, int state);
    void ShowComputerState(int state);
    void ShowIPhoneState(int state);
    void ShowAndroidState(int state);

    void ShowComputerPage(bool visible);
    void ShowPhoneJump(bool visible);
    void ShowPhonePage(bool visible);

protected:
    // The phone tiles' table, shared by the iPhone and Android products.
    void ShowPhoneProductState(int state, SkinUI::CButtonUI* install, SkinUI::CButtonUI* run,
                               SkinUI::CProgressUI* bar);
    // One product's share of a tick: the worker's report, then its end.
    void PollProduct(int index);
    // A worker's end: the product's key decides between the run tile and
    // the install tile.
    void FinishInstall(int index);
    // A run click: probe again; start the product, or show its install tile.
    void RunOrReinstall(int index);

    // Keyboard focus after an action (see "Focus" in LauncherView.cpp).
    // The control that held the focus lost it to this action, or never had
    // it: false when the user's focus is elsewhere and must stay there.
    bool HadFocus(SkinUI::CControlUI* control) const;
    void FocusNextStopAfter(SkinUI::CControlUI* control);
    void FocusIfShown(SkinUI::CControlUI* control);

    SkinUI::CPaintManagerUI* m_pManager;
    bool m_bHomePage;
    CDownloadFile* m_pDownload;

    // The skin's controls besides the products' tiles; the paint manager owns them.
    SkinUI::CButtonUI* m_pPhoneJump;
    SkinUI::CButtonUI* m_pQQ;
    SkinUI::CButtonUI* m_pTel;
    SkinUI::CControlUI* m_pFirstBK3;
    SkinUI::CControlUI* m_pChooseText;
    SkinUI::CButtonUI* m_pReturn;
};

// The bar value, 0 .. 100 in steps of 5, for a progress record: the number
// of twentieths of total read, times 5. A twentieth is total / 20 bytes
// when that is at least one byte, so that bodies of 20 to 399 bytes can count
// past 20 twentieths (a value above 100, which the bar ignores); below 20
// bytes the twentieths are taken from the fraction read instead of dividing
// by a step of 0. A record of total 0 gives 0.
int ProgressBarValue(const DownloadProgress& progress);

}  // namespace Launcher
