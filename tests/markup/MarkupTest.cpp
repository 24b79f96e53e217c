#include "skinui/markup/Markup.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <tuple>
#include <vector>

using SkinUI::CMarkup;
using SkinUI::CMarkupNode;

namespace {

std::wstring Message(const CMarkup& xml)
{
    wchar_t buf[100] = {};
    xml.GetLastErrorMessage(buf, 99);
    return buf;
}

std::wstring Location(const CMarkup& xml)
{
    wchar_t buf[50] = {};
    xml.GetLastErrorLocation(buf, 49);
    return buf;
}

std::vector<BYTE> Utf8(const std::wstring& text)
{
    const std::string bytes = TestSupport::Utf8FromWide(text);
    return std::vector<BYTE>(bytes.begin(), bytes.end());
}

}  // namespace

TEST(MarkupErrors, MessagesAndLocations)
{
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        {L"hello", L"Expected start tag", L"hello"},
        {L"<a>text<b/>more</a>", L"Expected start tag", L"more</a>"},
        {L"<a><b><c/>", L"Expected start tag", L""},
        {L"<abc", L"Error parsing element name", L""},
        {L"<a x=\"1\" b", L"Error while parsing attributes", L""},
        {L"<my-tag/>", L"Error while parsing attributes", L"/>"},
        {L"<a x='1'/>", L"Expected attribute value", L"'1'/>"},
        {L"<a x=\"1/>", L"Error while parsing attribute string", L""},
        {L"<a x=\"1\" ?>", L"Error while parsing attributes", L"?>"},
        {L"<a x=\"1\" / >", L"Expected start-tag closing", L"/ >"},
        {L"<r><a><b>x</b>", L"Expected start tag", L""},
        {L"<Window></Windows>", L"Unmatched closing tag", L"s>"},
        {L"<Window></Win>", L"Unmatched closing tag", L"Win>"},
        {L"<a></b>", L"Unmatched closing tag", L"b>"},
        {L"<a/></a>", L"Unmatched closing tag", L"</a>"},
        {L"<a><b>x</b", L"Unmatched closing tag", L""},
        {L"<r><a><b>x", L"Expected end-tag start", L""},
        {L"<r><a><b>x</b", L"Unmatched closing tag", L""},
        {L"<a><b/></a>junk", L"Expected start tag", L"junk"},
    };
    for (const auto& [xml, message, location] : cases) {
        CMarkup doc;
        EXPECT_FALSE(doc.Load(xml)) << xml;
        EXPECT_FALSE(doc.IsValid());
        EXPECT_FALSE(doc.GetRoot().IsValid());
        EXPECT_EQ(message, Message(doc)) << xml;
        EXPECT_EQ(location, Location(doc)) << xml;
    }
}

TEST(MarkupErrors, LocationKeeps49CharactersAndCopiesAreBounded)
{
    const std::wstring tail(200, L'z');
    CMarkup xml;
    EXPECT_FALSE(xml.Load((L"<a/>" + tail).c_str()));
    EXPECT_EQ(tail.substr(0, 49), Location(xml));

    // wcsncpy semantics: a short buffer gets no terminator, and nothing past it is written.
    wchar_t small[6];
    for (wchar_t& ch : small) ch = L'#';
    xml.GetLastErrorMessage(small, 5);
    EXPECT_EQ(std::wstring(L"Expec#"), std::wstring(small, 6));
}

TEST(MarkupStructure, MissingEndTagsOfRootAndItsChildren)
{
    const std::tuple<const wchar_t*, bool, int> cases[] = {
        {L"", true, 0},
        {L"  \r\n\t ", true, 0},
        {L"<Window><Font/>", true, 2},
        {L"<Window><Font>", true, 2},
        {L"<Window><Font>text", true, 2},
        {L"<Window>", true, 1},
        {L"<Window>text", true, 1},
        {L"<a><b>x</b>", true, 2},
        {L"<a><b>x", true, 2},
        {L"<Window><Font/></Window>", true, 2},
        {L"<a/><b/>", true, 2},
        {L"<a><b><c/>", false, 0},
        {L"</a>", false, 0},
    };
    for (const auto& [xml, ok, elements] : cases) {
        CMarkup doc;
        EXPECT_EQ(ok, doc.Load(xml)) << xml;
        EXPECT_EQ(ok ? (ULONG)(elements + 1) : 0u, doc.GetElementCount()) << xml;
        EXPECT_EQ(elements > 0, doc.GetRoot().IsValid()) << xml;
    }
    CMarkup xml;
    ASSERT_TRUE(xml.Load(L"<Window>text"));
    EXPECT_STREQ(L"Window", xml.GetRoot().GetName());
    EXPECT_STREQ(L"text", xml.GetRoot().GetValue());
    ASSERT_TRUE(xml.Load(L"<Window><Font size=\"1\">"));
    EXPECT_STREQ(L"Font", xml.GetRoot().GetChild().GetName());
    EXPECT_STREQ(L"1", xml.GetRoot().GetChild().GetAttributeValue(L"size"));
}

