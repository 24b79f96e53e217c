#include "skinui/render/RenderEngine.h"

#include "skinui/core/PaintManager.h"
#include "tests/support/DibSurface.h"
#include "tests/support/PaintManagerWindow.h"
#include "tests/support/PixelScan.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using SkinUI::CPaintManagerUI;
using SkinUI::CRenderEngine;
using SkinUI::CUIString;
using TestSupport::DibSurface;
using TestSupport::Not;
using namespace TestSupport::Colors;

namespace {

// Inline-markup text measured and drawn with the manager's real default
// font, whatever font the machine has: the expectations are widths from
// GetTextExtentPoint32 of the same font, line heights from its metrics, and
// colours.
class HtmlTextTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_window.IsValid());
        ASSERT_TRUE(m_surface.IsValid());
        m_surface.Clear(kWhite);
    }

    CPaintManagerUI* Manager() { return m_window.Manager(); }
    HDC DC() const { return m_surface.GetDC(); }

    int Extent(LPCTSTR text, HFONT hFont = nullptr)
    {
        HGDIOBJ hOld = ::SelectObject(DC(), hFont != nullptr ? hFont : DefaultFont());
        SIZE size = {0, 0};
        ::GetTextExtentPoint32W(DC(), text, static_cast<int>(wcslen(text)), &size);
        ::SelectObject(DC(), hOld);
        return size.cx;
    }
    HFONT DefaultFont() { return Manager()->GetDefaultFontInfo()->hFont; }
    int LineHeight()
    {
        HGDIOBJ hOld = ::SelectObject(DC(), DefaultFont());
        TEXTMETRICW tm = {};
        ::GetTextMetricsW(DC(), &tm);
        ::SelectObject(DC(), hOld);
        return tm.tmHeight + tm.tmExternalLeading;
    }

    // The size DT_CALCRECT gives in a rectangle from (0, 0).
    SIZE Measure(LPCTSTR markup, UINT style = DT_SINGLELINE, int width = 9999, int height = 9999)
    {
        RECT rc = {0, 0, width, height};
        int links = 0;
        CRenderEngine::DrawHtmlText(DC(), Manager(), rc, markup, kBlack, nullptr, nullptr, links,
                                    style | DT_CALCRECT);
        SIZE size = {rc.right - rc.left, rc.bottom - rc.top};
        return size;
    }

    void Draw(LPCTSTR markup, RECT rc, UINT style = DT_SINGLELINE, DWORD color = kBlack)
    {
        int links = 0;
        CRenderEngine::DrawHtmlText(DC(), Manager(), rc, markup, color, nullptr, nullptr, links, style);
    }

    RECT Ink() const { return TestSupport::BoundsOf(m_surface, Not(kWhite)); }

    // The most ink pixels any one row has: an underline makes a row nearly as
    // long as the text.
    int LongestInkRow() const
    {
        int best = 0;
        for (int y = 0; y < m_surface.Height(); ++y) {
            RECT row = {0, y, m_surface.Width(), y + 1};
            best = (std::max)(best, TestSupport::CountIn(m_surface, row, Not(kWhite)));
        }
        return best;
    }

    TestSupport::PaintManagerWindow m_window;
    DibSurface m_surface{320, 160};
};

