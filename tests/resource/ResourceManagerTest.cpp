#include "skinui/resource/ResourceManager.h"

#include "tests/resource/SkinLocation.h"
#include "tests/support/ZipWriter.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <thread>

using SkinUI::CResourceManager;

namespace {

// Answers from a table; records every question.
class TableQuery : public SkinUI::IQueryControlText
{
public:
    LPCTSTR QueryControlText(LPCTSTR id, LPCTSTR type) override
    {
        asked.push_back(std::wstring(id ? id : L"(null)") + L"/" + (type ? type : L"(null)"));
        auto it = answers.find(id ? id : L"");
        return it != answers.end() ? it->second.c_str() : nullptr;
    }
    std::map<std::wstring, std::wstring> answers;
    std::vector<std::wstring> asked;
};

CResourceManager* FreshManager()
{
    CResourceManager* m = CResourceManager::GetInstance();
    m->ResetResourceMap();
    m->ResetTextMap();
    m->SetTextQueryInterface(nullptr);
    return m;
}

}  // namespace

TEST(ResourceManager, OneInstanceForConcurrentFirstCalls)
{
    CResourceManager* seen[2] = {};
    std::thread a([&] { seen[0] = CResourceManager::GetInstance(); });
    std::thread b([&] { seen[1] = CResourceManager::GetInstance(); });
    a.join();
    b.join();
    EXPECT_NE(nullptr, seen[0]);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], CResourceManager::GetInstance());
}

