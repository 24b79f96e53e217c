#include "skinui/markup/Markup.h"

#include "tests/support/SkinFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

using SkinUI::CMarkup;
using SkinUI::CMarkupNode;

// Sections: random source, input builders, mutations, tree walk, the runs.

namespace {

// --- Random source: xorshift32, so that every run sees the same inputs ------
class Random
{
public:
    explicit Random(UINT seed) : m_state(seed ? seed : 1) {}
    UINT Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    UINT Below(UINT n) { return n ? Next() % n : 0; }

private:
    UINT m_state;
};

// --- Input builders -------------------------------------------------------------
std::vector<BYTE> ToUtf8(const std::wstring& text)
{
    const std::string bytes = TestSupport::Utf8FromWide(text);
    return std::vector<BYTE>(bytes.begin(), bytes.end());
}

std::vector<BYTE> ToUtf16(const std::wstring& text, bool bigEndian)
{
    std::vector<BYTE> bytes;
    bytes.push_back(bigEndian ? 0xFE : 0xFF);
    bytes.push_back(bigEndian ? 0xFF : 0xFE);
    for (wchar_t ch : text) {
        const BYTE lo = (BYTE)(ch & 0xFF), hi = (BYTE)(ch >> 8);
        bytes.push_back(bigEndian ? hi : lo);
        bytes.push_back(bigEndian ? lo : hi);
    }
    return bytes;
}

// --- Mutations --------------------------------------------------------------------
const char* const kTokens[] = {
    "<",        ">",         "/>",      "</",  "\"",           "=",    " ",        "&amp;", "&lt;",
    "&quot;",   "&",         "<!--",    "-->", "->",           "<?",   "?>",       "<a>",   "</a>",
    "<Window>", "</Window>", "x=\"1\"", "'",   "\xEF\xBB\xBF", "\xC3", "\xFF\xFE",
};

void Mutate(std::vector<BYTE>& data, Random& rnd)
{
    const int steps = 1 + (int)rnd.Below(8);
    for (int s = 0; s < steps; ++s) {
        const size_t size = data.size();
        const size_t pos = size ? rnd.Below((UINT)size) : 0;
        switch (rnd.Below(7)) {
        case 0:  // flip one byte
            if (size) data[pos] = (BYTE)rnd.Next();
            break;
        case 1:  // insert one byte, NUL included
            data.insert(data.begin() + (ptrdiff_t)pos, (BYTE)rnd.Below(256));
            break;
        case 2: {  // delete a range
            const size_t n = rnd.Below(64) + 1;
            data.erase(data.begin() + (ptrdiff_t)pos,
                       data.begin() + (ptrdiff_t)(pos + (n < size - pos ? n : size - pos)));
            break;
        }
        case 3: {  // duplicate a range
            const size_t n = rnd.Below(200) + 1;
            std::vector<BYTE> piece(data.begin() + (ptrdiff_t)pos,
                                    data.begin() + (ptrdiff_t)(pos + (n < size - pos ? n : size - pos)));
            data.insert(data.begin() + (ptrdiff_t)(size ? rnd.Below((UINT)size) : 0), piece.begin(),
                        piece.end());
            break;
        }
        case 4: {  // insert a markup token
            const char* t = kTokens[rnd.Below(sizeof(kTokens) / sizeof(kTokens[0]))];
            data.insert(data.begin() + (ptrdiff_t)pos, (const BYTE*)t, (const BYTE*)t + strlen(t));
            break;
        }
        case 5:  // truncate
            data.resize(pos);
            break;
        default:  // swap two bytes
            if (size > 1) {
                const size_t other = rnd.Below((UINT)size);
                const BYTE b = data[pos];
                data[pos] = data[other];
                data[other] = b;
            }
            break;
        }
    }
}

// --- Tree walk -------------------------------------------------------------------
// Visits every node reachable from the root and checks the links; returns the
// number of elements seen.
ULONG Walk(CMarkupNode node, int depth)
{
    ULONG seen = 0;
    for (; node.IsValid(); node = node.GetSibling()) {
        ++seen;
        const wchar_t* name = node.GetName();
        const wchar_t* value = node.GetValue();
        EXPECT_NE(nullptr, name);
        EXPECT_NE(nullptr, value);
        volatile size_t touch = wcslen(name) + wcslen(value);
        (void)touch;
        const int count = node.GetAttributeCount();
        EXPECT_LE(count, 64);
        EXPECT_EQ(count > 0, node.HasAttributes());
        for (int i = 0; i < count; ++i) {
            const wchar_t* attrName = node.GetAttributeName(i);
            const wchar_t* attrValue = node.GetAttributeValue(i);
            touch = wcslen(attrName) + wcslen(attrValue);
            EXPECT_TRUE(node.HasAttribute(attrName));
            wchar_t buf[16];
            EXPECT_TRUE(node.GetAttributeValue(i, buf, 16));
        }
        EXPECT_STREQ(L"", node.GetAttributeName(count));
        node.GetAttributeValue(L"name");
        node.GetChild(L"Button");
        if (node.HasChildren()) {
            CMarkupNode child = node.GetChild();
            EXPECT_STREQ(name, child.GetParent().GetName());
            EXPECT_LT(depth, (int)CMarkup::MAX_NESTING_DEPTH + 2);
            seen += Walk(child, depth + 1);
        }
    }
    return seen;
}

// Returns whether the input loaded.
bool Feed(std::vector<BYTE> data, int encoding)
{
    // An exact-size heap copy: reading past it leaves the block.
    BYTE* copy = static_cast<BYTE*>(malloc(data.size() ? data.size() : 1));
    if (copy == nullptr) {
        ADD_FAILURE() << "out of memory";
        return false;
    }
    if (!data.empty()) memcpy(copy, data.data(), data.size());
    CMarkup xml;
    const bool ok = xml.LoadFromMem(copy, (DWORD)data.size(), encoding);
    EXPECT_EQ(ok, xml.IsValid());
    if (ok) {
        // Every element is reachable once from the root and its siblings.
        EXPECT_EQ(xml.GetElementCount() ? xml.GetElementCount() - 1 : 0, Walk(xml.GetRoot(), 0));
    } else {
        EXPECT_FALSE(xml.GetRoot().IsValid());
        EXPECT_EQ(0u, xml.GetElementCount());
        wchar_t message[100] = {};
        xml.GetLastErrorMessage(message, 99);
        EXPECT_NE(L'\0', message[0]);
    }
    free(copy);
    return ok;
}

bool HeapsValid()
{
    HANDLE heaps[64];
    const DWORD n = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < n && i < 64; ++i) {
        if (!HeapValidate(heaps[i], 0, nullptr)) return false;
    }
    return true;
}

}  // namespace