TEST_F(HtmlTextTest, ReturnButtonTextIsTheUnderlinedDefaultFontCentred)
{
    // A control font of its own plays no part in inline-markup text.
    ASSERT_NE(nullptr, Manager()->AddFont(0, L"", 30, true, false, false));
    const int width = Extent(L"<<返回");
    EXPECT_NEAR(width, Measure(L"{u}<<返回{/u}").cx, 1);
    EXPECT_EQ(LineHeight(), Measure(L"{u}<<返回{/u}").cy);

    RECT rc = {10, 5, 90, 35};
    int links = 0;
    CRenderEngine::DrawHtmlText(DC(), Manager(), rc, L"{u}<<返回{/u}", kBlack, nullptr, nullptr, links,
                                DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    const int measured = Measure(L"{u}<<返回{/u}").cx;
    EXPECT_EQ(10 + 80 / 2 - measured / 2, rc.left);
    EXPECT_EQ(rc.left + measured, rc.right);
    EXPECT_EQ(5 + 30 / 2 - LineHeight() / 2, rc.top);

    const RECT ink = Ink();
    ASSERT_FALSE(::IsRectEmpty(&ink));
    EXPECT_NEAR(50, (ink.left + ink.right) / 2, 3);
    EXPECT_NEAR(20, (ink.top + ink.bottom) / 2, 4);
    EXPECT_GE(LongestInkRow(), width * 8 / 10) << "underlined";

    m_surface.Clear(kWhite);
    rc = {10, 5, 90, 35};
    CRenderEngine::DrawHtmlText(DC(), Manager(), rc, L"<<返回", kBlack, nullptr, nullptr, links,
                                DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    EXPECT_LT(LongestInkRow(), width * 8 / 10) << "the same text without {u}";
}

TEST_F(HtmlTextTest, AlignmentMovesTheText)
{
    const int cx = Extent(L"MMMM");
    const int lh = LineHeight();
    // left: the rectangle after the call, from (20, 10, 220, 110)
    const std::tuple<const char*, LPCTSTR, UINT, int, int> cases[] = {
        {"left top", L"MMMM", DT_SINGLELINE, 20, 10},
        {"centre", L"MMMM", DT_SINGLELINE | DT_CENTER, 20 + 100 - cx / 2, 10},
        {"right", L"MMMM", DT_SINGLELINE | DT_RIGHT, 220 - cx, 10},
        {"vertical centre", L"MMMM", DT_SINGLELINE | DT_VCENTER, 20, 10 + 50 - lh / 2},
        {"bottom", L"MMMM", DT_SINGLELINE | DT_BOTTOM, 20, 110 - lh},
        {"vertical centre of two lines", L"MMMM{n}MMMM", DT_VCENTER, 20, 10 + 50 - lh},
    };
    for (const auto& [name, markup, style, left, top] : cases) {
        m_surface.Clear(kWhite);
        RECT rc = {20, 10, 220, 110};
        int links = 0;
        CRenderEngine::DrawHtmlText(DC(), Manager(), rc, markup, kBlack, nullptr, nullptr, links, style);
        EXPECT_EQ(left, rc.left) << name;
        EXPECT_EQ(top, rc.top) << name;
        const RECT ink = Ink();
        ASSERT_FALSE(::IsRectEmpty(&ink)) << name;
        EXPECT_GE(ink.left, left) << name;
        EXPECT_LE(ink.right, left + cx + 1) << name;
        EXPECT_GE(ink.top, top) << name;
    }
    // A centred text that is not single-line centres each run on its own:
    // the short first line lies within the long second one.
    m_surface.Clear(kWhite);
    RECT rc = {20, 10, 220, 110};
    Draw(L"MM{n}MMMM", rc, DT_CENTER);
    const RECT firstLine = {0, 0, 320, 10 + lh};
    const RECT secondLine = {0, 10 + lh, 320, 10 + 2 * lh};
    int firstLeft = 320;
    int secondLeft = 320;
    for (int x = 0; x < 320 && (firstLeft == 320 || secondLeft == 320); ++x) {
        RECT column = {x, firstLine.top, x + 1, firstLine.bottom};
        if (firstLeft == 320 && TestSupport::CountIn(m_surface, column, Not(kWhite)) > 0) {
            firstLeft = x;
        }
        column = {x, secondLine.top, x + 1, secondLine.bottom};
        if (secondLeft == 320 && TestSupport::CountIn(m_surface, column, Not(kWhite)) > 0) {
            secondLeft = x;
        }
    }
    EXPECT_NEAR(120 - Extent(L"MM") / 2, firstLeft, 2);
    EXPECT_NEAR(120 - cx / 2, secondLeft, 2);
}

TEST_F(HtmlTextTest, TagsAndEscapesMeasureAsTheTextTheyStandFor)
{
    // text: what is drawn, in the default font; extra: pixels added by the markup
    const std::tuple<const char*, LPCTSTR, LPCTSTR, int> cases[] = {
        {"a letter not followed by space or bracket is no tag", L"{bold}", L"{bold}", 0},
        {"raw text", L"{r}{b}{/r}", L"{b}", 0},
        {"raw text with angle brackets", L"<r><b>x</r>", L"<b>x", 0},
        {"escaped brace", L"<{>", L"{", 0},
        {"escaped closing brace", L"<}>", L"}", 0},
        {"escaped angle bracket", L"{<}", L"<", 0},
        {"escaped closing angle bracket", L"{>}", L">", 0},
        {"lone brace before a space", L"{ a", L"{ a", 0},
        {"unknown tag is skipped", L"{q}x{/q}", L"x", 0},
        {"x moves the pen", L"{x 10}a", L"a", 10},
        {"spaces after a tag", L"{c #0}  a", L"  a", 0},
        {"empty raw section ends at once", L"{r}{/r}{c #0}a{/c}", L"a", 0},
        {"the return button's text", L"{u}<<返回{/u}", L"<<返回", 0},
    };
    for (const auto& [name, markup, text, extra] : cases) {
        const SIZE size = Measure(markup);
        EXPECT_NEAR(Extent(text) + extra, size.cx, 1) << name;
        EXPECT_EQ(LineHeight(), size.cy) << name;
    }
}

TEST_F(HtmlTextTest, AngleAndCurlyTagsDrawTheSame)
{
    const std::tuple<LPCTSTR, LPCTSTR> cases[] = {
        {L"<b>bold</b>", L"{b}bold{/b}"},
        // The second {b} pushes nothing, so the first {/b} leaves bold.
        {L"{b}{b}x{/b}y{/b}", L"{b}x{/b}y"},
        {L"<u>under</u> line", L"{u}under{/u} line"},
    };
    for (const auto& [first, second] : cases) {
        RECT rc = {0, 0, 320, 40};
        m_surface.Clear(kWhite);
        Draw(first, rc);
        std::vector<DWORD> head;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 320; ++x) head.push_back(m_surface.Pixel(x, y));
        m_surface.Clear(kWhite);
        Draw(second, rc);
        int differing = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 320; ++x) differing += head[y * 320 + x] != m_surface.Pixel(x, y);
        EXPECT_EQ(0, differing) << "markup " << static_cast<int>(wcslen(first));
        const RECT ink = Ink();
        EXPECT_FALSE(::IsRectEmpty(&ink));
    }
}

