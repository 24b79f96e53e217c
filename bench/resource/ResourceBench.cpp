#include "bench/support/Bench.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/RenderEngine.h"
#include "skinui/resource/SkinPackage.h"
#include "tests/support/ImageWriter.h"
#include "tests/support/ZipWriter.h"

#include <zlib.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

// Sections: a 20 MB deflated entry through the package reader and through
// zlib alone; a launcher-like skin of 31 PNGs decoded through LoadImageW.

namespace {

// Text-like data that deflates about as well as skin XML does.
std::string SampleData(size_t size)
{
    static const char* const kWords[] = {"<Button ", "name=\"tile\" ", "pos=\"0,0,150,150\" ", "bkimage=\"", "tile.png\" ",
                                         "textcolor=\"#FF333333\" ", "/>\r\n", "<Label text=\"", "Recovery\" "};
    std::string s;
    s.reserve(size + 64);
    uint32_t x = 2463534242u;
    while (s.size() < size) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        s += kWords[x % 9];
        if (x & 0x100) s += char('0' + (x >> 24) % 10);
    }
    s.resize(size);
    return s;
}

// Best of several runs: the machine is shared, the best run is the least disturbed.
const int kRepeats = 12;

}  // namespace

VOZEROR_BENCH(PackageUnpack)
{
    const size_t kSize = 20u << 20;
    const std::string data = SampleData(kSize);
    TestSupport::ZipWriter w;
    w.Add("big.xml", data, 8);
    const std::string archive = w.Finish();
    const std::string packed = archive.substr(w.Entries()[0].data, w.Entries()[0].packed);
    std::vector<unsigned char> out(kSize);

    double bestPackage = 1e9, bestZlib = 1e9, bestCrc = 1e9;
    for (int r = 0; r < kRepeats; ++r) {
        const double t0 = Bench::Now();
        HANDLE h = SkinUI::SkinPackageOpen(archive.data(), DWORD(archive.size()), SkinUI::SKINPKG_MEMORY);
        int index = -1;
        SkinUI::TSkinPackageEntry entry;
        SkinUI::SkinPackageFind(h, L"big.xml", true, &index, &entry);
        const DWORD result = SkinUI::SkinPackageUnpack(h, index, out.data(), entry.unpackedSize);
        SkinUI::SkinPackageClose(h);
        const double t1 = Bench::Now();
        if (result != SkinUI::SKINPKG_MORE || memcmp(out.data(), data.data(), kSize) != 0)
            std::printf("package unpack gave wrong data\n");
        if (t1 - t0 < bestPackage) bestPackage = t1 - t0;

        const double t2 = Bench::Now();
        z_stream zs = {};
        inflateInit2(&zs, -MAX_WBITS);
        zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
        zs.avail_in = uInt(packed.size());
        zs.next_out = out.data();
        zs.avail_out = uInt(kSize);
        const int z = inflate(&zs, Z_FINISH);
        inflateEnd(&zs);
        const double t3 = Bench::Now();
        if (z != Z_STREAM_END) std::printf("zlib inflate failed\n");
        if (t3 - t2 < bestZlib) bestZlib = t3 - t2;

        // The reader also checks the CRC-32, which plain inflate does not.
        const double t4 = Bench::Now();
        volatile uLong crc = crc32(0L, out.data(), uInt(kSize));
        (void)crc;
        const double t5 = Bench::Now();
        if (t5 - t4 < bestCrc) bestCrc = t5 - t4;
    }
    const double mb = double(kSize) / (1024.0 * 1024.0);
    Bench::Report("package_unpack_mb_s", mb / bestPackage);
    Bench::Report("zlib_uncompress_mb_s", mb / bestZlib);
    Bench::Report("unpack_vs_zlib", bestZlib / bestPackage);
    Bench::Report("crc32_mb_s", mb / bestCrc);
}

// One 536x355 background, 150x150 tiles and small icons, as the launcher's
// skin has: 31 images in a memory package, each loaded once.
VOZEROR_BENCH(SkinImagesDecode)
{
    struct Size { int w, h; };
    std::vector<Size> sizes = {{536, 355}};
    for (int i = 0; i < 12; ++i) sizes.push_back({150 + (i % 3) * 4, 150 - (i % 2) * 6});
    for (int i = 0; i < 8; ++i) sizes.push_back({88, 28});
    for (int i = 0; i < 10; ++i) sizes.push_back({16 + (i % 3) * 8, 16 + (i % 3) * 8});
    TestSupport::ZipWriter w;
    std::vector<std::wstring> names;
    uint32_t x = 12345;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const Size s = sizes[i];
        std::vector<uint8_t> rgba(size_t(s.w) * s.h * 4);
        for (int y = 0; y < s.h; ++y) {
            for (int c = 0; c < s.w; ++c) {
                x ^= x << 13;
                x ^= x >> 17;
                x ^= x << 5;
                uint8_t* p = &rgba[(size_t(y) * s.w + c) * 4];
                p[0] = uint8_t(c * 255 / s.w);
                p[1] = uint8_t(y * 255 / s.h);
                p[2] = uint8_t(128 + (x & 15));
                const bool edge = c < 3 || y < 3 || c >= s.w - 3 || y >= s.h - 3;
                p[3] = edge ? uint8_t(x & 0x7F) : 255;
            }
        }
        const std::string name = "img_" + std::to_string(i) + ".png";
        w.Add(name, TestSupport::EncodePng(s.w, s.h, rgba, true), 8);
        names.push_back(std::wstring(name.begin(), name.end()));
    }
    const std::string package = w.Finish();
    SkinUI::CPaintManagerUI::SetResourceZip((LPVOID)package.data(), (unsigned int)package.size());

    double best = 1e9;
    for (int r = 0; r < kRepeats; ++r) {
        const double t0 = Bench::Now();
        int loaded = 0;
        for (const std::wstring& name : names) {
            SkinUI::TImageInfo* info = SkinUI::CRenderEngine::LoadImageW(name.c_str());
            if (info != nullptr) ++loaded;
            SkinUI::CRenderEngine::FreeImage(info);
        }
        const double t1 = Bench::Now();
        if (loaded != int(names.size())) std::printf("only %d of %u images loaded\n", loaded, unsigned(names.size()));
        if (t1 - t0 < best) best = t1 - t0;
    }
    SkinUI::CPaintManagerUI::Term();
    Bench::Report("skin_images_count", double(names.size()));
    Bench::Report("skin_images_decode_ms", best * 1000.0);
}
