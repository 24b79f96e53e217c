// The button's state machine driven by real events on a button attached to
// a paint manager of a hidden window: which state image a paint shows (read
// back from the DIB it painted into) and how many "click" notifications the
// manager delivers.

#include "skinui/control/Button.h"
#include "skinui/control/Container.h"
#include "tests/support/ControlTree.h"
#include "tests/support/DibSurface.h"
#include "tests/support/ImageWriter.h"
#include "tests/support/PaintManagerWindow.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace SkinUI;
using TestSupport::DibSurface;

namespace {

// Opaque colours of the state images, 0x00RRGGBB; kNone is nothing painted
// over the cleared surface.
const DWORD kNormal = 0xC00000, kHot = 0x00C000, kPushed = 0x0000C0;
const DWORD kFocused = 0xC0C000, kDisabled = 0x808080, kNone = 0x000000;

const RECT kButtonRect = {20, 10, 120, 50};
const POINT kInside = {70, 30};
const POINT kOutside = {150, 80};

void WriteSolidPng(const TestSupport::TempFolder& folder, const char* name, DWORD rgb)
{
    const std::vector<uint8_t> rgba = TestSupport::SolidRgba(4, 4, 0xFF000000 | rgb);
    ASSERT_TRUE(TestSupport::WriteWholeFile(folder.File(name), TestSupport::EncodePng(4, 4, rgba, false)));
}

class CClickCounter : public INotifyUI
{
public:
    void Notify(TNotifyUI& msg) override
    {
        if (msg.type == L"click") clicks++;
        types.push_back(std::wstring(msg.type));
    }
    int clicks = 0;
    std::vector<std::wstring> types;
};

// A button with one image per state, on a hidden window's paint manager.
class ButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteSolidPng(m_folder, "normal.png", kNormal);
        WriteSolidPng(m_folder, "hot.png", kHot);
        WriteSolidPng(m_folder, "pushed.png", kPushed);
        WriteSolidPng(m_folder, "focused.png", kFocused);
        WriteSolidPng(m_folder, "disabled.png", kDisabled);
        CPaintManagerUI::SetResourcePath(TestSupport::WideFromAnsi(m_folder.Path()).c_str());

        m_root = new CContainerUI;
        m_button = new CButtonUI;
        m_root->Add(m_button);
        ASSERT_TRUE(Manager().AttachDialog(m_root));
        Manager().AddNotifier(&m_counter);
        RECT rcRoot = {0, 0, 200, 100};
        m_root->SetPos(rcRoot);
        m_button->SetPos(kButtonRect);
    }

    void TearDown() override
    {
        Manager().RemoveNotifier(&m_counter);
        m_window.DestroyManager();
        CPaintManagerUI::SetResourcePath(L"");
    }

    CPaintManagerUI& Manager() { return *m_window.Manager(); }

    void SetAllImages()
    {
        m_button->SetAttribute(L"normalimage", L"file='normal.png'");
        m_button->SetAttribute(L"hotimage", L"file='hot.png'");
        m_button->SetAttribute(L"pushedimage", L"file='pushed.png'");
        m_button->SetAttribute(L"focusedimage", L"file='focused.png'");
        m_button->SetAttribute(L"disabledimage", L"file='disabled.png'");
    }

    void Send(int type, POINT pt, TCHAR key = 0)
    {
        TEventUI event = {};
        event.type = type;
        event.sender = m_button;
        event.timestamp = ::GetTickCount();
        event.mousePos = pt;
        event.keyChar = key;
        m_button->Event(event);
    }

    // The colour the button paints in the middle of its rectangle.
    DWORD PaintedColor()
    {
        DibSurface surface(200, 100);
        surface.Clear(0);
        RECT rcPaint = {0, 0, 200, 100};
        m_button->DoPaint(surface.GetDC(), rcPaint);
        return surface.Pixel(kInside.x, kInside.y) & 0x00FFFFFF;
    }

    TestSupport::PaintManagerWindow m_window;
    TestSupport::TempFolder m_folder{"vzbutton"};
    CContainerUI* m_root = nullptr;
    CButtonUI* m_button = nullptr;
    CClickCounter m_counter;
};

struct Step
{
    int type;
    POINT pt;
    DWORD image;  // what a paint right after the step shows
};

struct Sequence
{
    const char* name;
    std::vector<Step> steps;
    int clicks;
};

}  // namespace

