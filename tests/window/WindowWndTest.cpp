// The native window wrapper on real windows: class registration, the object
// binding and its last message, centring, subclassing, the message loop.
#include "skinui/core/PaintManager.h"
#include "skinui/core/WindowWnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace SkinUI;

class CLoggingWnd : public CWindowWnd
{
public:
    std::vector<UINT> m_messages;
    std::vector<std::string> m_calls;
    HWND m_hFinal = nullptr;
    bool m_bThrowOnUser = false;

protected:
    LPCTSTR GetWindowClassName() const override { return L"SkinUITestLoggingWnd"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        m_messages.push_back(uMsg);
        if (uMsg == WM_USER + 1 && m_bThrowOnUser) throw "HandleMessage";
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
    void OnFinalMessage(HWND hWnd) override
    {
        m_calls.push_back("final");
        m_hFinal = hWnd;
    }
};

TEST(WindowWnd, RegisteringTheSameClassTwiceSucceeds)
{
    CLoggingWnd a;
    EXPECT_TRUE(a.RegisterWindowClass());
    EXPECT_TRUE(a.RegisterWindowClass());
}

TEST(WindowWnd, CreateBindsTheObjectAndFinalMessageIsTheLastCall)
{
    CLoggingWnd wnd;
    HWND hwnd = wnd.Create(nullptr, L"logging", WS_POPUP, 0, 10, 20, 200, 100);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(wnd.GetHWND(), hwnd);
    EXPECT_EQ(static_cast<HWND>(wnd), hwnd);
    ASSERT_FALSE(wnd.m_messages.empty());
    EXPECT_EQ(wnd.m_messages.front(), static_cast<UINT>(WM_NCCREATE));

    ::DestroyWindow(hwnd);
    EXPECT_EQ(wnd.GetHWND(), nullptr);
    EXPECT_EQ(wnd.m_hFinal, hwnd);
    ASSERT_EQ(wnd.m_calls.size(), 1u);
    EXPECT_EQ(wnd.m_messages.back(), static_cast<UINT>(WM_DESTROY));

    // Operations on the destroyed window do nothing.
    wnd.Close();
    wnd.ShowWindow(true);
    wnd.Unsubclass();
    EXPECT_EQ(wnd.GetHWND(), nullptr);
}

TEST(WindowWnd, CenterWindowUsesTheWorkAreaAndKeepsTheWindowInside)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    POINT origin = {0, 0};
    ::GetMonitorInfoW(::MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT work = info.rcWork;
    const int workW = work.right - work.left;
    const int workH = work.bottom - work.top;

    struct Case
    {
        int cx, cy;
    } cases[] = {{536, 355}, {101, 51}, {workW + 40, workH + 30}};
    for (const Case& c : cases) {
        CLoggingWnd wnd;
        ASSERT_NE(wnd.Create(nullptr, L"centre", WS_POPUP, 0, 0, 0, c.cx, c.cy), nullptr);
        wnd.CenterWindow();
        RECT rc;
        ::GetWindowRect(wnd.GetHWND(), &rc);
        int x = (work.left + work.right) / 2 - c.cx / 2;
        int y = (work.top + work.bottom) / 2 - c.cy / 2;
        if (x < work.left)
            x = work.left;
        else if (x + c.cx > work.right)
            x = work.right - c.cx;
        if (y < work.top)
            y = work.top;
        else if (y + c.cy > work.bottom)
            y = work.bottom - c.cy;
        EXPECT_EQ(rc.left, x) << c.cx;
        EXPECT_EQ(rc.top, y) << c.cy;
        if (c.cx > workW) {
            EXPECT_EQ(rc.left, work.left);
            EXPECT_EQ(rc.top, work.top);
        }
        EXPECT_EQ(rc.right - rc.left, c.cx);
        ::DestroyWindow(wnd.GetHWND());
    }
}

TEST(WindowWnd, SubclassRoutesAnExistingWindowAndUnsubclassRestoresIt)
{
    HWND hwnd =
        ::CreateWindowExW(0, L"STATIC", L"text", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    const LONG_PTR original = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
    CLoggingWnd wnd;
    ASSERT_EQ(wnd.Subclass(hwnd), hwnd);
    ::SendMessageW(hwnd, WM_USER + 7, 0, 0);
    ASSERT_FALSE(wnd.m_messages.empty());
    EXPECT_EQ(wnd.m_messages.back(), static_cast<UINT>(WM_USER + 7));
    // The static control still does its own work behind the wrapper.
    WCHAR text[16] = {};
    ::GetWindowTextW(hwnd, text, 16);
    EXPECT_STREQ(text, L"text");

    wnd.Unsubclass();
    EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC), original);
    const size_t before = wnd.m_messages.size();
    ::SendMessageW(hwnd, WM_USER + 8, 0, 0);
    EXPECT_EQ(wnd.m_messages.size(), before);
    ::DestroyWindow(hwnd);
}

TEST(WindowWnd, ResizeClientGivesTheClientAreaTheAskedSize)
{
    CLoggingWnd wnd;
    ASSERT_NE(wnd.Create(nullptr, L"resize", WS_OVERLAPPEDWINDOW, 0, 0, 0, 300, 300), nullptr);
    wnd.ResizeClient(200, -1);
    RECT rc;
    ::GetClientRect(wnd.GetHWND(), &rc);
    EXPECT_EQ(rc.right, 200);
    wnd.ResizeClient(-1, 120);
    ::GetClientRect(wnd.GetHWND(), &rc);
    EXPECT_EQ(rc.right, 200);
    EXPECT_EQ(rc.bottom, 120);
    ::DestroyWindow(wnd.GetHWND());
}

TEST(WindowWnd, CloseClosesThroughTheQueueAndShowModalReturnsItsCode)
{
    CLoggingWnd wnd;
    ASSERT_NE(wnd.Create(nullptr, L"modal", WS_POPUP, 0, 0, 0, 50, 50), nullptr);
    wnd.Close(IDCANCEL);
    EXPECT_EQ(wnd.ShowModal(), static_cast<UINT>(IDCANCEL));
    EXPECT_EQ(wnd.GetHWND(), nullptr);
}

TEST(MessageLoop, AnExceptionLeavingAWindowProcedureDoesNotEndTheLoop)
{
    CLoggingWnd wnd;
    wnd.m_bThrowOnUser = true;
    ASSERT_NE(wnd.Create(nullptr, L"thrower", WS_POPUP, 0, 0, 0, 50, 50), nullptr);
    wnd.PostMessage(WM_USER + 1);
    wnd.PostMessage(WM_USER + 2);
    ::PostQuitMessage(0);
    CPaintManagerUI::MessageLoop();
    ASSERT_GE(wnd.m_messages.size(), 2u);
    EXPECT_EQ(wnd.m_messages.back(), static_cast<UINT>(WM_USER + 2));
    ::DestroyWindow(wnd.GetHWND());
}

}  // namespace
