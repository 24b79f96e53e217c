#include "skinui/core/StdValArray.h"

#include <gtest/gtest.h>

using SkinUI::CStdValArray;

namespace {

struct Rec
{
    int a;
    short b;
    char c;
};

}  // namespace

TEST(StdValArray, CopiesElementsByValueAndGrowsLikePtrArray)
{
    CStdValArray a(sizeof(Rec));
    EXPECT_EQ(0, a.GetAllocated());
    for (int i = 0; i < 11; ++i) {
        Rec r = {i, static_cast<short>(i * 2), static_cast<char>('a' + i)};
        ASSERT_TRUE(a.Add(&r));
        r.a = -1;  // the array keeps its own copy
        EXPECT_EQ(i, static_cast<Rec*>(a.GetAt(i))->a);
        if (i == 0) {
            EXPECT_EQ(11, a.GetAllocated());
        }
    }
    EXPECT_EQ(22, a.GetAllocated());
    EXPECT_EQ(11, a.GetSize());
    const Rec* r5 = static_cast<Rec*>(a[5]);
    EXPECT_EQ(10, r5->b);
    EXPECT_EQ('f', r5->c);
    EXPECT_EQ(a.GetData(), a.GetAt(0));
}

TEST(StdValArray, BoundsAndRemove)
{
    CStdValArray a(sizeof(int), 2);
    EXPECT_EQ(2, a.GetAllocated());
    for (int v : {10, 20, 30, 40}) a.Add(&v);
    EXPECT_EQ(nullptr, a.GetAt(4));
    EXPECT_EQ(nullptr, a.GetAt(-1));
    EXPECT_FALSE(a.Remove(4));
    EXPECT_FALSE(a.Remove(-1));
    EXPECT_TRUE(a.Remove(1));
    ASSERT_EQ(3, a.GetSize());
    EXPECT_EQ(10, *static_cast<int*>(a.GetAt(0)));
    EXPECT_EQ(30, *static_cast<int*>(a.GetAt(1)));
    EXPECT_EQ(40, *static_cast<int*>(a.GetAt(2)));
    EXPECT_TRUE(a.Remove(2));
    EXPECT_EQ(2, a.GetSize());
}

TEST(StdValArray, EmptyKeepsStorage)
{
    CStdValArray a(sizeof(int));
    int v = 7;
    a.Add(&v);
    void* data = a.GetData();
    a.Empty();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(11, a.GetAllocated());
    EXPECT_EQ(data, a.GetData());
    EXPECT_EQ(nullptr, a.GetAt(0));
    v = 8;
    a.Add(&v);
    EXPECT_EQ(8, *static_cast<int*>(a.GetAt(0)));
}

TEST(StdValArray, BadElementSizeOrNullElementRefused)
{
    CStdValArray a(0, 4);
    int v = 1;
    EXPECT_FALSE(a.Add(&v));
    EXPECT_EQ(0, a.GetSize());
    CStdValArray b(-4);
    EXPECT_FALSE(b.Add(&v));
    CStdValArray c(sizeof(int));
    EXPECT_FALSE(c.Add(nullptr));
    EXPECT_EQ(0, c.GetSize());
}
