#include "skinui/core/StdStringPtrMap.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
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

// Keys that land in one bucket of the map, found through the map's own
// hash: "k0" and the next count-1 keys "k<i>" that share its bucket.
std::vector<std::wstring> CollidingKeys(const CStdStringPtrMap& m, size_t count)
{
    const UINT buckets = static_cast<UINT>(m.GetBucketCount());
    const UINT slot = CStdStringPtrMap::HashKey(L"k0") % buckets;
    std::vector<std::wstring> keys = {L"k0"};
    for (int i = 1; keys.size() < count; ++i) {
        const std::wstring key = L"k" + std::to_wstring(i);
        if (CStdStringPtrMap::HashKey(key.c_str()) % buckets == slot) keys.push_back(key);
    }
    return keys;
}

}  // namespace

TEST(StdStringPtrMapBuckets, MinimumSixteenAndNone)
{
    const std::tuple<int, int> cases[] = {{5, 16}, {-1, 16}, {16, 16}, {83, 83}, {101, 101}};
    for (const auto& [requested, buckets] : cases)
        EXPECT_EQ(buckets, CStdStringPtrMap(requested).GetBucketCount());
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
    EXPECT_FALSE(m.Insert(nullptr, P(1)));
    EXPECT_EQ(P(1), m.Set(nullptr, P(1)));
    EXPECT_EQ(nullptr, m.Find(nullptr));
    EXPECT_FALSE(m.Remove(nullptr));
    EXPECT_EQ(0, m.GetSize());
}

// Four keys chained in one bucket, beside one key of another bucket: each
// removal, from the chain's head, middle or tail, leaves every other key
// found with its own value, whatever lookups reordered the chain before.
TEST(StdStringPtrMapCollisions, RemovalAmongCollidingKeysKeepsTheOthers)
{
    const std::tuple<const char*, std::vector<int>, std::vector<int>> cases[] = {
        {"newest (the chain's head) first", {}, {3, 2, 1, 0}},
        {"oldest (the chain's tail) first", {}, {0, 1, 2, 3}},
        {"middle first", {}, {1, 2, 0, 3}},
        {"after lookups moved keys to the head", {0, 2, 0}, {2, 3, 0, 1}},
        {"after lookups, the looked-up key", {1}, {1, 0, 3, 2}},
    };
    for (const auto& [name, lookups, removals] : cases) {
        SCOPED_TRACE(name);
        CStdStringPtrMap m(16);
        const std::vector<std::wstring> keys = CollidingKeys(m, 4);
        for (size_t i = 0; i < keys.size(); ++i) ASSERT_TRUE(m.Insert(keys[i].c_str(), P(int(i) + 1)));
        ASSERT_TRUE(m.Insert(L"elsewhere", P(99)));
        for (int i : lookups) EXPECT_EQ(P(i + 1), m.Find(keys[i].c_str()));
        std::set<int> removed;
        for (int r : removals) {
            EXPECT_TRUE(m.Remove(keys[r].c_str()));
            EXPECT_FALSE(m.Remove(keys[r].c_str()));
            removed.insert(r);
            for (size_t i = 0; i < keys.size(); ++i) {
                EXPECT_EQ(removed.count(int(i)) ? nullptr : P(int(i) + 1), m.Find(keys[i].c_str()))
                    << "key " << i << " after removing " << r;
            }
            EXPECT_EQ(P(99), m.Find(L"elsewhere"));
            EXPECT_EQ(int(keys.size() - removed.size()) + 1, m.GetSize());
        }
    }
}

// Lookups of colliding keys, with and without moving the found one ahead,
// find each key's own value, and iteration still lists every key once.
TEST(StdStringPtrMapCollisions, LookupsAndUpdatesInOneBucketStayApart)
{
    CStdStringPtrMap m(16);
    const std::vector<std::wstring> keys = CollidingKeys(m, 5);
    for (size_t i = 0; i < keys.size(); ++i) ASSERT_TRUE(m.Insert(keys[i].c_str(), P(int(i) + 1)));
    for (const std::wstring& key : keys) EXPECT_FALSE(m.Insert(key.c_str(), P(0)));
    for (int round = 0; round < 3; ++round) {
        for (size_t i = 0; i < keys.size(); ++i) {
            const size_t k = (i * 3 + round) % keys.size();
            EXPECT_EQ(P(int(k) + 1), m.Find(keys[k].c_str(), round != 1)) << k;
        }
    }
    EXPECT_EQ(P(3), m.Set(keys[2].c_str(), P(30)));
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(i == 2 ? P(30) : P(int(i) + 1), m.Find(keys[i].c_str()));
    const std::vector<std::wstring> listed = Keys(m);
    EXPECT_EQ(std::set<std::wstring>(keys.begin(), keys.end()),
              std::set<std::wstring>(listed.begin(), listed.end()));
    EXPECT_EQ(keys.size(), listed.size());
    EXPECT_EQ(nullptr, m.GetAt(int(keys.size())));
    EXPECT_EQ(nullptr, m.GetAt(-1));
}

// Far more keys than buckets: long chains everywhere, every key reachable
// through lookups and iteration, and again after every other one went.
TEST(StdStringPtrMapCollisions, ManyMoreKeysThanBucketsAllReachable)
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