TEST_F(HtmlTextTest, ColourTags)
{
    auto whitish = [](DWORD p) {
        return TestSupport::Red(p) > 150 && TestSupport::Green(p) > 150 && TestSupport::Blue(p) > 150;
    };
    auto notGrey = [](DWORD p) {
        return abs(TestSupport::Red(p) - TestSupport::Green(p)) > 40 ||
            abs(TestSupport::Red(p) - TestSupport::Blue(p)) > 40;
    };
    auto blueish = [](DWORD p) {
        return TestSupport::Blue(p) > TestSupport::Red(p) + 100 &&
            TestSupport::Blue(p) > TestSupport::Green(p) + 100;
    };
    auto notBlue = [](DWORD p) {
        return TestSupport::Red(p) > TestSupport::Blue(p) + 40 ||
            TestSupport::Green(p) > TestSupport::Blue(p) + 40;
    };
    auto notRed = [](DWORD p) {
        return TestSupport::Green(p) > TestSupport::Red(p) + 40 ||
            TestSupport::Blue(p) > TestSupport::Red(p) + 40;
    };
    const std::tuple<const char*, LPCTSTR, DWORD, DWORD, TestSupport::PixelTest, TestSupport::PixelTest>
        cases[] = {
            {"{c #FF0000} draws red", L"{c #FF0000}MMMM{/c}", kWhite, kBlack, TestSupport::Reddish(120),
             notRed},
            {"{c FF0000} without #", L"{c FF0000}MMMM{/c}", kWhite, kBlack, TestSupport::Reddish(120),
             notRed},
            {"{c #FF0000FF} reads as 0x7FFFFFFF: white", L"{c #FF0000FF}MMMM{/c}", kBlack, kBlack, whitish,
             notGrey},
            {"colour passed in", L"MMMM", kWhite, 0xFF0000FF, blueish, notBlue},
            {"link in the default link colour", L"{a x}MMMM{/a}", kWhite, 0, blueish, notBlue},
            {"link in the colour passed in", L"{a x}MMMM{/a}", kWhite, 0xFFFF0000, TestSupport::Reddish(120),
             notRed},
        };
    for (const auto& [name, markup, background, color, inkTest, wrongTest] : cases) {
        m_surface.Clear(background);
        RECT rc = {0, 0, 320, 40};
        Draw(markup, rc, DT_SINGLELINE, color);
        RECT all = {0, 0, 320, 160};
        EXPECT_GT(TestSupport::CountIn(m_surface, all, inkTest), 10) << name;
        EXPECT_EQ(0, TestSupport::CountIn(m_surface, all, wrongTest)) << name;
    }
    // After {/c} the colour passed in is back.
    m_surface.Clear(kWhite);
    RECT rc = {0, 0, 320, 40};
    Draw(L"{c #FF0000}MM{/c}MM", rc, DT_SINGLELINE, 0xFF0000FF);
    const int split = Extent(L"MM");
    RECT left = {0, 0, split, 40};
    RECT right = {split + 1, 0, 320, 40};
    EXPECT_GT(TestSupport::CountIn(m_surface, left, TestSupport::Reddish(120)), 5);
    EXPECT_GT(TestSupport::CountIn(m_surface, right, blueish), 5);
    EXPECT_EQ(0, TestSupport::CountIn(m_surface, right, TestSupport::Reddish(60)));
}

