#include "skinui/core/Shadow.h"

#include "skinui/core/PaintManager.h"
#include "tests/support/ControlTree.h"
#include "tests/support/PixelScan.h"

#include <gtest/gtest.h>

#include <math.h>

#include <memory>
#include <vector>

// Sections:
//   Helpers        owner windows, expected pixels computed from geometry
//   Settings       setters' ranges, colour premultiplication, copies
//   Outline        the computed bitmap, pixel by pixel
//   Window         creation, following the owner, visibility, lifetime

using SkinUI::CPaintManagerUI;
using SkinUI::CShadowUI;

namespace {

// ---- Helpers -------------------------------------------------------------

const wchar_t kOwnerClass[] = L"ShadowTestOwner";
const int kOwnerWidth = 536;
const int kOwnerHeight = 355;

void RegisterOwnerClass()
{
    static bool s_registered = false;
    if (s_registered) return;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kOwnerClass;
    ASSERT_NE(0, ::RegisterClassExW(&wc));
    s_registered = true;
}

HWND CreateOwner(int x, int y, bool bVisible)
{
    RegisterOwnerClass();
    return ::CreateWindowExW(0, kOwnerClass, L"owner", WS_POPUP | (bVisible ? WS_VISIBLE : 0), x, y,
                             kOwnerWidth, kOwnerHeight, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                             nullptr);
}

// The round corners the launcher's window has.
void SetRoundRegion(HWND hWnd)
{
    ::SetWindowRgn(hWnd, ::CreateRoundRectRgn(0, 0, kOwnerWidth + 1, kOwnerHeight + 1, 5, 5), TRUE);
}

RECT WindowRect(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

// Premultiplied pixel: alpha on top, each colour byte scaled by alpha/255.
UINT32 Pixel(UINT32 colour, int alpha)
{
    UINT32 out = static_cast<UINT32>(alpha) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= (((colour >> shift) & 0xFF) * static_cast<UINT32>(alpha) / 255) << shift;
    }
    return out;
}

// d * (1 - (r - C) / (p + 1)) rounded down, for r = sqrt(r2), C = s - p when
// positive; full darkness inside C and nothing beyond max(s, p). Whole
// distances are computed in integers, so that they come out exact.
int KernelAlpha(int r2, int s, int p, int d)
{
    const int radius = s > p ? s : p;
    const int full = s > p ? s - p : 0;
    if (r2 < full * full) return d;
    if (r2 > radius * radius) return 0;
    const int root = static_cast<int>(sqrt(static_cast<double>(r2)) + 0.5);
    if (root * root == r2) return d * (p + 1 - (root - full)) / (p + 1);
    const double r = sqrt(static_cast<double>(r2));
    return static_cast<int>(floor(d * (p + 1 - (r - full)) / (p + 1)));
}

struct TOutlineCase
{
    const char* name;
    int size;
    int sharpness;
    int darkness;
    int xOffset;
    int yOffset;
    UINT32 colour;
};

// The alpha a pixel of the shadow of a rectangular owner must get. The blur
// starts from the owner's rectangle grown by the size and shrunk again by
// (sharpness - size) when the blur is the wider; around that core the alpha
// falls with the distance r as 1 - (r - C) / (sharpness + 1), C being the
// part of the size that exceeds the sharpness. The core itself is fully
// dark, and everything under the owner is clear.
int ExpectedAlpha(const TOutlineCase& c, int x, int y)
{
    const int s = c.size;
    const int p = c.sharpness;
    const int coreInset = p > s ? p - s : 0;
    const int left = s + coreInset;
    const int top = s + coreInset;
    const int right = kOwnerWidth - 1 + s - coreInset;
    const int bottom = kOwnerHeight - 1 + s - coreInset;
    const int ownerLeft = s - c.xOffset;
    const int ownerTop = s - c.yOffset;
    if (x >= ownerLeft && x < ownerLeft + kOwnerWidth && y >= ownerTop && y < ownerTop + kOwnerHeight) {
        return 0;
    }
    const int dx = x < left ? left - x : (x > right ? x - right : 0);
    const int dy = y < top ? top - y : (y > bottom ? y - bottom : 0);
    return KernelAlpha(dx * dx + dy * dy, c.size, c.sharpness, c.darkness);
}

// A bitmap of the shadow's size, filled by MakeShadow; At(x, y) counts y
// from the top although the rows are stored bottom-up.
struct TShadowBits
{
    int width;
    int height;
    std::vector<UINT32> bits;

