#include "skinui/markup/DialogBuilder.h"

#include "skinui/control/Container.h"
#include "skinui/control/Button.h"
#include "skinui/control/Control.h"
#include "skinui/control/Label.h"
#include "skinui/control/Progress.h"
#include "skinui/core/PaintManager.h"
#include "skinui/core/Shadow.h"
#include "skinui/markup/ControlFactory.h"
#include "skinui/markup/Markup.h"
#include "tests/markup/SkinPackageWriter.h"
#include "tests/support/ControlTree.h"
#include "tests/support/ImageWriter.h"
#include "tests/support/LauncherSkin.h"
#include "tests/support/PaintManagerWindow.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

using SkinUI::CContainerUI;
using SkinUI::CControlFactory;
using SkinUI::CControlUI;
using SkinUI::CDialogBuilder;
using SkinUI::CMarkup;
using SkinUI::CPaintManagerUI;
using SkinUI::IContainerUI;
using SkinUI::IDialogBuilderCallback;

// Sections: the test package, the launcher's skin, window settings, shared
// resources, element lists and includes, failures.

namespace {

// ---- The test package -------------------------------------------------------------
// One memory package per process (the engine keeps the first one it is
// given): the launcher's skin plus the documents the include cases read.
const wchar_t kPartXml[] = L"<Window><Label name=\"part_a\" text=\"a\"/><Button name=\"part_b\"/></Window>";
const wchar_t kSelfXml[] =
    L"<Window><Label name=\"self\"/><Include source=\"self.xml\" count=\"2\"/></Window>";
const wchar_t kBrokenXml[] = L"<Window><Label name=\"x\"></Window>";

// "chain<n>.xml" nests kChainStep layouts around an include of
// "chain<n-1>.xml"; "chain0.xml" is one label. A tree built from
// "chain<n>.xml" is therefore n * kChainStep + 1 controls deep.
const int kChainStep = 100;
const int kChainLinks = 40;

std::wstring Nest(int depth, const std::wstring& inner)
{
    std::wstring xml;
    for (int i = 0; i < depth; ++i) xml += L"<VerticalLayout>";
    xml += inner;
    for (int i = 0; i < depth; ++i) xml += L"</VerticalLayout>";
    return xml;
}

std::wstring ChainInclude(int link)
{
    return L"<Include source=\"chain" + std::to_wstring(link) + L".xml\"/>";
}

void UseTestPackage()
{
    static const std::string package = [] {
        std::vector<std::pair<std::string, std::string>> files = {
            {"DlgMain.xml", SkinTest::LauncherSkinBytes()},
            {"part.xml", SkinTest::Utf8(kPartXml)},
            {"self.xml", SkinTest::Utf8(kSelfXml)},
            {"broken.xml", SkinTest::Utf8(kBrokenXml)},
            {"dot.png", TestSupport::EncodePng(2, 1, {255, 0, 255, 255, 0, 0, 255, 255})},
            {"chain0.xml", SkinTest::Utf8(L"<Window><Label name=\"bottom\"/></Window>")},
        };
        for (int link = 1; link <= kChainLinks; ++link) {
            files.push_back(
                {"chain" + std::to_string(link) + ".xml",
                 SkinTest::Utf8(L"<Window>" + Nest(kChainStep, ChainInclude(link - 1)) + L"</Window>")});
        }
        return SkinTest::Package(files);
    }();
    CPaintManagerUI::SetResourceZip((LPVOID)package.data(), (unsigned int)package.size());
}

class DialogBuilderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UseTestPackage();
        ASSERT_FALSE(SkinTest::LauncherSkin().empty());
        ASSERT_TRUE(m_window.IsValid());
    }

    // Builds a document text with the test manager; the caller owns the tree.
    CControlUI* Build(const std::wstring& xml, CControlUI* parent = nullptr,
                      IDialogBuilderCallback* callback = nullptr)
    {
        return m_builder.Create(xml.c_str(), nullptr, callback, &m_manager, parent);
    }

    std::wstring LastError()
    {
        wchar_t message[128] = {0};
        m_builder.GetLastErrorMessage(message, 128);
        return message;
    }

    TestSupport::PaintManagerWindow m_window;
    CPaintManagerUI& m_manager = *m_window.Manager();
    CDialogBuilder m_builder;
};

CControlUI* ChildAt(CControlUI* container, int index)
{
    IContainerUI* items = static_cast<IContainerUI*>(container->GetInterface(L"IContainer"));
    return items != nullptr ? items->GetItemAt(index) : nullptr;
}

int ChildCount(CControlUI* container)
{
    IContainerUI* items = static_cast<IContainerUI*>(container->GetInterface(L"IContainer"));
    return items != nullptr ? items->GetCount() : -1;
}

// ---- The launcher's skin -------------------------------------------------------------
void CheckSkinControl(CControlUI* control, const TestSupport::LauncherSkinControl& want)
{
    SCOPED_TRACE(::testing::Message() << "control '" << want.name << "' text '" << want.text << "'");
    ASSERT_NE(nullptr, control);
    EXPECT_EQ(std::wstring(want.element) + L"UI", control->GetClass());
    EXPECT_STREQ(want.name, control->GetName().GetData());
    EXPECT_TRUE(control->IsFloat());
    EXPECT_EQ(want.x, control->GetFixedXY().cx);
    EXPECT_EQ(want.y, control->GetFixedXY().cy);
    EXPECT_EQ(want.width, control->GetFixedWidth());
    EXPECT_EQ(want.height, control->GetFixedHeight());
    EXPECT_EQ(want.visible, control->IsVisible());
    EXPECT_STREQ(want.text, control->GetText().GetData());
    EXPECT_STREQ(want.bkimage, control->GetBkImage());
    EXPECT_EQ(want.bkcolor, control->GetBkColor());
}

