// The controls as a screen reader sees them, through Wine's real oleacc: the
// tree from AccessibleObjectFromWindow and AccessibleChildren, the object
// ids the window answers, focus, places and hit tests, default actions,
// WinEvents, a client on another thread, and objects that outlive their
// controls or their window.
#include "skinui/control/Container.h"
#include "skinui/control/Progress.h"
#include "tests/support/PaintManagerWindow.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <limits.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace SkinUI;
using TestSupport::PaintManagerWindow;

namespace {

const wchar_t kSkin[] = LR"xml(<Window size="600,460">
<VerticalLayout>
  <Button name="ok" float="true" pos="10,10,100,30" text="OK" tooltip="Confirm the choice" />
  <Button name="run" float="true" pos="110,10,200,30" text="Run" accdisabledname="Run (installing)" enabled="false" />
  <Button name="close" float="true" pos="210,10,240,30" tooltip="Close" />
  <Text name="help" float="true" pos="10,40,390,60" showhtml="true" text="Read {a help}Help{/a} or {a faq}the FAQ{/a}" />
  <Label name="status" float="true" pos="10,70,200,90" text="Ready" />
  <Label name="deco" float="true" pos="210,70,230,90" bkimage="logo.png" />
  <Label name="logo" float="true" pos="240,70,270,90" bkimage="logo.png" accname="Vozeror logo" />
  <Progress name="bar" float="true" pos="10,100,200,110" min="0" max="1000" value="370" />
  <HorizontalLayout name="group" float="true" pos="10,120,390,180" accname="Downloads">
    <Button name="pause" float="true" pos="10,10,110,40" text="Pause" />
  </HorizontalLayout>
  <VerticalLayout name="page" float="true" pos="10,190,390,290">
    <Label name="note" float="true" pos="0,0,100,20" text="Note" />
    <Button name="hidden" float="true" pos="0,30,100,50" text="Hidden" visible="false" />
  </VerticalLayout>
</VerticalLayout>
</Window>)xml";

const wchar_t kTitle[] = L"Vozeror test";

// A COM reference released with its holder.
template <class T>
struct Ref
{
    T* p = nullptr;
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref()
    {
        if (p != nullptr) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

VARIANT Child(LONG nChild)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = nChild;
    return v;
}

std::wstring Take(BSTR s)
{
    std::wstring text = s != nullptr ? s : L"";
    ::SysFreeString(s);
    return text;
}

std::wstring Name(IAccessible* pAcc, LONG nChild = CHILDID_SELF)
{
    BSTR s = nullptr;
    pAcc->get_accName(Child(nChild), &s);
    return Take(s);
}

LONG IntProperty(IAccessible* pAcc, LONG nChild,
                 HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*))
{
    VARIANT v;
    ::VariantInit(&v);
    (pAcc->*get)(Child(nChild), &v);
    return v.vt == VT_I4 ? v.lVal : -1;
}

LONG Role(IAccessible* pAcc, LONG nChild = CHILDID_SELF)
{
    return IntProperty(pAcc, nChild, &IAccessible::get_accRole);
}

LONG State(IAccessible* pAcc, LONG nChild = CHILDID_SELF)
{
    return IntProperty(pAcc, nChild, &IAccessible::get_accState);
}

// The object a VARIANT names, seen from pAcc: an object with CHILDID_SELF
// for VT_DISPATCH, pAcc with the id for VT_I4; the object is the caller's.
IAccessible* ResultObject(IAccessible* pAcc, const VARIANT& v, LONG& nChild)
{
    nChild = CHILDID_SELF;
    if (v.vt == VT_I4) {
        nChild = v.lVal;
        pAcc->AddRef();
        return pAcc;
    }
    IAccessible* pChild = nullptr;
    if (v.vt == VT_DISPATCH && v.pdispVal != nullptr)
        v.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&pChild));
    return pChild;
}

