#include "skinui/core/PaintManager.h"

#include "tests/support/ImageWriter.h"
#include "tests/support/PaintManagerWindow.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using SkinUI::CControlUI;
using SkinUI::CPaintManagerUI;
using SkinUI::CStdPtrArray;
using SkinUI::TDrawInfo;
using SkinUI::TFontInfo;
using SkinUI::TImageInfo;
using TestSupport::LogFontOf;

namespace {

bool IsLive(HGDIOBJ h)
{
    return h != nullptr && ::GetObjectType(h) != 0;
}

HBITMAP MakeBitmap(int cx, int cy)
{
    HDC hDC = ::GetDC(nullptr);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hDC, cx, cy);
    ::ReleaseDC(nullptr, hDC);
    return hBitmap;
}

std::wstring StockFace()
{
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    return lf.lfFaceName;
}

std::wstring WritePng(const TestSupport::TempFolder& folder, const std::string& name, int cx, int cy)
{
    TestSupport::WriteWholeFile(folder.File(name),
                                TestSupport::EncodePng(cx, cy, TestSupport::SolidRgba(cx, cy, 0xFFFFFFFF)));
    return TestSupport::WideFromAnsi(folder.File(name));
}

}  // namespace

// ---- Fonts -------------------------------------------------------------------

// What AddFont makes of its arguments: the handle's LOGFONT and the record.
TEST(PaintManagerResourcesTest, AddFontRecordsAndHandles)
{
    const std::wstring longFace = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";  // 40 characters
    // face: recorded and in the LOGFONT; weight: 0: the stock font's weight
    const std::tuple<UINT, const wchar_t*, int, bool, bool, bool, std::wstring, LONG, LONG> cases[] = {
        {96, L"Arial", 12, false, false, false, L"Arial", -12, 0},
        {96, L"Arial", 12, true, true, true, L"Arial", -12, FW_BOLD},
        {96, L"", 9, false, false, false, StockFace(), -9, 0},
        {96, nullptr, 9, false, false, false, StockFace(), -9, 0},
        {96, longFace.c_str(), 10, false, false, false, longFace.substr(0, 31), -10, 0},
        {144, L"Tahoma", 10, false, false, false, L"Tahoma", -15, 0},
        {120, L"Tahoma", 13, false, false, false, L"Tahoma", -16, 0},  // 16.25
    };
    const LONG stockWeight = LogFontOf(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))).lfWeight;
    for (const auto& [dpi, name, size, bold, underline, italic, face, height, weight] : cases) {
        CPaintManagerUI manager;
        manager.GetDPIObj()->SetScale(dpi);
        HFONT hFont = manager.AddFont(3, name, size, bold, underline, italic);
        ASSERT_NE(static_cast<HFONT>(nullptr), hFont);
        LOGFONTW lf = LogFontOf(hFont);
        EXPECT_EQ(face, std::wstring(lf.lfFaceName));
        EXPECT_EQ(height, lf.lfHeight);
        EXPECT_EQ(weight != 0 ? weight : stockWeight, lf.lfWeight);
        EXPECT_EQ(underline ? 1 : 0, lf.lfUnderline);
        EXPECT_EQ(italic ? 1 : 0, lf.lfItalic);
        EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);
        TFontInfo* pInfo = manager.GetFontInfo(3);
        ASSERT_NE(static_cast<TFontInfo*>(nullptr), pInfo);
        EXPECT_EQ(hFont, pInfo->hFont);
        EXPECT_EQ(face, std::wstring(pInfo->sFontName.GetData()));
        EXPECT_EQ(size, pInfo->iSize);
        EXPECT_EQ(bold, pInfo->bBold);
        EXPECT_EQ(underline, pInfo->bUnderline);
        EXPECT_EQ(italic, pInfo->bItalic);
        // No paint DC yet: the metrics wait for one.
        EXPECT_EQ(0, pInfo->tm.tmHeight);
    }
}

TEST(PaintManagerResourcesTest, FontsAddedReplacedRemoved)
{
    std::vector<HFONT> handles;
    {
        CPaintManagerUI manager;
        HFONT hFirst = manager.AddFont(1, L"Arial", 12, false, false, false);
        HFONT hSecond = manager.AddFont(1, L"Tahoma", 14, false, false, false);
        ASSERT_NE(static_cast<HFONT>(nullptr), hSecond);
        EXPECT_NE(hFirst, hSecond);
        EXPECT_FALSE(IsLive(hFirst));
        EXPECT_EQ(hSecond, manager.GetFont(1));
        EXPECT_EQ(1u, manager.GetCustomFontCount());
        EXPECT_EQ(0u, manager.GetCustomFontCount(true));

        HFONT hDefault = manager.GetDefaultFontInfo()->hFont;
        EXPECT_TRUE(IsLive(hDefault));
        EXPECT_EQ(hDefault, manager.GetFont(7));
        EXPECT_EQ(hDefault, manager.GetFont(-1));
        EXPECT_EQ(manager.GetDefaultFontInfo(), manager.GetFontInfo(7));
        EXPECT_EQ(manager.GetDefaultFontInfo(), manager.GetFontInfo(-3));
        EXPECT_EQ(manager.GetDefaultFontInfo(), manager.GetFontInfo(hDefault));
        EXPECT_EQ(-1, manager.GetFontIndex(hDefault));
        EXPECT_EQ(-1, manager.GetFontIndex(static_cast<HFONT>(::GetStockObject(SYSTEM_FONT))));
        EXPECT_EQ(1, manager.GetFontIndex(hSecond));
        EXPECT_EQ(-1, manager.GetFontIndex(hSecond, true));

        HFONT hBold = manager.AddFont(-1, L"Arial", 12, true, false, false);
        HFONT hPlain = manager.AddFont(12, L"Arial", 12, false, false, false);
        EXPECT_EQ(hBold, manager.GetFont(L"Arial", 12, true, false, false));
        EXPECT_EQ(hPlain, manager.GetFont(L"Arial", 12, false, false, false));
        EXPECT_EQ(static_cast<HFONT>(nullptr), manager.GetFont(L"Arial", 12, false, true, false));
        EXPECT_EQ(static_cast<HFONT>(nullptr), manager.GetFont(L"arial", 12, false, false, false));
        EXPECT_EQ(-1, manager.GetFontIndex(L"Arial", 12, true, false, false));
        EXPECT_EQ(12, manager.GetFontIndex(L"Arial", 12, false, false, false));
        EXPECT_EQ(hBold, manager.GetFontInfo(hBold)->hFont);
        // Negative ids are kept but not reached through GetFont(id).
        EXPECT_EQ(hDefault, manager.GetFont(-1));

        manager.RemoveFont(12);
        EXPECT_FALSE(IsLive(hPlain));
        manager.RemoveFont(hBold);
        EXPECT_FALSE(IsLive(hBold));
        manager.RemoveFont(99);
        manager.RemoveFont(static_cast<HFONT>(nullptr));
        EXPECT_EQ(1u, manager.GetCustomFontCount());

        for (int id = 20; id < 25; ++id)
            handles.push_back(manager.AddFont(id, L"Arial", id, false, false, false));
        manager.RemoveAllFonts();
        EXPECT_EQ(0u, manager.GetCustomFontCount());
        for (HFONT h : handles) EXPECT_FALSE(IsLive(h));
        handles.clear();
        handles.push_back(manager.AddFont(30, L"Arial", 8, false, false, false));
        handles.push_back(hDefault);
    }
    // The manager's fonts go with it; the shared default font stays.
    EXPECT_FALSE(IsLive(handles[0]));
    EXPECT_TRUE(IsLive(handles[1]));
}

