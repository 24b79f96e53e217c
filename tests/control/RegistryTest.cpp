#include "skinui/control/Container.h"
#include "skinui/control/VerticalLayout.h"
#include "tests/support/ControlTree.h"
#include "tests/support/PaintManagerWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

using namespace SkinUI;
using TestSupport::AddChild;
using TestSupport::AddFloat;

namespace {

// A control of that name, added as the last child of the parent when one is given.
CControlUI* Named(const wchar_t* name, CContainerUI* parent = nullptr)
{
    CControlUI* p = new CControlUI;
    p->SetName(name);
    if (parent != nullptr) parent->Add(p);
    return p;
}

struct Delivery
{
    std::wstring type;
    CControlUI* sender;
    WPARAM wParam;
};

// A listener that records every notification and may act on one.
class CRecorder : public INotifyUI
{
public:
    void Notify(TNotifyUI& msg) override
    {
        log.push_back({std::wstring(msg.type), msg.sender, msg.wParam});
        if (onNotify) onNotify(msg);
    }
    std::vector<Delivery> log;
    std::function<void(TNotifyUI&)> onNotify;
};

// A control that is a tab stop.
class CTabStop : public CControlUI
{
public:
    UINT GetControlFlags() const override { return CONTROLFLAG_TABSTOP; }
};

// A container that records the events reaching its DoEvent.
class CEventLog : public CContainerUI
{
public:
    void DoEvent(TEventUI& event) override
    {
        types.push_back(event.type);
        CContainerUI::DoEvent(event);
    }
    std::vector<int> types;
};

// A window whose tree's root is a plain container, attached by Attach();
// the recorder hears every notification from then on.
class Registry : public ::testing::Test
{
protected:
    ~Registry() override
    {
        if (pm.GetRoot() != root) delete root;
    }
    void Attach()
    {
        ASSERT_TRUE(pm.AttachDialog(root));
        pm.AddNotifier(&recorder);
    }

    TestSupport::PaintManagerWindow window;
    CPaintManagerUI& pm = *window.Manager();
    CContainerUI* root = new CContainerUI;
    CRecorder recorder;
};

}  // namespace

TEST_F(Registry, NamesAreRegisteredOnAttachAndForgottenOnRemoval)
{
    root->SetName(L"root");
    CControlUI* a = Named(L"a", root);
    EXPECT_EQ(pm.FindControl(L"a"), nullptr);  // detached tree: nothing yet
    ASSERT_TRUE(pm.AttachDialog(root));
    EXPECT_EQ(pm.FindControl(L"root"), root);
    EXPECT_EQ(pm.FindControl(L"a"), a);
    EXPECT_EQ(pm.FindControl(L"A"), nullptr);  // the name map is exact
    EXPECT_EQ(a->GetManager(), &pm);
    EXPECT_EQ(a->GetParent(), root);

    // Added later to the attached tree: registered at once, subtree included.
    CContainerUI* sub = new CContainerUI;
    sub->SetName(L"sub");
    CControlUI* b = Named(L"b");
    sub->Add(b);
    ASSERT_TRUE(root->Add(sub));
    EXPECT_EQ(pm.FindControl(L"b"), b);
    EXPECT_EQ(b->GetParent(), sub);

    // Removal with delayed destroy: the name goes when the flush deletes it.
    ASSERT_TRUE(root->Remove(sub));
    EXPECT_EQ(sub->GetParent(), nullptr);
    EXPECT_EQ(pm.FindControl(L"b"), b);
    EXPECT_EQ(window.Pump(), 1);
    EXPECT_EQ(pm.FindControl(L"sub"), nullptr);
    EXPECT_EQ(pm.FindControl(L"b"), nullptr);

    // Removal without delay: gone at once.
    root->SetDelayedDestroy(false);
    ASSERT_TRUE(root->Remove(a));
    EXPECT_EQ(pm.FindControl(L"a"), nullptr);
    EXPECT_FALSE(root->Remove(a));
    EXPECT_FALSE(root->Remove(nullptr));
    EXPECT_FALSE(root->Add(nullptr));
    EXPECT_FALSE(root->RemoveAt(5));
}

