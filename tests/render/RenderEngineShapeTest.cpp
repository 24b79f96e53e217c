#include "skinui/render/RenderEngine.h"

#include "skinui/control/Control.h"
#include "skinui/core/PaintManager.h"
#include "tests/support/DibSurface.h"
#include "tests/support/PaintManagerWindow.h"
#include "tests/support/PixelScan.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>
#include <tuple>

using SkinUI::CRenderEngine;
using SkinUI::TImageInfo;
using TestSupport::DibSurface;
using TestSupport::IsNear;
using TestSupport::Near;
using TestSupport::Not;
using namespace TestSupport::Colors;

namespace {

// GDI+ runs while a paint manager lives, as in a running window.
class ShapeTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_window.IsValid()); }
    TestSupport::PaintManagerWindow m_window;
};

TEST_F(ShapeTest, DrawColorFillsWithAlphaRespected)
{
    const std::tuple<const char*, DWORD, DWORD, DWORD, int> cases[] = {
        {"opaque red", 0xFFFF0000, kWhite, 0xFFFF0000, 255},
        {"alpha 0 draws nothing", 0x00FF0000, kWhite, kWhite, 255},
        {"half-transparent red over white", 0x80FF0000, kWhite, 0xFFFF7F7F, 255},
        {"half-transparent red over nothing", 0x80FF0000, 0x00000000, 0x80800000, 128},
    };
    for (const auto& [name, color, background, expected, expectedAlpha] : cases) {
        DibSurface surface(40, 30);
        surface.Clear(background);
        RECT rc = {5, 5, 25, 20};
        CRenderEngine::DrawColor(surface.GetDC(), rc, color);
        const DWORD pixel = surface.Pixel(10, 10);
        EXPECT_TRUE(IsNear(pixel, expected, 3)) << name << ": " << std::hex << pixel;
        EXPECT_NEAR(expectedAlpha, TestSupport::Alpha(pixel), 3) << name;
        EXPECT_EQ(0, TestSupport::CountOutside(surface, rc, Not(background))) << name;
        EXPECT_EQ(20 * 15, TestSupport::CountIn(surface, rc, Near(pixel, 0))) << name;
    }
}

struct GradientCase
{
    const char* name;
    bool bVertical;
    bool bBands;
};

class GradientTest : public ShapeTest, public ::testing::WithParamInterface<GradientCase>
{
protected:
    void Draw(HDC hDC, const RECT& rc, DWORD first, DWORD second, int steps)
    {
        if (GetParam().bBands) {
            CRenderEngine::DrawGradientBands(hDC, rc, first, second, GetParam().bVertical, steps);
        } else {
            CRenderEngine::DrawGradient(hDC, rc, first, second, GetParam().bVertical, steps);
        }
    }
};

// First colour at the left (top), second at the right (bottom), every
// channel moving one way between them.
TEST_P(GradientTest, RunsFromFirstToSecondColour)
{
    const bool bVertical = GetParam().bVertical;
    DibSurface surface(80, 80);
    surface.Clear(kWhite);
    RECT rc = {8, 8, 72, 72};
    Draw(surface.GetDC(), rc, 0xFFFF0000, 0xFF0000FF, 64);
    const int last = bVertical ? 71 : 71;
    const DWORD start = bVertical ? surface.Pixel(40, 8) : surface.Pixel(8, 40);
    const DWORD end = bVertical ? surface.Pixel(40, last) : surface.Pixel(last, 40);
    EXPECT_TRUE(IsNear(start, 0xFFFF0000, 12)) << std::hex << start;
    EXPECT_TRUE(IsNear(end, 0xFF0000FF, 12)) << std::hex << end;
    int previousRed = 256;
    for (int i = 8; i < 72; ++i) {
        const DWORD pixel = bVertical ? surface.Pixel(40, i) : surface.Pixel(i, 40);
        EXPECT_LE(TestSupport::Red(pixel), previousRed) << i;
        previousRed = TestSupport::Red(pixel);
        // Across the gradient the colour does not change.
        const DWORD across = bVertical ? surface.Pixel(10, i) : surface.Pixel(i, 10);
        EXPECT_EQ(pixel & 0xFFFFFF, across & 0xFFFFFF) << i;
    }
    EXPECT_EQ(0, TestSupport::CountOutside(surface, rc, Not(kWhite)));
}