std::wstring NameOfResult(IAccessible* pAcc, const VARIANT& v)
{
    LONG nChild = 0;
    Ref<IAccessible> object;
    object.p = ResultObject(pAcc, v, nChild);
    return object.p != nullptr ? Name(object.p, nChild) : L"<none>";
}

LONG StateOfResult(IAccessible* pAcc, const VARIANT& v)
{
    LONG nChild = 0;
    Ref<IAccessible> object;
    object.p = ResultObject(pAcc, v, nChild);
    return object.p != nullptr ? State(object.p, nChild) : 0;
}

struct Row
{
    int depth;
    LONG role;
    std::wstring name;
    std::wstring value;
    std::wstring description;
    LONG state;
    long children;

    bool operator==(const Row& o) const
    {
        return depth == o.depth && role == o.role && name == o.name && value == o.value &&
            description == o.description && state == o.state && children == o.children;
    }
};

std::ostream& operator<<(std::ostream& os, const Row& r)
{
    return os << r.depth << " role " << r.role << " '" << std::string(r.name.begin(), r.name.end())
              << "' state 0x" << std::hex << r.state << std::dec << " children " << r.children;
}

std::wstring StringProperty(IAccessible* pAcc, LONG nChild,
                            HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*))
{
    BSTR s = nullptr;
    (pAcc->*get)(Child(nChild), &s);
    return Take(s);
}

// Every object under pAcc in AccessibleChildren's order, depth first; the
// states a window's focus and the mouse bring are left out.
void Walk(IAccessible* pAcc, LONG nChild, int depth, std::vector<Row>& rows)
{
    long nCount = 0;
    if (nChild == CHILDID_SELF) pAcc->get_accChildCount(&nCount);
    const LONG kVolatile = STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED | STATE_SYSTEM_INVISIBLE;
    rows.push_back(Row{depth, Role(pAcc, nChild), Name(pAcc, nChild),
                       StringProperty(pAcc, nChild, &IAccessible::get_accValue),
                       StringProperty(pAcc, nChild, &IAccessible::get_accDescription),
                       depth == 0 ? 0 : State(pAcc, nChild) & ~kVolatile, nCount});
    if (nCount == 0) return;
    std::vector<VARIANT> children(static_cast<size_t>(nCount));
    long nObtained = 0;
    ASSERT_EQ(S_OK, ::AccessibleChildren(pAcc, 0, nCount, children.data(), &nObtained));
    ASSERT_EQ(nCount, nObtained);
    for (VARIANT& v : children) {
        if (v.vt == VT_DISPATCH) {
            Ref<IAccessible> child;
            v.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&child));
            if (child.p != nullptr) Walk(child.p, CHILDID_SELF, depth + 1, rows);
        } else if (v.vt == VT_I4) {
            Walk(pAcc, v.lVal, depth + 1, rows);
        }
        ::VariantClear(&v);
    }
}

struct Notice
{
    std::wstring sender;
    std::wstring type;
    WPARAM wParam;
};

class AccessibleTest : public ::testing::Test, public INotifyUI
{
protected:
    void SetUp() override
    {
        ::CoInitialize(nullptr);
        ASSERT_TRUE(m_host.IsValid());
        ::SetWindowTextW(m_host.Handle(), kTitle);
        ASSERT_NE(nullptr, m_host.LoadSkin(kSkin));
        m_host.Manager()->AddNotifier(this);
        ::ShowWindow(m_host.Handle(), SW_SHOWNOACTIVATE);
        // Link rectangles are known after a paint.
        m_host.Paint();
        m_host.Pump();
        ASSERT_EQ(S_OK,
                  ::AccessibleObjectFromWindow(m_host.Handle(), static_cast<DWORD>(OBJID_CLIENT),
                                               IID_IAccessible, reinterpret_cast<void**>(&m_root)));
    }
    void TearDown() override
    {
        if (m_root.p != nullptr) m_root.p->Release();
        m_root.p = nullptr;
        m_host.DestroyManager();
        ::CoUninitialize();
    }

