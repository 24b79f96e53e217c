#include "skinui/render/RenderEngine.h"

#include "skinui/core/PaintManager.h"
#include "skinui/resource/ResourceManager.h"
#include "tests/resource/SkinLocation.h"
#include "tests/support/ImageWriter.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipWriter.h"

#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <tuple>
#include <vector>

using SkinUI::CPaintManagerUI;
using SkinUI::CRenderEngine;
using SkinUI::TImageInfo;
using TestSupport::EncodePng;
using TestSupport::WideFromAnsi;

// Sections: helpers, pixels and colour key, sources, bad images, release.

namespace {

// ---- Helpers --------------------------------------------------------------------
// The four pixels of the reference image, R G B A.
const std::vector<uint8_t> kPixels = {
    10,  20,  30,  128,  // half transparent
    255, 0,   255, 255,  // opaque magenta
    1,   2,   3,   0,    // fully transparent
    200, 100, 50,  255,  // opaque
};

// The DIB's bytes as the engine stored them (B G R A per pixel). The pixel
// checks show the row order: the first bytes are the image's top row.
std::vector<uint8_t> DibBytes(const TImageInfo* info)
{
    DIBSECTION ds = {};
    EXPECT_EQ(int(sizeof(ds)), GetObjectW(info->hBitmap, sizeof(ds), &ds));
    EXPECT_EQ(32, ds.dsBm.bmBitsPixel);
    EXPECT_EQ(info->nY, ds.dsBm.bmHeight);
    EXPECT_EQ(info->nX, ds.dsBm.bmWidth);
    const uint8_t* bits = static_cast<const uint8_t*>(ds.dsBm.bmBits);
    return std::vector<uint8_t>(bits, bits + size_t(info->nX) * size_t(info->nY) * 4);
}

struct Loaded
{
    TImageInfo* info = nullptr;
    ~Loaded() { CRenderEngine::FreeImage(info); }
};

}  // namespace

// ---- Pixels and colour key ------------------------------------------------------------

TEST(ImageLoader, PremultipliesAndAppliesTheColourKey)
{
    const std::string rgba = EncodePng(2, 2, kPixels, true);
    std::vector<uint8_t> opaque = kPixels;
    for (size_t i = 3; i < opaque.size(); i += 4) opaque[i] = 255;
    const std::string rgb = EncodePng(2, 2, opaque, false);
    const std::string bmp = TestSupport::EncodeBmp(2, 2, opaque);
    TestSupport::ZipWriter w;
    w.Add("alpha.png", rgba, 8);
    w.Add("opaque.png", rgb, 0);
    w.Add("opaque.bmp", bmp, 8);
    const std::string package = w.Finish();
    ResourceTests::UseMemoryPackage(package);

    const std::tuple<const wchar_t*, DWORD, bool, std::vector<uint8_t>> cases[] = {
        {L"alpha.png", 0, true, {15, 10, 5, 128, 255, 0, 255, 255, 0, 0, 0, 0, 50, 100, 200, 255}},
        {L"alpha.png", 0xFFFF00FF, true, {15, 10, 5, 128, 0, 0, 0, 0, 0, 0, 0, 0, 50, 100, 200, 255}},
        {L"alpha.png", 0xFF0000, true, {15, 10, 5, 128, 255, 0, 255, 255, 0, 0, 0, 0, 50, 100, 200, 255}},
        // The key is compared after premultiplication: 0x800A141E is the
        // first pixel before it, 0x80050A0F after.
        {L"alpha.png", 0x800A141E, true, {15, 10, 5, 128, 255, 0, 255, 255, 0, 0, 0, 0, 50, 100, 200, 255}},
        {L"alpha.png", 0x80050A0F, true, {0, 0, 0, 0, 255, 0, 255, 255, 0, 0, 0, 0, 50, 100, 200, 255}},
        {L"opaque.png", 0, false, {30, 20, 10, 255, 255, 0, 255, 255, 3, 2, 1, 255, 50, 100, 200, 255}},
        {L"opaque.png", 0xFFFF00FF, true, {30, 20, 10, 255, 0, 0, 0, 0, 3, 2, 1, 255, 50, 100, 200, 255}},
        {L"OPAQUE.BMP", 0, false, {30, 20, 10, 255, 255, 0, 255, 255, 3, 2, 1, 255, 50, 100, 200, 255}},
    };
    for (const auto& [name, mask, alpha, bgra] : cases) {
        Loaded img;
        img.info = CRenderEngine::LoadImageW(name, nullptr, mask);
        ASSERT_NE(nullptr, img.info) << name;
        EXPECT_EQ(2, img.info->nX);
        EXPECT_EQ(2, img.info->nY);
        EXPECT_EQ(alpha, img.info->bAlpha) << name << " mask " << mask;
        EXPECT_EQ(bgra, DibBytes(img.info)) << name << " mask " << mask;
        EXPECT_EQ(nullptr, img.info->pBits);
        EXPECT_TRUE(img.info->sResType.IsEmpty());
    }
    ResourceTests::ResetSkinLocation();
}