TEST_F(HtmlTextTest, LinkRectangles)
{
    const int lh = LineHeight();
    // One line.
    {
        RECT links[4] = {};
        CUIString texts[4];
        int count = 4;
        RECT rc = {0, 0, 300, 100};
        CRenderEngine::DrawHtmlText(DC(), Manager(), rc, L"go {a http://a}here{/a} now", kBlack, links, texts,
                                    count, 0);
        ASSERT_EQ(1, count);
        EXPECT_NEAR(Extent(L"go "), links[0].left, 1);
        EXPECT_NEAR(Extent(L"go here"), links[0].right, 1);
        EXPECT_EQ(0, links[0].top);
        EXPECT_EQ(lh, links[0].bottom);
        EXPECT_STREQ(L"http://a", texts[0].GetData());
    }
    // A link that wraps: two rectangles with the same text.
    {
        RECT links[4] = {};
        CUIString texts[4];
        int count = 4;
        const int width = Extent(L"aaaa b") + 1;
        RECT rc = {0, 0, width, 100};
        CRenderEngine::DrawHtmlText(DC(), Manager(), rc, L"{a L}aaaa bbbb{/a}", kBlack, links, texts, count,
                                    DT_WORDBREAK);
        ASSERT_EQ(2, count);
        EXPECT_EQ(0, links[0].left);
        EXPECT_EQ(0, links[0].top);
        EXPECT_NEAR(Extent(L"aaaa "), links[0].right, 1);
        EXPECT_EQ(lh, links[0].bottom);
        EXPECT_EQ(0, links[1].left);
        EXPECT_EQ(lh, links[1].top);
        EXPECT_NEAR(Extent(L"bbbb"), links[1].right, 1);
        EXPECT_EQ(2 * lh, links[1].bottom);
        EXPECT_STREQ(L"L", texts[0].GetData());
        EXPECT_STREQ(L"L", texts[1].GetData());
    }
    // More links than slots: as many rectangles as slots.
    {
        RECT links[2] = {};
        CUIString texts[2];
        int count = 2;
        RECT rc = {0, 0, 300, 100};
        CRenderEngine::DrawHtmlText(DC(), Manager(), rc, L"{a 1}x{/a} {a 2}y{/a} {a 3}z{/a}", kBlack, links,
                                    texts, count, 0);
        ASSERT_EQ(2, count);
        EXPECT_STREQ(L"1", texts[0].GetData());
        EXPECT_STREQ(L"2", texts[1].GetData());
        EXPECT_LT(links[0].right, links[1].left);
    }
    // No slots at all.
    {
        int count = 0;
        RECT rc = {0, 0, 300, 100};
        CRenderEngine::DrawHtmlText(DC(), Manager(), rc, L"{a 1}x{/a}", kBlack, nullptr, nullptr, count, 0);
        EXPECT_EQ(0, count);
    }
}