    TShadowBits(int w, int h) : width(w), height(h), bits(static_cast<size_t>(w) * h, 0) {}
    UINT32 At(int x, int y) const { return bits[static_cast<size_t>(height - y - 1) * width + x]; }
};

TShadowBits MakeOutline(CShadowUI& shadow, HWND hOwner)
{
    RECT rc = WindowRect(hOwner);
    TShadowBits out(rc.right - rc.left + 2 * shadow.GetSize(), rc.bottom - rc.top + 2 * shadow.GetSize());
    shadow.MakeShadow(out.bits.data(), hOwner, rc);
    return out;
}

void Configure(CShadowUI& shadow, const TOutlineCase& c)
{
    ASSERT_TRUE(shadow.SetSize(c.size));
    ASSERT_TRUE(shadow.SetSharpness(c.sharpness));
    ASSERT_TRUE(shadow.SetDarkness(c.darkness));
    ASSERT_TRUE(shadow.SetPosition(c.xOffset, c.yOffset));
    ASSERT_TRUE(shadow.SetColor(c.colour));
}

// The launcher's shadow: size 3, offset 1,1, colour #333333 and the default
// darkness and sharpness.
void ConfigureLauncher(CShadowUI& shadow)
{
    const TOutlineCase launcher = {"launcher", 3, 5, 150, 1, 1, 0x333333};
    Configure(shadow, launcher);
    shadow.ShowShadow(true);
}

// The launcher's shadow created for an owner bound to a paint manager, as
// the window base sets them up at start-up.
struct TLauncherShadow
{
    explicit TLauncherShadow(HWND hOwnerWnd) : hOwner(hOwnerWnd)
    {
        pm.Init(hOwner);
        ConfigureLauncher(shadow);
        shadow.Create(&pm);
    }
    HWND hOwner;
    CPaintManagerUI pm;
    CShadowUI shadow;
};

class ShadowWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { CShadowUI::Initialize(::GetModuleHandleW(nullptr)); }

    void TearDown() override
    {
        m_launched.clear();
        for (HWND hWnd : m_owners) {
            if (::IsWindow(hWnd)) ::DestroyWindow(hWnd);
        }
    }

    HWND Owner(int x, int y, bool bVisible)
    {
        HWND hWnd = CreateOwner(x, y, bVisible);
        m_owners.push_back(hWnd);
        return hWnd;
    }

    // A new owner at 100,120, its region the launcher's when asked, with the
    // launcher's shadow; both go at the end of the test.
    TLauncherShadow& Launched(bool bVisible = true, bool bRound = false)
    {
        HWND hOwner = Owner(100, 120, bVisible);
        if (bRound) SetRoundRegion(hOwner);
        m_launched.push_back(std::make_unique<TLauncherShadow>(hOwner));
        return *m_launched.back();
    }

    // Where the shadow of a launcher-configured owner must be.
    static RECT ExpectedShadowRect(HWND hOwner)
    {
        RECT rc = WindowRect(hOwner);
        RECT out = {rc.left + 1 - 3, rc.top + 1 - 3, rc.left + 1 - 3 + 542, rc.top + 1 - 3 + 361};
        return out;
    }

    std::vector<std::unique_ptr<TLauncherShadow>> m_launched;
    std::vector<HWND> m_owners;
};

void ExpectRect(const RECT& expected, const RECT& actual)
{
    EXPECT_EQ(TestSupport::Rect(expected), TestSupport::Rect(actual));
}

