// The window base on real windows: skin given as XML text, caption and
// sizing hit tests, the round region, the window buttons, Alt+F4, float
// controls shown after the first layout, and a DPI change.
#include "skinui/core/WindowImplBase.h"

#include "skinui/control/Control.h"
#include "skinui/core/Shadow.h"
#include "skinui/render/DPI.h"
#include "tests/support/ControlTree.h"
#include "tests/support/PaintManagerWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

using namespace SkinUI;
using TestSupport::LogFontOf;

// The launcher's header: logo, title text and close button, plus a hidden
// tile in the body row and a min button, over a 536x355 window.
std::wstring Skin(const wchar_t* sizebox)
{
    std::wstring xml = L"<Window size=\"536,355\" caption=\"0,0,100,30\" roundcorner=\"5,5\"";
    xml += sizebox;
    xml += L"><VerticalLayout><VerticalLayout float=\"true\" pos=\"0,0,0,0\" width=\"536\" height=\"355\">"
           L"<HorizontalLayout width=\"535\" height=\"50\">"
           L"<Label name=\"logo\" float=\"true\" pos=\"5,5,0,0\" width=\"30\" height=\"30\"/>"
           L"<Label float=\"true\" pos=\"50,10,0,0\" width=\"120\" height=\"20\" text=\"Vozeror\"/>"
           L"<Button name=\"minbtn\" float=\"true\" pos=\"460,5,0,0\" width=\"30\" height=\"30\"/>"
           L"<Button name=\"closebtn\" float=\"true\" pos=\"500,5,0,0\" width=\"30\" height=\"30\"/>"
           L"</HorizontalLayout>"
           L"<HorizontalLayout width=\"535\" height=\"255\">"
           L"<Button name=\"late\" float=\"true\" pos=\"92,75,0,0\" width=\"158\" height=\"178\" "
           L"visible=\"false\"/>"
           L"</HorizontalLayout>"
           L"</VerticalLayout></VerticalLayout></Window>";
    return xml;
}

class CSkinnedWnd : public WindowImplBase
{
public:
    explicit CSkinnedWnd(const std::wstring& skin) : m_skin(skin) {}

    LPCTSTR GetWindowClassName() const override { return L"SkinUIWindowBaseTest"; }
    CUIString GetSkinFile() override { return CUIString(m_skin.c_str()); }
    void InitWindow() override { ++m_nInitWindow; }
    void OnFinalMessage(HWND hWnd) override
    {
        WindowImplBase::OnFinalMessage(hWnd);
        ++m_nFinalMessages;
    }

    void Pump()
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    void PaintNow()
    {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        ::UpdateWindow(m_hWnd);
        Pump();
    }
    LRESULT HitTest(int x, int y)
    {
        POINT pt = {x, y};
        ::ClientToScreen(m_hWnd, &pt);
        return SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    }
    void Click(LPCTSTR name)
    {
        TNotifyUI msg = {};
        msg.type = L"click";
        msg.sender = m_Manager.FindControl(name);
        Notify(msg);
    }

    int m_nInitWindow = 0;
    int m_nFinalMessages = 0;

private:
    std::wstring m_skin;
};

HWND Open(CSkinnedWnd& wnd)
{
    HWND hWnd = wnd.Create(nullptr, L"window base test", WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0, 0, 0, 536, 355);
    if (hWnd != nullptr) wnd.PaintNow();
    return hWnd;
}

TEST(WindowImplBase, CreationRemovesTheCaptionAndBuildsTheSkin)
{
    CSkinnedWnd wnd(Skin(L""));
    ASSERT_NE((HWND) nullptr, Open(wnd));
    EXPECT_EQ(1, wnd.m_nInitWindow);
    LONG style = ::GetWindowLongW(wnd.GetHWND(), GWL_STYLE);
    EXPECT_EQ(0, style & WS_CAPTION);
    EXPECT_NE(0, style & WS_CLIPCHILDREN);
    EXPECT_NE(0, style & WS_CLIPSIBLINGS);
    RECT rc = {};
    ::GetClientRect(wnd.GetHWND(), &rc);
    EXPECT_EQ(536, rc.right);
    EXPECT_EQ(355, rc.bottom);
    EXPECT_NE((CControlUI*)nullptr, wnd.GetManager().FindControl(L"closebtn"));
    EXPECT_EQ((LONG)CS_DBLCLKS, (LONG)::GetClassLongW(wnd.GetHWND(), GCL_STYLE));
    ::DestroyWindow(wnd.GetHWND());
    EXPECT_EQ(1, wnd.m_nFinalMessages);
}

