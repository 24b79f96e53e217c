#include "launcher/LauncherView.h"

#include "launcher/Products.h"
#include "skinui/control/Button.h"
#include "skinui/control/Control.h"
#include "skinui/control/Progress.h"
#include "skinui/core/PaintManager.h"

#include <shellapi.h>

#include <string>

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

CLauncherView::CLauncherView()
    : m_pManager(nullptr), m_bHomePage(true), m_pDownload(nullptr), m_DesktopProgress(), m_IPhoneProgress(),
      m_AndroidProgress(), m_pComputerInstall(nullptr), m_pComputerRun(nullptr), m_pComputerPro(nullptr),
      m_pPhoneJump(nullptr), m_pQQ(nullptr), m_pTel(nullptr), m_pFirstBK3(nullptr), m_pChooseText(nullptr),
      m_pIPhonePro(nullptr), m_pAndroidPro(nullptr), m_pIPhoneInstall(nullptr), m_pIPhoneRun(nullptr),
      m_pAndroidInstall(nullptr), m_pAndroidRun(nullptr), m_pReturn(nullptr)
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

    // Every button of the view is clickable and shows the hand cursor.
    struct NamedButton
    {
        CButtonUI** button;
        const wchar_t* name;
    };
    const NamedButton buttons[] = {{&m_pComputerInstall, L"computer_install"},
                                   {&m_pComputerRun, L"computer_run"},
                                   {&m_pPhoneJump, L"phone_jump"},
                                   {&m_pQQ, L"qq"},
                                   {&m_pTel, L"tel"},
                                   {&m_pIPhoneInstall, L"iphone_install"},
                                   {&m_pIPhoneRun, L"iphone_run"},
                                   {&m_pAndroidInstall, L"android_install"},
                                   {&m_pAndroidRun, L"android_run"},
                                   {&m_pReturn, L"return"}};
    for (const NamedButton& named : buttons)
        *named.button = FindAs<CButtonUI>(manager, named.name, L"Button");
    m_pComputerPro = FindAs<CProgressUI>(manager, L"computer_pro", L"Progress");
    m_pIPhonePro = FindAs<CProgressUI>(manager, L"iphone_pro", L"Progress");
    m_pAndroidPro = FindAs<CProgressUI>(manager, L"android_pro", L"Progress");
    m_pFirstBK3 = manager.FindControl(L"firstBK3");
    m_pChooseText = manager.FindControl(L"choose_text");

    CProgressUI* bars[] = {m_pComputerPro, m_pIPhonePro, m_pAndroidPro};
    for (CProgressUI* bar : bars)
        if (bar != nullptr) bar->SetValue(0);
    for (const NamedButton& named : buttons)
        if (*named.button != nullptr) (*named.button)->SetCursor(kHandCursor);

    ProbeProducts();
    ShowComputerState(m_nDesktopState);
    // The first paint gives the focus to the stop after the close button:
    // the desktop tile, whichever of the two shows.
    if (m_pComputerInstall != nullptr) manager.SetFocusNeeded(m_pComputerInstall);

    CControlUI* all[] = {m_pComputerInstall,
                         m_pComputerRun,
                         m_pComputerPro,
                         m_pPhoneJump,
                         m_pQQ,
                         m_pTel,
                         m_pFirstBK3,
                         m_pChooseText,
                         m_pIPhonePro,
                         m_pAndroidPro,
                         m_pIPhoneInstall,
                         m_pIPhoneRun,
                         m_pAndroidInstall,
                         m_pAndroidRun,
                         m_pReturn};
    for (CControlUI* control : all)
        if (control == nullptr) return false;
    return true;
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
        Show(m_pComputerInstall, true);
        Show(m_pComputerRun, false);
        Show(m_pComputerPro, false);
        break;
    case Installed:
        Show(m_pComputerInstall, false);
        Show(m_pComputerRun, true);
        Enable(m_pComputerRun, true);
        Show(m_pComputerPro, false);
        break;
    case Downloading:
        Show(m_pComputerInstall, false);
        Show(m_pComputerRun, true);
        Enable(m_pComputerRun, false);
        Show(m_pComputerPro, m_bHomePage);
        break;
    case Downloaded:
        Show(m_pComputerPro, false);
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

void CLauncherView::ShowIPhoneState(int state)
{
    ShowPhoneProductState(state, m_pIPhoneInstall, m_pIPhoneRun, m_pIPhonePro);
}

void CLauncherView::ShowAndroidState(int state)
{
    ShowPhoneProductState(state, m_pAndroidInstall, m_pAndroidRun, m_pAndroidPro);
}

void CLauncherView::ShowComputerPage(bool visible)
{
    Show(m_pComputerInstall, visible);
    Show(m_pComputerRun, visible);
    Show(m_pComputerPro, visible);
}

void CLauncherView::ShowPhoneJump(bool visible)
{
    Show(m_pPhoneJump, visible);
}

