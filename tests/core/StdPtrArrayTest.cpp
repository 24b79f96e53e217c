#include "skinui/core/StdPtrArray.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using SkinUI::CStdPtrArray;

namespace {

void* P(int i)
{
    return reinterpret_cast<void*>(static_cast<INT_PTR>(i));
}

std::vector<int> Items(const CStdPtrArray& a)
{
    std::vector<int> v;
    for (int i = 0; i < a.GetSize(); ++i)
        v.push_back(static_cast<int>(reinterpret_cast<INT_PTR>(a.GetAt(i))));
    return v;
}

}  // namespace

// Appending one item at a time through many growths, from an empty, a
// preallocated and a nonsense-sized array: after every append the array
// holds exactly the items appended, in their order.
TEST(StdPtrArrayGrowth, AppendingKeepsEveryItemInOrder)
{
    for (int prealloc : {0, 1, 4, -7}) {
        SCOPED_TRACE(prealloc);
        CStdPtrArray a(prealloc);
        EXPECT_TRUE(a.IsEmpty());
        std::vector<int> expected;
        for (int i = 1; i <= 200; ++i) {
            ASSERT_TRUE(a.Add(P(i)));
            expected.push_back(i);
            ASSERT_EQ(expected, Items(a)) << "after " << i;
        }
    }
}

// Inserts and removals at the front, the middle and the end, growing the
// array and shrinking it to nothing, match a plain vector at every step.
TEST(StdPtrArrayGrowth, InsertsAndRemovalsAtTheEndsAndTheMiddleKeepTheOrder)
{
    enum Where
    {
        kFront,
        kMiddle,
        kEnd
    };
    const Where pattern[] = {kEnd, kFront, kMiddle, kMiddle, kEnd, kFront, kEnd};
    CStdPtrArray a;
    std::vector<int> model;
    auto index = [&model](Where w) {
        return w == kFront ? 0
            : w == kEnd    ? static_cast<int>(model.size())
                           : static_cast<int>(model.size()) / 2;
    };
    for (int i = 1; i <= 100; ++i) {
        const Where w = pattern[i % 7];
        const int at = index(w);
        ASSERT_TRUE(a.InsertAt(at, P(i)));
        model.insert(model.begin() + at, i);
        ASSERT_EQ(model, Items(a)) << "insert " << i << " at " << at;
    }
    for (int i = 0; !model.empty(); ++i) {
        const Where w = pattern[i % 7];
        const int at = w == kEnd ? static_cast<int>(model.size()) - 1 : index(w);
        ASSERT_TRUE(a.Remove(at));
        model.erase(model.begin() + at);
        ASSERT_EQ(model, Items(a)) << "remove at " << at;
    }
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_FALSE(a.Remove(0));
    // Emptied storage is made again by the next append.
    a.Empty();
    EXPECT_TRUE(a.Add(P(7)));
    EXPECT_EQ(std::vector<int>({7}), Items(a));
}

TEST(StdPtrArrayGrowth, ResizeGivesThatManyNullItems)
{
    CStdPtrArray r;
    r.Add(P(9));
    r.Resize(5);
    EXPECT_EQ(std::vector<int>({0, 0, 0, 0, 0}), Items(r));
    EXPECT_TRUE(r.SetAt(4, P(3)));
    EXPECT_TRUE(r.Add(P(6)));
    EXPECT_EQ(std::vector<int>({0, 0, 0, 0, 3, 6}), Items(r));
    r.Resize(-3);
    EXPECT_TRUE(r.IsEmpty());
    EXPECT_EQ(nullptr, r.GetAt(0));
}

TEST(StdPtrArrayEdit, InsertSetRemoveWithBounds)
{
    CStdPtrArray a;
    for (int i = 1; i <= 3; ++i) a.Add(P(i));

    const std::tuple<char, int, int, bool, std::vector<int>> cases[] = {
        {'I', 3, 4, true, {1, 2, 3, 4}},   // at count: append
        {'I', 5, 9, false, {1, 2, 3, 4}},  // past count
        {'I', -1, 9, false, {1, 2, 3, 4}},      {'I', 0, 0, true, {0, 1, 2, 3, 4}},
        {'I', 2, 7, true, {0, 1, 7, 2, 3, 4}},  {'S', 2, 8, true, {0, 1, 8, 2, 3, 4}},
        {'S', 6, 8, false, {0, 1, 8, 2, 3, 4}}, {'S', -1, 8, false, {0, 1, 8, 2, 3, 4}},
        {'R', 0, 0, true, {1, 8, 2, 3, 4}},     {'R', 4, 0, true, {1, 8, 2, 3}},
        {'R', 4, 0, false, {1, 8, 2, 3}},       {'R', -1, 0, false, {1, 8, 2, 3}},
        {'R', 1, 0, true, {1, 2, 3}},
    };
    for (const auto& [op, index, value, ok, after] : cases) {
        bool done = op == 'I' ? a.InsertAt(index, P(value))
            : op == 'S'       ? a.SetAt(index, P(value))
                              : a.Remove(index);
        EXPECT_EQ(ok, done) << op << index;
        EXPECT_EQ(after, Items(a)) << op << index;
    }
}

TEST(StdPtrArrayRead, FindGetAtAndCopy)
{
    CStdPtrArray a;
    a.Add(P(5));
    a.Add(nullptr);
    a.Add(P(5));
    EXPECT_EQ(0, a.Find(P(5)));
    EXPECT_EQ(1, a.Find(nullptr));
    EXPECT_EQ(-1, a.Find(P(6)));
    EXPECT_EQ(nullptr, a.GetAt(3));
    EXPECT_EQ(nullptr, a.GetAt(-1));
    EXPECT_EQ(P(5), a[2]);

    CStdPtrArray copy(a);
    a.SetAt(0, P(1));
    EXPECT_EQ(std::vector<int>({5, 0, 5}), Items(copy));

    CStdPtrArray empty;
    EXPECT_EQ(-1, empty.Find(nullptr));
    EXPECT_EQ(nullptr, empty.GetAt(0));
}
