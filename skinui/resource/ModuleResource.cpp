#include "skinui/resource/ModuleResource.h"

#include <stdlib.h>
#include <string.h>

namespace SkinUI {

bool FindModuleResource(HMODULE hModule, LPCTSTR name, LPCTSTR type, const BYTE** ppData, DWORD* pdwSize)
{
    *ppData = nullptr;
    *pdwSize = 0;
    HRSRC hResource = ::FindResourceW(hModule, name, type);
    if (hResource == nullptr) return false;
    HGLOBAL hGlobal = ::LoadResource(hModule, hResource);
    if (hGlobal == nullptr) return false;
    const DWORD dwSize = ::SizeofResource(hModule, hResource);
    // Resources of a loaded module need no unlocking or freeing.
    const BYTE* pData = static_cast<const BYTE*>(::LockResource(hGlobal));
    if (pData == nullptr || dwSize == 0) return false;
    *ppData = pData;
    *pdwSize = dwSize;
    return true;
}

BYTE* CopyModuleResource(HMODULE hModule, LPCTSTR name, LPCTSTR type, DWORD dwMaxSize, DWORD* pdwSize)
{
    *pdwSize = 0;
    const BYTE* pData = nullptr;
    DWORD dwSize = 0;
    if (!FindModuleResource(hModule, name, type, &pData, &dwSize) || dwSize > dwMaxSize) return nullptr;
    BYTE* pCopy = static_cast<BYTE*>(malloc(dwSize));
    if (pCopy == nullptr) return nullptr;
    memcpy(pCopy, pData, dwSize);
    *pdwSize = dwSize;
    return pCopy;
}

}  // namespace SkinUI
