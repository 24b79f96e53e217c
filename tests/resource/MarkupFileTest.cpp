#include "skinui/markup/Markup.h"

#include "skinui/core/PaintManager.h"
#include "tests/resource/SkinLocation.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using SkinUI::CMarkup;
using SkinUI::CPaintManagerUI;
using TestSupport::PutLe32;
using TestSupport::TempFolder;
using TestSupport::WideFromAnsi;
using TestSupport::WriteWholeFile;

namespace {

const char kSkin[] = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Window size=\"536,355\"><Font "
                     "id=\"0\"/></Window>";

struct Outcome
{
    bool loaded;
    std::wstring message;
    std::wstring location;
};

Outcome Load(const wchar_t* name)
{
    CMarkup xml;
    Outcome o;
    o.loaded = xml.LoadFromFile(name);
    wchar_t msg[100] = L"", loc[50] = L"x";
    xml.GetLastErrorMessage(msg, 100);
    xml.GetLastErrorLocation(loc, 50);
    o.message = msg;
    o.location = loc;
    if (o.loaded) {
        EXPECT_STREQ(L"Window", xml.GetRoot().GetName());
        EXPECT_STREQ(L"536,355", xml.GetRoot().GetAttributeValue(L"size"));
    }
    return o;
}

void ExpectOutcome(const wchar_t* name, bool loaded, const wchar_t* message)
{
    const Outcome o = Load(name);
    EXPECT_EQ(loaded, o.loaded) << name;
    EXPECT_EQ(std::wstring(message), o.message) << name;
    EXPECT_EQ(L"", o.location) << name;
}

}  // namespace

TEST(MarkupFile, LooseFilesInTheResourceFolder)
{
    TempFolder folder("vzxml");
    ASSERT_TRUE(WriteWholeFile(folder.File("DlgMain.xml"), kSkin));
    ASSERT_TRUE(WriteWholeFile(folder.File("empty.xml"), ""));
    ASSERT_TRUE(WriteWholeFile(folder.File("big.xml"), std::string(CMarkup::MAX_FILE_SIZE + 1, ' ')));
    std::string largest(kSkin);
    largest.resize(CMarkup::MAX_FILE_SIZE, ' ');
    ASSERT_TRUE(WriteWholeFile(folder.File("largest.xml"), largest));
    ResourceTests::ResetSkinLocation();
    CPaintManagerUI::SetResourcePath(WideFromAnsi(folder.Path()).c_str());
    ExpectOutcome(L"DlgMain.xml", true, L"");
    ExpectOutcome(L"missing.xml", false, L"Error opening file");
    ExpectOutcome(L"empty.xml", false, L"File is empty");
    ExpectOutcome(L"big.xml", false, L"File too large");
    ExpectOutcome(L"largest.xml", true, L"");
    // The resource folder is put in front of the name.
    CPaintManagerUI::SetResourcePath(L"");
    ExpectOutcome(L"DlgMain.xml", false, L"Error opening file");
}

// The launcher's case: the package in memory, whatever the resource folder.
TEST(MarkupFile, EntriesOfTheKeptOpenMemoryPackage)
{
    TestSupport::ZipWriter w;
    w.Add("DlgMain.xml", kSkin, 8);
    w.Add("stored.xml", kSkin, 0);
    w.Add("empty.xml", "", 0);
    w.Add("big.xml", std::string(CMarkup::MAX_FILE_SIZE + 1, ' '), 8);
    w.Add("badcrc.xml", kSkin, 8);
    w.Add("method.xml", kSkin, 12);
    std::string bytes = w.Finish();
    PutLe32(bytes, w.Entries()[4].local + 14, 0xBADC0DE);
    PutLe32(bytes, w.Entries()[4].central + 16, 0xBADC0DE);

    ResourceTests::UseMemoryPackage(bytes);
    ASSERT_NE(nullptr, CPaintManagerUI::GetResourceZipHandle());
    CPaintManagerUI::SetResourcePath(L"C:\\nowhere");
    const std::tuple<const wchar_t*, bool, const wchar_t*> cases[] = {
        {L"DlgMain.xml", true, L""},
        {L"dlgmain.XML", true, L""},
        {L"stored.xml", true, L""},
        {L"missing.xml", false, L"Could not find ziped file"},
        {L"empty.xml", false, L"File is empty"},
        {L"big.xml", false, L"File too large"},
        {L"badcrc.xml", false, L"Could not unzip file"},
        {L"method.xml", false, L"Could not unzip file"},
        {L"DlgMain.xml", true, L""},
    };
    for (const auto& [name, loaded, message] : cases) ExpectOutcome(name, loaded, message);
    ResourceTests::ResetSkinLocation();
}

// A package file in the resource folder, opened for each load when it is not
// kept open.
TEST(MarkupFile, PackageFileOpenedForOneLoadOrKept)
{
    TempFolder folder("vzxml");
    TestSupport::ZipWriter w;
    w.Add("skin/DlgMain.xml", kSkin, 8);
    const std::string bytes = w.Finish();
    ASSERT_TRUE(WriteWholeFile(folder.File("skin.zip"), std::string(100, 'S') + bytes));
    ASSERT_TRUE(WriteWholeFile(folder.File("junk.zip"), std::string(100, 'S')));
    for (bool keep : {false, true}) {
        ResourceTests::ResetSkinLocation();
        CPaintManagerUI::SetResourcePath(WideFromAnsi(folder.Path()).c_str());
        CPaintManagerUI::SetResourceZip(L"skin.zip", keep);
        EXPECT_EQ(keep, CPaintManagerUI::GetResourceZipHandle() != nullptr);
        ExpectOutcome(L"skin\\dlgmain.xml", true, L"");
        ExpectOutcome(L"dlgmain.xml", false, L"Could not find ziped file");
        CPaintManagerUI::SetResourceZip(L"missing.zip", keep);
        ExpectOutcome(L"skin\\dlgmain.xml", false, L"Error opening zip file");
        CPaintManagerUI::SetResourceZip(L"junk.zip", keep);
        ExpectOutcome(L"skin\\dlgmain.xml", false, L"Error opening zip file");
    }
    ResourceTests::ResetSkinLocation();
}
