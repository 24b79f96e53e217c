#include "skinui/core/STRINGorID.h"

#include <gtest/gtest.h>
#include <tuple>

using SkinUI::STRINGorID;

TEST(STRINGorID, StringOrLow16BitIdentifier)
{
    const wchar_t* name = L"DlgMain.xml";
    STRINGorID s(name);
    EXPECT_EQ(name, s.m_lpstr);
    EXPECT_FALSE(s.IsResourceId());

    const std::tuple<UINT, ULONG_PTR> cases[] = {{131u, 131u}, {0xFFFFu, 0xFFFFu}, {0x10005u, 5u}, {0u, 0u}};
    for (const auto& [id, stored] : cases) {
        STRINGorID made(id);
        EXPECT_EQ(stored, reinterpret_cast<ULONG_PTR>(made.m_lpstr));
        EXPECT_TRUE(made.IsResourceId());
    }
}
