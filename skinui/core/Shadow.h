#pragma once
// CShadowUI: the soft drop shadow around a top-level skinned window.
//
// The shadow is a layered, click-through popup ("ZazuruShadowWnd") owned by
// the skinned window and filled with a 32-bit premultiplied bitmap: either
// the owner's window region blurred outwards (the normal case) or a skin
// image stretched over the shadow's rectangle (image mode). Once created it
// follows its owner by subclassing the owner's window procedure.
//
// Geometry: with size s and offset (ox, oy) the shadow window covers the
// owner's rectangle grown by s on every side and shifted by (ox, oy); in
// image mode the offset is ignored.
//
// Status bits, kept per shadow:
//   StatusEnabled        the shadow window exists and follows its owner
//   StatusVisible        the shadow window is shown
//   StatusParentVisible  the owner is shown (possibly maximised/minimised)

#include "skinui/core/UIString.h"

#include <windows.h>

namespace SkinUI {

class CPaintManagerUI;

class CShadowUI
{
public:
    enum
    {
        StatusEnabled = 1,
        StatusVisible = 2,
        StatusParentVisible = 4,
    };

    CShadowUI();
    CShadowUI(const CShadowUI&) = delete;
    CShadowUI& operator=(const CShadowUI&) = delete;
    // Undoes Create while the owner still lives: the owner gets its previous
    // window procedure back and the shadow window is destroyed.
    virtual ~CShadowUI();

    // Registers the shadow window class once per process; false when it was
    // already registered by an earlier call.
    static bool Initialize(HINSTANCE hInstance);

    // Creates the shadow window for the manager's paint window and subclasses
    // that window. Does nothing while the show switch is off, before
    // Initialize, or when this shadow has already been created.
    void Create(CPaintManagerUI* pPaintManager);

    // Takes effect at the next Create.
    void ShowShadow(bool bShow);
    bool IsShowShadow() const;

    void DisableShadow(bool bDisable);
    bool IsDisableShadow() const;

    // Setters keep the old value and return false for a value out of range.
    bool SetSize(int NewSize);                         // -35..35
    bool SetSharpness(unsigned int NewSharpness);      // 0..35
    bool SetDarkness(unsigned int NewDarkness);        // 0..255
    bool SetPosition(int NewXOffset, int NewYOffset);  // each -35..35
    bool SetColor(COLORREF NewColor);                  // 0x00RRGGBB
    // Switches to image mode for good; false for a null name.
    bool SetImage(LPCTSTR szImage);
    // Nine-part corner widths; false when an edge is negative.
    bool SetShadowCorner(RECT rcCorner);

    // Copies the drawing settings (image and corners in image mode, else
    // size, sharpness, darkness, colour and offset) and the show switch.
    bool CopyShadow(CShadowUI* pShadow);

    // Rebuilds the shadow bitmap for the owner's current rectangle and moves
    // the shadow window there. Does nothing unless shown and visible.
    void Update(HWND hParent);

    // Computes the blurred outline of hParent's window region into pShadBits,
    // a zeroed buffer of (W + 2s) x (H + 2s) pixels for the W x H rectangle
    // rcParent and size s (the size at the manager's DPI, like the sharpness
    // and the offsets), stored bottom-up: pixel (x, y), y counted from the
    // top, lies at index (H + 2s - y - 1) * (W + 2s) + x. A window without a
    // region is taken as its whole rectangle.
    void MakeShadow(UINT32* pShadBits, HWND hParent, const RECT& rcParent);

    // Image mode: draws the shadow image, taken from the manager's images,
    // over the nWidth x nHeight bitmap selected into hMemDC, its corners
    // unscaled and its middle left out. False before Create or when the
    // image cannot be had.
    bool DrawShadowImage(HDC hMemDC, int nWidth, int nHeight);

    // Each colour byte scaled by nAlpha / 255; the top byte becomes 0.
    static DWORD PreMultiply(COLORREF cl, unsigned char nAlpha);

    HWND GetHWND() const { return m_hWnd; }
    BYTE GetStatus() const { return m_Status; }
    int GetSize() const { return m_nSize; }
    unsigned int GetSharpness() const { return m_nSharpness; }
    unsigned int GetDarkness() const { return m_nDarkness; }
    int GetXOffset() const { return m_nxOffset; }
    int GetYOffset() const { return m_nyOffset; }
    COLORREF GetColor() const { return m_Color; }
    bool IsImageMode() const { return m_bIsImageMode; }
    const CUIString& GetImage() const { return m_sShadowImage; }
    RECT GetShadowCorner() const { return m_rcShadowCorner; }
    // How many bitmaps Update has presented to the shadow window so far: one
    // per rebuild, so that redundant rebuilds show.
    unsigned GetPresentCount() const { return m_nPresents; }

private:
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    // Status from the owner's style; a visible normal owner gets its shadow
    // shown and rebuilt.
    void ApplyOwnerState(HWND hParent);
    void MoveToOwner(HWND hParent);
    void Show();
    void Hide();
    // Update when the shadow window exists and is shown.
    void UpdateIfShown();
    // Size, sharpness and offsets are skin pixels: scaled to the manager's
    // DPI, so that the shadow keeps its shape around a scaled window.
    int Scaled(int value) const;
    // Moves the shadow window to its place for rcParent and presents the
    // bitmap held by hMemDC.
    void Present(HDC hMemDC, const RECT& rcParent, int nWidth, int nHeight);

    CPaintManagerUI* m_pManager;
    HWND m_hWnd;
    WNDPROC m_OriParentProc;
    BYTE m_Status;
    bool m_bIsImageMode;
    bool m_bIsShowShadow;
    bool m_bIsDisableShadow;
    unsigned char m_nDarkness;
    unsigned char m_nSharpness;
    signed char m_nSize;
    signed char m_nxOffset;
    signed char m_nyOffset;
    LPARAM m_WndSize;
    bool m_bUpdate;
    COLORREF m_Color;
    CUIString m_sShadowImage;
    RECT m_rcShadowCorner;
    // The owner this shadow subclassed, null before Create.
    HWND m_hOwner;
    unsigned m_nPresents = 0;

    static bool s_bHasInit;
    static HINSTANCE s_hInstance;
};

}  // namespace SkinUI
