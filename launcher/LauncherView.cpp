#include "launcher/LauncherView.h"

#include "launcher/Products.h"
#include "skinui/control/Button.h"
#include "skinui/control/Control.h"
#include "skinui/control/Progress.h"
#include "skinui/core/PaintManager.h"

#include <shellapi.h>

#include <string>
#include <vector>

// Sections: pages and constants; construction and Init; view tables; click
// handling; the poll timer.

namespace Launcher {

using SkinUI::CButtonUI;
using SkinUI::CControlUI;
using SkinUI::CPaintManagerUI;
using SkinUI::CProgressUI;

// ---- Pages and constants --------------------------------------------------

// Tencent's web-chat portal for the vendor's service number.
const wchar_t kServicePage[] =
    L"http://wpa.qq.com/page/portalpage/wpa.php?uin=4000012345&aty=0&a=0&curl=&ty=1";
// The vendor's contact page; the brace segments are sent as they stand.
#define VOZEROR_CONTACT_PATH L"/redirect/ver1/vuvudavu/contact/{version}/{setupname}/{machineid}"
const wchar_t kContactPage[] = L"http://" TEXT(VOZEROR_REDIRECT_HOST) VOZEROR_CONTACT_PATH;

namespace {

// The control's cursor attribute takes the resource number of IDC_HAND.
const WORD kHandCursor = LOWORD(reinterpret_cast<ULONG_PTR>(IDC_HAND));

void Show(CControlUI* control, bool visible)
{
    if (control != nullptr) control->SetVisible(visible);
}

void Enable(CControlUI* control, bool enabled)
{
    if (control != nullptr) control->SetEnabled(enabled);
}

// The control of that name when it answers to the interface; else null.
template <class T>
T* FindAs(CPaintManagerUI& manager, const wchar_t* name, const wchar_t* kind)
{
    CControlUI* control = manager.FindControl(name);
    return control != nullptr ? static_cast<T*>(control->GetInterface(kind)) : nullptr;
}

const wchar_t kBrowserAppPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\iexplore.exe";

// The browser as the machine registers it: the App Paths entry's full path.
// A bare "iexplore.exe" would be looked for in the current folder first,
// where anyone can leave a program of that name. Empty when there is no
// entry, or it is not a full path.
std::wstring BrowserPath()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kBrowserAppPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t value[MAX_PATH + 1] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    LONG read = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::wstring();
    std::wstring path(value);
    if (type == REG_EXPAND_SZ) {
        wchar_t expanded[MAX_PATH + 1] = {};
        DWORD n = ExpandEnvironmentStringsW(value, expanded, MAX_PATH + 1);
        if (n == 0 || n > MAX_PATH + 1) return std::wstring();
        path = expanded;
    }
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
        path = path.substr(1, path.size() - 2);
    const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    const bool share = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\';
    return drive || share ? path : std::wstring();
}

void OpenInBrowser(const wchar_t* page)
{
    // A browser that cannot be found or started is not reported.
    std::wstring browser = BrowserPath();
    if (browser.empty()) return;
    ShellExecuteW(nullptr, L"open", browser.c_str(), page, nullptr, SW_SHOWNORMAL);
}

}  // namespace

int ProgressBarValue(const DownloadProgress& progress)
{
    if (progress.total == 0) return 0;
    unsigned int done = progress.remaining < progress.total ? progress.total - progress.remaining : 0;
    unsigned int step = progress.total / 20;
    unsigned int n = step != 0
        ? done / step
        : static_cast<unsigned int>(static_cast<unsigned long long>(done) * 20 / progress.total);
    // n < 40 whatever the record, so the product fits an int.
    return static_cast<int>(n * 5);
}

// ---- Construction and Init ------------------------------------------------

namespace {

const wchar_t* const kInstallTile[kProductCount] = {L"computer_install", L"iphone_install",
                                                    L"android_install"};
const wchar_t* const kRunTile[kProductCount] = {L"computer_run", L"iphone_run", L"android_run"};
const wchar_t* const kBar[kProductCount] = {L"computer_pro", L"iphone_pro", L"android_pro"};

}  // namespace

