#include "skinui/core/UIPoint.h"

#include <gtest/gtest.h>
#include <tuple>

using SkinUI::CUIPoint;

TEST(UIPoint, PackedMouseParameterIsSigned16Bit)
{
    const std::tuple<DWORD, int, int> cases[] = {
        {0xFFFF0010u, 16, -1},
        {0x00000000u, 0, 0},
        {0x7FFF8000u, -32768, 32767},
        {0x0032FFFEu, -2, 50},
    };
    for (const auto& [packed, x, y] : cases) {
        CUIPoint pt(static_cast<LPARAM>(packed));
        EXPECT_EQ(x, pt.x) << std::hex << packed;
        EXPECT_EQ(y, pt.y) << std::hex << packed;
    }
    POINT raw = {-4, 9};
    CUIPoint copy(raw);
    EXPECT_EQ(-4, copy.x);
    EXPECT_EQ(9, copy.y);
    EXPECT_EQ(0, CUIPoint().x);
    EXPECT_EQ(7, CUIPoint(7, 8).x);
    EXPECT_EQ(8, CUIPoint(7, 8).y);
}
