#include "skinui/core/UIEvents.h"

#include <gtest/gtest.h>

#include <vector>

using namespace SkinUI;

TEST(UIEventTypes, ValuesAreFixed)
{
    struct Case { int value; int expect; };
    const Case cases[] = {
        {EVT_KEYBEGIN, 2}, {EVT_KEYDOWN, 3}, {EVT_KEYUP, 4}, {EVT_CHAR, 5}, {EVT_SYSKEY, 6},
        {EVT_KEYEND, 7}, {EVT_MOUSEBEGIN, 8}, {EVT_MOUSEMOVE, 9}, {EVT_MOUSELEAVE, 10},
        {EVT_MOUSEENTER, 11}, {EVT_MOUSEHOVER, 12}, {EVT_BUTTONDOWN, 13}, {EVT_BUTTONUP, 14},
        {EVT_RBUTTONDOWN, 15}, {EVT_RBUTTONUP, 16}, {EVT_MBUTTONDOWN, 17}, {EVT_MBUTTONUP, 18},
        {EVT_DBLCLICK, 19}, {EVT_CONTEXTMENU, 20}, {EVT_SCROLLWHEEL, 21}, {EVT_MOUSEEND, 22},
        {EVT_KILLFOCUS, 23}, {EVT_SETFOCUS, 24}, {EVT_WINDOWSIZE, 25}, {EVT_SETCURSOR, 26},
        {EVT_TIMER, 27},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expect, c.value);
}

TEST(UIEventTypes, RangesAreKeys3To6AndMouse9To21)
{
    for (int type = 0; type <= 30; ++type) {
        EXPECT_EQ(type >= 3 && type <= 6, IsKeyEvent(type)) << type;
        EXPECT_EQ(type >= 9 && type <= 21, IsMouseEvent(type)) << type;
    }
}

TEST(UIEventRecords, StartAllZeroAndCopyWhole)
{
    TEventUI event = {};
    EXPECT_EQ(0, event.type);
    EXPECT_EQ(nullptr, event.sender);
    EXPECT_EQ(0u, event.timestamp);
    EXPECT_EQ(0, event.mousePos.x);
    EXPECT_EQ(0, event.keyChar);
    EXPECT_EQ(0, event.keyState);
    EXPECT_EQ(0u, event.wParam);
    EXPECT_EQ(0, event.lParam);

    TNotifyUI msg;
    msg.type = L"click";
    msg.sender = nullptr;
    msg.wParam = 1;
    TNotifyUI copy = msg;
    msg.type = L"changed";
    EXPECT_STREQ(L"click", copy.type);
    EXPECT_TRUE(copy.virtualWnd.IsEmpty());
    EXPECT_EQ(1u, copy.wParam);
}

namespace {

class ClickListener : public INotifyUI
{
public:
    void Notify(TNotifyUI& msg) override
    {
        if (msg.type == L"click") clicks++;
    }
    int clicks = 0;
};

class Filter : public IMessageFilterUI
{
public:
    LRESULT MessageHandler(UINT uMsg, WPARAM, LPARAM, bool& bHandled) override
    {
        bHandled = uMsg == WM_TIMER;
        return bHandled ? 42 : 0;
    }
};

class Accelerator : public ITranslateAccelerator
{
public:
    LRESULT TranslateAccelerator(MSG* pMsg) override
    {
        return pMsg->message == WM_KEYDOWN ? S_OK : S_FALSE;
    }
};

}  // namespace

TEST(UIListeners, NotificationTypesCompareExactly)
{
    ClickListener listener;
    INotifyUI* target = &listener;
    const wchar_t* types[] = { L"click", L"Click", L"CLICK", L"click ", L"clicked", L"click" };
    for (const wchar_t* type : types) {
        TNotifyUI msg;
        msg.type = type;
        target->Notify(msg);
    }
    EXPECT_EQ(2, listener.clicks);
}

TEST(UIListeners, OneOperationEach)
{
    // A single virtual operation: the object is its table pointer alone.
    static_assert(sizeof(Filter) == sizeof(void*), "one table pointer");

    Filter filter;
    IMessageFilterUI* f = &filter;
    bool handled = false;
    EXPECT_EQ(42, f->MessageHandler(WM_TIMER, 0, 0, handled));
    EXPECT_TRUE(handled);
    EXPECT_EQ(0, f->MessageHandler(WM_PAINT, 0, 0, handled));
    EXPECT_FALSE(handled);

    Accelerator accel;
    ITranslateAccelerator* a = &accel;
    MSG msg = {};
    msg.message = WM_KEYDOWN;
    EXPECT_EQ(S_OK, a->TranslateAccelerator(&msg));
    msg.message = WM_CHAR;
    EXPECT_EQ(S_FALSE, a->TranslateAccelerator(&msg));
}
