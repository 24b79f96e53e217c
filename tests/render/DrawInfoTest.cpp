#include "skinui/render/DrawInfo.h"

#include "skinui/core/PaintManager.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using SkinUI::CPaintManagerUI;
using SkinUI::TDrawInfo;

namespace {

struct Expected
{
    const wchar_t* name;
    RECT dest;
    RECT source;
    RECT corner;
    DWORD mask;
    BYTE fade;
    bool hole;
    bool xtiled;
    bool ytiled;
    bool hsl;
    const wchar_t* resType;
};

struct Case
{
    const wchar_t* image;
    const wchar_t* modify;  // may be null
    Expected want;
};

const RECT kZero = {0, 0, 0, 0};

std::string Narrow(const wchar_t* s)
{
    std::string out;
    for (; s != nullptr && *s; ++s) out += (*s < 128 && *s >= 32) ? static_cast<char>(*s) : '?';
    return out;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void ExpectInfo(const TDrawInfo& info, const Expected& want, const std::string& where)
{
    EXPECT_STREQ(want.name, info.sImageName.GetData()) << where;
    EXPECT_STREQ(want.resType != nullptr ? want.resType : L"", info.sResType.GetData()) << where;
    EXPECT_TRUE(SameRect(want.dest, info.rcDest))
        << where << " dest " << info.rcDest.left << "," << info.rcDest.top << "," << info.rcDest.right << ","
        << info.rcDest.bottom;
    EXPECT_TRUE(SameRect(want.source, info.rcSource)) << where << " source";
    EXPECT_TRUE(SameRect(want.corner, info.rcCorner)) << where << " corner";
    EXPECT_EQ(want.mask, info.dwMask) << where;
    EXPECT_EQ(want.fade, info.uFade) << where;
    EXPECT_EQ(want.hole, info.bHole) << where;
    EXPECT_EQ(want.xtiled, info.bTiledX) << where;
    EXPECT_EQ(want.ytiled, info.bTiledY) << where;
    EXPECT_EQ(want.hsl, info.bHSL) << where;
}

Expected Plain(const wchar_t* name)
{
    return Expected{name, kZero, kZero, kZero, 0, 255, false, false, false, false, nullptr};
}

Expected WithDest(Expected e, const RECT& dest)
{
    e.dest = dest;
    return e;
}

}  // namespace

// Draw strings at scale 100, well-formed and malformed, and what each gives.
TEST(DrawInfoTest, ParsesDrawStrings)
{
    auto with = [](Expected e, void (*f)(Expected&)) {
        f(e);
        return e;
    };
    const Case cases[] = {
        {L"bg.png", nullptr, Plain(L"bg.png")},
        {L"", nullptr, Plain(L"")},
        {L"file='btn_close_1.png' mask='#FFFF00FF'", nullptr,
         with(Plain(L"btn_close_1.png"), [](Expected& e) { e.mask = 0xFFFF00FF; })},
        {L"file='computer_un_1.png' mask='#FF0000' ", nullptr,
         with(Plain(L"computer_un_1.png"), [](Expected& e) { e.mask = 0x00FF0000; })},
        {L"file='a.png'  dest='0,0,10,10'", nullptr, WithDest(Plain(L"a.png"), {0, 0, 10, 10})},
        // A tab after the closing quote ends the scan.
        {L"file='a.png'\tdest='0,0,10,10'", nullptr, Plain(L"a.png")},
        // Keys are case-sensitive; unknown keys change nothing.
        {L"File='a.png'", nullptr, Plain(L"File='a.png'")},
        {L"unknown='x' file='a.png'", nullptr, Plain(L"a.png")},
        {L"file='a.png' fade='300'", nullptr, with(Plain(L"a.png"), [](Expected& e) { e.fade = 44; })},
        {L"file='a.png' fade='-1'", nullptr, with(Plain(L"a.png"), [](Expected& e) { e.fade = 255; })},
        {L"file='a.png' fade='0'", nullptr, with(Plain(L"a.png"), [](Expected& e) { e.fade = 0; })},
        {L"file=''", nullptr, Plain(L"file=''")},
        {L"res='101' restype='PNG'", nullptr, with(Plain(L"101"), [](Expected& e) { e.resType = L"PNG"; })},
        {L"file='a b.png'", nullptr, Plain(L"a b.png")},
        {L"  file = 'a.png'", nullptr, Plain(L"a.png")},
        {L"hole='TRUE' xtiled='yes' ytiled='true' hsl='True'", nullptr,
         with(Plain(L"hole='TRUE' xtiled='yes' ytiled='true' hsl='True'"),
              [](Expected& e) {
                  e.hole = true;
                  e.ytiled = true;
                  e.hsl = true;
              })},
        {L"file='a.png' source='1,2,3,4' corner='5,6,7,8'", nullptr,
         with(Plain(L"a.png"),
              [](Expected& e) {
                  e.source = {1, 2, 3, 4};
                  e.corner = {5, 6, 7, 8};
              })},
        // Any single character separates the numbers of a list.
        {L"file='a.png' dest='1;2 3x4'", nullptr, WithDest(Plain(L"a.png"), {1, 2, 3, 4})},
        // Too few numbers: the missing ones are 0; extra numbers are ignored.
        {L"file='a.png' dest='1,2'", nullptr, WithDest(Plain(L"a.png"), {1, 2, 0, 0})},
        {L"file='a.png' dest='7'", nullptr, WithDest(Plain(L"a.png"), {7, 0, 0, 0})},
        {L"file='a.png' dest='1,2,3,4,5,6'", nullptr, WithDest(Plain(L"a.png"), {1, 2, 3, 4})},
        {L"file='a.png' dest=',,,'", nullptr, Plain(L"a.png")},
        // A colour without '#' reads the same; an empty one after '#' is 0.
        {L"file='a.png' mask='FF00FF'", nullptr,
         with(Plain(L"a.png"), [](Expected& e) { e.mask = 0xFF00FF; })},
        {L"file='a.png' mask='#'", nullptr, Plain(L"a.png")},
        {L"file='a.png' mask='#zz'", nullptr, Plain(L"a.png")},
        // Malformed pairs stop the scan; pairs before them are kept.
        {L"file='a.png", nullptr, Plain(L"file='a.png")},
        {L"file=a.png", nullptr, Plain(L"file=a.png")},
        {L"file", nullptr, Plain(L"file")},
        {L"=", nullptr, Plain(L"=")},
        {L"'", nullptr, Plain(L"'")},
        {L"file='a.png'dest='1,1,1,1'", nullptr, Plain(L"a.png")},
        {L"file='a.png' dest='1,1,1,1", nullptr, Plain(L"a.png")},
        {L"file='a.png' dest", nullptr, Plain(L"a.png")},
        {L"file='a.png' dest=", nullptr, Plain(L"a.png")},
        {L"file='a.png' dest='", nullptr, Plain(L"a.png")},
        // The modify string overrides the image string.
        {L"file='a.png' dest='0,0,10,10'", L"dest='2,2,8,8'", WithDest(Plain(L"a.png"), {2, 2, 8, 8})},
        {L"bg.png", L"file='b.png' mask='#FF0000FF'",
         with(Plain(L"b.png"), [](Expected& e) { e.mask = 0xFF0000FF; })},
        {L"file='a.png' fade='10'", L"broken'", with(Plain(L"a.png"), [](Expected& e) { e.fade = 10; })},
        {L"file='a.png'", L"", Plain(L"a.png")},
    };
    for (const Case& c : cases) {
        TDrawInfo info;
        info.Parse(c.image, c.modify, nullptr);
        std::string where = Narrow(c.image) + " | " + (c.modify ? Narrow(c.modify) : "(null)");
        ExpectInfo(info, c.want, where);
        EXPECT_STREQ(c.image, info.sDrawString.GetData()) << where;
        EXPECT_STREQ(c.modify != nullptr ? c.modify : L"", info.sDrawModify.GetData()) << where;
    }
}

// Every prefix of a two-pair string: the name is the whole prefix until the
// first pair is complete, the rectangle appears only with its closing quote.
TEST(DrawInfoTest, EveryPrefixIsBounded)
{
    const std::wstring full = L"file='a.png' dest='1,2,3,4'";
    const size_t firstDone = std::wstring(L"file='a.png'").size();
    for (size_t n = 0; n <= full.size(); ++n) {
        std::wstring prefix = full.substr(0, n);
        TDrawInfo info;
        info.Parse(prefix.c_str(), nullptr, nullptr);
        std::string where = Narrow(prefix.c_str());
        Expected want = Plain(n < firstDone ? prefix.c_str() : L"a.png");
        if (n == full.size()) want.dest = {1, 2, 3, 4};
        ExpectInfo(info, want, where);
    }
}

TEST(DrawInfoTest, NullAndLongStrings)
{
    TDrawInfo info;
    info.Parse(nullptr, nullptr, nullptr);
    ExpectInfo(info, Plain(L""), "null");

    std::wstring longName(5000, L'x');
    std::wstring image = L"file='" + longName + L"' dest='1,1,2,2'";
    info.Parse(image.c_str(), nullptr, nullptr);
    EXPECT_EQ(longName.size(), static_cast<size_t>(info.sImageName.GetLength()));
    EXPECT_EQ(1, info.rcDest.left);

    // Parsing again starts from the initial values.
    info.Parse(L"bg.png", nullptr, nullptr);
    ExpectInfo(info, Plain(L"bg.png"), "reparse");
}

// At 150 % rectangles are scaled and every dot of the name gets the marker.
TEST(DrawInfoTest, ScaledThroughTheManager)
{
    CPaintManagerUI manager;
    manager.GetDPIObj()->SetScale(144);
    auto with = [](Expected e, void (*f)(Expected&)) {
        f(e);
        return e;
    };
    const std::tuple<const wchar_t*, const wchar_t*, Expected> cases[] = {
        {L"file='a.png' dest='0,0,10,10'", nullptr, WithDest(Plain(L"a@150.png"), {0, 0, 15, 15})},
        {L"file='my.skin.png' source='2,2,4,4' corner='1,1,1,1'", nullptr,
         with(Plain(L"my@150.skin@150.png"),
              [](Expected& e) {
                  e.source = {3, 3, 6, 6};
                  e.corner = {2, 2, 2, 2};
              })},
        {L"bg.png", L"dest='2,2,8,8'", WithDest(Plain(L"bg@150.png"), {3, 3, 12, 12})},
        {L"noextension", nullptr, Plain(L"noextension")},
    };
    for (const auto& [image, modify, want] : cases) {
        TDrawInfo info;
        info.Parse(image, modify, &manager);
        ExpectInfo(info, want, Narrow(image));
    }
    // At 100 % nothing changes.
    CPaintManagerUI unscaled;
    TDrawInfo info;
    info.Parse(L"file='a.png' dest='0,0,10,10'", nullptr, &unscaled);
    ExpectInfo(info, WithDest(Plain(L"a.png"), {0, 0, 10, 10}), "100");
}
