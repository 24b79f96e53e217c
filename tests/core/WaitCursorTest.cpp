#include "skinui/core/WaitCursor.h"

#include <gtest/gtest.h>

using SkinUI::CWaitCursor;

TEST(WaitCursor, ShowsWaitCursorAndRestoresPrevious)
{
    HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    HCURSOR wait = ::LoadCursor(nullptr, IDC_WAIT);
    ASSERT_NE(arrow, wait);
    ::SetCursor(arrow);
    {
        CWaitCursor busy;
        EXPECT_EQ(wait, ::GetCursor());
        {
            CWaitCursor nested;
            EXPECT_EQ(wait, ::GetCursor());
        }
        EXPECT_EQ(wait, ::GetCursor());
    }
    EXPECT_EQ(arrow, ::GetCursor());
}