void CheckLauncherTree(CControlUI* root)
{
    ASSERT_NE(nullptr, root);
    EXPECT_STREQ(L"VerticalLayoutUI", root->GetClass());
    EXPECT_STREQ(L"bg.png", root->GetBkImage());
    ASSERT_EQ(1, ChildCount(root));
    CControlUI* frame = ChildAt(root, 0);
    ASSERT_NE(nullptr, frame);
    EXPECT_STREQ(L"VerticalLayoutUI", frame->GetClass());
    EXPECT_TRUE(frame->IsFloat());
    EXPECT_EQ(536, frame->GetFixedWidth());
    EXPECT_EQ(355, frame->GetFixedHeight());

    ASSERT_EQ(3, ChildCount(frame));
    const TestSupport::LauncherSkinControl* want = TestSupport::kLauncherSkin;
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(::testing::Message() << "row " << r);
        CControlUI* row = ChildAt(frame, r);
        ASSERT_NE(nullptr, row);
        EXPECT_STREQ(L"HorizontalLayoutUI", row->GetClass());
        EXPECT_EQ(535, row->GetFixedWidth());
        EXPECT_EQ(TestSupport::kLauncherRowHeight[r], row->GetFixedHeight());
        ASSERT_EQ(TestSupport::LauncherRowCount(r), ChildCount(row));
        for (int i = 0; i < ChildCount(row); ++i) CheckSkinControl(ChildAt(row, i), *want++);
    }
}

void CheckLauncherWindow(CPaintManagerUI& manager)
{
    EXPECT_EQ(536, manager.GetInitSize().cx);
    EXPECT_EQ(355, manager.GetInitSize().cy);
    EXPECT_EQ(L"0,0,100,30", TestSupport::Rect(manager.GetCaptionRect()));
    EXPECT_EQ(5, manager.GetRoundCorner().cx);
    EXPECT_EQ(5, manager.GetRoundCorner().cy);
    EXPECT_TRUE(manager.IsLayered());

    const int sizes[] = {18, 24};
    for (int id = 0; id < 2; ++id) {
        SCOPED_TRACE(::testing::Message() << "font " << id);
        SkinUI::TFontInfo* font = manager.GetFontInfo(id);
        ASSERT_NE(nullptr, font);
        EXPECT_NE(nullptr, font->hFont);
        EXPECT_STREQ(L"微软雅黑", font->sFontName.GetData());
        EXPECT_EQ(sizes[id], font->iSize);
        EXPECT_FALSE(font->bBold);
        EXPECT_FALSE(font->bItalic);
    }
    EXPECT_EQ(2u, manager.GetCustomFontCount());
    SkinUI::TFontInfo* defaultFont = manager.GetDefaultFontInfo();
    ASSERT_NE(nullptr, defaultFont);
    EXPECT_STRNE(L"微软雅黑", defaultFont->sFontName.GetData());

    SkinUI::CShadowUI* shadow = manager.GetShadow();
    ASSERT_NE(nullptr, shadow);
    EXPECT_TRUE(shadow->IsShowShadow());
    EXPECT_EQ(3, shadow->GetSize());
    EXPECT_EQ(1, shadow->GetXOffset());
    EXPECT_EQ(1, shadow->GetYOffset());
    EXPECT_EQ(0x00333333u, (DWORD)shadow->GetColor());
    EXPECT_EQ(150u, shadow->GetDarkness());
    EXPECT_EQ(5u, shadow->GetSharpness());
}

