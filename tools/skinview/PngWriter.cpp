#include "tools/skinview/PngWriter.h"

#include <zlib.h>

namespace SkinView {

namespace {

// Width and height each at most this, so that the raw image (rows of
// 1 + 4 * width bytes) stays far below zlib's 32-bit length limit.
const int kMaxSide = 16384;

void PutBigEndian32(std::vector<unsigned char>& out, unsigned long value)
{
    out.push_back(static_cast<unsigned char>((value >> 24) & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 16) & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
    out.push_back(static_cast<unsigned char>(value & 0xFF));
}

// Length, type, data and the CRC-32 of type and data.
void PutChunk(std::vector<unsigned char>& out, const char type[4], const unsigned char* data, size_t size)
{
    PutBigEndian32(out, static_cast<unsigned long>(size));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    if (size > 0) out.insert(out.end(), data, data + size);
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, &out[typeAt], static_cast<uInt>(4 + size));
    PutBigEndian32(out, crc);
}

// Premultiplied to straight: c * 255 / a, rounded, at most 255 (GDI text
// drawn over a translucent pixel can leave a colour above its alpha).
unsigned char Unpremultiply(BYTE c, BYTE a)
{
    const unsigned value = (static_cast<unsigned>(c) * 255u + a / 2u) / a;
    return static_cast<unsigned char>(value > 255u ? 255u : value);
}

}  // namespace

bool EncodePng(const BYTE* pBits, int width, int height, std::vector<unsigned char>& out)
{
    out.clear();
    if (pBits == nullptr || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;

    // Raw scan lines, top row first, each led by filter type 0 (none).
    const size_t rowBytes = 1 + static_cast<size_t>(width) * 4;
    std::vector<unsigned char> raw(rowBytes * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const BYTE* src = pBits + static_cast<size_t>(height - 1 - y) * width * 4;
        unsigned char* dst = &raw[static_cast<size_t>(y) * rowBytes];
        *dst++ = 0;
        for (int x = 0; x < width; ++x, src += 4, dst += 4) {
            const BYTE a = src[3];
            if (a == 0) {
                dst[0] = dst[1] = dst[2] = dst[3] = 0;
                continue;
            }
            dst[0] = Unpremultiply(src[2], a);
            dst[1] = Unpremultiply(src[1], a);
            dst[2] = Unpremultiply(src[0], a);
            dst[3] = a;
        }
    }

    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(&packed[0], &packedSize, &raw[0], static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) !=
        Z_OK)
        return false;

    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out.assign(kSignature, kSignature + 8);
    // IHDR: width, height, bit depth 8, colour type 6 (RGBA), deflate,
    // adaptive filtering method, no interlace.
    std::vector<unsigned char> header;
    PutBigEndian32(header, static_cast<unsigned long>(width));
    PutBigEndian32(header, static_cast<unsigned long>(height));
    const unsigned char rest[5] = {8, 6, 0, 0, 0};
    header.insert(header.end(), rest, rest + 5);
    PutChunk(out, "IHDR", &header[0], header.size());
    PutChunk(out, "IDAT", &packed[0], packedSize);
    PutChunk(out, "IEND", nullptr, 0);
    return true;
}

bool WritePngFile(const std::wstring& path, const BYTE* pBits, int width, int height)
{
    std::vector<unsigned char> bytes;
    if (!EncodePng(pBits, width, height, bytes)) return false;
    HANDLE hFile =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(hFile, &bytes[0], static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    ::CloseHandle(hFile);
    if (!ok) ::DeleteFileW(path.c_str());
    return ok;
}

}  // namespace SkinView
