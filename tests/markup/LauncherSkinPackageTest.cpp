#include "skinui/markup/Markup.h"
#include "skinui/resource/ModuleResource.h"

#include "tests/support/SkinFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

// The skin package as the build made it: its ZIP directory, the window
// description inside it, the images' sizes and colour keys, and the program's
// resources that carry it.
//
// Sections: package reading, the window description's images, the cases.

using SkinUI::CMarkup;
using SkinUI::CMarkupNode;

namespace {

// --- Package reading ----------------------------------------------------------

UINT16 Le16(const std::string& s, size_t at)
{
    return (UINT16)((BYTE)s[at] | ((BYTE)s[at + 1] << 8));
}
UINT32 Le32(const std::string& s, size_t at)
{
    return (UINT32)Le16(s, at) | ((UINT32)Le16(s, at + 2) << 16);
}

// One central directory record: the name, flags and method, the CRC, both
// sizes and where the local header is.
struct ZipEntry
{
    std::string name;
    UINT16 flags, method;
    UINT32 crc, packed, unpacked, localOffset;
};

// The entries of the central directory; false when the archive is malformed.
bool ReadCentralDirectory(const std::string& zip, std::vector<ZipEntry>& entries)
{
    if (zip.size() < 22) return false;
    size_t end = zip.size() - 22;
    while (Le32(zip, end) != 0x06054B50) {
        if (end == 0) return false;
        --end;
    }
    const UINT16 count = Le16(zip, end + 10);
    const UINT32 size = Le32(zip, end + 12);
    size_t at = Le32(zip, end + 16);
    if (Le16(zip, end + 8) != count || (UINT64)at + size > end) return false;
    for (UINT16 i = 0; i < count; ++i) {
        if (at + 46 > end || Le32(zip, at) != 0x02014B50) return false;
        ZipEntry e = {};
        e.flags = Le16(zip, at + 8);
        e.method = Le16(zip, at + 10);
        e.crc = Le32(zip, at + 16);
        e.packed = Le32(zip, at + 20);
        e.unpacked = Le32(zip, at + 24);
        const size_t nameLength = Le16(zip, at + 28);
        const size_t extraLength = Le16(zip, at + 30);
        const size_t commentLength = Le16(zip, at + 32);
        e.localOffset = Le32(zip, at + 42);
        if (at + 46 + nameLength > end) return false;
        e.name = zip.substr(at + 46, nameLength);
        entries.push_back(e);
        at += 46 + nameLength + extraLength + commentLength;
    }
    return true;
}

// The entry's bytes through its local header, raw-inflated; false when the
// local header disagrees with the directory or the data does not inflate.
bool Unpack(const std::string& zip, const ZipEntry& e, std::string& out)
{
    const size_t at = e.localOffset;
    if ((UINT64)at + 30 > zip.size() || Le32(zip, at) != 0x04034B50) return false;
    const size_t nameLength = Le16(zip, at + 26);
    if (Le16(zip, at + 8) != e.method || nameLength != e.name.size() ||
        zip.compare(at + 30, nameLength, e.name) != 0) {
        return false;
    }
    const size_t data = at + 30 + nameLength + Le16(zip, at + 28);
    if ((UINT64)data + e.packed > zip.size() || e.method != 8) return false;
    out.assign(e.unpacked, '\0');
    z_stream z = {};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return false;
    z.next_in = (Bytef*)&zip[data];
    z.avail_in = e.packed;
    z.next_out = (Bytef*)&out[0];
    z.avail_out = e.unpacked;
    const int result = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    return result == Z_STREAM_END && z.total_out == e.unpacked;
}

// The whole package, unpacked: entry name -> bytes.
class Package
{
public:
    // Reads the package beside the tests; the test fails on a malformed archive.
    void Load()
    {
        ASSERT_TRUE(TestSupport::ReadWholeFile(TestSupport::SkinPackageFile(), m_zip))
            << TestSupport::SkinPackageFile();
        ASSERT_TRUE(ReadCentralDirectory(m_zip, m_entries));
        for (const ZipEntry& e : m_entries) {
            std::string bytes;
            ASSERT_TRUE(Unpack(m_zip, e, bytes)) << e.name;
            m_files[e.name] = bytes;
        }
    }
    const std::string& Zip() const { return m_zip; }
    const std::vector<ZipEntry>& Entries() const { return m_entries; }
    const std::map<std::string, std::string>& Files() const { return m_files; }

private:
    std::string m_zip;
    std::vector<ZipEntry> m_entries;
    std::map<std::string, std::string> m_files;
};

// Width and height from a PNG's IHDR; false when the bytes are not a PNG.
bool PngSize(const std::string& png, UINT32& width, UINT32& height)
{
    static const char signature[] = "\x89PNG\r\n\x1A\n";
    if (png.size() < 24 || png.compare(0, 8, signature, 8) != 0 || png.compare(12, 4, "IHDR") != 0) {
        return false;
    }
    width = ((UINT32)(BYTE)png[16] << 24) | ((UINT32)(BYTE)png[17] << 16) | ((UINT32)(BYTE)png[18] << 8) |
        (BYTE)png[19];
    height = ((UINT32)(BYTE)png[20] << 24) | ((UINT32)(BYTE)png[21] << 16) | ((UINT32)(BYTE)png[22] << 8) |
        (BYTE)png[23];
    return true;
}

// Decoded 0xAARRGGBB pixels, row by row.
struct Pixels
{
    int width = 0;
    int height = 0;
    std::vector<UINT32> argb;
    UINT32 At(int x, int y) const { return argb[(size_t)y * width + x]; }
};

bool Decode(const std::string& png, Pixels& out)
{
    int channels = 0;
    stbi_uc* rgba = stbi_load_from_memory((const stbi_uc*)png.data(), (int)png.size(), &out.width,
                                          &out.height, &channels, 4);
    if (!rgba) return false;
    out.argb.resize((size_t)out.width * out.height);
    for (size_t i = 0; i < out.argb.size(); ++i) {
        const stbi_uc* p = rgba + i * 4;
        out.argb[i] = ((UINT32)p[3] << 24) | ((UINT32)p[0] << 16) | ((UINT32)p[1] << 8) | p[2];
    }
    stbi_image_free(rgba);
    return true;
}

const UINT32 kMagenta = 0xFFFF00FF;

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list)
{
    ((std::vector<WORD>*)list)->push_back(language);
    return TRUE;
}