TEST(PaintManagerResourcesTest, FontsSharedBetweenWindows)
{
    CPaintManagerUI a;
    CPaintManagerUI b;
    HFONT hShared = a.AddFont(5, L"Arial", 10, false, false, false, true);
    ASSERT_NE(static_cast<HFONT>(nullptr), hShared);
    EXPECT_EQ(hShared, b.GetFont(5));
    EXPECT_EQ(1u, b.GetCustomFontCount(true));
    EXPECT_EQ(0u, b.GetCustomFontCount());
    EXPECT_EQ(5, b.GetFontIndex(hShared, true));
    EXPECT_EQ(-1, b.GetFontIndex(hShared, false));
    EXPECT_EQ(hShared, b.GetFontInfo(hShared)->hFont);

    // A window's own font of the same id comes first, for that window only.
    HFONT hOwn = a.AddFont(5, L"Tahoma", 10, false, false, false);
    EXPECT_EQ(hOwn, a.GetFont(5));
    EXPECT_EQ(hShared, b.GetFont(5));
    EXPECT_TRUE(IsLive(hShared));

    // Force-shared: what one window adds, every window sees.
    a.SetForceUseSharedRes(true);
    HFONT hForced = a.AddFont(6, L"Arial", 11, false, false, false);
    EXPECT_EQ(hForced, b.GetFont(6));
    EXPECT_EQ(2u, a.GetCustomFontCount());
    a.RemoveFont(6);
    EXPECT_FALSE(IsLive(hForced));
    a.SetForceUseSharedRes(false);

    a.RemoveFont(5, true);
    EXPECT_FALSE(IsLive(hShared));
    EXPECT_EQ(b.GetDefaultFontInfo()->hFont, b.GetFont(5));
    EXPECT_EQ(hOwn, a.GetFont(5));
    EXPECT_EQ(0u, a.GetCustomFontCount(true));
}

TEST(PaintManagerResourcesTest, DefaultFontPerWindow)
{
    CPaintManagerUI other;
    HFONT hOwnDefault = nullptr;
    {
        CPaintManagerUI manager;
        TFontInfo* pShared = manager.GetDefaultFontInfo();
        EXPECT_EQ(pShared, other.GetDefaultFontInfo());
        EXPECT_EQ(StockFace(), std::wstring(pShared->sFontName.GetData()));
        EXPECT_TRUE(IsLive(pShared->hFont));

        manager.SetDefaultFont(L"Arial", 20, false, true, false);
        TFontInfo* pOwn = manager.GetDefaultFontInfo();
        EXPECT_NE(pShared, pOwn);
        EXPECT_EQ(pShared, other.GetDefaultFontInfo());
        EXPECT_EQ(20, pOwn->iSize);
        EXPECT_TRUE(pOwn->bUnderline);
        EXPECT_EQ(-20, LogFontOf(pOwn->hFont).lfHeight);
        HFONT hFirst = pOwn->hFont;
        manager.SetDefaultFont(L"Tahoma", 9, true, false, false);
        EXPECT_FALSE(IsLive(hFirst));
        EXPECT_STREQ(L"Tahoma", manager.GetDefaultFontInfo()->sFontName.GetData());
        EXPECT_GE(LogFontOf(manager.GetDefaultFontInfo()->hFont).lfWeight, FW_BOLD);
        EXPECT_EQ(manager.GetDefaultFontInfo()->hFont, manager.GetFont(4));
        hOwnDefault = manager.GetDefaultFontInfo()->hFont;
    }
    EXPECT_FALSE(IsLive(hOwnDefault));
    EXPECT_TRUE(IsLive(other.GetDefaultFontInfo()->hFont));
}

// Init binds a window: the per-window tables start empty, fonts get metrics.
TEST(PaintManagerResourcesTest, InitEmptiesWindowTablesAndMeasuresFonts)
{
    TestSupport::PaintManagerWindow window(200, 100);
    ASSERT_TRUE(window.IsValid());
    CPaintManagerUI manager;
    HFONT hFont = manager.AddFont(1, L"Arial", 12, false, false, false);
    HBITMAP hBitmap = MakeBitmap(4, 4);
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), manager.AddImage(L"img", hBitmap, 4, 4, false));
    manager.AddStyle(L"s", L"a='1'");
    manager.AddDefaultAttributeList(L"Button", L"b='2'");
    manager.AddWindowCustomAttribute(L"k", L"v");
    CControlUI* pControl = reinterpret_cast<CControlUI*>(&manager);
    manager.AddOptionGroup(L"g", pControl);
    EXPECT_EQ(0, manager.GetFontInfo(1)->tm.tmHeight);

    manager.Init(window.Handle());
    EXPECT_EQ(0u, manager.GetCustomFontCount());
    EXPECT_FALSE(IsLive(hFont));
    EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.GetImage(L"img"));
    EXPECT_FALSE(IsLive(hBitmap));
    EXPECT_EQ(static_cast<LPCTSTR>(nullptr), manager.GetStyle(L"s"));
    EXPECT_EQ(static_cast<LPCTSTR>(nullptr), manager.GetDefaultAttributeList(L"Button"));
    EXPECT_EQ(static_cast<LPCTSTR>(nullptr), manager.GetWindowCustomAttribute(L"k"));
    EXPECT_EQ(static_cast<CStdPtrArray*>(nullptr), manager.GetOptionGroup(L"g"));

    manager.AddFont(2, L"Arial", 12, false, false, false);
    EXPECT_GT(manager.GetFontInfo(2)->tm.tmHeight, 0);
    EXPECT_GT(manager.GetDefaultFontInfo()->tm.tmHeight, 0);
}

// ---- Colours -------------------------------------------------------------------