TEST_F(Registry, DuplicateNamesAndSearches)
{
    CControlUI* first = Named(L"twin");
    CContainerUI* box = new CContainerUI;
    CControlUI* second = Named(L"Twin");
    CControlUI* third = Named(L"twin");
    root->Add(first);
    root->Add(box);
    box->Add(second);
    box->Add(third);
    pm.AttachDialog(root);

    // The map keeps the one registered last; the tree search the first
    // visited, ignoring case.
    EXPECT_EQ(pm.FindControl(L"twin"), third);
    EXPECT_EQ(pm.FindControl(L"Twin"), second);
    EXPECT_EQ(pm.FindSubControlByName(nullptr, L"TWIN"), first);
    EXPECT_EQ(pm.FindSubControlByName(box, L"twin"), second);
    EXPECT_EQ(pm.FindSubControlByName(nullptr, L""), nullptr);
    EXPECT_EQ(pm.FindSubControlByName(nullptr, nullptr), nullptr);
    EXPECT_EQ(box->FindSubControl(L"twin"), second);

    // Search order: children before their container, in list order.
    CControlUI* const order[] = {first, second, third, box, root};
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(pm.FindSubControlByClass(nullptr, L"*", i), order[i]) << i;
    }
    EXPECT_EQ(pm.FindSubControlByClass(nullptr, L"*", 5), nullptr);
    EXPECT_EQ(pm.FindSubControlByClass(nullptr, L"*", -1), nullptr);
    EXPECT_EQ(pm.FindSubControlByClass(nullptr, L"ContainerUI", 1), root);
    EXPECT_EQ(pm.FindSubControlByClass(box, L"ContainerUI", 0), box);
    CStdPtrArray* all = pm.FindSubControlsByClass(nullptr, L"ControlUI");
    ASSERT_EQ(all->GetSize(), 3);
    EXPECT_EQ(all->GetAt(2), third);
    EXPECT_EQ(pm.GetFoundControls(), all);
    EXPECT_EQ(pm.FindSubControlsByClass(nullptr, L"controlui")->GetSize(), 0);

    // Sub-control helpers.
    EXPECT_TRUE(box->SetSubControlText(L"twin", L"hello"));
    EXPECT_EQ(std::wstring(box->GetSubControlText(L"TWIN")), L"hello");
    EXPECT_FALSE(box->SetSubControlText(L"nobody", L"x"));
    EXPECT_EQ(box->GetSubControlFixedHeight(L"nobody"), -1);
    EXPECT_TRUE(box->SetSubControlFixedWdith(L"twin", 12));
    EXPECT_EQ(box->GetSubControlFixedWdith(L"twin"), 12);
}

TEST_F(Registry, PaintManagersByName)
{
    TestSupport::PaintManagerWindow second;
    second.Manager()->Init(second.Handle(), L"second");
    EXPECT_EQ(CPaintManagerUI::GetPaintManager(L"second"), second.Manager());
    EXPECT_EQ(CPaintManagerUI::GetPaintManager(L""), nullptr);
    EXPECT_EQ(CPaintManagerUI::GetPaintManager(nullptr), nullptr);
    EXPECT_EQ(CPaintManagerUI::GetPaintManager(L"third"), nullptr);
    EXPECT_GE(CPaintManagerUI::GetPaintManagers()->Find(&pm), 0);
}

// Point hit tests: the topmost visible, mouse-enabled control; a container
// that is not mouse enabled lets its children be hit but never itself.
TEST_F(Registry, HitTestFindsTheTopmostControl)
{
    CContainerUI* deaf = AddFloat<CContainerUI>(root, 0, 0, 100, 100, L"mouse=\"false\"");
    CControlUI* under = AddFloat<CControlUI>(deaf, 10, 10, 50, 50);
    CControlUI* over = AddFloat<CControlUI>(deaf, 30, 30, 50, 50);
    CControlUI* hidden = AddFloat<CControlUI>(deaf, 0, 0, 100, 100);
    pm.AttachDialog(root);
    root->SetPos({0, 0, 200, 200}, false);
    hidden->SetVisible(false);

    const std::tuple<POINT, CControlUI*> cases[] = {
        {{40, 40}, over},   {{15, 15}, under}, {{90, 90}, root},
        {{150, 150}, root}, {{5, 5}, root},    {{250, 10}, nullptr},
    };
    for (const auto& [pt, expected] : cases) {
        EXPECT_EQ(pm.FindControl(pt), expected) << pt.x << "," << pt.y;
    }
    over->SetMouseEnabled(false);
    EXPECT_EQ(pm.FindControl(POINT{40, 40}), under);
    deaf->SetMouseChildEnabled(false);
    EXPECT_EQ(pm.FindControl(POINT{40, 40}), root);
    EXPECT_EQ(pm.FindSubControlByPoint(deaf, POINT{40, 40}), nullptr);
}

