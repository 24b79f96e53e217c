#include "skinui/render/RenderEngine.h"

#include "skinui/core/PaintManager.h"
#include "tests/support/ControlTree.h"
#include "tests/support/DibSurface.h"
#include "tests/support/ImageWriter.h"
#include "tests/support/PaintManagerWindow.h"
#include "tests/support/PixelScan.h"
#include "tests/support/SkinFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <tuple>
#include <vector>

using SkinUI::CPaintManagerUI;
using SkinUI::CRenderEngine;
using TestSupport::DibSurface;
using TestSupport::IsNear;
using TestSupport::Not;
using namespace TestSupport::Colors;

namespace {

const DWORD kBackground = 0xFF102030;

// A skin-like 20 by 20 image with 5-pixel corners: every one of the nine
// pieces in a colour of its own.
const DWORD kTopLeft = kRed, kTop = kGreen, kTopRight = kBlue;
const DWORD kLeft = kYellow, kMiddle = kWhite, kRight = kCyan;
const DWORD kBottomLeft = kMagenta, kBottom = kGrey, kBottomRight = 0xFF800000;

DWORD NinePieceColor(int x, int y)
{
    const int column = x < 5 ? 0 : (x < 15 ? 1 : 2);
    const int row = y < 5 ? 0 : (y < 15 ? 1 : 2);
    static const DWORD colors[3][3] = {
        {kTopLeft, kTop, kTopRight}, {kLeft, kMiddle, kRight}, {kBottomLeft, kBottom, kBottomRight}};
    return colors[row][column];
}

class Bitmap
{
public:
    Bitmap(int width, int height, const TestSupport::PixelSource& source)
        : m_hBitmap(TestSupport::CreateSourceBitmap(width, height, source))
    {}
    ~Bitmap()
    {
        if (m_hBitmap != nullptr) ::DeleteObject(m_hBitmap);
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    HBITMAP Get() const { return m_hBitmap; }

private:
    HBITMAP m_hBitmap;
};

// The DC's clip set to the rectangle, as the paint manager clips a repaint.
void ClipTo(HDC hDC, const RECT& rc)
{
    HRGN hRgn = ::CreateRectRgnIndirect(&rc);
    ::SelectClipRgn(hDC, hRgn);
    ::DeleteObject(hRgn);
}

const RECT kNoCorners = {0, 0, 0, 0};
const RECT kCorners5 = {5, 5, 5, 5};

struct PieceCase
{
    const char* piece;
    POINT point;  // in a 100 x 40 destination at (10, 10)
    DWORD color;
};

// Every piece lands where it should: corners as 5 x 5 copies, edges 90 x 5
// and 5 x 30, the middle 90 x 30; sampled at piece centres and just inside
// piece edges.
const PieceCase kPieces[] = {
    {"top-left centre", {12, 12}, kTopLeft},
    {"top-left last pixel", {14, 14}, kTopLeft},
    {"top first pixel", {15, 12}, kTop},
    {"top centre", {60, 12}, kTop},
    {"top last pixel", {104, 14}, kTop},
    {"top-right first pixel", {105, 10}, kTopRight},
    {"top-right last pixel", {109, 14}, kTopRight},
    {"left", {12, 30}, kLeft},
    {"left first row", {12, 15}, kLeft},
    {"left last row", {12, 44}, kLeft},
    {"middle centre", {60, 30}, kMiddle},
    {"middle first pixel", {15, 15}, kMiddle},
    {"middle last pixel", {104, 44}, kMiddle},
    {"right", {107, 30}, kRight},
    {"bottom-left", {12, 47}, kBottomLeft},
    {"bottom", {60, 47}, kBottom},
    {"bottom-right", {107, 47}, kBottomRight},
    {"bottom-right last pixel", {109, 49}, kBottomRight},
};

// The nine-piece image drawn over a 100 x 40 destination at (10, 10) of a
// surface cleared to the background, copied or blended as the parameter
// says.
class ImageDrawTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override { m_surface.Clear(kBackground); }

