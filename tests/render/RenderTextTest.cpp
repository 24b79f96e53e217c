#include "skinui/render/RenderEngine.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/DibPixels.h"
#include "tests/support/DibSurface.h"
#include "tests/support/PaintManagerWindow.h"
#include "tests/support/PixelScan.h"

#include <gtest/gtest.h>
#include <tuple>

#include <algorithm>
#include <vector>

using SkinUI::CPaintManagerUI;
using SkinUI::CRenderEngine;
using TestSupport::DibSurface;
using TestSupport::Not;
using namespace TestSupport::Colors;

namespace {

// Plain text, drawn with GDI or with GDI+ (the manager's GDI+ text setting
// takes the same path as a layered window). Assertions hold for any font:
// geometry and colour, not glyph shapes.
class PlainTextTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_window.IsValid());
        Manager()->SetUseGdiplusText(GetParam());
        ASSERT_NE(nullptr, Manager()->AddFont(1, L"", 20, false, false, false));
    }
    CPaintManagerUI* Manager() { return m_window.Manager(); }

    TestSupport::PaintManagerWindow m_window;
};

TEST_P(PlainTextTest, MeasuredRectangleContainsTheDrawnText)
{
    const std::tuple<const char*, LPCTSTR, int, UINT> cases[] = {
        {"single line", L"Hello, world", -1, DT_SINGLELINE},
        {"bigger font", L"Hello", 1, DT_SINGLELINE},
        {"CJK", L"返回首页", -1, DT_SINGLELINE},
        {"two lines", L"first line\nsecond", -1, 0},
    };
    for (const auto& [name, text, font, style] : cases) {
        DibSurface surface(300, 120);
        surface.Clear(kWhite);
        RECT rcMeasure = {10, 10, 290, 110};
        CRenderEngine::DrawTextW(surface.GetDC(), Manager(), rcMeasure, text, 0xFF000000, font,
                                 style | DT_CALCRECT);
        EXPECT_EQ(10, rcMeasure.left) << name;
        EXPECT_EQ(10, rcMeasure.top) << name;
        EXPECT_GT(rcMeasure.right, 10) << name;
        EXPECT_GT(rcMeasure.bottom, 10) << name;

        RECT rcDraw = {10, 10, 290, 110};
        CRenderEngine::DrawTextW(surface.GetDC(), Manager(), rcDraw, text, 0xFF000000, font, style);
        RECT ink = TestSupport::BoundsOf(surface, Not(kWhite));
        ASSERT_FALSE(::IsRectEmpty(&ink)) << name;
        EXPECT_GE(ink.left, rcMeasure.left) << name;
        EXPECT_GE(ink.top, rcMeasure.top) << name;
        EXPECT_LE(ink.right, rcMeasure.right) << name;
        EXPECT_LE(ink.bottom, rcMeasure.bottom) << name;
    }
}

// Drawn into the rectangle it measured, a text looks exactly as it does in
// a rectangle with room to spare: the measurement is never short. Only the
// measured rectangle is compared: a glyph may overhang its advance by a
// pixel (a property of the font, which DT_CALCRECT does not count).
TEST_P(PlainTextTest, MeasuredRectangleHoldsTheTextUnchanged)
{
    const std::tuple<const char*, LPCTSTR, UINT, int> cases[] = {
        {"single line", L"Measure me, exactly", DT_SINGLELINE, 300},
        {"CJK", L"返回首页", DT_SINGLELINE, 300},
        {"wrapped", L"a text that wraps over lines", DT_WORDBREAK, 90},
    };
    for (const auto& [name, text, style, width] : cases) {
        RECT rc = {10, 10, 10 + width, 150};
        DibSurface roomy(320, 160);
        roomy.Clear(kWhite);
        RECT rcMeasure = rc;
        CRenderEngine::DrawTextW(roomy.GetDC(), Manager(), rcMeasure, text, 0xFF000000, -1,
                                 style | DT_CALCRECT);
        CRenderEngine::DrawTextW(roomy.GetDC(), Manager(), rc, text, 0xFF000000, -1, style);
        DibSurface tight(320, 160);
        tight.Clear(kWhite);
        CRenderEngine::DrawTextW(tight.GetDC(), Manager(), rcMeasure, text, 0xFF000000, -1, style);
        int differing = 0;
        for (int y = rcMeasure.top; y < rcMeasure.bottom && y < 160; ++y) {
            for (int x = rcMeasure.left; x < rcMeasure.right && x < 320; ++x)
                differing += roomy.Pixel(x, y) != tight.Pixel(x, y);
        }
        EXPECT_EQ(0, differing) << name;
    }
}

