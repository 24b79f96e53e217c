// Labels and link texts: the text style the attributes build, where the text
// lands in the DIB a paint drew into, its colours, the size a label asks of
// a layout, and the links of inline-markup text with their "link"
// notification.

#include "skinui/control/Button.h"
#include "skinui/control/Container.h"
#include "skinui/control/Label.h"
#include "skinui/control/Progress.h"
#include "skinui/control/Text.h"
#include "skinui/control/VerticalLayout.h"
#include "tests/support/ControlTree.h"
#include "tests/support/DibSurface.h"
#include "tests/support/PaintManagerWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace SkinUI;
using TestSupport::DibSurface;

namespace {

typedef std::vector<std::pair<const wchar_t*, const wchar_t*>> Attributes;

// The columns of the surface, inside rc, that hold a pixel other than the
// background (0): [first, last], or (-1, -1) for none.
std::pair<int, int> InkedColumns(const DibSurface& surface, const RECT& rc)
{
    int first = -1;
    int last = -1;
    for (int x = rc.left; x < rc.right; x++)
        for (int y = rc.top; y < rc.bottom; y++)
            if ((surface.Pixel(x, y) & 0xFFFFFF) != 0) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return std::make_pair(first, last);
}

// True when some pixel inside rc is closer to rgb than to any other of the
// primary colours: anti-aliased text still has such pixels in its strokes.
bool HasColour(const DibSurface& surface, const RECT& rc, DWORD rgb)
{
    for (int y = rc.top; y < rc.bottom; y++)
        for (int x = rc.left; x < rc.right; x++) {
            DWORD p = surface.Pixel(x, y);
            int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            int wr = (rgb >> 16) & 0xFF, wg = (rgb >> 8) & 0xFF, wb = rgb & 0xFF;
            if (abs(r - wr) < 60 && abs(g - wg) < 60 && abs(b - wb) < 60 && (r + g + b) > 100) return true;
        }
    return false;
}

class CLinkRecorder : public INotifyUI
{
public:
    void Notify(TNotifyUI& msg) override
    {
        if (msg.type == L"link") links.push_back(int(msg.wParam));
    }
    std::vector<int> links;
};

class LabelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = new CContainerUI;
        ASSERT_TRUE(m_window.Manager()->AttachDialog(m_root));
        RECT rcRoot = {0, 0, 400, 100};
        m_root->SetPos(rcRoot);
        m_window.Manager()->AddNotifier(&m_recorder);
    }
    void TearDown() override
    {
        m_window.Manager()->RemoveNotifier(&m_recorder);
        m_window.DestroyManager();
    }

    // A new T at rc under the root, with the attribute list (when given) and
    // the text (when given) applied.
    template <class T>
    T* Add(const RECT& rc, LPCTSTR attributes = nullptr, LPCTSTR text = nullptr)
    {
        T* control = new T;
        m_root->Add(control);
        control->SetPos(rc);
        if (attributes != nullptr) control->ApplyAttributeList(attributes);
        if (text != nullptr) control->SetText(text);
        return control;
    }

    void Paint(CControlUI* control, DibSurface& surface)
    {
        surface.Clear(0);
        RECT rcPaint = {0, 0, surface.Width(), surface.Height()};
        control->DoPaint(surface.GetDC(), rcPaint);
    }

    void Send(CControlUI* control, int type, POINT pt)
    {
        TEventUI event = {};
        event.type = type;
        event.sender = control;
        event.mousePos = pt;
        control->Event(event);
    }

    TestSupport::PaintManagerWindow m_window;
    CContainerUI* m_root = nullptr;
    CLinkRecorder m_recorder;
};

}  // namespace

