#pragma once
// Writes small image files for the loader tests: PNG (zlib's compress and
// crc32, one IDAT chunk, filter 0) and uncompressed 24-bit BMP.

#include <stdint.h>

#include <string>
#include <vector>

namespace TestSupport {

// rgba holds width*height pixels of R G B A; with alpha false the PNG is RGB
// (colour type 2) and the alpha bytes are left out.
std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgba, bool alpha = true);
// width*height pixels of one colour 0xAARRGGBB, as the R G B A that EncodePng takes.
std::vector<uint8_t> SolidRgba(int width, int height, uint32_t argb);
// A PNG whose header announces the size but whose image data is a few bytes.
std::string PngHeaderOnly(uint32_t width, uint32_t height);
// Bottom-up 24-bit BMP of the R G B A pixels (alpha dropped).
std::string EncodeBmp(int width, int height, const std::vector<uint8_t>& rgba);

}  // namespace TestSupport
