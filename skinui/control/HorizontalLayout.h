#pragma once
// CHorizontalLayoutUI stacks its non-float children from left to right:
// children with a fixed width get it, the others share the rest equally and
// the last of them takes the rounding remainder. An optional separator strip
// ("sepwidth") along the right (positive size) or left (negative size) edge
// lets the user resize the layout with the mouse.

#include "skinui/control/Container.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CContainerUI
{
public:
    CHorizontalLayoutUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    void SetSepWidth(int iWidth);
    int GetSepWidth() const;
    void SetSepImmMode(bool bImmediately);
    bool IsSepImmMode() const;
    RECT GetThumbRect(bool bUseNew = false) const;

    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void DoPostPaint(HDC hDC, const RECT& rcPaint) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void DoEvent(TEventUI& event) override;

    static CControlUI* CreateControl();

protected:
    int m_iSepWidth = 0;
    UINT m_uButtonState = 0;
    POINT m_ptLastMouse = {0, 0};
    RECT m_rcNewPos = {0, 0, 0, 0};
    bool m_bImmMode = false;
};

} // namespace SkinUI
