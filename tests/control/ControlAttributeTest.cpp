#include "skinui/control/Control.h"

#include "skinui/control/Container.h"
#include "tests/support/PaintManagerWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

using namespace SkinUI;

namespace {

std::wstring Num(long long n)
{
    return std::to_wstring(n);
}

std::wstring Hex(DWORD n)
{
    wchar_t buf[16];
    swprintf(buf, 16, L"%08X", static_cast<unsigned>(n));
    return buf;
}

std::wstring Rect(const RECT& rc)
{
    return Num(rc.left) + L"," + Num(rc.top) + L"," + Num(rc.right) + L"," + Num(rc.bottom);
}

std::wstring Geometry(CControlUI& c)
{
    SIZE xy = c.GetFixedXY();
    return Num(xy.cx) + L"," + Num(xy.cy) + L" " + Num(c.GetFixedWidth()) + L"x" + Num(c.GetFixedHeight());
}

std::wstring Percent(CControlUI& c)
{
    TPercentInfo p = c.GetFloatPercent();
    wchar_t buf[96];
    swprintf(buf, 96, L"%d %.2f,%.2f,%.2f,%.2f", c.IsFloat() ? 1 : 0, p.left, p.top, p.right, p.bottom);
    return buf;
}

std::wstring Sides(CControlUI& c)
{
    return Num(c.GetBorderSize()) + L" " + Num(c.GetLeftBorderSize()) + L"," + Num(c.GetTopBorderSize()) +
        L"," + Num(c.GetRightBorderSize()) + L"," + Num(c.GetBottomBorderSize());
}

std::wstring Text(LPCTSTR p)
{
    return p != nullptr ? std::wstring(p) : std::wstring(L"(null)");
}

struct AttributeCase
{
    const wchar_t* name;
    const wchar_t* value;
    std::function<std::wstring(CControlUI&)> getter;
    const wchar_t* expected;
};

}  // namespace

