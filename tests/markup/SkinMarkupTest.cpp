#include "skinui/markup/Markup.h"

#include "tests/support/LauncherSkin.h"
#include "tests/support/SkinFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using SkinUI::CMarkup;
using SkinUI::CMarkupNode;

namespace {

// DlgMain.xml of the skin folder, as its bytes; empty when it cannot be read.
std::vector<BYTE> SkinFileBytes()
{
    std::string data;
    if (!TestSupport::ReadWholeFile(TestSupport::SkinSourceFile("DlgMain.xml"), data)) return {};
    return std::vector<BYTE>(data.begin(), data.end());
}

void CheckSkin(CMarkup& xml)
{
    CMarkupNode window = xml.GetRoot();
    ASSERT_STREQ(L"Window", window.GetName());
    EXPECT_EQ(9, window.GetAttributeCount());
    EXPECT_STREQ(L"#FF1D6FC4", window.GetAttributeValue(L"focuscuecolor"));
    EXPECT_STREQ(L"536,355", window.GetAttributeValue(L"size"));
    EXPECT_STREQ(L"0,0,100,30", window.GetAttributeValue(L"caption"));
    EXPECT_STREQ(L"#333333", window.GetAttributeValue(L"shadowcolor"));
    EXPECT_STREQ(L"1,1", window.GetAttributeValue(L"SHADOWPOSITION"));

    CMarkupNode font0 = window.GetChild();
    ASSERT_STREQ(L"Font", font0.GetName());
    EXPECT_STREQ(L"0", font0.GetAttributeValue(L"id"));
    EXPECT_STREQ(L"微软雅黑", font0.GetAttributeValue(L"name"));
    EXPECT_STREQ(L"18", font0.GetAttributeValue(L"size"));
    CMarkupNode font1 = font0.GetSibling();
    ASSERT_STREQ(L"Font", font1.GetName());
    EXPECT_STREQ(L"24", font1.GetAttributeValue(L"size"));

    CMarkupNode outer = font1.GetSibling();
    ASSERT_STREQ(L"VerticalLayout", outer.GetName());
    EXPECT_STREQ(L"bg.png", outer.GetAttributeValue(L"bkimage"));
    EXPECT_FALSE(outer.HasSiblings());
    CMarkupNode inner = outer.GetChild();
    ASSERT_STREQ(L"VerticalLayout", inner.GetName());
    EXPECT_STREQ(L"355", inner.GetAttributeValue(L"height"));
    EXPECT_FALSE(inner.HasSiblings());

    CMarkupNode row = inner.GetChild();
    const TestSupport::LauncherSkinControl* e = TestSupport::kLauncherSkin;
    for (int r = 0; r < 3; ++r) {
        ASSERT_TRUE(row.IsValid()) << "row " << r;
        EXPECT_STREQ(L"HorizontalLayout", row.GetName());
        EXPECT_EQ(std::to_wstring(TestSupport::kLauncherRowHeight[r]), row.GetAttributeValue(L"height"));
        EXPECT_STREQ(L"VerticalLayout", row.GetParent().GetName());
        CMarkupNode control = row.GetChild();
        for (int c = 0; c < TestSupport::LauncherRowCount(r); ++c, ++e) {
            const std::wstring pos = std::to_wstring(e->x) + L"," + std::to_wstring(e->y) + L",0,0";
            ASSERT_TRUE(control.IsValid()) << e->name;
            EXPECT_STREQ(e->element, control.GetName()) << e->name;
            EXPECT_STREQ(e->name, control.GetAttributeValue(L"name"));
            EXPECT_STREQ(L"true", control.GetAttributeValue(L"float")) << e->name;
            EXPECT_EQ(pos, control.GetAttributeValue(L"pos")) << e->name;
            EXPECT_STREQ(e->visible ? L"" : L"false", control.GetAttributeValue(L"visible")) << e->name;
            EXPECT_FALSE(control.HasChildren());
            EXPECT_STREQ(L"", control.GetValue());
            control = control.GetSibling();
        }
        EXPECT_FALSE(control.IsValid()) << "row " << r << " has extra controls";
        row = row.GetSibling();
    }
    EXPECT_FALSE(row.IsValid());

    CMarkupNode body = inner.GetChild().GetSibling();
    CMarkupNode install = body.GetChild(L"button");
    EXPECT_STREQ(L"computer_install", install.GetAttributeValue(L"name"));
    EXPECT_STREQ(L"file='computer_un_1.png' mask='#FF0000' ", install.GetAttributeValue(L"normalimage"));
    EXPECT_STREQ(L"file='computer_run_dis.png' mask='#FFFF00FF'",
                 install.GetSibling().GetAttributeValue(L"disabledimage"));
    CMarkupNode footer = body.GetSibling();
    CMarkupNode back = footer.GetChild();
    while (back.IsValid() && wcscmp(back.GetAttributeValue(L"name"), L"return") != 0)
        back = back.GetSibling();
    ASSERT_TRUE(back.IsValid());
    EXPECT_STREQ(L"{u}<<返回{/u}", back.GetAttributeValue(L"text"));
    EXPECT_STREQ(L"true", back.GetAttributeValue(L"showhtml"));
    EXPECT_STREQ(L"客服:4000012345", footer.GetChild().GetSibling().GetAttributeValue(L"text"));

    // 1 placeholder, Window, 2 fonts, 2 vertical layouts, 3 rows, 20 controls.
    EXPECT_EQ(29u, xml.GetElementCount());
}

}  // namespace

TEST(SkinMarkup, LauncherWindowFromText)
{
    std::vector<BYTE> bytes = SkinFileBytes();
    ASSERT_GT(bytes.size(), 3u);
    const std::wstring text = TestSupport::WideFromUtf8(std::string(bytes.begin() + 3, bytes.end()));
    ASSERT_FALSE(text.empty());
    CMarkup xml;
    ASSERT_TRUE(xml.Load(text.c_str()));
    CheckSkin(xml);
}

TEST(SkinMarkup, LauncherWindowAsUtf8FileBytesWithBom)
{
    std::vector<BYTE> bytes = SkinFileBytes();
    ASSERT_GT(bytes.size(), 3u);
    EXPECT_EQ(0xEF, bytes[0]);
    EXPECT_EQ(0xBB, bytes[1]);
    EXPECT_EQ(0xBF, bytes[2]);
    CMarkup xml;
    ASSERT_TRUE(xml.LoadFromMem(bytes.data(), (DWORD)bytes.size(), 0));
    CheckSkin(xml);
}