// Only static classes inside the caption rectangle (x < 536 - 100, y < 30)
// drag; buttons never do, nor does anything at y 30 or more.
TEST(WindowImplBase, CaptionHitTestTable)
{
    CSkinnedWnd wnd(Skin(L""));
    ASSERT_NE((HWND) nullptr, Open(wnd));
    const std::tuple<const char*, int, int, LRESULT> cases[] = {
        {"logo label", 20, 20, HTCAPTION},
        {"title text", 60, 20, HTCAPTION},
        {"header layout", 300, 12, HTCAPTION},
        {"caption's top-left pixel", 0, 0, HTCAPTION},
        {"last caption column", 435, 12, HTCAPTION},
        {"first column past the caption", 436, 12, HTCLIENT},
        {"min button inside the caption", 470, 20, HTCLIENT},
        {"close button", 515, 20, HTCLIENT},
        {"header below the caption", 300, 30, HTCLIENT},
        {"body", 20, 200, HTCLIENT},
    };
    for (const auto& [what, x, y, expected] : cases) {
        EXPECT_EQ(expected, wnd.HitTest(x, y)) << what;
    }
    ::DestroyWindow(wnd.GetHWND());
}

TEST(WindowImplBase, SizeBoxHitTestTable)
{
    CSkinnedWnd wnd(Skin(L" sizebox=\"4,4,6,6\""));
    ASSERT_NE((HWND) nullptr, Open(wnd));
    const std::tuple<int, int, LRESULT> cases[] = {
        {0, 0, HTTOPLEFT},         {200, 1, HTTOP},      {535, 3, HTTOPRIGHT},   {1, 200, HTLEFT},
        {531, 200, HTRIGHT},       {529, 200, HTCLIENT}, {2, 354, HTBOTTOMLEFT}, {200, 350, HTBOTTOM},
        {535, 354, HTBOTTOMRIGHT}, {60, 20, HTCAPTION},
    };
    for (const auto& [x, y, expected] : cases) {
        EXPECT_EQ(expected, wnd.HitTest(x, y)) << x << "," << y;
    }
    ::DestroyWindow(wnd.GetHWND());
}

