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
    return TestSupport::Utf8FromWide(text);
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
        text = TestSupport::WideFromUtf8(bytes);
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
