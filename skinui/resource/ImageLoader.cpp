#include "skinui/render/RenderEngine.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/MemoryDib.h"
#include "skinui/resource/ModuleResource.h"
#include "skinui/resource/ResourceManager.h"
#include "skinui/resource/SkinPackage.h"

#include <stdlib.h>
#include <string.h>

#include <new>

// stb_image is compiled here, once for the whole engine, with its own
// allocation routed through malloc so that stbi_image_free matches. Skins
// carry PNG images (BMP is read too); the other decoders would only add to
// the program's size.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#if defined(__GNUC__)
#pragma GCC diagnostic push
// The library's own code, not ours: its switch fall-throughs and unused
// helpers would otherwise drown the build's warnings.
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#elif defined(_MSC_VER)
#pragma warning(push, 0)  // the same for MSVC's /W4
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#elif defined(_MSC_VER)
#pragma warning(pop)
#endif

// Sections: byte sources (module resource, loose file, skin package), decoding
// into a premultiplied DIB section, the three LoadImageW forms, FreeImage.

namespace SkinUI {

namespace {

// Image files above this size are not read; no skin image comes near it.
const DWORD kMaxImageFileSize = 32 * 1024 * 1024;
// Images of more pixels are refused before decoding allocates for them
// (16 M pixels: 64 MiB of RGBA, e.g. 4096 x 4096).
const UINT64 kMaxImagePixels = 16u * 1024u * 1024u;

struct TBytes
{
    BYTE* pData = nullptr;
    DWORD dwSize = 0;
};

void Discard(TBytes& bytes)
{
    free(bytes.pData);
    bytes.pData = nullptr;
    bytes.dwSize = 0;
}

// ---- Byte sources -------------------------------------------------------------
bool ReadResourceBytes(STRINGorID image, LPCTSTR type, HINSTANCE instance, TBytes& bytes)
{
    HINSTANCE hModule = instance != nullptr ? instance : CPaintManagerUI::GetResourceDll();
    bytes.pData = CopyModuleResource(hModule, image.m_lpstr, type, kMaxImageFileSize, &bytes.dwSize);
    return bytes.pData != nullptr;
}

bool ReadFileBytes(LPCTSTR path, TBytes& bytes)
{
    HANDLE hFile = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return false;
    DWORD dwHigh = 0;
    const DWORD dwSize = ::GetFileSize(hFile, &dwHigh);
    bool bOk = false;
    if (dwSize != INVALID_FILE_SIZE && dwHigh == 0 && dwSize > 0 && dwSize <= kMaxImageFileSize &&
        (bytes.pData = static_cast<BYTE*>(malloc(dwSize))) != nullptr) {
        DWORD dwRead = 0;
        if (::ReadFile(hFile, bytes.pData, dwSize, &dwRead, nullptr) && dwRead == dwSize) {
            bytes.dwSize = dwSize;
            bOk = true;
        } else {
            Discard(bytes);
        }
    }
    ::CloseHandle(hFile);
    return bOk;
}

bool ReadPackageBytes(LPCTSTR name, TBytes& bytes)
{
    bool bOwnPackage = false;
    HANDLE hPackage = CPaintManagerUI::OpenResourceZip(bOwnPackage);
    if (hPackage == nullptr) return false;
    int iIndex = -1;
    TSkinPackageEntry entry;
    if (SkinPackageFind(hPackage, name, true, &iIndex, &entry) == SKINPKG_OK && entry.unpackedSize > 0 &&
        entry.unpackedSize <= kMaxImageFileSize &&
        (bytes.pData = static_cast<BYTE*>(malloc(entry.unpackedSize))) != nullptr) {
        const DWORD dwResult = SkinPackageUnpack(hPackage, iIndex, bytes.pData, entry.unpackedSize);
        if (dwResult == SKINPKG_OK || dwResult == SKINPKG_MORE)
            bytes.dwSize = entry.unpackedSize;
        else
            Discard(bytes);
    }
    if (bOwnPackage) SkinPackageClose(hPackage);
    return bytes.pData != nullptr;
}

// ---- Decoding ------------------------------------------------------------------
// stb_image grows its buffer to a PNG chunk's announced length before reading
// the chunk, so a damaged length would cost up to 1 GiB of address space.
// A PNG whose chunks do not lie inside the data is refused first.
bool PngChunksFit(const BYTE* pData, DWORD dwSize)
{
    static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (dwSize < 8 || memcmp(pData, kSignature, 8) != 0) return true;  // not a PNG
    DWORD pos = 8;
    while (dwSize - pos >= 12) {
        const BYTE* p = pData + pos;
        const DWORD dwLength = ((DWORD)p[0] << 24) | ((DWORD)p[1] << 16) | ((DWORD)p[2] << 8) | p[3];
        if (dwLength > dwSize - pos - 12) return false;
        if (memcmp(p + 4, "IEND", 4) == 0) return true;
        pos += 12 + dwLength;
    }
    return false;
}

// Pixels become B G R A premultiplied by A; a finished pixel equal to the
// colour key (0xAARRGGBB) becomes fully transparent.
TImageInfo* Decode(const TBytes& bytes, DWORD mask)
{
    if (bytes.dwSize > 0x7FFFFFFF || !PngChunksFit(bytes.pData, bytes.dwSize)) return nullptr;
    int nWidth = 0, nHeight = 0, nChannels = 0;
    if (!stbi_info_from_memory(bytes.pData, (int)bytes.dwSize, &nWidth, &nHeight, &nChannels)) return nullptr;
    if (nWidth <= 0 || nHeight <= 0 || (UINT64)nWidth * (UINT64)nHeight > kMaxImagePixels) return nullptr;
    int nX = 0, nY = 0;
    stbi_uc* pImage = stbi_load_from_memory(bytes.pData, (int)bytes.dwSize, &nX, &nY, &nChannels, 4);
    if (pImage == nullptr) return nullptr;
    if (nX != nWidth || nY != nHeight) {
        stbi_image_free(pImage);
        return nullptr;
    }

    BYTE* pDest = nullptr;
    HBITMAP hBitmap = CMemoryDib::CreateBitmap(nullptr, nX, nY, true, &pDest);
    if (hBitmap == nullptr) {
        stbi_image_free(pImage);
        return nullptr;
    }

    // One 32-bit store a pixel; the DIB's bits are DWORD-aligned.
    bool bAlpha = false;
    const SIZE_T nPixels = (SIZE_T)nX * (SIZE_T)nY;
    const BYTE* pSrc = pImage;
    DWORD* pOut = reinterpret_cast<DWORD*>(pDest);
    for (SIZE_T i = 0; i < nPixels; ++i, pSrc += 4) {
        const DWORD r = pSrc[0], g = pSrc[1], b = pSrc[2], a = pSrc[3];
        DWORD dwPixel;
        if (a == 255) {
            dwPixel = 0xFF000000 | (r << 16) | (g << 8) | b;
        } else {
            dwPixel = (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
            bAlpha = true;
        }
        if (dwPixel == mask) {
            dwPixel = 0;
            bAlpha = true;
        }
        pOut[i] = dwPixel;
    }
    stbi_image_free(pImage);

    TImageInfo* pInfo = new (std::nothrow) TImageInfo;
    if (pInfo == nullptr) {
        ::DeleteObject(hBitmap);
        return nullptr;
    }
    pInfo->hBitmap = hBitmap;
    pInfo->nX = nX;
    pInfo->nY = nY;
    pInfo->bAlpha = bAlpha;
    return pInfo;
}

}  // namespace

// ---- LoadImageW ------------------------------------------------------------------
// With a type: a module resource. Without: the skin package when one is set,
// else the resource folder. Failing that, the name as a plain path.
TImageInfo* CRenderEngine::LoadImageW(STRINGorID bitmap, LPCTSTR type, DWORD mask, HINSTANCE instance)
{
    TBytes bytes;
    if (type != nullptr) {
        ReadResourceBytes(bitmap, type, instance, bytes);
    } else if (!bitmap.IsResourceId() && bitmap.m_lpstr != nullptr) {
        if (CPaintManagerUI::GetResourceZip().IsEmpty()) {
            const CUIString sFile = CPaintManagerUI::GetResourcePath() + bitmap.m_lpstr;
            ReadFileBytes(sFile.GetData(), bytes);
        } else {
            ReadPackageBytes(bitmap.m_lpstr, bytes);
        }
    }
    if (bytes.pData == nullptr && !bitmap.IsResourceId() && bitmap.m_lpstr != nullptr)
        ReadFileBytes(bitmap.m_lpstr, bytes);
    if (bytes.pData == nullptr) return nullptr;
    TImageInfo* pInfo = Decode(bytes, mask);
    Discard(bytes);
    return pInfo;
}

TImageInfo* CRenderEngine::LoadImageW(LPCTSTR bitmap, LPCTSTR type, DWORD mask, HINSTANCE instance)
{
    if (type == nullptr && bitmap != nullptr && !IS_INTRESOURCE(bitmap)) {
        CResourceManager* pManager = CResourceManager::GetInstance();
        LPCTSTR pstrPath = pManager != nullptr ? pManager->GetImagePath(bitmap) : nullptr;
        if (pstrPath != nullptr) bitmap = pstrPath;
    }
    return LoadImageW(STRINGorID(bitmap), type, mask, instance);
}

TImageInfo* CRenderEngine::LoadImageW(UINT nID, LPCTSTR type, DWORD mask, HINSTANCE instance)
{
    return LoadImageW(STRINGorID(nID), type, mask, instance);
}

// ---- FreeImage -------------------------------------------------------------------
// The pixel buffers are allocated with new BYTE[] by whoever fills them.
void CRenderEngine::FreeImage(TImageInfo* bitmap, bool bDelete)
{
    if (bitmap == nullptr) return;
    if (bitmap->hBitmap != nullptr) ::DeleteObject(bitmap->hBitmap);
    bitmap->hBitmap = nullptr;
    delete[] bitmap->pBits;
    bitmap->pBits = nullptr;
    delete[] bitmap->pSrcBits;
    bitmap->pSrcBits = nullptr;
    if (bDelete) delete bitmap;
}

}  // namespace SkinUI
