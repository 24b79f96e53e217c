// The WM_PAINT pass on real windows: first layout and its notifications,
// layered alpha repair, repaint requests made while painting, invalidation.
#include "tests/window/Recorder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace WindowTest {
namespace {

int Count(const std::vector<std::wstring>& v, LPCTSTR what)
{
    return static_cast<int>(std::count(v.begin(), v.end(), std::wstring(what)));
}

// Paints a GDI rectangle (alpha left at 0) and optionally asks for one more
// layout from inside its paint.
class CGdiPainterUI : public CControlUI
{
public:
    void DoPaint(HDC hDC, const RECT& rcPaint) override
    {
        ++m_nPaints;
        RECT rc = GetPos();
        HBRUSH hBrush = ::CreateSolidBrush(RGB(0x20, 0x40, 0x60));
        ::FillRect(hDC, &rc, hBrush);
        ::DeleteObject(hBrush);
        if (m_bAskOnce) {
            m_bAskOnce = false;
            NeedUpdate();
        }
        CControlUI::DoPaint(hDC, rcPaint);
    }
    int m_nPaints = 0;
    bool m_bAskOnce = false;
};

CGdiPainterUI* AddPainter(CContainerUI* pParent, LPCTSTR pos)
{
    CGdiPainterUI* p = new CGdiPainterUI;
    p->SetAttribute(L"float", L"true");
    p->SetAttribute(L"pos", pos);
    pParent->Add(p);
    return p;
}

// A painter at pos in a container root, on the window shown and painted once.
CGdiPainterUI* ShowPainter(PaintManagerWindow& host, LPCTSTR pos)
{
    CGdiPainterUI* p = AddPainter(host.AttachContainer(), pos);
    ::ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    host.Paint();
    return p;
}

TEST(Painting, FirstPaintLaysOutAndSendsWindowInitOnceThenQueuesWindowSize)
{
    PaintManagerWindow host(300, 200);
    CGdiPainterUI* p = ShowPainter(host, L"10,20,60,50");

    RECT rcRoot = host.Manager()->GetRoot()->GetPos();
    EXPECT_EQ(rcRoot.right - rcRoot.left, 300);
    EXPECT_EQ(rcRoot.bottom - rcRoot.top, 200);
    RECT rc = p->GetPos();
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.top, 20);
    EXPECT_EQ(rc.right, 60);
    EXPECT_EQ(rc.bottom, 50);
    EXPECT_EQ(Count(host.Notifications(), L"windowinit"), 1);
    // "windowsize" is queued, not delivered inside the paint.
    EXPECT_EQ(Count(host.Notifications(), L"windowsize"), 0);
    host.Pump();
    EXPECT_EQ(Count(host.Notifications(), L"windowsize"), 1);

    host.Paint();
    host.Pump();
    EXPECT_EQ(Count(host.Notifications(), L"windowinit"), 1);
    // No new layout, so no new size notification.
    EXPECT_EQ(Count(host.Notifications(), L"windowsize"), 1);

