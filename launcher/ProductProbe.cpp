#include "launcher/ProductProbe.h"

#include "launcher/DownloadFile.h"
#include "launcher/SystemInfo.h"

#include <vector>

namespace Launcher {

namespace {

// A value as UTF-16 text up to its first NUL, whatever its type, read whole;
// a value that is missing or longer than kMaxPathLength reads as "".
std::wstring ReadValue(HKEY key, const wchar_t* name)
{
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0 ||
        size > (kMaxPathLength + 1) * sizeof(wchar_t))
        return std::wstring();
    // One unit more than asked for, zero: the text ends even without its NUL.
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS)
        return std::wstring();
    std::wstring value(text.data());
    return value.size() <= kMaxPathLength ? value : std::wstring();
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

}  // namespace

std::wstring DeriveAndroidLaunchPath(const std::wstring& uninstallString)
{
    static const wchar_t kUninstaller[] = L"uninst.exe";
    static const wchar_t kProduct[] = L"Rezude.exe";
    const size_t hit = uninstallString.find(kUninstaller);
    std::wstring path = uninstallString.substr(0, hit) + kProduct;
    return path.size() <= kMaxPathLength ? path : std::wstring();
}

CProductProbe::CProductProbe() : m_product() {}

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
    HKEY key = OpenProduct(path, product.state);
    if (!key) return false;
    const std::wstring value = ReadValue(key, kProducts[index].pathValue);
    RegCloseKey(key);
    if (index != kAndroid) {
        // Desktop and iPhone: the value as it stands; an empty value leaves
        // the path as it was.
        if (!value.empty()) product.path = value;
    } else {
        // Android: the path always takes the value, empty or not; a non-empty
        // one is turned from the uninstaller's path into the product's.
        product.path = value.empty() ? value : DeriveAndroidLaunchPath(value);
    }
    return true;
}

std::wstring ReadInstallLocation()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ProductKeyPath(kIPhone), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::wstring();
    const std::wstring text = ReadValue(key, L"InstallLocation");
    RegCloseKey(key);
    return text;
}

}  // namespace Launcher
