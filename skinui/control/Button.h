#pragma once
// CButtonUI: a clickable label. A small state machine over the state bits
// (hot, pushed, captured, focused, disabled) picks one image and the
// background and text colours per state; a completed click, or space or
// return while it has the keyboard, activates it: "click" is sent at once.
//
//   bits              entered by                        left by
//   hot               EVT_MOUSEENTER while enabled      EVT_MOUSELEAVE while enabled,
//                                                       SetEnabled(false), a paint while
//                                                       the window is disabled
//   pushed+captured   EVT_BUTTONDOWN / EVT_DBLCLICK     EVT_BUTTONUP (activates when
//                     inside while enabled              inside), as hot otherwise
//   pushed            moving back inside while captured moving outside
//   focused           a paint while focused             a paint while not focused
//   disabled          a paint while not enabled         a paint while enabled
//
// The paint manager delivers the moves and the release that follow a press
// to the pressed button, also outside it; the button only keeps its bits.
//
// Slots: those of CLabelUI, then the image accessors (92 .. 103).

#include "skinui/control/Label.h"

namespace SkinUI {

// What a button needs of the tab layout it drives: the named control
// answers GetInterface(L"TabSelect") with this interface.
class ITabSelectUI
{
public:
    virtual bool SelectItem(int iIndex) = 0;

protected:
    ~ITabSelectUI() {}
};

class CButtonUI : public CLabelUI
{
public:
    CButtonUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;
    bool Activate() override;
    void SetEnabled(bool bEnable = true) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintBkColor(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintForeImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    // Appended after CLabelUI's slots, in this order (see CControlUI).
    virtual LPCTSTR GetNormalImage();
    virtual void SetNormalImage(LPCTSTR pStrImage);
    virtual LPCTSTR GetHotImage();
    virtual void SetHotImage(LPCTSTR pStrImage);
    virtual LPCTSTR GetPushedImage();
    virtual void SetPushedImage(LPCTSTR pStrImage);
    virtual LPCTSTR GetFocusedImage();
    virtual void SetFocusedImage(LPCTSTR pStrImage);
    virtual LPCTSTR GetDisabledImage();
    virtual void SetDisabledImage(LPCTSTR pStrImage);
    virtual LPCTSTR GetHotForeImage();
    virtual void SetHotForeImage(LPCTSTR pStrImage);

    // State colours, 0 for none; the setters store only.
    DWORD GetHotBkColor() const;
    void SetHotBkColor(DWORD dwColor);
    DWORD GetPushedBkColor() const;
    void SetPushedBkColor(DWORD dwColor);
    DWORD GetHotTextColor() const;
    void SetHotTextColor(DWORD dwColor);
    DWORD GetPushedTextColor() const;
    void SetPushedTextColor(DWORD dwColor);
    DWORD GetFocusedTextColor() const;
    void SetFocusedTextColor(DWORD dwColor);

    // The STATE_* bits as last updated by events and painting.
    UINT GetButtonState() const;

    // A click selects page index of the tab layout of that name.
    void BindTabIndex(int iIndex);
    void BindTabLayoutName(LPCTSTR pstrTabLayoutName);
    void BindTriggerTabSel(int iSelIndex = -1);
    void RemoveBindTabIndex();
    int GetBindTabLayoutIndex() const;
    CUIString GetBindTabLayoutName() const;

    static CControlUI* CreateControl();

protected:
    // STATE_FOCUSED and STATE_DISABLED follow IsFocused and IsEnabled.
    void RefreshFocusAndEnabledBits();
    // The one writer of the state bits; a change of hot or pushed is
    // reported as CHANGE_STATE.
    void SetButtonState(UINT uState);

protected:
    UINT m_uButtonState = 0;
    DWORD m_dwHotBkColor = 0;
    DWORD m_dwPushedBkColor = 0;
    DWORD m_dwHotTextColor = 0;
    DWORD m_dwPushedTextColor = 0;
    DWORD m_dwFocusedTextColor = 0;
    CUIString m_sNormalImage;
    CUIString m_sHotImage;
    CUIString m_sHotForeImage;
    CUIString m_sPushedImage;
    CUIString m_sFocusedImage;
    CUIString m_sDisabledImage;
    int m_iBindTabIndex = -1;
    CUIString m_sBindTabLayoutName;
};

}  // namespace SkinUI
