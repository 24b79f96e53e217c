#include "skinui/control/Container.h"
#include "skinui/control/VerticalLayout.h"
#include "skinui/render/DPI.h"
#include "tests/support/ControlTree.h"
#include "tests/support/PaintManagerWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;
using TestSupport::R;
using TestSupport::Rect;

namespace {

struct Counter
{
    int n = 0;
    std::vector<std::wstring>* names = nullptr;
    bool Hit(void* p)
    {
        n++;
        if (names != nullptr) names->push_back(std::wstring(static_cast<CControlUI*>(p)->GetName()));
        return true;
    }
};

}  // namespace

// Attached to a manager at 150 %, the geometry getters scale; the stored
// values stay as written, and a detached control returns them as they are.
TEST(ControlGeometry, GettersScaleWithTheManagersDpi)
{
    TestSupport::PaintManagerWindow window;
    window.Manager()->GetDPIObj()->SetScale(144);
    CControlUI control;
    control.ApplyAttributeList(
        L"pos=\"10,20,0,0\" width=\"30\" height=\"7\" minwidth=\"3\" maxheight=\"100\" "
        L"padding=\"2,4,6,8\" bordersize=\"2\" borderround=\"4,4\" ");
    control.SetToolTipWidth(200);

    struct ScaleCase
    {
        const char* what;
        int detached;
        int attached;
        int (*get)(CControlUI&);
    };
    const ScaleCase cases[] = {
        {"fixed x", 10, 15, [](CControlUI& c) { return static_cast<int>(c.GetFixedXY().cx); }},
        {"fixed y", 20, 30, [](CControlUI& c) { return static_cast<int>(c.GetFixedXY().cy); }},
        {"fixed width", 30, 45, [](CControlUI& c) { return c.GetFixedWidth(); }},
        {"fixed height", 7, 11, [](CControlUI& c) { return c.GetFixedHeight(); }},
        {"min width", 3, 5, [](CControlUI& c) { return c.GetMinWidth(); }},
        {"max height", 100, 150, [](CControlUI& c) { return c.GetMaxHeight(); }},
        {"padding right", 6, 9, [](CControlUI& c) { return static_cast<int>(c.GetPadding().right); }},
        {"border size", 2, 3, [](CControlUI& c) { return c.GetBorderSize(); }},
        {"border round", 4, 6, [](CControlUI& c) { return static_cast<int>(c.GetBorderRound().cx); }},
        {"tool tip width", 200, 300, [](CControlUI& c) { return c.GetToolTipWidth(); }},
        {"estimate", 30, 45,
         [](CControlUI& c) {
             return static_cast<int>(c.EstimateSize(SIZE{0, 0}).cx);
         }},
    };
    for (const ScaleCase& tc : cases) EXPECT_EQ(tc.get(control), tc.detached) << tc.what;
    control.SetManager(window.Manager(), nullptr, false);
    for (const ScaleCase& tc : cases) EXPECT_EQ(tc.get(control), tc.attached) << tc.what;
    control.SetManager(nullptr, nullptr, false);
}

