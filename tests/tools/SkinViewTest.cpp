// skinview as a skin author runs it: a child process that renders the
// launcher's skin (folder or package) to a PNG, read back here with
// stb_image; and the exit codes and messages of broken skins and bad
// command lines.
#include "tests/support/SkinFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#define STBI_NO_STDIO
#include <stb_image.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

using TestSupport::AnsiFromWide;
using TestSupport::ReadWholeFile;
using TestSupport::TempFolder;
using TestSupport::WideFromAnsi;
using TestSupport::WriteWholeFile;

struct TRun
{
    DWORD exitCode = 0xFFFFFFFF;
    std::string errors;  // everything written to stderr
};

// The build's path of the tool; under Wine that absolute path is found on
// the current drive.
std::wstring SkinViewExe()
{
    std::wstring path = WideFromAnsi(VOZEROR_SKINVIEW_EXE);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::wstring Quoted(const std::wstring& s)
{
    return L"\"" + s + L"\"";
}

// Runs skinview with the arguments (each quoted) and collects its stderr.
// The output goes to a file rather than a pipe: a Wine service that the
// child happens to start (the desktop process, on a fresh server) inherits
// the child's handles and would keep a pipe open. A run that has not ended
// after two minutes is ended and reported.
TRun RunSkinView(const std::vector<std::wstring>& args)
{
    TRun run;
    TempFolder folder("skinview_err");
    const std::string errorFile = folder.File("stderr.txt");
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE hErrors = ::CreateFileW(WideFromAnsi(errorFile).c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hErrors == INVALID_HANDLE_VALUE) return run;

    std::wstring line = Quoted(SkinViewExe());
    for (const std::wstring& a : args) line += L" " + Quoted(a);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = hErrors;
    si.hStdError = hErrors;
    PROCESS_INFORMATION pi = {};
    const BOOL started = ::CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                          nullptr, nullptr, &si, &pi);
    ::CloseHandle(hErrors);
    if (!started) {
        run.errors = "cannot start " + AnsiFromWide(line);
        return run;
    }
    if (::WaitForSingleObject(pi.hProcess, 120000) != WAIT_OBJECT_0) {
        ::TerminateProcess(pi.hProcess, 99);
        ::WaitForSingleObject(pi.hProcess, INFINITE);
        run.errors = "(did not end) ";
    }
    ::GetExitCodeProcess(pi.hProcess, &run.exitCode);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    // Opened with every sharing mode: an inheriting service may still hold
    // the write handle.
    HANDLE hRead = ::CreateFileW(WideFromAnsi(errorFile).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hRead == INVALID_HANDLE_VALUE) return run;
    char buffer[1024];
    DWORD got = 0;
    while (::ReadFile(hRead, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        run.errors.append(buffer, got);
    ::CloseHandle(hRead);
    return run;
}

// A decoded PNG, RGBA, straight alpha.
struct TImage
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    bool IsEmpty() const { return rgba.empty(); }
    const unsigned char* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    unsigned Alpha(int x, int y) const { return At(x, y)[3]; }
    // Sum of the absolute differences of all channels over a rectangle.
    long Difference(const TImage& other, const RECT& rc) const
    {
        long sum = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                for (int c = 0; c < 4; ++c) sum += std::abs(At(x, y)[c] - other.At(x, y)[c]);
        return sum;
    }
};

TImage ReadPng(const std::string& path)
{
    TImage image;
    std::string bytes;
    if (!ReadWholeFile(path, bytes) || bytes.empty()) return image;
    int channels = 0;
    unsigned char* pixels =
        stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                              &image.width, &image.height, &channels, 4);
    if (pixels == nullptr) return image;
    image.rgba.assign(pixels, pixels + static_cast<size_t>(image.width) * image.height * 4);
    stbi_image_free(pixels);
    return image;
}

std::wstring SkinFolder()
{
    return WideFromAnsi(TestSupport::SkinSourceFile(""));
}

