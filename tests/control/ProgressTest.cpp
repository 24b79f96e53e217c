// The progress bar: the filled part it paints (counted in the DIB it painted
// into) and the draw-string modifier it builds, for values across the range
// in both orientations; values outside the range are ignored.

#include "skinui/control/Container.h"
#include "skinui/control/Progress.h"
#include "tests/support/DibSurface.h"
#include "tests/support/ImageWriter.h"
#include "tests/support/PaintManagerWindow.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

using namespace SkinUI;
using TestSupport::DibSurface;

namespace {

const DWORD kFill = 0xFFC00000;

class ProgressTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = new CContainerUI;
        m_bar = new CProgressUI;
        m_root->Add(m_bar);
        ASSERT_TRUE(m_window.Manager()->AttachDialog(m_root));
        RECT rcRoot = {0, 0, 200, 200};
        m_root->SetPos(rcRoot);
    }

    void TearDown() override
    {
        m_window.DestroyManager();
        CPaintManagerUI::SetResourcePath(L"");
    }

    // Paints the bar at its position and counts the columns (horizontal) or
    // rows (vertical) of its rectangle whose middle pixel is the fill colour.
    int FilledLines(DWORD rgb)
    {
        DibSurface surface(200, 200);
        surface.Clear(0);
        RECT rcPaint = {0, 0, 200, 200};
        m_bar->DoPaint(surface.GetDC(), rcPaint);
        const RECT& rc = m_bar->GetPos();
        int n = 0;
        if (m_bar->IsHorizontal()) {
            for (int x = rc.left; x < rc.right; x++)
                if ((surface.Pixel(x, (rc.top + rc.bottom) / 2) & 0xFFFFFF) == rgb) n++;
        } else {
            for (int y = rc.top; y < rc.bottom; y++)
                if ((surface.Pixel((rc.left + rc.right) / 2, y) & 0xFFFFFF) == rgb) n++;
        }
        return n;
    }

    TestSupport::PaintManagerWindow m_window;
    CContainerUI* m_root = nullptr;
    CProgressUI* m_bar = nullptr;
};

struct FillRow
{
    bool horizontal;
    int width, height;
    int min, max, value;
    int filled;            // columns or rows of the fill colour
    const char* modifier;  // stretched foreground image
};

}  // namespace

TEST_F(ProgressTest, FilledPartAcrossTheRangeInBothOrientations)
{
    const FillRow rows[] = {
        {true, 80, 8, 0, 100, 0, 0, "dest='0,0,0,8'"},
        {true, 80, 8, 0, 100, 1, 0, "dest='0,0,0,8'"},
        {true, 80, 8, 0, 100, 30, 24, "dest='0,0,24,8'"},
        {true, 80, 8, 0, 100, 50, 40, "dest='0,0,40,8'"},
        {true, 80, 8, 0, 100, 99, 79, "dest='0,0,79,8'"},
        {true, 80, 8, 0, 100, 100, 80, "dest='0,0,80,8'"},
        {true, 90, 8, -50, 50, 0, 45, "dest='0,0,45,8'"},
        {true, 90, 8, 10, 13, 11, 30, "dest='0,0,30,8'"},
        {false, 10, 100, 0, 100, 0, 0, "dest='0,100,10,100'"},
        {false, 10, 100, 0, 100, 25, 25, "dest='0,75,10,100'"},
        {false, 10, 100, 0, 100, 100, 100, "dest='0,0,10,100'"},
        {false, 10, 90, 0, 7, 2, 26, "dest='0,64,10,90'"},
        {false, 10, 60, -10, -4, -7, 30, "dest='0,30,10,60'"},
    };
    for (const FillRow& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << (r.horizontal ? "hor " : "ver ") << r.min << ".." << r.max << " value " << r.value);
        m_bar->SetHorizontal(r.horizontal);
        m_bar->SetMinValue(INT_MIN);
        m_bar->SetMaxValue(INT_MAX);
        m_bar->SetValue(r.value);
        m_bar->SetMinValue(r.min);
        m_bar->SetMaxValue(r.max);
        ASSERT_EQ(r.value, m_bar->GetValue());
        RECT rc = {30, 40, 30 + r.width, 40 + r.height};
        m_bar->SetPos(rc);

        m_bar->SetForeImage(L"");
        m_bar->SetForeColor(kFill);
        EXPECT_EQ(r.filled, FilledLines(kFill & 0xFFFFFF));
        // The image modifier names the same part relative to the bar.
        m_bar->SetForeColor(0);
        m_bar->SetForeImage(L"file='missing.png'");
        FilledLines(0);
        EXPECT_EQ(CUIString(TestSupport::WideFromAnsi(r.modifier).c_str()), m_bar->GetForeModifier());
    }
}