// SetPos normalises the rectangle, raises OnSize once per call, clears the
// update flag; the relative position is taken from the parent's corner.
TEST(ControlGeometry, SetPosNormalisesAndReportsTheNewSize)
{
    TestSupport::PaintManagerWindow window;
    CContainerUI* root = new CContainerUI;
    CControlUI* child = new CControlUI;
    child->SetFloat(true);
    root->Add(child);
    window.Manager()->AttachDialog(root);

    Counter sizes;
    child->OnSize += MakeDelegate(&sizes, &Counter::Hit);
    EXPECT_TRUE(child->IsUpdateNeeded());
    child->SetPos(R(50, 60, 40, 50), true);
    EXPECT_EQ(Rect(child->GetPos()), L"50,60,50,60");
    EXPECT_EQ(sizes.n, 1);
    EXPECT_FALSE(child->IsUpdateNeeded());

    root->SetPos(R(10, 20, 200, 200), false);
    child->SetPos(R(15, 30, 25, 40), false);
    EXPECT_EQ(Rect(child->GetRelativePos()), L"5,10,15,20");
    EXPECT_EQ(Rect(root->GetRelativePos()), L"0,0,0,0");
    EXPECT_EQ(child->GetWidth(), 10);
    EXPECT_EQ(child->GetHeight(), 10);
    EXPECT_EQ(child->GetX(), 15);
    EXPECT_EQ(child->GetY(), 30);

    // A detached control stores the rectangle and reports nothing.
    CControlUI loose;
    Counter looseSizes;
    loose.OnSize += MakeDelegate(&looseSizes, &Counter::Hit);
    loose.SetPos(R(1, 2, 3, 4), true);
    EXPECT_EQ(Rect(loose.GetPos()), L"1,2,3,4");
    EXPECT_EQ(looseSizes.n, 0);
    EXPECT_TRUE(loose.IsUpdateNeeded());

    // Move shifts the float offset and asks the parent for a layout.
    child->SetFixedXY(SIZE{5, 5});
    root->SetPos(R(10, 20, 200, 200), false);
    child->Move(SIZE{3, -2}, true);
    EXPECT_EQ(child->GetFixedXY().cx, 8);
    EXPECT_EQ(child->GetFixedXY().cy, 3);
    EXPECT_TRUE(root->IsUpdateNeeded());
}

// Setters that do not change anything request no relayout.
TEST(ControlGeometry, UnchangedValuesRequestNoLayout)
{
    struct SetterCase
    {
        const char* what;
        void (*set)(CControlUI&);
        bool relayout;
    };
    const SetterCase cases[] = {
        {"same visibility", [](CControlUI& c) { c.SetVisible(true); }, false},
        {"hidden", [](CControlUI& c) { c.SetVisible(false); }, true},
        {"same minimum", [](CControlUI& c) { c.SetMinWidth(0); }, false},
        {"negative minimum", [](CControlUI& c) { c.SetMinHeight(-5); }, false},
        {"new minimum", [](CControlUI& c) { c.SetMinHeight(5); }, true},
        {"negative fixed width", [](CControlUI& c) { c.SetFixedWidth(-1); }, false},
        {"fixed width", [](CControlUI& c) { c.SetFixedWidth(0); }, true},
        {"same float flag", [](CControlUI& c) { c.SetFloat(false); }, false},
        {"padding", [](CControlUI& c) { c.SetPadding(R(0, 0, 0, 0)); }, true},
        {"colour", [](CControlUI& c) { c.SetBkColor(0xFF00FF00); }, false},
    };
    for (const SetterCase& tc : cases) {
        TestSupport::PaintManagerWindow window;
        CContainerUI* root = new CContainerUI;
        CControlUI* child = new CControlUI;
        root->Add(child);
        window.Manager()->AttachDialog(root);
        root->SetPos(R(0, 0, 100, 100), false);
        ASSERT_FALSE(root->IsUpdateNeeded());
        tc.set(*child);
        EXPECT_EQ(root->IsUpdateNeeded(), tc.relayout) << tc.what;
    }
}