TEST_F(Registry, NotificationsAtOnceAndQueued)
{
    CControlUI* button = Named(L"button", root);
    pm.AttachDialog(root);
    CRecorder first;
    CRecorder second;
    pm.AddNotifier(&first);
    pm.AddNotifier(&second);

    // At once: the sender's own delegates first, then the notifiers.
    std::vector<std::wstring> order;
    struct Tag
    {
        std::vector<std::wstring>* order;
        bool OnNotify(void* p)
        {
            order->push_back(L"delegate:" + std::wstring(static_cast<TNotifyUI*>(p)->type));
            return true;
        }
    } tag = {&order};
    button->OnNotify += MakeDelegate(&tag, &Tag::OnNotify);
    first.onNotify = [&](TNotifyUI& msg) { order.push_back(L"first:" + std::wstring(msg.type)); };
    pm.SendNotify(button, L"click", 7, 0);
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], L"delegate:click");
    EXPECT_EQ(order[1], L"first:click");
    ASSERT_EQ(second.log.size(), 1u);
    EXPECT_EQ(second.log[0].sender, button);
    EXPECT_EQ(second.log[0].wParam, 7u);

    // Queued: two notifications raised in one handler arrive in order in
    // the first flush; the second posted flush finds nothing.
    first.log.clear();
    first.onNotify = [&](TNotifyUI& msg) {
        if (msg.type == L"trigger") {
            pm.SendNotify(button, L"one", 1, 0, true);
            pm.SendNotify(button, L"two", 2, 0, true);
        }
    };
    pm.SendNotify(button, L"trigger");
    EXPECT_EQ(first.log.size(), 1u);
    EXPECT_EQ(window.Pump(), 2);
    ASSERT_EQ(first.log.size(), 3u);
    EXPECT_EQ(first.log[1].type, L"one");
    EXPECT_EQ(first.log[2].type, L"two");
    EXPECT_EQ(first.log[2].sender, button);

    // A listener queueing more during a flush sees them in the same flush.
    first.log.clear();
    first.onNotify = [&](TNotifyUI& msg) {
        if (msg.type == L"chain") pm.SendNotify(button, L"link", 0, 0, true);
    };
    pm.SendNotify(button, L"chain", 0, 0, true);
    window.Pump();
    ASSERT_EQ(first.log.size(), 2u);
    EXPECT_EQ(first.log[1].type, L"link");

    EXPECT_TRUE(pm.RemoveNotifier(&first));
    EXPECT_FALSE(pm.RemoveNotifier(&first));
    pm.SendNotify(button, L"after");
    EXPECT_EQ(first.log.size(), 2u);
}

// A queued notification outlives its sender: it is delivered with a null
// sender, also when the sender was removed with delayed clean-up in the
// handler that raised it (the flush destroys first, then delivers).
TEST_F(Registry, QueuedNotificationOfADestroyedSenderHasNoSender)
{
    CControlUI* doomed = Named(L"doomed", root);
    CControlUI* removed = Named(L"removed", root);
    Attach();

    pm.SendNotify(doomed, L"late", 0, 0, true);
    root->SetDelayedDestroy(false);
    root->Remove(doomed);
    root->SetDelayedDestroy(true);

    recorder.onNotify = [&](TNotifyUI& msg) {
        if (msg.type == L"click" && msg.sender == removed) {
            pm.SendNotify(removed, L"queued", 0, 0, true);
            root->Remove(removed);
            // Still alive for the rest of this handler.
            EXPECT_EQ(std::wstring(msg.sender->GetName()), L"removed");
        }
    };
    pm.SendNotify(removed, L"click");
    window.Pump();
    ASSERT_EQ(recorder.log.size(), 3u);
    EXPECT_EQ(recorder.log[1].type, L"late");
    EXPECT_EQ(recorder.log[1].sender, nullptr);
    EXPECT_EQ(recorder.log[2].type, L"queued");
    EXPECT_EQ(recorder.log[2].sender, nullptr);
    EXPECT_EQ(pm.FindControl(L"removed"), nullptr);
    EXPECT_EQ(root->GetCount(), 0);
}