CLauncherView::CLauncherView()
    : m_pManager(nullptr), m_bHomePage(true), m_pDownload(nullptr), m_pPhoneJump(nullptr), m_pQQ(nullptr),
      m_pTel(nullptr), m_pFirstBK3(nullptr), m_pChooseText(nullptr), m_pReturn(nullptr)
{}

CLauncherView::~CLauncherView()
{
    delete m_pDownload;
}

bool CLauncherView::Init(CPaintManagerUI& manager, HWND hWnd)
{
    if (m_pDownload == nullptr) m_pDownload = new CDownloadFile;
    m_pManager = &manager;
    ::SetTimer(hWnd, kPollTimerId, kPollTimerPeriod, nullptr);

    bool complete = true;
    std::vector<CButtonUI*> buttons;
    for (int i = 0; i < kProductCount; ++i) {
        ProductRecord& product = m_product[i];
        product.install = FindAs<CButtonUI>(manager, kInstallTile[i], L"Button");
        product.run = FindAs<CButtonUI>(manager, kRunTile[i], L"Button");
        product.bar = FindAs<CProgressUI>(manager, kBar[i], L"Progress");
        // Ends of workers before this view are not its to show.
        product.endsSeen = m_pDownload->Read(i).ends;
        product.shown = DownloadProgress{0, 0};
        buttons.push_back(product.install);
        buttons.push_back(product.run);
        complete = complete && product.install != nullptr && product.run != nullptr && product.bar != nullptr;
        if (product.bar != nullptr) product.bar->SetValue(0);
    }
    m_pPhoneJump = FindAs<CButtonUI>(manager, L"phone_jump", L"Button");
    m_pQQ = FindAs<CButtonUI>(manager, L"qq", L"Button");
    m_pTel = FindAs<CButtonUI>(manager, L"tel", L"Button");
    m_pReturn = FindAs<CButtonUI>(manager, L"return", L"Button");
    m_pFirstBK3 = manager.FindControl(L"firstBK3");
    m_pChooseText = manager.FindControl(L"choose_text");
    buttons.insert(buttons.end(), {m_pPhoneJump, m_pQQ, m_pTel, m_pReturn});

    // Every button of the view is clickable and shows the hand cursor.
    for (CButtonUI* button : buttons)
        if (button != nullptr) button->SetCursor(kHandCursor);

    ProbeProducts();
    ShowComputerState(m_product[kDesktop].state);
    // The first paint gives the focus to the stop after the close button:
    // the desktop tile, whichever of the two shows.
    if (m_product[kDesktop].install != nullptr) manager.SetFocusNeeded(m_product[kDesktop].install);

    const CControlUI* others[] = {m_pPhoneJump, m_pQQ, m_pTel, m_pFirstBK3, m_pChooseText, m_pReturn};
    for (const CControlUI* control : others) complete = complete && control != nullptr;
    return complete;
}

// ---- View tables --------------------------------------------------------------
//
//   desktop   computer_install   computer_run   computer_pro
//   2         vis                hide           hide
//   1         hide               vis, on        hide
//   3         hide               vis, off       vis on the computer page, else hide
//   4         -                  -              hide
//   0         -                  -              -
//
// On the phone page the desktop tiles lie under the opaque firstBK3 panel,
// which is drawn after them.

void CLauncherView::ShowComputerState(int state)
{
    switch (state) {
    case NotInstalled:
        Show(m_product[kDesktop].install, true);
        Show(m_product[kDesktop].run, false);
        Show(m_product[kDesktop].bar, false);
        break;
    case Installed:
        Show(m_product[kDesktop].install, false);
        Show(m_product[kDesktop].run, true);
        Enable(m_product[kDesktop].run, true);
        Show(m_product[kDesktop].bar, false);
        break;
    case Downloading:
        Show(m_product[kDesktop].install, false);
        Show(m_product[kDesktop].run, true);
        Enable(m_product[kDesktop].run, false);
        Show(m_product[kDesktop].bar, m_bHomePage);
        break;
    case Downloaded:
        Show(m_product[kDesktop].bar, false);
        break;
    default:
        break;
    }
}

//   phone     *_install   *_run                                  *_pro
//   2         vis         hide                                   hide
//   1         hide        vis unless on the computer page, on    hide
//   3         hide        vis, off; hidden again on the          vis on the phone page,
//                         computer page                          else hide
//   4         -           vis unless on the computer page, off   hide
//   0         -           -                                      -
//
// States 1, 3 and 4 never show a phone tile while the computer page shows.

