#include "skinui/markup/Markup.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using SkinUI::CMarkup;

// Every prefix of one small document, cut at every character: each must give
// the error its construct defines, or load where the rules tolerate the cut
// (inside a declaration or comment, or a missing end tag of the root or of an
// element directly inside it).
TEST(MarkupTruncation, EveryPrefixGivesItsError)
{
    const std::wstring doc =
        L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0\"/><L>t&lt;</L></W>";

    const wchar_t* OK = L"";
    const wchar_t* EN = L"Error parsing element name";
    const wchar_t* SC = L"Expected start-tag closing";
    const wchar_t* EA = L"Error while parsing attributes";
    const wchar_t* AV = L"Expected attribute value";
    const wchar_t* AS = L"Error while parsing attribute string";
    const wchar_t* UC = L"Unmatched closing tag";

    // Each row covers the prefixes longer than the previous row's up to its own.
    const std::tuple<const wchar_t*, const wchar_t*> ranges[] = {
        {L"", OK},
        {L"<", EN},
        {L"<?xml version=\"1.0\"?>", OK},
        {L"<?xml version=\"1.0\"?><", EN},
        {L"<?xml version=\"1.0\"?><!-- c -->", OK},
        {L"<?xml version=\"1.0\"?><!-- c --><W", EN},
        {L"<?xml version=\"1.0\"?><!-- c --><W ", SC},
        {L"<?xml version=\"1.0\"?><!-- c --><W a", EA},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=", AV},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y", AS},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" ", SC},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b", EA},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=", AV},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2", AS},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"", SC},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\">", OK},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F", EN},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F ", SC},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id", EA},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=", AV},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0", AS},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0\"/", SC},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0\"/>", OK},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0\"/><L", EN},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0\"/><L>t&lt;", OK},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0\"/><L>t&lt;<", EN},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0\"/><L>t&lt;</L", UC},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0\"/><L>t&lt;</L>", OK},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0\"/><L>t&lt;</L><", EN},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0\"/><L>t&lt;</L></W", UC},
        {L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0\"/><L>t&lt;</L></W>", OK},
    };

    size_t length = 0;
    for (const auto& [upTo, message] : ranges) {
        const std::wstring end = upTo;
        ASSERT_EQ(0u, doc.compare(0, end.size(), end)) << "table row is not a prefix";
        for (; length <= end.size(); ++length) {
            const std::wstring prefix = doc.substr(0, length);
            CMarkup xml;
            const bool ok = xml.Load(prefix.c_str());
            wchar_t got[100] = {};
            xml.GetLastErrorMessage(got, 99);
            if (message[0] == L'\0') {
                EXPECT_TRUE(ok) << "prefix " << length << ": " << got;
                EXPECT_TRUE(xml.IsValid());
                const bool hasRoot = prefix.find(L"<W") != std::wstring::npos;
                EXPECT_EQ(hasRoot, xml.GetRoot().IsValid()) << "prefix " << length;
                if (hasRoot) {
                    EXPECT_STREQ(L"W", xml.GetRoot().GetName());
                }
            } else {
                EXPECT_FALSE(ok) << "prefix " << length;
                EXPECT_STREQ(message, got) << "prefix " << length;
                EXPECT_FALSE(xml.IsValid());
                EXPECT_EQ(0u, xml.GetElementCount());
                EXPECT_FALSE(xml.GetRoot().IsValid());
            }
        }
    }
    EXPECT_EQ(doc.size() + 1, length) << "the table must reach the whole document";

    CMarkup full;
    ASSERT_TRUE(full.Load(doc.c_str()));
    EXPECT_STREQ(L"x&y", full.GetRoot().GetAttributeValue(L"a"));
    EXPECT_STREQ(L"2", full.GetRoot().GetAttributeValue(L"b"));
    EXPECT_STREQ(L"0", full.GetRoot().GetChild(L"F").GetAttributeValue(L"id"));
    EXPECT_STREQ(L"t<", full.GetRoot().GetChild(L"L").GetValue());
}