TEST_F(DialogBuilderTest, LauncherSkinFromThePackageBuildsTheWholeWindow)
{
    std::unique_ptr<CControlUI> root(m_builder.Create(L"DlgMain.xml", nullptr, nullptr, &m_manager, nullptr));
    ASSERT_NE(nullptr, root.get()) << "error: " << LastError();
    CheckLauncherTree(root.get());
    CheckLauncherWindow(m_manager);
    // Controls get their manager for good only when the tree is attached.
    EXPECT_EQ(nullptr, root->GetManager());
    EXPECT_EQ(nullptr, ChildAt(root.get(), 0)->GetManager());

    ASSERT_TRUE(m_manager.AttachDialog(root.get()));
    CControlUI* attached = root.release();
    const wchar_t* const names[] = {L"closebtn",    L"computer_install", L"computer_pro",
                                    L"choose_text", L"return",           L"tel"};
    for (const wchar_t* name : names) {
        SCOPED_TRACE(::testing::Message() << "name " << name);
        CControlUI* found = m_manager.FindControl(name);
        ASSERT_NE(nullptr, found);
        EXPECT_EQ(&m_manager, found->GetManager());
        EXPECT_NE(nullptr, found->GetParent());
    }
    EXPECT_EQ(attached, m_manager.GetRoot());

    // What the label, button and progress classes made of their own attributes.
    // normalimage: buttons only
    const std::tuple<const wchar_t*, DWORD, const wchar_t*, int> kDetails[] = {
        {L"LabelUI1", 0xFF000000, nullptr, -1},
        {L"closebtn", 0, L"file='btn_close_1.png' mask='#FFFF00FF'", -1},
        {L"computer_install", 0xFF000000, L"file='computer_un_1.png' mask='#FF0000' ", -1},
        {L"computer_run", 0xFF000000, L"file='computer_run_1.png' mask='#FF0000' ", -1},
        {L"phone_jump", 0xFF000000, L"file='phone_jump_1.png' mask='#FFFF00FF'", -1},
        {L"iphone_run", 0, L"file='iphone_run_1.png' mask='#FFFF00FF'", -1},
        {L"choose_text", 0x00808080, nullptr, 1},
        {L"qq", 0x00808080, nullptr, -1},
        {L"return", 0x0000C0FF, nullptr, -1},
        {L"computer_pro", 0xFF000000, nullptr, -1},
    };
    for (const auto& [name, textcolor, normalimage, font] : kDetails) {
        SCOPED_TRACE(::testing::Message() << "control " << name);
        SkinUI::CLabelUI* label =
            static_cast<SkinUI::CLabelUI*>(m_manager.FindControl(name)->GetInterface(L"Label"));
        ASSERT_NE(nullptr, label);
        EXPECT_EQ(textcolor, label->GetTextColor());
        EXPECT_EQ(font, label->GetFont());
        if (textcolor != 0) {
            EXPECT_EQ(0xFFA7A6AAu, label->GetDisabledTextColor());
        }
        if (normalimage != nullptr) {
            SkinUI::CButtonUI* button = static_cast<SkinUI::CButtonUI*>(label->GetInterface(L"Button"));
            ASSERT_NE(nullptr, button);
            EXPECT_STREQ(normalimage, button->GetNormalImage());
        }
    }
    const wchar_t* const kBars[] = {L"computer_pro", L"iphone_pro", L"android_pro"};
    for (const wchar_t* name : kBars) {
        SCOPED_TRACE(::testing::Message() << "bar " << name);
        SkinUI::CProgressUI* bar =
            static_cast<SkinUI::CProgressUI*>(m_manager.FindControl(name)->GetInterface(L"Progress"));
        ASSERT_NE(nullptr, bar);
        EXPECT_EQ(0, bar->GetMinValue());
        EXPECT_EQ(100, bar->GetMaxValue());
        EXPECT_EQ(30, bar->GetValue());
    }
}

TEST_F(DialogBuilderTest, LauncherSkinFromTextBuildsTheSameTree)
{
    std::unique_ptr<CControlUI> root(Build(SkinTest::LauncherSkin()));
    CheckLauncherTree(root.get());
    CheckLauncherWindow(m_manager);
}

TEST_F(DialogBuilderTest, LauncherSkinOfTheProductPackage)
{
    // The package the product links in, as the build makes it.
    std::string package;
    ASSERT_TRUE(TestSupport::ReadWholeFile(TestSupport::SkinPackageFile(), package));
    CPaintManagerUI::SetResourceZip(L"", true);
    CPaintManagerUI::SetResourceZip((LPVOID)package.data(), (unsigned int)package.size());
    std::unique_ptr<CControlUI> root(m_builder.Create(L"DlgMain.xml", nullptr, nullptr, &m_manager, nullptr));
    CPaintManagerUI::SetResourceZip(L"", true);
    ASSERT_NE(nullptr, root.get()) << "error: " << LastError();
    CheckLauncherTree(root.get());
    CheckLauncherWindow(m_manager);
}

TEST_F(DialogBuilderTest, WithoutAManagerTheTreeIsBuiltAlone)
{
    std::unique_ptr<CControlUI> root(
        m_builder.Create(SkinTest::LauncherSkin().c_str(), nullptr, nullptr, nullptr, nullptr));
    CheckLauncherTree(root.get());
    EXPECT_EQ(0, m_manager.GetInitSize().cx);
    EXPECT_FALSE(m_manager.IsLayered());
    EXPECT_EQ(0u, m_manager.GetCustomFontCount());
}

// ---- Window settings ---------------------------------------------------------------
struct WindowCase
{
    const wchar_t* attributes;
    std::function<void(CPaintManagerUI&)> check;
};