void CLauncherView::ShowPhoneProductState(int state, CButtonUI* install, CButtonUI* run, CProgressUI* bar)
{
    switch (state) {
    case NotInstalled:
        Show(install, true);
        Show(run, false);
        Show(bar, false);
        break;
    case Installed:
        Show(install, false);
        if (!m_bHomePage) Show(run, true);
        Enable(run, true);
        Show(bar, false);
        break;
    case Downloading:
        Show(install, false);
        Show(run, true);
        Enable(run, false);
        if (m_bHomePage) Show(run, false);
        Show(bar, !m_bHomePage);
        break;
    case Downloaded:
        if (!m_bHomePage) Show(run, true);
        Enable(run, false);
        Show(bar, false);
        break;
    default:
        break;
    }
}

void CLauncherView::ShowState(int index, int state)
{
    if (index == kDesktop) ShowComputerState(state);
    if (index == kIPhone) ShowIPhoneState(state);
    if (index == kAndroid) ShowAndroidState(state);
}

void CLauncherView::ShowIPhoneState(int state)
{
    ShowPhoneProductState(state, m_product[kIPhone].install, m_product[kIPhone].run, m_product[kIPhone].bar);
}

void CLauncherView::ShowAndroidState(int state)
{
    ShowPhoneProductState(state, m_product[kAndroid].install, m_product[kAndroid].run,
                          m_product[kAndroid].bar);
}

void CLauncherView::ShowComputerPage(bool visible)
{
    Show(m_product[kDesktop].install, visible);
    Show(m_product[kDesktop].run, visible);
    Show(m_product[kDesktop].bar, visible);
}

void CLauncherView::ShowPhoneJump(bool visible)
{
    Show(m_pPhoneJump, visible);
}

void CLauncherView::ShowPhonePage(bool visible)
{
    Show(m_pFirstBK3, visible);
    Show(m_pChooseText, visible);
    Show(m_product[kIPhone].bar, visible);
    Show(m_product[kAndroid].bar, visible);
    Show(m_product[kIPhone].install, visible);
    Show(m_product[kAndroid].install, visible);
    Show(m_product[kIPhone].run, visible);
    Show(m_product[kAndroid].run, visible);
    Show(m_pReturn, visible);
}

// ---- Focus ----------------------------------------------------------------------
// Every action leaves the keyboard focus on a control the user can see:
//   install click      the next stop of the page (the disabled run tile that
//                      replaces the install tile cannot hold it)
//   failed run click   the install tile shown in place of the run tile
//   phone_jump         the phone page's first tile
//   return             the phone_jump tile
// Only the control that held the focus hands it on: a tick never moves it,
// so a download that ends while the user is elsewhere leaves it there.

bool CLauncherView::HadFocus(CControlUI* control) const
{
    if (m_pManager == nullptr) return false;
    CControlUI* focus = m_pManager->GetFocus();
    return focus == nullptr || focus == control;
}

void CLauncherView::FocusNextStopAfter(CControlUI* control)
{
    if (m_pManager == nullptr) return;
    CControlUI* next = m_pManager->FindNextTabStop(control, true);
    if (next == nullptr) next = m_pManager->FindNextTabStop(nullptr, true);
    if (next != nullptr) next->SetFocus();
}

void CLauncherView::FocusIfShown(CControlUI* control)
{
    if (control != nullptr && control->IsVisible() && control->IsEnabled()) control->SetFocus();
}

// ---- Click handling ---------------------------------------------------------
// Each test stands alone, in this order; a notification without a sender
// (a queued one whose control is gone) matches nothing.

void CLauncherView::RunOrReinstall(int index)
{
    ProbeProducts();
    ProductRecord& product = m_product[index];
    if (product.state == Installed) {
        if (m_pDownload != nullptr) m_pDownload->RunProduct(index, product.path);
        return;
    }
    const bool focused = HadFocus(product.run);
    ShowState(index, product.state);
    product.state = None;
    if (focused) FocusIfShown(product.install);
}