// Every attribute of the control base, applied to a fresh detached control,
// as its getter shows it; malformed values end in a defined state.
TEST(ControlAttributes, EachAttributeReachesItsGetter)
{
    const AttributeCase cases[] = {
        {L"pos", L"5,5,0,0", Geometry, L"5,5 0x0"},
        {L"pos", L"-10,5,20,25", Geometry, L"20,5 30x20"},
        {L"pos", L"10,-5,40,20", Geometry, L"10,20 30x25"},
        {L"pos", L"292,40,372,48", Geometry, L"292,40 80x8"},
        {L"pos", L"5,5", Geometry, L"5,5 0x0"},
        {L"pos", L"1,2,3", Geometry, L"1,2 2x0"},
        {L"pos", L"", Geometry, L"0,0 0x0"},
        {L"pos", L"junk", Geometry, L"0,0 0x0"},
        {L"float", L"true", Percent, L"1 0.00,0.00,0.00,0.00"},
        {L"float", L"TRUE", Percent, L"1 0.00,0.00,0.00,0.00"},
        {L"float", L"yes", Percent, L"0 0.00,0.00,0.00,0.00"},
        {L"float", L"0.5,0,0.5,0", Percent, L"1 0.50,0.00,0.50,0.00"},
        {L"float", L"0.25,0.5", Percent, L"1 0.25,0.50,0.00,0.00"},
        {L"float", L"0.5", Percent, L"0 0.00,0.00,0.00,0.00"},
        {L"floatalign", L"center,bottom", [](CControlUI& c) { return Num(c.GetFloatAlign()); }, L"9"},
        {L"floatalign", L"null,right", [](CControlUI& c) { return Num(c.GetFloatAlign()); }, L"2"},
        {L"floatalign", L"right vcenter", [](CControlUI& c) { return Num(c.GetFloatAlign()); }, L"6"},
        {L"floatalign", L"center,left", [](CControlUI& c) { return Num(c.GetFloatAlign()); }, L"0"},
        {L"floatalign", L"sideways", [](CControlUI& c) { return Num(c.GetFloatAlign()); }, L"0"},
        {L"padding", L"1,2,3,4", [](CControlUI& c) { return Rect(c.GetPadding()); }, L"1,2,3,4"},
        {L"padding", L"7", [](CControlUI& c) { return Rect(c.GetPadding()); }, L"7,0,0,0"},
        {L"bkcolor", L"#FFFFFFFF", [](CControlUI& c) { return Hex(c.GetBkColor()); }, L"FFFFFFFF"},
        {L"bkcolor", L"#005a5a5a", [](CControlUI& c) { return Hex(c.GetBkColor()); }, L"005A5A5A"},
        {L"bkcolor", L"#333333", [](CControlUI& c) { return Hex(c.GetBkColor()); }, L"00333333"},
        {L"bkcolor", L" #FF00FF00", [](CControlUI& c) { return Hex(c.GetBkColor()); }, L"FF00FF00"},
        {L"bkcolor", L"FF00FF00", [](CControlUI& c) { return Hex(c.GetBkColor()); }, L"FF00FF00"},
        {L"bkcolor", L"#zz", [](CControlUI& c) { return Hex(c.GetBkColor()); }, L"00000000"},
        {L"bkcolor", L"#123456789", [](CControlUI& c) { return Hex(c.GetBkColor()); }, L"FFFFFFFF"},
        {L"bkcolor1", L"#FF102030", [](CControlUI& c) { return Hex(c.GetBkColor()); }, L"FF102030"},
        {L"bkcolor2", L"#FF102030", [](CControlUI& c) { return Hex(c.GetBkColor2()); }, L"FF102030"},
        {L"bkcolor3", L"#FF102030", [](CControlUI& c) { return Hex(c.GetBkColor3()); }, L"FF102030"},
        {L"forecolor", L"\t#80FF0000", [](CControlUI& c) { return Hex(c.GetForeColor()); }, L"80FF0000"},
        {L"bordercolor", L"#FF0000FF", [](CControlUI& c) { return Hex(c.GetBorderColor()); }, L"FF0000FF"},
        {L"bordercolor", L" #FF00FF00", [](CControlUI& c) { return Hex(c.GetBorderColor()); }, L"00000000"},
        {L"focusbordercolor", L"#FF00FF00", [](CControlUI& c) { return Hex(c.GetFocusBorderColor()); },
         L"FF00FF00"},
        {L"colorhsl", L"True", [](CControlUI& c) { return Num(c.IsColorHSL()); }, L"1"},
        {L"bordersize", L"2", Sides, L"2 0,0,0,0"},
        {L"bordersize", L"1,2,3,4", Sides, L"0 1,2,3,4"},
        {L"bordersize", L"1,2", Sides, L"0 1,2,0,0"},
        {L"leftbordersize", L"3", Sides, L"0 3,0,0,0"},
        {L"topbordersize", L"3", Sides, L"0 0,3,0,0"},
        {L"rightbordersize", L"3", Sides, L"0 0,0,3,0"},
        {L"bottombordersize", L"3", Sides, L"0 0,0,0,3"},
        {L"borderstyle", L"2", [](CControlUI& c) { return Num(c.GetBorderStyle()); }, L"2"},
        {L"borderround", L"5,6",
         [](CControlUI& c) {
             SIZE s = c.GetBorderRound();
             return Num(s.cx) + L"x" + Num(s.cy);
         },
         L"5x6"},
        {L"borderround", L"7",
         [](CControlUI& c) {
             SIZE s = c.GetBorderRound();
             return Num(s.cx) + L"x" + Num(s.cy);
         },
         L"7x0"},
        {L"bkimage", L"bg.png", [](CControlUI& c) { return Text(c.GetBkImage()); }, L"bg.png"},
        {L"foreimage", L"file='f.png' dest='0,0,8,8'", [](CControlUI& c) { return Text(c.GetForeImage()); },
         L"file='f.png' dest='0,0,8,8'"},
        {L"width", L"30", Geometry, L"0,0 30x0"},
        {L"width", L" +12px", Geometry, L"0,0 12x0"},
        {L"width", L"abc", Geometry, L"0,0 0x0"},
        {L"height", L"-3", Geometry, L"0,0 0x0"},
        {L"height", L"255", Geometry, L"0,0 0x255"},
        {L"minwidth", L"10", [](CControlUI& c) { return Num(c.GetMinWidth()); }, L"10"},
        {L"minheight", L"11", [](CControlUI& c) { return Num(c.GetMinHeight()); }, L"11"},
        {L"maxwidth", L"12", [](CControlUI& c) { return Num(c.GetMaxWidth()); }, L"12"},
        {L"maxwidth", L"-1", [](CControlUI& c) { return Num(c.GetMaxWidth()); }, L"9999"},
        {L"maxheight", L"13", [](CControlUI& c) { return Num(c.GetMaxHeight()); }, L"13"},
        {L"name", L"closebtn", [](CControlUI& c) { return std::wstring(c.GetName()); }, L"closebtn"},
        {L"drag", L"true", [](CControlUI& c) { return Num(c.IsDragEnabled()); }, L"1"},
        {L"drop", L"true", [](CControlUI& c) { return Num(c.IsDropEnabled()); }, L"1"},
        {L"resourcetext", L"true", [](CControlUI& c) { return Num(c.IsResourceText()); }, L"1"},
        {L"text", L"Vozeror", [](CControlUI& c) { return std::wstring(c.GetText()); }, L"Vozeror"},
        {L"tooltip", L"a<n>b", [](CControlUI& c) { return std::wstring(c.GetToolTip()); }, L"a\r\nb"},
        {L"tooltip", L"<n><n>", [](CControlUI& c) { return std::wstring(c.GetToolTip()); }, L"\r\n\r\n"},
        {L"userdata", L"42", [](CControlUI& c) { return std::wstring(c.GetUserData()); }, L"42"},
        {L"enabled", L"false", [](CControlUI& c) { return Num(c.IsEnabled()); }, L"0"},
        {L"mouse", L"false", [](CControlUI& c) { return Num(c.IsMouseEnabled()); }, L"0"},
        {L"keyboard", L"false", [](CControlUI& c) { return Num(c.IsKeyboardEnabled()); }, L"0"},
        {L"visible", L"false", [](CControlUI& c) { return Num(c.IsVisible()); }, L"0"},
        {L"visible", L"0", [](CControlUI& c) { return Num(c.IsVisible()); }, L"0"},
        {L"shortcut", L"xy", [](CControlUI& c) { return Num(c.GetShortcut()); }, L"120"},
        {L"shortcut", L"", [](CControlUI& c) { return Num(c.GetShortcut()); }, L"0"},
        {L"menu", L"true", [](CControlUI& c) { return Num(c.IsContextMenuUsed()); }, L"1"},
        {L"cursor", L"hand", [](CControlUI& c) { return Num(c.GetCursor()); }, L"32649"},
        {L"cursor", L"SIZEWE", [](CControlUI& c) { return Num(c.GetCursor()); }, L"32644"},
        {L"cursor", L"no", [](CControlUI& c) { return Num(c.GetCursor()); }, L"32648"},
        {L"cursor", L"pointer", [](CControlUI& c) { return Num(c.GetCursor()); }, L"0"},
        {L"virtualwnd", L"page2", [](CControlUI& c) { return std::wstring(c.GetVirtualWnd()); }, L"page2"},
        {L"innerstyle", L"width=&quot;30&quot; height=&quot;40&quot;", Geometry, L"0,0 30x40"},
        {L"innerstyle", L"width=\"30\",height=\"40\"", Geometry, L"0,0 30x0"},
        {L"roundcorner", L"5,5", [](CControlUI& c) { return Text(c.GetCustomAttribute(L"roundcorner")); },
         L"5,5"},
        {L"ChildAlign", L"center", [](CControlUI& c) { return Text(c.GetCustomAttribute(L"ChildAlign")); },
         L"center"},
        {L"unknown", L"", [](CControlUI& c) { return Text(c.GetCustomAttribute(L"unknown")); }, L"(null)"},
        {L"WIDTH", L"8", Geometry, L"0,0 8x0"},
        {L"BkColor2", L"#FF102030", [](CControlUI& c) { return Hex(c.GetBkColor2()); }, L"FF102030"},
        {L"bkcolor4", L"x", [](CControlUI& c) { return Text(c.GetCustomAttribute(L"bkcolor4")); }, L"x"},
        {L"a", L"x", [](CControlUI& c) { return Text(c.GetCustomAttribute(L"a")); }, L"x"},
        {L"zz", L"x", [](CControlUI& c) { return Text(c.GetCustomAttribute(L"zz")); }, L"x"},
        {L"bk_color", L"x", [](CControlUI& c) { return Text(c.GetCustomAttribute(L"bk_color")); }, L"x"},
    };
    for (const AttributeCase& tc : cases) {
        CControlUI control;
        control.SetAttribute(tc.name, tc.value);
        EXPECT_EQ(tc.getter(control), tc.expected) << tc.name << "=\"" << tc.value << "\"";
    }
}