TEST(PaintManagerResourcesTest, DefaultColours)
{
    typedef void (CPaintManagerUI::*Setter)(DWORD, bool);
    typedef DWORD (CPaintManagerUI::*Getter)() const;
    const std::tuple<Setter, Getter, DWORD> cases[] = {
        {&CPaintManagerUI::SetDefaultDisabledColor, &CPaintManagerUI::GetDefaultDisabledColor, 0xFFA7A6AA},
        {&CPaintManagerUI::SetDefaultFontColor, &CPaintManagerUI::GetDefaultFontColor, 0xFF000000},
        {&CPaintManagerUI::SetDefaultLinkFontColor, &CPaintManagerUI::GetDefaultLinkFontColor, 0xFF0000FF},
        {&CPaintManagerUI::SetDefaultLinkHoverFontColor, &CPaintManagerUI::GetDefaultLinkHoverFontColor,
         0xFFD3215F},
        {&CPaintManagerUI::SetDefaultSelectedBkColor, &CPaintManagerUI::GetDefaultSelectedBkColor,
         0xFFBAE4FF},
    };
    for (const auto& [set, get, initial] : cases) {
        CPaintManagerUI untouched;
        CPaintManagerUI own;
        CPaintManagerUI caller;
        EXPECT_EQ(initial, (untouched.*get)());
        (own.*set)(0xFF111111, false);
        EXPECT_EQ(0xFF111111, (own.*get)());
        EXPECT_EQ(initial, (untouched.*get)());

        // Shared: the caller still had the shared value, so it follows.
        (caller.*set)(0xFF222222, true);
        EXPECT_EQ(0xFF222222, (caller.*get)());
        EXPECT_EQ(initial, (untouched.*get)());
        EXPECT_EQ(0xFF111111, (own.*get)());
        // A manager with a value of its own changes only the shared one.
        (own.*set)(0xFF333333, true);
        EXPECT_EQ(0xFF111111, (own.*get)());
        CPaintManagerUI later;
        EXPECT_EQ(0xFF333333, (later.*get)());

        (later.*set)(initial, true);
        CPaintManagerUI restored;
        EXPECT_EQ(initial, (restored.*get)());
    }
}

// ---- Images --------------------------------------------------------------------

TEST(PaintManagerResourcesTest, AddBitmapImages)
{
    const std::tuple<const wchar_t*, bool, int, int> bad[] = {
        {nullptr, true, 4, 4}, {L"", true, 4, 4},   {L"x", false, 4, 4},
        {L"x", true, 0, 4},    {L"x", true, 4, -1},
    };
    CPaintManagerUI manager;
    for (const auto& [name, bitmap, cx, cy] : bad) {
        HBITMAP hBitmap = bitmap ? MakeBitmap(4, 4) : nullptr;
        EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.AddImage(name, hBitmap, cx, cy, false));
        // Refused arguments leave the bitmap with the caller, who frees it
        // when null comes back.
        if (hBitmap != nullptr) {
            EXPECT_TRUE(IsLive(hBitmap)) << (name != nullptr ? name : L"(null)") << " " << cx << "x" << cy;
            ::DeleteObject(hBitmap);
        }
    }
    EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.GetImage(L"x"));

    HBITMAP hFirst = MakeBitmap(4, 3);
    const TImageInfo* pImage = manager.AddImage(L"x", hFirst, 4, 3, true);
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), pImage);
    EXPECT_EQ(hFirst, pImage->hBitmap);
    EXPECT_EQ(4, pImage->nX);
    EXPECT_EQ(3, pImage->nY);
    EXPECT_TRUE(pImage->bAlpha);
    EXPECT_FALSE(pImage->bUseHSL);
    EXPECT_EQ(0u, pImage->dwMask);
    EXPECT_EQ(static_cast<LPBYTE>(nullptr), pImage->pBits);
    EXPECT_EQ(pImage, manager.GetImage(L"x"));

    // The bitmap form does not replace: the failed insertion takes the
    // second bitmap and frees it.
    HBITMAP hSecond = MakeBitmap(2, 2);
    EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.AddImage(L"x", hSecond, 2, 2, false));
    EXPECT_FALSE(IsLive(hSecond));
    EXPECT_EQ(hFirst, manager.GetImage(L"x")->hBitmap);

    manager.RemoveImage(L"x");
    EXPECT_FALSE(IsLive(hFirst));
    EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.GetImage(L"x"));
    manager.RemoveImage(L"x");
    manager.RemoveImage(nullptr);

    std::vector<HBITMAP> bitmaps;
    {
        CPaintManagerUI owner;
        for (int i = 0; i < 5; ++i) {
            bitmaps.push_back(MakeBitmap(2, 2));
            std::wstring name = L"img" + std::to_wstring(i);
            ASSERT_NE(static_cast<const TImageInfo*>(nullptr),
                      owner.AddImage(name.c_str(), bitmaps.back(), 2, 2, false));
        }
        owner.RemoveAllImages();
        for (HBITMAP h : bitmaps) EXPECT_FALSE(IsLive(h));
        bitmaps.clear();
        for (int i = 0; i < 3; ++i) {
            bitmaps.push_back(MakeBitmap(2, 2));
            std::wstring name = L"kept" + std::to_wstring(i);
            owner.AddImage(name.c_str(), bitmaps.back(), 2, 2, false);
        }
        for (HBITMAP h : bitmaps) EXPECT_TRUE(IsLive(h));
    }
    for (HBITMAP h : bitmaps) EXPECT_FALSE(IsLive(h));
}

TEST(PaintManagerResourcesTest, SharedImagesAfterWindowImages)
{
    CPaintManagerUI a;
    CPaintManagerUI b;
    HBITMAP hShared = MakeBitmap(2, 2);
    const TImageInfo* pShared = a.AddImage(L"logo", hShared, 2, 2, false, true);
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), pShared);
    EXPECT_EQ(pShared, b.GetImage(L"logo"));
    const TImageInfo* pOwn = a.AddImage(L"logo", MakeBitmap(3, 3), 3, 3, false);
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), pOwn);
    EXPECT_EQ(pOwn, a.GetImage(L"logo"));
    EXPECT_EQ(pShared, b.GetImage(L"logo"));

    a.SetForceUseSharedRes(true);
    const TImageInfo* pForced = a.AddImage(L"forced", MakeBitmap(2, 2), 2, 2, false);
    EXPECT_EQ(pForced, b.GetImage(L"forced"));
    a.RemoveImage(L"forced");
    EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), b.GetImage(L"forced"));
    a.SetForceUseSharedRes(false);

    a.RemoveImage(L"logo", true);
    EXPECT_FALSE(IsLive(hShared));
    EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), b.GetImage(L"logo"));
    EXPECT_EQ(pOwn, a.GetImage(L"logo"));
}