    void Draw(const RECT& rcPaint, bool bHole = false)
    {
        const RECT rcSource = {0, 0, 20, 20};
        CRenderEngine::DrawImage(m_surface.GetDC(), m_image.Get(), kDest, rcPaint, rcSource, kCorners5,
                                 GetParam(), 255, bHole);
    }
    bool PixelIs(int x, int y, DWORD color) const { return IsNear(m_surface.Pixel(x, y), color, 8); }

    const RECT kDest = {10, 10, 110, 50};
    const RECT kWhole = {0, 0, 120, 60};
    Bitmap m_image{20, 20, NinePieceColor};
    DibSurface m_surface{120, 60};
};

TEST_P(ImageDrawTest, NineGridPiecesLandWhereTheyShould)
{
    Draw(kWhole);
    for (const PieceCase& c : kPieces) {
        EXPECT_TRUE(PixelIs(c.point.x, c.point.y, c.color))
            << c.piece << " at " << c.point.x << "," << c.point.y << ": " << std::hex
            << m_surface.Pixel(c.point.x, c.point.y);
    }
    EXPECT_EQ(0, TestSupport::CountOutside(m_surface, kDest, Not(kBackground)));
}

TEST_P(ImageDrawTest, HoleLeavesTheMiddleUntouched)
{
    Draw(kWhole, true);
    RECT rcMiddle = {15, 15, 105, 45};
    EXPECT_EQ(90 * 30, TestSupport::CountIn(m_surface, rcMiddle, TestSupport::Near(kBackground, 0)));
    EXPECT_TRUE(PixelIs(12, 12, kTopLeft));
    EXPECT_TRUE(PixelIs(60, 47, kBottom));
    EXPECT_TRUE(PixelIs(107, 30, kRight));
}

TEST_P(ImageDrawTest, NothingIsDrawnOutsideThePaintRectangle)
{
    RECT rcPaint = {30, 0, 70, 30};
    // The pieces that meet the paint rectangle are drawn whole; the clip of
    // the DC keeps them inside it, as the paint manager's clip does.
    ClipTo(m_surface.GetDC(), rcPaint);
    Draw(rcPaint);
    ::SelectClipRgn(m_surface.GetDC(), nullptr);
    EXPECT_EQ(0, TestSupport::CountOutside(m_surface, rcPaint, Not(kBackground)));
    EXPECT_TRUE(PixelIs(40, 12, kTop));
    EXPECT_TRUE(PixelIs(40, 25, kMiddle));
}

TEST_P(ImageDrawTest, PiecesOutsideThePaintRectangleAreSkipped)
{
    // Without a clip: only pieces that meet the paint rectangle are blitted,
    // so the bottom row of pieces stays away.
    Draw(RECT{0, 0, 120, 12});
    EXPECT_TRUE(PixelIs(12, 12, kTopLeft));
    EXPECT_EQ(kBackground, m_surface.Pixel(60, 30));
    EXPECT_EQ(kBackground, m_surface.Pixel(60, 47));
    EXPECT_EQ(kBackground, m_surface.Pixel(12, 47));
}

INSTANTIATE_TEST_SUITE_P(CopiedAndBlended, ImageDrawTest, ::testing::Values(false, true));

// A 20 x 20 image with 5-pixel borders in kLeft and a 10 x 10 middle whose
// top-left pixel is a marker: each tile shows the marker at its top-left.
const DWORD kMarker = kRed;
const DWORD kPlain = kBlue;

DWORD TiledSource(int x, int y)
{
    if (x < 5 || x >= 15 || y < 5 || y >= 15) return kLeft;
    return (x == 5 && y == 5) ? kMarker : kPlain;
}

struct TileCase
{
    const char* name;
    bool bTiledX;
    bool bTiledY;
};

class TileTest : public ::testing::TestWithParam<TileCase>
{};

TEST_P(TileTest, MiddleRepeatsFromItsTopLeft)
{
    const TileCase& c = GetParam();
    Bitmap image(20, 20, TiledSource);
    DibSurface surface(60, 60);
    surface.Clear(kBackground);
    // A 35 x 35 destination: the middle is 25 x 25 at (15, 15).
    RECT rcDest = {10, 10, 45, 45};
    RECT rcPaint = {0, 0, 60, 60};
    RECT rcSource = {0, 0, 20, 20};
    CRenderEngine::DrawImage(surface.GetDC(), image.Get(), rcDest, rcPaint, rcSource, kCorners5, false, 255,
                             false, c.bTiledX, c.bTiledY);
    // Tiles start every 10 pixels along a tiled axis: 3 of them, the last
    // 5 pixels wide. Along an axis that is not tiled the marker is stretched
    // and stays at the middle's first pixel.
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            const int x = 15 + (c.bTiledX ? i * 10 : 0);
            const int y = 15 + (c.bTiledY ? j * 10 : 0);
            EXPECT_TRUE(IsNear(surface.Pixel(x, y), kMarker, 8)) << c.name << " tile " << i << "," << j;
        }
    }
    if (c.bTiledX) {
        EXPECT_TRUE(IsNear(surface.Pixel(15 + 3, 15 + 3 + (c.bTiledY ? 0 : 10)), kPlain, 8));
        EXPECT_TRUE(IsNear(surface.Pixel(39, 17), kPlain, 8)) << "last column, 5 wide";
    }
    if (c.bTiledY) {
        EXPECT_TRUE(IsNear(surface.Pixel(17, 39), kPlain, 8)) << "last row, 5 high";
    }
    EXPECT_TRUE(IsNear(surface.Pixel(40, 20), kLeft, 8)) << "right border after the tiles";
    EXPECT_TRUE(IsNear(surface.Pixel(20, 40), kLeft, 8)) << "bottom border after the tiles";
    EXPECT_EQ(0, TestSupport::CountOutside(surface, rcDest, Not(kBackground)));
}

