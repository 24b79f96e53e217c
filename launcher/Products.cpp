#include "launcher/Products.h"

#ifndef VOZEROR_SETUP_PUBLISHER
#define VOZEROR_SETUP_PUBLISHER "Vozeror Software"
#endif
#define VOZEROR_WIDEN_(text) L##text
#define VOZEROR_WIDEN(text) VOZEROR_WIDEN_(text)

namespace Launcher {

const wchar_t kSetupPublisher[] = VOZEROR_WIDEN(VOZEROR_SETUP_PUBLISHER);

#define REDIRECT_URL(segment)                                                                                \
    L"http://" VOZEROR_WIDEN(                                                                                \
        VOZEROR_REDIRECT_HOST) L"/redirect/ver1/vuvudavu/" segment L"/{version}/{setupname}/{machineid}"
#define UNINSTALL_KEY(node, name) L"SOFTWARE\\" node L"Microsoft\\Windows\\CurrentVersion\\Uninstall\\" name

// Letter case as the setups write them: the desktop product's 32-bit-view key
// spells "WOW6432Node", the other two "Wow6432Node". The Android product's
// key names its uninstaller, which lies beside the product.
const ProductInfo kProducts[kProductCount] = {
    {UNINSTALL_KEY(L"WOW6432Node\\", L"Zavodidere"), UNINSTALL_KEY(L"", L"Zavodidere"), L"DisplayIcon",
     nullptr, nullptr, nullptr, L"\\Vedeziz.exe", REDIRECT_URL(L"download_silent_zadazi"),
     L"computer_install", L"computer_run", L"computer_pro", kComputerPage},
    {UNINSTALL_KEY(L"Wow6432Node\\", L"Ravivarovo"), UNINSTALL_KEY(L"", L"Ravivarovo"), L"DisplayIcon",
     nullptr, nullptr, L"InstallLocation", L"\\Zarazed.exe", REDIRECT_URL(L"download_silent_deruze"),
     L"iphone_install", L"iphone_run", L"iphone_pro", kPhonePage},
    {UNINSTALL_KEY(L"Wow6432Node\\", L"Vavarived"), UNINSTALL_KEY(L"", L"Vavarived"), L"UninstallString",
     L"uninst.exe", L"Rezude.exe", nullptr, L"\\Rezude.exe", REDIRECT_URL(L"download_silent_rered"),
     L"android_install", L"android_run", L"android_pro", kPhonePage},
};

}  // namespace Launcher
