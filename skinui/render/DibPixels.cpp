#include "skinui/render/DibPixels.h"

#include <string.h>

#if defined(_M_IX86) || defined(_M_X64) || defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define SKINUI_HAVE_SSE2_HEADER 1
#endif

// Sections: the blend arithmetic, alpha repair and fill spans (scalar and
// SSE2), attaching (DIB, mapping, clip), Blend, FillOpaque.

namespace SkinUI {

namespace {

// ---- The blend arithmetic --------------------------------------------------
// AlphaBlend's premultiplied source-over per channel:
//   result = source + (destination * (255 - source alpha) + 127) / 255
// saturated at 255. (v + 127) / 255 equals (t + (t >> 8) + 1) >> 8 with
// t = v + 127 for every v up to 255 * 255, which is what the SSE2 path uses.

inline DWORD Div255(DWORD v)
{
    const DWORD t = v + 127;
    return (t + (t >> 8) + 1) >> 8;
}

inline DWORD BlendPixel(DWORD d, DWORD s)
{
    const DWORD a = s >> 24;
    if (a == 255) return s;
    if (s == 0) return d;
    const DWORD keep = 255 - a;
    DWORD result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        DWORD c = ((s >> shift) & 0xFF) + Div255(((d >> shift) & 0xFF) * keep);
        if (c > 255) c = 255;
        result |= c << shift;
    }
    return result;
}

// The source scaled by a constant alpha first, every channel alike.
inline DWORD ScalePixel(DWORD s, DWORD constant)
{
    DWORD result = 0;
    for (int shift = 0; shift < 32; shift += 8) result |= Div255(((s >> shift) & 0xFF) * constant) << shift;
    return result;
}

void BlendSpanScalar(DWORD* pDst, const DWORD* pSrc, int n)
{
    for (int i = 0; i < n; ++i) pDst[i] = BlendPixel(pDst[i], pSrc[i]);
}

#if defined(SKINUI_HAVE_SSE2_HEADER)
#if defined(__GNUC__) && !defined(__SSE2__)
#define SKINUI_SSE2_FUNCTION __attribute__((target("sse2")))
#else
#define SKINUI_SSE2_FUNCTION
#endif

// Four pixels at a time; runs of opaque or empty source pixels, the bulk of
// skin images, are stored or skipped without arithmetic.
SKINUI_SSE2_FUNCTION void BlendSpanSse2(DWORD* pDst, const DWORD* pSrc, int n)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i c255 = _mm_set1_epi32(255);
    const __m128i c127 = _mm_set1_epi16(127);
    const __m128i c1 = _mm_set1_epi16(1);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc + i));
        const __m128i sa = _mm_and_si128(s, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, alphaMask)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + i), s);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, zero)) == 0xFFFF) continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pDst + i));
        const __m128i keep32 = _mm_sub_epi32(c255, _mm_srli_epi32(s, 24));
        const __m128i keep = _mm_or_si128(keep32, _mm_slli_epi32(keep32, 16));
        __m128i lo = _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi32(keep, keep));
        __m128i hi = _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi32(keep, keep));
        lo = _mm_add_epi16(lo, c127);
        hi = _mm_add_epi16(hi, c127);
        lo = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(lo, _mm_srli_epi16(lo, 8)), c1), 8);
        hi = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(hi, _mm_srli_epi16(hi, 8)), c1), 8);
        const __m128i kept = _mm_packus_epi16(lo, hi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + i), _mm_adds_epu8(kept, s));
    }
    BlendSpanScalar(pDst + i, pSrc + i, n - i);
}

bool HasSse2()
{
#if defined(_M_X64) || defined(__x86_64__)
    return true;
#else
    static const bool bSse2 = ::IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE;
    return bSse2;
#endif
}
#endif

// The span routine NameSse2 where the processor has SSE2, else NameScalar.
#if defined(SKINUI_HAVE_SSE2_HEADER)
#define SKINUI_SPAN_ROUTINE(Name) (HasSse2() ? Name##Sse2 : Name##Scalar)
#else
#define SKINUI_SPAN_ROUTINE(Name) Name##Scalar
#endif

void BlendSpan(DWORD* pDst, const DWORD* pSrc, int n)
{
    SKINUI_SPAN_ROUTINE(BlendSpan)(pDst, pSrc, n);
}

void OpaqueWhereColouredScalar(DWORD* p, int n)
{
    for (int i = 0; i < n; ++i)
        if ((p[i] & 0xFF000000) == 0 && p[i] != 0) p[i] |= 0xFF000000;
}