// --- The window description's images ---------------------------------------------

// One use of an image by a control: the draw string's file and colour key, and
// the size of the control that shows it.
struct ImageUse
{
    std::wstring file;
    UINT32 mask = 0;
    std::wstring attribute;
    std::wstring control;
    int width = 0;
    int height = 0;
};

// The value of key='...' in a draw string; false when the key is absent.
bool DrawStringValue(const std::wstring& draw, const wchar_t* key, std::wstring& value)
{
    const std::wstring opening = std::wstring(key) + L"='";
    const size_t at = draw.find(opening);
    if (at == std::wstring::npos) return false;
    const size_t start = at + opening.size();
    const size_t close = draw.find(L'\'', start);
    if (close == std::wstring::npos) return false;
    value = draw.substr(start, close - start);
    return true;
}

void CollectImageUses(CMarkupNode node, int windowWidth, int windowHeight, std::vector<ImageUse>& uses)
{
    for (; node.IsValid(); node = node.GetSibling()) {
        const wchar_t* width = node.GetAttributeValue(L"width");
        const wchar_t* height = node.GetAttributeValue(L"height");
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            const std::wstring name = node.GetAttributeName(i);
            if (name.size() < 5 || name.compare(name.size() - 5, 5, L"image") != 0) continue;
            ImageUse use;
            const std::wstring draw = node.GetAttributeValue(i);
            if (!DrawStringValue(draw, L"file", use.file)) use.file = draw;
            std::wstring mask;
            if (DrawStringValue(draw, L"mask", mask)) {
                use.mask = wcstoul(mask.c_str() + (mask[0] == L'#' ? 1 : 0), nullptr, 16);
            }
            use.attribute = name;
            use.control = node.GetAttributeValue(L"name");
            // A control without a size of its own (the outer layout) fills the window.
            use.width = *width ? _wtoi(width) : windowWidth;
            use.height = *height ? _wtoi(height) : windowHeight;
            uses.push_back(use);
        }
        if (node.HasChildren()) CollectImageUses(node.GetChild(), windowWidth, windowHeight, uses);
    }
}

// Every image named by the window description in the package.
void SkinImageUses(const Package& package, std::vector<ImageUse>& uses)
{
    auto xml = package.Files().find("DlgMain.xml");
    ASSERT_TRUE(xml != package.Files().end());
    std::vector<BYTE> bytes(xml->second.begin(), xml->second.end());
    CMarkup markup;
    ASSERT_TRUE(markup.LoadFromMem(bytes.data(), (DWORD)bytes.size(), SkinUI::XMLFILE_ENCODING_UTF8));
    CMarkupNode window = markup.GetRoot();
    ASSERT_STREQ(L"Window", window.GetName());
    const std::wstring size = window.GetAttributeValue(L"size");
    const size_t comma = size.find(L',');
    ASSERT_NE(std::wstring::npos, comma);
    CollectImageUses(window.GetChild(), _wtoi(size.c_str()), _wtoi(size.c_str() + comma + 1), uses);
}