void CLauncherView::ShowPhonePage(bool visible)
{
    Show(m_pFirstBK3, visible);
    Show(m_pChooseText, visible);
    Show(m_pIPhonePro, visible);
    Show(m_pAndroidPro, visible);
    Show(m_pIPhoneInstall, visible);
    Show(m_pAndroidInstall, visible);
    Show(m_pIPhoneRun, visible);
    Show(m_pAndroidRun, visible);
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

void CLauncherView::RunOrReinstall(int index, int& state, const char* path, ShowStateFn show)
{
    ProbeProducts();
    if (state == Installed) {
        if (m_pDownload != nullptr) m_pDownload->RunProduct(index, path);
        return;
    }
    CControlUI* run = index == kDesktop ? m_pComputerRun : index == kIPhone ? m_pIPhoneRun : m_pAndroidRun;
    const bool focused = HadFocus(run);
    (this->*show)(state);
    state = None;
    CControlUI* install = index == kDesktop ? m_pComputerInstall
        : index == kIPhone                  ? m_pIPhoneInstall
                                            : m_pAndroidInstall;
    if (focused) FocusIfShown(install);
}

void CLauncherView::HandleClick(SkinUI::TNotifyUI& msg)
{
    if (msg.type != L"click") return;
    CControlUI* sender = msg.sender;
    if (sender == nullptr) return;

    if (sender == m_pQQ) OpenInBrowser(kServicePage);
    if (sender == m_pTel) OpenInBrowser(kContactPage);
    if (sender == m_pComputerInstall && m_pDownload != nullptr) m_pDownload->StartDesktopDownload();
    if (sender == m_pIPhoneInstall && m_pDownload != nullptr) m_pDownload->StartIPhoneDownload();
    if (sender == m_pAndroidInstall && m_pDownload != nullptr) m_pDownload->StartAndroidDownload();
    if ((sender == m_pComputerInstall || sender == m_pIPhoneInstall || sender == m_pAndroidInstall) &&
        HadFocus(sender))
        FocusNextStopAfter(sender);
    if (sender == m_pComputerRun)
        RunOrReinstall(kDesktop, m_nDesktopState, m_szDesktopPath, &CLauncherView::ShowComputerState);
    if (sender == m_pIPhoneRun)
        RunOrReinstall(kIPhone, m_nIPhoneState, m_szIPhonePath, &CLauncherView::ShowIPhoneState);
    if (sender == m_pAndroidRun)
        RunOrReinstall(kAndroid, m_nAndroidState, m_szAndroidPath, &CLauncherView::ShowAndroidState);
    if (sender == m_pPhoneJump) {
        ShowComputerPage(false);
        ShowPhoneJump(false);
        ShowPhonePage(true);
        m_bHomePage = false;
        ShowIPhoneState(m_nIPhoneState);
        ShowAndroidState(m_nAndroidState);
        // The page's first stop after its white panel: the iPhone tile, or
        // the Android one while the iPhone's is a disabled run tile.
        FocusNextStopAfter(m_pFirstBK3);
    }
    if (sender == m_pReturn) {
        ShowComputerPage(true);
        ShowPhoneJump(true);
        ShowPhonePage(false);
        m_bHomePage = true;
        ShowComputerState(m_nDesktopState);
        FocusIfShown(m_pPhoneJump);
    }
}

// ---- The poll timer -------------------------------------------------------------
// Per product, in the order desktop, iPhone, Android:
//   record total > 0, state not 1:   bar > 95: state 4, bar 100, record reset
//                                    else:     state 3, bar := ProgressBarValue
//   setup-finished flag 1:           the flag is cleared and the product's
//                                    key read again: installed, state 1 (the
//                                    run tile); missing, state 2 (the install
//                                    tile, its bar back at 0), so that a failed
//                                    download or a failed or refused setup
//                                    reads as one
// So completion shows one tick after the bar reached 100. A phone product's
// install tile is shown only on the phone page, as ever; the page switch
// applies state 2 there.

void CLauncherView::PollProduct(int index, DownloadProgress current, int& state, DownloadProgress& snapshot,
                                CProgressUI* bar, ShowStateFn show)
{
    snapshot = current;
    if (snapshot.total == 0 || state == Installed) return;
    int value = bar != nullptr ? bar->GetValue() : 0;
    if (value > 95) {
        state = Downloaded;
        (this->*show)(Downloaded);
        if (bar != nullptr) bar->SetValue(100);
        if (m_pDownload != nullptr) m_pDownload->ResetProgress(index);
    } else {
        state = Downloading;
        (this->*show)(Downloading);
        if (bar != nullptr) bar->SetValue(ProgressBarValue(snapshot));
    }
}

void CLauncherView::FinishInstall(int index, int& state, CProgressUI* bar, ShowStateFn show)
{
    if (GetSetupFinished(index) != 1) return;
    SetSetupFinished(index, 0);
    state = ProbeProduct(index) ? Installed : NotInstalled;
    if (state == NotInstalled) {
        // What is left of a failed download's record must not turn the
        // install tile back into a download on the next tick.
        if (m_pDownload != nullptr) m_pDownload->ResetProgress(index);
        if (bar != nullptr) bar->SetValue(0);
    }
    if (state == Installed || index == kDesktop || !m_bHomePage) (this->*show)(state);
}

LRESULT CLauncherView::OnTimer(UINT /*uMsg*/, WPARAM wParam, LPARAM /*lParam*/, BOOL& /*bHandled*/)
{
    if (wParam != kPollTimerId || m_pDownload == nullptr) return 0;

    PollProduct(kDesktop, m_pDownload->GetDesktopProgress(), m_nDesktopState, m_DesktopProgress,
                m_pComputerPro, &CLauncherView::ShowComputerState);
    FinishInstall(kDesktop, m_nDesktopState, m_pComputerPro, &CLauncherView::ShowComputerState);

    PollProduct(kIPhone, m_pDownload->GetIPhoneProgress(), m_nIPhoneState, m_IPhoneProgress, m_pIPhonePro,
                &CLauncherView::ShowIPhoneState);
    FinishInstall(kIPhone, m_nIPhoneState, m_pIPhonePro, &CLauncherView::ShowIPhoneState);

    PollProduct(kAndroid, m_pDownload->GetAndroidProgress(), m_nAndroidState, m_AndroidProgress,
                m_pAndroidPro, &CLauncherView::ShowAndroidState);
    FinishInstall(kAndroid, m_nAndroidState, m_pAndroidPro, &CLauncherView::ShowAndroidState);
    return 0;
}

}  // namespace Launcher
