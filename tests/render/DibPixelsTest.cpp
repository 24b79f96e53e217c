// The engine's own blend and fill give, pixel for pixel, what AlphaBlend and
// GDI+ give for the same call; DrawImage and DrawColor take them only where
// they do. The system's result for DrawImage and DrawColor is read from a DC
// with a meta region over the whole bitmap: the same clip, but a DC the
// engine leaves to the system.
#include "skinui/render/DibPixels.h"

#include "skinui/render/MemoryDib.h"
#include "skinui/render/RenderClip.h"
#include "skinui/render/RenderEngine.h"
#include "tests/support/PaintManagerWindow.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using SkinUI::CDibPixels;
using SkinUI::CRenderEngine;

namespace {

// Makes the engine leave hDC to the system without changing what is drawn.
void LeaveToTheSystem(HDC hDC, int width, int height)
{
    HRGN hAll = ::CreateRectRgn(0, 0, width, height);
    ::SelectClipRgn(hDC, hAll);
    ::DeleteObject(hAll);
    ::SetMetaRgn(hDC);
    CDibPixels pixels;
    EXPECT_FALSE(pixels.Attach(hDC));
}

// A 32-bit DIB section in its own memory DC; bottom-up like the paint
// manager's off-screen bitmap, or top-down like decoded images.
class Dib
{
public:
    Dib(int width, int height, bool bBottomUp) : m_width(width), m_height(height)
    {
        BYTE* pBits = nullptr;
        m_hBitmap = SkinUI::CMemoryDib::CreateBitmap(nullptr, width, height, !bBottomUp, &pBits);
        m_pBits = reinterpret_cast<DWORD*>(pBits);
        m_hDC = ::CreateCompatibleDC(nullptr);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        m_bBottomUp = bBottomUp;
    }
    // A bitmap is selected into one DC at a time: an image to be drawn by
    // DrawImage leaves its own DC first.
    void Unselect() { ::SelectObject(m_hDC, m_hOld); }
    ~Dib()
    {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteDC(m_hDC);
        ::DeleteObject(m_hBitmap);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    HDC DC() const { return m_hDC; }
    HBITMAP Bitmap() const { return m_hBitmap; }
    DWORD& At(int x, int y) const { return m_pBits[(m_bBottomUp ? m_height - 1 - y : y) * m_width + x]; }
    std::vector<DWORD> Pixels() const
    {
        ::GdiFlush();
        return std::vector<DWORD>(m_pBits, m_pBits + m_width * m_height);
    }

private:
    int m_width;
    int m_height;
    bool m_bBottomUp = false;
    HBITMAP m_hBitmap = nullptr;
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOld = nullptr;
    DWORD* m_pBits = nullptr;
};

DWORD NextRandom(DWORD& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// Premultiplied: no colour channel above the alpha.
DWORD Premultiplied(DWORD& state)
{
    const DWORD a = NextRandom(state) & 0xFF;
    DWORD pixel = a << 24;
    for (int shift = 0; shift < 24; shift += 8) pixel |= (a == 0 ? 0 : NextRandom(state) % (a + 1)) << shift;
    return pixel;
}

void FillRandom(const Dib& dib, int width, int height, DWORD seed, bool bPremultiplied)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Runs of opaque and of empty pixels, as in skin images.
            const DWORD kind = NextRandom(seed) % 8;
            DWORD pixel;
            if (kind == 0)
                pixel = 0;
            else if (kind == 1)
                pixel = 0xFF000000 | NextRandom(seed);
            else
                pixel = bPremultiplied ? Premultiplied(seed) : NextRandom(seed) ^ (NextRandom(seed) << 24);
            dib.At(x, y) = pixel;
        }
}

int CountDifferences(const std::vector<DWORD>& a, const std::vector<DWORD>& b)
{
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) ++n;
    return n;
}