TEST(Label, AlignmentAttributesBuildTheTextStyle)
{
    const std::tuple<const char*, Attributes, UINT> rows[] = {
        {"default", {}, DT_VCENTER | DT_SINGLELINE},
        {"center", {{L"align", L"center"}}, DT_CENTER | DT_VCENTER | DT_SINGLELINE},
        {"left and right", {{L"align", L"leftright"}}, DT_RIGHT | DT_VCENTER | DT_SINGLELINE},
        {"right then left", {{L"align", L"right"}, {L"align", L"left"}}, DT_VCENTER | DT_SINGLELINE},
        {"keywords keep their case", {{L"align", L"Center"}}, DT_VCENTER | DT_SINGLELINE},
        {"wrap names no keyword", {{L"align", L"wrap"}}, DT_VCENTER | DT_SINGLELINE},
        {"names ignore case", {{L"ALIGN", L"right"}}, DT_RIGHT | DT_VCENTER | DT_SINGLELINE},
        {"bottom", {{L"valign", L"bottom"}}, DT_BOTTOM | DT_SINGLELINE},
        {"top", {{L"valign", L"top"}}, DT_SINGLELINE},
        {"vcenter after bottom",
         {{L"valign", L"bottom"}, {L"valign", L"vcenter"}},
         DT_VCENTER | DT_SINGLELINE},
        {"wordbreak", {{L"wordbreak", L"true"}}, DT_VCENTER | DT_WORDBREAK | DT_EDITCONTROL},
        {"top after wordbreak",
         {{L"wordbreak", L"true"}, {L"valign", L"top"}},
         DT_SINGLELINE | DT_EDITCONTROL},
        {"wordbreak off", {{L"wordbreak", L"true"}, {L"wordbreak", L"false"}}, DT_VCENTER | DT_SINGLELINE},
        {"end ellipsis", {{L"endellipsis", L"TRUE"}}, DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS},
        {"no prefix on and off", {{L"noprefix", L"true"}, {L"noprefix", L"no"}}, DT_VCENTER | DT_SINGLELINE},
        {"no prefix", {{L"noprefix", L"true"}}, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX},
    };
    for (const auto& [name, attrs, style] : rows) {
        CLabelUI label;
        for (const auto& a : attrs) label.SetAttribute(a.first, a.second);
        EXPECT_EQ(style, label.GetTextStyle()) << name;
    }
}

TEST(Label, ClassNamesInterfacesAndDefaultStyles)
{
    CLabelUI label;
    CTextUI text;
    CButtonUI button;
    CProgressUI bar;
    const std::tuple<CLabelUI*, const wchar_t*, const wchar_t*, UINT, LONG, LONG> rows[] = {
        {&label, L"LabelUI", L"LABEL", DT_VCENTER | DT_SINGLELINE, 0, 0},
        {&text, L"TextUI", L"text", DT_WORDBREAK, 2, 2},
        {&button, L"ButtonUI", L"Button", DT_SINGLELINE | DT_VCENTER | DT_CENTER, 0, 0},
        {&bar, L"ProgressUI", L"progress", DT_SINGLELINE | DT_CENTER, 0, 0},
    };
    for (const auto& [control, cls, iface, style, padLeft, padRight] : rows) {
        SCOPED_TRACE(testing::Message() << static_cast<LPCTSTR>(CUIString(cls)));
        EXPECT_STREQ(cls, control->GetClass());
        EXPECT_NE(nullptr, control->GetInterface(iface));
        EXPECT_EQ(static_cast<CLabelUI*>(control), control->GetInterface(L"Label"));
        EXPECT_EQ(static_cast<CControlUI*>(control), control->GetInterface(L"Control"));
        EXPECT_EQ(style, control->GetTextStyle());
        EXPECT_EQ(padLeft, control->GetTextPadding().left);
        EXPECT_EQ(padRight, control->GetTextPadding().right);
    }
    EXPECT_EQ(nullptr, label.GetInterface(L"Button"));
    EXPECT_EQ(nullptr, button.GetInterface(L"Progress"));
    EXPECT_EQ(UINT(CONTROLFLAG_SETCURSOR), label.GetControlFlags());
    label.SetEnabled(false);
    EXPECT_EQ(0u, label.GetControlFlags());
    EXPECT_EQ(0u, text.GetControlFlags()) << "no links yet";
    EXPECT_EQ(nullptr, text.GetLinkContent(0));
}

