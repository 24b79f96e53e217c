#include "skinui/core/NotifyPump.h"

#include "skinui/control/Control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using SkinUI::CControlUI;
using SkinUI::CNotifyPump;
using SkinUI::TNotifyUI;
using SkinUI::UI_MSGMAP_ENTRY;

// The map classes live in a named namespace: a map's base getter is only
// used by derived maps, which an unnamed namespace would warn about.
namespace NotifyPumpTests {

// Each handler appends its tag to the pump's log.
class CRecordingPump : public CNotifyPump
{
public:
    std::vector<std::string> log;

protected:
    void Record(const char* tag) { log.push_back(tag); }
};

// A window base with one any-control "click" entry reaching a virtual
// OnClick, as the window classes have.
class CClickBase : public CRecordingPump
{
    UI_DECLARE_MESSAGE_MAP(CClickBase)

public:
    virtual void OnClick(TNotifyUI&) { Record("base click"); }
    void OnTimer(TNotifyUI&) { Record("base timer"); }
};

UI_BEGIN_MESSAGE_MAP(CClickBase, CNotifyPump)
UI_ON_MSGTYPE(L"click", OnClick)
UI_ON_TIMER(OnTimer)
UI_END_MESSAGE_MAP()

// Overrides OnClick without a map of its own.
class CClickOverride : public CClickBase
{
public:
    void OnClick(TNotifyUI&) override { Record("override click"); }
};

// A map of its own: a named "click" entry after an any-control one, a
// handler taking wParam and lParam, and a base member in its own map.
class CNamedWnd : public CClickBase
{
    UI_DECLARE_MESSAGE_MAP(CNamedWnd)

public:
    LRESULT lastWParam = 0;
    LRESULT lastLParam = 0;

    void OnAnyClick(TNotifyUI&) { Record("any click"); }
    void OnCloseClick(TNotifyUI&) { Record("close click"); }
    void OnFirstValue(TNotifyUI&) { Record("first value"); }
    void OnLastValue(TNotifyUI&) { Record("last value"); }
    LRESULT OnScroll(WPARAM wParam, LPARAM lParam)
    {
        Record("scroll");
        lastWParam = static_cast<LRESULT>(wParam);
        lastLParam = lParam;
        return 0;
    }
};

UI_BEGIN_MESSAGE_MAP(CNamedWnd, CClickBase)
UI_ON_MSGTYPE(L"click", OnAnyClick)
UI_ON_CLICK_CTRNAME(L"closebtn", OnCloseClick)
UI_ON_MSGTYPE_WPARAM_LPARAM(L"scroll", OnScroll)
UI_ON_MSGTYPE(L"valuechanged", OnFirstValue)
UI_ON_MSGTYPE(L"valuechanged", OnLastValue)
UI_ON_MSGTYPE_CTRNAME(L"menu", L"logo", OnTimer)
UI_END_MESSAGE_MAP()

// A pump whose map has an entry with a signature it cannot call.
class CBadSignature : public CRecordingPump
{
    UI_DECLARE_MESSAGE_MAP(CBadSignature)

public:
    void OnClick(TNotifyUI&) { Record("bad click"); }
};

UI_BEGIN_MESSAGE_MAP(CBadSignature, CNotifyPump){
    L"click", SkinUI::CUIString(), 7, &SkinUI::UINotifyThunk<CBadSignature, &CBadSignature::OnClick>},
    UI_END_MESSAGE_MAP()