const WindowCase kWindowCases[] = {
    {L"size=\"800,600\"",
     [](CPaintManagerUI& m) {
         EXPECT_EQ(800, m.GetInitSize().cx);
         EXPECT_EQ(600, m.GetInitSize().cy);
     }},
    {L"size=\"536\"",
     [](CPaintManagerUI& m) {
         EXPECT_EQ(536, m.GetInitSize().cx);
         EXPECT_EQ(0, m.GetInitSize().cy);
     }},
    {L"size=\"1,1\" size=\"7 9\"",
     [](CPaintManagerUI& m) {
         EXPECT_EQ(7, m.GetInitSize().cx);
         EXPECT_EQ(9, m.GetInitSize().cy);
     }},
    {L"SIZE=\"-5,abc\"",
     [](CPaintManagerUI& m) {
         EXPECT_EQ(-5, m.GetInitSize().cx);
         EXPECT_EQ(0, m.GetInitSize().cy);
     }},
    {L"Caption=\"1,2,3,4\"",
     [](CPaintManagerUI& m) { EXPECT_EQ(L"1,2,3,4", TestSupport::Rect(m.GetCaptionRect())); }},
    {L"sizebox=\"4;5;6;7\"",
     [](CPaintManagerUI& m) { EXPECT_EQ(L"4,5,6,7", TestSupport::Rect(m.GetSizeBox())); }},
    {L"roundcorner=\"5,6\"",
     [](CPaintManagerUI& m) {
         EXPECT_EQ(5, m.GetRoundCorner().cx);
         EXPECT_EQ(6, m.GetRoundCorner().cy);
     }},
    {L"mininfo=\"100,50\" maxinfo=\"900,800\"",
     [](CPaintManagerUI& m) {
         EXPECT_EQ(100, m.GetMinInfo().cx);
         EXPECT_EQ(50, m.GetMinInfo().cy);
         EXPECT_EQ(900, m.GetMaxInfo().cx);
         EXPECT_EQ(800, m.GetMaxInfo().cy);
     }},
    {L"bktrans=\"TRUE\"", [](CPaintManagerUI& m) { EXPECT_TRUE(m.IsLayered()); }},
    {L"BkTrans=\"true\"", [](CPaintManagerUI& m) { EXPECT_FALSE(m.IsLayered()); }},
    {L"layered=\"True\"", [](CPaintManagerUI& m) { EXPECT_TRUE(m.IsLayered()); }},
    {L"Layered=\"true\"", [](CPaintManagerUI& m) { EXPECT_FALSE(m.IsLayered()); }},
    {L"bktrans=\"true\" bktrans=\"false\"", [](CPaintManagerUI& m) { EXPECT_FALSE(m.IsLayered()); }},
    {L"layered=\"yes\"", [](CPaintManagerUI& m) { EXPECT_FALSE(m.IsLayered()); }},
    {L"opacity=\"300\"", [](CPaintManagerUI& m) { EXPECT_EQ(300 & 0xFF, m.GetOpacity()); }},
    {L"ALPHA=\"  128x\"", [](CPaintManagerUI& m) { EXPECT_EQ(128, m.GetOpacity()); }},
    {L"layeredopacity=\"200\"", [](CPaintManagerUI& m) { EXPECT_EQ(200, m.GetLayeredOpacity()); }},
    {L"LayeredOpacity=\"200\"", [](CPaintManagerUI& m) { EXPECT_EQ(255, m.GetLayeredOpacity()); }},
    {L"showdirty=\"true\"", [](CPaintManagerUI& m) { EXPECT_TRUE(m.IsShowUpdateRect()); }},
    {L"defaultfontcolor=\"#FF112233\" disabledfontcolor=\"#333333\"",
     [](CPaintManagerUI& m) {
         EXPECT_EQ(0xFF112233u, m.GetDefaultFontColor());
         EXPECT_EQ(0x00333333u, m.GetDefaultDisabledColor());
     }},
    {L"linkfontcolor=\"FF0000FF\" linkhoverfontcolor=\"#\" selectedcolor=\"#FFBAE4FF\"",
     [](CPaintManagerUI& m) {
         EXPECT_EQ(0xFF0000FFu, m.GetDefaultLinkFontColor());
         EXPECT_EQ(0u, m.GetDefaultLinkHoverFontColor());
         EXPECT_EQ(0xFFBAE4FFu, m.GetDefaultSelectedBkColor());
     }},
    {L"gdiplustext=\"true\" textrenderinghint=\"4\"",
     [](CPaintManagerUI& m) {
         EXPECT_TRUE(m.IsUseGdiplusText());
         EXPECT_EQ(4, m.GetGdiplusTextRenderingHint());
     }},
    {L"shadowsize=\"36\" shadowsharpness=\"9\" shadowdarkness=\"255\"",
     [](CPaintManagerUI& m) {
         EXPECT_EQ(0, m.GetShadow()->GetSize());
         EXPECT_EQ(9u, m.GetShadow()->GetSharpness());
         EXPECT_EQ(255u, m.GetShadow()->GetDarkness());
     }},
    {L"shadowsize=\"-35\" shadowposition=\"0,-36\"",
     [](CPaintManagerUI& m) {
         EXPECT_EQ(-35, m.GetShadow()->GetSize());
         EXPECT_EQ(0, m.GetShadow()->GetYOffset());
     }},
    {L"shadowposition=\"-3 4\" shadowcolor=\"#FF102030\"",
     [](CPaintManagerUI& m) {
         EXPECT_EQ(-3, m.GetShadow()->GetXOffset());
         EXPECT_EQ(4, m.GetShadow()->GetYOffset());
         EXPECT_EQ(0xFF102030u, (DWORD)m.GetShadow()->GetColor());
     }},
    {L"shadowcorner=\"1,2,3,4\" shadowimage=\"shadow.png\" showshadow=\"true\"",
     [](CPaintManagerUI& m) {
         const RECT rc = m.GetShadow()->GetShadowCorner();
         EXPECT_EQ(1, rc.left);
         EXPECT_EQ(4, rc.bottom);
         EXPECT_STREQ(L"shadow.png", m.GetShadow()->GetImage().GetData());
         EXPECT_TRUE(m.GetShadow()->IsImageMode());
         EXPECT_TRUE(m.GetShadow()->IsShowShadow());
     }},
    {L"shadowcorner=\"-1,2,3,4\" showshadow=\"false\"",
     [](CPaintManagerUI& m) {
         EXPECT_EQ(0, m.GetShadow()->GetShadowCorner().top);
         EXPECT_FALSE(m.GetShadow()->IsShowShadow());
     }},
};

TEST(DialogBuilderWindowTest, RootAttributesReachTheManager)
{
    UseTestPackage();
    for (const WindowCase& row : kWindowCases) {
        SCOPED_TRACE(::testing::Message() << "attributes " << row.attributes);
        TestSupport::PaintManagerWindow window;
        ASSERT_TRUE(window.IsValid());
        CPaintManagerUI& manager = *window.Manager();
        CDialogBuilder builder;
        const std::wstring xml =
            std::wstring(L"<Window ") + row.attributes + L"><Control name=\"c\"/></Window>";
        std::unique_ptr<CControlUI> root(builder.Create(xml.c_str(), nullptr, nullptr, &manager, nullptr));
        ASSERT_NE(nullptr, root.get());
        row.check(manager);
    }
}

