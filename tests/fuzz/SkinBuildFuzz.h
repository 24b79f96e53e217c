#pragma once
// Skin mutations for the dialog builder: the launcher's skin with attribute
// values replaced by odd numbers, lists, colours, draw strings and inline
// text markup, with elements inserted (includes, defaults, styles, unknown
// and deeply nested elements) and, now and then, raw character damage. The
// pools hold hostile shapes too: long zero-width runs, texts naming hundreds
// of fonts or nesting tags thousands deep, include values longer than the
// builder reads, and a document that includes itself deep inside. Each
// input is built against a real paint manager on a hidden window, the tree
// is attached, walked and painted into a DIB section, and the heaps are
// validated. Shared by the fuzz test and the fuzz benchmark.
//
// Sections: random source, value pools, mutation, one run.

#include "skinui/control/Container.h"
#include "skinui/control/Control.h"
#include "skinui/core/PaintManager.h"
#include "skinui/markup/DialogBuilder.h"
#include "tests/markup/SkinPackageWriter.h"
#include "tests/support/ByteMutator.h"
#include "tests/support/DibSurface.h"
#include "tests/support/PaintManagerWindow.h"

#include <windows.h>

#include <string>
#include <vector>

namespace SkinFuzz {

// ---- Random source: the shared deterministic mutator's generator -------------
typedef TestSupport::ByteMutator Random;

// ---- Value pools -------------------------------------------------------------------
// Long hostile shapes, made once: a run of zero-width characters, a text
// naming many distinct fonts, tags nested far deeper than any text needs,
// and include values longer than the builder reads.
inline const std::wstring& HostileText(int which)
{
    static const std::wstring kTexts[] = {
        std::wstring(20000, L'\x200B'),
        [] {
            std::wstring t;
            for (int i = 0; i < 400; ++i)
                t += L"{f Fuzz" + std::to_wstring(i) + L" " + std::to_wstring(8 + i % 9) + L"}x{/f}";
            return t;
        }(),
        [] {
            std::wstring t;
            for (int i = 0; i < 2000; ++i) t += L"{b}{f 0}{c #FF00FF}{p 1}{y -3}a\n";
            return t;
        }(),
        L"<Include count=\"" + std::wstring(499, L'0') + L"2\" source=\"part.xml\"/>",
        L"<Include source=\"part.xml" + std::wstring(600, L' ') + L"\"/>",
        L"<Include source=\"deep.xml\" count=\"2\"/>",
    };
    return kTexts[which];
}

inline const wchar_t* const* ValuePool(size_t& count)
{
    static const wchar_t* const kValues[] = {
        // numbers, lists, colours, bools
        L"",
        L"0",
        L"-1",
        L"2147483647",
        L"-2147483648",
        L"99999999999999999999",
        L"  12x",
        L"+7",
        L"0x10",
        L"1,2",
        L"1,2,3",
        L"1,2,3,4,5,6",
        L",,,,",
        L"-5,-5,-5,-5",
        L"536",
        L"9999,9999",
        L"1 2 3 4",
        L"1;2",
        L"#",
        L"#FF",
        L"#FFFFFFFFFF",
        L"#GG0000",
        L"FF00FF00",
        L"#-1",
        L"true",
        L"TRUE",
        L"false",
        L"yes",
        L"0.5,0.25,1,1",
        L"1e308,1e308",
        L"nan",
        // draw strings
        L"file='bg.png'",
        L"file='' source='0,0,10,10'",
        L"file='x.png' corner='1,2,3,4' mask='#FFFF00FF'",
        L"file='a.png' dest='-10,-10,99999,99999' fade='300' hole='true' xtiled='true' ytiled='true'",
        L"file='",
        L"file='a.png' source='",
        L"res='12' restype='PNG'",
        L"''''''",
        L"file='a.png' hsl='true'",
        L"file='a.png' align='center' valign='bottom' width='-5' height='99999'",
        // inline text markup
        L"{b}bold{/b}",
        L"{i}{u}{s}nested{/s}{/u}{/i}",
        L"{a http://127.0.0.1/}link{/a}",
        L"{a}{a}{a}",
        L"{c #FF0000}red{/c}",
        L"{c}",
        L"{f 1}big{/f}",
        L"{f 99999}",
        L"{n}{n}{p}{p}",
        L"{x 10}{y -5}",
        L"{i bg.png}",
        L"{i}",
        L"{r 1 2 3}",
        L"{{{{",
        L"}}}}",
        L"{/b}{/i}{/u}",
        L"<b>html</b>",
        L"&lt;&lt;",
        L"{u}&lt;&lt;返回{/u}",
        L"请选择需要恢复的手机类型",
        HostileText(0).c_str(),
        HostileText(1).c_str(),
        HostileText(2).c_str(),
    };
    count = sizeof(kValues) / sizeof(kValues[0]);
    return kValues;
}

inline const wchar_t* const* ElementPool(size_t& count)
{
    static const wchar_t* const kElements[] = {
        L"<Include source=\"part.xml\" count=\"3\"/>",
        L"<Include source=\"missing.xml\"/>",
        L"<Include source=\"part.xml\" count=\"-2\"/>",
        L"<Include/>",
        L"<Include source=\"&lt;Window&gt;&lt;Label text=&quot;x&quot;/&gt;&lt;/Window&gt;\"/>",
        L"<Default name=\"Button\" value=\"text=&quot;d&quot; bkcolor=&quot;#FF00FF00&quot;\"/>",
        L"<Default name=\"Label\" value=\"text=&quot;unclosed\"/>",
        L"<Style name=\"s\" value=\"style=&quot;s&quot;\"/>",
        L"<Image name=\"missing.png\" mask=\"#FFFF00FF\"/>",
        L"<Font id=\"5\" name=\"\" size=\"-9\"/>",
        L"<Font id=\"0\" name=\"Arial\" size=\"99999\" default=\"true\"/>",
        L"<Lable><Button/></Lable>",
        L"<Label><Label/></Label>",
        L"<Container><Control/><Text text=\"{a x}y{/a}\"/></Container>",
        L"<HorizontalLayout><VerticalLayout><HorizontalLayout><Progress value=\"500\" min=\"9\" max=\"1\"/>"
        L"</HorizontalLayout></VerticalLayout></HorizontalLayout>",
        L"<Button style=\"s\"/>",
        L"<Text showhtml=\"true\" text=\"{a 1}{/a}{a 2}{/a}\"/>",
        HostileText(3).c_str(),
        HostileText(4).c_str(),
        HostileText(5).c_str(),
    };
    count = sizeof(kElements) / sizeof(kElements[0]);
    return kElements;
}

// ---- Mutation --------------------------------------------------------------------------
// A pool value as an attribute value: '<' and '"' escaped, '&' left as
// written so that entities in the pool stay entities.
inline std::wstring Escaped(const wchar_t* value)
{
    std::wstring out;
    for (; *value != L'\0'; ++value) {
        if (*value == L'<')
            out += L"&lt;";
        else if (*value == L'"')
            out += L"&quot;";
        else
            out += *value;
    }
    return out;
}

inline std::wstring Mutate(const std::wstring& seed, Random& rnd)
{
    std::wstring text = seed;
    size_t nValues = 0, nElements = 0;
    const wchar_t* const* values = ValuePool(nValues);
    const wchar_t* const* elements = ElementPool(nElements);
    const int steps = 1 + (int)rnd.Below(6);
    for (int s = 0; s < steps; ++s) {
        switch (rnd.Below(10)) {
        case 0:
        case 1:
        case 2:
        case 3: {  // replace one attribute value
            std::vector<size_t> starts;
            for (size_t p = text.find(L"=\""); p != std::wstring::npos; p = text.find(L"=\"", p + 2))
                starts.push_back(p + 2);
            if (starts.empty()) break;
            const size_t start = starts[rnd.Below((UINT)starts.size())];
            const size_t end = text.find(L'"', start);
            if (end == std::wstring::npos) break;
            text.replace(start, end - start, Escaped(values[rnd.Below((UINT)nValues)]));
            break;
        }
        case 4:
        case 5: {  // insert an element after some tag end
            std::vector<size_t> ends;
            for (size_t p = text.find(L'>'); p != std::wstring::npos; p = text.find(L'>', p + 1))
                ends.push_back(p + 1);
            if (ends.size() < 3) break;
            const size_t at = ends[1 + rnd.Below((UINT)ends.size() - 2)];
            text.insert(at, elements[rnd.Below((UINT)nElements)]);
            break;
        }
        case 6: {  // add an attribute to some element
            std::vector<size_t> tags;
            for (size_t p = text.find(L"<"); p != std::wstring::npos; p = text.find(L"<", p + 1)) {
                if (p + 1 < text.size() && iswalpha(text[p + 1])) tags.push_back(p);
            }
            if (tags.empty()) break;
            static const wchar_t* const kNames[] = {
                L"text",     L"pos",         L"bkimage", L"normalimage", L"font",  L"style",
                L"visible",  L"float",       L"width",   L"padding",     L"value", L"max",
                L"showhtml", L"textpadding", L"align",   L"bordersize",  L"name",
            };
            size_t p = tags[rnd.Below((UINT)tags.size())] + 1;
            while (p < text.size() && iswalnum(text[p])) ++p;
            text.insert(p,
                        std::wstring(L" ") + kNames[rnd.Below(sizeof(kNames) / sizeof(kNames[0]))] + L"=\"" +
                            Escaped(values[rnd.Below((UINT)nValues)]) + L"\"");
            break;
        }
        case 7: {  // wrap the body in deep nesting
            const int depth = (int)rnd.Below(300);
            const size_t at = text.find(L"<VerticalLayout");
            const size_t close = text.rfind(L"</Window>");
            if (at == std::wstring::npos || close == std::wstring::npos || close < at) break;
            std::wstring open, shut;
            for (int i = 0; i < depth; ++i) {
                open += L"<HorizontalLayout>";
                shut += L"</HorizontalLayout>";
            }
            text.insert(close, shut);
            text.insert(at, open);
            break;
        }
        case 8: {  // raw damage
            if (text.empty()) break;
            const size_t pos = rnd.Below((UINT)text.size());
            static const wchar_t kChars[] = L"<>\"/=&;{} \x0001\xFFFF\xD800";
            text[pos] = kChars[rnd.Below((UINT)(sizeof(kChars) / sizeof(kChars[0]) - 1))];
            break;
        }
        default: {  // drop a range
            if (text.empty()) break;
            const size_t pos = rnd.Below((UINT)text.size());
            text.erase(pos, 1 + rnd.Below(80));
            break;
        }
        }
    }
    return text;
}

// ---- One run -------------------------------------------------------------------------------
inline std::string SkinImage(const char* name)
{
    std::string bytes;
    TestSupport::ReadWholeFile(TestSupport::SkinSourceFile(name), bytes);
    return bytes;
}

inline std::wstring SelfIncludingDocument(const wchar_t* name, int depth)
{
    std::wstring open, shut;
    for (int i = 0; i < depth; ++i) {
        open += L"<VerticalLayout>";
        shut += L"</VerticalLayout>";
    }
    return L"<Window>" + open + L"<Include source=\"" + name + L"\"/>" + shut + L"</Window>";
}

inline void UsePackage()
{
    static const std::string package = SkinTest::Package({
        {"DlgMain.xml", SkinTest::LauncherSkinBytes()},
        {"bg.png", SkinImage("bg.png")},
        {"logo.png", SkinImage("logo.png")},
        {"btn_close_1.png", SkinImage("btn_close_1.png")},
        {"computer_un_1.png", SkinImage("computer_un_1.png")},
        {"install_b.png", SkinImage("install_b.png")},
        {"install_f.png", SkinImage("install_f.png")},
        {"part.xml",
         SkinTest::Utf8(
             L"<Window><Label name=\"part_a\" text=\"{b}a{/b}\"/><Button name=\"part_b\"/></Window>")},
        // Includes itself inside 200 layouts: a tree without end, which the
        // builder's depth bound refuses.
        {"deep.xml", SkinTest::Utf8(SelfIncludingDocument(L"deep.xml", 200))},
    });
    SkinUI::CPaintManagerUI::SetResourceZip((LPVOID)package.data(), (unsigned int)package.size());
}

inline bool HeapsValid()
{
    HANDLE heaps[64];
    const DWORD n = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < n && i < 64; ++i) {
        if (!HeapValidate(heaps[i], 0, nullptr)) return false;
    }
    return true;
}

