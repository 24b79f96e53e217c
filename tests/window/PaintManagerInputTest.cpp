// Input dispatch with real messages sent to a real window: hover order,
// capture, the synthetic leave, Tab navigation, shortcuts, tooltips, and an
// OLE drag from one window of this process to another.
#include "skinui/core/WindowWnd.h"
#include "tests/window/Recorder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace WindowTest {
namespace {

std::wstring Ev(LPCTSTR name, int type)
{
    return std::wstring(name) + L":" + std::to_wstring(type);
}

class InputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CContainerUI* pRoot = m_host.AttachContainer();
        m_pA = AddRecorder(pRoot, &m_log, L"a", RECT{10, 10, 110, 60});
        m_pB = AddRecorder(pRoot, &m_log, L"b", RECT{200, 10, 300, 60});
        ::ShowWindow(m_host.Handle(), SW_SHOWNOACTIVATE);
        m_host.Paint();
        m_host.Pump();
        m_log.clear();
    }

    void Send(UINT uMsg, WPARAM wParam, int x, int y)
    {
        ::SendMessageW(m_host.Handle(), uMsg, wParam, PointParam(x, y));
    }

    std::vector<std::wstring> m_log;
    PaintManagerWindow m_host;
    CRecorderUI* m_pA = nullptr;
    CRecorderUI* m_pB = nullptr;
};

TEST_F(InputTest, HoverChangeSendsLeaveBeforeEnterBeforeMove)
{
    Send(WM_MOUSEMOVE, 0, 20, 20);
    Send(WM_MOUSEMOVE, 0, 30, 20);
    Send(WM_MOUSEMOVE, 0, 210, 20);
    Send(WM_MOUSEMOVE, 0, 150, 20);  // over the root only
    std::vector<std::wstring> expected = {
        Ev(L"a", EVT_MOUSEENTER), Ev(L"a", EVT_MOUSEMOVE), Ev(L"a", EVT_MOUSEMOVE),  Ev(L"a", EVT_MOUSELEAVE),
        Ev(L"b", EVT_MOUSEENTER), Ev(L"b", EVT_MOUSEMOVE), Ev(L"b", EVT_MOUSELEAVE),
    };
    EXPECT_EQ(m_log, expected);
}

TEST_F(InputTest, PressedControlKeepsMovesAndTheButtonUp)
{
    Send(WM_MOUSEMOVE, 0, 20, 20);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
    EXPECT_TRUE(m_host.Manager()->IsCaptured());
    m_log.clear();
    Send(WM_MOUSEMOVE, MK_LBUTTON, 250, 20);
    Send(WM_LBUTTONUP, 0, 250, 20);
    std::vector<std::wstring> expected = {
        Ev(L"a", EVT_MOUSELEAVE),
        Ev(L"b", EVT_MOUSEENTER),
        Ev(L"a", EVT_MOUSEMOVE),
        Ev(L"a", EVT_BUTTONUP),
    };
    EXPECT_EQ(m_log, expected);
    EXPECT_FALSE(m_host.Manager()->IsCaptured());
    // A second release has no pressed control to go to.
    m_log.clear();
    Send(WM_LBUTTONUP, 0, 250, 20);
    EXPECT_TRUE(m_log.empty());
}

TEST_F(InputTest, MouseLeavingTheWindowLeavesTheHoverControl)
{
    Send(WM_MOUSEMOVE, 0, 20, 20);
    m_log.clear();
    ::SendMessageW(m_host.Handle(), WM_MOUSELEAVE, 0, 0);
    // The cursor is not over an active window here, so the manager moves
    // the mouse to (-1, -1): the hover control is left.
    ASSERT_FALSE(m_log.empty());
    EXPECT_EQ(m_log.front(), Ev(L"a", EVT_MOUSELEAVE));
    m_log.clear();
    Send(WM_MOUSEMOVE, 0, 20, 20);
    ASSERT_FALSE(m_log.empty());
    EXPECT_EQ(m_log.front(), Ev(L"a", EVT_MOUSEENTER));
}

TEST_F(InputTest, ButtonMessagesOutsideEveryControlAreHarmless)
{
    for (UINT uMsg : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                      WM_MBUTTONDOWN, WM_MBUTTONUP}) {
        Send(uMsg, 0, 500, 300);
    }
    ::SendMessageW(m_host.Handle(), WM_CONTEXTMENU, 0, PointParam(600, 400));
    ::SendMessageW(m_host.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), PointParam(600, 400));
    EXPECT_TRUE(m_log.empty());
}

