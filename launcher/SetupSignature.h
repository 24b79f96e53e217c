#pragma once
// The check a downloaded setup passes before it runs: an intact Authenticode
// signature whose signer is the vendor. The setup arrives over plain HTTP, so
// whoever answers the redirect (a proxy, the same Wi-Fi) could otherwise have
// the launcher run a program of theirs, often elevated behind the UAC prompt
// the user expects for the vendor's setup.

#include <windows.h>

#include <string>

namespace Launcher {

struct SetupSignature
{
    // WinVerifyTrust's answer: 0 for an intact signature, else for example
    // TRUST_E_NOSIGNATURE or TRUST_E_BAD_DIGEST.
    LONG trust;
    // The subject common name of the signer's certificate; empty unless the
    // signature is intact.
    std::wstring signer;
};

// Verifies the open file (path names it for WinVerifyTrust's messages; the
// bytes are read through file) with WINTRUST_ACTION_GENERIC_VERIFY_V2, no UI
// and no revocation check, so nothing goes to the network.
SetupSignature ReadSetupSignature(HANDLE file, const wchar_t* path);

// True when the setup may run: publisher is empty (the build turned the check
// off), or the signature is intact and its signer is exactly publisher.
// Under Wine an untrusted root passes WinVerifyTrust where Windows refuses
// it; the name still has to match.
bool SetupMayRun(HANDLE file, const wchar_t* path, const wchar_t* publisher);

}  // namespace Launcher
