// Figures for the render groundwork: draw-string parsing, the draw-string
// cache, font lookups and a paint manager's life.
#include "bench/support/Bench.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/DrawInfo.h"

#include <stdio.h>

using SkinUI::CPaintManagerUI;
using SkinUI::TDrawInfo;

namespace {

const wchar_t kDrawString[] = L"file='btn_close_1.png' mask='#FFFF00FF' dest='0,0,30,30' corner='2,2,2,2'";

}  // namespace

VOZEROR_BENCH(DrawStringParse)
{
    const int kCount = 100000;
    TDrawInfo info;
    double start = Bench::Now();
    for (int i = 0; i < kCount; ++i) info.Parse(kDrawString, L"source='0,0,10,10'", nullptr);
    double elapsed = Bench::Now() - start;
    Bench::Report("draw_string_parse_us", elapsed * 1e6 / kCount);
}

VOZEROR_BENCH(DrawInfoCacheHit)
{
    CPaintManagerUI manager;
    wchar_t szImage[64];
    for (int i = 0; i < 200; ++i) {
        swprintf(szImage, 64, L"file='img%d.png' mask='#FF0000'", i);
        manager.GetDrawInfo(szImage, nullptr);
    }
    const int kCount = 200000;
    double start = Bench::Now();
    const TDrawInfo* pLast = nullptr;
    for (int i = 0; i < kCount; ++i) pLast = manager.GetDrawInfo(L"file='img7.png' mask='#FF0000'", nullptr);
    double elapsed = Bench::Now() - start;
    Bench::Report("draw_info_cache_hit_us", elapsed * 1e6 / kCount);
    Bench::Report("draw_info_cache_hit_valid", pLast != nullptr ? 1 : 0);
}

VOZEROR_BENCH(FontLookups)
{
    CPaintManagerUI manager;
    for (int id = 0; id < 8; ++id) manager.AddFont(id, L"Arial", 10 + id, false, false, false);
    HFONT hLast = manager.GetFont(7);
    const int kCount = 200000;
    double start = Bench::Now();
    HFONT h = nullptr;
    for (int i = 0; i < kCount; ++i) h = manager.GetFont(i & 7);
    double byId = Bench::Now() - start;
    start = Bench::Now();
    for (int i = 0; i < kCount; ++i) manager.GetFontInfo(hLast);
    double byHandle = Bench::Now() - start;
    Bench::Report("font_by_id_us", byId * 1e6 / kCount);
    Bench::Report("font_info_by_handle_us", byHandle * 1e6 / kCount);
    Bench::Report("font_lookup_valid", h != nullptr ? 1 : 0);
}

VOZEROR_BENCH(ManagerLife)
{
    const int kCount = 500;
    double start = Bench::Now();
    for (int i = 0; i < kCount; ++i) {
        CPaintManagerUI manager;
        manager.AddFont(1, L"Arial", 12, false, false, false);
        manager.GetDrawInfo(kDrawString, nullptr);
    }
    double elapsed = Bench::Now() - start;
    Bench::Report("manager_life_with_gdiplus_us", elapsed * 1e6 / kCount);
}