TEST_F(InputTest, KeysGoToTheFocusAndKeyUpToTheKeyDownControl)
{
    m_host.Manager()->SetFocus(m_pA);
    m_log.clear();
    ::SendMessageW(m_host.Handle(), WM_KEYDOWN, 'K', 0);
    m_host.Manager()->SetFocus(m_pB);
    m_log.clear();
    ::SendMessageW(m_host.Handle(), WM_KEYUP, 'K', 0);
    ::SendMessageW(m_host.Handle(), WM_CHAR, 'k', 0);
    std::vector<std::wstring> expected = {Ev(L"a", EVT_KEYUP), Ev(L"b", EVT_CHAR)};
    EXPECT_EQ(m_log, expected);
}

TEST_F(InputTest, TimerMessagesBecomeTimerEventsOfTheirControl)
{
    ASSERT_TRUE(m_host.Manager()->SetTimer(m_pB, 7, 10));
    EXPECT_TRUE(m_host.PumpUntil(
        [this] { return std::find(m_log.begin(), m_log.end(), Ev(L"b", EVT_TIMER)) != m_log.end(); }));
    m_host.Manager()->KillTimer(m_pB);
}

TEST(TabNavigation, TabWrapsShiftTabGoesBackControlsWithoutTabStopAreSkipped)
{
    std::vector<std::wstring> log;
    PaintManagerWindow host;
    CContainerUI* pRoot = host.AttachContainer();
    CRecorderUI* t1 = AddRecorder(pRoot, &log, L"t1", RECT{0, 0, 10, 10}, CONTROLFLAG_TABSTOP);
    AddRecorder(pRoot, &log, L"plain", RECT{20, 0, 30, 10});
    CRecorderUI* t2 = AddRecorder(pRoot, &log, L"t2", RECT{40, 0, 50, 10}, CONTROLFLAG_TABSTOP);
    CRecorderUI* t3 = AddRecorder(pRoot, &log, L"t3", RECT{60, 0, 70, 10}, CONTROLFLAG_TABSTOP);
    ::ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    host.Paint();
    // The first paint moves the focus to the first tab stop.
    EXPECT_EQ(host.Manager()->GetFocus(), t1);

    struct Step
    {
        bool shift;
        CControlUI* expected;
    } steps[] = {
        {false, t2}, {false, t3}, {false, t1}, {true, t3}, {true, t2}, {true, t1},
    };
    for (const Step& step : steps) {
        host.Key(VK_TAB, step.shift);
        EXPECT_EQ(host.Manager()->GetFocus(), step.expected);
    }
}

TEST(TabNavigation, NoTabStopLeavesTheFocusAlone)
{
    std::vector<std::wstring> log;
    PaintManagerWindow host;
    CContainerUI* pRoot = host.AttachContainer();
    AddRecorder(pRoot, &log, L"plain", RECT{0, 0, 10, 10});
    ::ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    host.Paint();
    EXPECT_EQ(host.Manager()->GetFocus(), nullptr);
    host.Key(VK_TAB, false);
    host.Key(VK_TAB, true);
    EXPECT_EQ(host.Manager()->GetFocus(), nullptr);
}

// A rich edit that wants Tab, and a web view, keep the key; they are known
// by their class name alone, so a plug-in control of those classes keeps it
// as well. Every other focus lets Tab move on.
TEST(TabNavigation, ControlsThatWantTabByClassNameKeepTheKey)
{
    struct Case
    {
        LPCTSTR cls;
        bool wantTab;
        bool keeps;
    } cases[] = {
        {L"RichEditUI", true, true},   {L"PluginRichEditUI", true, true}, {L"RichEditUI", false, false},
        {L"WkeWebkitUI", false, true}, {L"RecorderUI", true, false},      {L"EditUI", true, false},
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> log;
        PaintManagerWindow host;
        CContainerUI* pRoot = host.AttachContainer();
        CRecorderUI* first =
            AddRecorder(pRoot, &log, L"first", RECT{0, 0, 10, 10}, CONTROLFLAG_TABSTOP, c.cls);
        first->m_bWantTab = c.wantTab;
        CRecorderUI* second = AddRecorder(pRoot, &log, L"second", RECT{20, 0, 30, 10}, CONTROLFLAG_TABSTOP);
        ::ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
        host.Paint();
        ASSERT_EQ(host.Manager()->GetFocus(), first);
        LRESULT lRes = 0;
        EXPECT_EQ(host.Manager()->PreMessageHandler(WM_KEYDOWN, VK_TAB, 0, lRes), !c.keeps)
            << c.cls << " " << c.wantTab;
        EXPECT_EQ(host.Manager()->GetFocus(), c.keeps ? first : second) << c.cls << " " << c.wantTab;
    }
}