std::string Narrow(const std::wstring& w)
{
    return TestSupport::AnsiFromWide(w);
}

// The images and the sizes of the controls that show them, as the window
// description lays them out.
struct ImageSize
{
    const char* name;
    UINT32 width;
    UINT32 height;
};
const ImageSize kImageSizes[] = {
    {"android_1.png", 158, 178},
    {"android_2.png", 158, 178},
    {"android_3.png", 158, 178},
    {"android_run_1.png", 158, 178},
    {"android_run_2.png", 158, 178},
    {"android_run_3.png", 158, 178},
    {"bg.png", 536, 355},
    {"btn_close_1.png", 30, 30},
    {"btn_close_2.png", 30, 30},
    {"btn_close_3.png", 30, 30},
    {"computer_run_1.png", 400, 90},
    {"computer_run_2.png", 400, 90},
    {"computer_run_3.png", 400, 90},
    {"computer_run_dis.png", 400, 90},
    {"computer_un_1.png", 400, 90},
    {"computer_un_2.png", 400, 90},
    {"computer_un_3.png", 400, 90},
    {"install_b.png", 80, 8},
    {"install_f.png", 80, 8},
    {"iphone_1.png", 158, 178},
    {"iphone_2.png", 158, 178},
    {"iphone_3.png", 158, 178},
    {"iphone_run_1.png", 158, 178},
    {"iphone_run_2.png", 158, 178},
    {"iphone_run_3.png", 158, 178},
    {"logo.png", 30, 30},
    {"phone_jump_1.png", 400, 90},
    {"phone_jump_2.png", 400, 90},
    {"phone_jump_3.png", 400, 90},
    {"qq_ico.png", 14, 14},
    {"tel_ico.png", 14, 14},
};

// The display scales the package has art for besides 100, and an image's
// name at a scale ("bg.png" at 150 is "bg@150.png").
const int kArtScales[] = {150, 200};

std::string ScaledName(const std::string& name, int scale)
{
    const size_t dot = name.rfind('.');
    return name.substr(0, dot) + "@" + std::to_string(scale) + name.substr(dot);
}

// The name at 100 of an entry that carries a scale marker.
std::string UnscaledName(const std::string& name)
{
    const size_t at = name.find('@');
    if (at == std::string::npos) return name;
    return name.substr(0, at) + name.substr(name.rfind('.'));
}

}  // namespace

// --- The cases --------------------------------------------------------------------

TEST(LauncherSkinPackage, HoldsTheWindowDescriptionAndItsImagesDeflatedUnderBareNames)
{
    Package package;
    ASSERT_NO_FATAL_FAILURE(package.Load());

    std::vector<std::string> expected = {"DlgMain.xml"};
    for (const ImageSize& image : kImageSizes) {
        expected.push_back(image.name);
        for (int scale : kArtScales) expected.push_back(ScaledName(image.name, scale));
    }
    std::vector<std::string> names;
    for (const ZipEntry& e : package.Entries()) {
        names.push_back(e.name);
        EXPECT_EQ(8, e.method) << e.name << " is not deflated";
        EXPECT_EQ(std::string::npos, e.name.find_first_of("/\\")) << e.name << " has a folder";
        EXPECT_EQ(e.crc, crc32(0, (const Bytef*)package.Files().at(e.name).data(), e.unpacked)) << e.name;
        std::string source;
        ASSERT_TRUE(TestSupport::ReadWholeFile(TestSupport::SkinSourceFile(e.name), source)) << e.name;
        EXPECT_TRUE(source == package.Files().at(e.name)) << e.name << " differs from resources/skin";
    }
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, names);

    const std::string& xml = package.Files().at("DlgMain.xml");
    EXPECT_EQ(0, xml.compare(0, 3, "\xEF\xBB\xBF")) << "DlgMain.xml starts without a byte-order mark";
}

TEST(LauncherSkinPackage, WindowDescriptionNamesEveryImageOfThePackage)
{
    Package package;
    ASSERT_NO_FATAL_FAILURE(package.Load());
    std::vector<ImageUse> uses;
    ASSERT_NO_FATAL_FAILURE(SkinImageUses(package, uses));

    std::set<std::string> named, packed;
    for (const ImageUse& use : uses) {
        named.insert(Narrow(use.file));
        EXPECT_TRUE(package.Files().count(Narrow(use.file)))
            << Narrow(use.control) << " " << Narrow(use.attribute) << " names " << Narrow(use.file);
    }
    for (const ZipEntry& e : package.Entries()) {
        if (e.name != "DlgMain.xml") packed.insert(UnscaledName(e.name));
    }
    EXPECT_EQ(packed, named);
    // Three progress bars share their two images; every other use has its own.
    EXPECT_EQ(35u, uses.size());
}

