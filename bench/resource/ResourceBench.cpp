#include "bench/support/Bench.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/RenderEngine.h"
#include "skinui/resource/SkinPackage.h"
#include "tests/support/SkinFiles.h"
#include "tests/support/TempFolder.h"
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
    static const char* const kWords[] = {"<Button ",   "name=\"tile\" ", "pos=\"0,0,150,150\" ",
                                         "bkimage=\"", "tile.png\" ",    "textcolor=\"#FF333333\" ",
                                         "/>\r\n",     "<Label text=\"", "Recovery\" "};
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
    // The entry's raw deflate data with zlib's header and Adler-32 trailer.
    std::string wrapped = std::string("\x78\x9C", 2) + packed;
    const uLong adler =
        adler32(adler32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(data.data()), uInt(data.size()));
    for (int shift = 24; shift >= 0; shift -= 8) wrapped += char((adler >> shift) & 0xFF);

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

        // zlib's own one-call decompression of the same deflate data in
        // zlib's format, which checks its Adler-32 on the way as the reader
        // checks the entry's CRC-32.
        const double t2 = Bench::Now();
        uLongf outLen = uLongf(kSize);
        const int z = uncompress(out.data(), &outLen, reinterpret_cast<const Bytef*>(wrapped.data()),
                                 uLong(wrapped.size()));
        const double t3 = Bench::Now();
        if (z != Z_OK || outLen != kSize) std::printf("zlib uncompress failed\n");
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

// The launcher's own 31 skin images, packed deflated into a memory package
// as the build packs them, each loaded once as the first paint loads them.
VOZEROR_BENCH(SkinImagesDecode)
{
    const std::string folder = TestSupport::SkinSourceFile("");
    TestSupport::ZipWriter w;
    std::vector<std::wstring> names;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = ::FindFirstFileA((folder + "*.png").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::string bytes;
            if (!TestSupport::ReadWholeFile(folder + fd.cFileName, bytes)) continue;
            w.Add(fd.cFileName, bytes, 8);
            names.push_back(TestSupport::WideFromAnsi(fd.cFileName));
        } while (::FindNextFileA(hFind, &fd));
        ::FindClose(hFind);
    }
    if (names.empty()) std::printf("no skin images in %s\n", folder.c_str());
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
        if (loaded != int(names.size()))
            std::printf("only %d of %u images loaded\n", loaded, unsigned(names.size()));
        if (t1 - t0 < best) best = t1 - t0;
    }
    SkinUI::CPaintManagerUI::Term();
    Bench::Report("skin_images_count", double(names.size()));
    Bench::Report("skin_images_decode_ms", best * 1000.0);
}
