#include "tests/support/SignedSetups.h"

#include "tests/support/TempFolder.h"

#include <windows.h>

namespace TestSupport {

namespace {

// Inside the DOS stub's message, far from the checksum and the certificate
// table, the only parts of a PE the digest leaves out.
const size_t kTamperedOffset = 0x50;

std::wstring MakeTampered(const std::wstring& signedPath, const std::wstring& path)
{
    std::string bytes;
    if (!ReadWholeFile(AnsiFromWide(signedPath), bytes) || bytes.size() <= kTamperedOffset) return path;
    bytes[kTamperedOffset] = char(bytes[kTamperedOffset] ^ 0x20);
    // Written beside and moved into place, so a reader never sees half a file.
    std::wstring part = path + L".part";
    if (WriteWholeFile(AnsiFromWide(part), bytes))
        MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    return path;
}

}  // namespace

std::wstring StandInSetup(SetupForm form)
{
    const std::wstring dir = TestBinDir();
    switch (form) {
    case kSignedByPublisher:
        return dir + L"fake_setup.exe";
    case kUnsigned:
        return dir + L"fake_setup_unsigned.exe";
    case kSignedByOther:
        return dir + L"fake_setup_other.exe";
    case kTampered:
        return MakeTampered(dir + L"fake_setup.exe", dir + L"fake_setup_tampered.exe");
    }
    return std::wstring();
}

const char* SetupFormName(SetupForm form)
{
    switch (form) {
    case kSignedByPublisher:
        return "signed by the publisher";
    case kUnsigned:
        return "unsigned";
    case kSignedByOther:
        return "signed by another name";
    case kTampered:
        return "signed, then one byte changed";
    }
    return "?";
}

std::wstring TestSigner()
{
    wchar_t name[256] = {};
    MultiByteToWideChar(CP_UTF8, 0, VOZEROR_TEST_SIGNER, -1, name, 256);
    return name;
}

}  // namespace TestSupport