TEST_F(HtmlTextTest, LineBreaking)
{
    const int lh = LineHeight();
    const int cjk = Extent(L"返");
    const std::tuple<const char*, LPCTSTR, UINT, int, int> cases[] = {
        {"word break after the space", L"abc def", DT_WORDBREAK, Extent(L"abc d") + 1, 2},
        {"CJK breaks between any two characters", L"返回返回返回", DT_WORDBREAK, Extent(L"返回") + cjk / 2,
         3},
        {"{n} breaks the line", L"ab{n}cd", 0, 9999, 2},
        {"{n} is ignored on a single line", L"ab{n}cd", DT_SINGLELINE, 9999, 1},
        {"a line feed breaks the line", L"ab\ncd", 0, 9999, 2},
        {"too narrow: one character per line", L"abc", 0, 1, 3},
    };
    for (const auto& [name, markup, style, width, lines] : cases) {
        EXPECT_EQ(lines * lh, Measure(markup, style, width).cy) << name;
    }
    EXPECT_NEAR(Extent(L"abcd"), Measure(L"ab{n}cd", DT_SINGLELINE).cx, 1);
    EXPECT_NEAR(Extent(L"ab"), Measure(L"ab\ncd", DT_SINGLELINE).cx, 1);

    // Drawn: the word after the space starts the second line.
    RECT rc = {0, 0, Extent(L"abc d") + 1, 100};
    Draw(L"abc def", rc, DT_WORDBREAK);
    RECT firstLine = {0, 0, 320, lh};
    RECT secondLine = {0, lh, 320, 2 * lh};
    const RECT ink = Ink();
    EXPECT_LE(ink.right, rc.right);
    RECT past = {Extent(L"abc") + 1, 0, 320, lh};
    EXPECT_EQ(0, TestSupport::CountIn(m_surface, past, Not(kWhite))) << "nothing after abc";
    EXPECT_GT(TestSupport::CountIn(m_surface, firstLine, Not(kWhite)), 0);
    EXPECT_GT(TestSupport::CountIn(m_surface, secondLine, Not(kWhite)), 0);

    // Single line with a line feed: only the first line is drawn.
    m_surface.Clear(kWhite);
    rc = {0, 0, 300, 100};
    Draw(L"ab\ncd", rc, DT_SINGLELINE);
    RECT below = {0, lh, 320, 160};
    EXPECT_EQ(0, TestSupport::CountIn(m_surface, below, Not(kWhite)));
}

TEST_F(HtmlTextTest, LineHeightTags)
{
    const int lh = LineHeight();
    EXPECT_EQ(lh + 10, Measure(L"{p 10}x{/p}", 0).cy);
    EXPECT_EQ(40, Measure(L"{y 40}x", 0).cy);
    // A paragraph after text starts a new line with its spacing.
    EXPECT_EQ(lh + lh + 10, Measure(L"x{p 10}y", 0).cy);
    // A bigger font raises the line.
    ASSERT_NE(nullptr, Manager()->AddFont(1, L"", 28, false, false, false));
    const int big = Manager()->GetFontInfo(1)->tm.tmHeight;
    EXPECT_GT(Measure(L"a{f 1}b{/f}c").cy, lh);
    EXPECT_GE(Measure(L"a{f 1}b{/f}c").cy, big);
    EXPECT_GT(Measure(L"{f 1}b{/f}").cx, Extent(L"b"));
}

TEST_F(HtmlTextTest, MeasuredWidthNeverExceedsTheRectangle)
{
    const std::tuple<LPCTSTR, UINT> cases[] = {
        {L"{x 500}a", DT_SINGLELINE},
        {L"a long text that is wider than the rectangle", DT_SINGLELINE},
        {L"a long text that is wider than the rectangle", DT_WORDBREAK},
        {L"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", DT_SINGLELINE | DT_END_ELLIPSIS},
    };
    for (const auto& [markup, style] : cases) {
        EXPECT_LE(Measure(markup, style, 100).cx, 100);
    }
}

