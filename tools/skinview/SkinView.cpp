// skinview: renders a skin document to a PNG file without showing a window,
// so that skin authors can look at a state of their skin and screenshots can
// be made from the build.
//
//   skinview --skin <folder | package.zip> --out <file.png> [--xml <document>]
//            [--size <W>x<H>] [--scale <percent>]
//            [--show <name>]... [--hide <name>]... [--disabled <name>]...
//            [--hot <name> | --pushed <name>]
//
//   --skin      the skin folder, or a ZIP skin package (a file)
//   --xml       the window document in it (default DlgMain.xml)
//   --out       the PNG to write: 8-bit RGBA, straight alpha; the pixels the
//               window shows, so outside its round corners transparent
//   --size      client size in skin pixels (at 100 %); default: the
//               document's own size attribute
//   --scale     DPI scale in percent, 50 to 400 (default 100); the image is
//               the size times the scale
//   --show, --hide, --disabled
//               make the named control visible, hidden or disabled before
//               painting; applied in the order given, so a later one wins
//   --hot       the mouse rests on the named control's centre
//   --pushed    the left button is held down on the named control's centre
//
// Images that a control names but the engine cannot load are listed on
// stderr as warnings, and images that the engine resampled from another
// scale's art (the skin has none for the scale asked) as "resampled" lines;
// neither changes the exit code.
//
// Exit codes:
//   0  the PNG was written
//   1  the command line is wrong (message and usage on stderr)
//   2  the skin cannot be read or built: the parser's message and the text
//      where it stopped are printed
//   3  a named control does not exist, or cannot be made hot or pushed
//   4  nothing was painted, or the PNG cannot be written
//
// Sections: command line, skin location, main.

#include "skinui/control/Control.h"
#include "skinui/core/PaintManager.h"
#include "tools/skinview/PngWriter.h"
#include "tools/skinview/PreviewWindow.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using namespace SkinView;

enum ExitCode
{
    kWritten = 0,
    kUsage = 1,
    kBadSkin = 2,
    kBadControl = 3,
    kNoImage = 4
};

// Widest and highest image in skin pixels, and the scale range.
const int kMaxDesignSide = 8192;
const int kMinScale = 50;
const int kMaxScale = 400;

// ---- Command line -------------------------------------------------------------

enum ControlAction
{
    kShow,
    kHide,
    kDisable
};

struct TControlStep
{
    ControlAction action;
    std::wstring name;
};

struct TOptions
{
    std::wstring skin;
    std::wstring xml = L"DlgMain.xml";
    std::wstring out;
    int width = 0;  // 0: the document's size
    int height = 0;
    int scale = 100;
    std::vector<TControlStep> steps;
    std::wstring pointAt;  // --hot or --pushed target, empty for none
    bool press = false;
};

void PrintUsage()
{
    fwprintf(stderr,
             L"usage: skinview --skin <folder|package.zip> --out <file.png> [--xml <document>]\n"
             L"                [--size <W>x<H>] [--scale <percent>]\n"
             L"                [--show <name>]... [--hide <name>]... [--disabled <name>]...\n"
             L"                [--hot <name> | --pushed <name>]\n");
}

int Fail(int code, const std::wstring& message)
{
    fwprintf(stderr, L"skinview: %ls\n", message.c_str());
    return code;
}

// A whole decimal number in [lo, hi], nothing else.
bool ParseNumber(const wchar_t* text, int lo, int hi, int& value, const wchar_t** end = nullptr)
{
    if (text == nullptr || *text < L'0' || *text > L'9') return false;
    wchar_t* stop = nullptr;
    const long v = wcstol(text, &stop, 10);
    if (end != nullptr)
        *end = stop;
    else if (*stop != 0)
        return false;
    if (v < lo || v > hi) return false;
    value = static_cast<int>(v);
    return true;
}

// "<W>x<H>", both 1 .. kMaxDesignSide.
bool ParseSize(const wchar_t* text, int& width, int& height)
{
    const wchar_t* rest = nullptr;
    if (!ParseNumber(text, 1, kMaxDesignSide, width, &rest)) return false;
    if (*rest != L'x' && *rest != L'X') return false;
    return ParseNumber(rest + 1, 1, kMaxDesignSide, height);
}

