#pragma once
// What every launcher test shares: waiting for another thread or process,
// the products' uninstall keys in the form the probe reads, the workers'
// records put back to idle, and the launcher's view on a window of its own
// driven the way the main window drives it. Header-only, so that the tests
// of the launcher core need not link the engine.

#include "launcher/LauncherView.h"
#include "launcher/ProductWorker.h"
#include "launcher/Products.h"
#include "launcher/SystemInfo.h"
#include "skinui/control/Button.h"
#include "skinui/control/Control.h"
#include "skinui/control/Progress.h"
#include "skinui/core/PaintManager.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

namespace TestSupport {

// Waits for a condition that another process or thread makes true; the
// bound only keeps a broken run from hanging.
inline bool WaitFor(const std::function<bool()>& done, DWORD bound = 90000)
{
    for (DWORD start = GetTickCount(); !done();) {
        if (GetTickCount() - start > bound) return false;
        Sleep(20);
    }
    return true;
}

// Every product's worker record idle (its count of ends kept).
inline void ResetShared()
{
    for (int i = 0; i < Launcher::kProductCount; ++i) Launcher::ResetWorkerRecord(i);
}

inline bool KeyExists(const wchar_t* path, REGSAM view = 0)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Writes a string value, creating the key under HKLM; false on failure.
inline bool SetKeyValue(const wchar_t* path, const wchar_t* name, const std::wstring& data)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG set = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                    DWORD((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

// The product's key in the form the probe reads, holding its launch-path value.
inline bool InstallKey(int index, const std::wstring& launchValue)
{
    return SetKeyValue(Launcher::ProductKeyPath(index), Launcher::kProducts[index].pathValue, launchValue);
}

// Deletes a key and everything below it (in a registry view, when given).
inline void DeleteKey(const wchar_t* path, REGSAM view = 0)
{
    const std::wstring p(path);
    const size_t slash = p.rfind(L'\\');
    HKEY parent = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, p.substr(0, slash).c_str(), 0, KEY_ALL_ACCESS | view, &parent) !=
        ERROR_SUCCESS)
        return;
    RegDeleteTreeW(parent, p.substr(slash + 1).c_str());
    RegCloseKey(parent);
}

inline void RemoveKey(int index)
{
    DeleteKey(Launcher::ProductKeyPath(index));
}

// Whether the product's key exists in the form the probe reads.
inline bool KeyExists(int index)
{
    return KeyExists(Launcher::ProductKeyPath(index));
}

// A worker's reports as the real worker makes them.
inline void FeedProgress(int index, unsigned total, unsigned remaining)
{
    Launcher::ReportOutcome(index, Launcher::WorkerDownloading);
    Launcher::ReportProgress(index, total, remaining);
}

// The view as the main window holds it, listening to its manager.
class CTestView : public Launcher::CLauncherView, public SkinUI::INotifyUI
{
public:
    void Notify(SkinUI::TNotifyUI& msg) override { HandleClick(msg); }
    // One tick of the poll timer, which never consumes its message.
    void Tick()
    {
        BOOL handled = FALSE;
        EXPECT_EQ(0, OnTimer(WM_TIMER, Launcher::kPollTimerId, 0, handled));
        EXPECT_FALSE(handled);
    }
    // The product back at its install tile with an empty bar, the way a
    // worker that installed nothing leaves it.
    void BackToInstallTile(int index)
    {
        RemoveKey(index);
        Launcher::ReportOutcome(index, Launcher::WorkerFailed);
        Launcher::ResetWorkerRecord(index);
        Tick();
    }
};

// A control of the tree by name, as a button or a bar (null otherwise).
inline SkinUI::CButtonUI* ButtonOf(SkinUI::CPaintManagerUI& manager, const wchar_t* name)
{
    SkinUI::CControlUI* control = manager.FindControl(name);
    return control != nullptr ? static_cast<SkinUI::CButtonUI*>(control->GetInterface(L"Button")) : nullptr;
}

inline SkinUI::CProgressUI* BarOf(SkinUI::CPaintManagerUI& manager, const wchar_t* name)
{
    SkinUI::CControlUI* control = manager.FindControl(name);
    return control != nullptr ? static_cast<SkinUI::CProgressUI*>(control->GetInterface(L"Progress"))
                              : nullptr;
}

}  // namespace TestSupport