// A repaint of part of the middle draws there exactly what a full paint
// draws: tiles keep their places.
TEST_P(TileTest, PartialPaintMatchesTheFullPaint)
{
    const TileCase& c = GetParam();
    Bitmap image(20, 20, TiledSource);
    RECT rcDest = {10, 10, 45, 45};
    RECT rcSource = {0, 0, 20, 20};
    DibSurface full(60, 60);
    full.Clear(kBackground);
    RECT rcAll = {0, 0, 60, 60};
    CRenderEngine::DrawImage(full.GetDC(), image.Get(), rcDest, rcAll, rcSource, kCorners5, false, 255, false,
                             c.bTiledX, c.bTiledY);
    DibSurface partial(60, 60);
    partial.Clear(kBackground);
    RECT rcPaint = {27, 27, 60, 60};
    ClipTo(partial.GetDC(), rcPaint);
    CRenderEngine::DrawImage(partial.GetDC(), image.Get(), rcDest, rcPaint, rcSource, kCorners5, false, 255,
                             false, c.bTiledX, c.bTiledY);
    ::SelectClipRgn(partial.GetDC(), nullptr);
    int differing = 0;
    for (int y = rcPaint.top; y < rcPaint.bottom; ++y) {
        for (int x = rcPaint.left; x < rcPaint.right; ++x) {
            differing += full.Pixel(x, y) != partial.Pixel(x, y);
        }
    }
    EXPECT_EQ(0, differing) << c.name;
    EXPECT_EQ(0, TestSupport::CountOutside(partial, rcPaint, Not(kBackground))) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Axes, TileTest,
                         ::testing::Values(TileCase{"x and y", true, true}, TileCase{"x only", true, false},
                                           TileCase{"y only", false, true}));

struct EmptyMiddleCase
{
    const char* name;
    int imageSize;
    RECT corners;
    bool bTiledX;
    bool bTiledY;
};

