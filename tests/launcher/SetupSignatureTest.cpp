// The signature check on real signed files: the stand-in setup and the demo
// setup as the build signed them with its test certificates, an unsigned
// copy, one signed by another name, and one with a byte changed after
// signing. Everything is read through a handle opened as the worker opens a
// downloaded setup.

#include "launcher/Products.h"
#include "launcher/SetupSignature.h"

#include "tests/support/SignedSetups.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

using namespace Launcher;
using namespace TestSupport;

namespace {

HANDLE OpenForCheck(const std::wstring& path)
{
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

const LONG kNoSignature = LONG(0x800B0100);  // TRUST_E_NOSIGNATURE
const LONG kBadDigest = LONG(0x80096010);    // TRUST_E_BAD_DIGEST

}  // namespace

TEST(SetupSignature, OnlyAnIntactSignatureOfThePublisherMayRun)
{
    const std::wstring demo = TestBinDir() + L"..\\..\\launcher\\demo_setup.exe";
    const std::wstring publisher = TestSigner();
    struct Row
    {
        const char* name;
        std::wstring file;
        std::wstring pathGiven;  // the path WinVerifyTrust is told; the bytes come from file's handle
        LONG trust;
        std::wstring signer;
        bool mayRun;
    };
    const std::wstring good = StandInSetup(kSignedByPublisher);
    const Row rows[] = {
        {SetupFormName(kSignedByPublisher), good, good, 0, publisher, true},
        {"the demo setup", demo, demo, 0, publisher, true},
        {SetupFormName(kUnsigned), StandInSetup(kUnsigned), StandInSetup(kUnsigned), kNoSignature, L"",
         false},
        {SetupFormName(kSignedByOther), StandInSetup(kSignedByOther), StandInSetup(kSignedByOther), 0,
         L"Someone Else", false},
        {SetupFormName(kTampered), StandInSetup(kTampered), StandInSetup(kTampered), kBadDigest, L"", false},
        // The check reads the handle it is given, not the file the path names.
        {"tampered bytes under the intact file's path", StandInSetup(kTampered), good, kBadDigest, L"",
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HANDLE file = OpenForCheck(row.file);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        SetupSignature signature = ReadSetupSignature(file, row.pathGiven.c_str());
        EXPECT_EQ(row.trust, signature.trust) << std::hex << signature.trust;
        EXPECT_EQ(row.signer, signature.signer);
        EXPECT_EQ(row.mayRun, SetupMayRun(file, row.pathGiven.c_str(), publisher.c_str()));
        // A name that only differs in letter case, or is a part of the
        // signer's, is another name.
        EXPECT_FALSE(SetupMayRun(file, row.pathGiven.c_str(), L"vozeror software"));
        EXPECT_FALSE(SetupMayRun(file, row.pathGiven.c_str(), L"Someone"));
        // An empty publisher is the check turned off.
        EXPECT_TRUE(SetupMayRun(file, row.pathGiven.c_str(), L""));
        CloseHandle(file);
    }
}
