#pragma once
// Writes a ZIP archive of stored entries in memory, the form the skin
// package reader takes from a module resource. Shared by the builder tests
// and the skin fuzz target.

#include <zlib.h>

#include <string>
#include <utility>
#include <vector>

namespace SkinTest {

typedef std::vector<std::pair<std::string, std::string>> PackageFiles;  // name, bytes

inline void PutLE(std::string& out, unsigned long value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back((char)((value >> (8 * i)) & 0xFF));
}

inline std::string StoredZip(const PackageFiles& files)
{
    std::string out, directory;
    for (const auto& file : files) {
        const unsigned long crc = crc32(0L, (const Bytef*)file.second.data(), (uInt)file.second.size());
        const unsigned long offset = (unsigned long)out.size();
        const unsigned long size = (unsigned long)file.second.size();
        PutLE(out, 0x04034b50, 4);
        PutLE(out, 10, 2);  // version needed
        PutLE(out, 0, 2);   // flags
        PutLE(out, 0, 2);   // stored
        PutLE(out, 0, 4);   // time, date
        PutLE(out, crc, 4);
        PutLE(out, size, 4);
        PutLE(out, size, 4);
        PutLE(out, (unsigned long)file.first.size(), 2);
        PutLE(out, 0, 2);
        out += file.first;
        out += file.second;

        PutLE(directory, 0x02014b50, 4);
        PutLE(directory, 20, 2);
        PutLE(directory, 10, 2);
        PutLE(directory, 0, 2);
        PutLE(directory, 0, 2);
        PutLE(directory, 0, 4);
        PutLE(directory, crc, 4);
        PutLE(directory, size, 4);
        PutLE(directory, size, 4);
        PutLE(directory, (unsigned long)file.first.size(), 2);
        PutLE(directory, 0, 2);  // extra
        PutLE(directory, 0, 2);  // comment
        PutLE(directory, 0, 2);  // disk
        PutLE(directory, 0, 2);  // internal attributes
        PutLE(directory, 0, 4);  // external attributes
        PutLE(directory, offset, 4);
        directory += file.first;
    }
    const unsigned long directoryOffset = (unsigned long)out.size();
    out += directory;
    PutLE(out, 0x06054b50, 4);
    PutLE(out, 0, 2);
    PutLE(out, 0, 2);
    PutLE(out, (unsigned long)files.size(), 2);
    PutLE(out, (unsigned long)files.size(), 2);
    PutLE(out, (unsigned long)directory.size(), 4);
    PutLE(out, directoryOffset, 4);
    PutLE(out, 0, 2);
    return out;
}

inline std::string Utf8(const std::wstring& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned long c = (unsigned long)text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + ((unsigned long)text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out.push_back((char)c);
        } else if (c < 0x800) {
            out.push_back((char)(0xC0 | (c >> 6)));
            out.push_back((char)(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back((char)(0xE0 | (c >> 12)));
            out.push_back((char)(0x80 | ((c >> 6) & 0x3F)));
            out.push_back((char)(0x80 | (c & 0x3F)));
        } else {
            out.push_back((char)(0xF0 | (c >> 18)));
            out.push_back((char)(0x80 | ((c >> 12) & 0x3F)));
            out.push_back((char)(0x80 | ((c >> 6) & 0x3F)));
            out.push_back((char)(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

// A 2 x 1 32-bit BMP: one magenta pixel, one opaque blue one.
inline std::string TwoPixelBmp()
{
    std::string out = "BM";
    PutLE(out, 14 + 40 + 8, 4);
    PutLE(out, 0, 4);
    PutLE(out, 14 + 40, 4);
    PutLE(out, 40, 4);
    PutLE(out, 2, 4);   // width
    PutLE(out, 1, 4);   // height
    PutLE(out, 1, 2);
    PutLE(out, 32, 2);
    PutLE(out, 0, 4);   // BI_RGB
    PutLE(out, 8, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 0, 4);
    PutLE(out, 0, 4);
    PutLE(out, 0xFFFF00FF, 4);  // B G R A little-endian: magenta, opaque
    PutLE(out, 0xFF0000FF, 4);  // blue, opaque
    return out;
}

}  // namespace SkinTest
