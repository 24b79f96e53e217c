#pragma once
// CLabelUI: a control that shows one text, plain or in inline markup, in a
// colour that depends on whether it is enabled, with a font of the paint
// manager's table, DT_* text style flags and a text padding. It can compute
// its own width from its text. Buttons and progress bars derive from it.
//
// Slots: CControlUI's, then GetAutoCalcWidth (90) and SetAutoCalcWidth (91).

#include "skinui/control/Control.h"

namespace SkinUI {

class CLabelUI : public CControlUI
{
public:
    CLabelUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;
    void SetText(LPCTSTR pstrText) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    SIZE EstimateSize(SIZE szAvailable) override;
    void PaintText(HDC hDC) override;

    // Appended after CControlUI's slots, in this order (see CControlUI).
    virtual bool GetAutoCalcWidth() const;
    virtual void SetAutoCalcWidth(bool bAutoCalcWidth);

    // Colours 0xAARRGGBB; 0 takes the paint manager's default at the first
    // paint, for good.
    DWORD GetTextColor() const;
    void SetTextColor(DWORD dwTextColor);
    DWORD GetDisabledTextColor() const;
    void SetDisabledTextColor(DWORD dwTextColor);
    // Index into the paint manager's font table; -1 is the default font.
    int GetFont() const;
    void SetFont(int index);
    UINT GetTextStyle() const;
    void SetTextStyle(UINT uStyle);
    // Inner margins of the text, as written in the skin (unscaled).
    RECT GetTextPadding() const;
    void SetTextPadding(RECT rc);
    bool IsShowHtml() const;
    void SetShowHtml(bool bShowHtml = true);

    static CControlUI* CreateControl();

protected:
    // Replaces colours still 0 by the manager's defaults.
    void ResolveDefaultColors();
    // The text padding scaled to the window's DPI, side by side.
    RECT GetScaledTextPadding() const;
    // The item rectangle reduced by a padding.
    RECT TextRect(const RECT& rcPadding) const;

protected:
    DWORD m_dwTextColor = 0;
    DWORD m_dwDisabledTextColor = 0;
    int m_iFont = -1;
    UINT m_uTextStyle = DT_VCENTER | DT_SINGLELINE;
    RECT m_rcTextPadding = {0, 0, 0, 0};
    bool m_bShowHtml = false;
    bool m_bAutoCalcWidth = false;
};

}  // namespace SkinUI