        TNotifyUI Notification(LPCTSTR type, CControlUI* sender, LPCTSTR virtualWnd = L"")
{
    TNotifyUI msg = {};
    msg.type = type;
    msg.sender = sender;
    msg.virtualWnd = virtualWnd;
    return msg;
}

std::string Joined(const std::vector<std::string>& log)
{
    std::string out;
    for (const std::string& s : log) out += (out.empty() ? "" : "|") + s;
    return out;
}

// Which handler each notification reaches, through the class chain.
TEST(NotifyPump, MessageMapsRouteByTypeAndSenderName)
{
    CControlUI closeBtn;
    closeBtn.SetName(L"closebtn");
    CControlUI other;
    other.SetName(L"minbtn");
    CControlUI logo;
    logo.SetName(L"logo");
    CControlUI unnamed;

    struct Case
    {
        const char* name;
        int pump;  // 0 CClickBase, 1 CClickOverride, 2 CNamedWnd
        LPCTSTR type;
        CControlUI* sender;
        bool handled;
        const char* reached;
    } cases[] = {
        {"base map, named sender", 0, L"click", &closeBtn, true, "base click"},
        {"base map, null sender", 0, L"click", nullptr, true, "base click"},
        {"virtual OnClick reached", 1, L"click", &closeBtn, true, "override click"},
        {"named entry wins", 2, L"click", &closeBtn, true, "close click"},
        {"other control: any-control entry", 2, L"click", &other, true, "any click"},
        {"null sender: any-control entry", 2, L"click", nullptr, true, "any click"},
        {"base map's entry through the chain", 2, L"timer", &other, true, "base timer"},
        {"later any-control entry replaces earlier", 2, L"valuechanged", &other, true, "last value"},
        {"unnamed sender: the last any-control entry", 2, L"valuechanged", &unnamed, true, "last value"},
        {"null sender: the last any-control entry", 2, L"valuechanged", nullptr, true, "last value"},
        {"unnamed sender: no named entry matches", 2, L"menu", &unnamed, false, ""},
        {"base member in a derived map", 2, L"menu", &logo, true, "base timer"},
        {"named entry, other sender", 2, L"menu", &other, false, ""},
        {"type compared exactly", 2, L"Click", &closeBtn, false, ""},
        {"unknown type", 2, L"itemselect", &closeBtn, false, ""},
        {"root map has nothing", 0, L"windowinit", nullptr, false, ""},
    };
    for (const Case& c : cases) {
        CClickBase base;
        CClickOverride override_;
        CNamedWnd named;
        CRecordingPump* pumps[] = {&base, &override_, &named};
        CClickBase* pump = static_cast<CClickBase*>(pumps[c.pump]);
        TNotifyUI msg = Notification(c.type, c.sender);
        EXPECT_EQ(c.handled, pump->LoopDispatch(msg)) << c.name;
        EXPECT_EQ(c.reached, Joined(pump->log)) << c.name;
    }
}

TEST(NotifyPump, WParamLParamHandlerGetsTheNotificationsValues)
{
    CNamedWnd wnd;
    TNotifyUI msg = Notification(L"scroll", nullptr);
    msg.wParam = 0x1234;
    msg.lParam = -77;
    EXPECT_TRUE(wnd.LoopDispatch(msg));
    EXPECT_EQ("scroll", Joined(wnd.log));
    EXPECT_EQ(0x1234, wnd.lastWParam);
    EXPECT_EQ(-77, wnd.lastLParam);
}

TEST(NotifyPump, UnknownSignatureStopsTheSearchWithoutACall)
{
    CBadSignature pump;
    TNotifyUI msg = Notification(L"click", nullptr);
    EXPECT_FALSE(pump.LoopDispatch(msg));
    EXPECT_TRUE(pump.log.empty());
}

TEST(NotifyPump, FindMessageEntryPrefersTheNamedEntryWhereverItStands)
{
    CNamedWnd wnd;
    CControlUI closeBtn;
    closeBtn.SetName(L"closebtn");
    const UI_MSGMAP_ENTRY* table = wnd.GetMessageMap()->lpEntries;
    TNotifyUI msg = Notification(L"click", &closeBtn);
    const UI_MSGMAP_ENTRY* entry = CNotifyPump::FindMessageEntry(table, msg);
    ASSERT_NE(nullptr, entry);
    EXPECT_STREQ(L"closebtn", entry->sCtrlName);
    EXPECT_EQ(nullptr, CNotifyPump::FindMessageEntry(nullptr, msg));
    EXPECT_EQ(nullptr, wnd.GetMessageMap()->pfnGetBaseMap()->pfnGetBaseMap()->pfnGetBaseMap);
}

TEST(NotifyPump, VirtualWindowsRegisterOncePerExactName)
{
    CNotifyPump host;
    CClickBase page;
    CClickBase other;
    EXPECT_TRUE(host.AddVirtualWnd(L"page", &page));
    EXPECT_FALSE(host.AddVirtualWnd(L"page", &other));
    EXPECT_TRUE(host.AddVirtualWnd(L"Page", &other)) << "names are case-sensitive here";
    EXPECT_FALSE(host.AddVirtualWnd(L"null", nullptr));
    EXPECT_TRUE(host.RemoveVirtualWnd(L"page"));
    EXPECT_FALSE(host.RemoveVirtualWnd(L"page"));
    EXPECT_FALSE(host.RemoveVirtualWnd(L"missing"));
    EXPECT_TRUE(host.AddVirtualWnd(L"page", &other));
}

// Which pump handles a notification carrying a virtual-window name.
TEST(NotifyPump, VirtualWindowNamesRouteToTheirPump)
{
    CControlUI closeBtn;
    closeBtn.SetName(L"closebtn");

    struct Case
    {
        const char* name;
        LPCTSTR virtualWnd;
        LPCTSTR type;
        const char* host;
        const char* settings;
        const char* about;
    } cases[] = {
        {"exact name", L"settings", L"click", "", "close click", ""},
        {"name in other letter case", L"SETTINGS", L"click", "", "close click", ""},
        {"second page", L"about", L"click", "", "", "base click"},
        {"unregistered name falls back to the host", L"nowhere", L"click", "base click", "", ""},
        {"page without a handler: nobody", L"about", L"valuechanged", "", "", ""},
        {"page without a handler falls back to the host", L"blank", L"click", "base click", "", ""},
        {"no virtual window: host only", L"", L"click", "base click", "", ""},
    };
    for (const Case& c : cases) {
        CClickBase host;
        CNamedWnd settings;
        CClickBase about;
        CRecordingPump blank;
        ASSERT_TRUE(host.AddVirtualWnd(L"settings", &settings));
        ASSERT_TRUE(host.AddVirtualWnd(L"about", &about));
        ASSERT_TRUE(host.AddVirtualWnd(L"blank", &blank));
        TNotifyUI msg = Notification(c.type, &closeBtn, c.virtualWnd);
        host.NotifyPump(msg);
        EXPECT_EQ(c.host, Joined(host.log)) << c.name;
        EXPECT_EQ(c.settings, Joined(settings.log)) << c.name;
        EXPECT_EQ(c.about, Joined(about.log)) << c.name;
    }
}

}  // namespace NotifyPumpTests