// Renders the launcher's skin with extra arguments into the folder; the
// decoded image, empty when the run failed (the test then reports why).
TImage Render(const TempFolder& folder, const std::string& name, std::vector<std::wstring> extra,
              const std::wstring& skin = SkinFolder())
{
    const std::string out = folder.File(name);
    std::vector<std::wstring> args = {L"--skin", skin, L"--out", WideFromAnsi(out)};
    args.insert(args.end(), extra.begin(), extra.end());
    const TRun run = RunSkinView(args);
    EXPECT_EQ(run.exitCode, 0u) << name << ": " << run.errors;
    return ReadPng(out);
}

// The skin as written shows every desktop tile at once; the launcher's start
// view on a machine without the products hides the run tile and its bar.
std::vector<std::wstring> StartView(std::vector<std::wstring> more = {})
{
    std::vector<std::wstring> args = {L"--hide", L"computer_run", L"--hide", L"computer_pro"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// Skin rectangles (launcher window at 100 %).
const RECT kCloseButton = {500, 5, 530, 35};
const RECT kDesktopTile = {68, 70, 468, 160};
const RECT kIPhoneTile = {92, 125, 250, 303};

TEST(SkinView, RendersTheLauncherSkinWithTransparentCornersAndAnOpaqueBody)
{
    TempFolder folder("skinview");
    const TImage image = Render(folder, "start.png", {});
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_EQ(image.width, 536);
    EXPECT_EQ(image.height, 355);

    // The background image's round corners leave the window's corner pixels
    // transparent; everything inside the frame is opaque.
    const POINT corners[] = {{0, 0}, {535, 0}, {0, 354}, {535, 354}};
    for (const POINT& pt : corners) EXPECT_EQ(image.Alpha(pt.x, pt.y), 0u) << pt.x << "," << pt.y;
    const POINT body[] = {{268, 177}, {20, 300}, {515, 60}, {100, 100}};
    for (const POINT& pt : body) EXPECT_EQ(image.Alpha(pt.x, pt.y), 255u) << pt.x << "," << pt.y;
}

TEST(SkinView, EachButtonStateAndPageSwitchChangesItsOwnRegionOnly)
{
    TempFolder folder("skinview");
    const TImage normal = Render(folder, "normal.png", StartView());
    ASSERT_FALSE(normal.IsEmpty());

    // changed: must differ from the normal render here; same: and stay as it was here
    const std::tuple<const char*, std::vector<std::wstring>, RECT, RECT> cases[] = {
        {"close_hot.png", StartView({L"--hot", L"closebtn"}), kCloseButton, kDesktopTile},
        {"close_pushed.png", StartView({L"--pushed", L"closebtn"}), kCloseButton, kDesktopTile},
        {"tile_hot.png", StartView({L"--hot", L"computer_install"}), kDesktopTile, kCloseButton},
        {"tile_disabled.png",
         StartView(
             {L"--hide", L"computer_install", L"--show", L"computer_run", L"--disabled", L"computer_run"}),
         kDesktopTile, kCloseButton},
        {"phone.png",
         StartView({L"--hide", L"computer_install", L"--hide", L"phone_jump", L"--show", L"firstBK3",
                    L"--show", L"choose_text", L"--show", L"iphone_install", L"--show", L"android_install",
                    L"--show", L"return"}),
         kIPhoneTile, kCloseButton},
    };
    std::vector<TImage> images;
    for (const auto& [file, args, changed, same] : cases) {
        images.push_back(Render(folder, file, args));
        const TImage& image = images.back();
        ASSERT_FALSE(image.IsEmpty()) << file;
        ASSERT_EQ(image.width, normal.width) << file;
        EXPECT_GT(image.Difference(normal, changed), 0) << file;
        EXPECT_EQ(image.Difference(normal, same), 0) << file;
    }
    // Hot and pushed are different pictures too.
    EXPECT_GT(images[0].Difference(images[1], kCloseButton), 0);
}

// The phone page: the white panel, its title, the phone tiles and the back
// link over the start view.
std::vector<std::wstring> PhoneView(std::vector<std::wstring> more = {})
{
    std::vector<std::wstring> args = StartView(
        {L"--hide", L"computer_install", L"--hide", L"phone_jump", L"--show", L"firstBK3", L"--show",
         L"choose_text", L"--show", L"iphone_install", L"--show", L"android_install", L"--show", L"return"});
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// Compares a render with its picture in tests/tools/reference, pixel for
// pixel. With VOZEROR_UPDATE_REFERENCES=1 in the environment the render
// becomes the picture instead (after an intended change of the art or of a
// drawing path; see the README).
void ExpectReference(const TempFolder& folder, const char* file, const std::vector<std::wstring>& args)
{
    const std::string path = std::string(VOZEROR_REFERENCE_DIR) + file;
    const TImage image = Render(folder, file, args);
    ASSERT_FALSE(image.IsEmpty()) << file;
    const char* update = std::getenv("VOZEROR_UPDATE_REFERENCES");
    if (update != nullptr && std::strcmp(update, "1") == 0) {
        EXPECT_TRUE(::CopyFileW(WideFromAnsi(folder.File(file)).c_str(), WideFromAnsi(path).c_str(), FALSE))
            << file;
        return;
    }
    const TImage reference = ReadPng(path);
    ASSERT_FALSE(reference.IsEmpty()) << file;
    ASSERT_EQ(image.width, reference.width) << file;
    ASSERT_EQ(image.height, reference.height) << file;
    int differing = 0;
    std::string first;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (std::memcmp(image.At(x, y), reference.At(x, y), 4) != 0 && differing++ == 0)
                first = std::to_string(x) + "," + std::to_string(y);
    EXPECT_EQ(differing, 0) << file << ", first at " << first;
}

// The launcher's views pixel for pixel as the engine drew them when the
// pictures in tests/tools/reference were made with skinview; any change to
// a drawing path that moves a single pixel of the launcher shows here.
TEST(SkinView, TheLauncherViewsKeepEveryPixelOfTheirReferencePictures)
{
    TempFolder folder("skinview");
    const std::vector<std::wstring> phone = PhoneView();
    std::vector<std::wstring> phoneHot = phone;
    phoneHot.insert(phoneHot.end(), {L"--hot", L"android_install"});
    const std::tuple<const char*, std::vector<std::wstring>> cases[] = {
        {"start.png", StartView()},
        {"tile_hot.png", StartView({L"--hot", L"computer_install"})},
        {"tile_pushed.png", StartView({L"--pushed", L"computer_install"})},
        {"close_hot.png", StartView({L"--hot", L"closebtn"})},
        {"run_progress.png", {L"--hide", L"computer_install", L"--disabled", L"computer_run"}},
        {"phone.png", phone},
        {"phone_hot.png", phoneHot},
    };
    for (const auto& [file, args] : cases) ExpectReference(folder, file, args);
}

// Counts the lines of stderr that start with the prefix.
size_t CountLines(const std::string& errors, const std::string& prefix)
{
    size_t lines = 0;
    for (size_t at = errors.find(prefix); at != std::string::npos; at = errors.find(prefix, at + 1)) ++lines;
    return lines;
}

// The launcher at the display scales users run: the window is the 100 %
// size scaled, no image is ever missing (scales without art of their own
// resample the nearest, and say so), and at 150 % and 200 %, drawn with
// their own art, the start view and the phone page are their reference
// pictures pixel for pixel.
TEST(SkinView, EveryScaleDrawsTheWholeLauncherAtItsSize)
{
    TempFolder folder("skinview");
    const struct
    {
        int scale;
        int width, height;
        size_t resampled;   // "resampled" lines: every image of the view
        const char* start;  // reference pictures, or null
        const char* phone;
    } cases[] = {
        {100, 536, 355, 0, nullptr, nullptr},
        {125, 670, 444, 31, nullptr, nullptr},
        {150, 804, 533, 0, "start_150.png", "phone_150.png"},
        {175, 938, 621, 31, nullptr, nullptr},
        {200, 1072, 710, 0, "start_200.png", "phone_200.png"},
        {300, 1608, 1065, 31, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const std::wstring scale = std::to_wstring(c.scale);
        const std::string out = folder.File("scale" + std::to_string(c.scale) + ".png");
        std::vector<std::wstring> args = {L"--skin",         SkinFolder(), L"--out",
                                          WideFromAnsi(out), L"--scale",   scale};
        const TRun run = RunSkinView(args);
        ASSERT_EQ(run.exitCode, 0u) << c.scale << ": " << run.errors;
        const TImage image = ReadPng(out);
        ASSERT_FALSE(image.IsEmpty()) << c.scale;
        EXPECT_EQ(image.width, c.width) << c.scale;
        EXPECT_EQ(image.height, c.height) << c.scale;
        EXPECT_EQ(CountLines(run.errors, "skinview: warning: "), 0u) << c.scale << "\n" << run.errors;
        EXPECT_EQ(CountLines(run.errors, "skinview: resampled: "), c.resampled) << c.scale << "\n"
                                                                                << run.errors;
        if (c.start != nullptr) ExpectReference(folder, c.start, StartView({L"--scale", scale}));
        if (c.phone != nullptr)
            ExpectReference(folder, c.phone, PhoneView({L"--scale", scale, L"--hot", L"android_install"}));
    }
}

// The skin folder copied, with every image also under its name for the
// scale ("bg.png" as "bg@150.png"), which is where the engine looks for the
// images of a scaled window.
bool CopySkinWithScaledImages(const TempFolder& to, int scale)
{
    const std::wstring from = SkinFolder();
    WIN32_FIND_DATAW fd;
    HANDLE hFind = ::FindFirstFileW((from + L"*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    int copied = 0;
    do {
        const std::wstring name = fd.cFileName;
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        const std::wstring target = WideFromAnsi(to.File(AnsiFromWide(name)));
        ok = ok && ::CopyFileW((from + name).c_str(), target.c_str(), FALSE);
        const size_t dot = name.rfind(L".png");
        if (dot != std::wstring::npos && dot + 4 == name.size()) {
            const std::wstring scaled = name.substr(0, dot) + L"@" + std::to_wstring(scale) + L".png";
            ok = ok &&
                ::CopyFileW((from + name).c_str(), WideFromAnsi(to.File(AnsiFromWide(scaled))).c_str(),
                            FALSE);
            ++copied;
        }
    } while (::FindNextFileW(hFind, &fd));
    ::FindClose(hFind);
    return ok && copied > 0;
}

TEST(SkinView, SizeAndScaleGiveTheImageSize)
{
    TempFolder folder("skinview");
    const std::tuple<const char*, std::vector<std::wstring>, int, int> cases[] = {
        {"scale100.png", {}, 536, 355},
        {"scale150.png", {L"--scale", L"150"}, 804, 533},  // 355 * 1.5 rounds up
        {"scale200.png", {L"--scale", L"200"}, 1072, 710},
        {"size.png", {L"--size", L"300x200"}, 300, 200},
        {"size125.png", {L"--size", L"400x300", L"--scale", L"125"}, 500, 375},
    };
    for (const auto& [file, args, width, height] : cases) {
        const TImage image = Render(folder, file, StartView(args));
        ASSERT_FALSE(image.IsEmpty()) << file;
        EXPECT_EQ(image.width, width) << file;
        EXPECT_EQ(image.height, height) << file;
    }
}

TEST(SkinView, AScaledWindowDrawsTheImagesMadeForItsScale)
{
    TempFolder folder("skinview");
    TempFolder skin("skinview_150");
    ASSERT_TRUE(CopySkinWithScaledImages(skin, 150));
    const TImage image =
        Render(folder, "scaled.png", StartView({L"--scale", L"150"}), WideFromAnsi(skin.Path()));
    ASSERT_FALSE(image.IsEmpty());
    ASSERT_EQ(image.width, 804);
    // The 100 % images stretched over the scaled rectangles: the round
    // corners stay transparent, the body is opaque, and the close button's
    // cross sits at the scaled place.
    const POINT corners[] = {{0, 0}, {803, 0}, {0, 532}, {803, 532}};
    for (const POINT& pt : corners) EXPECT_EQ(image.Alpha(pt.x, pt.y), 0u) << pt.x << "," << pt.y;
    const POINT body[] = {{402, 266}, {30, 450}, {772, 90}};
    for (const POINT& pt : body) EXPECT_EQ(image.Alpha(pt.x, pt.y), 255u) << pt.x << "," << pt.y;

    const TImage hot =
        Render(folder, "scaled_hot.png", StartView({L"--scale", L"150", L"--hot", L"closebtn"}),
               WideFromAnsi(skin.Path()));
    ASSERT_EQ(hot.width, 804);
    const RECT scaledClose = {750, 8, 795, 53};
    EXPECT_GT(hot.Difference(image, scaledClose), 0);
    EXPECT_EQ(hot.Difference(image, {0, 60, 804, 533}), 0);
}

TEST(SkinView, ImagesTheEngineCannotLoadAreListedAsWarnings)
{
    TempFolder folder("skinview");
    TempFolder scaled("skinview_150");
    ASSERT_TRUE(CopySkinWithScaledImages(scaled, 150));
    TempFolder misspelt("skinview_names");
    ASSERT_TRUE(WriteWholeFile(misspelt.File("DlgMain.xml"),
                               "<Window size=\"100,80\"><VerticalLayout bkimage=\"nothere.png\">"
                               "<Button name=\"ok\" normalimage=\"file='gone.png' mask='#FFFF00FF'\" "
                               "hotimage=\"gone.png\"/></VerticalLayout></Window>"));

    // lines: warning lines; warnings: parts of them
    const std::tuple<std::wstring, std::vector<std::wstring>, size_t, std::vector<std::string>> cases[] = {
        {SkinFolder(), {}, 0, {}},
        {WideFromAnsi(scaled.Path()), {L"--scale", L"150"}, 0, {}},
        // Each file once, under the first control and attribute naming it.
        {WideFromAnsi(misspelt.Path()),
         {},
         2,
         {"unnamed VerticalLayoutUI: bkimage nothere.png", "ok: normalimage gone.png"}},
        // At a scale, in its scaled name, when no scale has art for it.
        {WideFromAnsi(misspelt.Path()),
         {L"--scale", L"125"},
         2,
         {"unnamed VerticalLayoutUI: bkimage nothere@125.png", "ok: normalimage gone@125.png"}},
    };
    int n = 0;
    for (const auto& [skin, args, lines, warnings] : cases) {
        const std::string out = folder.File("warn" + std::to_string(n++) + ".png");
        std::vector<std::wstring> argv = {L"--skin", skin, L"--out", WideFromAnsi(out)};
        argv.insert(argv.end(), args.begin(), args.end());
        const TRun run = RunSkinView(argv);
        EXPECT_EQ(run.exitCode, 0u) << run.errors;
        EXPECT_FALSE(ReadPng(out).IsEmpty()) << run.errors;
        EXPECT_EQ(CountLines(run.errors, "skinview: warning: "), lines) << run.errors;
        for (const std::string& w : warnings)
            EXPECT_NE(run.errors.find(w), std::string::npos) << w << "\n" << run.errors;
    }
}

TEST(SkinView, ThePackageRendersLikeTheFolder)
{
    TempFolder folder("skinview");
    const TImage fromFolder = Render(folder, "folder.png", StartView({L"--hot", L"phone_jump"}));
    const TImage fromPackage = Render(folder, "package.png", StartView({L"--hot", L"phone_jump"}),
                                      WideFromAnsi(TestSupport::SkinPackageFile()));
    ASSERT_FALSE(fromFolder.IsEmpty());
    ASSERT_FALSE(fromPackage.IsEmpty());
    EXPECT_EQ(fromPackage.width, fromFolder.width);
    EXPECT_EQ(fromPackage.height, fromFolder.height);
    EXPECT_TRUE(fromPackage.rgba == fromFolder.rgba);
}

TEST(SkinView, FailuresExitNonZeroWithAMessageAndWriteNothing)
{
    TempFolder folder("skinview");
    // A skin whose document is cut off inside an element, and one whose
    // document is missing.
    TempFolder broken("skinview_bad");
    ASSERT_TRUE(WriteWholeFile(broken.File("DlgMain.xml"),
                               "<Window size=\"100,80\"><VerticalLayout bkcolor=\"#FFFFFFFF\""));
    ASSERT_TRUE(WriteWholeFile(broken.File("Empty.xml"), "<Window size=\"100,80\"></Window>"));
    const std::wstring bad = WideFromAnsi(broken.Path());
    const std::wstring good = SkinFolder();
    const std::wstring out = WideFromAnsi(folder.File("out.png"));

    // message: part of stderr
    const std::tuple<std::vector<std::wstring>, DWORD, const char*> cases[] = {
        {{L"--skin", bad, L"--out", out}, 2, "DlgMain.xml: "},
        {{L"--skin", bad, L"--xml", L"Empty.xml", L"--out", out}, 2, "Empty.xml: "},
        {{L"--skin", bad, L"--xml", L"Missing.xml", L"--out", out}, 2, "Missing.xml: "},
        {{L"--skin", bad + L"\\nowhere", L"--out", out}, 2, "no such skin folder or package"},
        {{L"--skin", bad + L"\\DlgMain.xml", L"--out", out}, 2, "not a readable skin package"},
        {{L"--skin", good, L"--out", out, L"--hot", L"no_such"}, 3, "no control named no_such"},
        {{L"--skin", good, L"--out", out, L"--hide", L"no_such"}, 3, "no control named no_such"},
        {{L"--skin", good, L"--out", out, L"--pushed", L"iphone_install"}, 3, "iphone_install is hidden"},
        // firstBK3 lies on top of the desktop tile on the phone page.
        {{L"--skin", good, L"--out", out, L"--hide", L"computer_run", L"--show", L"firstBK3", L"--hot",
          L"computer_install"},
         3,
         "computer_install is not the control under its centre"},
        {{L"--skin", good, L"--out", out, L"--scale", L"0"}, 1, "--scale wants"},
        {{L"--skin", good, L"--out", out, L"--size", L"536x"}, 1, "--size wants"},
        {{L"--skin", good, L"--out", out, L"--hot", L"closebtn", L"--pushed", L"closebtn"},
         1,
         "only one of --hot and --pushed"},
        {{L"--skin", good, L"--out", out, L"--colour", L"red"}, 1, "unknown option --colour"},
        {{L"--skin", good, L"--out", out, L"--hot"}, 1, "--hot needs a value"},
        {{L"--skin", good}, 1, "--skin and --out are required"},
        {{L"--skin", good, L"--out", WideFromAnsi(folder.File("nowhere\\out.png"))},
         4,
         "cannot write the PNG"},
    };
    for (const auto& [args, exitCode, message] : cases) {
        std::string line;
        for (const std::wstring& a : args) line += " " + AnsiFromWide(a);
        const TRun run = RunSkinView(args);
        EXPECT_EQ(run.exitCode, exitCode) << line << "\n" << run.errors;
        EXPECT_NE(run.errors.find(message), std::string::npos) << line << "\n" << run.errors;
        EXPECT_EQ(::GetFileAttributesW(out.c_str()), INVALID_FILE_ATTRIBUTES) << line;
    }
}

// Skins a careless or hostile author may write. Each run ends by itself
// (the runner gives up after two minutes) with the exit code it should: a
// too-deep tree is refused with the builder's message, long inline texts
// and many inline fonts are drawn.
TEST(SkinView, HostileSkinsEndWithTheirExitCode)
{
    auto window = [](const std::string& body) {
        return "<Window size=\"300,100\"><VerticalLayout>" + body + "</VerticalLayout></Window>";
    };
    auto label = [&](const std::string& text) {
        return window("<Label showhtml=\"true\" text=\"" + text + "\"/>");
    };
    std::string zeroWidth, letters, fonts;
    for (int i = 0; i < 100000; ++i) zeroWidth += "\xE2\x80\x8B";  // U+200B
    letters.assign(100000, 'a');
    for (int i = 0; i < 5000; ++i)
        fonts += "{f Face" + std::to_string(i) + " " + std::to_string(10 + i % 7) + "}x{/f}";
    // Sixteen included documents, each 250 layouts deep.
    std::vector<std::pair<std::string, std::string>> deep = {
        {"DlgMain.xml", window("<Include source=\"d1.xml\"/>")}};
    for (int k = 1; k <= 16; ++k) {
        std::string open, shut;
        for (int i = 0; i < 250; ++i) {
            open += "<VerticalLayout>";
            shut += "</VerticalLayout>";
        }
        const std::string inner =
            k < 16 ? "<Include source=\"d" + std::to_string(k + 1) + ".xml\"/>" : "<Label/>";
        deep.push_back({"d" + std::to_string(k) + ".xml", "<Window>" + open + inner + shut + "</Window>"});
    }
    // message: part of stderr, or empty
    const std::tuple<const char*, std::vector<std::pair<std::string, std::string>>, DWORD, const char*>
        cases[] = {
            {"deep include chain", deep, 2, "Controls nested too deeply"},
            {"100000 zero-width characters", {{"DlgMain.xml", label(zeroWidth)}}, 0, ""},
            {"100000 letters wrapping", {{"DlgMain.xml", label(letters)}}, 0, ""},
            {"5000 inline fonts", {{"DlgMain.xml", label(fonts)}}, 0, ""},
            {"include values of 500 characters",
             {{"DlgMain.xml",
               window("<Include count=\"" + std::string(499, '0') + "2\" source=\"p.xml" +
                      std::string(600, ' ') + "\"/>")},
              {"p.xml", "<Window><Label/></Window>"}},
             0,
             ""},
        };
    for (const auto& [what, files, exitCode, message] : cases) {
        TempFolder skin("skinview_hostile");
        for (const auto& file : files) ASSERT_TRUE(WriteWholeFile(skin.File(file.first), file.second));
        TempFolder folder("skinview");
        const TRun run =
            RunSkinView({L"--skin", WideFromAnsi(skin.Path()), L"--out", WideFromAnsi(folder.File("x.png"))});
        EXPECT_EQ(run.exitCode, exitCode) << what << "\n" << run.errors;
        EXPECT_NE(run.errors.find(message), std::string::npos) << what << "\n" << run.errors;
    }
}

TEST(SkinView, AMalformedDocumentReportsTheParsersMessageAndLocation)
{
    TempFolder broken("skinview_bad");
    // The closing tag does not match the open element.
    ASSERT_TRUE(WriteWholeFile(broken.File("DlgMain.xml"),
                               "<Window size=\"100,80\"><VerticalLayout></Label></Window>"));
    TempFolder folder("skinview");
    const TRun run =
        RunSkinView({L"--skin", WideFromAnsi(broken.Path()), L"--out", WideFromAnsi(folder.File("x.png"))});
    EXPECT_EQ(run.exitCode, 2u) << run.errors;
    // The location is the text where the parser stopped.
    EXPECT_NE(run.errors.find("at \""), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("Label"), std::string::npos) << run.errors;
}

}  // namespace
