#include "skinui/control/Container.h"
#include "skinui/control/VerticalLayout.h"
#include "skinui/render/RenderEngine.h"
#include "tests/support/ControlTree.h"
#include "tests/support/DibSurface.h"
#include "tests/support/ImageWriter.h"
#include "tests/support/PaintManagerWindow.h"
#include "tests/support/PixelScan.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace SkinUI;
using TestSupport::AddChild;
using TestSupport::AddFloat;
using TestSupport::DibSurface;
using TestSupport::R;
using namespace TestSupport::Colors;

namespace {

// RGB only: GDI drawing may leave the alpha byte as it was.
DWORD Rgb(DWORD argb)
{
    return argb & 0x00FFFFFF;
}

// Paints its status image and text steps as coloured rectangles, so that
// every step of the fixed order leaves its own mark.
class CStepControl : public CControlUI
{
public:
    RECT rcStatus = {0, 0, 0, 0};
    RECT rcText = {0, 0, 0, 0};
    std::vector<int> steps;

    void PaintBkColor(HDC hDC) override
    {
        steps.push_back(1);
        CControlUI::PaintBkColor(hDC);
    }
    void PaintBkImage(HDC hDC) override
    {
        steps.push_back(2);
        CControlUI::PaintBkImage(hDC);
    }
    void PaintStatusImage(HDC hDC) override
    {
        steps.push_back(3);
        CRenderEngine::DrawColor(hDC, rcStatus, kGreen);
    }
    void PaintForeColor(HDC hDC) override
    {
        steps.push_back(4);
        CControlUI::PaintForeColor(hDC);
    }
    void PaintForeImage(HDC hDC) override
    {
        steps.push_back(5);
        CControlUI::PaintForeImage(hDC);
    }
    void PaintText(HDC hDC) override
    {
        steps.push_back(6);
        CRenderEngine::DrawColor(hDC, rcText, kBlue);
    }
    void PaintBorder(HDC hDC) override
    {
        steps.push_back(7);
        CControlUI::PaintBorder(hDC);
    }
};

// A solid image file in a fresh folder that is the resource path while the
// object lives.
class CImageFolder
{
public:
    CImageFolder() : m_sOldPath(CPaintManagerUI::GetResourcePath())
    {
        CPaintManagerUI::SetResourcePath(TestSupport::WideFromAnsi(m_folder.Path() + "\\").c_str());
    }
    ~CImageFolder() { CPaintManagerUI::SetResourcePath(m_sOldPath); }

    void Write(const char* name, int cx, int cy, DWORD argb)
    {
        const std::string png = TestSupport::EncodePng(cx, cy, TestSupport::SolidRgba(cx, cy, argb));
        ASSERT_TRUE(TestSupport::WriteWholeFile(m_folder.File(name), png));
    }

private:
    TestSupport::TempFolder m_folder;
    CUIString m_sOldPath;
};

struct PixelCase
{
    int x, y;
    DWORD rgb;
    const char* what;
};

void ExpectPixels(const DibSurface& dib, const std::vector<PixelCase>& cases)
{
    for (const PixelCase& pc : cases) {
        EXPECT_EQ(Rgb(dib.Pixel(pc.x, pc.y)), Rgb(pc.rgb))
            << pc.what << " at " << pc.x << "," << pc.y << ": " << std::hex << dib.Pixel(pc.x, pc.y);
    }
}

}  // namespace