    void Notify(TNotifyUI& msg) override
    {
        m_notices.push_back(Notice{msg.sender != nullptr ? msg.sender->GetName().GetData() : L"",
                                   msg.type.GetData(), msg.wParam});
    }

    CControlUI* Find(LPCTSTR name) { return m_host.Manager()->FindControl(name); }

    // The root's child object with that name, or null.
    IAccessible* TopChild(const std::wstring& name)
    {
        long nCount = 0;
        m_root->get_accChildCount(&nCount);
        for (LONG i = 1; i <= nCount; ++i) {
            IDispatch* pDisp = nullptr;
            if (m_root->get_accChild(Child(i), &pDisp) != S_OK) continue;
            IAccessible* pAcc = nullptr;
            pDisp->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&pAcc));
            pDisp->Release();
            if (pAcc != nullptr && Name(pAcc) == name) return pAcc;
            if (pAcc != nullptr) pAcc->Release();
        }
        return nullptr;
    }

    PaintManagerWindow m_host{600, 460};
    Ref<IAccessible> m_root;
    std::vector<Notice> m_notices;
};

TEST_F(AccessibleTest, TreeShowsTheExposedControlsWithRolesNamesAndStates)
{
    const LONG kFocusable = STATE_SYSTEM_FOCUSABLE;
    const LONG kReadOnly = STATE_SYSTEM_READONLY;
    const std::vector<Row> expected = {
        {0, ROLE_SYSTEM_CLIENT, kTitle, L"", L"", 0, 9},
        {1, ROLE_SYSTEM_PUSHBUTTON, L"OK", L"", L"Confirm the choice", kFocusable, 0},
        {1, ROLE_SYSTEM_PUSHBUTTON, L"Run (installing)", L"", L"", STATE_SYSTEM_UNAVAILABLE, 0},
        {1, ROLE_SYSTEM_PUSHBUTTON, L"Close", L"", L"", kFocusable, 0},
        {1, ROLE_SYSTEM_STATICTEXT, L"Read Help or the FAQ", L"", L"", kReadOnly, 2},
        {2, ROLE_SYSTEM_LINK, L"Help", L"help", L"", STATE_SYSTEM_LINKED | kFocusable, 0},
        {2, ROLE_SYSTEM_LINK, L"the FAQ", L"faq", L"", STATE_SYSTEM_LINKED | kFocusable, 0},
        {1, ROLE_SYSTEM_STATICTEXT, L"Ready", L"", L"", kReadOnly, 0},
        {1, ROLE_SYSTEM_GRAPHIC, L"Vozeror logo", L"", L"", 0, 0},
        {1, ROLE_SYSTEM_PROGRESSBAR, L"", L"37%", L"", kReadOnly, 0},
        {1, ROLE_SYSTEM_GROUPING, L"Downloads", L"", L"", 0, 1},
        {2, ROLE_SYSTEM_PUSHBUTTON, L"Pause", L"", L"", kFocusable, 0},
        {1, ROLE_SYSTEM_STATICTEXT, L"Note", L"", L"", kReadOnly, 0},
    };
    std::vector<Row> rows;
    Walk(m_root.p, CHILDID_SELF, 0, rows);
    ASSERT_EQ(expected.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(expected[i], rows[i]) << "row " << i;
}

TEST_F(AccessibleTest, OnlyTheClientObjectIdIsAnswered)
{
    const struct
    {
        LPARAM lParam;
        bool bAnswered;
    } cases[] = {
        {static_cast<LPARAM>(static_cast<DWORD>(OBJID_CLIENT)), true},  // zero-extended
        {static_cast<LPARAM>(OBJID_CLIENT), true},                      // sign-extended
        {static_cast<LPARAM>(OBJID_WINDOW), false},
        {static_cast<LPARAM>(OBJID_CARET), false},
        {static_cast<LPARAM>(-25), false},  // UiaRootObjectId
    };
    for (const auto& c : cases) {
        const LRESULT lRes = ::SendMessageW(m_host.Handle(), WM_GETOBJECT, 0, c.lParam);
        EXPECT_EQ(c.bAnswered, lRes > 0) << c.lParam;
        if (lRes <= 0) continue;
        // The engine's object: the controls are its children.
        Ref<IAccessible> acc;
        ASSERT_EQ(S_OK, ::ObjectFromLresult(lRes, IID_IAccessible, 0, reinterpret_cast<void**>(&acc)));
        long nCount = 0;
        acc->get_accChildCount(&nCount);
        EXPECT_EQ(9, nCount);
    }
}

// Tab visits exactly the FOCUSABLE objects, in tree order, and each is the
// client's focus (FOCUSED set) when Tab has reached it.
TEST_F(AccessibleTest, FocusableObjectsAreTheTabCycle)
{
    std::vector<Row> rows;
    Walk(m_root.p, CHILDID_SELF, 0, rows);
    std::vector<std::wstring> focusable;
    for (const Row& r : rows)
        if ((r.state & STATE_SYSTEM_FOCUSABLE) != 0) focusable.push_back(r.name);

    // The first paint gave the first Tab stop the focus; Tab goes around
    // once from there.
    std::vector<std::wstring> cycle;
    for (size_t i = 0; i < focusable.size() + 1; ++i) {
        if (i > 0) m_host.Manager()->SetNextTabControl(true);
        VARIANT v;
        ::VariantInit(&v);
        ASSERT_EQ(S_OK, m_root->get_accFocus(&v));
        cycle.push_back(NameOfResult(m_root.p, v));
        EXPECT_NE(0, StateOfResult(m_root.p, v) & STATE_SYSTEM_FOCUSED) << cycle.size();
        ::VariantClear(&v);
    }
    EXPECT_EQ(cycle.front(), cycle.back());
    cycle.pop_back();
    EXPECT_EQ(focusable, cycle);
}

TEST_F(AccessibleTest, LocationAndHitTestInScreenPixelsAtAnyDpi)
{
    POINT origin = {0, 0};
    ::ClientToScreen(m_host.Handle(), &origin);
    for (int dpi : {96, 144}) {
        m_host.Manager()->SetDPI(dpi);
        m_host.Pump();
        m_host.Paint();
        auto scale = [dpi](int n) { return ::MulDiv(n, dpi, 96); };
        Ref<IAccessible> ok;
        ok.p = TopChild(L"OK");
        ASSERT_NE(nullptr, ok.p);
        long x = 0, y = 0, cx = 0, cy = 0;
        ASSERT_EQ(S_OK, ok->accLocation(&x, &y, &cx, &cy, Child(CHILDID_SELF)));
        EXPECT_EQ(origin.x + scale(10), x) << dpi;
        EXPECT_EQ(origin.y + scale(10), y) << dpi;
        EXPECT_EQ(scale(90), cx) << dpi;
        EXPECT_EQ(scale(20), cy) << dpi;

        // The second link of the text, wherever its text put it.
        Ref<IAccessible> text;
        text.p = TopChild(L"Read Help or the FAQ");
        ASSERT_NE(nullptr, text.p);
        long lx = 0, ly = 0, lcx = 0, lcy = 0;
        ASSERT_EQ(S_OK, text->accLocation(&lx, &ly, &lcx, &lcy, Child(2)));
        ASSERT_GT(lcx, 0);

        const struct
        {
            POINT pt;
            const wchar_t* hit;
        } cases[] = {
            {{origin.x + scale(50), origin.y + scale(20)}, L"OK"},
            {{origin.x + scale(60), origin.y + scale(145)}, L"Pause"},       // inside the group
            {{origin.x + scale(300), origin.y + scale(125)}, L"Downloads"},  // the group itself
            {{lx + lcx / 2, ly + lcy / 2}, L"the FAQ"},                      // a link: -id
            {{origin.x + 590, origin.y + 450}, kTitle},                      // the client area
            {{origin.x - 5, origin.y - 5}, L"<none>"},                       // outside
        };
        for (const auto& c : cases) {
            VARIANT v;
            ::VariantInit(&v);
            m_root->accHitTest(c.pt.x, c.pt.y, &v);
            EXPECT_EQ(c.hit, NameOfResult(m_root.p, v)) << dpi << " at " << c.pt.x << "," << c.pt.y;
            ::VariantClear(&v);
        }
    }
    m_host.Manager()->SetDPI(96);
}

TEST_F(AccessibleTest, DefaultActionsTakeTheKeyboardsPathAfterTheCall)
{
    Ref<IAccessible> text;
    text.p = TopChild(L"Read Help or the FAQ");
    Ref<IAccessible> ok;
    ok.p = TopChild(L"OK");
    Ref<IAccessible> run;
    run.p = TopChild(L"Run (installing)");
    ASSERT_TRUE(text.p != nullptr && ok.p != nullptr && run.p != nullptr);
    const struct
    {
        IAccessible* pAcc;
        LONG nChild;
        const wchar_t* action;
        HRESULT hr;
        const wchar_t* type;  // the notification that follows, or null
        WPARAM wParam;
    } cases[] = {
        {ok.p, CHILDID_SELF, L"Press", S_OK, L"click", 0},
        {text.p, 2, L"Jump", S_OK, L"link", 1},
        {text.p, 1, L"Jump", S_OK, L"link", 0},
        {run.p, CHILDID_SELF, L"Press", E_FAIL, nullptr, 0},
        {text.p, CHILDID_SELF, L"", DISP_E_MEMBERNOTFOUND, nullptr, 0},
    };
    for (const auto& c : cases) {
        m_notices.clear();
        EXPECT_EQ(c.action, StringProperty(c.pAcc, c.nChild, &IAccessible::get_accDefaultAction));
        EXPECT_EQ(c.hr, c.pAcc->accDoDefaultAction(Child(c.nChild))) << c.action;
        EXPECT_TRUE(m_notices.empty()) << "not during the client's call";
        m_host.Pump();
        if (c.type == nullptr) {
            EXPECT_TRUE(m_notices.empty());
            continue;
        }
        ASSERT_EQ(1u, m_notices.size());
        EXPECT_EQ(c.type, m_notices[0].type);
        EXPECT_EQ(c.wParam, m_notices[0].wParam);
    }
}

// ---- Events ------------------------------------------------------------------

struct Heard
{
    DWORD event;
    std::wstring name;
    LONG state;
};

HWND g_hWatched = nullptr;
std::vector<Heard>* g_pHeard = nullptr;

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hWnd, LONG idObject, LONG idChild, DWORD, DWORD)
{
    if (hWnd != g_hWatched || idObject != OBJID_CLIENT || g_pHeard == nullptr) return;
    IAccessible* pAcc = nullptr;
    VARIANT v;
    ::VariantInit(&v);
    if (::AccessibleObjectFromEvent(hWnd, idObject, idChild, &pAcc, &v) != S_OK || pAcc == nullptr) {
        g_pHeard->push_back(Heard{event, L"<unresolved>", 0});
        return;
    }
    g_pHeard->push_back(Heard{event, Name(pAcc, v.lVal), State(pAcc, v.lVal)});
    pAcc->Release();
}

