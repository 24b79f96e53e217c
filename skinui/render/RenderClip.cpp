#include "skinui/render/RenderClip.h"

namespace SkinUI {

CRenderClip::~CRenderClip()
{
    Release();
}

void CRenderClip::Release()
{
    if (m_hDC != nullptr && m_hOldRgn != nullptr) ::SelectClipRgn(m_hDC, m_hOldRgn);
    if (m_hOldRgn != nullptr) ::DeleteObject(m_hOldRgn);
    if (m_hRgn != nullptr) ::DeleteObject(m_hRgn);
    m_hOldRgn = nullptr;
    m_hRgn = nullptr;
    m_hDC = nullptr;
}

void CRenderClip::Begin(HDC hDC, RECT rc, CRenderClip& clip)
{
    clip.Release();
    RECT rcClip = {0, 0, 0, 0};
    ::GetClipBox(hDC, &rcClip);
    clip.m_hOldRgn = ::CreateRectRgnIndirect(&rcClip);
    clip.m_hRgn = ::CreateRectRgnIndirect(&rc);
    clip.m_hDC = hDC;
    clip.m_rcItem = rc;
}

void CRenderClip::GenerateClip(HDC hDC, RECT rc, CRenderClip& clip)
{
    Begin(hDC, rc, clip);
    if (clip.m_hRgn != nullptr) ::ExtSelectClipRgn(hDC, clip.m_hRgn, RGN_AND);
}

void CRenderClip::GenerateRoundClip(HDC hDC, RECT rc, RECT rcItem, int width, int height, CRenderClip& clip)
{
    Begin(hDC, rc, clip);
    if (clip.m_hRgn == nullptr) return;
    HRGN hRgnItem =
        ::CreateRoundRectRgn(rcItem.left, rcItem.top, rcItem.right + 1, rcItem.bottom + 1, width, height);
    if (hRgnItem != nullptr) {
        ::CombineRgn(clip.m_hRgn, clip.m_hRgn, hRgnItem, RGN_AND);
        ::DeleteObject(hRgnItem);
    }
    ::ExtSelectClipRgn(hDC, clip.m_hRgn, RGN_AND);
}

void CRenderClip::UseOldClipBegin(HDC hDC, CRenderClip& clip)
{
    if (clip.m_hOldRgn != nullptr) ::SelectClipRgn(hDC, clip.m_hOldRgn);
}

// The narrowed region is intersected into the old clip again rather than
// selected alone, so that painting stays inside the clip the DC had before.
void CRenderClip::UseOldClipEnd(HDC hDC, CRenderClip& clip)
{
    if (clip.m_hRgn == nullptr) return;
    if (clip.m_hOldRgn != nullptr) ::SelectClipRgn(hDC, clip.m_hOldRgn);
    ::ExtSelectClipRgn(hDC, clip.m_hRgn, RGN_AND);
}

}  // namespace SkinUI
