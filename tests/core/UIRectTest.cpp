#include "skinui/core/UIRect.h"

#include <gtest/gtest.h>
#include <tuple>

using SkinUI::CUIRect;

namespace {

void ExpectRect(const RECT& rc, int l, int t, int r, int b)
{
    EXPECT_EQ(l, rc.left);
    EXPECT_EQ(t, rc.top);
    EXPECT_EQ(r, rc.right);
    EXPECT_EQ(b, rc.bottom);
}

}  // namespace

TEST(UIRect, SizeAndNull)
{
    CUIRect rc(10, 20, 110, 70);
    EXPECT_EQ(100, rc.GetWidth());
    EXPECT_EQ(50, rc.GetHeight());
    EXPECT_FALSE(rc.IsNull());
    rc.Empty();
    EXPECT_TRUE(rc.IsNull());
    EXPECT_TRUE(CUIRect().IsNull());
    EXPECT_FALSE(CUIRect(0, 0, 0, 1).IsNull());
    RECT raw = {1, 2, 3, 4};
    ExpectRect(CUIRect(raw), 1, 2, 3, 4);
}

TEST(UIRect, JoinCountsEmptyRectanglesUnionDoesNot)
{
    const std::tuple<CUIRect, CUIRect, CUIRect, CUIRect> cases[] = {
        {CUIRect(0, 0, 10, 10), CUIRect(5, 5, 20, 20), CUIRect(0, 0, 20, 20), CUIRect(0, 0, 20, 20)},
        {CUIRect(10, 10, 20, 20), CUIRect(0, 0, 0, 0), CUIRect(0, 0, 20, 20), CUIRect(10, 10, 20, 20)},
        {CUIRect(10, 10, 20, 20), CUIRect(30, 30, 30, 40), CUIRect(10, 10, 30, 40), CUIRect(10, 10, 20, 20)},
        {CUIRect(0, 0, 0, 0), CUIRect(5, 6, 7, 8), CUIRect(0, 0, 7, 8), CUIRect(5, 6, 7, 8)},
    };
    for (const auto& [a, b, join, uni] : cases) {
        CUIRect j = a;
        j.Join(b);
        ExpectRect(j, join.left, join.top, join.right, join.bottom);
        CUIRect u = a;
        CUIRect other = b;
        u.Union(other);
        ExpectRect(u, uni.left, uni.top, uni.right, uni.bottom);
    }
}

TEST(UIRect, MovesAndNormalizes)
{
    CUIRect rc(10, 20, 30, 50);
    rc.Offset(5, -5);
    ExpectRect(rc, 15, 15, 35, 45);
    rc.Inflate(2, 3);
    ExpectRect(rc, 13, 12, 37, 48);
    rc.Deflate(2, 3);
    ExpectRect(rc, 15, 15, 35, 45);
    rc.ResetOffset();
    ExpectRect(rc, 0, 0, 20, 30);

    CUIRect rev(30, 50, 10, 20);
    rev.Normalize();
    ExpectRect(rev, 10, 20, 30, 50);
    CUIRect half(30, 20, 10, 50);
    half.Normalize();
    ExpectRect(half, 10, 20, 30, 50);
}
