#pragma once
// Skin packages for the builder tests and the skin fuzz target: documents
// given as UTF-16 text, stored UTF-8 in a ZIP archive made in memory, and the
// launcher's own skin document read from the source tree.

#include "tests/support/SkinFiles.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipWriter.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace SkinTest {

inline std::string Utf8(const std::wstring& text)
{
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string out((size_t)(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], n, nullptr, nullptr);
    return out;
}

// resources/skin/DlgMain.xml as stored (UTF-8 with a byte-order mark), and
// as text; both empty when the file cannot be read.
inline const std::string& LauncherSkinBytes()
{
    static std::string bytes;
    if (bytes.empty()) TestSupport::ReadWholeFile(TestSupport::SkinSourceFile("DlgMain.xml"), bytes);
    return bytes;
}

inline const std::wstring& LauncherSkin()
{
    static std::wstring text;
    if (text.empty()) {
        std::string bytes = LauncherSkinBytes();
        if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
        const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), (int)bytes.size(), nullptr, 0);
        text.assign((size_t)(n > 0 ? n : 0), L'\0');
        if (n > 0) MultiByteToWideChar(CP_UTF8, 0, bytes.data(), (int)bytes.size(), &text[0], n);
    }
    return text;
}

typedef std::vector<std::pair<std::string, std::string>> PackageFiles;  // name, bytes

inline std::string Package(const PackageFiles& files)
{
    TestSupport::ZipWriter zip;
    for (const auto& file : files) zip.Add(file.first, file.second);
    return zip.Finish();
}

}  // namespace SkinTest