// Images from files are read once per name and kept while the manager lives.
TEST(PaintManagerResourcesTest, FileImagesCachedOncePerName)
{
    TestSupport::TempFolder folder("render_images");
    const std::wstring path = WritePng(folder, "btn.png", 3, 2);
    HBITMAP hBitmap = nullptr;
    {
        CPaintManagerUI manager;
        const TImageInfo* pImage = manager.GetImageEx(path.c_str());
        ASSERT_NE(static_cast<const TImageInfo*>(nullptr), pImage);
        EXPECT_EQ(3, pImage->nX);
        EXPECT_EQ(2, pImage->nY);
        hBitmap = pImage->hBitmap;
        EXPECT_TRUE(IsLive(hBitmap));

        // The file is gone: the cached image still answers, whatever the mask.
        ::DeleteFileA(folder.File("btn.png").c_str());
        EXPECT_EQ(pImage, manager.GetImageEx(path.c_str()));
        EXPECT_EQ(pImage, manager.GetImageEx(path.c_str(), nullptr, 0xFFFFFFFF));
        EXPECT_EQ(pImage, manager.GetImage(path.c_str()));
        // A failed load leaves the table as it was.
        EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.AddImage(path.c_str()));
        EXPECT_EQ(pImage, manager.GetImage(path.c_str()));

        // Unknown files and type names that are not ids give null and cache nothing.
        std::wstring missing = path + L".missing";
        EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.GetImageEx(missing.c_str()));
        EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.GetImage(missing.c_str()));
        EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.AddImage(L"abc", L"PNG"));
        EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.AddImage(L"4242", L"PNG"));
        EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.AddImage(L""));
        EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.GetImageEx(nullptr));
    }
    EXPECT_FALSE(IsLive(hBitmap));
}

TEST(PaintManagerResourcesTest, LoadedImageRecords)
{
    TestSupport::TempFolder folder("render_images");
    const std::wstring path = WritePng(folder, "masked.png", 2, 2);
    CPaintManagerUI manager;
    const TImageInfo* pImage =
        manager.AddImage(path.c_str(), static_cast<LPCTSTR>(nullptr), 0xFFFFFFFF, true);
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), pImage);
    EXPECT_EQ(0xFFFFFFFFu, pImage->dwMask);
    EXPECT_TRUE(pImage->bUseHSL);
    EXPECT_TRUE(pImage->bAlpha);  // every white pixel matched the key
    EXPECT_TRUE(pImage->sResType.IsEmpty());
    // The loading form replaces an image of the same name.
    HBITMAP hOld = pImage->hBitmap;
    const TImageInfo* pAgain = manager.AddImage(path.c_str());
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), pAgain);
    EXPECT_FALSE(IsLive(hOld));
    EXPECT_EQ(0u, pAgain->dwMask);
    EXPECT_FALSE(pAgain->bAlpha);

    // The image a draw string names, with its mask.
    const std::wstring other = WritePng(folder, "other.png", 5, 1);
    std::wstring drawString = L"file='" + other + L"' mask='#FFFFFFFF' dest='0,0,1,1'";
    const TImageInfo* pNamed = manager.GetImageString(drawString.c_str());
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), pNamed);
    EXPECT_EQ(5, pNamed->nX);
    EXPECT_EQ(0xFFFFFFFFu, pNamed->dwMask);
    EXPECT_EQ(pNamed, manager.GetImage(other.c_str()));
    EXPECT_EQ(pNamed, manager.GetImageString(L"bg.png", (L"file='" + other + L"'").c_str()));
}

TEST(PaintManagerResourcesTest, ReloadImages)
{
    TestSupport::TempFolder folder("render_images");
    const std::wstring keep = WritePng(folder, "keep.png", 2, 2);
    const std::wstring gone = WritePng(folder, "gone.png", 2, 2);
    CPaintManagerUI manager;
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), manager.GetImageEx(keep.c_str()));
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), manager.GetImageEx(gone.c_str()));
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr),
              manager.AddImage(gone.c_str(), static_cast<LPCTSTR>(nullptr), 0, false, true));

    WritePng(folder, "keep.png", 6, 5);
    ::DeleteFileA(folder.File("gone.png").c_str());
    HBITMAP hGoneWindow = manager.GetImage(gone.c_str())->hBitmap;
    manager.ReloadImages();
    const TImageInfo* pKeep = manager.GetImage(keep.c_str());
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), pKeep);
    EXPECT_EQ(6, pKeep->nX);
    EXPECT_EQ(5, pKeep->nY);
    EXPECT_TRUE(IsLive(pKeep->hBitmap));
    // This window's copy failed to reload and is gone; the shared one stays.
    EXPECT_FALSE(IsLive(hGoneWindow));
    const TImageInfo* pAfter = manager.GetImage(gone.c_str());
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), pAfter);
    EXPECT_NE(hGoneWindow, pAfter->hBitmap);
    EXPECT_TRUE(IsLive(pAfter->hBitmap));

    // A shared image whose reload fails keeps its old pixels.
    HBITMAP hSharedBitmap = pAfter->hBitmap;
    CPaintManagerUI::ReloadSharedImages();
    EXPECT_EQ(pAfter, manager.GetImage(gone.c_str()));
    EXPECT_TRUE(IsLive(hSharedBitmap));
    manager.RemoveImage(gone.c_str(), true);
    EXPECT_FALSE(IsLive(hSharedBitmap));
}

// A skin reload reaches the shared images and every bound manager's own.
TEST(PaintManagerResourcesTest, ReloadSkinReachesEveryManager)
{
    TestSupport::TempFolder folder("render_images");
    const std::wstring own = WritePng(folder, "own.png", 2, 2);
    const std::wstring shared = WritePng(folder, "shared.png", 2, 2);
    TestSupport::PaintManagerWindow window(200, 100);
    ASSERT_TRUE(window.IsValid());
    CPaintManagerUI manager;
    manager.Init(window.Handle());
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), manager.GetImageEx(own.c_str()));
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr),
              manager.AddImage(shared.c_str(), static_cast<LPCTSTR>(nullptr), 0, false, true));
    WritePng(folder, "own.png", 4, 3);
    WritePng(folder, "shared.png", 7, 1);
    CPaintManagerUI::ReloadSkin();
    EXPECT_EQ(4, manager.GetImage(own.c_str())->nX);
    EXPECT_EQ(3, manager.GetImage(own.c_str())->nY);
    EXPECT_EQ(7, manager.GetImage(shared.c_str())->nX);
    manager.RemoveImage(shared.c_str(), true);
}

// ---- Draw descriptions -------------------------------------------------------------

