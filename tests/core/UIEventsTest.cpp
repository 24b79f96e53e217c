#include "skinui/core/UIEvents.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace SkinUI;

// Controls route an event by asking whether it is a key or a mouse event:
// every event the paint manager sends falls in exactly the class its
// handlers expect, and the range bounds, never sent, in neither.
TEST(UIEventTypes, EveryEventFallsInTheClassItsHandlersExpect)
{
    const std::tuple<int, bool, bool> cases[] = {
        {0, false, false},
        {1, false, false},
        {EVT_KEYBEGIN, false, false},
        {EVT_KEYDOWN, true, false},
        {EVT_KEYUP, true, false},
        {EVT_CHAR, true, false},
        {EVT_SYSKEY, true, false},
        {EVT_KEYEND, false, false},
        {EVT_MOUSEBEGIN, false, false},
        {EVT_MOUSEMOVE, false, true},
        {EVT_MOUSELEAVE, false, true},
        {EVT_MOUSEENTER, false, true},
        {EVT_MOUSEHOVER, false, true},
        {EVT_BUTTONDOWN, false, true},
        {EVT_BUTTONUP, false, true},
        {EVT_RBUTTONDOWN, false, true},
        {EVT_RBUTTONUP, false, true},
        {EVT_MBUTTONDOWN, false, true},
        {EVT_MBUTTONUP, false, true},
        {EVT_DBLCLICK, false, true},
        {EVT_CONTEXTMENU, false, true},
        {EVT_SCROLLWHEEL, false, true},
        {EVT_MOUSEEND, false, false},
        {EVT_KILLFOCUS, false, false},
        {EVT_SETFOCUS, false, false},
        {EVT_WINDOWSIZE, false, false},
        {EVT_SETCURSOR, false, false},
        {EVT_TIMER, false, false},
        {EVT_TIMER + 1, false, false},
    };
    for (const auto& [type, key, mouse] : cases) {
        EXPECT_EQ(key, IsKeyEvent(type)) << type;
        EXPECT_EQ(mouse, IsMouseEvent(type)) << type;
    }
}

// A queued notification is a copy: it keeps its own type and values when
// the record it was made from is reused for the next one.
TEST(UIEventRecords, AQueuedNotificationKeepsItsOwnCopy)
{
    TNotifyUI msg;
    msg.type = L"click";
    msg.sender = nullptr;
    msg.wParam = 1;
    TNotifyUI copy = msg;
    msg.type = L"changed";
    msg.wParam = 2;
    EXPECT_STREQ(L"click", copy.type);
    EXPECT_TRUE(copy.virtualWnd.IsEmpty());
    EXPECT_EQ(1u, copy.wParam);
}

// Listeners compare notification types exactly: "click" is not "Click".
TEST(UIEventRecords, NotificationTypesCompareExactly)
{
    TNotifyUI msg;
    msg.type = L"click";
    EXPECT_TRUE(msg.type == L"click");
    for (const wchar_t* other : {L"Click", L"CLICK", L"click ", L"clicked", L""}) {
        msg.type = other;
        EXPECT_FALSE(msg.type == L"click") << other;
    }
}