TEST_F(ProgressTest, UnstretchedForeImageRevealsTheSamePartOfTheImage)
{
    TestSupport::TempFolder folder("vzprogress");
    // Left half green, right half blue, 80 x 8: drawn at the bar's size.
    std::vector<uint8_t> rgba;
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 80; x++) {
            bool left = x < 40;
            uint8_t px[4] = {0, uint8_t(left ? 200 : 0), uint8_t(left ? 0 : 200), 255};
            rgba.insert(rgba.end(), px, px + 4);
        }
    ASSERT_TRUE(
        TestSupport::WriteWholeFile(folder.File("fore.png"), TestSupport::EncodePng(80, 8, rgba, false)));
    CPaintManagerUI::SetResourcePath(TestSupport::WideFromAnsi(folder.Path()).c_str());

    RECT rc = {30, 40, 110, 48};
    m_bar->SetPos(rc);
    m_bar->SetForeImage(L"file='fore.png'");
    m_bar->SetAttribute(L"isstretchfore", L"false");
    m_bar->SetValue(75);
    EXPECT_EQ(40, FilledLines(0x00C800));
    EXPECT_EQ(20, FilledLines(0x0000C8));
    EXPECT_EQ(CUIString(L"dest='0,0,60,8' source='0,0,60,8'"), m_bar->GetForeModifier());

    // Stretched, the whole image is squeezed into the filled part (the
    // column where the halves meet may be blended).
    m_bar->SetStretchForeImage(true);
    m_bar->SetValue(50);
    EXPECT_NEAR(20, FilledLines(0x00C800), 1);
    EXPECT_NEAR(20, FilledLines(0x0000C8), 1);
    EXPECT_EQ(CUIString(L"dest='0,0,40,8'"), m_bar->GetForeModifier());
}

TEST_F(ProgressTest, EmptyRangeIsPaintedAsOneStep)
{
    m_bar->SetMaxValue(0);
    RECT rc = {0, 0, 80, 8};
    m_bar->SetPos(rc);
    m_bar->SetForeColor(kFill);
    EXPECT_EQ(0, FilledLines(kFill & 0xFFFFFF));
    EXPECT_EQ(0, m_bar->GetMinValue());
    EXPECT_EQ(1, m_bar->GetMaxValue());

    m_bar->SetMinValue(5);
    m_bar->SetMaxValue(3);
    EXPECT_EQ(0, FilledLines(kFill & 0xFFFFFF));
    EXPECT_EQ(6, m_bar->GetMaxValue());
    EXPECT_EQ(5, m_bar->GetValue()) << "the value is raised to the minimum";

    m_bar->SetMinValue(INT_MAX);
    m_bar->SetMaxValue(INT_MAX);
    FilledLines(kFill & 0xFFFFFF);
    EXPECT_LT(m_bar->GetMinValue(), m_bar->GetMaxValue());
}

TEST(Progress, ValuesOutsideTheRangeAreIgnored)
{
    CProgressUI bar;
    const std::tuple<int, int> rows[] = {{30, 30}, {101, 30},    {-1, 30},    {100, 100},
                                         {0, 0},   {INT_MAX, 0}, {INT_MIN, 0}};
    for (const auto& [set, expect] : rows) {
        bar.SetValue(set);
        EXPECT_EQ(expect, bar.GetValue()) << "SetValue(" << set << ")";
    }
}

