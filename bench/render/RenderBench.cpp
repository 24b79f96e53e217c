// Drawing figures: the launcher's background drawn through the manager
// against one plain AlphaBlend of the same bitmap, and a two-line
// inline-markup label with a link and colours.
#include "bench/support/Bench.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/MemoryDib.h"
#include "skinui/render/RenderEngine.h"
#include "tests/support/PaintManagerWindow.h"

#include <windows.h>

using SkinUI::CRenderEngine;

namespace {

const int kWidth = 536;
const int kHeight = 355;
const int kWarmUp = 20;
const int kRounds = 300;

// A premultiplied 536 x 355 image with soft edges, like the skin's "bg.png".
HBITMAP MakeBackground()
{
    BYTE* pBits = nullptr;
    HBITMAP hBitmap = SkinUI::CMemoryDib::CreateBitmap(nullptr, kWidth, kHeight, true, &pBits);
    if (hBitmap == nullptr) return nullptr;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int edge = x < y ? x : y;
            const int alpha = edge < 8 ? 32 * edge : 255;
            BYTE* p = pBits + (y * kWidth + x) * 4;
            p[0] = static_cast<BYTE>(0xF0 * alpha / 255);
            p[1] = static_cast<BYTE>(0xE8 * alpha / 255);
            p[2] = static_cast<BYTE>((x & 0xFF) * alpha / 255);
            p[3] = static_cast<BYTE>(alpha > 255 ? 255 : alpha);
        }
    }
    return hBitmap;
}

struct TOffscreen
{
    HDC hDC = nullptr;
    HBITMAP hBitmap = nullptr;
    HGDIOBJ hOld = nullptr;
    explicit TOffscreen(HDC hPaintDC)
    {
        BYTE* pBits = nullptr;
        hDC = ::CreateCompatibleDC(hPaintDC);
        hBitmap = CRenderEngine::CreateARGB32Bitmap(hPaintDC, kWidth, kHeight, &pBits);
        hOld = ::SelectObject(hDC, hBitmap);
    }
    ~TOffscreen()
    {
        ::SelectObject(hDC, hOld);
        ::DeleteObject(hBitmap);
        ::DeleteDC(hDC);
    }
};

}  // namespace

VOZEROR_BENCH(BackgroundImage)
{
    TestSupport::PaintManagerWindow window;
    if (!window.IsValid()) return;
    SkinUI::CPaintManagerUI* pManager = window.Manager();
    if (pManager->AddImage(L"bg.png", MakeBackground(), kWidth, kHeight, true) == nullptr) return;
    TOffscreen target(pManager->GetPaintDC());
    RECT rc = {0, 0, kWidth, kHeight};

    for (int i = 0; i < kWarmUp; ++i) {
        CRenderEngine::DrawImageString(target.hDC, pManager, rc, rc, L"bg.png");
    }
    double start = Bench::Now();
    for (int i = 0; i < kRounds; ++i) {
        CRenderEngine::DrawImageString(target.hDC, pManager, rc, rc, L"bg.png");
    }
    const double bgUs = (Bench::Now() - start) * 1e6 / kRounds;

    const SkinUI::TImageInfo* pImage = pManager->GetImage(L"bg.png");
    HDC hSrcDC = ::CreateCompatibleDC(pManager->GetPaintDC());
    HGDIOBJ hOld = ::SelectObject(hSrcDC, pImage->hBitmap);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (int i = 0; i < kWarmUp; ++i) {
        ::AlphaBlend(target.hDC, 0, 0, kWidth, kHeight, hSrcDC, 0, 0, kWidth, kHeight, blend);
    }
    start = Bench::Now();
    for (int i = 0; i < kRounds; ++i) {
        ::AlphaBlend(target.hDC, 0, 0, kWidth, kHeight, hSrcDC, 0, 0, kWidth, kHeight, blend);
    }
    const double alphaBlendUs = (Bench::Now() - start) * 1e6 / kRounds;
    ::SelectObject(hSrcDC, hOld);
    ::DeleteDC(hSrcDC);

    Bench::Report("bg_draw_us", bgUs);
    Bench::Report("alphablend_us", alphaBlendUs);
    Bench::Report("bg_vs_alphablend", alphaBlendUs > 0 ? bgUs / alphaBlendUs : 0);
}

VOZEROR_BENCH(HtmlLabel)
{
    TestSupport::PaintManagerWindow window;
    if (!window.IsValid()) return;
    SkinUI::CPaintManagerUI* pManager = window.Manager();
    TOffscreen target(pManager->GetPaintDC());
    LPCTSTR text = L"{c #FF6600}安装完成后{/c}即可使用，如有问题请联系{a http://kf}在线客服{/a}"
                   L"{n}或拨打服务热线 {u}{c #1E90FF}400-000-0000{/c}{/u}，工作日 9:00-18:00";
    RECT links[4] = {};
    SkinUI::CUIString linkTexts[4];
    for (int i = 0; i < kWarmUp; ++i) {
        RECT rc = {20, 300, 516, 350};
        int count = 4;
        CRenderEngine::DrawHtmlText(target.hDC, pManager, rc, text, 0xFF333333, links, linkTexts, count,
                                    DT_WORDBREAK);
    }
    const double start = Bench::Now();
    for (int i = 0; i < kRounds; ++i) {
        RECT rc = {20, 300, 516, 350};
        int count = 4;
        CRenderEngine::DrawHtmlText(target.hDC, pManager, rc, text, 0xFF333333, links, linkTexts, count,
                                    DT_WORDBREAK);
    }
    Bench::Report("html_text_us", (Bench::Now() - start) * 1e6 / kRounds);
}