// Shrinks the shadow window so that only a rebuild gives it its size back.
void SpoilShadowSize(HWND hShadow)
{
    ::SetWindowPos(hShadow, nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Settings ------------------------------------------------------------

TEST(Shadow, SettersRejectValuesOutOfRangeAndKeepTheOldValue)
{
    CShadowUI shadow;
    ASSERT_TRUE(shadow.SetSize(7));
    ASSERT_TRUE(shadow.SetSharpness(9));
    ASSERT_TRUE(shadow.SetDarkness(100));
    ASSERT_TRUE(shadow.SetPosition(2, 3));

    struct Case
    {
        const char* name;
        bool (*apply)(CShadowUI&);
        bool accepted;
    } cases[] = {
        {"size 36", [](CShadowUI& s) { return s.SetSize(36); }, false},
        {"size -36", [](CShadowUI& s) { return s.SetSize(-36); }, false},
        {"sharpness 36", [](CShadowUI& s) { return s.SetSharpness(36); }, false},
        {"darkness 256", [](CShadowUI& s) { return s.SetDarkness(256); }, false},
        {"position 0,-36", [](CShadowUI& s) { return s.SetPosition(0, -36); }, false},
        {"position 36,0", [](CShadowUI& s) { return s.SetPosition(36, 0); }, false},
        {"corner with a negative edge",
         [](CShadowUI& s) {
             RECT rc = {1, 2, -1, 4};
             return s.SetShadowCorner(rc);
         },
         false},
        {"null image", [](CShadowUI& s) { return s.SetImage(nullptr); }, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.accepted, c.apply(shadow)) << c.name;
    }
    EXPECT_EQ(7, shadow.GetSize());
    EXPECT_EQ(9u, shadow.GetSharpness());
    EXPECT_EQ(100u, shadow.GetDarkness());
    EXPECT_EQ(2, shadow.GetXOffset());
    EXPECT_EQ(3, shadow.GetYOffset());
    EXPECT_FALSE(shadow.IsImageMode());
    EXPECT_EQ(0, shadow.GetShadowCorner().left);
}

TEST(Shadow, SettersAcceptTheEndsOfTheirRanges)
{
    CShadowUI shadow;
    EXPECT_TRUE(shadow.SetSize(35));
    EXPECT_EQ(35, shadow.GetSize());
    EXPECT_TRUE(shadow.SetSize(-35));
    EXPECT_EQ(-35, shadow.GetSize());
    EXPECT_TRUE(shadow.SetSharpness(35));
    EXPECT_EQ(35u, shadow.GetSharpness());
    EXPECT_TRUE(shadow.SetDarkness(255));
    EXPECT_EQ(255u, shadow.GetDarkness());
    EXPECT_TRUE(shadow.SetPosition(-35, 35));
    EXPECT_EQ(-35, shadow.GetXOffset());
    EXPECT_EQ(35, shadow.GetYOffset());
    RECT corner = {0, 4, 6, 8};
    EXPECT_TRUE(shadow.SetShadowCorner(corner));
    EXPECT_EQ(8, shadow.GetShadowCorner().bottom);
}

TEST(Shadow, DefaultsAreDarkness150Sharpness5AndNoSize)
{
    CShadowUI shadow;
    EXPECT_EQ(150u, shadow.GetDarkness());
    EXPECT_EQ(5u, shadow.GetSharpness());
    EXPECT_EQ(0, shadow.GetSize());
    EXPECT_EQ(0u, shadow.GetColor());
    EXPECT_FALSE(shadow.IsShowShadow());
    EXPECT_EQ(0, shadow.GetStatus());
}

TEST(Shadow, PreMultiplyScalesEachColourByteAndClearsTheTop)
{
    struct Case
    {
        COLORREF colour;
        unsigned char alpha;
        DWORD expected;
    } cases[] = {
        {0x333333, 100, 0x141414},  // 51 * 100 / 255 = 20
        {0xFF8001, 255, 0xFF8001},       {0xFFFFFF, 0, 0},
        {0x123456, 128, 0x091A2B},  // 18, 52, 86 times 128/255, rounded down
        {0xAB000000u | 0xFF, 255, 0xFF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, CShadowUI::PreMultiply(c.colour, c.alpha)) << std::hex << c.colour;
    }
}

TEST(Shadow, CopyShadowCopiesTheOutlineSettingsOrTheImage)
{
    CShadowUI source;
    ConfigureLauncher(source);
    CShadowUI outline;
    EXPECT_TRUE(source.CopyShadow(&outline));
    EXPECT_EQ(3, outline.GetSize());
    EXPECT_EQ(5u, outline.GetSharpness());
    EXPECT_EQ(150u, outline.GetDarkness());
    EXPECT_EQ(1, outline.GetXOffset());
    EXPECT_EQ(1, outline.GetYOffset());
    EXPECT_EQ(0x333333u, outline.GetColor());
    EXPECT_TRUE(outline.IsShowShadow());
    EXPECT_FALSE(outline.IsImageMode());

    CShadowUI imageSource;
    RECT corner = {4, 5, 6, 7};
    ASSERT_TRUE(imageSource.SetImage(L"shadow.png"));
    ASSERT_TRUE(imageSource.SetShadowCorner(corner));
    ASSERT_TRUE(imageSource.SetSize(9));
    CShadowUI image;
    EXPECT_TRUE(imageSource.CopyShadow(&image));
    EXPECT_TRUE(image.IsImageMode());
    EXPECT_STREQ(L"shadow.png", image.GetImage());
    EXPECT_EQ(7, image.GetShadowCorner().bottom);
    EXPECT_EQ(0, image.GetSize());
    EXPECT_FALSE(image.IsShowShadow());

    EXPECT_FALSE(source.CopyShadow(nullptr));
}

// ---- Outline -------------------------------------------------------------

// Every pixel of the shadow of a rectangular owner, for several settings:
// the launcher's, a size wider than the blur (with a fully dark ring), an
// offset that uncovers the dark core, and a negative size.
TEST(ShadowOutline, RectangularOwnerMatchesTheDistanceFormulaAtEveryPixel)
{
    const TOutlineCase cases[] = {
        {"launcher", 3, 5, 150, 1, 1, 0x333333},
        {"size beyond sharpness", 6, 2, 200, 0, 0, 0x0000FF},
        {"offset uncovers the core", 3, 3, 255, 4, -3, 0xFFFFFF},
        {"negative size", -2, 4, 100, 10, 10, 0x804020},
        {"no blur", 2, 0, 90, -1, 2, 0x102030},
    };
    HWND hOwner = CreateOwner(0, 0, false);
    ASSERT_NE(nullptr, hOwner);
    ::SetWindowRgn(hOwner, ::CreateRectRgn(0, 0, kOwnerWidth, kOwnerHeight), FALSE);
    for (const TOutlineCase& c : cases) {
        CShadowUI shadow;
        Configure(shadow, c);
        TShadowBits out = MakeOutline(shadow, hOwner);
        ASSERT_EQ(kOwnerWidth + 2 * c.size, out.width) << c.name;
        int wrong = 0;
        for (int y = 0; y < out.height; ++y) {
            for (int x = 0; x < out.width; ++x) {
                const UINT32 expected = Pixel(c.colour, ExpectedAlpha(c, x, y));
                if (out.At(x, y) != expected && ++wrong <= 3) {
                    ADD_FAILURE() << c.name << " at (" << x << ", " << y << "): " << std::hex << out.At(x, y)
                                  << " instead of " << expected;
                }
            }
        }
        EXPECT_EQ(0, wrong) << c.name;
    }
    ::DestroyWindow(hOwner);
}

// A window without a region casts the shadow of its whole rectangle.
TEST(ShadowOutline, OwnerWithoutRegionIsTakenAsItsRectangle)
{
    HWND hRect = CreateOwner(0, 0, false);
    HWND hPlain = CreateOwner(0, 0, false);
    ::SetWindowRgn(hRect, ::CreateRectRgn(0, 0, kOwnerWidth, kOwnerHeight), FALSE);
    CShadowUI shadow;
    ConfigureLauncher(shadow);
    TShadowBits withRegion = MakeOutline(shadow, hRect);
    TShadowBits withoutRegion = MakeOutline(shadow, hPlain);
    EXPECT_TRUE(withRegion.bits == withoutRegion.bits);
    EXPECT_NE(0u, withoutRegion.At(539, 180));
    ::DestroyWindow(hRect);
    ::DestroyWindow(hPlain);
}

// The launcher's rounded window: clear under the window region, darkest
// next to the window at the centre of the right and bottom edges, and
// falling by the kernel formula outwards from there.
TEST(ShadowOutline, LauncherWindowIsClearUnderItsRegionAndDarkestAtTheEdgeCentre)
{
    HWND hOwner = CreateOwner(0, 0, false);
    SetRoundRegion(hOwner);
    CShadowUI shadow;
    ConfigureLauncher(shadow);
    TShadowBits out = MakeOutline(shadow, hOwner);
    ASSERT_EQ(542, out.width);
    ASSERT_EQ(361, out.height);

    HRGN hRgn = ::CreateRoundRectRgn(0, 0, kOwnerWidth + 1, kOwnerHeight + 1, 5, 5);
    int notClear = 0;
    UINT32 darkest = 0;
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const UINT32 value = out.At(x, y);
            if (value > darkest) darkest = value;
            // The owner lies at (size - offset) = (2, 2) inside the shadow.
            if (::PtInRegion(hRgn, x - 2, y - 2) && value != 0) ++notClear;
        }
    }
    ::DeleteObject(hRgn);
    EXPECT_EQ(0, notClear);

    // The blurred core ends 2 pixels inside the owner's right and bottom
    // edges (sharpness 5 minus size 3), at column 536 and line 355; r counts
    // from there.
    auto f = [](int r) { return KernelAlpha(r * r, 3, 5, 150); };
    const UINT32 colour = 0x333333;
    EXPECT_EQ(Pixel(colour, f(2)), darkest);
    struct Point
    {
        const char* where;
        int x;
        int y;
        int r;
    } points[] = {
        {"right edge centre", 538, 180, 2},  {"right edge centre, outermost", 541, 180, 5},
        {"right edge, 3 out", 539, 100, 3},  {"bottom edge centre", 271, 357, 2},
        {"bottom edge, 4 out", 300, 359, 4}, {"bottom edge, outermost", 271, 360, 5},
        {"left edge centre", 1, 180, 4},     {"left edge, outermost", 0, 180, 5},
        {"top edge centre", 271, 1, 4},
    };
    for (const Point& p : points) {
        EXPECT_EQ(Pixel(colour, f(p.r)), out.At(p.x, p.y)) << p.where;
    }
    EXPECT_EQ(Pixel(colour, f(2)), out.At(538, 180));
    EXPECT_EQ(0u, out.At(541, 360)) << "beyond the kernel's reach";
    ::DestroyWindow(hOwner);
}

