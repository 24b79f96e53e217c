#include "skinui/core/StdPtrArray.h"

#include <gtest/gtest.h>

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
    for (int i = 0; i < a.GetSize(); ++i) v.push_back(static_cast<int>(reinterpret_cast<INT_PTR>(a.GetAt(i))));
    return v;
}

}  // namespace

TEST(StdPtrArrayGrowth, CapacityElevenThenDoubling)
{
    struct Step { int count; int allocated; };
    // Capacity stays strictly above the count after every growth.
    const Step steps[] = { {1, 11}, {10, 11}, {11, 22}, {21, 22}, {22, 44}, {44, 88} };
    CStdPtrArray a;
    EXPECT_EQ(0, a.GetAllocated());
    int added = 0;
    for (const Step& s : steps) {
        while (added < s.count) ASSERT_TRUE(a.Add(P(++added)));
        EXPECT_EQ(s.count, a.GetSize());
        EXPECT_EQ(s.allocated, a.GetAllocated()) << "at count " << s.count;
    }
}

TEST(StdPtrArrayGrowth, PreallocatedAndResized)
{
    CStdPtrArray pre(4);
    EXPECT_EQ(4, pre.GetAllocated());
    EXPECT_TRUE(pre.IsEmpty());
    for (int i = 1; i <= 3; ++i) pre.Add(P(i));
    EXPECT_EQ(4, pre.GetAllocated());
    pre.Add(P(4));
    EXPECT_EQ(8, pre.GetAllocated());

    CStdPtrArray r;
    r.Add(P(9));
    r.Resize(5);
    EXPECT_EQ(5, r.GetSize());
    EXPECT_EQ(5, r.GetAllocated());
    EXPECT_EQ(std::vector<int>({0, 0, 0, 0, 0}), Items(r));
    r.Resize(-3);
    EXPECT_EQ(0, r.GetSize());
    EXPECT_EQ(0, r.GetAllocated());

    CStdPtrArray neg(-7);
    EXPECT_EQ(0, neg.GetAllocated());
    EXPECT_TRUE(neg.Add(P(1)));
}

TEST(StdPtrArrayGrowth, EmptyReleasesStorage)
{
    CStdPtrArray a;
    a.Add(P(1));
    a.Empty();
    EXPECT_EQ(0, a.GetAllocated());
    EXPECT_EQ(nullptr, a.GetData());
    EXPECT_TRUE(a.IsEmpty());
}

TEST(StdPtrArrayEdit, InsertSetRemoveWithBounds)
{
    CStdPtrArray a;
    for (int i = 1; i <= 3; ++i) a.Add(P(i));

    struct Case { char op; int index; int value; bool ok; std::vector<int> after; };
    const Case cases[] = {
        {'I', 3, 4, true, {1, 2, 3, 4}},      // at count: append
        {'I', 5, 9, false, {1, 2, 3, 4}},     // past count
        {'I', -1, 9, false, {1, 2, 3, 4}},
        {'I', 0, 0, true, {0, 1, 2, 3, 4}},
        {'I', 2, 7, true, {0, 1, 7, 2, 3, 4}},
        {'S', 2, 8, true, {0, 1, 8, 2, 3, 4}},
        {'S', 6, 8, false, {0, 1, 8, 2, 3, 4}},
        {'S', -1, 8, false, {0, 1, 8, 2, 3, 4}},
        {'R', 0, 0, true, {1, 8, 2, 3, 4}},
        {'R', 4, 0, true, {1, 8, 2, 3}},
        {'R', 4, 0, false, {1, 8, 2, 3}},
        {'R', -1, 0, false, {1, 8, 2, 3}},
        {'R', 1, 0, true, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        bool ok = c.op == 'I' ? a.InsertAt(c.index, P(c.value))
                : c.op == 'S' ? a.SetAt(c.index, P(c.value))
                              : a.Remove(c.index);
        EXPECT_EQ(c.ok, ok) << c.op << c.index;
        EXPECT_EQ(c.after, Items(a)) << c.op << c.index;
    }
    const int allocated = a.GetAllocated();
    a.Remove(0);
    EXPECT_EQ(allocated, a.GetAllocated());
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
    EXPECT_EQ(11, copy.GetAllocated());

    CStdPtrArray empty;
    EXPECT_EQ(-1, empty.Find(nullptr));
    EXPECT_EQ(nullptr, empty.GetAt(0));
}
