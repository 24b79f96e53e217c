#include "launcher/ProductProbe.h"

#include "launcher/DownloadFile.h"
#include "launcher/SystemInfo.h"

#include <cstring>

namespace Launcher {

namespace {

const int kValueUnits = 260;
// The size handed to RegQueryValueExW is 260 bytes, not units: at most 129
// characters and the terminator are read, so that the ANSI form of any value
// (two bytes per character at most) fits a 260-byte launch path.
const DWORD kValueBytes = 260;

// Reads a value as UTF-16 text; any failure (missing, too long) gives "".
// The buffer is cleared again after a failed read so a partial copy never leaks.
void ReadValue(HKEY key, const wchar_t* name, wchar_t (&text)[kValueUnits])
{
    ZeroMemory(text, sizeof(text));
    DWORD size = kValueBytes;
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS)
        ZeroMemory(text, sizeof(text));
}

void ToAnsi(const wchar_t* text, char (&out)[kPathBufferSize])
{
    ZeroMemory(out, sizeof(out));
    if (!WideCharToMultiByte(CP_ACP, 0, text, -1, out, kPathBufferSize, nullptr, nullptr))
        ZeroMemory(out, sizeof(out));
}

// Opens a product key; state := Installed or NotInstalled. Returns the open
// key or null.
HKEY OpenProduct(const wchar_t* path, int& state)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        state = NotInstalled;
        return nullptr;
    }
    state = Installed;
    return key;
}

// Desktop and iPhone: the "DisplayIcon" value as it stands; an empty value
// leaves the field as it was.
void ProbeDisplayIconProduct(int index, const wchar_t* path, int& state, char (&launchPath)[kPathBufferSize])
{
    HKEY key = OpenProduct(path, state);
    if (!key) return;
    wchar_t text[kValueUnits];
    ReadValue(key, kProducts[index].pathValue, text);
    char ansi[kPathBufferSize];
    ToAnsi(text, ansi);
    if (ansi[0]) std::memcpy(launchPath, ansi, sizeof(ansi));
    RegCloseKey(key);
}

}  // namespace

void DeriveAndroidLaunchPath(const char* uninstallString, char (&out)[kPathBufferSize])
{
    static const char kUninstaller[] = "uninst.exe";
    static const char kProduct[] = "Rezude.exe";
    ZeroMemory(out, sizeof(out));
    const char* hit = std::strstr(uninstallString, kUninstaller);
    size_t prefix = hit ? size_t(hit - uninstallString) : std::strlen(uninstallString);
    if (prefix + (sizeof(kProduct) - 1) >= size_t(kPathBufferSize)) return;
    std::memcpy(out, uninstallString, prefix);
    std::memcpy(out + prefix, kProduct, sizeof(kProduct));
}

CProductProbe::CProductProbe()
{
    ZeroMemory(m_product, sizeof(m_product));
}

void CProductProbe::ProbeProducts()
{
    ProbeProduct(kIPhone);
    ProbeProduct(kDesktop);
    ProbeProduct(kAndroid);
}

bool CProductProbe::ProbeProduct(int index)
{
    const wchar_t* path = ProductKeyPath(index);
    if (path == nullptr) return false;
    ProductRecord& product = m_product[index];
    if (index != kAndroid) {
        ProbeDisplayIconProduct(index, path, product.state, product.path);
        return product.state == Installed;
    }
    // Android: the field always takes the value, empty or not; a non-empty one
    // is turned from the uninstaller's path into the product's.
    HKEY key = OpenProduct(path, product.state);
    if (!key) return false;
    wchar_t text[kValueUnits];
    ReadValue(key, kProducts[kAndroid].pathValue, text);
    char ansi[kPathBufferSize];
    ToAnsi(text, ansi);
    std::memcpy(product.path, ansi, sizeof(ansi));
    if (ansi[0]) DeriveAndroidLaunchPath(ansi, product.path);
    RegCloseKey(key);
    return true;
}

std::wstring ReadInstallLocation()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ProductKeyPath(kIPhone), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t text[kValueUnits];
    ReadValue(key, L"InstallLocation", text);
    RegCloseKey(key);
    return std::wstring(text);
}

}  // namespace Launcher