TEST(Shortcuts, AltLetterOnALabelActivatesTheControlSearchedAfterIt)
{
    std::vector<std::wstring> log;
    PaintManagerWindow host;
    CContainerUI* pRoot = host.AttachContainer();
    // Shortcut searches visit the topmost (last) child first, so the
    // control a label names is the one before it in document order.
    CRecorderUI* target = AddRecorder(pRoot, &log, L"target", RECT{0, 0, 10, 10});
    CRecorderUI* label = AddRecorder(pRoot, &log, L"label", RECT{20, 0, 30, 10}, 0, L"LabelUI");
    CRecorderUI* direct = AddRecorder(pRoot, &log, L"direct", RECT{40, 0, 50, 10});
    label->SetShortcut(L'N');
    direct->SetShortcut(L'D');
    ::ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    host.Paint();

    LRESULT lRes = 0;
    EXPECT_TRUE(host.Manager()->PreMessageHandler(WM_SYSCHAR, L'n', 0, lRes));
    EXPECT_EQ(target->m_nActivations, 1);
    EXPECT_EQ(label->m_nActivations, 0);
    EXPECT_EQ(host.Manager()->GetFocus(), target);

    EXPECT_TRUE(host.Manager()->PreMessageHandler(WM_SYSCHAR, L'd', 0, lRes));
    EXPECT_EQ(direct->m_nActivations, 1);
    EXPECT_FALSE(host.Manager()->PreMessageHandler(WM_SYSCHAR, L'q', 0, lRes));
}

TEST(Tooltips, HoverOverAControlWithTextMakesTheTooltipWindow)
{
    std::vector<std::wstring> log;
    PaintManagerWindow host;
    CContainerUI* pRoot = host.AttachContainer();
    AddRecorder(pRoot, &log, L"silent", RECT{0, 0, 50, 50});
    CRecorderUI* tipped = AddRecorder(pRoot, &log, L"tipped", RECT{100, 0, 150, 50});
    tipped->SetToolTip(L"Install the product");
    ::ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    host.Paint();

    ::SendMessageW(host.Handle(), WM_MOUSEMOVE, 0, PointParam(10, 10));
    ::SendMessageW(host.Handle(), WM_MOUSEHOVER, 0, PointParam(10, 10));
    EXPECT_EQ(host.Manager()->GetTooltipWindow(), nullptr);

    ::SendMessageW(host.Handle(), WM_MOUSEMOVE, 0, PointParam(110, 10));
    ::SendMessageW(host.Handle(), WM_MOUSEHOVER, 0, PointParam(110, 10));
    HWND hTip = host.Manager()->GetTooltipWindow();
    ASSERT_NE(hTip, nullptr);
    WCHAR cls[64] = {};
    ::GetClassNameW(hTip, cls, 64);
    EXPECT_STREQ(cls, L"tooltips_class32");
    EXPECT_EQ(::GetWindow(hTip, GW_OWNER), host.Handle());

    // Closing forgets the tooltip window.
    ::SendMessageW(host.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(host.Manager()->GetTooltipWindow(), nullptr);
    EXPECT_FALSE(::IsWindow(hTip));
}

class CountingFilter : public IMessageFilterUI
{
public:
    LRESULT MessageHandler(UINT uMsg, WPARAM, LPARAM, bool& bHandled) override
    {
        if (uMsg == WM_USER + 5) {
            bHandled = true;
            return 42;
        }
        ++m_nOther;
        return 0;
    }
    int m_nOther = 0;
};

TEST(Filters, AHandlingFilterDecidesTheResult)
{
    PaintManagerWindow host;
    CountingFilter filter;
    EXPECT_TRUE(host.Manager()->AddMessageFilter(&filter));
    LRESULT lRes = 0;
    EXPECT_TRUE(host.Manager()->MessageHandler(WM_USER + 5, 0, 0, lRes));
    EXPECT_EQ(lRes, 42);
    EXPECT_FALSE(host.Manager()->MessageHandler(WM_USER + 6, 0, 0, lRes));
    EXPECT_EQ(filter.m_nOther, 1);
    EXPECT_TRUE(host.Manager()->RemoveMessageFilter(&filter));
    EXPECT_FALSE(host.Manager()->RemoveMessageFilter(&filter));
    EXPECT_FALSE(host.Manager()->MessageHandler(WM_USER + 5, 0, 0, lRes));
}

TEST(Filters, MinMaxInfoTakesOnlyTheLimitsThatAreSet)
{
    PaintManagerWindow host;
    host.Manager()->SetMinInfo(300, 0);
    host.Manager()->SetMaxInfo(0, 700);
    MINMAXINFO info = {};
    info.ptMinTrackSize = {1, 2};
    info.ptMaxTrackSize = {3, 4};
    info.ptMaxSize = {5, 6};
    LRESULT lRes = 0;
    EXPECT_FALSE(host.Manager()->MessageHandler(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), lRes));
    EXPECT_EQ(info.ptMinTrackSize.x, 300);
    EXPECT_EQ(info.ptMinTrackSize.y, 2);
    EXPECT_EQ(info.ptMaxTrackSize.x, 3);
    EXPECT_EQ(info.ptMaxTrackSize.y, 700);
    EXPECT_EQ(info.ptMaxSize.x, 5);
    EXPECT_EQ(info.ptMaxSize.y, 700);
}