// One control, every step visible: the background colour covers the item,
// the background image a part of it, then the status image, the text and
// last the border on top of all.
TEST(ControlPaint, StepsPaintInTheirFixedOrder)
{
    CImageFolder images;
    images.Write("yellow.png", 4, 4, kYellow);
    TestSupport::PaintManagerWindow window;
    CStepControl* control = new CStepControl;
    control->ApplyAttributeList(L"bkcolor=\"#FFFF0000\" bkimage=\"file='yellow.png' dest='5,5,55,35'\" "
                                L"bordercolor=\"#FFFFFFFF\" bordersize=\"1\"");
    control->rcStatus = R(10, 10, 50, 30);
    control->rcText = R(20, 15, 40, 25);
    ASSERT_TRUE(window.Manager()->AttachDialog(control));
    control->SetPos(R(0, 0, 60, 40), false);

    DibSurface dib(80, 50);
    ASSERT_TRUE(dib.IsValid());
    dib.Clear(0xFF000000);
    control->DoPaint(dib.GetDC(), R(0, 0, 80, 50));

    EXPECT_EQ(control->steps, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    ExpectPixels(dib,
                 {
                     {2, 2, kRed, "background colour"},
                     {57, 37, kRed, "background colour"},
                     {6, 6, kYellow, "background image"},
                     {52, 32, kYellow, "background image"},
                     {12, 12, kGreen, "status image"},
                     {30, 20, kBlue, "text"},
                     {0, 0, kWhite, "border corner"},
                     {30, 0, kWhite, "border top"},
                     {59, 20, kWhite, "border right"},
                     {30, 39, kWhite, "border bottom"},
                     {70, 45, 0xFF000000, "outside the item"},
                 });
}

// Background colours: opaque ones fill only the paint rectangle, others the
// whole item; six hexadecimal digits carry alpha 0 and paint nothing;
// gradients run from top to bottom.
TEST(ControlPaint, BackgroundColours)
{
    const std::tuple<const wchar_t*, RECT, std::vector<PixelCase>> cases[] = {
        {L"bkcolor=\"#FFFFFFFF\"",
         R(0, 0, 20, 40),
         {{5, 5, kWhite, "inside the paint rectangle"}, {30, 5, 0, "outside the paint rectangle"}}},
        {L"bkcolor=\"#80FFFFFF\"", R(0, 0, 20, 40), {{30, 5, 0x808080, "translucent covers the whole item"}}},
        {L"bkcolor=\"#FFFFFF\"", R(0, 0, 40, 40), {{5, 5, 0, "alpha 0 paints nothing"}}},
        {L"bkcolor=\"#FF000000\" bkcolor2=\"#FFFFFFFF\"",
         R(0, 0, 40, 40),
         {{20, 0, 0x000000, "gradient top"}, {20, 39, 0xF0F0F0, "gradient bottom"}}},
        {L"bkcolor=\"#FFFF0000\" bkcolor2=\"#FF00FF00\" bkcolor3=\"#FF0000FF\"",
         R(0, 0, 40, 40),
         {{20, 0, kRed, "upper gradient starts red"}, {20, 39, kBlue, "lower gradient ends blue"}}},
    };
    for (const auto& [attrs, paint, pixels] : cases) {
        TestSupport::PaintManagerWindow window;
        CControlUI* control = new CControlUI;
        control->ApplyAttributeList(attrs);
        window.Manager()->AttachDialog(control);
        control->SetPos(R(0, 0, 40, 40), false);
        DibSurface dib(40, 40);
        dib.Clear(0xFF000000);
        control->DoPaint(dib.GetDC(), paint);
        // Blends and gradient ends are near their value, not exact.
        for (const PixelCase& pc : pixels) {
            DWORD got = Rgb(dib.Pixel(pc.x, pc.y));
            for (int shift = 0; shift < 24; shift += 8) {
                int channel = (got >> shift) & 0xFF;
                EXPECT_NEAR(channel, static_cast<int>((pc.rgb >> shift) & 0xFF), 24)
                    << attrs << ": " << pc.what << " " << std::hex << got;
            }
        }
    }
}

// Borders: focus colour for a focused control, per-side lines winning over
// the uniform size, nothing without a colour.
TEST(ControlPaint, Borders)
{
    const std::tuple<const wchar_t*, bool, std::vector<PixelCase>> cases[] = {
        {L"bordersize=\"1\" bordercolor=\"#FFFF0000\" focusbordercolor=\"#FF00FF00\"",
         false,
         {{0, 10, kRed, "left"}, {10, 10, 0, "inside"}}},
        {L"bordersize=\"1\" bordercolor=\"#FFFF0000\" focusbordercolor=\"#FF00FF00\"",
         true,
         {{0, 10, kGreen, "focused left"}, {19, 10, kGreen, "focused right"}}},
        {L"bordersize=\"0,0,0,2\" bordercolor=\"#FFFF0000\"",
         false,
         {{10, 19, kRed, "bottom line on row bottom - 1"},
          {10, 0, 0, "no top"},
          {0, 10, 0, "no left"},
          {19, 10, 0, "no right"},
          {10, 16, 0, "above the line"}}},
        {L"bordersize=\"2,0,0,0\" bordercolor=\"#FF0000FF\"",
         false,
         {{0, 10, kBlue, "left line"}, {10, 19, 0, "no bottom"}}},
        {L"bordersize=\"3\"", false, {{0, 10, 0, "no colour, no border"}}},
    };
    for (const auto& [attrs, focused, pixels] : cases) {
        TestSupport::PaintManagerWindow window;
        CControlUI* control = new CControlUI;
        control->ApplyAttributeList(attrs);
        window.Manager()->AttachDialog(control);
        control->SetPos(R(0, 0, 20, 20), false);
        if (focused) {
            control->SetFocus();
            ASSERT_TRUE(control->IsFocused());
        }
        DibSurface dib(20, 20);
        dib.Clear(0xFF000000);
        control->DoPaint(dib.GetDC(), R(0, 0, 20, 20));
        for (const PixelCase& pc : pixels) {
            EXPECT_EQ(Rgb(dib.Pixel(pc.x, pc.y)), Rgb(pc.rgb)) << attrs << ": " << pc.what;
        }
    }
}

// Children are clipped to their container's client area (item minus inset);
// float children only to the container's item rectangle.
TEST(ControlPaint, ChildrenAreClippedToTheirParent)
{
    TestSupport::PaintManagerWindow window;
    CContainerUI* root = new CContainerUI;
    root->ApplyAttributeList(L"inset=\"10,10,10,10\"");
    CContainerUI* box = new CContainerUI;
    box->ApplyAttributeList(L"float=\"true\" pos=\"20,20,0,0\" width=\"40\" height=\"40\" inset=\"5,5,5,5\"");
    CControlUI* big = new CControlUI;  // fills box's client area, grown beyond it
    big->ApplyAttributeList(L"bkcolor=\"#FFFF0000\" minwidth=\"100\" minheight=\"100\"");
    CControlUI* floating = new CControlUI;
    floating->ApplyAttributeList(
        L"float=\"true\" pos=\"30,30,0,0\" width=\"30\" height=\"30\" bkcolor=\"#FF00FF00\"");
    root->Add(box);
    box->Add(big);
    box->Add(floating);
    window.Manager()->AttachDialog(root);
    root->SetPos(R(0, 0, 100, 100), false);
    ASSERT_EQ(big->GetPos().right, 125);

    DibSurface dib(100, 100);
    dib.Clear(0xFF000000);
    root->DoPaint(dib.GetDC(), R(0, 0, 100, 100));
    ExpectPixels(dib,
                 {
                     {30, 30, kRed, "inside box's client area"},
                     {22, 30, 0, "box inset"},
                     {56, 40, 0, "right of box's client area"},
                     {70, 40, 0, "outside box"},
                     {52, 52, kGreen, "float child inside box's client area"},
                     {57, 57, kGreen, "float child over box's inset"},
                     {62, 62, 0, "float child outside box"},
                 });

    // Only the paint rectangle is painted.
    dib.Clear(0xFF000000);
    root->DoPaint(dib.GetDC(), R(0, 0, 35, 100));
    ExpectPixels(dib, {{30, 30, kRed, "inside"}, {40, 30, 0, "right of the paint rectangle"}});

    // A hidden child paints nothing.
    big->SetVisible(false);
    dib.Clear(0xFF000000);
    root->DoPaint(dib.GetDC(), R(0, 0, 100, 100));
    ExpectPixels(dib, {{30, 30, 0, "hidden"}});
}

// Round corners come from "borderround" only; "roundcorner" stays a custom
// attribute and paints square corners.
TEST(ControlPaint, RoundCornersClip)
{
    const std::tuple<const wchar_t*, DWORD> cases[] = {
        {L"bkcolor=\"#FFFFFFFF\" borderround=\"10,10\"", 0},
        {L"bkcolor=\"#FFFFFFFF\" roundcorner=\"10,10\"", kWhite},
        {L"bkcolor=\"#FFFFFFFF\"", kWhite},
    };
    for (const auto& [attrs, corner] : cases) {
        TestSupport::PaintManagerWindow window;
        CControlUI* control = new CControlUI;
        control->ApplyAttributeList(attrs);
        window.Manager()->AttachDialog(control);
        control->SetPos(R(0, 0, 40, 30), false);
        DibSurface dib(40, 30);
        dib.Clear(0xFF000000);
        control->DoPaint(dib.GetDC(), R(0, 0, 40, 30));
        EXPECT_EQ(Rgb(dib.Pixel(0, 0)), Rgb(corner)) << attrs;
        EXPECT_EQ(Rgb(dib.Pixel(39, 0)), Rgb(corner)) << attrs;
        EXPECT_EQ(Rgb(dib.Pixel(0, 29)), Rgb(corner)) << attrs;
        EXPECT_EQ(Rgb(dib.Pixel(20, 15)), Rgb(kWhite)) << attrs;
        EXPECT_EQ(Rgb(dib.Pixel(20, 0)), Rgb(kWhite)) << attrs;
    }

    // The clip ends with the control: a later sibling paints its corner.
    TestSupport::PaintManagerWindow window;
    CContainerUI* root = new CContainerUI;
    AddChild<CControlUI>(root,
                         L"float=\"true\" pos=\"0,0,0,0\" width=\"40\" height=\"30\" bkcolor=\"#FFFFFFFF\" "
                         L"borderround=\"10,10\"");
    AddChild<CControlUI>(root,
                         L"float=\"true\" pos=\"0,0,0,0\" width=\"4\" height=\"4\" bkcolor=\"#FF00FFFF\"");
    window.Manager()->AttachDialog(root);
    root->SetPos(R(0, 0, 40, 30), false);
    DibSurface dib(40, 30);
    dib.Clear(0xFF000000);
    root->DoPaint(dib.GetDC(), R(0, 0, 40, 30));
    EXPECT_EQ(Rgb(dib.Pixel(0, 0)), Rgb(kCyan));
    EXPECT_EQ(Rgb(dib.Pixel(39, 0)), 0u);
}

// Invalidation is clipped to the visible part of the parent chain before it
// reaches the window.
TEST(ControlPaint, InvalidationStaysInsideTheParentChain)
{
    TestSupport::PaintManagerWindow window;
    ::ShowWindow(window.Handle(), SW_SHOWNOACTIVATE);
    CContainerUI* root = new CContainerUI;
    CContainerUI* box = AddFloat<CContainerUI>(root, 10, 10, 50, 50);
    CControlUI* inside = AddFloat<CControlUI>(box, 40, 40, 20, 20);
    CControlUI* outside = AddFloat<CControlUI>(box, 60, 60, 20, 20);
    window.Manager()->AttachDialog(root);
    root->SetPos(R(0, 0, 200, 200), false);

    const std::tuple<CControlUI*, bool, RECT> cases[] = {
        {inside, false, R(50, 50, 60, 60)},
        {outside, false, R(0, 0, 0, 0)},
        {inside, true, R(0, 0, 0, 0)},
    };
    for (const auto& [control, hidden, expected] : cases) {
        ::ValidateRect(window.Handle(), nullptr);
        control->SetInternVisible(!hidden);
        control->Invalidate();
        RECT rc = {0, 0, 0, 0};
        ::GetUpdateRect(window.Handle(), &rc, FALSE);
        EXPECT_EQ(TestSupport::Rect(rc), TestSupport::Rect(expected));
        control->SetInternVisible(true);
    }
}