TEST_F(ShapeTest, GradientOfColoursWithoutAlphaDrawsNothing)
{
    for (bool bVertical : {false, true}) {
        DibSurface surface(20, 20);
        surface.Clear(kWhite);
        RECT rc = {0, 0, 20, 20};
        CRenderEngine::DrawGradient(surface.GetDC(), rc, 0x00FF0000, 0x000000FF, bVertical, 16);
        EXPECT_EQ(0, TestSupport::CountIn(surface, rc, Not(kWhite))) << bVertical;
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, GradientTest,
                         ::testing::Values(GradientCase{"horizontal", false, false},
                                           GradientCase{"vertical", true, false},
                                           GradientCase{"horizontal bands", false, true},
                                           GradientCase{"vertical bands", true, true}));

TEST_F(ShapeTest, BandGradientHasTwoToTheKBands)
{
    // 4 steps: 4 bands of 16 pixels over 64, band i (from the right end)
    // in (second * (4 - i) + first * i) / 4.
    DibSurface surface(64, 4);
    surface.Clear(kWhite);
    RECT rc = {0, 0, 64, 4};
    CRenderEngine::DrawGradientBands(surface.GetDC(), rc, 0xFF000000, 0xFFC8C8C8, false, 4);
    const int expected[4] = {200, 150, 100, 50};
    for (int i = 0; i < 4; ++i) {
        const int x = 64 - i * 16 - 8;
        EXPECT_EQ(expected[i], TestSupport::Red(surface.Pixel(x, 2))) << "band " << i;
        EXPECT_EQ(surface.Pixel(x - 7, 2), surface.Pixel(x + 7, 2)) << "band " << i;
    }
    // Fewer than 4 steps: two bands.
    surface.Clear(kWhite);
    CRenderEngine::DrawGradientBands(surface.GetDC(), rc, 0xFF000000, 0xFFC8C8C8, false, 1);
    EXPECT_EQ(100, TestSupport::Red(surface.Pixel(10, 2)));
    EXPECT_EQ(200, TestSupport::Red(surface.Pixel(50, 2)));
}

TEST_F(ShapeTest, TranslucentGradientBlendsAtTheAverageAlpha)
{
    // 0xFF000000 to 0x00FFFFFF: opacity (255 + 0) / 2 = 127 over white.
    DibSurface surface(64, 8);
    surface.Clear(kWhite);
    RECT rc = {0, 0, 64, 8};
    CRenderEngine::DrawGradient(surface.GetDC(), rc, 0xFF000000, 0x00FFFFFF, false, 64);
    // At the black end: 0 * 127/255 + 255 * 128/255 = 128.
    EXPECT_NEAR(128, TestSupport::Red(surface.Pixel(0, 4)), 4);
    // At the white end white stays white.
    EXPECT_NEAR(255, TestSupport::Red(surface.Pixel(63, 4)), 4);
    EXPECT_NEAR(255, TestSupport::Alpha(surface.Pixel(0, 4)), 1);
}

struct LineCase
{
    const char* name;
    RECT line;
    int width;
    RECT expectedInk;
};

TEST_F(ShapeTest, LinesOfGivenWidthAndColour)
{
    const LineCase cases[] = {
        {"horizontal, 1 pixel", {10, 20, 50, 20}, 1, {10, 20, 50, 21}},
        {"vertical, 1 pixel", {30, 5, 30, 35}, 1, {30, 5, 31, 35}},
        {"horizontal, 3 pixels", {10, 20, 50, 20}, 3, {9, 19, 51, 22}},
    };
    for (const LineCase& c : cases) {
        DibSurface surface(60, 40);
        surface.Clear(kWhite);
        CRenderEngine::DrawLine(surface.GetDC(), c.line, c.width, 0xFF00A000);
        RECT ink = TestSupport::BoundsOf(surface, Not(kWhite));
        // A wide pen's round caps may reach a pixel past the ends.
        EXPECT_LE(abs(ink.left - c.expectedInk.left), c.width > 1 ? 1 : 0) << c.name;
        EXPECT_LE(abs(ink.right - c.expectedInk.right), c.width > 1 ? 1 : 0) << c.name;
        EXPECT_EQ(c.expectedInk.top, ink.top) << c.name;
        EXPECT_EQ(c.expectedInk.bottom, ink.bottom) << c.name;
        const int x = (c.line.left + c.line.right) / 2;
        const int y = (c.line.top + c.line.bottom) / 2;
        EXPECT_TRUE(IsNear(surface.Pixel(x, y), 0xFF00A000, 0)) << c.name;
    }
}

TEST_F(ShapeTest, RectangleFramesStayInside)
{
    const std::tuple<const char*, int, DWORD> cases[] = {
        {"1 pixel, opaque", 1, 0xFF0000FF},           {"2 pixels, opaque", 2, 0xFF0000FF},
        {"3 pixels, opaque", 3, 0xFF0000FF},          {"5 pixels, opaque", 5, 0xFF0000FF},
        {"1 pixel, half transparent", 1, 0x800000FF},
    };
    for (const auto& [name, width, color] : cases) {
        DibSurface surface(60, 40);
        surface.Clear(kWhite);
        RECT rc = {10, 10, 50, 30};
        CRenderEngine::DrawRect(surface.GetDC(), rc, width, color);
        EXPECT_EQ(0, TestSupport::CountOutside(surface, rc, Not(kWhite))) << name;
        const DWORD expected = (color >> 24) == 0xFF ? color : 0xFF7F7FFF;
        // The outermost pixels of every side, away from the corners.
        EXPECT_TRUE(IsNear(surface.Pixel(30, 10), expected, 3)) << name;
        EXPECT_TRUE(IsNear(surface.Pixel(30, 29), expected, 3)) << name;
        EXPECT_TRUE(IsNear(surface.Pixel(10, 20), expected, 3)) << name;
        EXPECT_TRUE(IsNear(surface.Pixel(49, 20), expected, 3)) << name;
        EXPECT_EQ(kWhite, surface.Pixel(30, 20)) << name << ": inside stays";
        EXPECT_EQ(kWhite, surface.Pixel(10 + width + 1, 20)) << name;
    }
}

TEST_F(ShapeTest, RoundRectangleCutsItsCorners)
{
    DibSurface surface(60, 40);
    surface.Clear(kWhite);
    RECT rc = {10, 10, 50, 30};
    CRenderEngine::DrawRoundRect(surface.GetDC(), rc, 1, 10, 10, 0xFFFF0000);
    EXPECT_EQ(kWhite, surface.Pixel(10, 10)) << "corner pixel lies outside the arc";
    EXPECT_EQ(kWhite, surface.Pixel(49, 29));
    EXPECT_TRUE(IsNear(surface.Pixel(30, 10), 0xFFFF0000, 0));
    EXPECT_TRUE(IsNear(surface.Pixel(10, 20), 0xFFFF0000, 0));
    EXPECT_TRUE(IsNear(surface.Pixel(30, 29), 0xFFFF0000, 0));
    EXPECT_TRUE(IsNear(surface.Pixel(49, 20), 0xFFFF0000, 0));
    EXPECT_EQ(kWhite, surface.Pixel(30, 20)) << "hollow";
    EXPECT_EQ(0, TestSupport::CountOutside(surface, rc, Not(kWhite)));
}

TEST(ColourTest, CheckAlphaColor)
{
    const DWORD cases[][2] = {
        {0xFF000000, 0xFF000001},
        {0x00000000, 0x00000001},
        {0xFF000100, 0xFF000100},
        {0x80FFFFFF, 0x80FFFFFF},
    };
    for (const auto& c : cases) {
        DWORD color = c[0];
        CRenderEngine::CheckAlphaColor(color);
        EXPECT_EQ(c[1], color) << std::hex << c[0];
    }
}

TEST(ColourTest, AdjustColor)
{
    const std::tuple<DWORD, short, short, short, DWORD> cases[] = {
        {0x80123456, 180, 100, 100, 0x80123456},  // unchanged
        {0xFFFF0000, 300, 100, 100, 0xFF00FF00},  // +120 degrees: red to green
        {0xFFFF0000, 60, 100, 100, 0xFF0000FF},   // -120 degrees: red to blue
        {0x7FFF0000, 180, 0, 100, 0x7F7F7F7F},    // no saturation: grey, alpha kept
        {0xFF00FF00, 180, 100, 0, 0xFF000000},    // no lightness: black
        {0xFF808080, 180, 100, 200, 0xFFFFFFFF},  // lightness doubled, limited
    };
    for (const auto& [color, H, S, L, expected] : cases) {
        const DWORD actual = CRenderEngine::AdjustColor(color, H, S, L);
        EXPECT_TRUE(IsNear(actual, expected, 1) && (actual >> 24) == (expected >> 24))
            << std::hex << color << " -> " << actual;
    }
}

TEST(ColourTest, AdjustImageWorksFromTheUnadjustedPixels)
{
    DWORD pixels[4] = {0xFFFF0000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    DWORD original[4];
    memcpy(original, pixels, sizeof(pixels));
    TImageInfo image;
    image.hBitmap = TestSupport::CreateSourceBitmap(2, 2, [](int, int) { return 0u; });
    image.pBits = reinterpret_cast<LPBYTE>(pixels);
    image.pSrcBits = reinterpret_cast<LPBYTE>(original);
    image.nX = 2;
    image.nY = 2;

    image.bUseHSL = false;
    CRenderEngine::AdjustImage(true, &image, 300, 100, 100);
    EXPECT_EQ(0xFFFF0000u, pixels[0]) << "an image not loaded for HSL is left alone";

    image.bUseHSL = true;
    CRenderEngine::AdjustImage(true, &image, 300, 100, 100);
    EXPECT_TRUE(IsNear(pixels[0], 0xFF00FF00, 1)) << std::hex << pixels[0];
    EXPECT_TRUE(IsNear(pixels[3], 0xFFFF0000, 1)) << std::hex << pixels[3];
    // Twice the same adjustment does not add up: it starts from the copy.
    CRenderEngine::AdjustImage(true, &image, 300, 100, 100);
    EXPECT_TRUE(IsNear(pixels[0], 0xFF00FF00, 1)) << std::hex << pixels[0];
    CRenderEngine::AdjustImage(false, &image, 300, 100, 100);
    EXPECT_EQ(0, memcmp(pixels, original, sizeof(pixels))) << "HSL off restores the pixels";

    image.pSrcBits = nullptr;
    CRenderEngine::AdjustImage(true, &image, 300, 100, 100);
    EXPECT_EQ(0, memcmp(pixels, original, sizeof(pixels))) << "no unadjusted copy: nothing";
    CRenderEngine::AdjustImage(true, nullptr, 300, 100, 100);
    ::DeleteObject(image.hBitmap);
}

TEST(BitmapTest, ARGB32BitmapIsBottomUp)
{
    BYTE* pBits = nullptr;
    HBITMAP hBitmap = CRenderEngine::CreateARGB32Bitmap(nullptr, 4, 3, &pBits);
    ASSERT_NE(nullptr, hBitmap);
    ASSERT_NE(nullptr, pBits);
    DIBSECTION ds = {};
    ASSERT_EQ(static_cast<int>(sizeof(ds)), ::GetObjectW(hBitmap, sizeof(ds), &ds));
    EXPECT_EQ(32, ds.dsBm.bmBitsPixel);
    EXPECT_EQ(4, ds.dsBm.bmWidth);
    EXPECT_EQ(3, ds.dsBm.bmHeight);
    EXPECT_GT(ds.dsBmih.biHeight, 0);
    // The first row in memory is the bottom row of the picture.
    memset(pBits, 0, 4 * 3 * 4);
    pBits[0] = 0xFF;  // blue of the first pixel in memory
    EXPECT_EQ(RGB(0, 0, 255), TestSupport::BitmapPixel(hBitmap, 0, 2));
    EXPECT_EQ(RGB(0, 0, 0), TestSupport::BitmapPixel(hBitmap, 0, 0));
    ::DeleteObject(hBitmap);

    EXPECT_EQ(nullptr, CRenderEngine::CreateARGB32Bitmap(nullptr, 0, 3, &pBits));
    EXPECT_EQ(nullptr, pBits);
}

TEST_F(ShapeTest, GenerateBitmapPaintsTheControl)
{
    SkinUI::CControlUI control;
    control.SetBkColor(0xFF336699);
    RECT rc = {20, 10, 60, 30};
    control.SetPos(rc, false);
    HBITMAP hBitmap = CRenderEngine::GenerateBitmap(m_window.Manager(), &control, rc);
    ASSERT_NE(nullptr, hBitmap);
    BITMAP bm = {};
    ::GetObjectW(hBitmap, sizeof(bm), &bm);
    EXPECT_EQ(40, bm.bmWidth);
    EXPECT_EQ(20, bm.bmHeight);
    EXPECT_EQ(RGB(0x33, 0x66, 0x99), TestSupport::BitmapPixel(hBitmap, 0, 0));
    EXPECT_EQ(RGB(0x33, 0x66, 0x99), TestSupport::BitmapPixel(hBitmap, 39, 19));
    ::DeleteObject(hBitmap);

    EXPECT_EQ(nullptr, CRenderEngine::GenerateBitmap(nullptr, &control, rc));
    EXPECT_EQ(nullptr, CRenderEngine::GenerateBitmap(m_window.Manager(), nullptr, rc));
    RECT empty = {20, 10, 20, 30};
    EXPECT_EQ(nullptr, CRenderEngine::GenerateBitmap(m_window.Manager(), &control, empty));
}

}  // namespace