// ---- Sources --------------------------------------------------------------------------

TEST(ImageLoader, FindsBytesInFolderPackagePlainPathAndModule)
{
    using ResourceTests::ResetSkinLocation;
    TestSupport::TempFolder folder("vzimg");
    const std::vector<uint8_t> red = {255, 0, 0, 255};
    const std::vector<uint8_t> green = {0, 255, 0, 255};
    ASSERT_TRUE(TestSupport::WriteWholeFile(folder.File("red.png"), EncodePng(1, 1, red)));
    ASSERT_TRUE(TestSupport::WriteWholeFile(folder.File("fallback.png"), EncodePng(1, 1, red)));
    ASSERT_TRUE(TestSupport::WriteWholeFile(folder.File("empty.png"), EncodePng(1, 1, red)));
    TestSupport::ZipWriter w;
    w.Add("img/Green.png", EncodePng(1, 1, green), 8);
    w.Add("fallback.png", EncodePng(1, 1, green), 12);  // unknown method
    w.Add("empty.png", "", 0);
    const std::string package = w.Finish();
    ASSERT_TRUE(TestSupport::WriteWholeFile(folder.File("skin.zip"), package));
    const std::wstring dir = WideFromAnsi(folder.Path());

    // Red: B 0 G 0 R 255; green: G 255.
    auto colour = [](TImageInfo* info) -> int {
        if (info == nullptr) return -1;
        const std::vector<uint8_t> b = DibBytes(info);
        CRenderEngine::FreeImage(info);
        return b[2] == 255 ? 'r' : b[1] == 255 ? 'g' : '?';
    };
    const SkinUI::CUIString cwd = CPaintManagerUI::GetCurrentPath();

    ResetSkinLocation();
    CPaintManagerUI::SetResourcePath(dir.c_str());
    EXPECT_EQ('r', colour(CRenderEngine::LoadImageW(L"red.png")));
    EXPECT_EQ(-1, colour(CRenderEngine::LoadImageW(L"img/green.png")));
    // Without the folder the name is a plain path.
    CPaintManagerUI::SetResourcePath(L"");
    EXPECT_EQ('r', colour(CRenderEngine::LoadImageW((dir + L"\\red.png").c_str())));
    CPaintManagerUI::SetCurrentPath(dir.c_str());
    EXPECT_EQ('r', colour(CRenderEngine::LoadImageW(L"red.png")));

    for (bool keep : {true, false}) {
        ResetSkinLocation();
        CPaintManagerUI::SetResourcePath(dir.c_str());
        CPaintManagerUI::SetResourceZip(L"skin.zip", keep);
        EXPECT_EQ('g', colour(CRenderEngine::LoadImageW(L"IMG\\green.PNG"))) << keep;
        // An entry that cannot be unpacked, or is empty, falls back to the
        // plain path (here relative to the current folder).
        EXPECT_EQ('r', colour(CRenderEngine::LoadImageW(L"fallback.png"))) << keep;
        EXPECT_EQ('r', colour(CRenderEngine::LoadImageW(L"empty.png"))) << keep;
        EXPECT_EQ(-1, colour(CRenderEngine::LoadImageW(L"missing.png"))) << keep;
    }
    CPaintManagerUI::SetCurrentPath(cwd);
    // With a package set, loose files of the resource folder are not read.
    EXPECT_EQ(-1, colour(CRenderEngine::LoadImageW(L"red.png")));

    // With a type: a module resource, by name or id; the resource module
    // unless one is given.
    ResetSkinLocation();
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    Loaded dot;
    dot.info = CRenderEngine::LoadImageW(L"DOT_PNG", L"PNG", 0);
    ASSERT_NE(nullptr, dot.info);
    EXPECT_EQ(2, dot.info->nX);
    EXPECT_EQ(1, dot.info->nY);
    EXPECT_EQ((std::vector<uint8_t>{15, 10, 5, 128, 50, 100, 200, 255}), DibBytes(dot.info));
    EXPECT_EQ(nullptr, CRenderEngine::LoadImageW(L"NO_SUCH", L"PNG", 0));
    EXPECT_EQ(nullptr, CRenderEngine::LoadImageW(4711u, L"PNG", 0));
    EXPECT_EQ(nullptr, CRenderEngine::LoadImageW(L"DOT_PNG", L"PNG", 0, GetModuleHandleW(L"kernel32.dll")));
    CPaintManagerUI::SetInstance(nullptr);
}