// Attributes applied in document order: later values overwrite or leave
// earlier ones as the setters decide.
TEST(ControlAttributes, SequencesCombineInDocumentOrder)
{
    struct SequenceCase
    {
        const wchar_t* list;
        std::function<std::wstring(CControlUI&)> getter;
        const wchar_t* expected;
    };
    const SequenceCase cases[] = {
        {L"pos=\"5,5,0,0\" width=\"30\" height=\"30\"", Geometry, L"5,5 30x30"},
        {L"pos=\"292,40,0,0\" width=\"80\" height=\"8\"", Geometry, L"292,40 80x8"},
        {L"width=\"80\" pos=\"1,1,0,0\"", Geometry, L"1,1 80x0"},
        {L"width=\"80\" pos=\"1,1,11,5\"", Geometry, L"1,1 10x4"},
        {L"bordersize=\"1,2,3,4\" bordersize=\"2\"", Sides, L"2 0,0,0,0"},
        {L"bordersize=\"2\" bordersize=\"1,2,3,4\"", Sides, L"2 1,2,3,4"},
        {L"floatalign=\"right\" floatalign=\"bottom\"", [](CControlUI& c) { return Num(c.GetFloatAlign()); },
         L"10"},
        {L"float=\"0.5,0,0.5,0\" float=\"false\"", Percent, L"0 0.50,0.00,0.50,0.00"},
        {L"tag=\"one\" tag=\"two\"", [](CControlUI& c) { return Text(c.GetCustomAttribute(L"tag")); },
         L"one"},
        {L"cursor=\"hand\" cursor=\"bogus\"", [](CControlUI& c) { return Num(c.GetCursor()); }, L"32649"},
    };
    for (const SequenceCase& tc : cases) {
        CControlUI control;
        control.ApplyAttributeList(tc.list);
        EXPECT_EQ(tc.getter(control), tc.expected) << tc.list;
    }
}