// Corners that leave the source middle without width or height: the middle
// has nothing to repeat or stretch and stays as it was; the corners and
// edges are still drawn.
TEST(ImageDrawEdgeTest, SourceMiddleWithoutAreaLeavesTheMiddleAlone)
{
    const EmptyMiddleCase cases[] = {
        {"no width, x tiled", 10, {5, 2, 5, 2}, true, false},
        {"no height, y tiled", 10, {2, 5, 2, 5}, false, true},
        {"no width, both tiled", 10, {5, 2, 5, 2}, true, true},
        {"negative width, x tiled", 10, {6, 2, 6, 2}, true, false},
        {"no width, stretched", 10, {5, 2, 5, 2}, false, false},
    };
    for (const EmptyMiddleCase& c : cases) {
        Bitmap image(c.imageSize, c.imageSize, [](int, int) { return kMarker; });
        DibSurface surface(60, 60);
        surface.Clear(kBackground);
        RECT rcDest = {0, 0, 50, 50};
        RECT rcPaint = {0, 0, 60, 60};
        RECT rcSource = {0, 0, c.imageSize, c.imageSize};
        CRenderEngine::DrawImage(surface.GetDC(), image.Get(), rcDest, rcPaint, rcSource, c.corners, false,
                                 255, false, c.bTiledX, c.bTiledY);
        EXPECT_EQ(kBackground, surface.Pixel(25, 25)) << c.name;
        EXPECT_TRUE(IsNear(surface.Pixel(0, 0), kMarker, 8)) << c.name;
    }
}

TEST(ImageDrawEdgeTest, NullBitmapOrDCDrawsNothing)
{
    DibSurface surface(20, 20);
    surface.Clear(kBackground);
    RECT rc = {0, 0, 20, 20};
    CRenderEngine::DrawImage(surface.GetDC(), nullptr, rc, rc, rc, kNoCorners, true);
    Bitmap image(20, 20, [](int, int) { return kMarker; });
    CRenderEngine::DrawImage(nullptr, image.Get(), rc, rc, rc, kNoCorners, true);
    EXPECT_EQ(0, TestSupport::CountIn(surface, rc, Not(kBackground)));
}

TEST(ImageDrawEdgeTest, UnscaledOpaqueImageIsCopiedExactly)
{
    // Same size, no corners, not blended: one copy of the visible part,
    // source offset kept.
    Bitmap image(30, 30, [](int x, int y) { return 0xFF000000u | (x << 16) | (y << 8) | 7; });
    DibSurface surface(50, 50);
    surface.Clear(kBackground);
    RECT rcDest = {10, 10, 40, 40};
    RECT rcPaint = {20, 20, 50, 50};
    RECT rcSource = {0, 0, 30, 30};
    CRenderEngine::DrawImage(surface.GetDC(), image.Get(), rcDest, rcPaint, rcSource, kNoCorners, false);
    EXPECT_EQ(0xFF000000u | (10 << 16) | (10 << 8) | 7, surface.Pixel(20, 20));
    EXPECT_EQ(0xFF000000u | (29 << 16) | (29 << 8) | 7, surface.Pixel(39, 39));
    EXPECT_EQ(kBackground, surface.Pixel(19, 25)) << "left of the paint rectangle";
    EXPECT_EQ(kBackground, surface.Pixel(40, 40)) << "past the destination";
}

struct BlendCase
{
    const char* name;
    DWORD source;  // premultiplied
    DWORD background;
    bool bAlpha;
    BYTE fade;
    DWORD expected;
};