// ---- Dragging a control to another window -------------------------------

// Both windows sit on top, in the screen's bottom right corner, where the
// windows other test programs of the prefix show (at the origin or
// centred) do not reach; the input there is meant for them alone.
const POINT kSourceAt = {820, 600};
const POINT kTargetAt = {820, 690};

void ShowOnTop(HWND hWnd, POINT at)
{
    ::SetWindowPos(hWnd, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// The receiving window: a paint manager that notes what each drop brought,
// and the picture's size in the metafile the drag offers besides.
class CDropRecorder : public CPaintManagerUI
{
public:
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                        DWORD* pdwEffect) override
    {
        FORMATETC fmt = {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
        STGMEDIUM medium = {};
        if (pDataObj != nullptr && pDataObj->GetData(&fmt, &medium) == S_OK) {
            ENHMETAHEADER header = {};
            if (::GetEnhMetaFileHeader(medium.hEnhMetaFile, sizeof(header), &header) != 0) {
                m_szMetafile = {header.rclBounds.right - header.rclBounds.left + 1,
                                header.rclBounds.bottom - header.rclBounds.top + 1};
            }
            ::ReleaseStgMedium(&medium);
        }
        return CPaintManagerUI::DragEnter(pDataObj, grfKeyState, pt, pdwEffect);
    }
    bool OnDrop(FORMATETC* pFmtEtc, STGMEDIUM& medium, DWORD* pdwEffect) override
    {
        ++m_nDrops;
        m_cfFormat = pFmtEtc->cfFormat;
        BITMAP bm = {};
        if (pFmtEtc->tymed == TYMED_GDI && ::GetObjectW(medium.hBitmap, sizeof(bm), &bm) != 0) {
            m_szBitmap = {bm.bmWidth, bm.bmHeight};
            HDC hDC = ::CreateCompatibleDC(nullptr);
            HGDIOBJ hOld = ::SelectObject(hDC, medium.hBitmap);
            m_crCentre = ::GetPixel(hDC, bm.bmWidth / 2, bm.bmHeight / 2);
            ::SelectObject(hDC, hOld);
            ::DeleteDC(hDC);
        }
        return CPaintManagerUI::OnDrop(pFmtEtc, medium, pdwEffect);
    }
    int m_nDrops = 0;
    CLIPFORMAT m_cfFormat = 0;
    SIZE m_szBitmap = {0, 0};
    COLORREF m_crCentre = CLR_INVALID;
    SIZE m_szMetafile = {0, 0};
};

class CDropHost : public CWindowWnd
{
public:
    CDropHost()
    {
        Create(nullptr, L"SkinUI drop host", WS_POPUP, 0, kTargetAt.x, kTargetAt.y, 150, 70);
        m_pm.Init(GetHWND(), L"drop");
        m_pm.AttachDialog(new CContainerUI);
        ShowOnTop(GetHWND(), kTargetAt);
    }
    ~CDropHost()
    {
        if (::IsWindow(GetHWND())) ::DestroyWindow(GetHWND());
    }
    CDropRecorder m_pm;

protected:
    LPCTSTR GetWindowClassName() const override { return L"SkinUIDropHost"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT lRes = 0;
        if (m_pm.MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
};

// Real mouse input at a screen point, through the system's input queue.
void Mouse(int x, int y, DWORD dwButton = 0)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = (x * 65536 + cx - 1) / cx;
    in.mi.dy = (y * 65536 + cy - 1) / cy;
    in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | dwButton;
    ::SendInput(1, &in, sizeof(in));
}

// The rest of the gesture, one step per tick of a thread timer: over the
// drop window, then the button up there. OLE's drag loop dispatches the
// ticks, and a tick comes only once the input before it has been read. A
// drag that somehow goes on is ended with Escape.
int g_nDragStep = 0;

void CALLBACK DragStep(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_nDragStep;
    if (g_nDragStep == 1) Mouse(kTargetAt.x + 75, kTargetAt.y + 35);
    if (g_nDragStep == 2) Mouse(kTargetAt.x + 75, kTargetAt.y + 35, MOUSEEVENTF_LEFTUP);
    if (g_nDragStep > 50) {
        INPUT key[2] = {};
        key[0].type = key[1].type = INPUT_KEYBOARD;
        key[0].ki.wVk = key[1].ki.wVk = VK_ESCAPE;
        key[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, key, sizeof(INPUT));
    }
}

// Button down on a control and a move with the button held: a drag-enabled
// control starts an OLE drag that offers its picture, which the other window
// of this process receives as a bitmap when the button comes up over it. A
// control without drag does not.
TEST(DragSource, ADragEnabledControlIsDroppedOnAnotherWindowAsItsPicture)
{
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    for (bool bDrag : {true, false}) {
        SCOPED_TRACE(bDrag ? "drag enabled" : "drag not enabled");
        {
            std::vector<std::wstring> log;
            PaintManagerWindow source(150, 80);
            CContainerUI* pRoot = source.AttachContainer();
            CDropHost target;
            CRecorderUI* tile = AddRecorder(pRoot, &log, L"tile", RECT{10, 10, 110, 60});
            tile->SetBkColor(0xFFFF0000);
            tile->SetDragEnable(bDrag);
            ShowOnTop(source.Handle(), kSourceAt);
            source.Paint();

            const POINT tileCentre = {kSourceAt.x + 60, kSourceAt.y + 35};
            Mouse(tileCentre.x, tileCentre.y);
            source.Pump();
            Mouse(tileCentre.x, tileCentre.y, MOUSEEVENTF_LEFTDOWN);
            source.Pump();
            g_nDragStep = 0;
            const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, DragStep);
            Mouse(tileCentre.x + 10, tileCentre.y);
            // With drag, the move runs the whole drag before it returns;
            // without, the ticks come here.
            MSG msg;
            while (g_nDragStep < 3 && ::GetMessageW(&msg, nullptr, 0, 0)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            ::KillTimer(nullptr, timer);
            source.Pump();

            EXPECT_EQ(target.m_pm.m_nDrops, bDrag ? 1 : 0);
            if (bDrag) {
                EXPECT_EQ(target.m_pm.m_cfFormat, CF_BITMAP);
                EXPECT_EQ(target.m_pm.m_szBitmap.cx, 100);
                EXPECT_EQ(target.m_pm.m_szBitmap.cy, 50);
                EXPECT_EQ(target.m_pm.m_crCentre, RGB(255, 0, 0));
                EXPECT_EQ(target.m_pm.m_szMetafile.cx, 100);
                EXPECT_EQ(target.m_pm.m_szMetafile.cy, 50);
            }
            Mouse(0, 0);
            source.Pump();
        }
    }
    ::OleUninitialize();
}

}  // namespace
}  // namespace WindowTest
