#include "launcher/SetupSignature.h"

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <vector>

// wintrust.dll and crypt32.dll are delay-loaded (launcher/CMakeLists.txt):
// the first check loads them, from the system folder.

namespace Launcher {

namespace {

std::wstring CommonName(PCCERT_CONTEXT cert)
{
    // CERT_NAME_ATTR_TYPE takes the attribute's OID as a narrow string.
    void* oid = const_cast<char*>(szOID_COMMON_NAME);
    DWORD units = CertGetNameStringW(cert, CERT_NAME_ATTR_TYPE, 0, oid, nullptr, 0);
    if (units <= 1) return std::wstring();
    std::vector<wchar_t> name(units, L'\0');
    CertGetNameStringW(cert, CERT_NAME_ATTR_TYPE, 0, oid, name.data(), units);
    return std::wstring(name.data());
}

// The primary signer's own certificate, the first of its chain.
std::wstring SignerName(HANDLE state)
{
    CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(state);
    if (provider == nullptr) return std::wstring();
    CRYPT_PROVIDER_SGNR* signer = WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
    if (signer == nullptr || signer->csCertChain == 0 || signer->pasCertChain == nullptr ||
        signer->pasCertChain[0].pCert == nullptr)
        return std::wstring();
    return CommonName(signer->pasCertChain[0].pCert);
}

}  // namespace

SetupSignature ReadSetupSignature(HANDLE file, const wchar_t* path)
{
    SetupSignature result = {TRUST_E_NOSIGNATURE, std::wstring()};
    if (file == nullptr || file == INVALID_HANDLE_VALUE || path == nullptr) return result;

    WINTRUST_FILE_INFO fileInfo = {};
    fileInfo.cbStruct = sizeof(fileInfo);
    fileInfo.pcwszFilePath = path;
    fileInfo.hFile = file;
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_REVOCATION_CHECK_NONE;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    // INVALID_HANDLE_VALUE as the window: there is no interactive user to ask.
    HWND noUser = static_cast<HWND>(INVALID_HANDLE_VALUE);

    result.trust = WinVerifyTrust(noUser, &action, &data);
    if (result.trust == 0) result.signer = SignerName(data.hWVTStateData);
    // The state of a verification is released whatever its outcome.
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(noUser, &action, &data);
    return result;
}

bool SetupMayRun(HANDLE file, const wchar_t* path, const wchar_t* publisher)
{
    if (publisher == nullptr || publisher[0] == L'\0') return true;
    SetupSignature signature = ReadSetupSignature(file, path);
    return signature.trust == 0 && signature.signer == publisher;
}

}  // namespace Launcher