TEST_F(HtmlTextTest, HostileTextEndsWithABoundedResult)
{
    // Every line takes at least one character, so narrow rectangles, lines
    // of no height and huge pen moves all come to an end. Tags nested far
    // deeper than any text needs push nothing past the stacks' depth.
    std::wstring nested;
    for (int i = 0; i < 5000; ++i) nested += L"{f 0}{c #FF0000}{p 1}";
    for (int i = 0; i < 200; ++i) nested += L"{y -9}ab\n";
    const std::tuple<const char*, LPCTSTR, UINT, int> cases[] = {
        {"one pixel wide", L"abcdefgh", DT_WORDBREAK, 1},
        {"one pixel wide with ellipsis", L"abcdefgh", DT_END_ELLIPSIS, 1},
        {"lines without height", L"{y 0}abc{n}{y 0}def", DT_WORDBREAK, 1},
        {"huge pen moves", L"{x 2147483647}a{x 2147483647}b{x -2147483647}c", 0, 100},
        {"huge line heights", L"{y 2147483647}a{n}{y 2147483647}b{n}{p 2147483647}c", 0, 100},
        {"unclosed tags", L"{b{i{u{c #FF0000{a x{f 1{p 3", 0, 100},
        {"closing tags without opening ones", L"{/b}{/i}{/u}{/c}{/a}{/f}{/p}{/s}x", 0, 100},
        {"tag at the very end", L"x{", 0, 100},
        {"closing tag at the very end", L"x{/", 0, 100},
        {"raw text never closed", L"{r}{b}x", 0, 100},
        {"deeply nested tags over many lines", nested.c_str(), DT_WORDBREAK, 100},
    };
    for (const auto& [name, markup, style, width] : cases) {
        const SIZE size = Measure(markup, style, width);
        EXPECT_LE(size.cx, width) << name;
        EXPECT_GE(size.cy, 0) << name;
        m_surface.Clear(kWhite);
        RECT rc = {10, 10, 10 + width, 150};
        const RECT original = rc;
        Draw(markup, rc, style);
        EXPECT_EQ(0, TestSupport::CountOutside(m_surface, original, Not(kWhite))) << name;
    }
}

TEST_F(HtmlTextTest, DrawingStaysInsideTheRectangle)
{
    const std::tuple<const char*, LPCTSTR, UINT> cases[] = {
        {"wrapped", L"a long text that wraps over several lines and more", DT_WORDBREAK},
        {"single line", L"a long text that does not fit in one line", DT_SINGLELINE},
        {"ellipsis", L"a long text that does not fit in one line", DT_SINGLELINE | DT_END_ELLIPSIS},
        {"centred", L"{b}a long text{/b} that does not fit", DT_SINGLELINE | DT_CENTER | DT_VCENTER},
        {"pen moved past the edge", L"ab{x 400}cd{x -800}ef", DT_SINGLELINE},
    };
    for (const auto& [name, markup, style] : cases) {
        m_surface.Clear(kWhite);
        RECT rc = {20, 20, 80, 50};
        const RECT original = rc;
        Draw(markup, rc, style);
        EXPECT_EQ(0, TestSupport::CountOutside(m_surface, original, Not(kWhite))) << name;
        EXPECT_GT(TestSupport::CountIn(m_surface, original, Not(kWhite)), 0) << name;
    }
    // The DC's clip is the rectangle it was before.
    RECT rcClip = {};
    ::GetClipBox(DC(), &rcClip);
    EXPECT_EQ(320, rcClip.right);
    EXPECT_EQ(160, rcClip.bottom);
}