// A control that removes itself from its own event handler keeps living
// until the flush; the manager forgets its focus and timers then.
TEST_F(Registry, ControlRemovedInItsOwnHandlerIsCleanedUpLater)
{
    CTabStop* self = new CTabStop;
    self->SetName(L"self");
    root->Add(self);
    pm.AttachDialog(root);
    self->SetFocus();
    ASSERT_EQ(pm.GetFocus(), self);
    ASSERT_TRUE(self->SetTimer(3, 100000));

    bool destroyed = false;
    struct Hooks
    {
        CContainerUI* root;
        bool* destroyed;
        bool OnEvent(void* p)
        {
            TEventUI* e = static_cast<TEventUI*>(p);
            if (e->type == EVT_BUTTONUP) root->Remove(e->sender);
            return true;
        }
        bool OnDestroy(void*)
        {
            *destroyed = true;
            return true;
        }
    } hooks = {root, &destroyed};
    self->OnEvent += MakeDelegate(&hooks, &Hooks::OnEvent);
    self->OnDestroy += MakeDelegate(&hooks, &Hooks::OnDestroy);

    TEventUI event = {};
    event.type = EVT_BUTTONUP;
    event.sender = self;
    self->Event(event);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(root->GetCount(), 0);
    EXPECT_EQ(self->GetManager(), &pm);
    EXPECT_EQ(self->GetParent(), nullptr);

    EXPECT_EQ(window.Pump(), 1);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(pm.GetFocus(), nullptr);
    EXPECT_EQ(pm.FindControl(L"self"), nullptr);
    EXPECT_EQ(pm.FindTimer(17), nullptr);
}

TEST_F(Registry, TimerIdsAndRearming)
{
    pm.AttachDialog(root);
    CControlUI detached;
    EXPECT_FALSE(detached.SetTimer(1, 10));

    // 0x1001 modulo 240 is 17 for the first timer of a manager.
    ASSERT_TRUE(root->SetTimer(1, 100000));
    const TimerRecord* timer = pm.FindTimer(17);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->pSender, root);
    EXPECT_EQ(timer->nLocalID, 1u);
    EXPECT_FALSE(root->SetTimer(1, 100000));
    EXPECT_TRUE(pm.KillTimer(root, 1));
    EXPECT_FALSE(pm.KillTimer(root, 1));
    EXPECT_EQ(pm.FindTimer(17), nullptr);
    EXPECT_TRUE(root->SetTimer(1, 100000));
    EXPECT_NE(pm.FindTimer(17), nullptr);  // the same native id again
    EXPECT_FALSE(pm.KillTimer(root, 2));

    // 240 new timers later the native ids repeat.
    std::vector<CControlUI*> kids;
    for (int i = 0; i < 239; i++) {
        kids.push_back(new CControlUI);
        root->Add(kids.back());
        ASSERT_TRUE(kids.back()->SetTimer(9, 100000)) << i;
    }
    EXPECT_EQ(pm.FindTimer(16)->pSender, kids.back());
    EXPECT_EQ(pm.FindTimer(0)->pSender, kids[222]);
    CControlUI* wrap = new CControlUI;
    root->Add(wrap);
    ASSERT_TRUE(wrap->SetTimer(9, 100000));
    EXPECT_EQ(pm.FindTimer(17)->pSender, root);  // the first record matching wins

    pm.KillTimer(root);
    EXPECT_EQ(pm.FindTimer(17)->pSender, wrap);
    pm.RemoveAllTimers();
    EXPECT_EQ(pm.FindTimer(17), nullptr);
    EXPECT_EQ(pm.FindTimer(100), nullptr);
}