TEST(PaintManagerResourcesTest, DrawInfoCache)
{
    CPaintManagerUI manager;
    const TDrawInfo* pAb = manager.GetDrawInfo(L"ab", L"");
    ASSERT_NE(static_cast<const TDrawInfo*>(nullptr), pAb);
    EXPECT_EQ(pAb, manager.GetDrawInfo(L"ab", L""));
    EXPECT_EQ(pAb, manager.GetDrawInfo(L"ab", nullptr));
    // The key is the two strings joined: "a" + "b" is the record parsed first.
    EXPECT_EQ(pAb, manager.GetDrawInfo(L"a", L"b"));
    EXPECT_STREQ(L"ab", pAb->sDrawString.GetData());
    EXPECT_EQ(static_cast<const TDrawInfo*>(nullptr), manager.GetDrawInfo(L"", L""));
    EXPECT_EQ(static_cast<const TDrawInfo*>(nullptr), manager.GetDrawInfo(nullptr, nullptr));

    manager.RemoveDrawInfo(L"a", L"b");
    const TDrawInfo* pSplit = manager.GetDrawInfo(L"a", L"b");
    ASSERT_NE(static_cast<const TDrawInfo*>(nullptr), pSplit);
    EXPECT_STREQ(L"a", pSplit->sDrawString.GetData());
    EXPECT_STREQ(L"b", pSplit->sDrawModify.GetData());

    const TDrawInfo* pMasked = manager.GetDrawInfo(L"file='x.png' mask='#FF0000'", L"dest='1,2,3,4'");
    ASSERT_NE(static_cast<const TDrawInfo*>(nullptr), pMasked);
    EXPECT_STREQ(L"x.png", pMasked->sImageName.GetData());
    EXPECT_EQ(0x00FF0000u, pMasked->dwMask);
    EXPECT_EQ(3, pMasked->rcDest.right);

    // Per window: another manager parses its own record, at its own scale.
    CPaintManagerUI scaled;
    scaled.GetDPIObj()->SetScale(144);
    const TDrawInfo* pScaled = scaled.GetDrawInfo(L"file='x.png' mask='#FF0000'", L"dest='1,2,3,4'");
    ASSERT_NE(static_cast<const TDrawInfo*>(nullptr), pScaled);
    EXPECT_NE(pMasked, pScaled);
    EXPECT_STREQ(L"x@150.png", pScaled->sImageName.GetData());
    EXPECT_EQ(5, pScaled->rcDest.right);  // left 2 (1.5), width 3

    manager.RemoveAllDrawInfos();
    const TDrawInfo* pFresh = manager.GetDrawInfo(L"ab", L"");
    ASSERT_NE(static_cast<const TDrawInfo*>(nullptr), pFresh);
    EXPECT_STREQ(L"ab", pFresh->sDrawString.GetData());
}

// ---- Default attribute lists, styles, window tables -----------------------------------

TEST(PaintManagerResourcesTest, AttributeListsAndStyles)
{
    CPaintManagerUI a;
    CPaintManagerUI b;
    a.AddDefaultAttributeList(L"Button", L"first");
    a.AddDefaultAttributeList(L"Button", L"second");
    EXPECT_STREQ(L"second", a.GetDefaultAttributeList(L"Button"));
    EXPECT_EQ(static_cast<LPCTSTR>(nullptr), b.GetDefaultAttributeList(L"Button"));
    a.AddStyle(L"title", L"first");
    a.AddStyle(L"title", L"second");
    EXPECT_STREQ(L"first", a.GetStyle(L"title"));
    EXPECT_EQ(1, a.GetStyles().GetSize());

    // Shared entries serve every window after its own.
    b.AddDefaultAttributeList(L"Label", L"shared", true);
    b.AddStyle(L"caption", L"shared", true);
    a.AddDefaultAttributeList(L"Label", L"own");
    a.AddStyle(L"caption", L"own");
    EXPECT_STREQ(L"own", a.GetDefaultAttributeList(L"Label"));
    EXPECT_STREQ(L"shared", b.GetDefaultAttributeList(L"Label"));
    EXPECT_STREQ(L"own", a.GetStyle(L"caption"));
    EXPECT_STREQ(L"shared", b.GetStyle(L"caption"));
    EXPECT_EQ(1, b.GetStyles(true).GetSize());

    b.SetForceUseSharedRes(true);
    b.AddStyle(L"forced", L"x");
    b.AddDefaultAttributeList(L"Option", L"y");
    EXPECT_STREQ(L"x", a.GetStyle(L"forced"));
    EXPECT_STREQ(L"y", a.GetDefaultAttributeList(L"Option"));
    b.SetForceUseSharedRes(false);

    EXPECT_FALSE(a.RemoveDefaultAttributeList(L"Missing"));
    EXPECT_FALSE(a.RemoveDefaultAttributeList(nullptr));
    EXPECT_TRUE(a.RemoveDefaultAttributeList(L"Label"));
    EXPECT_STREQ(L"shared", a.GetDefaultAttributeList(L"Label"));
    EXPECT_TRUE(a.RemoveStyle(L"missing"));
    EXPECT_TRUE(a.RemoveStyle(L"caption"));
    EXPECT_STREQ(L"shared", a.GetStyle(L"caption"));

    a.RemoveAllDefaultAttributeList(true);
    a.RemoveAllStyle(true);
    EXPECT_EQ(static_cast<LPCTSTR>(nullptr), b.GetDefaultAttributeList(L"Label"));
    EXPECT_EQ(static_cast<LPCTSTR>(nullptr), b.GetStyle(L"forced"));
    EXPECT_STREQ(L"second", a.GetDefaultAttributeList(L"Button"));
    a.RemoveAllDefaultAttributeList();
    a.RemoveAllStyle();
    EXPECT_EQ(static_cast<LPCTSTR>(nullptr), a.GetDefaultAttributeList(L"Button"));
    EXPECT_EQ(0, a.GetStyles().GetSize());
}

