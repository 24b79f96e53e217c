#include "skinui/core/UISize.h"

#include <gtest/gtest.h>

using SkinUI::CUISize;

TEST(UISize, FromRectangleIsWidthAndHeight)
{
    RECT rc = {10, 20, 546, 375};
    CUISize sz(rc);
    EXPECT_EQ(536, sz.cx);
    EXPECT_EQ(355, sz.cy);
    SIZE raw = {3, 4};
    EXPECT_EQ(3, CUISize(raw).cx);
    EXPECT_EQ(4, CUISize(raw).cy);
    EXPECT_EQ(0, CUISize().cx);
    EXPECT_EQ(6, CUISize(5, 6).cy);
}