TEST_F(HtmlTextTest, ImagesInText)
{
    HBITMAP hDot = TestSupport::CreateSourceBitmap(8, 8, [](int, int) { return 0xFFFF0000u; });
    ASSERT_NE(nullptr, Manager()->AddImage(L"dot.png", hDot, 8, 8, false));
    HBITMAP hStrip =
        TestSupport::CreateSourceBitmap(16, 8, [](int x, int) { return x < 8 ? 0xFFFF0000u : 0xFF00FF00u; });
    ASSERT_NE(nullptr, Manager()->AddImage(L"strip.png", hStrip, 16, 8, false));
    const int lh = LineHeight();

    EXPECT_EQ(8, Measure(L"{i dot.png}").cx);
    EXPECT_EQ((std::max)(lh, 8), Measure(L"{i dot.png}").cy);
    EXPECT_EQ(8, Measure(L"{i strip.png 2 1}").cx);
    EXPECT_EQ(0, Measure(L"{i missing.png}").cx);
    EXPECT_NEAR(Extent(L"ab") + 8, Measure(L"a{i dot.png}b").cx, 1);
    // An image that does not fit goes to the next line.
    EXPECT_EQ(lh + (std::max)(lh, 8), Measure(L"ab{i dot.png}", 0, Extent(L"ab") + 4).cy);

    const std::tuple<const char*, LPCTSTR, DWORD> cases[] = {
        {"whole image", L"{i dot.png}", 0xFFFF0000},
        {"second of two frames", L"{i strip.png 2 1}", 0xFF00FF00},
        {"first frame for an index out of range", L"{i strip.png 2 5}", 0xFFFF0000},
        {"draw-string form", L"{i file='strip.png' 2 1}", 0xFF00FF00},
    };
    for (const auto& [name, markup, color] : cases) {
        m_surface.Clear(kWhite);
        RECT rc = {10, 10, 200, 60};
        Draw(markup, rc);
        const RECT ink = Ink();
        EXPECT_EQ(10, ink.left) << name;
        EXPECT_EQ(18, ink.right) << name;
        EXPECT_EQ(8, ink.bottom - ink.top) << name;
        // Centred in the line.
        EXPECT_NEAR(10 + (std::max)(lh, 8) / 2, (ink.top + ink.bottom) / 2, 1) << name;
        EXPECT_TRUE(TestSupport::IsNear(m_surface.Pixel(14, ink.top + 4), color, 0)) << name;
    }
}

TEST_F(HtmlTextTest, FontVariantsAreMadeOnceAndReplaceNothing)
{
    ASSERT_NE(nullptr, Manager()->AddFont(1, L"", 14, false, false, false));
    HFONT hFont1 = Manager()->GetFont(1);
    const DWORD before = Manager()->GetCustomFontCount();
    RECT rc = {0, 0, 300, 40};
    Draw(L"{b}bold{/b} {i}italic{/i} {u}under{/u} {f 1}{b}both{/b}{/f}", rc);
    const DWORD after = Manager()->GetCustomFontCount();
    EXPECT_EQ(before + 4, after);
    Draw(L"{b}bold{/b} {i}italic{/i} {u}under{/u} {f 1}{b}both{/b}{/f}", rc);
    EXPECT_EQ(after, Manager()->GetCustomFontCount());
    EXPECT_EQ(hFont1, Manager()->GetFont(1));
    EXPECT_NE(nullptr,
              Manager()->GetFont(Manager()->GetDefaultFontInfo()->sFontName,
                                 Manager()->GetDefaultFontInfo()->iSize, true, false, false));
    // A named font with size and attributes.
    EXPECT_GT(Measure(L"{f Arial 30 bold underline}M{/f}").cy, LineHeight());
    EXPECT_NE(nullptr, Manager()->GetFont(L"Arial", 30, true, true, false));
}

// Every distinct face and size a text names would be a font kept for the
// window's life; at most kMaxMarkupFonts are made, later ones draw in the
// enclosing font, and the same text drawn again makes none.
TEST_F(HtmlTextTest, FontsMadeForInlineMarkupAreBounded)
{
    const DWORD before = Manager()->GetCustomFontCount();
    std::wstring text;
    for (int i = 0; i < 3 * CRenderEngine::kMaxMarkupFonts; ++i)
        text += L"{f Face" + std::to_wstring(i) + L" 30}M{/f}";
    // Measuring reads every line (drawing stops at the rectangle's bottom).
    Measure(text.c_str(), DT_WORDBREAK, 300);
    const DWORD after = Manager()->GetCustomFontCount();
    EXPECT_EQ(before + CRenderEngine::kMaxMarkupFonts, after);
    Measure(text.c_str(), DT_WORDBREAK, 300);
    EXPECT_EQ(after, Manager()->GetCustomFontCount());
    // A face made before the bound is reached is still found and used; a new
    // one draws in the default font.
    EXPECT_GT(Measure(L"{f Face0 30}M{/f}").cy, LineHeight());
    EXPECT_EQ(Measure(L"{f Unseen 30}M{/f}").cy, LineHeight());
    EXPECT_EQ(after, Manager()->GetCustomFontCount());
}

