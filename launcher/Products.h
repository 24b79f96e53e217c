#pragma once
// The product table: each product the launcher serves is one row of data,
// indexed by the product index (0 desktop, 1 iPhone, 2 Android), and the
// install states the view moves it through.

#include <windows.h>

namespace Launcher {

enum ProductIndex
{
    kDesktop = 0,
    kIPhone = 1,
    kAndroid = 2,
    kProductCount = 3
};

// Install state of one product, as the view keeps it (ProductState.h).
enum InstallState
{
    Unprobed = 0,      // before the first probe; the view leaves the tiles
    Installed = 1,     // run tile offered
    NotInstalled = 2,  // install tile offered
    Downloading = 3,   // setup download under way
    Downloaded = 4,    // download complete, setup running
    MissingAtRun = 5,  // a run click found the product missing and showed its
                       // install tile; the view leaves the tiles from then on
};

// The two pages of the window. The computer page's tiles lie under the
// phone page's opaque panel while the phone page shows.
enum ProductPage
{
    kComputerPage = 0,
    kPhonePage = 1,
};

// The vendor's plain-HTTP redirect server; the download and contact URLs name it.
#define VOZEROR_REDIRECT_HOST "redirect.vozeror.com"

struct ProductInfo
{
    const wchar_t* keyWow64;   // uninstall key under HKLM, 32-bit-view form
    const wchar_t* keyPlain;   // uninstall key under HKLM, plain form
    const wchar_t* pathValue;  // value of the key holding the launch path
    // The launch rule: the value as it stands (an empty value keeps the
    // path an earlier probe found), or, when uninstaller is set, the text
    // before its first occurrence (case-sensitive; all of it when absent)
    // followed by launched (an empty value gives an empty path).
    const wchar_t* uninstaller;
    const wchar_t* launched;
    // Value of the same key naming the folder the product starts in; null
    // or absent: the launcher's own.
    const wchar_t* startFolderValue;
    const wchar_t* setupFileName;  // appended to the setup folder
    const wchar_t* downloadUrl;    // sent as it stands, braces included
    // The skin's tiles of the product: install tile, run tile, progress bar.
    const wchar_t* installTile;
    const wchar_t* runTile;
    const wchar_t* bar;
    ProductPage page;
};

extern const ProductInfo kProducts[kProductCount];

// The vendor's publisher name: a downloaded setup runs only when its
// Authenticode signer's subject common name is exactly this. A build for
// another vendor sets VOZEROR_SETUP_PUBLISHER; an empty name turns the check
// off (then any setup the server sends runs).
extern const wchar_t kSetupPublisher[];

// The longest path Windows can start, in UTF-16 units: registry values,
// launch paths and setup paths longer than this are refused.
const size_t kMaxPathLength = 32767;

}  // namespace Launcher