// The layered window's alpha repair, pixel by pixel, over spans of every
// length and start up to a few vector widths (whole blocks and their tails).
TEST(DibPixels, AlphaRepairMakesOnlyColouredPixelsWithoutAlphaOpaque)
{
    struct Case
    {
        DWORD before, after;
    };
    const Case cases[] = {
        {0x00000000, 0x00000000},  // nobody painted it
        {0x00123456, 0xFF123456},  // GDI text: colour, alpha left 0
        {0x00000001, 0xFF000001}, {0x00FFFFFF, 0xFFFFFFFF}, {0x80402010, 0x80402010},
        {0x01000000, 0x01000000}, {0xFF000000, 0xFF000000}, {0xFE00FF00, 0xFE00FF00},
    };
    const int nCases = static_cast<int>(sizeof(cases) / sizeof(cases[0]));
    for (int start = 0; start < 5; ++start) {
        for (int n = 0; n <= 13; ++n) {
            DWORD span[32];
            for (int i = 0; i < 32; ++i) span[i] = cases[(i * 3) % nCases].before;
            CDibPixels::OpaqueWhereColoured(span + start, n);
            for (int i = 0; i < 32; ++i) {
                const Case& c = cases[(i * 3) % nCases];
                const bool inside = i >= start && i < start + n;
                EXPECT_EQ(inside ? c.after : c.before, span[i])
                    << "start " << start << " length " << n << " at " << i;
            }
        }
    }
}

TEST(DibPixels, BlendGivesAlphaBlendsPixelsForEveryAlphaAndConstant)
{
    const int kWidth = 256, kHeight = 64;
    Dib source(kWidth, kHeight, false);
    FillRandom(source, kWidth, kHeight, 7, true);
    // Every source alpha against every destination value of one channel.
    for (int x = 0; x < kWidth; ++x) source.At(x, 0) = DWORD(x) << 24 | DWORD(x) << 16 | DWORD(x / 2) << 8;
    for (BYTE constant : {BYTE(255), BYTE(254), BYTE(128), BYTE(1), BYTE(0)}) {
        Dib viaSystem(kWidth, kHeight, true), viaEngine(kWidth, kHeight, true);
        FillRandom(viaSystem, kWidth, kHeight, 99, false);
        FillRandom(viaEngine, kWidth, kHeight, 99, false);
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, constant, AC_SRC_ALPHA};
        ASSERT_TRUE(
            ::AlphaBlend(viaSystem.DC(), 0, 0, kWidth, kHeight, source.DC(), 0, 0, kWidth, kHeight, blend));
        CDibPixels target, pixels;
        ASSERT_TRUE(target.Attach(viaEngine.DC()));
        ASSERT_TRUE(pixels.AttachBitmap(source.Bitmap()));
        ASSERT_TRUE(target.Blend(0, 0, kWidth, kHeight, pixels, 0, 0, constant));
        EXPECT_EQ(0, CountDifferences(viaSystem.Pixels(), viaEngine.Pixels())) << int(constant);
    }
}

// Clip regions (rectangles, round corners as controls make them, several
// pieces), window origins and parts of the source, each blended both ways.
TEST(DibPixels, BlendKeepsToTheClipTheOriginAndTheSourcePart)
{
    // clip: 0 none, 1 rectangle, 2 round rectangle, 3 two rectangles
    const std::tuple<const char*, int, POINT, int, int, int, int, int, int> cases[] = {
        {"whole, no clip", 0, {0, 0}, 0, 0, 60, 40, 0, 0},
        {"partly outside the target", 0, {0, 0}, -10, 30, 60, 40, 0, 0},
        {"source part", 1, {0, 0}, 5, 7, 30, 20, 17, 11},
        {"round clip", 2, {0, 0}, 0, 0, 80, 60, 0, 0},
        {"two clip pieces", 3, {0, 0}, 3, 3, 70, 50, 2, 1},
        {"window origin", 2, {-12, 9}, 10, 10, 50, 40, 4, 4},
    };
    for (const auto& [name, clip, origin, x, y, cx, cy, sx, sy] : cases) {
        Dib source(80, 60, false);
        FillRandom(source, 80, 60, 3, true);
        Dib viaSystem(90, 70, true), viaEngine(90, 70, true);
        FillRandom(viaSystem, 90, 70, 5, false);
        FillRandom(viaEngine, 90, 70, 5, false);
        for (const Dib* dib : {&viaSystem, &viaEngine}) {
            HRGN hRgn = nullptr;
            if (clip == 1) hRgn = ::CreateRectRgn(8, 6, 50, 40);
            if (clip == 2) hRgn = ::CreateRoundRectRgn(4, 4, 75, 55, 10, 10);
            if (clip == 3) {
                hRgn = ::CreateRectRgn(0, 0, 30, 30);
                HRGN hOther = ::CreateRectRgn(40, 20, 88, 66);
                ::CombineRgn(hRgn, hRgn, hOther, RGN_OR);
                ::DeleteObject(hOther);
            }
            if (hRgn != nullptr) {
                ::SelectClipRgn(dib->DC(), hRgn);
                ::DeleteObject(hRgn);
            }
            ::SetWindowOrgEx(dib->DC(), origin.x, origin.y, nullptr);
        }
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::AlphaBlend(viaSystem.DC(), x, y, cx, cy, source.DC(), sx, sy, cx, cy, blend);
        CDibPixels target, pixels;
        ASSERT_TRUE(target.Attach(viaEngine.DC())) << name;
        ASSERT_TRUE(pixels.AttachBitmap(source.Bitmap()));
        EXPECT_TRUE(target.Blend(x, y, cx, cy, pixels, sx, sy, 255)) << name;
        EXPECT_EQ(0, CountDifferences(viaSystem.Pixels(), viaEngine.Pixels())) << name;
    }
}

