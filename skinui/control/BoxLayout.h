#pragma once
// CBoxLayoutUI is the one algorithm behind CVerticalLayoutUI and
// CHorizontalLayoutUI, written once over an axis: the non-float children are
// stacked along the main axis, children with a fixed size there get it, the
// others share the rest equally and the last of them takes the rounding
// remainder. An optional separator strip along the far (positive size) or near
// (negative size) edge of the main axis lets the user resize the layout with
// the mouse.
//
// It overrides CContainerUI's operations but declares no virtual of its own,
// so both layouts keep CContainerUI's slot order.

#include "skinui/control/Container.h"

namespace SkinUI {

struct TBoxAxis;

class CBoxLayoutUI : public CContainerUI
{
public:
    // The vertical or horizontal layout's class string and interface name.
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    void SetSepImmMode(bool bImmediately);
    bool IsSepImmMode() const;
    RECT GetThumbRect(bool bUseNew = false) const;

    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void DoPostPaint(HDC hDC, const RECT& rcPaint) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void DoEvent(TEventUI& event) override;

protected:
    explicit CBoxLayoutUI(bool bVertical);

    // The separator strip's size along the main axis ("sepheight" on the
    // vertical layout, "sepwidth" on the horizontal one).
    void SetSepSize(int iSize);
    int GetSepSize() const;

    const TBoxAxis* m_pAxis;
    int m_iSepSize = 0;
    UINT m_uButtonState = 0;
    POINT m_ptLastMouse = {0, 0};
    RECT m_rcNewPos = {0, 0, 0, 0};
    bool m_bImmMode = false;
};

}  // namespace SkinUI
