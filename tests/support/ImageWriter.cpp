#include "tests/support/ImageWriter.h"

#include <zlib.h>

namespace TestSupport {

namespace {

void AppendBe32(std::string& s, uint32_t v)
{
    s.push_back(char(v >> 24));
    s.push_back(char((v >> 16) & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
    s.push_back(char(v & 0xFF));
}

void AppendLe(std::string& s, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

void AppendChunk(std::string& png, const char* type, const std::string& data)
{
    AppendBe32(png, uint32_t(data.size()));
    std::string body(type, 4);
    body += data;
    png += body;
    AppendBe32(png, uint32_t(crc32(0L, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

}  // namespace

std::vector<uint8_t> SolidRgba(int width, int height, uint32_t argb)
{
    std::vector<uint8_t> rgba;
    for (int i = 0; i < width * height; ++i)
        rgba.insert(rgba.end(),
                    {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), uint8_t(argb >> 24)});
    return rgba;
}

namespace {

std::string Header(uint32_t width, uint32_t height, bool alpha)
{
    std::string png("\x89PNG\r\n\x1A\n", 8);
    std::string ihdr;
    AppendBe32(ihdr, width);
    AppendBe32(ihdr, height);
    ihdr.push_back(8);
    ihdr.push_back(alpha ? 6 : 2);
    ihdr.push_back(0);
    ihdr.push_back(0);
    ihdr.push_back(0);
    AppendChunk(png, "IHDR", ihdr);
    return png;
}

}  // namespace

std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgba, bool alpha)
{
    const int channels = alpha ? 4 : 3;
    std::string raw;
    raw.reserve(size_t(height) * (size_t(width) * channels + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
            raw.append(reinterpret_cast<const char*>(p), size_t(channels));
        }
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
             uLong(raw.size()));
    packed.resize(packedSize);
    std::string png = Header(uint32_t(width), uint32_t(height), alpha);
    AppendChunk(png, "IDAT", packed);
    AppendChunk(png, "IEND", std::string());
    return png;
}

std::string PngHeaderOnly(uint32_t width, uint32_t height)
{
    std::string png = Header(width, height, true);
    const std::string tiny("\x78\x9C\x03\x00\x00\x00\x00\x01", 8);
    AppendChunk(png, "IDAT", tiny);
    AppendChunk(png, "IEND", std::string());
    return png;
}

std::string EncodeBmp(int width, int height, const std::vector<uint8_t>& rgba)
{
    const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * uint32_t(height);
    std::string bmp("BM", 2);
    AppendLe(bmp, 14 + 40 + imageSize, 4);
    AppendLe(bmp, 0, 4);
    AppendLe(bmp, 14 + 40, 4);
    AppendLe(bmp, 40, 4);
    AppendLe(bmp, uint32_t(width), 4);
    AppendLe(bmp, uint32_t(height), 4);
    AppendLe(bmp, 1, 2);
    AppendLe(bmp, 24, 2);
    AppendLe(bmp, 0, 4);
    AppendLe(bmp, imageSize, 4);
    AppendLe(bmp, 2835, 4);
    AppendLe(bmp, 2835, 4);
    AppendLe(bmp, 0, 4);
    AppendLe(bmp, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
            row.push_back(char(p[2]));
            row.push_back(char(p[1]));
            row.push_back(char(p[0]));
        }
        row.resize(stride, '\0');
        bmp += row;
    }
    return bmp;
}

}  // namespace TestSupport