TEST(DibPixels, ASourcePartOutsideTheSourceIsRefusedAsAlphaBlendRefusesIt)
{
    Dib source(20, 20, false), target(40, 40, true);
    CDibPixels to, from;
    ASSERT_TRUE(to.Attach(target.DC()));
    ASSERT_TRUE(from.AttachBitmap(source.Bitmap()));
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const RECT parts[] = {{-1, 0, 10, 10}, {0, -1, 10, 10}, {11, 0, 10, 10}, {0, 15, 10, 10}};
    for (const RECT& p : parts) {
        EXPECT_FALSE(to.Blend(0, 0, p.right, p.bottom, from, p.left, p.top, 255));
        EXPECT_FALSE(::AlphaBlend(target.DC(), 0, 0, p.right, p.bottom, source.DC(), p.left, p.top, p.right,
                                  p.bottom, blend));
    }
}

TEST(DibPixels, DCsTheEngineCannotDrawOnAreLeftToTheSystem)
{
    Dib dib(10, 10, true);
    CDibPixels pixels;
    EXPECT_TRUE(pixels.Attach(dib.DC()));

    ::SetGraphicsMode(dib.DC(), GM_ADVANCED);
    EXPECT_FALSE(pixels.Attach(dib.DC())) << "advanced graphics mode";
    ::SetGraphicsMode(dib.DC(), GM_COMPATIBLE);
    ::SetMapMode(dib.DC(), MM_LOMETRIC);
    EXPECT_FALSE(pixels.Attach(dib.DC())) << "a mapping mode";
    ::SetMapMode(dib.DC(), MM_TEXT);

    HDC hScreen = ::GetDC(nullptr);
    EXPECT_FALSE(pixels.Attach(hScreen)) << "a window DC";
    HBITMAP hDdb = ::CreateCompatibleBitmap(hScreen, 10, 10);
    EXPECT_FALSE(pixels.AttachBitmap(hDdb)) << "a device-dependent bitmap";
    ::DeleteObject(hDdb);
    ::ReleaseDC(nullptr, hScreen);

    HDC hMono = ::CreateCompatibleDC(nullptr);
    EXPECT_FALSE(pixels.Attach(hMono)) << "the memory DC's stock bitmap";
    ::DeleteDC(hMono);

    // Two hundred clip pieces are more than the engine keeps.
    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    for (int i = 0; i < 10; ++i) {
        HRGN hDot = ::CreateRectRgn(i, i, i + 1, i + 1);
        ::CombineRgn(hRgn, hRgn, hDot, RGN_OR);
        ::DeleteObject(hDot);
    }
    Dib big(400, 400, true);
    HRGN hMany = ::CreateRectRgn(0, 0, 0, 0);
    for (int i = 0; i < 200; ++i) {
        HRGN hDot = ::CreateRectRgn(2 * i, 2 * i, 2 * i + 1, 2 * i + 1);
        ::CombineRgn(hMany, hMany, hDot, RGN_OR);
        ::DeleteObject(hDot);
    }
    ::SelectClipRgn(dib.DC(), hRgn);
    EXPECT_TRUE(pixels.Attach(dib.DC())) << "ten clip pieces";
    ::SelectClipRgn(big.DC(), hMany);
    EXPECT_FALSE(pixels.Attach(big.DC())) << "two hundred clip pieces";
    ::DeleteObject(hRgn);
    ::DeleteObject(hMany);
}