// The region is made one pixel wider and taller than the window, so that
// after the round-rectangle's exclusive edges it still covers the last
// column and row; 5x5 corner ellipses cut the corners.
TEST(WindowImplBase, SizeGivesTheRoundRegion)
{
    CSkinnedWnd wnd(Skin(L""));
    ASSERT_NE((HWND) nullptr, Open(wnd));
    ::SetWindowPos(wnd.GetHWND(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, ::GetWindowRgn(wnd.GetHWND(), hRgn));
    RECT box = {};
    ::GetRgnBox(hRgn, &box);
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(0, box.top);
    EXPECT_GE(box.right, 300);
    EXPECT_GE(box.bottom, 200);
    EXPECT_FALSE(::PtInRegion(hRgn, 0, 0));
    EXPECT_TRUE(::PtInRegion(hRgn, 3, 3));
    EXPECT_TRUE(::PtInRegion(hRgn, 150, 0));
    EXPECT_TRUE(::PtInRegion(hRgn, 299, 100));
    EXPECT_TRUE(::PtInRegion(hRgn, 150, 199));
    EXPECT_FALSE(::PtInRegion(hRgn, 299, 0));
    ::DeleteObject(hRgn);
    ::DestroyWindow(wnd.GetHWND());
}

// "closebtn" closes through WM_CLOSE and Alt+F4 likewise; a click from no
// control or from another name changes nothing.
TEST(WindowImplBase, CloseButtonAndAltF4CloseTheWindow)
{
    // action: 0 click closebtn, 1 SC_CLOSE, 2 click on no control, 3 click "logo"
    const std::tuple<const char*, int, bool> cases[] = {
        {"close button", 0, true},
        {"Alt+F4", 1, true},
        {"queued click of a destroyed control", 2, false},
        {"click of another control", 3, false},
    };
    for (const auto& [what, action, closes] : cases) {
        CSkinnedWnd wnd(Skin(L""));
        ASSERT_NE((HWND) nullptr, Open(wnd)) << what;
        HWND hWnd = wnd.GetHWND();
        if (action == 0) wnd.Click(L"closebtn");
        if (action == 1) wnd.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        if (action == 2) wnd.Click(L"no such control");
        if (action == 3) wnd.Click(L"logo");
        wnd.Pump();
        EXPECT_EQ(closes, !::IsWindow(hWnd)) << what;
        EXPECT_EQ(closes ? 1 : 0, wnd.m_nFinalMessages) << what;
        if (::IsWindow(hWnd)) ::DestroyWindow(hWnd);
    }
}

// A float control made visible after the first layout is placed inside its
// row (body row at y 50), not at the window's origin.
TEST(WindowImplBase, FloatShownLaterLandsInItsRow)
{
    CSkinnedWnd wnd(Skin(L""));
    ASSERT_NE((HWND) nullptr, Open(wnd));
    CControlUI* pLate = wnd.GetManager().FindControl(L"late");
    ASSERT_NE((CControlUI*)nullptr, pLate);
    pLate->SetVisible(true);
    wnd.PaintNow();
    EXPECT_EQ(L"92,125,250,303", TestSupport::Rect(pLate->GetPos()));
    ::DestroyWindow(wnd.GetHWND());
}

// A move to a 150 % monitor: the window takes the suggested rectangle, the
// fonts and images are made again at the scale, and the skin's window-level
// values (caption, size box, corners, minimum size, the shadow's size and
// offset) scale with it; back at 96 DPI they are the skin's again.
TEST(WindowImplBase, DpiChangeTakesTheSuggestedRectangleAndScalesTheWindowValues)
{
    CSkinnedWnd wnd(Skin(L" sizebox=\"4,4,6,6\" mininfo=\"300,200\" showshadow=\"true\" shadowsize=\"3\" "
                         L"shadowposition=\"1,1\""));
    ASSERT_NE((HWND) nullptr, Open(wnd));
    CPaintManagerUI& pm = wnd.GetManager();
    HBITMAP hBitmap = ::CreateBitmap(2, 2, 1, 32, nullptr);
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), pm.AddImage(L"img", hBitmap, 2, 2, false));
    const int fontSize = pm.GetDefaultFontInfo()->iSize;

    RECT suggested = {40, 30, 40 + 804, 30 + 533};
    wnd.SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    wnd.PaintNow();
    EXPECT_EQ(150u, pm.GetDPIObj()->GetScale());
    RECT rc = {};
    ::GetWindowRect(wnd.GetHWND(), &rc);
    EXPECT_TRUE(::EqualRect(&rc, &suggested))
        << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
    EXPECT_EQ(-::MulDiv(fontSize, 150, 100), LogFontOf(pm.GetDefaultFontInfo()->hFont).lfHeight);
    EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), pm.GetImage(L"img"));
    EXPECT_EQ(0u, ::GetObjectType(hBitmap));
    // The close button's row laid out at the scale.
    RECT rcClose = pm.FindControl(L"closebtn")->GetPos();
    EXPECT_EQ(750, rcClose.left);
    EXPECT_EQ(795, rcClose.right);

    // Caption x < 804 - 150 and y < 45; size box 6 left, 9 right.
    const std::tuple<int, int, LRESULT> cases[] = {
        {90, 30, HTCAPTION}, {653, 18, HTCAPTION}, {654, 18, HTCLIENT}, {450, 44, HTCAPTION},
        {450, 45, HTCLIENT}, {772, 30, HTCLIENT},  {5, 200, HTLEFT},    {6, 200, HTCLIENT},
        {796, 200, HTRIGHT}, {795, 200, HTCLIENT},
    };
    for (const auto& [x, y, expected] : cases) EXPECT_EQ(expected, wnd.HitTest(x, y)) << x << "," << y;

    // Corners of 8 by 8: the top row starts further in than with 5 by 5.
    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, ::GetWindowRgn(wnd.GetHWND(), hRgn));
    HRGN hUnscaled = ::CreateRoundRectRgn(0, 0, 805, 534, 5, 5);
    int first = 0, firstUnscaled = 0;
    while (first < 20 && !::PtInRegion(hRgn, first, 0)) ++first;
    while (firstUnscaled < 20 && !::PtInRegion(hUnscaled, firstUnscaled, 0)) ++firstUnscaled;
    EXPECT_GT(first, firstUnscaled);
    EXPECT_LT(first, 20);
    ::DeleteObject(hUnscaled);
    ::DeleteObject(hRgn);

    MINMAXINFO info = {};
    wnd.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(450, info.ptMinTrackSize.x);
    EXPECT_EQ(300, info.ptMinTrackSize.y);

    // Shadow of size 5 at offset (2, 2) around the window.
    RECT rcShadow = {};
    ASSERT_TRUE(::GetWindowRect(pm.GetShadow()->GetHWND(), &rcShadow));
    EXPECT_EQ(40 - 5 + 2, rcShadow.left);
    EXPECT_EQ(30 - 5 + 2, rcShadow.top);
    EXPECT_EQ(814, rcShadow.right - rcShadow.left);
    EXPECT_EQ(543, rcShadow.bottom - rcShadow.top);

    RECT back = {40, 30, 40 + 536, 30 + 355};
    wnd.SendMessage(WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
    wnd.PaintNow();
    EXPECT_EQ(HTCAPTION, wnd.HitTest(435, 12));
    EXPECT_EQ(HTCLIENT, wnd.HitTest(436, 12));
    EXPECT_EQ(-fontSize, LogFontOf(pm.GetDefaultFontInfo()->hFont).lfHeight);
    ASSERT_TRUE(::GetWindowRect(pm.GetShadow()->GetHWND(), &rcShadow));
    EXPECT_EQ(542, rcShadow.right - rcShadow.left);
    ::DestroyWindow(wnd.GetHWND());
}

