// A stand-in for the vendor's three setups, served by the demo redirect server.
//
// Run as "<setup name>.exe /s" (what the launcher does) it installs a demo
// product: it copies itself into "C:\Program Files\Vozeror Demo\<product>\",
// and writes the product's uninstall key the way the real setups do. Run with
// no arguments from an install folder it is the product itself: a small
// window that says which product is running and closes itself after a while.

#include <windows.h>

#include <cwchar>

namespace {

struct DemoProduct
{
    const wchar_t* setupName;  // the launcher saves the download under this name
    const wchar_t* title;
    const wchar_t* keyName;  // subkey of ...\CurrentVersion\Uninstall
    const wchar_t* exeName;  // the installed product
    bool android;            // writes "UninstallString" instead of "DisplayIcon"
};

const DemoProduct kDemoProducts[] = {
    {L"Vedeziz.exe", L"Demo disk recovery", L"Zavodidere", L"DiskRecovery.exe", false},
    {L"Zarazed.exe", L"Demo iPhone recovery", L"Ravivarovo", L"IPhoneRecovery.exe", false},
    {L"Rezude.exe", L"Demo Android recovery", L"Vavarived", L"Rezude.exe", true},
};

const wchar_t kUninstallRoot[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

const DemoProduct* FindByFileName(const wchar_t* name)
{
    for (const DemoProduct& p : kDemoProducts) {
        if (_wcsicmp(name, p.setupName) == 0 || _wcsicmp(name, p.exeName) == 0) return &p;
    }
    return nullptr;
}

bool SetString(HKEY key, const wchar_t* name, const wchar_t* value)
{
    DWORD bytes = DWORD((wcslen(value) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes) == ERROR_SUCCESS;
}

int Install(const DemoProduct& p, const wchar_t* self)
{
    wchar_t dir[MAX_PATH];
    if (!ExpandEnvironmentStringsW(L"%ProgramFiles%\\Vozeror Demo\\", dir, MAX_PATH)) return 1;
    CreateDirectoryW(dir, nullptr);
    wcscat_s(dir, p.keyName);
    CreateDirectoryW(dir, nullptr);

    wchar_t exe[MAX_PATH];
    swprintf(exe, MAX_PATH, L"%ls\\%ls", dir, p.exeName);
    Sleep(1500);  // long enough to see the tile wait for the setup
    if (!CopyFileW(self, exe, FALSE)) return 2;

    wchar_t keyPath[200];
    swprintf(keyPath, 200, L"%ls%ls", kUninstallRoot, p.keyName);
    HKEY key;
    // The vendor's setups are 32-bit programs: their keys go to the 32-bit
    // view, whatever this build's architecture (the flag is ignored on
    // 32-bit Windows).
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return 3;
    bool ok = SetString(key, L"DisplayName", p.title);
    if (p.android) {
        wchar_t uninst[MAX_PATH];
        swprintf(uninst, MAX_PATH, L"%ls\\uninst.exe", dir);
        ok = ok && SetString(key, L"UninstallString", uninst);
    } else {
        ok = ok && SetString(key, L"DisplayIcon", exe);
    }
    ok = ok && SetString(key, L"InstallLocation", dir);
    RegCloseKey(key);
    return ok ? 0 : 4;
}

LRESULT CALLBACK ProductProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_TIMER:
    case WM_LBUTTONUP:
        DestroyWindow(wnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        RECT rc;
        GetClientRect(wnd, &rc);
        wchar_t text[200];
        GetWindowTextW(wnd, text, 200);
        wcscat_s(text, L" is running.\n(click to close)");
        DrawTextW(dc, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
        EndPaint(wnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

int RunProduct(HINSTANCE instance, const DemoProduct& p)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ProductProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"VozerorDemoProduct";
    RegisterClassW(&wc);
    HWND wnd = CreateWindowW(wc.lpszClassName, p.title, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                             CW_USEDEFAULT, CW_USEDEFAULT, 320, 140, nullptr, nullptr, instance, nullptr);
    if (!wnd) return 1;
    // The launcher starts products with SW_HIDE; a demo product wants to be seen.
    ShowWindow(wnd, SW_SHOWNORMAL);
    SetTimer(wnd, 1, 20000, nullptr);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR cmdLine, int)
{
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    const wchar_t* name = wcsrchr(self, L'\\');
    name = name ? name + 1 : self;
    const DemoProduct* p = FindByFileName(name);
    if (!p) return 1;
    if (wcsstr(cmdLine, L"/s")) return Install(*p, self);
    return RunProduct(instance, *p);
}