TEST(PaintManagerResourcesTest, WindowAttributesAndOptionGroups)
{
    CPaintManagerUI manager;
    manager.AddWindowCustomAttribute(L"k", L"first");
    manager.AddWindowCustomAttribute(L"k", L"second");
    manager.AddWindowCustomAttribute(L"", L"x");
    manager.AddWindowCustomAttribute(L"empty", L"");
    manager.AddWindowCustomAttribute(nullptr, nullptr);
    EXPECT_STREQ(L"first", manager.GetWindowCustomAttribute(L"k"));
    EXPECT_EQ(static_cast<LPCTSTR>(nullptr), manager.GetWindowCustomAttribute(L"empty"));
    EXPECT_EQ(static_cast<LPCTSTR>(nullptr), manager.GetWindowCustomAttribute(L""));
    EXPECT_EQ(static_cast<LPCTSTR>(nullptr), manager.GetWindowCustomAttribute(nullptr));
    EXPECT_FALSE(manager.RemoveWindowCustomAttribute(L"unknown"));
    EXPECT_FALSE(manager.RemoveWindowCustomAttribute(L""));
    EXPECT_TRUE(manager.RemoveWindowCustomAttribute(L"k"));
    EXPECT_EQ(static_cast<LPCTSTR>(nullptr), manager.GetWindowCustomAttribute(L"k"));
    manager.AddWindowCustomAttribute(L"k2", L"v");
    manager.RemoveAllWindowCustomAttribute();
    EXPECT_EQ(static_cast<LPCTSTR>(nullptr), manager.GetWindowCustomAttribute(L"k2"));

    // Controls are only compared, never touched: any distinct addresses do.
    int controls[3];
    CControlUI* p0 = reinterpret_cast<CControlUI*>(&controls[0]);
    CControlUI* p1 = reinterpret_cast<CControlUI*>(&controls[1]);
    CControlUI* p2 = reinterpret_cast<CControlUI*>(&controls[2]);
    EXPECT_TRUE(manager.AddOptionGroup(L"tabs", p0));
    EXPECT_TRUE(manager.AddOptionGroup(L"tabs", p1));
    EXPECT_FALSE(manager.AddOptionGroup(L"tabs", p0));
    EXPECT_TRUE(manager.AddOptionGroup(L"other", p2));
    CStdPtrArray* pGroup = manager.GetOptionGroup(L"tabs");
    ASSERT_NE(static_cast<CStdPtrArray*>(nullptr), pGroup);
    EXPECT_EQ(2, pGroup->GetSize());
    EXPECT_EQ(p0, pGroup->GetAt(0));
    EXPECT_EQ(static_cast<CStdPtrArray*>(nullptr), manager.GetOptionGroup(L"none"));
    manager.RemoveOptionGroup(L"tabs", p2);
    EXPECT_EQ(2, manager.GetOptionGroup(L"tabs")->GetSize());
    manager.RemoveOptionGroup(L"tabs", p0);
    EXPECT_EQ(p1, manager.GetOptionGroup(L"tabs")->GetAt(0));
    manager.RemoveOptionGroup(L"tabs", p1);
    EXPECT_EQ(static_cast<CStdPtrArray*>(nullptr), manager.GetOptionGroup(L"tabs"));
    manager.RemoveOptionGroup(L"none", p1);
    manager.RemoveAllOptionGroups();
    EXPECT_EQ(static_cast<CStdPtrArray*>(nullptr), manager.GetOptionGroup(L"other"));
}

// ---- Window settings and DPI ------------------------------------------------------

TEST(PaintManagerResourcesTest, WindowSettings)
{
    TestSupport::PaintManagerWindow window(200, 100);
    ASSERT_TRUE(window.IsValid());
    CPaintManagerUI manager;
    SIZE zero = manager.GetInitSize();
    EXPECT_EQ(0, zero.cx);
    EXPECT_EQ(0, manager.GetRoundCorner().cx);
    EXPECT_EQ(0, manager.GetClientSize().cx);
    manager.SetInitSize(300, 200);  // no window yet: only stored
    EXPECT_EQ(300, manager.GetInitSize().cx);

    manager.Init(window.Handle());
    manager.SetInitSize(320, 240);
    RECT rcWnd = {0, 0, 0, 0};
    ::GetWindowRect(window.Handle(), &rcWnd);
    EXPECT_EQ(320, rcWnd.right - rcWnd.left);
    EXPECT_EQ(240, rcWnd.bottom - rcWnd.top);
    RECT rcClient = {0, 0, 0, 0};
    ::GetClientRect(window.Handle(), &rcClient);
    EXPECT_EQ(rcClient.right, manager.GetClientSize().cx);
    EXPECT_EQ(rcClient.bottom, manager.GetClientSize().cy);

    RECT rcBox = {4, 4, 6, 6};
    manager.SetSizeBox(rcBox);
    EXPECT_EQ(6, manager.GetSizeBox().right);
    RECT rcCaption = {0, 0, 0, 32};
    manager.SetCaptionRect(rcCaption);
    EXPECT_EQ(32, manager.GetCaptionRect().bottom);
    manager.SetRoundCorner(5, 6);
    EXPECT_EQ(6, manager.GetRoundCorner().cy);
    manager.SetMinInfo(100, 50);
    manager.SetMaxInfo(800, 600);
    EXPECT_EQ(50, manager.GetMinInfo().cy);
    EXPECT_EQ(800, manager.GetMaxInfo().cx);
    EXPECT_FALSE(manager.IsUseGdiplusText());
    manager.SetUseGdiplusText(true);
    manager.SetGdiplusTextRenderingHint(4);
    EXPECT_TRUE(manager.IsUseGdiplusText());
    EXPECT_EQ(4, manager.GetGdiplusTextRenderingHint());
}

TEST(PaintManagerResourcesTest, SetDPIRebuildsAndResizes)
{
    TestSupport::PaintManagerWindow window(200, 100);
    ASSERT_TRUE(window.IsValid());
    CPaintManagerUI manager;
    manager.Init(window.Handle());
    ::SetWindowPos(window.Handle(), nullptr, 30, 40, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    HFONT hOld = manager.AddFont(1, L"Arial", 10, false, false, false);
    manager.SetDefaultFont(L"Arial", 12, false, false, false);
    HBITMAP hBitmap = MakeBitmap(2, 2);
    manager.AddImage(L"img", hBitmap, 2, 2, false);
    const TDrawInfo* pDraw = manager.GetDrawInfo(L"file='a.png' dest='0,0,10,10'", nullptr);
    ASSERT_NE(static_cast<const TDrawInfo*>(nullptr), pDraw);
    MSG msg;
    while (::PeekMessageW(&msg, window.Handle(), 0, 0, PM_REMOVE)) {}

    manager.SetDPI(144);
    EXPECT_EQ(150u, manager.GetDPIObj()->GetScale());
    RECT rcWnd = {0, 0, 0, 0};
    ::GetWindowRect(window.Handle(), &rcWnd);
    EXPECT_EQ(30, rcWnd.left);
    EXPECT_EQ(40, rcWnd.top);
    EXPECT_EQ(300, rcWnd.right - rcWnd.left);
    EXPECT_EQ(150, rcWnd.bottom - rcWnd.top);

    // Fonts are made again at the new scale; images and draw strings dropped.
    EXPECT_FALSE(IsLive(hOld));
    TFontInfo* pFont = manager.GetFontInfo(1);
    EXPECT_EQ(10, pFont->iSize);
    EXPECT_EQ(-15, LogFontOf(pFont->hFont).lfHeight);
    EXPECT_EQ(CLEARTYPE_QUALITY, LogFontOf(pFont->hFont).lfQuality);
    EXPECT_EQ(-18, LogFontOf(manager.GetDefaultFontInfo()->hFont).lfHeight);
    EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), manager.GetImage(L"img"));
    EXPECT_FALSE(IsLive(hBitmap));
    const TDrawInfo* pAgain = manager.GetDrawInfo(L"file='a.png' dest='0,0,10,10'", nullptr);
    ASSERT_NE(static_cast<const TDrawInfo*>(nullptr), pAgain);
    EXPECT_EQ(15, pAgain->rcDest.right);
    EXPECT_STREQ(L"a@150.png", pAgain->sImageName.GetData());

    // Back to 100 % through every manager; the shared fonts follow too.
    CPaintManagerUI::SetAllDPI(96);
    EXPECT_EQ(100u, manager.GetDPIObj()->GetScale());
    ::GetWindowRect(window.Handle(), &rcWnd);
    EXPECT_EQ(200, rcWnd.right - rcWnd.left);
    EXPECT_EQ(-10, LogFontOf(manager.GetFontInfo(1)->hFont).lfHeight);
}