#if defined(SKINUI_HAVE_SSE2_HEADER)
SKINUI_SSE2_FUNCTION void OpaqueWhereColouredSse2(DWORD* p, int n)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i noAlpha = _mm_cmpeq_epi32(_mm_and_si128(v, alphaMask), zero);
        const __m128i empty = _mm_cmpeq_epi32(v, zero);
        const __m128i fix = _mm_and_si128(_mm_andnot_si128(empty, noAlpha), alphaMask);
        // Most pixels need nothing; their memory is left unwritten.
        if (_mm_movemask_epi8(fix) != 0)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), _mm_or_si128(v, fix));
    }
    OpaqueWhereColouredScalar(p + i, n - i);
}
#endif

void FillSpanScalar(DWORD* p, int n, DWORD dwColor)
{
    for (int i = 0; i < n; ++i) p[i] = dwColor;
}

#if defined(SKINUI_HAVE_SSE2_HEADER)
SKINUI_SSE2_FUNCTION void FillSpanSse2(DWORD* p, int n, DWORD dwColor)
{
    const __m128i v = _mm_set1_epi32(static_cast<int>(dwColor));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i + 4), v);
    }
    FillSpanScalar(p + i, n - i, dwColor);
}
#endif

void FillSpan(DWORD* p, int n, DWORD dwColor)
{
    SKINUI_SPAN_ROUTINE(FillSpan)(p, n, dwColor);
}

void BlendSpanConstant(DWORD* pDst, const DWORD* pSrc, int n, DWORD constant)
{
    for (int i = 0; i < n; ++i) pDst[i] = BlendPixel(pDst[i], ScalePixel(pSrc[i], constant));
}

}  // namespace

void CDibPixels::OpaqueWhereColoured(DWORD* pPixels, int n)
{
    SKINUI_SPAN_ROUTINE(OpaqueWhereColoured)(pPixels, n);
}

// ---- Attaching ----------------------------------------------------------------

bool CDibPixels::AttachBitmap(HBITMAP hBitmap)
{
    m_pBits = nullptr;
    m_nWidth = m_nHeight = m_nStride = 0;
    m_nClipRects = -1;
    m_ptOffset.x = m_ptOffset.y = 0;
    if (hBitmap == nullptr) return false;
    DIBSECTION ds;
    memset(&ds, 0, sizeof(ds));
    if (::GetObjectW(hBitmap, sizeof(ds), &ds) != static_cast<int>(sizeof(ds))) return false;
    if (ds.dsBm.bmBits == nullptr || ds.dsBm.bmBitsPixel != 32 || ds.dsBmih.biCompression != BI_RGB ||
        ds.dsBm.bmWidth <= 0 || ds.dsBm.bmHeight <= 0) {
        return false;
    }
    m_nWidth = ds.dsBm.bmWidth;
    m_nHeight = ds.dsBm.bmHeight;
    m_nStride = ds.dsBm.bmWidthBytes;
    BYTE* pBits = static_cast<BYTE*>(ds.dsBm.bmBits);
    // The header GetObject returns does not keep the sign of the height, so
    // the row order is asked of the bitmap: GetBitmapBits starts with the
    // top row. The first stored pixel is changed for a moment; when the top
    // row's first pixel changes with it, the bitmap is stored top down.
    DWORD first = 0, before = 0, after = 0;
    ::GdiFlush();
    memcpy(&first, pBits, sizeof(first));
    if (::GetBitmapBits(hBitmap, sizeof(before), &before) != sizeof(before)) return false;
    const DWORD probe = first ^ 0x01010101u;
    memcpy(pBits, &probe, sizeof(probe));
    const LONG got = ::GetBitmapBits(hBitmap, sizeof(after), &after);
    memcpy(pBits, &first, sizeof(first));
    if (got != sizeof(after)) return false;
    m_bBottomUp = after == before;
    m_pBits = pBits;
    return true;
}

