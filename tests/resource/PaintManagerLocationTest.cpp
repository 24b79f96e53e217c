#include "skinui/core/PaintManager.h"

#include "tests/resource/SkinLocation.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipWriter.h"

#include <gtest/gtest.h>
#include <tuple>

using SkinUI::CPaintManagerUI;

TEST(ResourceLocation, ResourcePathEndsInASeparator)
{
    const std::tuple<const wchar_t*, const wchar_t*> cases[] = {
        {L"", L""},
        {L"C:\\skin", L"C:\\skin\\"},
        {L"C:\\skin\\", L"C:\\skin\\"},
        {L"C:/skin/", L"C:/skin/"},
        {L"skin", L"skin\\"},
        {L"/", L"/"},
    };
    for (const auto& [given, stored] : cases) {
        CPaintManagerUI::SetResourcePath(given);
        EXPECT_STREQ(stored, CPaintManagerUI::GetResourcePath().GetData()) << given;
    }
    CPaintManagerUI::SetResourcePath(L"");
}

TEST(ResourceLocation, ModulesAndPaths)
{
    CPaintManagerUI::SetInstance(nullptr);
    CPaintManagerUI::SetResourceDll(nullptr);
    EXPECT_STREQ(L"", CPaintManagerUI::GetInstancePath().GetData());
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceDll());

    HINSTANCE self = GetModuleHandleW(nullptr);
    CPaintManagerUI::SetInstance(self);
    EXPECT_EQ(self, CPaintManagerUI::GetInstance());
    EXPECT_EQ(self, CPaintManagerUI::GetResourceDll());
    EXPECT_STREQ(TestSupport::TestBinDir().c_str(), CPaintManagerUI::GetInstancePath().GetData());
    HINSTANCE kernel = GetModuleHandleW(L"kernel32.dll");
    CPaintManagerUI::SetResourceDll(kernel);
    EXPECT_EQ(kernel, CPaintManagerUI::GetResourceDll());
    CPaintManagerUI::SetResourceDll(nullptr);

    const SkinUI::CUIString before = CPaintManagerUI::GetCurrentPath();
    TestSupport::TempFolder folder("vzloc");
    CPaintManagerUI::SetCurrentPath(TestSupport::WideFromAnsi(folder.Path()).c_str());
    EXPECT_EQ(
        0, CPaintManagerUI::GetCurrentPath().CompareNoCase(TestSupport::WideFromAnsi(folder.Path()).c_str()));
    CPaintManagerUI::SetCurrentPath(before);
    EXPECT_STREQ(before.GetData(), CPaintManagerUI::GetCurrentPath().GetData());

    CPaintManagerUI::SetResourceType(5);
    EXPECT_EQ(5, CPaintManagerUI::GetResourceType());
    CPaintManagerUI::SetResourceType(1);
    CPaintManagerUI::SetInstance(nullptr);
}

// The memory package is opened once and kept; calls that change nothing keep
// the same handle; Term closes it.
TEST(ResourceLocation, PackagesAreKeptOpenUntilChangedOrTerm)
{
    TestSupport::ZipWriter w;
    w.Add("DlgMain.xml", "<Window/>");
    const std::string first = w.Finish();
    const std::string second = first;

    ResourceTests::UseMemoryPackage(first);
    EXPECT_TRUE(CPaintManagerUI::IsCachedResourceZip());
    EXPECT_STREQ(L"membuffer", CPaintManagerUI::GetResourceZip().GetData());
    HANDLE h = CPaintManagerUI::GetResourceZipHandle();
    EXPECT_NE(nullptr, h);
    CPaintManagerUI::SetResourceZip((LPVOID)second.data(), (unsigned int)second.size());
    EXPECT_EQ(h, CPaintManagerUI::GetResourceZipHandle());
    CPaintManagerUI::Term();
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceZipHandle());

    // A package file in the resource folder, kept open or not.
    TestSupport::TempFolder folder("vzloc");
    ASSERT_TRUE(TestSupport::WriteWholeFile(folder.File("skin.zip"), first));
    ResourceTests::ResetSkinLocation();
    CPaintManagerUI::SetResourcePath(TestSupport::WideFromAnsi(folder.Path()).c_str());
    CPaintManagerUI::SetResourceZip(L"skin.zip", true);
    h = CPaintManagerUI::GetResourceZipHandle();
    EXPECT_NE(nullptr, h);
    CPaintManagerUI::SetResourceZip(L"skin.zip", true);
    EXPECT_EQ(h, CPaintManagerUI::GetResourceZipHandle());
    CPaintManagerUI::SetResourceZip(L"skin.zip", false);
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceZipHandle());
    EXPECT_FALSE(CPaintManagerUI::IsCachedResourceZip());
    CPaintManagerUI::SetResourceZip(L"missing.zip", true);
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceZipHandle());

    // A block that is no archive leaves no handle.
    const std::string junk(300, 'j');
    ResourceTests::UseMemoryPackage(junk);
    EXPECT_STREQ(L"membuffer", CPaintManagerUI::GetResourceZip().GetData());
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceZipHandle());
    ResourceTests::ResetSkinLocation();
}