TEST(MarkupStructure, TreeLinksAndText)
{
    CMarkup xml;
    ASSERT_TRUE(
        xml.Load(L"<?xml version=\"1.0\"?>\r\n<!-- head -->\r\n<a>text<b>inner</b><!-- c --><c x=\"1\"/>"
                 L"<d></d></a>\r\n<!-- tail -->"));
    CMarkupNode a = xml.GetRoot();
    EXPECT_STREQ(L"a", a.GetName());
    EXPECT_STREQ(L"text", a.GetValue());
    EXPECT_FALSE(a.GetParent().IsValid());
    EXPECT_FALSE(a.HasSiblings());
    ASSERT_TRUE(a.HasChildren());
    CMarkupNode b = a.GetChild();
    EXPECT_STREQ(L"b", b.GetName());
    EXPECT_STREQ(L"inner", b.GetValue());
    EXPECT_FALSE(b.HasChildren());
    CMarkupNode c = b.GetSibling();
    EXPECT_STREQ(L"c", c.GetName());
    EXPECT_STREQ(L"", c.GetValue());
    CMarkupNode d = c.GetSibling();
    EXPECT_STREQ(L"d", d.GetName());
    EXPECT_STREQ(L"", d.GetValue());
    EXPECT_FALSE(d.GetSibling().IsValid());
    EXPECT_STREQ(L"a", d.GetParent().GetName());
    EXPECT_STREQ(L"c", a.GetChild(L"C").GetName());
    EXPECT_FALSE(a.GetChild(L"e").IsValid());

    CMarkupNode none = d.GetSibling();
    EXPECT_EQ(nullptr, none.GetName());
    EXPECT_EQ(nullptr, none.GetValue());
    EXPECT_EQ(nullptr, none.GetAttributeValue(L"x"));
    EXPECT_EQ(nullptr, none.GetAttributeName(0));
    EXPECT_EQ(0, none.GetAttributeCount());
    wchar_t buf[8];
    EXPECT_FALSE(none.GetAttributeValue(L"x", buf, 8));
    EXPECT_FALSE(none.GetChild().IsValid());
}

TEST(MarkupStructure, EndTagForms)
{
    const std::tuple<const wchar_t*, bool> cases[] = {
        {L"<Window></ Window >", true}, {L"<Window></Window\r\n>", true}, {L"<Window></window>", false},
        {L"<Window></Windows>", false}, {L"<Window ></Window>", true},    {L"< Window/>", true},
    };
    for (const auto& [xml, ok] : cases) {
        CMarkup doc;
        EXPECT_EQ(ok, doc.Load(xml)) << xml;
    }
}