// Two windows share font 7 and the default font: after each scale change,
// of either window, each gets them at its own scale through every lookup,
// and the shared record itself stays as it was made.
TEST(PaintManagerResourcesTest, SharedFontsFollowEachWindowsOwnScale)
{
    TestSupport::PaintManagerWindow windowA(200, 100);
    TestSupport::PaintManagerWindow windowB(200, 100);
    ASSERT_TRUE(windowA.IsValid() && windowB.IsValid());
    CPaintManagerUI& a = *windowA.Manager();
    CPaintManagerUI& b = *windowB.Manager();
    const int stockSize = a.GetDefaultFontInfo()->iSize;
    HFONT hShared = a.AddFont(7, L"Arial", 10, false, false, false, true);
    ASSERT_NE(static_cast<HFONT>(nullptr), hShared);

    const struct
    {
        CPaintManagerUI* changed;
        int dpi;
        UINT scaleA, scaleB;
    } steps[] = {{&b, 192, 100, 200}, {&a, 144, 150, 200}, {&b, 96, 150, 100}, {&a, 96, 100, 100}};
    for (const auto& step : steps) {
        step.changed->SetDPI(step.dpi);
        EXPECT_TRUE(IsLive(hShared));
        EXPECT_EQ(-10, LogFontOf(hShared).lfHeight);
        const struct
        {
            CPaintManagerUI* pm;
            UINT scale;
        } views[] = {{&a, step.scaleA}, {&b, step.scaleB}};
        for (const auto& v : views) {
            SCOPED_TRACE(testing::Message() << "dpi " << step.dpi << ", window at " << v.scale);
            ASSERT_EQ(v.scale, v.pm->GetDPIObj()->GetScale());
            HFONT hFont = v.pm->GetFont(7);
            EXPECT_EQ(-v.pm->GetDPIObj()->Scale(10), LogFontOf(hFont).lfHeight);
            EXPECT_EQ(-v.pm->GetDPIObj()->Scale(stockSize),
                      LogFontOf(v.pm->GetDefaultFontInfo()->hFont).lfHeight);
            EXPECT_EQ(hFont, v.pm->GetFontInfo(7)->hFont);
            EXPECT_EQ(hFont, v.pm->GetFontInfo(hFont)->hFont);
            EXPECT_EQ(hFont, v.pm->GetFont(L"Arial", 10, false, false, false));
            EXPECT_EQ(7, v.pm->GetFontIndex(hFont, true));
        }
    }
    a.RemoveFont(7, true);
    EXPECT_FALSE(IsLive(hShared));

    // Made after a window's last scale change, a record is seen as made, at
    // that window's scale.
    b.SetDPI(192);
    HFONT hMadeAt200 = b.AddFont(8, L"Arial", 10, true, false, false, true);
    EXPECT_EQ(hMadeAt200, b.GetFont(8));
    const LOGFONTW lf = LogFontOf(a.GetFont(8));
    EXPECT_EQ(-10, lf.lfHeight);
    EXPECT_EQ(LogFontOf(hMadeAt200).lfWeight, lf.lfWeight);
    EXPECT_EQ(LogFontOf(hMadeAt200).lfQuality, lf.lfQuality);
    a.RemoveFont(8, true);
}

// A scaled name without its own file is made from the art of the nearest
// scale above, else below, at the size the asked scale needs; the pixels
// stay premultiplied and the edge between two colours is blended.
TEST(PaintManagerResourcesTest, ScalesWithoutArtAreResampledFromTheNearest)
{
    TestSupport::TempFolder folder("render_art");
    // art: 20x10 at 100 and 40x20 at 200, whose left half is opaque blue
    // and right half transparent; only: 30x30 at 150 alone.
    WritePng(folder, "art.png", 20, 10);
    std::vector<uint8_t> half(40 * 20 * 4, 0);
    for (int i = 0; i < 40 * 20; ++i)
        if (i % 40 < 20) half[i * 4 + 2] = half[i * 4 + 3] = 0xFF;
    TestSupport::WriteWholeFile(folder.File("art@200.png"), TestSupport::EncodePng(40, 20, half));
    WritePng(folder, "only@150.png", 30, 30);

    const struct
    {
        const char* name;
        int artScale;  // 0: loaded as it is; -1: no image at all
        int width, height;
    } cases[] = {
        {"art@200.png", 0, 40, 20},   {"art@150.png", 200, 30, 15}, {"art@125.png", 200, 25, 13},
        {"art@300.png", 200, 60, 30}, {"art@50.png", 100, 10, 5},   {"only@300.png", 150, 60, 60},
        {"only@50.png", 150, 10, 10}, {"none@150.png", -1, 0, 0},
    };
    CPaintManagerUI manager;
    for (const auto& c : cases) {
        const std::wstring path = TestSupport::WideFromAnsi(folder.File(c.name));
        const TImageInfo* pImage = manager.GetImageEx(path.c_str());
        if (c.artScale < 0) {
            EXPECT_EQ(static_cast<const TImageInfo*>(nullptr), pImage) << c.name;
            continue;
        }
        ASSERT_NE(static_cast<const TImageInfo*>(nullptr), pImage) << c.name;
        EXPECT_EQ(c.artScale, pImage->nArtScale) << c.name;
        EXPECT_EQ(c.width, pImage->nX) << c.name;
        EXPECT_EQ(c.height, pImage->nY) << c.name;
        // Made once: the next request is the cached record.
        EXPECT_EQ(pImage, manager.GetImageEx(path.c_str())) << c.name;
    }

    // art@150 (30x15): blue and opaque on the left, transparent on the
    // right, a blended column between, never a colour above its alpha.
    const TImageInfo* pImage =
        manager.GetImage(TestSupport::WideFromAnsi(folder.File("art@150.png")).c_str());
    ASSERT_NE(static_cast<const TImageInfo*>(nullptr), pImage);
    EXPECT_TRUE(pImage->bAlpha);
    DIBSECTION dib = {};
    ASSERT_EQ(static_cast<int>(sizeof(dib)), ::GetObjectW(pImage->hBitmap, sizeof(dib), &dib));
    const UINT32* pRow = static_cast<const UINT32*>(dib.dsBm.bmBits) + 7 * 30;
    EXPECT_EQ(0xFF0000FFu, pRow[0]);
    EXPECT_EQ(0u, pRow[29]);
    int blended = 0;
    for (int x = 0; x < 30; ++x) {
        const UINT32 a = pRow[x] >> 24;
        EXPECT_LE(pRow[x] & 0xFF, a) << x;
        if (x > 0) {
            EXPECT_LE(a, pRow[x - 1] >> 24) << x;
        }
        if (a > 0 && a < 255) ++blended;
    }
    EXPECT_GE(blended, 1);
}

