#pragma once
// Skin packages for the builder tests and the skin fuzz target: documents
// given as UTF-16 text, stored UTF-8 in a ZIP archive made in memory.

#include "tests/support/ZipWriter.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace SkinTest {

inline std::string Utf8(const std::wstring& text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string out((size_t)(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], n, NULL, NULL);
    return out;
}

typedef std::vector<std::pair<std::string, std::string>> PackageFiles;  // name, bytes

inline std::string Package(const PackageFiles& files)
{
    TestSupport::ZipWriter zip;
    for (const auto& file : files) zip.Add(file.first, file.second);
    return zip.Finish();
}

}  // namespace SkinTest