// --- The runs ----------------------------------------------------------------------
TEST(MarkupFuzz, MutatedSkinInEveryEncoding)
{
    std::string skin;
    ASSERT_TRUE(TestSupport::ReadWholeFile(TestSupport::SkinSourceFile("DlgMain.xml"), skin));
    const std::vector<BYTE> seeds[] = {
        std::vector<BYTE>(skin.begin(), skin.end()),
        ToUtf8(L"<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b=\"2\"><F id=\"0\"/><L>t&lt;</L></W>"),
    };
    Random rnd(0x5EED1234u);
    int loaded = 0;
    for (int i = 0; i < 12000; ++i) {
        std::vector<BYTE> data = seeds[rnd.Below(2)];
        Mutate(data, rnd);
        const UINT form = rnd.Below(5);
        if (form == 0 || form == 1) {
            loaded += Feed(data, form == 0 ? 0 : 2);
        } else {
            // UTF-16: re-encode the mutated text, then mutate the units once more.
            const std::wstring text = TestSupport::WideFromUtf8(std::string(data.begin(), data.end()));
            std::vector<BYTE> wide = ToUtf16(text, form == 3);
            if (form == 4) Mutate(wide, rnd);
            loaded += Feed(wide, 1);
        }
        if (HasFailure()) FAIL() << "iteration " << i;
        if (i % 1000 == 0) {
            ASSERT_TRUE(HeapsValid()) << "iteration " << i;
        }
    }
    EXPECT_TRUE(HeapsValid());
    // Small mutations must leave enough documents loadable to reach the tree walk.
    EXPECT_GT(loaded, 1500);
    printf("fuzz: %d of 12000 mutated documents loaded\n", loaded);
}

TEST(MarkupFuzz, RandomBytesInEveryEncoding)
{
    Random rnd(0xC0FFEEu);
    const char alphabet[] = "<>/=\"' &;!?-abWx\r\n\t";
    for (int i = 0; i < 8000; ++i) {
        std::vector<BYTE> data(rnd.Below(300));
        const bool markupish = rnd.Below(2) == 0;
        for (BYTE& b : data)
            b = markupish ? (BYTE)alphabet[rnd.Below(sizeof(alphabet) - 1)] : (BYTE)rnd.Next();
        if (rnd.Below(4) == 0 && data.size() >= 2) {
            data[0] = 0xFE;
            data[1] = 0xFF;
        }
        Feed(data, (int)rnd.Below(3));
        if (HasFailure()) FAIL() << "iteration " << i;
    }
    EXPECT_TRUE(HeapsValid());
}