// False with a message for an unknown option, a missing value or a value
// out of range.
bool ParseCommandLine(int argc, wchar_t** argv, TOptions& options, std::wstring& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (i + 1 >= argc) {
            error = option.compare(0, 2, L"--") == 0 ? option + L" needs a value"
                                                     : L"unexpected argument " + option;
            return false;
        }
        const wchar_t* value = argv[++i];
        if (option == L"--skin")
            options.skin = value;
        else if (option == L"--xml")
            options.xml = value;
        else if (option == L"--out")
            options.out = value;
        else if (option == L"--size") {
            if (!ParseSize(value, options.width, options.height)) {
                error = std::wstring(L"--size wants <W>x<H> with each side 1 to ") +
                    std::to_wstring(kMaxDesignSide) + L", not " + value;
                return false;
            }
        } else if (option == L"--scale") {
            if (!ParseNumber(value, kMinScale, kMaxScale, options.scale)) {
                error = std::wstring(L"--scale wants a percentage from ") + std::to_wstring(kMinScale) +
                    L" to " + std::to_wstring(kMaxScale) + L", not " + value;
                return false;
            }
        } else if (option == L"--show")
            options.steps.push_back({kShow, value});
        else if (option == L"--hide")
            options.steps.push_back({kHide, value});
        else if (option == L"--disabled")
            options.steps.push_back({kDisable, value});
        else if (option == L"--hot" || option == L"--pushed") {
            if (!options.pointAt.empty()) {
                error = L"only one of --hot and --pushed, once";
                return false;
            }
            options.pointAt = value;
            options.press = option == L"--pushed";
        } else {
            error = L"unknown option " + option;
            return false;
        }
        if (*value == 0) {
            error = option + L" needs a non-empty value";
            return false;
        }
    }
    if (options.skin.empty() || options.out.empty()) {
        error = L"--skin and --out are required";
        return false;
    }
    return true;
}

// ---- Skin location ----------------------------------------------------------

// Points the engine at a skin folder, or at a package file kept open for the
// run. False with a message when the path is neither.
bool UseSkin(const std::wstring& skin, std::wstring& error)
{
    WCHAR full[MAX_PATH];
    WCHAR* namePart = nullptr;
    const DWORD len = ::GetFullPathNameW(skin.c_str(), MAX_PATH, full, &namePart);
    const DWORD attributes =
        (len == 0 || len >= MAX_PATH) ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(full);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = skin + L": no such skin folder or package";
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        SkinUI::CPaintManagerUI::SetResourcePath(full);
        return true;
    }
    const std::wstring fileName = namePart != nullptr ? namePart : full;
    const std::wstring folder(full, namePart != nullptr ? namePart - full : 0);
    SkinUI::CPaintManagerUI::SetResourcePath(folder.c_str());
    SkinUI::CPaintManagerUI::SetResourceZip(fileName.c_str(), true);
    if (SkinUI::CPaintManagerUI::GetResourceZipHandle() == nullptr) {
        error = skin + L": not a readable skin package";
        return false;
    }
    return true;
}

// ---- Main -------------------------------------------------------------------

int Run(int argc, wchar_t** argv)
{
    TOptions options;
    std::wstring error;
    if (!ParseCommandLine(argc, argv, options, error)) {
        PrintUsage();
        return Fail(kUsage, error);
    }

    SkinUI::CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    if (!UseSkin(options.skin, error)) return Fail(kBadSkin, error);

    CPreviewWindow window;
    if (!window.Open(options.scale)) return Fail(kNoImage, L"cannot create a window");
    if (!window.Build(options.xml, error)) return Fail(kBadSkin, error);

    SIZE size = window.GetSkinSize();
    if (options.width > 0) {
        size.cx = window.Scale(options.width);
        size.cy = window.Scale(options.height);
    }
    if (size.cx <= 0 || size.cy <= 0)
        return Fail(kUsage, options.xml + L" names no window size: give --size");
    window.SetClientSize(size.cx, size.cy);

    for (const TControlStep& step : options.steps) {
        SkinUI::CControlUI* pControl = window.Find(step.name);
        if (pControl == nullptr) return Fail(kBadControl, L"no control named " + step.name);
        if (step.action == kDisable)
            pControl->SetEnabled(false);
        else
            pControl->SetVisible(step.action == kShow);
    }

    if (!window.Paint()) return Fail(kNoImage, L"nothing was painted");
    if (!options.pointAt.empty()) {
        SkinUI::CControlUI* pControl = window.Find(options.pointAt);
        if (pControl == nullptr) return Fail(kBadControl, L"no control named " + options.pointAt);
        if (!window.PointAt(pControl, options.press, error)) return Fail(kBadControl, error);
        if (!window.Paint()) return Fail(kNoImage, L"nothing was painted");
    }

    // Missing images are drawn as nothing; the author is told, but the
    // picture is still what the engine shows. So are images the engine made
    // from another scale's art, since the skin has none for this scale.
    std::vector<std::wstring> missing, resampled;
    window.ReviewImages(missing, resampled);
    for (const std::wstring& line : missing)
        fwprintf(stderr, L"skinview: warning: image not found: %ls\n", line.c_str());
    for (const std::wstring& line : resampled) fwprintf(stderr, L"skinview: resampled: %ls\n", line.c_str());

    std::vector<BYTE> pixels;
    SIZE painted = {0, 0};
    if (!window.GetShownPixels(pixels, painted)) return Fail(kNoImage, L"nothing was painted");
    if (!WritePngFile(options.out, &pixels[0], painted.cx, painted.cy))
        return Fail(kNoImage, options.out + L": cannot write the PNG");
    return kWritten;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int code = Run(argc, argv);
    SkinUI::CPaintManagerUI::Term();
    return code;
}