TEST_P(PlainTextTest, TextHasItsColourAndTheFontItsSize)
{
    DibSurface surface(300, 60);
    surface.Clear(kWhite);
    RECT rc = {0, 0, 300, 60};
    CRenderEngine::DrawTextW(surface.GetDC(), Manager(), rc, L"MMMM", 0xFFFF0000, -1, DT_SINGLELINE);
    EXPECT_GT(TestSupport::CountIn(surface, rc, TestSupport::Reddish(120)), 10);
    EXPECT_EQ(0, TestSupport::CountIn(surface, rc, [](DWORD p) {
                  return TestSupport::Green(p) > TestSupport::Red(p) + 40 ||
                      TestSupport::Blue(p) > TestSupport::Red(p) + 40;
              }));
    const RECT small = TestSupport::BoundsOf(surface, Not(kWhite));

    surface.Clear(kWhite);
    rc = {0, 0, 300, 60};
    CRenderEngine::DrawTextW(surface.GetDC(), Manager(), rc, L"MMMM", 0xFFFF0000, 1, DT_SINGLELINE);
    const RECT big = TestSupport::BoundsOf(surface, Not(kWhite));
    EXPECT_GT(big.right - big.left, small.right - small.left);
    EXPECT_GT(big.bottom - big.top, small.bottom - small.top);
}

TEST_P(PlainTextTest, AlignmentPlacesTheText)
{
    const std::tuple<const char*, UINT, bool, bool, bool, bool> cases[] = {
        {"centre", DT_SINGLELINE | DT_CENTER | DT_VCENTER, true, false, true, false},
        {"right bottom", DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, false, true, false, true},
    };
    for (const auto& [name, style, bCentreX, bRight, bCentreY, bBottom] : cases) {
        DibSurface surface(200, 100);
        surface.Clear(kWhite);
        RECT rc = {0, 0, 200, 100};
        CRenderEngine::DrawTextW(surface.GetDC(), Manager(), rc, L"Text", 0xFF000000, -1, style);
        const RECT ink = TestSupport::BoundsOf(surface, Not(kWhite));
        ASSERT_FALSE(::IsRectEmpty(&ink)) << name;
        if (bCentreX) {
            EXPECT_NEAR(100, (ink.left + ink.right) / 2, 4) << name;
        }
        if (bRight) {
            EXPECT_GT(ink.left, 150) << name;
        }
        if (bCentreY) {
            EXPECT_NEAR(50, (ink.top + ink.bottom) / 2, 5) << name;
        }
        if (bBottom) {
            EXPECT_GT(ink.top, 70) << name;
        }
    }
}

TEST_P(PlainTextTest, NullTextOrManagerDrawsNothing)
{
    DibSurface surface(100, 40);
    surface.Clear(kWhite);
    RECT rc = {0, 0, 100, 40};
    CRenderEngine::DrawTextW(surface.GetDC(), Manager(), rc, nullptr, 0xFF000000, -1, 0);
    CRenderEngine::DrawTextW(surface.GetDC(), nullptr, rc, L"text", 0xFF000000, -1, 0);
    CRenderEngine::DrawTextW(surface.GetDC(), nullptr, rc, L"text", 0xFF000000, 0xFFFF0000, -1, 0);
    CRenderEngine::DrawTextW(surface.GetDC(), nullptr, rc, L"text", 0xFF000000, -1, DT_CALCRECT);
    EXPECT_EQ(0, TestSupport::CountIn(surface, rc, Not(kWhite)));
    EXPECT_EQ(100, rc.right);
    EXPECT_EQ(40, rc.bottom);
}