// Each scale change rebuilds the shadow once, at its new size, whether the
// window grows, shrinks or keeps its size.
TEST(WindowImplBase, EachDpiChangeDrawsTheShadowOnce)
{
    CSkinnedWnd wnd(Skin(L" showshadow=\"true\" shadowsize=\"3\""));
    ASSERT_NE((HWND) nullptr, Open(wnd));
    const CShadowUI* pShadow = wnd.GetManager().GetShadow();
    ASSERT_NE((HWND) nullptr, pShadow->GetHWND());
    const struct
    {
        const char* name;
        int dpi;
        int width, height;
        int shadowWidth;
    } changes[] = {
        {"rise", 144, 804, 533, 814},
        {"fall", 96, 536, 355, 542},
        {"rise, size kept", 144, 536, 355, 546},
        {"fall, size kept", 96, 536, 355, 542},
    };
    for (const auto& c : changes) {
        const unsigned before = pShadow->GetPresentCount();
        RECT suggested = {40, 30, 40 + c.width, 30 + c.height};
        wnd.SendMessage(WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&suggested));
        wnd.PaintNow();
        EXPECT_EQ(before + 1, pShadow->GetPresentCount()) << c.name;
        RECT rcShadow = {};
        ASSERT_TRUE(::GetWindowRect(pShadow->GetHWND(), &rcShadow));
        EXPECT_EQ(c.shadowWidth, rcShadow.right - rcShadow.left) << c.name;
    }
    ::DestroyWindow(wnd.GetHWND());
}

TEST(WindowImplBase, EscapeIsTheDefaultKeyReturnIsNot)
{
    CSkinnedWnd wnd(Skin(L""));
    const std::tuple<WPARAM, LRESULT> cases[] = {{VK_ESCAPE, TRUE}, {VK_RETURN, FALSE}, {VK_SPACE, FALSE}};
    for (const auto& [key, expected] : cases) {
        bool handled = false;
        EXPECT_EQ(expected, wnd.MessageHandler(WM_KEYDOWN, key, 0, handled)) << key;
        EXPECT_FALSE(handled);
    }
    bool handled = false;
    EXPECT_EQ(FALSE, wnd.MessageHandler(WM_KEYUP, VK_ESCAPE, 0, handled));
}

}  // namespace