TEST(Progress, AttributesApplyInDocumentOrder)
{
    const std::tuple<std::vector<std::pair<const wchar_t*, const wchar_t*>>, int, int, int, bool, bool>
        rows[] = {
            {{{L"min", L"0"}, {L"max", L"100"}, {L"value", L"30"}}, 0, 100, 30, true, true},
            {{{L"value", L"150"}, {L"max", L"150"}}, 0, 150, 0, true, true},
            {{{L"max", L"150"}, {L"value", L"150"}}, 0, 150, 150, true, true},
            {{{L"MIN", L"-20"}, {L"value", L"-5"}, {L"hor", L"FALSE"}}, -20, 100, -5, false, true},
            {{{L"isstretchfore", L"false"}, {L"hor", L"yes"}}, 0, 100, 0, false, false},
        };
    for (const auto& [attrs, min, max, value, horizontal, stretch] : rows) {
        CProgressUI bar;
        for (const auto& a : attrs) bar.SetAttribute(a.first, a.second);
        EXPECT_EQ(min, bar.GetMinValue());
        EXPECT_EQ(max, bar.GetMaxValue());
        EXPECT_EQ(value, bar.GetValue());
        EXPECT_EQ(horizontal, bar.IsHorizontal());
        EXPECT_EQ(stretch, bar.IsStretchForeImage());
    }
    CProgressUI bar;
    EXPECT_STREQ(L"ProgressUI", bar.GetClass());
    EXPECT_EQ(&bar, bar.GetInterface(L"progress"));
    EXPECT_EQ(UINT(DT_SINGLELINE | DT_CENTER), bar.GetTextStyle());
    EXPECT_EQ(12, bar.GetFixedHeight());
}

TEST(Progress, ShowTextWritesThePercentage)
{
    const std::tuple<int, int, int, const wchar_t*> rows[] = {
        {0, 100, 30, L"30%"},   {0, 3, 1, L"33%"},      {0, 3, 2, L"67%"},
        {-100, 100, 0, L"50%"}, {0, 100, 100, L"100%"}, {5, 5, 5, L"0%"},
    };
    for (const auto& [min, max, value, text] : rows) {
        CProgressUI bar;
        bar.SetShowText(true);
        bar.SetMinValue(min);
        bar.SetMaxValue(max);
        bar.SetValue(value == 0 ? 1 : 0);
        bar.SetValue(value);
        if (min == max) bar.UpdateText();
        EXPECT_EQ(CUIString(text), bar.GetText()) << min << ".." << max << " value " << value;
    }
    CProgressUI bar;
    bar.SetShowText(true);
    bar.SetValue(40);
    EXPECT_EQ(CUIString(L"40%"), bar.GetText());
    bar.SetShowText(false);
    EXPECT_TRUE(bar.GetText().IsEmpty());
    bar.SetValue(50);
    EXPECT_TRUE(bar.GetText().IsEmpty());
}

TEST_F(ProgressTest, ForeImageFollowsTheValueAtOtherScales)
{
    // The modifier is handed over in design pixels and scaled again when the
    // draw string is read, so the painted part can differ from the exact
    // one by the rounding of one pixel, never more.
    TestSupport::TempFolder folder("vzprogressdpi");
    const std::string png = TestSupport::EncodePng(8, 8, TestSupport::SolidRgba(8, 8, 0xFF00C800), false);
    for (const char* name : {"fill.png", "fill@125.png", "fill@150.png"})
        ASSERT_TRUE(TestSupport::WriteWholeFile(folder.File(name), png));
    CPaintManagerUI::SetResourcePath(TestSupport::WideFromAnsi(folder.Path()).c_str());
    m_bar->SetForeImage(L"file='fill.png'");

    // width: device pixels of an 80-pixel design bar
    const std::tuple<UINT, int> rows[] = {{96, 80}, {120, 100}, {144, 120}};
    for (const auto& [dpi, width] : rows) {
        m_window.Manager()->GetDPIObj()->SetScale(dpi);
        m_window.Manager()->RemoveAllDrawInfos();
        RECT rc = {0, 50, width, 50 + m_window.Manager()->GetDPIObj()->Scale(8)};
        m_bar->SetPos(rc);
        for (int value = 0; value <= 100; value += 7) {
            m_bar->SetValue(value);
            int exact = value * width / 100;
            int painted = FilledLines(0x00C800);
            if (dpi == 96) {
                EXPECT_EQ(exact, painted) << "value " << value;
            } else {
                EXPECT_NEAR(exact, painted, 1) << "dpi " << dpi << " value " << value;
            }
        }
    }
    m_window.Manager()->GetDPIObj()->SetScale(96);
}