TEST(DialogBuilderWindowTest, OnlyAWindowRootWithANativeWindowSetsWindowSettings)
{
    UseTestPackage();
    {
        TestSupport::PaintManagerWindow window;
        CPaintManagerUI& manager = *window.Manager();
        CDialogBuilder builder;
        std::unique_ptr<CControlUI> root(
            builder.Create(L"<Dialog size=\"800,600\" bktrans=\"true\"><Font id=\"3\" name=\"Arial\" "
                           L"size=\"9\"/><Control/></Dialog>",
                           nullptr, nullptr, &manager, nullptr));
        ASSERT_NE(nullptr, root.get());
        EXPECT_EQ(0, manager.GetInitSize().cx);
        EXPECT_FALSE(manager.IsLayered());
        // Shared resources are registered whatever the root is called.
        EXPECT_NE(nullptr, manager.GetFontInfo(3));
    }
    {
        CPaintManagerUI unbound;
        CDialogBuilder builder;
        std::unique_ptr<CControlUI> root(builder.Create(L"<window size=\"800,600\"><Control/></window>",
                                                        nullptr, nullptr, &unbound, nullptr));
        ASSERT_NE(nullptr, root.get());
        EXPECT_EQ(0, unbound.GetInitSize().cx);
    }
}

// ---- Shared resources -----------------------------------------------------------------
TEST_F(DialogBuilderTest, FontElementsNeedAnIdAndMayBecomeTheDefault)
{
    std::unique_ptr<CControlUI> root(Build(
        L"<Window>"
        L"<Font name=\"Tahoma\" size=\"30\"/>"
        L"<Font id=\"-1\" name=\"Tahoma\" size=\"31\"/>"
        L"<FONT ID=\"2\" NAME=\"Tahoma\" SIZE=\"15\" BOLD=\"true\" Underline=\"TRUE\" default=\"true\"/>"
        L"<Font id=\"4\" name=\"Courier New\"/>"
        L"<Control/></Window>"));
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(2u, m_manager.GetCustomFontCount());
    SkinUI::TFontInfo* two = m_manager.GetFontInfo(2);
    ASSERT_NE(nullptr, two);
    EXPECT_EQ(15, two->iSize);
    EXPECT_TRUE(two->bBold);
    EXPECT_TRUE(two->bUnderline);
    EXPECT_FALSE(two->bItalic);
    SkinUI::TFontInfo* four = m_manager.GetFontInfo(4);
    ASSERT_NE(nullptr, four);
    EXPECT_EQ(12, four->iSize);
    SkinUI::TFontInfo* byDefault = m_manager.GetDefaultFontInfo();
    EXPECT_STREQ(L"Tahoma", byDefault->sFontName.GetData());
    EXPECT_EQ(15, byDefault->iSize);
    EXPECT_TRUE(byDefault->bBold);
}

TEST_F(DialogBuilderTest, ImagesDefaultListsAndStylesAreRegistered)
{
    std::unique_ptr<CControlUI> root(
        Build(L"<Window>"
              L"<Image name=\"dot.png\" mask=\"#FFFF00FF\"/>"
              L"<Image restype=\"PNG\"/>"
              L"<Default name=\"Label\" value=\"text=&quot;from default&quot;\"/>"
              L"<Default value=\"text=&quot;nameless&quot;\"/>"
              L"<Style name=\"red\" value=\"bkcolor=&quot;#FFFF0000&quot;\"/>"
              L"<Style name=\"red\" value=\"bkcolor=&quot;#FF00FF00&quot;\"/>"
              L"<Control/></Window>"));
    ASSERT_NE(nullptr, root.get());
    const SkinUI::TImageInfo* image = m_manager.GetImage(L"dot.png");
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(0xFFFF00FFu, image->dwMask);
    EXPECT_EQ(2, image->nX);
    EXPECT_TRUE(image->bAlpha);  // the magenta pixel was keyed out
    EXPECT_STREQ(L"text=\"from default\"", m_manager.GetDefaultAttributeList(L"Label"));
    EXPECT_STREQ(L"bkcolor=\"#FFFF0000\"", m_manager.GetStyle(L"red"));
}

// ---- Element lists and includes ---------------------------------------------------------
TEST_F(DialogBuilderTest, ElementAttributesOverrideDefaultsAndApplyInOrder)
{
    std::unique_ptr<CControlUI> root(
        Build(L"<Window>"
              L"<Default name=\"Button\" value=\"text=&quot;dflt&quot; tooltip=&quot;tip&quot;\"/>"
              L"<VerticalLayout>"
              L"<Button name=\"own\" text=\"own text\"/>"
              L"<Button name=\"plain\"/>"
              L"<Label name=\"twice\" text=\"first\" text=\"second\" visible=\"false\" visible=\"true\"/>"
              L"<Label name=\"styled\" style=\"red\"/>"
              L"</VerticalLayout>"
              L"<Style name=\"red\" value=\"bkcolor=&quot;#FFFF0000&quot;\"/>"
              L"</Window>"));
    ASSERT_NE(nullptr, root.get());
    ASSERT_EQ(4, ChildCount(root.get()));
    EXPECT_STREQ(L"own text", ChildAt(root.get(), 0)->GetText().GetData());
    EXPECT_STREQ(L"tip", ChildAt(root.get(), 0)->GetToolTip().GetData());
    EXPECT_STREQ(L"dflt", ChildAt(root.get(), 1)->GetText().GetData());
    EXPECT_STREQ(L"second", ChildAt(root.get(), 2)->GetText().GetData());
    EXPECT_TRUE(ChildAt(root.get(), 2)->IsVisible());
}

