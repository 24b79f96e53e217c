#include "skinui/core/STRINGorID.h"

#include <gtest/gtest.h>

using SkinUI::STRINGorID;

TEST(STRINGorID, StringOrLow16BitIdentifier)
{
    const wchar_t* name = L"DlgMain.xml";
    STRINGorID s(name);
    EXPECT_EQ(name, s.m_lpstr);
    EXPECT_FALSE(s.IsResourceId());

    struct Case
    {
        UINT id;
        ULONG_PTR stored;
    };
    const Case cases[] = {{131u, 131u}, {0xFFFFu, 0xFFFFu}, {0x10005u, 5u}, {0u, 0u}};
    for (const Case& c : cases) {
        STRINGorID id(c.id);
        EXPECT_EQ(c.stored, reinterpret_cast<ULONG_PTR>(id.m_lpstr));
        EXPECT_TRUE(id.IsResourceId());
    }
}