TEST(LauncherSkinPackage, EveryImageHasTheSizeOfItsControls)
{
    Package package;
    ASSERT_NO_FATAL_FAILURE(package.Load());
    std::vector<ImageUse> uses;
    ASSERT_NO_FATAL_FAILURE(SkinImageUses(package, uses));

    for (const ImageSize& image : kImageSizes) {
        SCOPED_TRACE(image.name);
        auto file = package.Files().find(image.name);
        ASSERT_TRUE(file != package.Files().end());
        UINT32 width = 0, height = 0;
        ASSERT_TRUE(PngSize(file->second, width, height));
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, height);
        int seen = 0;
        for (const ImageUse& use : uses) {
            if (Narrow(use.file) != image.name) continue;
            ++seen;
            EXPECT_EQ((int)width, use.width) << Narrow(use.control);
            EXPECT_EQ((int)height, use.height) << Narrow(use.control);
        }
        EXPECT_GT(seen, 0);
        // The art for a display scale has the controls' size at that scale,
        // rounded as the engine scales (half up).
        for (int scale : kArtScales) {
            auto scaled = package.Files().find(ScaledName(image.name, scale));
            ASSERT_TRUE(scaled != package.Files().end()) << scale;
            ASSERT_TRUE(PngSize(scaled->second, width, height));
            EXPECT_EQ(::MulDiv(image.width, scale, 100), (int)width) << scale;
            EXPECT_EQ(::MulDiv(image.height, scale, 100), (int)height) << scale;
        }
    }
}

// Magenta turns transparent only where a draw string keys it out; an image
// also shown without that key must not hold any, or it would show as magenta.
// The close button and the phone tiles let the window show at their corners.
TEST(LauncherSkinPackage, MagentaOnlyWhereTheColourKeyRemovesIt)
{
    Package package;
    ASSERT_NO_FATAL_FAILURE(package.Load());
    std::vector<ImageUse> uses;
    ASSERT_NO_FATAL_FAILURE(SkinImageUses(package, uses));
    const std::set<std::string> transparentCorners = {
        "btn_close_1.png", "btn_close_2.png",  "btn_close_3.png",   "iphone_1.png",      "iphone_2.png",
        "iphone_3.png",    "iphone_run_1.png", "iphone_run_2.png",  "iphone_run_3.png",  "android_1.png",
        "android_2.png",   "android_3.png",    "android_run_1.png", "android_run_2.png", "android_run_3.png",
    };

    // Every image at 100 % and in the art for the other scales.
    std::vector<std::pair<std::string, int>> files;
    for (const ImageSize& image : kImageSizes) {
        files.push_back({image.name, 100});
        for (int scale : kArtScales) files.push_back({ScaledName(image.name, scale), scale});
    }
    for (const auto& file : files) {
        const std::string name = UnscaledName(file.first);
        // The outline's radius at the scale, and the pixel its edge blends.
        const int corner = 3 * file.second / 100 + (file.second % 100 != 0 ? 1 : 0);
        SCOPED_TRACE(file.first);
        bool keyedEverywhere = true;
        for (const ImageUse& use : uses) {
            if (Narrow(use.file) == name && use.mask != kMagenta) keyedEverywhere = false;
        }
        Pixels pixels;
        ASSERT_TRUE(Decode(package.Files().at(file.first), pixels));
        const size_t magenta = (size_t)std::count(pixels.argb.begin(), pixels.argb.end(), kMagenta);
        if (!keyedEverywhere) {
            EXPECT_EQ(0u, magenta);
        }
        if (transparentCorners.count(name)) {
            ASSERT_TRUE(keyedEverywhere);
            const int w = pixels.width - 1, h = pixels.height - 1;
            EXPECT_EQ(kMagenta, pixels.At(0, 0));
            EXPECT_EQ(kMagenta, pixels.At(w, 0));
            EXPECT_EQ(kMagenta, pixels.At(0, h));
            EXPECT_EQ(kMagenta, pixels.At(w, h));
            EXPECT_NE(kMagenta, pixels.At(pixels.width / 2, pixels.height / 2));
        }
        // Only the window background is transparent, and only outside its
        // round corners: there the layered window shows what lies behind it.
        const bool roundBackground = name == "bg.png";
        if (roundBackground) {
            const int w = pixels.width - 1, h = pixels.height - 1;
            EXPECT_EQ(0u, pixels.At(0, 0) >> 24);
            EXPECT_EQ(0u, pixels.At(w, 0) >> 24);
            EXPECT_EQ(0u, pixels.At(0, h) >> 24);
            EXPECT_EQ(0u, pixels.At(w, h) >> 24);
        }
        for (int y = 0; y < pixels.height; ++y) {
            bool reported = false;
            for (int x = 0; x < pixels.width && !reported; ++x) {
                const bool inCorner =
                    (x < corner || x >= pixels.width - corner) && (y < corner || y >= pixels.height - corner);
                if (roundBackground && inCorner) continue;
                const UINT32 argb = pixels.At(x, y);
                if ((argb >> 24) != 0xFF) {
                    ADD_FAILURE() << "a pixel that is not opaque at " << x << "," << y << ": " << std::hex
                                  << argb;
                    reported = true;
                }
            }
            if (reported) break;
        }
    }
}

