// The launcher with a probe around its entry point. The probe notes the time
// on entering wWinMain and watches the thread's message retrieval: the first
// WM_PAINT is followed by a posted marker, which the queue hands out only after
// that paint was dispatched, so the marker's arrival is the end of the first
// frame. The figures go to the standard output handle:
//   startup_first_frame_ms   entry to the end of the first WM_PAINT
//   with the argument "idle S" the window then stays up S seconds untouched:
//   idle_paints_per_s, idle_cpu_percent, idle_private_mib
// Then the probe closes the window and the launcher ends as it always does.

#include "bench/launcher/programs/ProbeReport.h"

#include <windows.h>

#include <cwchar>

// windows.h declares the entry point with C linkage; so does the renamed one.
extern "C" int WINAPI VozerorWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);

namespace {

const UINT kFirstFrameDone = WM_APP + 0x311;

LARGE_INTEGER g_entered;
HHOOK g_hook;
DWORD g_thread;
int g_idleSeconds;
bool g_painted;
bool g_framed;
long g_idlePaints;
double g_idleCpuStart;
LARGE_INTEGER g_idleStart;
UINT_PTR g_idleTimer;

void CloseLauncher()
{
    HWND frame = FindWindowW(nullptr, L"Vozeror");
    if (frame != nullptr) PostMessageW(frame, WM_CLOSE, 0, 0);
}

void FirstFrameEnded()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    ProbeReport::Line("startup_first_frame_ms", ProbeReport::Milliseconds(g_entered, now));
    if (g_idleSeconds <= 0) {
        CloseLauncher();
        return;
    }
    g_idleCpuStart = ProbeReport::CpuSeconds();
    QueryPerformanceCounter(&g_idleStart);
    // A thread timer, not a thread of its own: under Wine every thread
    // costs about 1 MiB of private memory, which the idle figure would count.
    g_idleTimer = SetTimer(nullptr, 0, UINT(g_idleSeconds) * 1000, nullptr);
    if (g_idleTimer == 0) CloseLauncher();
}

void IdleEnded()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const double seconds = ProbeReport::Milliseconds(g_idleStart, now) / 1000.0;
    const double cpu = ProbeReport::CpuSeconds() - g_idleCpuStart;
    ProbeReport::Line("idle_paints_per_s", double(g_idlePaints) / seconds);
    ProbeReport::Line("idle_cpu_percent", cpu * 100.0 / seconds);
    ProbeReport::Line("idle_private_mib", ProbeReport::PrivateMiB());
    CloseLauncher();
}

LRESULT CALLBACK WatchRetrieval(int code, WPARAM removal, LPARAM lParam)
{
    if (code == HC_ACTION && removal == PM_REMOVE) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg->message == WM_PAINT) {
            if (!g_painted) {
                g_painted = true;
                PostThreadMessageW(g_thread, kFirstFrameDone, 0, 0);
            } else if (g_framed) {
                ++g_idlePaints;
            }
        } else if (msg->hwnd == nullptr && msg->message == kFirstFrameDone && !g_framed) {
            g_framed = true;
            FirstFrameEnded();
        } else if (msg->hwnd == nullptr && msg->message == WM_TIMER && g_idleTimer != 0 &&
                   msg->wParam == g_idleTimer) {
            KillTimer(nullptr, g_idleTimer);
            g_idleTimer = 0;
            IdleEnded();
        }
    }
    return CallNextHookEx(g_hook, code, removal, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show)
{
    QueryPerformanceCounter(&g_entered);
    g_thread = GetCurrentThreadId();
    if (commandLine != nullptr && std::wcsncmp(commandLine, L"idle ", 5) == 0)
        g_idleSeconds = _wtoi(commandLine + 5);
    g_hook = SetWindowsHookExW(WH_GETMESSAGE, WatchRetrieval, nullptr, g_thread);
    const int result = VozerorWinMain(instance, previous, commandLine, show);
    if (g_hook != nullptr) UnhookWindowsHookEx(g_hook);
    return result;
}