TEST_F(AccessibleTest, ChangesAreToldAsWinEvents)
{
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    // The window has the focus before: the system's own focus event for it
    // stays out of the cases.
    ::SetFocus(m_host.Handle());
    m_host.Pump();
    std::vector<Heard> heard;
    g_hWatched = m_host.Handle();
    g_pHeard = &heard;
    HWINEVENTHOOK hHook = ::SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, OnWinEvent,
                                            ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(nullptr, hHook);
    m_host.Pump();
    CProgressUI* pBar = static_cast<CProgressUI*>(Find(L"bar"));
    const struct
    {
        const char* what;
        std::function<void()> change;
        std::vector<DWORD> events;
        std::vector<std::wstring> names;
        LONG stateSet;  // in the state read back for the first event
    } cases[] = {
        // The first paint gave the first Tab stop (OK) the focus.
        {"focus",
         [&] { Find(L"close")->SetFocus(); },
         {EVENT_OBJECT_FOCUS},
         {L"Close"},
         STATE_SYSTEM_FOCUSED},
        {"focus a link",
         [&] { m_host.Manager()->SetNextTabControl(true); },
         {EVENT_OBJECT_FOCUS},
         {L"Help"},
         STATE_SYSTEM_FOCUSED},
        {"disable",
         [&] { Find(L"close")->SetEnabled(false); },
         {EVENT_OBJECT_STATECHANGE},
         {L"Close"},
         STATE_SYSTEM_UNAVAILABLE},
        {"enable with a disabled name",
         [&] { Find(L"run")->SetEnabled(true); },
         {EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_NAMECHANGE},
         {L"Run", L"Run"},
         0},
        {"text",
         [&] { Find(L"status")->SetText(L"Installing"); },
         {EVENT_OBJECT_NAMECHANGE},
         {L"Installing"},
         0},
        {"accessible name",
         [&] { Find(L"logo")->SetAccessibleName(L"Logo"); },
         {EVENT_OBJECT_NAMECHANGE},
         {L"Logo"},
         0},
        {"progress within a percent",
         [&] {
             pBar->SetValue(371);
             pBar->SetValue(379);
         },
         {},
         {},
         0},
        {"progress to the next percent", [&] { pBar->SetValue(380); }, {EVENT_OBJECT_VALUECHANGE}, {L""}, 0},
        {"hide",
         [&] { Find(L"pause")->SetVisible(false); },
         {EVENT_OBJECT_HIDE, EVENT_OBJECT_REORDER},
         {L"Pause", L"Downloads"},
         STATE_SYSTEM_INVISIBLE},
        {"show",
         [&] { Find(L"hidden")->SetVisible(true); },
         {EVENT_OBJECT_SHOW, EVENT_OBJECT_REORDER},
         {L"Hidden", kTitle},
         0},
        {"hide a page", [&] { Find(L"page")->SetVisible(false); }, {EVENT_OBJECT_REORDER}, {kTitle}, 0},
    };
    for (const auto& c : cases) {
        heard.clear();
        c.change();
        m_host.Pump();
        m_host.Pump();
        std::vector<DWORD> events;
        std::vector<std::wstring> names;
        for (const Heard& h : heard) {
            events.push_back(h.event);
            names.push_back(h.name);
        }
        EXPECT_EQ(c.events, events) << c.what;
        EXPECT_EQ(c.names, names) << c.what;
        if (!heard.empty() && c.stateSet != 0) {
            EXPECT_NE(0, heard[0].state & c.stateSet) << c.what;
        }
    }
    // The window getting the focus back tells the focused object again.
    heard.clear();
    ::SendMessageW(m_host.Handle(), WM_SETFOCUS, 0, 0);
    m_host.Pump();
    ASSERT_EQ(1u, heard.size());
    EXPECT_EQ(static_cast<DWORD>(EVENT_OBJECT_FOCUS), heard[0].event);
    EXPECT_EQ(L"Help", heard[0].name);
    g_pHeard = nullptr;
    ::UnhookWinEvent(hHook);
}

