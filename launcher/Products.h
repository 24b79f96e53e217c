#pragma once
// The product catalogue: every per-product constant of the launcher in one
// place, indexed by the product index (0 desktop, 1 iPhone, 2 Android).

#include <windows.h>

namespace Launcher {

enum ProductIndex
{
    kDesktop = 0,
    kIPhone = 1,
    kAndroid = 2,
    kProductCount = 3
};

// Install state of one product, as the view controller keeps it.
enum InstallState
{
    None = 0,          // install tile shown after a run click found the product missing
    Installed = 1,     // run tile offered
    NotInstalled = 2,  // install tile offered
    Downloading = 3,   // setup download under way
    Downloaded = 4,    // download complete, setup running
};

// The vendor's plain-HTTP redirect server; the download and contact URLs name it.
#define VOZEROR_REDIRECT_HOST "redirect.vozeror.com"

struct ProductInfo
{
    const wchar_t* keyWow64;       // uninstall key under HKLM, 32-bit-view form
    const wchar_t* keyPlain;       // uninstall key under HKLM, plain form
    const wchar_t* pathValue;      // value holding the launch path
    const wchar_t* setupFileName;  // appended to the setup folder
    const wchar_t* downloadUrl;    // sent as it stands, braces included
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
