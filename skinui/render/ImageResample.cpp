#include "skinui/render/ImageResample.h"

#include "skinui/render/MemoryDib.h"

#include <cmath>
#include <cwchar>
#include <new>
#include <vector>

namespace SkinUI {

const int kArtScales[] = {100, 125, 150, 175, 200, 250, 300, 400};
const int kArtScaleCount = sizeof(kArtScales) / sizeof(kArtScales[0]);

int ScaleOfImageName(LPCTSTR name)
{
    if (name == nullptr) return 0;
    int scale = 0;
    for (LPCTSTR p = wcschr(name, L'@'); p != nullptr; p = wcschr(p + 1, L'@')) {
        int value = 0;
        LPCTSTR q = p + 1;
        while (*q >= L'0' && *q <= L'9' && value < 100000) value = value * 10 + (*q++ - L'0');
        if (q > p + 1 && *q == L'.' && value > 0) scale = value;
    }
    return scale;
}

CUIString ImageNameForScale(LPCTSTR name, int from, int to)
{
    CUIString sFrom;
    sFrom.SmallFormat(L"@%d.", from);
    CUIString sTo = L".";
    if (to != 100) sTo.SmallFormat(L"@%d.", to);
    CUIString sName = name;
    sName.Replace(sFrom, sTo);
    return sName;
}

namespace {

const UINT64 kMaxPixels = 16u * 1024u * 1024u;

// One output position's taps: first source index and weights summing to 1.
struct TTaps
{
    int first = 0;
    std::vector<float> weights;
};

// Triangle filter of radius max(1, source / target) around each output
// pixel's centre, mapped into the source; taps beyond the edges are dropped
// and the rest renormalised.
std::vector<TTaps> MakeTaps(int source, int target)
{
    std::vector<TTaps> taps(static_cast<size_t>(target));
    const double ratio = static_cast<double>(source) / target;
    const double radius = ratio > 1.0 ? ratio : 1.0;
    for (int i = 0; i < target; ++i) {
        const double centre = (i + 0.5) * ratio - 0.5;
        int lo = static_cast<int>(std::floor(centre - radius)) + 1;
        int hi = static_cast<int>(std::ceil(centre + radius)) - 1;
        if (lo < 0) lo = 0;
        if (hi > source - 1) hi = source - 1;
        if (hi < lo) lo = hi = centre < 0 ? 0 : source - 1;
        TTaps& t = taps[static_cast<size_t>(i)];
        t.first = lo;
        double sum = 0;
        for (int k = lo; k <= hi; ++k) {
            double w = 1.0 - std::fabs(k - centre) / radius;
            if (w < 0) w = 0;
            t.weights.push_back(static_cast<float>(w));
            sum += w;
        }
        if (sum <= 0) {
            t.weights.assign(1, 1.0f);
            t.first = lo;
            continue;
        }
        for (float& w : t.weights) w = static_cast<float>(w / sum);
    }
    return taps;
}

// The pixels of an image as the loader made them: 32-bit, top-down.
bool ReadPixels(const TImageInfo& image, std::vector<DWORD>& pixels)
{
    if (image.hBitmap == nullptr || image.nX <= 0 || image.nY <= 0) return false;
    pixels.resize(static_cast<size_t>(image.nX) * image.nY);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = image.nX;
    bmi.bmiHeader.biHeight = -image.nY;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    HDC hDC = ::GetDC(nullptr);
    const int rows =
        ::GetDIBits(hDC, image.hBitmap, 0, static_cast<UINT>(image.nY), &pixels[0], &bmi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hDC);
    return rows == image.nY;
}

}  // namespace

namespace {

TImageInfo* Resample(const TImageInfo& source, int nWidth, int nHeight)
{
    // The loader's own limit on decoded images (16 Mi pixels) holds for the
    // made ones too, so that a large image at 400 % cannot ask for gigabytes.
    if (nWidth <= 0 || nHeight <= 0 ||
        static_cast<UINT64>(nWidth) * static_cast<UINT64>(nHeight) > kMaxPixels)
        return nullptr;
    std::vector<DWORD> src;
    if (!ReadPixels(source, src)) return nullptr;
    const int sw = source.nX;
    const int sh = source.nY;
    const std::vector<TTaps> xTaps = MakeTaps(sw, nWidth);
    const std::vector<TTaps> yTaps = MakeTaps(sh, nHeight);

    // Horizontal pass into floats (4 channels), then vertical into the DIB.
    std::vector<float> rows(static_cast<size_t>(nWidth) * sh * 4);
    for (int y = 0; y < sh; ++y) {
        const DWORD* pRow = &src[static_cast<size_t>(y) * sw];
        float* pOut = &rows[static_cast<size_t>(y) * nWidth * 4];
        for (int x = 0; x < nWidth; ++x, pOut += 4) {
            const TTaps& t = xTaps[static_cast<size_t>(x)];
            float c[4] = {0, 0, 0, 0};
            for (size_t k = 0; k < t.weights.size(); ++k) {
                const DWORD p = pRow[t.first + static_cast<int>(k)];
                const float w = t.weights[k];
                for (int ch = 0; ch < 4; ++ch) c[ch] += w * static_cast<float>((p >> (8 * ch)) & 0xFF);
            }
            for (int ch = 0; ch < 4; ++ch) pOut[ch] = c[ch];
        }
    }

    BYTE* pBits = nullptr;
    HBITMAP hBitmap = CMemoryDib::CreateBitmap(nullptr, nWidth, nHeight, true, &pBits);
    if (hBitmap == nullptr) return nullptr;
    DWORD* pDest = reinterpret_cast<DWORD*>(pBits);
    bool bAlpha = false;
    for (int y = 0; y < nHeight; ++y) {
        const TTaps& t = yTaps[static_cast<size_t>(y)];
        for (int x = 0; x < nWidth; ++x) {
            float c[4] = {0, 0, 0, 0};
            for (size_t k = 0; k < t.weights.size(); ++k) {
                const float* p = &rows[(static_cast<size_t>(t.first + static_cast<int>(k)) * nWidth + x) * 4];
                const float w = t.weights[k];
                for (int ch = 0; ch < 4; ++ch) c[ch] += w * p[ch];
            }
            // Rounded and kept premultiplied: no colour above its alpha.
            DWORD v[4];
            for (int ch = 0; ch < 4; ++ch) {
                const float f = c[ch] + 0.5f;
                v[ch] = f <= 0 ? 0 : (f >= 255 ? 255 : static_cast<DWORD>(f));
            }
            for (int ch = 0; ch < 3; ++ch)
                if (v[ch] > v[3]) v[ch] = v[3];
            if (v[3] != 255) bAlpha = true;
            pDest[static_cast<size_t>(y) * nWidth + x] = v[3] << 24 | v[2] << 16 | v[1] << 8 | v[0];
        }
    }

    TImageInfo* pInfo = new (std::nothrow) TImageInfo;
    if (pInfo == nullptr) {
        ::DeleteObject(hBitmap);
        return nullptr;
    }
    pInfo->hBitmap = hBitmap;
    pInfo->nX = nWidth;
    pInfo->nY = nHeight;
    pInfo->bAlpha = bAlpha || source.bAlpha;
    return pInfo;
}

}  // namespace

// The working buffers are standard containers: without memory for them the
// result is null, as for every other failure.
TImageInfo* ResampleImage(const TImageInfo& source, int nWidth, int nHeight)
{
    try {
        return Resample(source, nWidth, nHeight);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace SkinUI