// ---- Other threads and lifetime --------------------------------------------

TEST_F(AccessibleTest, ObjectsOutlivingTheirControlsAnswerErrors)
{
    Ref<IAccessible> status;
    status.p = TopChild(L"Ready");
    ASSERT_NE(nullptr, status.p);
    // A link's unique id, as the hit test gives it to the root's clients.
    Ref<IAccessible> text;
    text.p = TopChild(L"Read Help or the FAQ");
    long x = 0, y = 0, cx = 0, cy = 0;
    ASSERT_EQ(S_OK, text->accLocation(&x, &y, &cx, &cy, Child(1)));
    VARIANT link;
    ::VariantInit(&link);
    ASSERT_EQ(S_OK, m_root->accHitTest(x + cx / 2, y + cy / 2, &link));
    ASSERT_EQ(VT_I4, link.vt);
    ASSERT_LT(link.lVal, 0);
    EXPECT_EQ(L"Help", Name(m_root.p, link.lVal));

    CContainerUI* pRoot = static_cast<CContainerUI*>(m_host.Manager()->GetRoot());
    ASSERT_TRUE(pRoot->Remove(Find(L"status")));
    ASSERT_TRUE(pRoot->Remove(Find(L"help")));
    m_host.Pump();  // the delayed clean-up deletes them

    BSTR s = nullptr;
    EXPECT_EQ(E_FAIL, status->get_accName(Child(CHILDID_SELF), &s));
    EXPECT_EQ(nullptr, s);
    EXPECT_EQ(E_FAIL, status->accLocation(&x, &y, &cx, &cy, Child(CHILDID_SELF)));
    IDispatch* pParent = nullptr;
    EXPECT_EQ(E_FAIL, status->get_accParent(&pParent));
    EXPECT_EQ(E_FAIL, text->accDoDefaultAction(Child(1)));

    // Child ids that name nothing.
    VARIANT bstr;
    ::VariantInit(&bstr);
    bstr.vt = VT_BSTR;
    bstr.bstrVal = nullptr;
    const VARIANT bad[] = {Child(link.lVal), Child(8), Child(-999999), Child(LONG_MIN), bstr};
    for (const VARIANT& v : bad) {
        EXPECT_EQ(E_INVALIDARG, m_root->get_accName(v, &s)) << v.lVal;
        EXPECT_EQ(nullptr, s);
    }
}

