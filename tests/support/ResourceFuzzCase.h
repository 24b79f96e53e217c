#pragma once
// One fuzz input for the skin package reader and one for the image loader,
// with the invariants every outcome must keep. Shared by the fuzz test and
// the fuzz benchmark; header-only because it calls the engine, which the
// support library does not link.

#include "skinui/core/PaintManager.h"
#include "skinui/render/RenderEngine.h"
#include "skinui/resource/SkinPackage.h"
#include "tests/support/ByteMutator.h"
#include "tests/support/ImageWriter.h"
#include "tests/support/ZipWriter.h"

#include <string.h>

#include <string>
#include <vector>

namespace TestSupport {

// ---- Seeds ---------------------------------------------------------------------
inline std::vector<uint8_t> FuzzPixels(int width, int height)
{
    std::vector<uint8_t> rgba;
    for (int i = 0; i < width * height; ++i)
        rgba.insert(rgba.end(), {uint8_t(i * 13), uint8_t(i * 7), uint8_t(i * 3), uint8_t(i % 3 ? 255 : i)});
    return rgba;
}

// Images the loader must read: RGBA and RGB PNG, BMP.
inline std::vector<std::string> FuzzImageSeeds()
{
    return {EncodePng(16, 16, FuzzPixels(16, 16), true), EncodePng(9, 5, FuzzPixels(9, 5), false),
            EncodeBmp(7, 3, FuzzPixels(7, 3))};
}

inline std::vector<std::wstring> FuzzEntryNames()
{
    return {L"DlgMain.xml", L"img/tile.png", L"img\\ICON.BMP", L"empty.txt", L"missing.png"};
}

// Archives with deflated, stored and empty entries, one behind a prefix.
inline std::vector<std::string> FuzzArchiveSeeds()
{
    std::string xml = "<?xml version=\"1.0\"?><Window size=\"536,355\">";
    for (int i = 0; i < 40; ++i) xml += "<Button name=\"b" + std::to_string(i) + "\" pos=\"0,0,10,10\"/>";
    xml += "</Window>";
    const std::vector<std::string> images = FuzzImageSeeds();
    ZipWriter a;
    a.Add("DlgMain.xml", xml, 8);
    a.Add("img/tile.png", images[0], 8);
    a.Add("img/icon.bmp", images[2], 0);
    a.Add("empty.txt", "", 0);
    ZipWriter b;
    b.Add("DlgMain.xml", xml, 0);
    b.Add("img/tile.png", images[1], 8);
    const std::string second = b.Finish("skin comment");
    return {a.Finish(), second, std::string(100, 'M') + second};
}

// The image bytes mutated, as the only stored entry of a package; or a whole
// seed archive mutated. Either is then loaded through the image loader.
inline std::string FuzzImagePackage(ByteMutator& mutator, const std::vector<std::string>& images,
                                    const std::vector<std::string>& archives, std::wstring& name)
{
    if (mutator.Below(4) == 0) {
        std::string archive = archives[mutator.Below(uint32_t(archives.size()))];
        mutator.Mutate(archive);
        name = L"img/tile.png";
        return archive;
    }
    std::string image = images[mutator.Below(uint32_t(images.size()))];
    mutator.Mutate(image);
    ZipWriter w;
    w.Add("fuzz.png", image, mutator.Below(2) ? 8 : 0);
    name = L"fuzz.png";
    return w.Finish();
}

// ---- Invariants ------------------------------------------------------------------
// How deep the inputs got, for the benchmark's figures.
struct FuzzStats
{
    unsigned opened = 0;    // archives that opened
    unsigned unpacked = 0;  // entries unpacked whole without a failure
    unsigned decoded = 0;   // images the loader returned
};

inline bool IsDocumentedPackageResult(DWORD r)
{
    using namespace SkinUI;
    return r == SKINPKG_OK || r == SKINPKG_NODUPHANDLE || r == SKINPKG_NOFILE || r == SKINPKG_NOTFOUND ||
        r == SKINPKG_MORE || r == SKINPKG_BADDATA || r == SKINPKG_ARGS || r == SKINPKG_NOTOPEN ||
        r == SKINPKG_INUSE || r == SKINPKG_NOTDISK || r == SKINPKG_READ;
}

// Opens the archive from memory, finds every name and unpacks what it finds
// (whole, then in small pieces) into buffers fenced by guard bytes. Returns
// false when an invariant broke: a result outside the documented codes, a
// write past the buffer or beyond the declared size, an unpack that never ends.
inline bool CheckArchive(const std::string& archive, const std::vector<std::wstring>& names,
                         FuzzStats* stats = nullptr)
{
    using namespace SkinUI;
    const size_t kGuard = 64;
    const DWORD kMaxBuffer = 1u << 20;
    DWORD openResult = 0;
    HANDLE h = SkinPackageOpen(archive.data(), DWORD(archive.size()), SKINPKG_MEMORY, &openResult);
    if (!IsDocumentedPackageResult(openResult)) return false;
    if (h == nullptr) return openResult != SKINPKG_OK;
    if (stats != nullptr) ++stats->opened;
    bool ok = true;
    for (const std::wstring& name : names) {
        int index = -2;
        TSkinPackageEntry entry;
        const DWORD found = SkinPackageFind(h, name.c_str(), true, &index, &entry);
        if (!IsDocumentedPackageResult(found)) ok = false;
        if (found != SKINPKG_OK) {
            if (index != -1) ok = false;
            continue;
        }
        const DWORD size = entry.unpackedSize < kMaxBuffer ? entry.unpackedSize : kMaxBuffer;
        for (DWORD piece : {size, DWORD(7)}) {
            if (piece == 7 && entry.unpackedSize > 65536) continue;
            std::vector<BYTE> buffer(size_t(piece) + kGuard, 0xA5);
            // Every 0x600 result delivers a full piece or the last bytes: more
            // calls than that would mean bytes beyond the declared size.
            const DWORD maxCalls = piece ? entry.unpackedSize / piece + 1 : 1;
            for (DWORD calls = 0;; ++calls) {
                const DWORD r = SkinPackageUnpack(h, index, buffer.data(), piece);
                if (!IsDocumentedPackageResult(r)) ok = false;
                if (stats != nullptr && calls == 0 && piece == entry.unpackedSize &&
                    (r == SKINPKG_OK || r == SKINPKG_MORE))
                    ++stats->unpacked;
                for (size_t g = piece; g < buffer.size(); ++g) {
                    if (buffer[g] != 0xA5) ok = false;
                }
                if (r != SKINPKG_MORE) break;
                if (calls >= maxCalls) {
                    ok = false;
                    break;
                }
            }
        }
    }
    for (int index = -1; index < 4; ++index) {
        BYTE small[32];
        if (!IsDocumentedPackageResult(SkinPackageUnpack(h, index, small, sizeof(small)))) ok = false;
    }
    if (SkinPackageClose(h) != SKINPKG_OK) ok = false;
    return ok;
}

// Loads `name` from the memory package through the image loader; a returned
// image must be a 32-bit DIB of its stated size whose colour bytes
// never exceed their alpha (premultiplied).
inline bool CheckImage(const std::string& package, const wchar_t* name, FuzzStats* stats = nullptr)
{
    using namespace SkinUI;
    CPaintManagerUI::SetResourceZip(L"", true);  // forget the previous memory package
    CPaintManagerUI::SetResourceZip((LPVOID)package.data(), (unsigned int)package.size());
    TImageInfo* info = CRenderEngine::LoadImageW(name, nullptr, 0xFFFF00FF);
    if (info == nullptr) return true;
    if (stats != nullptr) ++stats->decoded;
    bool ok = info->nX > 0 && info->nY > 0 && (UINT64)info->nX * (UINT64)info->nY <= 16u * 1024u * 1024u &&
        info->hBitmap != nullptr;
    DIBSECTION ds;
    if (ok && ::GetObjectW(info->hBitmap, sizeof(ds), &ds) == sizeof(ds)) {
        ok = ds.dsBm.bmWidth == info->nX && ds.dsBm.bmHeight == info->nY && ds.dsBm.bmBitsPixel == 32 &&
            ds.dsBm.bmBits != nullptr;
        if (ok) {
            const BYTE* p = static_cast<const BYTE*>(ds.dsBm.bmBits);
            const size_t n = size_t(info->nX) * size_t(info->nY);
            for (size_t i = 0; i < n && ok; ++i, p += 4) ok = p[0] <= p[3] && p[1] <= p[3] && p[2] <= p[3];
        }
    } else {
        ok = false;
    }
    CRenderEngine::FreeImage(info);
    return ok;
}

}  // namespace TestSupport
