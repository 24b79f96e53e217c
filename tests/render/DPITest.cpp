#include "skinui/render/DPI.h"

#include <gtest/gtest.h>
#include <tuple>

using SkinUI::CDPI;

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Sets the awareness on a fresh object. Where the system really changes the
// process awareness (Windows 8.1 and later) it can do so only once per
// process; false means this process is already fixed at another value.
bool WithAwareness(CDPI& dpi, int awareness)
{
    dpi.SetDPIAwareness(awareness);
    return dpi.GetDPIAwareness() == awareness;
}

}  // namespace

TEST(DPITest, NewObjectIsUnscaled)
{
    CDPI dpi;
    EXPECT_EQ(100u, dpi.GetScale());
    EXPECT_EQ(96u, dpi.GetDPI());
    for (int n : {-7, 0, 1, 3, 5, 100, 10000}) {
        EXPECT_EQ(n, dpi.Scale(n)) << n;
        EXPECT_EQ(n, dpi.ScaleBack(n)) << n;
    }
    RECT rc = {1, 2, 30, 40};
    EXPECT_TRUE(SameRect(rc, dpi.Scale(rc)));
}

// Values as MulDiv rounds them: to the nearest, halves away from zero.
TEST(DPITest, ScaleRoundsToNearest)
{
    const std::tuple<UINT, UINT, int, int, int> cases[] = {
        {144, 150, 5, 8, 3},  // 7.5 -> 8; 5 * 100 / 150 = 3.33 -> 3
        {144, 150, 10, 15, 7},   {144, 150, 7, 11, 5},
        {144, 150, -5, -8, -3},  {120, 125, 3, 4, 2},  // 3.75 -> 4; 2.4 -> 2
        {120, 125, 2, 3, 2},                           // 2.5 -> 3; 1.6 -> 2
        {192, 200, 9, 18, 5},                          // 4.5 -> 5
        {96, 100, 9, 9, 9},      {72, 75, 3, 2, 4},    // 2.25 -> 2; 4.0
        {97, 101, 100, 101, 99},                       // 97 * 100 / 96 = 101.04 -> 101
    };
    for (const auto& [dpi, scale, n, scaled, back] : cases) {
        CDPI scaler;
        scaler.SetScale(dpi);
        EXPECT_EQ(scale, scaler.GetScale()) << dpi;
        EXPECT_EQ(scaled, scaler.Scale(n)) << dpi << " " << n;
        EXPECT_EQ(back, scaler.ScaleBack(n)) << dpi << " " << n;
    }
    CDPI dpi;
    dpi.SetScale(144);
    EXPECT_EQ(7, dpi.ScaleBack(dpi.Scale(7)));
    EXPECT_EQ(144u, dpi.GetDPI());
}

// Rectangles keep their scaled width and height: right = left + width.
TEST(DPITest, RectanglesKeepScaledSize)
{
    const std::tuple<UINT, RECT, RECT, RECT> cases[] = {
        {144, {1, 1, 11, 11}, {2, 2, 17, 17}, {1, 1, 8, 8}},
        // Touching at x = 2 before; a gap at x = 2 after (1 -> 1..2, 2 -> 3..4).
        {120, {1, 0, 2, 1}, {1, 0, 2, 1}, {1, 0, 2, 1}},
        {120, {2, 0, 3, 1}, {3, 0, 4, 1}, {2, 0, 3, 1}},
        {144, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
        {144, {-10, -10, 10, 10}, {-15, -15, 15, 15}, {-7, -7, 6, 6}},
        {192, {3, 5, 4, 9}, {6, 10, 8, 18}, {2, 3, 3, 5}},
    };
    for (const auto& [dpi, in, scaled, back] : cases) {
        CDPI scaler;
        scaler.SetScale(dpi);
        RECT rc = in;
        scaler.Scale(&rc);
        EXPECT_TRUE(SameRect(scaled, rc))
            << dpi << ": " << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
        EXPECT_TRUE(SameRect(scaled, scaler.Scale(in)));
        rc = in;
        scaler.ScaleBack(&rc);
        EXPECT_TRUE(SameRect(back, rc))
            << dpi << " back: " << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
    }
}

TEST(DPITest, PointsAndSizes)
{
    CDPI dpi;
    dpi.SetScale(144);
    POINT pt = {3, -3};
    POINT spt = dpi.Scale(pt);
    EXPECT_EQ(5, spt.x);
    EXPECT_EQ(-5, spt.y);
    dpi.Scale(&pt);
    EXPECT_EQ(5, pt.x);
    SIZE sz = {536, 355};
    SIZE ssz = dpi.Scale(sz);
    EXPECT_EQ(804, ssz.cx);
    EXPECT_EQ(533, ssz.cy);  // 532.5 -> 533
    dpi.Scale(&sz);
    EXPECT_EQ(533, sz.cy);
    dpi.Scale(static_cast<RECT*>(nullptr));
    dpi.Scale(static_cast<POINT*>(nullptr));
    dpi.Scale(static_cast<SIZE*>(nullptr));
}

// The system scale is the first one ever set; per-monitor follows the last.
TEST(DPITest, SystemAndPerMonitorScale)
{
    const std::tuple<int, UINT, UINT, int, int> cases[] = {
        {2, 125, 120, 13, 12},
        {1, 150, 144, 15, 10},
        {0, 100, 96, 10, 15},
    };
    for (const auto& [awareness, scale, dpi, ten, backFifteen] : cases) {
        CDPI scaler;
        if (!WithAwareness(scaler, awareness)) {
            ADD_FAILURE() << "awareness " << awareness << " cannot be set in this process";
            continue;
        }
        scaler.SetScale(144);
        scaler.SetScale(120);
        EXPECT_EQ(scale, scaler.GetScale()) << awareness;
        EXPECT_EQ(dpi, scaler.GetDPI()) << awareness;
        EXPECT_EQ(ten, scaler.Scale(10)) << awareness;
        EXPECT_EQ(backFifteen, scaler.ScaleBack(15)) << awareness;
        RECT rc = {1, 1, 11, 11};
        RECT expected = awareness == 0 ? rc : scaler.Scale(rc);
        scaler.Scale(&rc);
        EXPECT_TRUE(SameRect(expected, rc));
    }
}

TEST(DPITest, AwarenessOutOfRangeIsRefused)
{
    CDPI dpi;
    int before = dpi.GetDPIAwareness();
    EXPECT_FALSE(dpi.SetDPIAwareness(3));
    EXPECT_FALSE(dpi.SetDPIAwareness(-1));
    EXPECT_EQ(before, dpi.GetDPIAwareness());
}

// A zero DPI gives scale 0; scaling back must not divide by it.
TEST(DPITest, ZeroScaleDoesNotDivideByZero)
{
    CDPI dpi;
    dpi.SetScale(0);
    EXPECT_EQ(0u, dpi.GetScale());
    EXPECT_EQ(0, dpi.Scale(10));
    EXPECT_EQ(10, dpi.ScaleBack(10));
}

// Monitor queries answer with a DPI, 96 when the monitor cannot be asked,
// and never stop for a message box.
TEST(DPITest, MonitorDpi)
{
    EXPECT_EQ(96, CDPI::GetDPIOfMonitor(nullptr));
    int mainDpi = CDPI::GetMainMonitorDPI();
    EXPECT_GE(mainDpi, 72);
    EXPECT_LE(mainDpi, 480);
    POINT pt = {1, 1};
    EXPECT_EQ(mainDpi, CDPI::GetDPIOfMonitorNearestToPoint(pt));
}
