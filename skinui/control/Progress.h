#pragma once
// CProgressUI: a value between a minimum and a maximum shown as the filled
// part of the control. The background (colour, image) is the empty bar; the
// foreground colour and foreground image cover the part that stands for the
// value, from the left (horizontal) or from the bottom (vertical). With show
// text the label text is the value in per cent.
//
// Slots: those of CLabelUI, then UpdateText (92).

#include "skinui/control/Label.h"

namespace SkinUI {

class CProgressUI : public CLabelUI
{
public:
    CProgressUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintForeColor(HDC hDC) override;
    void PaintForeImage(HDC hDC) override;

    // Appended after CLabelUI's slots (see CControlUI).
    virtual void UpdateText();

    bool IsShowText() const;
    void SetShowText(bool bShowText = true);
    bool IsHorizontal() const;
    void SetHorizontal(bool bHorizontal = true);
    bool IsStretchForeImage() const;
    void SetStretchForeImage(bool bStretchForeImage = true);
    int GetMinValue() const;
    void SetMinValue(int nMin);
    int GetMaxValue() const;
    void SetMaxValue(int nMax);
    int GetValue() const;
    // Ignored for the current value and for values outside the range.
    void SetValue(int nValue);

    // The draw-string modifier the last PaintForeImage built.
    const CUIString& GetForeModifier() const;
    // The filled part relative to the item's top-left corner, after the
    // range has been repaired (maximum above minimum, value inside).
    RECT GetFilledRect();

    static CControlUI* CreateControl();

private:
    void NormaliseRange();

    bool m_bShowText = false;
    bool m_bHorizontal = true;
    bool m_bStretchForeImage = true;
    int m_nMax = 100;
    int m_nMin = 0;
    int m_nValue = 0;
    CUIString m_sForeImageModify;
};

}  // namespace SkinUI