// A name without a type is first looked up among the resource manager's
// image ids.
TEST(ImageLoader, NamesGoThroughTheResourceManagersImageIds)
{
    TestSupport::ZipWriter w;
    w.Add("img/logo.png", EncodePng(3, 1, std::vector<uint8_t>(12, 255)), 8);
    const std::string package = w.Finish();
    ResourceTests::UseMemoryPackage(package);
    SkinUI::CResourceManager* manager = SkinUI::CResourceManager::GetInstance();
    manager->ResetResourceMap();
    ASSERT_TRUE(manager->LoadResource(L"<Res><Image id=\"logo\" path=\"img/logo.png\"/></Res>"));
    Loaded byId;
    byId.info = CRenderEngine::LoadImageW(L"logo");
    ASSERT_NE(nullptr, byId.info);
    EXPECT_EQ(3, byId.info->nX);
    EXPECT_EQ(nullptr, CRenderEngine::LoadImageW(L"logo", L"PNG"));
    manager->ResetResourceMap();
    EXPECT_EQ(nullptr, CRenderEngine::LoadImageW(L"logo"));
    ResourceTests::ResetSkinLocation();
}

// ---- Bad images -------------------------------------------------------------------------

TEST(ImageLoader, BadImagesGiveNull)
{
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 16 * 16; ++i)
        pixels.insert(pixels.end(), {uint8_t(i), uint8_t(i * 3), uint8_t(i * 7), 255});
    const std::string good = EncodePng(16, 16, pixels);
    TestSupport::ZipWriter w;
    w.Add("huge.png", TestSupport::PngHeaderOnly(65535, 65535), 0);
    w.Add("wide.png", TestSupport::PngHeaderOnly(4097, 4096), 0);
    w.Add("zero.png", TestSupport::PngHeaderOnly(0, 10), 0);
    w.Add("text.png", "not an image at all", 0);
    w.Add("badcrc.png", good, 8);
    w.Add("good.png", good, 8);
    std::string package = w.Finish();
    TestSupport::PutLe32(package, w.Entries()[4].local + 14, 1);
    TestSupport::PutLe32(package, w.Entries()[4].central + 16, 1);
    ResourceTests::UseMemoryPackage(package);
    for (const wchar_t* name : {L"huge.png", L"wide.png", L"zero.png", L"text.png", L"badcrc.png"})
        EXPECT_EQ(nullptr, CRenderEngine::LoadImageW(name)) << name;
    Loaded whole;
    whole.info = CRenderEngine::LoadImageW(L"good.png");
    ASSERT_NE(nullptr, whole.info);
    const std::vector<uint8_t> reference = DibBytes(whole.info);

    // Every truncation and a damaged byte at every 7th position: Null, or the
    // full image of the right size (never a record of other dimensions).
    std::vector<std::string> damaged;
    for (size_t n = 0; n < good.size(); ++n) damaged.push_back(good.substr(0, n));
    for (size_t i = 0; i < good.size(); i += 7) {
        std::string s = good;
        s[i] = char(s[i] ^ 0x5A);
        damaged.push_back(s);
    }
    for (size_t k = 0; k < damaged.size(); ++k) {
        TestSupport::ZipWriter d;
        d.Add("d.png", damaged[k].empty() ? std::string("x") : damaged[k], 0);
        const std::string pkg = d.Finish();
        ResourceTests::UseMemoryPackage(pkg);
        Loaded img;
        img.info = CRenderEngine::LoadImageW(L"d.png");
        if (img.info == nullptr) continue;
        EXPECT_EQ(16, img.info->nX) << k;
        EXPECT_EQ(16, img.info->nY) << k;
        if (k < good.size()) {
            EXPECT_EQ(reference, DibBytes(img.info)) << "prefix of " << k << " bytes";
        }
    }
    ResourceTests::ResetSkinLocation();
}

// ---- Release ---------------------------------------------------------------------------

TEST(ImageLoader, FreeImageReleasesBitmapAndBuffers)
{
    CRenderEngine::FreeImage(nullptr);
    TImageInfo* info = new TImageInfo;
    info->hBitmap = CreateBitmap(1, 1, 1, 32, nullptr);
    info->pBits = new BYTE[4];
    info->pSrcBits = new BYTE[4];
    HBITMAP bitmap = info->hBitmap;
    CRenderEngine::FreeImage(info, false);
    EXPECT_EQ(nullptr, info->hBitmap);
    EXPECT_EQ(nullptr, info->pBits);
    EXPECT_EQ(nullptr, info->pSrcBits);
    EXPECT_EQ(0, GetObjectType(bitmap)) << "the bitmap was deleted";
    CRenderEngine::FreeImage(info, true);
}
