#pragma once
// PNG output of a painted bitmap: 8-bit RGBA, straight alpha, one IDAT chunk
// compressed with zlib, no filtering.

#include <windows.h>

#include <string>
#include <vector>

namespace SkinView {

// The PNG file bytes of a 32-bit bitmap whose rows are stored bottom-up
// (row y of the image is memory row height - 1 - y) as B, G, R, A with the
// colour premultiplied by alpha, as a paint manager's off-screen bitmap
// holds them. False for an empty or oversized image or when zlib fails.
bool EncodePng(const BYTE* pBits, int width, int height, std::vector<unsigned char>& out);

// EncodePng, then the bytes to the file (created or truncated). False on any
// failure; a partly written file is removed.
bool WritePngFile(const std::wstring& path, const BYTE* pBits, int width, int height);

}  // namespace SkinView
