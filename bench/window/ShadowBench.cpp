// The launcher's shadow (536 x 355 window with 5 x 5 round corners, size 3,
// offset 1,1, sharpness 5): the outline computation alone, and a whole
// rebuild through Update including the DIB section and UpdateLayeredWindow.

#include "bench/support/Bench.h"
#include "skinui/core/PaintManager.h"
#include "skinui/core/Shadow.h"

#include <algorithm>
#include <vector>

namespace {

const int kWidth = 536;
const int kHeight = 355;

HWND CreateLauncherSizedOwner()
{
    static bool s_registered = false;
    if (!s_registered) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ShadowBenchOwner";
        ::RegisterClassExW(&wc);
        s_registered = true;
    }
    HWND hWnd = ::CreateWindowExW(0, L"ShadowBenchOwner", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, kWidth,
                                  kHeight, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowRgn(hWnd, ::CreateRoundRectRgn(0, 0, kWidth + 1, kHeight + 1, 5, 5), FALSE);
    return hWnd;
}

void ConfigureLauncher(SkinUI::CShadowUI& shadow)
{
    shadow.SetSize(3);
    shadow.SetPosition(1, 1);
    shadow.SetColor(0x333333);
    shadow.ShowShadow(true);
}

}  // namespace

VOZEROR_BENCH(ShadowOutline)
{
    HWND hOwner = CreateLauncherSizedOwner();
    SkinUI::CShadowUI shadow;
    ConfigureLauncher(shadow);
    RECT rc;
    ::GetWindowRect(hOwner, &rc);
    std::vector<UINT32> bits(static_cast<size_t>(kWidth + 6) * (kHeight + 6));
    const int rounds = 20;
    const double start = Bench::Now();
    for (int i = 0; i < rounds; ++i) {
        std::fill(bits.begin(), bits.end(), 0u);
        shadow.MakeShadow(bits.data(), hOwner, rc);
    }
    Bench::Report("shadow_outline_536x355_ms", (Bench::Now() - start) * 1000.0 / rounds);
    ::DestroyWindow(hOwner);
}

VOZEROR_BENCH(ShadowUpdate)
{
    SkinUI::CShadowUI::Initialize(::GetModuleHandleW(nullptr));
    HWND hOwner = CreateLauncherSizedOwner();
    SkinUI::CPaintManagerUI pm;
    pm.Init(hOwner);
    {
        SkinUI::CShadowUI shadow;
        ConfigureLauncher(shadow);
        shadow.Create(&pm);
        const int rounds = 20;
        const double start = Bench::Now();
        for (int i = 0; i < rounds; ++i) shadow.Update(hOwner);
        Bench::Report("shadow_update_536x355_ms", (Bench::Now() - start) * 1000.0 / rounds);
    }
    ::DestroyWindow(hOwner);
}