TEST_F(LabelTest, AlignmentPlacesTheText)
{
    // A 300-pixel label at x 50; "iii" is far narrower than a third of it.
    // minFirst, maxLast: where the inked columns must lie
    const std::tuple<const wchar_t*, int, int> rows[] = {
        {L"left", 50, 150}, {L"center", 150, 250}, {L"right", 250, 350}};
    for (const auto& [align, minFirst, maxLast] : rows) {
        RECT rc = {50, 10, 350, 50};
        CLabelUI* label = Add<CLabelUI>(rc);
        label->SetAttribute(L"align", align);
        label->SetAttribute(L"textcolor", L"#FFFFFFFF");
        label->SetText(L"iii");
        DibSurface surface(400, 100);
        Paint(label, surface);
        std::pair<int, int> ink = InkedColumns(surface, rc);
        EXPECT_GE(ink.first, minFirst) << static_cast<LPCTSTR>(CUIString(align));
        EXPECT_LE(ink.second, maxLast) << static_cast<LPCTSTR>(CUIString(align));
        EXPECT_LE(ink.first, ink.second);
        m_root->Remove(label);
    }

    // The text padding moves the text rectangle.
    RECT rc = {50, 10, 350, 50};
    CLabelUI* label = Add<CLabelUI>(rc, L"textcolor=\"#FFFFFFFF\" textpadding=\"200,0,0,0\"", L"iii");
    DibSurface surface(400, 100);
    Paint(label, surface);
    EXPECT_GE(InkedColumns(surface, rc).first, 250);
}

TEST_F(LabelTest, TextColoursFollowTheEnabledState)
{
    CPaintManagerUI& pm = *m_window.Manager();
    pm.SetDefaultFontColor(0xFF00C0C0);
    pm.SetDefaultDisabledColor(0xFFC0C000);
    RECT rc = {10, 10, 200, 50};
    CLabelUI* label = Add<CLabelUI>(rc, nullptr, L"WWWW");
    DibSurface surface(400, 100);

    // Colours of 0 take the window's defaults at the first paint, for good.
    Paint(label, surface);
    EXPECT_EQ(0xFF00C0C0u, label->GetTextColor());
    EXPECT_EQ(0xFFC0C000u, label->GetDisabledTextColor());
    EXPECT_TRUE(HasColour(surface, rc, 0x00C0C0));
    pm.SetDefaultFontColor(0xFF123456);
    Paint(label, surface);
    EXPECT_EQ(0xFF00C0C0u, label->GetTextColor());

    label->SetTextColor(0xFFF00000);
    label->SetDisabledTextColor(0xFF00F000);
    Paint(label, surface);
    EXPECT_TRUE(HasColour(surface, rc, 0xF00000));
    EXPECT_FALSE(HasColour(surface, rc, 0x00F000));
    label->SetEnabled(false);
    Paint(label, surface);
    EXPECT_TRUE(HasColour(surface, rc, 0x00F000));
    EXPECT_FALSE(HasColour(surface, rc, 0xF00000));

    // An empty text draws nothing.
    label->SetText(L"");
    Paint(label, surface);
    EXPECT_EQ(std::make_pair(-1, -1), InkedColumns(surface, rc));
}

TEST_F(LabelTest, SizeAskedOfALayout)
{
    CPaintManagerUI& pm = *m_window.Manager();
    ASSERT_NE(nullptr, pm.AddFont(1, L"Arial", 24, false, false, false));
    RECT rc = {0, 0, 100, 30};
    CLabelUI* label = Add<CLabelUI>(rc);
    SIZE available = {400, 100};

    SIZE sz = label->EstimateSize(available);
    EXPECT_EQ(0, sz.cx);
    EXPECT_EQ(pm.GetFontInfo(-1)->tm.tmHeight + 4, sz.cy) << "default font height plus 4";
    label->SetFont(1);
    sz = label->EstimateSize(available);
    EXPECT_EQ(pm.GetFontInfo(1)->tm.tmHeight + 4, sz.cy);
    EXPECT_GT(pm.GetFontInfo(1)->tm.tmHeight, pm.GetFontInfo(-1)->tm.tmHeight);
    label->SetFixedHeight(30);
    label->SetFixedWidth(70);
    sz = label->EstimateSize(available);
    EXPECT_EQ(70, sz.cx);
    EXPECT_EQ(30, sz.cy);

    // Auto calc width: the text width plus padding; a longer text asks the
    // parent to lay out again and measures wider.
    label->SetAttribute(L"autocalcwidth", L"true");
    label->SetAttribute(L"textpadding", L"5,0,7,0");
    label->SetText(L"ab");
    int narrow = label->EstimateSize(available).cx;
    EXPECT_GT(narrow, 12);
    EXPECT_EQ(narrow, label->GetFixedWidth());
    m_root->SetPos(m_root->GetPos());
    ASSERT_FALSE(m_root->IsUpdateNeeded());
    label->SetText(L"abababab");
    EXPECT_TRUE(m_root->IsUpdateNeeded());
    int wide = label->EstimateSize(available).cx;
    EXPECT_GT(wide, narrow + (narrow - 12) * 2);
}