TEST(MarkupAttributes, ValuesEntitiesAndCounts)
{
    const std::tuple<const wchar_t*, int, const wchar_t*, const wchar_t*> cases[] = {
        {L"<Font name=\"a\" id = \"0\" size=\"18\"/>", 3, L"id", L"0"},
        {L"<a t=\"{u}&lt;&lt;x{/u}\"/>", 1, L"t", L"{u}<<x{/u}"},
        {L"<a t=\"&#65;\"/>", 1, L"t", L"&#65;"},
        {L"<a t=\"&amp;&lt;&gt;&quot;&apos;\"/>", 1, L"t", L"&<>\"'"},
        {L"<a t=\"&amp\"/>", 1, L"t", L"&amp"},
        {L"<a t=\"x&unknown;y\"/>", 1, L"t", L"x&unknown;y"},
        {L"<a x=\"1\"y=\"2\"/>", 2, L"y", L"2"},
        {L"<a x=\"\"/>", 1, L"x", L""},
        {L"<a x=\"  spaced  \"></a>", 1, L"x", L"  spaced  "},
        {L"<a X=\"1\"/>", 1, L"x", L"1"},
        {L"<a x=\"1\" x=\"2\"/>", 2, L"x", L"1"},
        {L"<a x=\"1\">", 1, L"x", L"1"},
        {L"<a x=\"&quot;\">\"text\"</a>", 1, L"x", L"\""},
    };
    for (const auto& [xml, count, name, value] : cases) {
        CMarkup doc;
        ASSERT_TRUE(doc.Load(xml)) << xml;
        CMarkupNode root = doc.GetRoot();
        EXPECT_EQ(count, root.GetAttributeCount()) << xml;
        EXPECT_TRUE(root.HasAttribute(name)) << xml;
        EXPECT_STREQ(value, root.GetAttributeValue(name)) << xml;
        EXPECT_STREQ(L"", root.GetAttributeValue(L"missing"));
        EXPECT_STREQ(L"", root.GetAttributeName(count));
        EXPECT_STREQ(L"", root.GetAttributeValue(-1));
    }
    CMarkup xml;
    ASSERT_TRUE(xml.Load(L"<Font name=\"a\" id = \"0\" size=\"18\"/>"));
    CMarkupNode font = xml.GetRoot();
    const wchar_t* names[] = {L"name", L"id", L"size"};
    const wchar_t* values[] = {L"a", L"0", L"18"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(names[i], font.GetAttributeName(i));
        EXPECT_STREQ(values[i], font.GetAttributeValue(i));
    }
    EXPECT_STREQ(L"Font", font.GetName());
    wchar_t buf[4];
    EXPECT_TRUE(font.GetAttributeValue(L"size", buf, 4));
    EXPECT_STREQ(L"18", buf);
    EXPECT_TRUE(font.GetAttributeValue(2, buf, 4));
    EXPECT_STREQ(L"18", buf);
    EXPECT_FALSE(font.GetAttributeValue(L"bold", buf, 4));
    EXPECT_FALSE(font.GetAttributeValue(3, buf, 4));
    EXPECT_FALSE(CMarkup().GetRoot().HasAttributes());
}

TEST(MarkupAttributes, OnlySixtyFourVisible)
{
    std::wstring text = L"<a";
    for (int i = 0; i < 70; ++i) text += L" k" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
    text += L"><b/></a>";
    CMarkup xml;
    ASSERT_TRUE(xml.Load(text.c_str()));
    CMarkupNode a = xml.GetRoot();
    EXPECT_EQ(64, a.GetAttributeCount());
    EXPECT_STREQ(L"63", a.GetAttributeValue(L"k63"));
    EXPECT_STREQ(L"", a.GetAttributeValue(L"k64"));
    EXPECT_FALSE(a.HasAttribute(L"k69"));
    EXPECT_STREQ(L"b", a.GetChild().GetName());
}

TEST(MarkupText, EntitiesAndWhitespace)
{
    const std::tuple<const wchar_t*, bool, const wchar_t*> cases[] = {
        {L"<a>x &amp; y</a>", true, L"x & y"},
        {L"<a>&lt;&lt;&gt;</a>", true, L"<<>"},
        {L"<a>one  two\t\r\n three</a>", true, L"one  two\t\r\n three"},
        {L"<a>one  two\t\r\n three</a>", false, L"one two\t\r\n three"},
        {L"<a>one \t\r\n three</a>", false, L"one three"},
        {L"<a>x&amp;<b/></a>", true, L"x&"},
        {L"<a>&#65;</a>", true, L"&#65;"},
    };
    for (const auto& [xml, preserve, text] : cases) {
        CMarkup doc;
        doc.SetPreserveWhitespace(preserve);
        ASSERT_TRUE(doc.Load(xml)) << xml;
        EXPECT_STREQ(text, doc.GetRoot().GetValue()) << xml;
    }
}

TEST(MarkupText, CommentsAndDeclarationsEndAtArrow)
{
    const std::tuple<const wchar_t*, bool, const wchar_t*> cases[] = {
        {L"<!-- <x> --><a/>", true, L"a"},
        {L"<!DOCTYPE a -><a/>", true, L"a"},
        {L"<!DOCTYPE a><a/>", true, nullptr},  // skipped to the end of the text
        {L"<?pi x?><a/>", true, L"a"},
        {L"<?pi", true, nullptr},
        {L"<!--", true, nullptr},
        {L"<a><!-- c --><b/></a>", true, L"a"},
    };
    for (const auto& [xml, ok, root] : cases) {
        CMarkup doc;
        EXPECT_EQ(ok, doc.Load(xml)) << xml;
        if (root != nullptr) {
            EXPECT_STREQ(root, doc.GetRoot().GetName()) << xml;
        } else {
            EXPECT_FALSE(doc.GetRoot().IsValid()) << xml;
        }
    }
}