// Checks the parent links of an attached tree and that every named control
// can be found by name; returns the number of controls, or -1 on a broken link.
inline int CheckTree(SkinUI::CControlUI* control, SkinUI::CControlUI* parent,
                     SkinUI::CPaintManagerUI& manager)
{
    if (control->GetParent() != parent || control->GetManager() != &manager) return -1;
    const SkinUI::CUIString name = control->GetName();
    if (!name.IsEmpty() && manager.FindControl(name) == nullptr) return -1;
    int count = 1;
    SkinUI::IContainerUI* items = static_cast<SkinUI::IContainerUI*>(control->GetInterface(L"IContainer"));
    if (items == nullptr) return count;
    for (int i = 0; i < items->GetCount(); ++i) {
        const int below = CheckTree(items->GetItemAt(i), control, manager);
        if (below < 0) return -1;
        count += below;
    }
    return count;
}

struct Outcome
{
    bool built = false;
    bool failed = false;
    int controls = 0;
};

// Builds one skin text, attaches it and, with a surface, paints it there;
// failed means a broken tree.
inline Outcome RunOne(const std::wstring& skin, HWND hWnd, TestSupport::DibSurface* surface)
{
    Outcome outcome;
    SkinUI::CPaintManagerUI manager;
    manager.Init(hWnd);
    SkinUI::CDialogBuilder builder;
    SkinUI::CControlUI* root = builder.Create(skin.c_str(), nullptr, nullptr, &manager, nullptr);
    if (root == nullptr) return outcome;
    outcome.built = true;
    if (!manager.AttachDialog(root)) {
        delete root;
        outcome.failed = true;
        return outcome;
    }
    outcome.controls = CheckTree(root, nullptr, manager);
    outcome.failed = outcome.controls < 0;
    if (outcome.failed || surface == nullptr) return outcome;

    // Lay the tree out over the window's area and paint it: draw strings,
    // images from the package and inline text markup are read here.
    const RECT rcWindow = {0, 0, surface->Width(), surface->Height()};
    root->SetPos(rcWindow, false);
    root->DoPaint(surface->GetDC(), rcWindow);
    return outcome;
}

}  // namespace SkinFuzz