// ---- Plug-ins and colour adjustment --------------------------------------------------

TEST(PaintManagerResourcesTest, PluginsAndHsl)
{
    int before = CPaintManagerUI::GetPlugins()->GetSize();
    EXPECT_FALSE(CPaintManagerUI::LoadPlugin(nullptr));
    EXPECT_FALSE(CPaintManagerUI::LoadPlugin(L""));
    EXPECT_FALSE(CPaintManagerUI::LoadPlugin(L"no_such_plugin_module.dll"));
    EXPECT_FALSE(CPaintManagerUI::LoadPlugin(L"kernel32.dll"));  // no "CreateControl"
    EXPECT_EQ(before, CPaintManagerUI::GetPlugins()->GetSize());
    const std::wstring plugin = TestSupport::TestBinDir() + L"render_plugin.dll";
    EXPECT_TRUE(CPaintManagerUI::LoadPlugin(plugin.c_str()));
    EXPECT_TRUE(CPaintManagerUI::LoadPlugin(plugin.c_str()));
    EXPECT_EQ(before + 1, CPaintManagerUI::GetPlugins()->GetSize());

    short h = 0, s = 0, l = 0;
    EXPECT_FALSE(CPaintManagerUI::GetHSL(&h, &s, &l));
    EXPECT_EQ(180, h);
    EXPECT_EQ(100, s);
    EXPECT_EQ(100, l);
    CPaintManagerUI::SetHSL(false, 10, 10, 10);  // off and staying off: nothing
    CPaintManagerUI::GetHSL(&h, &s, &l);
    EXPECT_EQ(180, h);
    CPaintManagerUI::SetHSL(true, 400, -5, 300);
    EXPECT_TRUE(CPaintManagerUI::GetHSL(&h, &s, &l));
    EXPECT_EQ(360, h);
    EXPECT_EQ(0, s);
    EXPECT_EQ(200, l);
    CPaintManagerUI::SetHSL(true, 180, 100, 100);
    CPaintManagerUI::SetHSL(false, 180, 100, 100);
    EXPECT_FALSE(CPaintManagerUI::GetHSL(nullptr, nullptr, nullptr));
}

// ---- Leaks ---------------------------------------------------------------------------

namespace {

// Bytes in use in every heap of the process.
SIZE_T HeapBytesInUse()
{
    HANDLE heaps[64];
    DWORD count = ::GetProcessHeaps(64, heaps);
    SIZE_T total = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!::HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (::HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
        }
        ::HeapUnlock(heaps[i]);
    }
    return total;
}

// One manager's life with a bit of everything; the GDI handles it made are
// appended to handles.
void OneManagerLife(const std::wstring& png, std::vector<HGDIOBJ>& handles)
{
    CPaintManagerUI manager;
    handles.push_back(manager.AddFont(1, L"Arial", 12, false, false, false));
    handles.push_back(manager.AddFont(1, L"Tahoma", 12, true, false, false));
    handles.push_back(manager.AddFont(2, L"Arial", 14, false, true, true));
    manager.SetDefaultFont(L"Arial", 13, false, false, false);
    handles.push_back(manager.GetDefaultFontInfo()->hFont);
    HBITMAP hBitmap = MakeBitmap(8, 8);
    handles.push_back(hBitmap);
    manager.AddImage(L"bitmap", hBitmap, 8, 8, false);
    const TImageInfo* pImage = manager.GetImageEx(png.c_str());
    if (pImage != nullptr) handles.push_back(pImage->hBitmap);
    manager.GetDrawInfo(L"file='a.png' dest='0,0,10,10'", L"source='0,0,1,1'");
    manager.AddStyle(L"s", L"a='1'");
    manager.AddDefaultAttributeList(L"Button", L"b='2'");
    manager.AddWindowCustomAttribute(L"k", L"v");
    manager.AddOptionGroup(L"g", reinterpret_cast<CControlUI*>(&manager));
    manager.GetDPIObj();
}

}  // namespace

TEST(PaintManagerResourcesTest, ThousandManagersLeakNothing)
{
    TestSupport::TempFolder folder("render_leak");
    const std::wstring png = WritePng(folder, "leak.png", 16, 16);
    std::vector<HGDIOBJ> handles;
    // Warm-up: first-use allocations of GDI, GDI+ and the CRT.
    for (int i = 0; i < 20; ++i) OneManagerLife(png, handles);
    handles.clear();
    const SIZE_T before = HeapBytesInUse();
    const int kLives = 1000;
    size_t stillLive = 0;
    for (int i = 0; i < kLives; ++i) {
        OneManagerLife(png, handles);
        for (HGDIOBJ h : handles) {
            if (IsLive(h)) ++stillLive;
        }
        EXPECT_EQ(6u, handles.size());
        handles.clear();
    }
    const SIZE_T after = HeapBytesInUse();
    const long long growth = static_cast<long long>(after) - static_cast<long long>(before);
    printf("heap in use: %lu bytes before, %lu after %d managers (%+lld)\n",
           static_cast<unsigned long>(before), static_cast<unsigned long>(after), kLives, growth);
    EXPECT_EQ(0u, stillLive);
    // One record left behind per life would be at least 16 KB over 1000 lives.
    EXPECT_LT(growth, 16 * 1024);
}