TEST(MarkupLifecycle, ReloadReleaseAndGrowth)
{
    CMarkup xml;
    ASSERT_TRUE(xml.Load(L"<first/>"));
    ASSERT_TRUE(xml.Load(L"<second><x/></second>"));
    EXPECT_STREQ(L"second", xml.GetRoot().GetName());
    EXPECT_EQ(3u, xml.GetElementCount());
    CMarkupNode node = xml.GetRoot();
    xml.Release();
    EXPECT_FALSE(xml.IsValid());
    EXPECT_FALSE(node.IsValid());
    EXPECT_EQ(nullptr, node.GetName());
    EXPECT_FALSE(xml.Load(nullptr));

    CMarkup constructed(L"<c/>");
    EXPECT_TRUE(constructed.IsValid());

    // Record 0 is the placeholder: 498 children + root + placeholder = 500 records.
    const std::tuple<int, ULONG> cases[] = {{498, 500}, {499, 1250}, {1248, 1250}, {1249, 2375}};
    for (const auto& [children, reserved] : cases) {
        std::wstring text = L"<r>";
        for (int i = 0; i < children; ++i) text += L"<e/>";
        text += L"</r>";
        ASSERT_TRUE(xml.Load(text.c_str()));
        EXPECT_EQ((ULONG)children + 2, xml.GetElementCount());
        EXPECT_EQ(reserved, xml.GetReservedElementCount()) << children;
    }
}

TEST(MarkupLifecycle, DeepNestingFailsInsteadOfOverflowing)
{
    std::wstring text;
    for (int i = 0; i < 100000; ++i) text += L"<a>";
    CMarkup xml;
    EXPECT_FALSE(xml.Load(text.c_str()));
    EXPECT_EQ(L"Elements nested too deeply", Message(xml));

    std::wstring ok;
    for (int i = 0; i < 200; ++i) ok += L"<a>";
    for (int i = 0; i < 200; ++i) ok += L"</a>";
    EXPECT_TRUE(xml.Load(ok.c_str()));
}

TEST(MarkupEncoding, Utf8AnsiAndUtf16)
{
    const std::wstring text =
        L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Label text=\"\x8BF7\x9009\x62E9\"/>";
    struct Case
    {
        const char* name;
        std::vector<BYTE> bytes;
        int encoding;
        bool ok;
    };
    std::vector<BYTE> utf8 = Utf8(text);
    std::vector<BYTE> bom8 = {0xEF, 0xBB, 0xBF};
    bom8.insert(bom8.end(), utf8.begin(), utf8.end());
    std::vector<BYTE> le = {0xFF, 0xFE}, be = {0xFE, 0xFF}, nobom;
    for (wchar_t ch : text) {
        le.push_back((BYTE)(ch & 0xFF));
        le.push_back((BYTE)(ch >> 8));
        be.push_back((BYTE)(ch >> 8));
        be.push_back((BYTE)(ch & 0xFF));
        nobom.push_back((BYTE)(ch & 0xFF));
        nobom.push_back((BYTE)(ch >> 8));
    }
    std::vector<BYTE> leOdd = le;
    leOdd.push_back(0x41);
    const Case cases[] = {
        {"utf8", utf8, 0, true},
        {"utf8 bom", bom8, 0, true},
        {"utf16 le", le, 1, true},
        {"utf16 be", be, 1, true},
        {"utf16 odd", leOdd, 1, true},
        {"utf16 no bom", nobom, 1, false},
        {"utf16 one byte", {0xFF}, 1, false},
        {"utf16 bom only", {0xFF, 0xFE}, 1, true},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> bytes = c.bytes;
        CMarkup xml;
        EXPECT_EQ(c.ok, xml.LoadFromMem(bytes.data(), (DWORD)bytes.size(), c.encoding)) << c.name;
        if (c.ok && bytes.size() > 2) {
            EXPECT_STREQ(L"\x8BF7\x9009\x62E9", xml.GetRoot().GetAttributeValue(L"text")) << c.name;
        }
    }

    BYTE ansi[] = "<a t=\"plain\"/>";
    CMarkup xml;
    ASSERT_TRUE(xml.LoadFromMem(ansi, sizeof(ansi) - 1, 2));
    EXPECT_STREQ(L"plain", xml.GetRoot().GetAttributeValue(L"t"));
    CMarkup other;
    EXPECT_TRUE(other.LoadFromMem(ansi, 0, 0));
    EXPECT_FALSE(other.GetRoot().IsValid());
    EXPECT_FALSE(other.LoadFromMem(ansi, sizeof(ansi) - 1, 7));
    EXPECT_FALSE(other.LoadFromMem(nullptr, 5, 0));
}

