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

// Letter case as the setups write them: the desktop product's 32-bit-view key
// spells "WOW6432Node", the other two "Wow6432Node".
const ProductInfo kProducts[kProductCount] = {
    {L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zavodidere",
     L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zavodidere", L"DisplayIcon", L"\\Vedeziz.exe",
     REDIRECT_URL(L"download_silent_zadazi")},
    {L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ravivarovo",
     L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ravivarovo", L"DisplayIcon", L"\\Zarazed.exe",
     REDIRECT_URL(L"download_silent_deruze")},
    {L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vavarived",
     L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vavarived", L"UninstallString",
     L"\\Rezude.exe", REDIRECT_URL(L"download_silent_rered")},
};

}  // namespace Launcher