// The attribute-list grammar: pairs separated by one space, or by any one
// character followed by a comma; anything else stops with the pairs before
// it applied.
TEST(ControlAttributes, AttributeListStopsAtFirstMalformedPair)
{
    const std::tuple<const wchar_t*, const wchar_t*> cases[] = {
        {L"width=\"30\" height=\"40\"", L"0,0 30x40"},
        {L"width=\"30\",height=\"40\"", L"0,0 30x0"},
        {L"width=\"30\";,height=\"40\"", L"0,0 30x40"},
        {L"width=&quot;30&quot; height=&quot;40&quot;", L"0,0 30x40"},
        {L"width=30 height=\"40\"", L"0,0 0x0"},
        {L"width=\"30", L"0,0 0x0"},
        {L"width", L"0,0 0x0"},
        {L"width=", L"0,0 0x0"},
        {L"width=\"30\" height", L"0,0 30x0"},
        {L"width=\"30\" ", L"0,0 30x0"},
        {L"width=\"30\"x", L"0,0 30x0"},
        {L"", L"0,0 0x0"},
        {L"=\"\"", L"0,0 0x0"},
    };
    for (const auto& [list, geometry] : cases) {
        CControlUI control;
        EXPECT_EQ(control.ApplyAttributeList(list), &control);
        EXPECT_EQ(Geometry(control), geometry) << list;
    }
}

TEST(ControlAttributes, CustomAttributesKeepTheFirstValue)
{
    CControlUI control;
    control.AddCustomAttribute(L"key", L"first");
    control.AddCustomAttribute(L"key", L"second");
    control.AddCustomAttribute(L"", L"x");
    control.AddCustomAttribute(nullptr, L"x");
    control.AddCustomAttribute(L"empty", L"");
    control.AddCustomAttribute(L"other", L"o");
    EXPECT_STREQ(control.GetCustomAttribute(L"key"), L"first");
    EXPECT_EQ(control.GetCustomAttribute(L"empty"), nullptr);
    EXPECT_EQ(control.GetCustomAttribute(L""), nullptr);
    EXPECT_EQ(control.GetCustomAttribute(nullptr), nullptr);
    EXPECT_FALSE(control.RemoveCustomAttribute(L"missing"));
    EXPECT_FALSE(control.RemoveCustomAttribute(L""));
    EXPECT_TRUE(control.RemoveCustomAttribute(L"key"));
    EXPECT_EQ(control.GetCustomAttribute(L"key"), nullptr);
    control.AddCustomAttribute(L"key", L"third");
    EXPECT_STREQ(control.GetCustomAttribute(L"key"), L"third");
    control.RemoveAllCustomAttribute();
    EXPECT_EQ(control.GetCustomAttribute(L"key"), nullptr);
    EXPECT_EQ(control.GetCustomAttribute(L"other"), nullptr);
}

