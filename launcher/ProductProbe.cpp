#include "launcher/ProductProbe.h"

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

HKEY OpenProductKey(int index)
{
    const wchar_t* path = ProductKeyPath(index);
    HKEY key = nullptr;
    if (path == nullptr || RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool ValidIndex(int index)
{
    return index >= 0 && index < kProductCount;
}

}  // namespace

std::wstring LaunchPathFromValue(const ProductInfo& product, const std::wstring& value,
                                 const std::wstring& earlier)
{
    if (product.uninstaller == nullptr) return value.empty() ? earlier : value;
    if (value.empty()) return value;
    std::wstring path = value.substr(0, value.find(product.uninstaller)) + product.launched;
    return path.size() <= kMaxPathLength ? path : std::wstring();
}

void CProductProbe::ProbeProducts()
{
    for (int i = 0; i < kProductCount; ++i) ProbeProduct(i);
}

ProbeResult CProductProbe::ProbeProduct(int index)
{
    if (!ValidIndex(index)) return NotProbed;
    HKEY key = OpenProductKey(index);
    m_result[index] = key != nullptr ? ProbedInstalled : ProbedMissing;
    if (key == nullptr) return ProbedMissing;
    const ProductInfo& product = kProducts[index];
    m_path[index] = LaunchPathFromValue(product, ReadValue(key, product.pathValue), m_path[index]);
    RegCloseKey(key);
    return ProbedInstalled;
}

ProbeResult CProductProbe::Result(int index) const
{
    return ValidIndex(index) ? m_result[index] : NotProbed;
}

const std::wstring& CProductProbe::LaunchPath(int index) const
{
    static const std::wstring kNone;
    return ValidIndex(index) ? m_path[index] : kNone;
}

std::wstring ReadStartFolder(int index)
{
    if (!ValidIndex(index) || kProducts[index].startFolderValue == nullptr) return std::wstring();
    HKEY key = OpenProductKey(index);
    if (key == nullptr) return std::wstring();
    const std::wstring folder = ReadValue(key, kProducts[index].startFolderValue);
    RegCloseKey(key);
    return folder;
}

}  // namespace Launcher
