#include "bench/support/Bench.h"
#include "skinui/markup/Markup.h"
#include "tests/support/ByteMutator.h"
#include "tests/support/SkinFiles.h"
#include "tests/support/TempFolder.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

// The markup parser over 200000 mutated documents: the launcher's skin and a
// small document using every construct, mutated byte-wise and with markup
// tokens planted, fed in all three encodings from exact-size heap blocks.
// An input fails when a loaded tree is inconsistent (element count against
// the nodes reachable, parents, attribute counts, unterminated strings) or
// when a refused one leaves a root or no message; a crash ends the run. The
// heaps are validated every 1000 inputs.

using SkinUI::CMarkup;
using SkinUI::CMarkupNode;
using TestSupport::ByteMutator;

namespace {

const char* const kTokens[] = {
    "<",        ">",         "/>",      "</",  "\"",           "=",    " ",        "&amp;", "&lt;",
    "&quot;",   "&",         "<!--",    "-->", "->",           "<?",   "?>",       "<a>",   "</a>",
    "<Window>", "</Window>", "x=\"1\"", "'",   "\xEF\xBB\xBF", "\xC3", "\xFF\xFE",
};

std::string Utf16(const std::string& ascii, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char ch : ascii) {
        bytes.push_back(bigEndian ? '\0' : ch);
        bytes.push_back(bigEndian ? ch : '\0');
    }
    return bytes;
}

void PlantToken(std::string& data, ByteMutator& mutator)
{
    const char* token = kTokens[mutator.Below(sizeof(kTokens) / sizeof(kTokens[0]))];
    data.insert(mutator.Below(uint32_t(data.size() + 1)), token);
}

// The nodes reachable from node and its siblings, or -1 when a link or a
// string is broken.
long Walk(CMarkupNode node, int depth)
{
    long seen = 0;
    for (; node.IsValid(); node = node.GetSibling()) {
        ++seen;
        const wchar_t* name = node.GetName();
        const wchar_t* value = node.GetValue();
        if (name == nullptr || value == nullptr) return -1;
        volatile size_t touch = wcslen(name) + wcslen(value);
        (void)touch;
        const int count = node.GetAttributeCount();
        if (count < 0 || count > 64 || (count > 0) != node.HasAttributes()) return -1;
        for (int i = 0; i < count; ++i) {
            const wchar_t* attribute = node.GetAttributeName(i);
            touch = wcslen(attribute) + wcslen(node.GetAttributeValue(i));
            if (!node.HasAttribute(attribute)) return -1;
            wchar_t buffer[16];
            if (!node.GetAttributeValue(i, buffer, 16)) return -1;
        }
        if (wcscmp(node.GetAttributeName(count), L"") != 0) return -1;
        node.GetAttributeValue(L"name");
        if (node.HasChildren()) {
            CMarkupNode child = node.GetChild();
            if (wcscmp(name, child.GetParent().GetName()) != 0) return -1;
            if (depth > int(CMarkup::MAX_NESTING_DEPTH) + 2) return -1;
            const long below = Walk(child, depth + 1);
            if (below < 0) return -1;
            seen += below;
        }
    }
    return seen;
}

bool Check(const std::string& data, int encoding, bool& loaded)
{
    // An exact-size heap copy: reading past it leaves the block.
    BYTE* copy = static_cast<BYTE*>(malloc(data.empty() ? 1 : data.size()));
    if (copy == nullptr) return false;
    if (!data.empty()) memcpy(copy, data.data(), data.size());
    bool sound;
    {
        CMarkup xml;
        loaded = xml.LoadFromMem(copy, DWORD(data.size()), encoding);
        if (loaded != xml.IsValid()) {
            sound = false;
        } else if (loaded) {
            const ULONG elements = xml.GetElementCount();
            sound = Walk(xml.GetRoot(), 0) == long(elements ? elements - 1 : 0);
        } else {
            wchar_t message[100] = {};
            xml.GetLastErrorMessage(message, 99);
            sound = !xml.GetRoot().IsValid() && xml.GetElementCount() == 0 && message[0] != L'\0';
        }
    }
    free(copy);
    return sound;
}

bool HeapsValid()
{
    HANDLE heaps[64];
    const DWORD n = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < n && i < 64; ++i)
        if (!HeapValidate(heaps[i], 0, nullptr)) return false;
    return true;
}

}  // namespace

VOZEROR_BENCH(MarkupFuzz)
{
    const uint32_t kInputs = 200000;
    std::string skin;
    if (!TestSupport::ReadWholeFile(TestSupport::SkinSourceFile("DlgMain.xml"), skin)) {
        std::printf("the launcher's skin document is missing\n");
        Bench::Report("markup_fuzz_inputs", 0);
        Bench::Report("markup_fuzz_failures", 1);
        return;
    }
    const std::string small =
        "<?xml version=\"1.0\"?><!-- c --><W a=\"x&amp;y\" b='2'><F id=\"0\"/><L>t&lt;&#65;&#x42;</L></W>";
    const std::string seeds[] = {skin, small, Utf16(small, false), Utf16(small, true)};
    const int encodings[] = {SkinUI::XMLFILE_ENCODING_UTF8, SkinUI::XMLFILE_ENCODING_UTF8,
                             SkinUI::XMLFILE_ENCODING_UNICODE, SkinUI::XMLFILE_ENCODING_UNICODE};
    uint32_t failures = 0, loaded = 0;
    const double start = Bench::Now();
    for (uint32_t i = 1; i <= kInputs; ++i) {
        ByteMutator mutator(0x3A11C0DEu + i * 2654435761u);
        const uint32_t seed = i % 8 == 0 ? 0 : 1 + mutator.Below(3);
        std::string data = seeds[seed];
        const uint32_t tokens = mutator.Below(4);
        for (uint32_t t = 0; t < tokens; ++t) PlantToken(data, mutator);
        mutator.Mutate(data);
        int encoding = encodings[seed];
        if (mutator.Below(16) == 0) encoding = SkinUI::XMLFILE_ENCODING_ANSI;
        bool ok = false;
        if (!Check(data, encoding, ok)) {
            ++failures;
            std::printf("invariant broken by input %u\n", i);
        }
        if (ok) ++loaded;
        if (i % 1000 == 0 && !HeapsValid()) {
            ++failures;
            std::printf("heap damaged by input %u or before\n", i);
        }
    }
    Bench::Report("markup_fuzz_inputs", kInputs);
    Bench::Report("markup_fuzz_failures", failures);
    Bench::Report("markup_fuzz_loaded", loaded);
    Bench::Report("markup_fuzz_seconds", Bench::Now() - start);
}