// Attaching runs Init down the tree, children before their container; a
// replaced root goes to the delayed clean-up with its names.
TEST(ControlGeometry, AttachInitialisesChildrenFirstAndReplacesTheRoot)
{
    TestSupport::PaintManagerWindow window;
    CPaintManagerUI& pm = *window.Manager();
    std::vector<std::wstring> order;
    Counter inits;
    inits.names = &order;
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    root->SetName(L"root");
    CContainerUI* box = TestSupport::AddChild<CContainerUI>(root, L"name=\"box\"");
    CControlUI* leaf = TestSupport::AddChild<CControlUI>(box, L"name=\"leaf\"");
    for (CControlUI* c : {static_cast<CControlUI*>(root), static_cast<CControlUI*>(box), leaf}) {
        c->OnInit += MakeDelegate(&inits, &Counter::Hit);
    }
    ASSERT_TRUE(pm.AttachDialog(root));
    EXPECT_EQ(order, (std::vector<std::wstring>{L"leaf", L"box"}));  // the root has no parent
    EXPECT_EQ(pm.GetRoot(), root);
    EXPECT_FALSE(pm.InitControls(nullptr));

    Counter destroyed;
    leaf->OnDestroy += MakeDelegate(&destroyed, &Counter::Hit);
    CContainerUI* next = new CContainerUI;
    next->SetName(L"next");
    ASSERT_TRUE(pm.AttachDialog(next));
    EXPECT_EQ(pm.GetRoot(), next);
    EXPECT_EQ(destroyed.n, 0);
    EXPECT_EQ(pm.FindControl(L"leaf"), leaf);
    window.Pump();
    EXPECT_EQ(destroyed.n, 1);
    EXPECT_EQ(pm.FindControl(L"leaf"), nullptr);
    EXPECT_EQ(pm.FindControl(L"root"), nullptr);
    EXPECT_EQ(pm.FindControl(L"next"), next);

    // The same root attached again stays alive and registered.
    Counter nextDestroyed;
    next->OnDestroy += MakeDelegate(&nextDestroyed, &Counter::Hit);
    ASSERT_TRUE(pm.AttachDialog(next));
    window.Pump();
    EXPECT_EQ(nextDestroyed.n, 0);
    EXPECT_EQ(pm.GetRoot(), next);
    EXPECT_EQ(pm.FindControl(L"next"), next);
}

// Destroying the manager destroys the tree, the delayed clean-up and the
// queued notifications without delivering them.
TEST(ControlGeometry, ManagerDestructionTakesTheTreeAlong)
{
    TestSupport::PaintManagerWindow window;
    CPaintManagerUI& pm = *window.Manager();
    CContainerUI* root = new CContainerUI;
    CControlUI* kept = new CControlUI;
    CControlUI* removed = new CControlUI;
    root->Add(kept);
    root->Add(removed);
    pm.AttachDialog(root);
    Counter destroyed;
    kept->OnDestroy += MakeDelegate(&destroyed, &Counter::Hit);
    removed->OnDestroy += MakeDelegate(&destroyed, &Counter::Hit);
    ASSERT_TRUE(kept->SetTimer(1, 100000));
    root->Remove(removed);
    struct Listener : INotifyUI
    {
        int n = 0;
        void Notify(TNotifyUI&) override { n++; }
    } listener;
    pm.AddNotifier(&listener);
    pm.SendNotify(kept, L"never", 0, 0, true);
    window.DestroyManager();
    EXPECT_EQ(destroyed.n, 2);
    EXPECT_EQ(listener.n, 0);
}

// A manager that was never bound to a window posts nothing and invalidates
// nothing; what it queued goes with it.
TEST(ControlGeometry, ManagerWithoutWindowKeepsItsQueue)
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    CPaintManagerUI* pm = new CPaintManagerUI;
    CContainerUI* root = new CContainerUI;
    CControlUI* child = new CControlUI;
    root->Add(child);
    pm->AttachDialog(root);
    Counter destroyed;
    child->OnDestroy += MakeDelegate(&destroyed, &Counter::Hit);
    pm->SendNotify(root, L"queued", 0, 0, true);
    root->Remove(child);
    child = new CControlUI;
    root->Add(child);
    child->SetPos(R(0, 0, 10, 10), true);
    child->Invalidate();
    EXPECT_FALSE(child->SetTimer(1, 10));
    EXPECT_FALSE(::PeekMessageW(&msg, nullptr, WM_ASYNC_FLUSH, WM_ASYNC_FLUSH, PM_NOREMOVE));
    EXPECT_EQ(destroyed.n, 0);
    delete pm;
    EXPECT_EQ(destroyed.n, 1);
}