void CLauncherView::HandleClick(SkinUI::TNotifyUI& msg)
{
    if (msg.type != L"click") return;
    CControlUI* sender = msg.sender;
    if (sender == nullptr) return;

    if (sender == m_pQQ) OpenInBrowser(kServicePage);
    if (sender == m_pTel) OpenInBrowser(kContactPage);
    for (int i = 0; i < kProductCount; ++i) {
        if (sender != m_product[i].install) continue;
        if (m_pDownload != nullptr) m_pDownload->Start(i);
        if (HadFocus(sender)) FocusNextStopAfter(sender);
    }
    for (int i = 0; i < kProductCount; ++i)
        if (sender == m_product[i].run) RunOrReinstall(i);
    if (sender == m_pPhoneJump) {
        ShowComputerPage(false);
        ShowPhoneJump(false);
        ShowPhonePage(true);
        m_bHomePage = false;
        ShowIPhoneState(m_product[kIPhone].state);
        ShowAndroidState(m_product[kAndroid].state);
        // The page's first stop after its white panel: the iPhone tile, or
        // the Android one while the iPhone's is a disabled run tile.
        FocusNextStopAfter(m_pFirstBK3);
    }
    if (sender == m_pReturn) {
        ShowComputerPage(true);
        ShowPhoneJump(true);
        ShowPhonePage(false);
        m_bHomePage = true;
        ShowComputerState(m_product[kDesktop].state);
        FocusIfShown(m_pPhoneJump);
    }
}

// ---- The poll timer -------------------------------------------------------------
// Per product, in the order desktop, iPhone, Android, from the worker's
// report (ReadWorker):
//   a new end of a worker:      the product's key read again: installed,
//                               state 1 (the run tile); missing, state 2
//                               (the install tile, its bar back at 0), so
//                               that a failed download or a failed or
//                               refused setup reads as one
//   a worker under way (from its start, before any byte), state not 1:
//                               the last tick already showed a full bar:
//                               state 4, bar 100
//                               else: state 3, bar := ProgressBarValue
// So completion shows one tick after the bar reached 100. A phone product's
// install tile is shown only on the phone page, as ever; the page switch
// applies state 2 there.

void CLauncherView::PollProduct(int index)
{
    ProductRecord& product = m_product[index];
    const WorkerReport report = m_pDownload->Read(index);
    // A worker that ended since the last tick still shows its last progress
    // first, as one under way.
    const bool ended = report.ends != product.endsSeen;
    const bool underWay = ended || report.outcome == WorkerDownloading || report.outcome == WorkerRetrying ||
        report.outcome == WorkerSetupRunning;
    const DownloadProgress previous = product.shown;
    product.shown = underWay ? report.progress : DownloadProgress{0, 0};
    // From the worker's start on (before its first byte, too) the tile shows
    // the download, so that a failure ends visibly in the install tile.
    if (underWay && product.state != Installed) {
        // The bar showed 100 at the last tick (a body under 400 bytes counts
        // past it, which the bar never shows: such a tile waits in state 3).
        const bool fullBefore = previous.total != 0 && ProgressBarValue(previous) == 100;
        if (fullBefore || product.state == Downloaded) {
            product.state = Downloaded;
            ShowState(index, Downloaded);
            if (product.bar != nullptr) product.bar->SetValue(100);
        } else {
            product.state = Downloading;
            ShowState(index, Downloading);
            if (product.bar != nullptr) product.bar->SetValue(ProgressBarValue(report.progress));
        }
    }
    if (ended) {
        product.endsSeen = report.ends;
        FinishInstall(index);
    }
}

void CLauncherView::FinishInstall(int index)
{
    ProductRecord& product = m_product[index];
    product.shown = DownloadProgress{0, 0};
    product.state = ProbeProduct(index) ? Installed : NotInstalled;
    if (product.state == NotInstalled && product.bar != nullptr) product.bar->SetValue(0);
    if (product.state == Installed || index == kDesktop || !m_bHomePage) ShowState(index, product.state);
}

LRESULT CLauncherView::OnTimer(UINT /*uMsg*/, WPARAM wParam, LPARAM /*lParam*/, BOOL& /*bHandled*/)
{
    if (wParam != kPollTimerId || m_pDownload == nullptr) return 0;
    for (int i = 0; i < kProductCount; ++i) PollProduct(i);
    return 0;
}

}  // namespace Launcher