TEST_F(HtmlTextTest, SelectedTextHasTheSelectedBackground)
{
    const DWORD selected = Manager()->GetDefaultSelectedBkColor();
    RECT rc = {0, 0, 300, 40};
    Draw(L"{s}MMMM{/s} MMMM", rc);
    const int cx = Extent(L"MMMM");
    RECT first = {0, 0, cx, LineHeight()};
    RECT second = {cx + Extent(L" ") + 1, 0, 300, 40};
    EXPECT_GT(TestSupport::CountIn(m_surface, first, TestSupport::Near(selected, 0)), cx);
    EXPECT_EQ(0, TestSupport::CountIn(m_surface, second, TestSupport::Near(selected, 0)));
}

TEST_F(HtmlTextTest, NothingHappensWithoutTextManagerOrRectangle)
{
    const std::tuple<const char*, LPCTSTR, bool, RECT, UINT> cases[] = {
        {"null text", nullptr, true, {0, 0, 100, 40}, 0},
        {"null manager", L"text", false, {0, 0, 100, 40}, 0},
        {"empty rectangle", L"text", true, {10, 10, 10, 40}, 0},
        {"empty rectangle, measuring", L"text", true, {10, 10, 100, 10}, DT_CALCRECT},
    };
    for (const auto& [name, text, bManager, rc, style] : cases) {
        m_surface.Clear(kWhite);
        RECT box = rc;
        RECT links[1] = {};
        CUIString texts[1];
        int count = 1;
        CRenderEngine::DrawHtmlText(DC(), bManager ? Manager() : nullptr, box, text, kBlack, links, texts,
                                    count, style);
        EXPECT_EQ(0, memcmp(&box, &rc, sizeof(RECT))) << name;
        EXPECT_EQ(1, count) << name;
        const RECT ink = Ink();
        EXPECT_TRUE(::IsRectEmpty(&ink)) << name;
    }
}

}  // namespace

// The text a screen reader reads: the same reading of tags, escapes and raw
// sections as the drawing, so that what is read is what is shown.
TEST(HtmlPlainText, ReadsAsTheDrawingShowsIt)
{
    const struct
    {
        const wchar_t* markup;
        const wchar_t* text;
        std::vector<std::wstring> links;
    } cases[] = {
        {L"{a help}Help{/a}", L"Help", {L"Help"}},
        {L"Read {a help}the {b}Help{/b}{/a} or <a faq>FAQ</a>.",
         L"Read the Help or FAQ.",
         {L"the Help", L"FAQ"}},
        {L"{u}<<返回{/u}", L"<<返回", {}},
        {L"{<}b{>} <{>x<}> {/x", L"<b> {x}", {}},
        {L"{r}{b}raw{/r} done", L"{b}raw done", {}},
        {L"one{n}two{p 5}three{/p}four", L"one two three four", {}},
        {L"  {c #FF0000}  red  {/c}\n next ", L"red next", {}},
        {L"{i logo.png 2 1}{f 1}x{/f}{x 10}{y 20}y", L"xy", {}},
        {L"{/a}{a x}unterminated", L"unterminated", {L""}},
        {L"{a", L"{a", {}},
        {L"a {Z} <1> {/", L"a {Z} <1>", {}},
    };
    for (const auto& c : cases) {
        CUIString links[4];
        int nLinks = -1;
        const CUIString text = CRenderEngine::GetHtmlPlainText(c.markup, links, 4, &nLinks);
        EXPECT_STREQ(c.text, text.GetData()) << c.markup;
        ASSERT_EQ(static_cast<int>(c.links.size()), nLinks) << c.markup;
        for (int i = 0; i < nLinks; ++i) EXPECT_STREQ(c.links[i].c_str(), links[i].GetData()) << c.markup;
    }
    EXPECT_STREQ(L"", CRenderEngine::GetHtmlPlainText(nullptr).GetData());
}