// GDI+ runs while a paint manager lives, as in a running window.
class DrawPathTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_window.IsValid()); }
    TestSupport::PaintManagerWindow m_window;
};

// DrawImage's pieces (corners, edges, middle, tiles, fade, hole) inside a
// round clip: the engine's blend on a plain DC, AlphaBlend on a DC in
// GM_ADVANCED, the same pixels.
TEST_F(DrawPathTest, DrawImageGivesTheSystemsPixels)
{
    const std::tuple<const char*, RECT, RECT, RECT, BYTE, bool, bool, bool> cases[] = {
        {"unscaled", {5, 5, 45, 35}, {0, 0, 40, 30}, {0, 0, 0, 0}, 255, false, false, false},
        {"nine-grid, stretched", {2, 3, 78, 58}, {0, 0, 40, 30}, {6, 5, 7, 4}, 255, false, false, false},
        {"nine-grid, same size", {10, 10, 50, 40}, {0, 0, 40, 30}, {6, 5, 7, 4}, 255, false, false, false},
        {"faded", {5, 5, 45, 35}, {0, 0, 40, 30}, {0, 0, 0, 0}, 100, false, false, false},
        {"hole", {2, 3, 78, 58}, {0, 0, 40, 30}, {6, 5, 7, 4}, 255, true, false, false},
        {"tiled both ways", {0, 0, 80, 60}, {3, 2, 20, 14}, {0, 0, 0, 0}, 255, false, true, true},
        {"tiled across", {0, 0, 80, 60}, {3, 2, 20, 14}, {2, 2, 2, 2}, 255, false, true, false},
    };
    Dib image(40, 30, false);
    FillRandom(image, 40, 30, 11, true);
    image.Unselect();
    for (const auto& [name, dest, part, corners, fade, hole, tiledX, tiledY] : cases) {
        Dib viaSystem(80, 60, true), viaEngine(80, 60, true);
        FillRandom(viaSystem, 80, 60, 13, false);
        FillRandom(viaEngine, 80, 60, 13, false);
        const RECT rcPaint = {0, 0, 70, 60};
        const RECT rcItem = {1, 1, 79, 59};
        LeaveToTheSystem(viaSystem.DC(), 80, 60);
        for (const Dib* dib : {&viaSystem, &viaEngine}) {
            SkinUI::CRenderClip clip;
            SkinUI::CRenderClip::GenerateRoundClip(dib->DC(), rcPaint, rcItem, 9, 9, clip);
            CRenderEngine::DrawImage(dib->DC(), image.Bitmap(), dest, rcPaint, part, corners, true, fade,
                                     hole, tiledX, tiledY);
        }
        EXPECT_EQ(0, CountDifferences(viaSystem.Pixels(), viaEngine.Pixels())) << name;
    }
}

// An image still selected into another DC draws nothing, on the engine's
// path as on AlphaBlend's; an image that was drawn is let go again, so that
// it can be selected elsewhere afterwards.
TEST_F(DrawPathTest, ImagesSelectedElsewhereDrawNothingAndDrawnOnesAreLetGo)
{
    Dib image(20, 10, false);
    FillRandom(image, 20, 10, 31, true);
    const RECT rc = {2, 2, 22, 12}, part = {0, 0, 20, 10}, corners = {0, 0, 0, 0};
    for (int pass = 0; pass < 3; ++pass) {
        // 0: engine, selected elsewhere; 1: system, selected elsewhere; 2: engine, free.
        if (pass == 2) image.Unselect();
        Dib target(30, 20, true);
        FillRandom(target, 30, 20, 33, false);
        if (pass == 1) LeaveToTheSystem(target.DC(), 30, 20);
        const std::vector<DWORD> before = target.Pixels();
        CRenderEngine::DrawImage(target.DC(), image.Bitmap(), rc, rc, part, corners, true, 255, false, false,
                                 false);
        const int changed = CountDifferences(before, target.Pixels());
        if (pass < 2)
            EXPECT_EQ(0, changed) << "pass " << pass;
        else
            EXPECT_LT(50, changed);
    }
    HDC hOther = ::CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hOther, image.Bitmap());
    EXPECT_NE(nullptr, hOld) << "the image is let go after drawing";
    if (hOld != nullptr) ::SelectObject(hOther, hOld);
    ::DeleteDC(hOther);
}

