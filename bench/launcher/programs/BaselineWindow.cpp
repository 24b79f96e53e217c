// The smallest program that shows what the launcher shows at start: one
// 536x355 window, made layered in its first WM_PAINT (a window created layered
// gets no WM_PAINT under Wine) and presented once with UpdateLayeredWindow
// from a 32-bit DIB section filled before the window opens. Figures:
//   baseline_first_frame_ms   wWinMain entry to the end of the first WM_PAINT
//   with the argument "idle S", after S seconds untouched:
//   baseline_idle_private_mib

#include "bench/launcher/programs/ProbeReport.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>

namespace {

const int kWidth = 536;
const int kHeight = 355;
const UINT_PTR kIdleTimer = 1;

LARGE_INTEGER g_entered;
HDC g_memory;
HBITMAP g_bitmap;
bool g_presented;
int g_idleSeconds;

// A premultiplied opaque gradient, so that the frame is not a flat colour.
bool PrepareBitmap()
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    g_memory = CreateCompatibleDC(nullptr);
    g_bitmap = CreateDIBSection(g_memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (g_memory == nullptr || g_bitmap == nullptr || bits == nullptr) return false;
    uint32_t* pixel = static_cast<uint32_t*>(bits);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            *pixel++ = 0xFF000000u | uint32_t(y * 255 / kHeight) << 8 | uint32_t(x * 255 / kWidth);
    SelectObject(g_memory, g_bitmap);
    return true;
}

void Present(HWND window)
{
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    RECT place;
    GetWindowRect(window, &place);
    POINT to = {place.left, place.top};
    POINT from = {0, 0};
    SIZE size = {kWidth, kHeight};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, nullptr, &to, &size, g_memory, &from, 0, &blend, ULW_ALPHA);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        if (!g_presented) Present(window);
        EndPaint(window, &paint);
        if (!g_presented) {
            g_presented = true;
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            ProbeReport::Line("baseline_first_frame_ms", ProbeReport::Milliseconds(g_entered, now));
            if (g_idleSeconds > 0)
                SetTimer(window, kIdleTimer, UINT(g_idleSeconds) * 1000, nullptr);
            else
                PostMessageW(window, WM_CLOSE, 0, 0);
        }
        return 0;
    }
    case WM_TIMER:
        KillTimer(window, kIdleTimer);
        ProbeReport::Line("baseline_idle_private_mib", ProbeReport::PrivateMiB());
        PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    QueryPerformanceCounter(&g_entered);
    if (commandLine != nullptr && std::wcsncmp(commandLine, L"idle ", 5) == 0)
        g_idleSeconds = _wtoi(commandLine + 5);
    if (!PrepareBitmap()) return 1;
    WNDCLASSW kind = {};
    kind.lpfnWndProc = WindowProc;
    kind.hInstance = instance;
    kind.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    kind.lpszClassName = L"BaselineWindow";
    if (RegisterClassW(&kind) == 0) return 1;
    HWND window = CreateWindowExW(0, kind.lpszClassName, L"Baseline", WS_POPUP | WS_VISIBLE, 100, 100, kWidth,
                                  kHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DeleteDC(g_memory);
    DeleteObject(g_bitmap);
    return 0;
}