    // A size change lays the whole tree out again.
    ::SetWindowPos(host.Handle(), nullptr, 0, 0, 320, 220, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    host.Paint();
    host.Pump();
    EXPECT_EQ(Count(host.Notifications(), L"windowinit"), 1);
    EXPECT_EQ(Count(host.Notifications(), L"windowsize"), 2);
    EXPECT_EQ(host.Manager()->GetOffscreenSize().cx, 320);
}

TEST(Painting, LayeredWindowKeepsUntouchedPixelsTransparentAndRepairsGdiPixels)
{
    PaintManagerWindow host(200, 100, true);
    ASSERT_TRUE(host.Manager()->IsLayered());
    ShowPainter(host, L"10,10,50,40");
    ASSERT_NE(host.Manager()->GetOffscreenBits(), nullptr);

    EXPECT_NE(::GetWindowLongW(host.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_EQ(host.PaintedPixel(20, 20), 0xFF204060u);  // GDI fill made opaque
    EXPECT_EQ(host.PaintedPixel(100, 80), 0u);          // nothing painted
    EXPECT_EQ(host.PaintedPixel(9, 9), 0u);
    EXPECT_EQ(host.PaintedPixel(50, 40), 0u);  // right/bottom exclusive
}

TEST(Painting, OrdinaryWindowPaintsWithoutTouchingAlpha)
{
    PaintManagerWindow host(200, 100);
    ShowPainter(host, L"10,10,50,40");
    EXPECT_EQ(host.PaintedPixel(20, 20), 0x00204060u);
}

TEST(Painting, ALayoutRequestDuringPaintingCausesExactlyOneMoreFullPaint)
{
    PaintManagerWindow host(200, 100);
    CGdiPainterUI* p = ShowPainter(host, L"10,10,50,40");
    host.Pump();
    p->m_nPaints = 0;
    p->m_bAskOnce = true;
    host.Paint();
    host.Pump();
    EXPECT_EQ(p->m_nPaints, 2);
    EXPECT_FALSE(host.Manager()->IsPainting());
}

TEST(Painting, InvalidateCorrectsTheCallersRectangle)
{
    PaintManagerWindow host(200, 100);
    struct Case
    {
        RECT in;
        RECT out;
    } cases[] = {
        {{-5, -7, 20, 30}, {0, 0, 20, 30}},  {{-5, -7, -1, 3}, {0, 0, 0, 3}},  // right below the new left
        {{10, 10, 5, 20}, {10, 10, 10, 20}},                                   // right below left: empty
        {{10, 10, 20, 5}, {10, 10, 20, 10}},                                   // bottom below top: empty
        {{1, 2, 3, 4}, {1, 2, 3, 4}},
    };
    for (Case& c : cases) {
        RECT rc = c.in;
        host.Manager()->Invalidate(rc);
        EXPECT_TRUE(::EqualRect(&rc, &c.out))
            << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
    }
}

TEST(Painting, WithoutARootTheWindowIsValidatedAndLeftUnpainted)
{
    PaintManagerWindow host(50, 50);
    ::ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    ::InvalidateRect(host.Handle(), nullptr, FALSE);
    LRESULT lRes = 0;
    EXPECT_TRUE(host.Manager()->MessageHandler(WM_PAINT, 0, 0, lRes));
    RECT rc;
    EXPECT_FALSE(::GetUpdateRect(host.Handle(), &rc, FALSE));
    EXPECT_EQ(host.Manager()->GetOffscreenBits(), nullptr);
}

// A maximised window keeps its size when the DPI changes, so no WM_SIZE asks
// for a layout: SetDPI itself must, or the controls keep their old places.
TEST(Painting, ADpiChangeLaysAMaximisedWindowOutAgain)
{
    PaintManagerWindow host(300, 200);
    CContainerUI* pRoot = host.AttachContainer();
    CGdiPainterUI* p = AddPainter(pRoot, L"10,20,60,50");
    ::ShowWindow(host.Handle(), SW_MAXIMIZE);
    host.Pump();
    host.Paint();
    ASSERT_TRUE(::IsZoomed(host.Handle()));
    EXPECT_EQ(p->GetPos().right, 60);

    host.Manager()->SetDPI(144);
    host.Pump();
    host.Paint();
    const RECT rc = p->GetPos();
    EXPECT_EQ(rc.left, 15);
    EXPECT_EQ(rc.top, 30);
    EXPECT_EQ(rc.right, 90);
    EXPECT_EQ(rc.bottom, 75);
    // The shared fonts were rebuilt at this window's scale; back to 100 %.
    host.Manager()->SetDPI(96);
}

// Reloaded images are drawn at the next paint: the window is invalidated.
TEST(Painting, ReloadImagesInvalidatesTheWindow)
{
    PaintManagerWindow host(300, 200);
    ShowPainter(host, L"10,20,60,50");
    host.Pump();
    RECT rc = {0, 0, 0, 0};
    ASSERT_FALSE(::GetUpdateRect(host.Handle(), &rc, FALSE));
    host.Manager()->ReloadImages();
    EXPECT_TRUE(::GetUpdateRect(host.Handle(), &rc, FALSE));
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 200);
}

TEST(Painting, SetLayeredIsIgnoredForChildWindows)
{
    PaintManagerWindow host(200, 100);
    CPaintManagerUI pm;
    HWND hChild = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 50, 50, host.Handle(), nullptr,
                                    nullptr, nullptr);
    pm.Init(hChild);
    pm.SetLayered(true);
    EXPECT_FALSE(pm.IsLayered());
    ::DestroyWindow(hChild);
}

}  // namespace
}  // namespace WindowTest