// The first registration of an id wins; elements with children are
// descended into; a missing id or path registers nothing.
TEST(ResourceManager, RegistersImageAndXmlIds)
{
    CResourceManager* m = FreshManager();
    ASSERT_TRUE(m->LoadResource(L"<Res>"
                                L"<Image id=\"close\" path=\"btn_close.png\"/>"
                                L"<IMAGE ID=\"close\" path=\"other.png\"/>"
                                L"<image id=\"nopath\"/>"
                                L"<Image path=\"noid.png\"/>"
                                L"<Image id=\"twice\" path=\"first.png\" path=\"last.png\"/>"
                                L"<Group><Xml id=\"main\" path=\"DlgMain.xml\"/><Deeper><Image id=\"deep\" "
                                L"path=\"d.png\"/></Deeper></Group>"
                                L"<Xml id=\"main\" path=\"other.xml\"/>"
                                L"<Font id=\"0\" path=\"font\"/>"
                                L"</Res>"));
    struct Case
    {
        const wchar_t* id;
        const wchar_t* image;
        const wchar_t* xml;
    };
    const Case cases[] = {
        {L"close", L"btn_close.png", nullptr}, {L"nopath", nullptr, nullptr},
        {L"twice", L"last.png", nullptr},      {L"deep", L"d.png", nullptr},
        {L"main", nullptr, L"DlgMain.xml"},    {L"0", nullptr, nullptr},
        {L"CLOSE", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const wchar_t* image = m->GetImagePath(c.id);
        const wchar_t* xml = m->GetXmlPath(c.id);
        EXPECT_EQ(std::wstring(c.image ? c.image : L"(none)"), std::wstring(image ? image : L"(none)"))
            << c.id;
        EXPECT_EQ(std::wstring(c.xml ? c.xml : L"(none)"), std::wstring(xml ? xml : L"(none)")) << c.id;
    }
    EXPECT_EQ(nullptr, m->GetImagePath(nullptr));

    // A failed load keeps what is registered.
    EXPECT_FALSE(m->LoadResource(L"<Res><Image id=\"x\" path=\"x.png\"/><Image id='y'/></Res>"));
    EXPECT_FALSE(m->LoadResource(L"missing_resources.xml"));
    EXPECT_FALSE(m->LoadResource(4711u, L"XML"));
    EXPECT_STREQ(L"btn_close.png", m->GetImagePath(L"close"));
    EXPECT_EQ(nullptr, m->GetImagePath(L"x"));
    m->ResetResourceMap();
    EXPECT_EQ(nullptr, m->GetImagePath(L"close"));
    EXPECT_EQ(nullptr, m->GetXmlPath(L"main"));
}

// The launcher's start-up: the resource document read from the memory package.
TEST(ResourceManager, ReadsTheDocumentFromThePackage)
{
    TestSupport::ZipWriter w;
    w.Add("DlgMain.xml", "<Window><Image id=\"bg\" path=\"bg.png\"/></Window>");
    const std::string package = w.Finish();
    ResourceTests::UseMemoryPackage(package);
    CResourceManager* m = FreshManager();
    EXPECT_TRUE(m->LoadResource(L"dlgmain.xml"));
    EXPECT_STREQ(L"bg.png", m->GetImagePath(L"bg"));
    EXPECT_FALSE(m->LoadResource(L"other.xml"));
    m->ResetResourceMap();
    ResourceTests::ResetSkinLocation();
}

TEST(ResourceManager, TextsFromLanguageQueryAndId)
{
    CResourceManager* m = FreshManager();
    EXPECT_STREQ(L"", m->GetText(nullptr).GetData());
    EXPECT_STREQ(L"hello", m->GetText(L"hello").GetData());
    ASSERT_TRUE(
        m->LoadLanguage(L"<Lang><Text id=\"ok\" value=\"OK\"/><TEXT id=\"no\" value=\"No\" value=\"Nein\"/>"
                        L"<Text id=\"novalue\"/><Group><Text id=\"inner\" value=\"x\"/></Group></Lang>"));
    EXPECT_STREQ(L"OK", m->GetText(L"ok").GetData());
    EXPECT_STREQ(L"Nein", m->GetText(L"no").GetData());
    EXPECT_STREQ(L"novalue", m->GetText(L"novalue").GetData());
    EXPECT_STREQ(L"inner", m->GetText(L"inner").GetData()) << "only top-level Text elements count";
    ASSERT_TRUE(m->LoadLanguage(L"<Lang><Text id=\"ok\" value=\"Okay\"/></Lang>"));
    EXPECT_STREQ(L"Okay", m->GetText(L"ok").GetData());
    EXPECT_FALSE(m->LoadLanguage(L"<Lang><Text id=\"ok\" value=\"broken></Lang>"));
    EXPECT_FALSE(m->LoadLanguage(L"missing_language.xml"));
    EXPECT_STREQ(L"Okay", m->GetText(L"ok").GetData());

    TableQuery query;
    query.answers[L"title"] = L"Vozeror";
    m->SetTextQueryInterface(&query);
    EXPECT_STREQ(L"Vozeror", m->GetText(L"title", L"label").GetData());
    EXPECT_STREQ(L"", m->GetText(L"unknown").GetData()) << "a null answer is stored as empty";
    EXPECT_STREQ(L"Okay", m->GetText(L"ok").GetData()) << "stored texts are not asked for";
    ASSERT_EQ(2u, query.asked.size());
    EXPECT_EQ(L"title/label", query.asked[0]);

    // Reload asks for every stored id; null answers keep the stored text.
    query.answers[L"title"] = L"Vozeror 2";
    query.answers[L"ok"] = L"Fine";
    query.asked.clear();
    m->ReloadText();
    EXPECT_EQ(4u, query.asked.size());
    EXPECT_STREQ(L"Vozeror 2", m->GetText(L"title").GetData());
    EXPECT_STREQ(L"Fine", m->GetText(L"ok").GetData());
    EXPECT_STREQ(L"Nein", m->GetText(L"no").GetData());

    m->SetTextQueryInterface(nullptr);
    m->ResetTextMap();
    EXPECT_STREQ(L"ok", m->GetText(L"ok").GetData());
    m->SetLanguage(L"en");
    EXPECT_STREQ(L"en", m->GetLanguage());
}