// Real WM_TIMER messages reach the control as timer events and come out as
// "timer" notifications; the control's destruction kills its timers.
TEST_F(Registry, TimersTickAndDieWithTheirControl)
{
    CControlUI* ticker = Named(L"ticker", root);
    CControlUI* other = Named(L"other", root);
    Attach();

    ASSERT_TRUE(ticker->SetTimer(5, 1));
    ASSERT_TRUE(other->SetTimer(6, 1));
    auto ticksOf = [&](CControlUI* c, WPARAM id) {
        int n = 0;
        for (const Delivery& d : recorder.log) n += (d.type == L"timer" && d.sender == c && d.wParam == id);
        return n;
    };
    ASSERT_TRUE(window.PumpUntil([&] { return ticksOf(ticker, 5) >= 2 && ticksOf(other, 6) >= 1; }));

    root->SetDelayedDestroy(false);
    root->Remove(ticker);
    EXPECT_EQ(pm.FindTimer(17), nullptr);
    // Messages already queued for the dead timer find no record; ticks of
    // the other timer keep coming.
    recorder.log.clear();
    ASSERT_TRUE(window.PumpUntil([&] { return ticksOf(other, 6) >= 3; }));
    for (const Delivery& d : recorder.log) EXPECT_EQ(d.sender, other);
}

TEST_F(Registry, FocusMovesWithNotificationsAndTab)
{
    CTabStop* a = AddChild<CTabStop>(root);
    AddChild<CControlUI>(root);  // no tab stop
    CTabStop* b = AddChild<CTabStop>(root);
    CTabStop* c = AddChild<CTabStop>(root);
    Attach();

    a->SetFocus();
    EXPECT_EQ(pm.GetFocus(), a);
    EXPECT_TRUE(a->IsFocused());
    b->SetFocus();
    EXPECT_FALSE(a->IsFocused());
    EXPECT_TRUE(b->IsFocused());
    ASSERT_EQ(recorder.log.size(), 3u);
    EXPECT_EQ(recorder.log[0].type, L"setfocus");
    EXPECT_EQ(recorder.log[1].type, L"killfocus");
    EXPECT_EQ(recorder.log[1].sender, a);
    EXPECT_EQ(recorder.log[2].sender, b);

    pm.SetFocus(nullptr);
    TestSupport::PaintManagerWindow other;  // a control of another manager never takes the focus
    CControlUI foreign;
    foreign.SetManager(other.Manager(), nullptr, false);
    pm.SetFocus(&foreign);
    EXPECT_EQ(pm.GetFocus(), nullptr);

    // A layout is still pending: a forward Tab waits for the next paint.
    pm.SetFocus(a);
    EXPECT_TRUE(pm.SetNextTabControl(true));
    EXPECT_EQ(pm.GetFocus(), a);

    const std::tuple<CControlUI*, CControlUI*> backwards[] = {{b, a}, {c, b}, {a, c}, {nullptr, a}};
    for (const auto& [from, to] : backwards) {
        pm.SetFocus(from);
        EXPECT_TRUE(pm.SetNextTabControl(false));
        EXPECT_EQ(pm.GetFocus(), to);
    }

    // The focus a paint will move on from: the tab stop before the control.
    pm.SetFocusNeeded(c);
    EXPECT_EQ(pm.GetFocus(), b);

    // Hiding or disabling affects focus.
    pm.SetFocus(c);
    c->SetVisible(false);
    EXPECT_EQ(pm.GetFocus(), nullptr);
    b->SetEnabled(false);
    pm.SetFocus(b);
    EXPECT_EQ(pm.GetFocus(), nullptr);
    pm.SetFocus(a);
    EXPECT_TRUE(pm.SetNextTabControl(false));
    EXPECT_EQ(pm.GetFocus(), a);  // b disabled, c hidden: nowhere else to go
}