class RecordingCallback : public IDialogBuilderCallback
{
public:
    CControlUI* CreateControl(LPCTSTR pstrClass) override
    {
        m_asked.push_back(pstrClass);
        if (wcscmp(pstrClass, L"Custom") == 0) return new CContainerUI;
        return nullptr;
    }
    std::vector<std::wstring> m_asked;
};

CControlUI* PluginCreate(LPCTSTR pstrType)
{
    return wcscmp(pstrType, L"Plugged") == 0 ? CControlFactory::GetInstance()->CreateControl(L"CLabelUI")
                                             : nullptr;
}

struct ListCase
{
    const wchar_t* body;      // inside <Window><VerticalLayout name="top">...
    const wchar_t* children;  // classes of the top layout's children, in order, '|'-separated
};

const ListCase kListCases[] = {
    {L"<Lable name=\"bad\"><Button name=\"inner\"/></Lable><Label/>", L"LabelUI"},
    {L"<button/><BUTTON/><Button/>", L"ButtonUI"},
    {L"<Custom><Label/><Label/></Custom><Plugged/>", L"ContainerUI|LabelUI"},
    {L"<Image name=\"x\"/><Font id=\"9\"/><Default name=\"a\"/><Style name=\"b\"/><Text/>", L"TextUI"},
    {L"<Include/><Include count=\"3\"/><Progress/>", L"ProgressUI"},
    {L"<Include source=\"part.xml\" count=\"3\"/>", L"LabelUI|ButtonUI|LabelUI|ButtonUI|LabelUI|ButtonUI"},
    {L"<Include source=\"part.xml\" count=\"0\"/><Include source=\"part.xml\" count=\"-4\"/>", L""},
    {L"<Include source=\"missing.xml\"/><Include source=\"broken.xml\"/><Control/>", L"ControlUI"},
    {L"<Include source=\"&lt;Window&gt;&lt;Text/&gt;&lt;Label/&gt;&lt;/Window&gt;\" count=\"2\"/>",
     L"TextUI|LabelUI|TextUI|LabelUI"},
    {L"<Label><Label name=\"lost\"/></Label><HorizontalLayout><Control/></HorizontalLayout>",
     L"LabelUI|HorizontalLayoutUI"},
};

std::wstring ChildClasses(CControlUI* container)
{
    std::wstring out;
    for (int i = 0; i < ChildCount(container); ++i) {
        if (i > 0) out += L"|";
        out += ChildAt(container, i)->GetClass();
    }
    return out;
}

TEST_F(DialogBuilderTest, ElementListsMakeKnownElementsAndSkipTheRest)
{
    RecordingCallback callback;
    CPaintManagerUI::GetPlugins()->Add((LPVOID)&PluginCreate);
    for (const ListCase& row : kListCases) {
        SCOPED_TRACE(::testing::Message() << "body " << row.body);
        CDialogBuilder builder;
        const std::wstring xml =
            std::wstring(L"<Window><VerticalLayout name=\"top\">") + row.body + L"</VerticalLayout></Window>";
        std::unique_ptr<CControlUI> root(
            builder.Create(xml.c_str(), nullptr, &callback, &m_manager, nullptr));
        ASSERT_NE(nullptr, root.get());
        EXPECT_STREQ(L"top", root->GetName().GetData());
        EXPECT_EQ(std::wstring(row.children), ChildClasses(root.get()));
    }
    SkinUI::CStdPtrArray* plugins = CPaintManagerUI::GetPlugins();
    plugins->Remove(plugins->Find((LPVOID)&PluginCreate));
    // The callback hears the element names as written, and only those the
    // factory and the plug-ins did not know.
    for (const std::wstring& asked : callback.m_asked) {
        EXPECT_TRUE(asked == L"Lable" || asked == L"button" || asked == L"BUTTON" || asked == L"Custom")
            << asked.c_str();
    }
    EXPECT_EQ(4u, callback.m_asked.size());
}

TEST_F(DialogBuilderTest, RegisteredClassesBuildTheirElements)
{
    struct CMyControlUI : public CControlUI
    {
        LPCTSTR GetClass() const override { return L"MyControlUI"; }
        static CControlUI* Create() { return new CMyControlUI; }
    };
    CControlFactory::GetInstance()->RegistControl(L"CMyControlUI", &CMyControlUI::Create);
    std::unique_ptr<CControlUI> root(Build(L"<Window><MyControl name=\"mine\"/><Label/></Window>"));
    ASSERT_NE(nullptr, root.get());
    EXPECT_STREQ(L"MyControlUI", root->GetClass());
    EXPECT_STREQ(L"mine", root->GetName().GetData());
}