TEST_F(ButtonTest, MouseSequencesShowTheStateImagesAndClickOnlyWhenCompletedInside)
{
    SetAllImages();
    const std::vector<Sequence> sequences = {
        {"press and release inside",
         {{EVT_MOUSEENTER, kInside, kHot}, {EVT_BUTTONDOWN, kInside, kPushed}, {EVT_BUTTONUP, kInside, kHot}},
         1},
        {"out and back in before the release",
         {{EVT_MOUSEENTER, kInside, kHot},
          {EVT_BUTTONDOWN, kInside, kPushed},
          {EVT_MOUSEMOVE, kOutside, kHot},
          {EVT_MOUSELEAVE, kOutside, kNormal},
          {EVT_MOUSEENTER, kInside, kHot},
          {EVT_MOUSEMOVE, kInside, kPushed},
          {EVT_BUTTONUP, kInside, kHot}},
         1},
        {"released outside",
         {{EVT_MOUSEENTER, kInside, kHot},
          {EVT_BUTTONDOWN, kInside, kPushed},
          {EVT_MOUSEMOVE, kOutside, kHot},
          {EVT_MOUSELEAVE, kOutside, kNormal},
          {EVT_BUTTONUP, kOutside, kNormal},
          {EVT_MOUSEMOVE, kInside, kNormal}},
         0},
        {"pressed outside, released inside",
         {{EVT_BUTTONDOWN, kOutside, kNormal},
          {EVT_MOUSEENTER, kInside, kHot},
          {EVT_BUTTONUP, kInside, kHot}},
         0},
        {"double click, then release inside",
         {{EVT_MOUSEENTER, kInside, kHot}, {EVT_DBLCLICK, kInside, kPushed}, {EVT_BUTTONUP, kInside, kHot}},
         1},
        {"release without a press", {{EVT_MOUSEENTER, kInside, kHot}, {EVT_BUTTONUP, kInside, kHot}}, 0},
        {"two clicks",
         {{EVT_MOUSEENTER, kInside, kHot},
          {EVT_BUTTONDOWN, kInside, kPushed},
          {EVT_BUTTONUP, kInside, kHot},
          {EVT_BUTTONDOWN, kInside, kPushed},
          {EVT_BUTTONUP, kInside, kHot},
          {EVT_MOUSELEAVE, kOutside, kNormal}},
         2},
    };
    for (const Sequence& s : sequences) {
        SCOPED_TRACE(s.name);
        Send(EVT_MOUSELEAVE, kOutside);
        m_counter.clicks = 0;
        ASSERT_EQ(kNormal, PaintedColor());
        for (size_t i = 0; i < s.steps.size(); i++) {
            Send(s.steps[i].type, s.steps[i].pt);
            EXPECT_EQ(s.steps[i].image, PaintedColor()) << "after step " << i;
        }
        EXPECT_EQ(s.clicks, m_counter.clicks);
        EXPECT_EQ(0u, m_button->GetButtonState() & (STATE_PUSHED | STATE_CAPTURED));
    }
}

TEST_F(ButtonTest, SpaceAndReturnActivateOnlyAKeyboardEnabledButton)
{
    const std::tuple<TCHAR, bool, int> rows[] = {
        {VK_SPACE, true, 1},  {VK_RETURN, true, 1}, {L'A', true, 0},
        {VK_ESCAPE, true, 0}, {VK_SPACE, false, 0}, {VK_RETURN, false, 0},
    };
    for (const auto& [key, keyboard, clicks] : rows) {
        SCOPED_TRACE(testing::Message() << "key " << int(key) << " keyboard " << keyboard);
        m_counter.clicks = 0;
        m_button->SetAttribute(L"keyboard", keyboard ? L"true" : L"false");
        Send(EVT_KEYDOWN, kOutside, key);
        EXPECT_EQ(clicks, m_counter.clicks);
        EXPECT_EQ(keyboard ? UINT(CONTROLFLAG_TABSTOP | CONTROLFLAG_SETCURSOR) : UINT(CONTROLFLAG_SETCURSOR),
                  m_button->GetControlFlags());
    }
}

TEST_F(ButtonTest, DisabledButtonIgnoresInputAndDrawsItsDisabledImage)
{
    SetAllImages();
    Send(EVT_MOUSEENTER, kInside);
    Send(EVT_BUTTONDOWN, kInside);
    m_button->SetEnabled(false);
    EXPECT_EQ(0u, m_button->GetButtonState()) << "disabling forgets hot, pushed and captured";
    EXPECT_EQ(kDisabled, PaintedColor());

    const int inputs[] = {EVT_MOUSEENTER, EVT_BUTTONDOWN, EVT_MOUSEMOVE,
                          EVT_BUTTONUP,   EVT_DBLCLICK,   EVT_BUTTONUP};
    for (int type : inputs) {
        Send(type, kInside);
        EXPECT_EQ(kDisabled, PaintedColor()) << "event " << type;
    }
    Send(EVT_KEYDOWN, kInside, VK_SPACE);
    EXPECT_EQ(0, m_counter.clicks);
    EXPECT_FALSE(m_button->Activate());
    EXPECT_EQ(0, m_counter.clicks);
    EXPECT_EQ(0u, m_button->GetControlFlags() & CONTROLFLAG_SETCURSOR);

    // Enabled again it starts from the normal image.
    m_button->SetEnabled(true);
    EXPECT_EQ(kNormal, PaintedColor());
}