// Container attributes come before the control base's; childalign and
// childvalign are compared exactly and leave the value alone otherwise.
TEST(ControlAttributes, ContainerAttributes)
{
    struct ContainerCase
    {
        const wchar_t* name;
        const wchar_t* value;
        std::function<std::wstring(CContainerUI&)> getter;
        const wchar_t* expected;
    };
    const ContainerCase cases[] = {
        {L"inset", L"1,2,3,4", [](CContainerUI& c) { return Rect(c.GetInset()); }, L"1,2,3,4"},
        {L"inset", L"1,2", [](CContainerUI& c) { return Rect(c.GetInset()); }, L"1,2,0,0"},
        {L"childpadding", L"5", [](CContainerUI& c) { return Num(c.GetChildPadding()); }, L"5"},
        {L"childalign", L"center", [](CContainerUI& c) { return Num(c.GetChildAlign()); }, L"1"},
        {L"childalign", L"right", [](CContainerUI& c) { return Num(c.GetChildAlign()); }, L"2"},
        {L"childalign", L"Center", [](CContainerUI& c) { return Num(c.GetChildAlign()); }, L"0"},
        {L"ChildAlign", L"center",
         [](CContainerUI& c) {
             return Num(c.GetChildAlign()) + L" " + Text(c.GetCustomAttribute(L"ChildAlign"));
         },
         L"0 center"},
        {L"childvalign", L"vcenter", [](CContainerUI& c) { return Num(c.GetChildVAlign()); }, L"4"},
        {L"childvalign", L"bottom", [](CContainerUI& c) { return Num(c.GetChildVAlign()); }, L"8"},
        {L"childvalign", L"middle", [](CContainerUI& c) { return Num(c.GetChildVAlign()); }, L"0"},
        {L"mousechild", L"false", [](CContainerUI& c) { return Num(c.IsMouseChildEnabled()); }, L"0"},
        {L"scrollstepsize", L"12", [](CContainerUI& c) { return Num(c.GetScrollStepSize()); }, L"12"},
        {L"scrollstepsize", L"-4", [](CContainerUI& c) { return Num(c.GetScrollStepSize()); }, L"0"},
        {L"vscrollbar", L"true",
         [](CContainerUI& c) {
             return Num(c.GetVerticalScrollBar() != nullptr) + Num(c.GetHorizontalScrollBar() != nullptr);
         },
         L"10"},
        {L"hscrollbar", L"true",
         [](CContainerUI& c) {
             return Num(c.GetVerticalScrollBar() != nullptr) + Num(c.GetHorizontalScrollBar() != nullptr);
         },
         L"01"},
        {L"hscrollbarstyle", L"width=\"3\"",
         [](CContainerUI& c) {
             return Num(c.GetVerticalScrollBar() != nullptr) + Num(c.GetHorizontalScrollBar() != nullptr);
         },
         L"01"},
        {L"width", L"30", [](CContainerUI& c) { return Num(c.GetFixedWidth()); }, L"30"},
    };
    for (const ContainerCase& tc : cases) {
        CContainerUI container;
        container.SetAttribute(tc.name, tc.value);
        EXPECT_EQ(tc.getter(container), tc.expected) << tc.name << "=\"" << tc.value << "\"";
    }
}

// Styles need an attached manager: a value or a whole list that names a
// style applies it; a style that names itself ends after a bounded depth.
TEST(ControlAttributes, StylesApplyThroughTheManager)
{
    TestSupport::PaintManagerWindow window;
    CPaintManagerUI& pm = *window.Manager();
    pm.AddStyle(L"tile", L"width=\"400\" height=\"90\"");
    pm.AddStyle(L"loop", L"bkimage=\"loop\" width=\"7\"");
    pm.AddStyle(L"outer", L"inner");
    pm.AddStyle(L"inner", L"height=\"5\"");

    CControlUI viaValue;
    viaValue.SetManager(&pm, nullptr, false);
    viaValue.SetAttribute(L"anything", L"tile");
    EXPECT_EQ(Geometry(viaValue), L"0,0 400x90");
    EXPECT_EQ(viaValue.GetCustomAttribute(L"anything"), nullptr);

    CControlUI viaList;
    viaList.SetManager(&pm, nullptr, false);
    viaList.ApplyAttributeList(L"outer");
    EXPECT_EQ(Geometry(viaList), L"0,0 0x5");

    CControlUI looping;
    looping.SetManager(&pm, nullptr, false);
    looping.SetAttribute(L"bkimage", L"loop");
    EXPECT_EQ(looping.GetFixedWidth(), 7);

    CControlUI detached;
    detached.SetAttribute(L"anything", L"tile");
    EXPECT_STREQ(detached.GetCustomAttribute(L"anything"), L"tile");
}
