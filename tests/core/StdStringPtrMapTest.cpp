#include "skinui/core/StdStringPtrMap.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using SkinUI::CStdStringPtrMap;

namespace {

void* P(int i)
{
    return reinterpret_cast<void*>(static_cast<INT_PTR>(i));
}

std::vector<std::wstring> Keys(const CStdStringPtrMap& m)
{
    std::vector<std::wstring> v;
    for (int i = 0; i < m.GetSize(); ++i) v.push_back(m.GetAt(i));
    return v;
}

// Two different keys that land in the same bucket of a map of 16 buckets.
void CollidingKeys(std::wstring& a, std::wstring& b)
{
    a = L"k0";
    const UINT slot = CStdStringPtrMap::HashKey(a.c_str()) % 16;
    for (int i = 1;; ++i) {
        b = L"k" + std::to_wstring(i);
        if (CStdStringPtrMap::HashKey(b.c_str()) % 16 == slot) return;
    }
}

}  // namespace

TEST(StdStringPtrMapHash, LastToFirstTimes33)
{
    struct Case { const wchar_t* key; UINT hash; };
    const Case cases[] = {
        {L"", 0u}, {L"a", 97u}, {L"ab", 3331u}, {L"ba", 98u + 97u * 33u},
        {L"abc", 99u * 33u * 33u + 98u * 33u + 97u},
    };
    for (const Case& c : cases) EXPECT_EQ(c.hash, CStdStringPtrMap::HashKey(c.key)) << c.key;
    EXPECT_EQ(11u, CStdStringPtrMap::HashKey(L"ab") % 83u);
    // Long keys wrap modulo 2^32 instead of overflowing into anything else.
    const std::wstring longKey(200, L'\xFFFF');
    UINT h = 0;
    for (size_t i = 0; i < longKey.size(); ++i) h = h * 33u + 0xFFFFu;
    EXPECT_EQ(h, CStdStringPtrMap::HashKey(longKey.c_str()));
}

TEST(StdStringPtrMapBuckets, MinimumSixteenAndNone)
{
    struct Case { int requested; int buckets; };
    const Case cases[] = { {5, 16}, {-1, 16}, {16, 16}, {83, 83}, {101, 101} };
    for (const Case& c : cases) EXPECT_EQ(c.buckets, CStdStringPtrMap(c.requested).GetBucketCount());
    EXPECT_EQ(83, CStdStringPtrMap().GetBucketCount());

    CStdStringPtrMap m(5);
    ASSERT_TRUE(m.Insert(L"a", P(1)));
    m.Resize(0);
    EXPECT_EQ(0, m.GetBucketCount());
    EXPECT_EQ(0, m.GetSize());
    EXPECT_FALSE(m.Insert(L"a", P(1)));
    EXPECT_EQ(P(2), m.Set(L"a", P(2)));
    EXPECT_EQ(nullptr, m.Find(L"a"));
    EXPECT_FALSE(m.Remove(L"a"));
    EXPECT_EQ(nullptr, m.GetAt(0));
    m.Resize(-4);
    EXPECT_EQ(0, m.GetBucketCount());
    m.Resize(7);
    EXPECT_EQ(7, m.GetBucketCount());
    EXPECT_TRUE(m.Insert(L"a", P(1)));
}

TEST(StdStringPtrMapEntries, InsertSetFindRemove)
{
    CStdStringPtrMap m;
    EXPECT_EQ(nullptr, m.Find(L"x"));
    EXPECT_TRUE(m.Insert(L"x", P(1)));
    EXPECT_FALSE(m.Insert(L"x", P(2)));
    EXPECT_EQ(P(1), m.Find(L"x"));
    EXPECT_EQ(P(1), m.Set(L"x", P(3)));
    EXPECT_EQ(P(3), m.Find(L"x"));
    EXPECT_EQ(nullptr, m.Set(L"y", P(4)));
    EXPECT_EQ(2, m.GetSize());
    EXPECT_EQ(nullptr, m.Find(L"X"));  // exact keys
    EXPECT_TRUE(m.Insert(L"", P(5)));
    EXPECT_EQ(P(5), m.Find(L""));
    EXPECT_TRUE(m.Remove(L"x"));
    EXPECT_FALSE(m.Remove(L"x"));
    EXPECT_EQ(nullptr, m.Find(L"x"));
    EXPECT_EQ(2, m.GetSize());
    m.RemoveAll();
    EXPECT_EQ(0, m.GetSize());
    EXPECT_EQ(83, m.GetBucketCount());
    EXPECT_EQ(nullptr, m.Find(L"y"));
}

