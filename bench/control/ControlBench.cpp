// Layout, hit-test and paint figures for a tree shaped like the launcher's:
// a root layout, a float frame, three rows and twenty float controls.

#include "bench/support/Bench.h"
#include "skinui/control/HorizontalLayout.h"
#include "skinui/control/VerticalLayout.h"
#include "skinui/core/PaintManager.h"
#include "skinui/render/RenderEngine.h"

#include <stdio.h>

using namespace SkinUI;

namespace {

struct Tree
{
    HWND hWnd = nullptr;
    CPaintManagerUI& manager;
    CVerticalLayoutUI* root = nullptr;

    Tree() : manager(*new CPaintManagerUI)
    {
        hWnd = ::CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 536, 355, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
        manager.Init(hWnd);
        root = new CVerticalLayoutUI;
        CVerticalLayoutUI* frame = new CVerticalLayoutUI;
        frame->ApplyAttributeList(L"float=\"true\" pos=\"0,0,0,0\" width=\"536\" height=\"355\"");
        root->Add(frame);
        const int heights[3] = {50, 255, 50};
        for (int r = 0; r < 3; r++) {
            CHorizontalLayoutUI* row = new CHorizontalLayoutUI;
            row->SetFixedWidth(535);
            row->SetFixedHeight(heights[r]);
            frame->Add(row);
            for (int i = 0; i < 7; i++) {
                wchar_t attrs[160];
                swprintf(attrs, 160,
                         L"name=\"c%d_%d\" float=\"true\" pos=\"%d,%d,0,0\" width=\"60\" height=\"20\" "
                         L"bkcolor=\"#FF%02X8040\"",
                         r, i, 10 + 70 * i, 10 + r, 30 * i);
                CControlUI* control = new CControlUI;
                control->ApplyAttributeList(attrs);
                row->Add(control);
            }
        }
        manager.AttachDialog(root);
    }
    ~Tree()
    {
        delete &manager;
        ::DestroyWindow(hWnd);
    }
};

}  // namespace

VOZEROR_BENCH(LauncherTreeLayout)
{
    Tree tree;
    RECT rc = {0, 0, 536, 355};
    const int kPasses = 20000;
    double start = Bench::Now();
    for (int i = 0; i < kPasses; i++) tree.root->SetPos(rc, false);
    double elapsed = Bench::Now() - start;
    Bench::Report("tree_layout_us", elapsed * 1e6 / kPasses);

    const int kHits = 200000;
    int found = 0;
    start = Bench::Now();
    for (int i = 0; i < kHits; i++) {
        POINT pt = {(i * 7) % 536, (i * 13) % 355};
        found += tree.manager.FindControl(pt) != nullptr;
    }
    elapsed = Bench::Now() - start;
    Bench::Report("hit_test_us", elapsed * 1e6 / kHits);

    start = Bench::Now();
    for (int i = 0; i < kHits; i++) found += tree.manager.FindControl(L"c2_6") != nullptr;
    elapsed = Bench::Now() - start;
    Bench::Report("name_lookup_us", elapsed * 1e6 / kHits);
    if (found == 0) printf("nothing found\n");
}

VOZEROR_BENCH(LauncherTreePaint)
{
    Tree tree;
    RECT rc = {0, 0, 536, 355};
    tree.root->SetPos(rc, false);
    HDC hScreen = ::GetDC(nullptr);
    HDC hDC = ::CreateCompatibleDC(hScreen);
    BYTE* pBits = nullptr;
    HBITMAP hBitmap = CRenderEngine::CreateARGB32Bitmap(hScreen, 536, 355, &pBits);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    const int kPasses = 200;
    double start = Bench::Now();
    for (int i = 0; i < kPasses; i++) tree.root->DoPaint(hDC, rc);
    double elapsed = Bench::Now() - start;
    Bench::Report("tree_paint_21_controls_ms", elapsed * 1e3 / kPasses);
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hDC);
    ::ReleaseDC(nullptr, hScreen);
}