// Default events: the control handles focus, cursor, timer and, when it
// uses menus, context menus; everything else bubbles up to the root, where
// it is dropped. An OnEvent delegate answering false swallows the event.
TEST_F(Registry, EventsBubbleUpUnlessHandledOrSwallowed)
{
    CEventLog* top = new CEventLog;
    CEventLog* box = new CEventLog;
    CControlUI* leaf = Named(L"leaf");
    top->Add(box);
    box->Add(leaf);
    pm.AttachDialog(top);
    pm.AddNotifier(&recorder);

    const std::tuple<int, bool, size_t, const wchar_t*> cases[] = {
        {EVT_KEYDOWN, false, 1, nullptr},    {EVT_MOUSEMOVE, false, 1, nullptr},
        {EVT_SETFOCUS, false, 0, nullptr},   {EVT_KILLFOCUS, false, 0, nullptr},
        {EVT_SETCURSOR, false, 0, nullptr},  {EVT_TIMER, false, 0, L"timer"},
        {EVT_CONTEXTMENU, true, 0, L"menu"}, {EVT_CONTEXTMENU, false, 1, nullptr},
    };
    for (const auto& [type, menu, boxSees, notification] : cases) {
        top->types.clear();
        box->types.clear();
        recorder.log.clear();
        leaf->SetContextMenuUsed(menu);
        TEventUI event = {};
        event.type = type;
        event.sender = leaf;
        event.wParam = 4;
        leaf->Event(event);
        EXPECT_EQ(box->types.size(), boxSees) << type;
        EXPECT_EQ(top->types.size(), boxSees) << type;
        if (notification != nullptr) {
            ASSERT_EQ(recorder.log.size(), 1u) << type;
            EXPECT_EQ(recorder.log[0].type, notification);
            EXPECT_EQ(recorder.log[0].wParam, 4u);
        } else {
            EXPECT_EQ(recorder.log.size(), 0u) << type;
        }
    }

    // A container that is not mouse enabled passes mouse events on.
    box->SetMouseEnabled(false);
    top->types.clear();
    TEventUI wheel = {};
    wheel.type = EVT_SCROLLWHEEL;
    box->Event(wheel);
    EXPECT_EQ(top->types.size(), 1u);

    int swallowed = 0;
    struct Swallow
    {
        int* count;
        bool OnEvent(void*)
        {
            ++*count;
            return false;
        }
    } swallow = {&swallowed};
    leaf->OnEvent += MakeDelegate(&swallow, &Swallow::OnEvent);
    box->types.clear();
    TEventUI key = {};
    key.type = EVT_KEYDOWN;
    leaf->Event(key);
    EXPECT_EQ(swallowed, 1);
    EXPECT_EQ(box->types.size(), 0u);
}

TEST_F(Registry, SetCursorEventShowsTheControlsCursor)
{
    pm.AttachDialog(root);
    const std::tuple<const wchar_t*, LPCWSTR> cases[] = {
        {L"hand", IDC_HAND}, {L"arrow", IDC_ARROW}, {L"ibeam", IDC_IBEAM}};
    for (const auto& [keyword, id] : cases) {
        root->SetAttribute(L"cursor", keyword);
        TEventUI event = {};
        event.type = EVT_SETCURSOR;
        root->Event(event);
        EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, id)) << keyword;
    }
}

// Event sources: copies of delegates in insertion order, no duplicates,
// and the first false answer stops the call.
TEST_F(Registry, EventSourcesCallDelegatesInOrder)
{
    static std::vector<int> calls;
    calls.clear();
    struct Free
    {
        static bool One(void*)
        {
            calls.push_back(1);
            return true;
        }
        static bool Two(void*)
        {
            calls.push_back(2);
            return false;
        }
        static bool Three(void*)
        {
            calls.push_back(3);
            return true;
        }
    };
    CEventSource source;
    EXPECT_FALSE(source);
    EXPECT_TRUE(source(nullptr));
    source += Free::One;
    source += Free::One;
    source += Free::Two;
    source += Free::Three;
    EXPECT_TRUE(source);
    EXPECT_FALSE(source(nullptr));
    EXPECT_EQ(calls, (std::vector<int>{1, 2}));
    source -= Free::Two;
    calls.clear();
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(calls, (std::vector<int>{1, 3}));

    struct Obj
    {
        int n = 0;
        bool Hit(void* p)
        {
            n += *static_cast<int*>(p);
            return true;
        }
    } x, y;
    CEventSource members;
    members += MakeDelegate(&x, &Obj::Hit);
    members += MakeDelegate(&y, &Obj::Hit);
    members += MakeDelegate(&x, &Obj::Hit);
    int five = 5;
    members(&five);
    EXPECT_EQ(x.n, 5);
    EXPECT_EQ(y.n, 5);
    members -= MakeDelegate(&x, &Obj::Hit);
    members(&five);
    EXPECT_EQ(x.n, 5);
    EXPECT_EQ(y.n, 10);
    EXPECT_TRUE(MakeDelegate(&x, &Obj::Hit).Equals(MakeDelegate(&x, &Obj::Hit)));
    EXPECT_FALSE(MakeDelegate(&x, &Obj::Hit).Equals(MakeDelegate(&y, &Obj::Hit)));
    members.Clear();
    EXPECT_FALSE(members);
}