TEST_F(DialogBuilderTest, APreparedParentReceivesTheTopLevelControls)
{
    std::unique_ptr<CContainerUI> parent(new CContainerUI);
    CControlUI* first =
        Build(L"<Window><Label name=\"one\"/><Include source=\"part.xml\"/><Button name=\"two\"/></Window>",
              parent.get());
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(L"LabelUI|LabelUI|ButtonUI|ButtonUI", ChildClasses(parent.get()));
    EXPECT_EQ(first, parent->GetItemAt(0));
    EXPECT_STREQ(L"part_a", parent->GetItemAt(1)->GetName().GetData());
    EXPECT_STREQ(L"two", parent->GetItemAt(3)->GetName().GetData());

    // A parent that is no container takes nothing, and the list yields null.
    std::unique_ptr<CControlUI> leaf(new CControlUI);
    CDialogBuilder builder;
    EXPECT_EQ(nullptr,
              builder.Create(L"<Window><Label/><Label/></Window>", nullptr, nullptr, &m_manager, leaf.get()));
}

TEST_F(DialogBuilderTest, SelfIncludingDocumentsEnd)
{
    std::unique_ptr<CControlUI> root(Build(
        L"<Window><VerticalLayout><Include source=\"self.xml\" count=\"2\"/></VerticalLayout></Window>"));
    ASSERT_NE(nullptr, root.get());
    const int count = ChildCount(root.get());
    EXPECT_GT(count, 0);
    EXPECT_LE(count, (int)CDialogBuilder::kMaxIncludeBuilds);
}

// An include's count and source are read to at most 499 characters and
// always end there: a longer value is cut, never read past.
TEST_F(DialogBuilderTest, IncludeValuesAreCutAt499Characters)
{
    const std::wstring partText = L"&lt;Window&gt;&lt;Label name=&quot;cut&quot;/&gt;&lt;/Window&gt;";
    const std::tuple<const char*, std::wstring, const wchar_t*> kCases[] = {
        {"count as written", L"count=\"2\" source=\"part.xml\"", L"LabelUI|ButtonUI|LabelUI|ButtonUI"},
        // 499 zeros are read; the 2 after them is not.
        {"count of 500 characters", L"count=\"" + std::wstring(499, L'0') + L"2\" source=\"part.xml\"", L""},
        {"count of 499 characters", L"count=\"" + std::wstring(498, L'0') + L"2\" source=\"part.xml\"",
         L"LabelUI|ButtonUI|LabelUI|ButtonUI"},
        // A document text, then spaces past the 499th character and more.
        {"source text of 700 characters", L"source=\"" + partText + std::wstring(600, L' ') + L"&lt;x\"",
         L"LabelUI"},
        {"source name of 600 characters", L"source=\"part.xml" + std::wstring(592, L'x') + L"\"", L""},
    };
    for (const auto& [what, attributes, children] : kCases) {
        SCOPED_TRACE(what);
        CDialogBuilder builder;
        const std::wstring xml =
            L"<Window><VerticalLayout><Include " + attributes + L"/></VerticalLayout></Window>";
        std::unique_ptr<CControlUI> root(builder.Create(xml.c_str(), nullptr, nullptr, &m_manager, nullptr));
        ASSERT_NE(nullptr, root.get());
        EXPECT_EQ(std::wstring(children), ChildClasses(root.get()));
    }
}

// The whole tree, included documents and the caller's parent counted, is at
// most kMaxTreeDepth controls deep; a deeper one builds nothing and says why.
TEST_F(DialogBuilderTest, TreesDeeperThanTheBoundFailWithTheBuildersMessage)
{
    const int kMax = CDialogBuilder::kMaxTreeDepth;
    const int links = (kMax - 2) / kChainStep;
    const int nest = kMax - 1 - links * kChainStep;  // layouts around the chain
    ASSERT_GE(nest, 1);
    ASSERT_LE(links, kChainLinks);
    const std::tuple<const char*, int, int, int, bool> kCases[] = {
        {"exactly the bound", 0, nest, links, true},
        {"one more level", 0, nest + 1, links, false},
        {"the bound with the caller's parent", 1, nest - 1, links, true},
        {"the caller's parent makes it one too deep", 1, nest, links, false},
        {"a long chain of deep includes", 0, 1, kChainLinks, false},
    };
    for (const auto& [what, parentDepth, nest, links, builds] : kCases) {
        SCOPED_TRACE(what);
        std::unique_ptr<CContainerUI> parent(parentDepth > 0 ? new CContainerUI : nullptr);
        CDialogBuilder builder;
        const std::wstring xml = L"<Window>" + Nest(nest, ChainInclude(links)) + L"</Window>";
        CControlUI* built = builder.Create(xml.c_str(), nullptr, nullptr, &m_manager, parent.get());
        if (parent == nullptr) delete built;
        EXPECT_EQ(builds, built != nullptr);
        if (parent != nullptr) {
            EXPECT_EQ(builds ? 1 : 0, parent->GetCount());
        }
        wchar_t message[128] = {0};
        builder.GetLastErrorMessage(message, 128);
        EXPECT_STREQ(builds ? L"" : L"Controls nested too deeply", message);
    }
}

