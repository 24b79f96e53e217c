#pragma once
// CTextUI: a label whose inline-markup text may hold links. Every paint
// remembers up to kMaxLinks link rectangles and targets; between paints the
// control shows the hand cursor over them, tracks the link under the mouse
// (for the hover colour of the markup drawing) and sends "link" with the
// link's index as wParam when one is clicked.
//
// Each link is a Tab stop of its own (ITabStopsUI): Tab walks through them
// before it leaves the text, and Return sends "link" for the focused one,
// as a click does.
//
// Slots: those of CLabelUI; nothing appended.

#include "skinui/control/Label.h"

namespace SkinUI {

class CTextUI : public CLabelUI, public ITabStopsUI
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
    // In client pixels; empty outside 0 .. link count - 1.
    RECT GetLinkRect(int iIndex) const;
    // Sends "link" for that index as a click on it does; false outside
    // 0 .. link count - 1, or while the text is disabled.
    bool ActivateLink(int iIndex);

    // ITabStopsUI: one stop per link while the text is enabled.
    int GetTabStopCount() const override;
    int GetFocusedTabStop() const override;
    void SetFocusedTabStop(int iIndex) override;
    RECT GetTabStopRect(int iIndex) const override;

    static CControlUI* CreateControl();

private:
    // Index of the first link rectangle holding the point, -1 for none.
    int HitLink(POINT pt) const;

    int m_nLinks = 0;
    RECT m_rcLinks[kMaxLinks];
    CUIString m_sLinks[kMaxLinks];
    int m_nHoverLink = -1;
    int m_nFocusLink = -1;
};

}  // namespace SkinUI
