#include "skinui/core/UIString.h"

#include <gtest/gtest.h>

#include <limits.h>
#include <malloc.h>

#include <string>
#include <tuple>

using SkinUI::CUIString;

namespace {

bool IsLocal(const CUIString& s)
{
    const char* p = reinterpret_cast<const char*>(s.GetData());
    const char* self = reinterpret_cast<const char*>(&s);
    return p >= self && p < self + sizeof(CUIString);
}

std::wstring Repeat(wchar_t ch, int n)
{
    return std::wstring((size_t)n, ch);
}

}  // namespace

TEST(UIStringStorage, LocalUpTo62CharactersHeapFrom63)
{
    const std::tuple<int, bool> cases[] = {{0, true},   {1, true},   {61, true},  {62, true},
                                           {63, false}, {64, false}, {500, false}};
    for (const auto& [length, local] : cases) {
        const std::wstring text = Repeat(L'x', length);
        CUIString assigned(text.c_str());
        EXPECT_EQ(local, IsLocal(assigned)) << "assign " << length;
        EXPECT_EQ(length, assigned.GetLength());
        EXPECT_EQ(text, assigned.GetData());

        CUIString appended;
        for (int i = 0; i < length; ++i) appended += L'x';
        EXPECT_EQ(local, IsLocal(appended)) << "append " << length;
        EXPECT_EQ(text, appended.GetData());
    }
}