TEST_F(DialogBuilderTest, ResourceDocumentsIncludeByResourceId)
{
    // The test executable holds documents 101..103 of type "XML".
    CDialogBuilder builder;
    builder.SetInstance(::GetModuleHandleW(nullptr));
    std::unique_ptr<CControlUI> root(builder.Create(101u, L"XML", nullptr, &m_manager, nullptr));
    ASSERT_NE(nullptr, root.get());
    EXPECT_STREQ(L"res_top", root->GetName().GetData());
    EXPECT_EQ(L"LabelUI|ButtonUI|ButtonUI", ChildClasses(root.get()));
    EXPECT_STREQ(L"res_part", ChildAt(root.get(), 2)->GetName().GetData());
    EXPECT_EQ(300, m_manager.GetInitSize().cx);

    // Without an instance the paint manager's resource module is searched.
    CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    CDialogBuilder byManager;
    std::unique_ptr<CControlUI> again(byManager.Create(102u, L"XML", nullptr, &m_manager, nullptr));
    ASSERT_NE(nullptr, again.get());
    EXPECT_STREQ(L"res_part", again->GetName().GetData());

    const std::tuple<UINT, const wchar_t*, const wchar_t*> kCases[] = {
        {103, L"XML", L"Unmatched closing tag"},
        {104, L"XML", L""},
        {101, L"PNG", L""},
    };
    for (const auto& [id, type, message] : kCases) {
        SCOPED_TRACE(::testing::Message() << "resource " << id);
        CDialogBuilder failing;
        failing.SetInstance(::GetModuleHandleW(nullptr));
        EXPECT_EQ(nullptr, failing.Create(id, type, nullptr, &m_manager, nullptr));
        wchar_t got[128] = {0};
        failing.GetLastErrorMessage(got, 128);
        EXPECT_STREQ(message, got);
    }
}

// ---- Failures -----------------------------------------------------------------------------
std::wstring Nested(int depth)
{
    std::wstring xml = L"<Window>";
    for (int i = 0; i < depth; ++i) xml += L"<VerticalLayout>";
    for (int i = 0; i < depth; ++i) xml += L"</VerticalLayout>";
    return xml + L"</Window>";
}

TEST_F(DialogBuilderTest, MalformedDocumentsGiveNullWithTheParsersMessage)
{
    const std::wstring kTexts[] = {
        L"<",
        L"<Window",
        L"<Window>",
        L"<Window><Label></Window>",
        L"<Window a=b/>",
        L"<Window a=\"b/>",
        L"<Window></Dialog>",
        L"<?xml version=\"1.0\"?>",
        L"<!-- only a comment -->",
        Nested(CMarkup::MAX_NESTING_DEPTH + 4),
    };
    for (const std::wstring& text : kTexts) {
        SCOPED_TRACE(::testing::Message() << "text " << text.substr(0, 60).c_str());
        CMarkup direct;
        const bool parsed = direct.Load(text.c_str());
        wchar_t expected[128] = {0};
        direct.GetLastErrorMessage(expected, 128);
        wchar_t expectedWhere[64] = {0};
        direct.GetLastErrorLocation(expectedWhere, 64);

        CDialogBuilder builder;
        EXPECT_EQ(nullptr, builder.Create(text.c_str(), nullptr, nullptr, &m_manager, nullptr));
        if (parsed) continue;  // a document with no element to build
        wchar_t message[128] = {0};
        builder.GetLastErrorMessage(message, 128);
        EXPECT_NE(L'\0', message[0]);
        EXPECT_STREQ(expected, message);
        wchar_t where[64] = {0};
        builder.GetLastErrorLocation(where, 64);
        EXPECT_STREQ(expectedWhere, where);
    }
}

TEST_F(DialogBuilderTest, MissingDocumentsGiveNull)
{
    const std::tuple<const wchar_t*, const wchar_t*> kCases[] = {
        {L"missing.xml", L"Could not find ziped file"},
        {L"broken.xml", L"Unmatched closing tag"},
    };
    for (const auto& [source, message] : kCases) {
        SCOPED_TRACE(::testing::Message() << "source " << source);
        CDialogBuilder builder;
        EXPECT_EQ(nullptr, builder.Create(source, nullptr, nullptr, &m_manager, nullptr));
        wchar_t got[128] = {0};
        builder.GetLastErrorMessage(got, 128);
        EXPECT_STREQ(message, got);
    }
    CDialogBuilder unloaded;
    EXPECT_EQ(nullptr, unloaded.Create(nullptr, &m_manager, nullptr));
}

TEST_F(DialogBuilderTest, BadAttributeValuesStillBuild)
{
    const wchar_t* const kAttributes[] = {
        L"size=\"\"",
        L"size=\",,,,,,\"",
        L"caption=\"1\"",
        L"roundcorner=\"-5,-5\"",
        L"shadowsize=\"99999999999999\"",
        L"shadowcolor=\"#\"",
        L"opacity=\"-1\"",
        L"mininfo=\"x\"",
        L"textrenderinghint=\"-9\"",
        L"shadowimage=\"\"",
    };
    const wchar_t* const kControlAttributes[] = {
        L"pos=\"1,2,3\"",           L"width=\"-1\"",
        L"bkcolor=\"#GG\"",         L"float=\"0.5,0.5\"",
        L"text=\"{b}{i}unclosed\"", L"bkimage=\"file='' corner='1,2'\"",
        L"style=\"nosuchstyle\"",   L"font=\"99\"",
        L"padding=\",,\"",
    };
    for (const wchar_t* window : kAttributes) {
        for (const wchar_t* control : kControlAttributes) {
            SCOPED_TRACE(::testing::Message() << window << " / " << control);
            TestSupport::PaintManagerWindow host;
            CPaintManagerUI& manager = *host.Manager();
            CDialogBuilder builder;
            const std::wstring xml = std::wstring(L"<Window ") + window + L"><VerticalLayout><Label " +
                control + L"/><Button " + control + L"/><Progress " + control +
                L"/></VerticalLayout></Window>";
            std::unique_ptr<CControlUI> root(
                builder.Create(xml.c_str(), nullptr, nullptr, &manager, nullptr));
            ASSERT_NE(nullptr, root.get());
            EXPECT_EQ(3, ChildCount(root.get()));
        }
    }
}

}  // namespace