TEST(StdStringPtrMapEntries, NullKeyIsNeverStored)
{
    CStdStringPtrMap m;
    EXPECT_FALSE(m.Insert(NULL, P(1)));
    EXPECT_EQ(P(1), m.Set(NULL, P(1)));
    EXPECT_EQ(nullptr, m.Find(NULL));
    EXPECT_FALSE(m.Remove(NULL));
    EXPECT_EQ(0, m.GetSize());
}

TEST(StdStringPtrMapOrder, IterationFromLastBucketChainHeadFirst)
{
    CStdStringPtrMap m(16);
    // "a"=97 -> bucket 1, "b"=98 -> 2, "q"=113 -> 1, "p"=112 -> 0.
    for (const wchar_t* k : {L"a", L"b", L"q", L"p"}) ASSERT_TRUE(m.Insert(k, P(1)));
    EXPECT_EQ(std::vector<std::wstring>({L"b", L"q", L"a", L"p"}), Keys(m));
    EXPECT_EQ(nullptr, m.GetAt(4));
    EXPECT_EQ(nullptr, m.GetAt(-1));
    EXPECT_STREQ(L"q", m[1]);
}

TEST(StdStringPtrMapOrder, FindMovesEntryToChainHead)
{
    std::wstring first, second;
    CollidingKeys(first, second);
    CStdStringPtrMap m(16);
    ASSERT_TRUE(m.Insert(first.c_str(), P(1)));
    ASSERT_TRUE(m.Insert(second.c_str(), P(2)));  // new entries go to the head
    std::vector<std::wstring> keys = Keys(m);
    ASSERT_EQ(2u, keys.size());
    EXPECT_EQ(second, keys[0]);

    EXPECT_EQ(P(1), m.Find(first.c_str(), false));
    EXPECT_EQ(second, Keys(m)[0]);
    EXPECT_EQ(P(1), m.Find(first.c_str()));
    EXPECT_EQ(first, Keys(m)[0]);
    EXPECT_EQ(P(1), m.Find(first.c_str()));
    EXPECT_EQ(std::vector<std::wstring>({first, second}), Keys(m));
    EXPECT_EQ(P(2), m.Find(second.c_str()));

    // Removing from the middle and the head keeps the chain walkable.
    ASSERT_TRUE(m.Insert(L"other", P(3)));
    EXPECT_TRUE(m.Remove(first.c_str()));
    EXPECT_EQ(P(2), m.Find(second.c_str()));
    EXPECT_TRUE(m.Remove(second.c_str()));
    EXPECT_EQ(std::vector<std::wstring>({L"other"}), Keys(m));
}

TEST(StdStringPtrMapOrder, ManyEntriesAllReachable)
{
    CStdStringPtrMap m(16);
    for (int i = 0; i < 500; ++i) ASSERT_TRUE(m.Insert(std::to_wstring(i).c_str(), P(i + 1)));
    EXPECT_EQ(500, m.GetSize());
    std::set<std::wstring> seen;
    for (const std::wstring& k : Keys(m)) seen.insert(k);
    EXPECT_EQ(500u, seen.size());
    for (int i = 0; i < 500; i += 7) EXPECT_EQ(P(i + 1), m.Find(std::to_wstring(i).c_str()));
    for (int i = 0; i < 500; i += 2) ASSERT_TRUE(m.Remove(std::to_wstring(i).c_str()));
    EXPECT_EQ(250, m.GetSize());
    for (int i = 0; i < 500; ++i) EXPECT_EQ(i % 2 ? P(i + 1) : nullptr, m.Find(std::to_wstring(i).c_str()));
}