// A button's hot, pushed and disabled images must be told apart from its
// normal one at a glance: at least a quarter of their pixels differ.
TEST(LauncherSkinPackage, ButtonStatesLookDifferent)
{
    Package package;
    ASSERT_NO_FATAL_FAILURE(package.Load());
    std::vector<ImageUse> uses;
    ASSERT_NO_FATAL_FAILURE(SkinImageUses(package, uses));

    std::map<std::wstring, std::map<std::wstring, std::string>> buttons;  // control -> attribute -> file
    for (const ImageUse& use : uses) {
        if (use.attribute != L"bkimage" && use.attribute != L"foreimage") {
            buttons[use.control][use.attribute] = Narrow(use.file);
        }
    }
    const std::pair<const wchar_t*, const wchar_t*> pairs[] = {
        {L"normalimage", L"hotimage"},
        {L"normalimage", L"pushedimage"},
        {L"hotimage", L"pushedimage"},
        {L"normalimage", L"disabledimage"},
    };
    int compared = 0;
    for (const auto& button : buttons) {
        for (const auto& pair : pairs) {
            auto a = button.second.find(pair.first), b = button.second.find(pair.second);
            if (a == button.second.end() || b == button.second.end()) continue;
            SCOPED_TRACE(a->second + " / " + b->second);
            Pixels pa, pb;
            ASSERT_TRUE(Decode(package.Files().at(a->second), pa));
            ASSERT_TRUE(Decode(package.Files().at(b->second), pb));
            ASSERT_EQ(pa.argb.size(), pb.argb.size());
            size_t differing = 0;
            for (size_t i = 0; i < pa.argb.size(); ++i) differing += pa.argb[i] != pb.argb[i];
            EXPECT_GE(differing * 4, pa.argb.size());
            ++compared;
        }
    }
    // Eight buttons with three state images each, the desktop run tile with a fourth.
    EXPECT_EQ(8 * 3 + 1, compared);
}

// The program's resources as start-up finds them: the package by name and
// type, in Chinese (Simplified) only, byte for byte the built package, and
// the icon group 131.
TEST(LauncherSkinPackage, ProgramResourcesCarryThePackageAndTheIcon)
{
    std::string built;
    ASSERT_TRUE(TestSupport::ReadWholeFile(TestSupport::SkinPackageFile(), built));
    HMODULE self = GetModuleHandleW(nullptr);

    HRSRC chinese = FindResourceExW(self, L"ZIPRES", L"IDR_ZIPRES1",
                                    MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    ASSERT_TRUE(chinese != nullptr);
    std::vector<WORD> languages;
    EnumResourceLanguagesW(self, L"ZIPRES", L"IDR_ZIPRES1", CollectLanguage, (LONG_PTR)&languages);
    EXPECT_EQ(std::vector<WORD>{2052}, languages);

    const BYTE* data = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(SkinUI::FindModuleResource(self, L"IDR_ZIPRES1", L"ZIPRES", &data, &size));
    EXPECT_TRUE(std::string(reinterpret_cast<const char*>(data), size) == built)
        << "the resource differs from skin.zip";

    EXPECT_TRUE(FindResourceW(self, MAKEINTRESOURCEW(131), RT_GROUP_ICON) != nullptr);
    for (int edge : {16, 32, 48}) {
        HICON icon = (HICON)LoadImageW(self, MAKEINTRESOURCEW(131), IMAGE_ICON, edge, edge, 0);
        ASSERT_TRUE(icon != nullptr) << edge;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
        EXPECT_EQ(edge, bitmap.bmWidth);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}