TEST_F(ButtonTest, MissingStateImagesFallBackToTheNormalImage)
{
    m_button->SetAttribute(L"normalimage", L"file='normal.png'");
    m_button->SetAttribute(L"hotimage", L"file='hot.png'");
    m_button->SetAttribute(L"pushedimage", L"file='pushed.png'");

    Manager().SetFocus(m_button);
    ASSERT_TRUE(m_button->IsFocused());
    EXPECT_EQ(kNormal, PaintedColor()) << "focused without a focused image";
    m_button->SetFocusedImage(L"file='focused.png'");
    EXPECT_EQ(kFocused, PaintedColor());
    m_button->SetFocusedImage(L"file='no_such_file.png'");
    EXPECT_EQ(kNormal, PaintedColor()) << "an image that cannot be drawn";

    m_button->SetEnabled(false);
    EXPECT_EQ(kNormal, PaintedColor()) << "disabled without a disabled image";
    m_button->SetEnabled(true);

    m_button->SetNormalImage(L"");
    EXPECT_EQ(kNone, PaintedColor()) << "no image at all leaves the background";
}

TEST_F(ButtonTest, DisabledWindowForgetsTheHotStateUntilTheNextEnter)
{
    SetAllImages();
    Send(EVT_MOUSEENTER, kInside);
    ASSERT_EQ(kHot, PaintedColor());

    ::EnableWindow(m_window.Handle(), FALSE);
    EXPECT_EQ(kNormal, PaintedColor());
    ::EnableWindow(m_window.Handle(), TRUE);
    EXPECT_EQ(kNormal, PaintedColor()) << "hot was forgotten, not only hidden";
    Send(EVT_MOUSEENTER, kInside);
    EXPECT_EQ(kHot, PaintedColor());
}

TEST_F(ButtonTest, StateBackgroundColours)
{
    m_button->SetAttribute(L"bkcolor", L"#FF102030");
    m_button->SetAttribute(L"hotbkcolor", L"#FFFFFFFF");
    EXPECT_EQ(0x102030u, PaintedColor());
    Send(EVT_MOUSEENTER, kInside);
    EXPECT_EQ(0xFFFFFFu, PaintedColor());
    // No pushed colour: the normal background while pushed.
    Send(EVT_BUTTONDOWN, kInside);
    EXPECT_EQ(0x102030u, PaintedColor());
    m_button->SetAttribute(L"pushedbkcolor", L"#FF00FF00");
    EXPECT_EQ(0x00FF00u, PaintedColor());
    Send(EVT_BUTTONUP, kInside);
    EXPECT_EQ(0xFFFFFFu, PaintedColor());
}

TEST_F(ButtonTest, HiddenOrDetachedButtonsSendNothing)
{
    m_button->SetVisible(false);
    EXPECT_FALSE(m_button->Activate());
    m_button->SetVisible(true);
    EXPECT_TRUE(m_button->Activate());
    EXPECT_EQ(1, m_counter.clicks);

    CButtonUI detached;
    EXPECT_TRUE(detached.Activate()) << "visible and enabled, but nowhere to send";
    EXPECT_EQ(1, m_counter.clicks);
}

namespace {

// A stand-in for a tab layout: it records the pages it is asked to select.
class CPages : public CControlUI, public ITabSelectUI
{
public:
    LPVOID GetInterface(LPCTSTR pstrName) override
    {
        if (_wcsicmp(pstrName, L"TabSelect") == 0) return static_cast<ITabSelectUI*>(this);
        return CControlUI::GetInterface(pstrName);
    }
    bool SelectItem(int iIndex) override
    {
        selected.push_back(iIndex);
        return true;
    }
    std::vector<int> selected;
};

}  // namespace

TEST_F(ButtonTest, AClickSelectsThePageOfTheBoundTabLayout)
{
    CPages* pages = TestSupport::AddChild<CPages>(m_root, L"name=\"pages\"");
    TestSupport::AddChild<CControlUI>(m_root, L"name=\"plain\"");  // no tab layout

    m_button->SetAttribute(L"bindtablayoutname", L"pages");
    m_button->Activate();
    EXPECT_TRUE(pages->selected.empty()) << "no page bound";
    m_button->SetAttribute(L"bindtabindex", L"2");
    m_button->Activate();
    m_button->BindTriggerTabSel(4);
    EXPECT_EQ((std::vector<int>{2, 4}), pages->selected);
    // A name of no control, or of a control that is no tab layout, is skipped.
    m_button->BindTabLayoutName(L"nothing");
    EXPECT_TRUE(m_button->Activate());
    m_button->BindTabLayoutName(L"plain");
    EXPECT_TRUE(m_button->Activate());
    EXPECT_EQ(2u, pages->selected.size());
    EXPECT_EQ(4, m_counter.clicks);
}
