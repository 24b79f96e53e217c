#pragma once
// CVerticalLayoutUI stacks its non-float children from top to bottom:
// children with a fixed height get it, the others share the rest equally and
// the last of them takes the rounding remainder. An optional separator strip
// ("sepheight") along the bottom (positive size) or top (negative size) edge
// lets the user resize the layout with the mouse.

#include "skinui/control/Container.h"

namespace SkinUI {

class CVerticalLayoutUI : public CContainerUI
{
public:
    CVerticalLayoutUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    void SetSepHeight(int iHeight);
    int GetSepHeight() const;
    void SetSepImmMode(bool bImmediately);
    bool IsSepImmMode() const;
    RECT GetThumbRect(bool bUseNew = false) const;

    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void DoPostPaint(HDC hDC, const RECT& rcPaint) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void DoEvent(TEventUI& event) override;

    static CControlUI* CreateControl();

protected:
    int m_iSepHeight = 0;
    UINT m_uButtonState = 0;
    POINT m_ptLastMouse = {0, 0};
    RECT m_rcNewPos = {0, 0, 0, 0};
    bool m_bImmMode = false;
};

} // namespace SkinUI
