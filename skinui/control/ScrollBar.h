#pragma once
// CScrollBarUI as far as a container scrolls with it: an owner, a direction,
// a range, a position and a line size. A change of position by the user ends
// in the owner's SetScrollPos (ScrollTo). The bar paints as a plain control.

#include "skinui/control/Control.h"

namespace SkinUI {

class CContainerUI;

class CScrollBarUI : public CControlUI
{
public:
    CScrollBarUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    CContainerUI* GetOwner() const;
    void SetOwner(CContainerUI* pOwner);
    bool IsHorizontal() const;
    // A horizontal bar is 16 high and, unless sized already, 0 wide.
    void SetHorizontal(bool bHorizontal = true);
    int GetScrollRange() const;
    // Stores max(n, 0); a position beyond the new range is lowered to it.
    void SetScrollRange(int nRange);
    int GetScrollPos() const;
    // Stores n clamped to 0 .. range.
    void SetScrollPos(int nPos);
    int GetLineSize() const;
    void SetLineSize(int nSize);

    // The user moves the position: the owner scrolls to it.
    void ScrollTo(int nPos);

    static CControlUI* CreateControl();

private:
    CContainerUI* m_pOwner = nullptr;
    bool m_bHorizontal = false;
    int m_nRange = 100;
    int m_nScrollPos = 0;
    int m_nLineSize = 8;
};

}  // namespace SkinUI