TEST_F(Registry, VisibilityPropagatesThroughContainers)
{
    CContainerUI* box = new CContainerUI;
    CControlUI* leaf = new CControlUI;
    root->Add(box);
    box->Add(leaf);
    pm.AttachDialog(root);

    box->SetVisible(false);
    EXPECT_FALSE(leaf->IsVisible());
    CControlUI* late = new CControlUI;
    box->Add(late);
    EXPECT_FALSE(late->IsVisible());
    box->SetVisible(true);
    EXPECT_TRUE(leaf->IsVisible());
    EXPECT_TRUE(late->IsVisible());

    leaf->SetVisible(false);
    root->SetVisible(false);
    root->SetVisible(true);
    EXPECT_FALSE(leaf->IsVisible());  // its own flag stays

    root->SetEnabled(false);
    EXPECT_FALSE(late->IsEnabled());
    root->SetEnabled(true);
    EXPECT_TRUE(late->IsEnabled());

    // Virtual window names are inherited from the parent chain.
    box->SetVirtualWnd(L"page");
    EXPECT_EQ(std::wstring(late->GetVirtualWnd()), L"page");
    EXPECT_EQ(std::wstring(root->GetVirtualWnd()), L"");
}

TEST_F(Registry, ItemIndexAndInsertion)
{
    CContainerUI box;
    CControlUI* a = new CControlUI;
    CControlUI* b = new CControlUI;
    CControlUI* c = new CControlUI;
    EXPECT_TRUE(box.Add(a));
    EXPECT_TRUE(box.Add(b));
    EXPECT_TRUE(box.AddAt(c, 0));
    CControlUI* stray = new CControlUI;
    EXPECT_FALSE(box.AddAt(stray, 4));
    EXPECT_FALSE(box.AddAt(stray, -1));
    delete stray;
    EXPECT_EQ(box.GetCount(), 3);
    EXPECT_EQ(box.GetItemAt(0), c);
    EXPECT_EQ(box.GetItemAt(3), nullptr);
    EXPECT_EQ(box.GetItemAt(-1), nullptr);
    EXPECT_EQ(box.GetItemIndex(b), 2);
    EXPECT_TRUE(box.SetItemIndex(b, 0));
    EXPECT_EQ(box.GetItemAt(0), b);
    EXPECT_TRUE(box.SetItemIndex(b, 2));
    EXPECT_EQ(box.GetItemAt(2), b);
    EXPECT_FALSE(box.SetItemIndex(nullptr, 0));
    // A bad index leaves the child where it was.
    EXPECT_FALSE(box.SetItemIndex(b, 3));
    EXPECT_FALSE(box.SetItemIndex(b, -1));
    EXPECT_EQ(box.GetItemIndex(b), 2);
    EXPECT_EQ(box.GetCount(), 3);
    EXPECT_EQ(box.GetInterface(L"Container"), static_cast<void*>(&box));
    EXPECT_EQ(box.GetInterface(L"IContainer"), static_cast<void*>(static_cast<IContainerUI*>(&box)));
    EXPECT_EQ(box.GetInterface(L"control"), static_cast<void*>(static_cast<CControlUI*>(&box)));
    EXPECT_EQ(box.GetInterface(L"Button"), nullptr);

    // A refused insertion into an attached container attaches nothing.
    pm.AttachDialog(root);
    CControlUI* loose = new CControlUI;
    loose->SetName(L"loose");
    EXPECT_FALSE(root->AddAt(loose, 1));
    EXPECT_EQ(loose->GetManager(), nullptr);
    EXPECT_EQ(pm.FindControl(L"loose"), nullptr);
    delete loose;
}
