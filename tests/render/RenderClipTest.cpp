#include "skinui/render/RenderClip.h"

#include "tests/support/DibSurface.h"

#include <gtest/gtest.h>
#include <tuple>

using SkinUI::CRenderClip;
using TestSupport::DibSurface;

namespace {

const DWORD kFill = 0x00C08040;  // as GDI writes RGB(0x40, 0x80, 0xC0) into a DIB

void FillAll(DibSurface& surface)
{
    HBRUSH hBrush = ::CreateSolidBrush(RGB(0xC0, 0x80, 0x40));
    RECT rc = {0, 0, surface.Width(), surface.Height()};
    ::FillRect(surface.GetDC(), &rc, hBrush);
    ::DeleteObject(hBrush);
}

RECT ClipBox(HDC hDC)
{
    RECT rc = {0, 0, 0, 0};
    ::GetClipBox(hDC, &rc);
    return rc;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Inside(const RECT& rc, int x, int y)
{
    return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
}

}  // namespace

// A 5 x 5 round clip over the whole 100 x 30 surface: a full-size fill leaves
// the corner pixels outside the ellipses and paints everything else.
TEST(RenderClipTest, RoundClipCutsOnlyTheCorners)
{
    DibSurface surface(100, 30);
    ASSERT_TRUE(surface.IsValid());
    RECT rc = {0, 0, 100, 30};
    {
        CRenderClip clip;
        CRenderClip::GenerateRoundClip(surface.GetDC(), rc, rc, 5, 5, clip);
        FillAll(surface);
    }
    const POINT corners[] = {{0, 0}, {99, 0}, {0, 29}, {99, 29}};
    for (const POINT& pt : corners) {
        EXPECT_EQ(0u, surface.Pixel(pt.x, pt.y)) << pt.x << "," << pt.y;
    }
    // Everything beyond the 3 x 3 squares at the corners is painted.
    int unpainted = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 100; ++x) {
            bool nearCorner = (x < 3 || x > 96) && (y < 3 || y > 26);
            if (nearCorner) {
                if (surface.Pixel(x, y) != kFill) ++unpainted;
                continue;
            }
            ASSERT_EQ(kFill, surface.Pixel(x, y)) << x << "," << y;
        }
    }
    // Each corner loses at least its own pixel and at most a few more.
    EXPECT_GE(unpainted, 4);
    EXPECT_LE(unpainted, 4 * 6);
}

// Clip boxes while the clip is active and after it is gone, starting from a
// DC without clip region or with a rectangle of its own.
TEST(RenderClipTest, OldClipBoxComesBack)
{
    const std::tuple<bool, RECT, RECT, RECT, RECT> cases[] = {
        {false, {0, 0, 0, 0}, {10, 5, 60, 25}, {10, 5, 60, 25}, {0, 0, 100, 30}},
        {true, {20, 0, 80, 30}, {10, 5, 60, 25}, {20, 5, 60, 25}, {20, 0, 80, 30}},
        {true, {0, 0, 50, 30}, {60, 0, 90, 30}, {0, 0, 0, 0}, {0, 0, 50, 30}},
        {false, {0, 0, 0, 0}, {-10, -10, 200, 200}, {0, 0, 100, 30}, {0, 0, 100, 30}},
    };
    for (const auto& [hasOldClip, oldClip, rc, during, after] : cases) {
        DibSurface surface(100, 30);
        ASSERT_TRUE(surface.IsValid());
        HDC hDC = surface.GetDC();
        if (hasOldClip) {
            HRGN hRgn = ::CreateRectRgnIndirect(&oldClip);
            ::SelectClipRgn(hDC, hRgn);
            ::DeleteObject(hRgn);
        }
        {
            CRenderClip clip;
            CRenderClip::GenerateClip(hDC, rc, clip);
            RECT box = ClipBox(hDC);
            EXPECT_TRUE(SameRect(during, box) || (::IsRectEmpty(&during) && ::IsRectEmpty(&box)))
                << box.left << "," << box.top << "," << box.right << "," << box.bottom;
            EXPECT_TRUE(SameRect(rc, clip.GetItemRect()));
        }
        RECT box = ClipBox(hDC);
        EXPECT_TRUE(SameRect(after, box))
            << box.left << "," << box.top << "," << box.right << "," << box.bottom;
        // The restored clip is that rectangle: a full fill paints exactly it.
        FillAll(surface);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 100; ++x) {
                ASSERT_EQ(Inside(after, x, y) ? kFill : 0u, surface.Pixel(x, y)) << x << "," << y;
            }
        }
    }
}

// Between UseOldClipBegin and UseOldClipEnd painting reaches the old clip;
// after End it is narrowed again, and never beyond the old clip.
TEST(RenderClipTest, UseOldClipBetweenBeginAndEnd)
{
    DibSurface surface(100, 30);
    ASSERT_TRUE(surface.IsValid());
    HDC hDC = surface.GetDC();
    RECT rcOld = {10, 0, 90, 30};
    HRGN hRgn = ::CreateRectRgnIndirect(&rcOld);
    ::SelectClipRgn(hDC, hRgn);
    ::DeleteObject(hRgn);

    CRenderClip clip;
    RECT rc = {0, 10, 50, 20};
    CRenderClip::GenerateClip(hDC, rc, clip);
    CRenderClip::UseOldClipBegin(hDC, clip);
    EXPECT_TRUE(SameRect(rcOld, ClipBox(hDC)));
    CRenderClip::UseOldClipEnd(hDC, clip);
    RECT expected = {10, 10, 50, 20};
    RECT box = ClipBox(hDC);
    EXPECT_TRUE(SameRect(expected, box))
        << box.left << "," << box.top << "," << box.right << "," << box.bottom;
    FillAll(surface);
    EXPECT_EQ(0u, surface.Pixel(5, 15));
    EXPECT_EQ(kFill, surface.Pixel(10, 15));
    EXPECT_EQ(kFill, surface.Pixel(49, 19));
    EXPECT_EQ(0u, surface.Pixel(50, 15));
    EXPECT_EQ(0u, surface.Pixel(20, 9));
}

// A clip object reused for a second region restores the state before the
// first one, and one that was never generated leaves the DC alone.
TEST(RenderClipTest, RegenerateAndUnused)
{
    DibSurface surface(100, 30);
    ASSERT_TRUE(surface.IsValid());
    HDC hDC = surface.GetDC();
    {
        CRenderClip unused;
    }
    RECT full = {0, 0, 100, 30};
    EXPECT_TRUE(SameRect(full, ClipBox(hDC)));
    {
        CRenderClip clip;
        RECT a = {0, 0, 40, 30};
        RECT b = {50, 0, 100, 30};
        CRenderClip::GenerateClip(hDC, a, clip);
        CRenderClip::GenerateClip(hDC, b, clip);
        RECT box = ClipBox(hDC);
        // The first clip was undone before the second was made.
        EXPECT_TRUE(SameRect(b, box));
    }
    EXPECT_TRUE(SameRect(full, ClipBox(hDC)));
}