// ---- Window --------------------------------------------------------------

TEST_F(ShadowWindowTest, InitializeRegistersTheShadowClassOnce)
{
    EXPECT_FALSE(CShadowUI::Initialize(::GetModuleHandleW(nullptr)));
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    ASSERT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"ZazuruShadowWnd", &wc));
    EXPECT_EQ(static_cast<UINT>(CS_HREDRAW | CS_VREDRAW), wc.style);
}

TEST_F(ShadowWindowTest, LauncherOwnerGetsA542By361ShadowAtOffsetMinusTwo)
{
    auto& [hOwner, pm, shadow] = Launched(true, true);

    HWND hShadow = shadow.GetHWND();
    ASSERT_NE(nullptr, hShadow);
    wchar_t className[64] = {};
    ::GetClassNameW(hShadow, className, 64);
    EXPECT_STREQ(L"ZazuruShadowWnd", className);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(hShadow, GWL_EXSTYLE);
    EXPECT_EQ(WS_EX_LAYERED | WS_EX_TRANSPARENT, exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT));
    EXPECT_EQ(hOwner, ::GetWindow(hShadow, GW_OWNER));
    EXPECT_EQ(CShadowUI::StatusEnabled | CShadowUI::StatusVisible | CShadowUI::StatusParentVisible,
              shadow.GetStatus());
    EXPECT_TRUE(::IsWindowVisible(hShadow));
    RECT expected = {98, 118, 98 + 542, 118 + 361};
    ExpectRect(expected, WindowRect(hShadow));
}