TEST(MarkupFile, LooseFiles)
{
    wchar_t dir[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, dir), 0u);
    const std::wstring base = std::wstring(dir) + L"markup_test_" + std::to_wstring(GetCurrentProcessId());
    const std::string big((size_t)CMarkup::MAX_FILE_SIZE + 1, ' ');
    const std::tuple<const char*, size_t, const wchar_t*> cases[] = {
        {"\xEF\xBB\xBF<a x=\"1\"/>", 14, nullptr},
        {"", 0, L"File is empty"},
        {big.c_str(), big.size(), L"File too large"},
        {"<a", 2, L"Error parsing element name"},
    };
    int n = 0;
    for (const auto& [content, size, message] : cases) {
        const std::wstring path = base + L"_" + std::to_wstring(n++) + L".xml";
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        DWORD written = 0;
        if (size > 0) WriteFile(h, content, (DWORD)size, &written, nullptr);
        CloseHandle(h);
        CMarkup xml;
        const bool ok = xml.LoadFromFile(path.c_str());
        EXPECT_EQ(message == nullptr, ok);
        if (message != nullptr) {
            EXPECT_EQ(message, Message(xml));
        } else {
            EXPECT_STREQ(L"1", xml.GetRoot().GetAttributeValue(L"x"));
        }
        DeleteFileW(path.c_str());
    }
    CMarkup xml;
    EXPECT_FALSE(xml.LoadFromFile((base + L"_missing.xml").c_str()));
    EXPECT_EQ(L"Error opening file", Message(xml));
    EXPECT_EQ(L"", Location(xml));
}

TEST(MarkupEncoding, BigEndianInputIsSwappedInPlaceAndMissingMarkReported)
{
    BYTE be[] = {0xFE, 0xFF, 0x00, '<', 0x00, 'a', 0x00, '/', 0x00, '>'};
    CMarkup xml;
    ASSERT_TRUE(xml.LoadFromMem(be, sizeof(be), 1));
    EXPECT_STREQ(L"a", xml.GetRoot().GetName());
    const BYTE swapped[] = {0xFE, 0xFF, '<', 0x00, 'a', 0x00, '/', 0x00, '>', 0x00};
    EXPECT_EQ(0, memcmp(be, swapped, sizeof(be)));

    BYTE plain[] = {'<', 0x00, 'a', 0x00, '/', 0x00, '>', 0x00};
    EXPECT_FALSE(xml.LoadFromMem(plain, sizeof(plain), 1));
    EXPECT_EQ(L"Missing byte-order mark", Message(xml));
    EXPECT_EQ(L"", Location(xml));
    EXPECT_FALSE(xml.IsValid());
}

TEST(MarkupNodeHandle, CopiesKeepTheirOwnAttributeMap)
{
    CMarkup xml;
    ASSERT_TRUE(xml.Load(L"<a one=\"1\" two=\"2\"><b three=\"3\"/></a>"));
    CMarkupNode a = xml.GetRoot();
    CMarkupNode before = a;  // copied before mapping
    EXPECT_EQ(2, a.GetAttributeCount());
    CMarkupNode after = a;  // copied after mapping
    EXPECT_STREQ(L"2", after.GetAttributeValue(L"two"));
    EXPECT_STREQ(L"1", before.GetAttributeValue(0));
    CMarkupNode b = a.GetChild();
    EXPECT_EQ(1, b.GetAttributeCount());
    EXPECT_STREQ(L"three", b.GetAttributeName(0));
    EXPECT_EQ(2, b.GetParent().GetAttributeCount());
}