// Blending over opaque and transparent backgrounds: source-over with
// premultiplied pixels, fade as constant alpha.
TEST(ImageBlendTest, FadeAndPerPixelAlpha)
{
    const BlendCase cases[] = {
        {"opaque, fade 255, copied", 0xFFFFFFFF, 0xFF000000, false, 255, 0xFFFFFFFF},
        {"opaque image, fade 128 over black", 0xFFFFFFFF, 0xFF000000, false, 128, 0xFF808080},
        {"fade 128 over transparent: half alpha", 0xFFFFFFFF, 0x00000000, false, 128, 0x80808080},
        {"half-transparent red over white", 0x80800000, 0xFFFFFFFF, true, 255, 0xFFFF7F7F},
        {"transparent pixel keeps the background", 0x00000000, 0xFF123456, true, 255, 0xFF123456},
        {"alpha image, fade 0", 0xFFFFFFFF, 0xFF123456, true, 0, 0xFF123456},
    };
    for (const BlendCase& c : cases) {
        Bitmap image(4, 4, [&c](int, int) { return c.source; });
        DibSurface surface(8, 8);
        surface.Clear(c.background);
        RECT rcDest = {2, 2, 6, 6};
        RECT rcPaint = {0, 0, 8, 8};
        RECT rcSource = {0, 0, 4, 4};
        CRenderEngine::DrawImage(surface.GetDC(), image.Get(), rcDest, rcPaint, rcSource, kNoCorners,
                                 c.bAlpha, c.fade);
        const DWORD pixel = surface.Pixel(3, 3);
        EXPECT_TRUE(IsNear(pixel, c.expected, 2) &&
                    abs(TestSupport::Alpha(pixel) - TestSupport::Alpha(c.expected)) <= 2)
            << c.name << ": " << std::hex << pixel;
        EXPECT_EQ(c.background, surface.Pixel(1, 1)) << c.name;
    }
}

// The engine's own blend gives what msimg32's AlphaBlend gives.
TEST(ImageBlendTest, SoftwareBlendMatchesAlphaBlend)
{
    struct Case
    {
        const char* name;
        BLENDFUNCTION blend;
    };
    const Case cases[] = {
        {"per-pixel alpha", {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}},
        {"per-pixel alpha and fade 128", {AC_SRC_OVER, 0, 128, AC_SRC_ALPHA}},
        {"per-pixel alpha and fade 0", {AC_SRC_OVER, 0, 0, AC_SRC_ALPHA}},
        {"constant alpha only", {AC_SRC_OVER, 0, 100, 0}},
    };
    srand(7);
    std::vector<DWORD> source(16 * 16);
    std::vector<DWORD> background(16 * 16);
    for (size_t i = 0; i < source.size(); ++i) {
        const DWORD a = static_cast<DWORD>(rand() % 256);
        const DWORD r = a * static_cast<DWORD>(rand() % 256) / 255;
        const DWORD g = a * static_cast<DWORD>(rand() % 256) / 255;
        const DWORD b = a * static_cast<DWORD>(rand() % 256) / 255;
        source[i] = (a << 24) | (r << 16) | (g << 8) | b;
        background[i] = 0xFF000000u | (static_cast<DWORD>(rand()) & 0xFFFFFF);
    }
    Bitmap image(16, 16, [&source](int x, int y) { return source[y * 16 + x]; });
    HDC hSrcDC = ::CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hSrcDC, image.Get());
    for (const Case& c : cases) {
        DibSurface expected(16, 16);
        DibSurface actual(16, 16);
        for (DibSurface* s : {&expected, &actual}) {
            Bitmap fill(16, 16, [&background](int x, int y) { return background[y * 16 + x]; });
            HDC hFillDC = ::CreateCompatibleDC(nullptr);
            HGDIOBJ hOldFill = ::SelectObject(hFillDC, fill.Get());
            ::BitBlt(s->GetDC(), 0, 0, 16, 16, hFillDC, 0, 0, SRCCOPY);
            ::SelectObject(hFillDC, hOldFill);
            ::DeleteDC(hFillDC);
        }
        ASSERT_TRUE(::AlphaBlend(expected.GetDC(), 0, 0, 16, 16, hSrcDC, 0, 0, 16, 16, c.blend));
        ASSERT_TRUE(
            CRenderEngine::SoftwareAlphaBlend(actual.GetDC(), 0, 0, 16, 16, hSrcDC, 0, 0, 16, 16, c.blend));
        int worst = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const DWORD e = expected.Pixel(x, y);
                const DWORD a = actual.Pixel(x, y);
                for (int shift = 0; shift < 32; shift += 8) {
                    const int d =
                        abs(static_cast<int>((e >> shift) & 0xFF) - static_cast<int>((a >> shift) & 0xFF));
                    if (d > worst) worst = d;
                }
            }
        }
        EXPECT_LE(worst, 2) << c.name;
    }
    // Nothing to blend: no area on either side.
    DibSurface target(4, 4);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_FALSE(CRenderEngine::SoftwareAlphaBlend(target.GetDC(), 0, 0, 0, 4, hSrcDC, 0, 0, 4, 4, blend));
    EXPECT_FALSE(CRenderEngine::SoftwareAlphaBlend(target.GetDC(), 0, 0, 4, 4, hSrcDC, 0, 0, 4, 0, blend));
    EXPECT_FALSE(CRenderEngine::SoftwareAlphaBlend(nullptr, 0, 0, 4, 4, hSrcDC, 0, 0, 4, 4, blend));
    ::SelectObject(hSrcDC, hOld);
    ::DeleteDC(hSrcDC);
}

