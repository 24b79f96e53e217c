#include "skinui/render/DPI.h"

#include "skinui/core/SystemLibrary.h"

namespace SkinUI {

namespace {

// Shcore entry points, looked up at run time: the module exists only on
// Windows 8.1 and later. Awareness values travel as int (PROCESS_DPI_AWARENESS)
// and the monitor DPI type 0 is the effective DPI.
typedef HRESULT(WINAPI* SetProcessDpiAwarenessFn)(int value);
typedef HRESULT(WINAPI* GetProcessDpiAwarenessFn)(HANDLE hProcess, int* value);
typedef HRESULT(WINAPI* GetDpiForMonitorFn)(HMONITOR hMonitor, int dpiType, UINT* dpiX, UINT* dpiY);

const int kEffectiveDpi = 0;

bool IsWindows81OrGreater()
{
    OSVERSIONINFOEXW osvi = {};
    osvi.dwOSVersionInfoSize = sizeof(osvi);
    osvi.dwMajorVersion = 6;
    osvi.dwMinorVersion = 3;
    osvi.wServicePackMajor = 0;
    DWORDLONG mask = 0;
    mask = ::VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = ::VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    mask = ::VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return ::VerifyVersionInfoW(&osvi, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) !=
        FALSE;
}

// Shcore is loaded from the system folder on each call and stays loaded
// (the loader counts the references); a missing module or export gives null. The cast goes through
// void (*)(), the one function pointer type every other converts from.
template <typename Fn>
Fn ShcoreProc(const char* name)
{
    HMODULE hShcore = LoadSystemLibrary(L"Shcore.dll");
    if (hShcore == nullptr) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(hShcore, name)));
}

}  // namespace

CDPI::CDPI() = default;

int CDPI::GetDPIOfMonitor(HMONITOR hMonitor)
{
    if (!IsWindows81OrGreater()) {
        HDC hDC = ::GetDC(nullptr);
        int dpi = ::GetDeviceCaps(hDC, LOGPIXELSX);
        ::ReleaseDC(nullptr, hDC);
        return dpi > 0 ? dpi : 96;
    }
    GetDpiForMonitorFn pGetDpiForMonitor = ShcoreProc<GetDpiForMonitorFn>("GetDpiForMonitor");
    if (pGetDpiForMonitor == nullptr) return 96;
    UINT dpiX = 96;
    UINT dpiY = 96;
    // A failed query (for example a stale monitor handle) gives the default
    // DPI; no message is shown from inside a size computation.
    if (FAILED(pGetDpiForMonitor(hMonitor, kEffectiveDpi, &dpiX, &dpiY)) || dpiX == 0) return 96;
    return static_cast<int>(dpiX);
}

int CDPI::GetDPIOfMonitorNearestToPoint(POINT pt)
{
    return GetDPIOfMonitor(::MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST));
}

int CDPI::GetMainMonitorDPI()
{
    POINT pt = {1, 1};
    return GetDPIOfMonitorNearestToPoint(pt);
}

int CDPI::GetDPIAwareness()
{
    if (!IsWindows81OrGreater()) return m_Awareness;
    GetProcessDpiAwarenessFn pGet = ShcoreProc<GetProcessDpiAwarenessFn>("GetProcessDpiAwareness");
    if (pGet == nullptr) return m_Awareness;
    HANDLE hProcess = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, ::GetCurrentProcessId());
    if (hProcess == nullptr) return m_Awareness;
    int value = m_Awareness;
    if (SUCCEEDED(pGet(hProcess, &value)) && value >= 0 && value <= 2) m_Awareness = value;
    ::CloseHandle(hProcess);
    return m_Awareness;
}

bool CDPI::SetDPIAwareness(int awareness)
{
    if (awareness < 0 || awareness > 2) return false;
    if (!IsWindows81OrGreater()) {
        m_Awareness = awareness;
        return false;
    }
    SetProcessDpiAwarenessFn pSet = ShcoreProc<SetProcessDpiAwarenessFn>("SetProcessDpiAwareness");
    if (pSet == nullptr || FAILED(pSet(awareness))) return false;
    m_Awareness = awareness;
    return true;
}

UINT CDPI::GetDPI() const
{
    if (m_Awareness == 0) return 96;
    return static_cast<UINT>(::MulDiv(static_cast<int>(GetScale()), 96, 100));
}

UINT CDPI::GetScale() const
{
    switch (m_Awareness) {
    case 0:
        return 100;
    case 1:
        return static_cast<UINT>(m_nScaleFactorSDA);
    default:
        return static_cast<UINT>(m_nScaleFactor);
    }
}

void CDPI::SetScale(UINT uDPI)
{
    m_nScaleFactor = ::MulDiv(static_cast<int>(uDPI), 100, 96);
    if (!m_bSystemScaleSet) {
        m_nScaleFactorSDA = m_nScaleFactor;
        m_bSystemScaleSet = true;
    }
}

int CDPI::Scale(int iValue) const
{
    if (m_Awareness == 0) return iValue;
    return ::MulDiv(iValue, static_cast<int>(GetScale()), 100);
}

int CDPI::ScaleBack(int iValue) const
{
    if (m_Awareness == 0) return iValue;
    // A zero scale (SetScale(0)) would divide by zero: values stay as they are.
    int scale = static_cast<int>(GetScale());
    if (scale == 0) return iValue;
    return ::MulDiv(iValue, 100, scale);
}

namespace {

typedef int (CDPI::*ScaleFn)(int) const;

// The top-left corner and the size are scaled each on its own, so that a
// rectangle keeps the scaled size of the skin's one wherever it lies.
void ScaleRectWith(const CDPI& dpi, ScaleFn pfnScale, RECT* pRect)
{
    if (pRect == nullptr) return;
    int width = (dpi.*pfnScale)(pRect->right - pRect->left);
    int height = (dpi.*pfnScale)(pRect->bottom - pRect->top);
    pRect->left = (dpi.*pfnScale)(pRect->left);
    pRect->top = (dpi.*pfnScale)(pRect->top);
    pRect->right = pRect->left + width;
    pRect->bottom = pRect->top + height;
}

// Both members of a POINT or SIZE.
void ScaleBoth(const CDPI& dpi, LONG& a, LONG& b)
{
    a = dpi.Scale(a);
    b = dpi.Scale(b);
}

template <class T>
T ScaledCopy(const CDPI& dpi, T value)
{
    dpi.Scale(&value);
    return value;
}

}  // namespace

void CDPI::Scale(RECT* pRect) const
{
    ScaleRectWith(*this, static_cast<ScaleFn>(&CDPI::Scale), pRect);
}

void CDPI::ScaleBack(RECT* pRect) const
{
    ScaleRectWith(*this, static_cast<ScaleFn>(&CDPI::ScaleBack), pRect);
}

RECT CDPI::Scale(RECT rc) const
{
    return ScaledCopy(*this, rc);
}

void CDPI::Scale(POINT* pPoint) const
{
    if (pPoint != nullptr) ScaleBoth(*this, pPoint->x, pPoint->y);
}

POINT CDPI::Scale(POINT pt) const
{
    return ScaledCopy(*this, pt);
}

void CDPI::Scale(SIZE* pSize) const
{
    if (pSize != nullptr) ScaleBoth(*this, pSize->cx, pSize->cy);
}

SIZE CDPI::Scale(SIZE sz) const
{
    return ScaledCopy(*this, sz);
}

RECT CDPI::ScaleEdges(RECT rc) const
{
    ScaleBoth(*this, rc.left, rc.top);
    ScaleBoth(*this, rc.right, rc.bottom);
    return rc;
}

}  // namespace SkinUI