TEST_F(DrawPathTest, DrawColorGivesGdiplusPixels)
{
    const DWORD colors[] = {0xFFFFFFFF, 0xFF000000, 0xFF123456, 0xFFFF00FF};
    for (DWORD color : colors) {
        for (int clip = 0; clip < 2; ++clip) {
            Dib viaSystem(60, 40, true), viaEngine(60, 40, true);
            FillRandom(viaSystem, 60, 40, 17, false);
            FillRandom(viaEngine, 60, 40, 17, false);
            const RECT rc = {3, 4, 57, 37};
            LeaveToTheSystem(viaSystem.DC(), 60, 40);
            for (const Dib* dib : {&viaSystem, &viaEngine}) {
                SkinUI::CRenderClip roundClip;
                if (clip == 1) SkinUI::CRenderClip::GenerateRoundClip(dib->DC(), rc, rc, 5, 5, roundClip);
                CRenderEngine::DrawColor(dib->DC(), rc, color);
            }
            EXPECT_EQ(0, CountDifferences(viaSystem.Pixels(), viaEngine.Pixels()))
                << std::hex << color << " clip " << clip;
        }
    }
}

}  // namespace

namespace {

// GDI+ text results are replayed when the same text meets the same pixels
// again: every draw, first or repeated, over the same or another
// background, with or without a round clip, equals a draw the engine cannot
// replay. A text clipped to its rectangle is replayed over other pixels
// outside it; one drawn with DT_NOCLIP may reach beyond it (where GDI+
// honours the flag: Wine's clips it all the same).
TEST_F(DrawPathTest, TextGivesTheSamePixelsWhetherDrawnOrReplayed)
{
    m_window.Manager()->SetUseGdiplusText(true);
    const wchar_t kLong[] = L"Vozeror Vozeror Vozeror Vozeror";
    // frame: painted beside the text's rectangle, 0 for none
    const std::tuple<DWORD, const wchar_t*, bool, DWORD, UINT> steps[] = {
        {21, L"客服:4000012345", false, 0, 0},
        {21, L"客服:4000012345", false, 0, 0},
        {22, L"客服:4000012345", false, 0, 0},
        {21, L"客服:4000012345", false, 0, 0},
        {21, L"客服:4000012345", false, 0xFF102030, 0},
        {21, L"Vozeror", false, 0, 0},
        {21, L"客服:4000012345", true, 0, 0},
        {21, L"客服:4000012345", true, 0, 0},
        {21, kLong, false, 0, DT_NOCLIP},
        {21, kLong, false, 0xFF102030, DT_NOCLIP},
    };
    const RECT rcItem = {4, 6, 116, 34};
    for (const auto& [seed, text, roundClip, frame, extraStyle] : steps) {
        Dib viaSystem(120, 40, true), viaEngine(120, 40, true);
        for (const Dib* dib : {&viaSystem, &viaEngine}) {
            FillRandom(*dib, 120, 40, seed, false);
            for (int y = 0; y < 40 && frame != 0; ++y)
                for (int x = 0; x < 120; ++x)
                    if (x < rcItem.left - 1 || x > rcItem.right || y < rcItem.top - 1 || y > rcItem.bottom)
                        dib->At(x, y) = frame;
        }
        LeaveToTheSystem(viaSystem.DC(), 120, 40);
        for (const Dib* dib : {&viaSystem, &viaEngine}) {
            SkinUI::CRenderClip clip;
            if (roundClip) SkinUI::CRenderClip::GenerateRoundClip(dib->DC(), rcItem, rcItem, 9, 9, clip);
            RECT rc = rcItem;
            CRenderEngine::DrawTextW(dib->DC(), m_window.Manager(), rc, text, 0xFF336699, -1,
                                     DT_SINGLELINE | DT_VCENTER | extraStyle);
        }
        EXPECT_EQ(0, CountDifferences(viaSystem.Pixels(), viaEngine.Pixels()))
            << seed << (roundClip ? " round" : "");
        Dib untouched(120, 40, true);
        FillRandom(untouched, 120, 40, seed, false);
        EXPECT_LT(50, CountDifferences(untouched.Pixels(), viaEngine.Pixels())) << "the text was drawn";
    }
}

}  // namespace