TEST(ImageBlendTest, SoftwareBlendStretchesToTheDestination)
{
    Bitmap image(2, 2, [](int, int) { return 0xFFFF0000u; });
    HDC hSrcDC = ::CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hSrcDC, image.Get());
    DibSurface surface(20, 20);
    surface.Clear(kBackground);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(CRenderEngine::SoftwareAlphaBlend(surface.GetDC(), 4, 4, 10, 8, hSrcDC, 0, 0, 2, 2, blend));
    RECT rcDest = {4, 4, 14, 12};
    EXPECT_EQ(80, TestSupport::CountIn(surface, rcDest, TestSupport::Near(0xFFFF0000, 0)));
    EXPECT_EQ(0, TestSupport::CountOutside(surface, rcDest, Not(kBackground)));
    ::SelectObject(hSrcDC, hOld);
    ::DeleteDC(hSrcDC);
}

// ---- Through the paint manager: draw strings and draw records ------------

class ImageInfoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_window.IsValid());
        // The image tables own the bitmaps given to them.
        HBITMAP hNine = TestSupport::CreateSourceBitmap(20, 20, NinePieceColor);
        ASSERT_NE(nullptr, Manager()->AddImage(L"nine.png", hNine, 20, 20, false));
        HBITMAP hPlain = TestSupport::CreateSourceBitmap(
            30, 30, [](int x, int y) { return 0xFF000000u | (x << 16) | (y << 8); });
        ASSERT_NE(nullptr, Manager()->AddImage(L"plain.png", hPlain, 30, 30, false));
    }
    CPaintManagerUI* Manager() { return m_window.Manager(); }

    TestSupport::PaintManagerWindow m_window;
};

TEST_F(ImageInfoTest, InputsThatAreMissingGiveFalse)
{
    DibSurface surface(40, 40);
    RECT rc = {0, 0, 40, 40};
    const std::tuple<const char*, HDC, CPaintManagerUI*, LPCTSTR> cases[] = {
        {"no DC", nullptr, Manager(), L"plain.png"},
        {"no manager", surface.GetDC(), nullptr, L"plain.png"},
        {"image that cannot be had", surface.GetDC(), Manager(), L"file='missing.png'"},
        {"empty draw string", surface.GetDC(), Manager(), L""},
    };
    for (const auto& [name, hDC, pManager, image] : cases) {
        surface.Clear(kBackground);
        EXPECT_FALSE(CRenderEngine::DrawImageString(hDC, pManager, rc, rc, image, nullptr)) << name;
        EXPECT_EQ(0, TestSupport::CountIn(surface, rc, Not(kBackground))) << name;
    }
    EXPECT_FALSE(CRenderEngine::DrawImageInfo(surface.GetDC(), Manager(), rc, rc, nullptr));
}