TEST_P(PlainTextTest, BackgroundColourFillsTheRectangleFirst)
{
    DibSurface surface(100, 40);
    surface.Clear(kWhite);
    RECT rc = {10, 5, 90, 35};
    CRenderEngine::DrawTextW(surface.GetDC(), Manager(), rc, L"ab", 0xFF000000, 0xFF00FF00, -1,
                             DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    EXPECT_EQ(0, TestSupport::CountOutside(surface, rc, Not(kWhite)));
    EXPECT_TRUE(TestSupport::IsNear(surface.Pixel(11, 6), 0xFF00FF00, 0));
    EXPECT_GT(TestSupport::CountIn(surface, rc, [](DWORD p) { return TestSupport::Green(p) < 100; }), 5);
}

TEST_P(PlainTextTest, EndEllipsisKeepsTheTextInside)
{
    DibSurface surface(200, 40);
    surface.Clear(kWhite);
    RECT rc = {10, 5, 70, 35};
    CRenderEngine::DrawTextW(surface.GetDC(), Manager(), rc, L"a rather long text that does not fit",
                             0xFF000000, -1, DT_SINGLELINE | DT_END_ELLIPSIS);
    const RECT ink = TestSupport::BoundsOf(surface, Not(kWhite));
    ASSERT_FALSE(::IsRectEmpty(&ink));
    EXPECT_LE(ink.right, 70);
    // The trimmed text still reaches into the last quarter of the rectangle.
    EXPECT_GT(ink.right, 55);
    // With GDI it is not the same as the text merely cut at the edge. (Wine's
    // GDI+ lays the trimmed text out but draws no ellipsis character.)
    if (GetParam()) return;
    DibSurface cut(200, 40);
    cut.Clear(kWhite);
    rc = {10, 5, 70, 35};
    CRenderEngine::DrawTextW(cut.GetDC(), Manager(), rc, L"a rather long text that does not fit", 0xFF000000,
                             -1, DT_SINGLELINE);
    int differing = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) differing += surface.Pixel(x, y) != cut.Pixel(x, y);
    }
    EXPECT_GT(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(GdiAndGdiplus, PlainTextTest, ::testing::Values(false, true));

TEST(GdiplusTextTest, TextOnATransparentSurfaceGetsAlpha)
{
    // A layered window's surface starts transparent: GDI+ text writes alpha.
    TestSupport::PaintManagerWindow window;
    ASSERT_TRUE(window.IsValid());
    window.Manager()->SetUseGdiplusText(true);
    DibSurface surface(100, 40);
    surface.Clear(0);
    RECT rc = {0, 0, 100, 40};
    CRenderEngine::DrawTextW(surface.GetDC(), window.Manager(), rc, L"Alpha", 0xFF0000FF, -1, DT_SINGLELINE);
    EXPECT_GT(TestSupport::CountIn(surface, rc, [](DWORD p) { return TestSupport::Alpha(p) > 128; }), 5);
}

TEST(LayeredTextTest, GdiTextOnALayeredWindowIsOpaqueOnceAlphaIsRepaired)
{
    // A layered window draws plain text with GDI; alpha is repaired when the
    // window presents. Black text must survive that (pure black with alpha 0
    // reads as "nothing painted").
    TestSupport::PaintManagerWindow window(200, 60, true);
    ASSERT_TRUE(window.Manager()->IsLayered());
    ASSERT_NE(nullptr, window.Manager()->AddFont(1, L"", 28, true, false, false));
    for (const DWORD colour : {0xFF000000u, 0xFF336699u}) {
        SCOPED_TRACE(colour);
        DibSurface surface(200, 60);
        surface.Clear(0);
        RECT rc = {0, 0, 200, 60};
        CRenderEngine::DrawTextW(surface.GetDC(), window.Manager(), rc, L"MMWW", colour, 1, DT_SINGLELINE);
        ::GdiFlush();
        std::vector<DWORD> pixels;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x) pixels.push_back(surface.Pixel(x, y));
        SkinUI::CDibPixels::OpaqueWhereColoured(pixels.data(), static_cast<int>(pixels.size()));
        // Solid strokes: opaque pixels within a step of the text's colour.
        const auto solid = [colour](DWORD p) {
            return TestSupport::Alpha(p) == 255 && (p & 0xFF) <= (colour & 0xFF) + 1 &&
                ((p >> 8) & 0xFF) <= ((colour >> 8) & 0xFF) + 1;
        };
        EXPECT_GT(std::count_if(pixels.begin(), pixels.end(), solid), 40);
    }
}

TEST(TextSizeTest, GetTextSizeMeasuresOneLine)
{
    TestSupport::PaintManagerWindow window;
    ASSERT_TRUE(window.IsValid());
    DibSurface surface(10, 10);
    const SIZE one = CRenderEngine::GetTextSize(surface.GetDC(), window.Manager(), L"abc", -1, 0);
    const SIZE two = CRenderEngine::GetTextSize(surface.GetDC(), window.Manager(), L"abcabc", -1, 0);
    EXPECT_GT(one.cx, 0);
    EXPECT_EQ(window.Manager()->GetDefaultFontInfo()->tm.tmHeight, one.cy);
    EXPECT_NEAR(2 * one.cx, two.cx, 1);
    const SIZE none = CRenderEngine::GetTextSize(surface.GetDC(), nullptr, L"abc", -1, 0);
    EXPECT_EQ(0, none.cx);
    const SIZE null = CRenderEngine::GetTextSize(surface.GetDC(), window.Manager(), nullptr, -1, 0);
    EXPECT_EQ(0, null.cy);
}

}  // namespace