// The status a new shadow takes from its owner's state.
TEST_F(ShadowWindowTest, CreateTakesItsStatusFromTheOwner)
{
    const BYTE all = CShadowUI::StatusEnabled | CShadowUI::StatusVisible | CShadowUI::StatusParentVisible;
    struct Case
    {
        const char* name;
        bool visible;
        int show;  // ShowWindow command before Create, 0 for none
        BYTE status;
        bool shadowShown;
    } cases[] = {
        {"hidden", false, 0, CShadowUI::StatusEnabled, false},
        {"visible", true, 0, all, true},
        {"maximised", true, SW_MAXIMIZE, CShadowUI::StatusEnabled | CShadowUI::StatusParentVisible, false},
        {"minimised", true, SW_MINIMIZE, CShadowUI::StatusEnabled | CShadowUI::StatusParentVisible, false},
    };
    for (const Case& c : cases) {
        HWND hOwner = Owner(100, 120, c.visible);
        if (c.show != 0) ::ShowWindow(hOwner, c.show);
        TLauncherShadow launcher(hOwner);
        CShadowUI& shadow = launcher.shadow;
        ASSERT_NE(nullptr, shadow.GetHWND()) << c.name;
        EXPECT_EQ(c.status, shadow.GetStatus()) << c.name;
        EXPECT_EQ(c.shadowShown, ::IsWindowVisible(shadow.GetHWND()) != FALSE) << c.name;
    }
}

