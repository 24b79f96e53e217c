#include "launcher/LauncherView.h"

#include "launcher/ProductLaunch.h"
#include "launcher/Products.h"
#include "skinui/control/Button.h"
#include "skinui/control/Control.h"
#include "skinui/control/Progress.h"
#include "skinui/core/PaintManager.h"

#include <shellapi.h>

#include <string>
#include <vector>

// Sections: pages and constants; construction and Init; the view table;
// focus; click handling; the poll timer.

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

// ---- Construction and Init ------------------------------------------------

CLauncherView::CLauncherView()
    : m_pManager(nullptr), m_page(kComputerPage), m_status(), m_tiles(), m_pPhoneJump(nullptr),
      m_pQQ(nullptr), m_pTel(nullptr), m_pFirstBK3(nullptr), m_pChooseText(nullptr), m_pReturn(nullptr)
{}

CLauncherView::~CLauncherView() = default;

bool CLauncherView::Init(CPaintManagerUI& manager, HWND hWnd)
{
    m_pManager = &manager;
    ::SetTimer(hWnd, kPollTimerId, kPollTimerPeriod, nullptr);

    bool complete = true;
    std::vector<CButtonUI*> buttons;
    for (int i = 0; i < kProductCount; ++i) {
        ProductTiles& tiles = m_tiles[i];
        tiles.install = FindAs<CButtonUI>(manager, kProducts[i].installTile, L"Button");
        tiles.run = FindAs<CButtonUI>(manager, kProducts[i].runTile, L"Button");
        tiles.bar = FindAs<CProgressUI>(manager, kProducts[i].bar, L"Progress");
        // Ends of workers before this view are not its to show.
        m_status[i].endsSeen = ReadWorker(i).ends;
        buttons.push_back(tiles.install);
        buttons.push_back(tiles.run);
        complete = complete && tiles.install != nullptr && tiles.run != nullptr && tiles.bar != nullptr;
        if (tiles.bar != nullptr) tiles.bar->SetValue(0);
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

    m_probe.ProbeProducts();
    for (int i = 0; i < kProductCount; ++i) Apply(i, ProbeStep(m_status[i], m_probe.Result(i)));
    // The first paint gives the focus to the stop after the close button:
    // the first tile of the computer page, whichever of its two shows.
    for (int i = 0; i < kProductCount; ++i) {
        if (kProducts[i].page != kComputerPage || m_tiles[i].install == nullptr) continue;
        manager.SetFocusNeeded(m_tiles[i].install);
        break;
    }

    const CControlUI* others[] = {m_pPhoneJump, m_pQQ, m_pTel, m_pFirstBK3, m_pChooseText, m_pReturn};
    for (const CControlUI* control : others) complete = complete && control != nullptr;
    return complete;
}

// ---- The view table ------------------------------------------------------------
// A product's tiles by its state and by where its page stands: showing, or
// behind the phone page (the computer page's tiles, which lie under the phone
// page's opaque firstBK3 panel, drawn after them), or behind the computer
// page (the phone page's tiles, which nothing covers there). Each cell is
// (visible, enabled): v/h and 1/0 set the value, '-' leaves it. Unprobed and
// MissingAtRun have no row: they change nothing.

namespace {

enum PageStand
{
    kShowing,
    kUnderPanel,
    kBehind,
};

struct ViewRow
{
    InstallState state;
    PageStand page;
    const char* cells[3];  // install, run, bar
};

const ViewRow kViewTable[] = {
    {NotInstalled, kShowing, {"v-", "h-", "h-"}},  {NotInstalled, kUnderPanel, {"v-", "h-", "h-"}},
    {NotInstalled, kBehind, {"--", "--", "--"}},   {Installed, kShowing, {"h-", "v1", "h-"}},
    {Installed, kUnderPanel, {"h-", "v1", "h-"}},  {Installed, kBehind, {"h-", "-1", "h-"}},
    {Downloading, kShowing, {"h-", "v0", "v-"}},   {Downloading, kUnderPanel, {"h-", "v0", "h-"}},
    {Downloading, kBehind, {"h-", "h0", "h-"}},    {Downloaded, kShowing, {"--", "v0", "h-"}},
    {Downloaded, kUnderPanel, {"--", "--", "h-"}}, {Downloaded, kBehind, {"--", "-0", "h-"}},
};

void ApplyCell(CControlUI* control, const char* cell)
{
    if (control == nullptr) return;
    if (cell[0] != '-') control->SetVisible(cell[0] == 'v');
    if (cell[1] != '-') control->SetEnabled(cell[1] == '1');
}

}  // namespace

void CLauncherView::ShowState(int index, InstallState state)
{
    if (index < 0 || index >= kProductCount) return;
    const ProductPage page = kProducts[index].page;
    const PageStand stand = page == m_page ? kShowing : page == kComputerPage ? kUnderPanel : kBehind;
    const ProductTiles& tiles = m_tiles[index];
    for (const ViewRow& row : kViewTable) {
        if (row.state != state || row.page != stand) continue;
        ApplyCell(tiles.install, row.cells[0]);
        ApplyCell(tiles.run, row.cells[1]);
        ApplyCell(tiles.bar, row.cells[2]);
    }
}

void CLauncherView::Apply(int index, const ProductStep& step)
{
    m_status[index] = step.next;
    for (InstallState row : step.rows) ShowState(index, row);
    if (step.bar != kBarUnchanged && m_tiles[index].bar != nullptr) m_tiles[index].bar->SetValue(step.bar);
    if (step.launch) LaunchProduct(m_probe.LaunchPath(index), index);
}

void CLauncherView::ShowPage(ProductPage page)
{
    m_page = page;
    const bool phone = page == kPhonePage;
    Show(m_pPhoneJump, !phone);
    Show(m_pFirstBK3, phone);
    Show(m_pChooseText, phone);
    Show(m_pReturn, phone);
    for (int i = 0; i < kProductCount; ++i) {
        const bool shown = kProducts[i].page == page;
        Show(m_tiles[i].install, shown);
        Show(m_tiles[i].run, shown);
        Show(m_tiles[i].bar, shown);
    }
    for (int i = 0; i < kProductCount; ++i)
        if (kProducts[i].page == page) ShowState(i, m_status[i].state);
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
    m_probe.ProbeProducts();
    const bool focused = HadFocus(m_tiles[index].run);
    for (int i = 0; i < kProductCount; ++i)
        Apply(i, RunClickStep(m_status[i], m_probe.Result(i), i == index));
    if (m_status[index].state == MissingAtRun && focused) FocusIfShown(m_tiles[index].install);
}

void CLauncherView::HandleClick(SkinUI::TNotifyUI& msg)
{
    if (msg.type != L"click") return;
    CControlUI* sender = msg.sender;
    if (sender == nullptr) return;

    if (sender == m_pQQ) OpenInBrowser(kServicePage);
    if (sender == m_pTel) OpenInBrowser(kContactPage);
    for (int i = 0; i < kProductCount; ++i) {
        if (sender != m_tiles[i].install) continue;
        if (StartWorker(i)) Apply(i, InstallStep(m_status[i]));
        if (HadFocus(sender)) FocusNextStopAfter(sender);
    }
    for (int i = 0; i < kProductCount; ++i)
        if (sender == m_tiles[i].run) RunOrReinstall(i);
    if (sender == m_pPhoneJump) {
        ShowPage(kPhonePage);
        // The page's first stop after its white panel: the iPhone tile, or
        // the Android one while the iPhone's is a disabled run tile.
        FocusNextStopAfter(m_pFirstBK3);
    }
    if (sender == m_pReturn) {
        ShowPage(kComputerPage);
        FocusIfShown(m_pPhoneJump);
    }
}

// ---- The poll timer -------------------------------------------------------------
// Per product, in the order of the table, the step of its worker's report
// (TickStep); a worker's end has the product's key read again first.

LRESULT CLauncherView::OnTimer(UINT /*uMsg*/, WPARAM wParam, LPARAM /*lParam*/, BOOL& /*bHandled*/)
{
    if (wParam != kPollTimerId || m_pManager == nullptr) return 0;
    for (int i = 0; i < kProductCount; ++i) {
        const WorkerReport report = ReadWorker(i);
        const ProbeResult probe = WorkerEnded(m_status[i], report) ? m_probe.ProbeProduct(i) : NotProbed;
        Apply(i, TickStep(m_status[i], report, probe));
    }
    return 0;
}

}  // namespace Launcher
