#pragma once
// CRenderClip: narrows a DC's clip region for one paint step and restores it.
//
// Usage: a CRenderClip on the stack, one of the Generate functions, paint,
// leave the scope. The destructor selects a rectangular region equal to the
// clip box the DC had before Generate, and frees both regions. Regions are in
// device coordinates; the DC is expected to have no viewport offset.

#include <windows.h>

namespace SkinUI {

class CRenderClip
{
public:
    CRenderClip() = default;
    CRenderClip(const CRenderClip&) = delete;
    CRenderClip& operator=(const CRenderClip&) = delete;
    ~CRenderClip();

    // The DC's clip becomes its old clip intersected with rc.
    static void GenerateClip(HDC hDC, RECT rc, CRenderClip& clip);
    // As GenerateClip, with rc further intersected with a round rectangle
    // over rcItem (right and bottom inclusive) of width x height corners.
    static void GenerateRoundClip(HDC hDC, RECT rc, RECT rcItem, int width, int height, CRenderClip& clip);
    // Paint outside the narrowed clip between Begin and End.
    static void UseOldClipBegin(HDC hDC, CRenderClip& clip);
    static void UseOldClipEnd(HDC hDC, CRenderClip& clip);

    const RECT& GetItemRect() const { return m_rcItem; }

private:
    // Restores and frees whatever a previous Generate left in this object.
    void Release();
    static void Begin(HDC hDC, RECT rc, CRenderClip& clip);

    RECT m_rcItem = {0, 0, 0, 0};
    HDC m_hDC = nullptr;
    HRGN m_hRgn = nullptr;
    HRGN m_hOldRgn = nullptr;
};

}  // namespace SkinUI
