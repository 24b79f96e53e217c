#pragma once
// The installation probe: decides from the uninstall registry whether each
// product is installed and where its executable is. The main window derives
// from CProductProbe, so the members below are the window's own.

#include "launcher/DownloadFile.h"
#include "launcher/Products.h"

#include <string>

namespace SkinUI {
class CButtonUI;
class CProgressUI;
}  // namespace SkinUI

namespace Launcher {

// Everything the launcher keeps of one product, indexed by product index.
// The UI thread alone reads and writes it; the product's worker reports
// through its own record (ReadWorker), never here.
struct ProductRecord
{
    // InstallState; 0 until the first probe. Written by the probe and by
    // the view's tick, from the worker's report.
    int state;
    // Launch path as the registry holds it; written only by the probe.
    std::wstring path;
    // The worker's progress as the last tick read it.
    DownloadProgress shown;
    // The worker ends (WorkerReport::ends) already acted on.
    unsigned int endsSeen;
    // The product's tiles (null outside the view); the paint manager owns them.
    SkinUI::CButtonUI* install;
    SkinUI::CButtonUI* run;
    SkinUI::CProgressUI* bar;
};

class CProductProbe
{
public:
    CProductProbe();

    // Reads the three uninstall keys afresh (iPhone, desktop, Android) and
    // writes the install states and launch paths. Runs on the UI thread only.
    void ProbeProducts();

    // Reads one product's key afresh the same way and writes its state and
    // launch path only; true when it is installed. Other indices: false,
    // nothing written.
    bool ProbeProduct(int index);

protected:
    ProductRecord m_product[kProductCount];
};

// The iPhone product's "InstallLocation" (key form chosen afresh); empty when
// the key cannot be opened or the value cannot be read.
std::wstring ReadInstallLocation();

// The Android launch path from an "UninstallString": the text before the
// first "uninst.exe" (case-sensitive; the whole text when absent) followed by
// "Rezude.exe". A result longer than kMaxPathLength is empty.
std::wstring DeriveAndroidLaunchPath(const std::wstring& uninstallString);

}  // namespace Launcher