TEST_F(ImageInfoTest, DestAndSourceLimits)
{
    // expectedInk: on the surface; the control is (10, 10, 60, 60)
    const std::tuple<const char*, LPCTSTR, RECT> cases[] = {
        {"whole control", L"plain.png", {10, 10, 60, 60}},
        {"dest inside", L"file='plain.png' dest='5,5,25,15'", {15, 15, 35, 25}},
        {"dest past the control is limited to it",
         L"file='plain.png' dest='10,10,200,200'",
         {20, 20, 60, 60}},
        {"source larger than the image is cut", L"file='plain.png' source='0,0,100,100'", {10, 10, 60, 60}},
    };
    for (const auto& [name, image, expectedInk] : cases) {
        DibSurface surface(80, 80);
        surface.Clear(kBackground);
        RECT rcItem = {10, 10, 60, 60};
        RECT rcPaint = {0, 0, 80, 80};
        EXPECT_TRUE(CRenderEngine::DrawImageString(surface.GetDC(), Manager(), rcItem, rcPaint, image))
            << name;
        RECT ink = TestSupport::BoundsOf(surface, Not(kBackground));
        EXPECT_EQ(TestSupport::Rect(expectedInk), TestSupport::Rect(ink)) << name;
    }
}

TEST_F(ImageInfoTest, SourcePartIsWhatIsDrawn)
{
    // source='10,20,11,21' picks the single pixel (10, 20): red 10, green 20.
    DibSurface surface(40, 40);
    surface.Clear(kBackground);
    RECT rcItem = {0, 0, 8, 8};
    EXPECT_TRUE(CRenderEngine::DrawImageString(surface.GetDC(), Manager(), rcItem, rcItem,
                                               L"file='plain.png' source='10,20,11,21'"));
    EXPECT_TRUE(IsNear(surface.Pixel(4, 4), 0xFF0A1400, 2)) << std::hex << surface.Pixel(4, 4);
    EXPECT_EQ(kBackground, surface.Pixel(8, 8));
}

TEST_F(ImageInfoTest, UnscaledImageIsCopiedUnchanged)
{
    // A 30 x 30 image in a 30 x 30 control of a window that is not layered.
    DibSurface surface(40, 40);
    surface.Clear(kBackground);
    RECT rcItem = {5, 5, 35, 35};
    RECT rcPaint = {0, 0, 40, 40};
    EXPECT_TRUE(CRenderEngine::DrawImageString(surface.GetDC(), Manager(), rcItem, rcPaint, L"plain.png"));
    for (int y = 0; y < 30; y += 7) {
        for (int x = 0; x < 30; x += 7) {
            EXPECT_EQ(0xFF000000u | (x << 16) | (y << 8), surface.Pixel(5 + x, 5 + y));
        }
    }
}

TEST_F(ImageInfoTest, ImageOutsideControlOrPaintIsTrueAndDrawsNothing)
{
    const std::tuple<const char*, LPCTSTR, RECT> cases[] = {
        {"dest beyond the control", L"file='plain.png' dest='70,70,90,90'", {0, 0, 100, 100}},
        {"paint rectangle elsewhere", L"plain.png", {70, 70, 100, 100}},
    };
    for (const auto& [name, image, rcPaint] : cases) {
        DibSurface surface(100, 100);
        surface.Clear(kBackground);
        RECT rcItem = {10, 10, 60, 60};
        EXPECT_TRUE(CRenderEngine::DrawImageString(surface.GetDC(), Manager(), rcItem, rcPaint, image))
            << name;
        RECT all = {0, 0, 100, 100};
        EXPECT_EQ(0, TestSupport::CountIn(surface, all, Not(kBackground))) << name;
    }
}