TEST_F(LabelTest, InlineMarkupLinksAreTrackedAndClicked)
{
    RECT rc = {0, 0, 400, 40};
    CTextUI* text = Add<CTextUI>(rc, L"showhtml=\"true\" textcolor=\"#FFFFFFFF\"",
                                 L"{a first}one{/a} and {a second}two{/a}");
    DibSurface surface(400, 100);
    Paint(text, surface);
    ASSERT_EQ(2, text->GetLinkCount());
    ASSERT_NE(nullptr, text->GetLinkContent(1));
    EXPECT_EQ(CUIString(L"first"), *text->GetLinkContent(0));
    EXPECT_EQ(CUIString(L"second"), *text->GetLinkContent(1));
    EXPECT_EQ(nullptr, text->GetLinkContent(2));
    EXPECT_EQ(nullptr, text->GetLinkContent(-1));
    EXPECT_EQ(UINT(CONTROLFLAG_SETCURSOR | CONTROLFLAG_TABSTOP), text->GetControlFlags());

    // Sweep the mouse along the middle row: the hover link follows it.
    POINT onFirst = {-1, -1}, onSecond = {-1, -1}, offLinks = {-1, -1};
    std::vector<int> hovers = {text->GetHoverLink()};
    for (int x = 0; x < 400; x++) {
        POINT pt = {x, 8};
        Send(text, EVT_MOUSEMOVE, pt);
        int hover = text->GetHoverLink();
        if (hovers.back() != hover) hovers.push_back(hover);
        if (hover == 0 && onFirst.x < 0) onFirst = pt;
        if (hover == 1 && onSecond.x < 0) onSecond = pt;
        if (hover == -1 && onFirst.x >= 0 && onSecond.x < 0) offLinks = pt;
    }
    EXPECT_EQ((std::vector<int>{-1, 0, -1, 1, -1}), hovers);
    ASSERT_GE(onSecond.x, 0);
    ASSERT_GE(offLinks.x, 0);
    Send(text, EVT_MOUSELEAVE, offLinks);
    EXPECT_EQ(-1, text->GetHoverLink());

    // The hand over a link; elsewhere the cursor is left as it was.
    HCURSOR arrow = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    HCURSOR hand = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));
    ::SetCursor(arrow);
    Send(text, EVT_SETCURSOR, offLinks);
    EXPECT_EQ(arrow, ::GetCursor());
    Send(text, EVT_SETCURSOR, onSecond);
    EXPECT_EQ(hand, ::GetCursor());
    ::SetCursor(arrow);

    Send(text, EVT_BUTTONUP, onSecond);
    Send(text, EVT_BUTTONUP, onFirst);
    Send(text, EVT_BUTTONUP, offLinks);
    EXPECT_EQ((std::vector<int>{1, 0}), m_recorder.links);

    text->SetEnabled(false);
    Send(text, EVT_BUTTONUP, onSecond);
    EXPECT_EQ(2u, m_recorder.links.size()) << "a disabled text sends nothing";
    EXPECT_EQ(0u, text->GetControlFlags());
    text->SetEnabled(true);

    // Plain text has no links, also where markup had them before.
    text->SetShowHtml(false);
    Paint(text, surface);
    EXPECT_EQ(0, text->GetLinkCount());
    Send(text, EVT_BUTTONUP, onSecond);
    EXPECT_EQ(2u, m_recorder.links.size());
    text->SetShowHtml(true);
    text->SetText(L"");
    Paint(text, surface);
    EXPECT_EQ(0, text->GetLinkCount());
}