// A client in its own apartment reads the same tree through the proxy (the
// window's thread pumps meanwhile, as the proxy's calls need), and gets
// errors once the window has gone.
TEST_F(AccessibleTest, AnotherThreadReadsThroughTheProxyUntilTheWindowIsGone)
{
    const HWND hWnd = m_host.Handle();
    std::atomic<int> stage(0);
    std::vector<Row> rows;
    HRESULT hrAfter = S_OK;
    std::thread client([&] {
        ::CoInitialize(nullptr);
        {
            Ref<IAccessible> root;
            if (::AccessibleObjectFromWindow(hWnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                             reinterpret_cast<void**>(&root)) == S_OK) {
                Walk(root.p, CHILDID_SELF, 0, rows);
                stage = 1;
                while (stage != 2) ::Sleep(1);
                BSTR s = nullptr;
                hrAfter = root->get_accName(Child(CHILDID_SELF), &s);
                ::SysFreeString(s);
            }
        }
        ::CoUninitialize();
        stage = 3;
    });
    EXPECT_TRUE(m_host.PumpUntil([&] { return stage != 0; }));
    std::vector<Row> here;
    Walk(m_root.p, CHILDID_SELF, 0, here);
    EXPECT_EQ(13u, rows.size());
    EXPECT_EQ(here, rows);
    // WM_DESTROY, with the manager still alive, as the launcher's window ends.
    ::DestroyWindow(hWnd);
    stage = 2;
    EXPECT_TRUE(m_host.PumpUntil([&] { return stage == 3; }));
    client.join();
    EXPECT_TRUE(FAILED(hrAfter)) << std::hex << hrAfter;
}

}  // namespace