TEST(UIStringStorage, HeapBlockSizedExactlyAndBackToLocal)
{
    CUIString s(Repeat(L'a', 62).c_str());
    s += L"b";
    ASSERT_FALSE(IsLocal(s));
    EXPECT_EQ(64u * sizeof(wchar_t), _msize(const_cast<wchar_t*>(s.GetData())));
    s += L"cd";
    EXPECT_EQ(66u * sizeof(wchar_t), _msize(const_cast<wchar_t*>(s.GetData())));
    s = L"short";
    EXPECT_TRUE(IsLocal(s));
    EXPECT_STREQ(L"short", s.GetData());
    s.Assign(Repeat(L'q', 100).c_str());
    s.Empty();
    EXPECT_TRUE(IsLocal(s));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(UIStringStorage, AssignWithLengthStopsAtSourceEnd)
{
    const std::tuple<const wchar_t*, int, const wchar_t*> cases[] = {
        {L"hello", 3, L"hel"}, {L"hello", -1, L"hello"}, {L"hi", 10, L"hi"},
        {nullptr, -1, L""},    {nullptr, 5, L""},        {L"hello", 0, L""},
    };
    for (const auto& [text, length, expect] : cases) {
        CUIString s(L"previous");
        s.Assign(text, length);
        EXPECT_STREQ(expect, s.GetData());
    }
    // Asking for 100 characters of a short text still gives the short text.
    CUIString s;
    s.Assign(L"abc", 100);
    EXPECT_EQ(3, s.GetLength());
}

TEST(UIStringStorage, SelfOverlappingSources)
{
    const std::wstring longText = Repeat(L'z', 70) + L"tail";
    CUIString s(longText.c_str());
    s.Assign(s.GetData() + 70);
    EXPECT_STREQ(L"tail", s.GetData());

    CUIString t(longText.c_str());
    t.Assign(t.GetData() + 1);
    EXPECT_EQ(longText.substr(1), t.GetData());

    CUIString u(Repeat(L'm', 40).c_str());
    u += u;
    EXPECT_EQ(Repeat(L'm', 80), u.GetData());
    u += u.GetData();
    EXPECT_EQ(Repeat(L'm', 160), u.GetData());

    CUIString v(L"abc");
    v += v;
    EXPECT_STREQ(L"abcabc", v.GetData());

    CUIString w(L"x.y.z");
    EXPECT_EQ(2, w.Replace(L".", w.GetData() + 4));
    EXPECT_STREQ(L"xzyzz", w.GetData());
}

TEST(UIStringStorage, UnstorableLengthGivesEmptyString)
{
    CUIString s(L"previous");
    s.Assign(L"abc", INT_MAX);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(IsLocal(s));
    s = L"kept";
    s += L"";
    EXPECT_STREQ(L"kept", s);
}

TEST(UIStringStorage, HeapTextShortenedBySetAtReturnsToLocalOnAppend)
{
    CUIString s(Repeat(L'k', 80).c_str());
    s.SetAt(3, L'\0');
    s += L"!";
    EXPECT_TRUE(IsLocal(s));
    EXPECT_STREQ(L"kkk!", s.GetData());
}

TEST(UIStringOperators, AssignmentAndConcatenation)
{
    CUIString s;
    s = L"abc";
    EXPECT_STREQ(L"abc", s);
    s = (const wchar_t*)nullptr;
    EXPECT_TRUE(s.IsEmpty());
    s = L'Q';
    EXPECT_STREQ(L"Q", s);
    s = "narrow";
    EXPECT_STREQ(L"narrow", s);
    s += " text";
    EXPECT_STREQ(L"narrow text", s);
    s += (const char*)nullptr;
    EXPECT_STREQ(L"narrow text", s);
    s = (const char*)nullptr;
    EXPECT_TRUE(s.IsEmpty());

    CUIString a(L"left");
    CUIString b(L"right");
    EXPECT_STREQ(L"leftright", a + b);
    EXPECT_STREQ(L"left!", a + L"!");
    EXPECT_STREQ(L"left", a + (const wchar_t*)nullptr);
    a += (const wchar_t*)nullptr;
    EXPECT_STREQ(L"left", a);
    a += b;
    a += L'.';
    EXPECT_STREQ(L"leftright.", a);

    CUIString copy(a);
    copy.SetAt(0, L'L');
    EXPECT_STREQ(L"leftright.", a);
    EXPECT_STREQ(L"Leftright.", copy);
    EXPECT_EQ(L'L', copy[0]);
    EXPECT_EQ(L'e', copy.GetAt(1));

    CUIString one(L'z');
    EXPECT_STREQ(L"z", one);
    CUIString part(L"abcdef", 2);
    EXPECT_STREQ(L"ab", part);
}

TEST(UIStringOperators, Comparisons)
{
    struct Case
    {
        const wchar_t* a;
        const wchar_t* b;
        int sign;
        int signNoCase;
    };
    const Case cases[] = {
        {L"abc", L"abc", 0, 0}, {L"abc", L"ABC", 1, 0}, {L"Click", L"click", -1, 0}, {L"a", L"b", -1, -1},
        {L"", L"", 0, 0},       {L"", nullptr, 0, 0},   {L"x", nullptr, 1, 1},       {L"ab", L"abc", -1, -1},
    };
    auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    for (const Case& c : cases) {
        CUIString s(c.a);
        EXPECT_EQ(c.sign, sign(s.Compare(c.b))) << c.a;
        EXPECT_EQ(c.signNoCase, sign(s.CompareNoCase(c.b))) << c.a;
        EXPECT_EQ(c.sign == 0, s == c.b);
        EXPECT_EQ(c.sign != 0, s != c.b);
        EXPECT_EQ(c.sign < 0, s < c.b);
        EXPECT_EQ(c.sign <= 0, s <= c.b);
        EXPECT_EQ(c.sign > 0, s > c.b);
        EXPECT_EQ(c.sign >= 0, s >= c.b);
    }
}

TEST(UIStringOperators, CaseConversion)
{
    CUIString s(L"MiXed 123 Text");
    s.MakeUpper();
    EXPECT_STREQ(L"MIXED 123 TEXT", s);
    s.MakeLower();
    EXPECT_STREQ(L"mixed 123 text", s);
}

TEST(UIStringSubstrings, LeftMidRight)
{
    const std::tuple<const wchar_t*, char, int, int, const wchar_t*> cases[] = {
        {L"hello", 'L', -5, 0, L""},      {L"hello", 'L', 0, 0, L""},
        {L"hello", 'L', 2, 0, L"he"},     {L"hello", 'L', 1000, 0, L"hello"},
        {L"ab", 'M', 3, -1, L""},         {L"ab", 'M', 2, -1, L""},
        {L"hello", 'M', 1, -1, L"ello"},  {L"hello", 'M', 1, 2, L"el"},
        {L"hello", 'M', 1, 100, L"ello"}, {L"hello", 'M', 1, 0, L""},
        {L"hello", 'M', 1000, 3, L""},    {L"abc", 'R', 10, 0, L"abc"},
        {L"abc", 'R', 2, 0, L"bc"},       {L"abc", 'R', 0, 0, L""},
        {L"abc", 'R', -1, 0, L""},        {L"", 'R', 3, 0, L""},
    };
    for (const auto& [text, op, a, b, expect] : cases) {
        CUIString s(text);
        CUIString r = op == 'L' ? s.Left(a) : op == 'M' ? s.Mid(a, b) : s.Right(a);
        EXPECT_STREQ(expect, r) << op << " " << a << " " << b;
    }
}

TEST(UIStringSearch, FindSubstring)
{
    const std::tuple<const wchar_t*, const wchar_t*, int, int> cases[] = {
        {L"", L"a", 0, -1},       {L"", L"", 0, 0},         {L"abc", L"a", 4, -1},
        {L"abc", L"", 3, 3},      {L"abc", L"c", 3, -1},    {L"abc", L"a", -1, -1},
        {L"abcabc", L"bc", 0, 1}, {L"abcabc", L"bc", 2, 4}, {L"abcabc", L"abc", 1, 3},
        {L"abcabc", L"x", 0, -1}, {L"abc", nullptr, 0, -1},
    };
    for (const auto& [text, what, start, expect] : cases) {
        EXPECT_EQ(expect, CUIString(text).Find(what, start)) << text << " " << start;
    }
}

TEST(UIStringSearch, FindCharacterAndReverse)
{
    const std::tuple<const wchar_t*, wchar_t, int, int> cases[] = {
        {L"", L'a', 0, -1},     {L"abca", L'a', 0, 0},   {L"abca", L'a', 1, 3},  {L"abca", L'a', 3, 3},
        {L"abca", L'a', 4, -1}, {L"abca", L'a', -2, -1}, {L"abca", L'z', 0, -1},
    };
    for (const auto& [text, ch, start, expect] : cases) {
        EXPECT_EQ(expect, CUIString(text).Find(ch, start)) << text << " " << start;
    }
    EXPECT_EQ(3, CUIString(L"abca").ReverseFind(L'a'));
    EXPECT_EQ(-1, CUIString(L"abca").ReverseFind(L'q'));
    EXPECT_EQ(-1, CUIString().ReverseFind(L'q'));
}

TEST(UIStringSearch, Replace)
{
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*, int, const wchar_t*> cases[] = {
        {L"aaa", L"a", L"aa", 3, L"aaaaaa"}, {L"abcabc", L"bc", L"", 2, L"aa"},
        {L"abc", L"x", L"y", 0, L"abc"},     {L"a.b.c", L".", L"::", 2, L"a::b::c"},
        {L"xxxx", L"xx", L"x", 2, L"xx"},    {L"abc", L"", L"y", 0, L"abc"},
        {L"abc", L"b", nullptr, 1, L"ac"},
    };
    for (const auto& [text, from, to, count, expect] : cases) {
        CUIString s(text);
        EXPECT_EQ(count, s.Replace(from, to)) << text;
        EXPECT_STREQ(expect, s) << text;
    }
    const std::wstring many = Repeat(L'a', 100);
    CUIString s(many.c_str());
    EXPECT_EQ(100, s.Replace(L"a", L"bc"));
    EXPECT_EQ(200, s.GetLength());
}

TEST(UIStringFormat, FormatHasNoLimitSmallFormatKeeps63)
{
    CUIString s;
    EXPECT_EQ(11, s.Format(L"%s-%d-%c", L"abc", 12345, L'z'));
    EXPECT_STREQ(L"abc-12345-z", s);

    const std::wstring longText = Repeat(L'w', 300);
    EXPECT_EQ(302, s.Format(L"[%s]", longText.c_str()));
    EXPECT_EQ(L"[" + longText + L"]", s.GetData());

    CUIString small;
    EXPECT_EQ(5, small.SmallFormat(L"%d,%d", 10, 20));
    EXPECT_STREQ(L"10,20", small);
    EXPECT_EQ(-1, small.SmallFormat(L"%s", longText.c_str()));
    EXPECT_EQ(Repeat(L'w', 63), small.GetData());
    EXPECT_EQ(63, small.SmallFormat(L"%s", Repeat(L'v', 63).c_str()));
    EXPECT_EQ(63, small.GetLength());
}