TEST_F(ImageInfoTest, CornersHoleAndFadeFromTheDrawString)
{
    DibSurface surface(120, 60);
    surface.Clear(0xFF000000);
    RECT rcItem = {10, 10, 110, 50};
    RECT rcPaint = {0, 0, 120, 60};
    EXPECT_TRUE(CRenderEngine::DrawImageString(surface.GetDC(), Manager(), rcItem, rcPaint,
                                               L"file='nine.png' corner='5,5,5,5' hole='true'"));
    EXPECT_EQ(0xFF000000, surface.Pixel(60, 30)) << "hole";
    EXPECT_TRUE(IsNear(surface.Pixel(12, 12), kTopLeft, 8));
    EXPECT_TRUE(IsNear(surface.Pixel(107, 47), kBottomRight, 8));

    surface.Clear(0xFF000000);
    EXPECT_TRUE(CRenderEngine::DrawImageString(surface.GetDC(), Manager(), rcItem, rcPaint,
                                               L"file='nine.png' corner='5,5,5,5' fade='128'"));
    EXPECT_TRUE(IsNear(surface.Pixel(60, 30), 0xFF808080, 3)) << std::hex << surface.Pixel(60, 30);
}

TEST_F(ImageInfoTest, TheSkinBackgroundIsCopiedAsLoaded)
{
    // The launcher's own "bg.png" (opaque) in its 536 x 355 window.
    const std::string file = TestSupport::SkinSourceFile("bg.png");
    const std::wstring folder = TestSupport::WideFromAnsi(file.substr(0, file.size() - 6));
    CPaintManagerUI::SetResourcePath(folder.c_str());
    DibSurface surface(536, 355);
    surface.Clear(0);
    RECT rc = {0, 0, 536, 355};
    const bool bDrawn = CRenderEngine::DrawImageString(surface.GetDC(), Manager(), rc, rc, L"bg.png");
    CPaintManagerUI::SetResourcePath(L"");
    ASSERT_TRUE(bDrawn);
    const SkinUI::TImageInfo* pImage = Manager()->GetImage(L"bg.png");
    ASSERT_NE(nullptr, pImage);
    ASSERT_EQ(536, pImage->nX);
    ASSERT_EQ(355, pImage->nY);
    DIBSECTION ds = {};
    ASSERT_EQ(static_cast<int>(sizeof(ds)), ::GetObjectW(pImage->hBitmap, sizeof(ds), &ds));
    const DWORD* pBits = static_cast<const DWORD*>(ds.dsBm.bmBits);
    int differing = 0;
    for (int y = 0; y < 355; ++y) {
        for (int x = 0; x < 536; ++x) differing += surface.Pixel(x, y) != pBits[y * 536 + x];
    }
    EXPECT_EQ(0, differing);
}

TEST_F(ImageInfoTest, ColourKeyedPixelsStayTransparent)
{
    // A loaded file with the mask #FFFF00FF: its magenta pixels become
    // transparent and the background shows through them.
    TestSupport::TempFolder folder("vzdraw");
    std::vector<uint8_t> rgba;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool bKey = x < 4;
            rgba.push_back(bKey ? 255 : 0);
            rgba.push_back(bKey ? 0 : 255);
            rgba.push_back(bKey ? 255 : 0);
            rgba.push_back(255);
        }
    }
    ASSERT_TRUE(TestSupport::WriteWholeFile(folder.File("keyed.png"), TestSupport::EncodePng(8, 8, rgba)));
    const std::wstring path = TestSupport::WideFromAnsi(folder.Path());
    CPaintManagerUI::SetResourcePath(path.c_str());
    DibSurface surface(8, 8);
    surface.Clear(0xFF0000FF);
    RECT rc = {0, 0, 8, 8};
    EXPECT_TRUE(CRenderEngine::DrawImageString(surface.GetDC(), Manager(), rc, rc,
                                               L"file='keyed.png' mask='#FFFF00FF'"));
    CPaintManagerUI::SetResourcePath(L"");
    EXPECT_EQ(0xFF0000FFu, surface.Pixel(1, 4)) << "keyed pixel keeps the background";
    EXPECT_TRUE(IsNear(surface.Pixel(6, 4), 0xFF00FF00, 2)) << std::hex << surface.Pixel(6, 4);
}

}  // namespace
