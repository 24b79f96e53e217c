#pragma once
// CTextUI: a label whose inline-markup text may hold links. Every paint
// remembers up to kMaxLinks link rectangles and targets; between paints the
// control shows the hand cursor over them, tracks the link under the mouse
// (for the hover colour of the markup drawing) and sends "link" with the
// link's index as wParam when one is clicked.
//
// Slots: those of CLabelUI; nothing appended.

#include "skinui/control/Label.h"

namespace SkinUI {

class CTextUI : public CLabelUI
{
public:
    enum
    {
        kMaxLinks = 8
    };

    CTextUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;
    void DoEvent(TEventUI& event) override;
    SIZE EstimateSize(SIZE szAvailable) override;
    void PaintText(HDC hDC) override;

    // The target of link index as found by the last paint; null outside
    // 0 .. link count - 1.
    CUIString* GetLinkContent(int iIndex);
    int GetLinkCount() const;
    // Index of the link under the mouse, -1 for none.
    int GetHoverLink() const;

    static CControlUI* CreateControl();

private:
    // Index of the first link rectangle holding the point, -1 for none.
    int HitLink(POINT pt) const;

    int m_nLinks = 0;
    RECT m_rcLinks[kMaxLinks];
    CUIString m_sLinks[kMaxLinks];
    int m_nHoverLink = -1;
};

}  // namespace SkinUI