TEST_F(LabelTest, ControlsThatAreNotMouseEnabledPassMouseEventsUp)
{
    // The parent records what bubbles up to it.
    class CSink : public CContainerUI
    {
    public:
        void DoEvent(TEventUI& event) override { types.push_back(event.type); }
        std::vector<int> types;
    };
    CSink* sink = new CSink;
    m_root->Add(sink);
    RECT rc = {0, 0, 100, 40};
    sink->SetPos(rc);
    CButtonUI* button = TestSupport::AddChild<CButtonUI>(sink, L"mouse=\"false\"");
    CTextUI* text = TestSupport::AddChild<CTextUI>(sink, L"mouse=\"false\"");
    button->SetPos(rc);
    text->SetPos(rc);

    POINT inside = {10, 10};
    Send(button, EVT_BUTTONDOWN, inside);
    EXPECT_EQ(0u, button->GetButtonState());
    Send(text, EVT_MOUSEMOVE, inside);
    EXPECT_EQ((std::vector<int>{EVT_BUTTONDOWN, EVT_MOUSEMOVE}), sink->types);
}

TEST_F(LabelTest, ALabelInAVerticalLayoutIsOneLineOfItsFontHigh)
{
    CPaintManagerUI& pm = *m_window.Manager();
    ASSERT_NE(nullptr, pm.AddFont(1, L"Arial", 24, false, false, false));
    CVerticalLayoutUI* column = new CVerticalLayoutUI;
    m_root->Add(column);
    CLabelUI* plain = new CLabelUI;
    CLabelUI* big = new CLabelUI;
    CLabelUI* fixed = new CLabelUI;
    big->SetAttribute(L"font", L"1");
    fixed->SetAttribute(L"height", L"17");
    column->Add(plain);
    column->Add(big);
    column->Add(fixed);
    RECT rc = {0, 0, 300, 100};
    column->SetPos(rc);
    EXPECT_EQ(pm.GetFontInfo(-1)->tm.tmHeight + 4, plain->GetHeight());
    EXPECT_EQ(pm.GetFontInfo(1)->tm.tmHeight + 4, big->GetHeight());
    EXPECT_EQ(17, fixed->GetHeight());
    EXPECT_EQ(plain->GetPos().bottom, big->GetPos().top);
}

TEST_F(LabelTest, ButtonTextTakesTheColourOfItsState)
{
    RECT rc = {10, 10, 200, 50};
    CButtonUI* button = Add<CButtonUI>(rc);
    button->SetText(L"WWWW");
    button->SetAttribute(L"textcolor", L"#FFF00000");
    button->SetAttribute(L"disabledtextcolor", L"#FF808080");
    button->SetAttribute(L"hottextcolor", L"#FF00F000");
    button->SetAttribute(L"pushedtextcolor", L"#FF0000F0");
    button->SetAttribute(L"focusedtextcolor", L"#FFF0F000");
    POINT inside = {50, 30};
    const std::tuple<const char*, std::vector<int>, bool, bool, DWORD> rows[] = {
        {"normal", {}, false, true, 0xF00000},
        {"focused", {}, true, true, 0xF0F000},
        {"hot wins over focused", {EVT_MOUSEENTER}, true, true, 0x00F000},
        {"pushed wins over hot", {EVT_MOUSEENTER, EVT_BUTTONDOWN}, true, true, 0x0000F0},
        {"disabled", {}, false, false, 0x808080},
    };
    for (const auto& [name, events, focus, enabled, rgb] : rows) {
        SCOPED_TRACE(name);
        TEventUI leave = {};
        leave.type = EVT_BUTTONUP;
        leave.mousePos.x = -1;
        button->Event(leave);
        leave.type = EVT_MOUSELEAVE;
        button->Event(leave);
        button->SetEnabled(enabled);
        m_window.Manager()->SetFocus(focus ? button : nullptr);
        for (int type : events) Send(button, type, inside);
        DibSurface surface(400, 100);
        Paint(button, surface);
        EXPECT_TRUE(HasColour(surface, rc, rgb));
        for (DWORD other : {0xF00000u, 0xF0F000u, 0x00F000u, 0x0000F0u, 0x808080u}) {
            if (other != rgb) {
                EXPECT_FALSE(HasColour(surface, rc, other)) << std::hex << other;
            }
        }
    }
}
