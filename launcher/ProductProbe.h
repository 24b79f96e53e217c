#pragma once
// The installation probe: decides from the uninstall registry whether each
// product is installed and where its executable is. The main window derives
// from CProductProbe, so the members below are the window's own.

#include "launcher/Products.h"

#include <string>

namespace Launcher {

class CProductProbe
{
public:
    CProductProbe();

    // Reads the three uninstall keys afresh (iPhone, desktop, Android) and
    // writes the install states and launch paths. Clears the setup-finished
    // flag of every product found missing. Runs on the UI thread only.
    void ProbeProducts();

    // Reads one product's key afresh the same way and writes its state and
    // launch path only; true when it is installed. Other indices: false,
    // nothing written.
    bool ProbeProduct(int index);

protected:
    // InstallState values; 0 until the first probe.
    int m_nDesktopState;
    int m_nIPhoneState;
    int m_nAndroidState;
    // Launch paths, NUL-terminated ANSI (CP_ACP); written only by the probe.
    char m_szDesktopPath[kPathBufferSize];
    char m_szIPhonePath[kPathBufferSize];
    char m_szAndroidPath[kPathBufferSize];
};

// The iPhone product's "InstallLocation" (key form chosen afresh); empty when
// the key cannot be opened or the value cannot be read.
std::wstring ReadInstallLocation();

// The Android launch path from an "UninstallString" (ANSI): the text before the
// first "uninst.exe" (case-sensitive; the whole text when absent) followed by
// "Rezude.exe". A result that would not fit out (259 bytes and the NUL) leaves
// out empty.
void DeriveAndroidLaunchPath(const char* uninstallString, char (&out)[kPathBufferSize]);

}  // namespace Launcher