bool CDibPixels::Attach(HDC hDC)
{
    m_pBits = nullptr;
    if (hDC == nullptr || ::GetObjectType(hDC) != OBJ_MEMDC) return false;
    if (::GetMapMode(hDC) != MM_TEXT || ::GetGraphicsMode(hDC) != GM_COMPATIBLE || ::GetLayout(hDC) != 0) {
        return false;
    }
    if (!AttachBitmap(static_cast<HBITMAP>(::GetCurrentObject(hDC, OBJ_BITMAP)))) return false;
    POINT pt = {0, 0};
    if (!::LPtoDP(hDC, &pt, 1)) {
        m_pBits = nullptr;
        return false;
    }
    m_ptOffset = pt;

    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    if (hRgn == nullptr) {
        m_pBits = nullptr;
        return false;
    }
    bool bOk = false;
    // A meta region would narrow the clip further; the engine sets none, so
    // a DC with one is left to GDI.
    if (::GetMetaRgn(hDC, hRgn) == 0) {
        const int nClip = ::GetClipRgn(hDC, hRgn);
        if (nClip == 0) {
            m_nClipRects = -1;
            bOk = true;
        } else if (nClip == 1) {
            struct
            {
                RGNDATAHEADER header;
                RECT rects[kMaxClipRects];
            } data;
            const DWORD dwNeeded = ::GetRegionData(hRgn, 0, nullptr);
            if (dwNeeded != 0 && dwNeeded <= sizeof(data) &&
                ::GetRegionData(hRgn, sizeof(data), reinterpret_cast<RGNDATA*>(&data)) != 0 &&
                data.header.iType == RDH_RECTANGLES && data.header.nCount <= kMaxClipRects) {
                m_nClipRects = static_cast<int>(data.header.nCount);
                memcpy(m_rcClip, data.rects, sizeof(RECT) * data.header.nCount);
                bOk = true;
            }
        }
    }
    ::DeleteObject(hRgn);
    if (!bOk) {
        m_pBits = nullptr;
        return false;
    }
    // Pixels are about to be written past GDI's back.
    ::GdiFlush();
    return true;
}

DWORD* CDibPixels::Row(int y) const
{
    const int row = m_bBottomUp ? m_nHeight - 1 - y : y;
    return reinterpret_cast<DWORD*>(m_pBits + static_cast<size_t>(row) * static_cast<size_t>(m_nStride));
}

bool CDibPixels::ToDevice(int x, int y, int cx, int cy, RECT& rcDevice) const
{
    rcDevice.left = x + m_ptOffset.x;
    rcDevice.top = y + m_ptOffset.y;
    rcDevice.right = rcDevice.left + cx;
    rcDevice.bottom = rcDevice.top + cy;
    RECT rcBits = {0, 0, m_nWidth, m_nHeight};
    return ::IntersectRect(&rcDevice, &rcDevice, &rcBits) != FALSE;
}

// ---- Blend and FillOpaque ---------------------------------------------------------

bool CDibPixels::Blend(int x, int y, int cx, int cy, const CDibPixels& source, int sx, int sy,
                       BYTE uConstant) const
{
    if (m_pBits == nullptr || !source.IsAttached() || cx <= 0 || cy <= 0) return false;
    if (sx < 0 || sy < 0 || cx > source.m_nWidth - sx || cy > source.m_nHeight - sy) return false;
    RECT rcDest;
    if (!ToDevice(x, y, cx, cy, rcDest)) return true;
    // Device position of the source part's first pixel.
    const int originX = x + m_ptOffset.x;
    const int originY = y + m_ptOffset.y;
    const int nRects = m_nClipRects < 0 ? 1 : m_nClipRects;
    for (int r = 0; r < nRects; ++r) {
        RECT rcPart = rcDest;
        if (m_nClipRects >= 0 && !::IntersectRect(&rcPart, &rcDest, &m_rcClip[r])) continue;
        const int width = rcPart.right - rcPart.left;
        for (int row = rcPart.top; row < rcPart.bottom; ++row) {
            DWORD* pDst = Row(row) + rcPart.left;
            const DWORD* pSrc = source.Row(sy + row - originY) + sx + rcPart.left - originX;
            if (uConstant == 255)
                BlendSpan(pDst, pSrc, width);
            else
                BlendSpanConstant(pDst, pSrc, width, uConstant);
        }
    }
    return true;
}

void CDibPixels::FillOpaque(const RECT& rc, DWORD dwColor) const
{
    if (m_pBits == nullptr || rc.right <= rc.left || rc.bottom <= rc.top) return;
    RECT rcDest;
    if (!ToDevice(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, rcDest)) return;
    const int nRects = m_nClipRects < 0 ? 1 : m_nClipRects;
    for (int r = 0; r < nRects; ++r) {
        RECT rcPart = rcDest;
        if (m_nClipRects >= 0 && !::IntersectRect(&rcPart, &rcDest, &m_rcClip[r])) continue;
        for (int row = rcPart.top; row < rcPart.bottom; ++row)
            FillSpan(Row(row) + rcPart.left, rcPart.right - rcPart.left, dwColor);
    }
}

}  // namespace SkinUI