TEST_F(ShadowWindowTest, ShadowFollowsItsOwnersMoves)
{
    auto& [hOwner, pm, shadow] = Launched();
    ASSERT_NE(nullptr, shadow.GetHWND());

    struct Move
    {
        int x;
        int y;
    } moves[] = {{0, 0}, {300, 40}, {-50, 500}, {7, 9}};
    for (const Move& m : moves) {
        ::SetWindowPos(hOwner, nullptr, m.x, m.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT rc = WindowRect(shadow.GetHWND());
        EXPECT_EQ(m.x + 1 - 3, rc.left) << m.x << "," << m.y;
        EXPECT_EQ(m.y + 1 - 3, rc.top) << m.x << "," << m.y;
        EXPECT_EQ(542, rc.right - rc.left);
    }
    ::MoveWindow(hOwner, 60, 70, kOwnerWidth, kOwnerHeight, FALSE);
    ExpectRect(ExpectedShadowRect(hOwner), WindowRect(shadow.GetHWND()));
}

TEST_F(ShadowWindowTest, MaximiseHidesAndRestoreShowsAndRebuilds)
{
    auto& [hOwner, pm, shadow] = Launched(true, true);
    HWND hShadow = shadow.GetHWND();
    ASSERT_NE(nullptr, hShadow);

    ::ShowWindow(hOwner, SW_MAXIMIZE);
    EXPECT_FALSE(::IsWindowVisible(hShadow));
    EXPECT_EQ(0, shadow.GetStatus() & CShadowUI::StatusVisible);
    EXPECT_NE(0, shadow.GetStatus() & CShadowUI::StatusParentVisible);

    SpoilShadowSize(hShadow);
    ::ShowWindow(hOwner, SW_RESTORE);
    EXPECT_TRUE(::IsWindowVisible(hShadow));
    EXPECT_NE(0, shadow.GetStatus() & CShadowUI::StatusVisible);
    ExpectRect(ExpectedShadowRect(hOwner), WindowRect(hShadow));

    ::ShowWindow(hOwner, SW_MINIMIZE);
    EXPECT_FALSE(::IsWindowVisible(hShadow));
}

// A hidden owner has an enabled but hidden shadow; showing the owner shows
// the shadow and rebuilds it at the owner's next paint.
TEST_F(ShadowWindowTest, HiddenOwnerShowsItsShadowWhenShownAndRebuildsAtPaint)
{
    auto& [hOwner, pm, shadow] = Launched(false);
    HWND hShadow = shadow.GetHWND();
    ASSERT_NE(nullptr, hShadow);
    EXPECT_EQ(CShadowUI::StatusEnabled, shadow.GetStatus());
    EXPECT_FALSE(::IsWindowVisible(hShadow));

    ::ShowWindow(hOwner, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(::IsWindowVisible(hShadow));
    EXPECT_EQ(CShadowUI::StatusEnabled | CShadowUI::StatusVisible | CShadowUI::StatusParentVisible,
              shadow.GetStatus());
    SpoilShadowSize(hShadow);
    ::SendMessageW(hOwner, WM_PAINT, 0, 0);
    ExpectRect(ExpectedShadowRect(hOwner), WindowRect(hShadow));

    ::ShowWindow(hOwner, SW_HIDE);
    EXPECT_FALSE(::IsWindowVisible(hShadow));
    EXPECT_EQ(CShadowUI::StatusEnabled, shadow.GetStatus());
}

// Shrinking rebuilds at once; growing waits for the owner's next paint.
TEST_F(ShadowWindowTest, ShrinkingRebuildsAtOnceGrowingAtTheNextPaint)
{
    auto& [hOwner, pm, shadow] = Launched();
    HWND hShadow = shadow.GetHWND();
    ASSERT_NE(nullptr, hShadow);
    ::SendMessageW(hOwner, WM_SIZE, SIZE_RESTORED, MAKELPARAM(kOwnerWidth, kOwnerHeight));

    ::SetWindowPos(hOwner, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rc = WindowRect(hShadow);
    EXPECT_EQ(406, rc.right - rc.left);
    EXPECT_EQ(306, rc.bottom - rc.top);

    ::SetWindowPos(hOwner, nullptr, 0, 0, 500, 320, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    rc = WindowRect(hShadow);
    EXPECT_EQ(406, rc.right - rc.left) << "not before the owner paints";
    ::SendMessageW(hOwner, WM_PAINT, 0, 0);
    rc = WindowRect(hShadow);
    EXPECT_EQ(506, rc.right - rc.left);
    EXPECT_EQ(326, rc.bottom - rc.top);
}

TEST_F(ShadowWindowTest, SizeZeroDrawsNothingAndShowOffCreatesNothing)
{
    HWND hOwner = Owner(100, 120, true);
    CPaintManagerUI pm;
    pm.Init(hOwner);
    CShadowUI sizeZero;
    sizeZero.ShowShadow(true);
    sizeZero.Create(&pm);
    ASSERT_NE(nullptr, sizeZero.GetHWND());
    RECT rc = WindowRect(sizeZero.GetHWND());
    EXPECT_NE(kOwnerWidth, rc.right - rc.left) << "never sized to its owner";
    sizeZero.Update(hOwner);
    rc = WindowRect(sizeZero.GetHWND());
    EXPECT_NE(kOwnerWidth, rc.right - rc.left);

    HWND hOther = Owner(0, 0, true);
    CPaintManagerUI other;
    other.Init(hOther);
    CShadowUI off;
    ASSERT_TRUE(off.SetSize(3));
    off.Create(&other);
    EXPECT_EQ(nullptr, off.GetHWND());
    EXPECT_EQ(0, off.GetStatus());
}

TEST_F(ShadowWindowTest, DisabledShadowHidesAndStaysWhileTheOwnerMoves)
{
    auto& [hOwner, pm, shadow] = Launched();
    HWND hShadow = shadow.GetHWND();
    ASSERT_NE(nullptr, hShadow);

    shadow.DisableShadow(true);
    EXPECT_TRUE(shadow.IsDisableShadow());
    EXPECT_FALSE(::IsWindowVisible(hShadow));
    const RECT before = WindowRect(hShadow);
    ::SetWindowPos(hOwner, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ExpectRect(before, WindowRect(hShadow));

    SpoilShadowSize(hShadow);
    shadow.DisableShadow(false);
    EXPECT_TRUE(::IsWindowVisible(hShadow));
    ExpectRect(ExpectedShadowRect(hOwner), WindowRect(hShadow));
}

// Each successful setter rebuilds a visible shadow at once.
TEST_F(ShadowWindowTest, SettersRebuildAVisibleShadow)
{
    auto& [hOwner, pm, shadow] = Launched();
    HWND hShadow = shadow.GetHWND();
    ASSERT_NE(nullptr, hShadow);

    ASSERT_TRUE(shadow.SetSize(10));
    RECT rc = WindowRect(hShadow);
    EXPECT_EQ(100 + 1 - 10, rc.left);
    EXPECT_EQ(kOwnerWidth + 20, rc.right - rc.left);
    ASSERT_TRUE(shadow.SetPosition(-4, 6));
    rc = WindowRect(hShadow);
    EXPECT_EQ(100 - 4 - 10, rc.left);
    EXPECT_EQ(120 + 6 - 10, rc.top);
    EXPECT_FALSE(shadow.SetSize(40));
    EXPECT_EQ(kOwnerWidth + 20, WindowRect(hShadow).right - WindowRect(hShadow).left);
}

TEST_F(ShadowWindowTest, DestroyingTheOwnerDestroysTheShadowWindow)
{
    auto& [hOwner, pm, shadow] = Launched();
    HWND hShadow = shadow.GetHWND();
    ASSERT_TRUE(::IsWindow(hShadow));

    ::DestroyWindow(hOwner);
    EXPECT_FALSE(::IsWindow(hShadow));
    EXPECT_EQ(nullptr, shadow.GetHWND());

    // The same paint manager on a new window gets a new shadow.
    HWND hNext = Owner(0, 0, true);
    pm.Init(hNext);
    CShadowUI next;
    ConfigureLauncher(next);
    next.Create(&pm);
    EXPECT_TRUE(::IsWindow(next.GetHWND()));
}

// A shadow that goes away before its owner gives the owner its procedure
// back; a second shadow on the same owner, or a second Create, subclasses
// nothing twice.
TEST_F(ShadowWindowTest, ShadowObjectGoneFirstLeavesTheOwnerWorking)
{
    HWND hOwner = Owner(100, 120, true);
    const LONG_PTR original = ::GetWindowLongPtrW(hOwner, GWLP_WNDPROC);
    CPaintManagerUI pm;
    pm.Init(hOwner);
    HWND hShadow = nullptr;
    {
        CShadowUI shadow;
        ConfigureLauncher(shadow);
        shadow.Create(&pm);
        hShadow = shadow.GetHWND();
        ASSERT_NE(nullptr, hShadow);
        EXPECT_NE(original, ::GetWindowLongPtrW(hOwner, GWLP_WNDPROC));

        shadow.Create(&pm);
        EXPECT_EQ(hShadow, shadow.GetHWND());
        CShadowUI second;
        ConfigureLauncher(second);
        second.Create(&pm);
        EXPECT_EQ(nullptr, second.GetHWND());

        ::SetWindowPos(hOwner, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(5 + 1 - 3, WindowRect(hShadow).left);
    }
    EXPECT_EQ(original, ::GetWindowLongPtrW(hOwner, GWLP_WNDPROC));
    EXPECT_FALSE(::IsWindow(hShadow));
    ::SetWindowPos(hOwner, nullptr, 50, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(50, WindowRect(hOwner).left);
}

// A 32-bit top-down bitmap of the given pixels (B G R A, premultiplied).
HBITMAP MakeBitmap(int width, int height, UINT32 fill, UINT32 cornerFill, int corner)
{
    return TestSupport::CreateSourceBitmap(width, height, [=](int x, int y) {
        return static_cast<DWORD>((x < corner && y < corner) ? cornerFill : fill);
    });
}

// Image mode: the image is stretched over the owner's rectangle grown by
// the size (the offset plays no part), its corners kept at their size and
// its middle left clear.
TEST_F(ShadowWindowTest, ImageModeStretchesTheImageAroundTheOwner)
{
    HWND hOwner = Owner(100, 120, true);
    CPaintManagerUI pm;
    pm.Init(hOwner);
    const UINT32 edge = 0xFF336699;
    const UINT32 cornerColour = 0xFF0000FF;
    ASSERT_NE(nullptr,
              pm.AddImage(L"shadow_test.png", MakeBitmap(40, 40, edge, cornerColour, 10), 40, 40, true));
    CShadowUI shadow;
    ASSERT_TRUE(shadow.SetSize(8));
    ASSERT_TRUE(shadow.SetPosition(5, 5));
    ASSERT_TRUE(shadow.SetImage(L"shadow_test.png"));
    RECT corner = {10, 10, 10, 10};
    ASSERT_TRUE(shadow.SetShadowCorner(corner));
    shadow.ShowShadow(true);
    shadow.Create(&pm);
    HWND hShadow = shadow.GetHWND();
    ASSERT_NE(nullptr, hShadow);
    RECT expected = {92, 112, 92 + 552, 112 + 371};
    ExpectRect(expected, WindowRect(hShadow));

    ::SetWindowPos(hOwner, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(30 - 8, WindowRect(hShadow).left);
    EXPECT_EQ(40 - 8, WindowRect(hShadow).top);

    const int w = 552;
    const int h = 371;
    HBITMAP target = MakeBitmap(w, h, 0, 0, 0);
    HDC hdc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(hdc, target);
    ASSERT_TRUE(shadow.DrawShadowImage(hdc, w, h));
    ::GdiFlush();
    DIBSECTION dib = {};
    ::GetObjectW(target, sizeof(dib), &dib);
    const UINT32* px = static_cast<const UINT32*>(dib.dsBm.bmBits);
    struct Point
    {
        const char* where;
        int x;
        int y;
        UINT32 value;
    } points[] = {
        {"top-left corner", 0, 0, cornerColour}, {"top-left corner, inner end", 9, 9, cornerColour},
        {"past the corner", 10, 10, 0},          {"left edge", 3, 185, edge},
        {"right edge", w - 1, 185, edge},        {"top edge", 276, 2, edge},
        {"bottom edge", 276, h - 1, edge},       {"middle left out", 276, 185, 0},
    };
    for (const Point& p : points) {
        EXPECT_EQ(p.value, px[p.y * w + p.x]) << p.where;
    }
    ::SelectObject(hdc, old);
    ::DeleteDC(hdc);
    ::DeleteObject(target);

    // A missing image leaves the shadow window as it was.
    SpoilShadowSize(hShadow);
    ASSERT_TRUE(shadow.SetImage(L"no_such_shadow.png"));
    EXPECT_EQ(10, WindowRect(hShadow).right - WindowRect(hShadow).left);
    CShadowUI unattached;
    ASSERT_TRUE(unattached.SetImage(L"shadow_test.png"));
    HDC screen = ::GetDC(nullptr);
    EXPECT_FALSE(unattached.DrawShadowImage(screen, 10, 10));
    ::ReleaseDC(nullptr, screen);
}

}  // namespace
