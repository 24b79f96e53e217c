#pragma once
// CContainerUI: a control that owns an ordered list of children. It attaches
// them to the paint manager, passes visibility, enabling and the manager on
// to them, destroys them (at once or through the manager's delayed
// clean-up), places its float children, paints its children clipped to its
// client area, extends tree searches to them and may own two scroll bars.
// The plain container stacks every non-float child over its whole client
// area; the layouts replace only that placement.
//
// Sections of Container.cpp: item interface, propagation, geometry and
// float placement, searches, events and scrolling, attributes, painting.

#include "skinui/control/Control.h"
#include "skinui/core/StdPtrArray.h"

namespace SkinUI {

class CScrollBarUI;

class IContainerUI
{
public:
    virtual CControlUI* GetItemAt(int iIndex) const = 0;
    virtual int GetItemIndex(CControlUI* pControl) const = 0;
    virtual bool SetItemIndex(CControlUI* pControl, int iNewIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* pControl) = 0;
    virtual bool AddAt(CControlUI* pControl, int iIndex) = 0;
    virtual bool Remove(CControlUI* pControl) = 0;
    virtual bool RemoveAt(int iIndex) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() {}
};

class CContainerUI : public CControlUI, public IContainerUI
{
public:
    CContainerUI();
    ~CContainerUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    // ---- IContainerUI ----------------------------------------------------
    CControlUI* GetItemAt(int iIndex) const override;
    int GetItemIndex(CControlUI* pControl) const override;
    bool SetItemIndex(CControlUI* pControl, int iNewIndex) override;
    int GetCount() const override;
    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl) override;
    bool RemoveAt(int iIndex) override;
    void RemoveAll() override;

    // ---- Overridden control slots ----------------------------------------
    void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    RECT GetClientPos() const override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void Move(SIZE szOffset, bool bNeedInvalidate = true) override;
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void SetEnabled(bool bEnabled = true) override;
    void SetMouseEnabled(bool bEnable = true) override;
    CControlUI* FindControl(FindControlProc Proc, LPVOID pData, UINT uFlags) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;

    // ---- Appended slots, in slot order -----------------------------------
    virtual RECT GetInset() const;                                  // 90
    virtual void SetInset(RECT rcInset);                            // 91
    virtual int GetChildPadding() const;                            // 92
    virtual void SetChildPadding(int iPadding);                     // 93
    virtual UINT GetChildAlign() const;                             // 94
    virtual void SetChildAlign(UINT iAlign);                        // 95
    virtual UINT GetChildVAlign() const;                            // 96
    virtual void SetChildVAlign(UINT iVAlign);                      // 97
    virtual bool IsAutoDestroy() const;                             // 98
    virtual void SetAutoDestroy(bool bAuto);                        // 99
    virtual bool IsDelayedDestroy() const;                          // 100
    virtual void SetDelayedDestroy(bool bDelayed);                  // 101
    virtual bool IsMouseChildEnabled() const;                       // 102
    virtual void SetMouseChildEnabled(bool bEnable = true);         // 103
    virtual int FindSelectable(int iIndex, bool bForward = true) const; // 104
    virtual SIZE GetScrollPos() const;                              // 105
    virtual SIZE GetScrollRange() const;                            // 106
    virtual void SetScrollPos(SIZE szPos, bool bMsg = true);        // 107
    virtual void SetScrollStepSize(int nSize);                      // 108
    virtual int GetScrollStepSize() const;                          // 109
    virtual void LineUp();                                          // 110
    virtual void LineDown();                                        // 111
    virtual void PageUp();                                          // 112
    virtual void PageDown();                                        // 113
    virtual void HomeUp();                                          // 114
    virtual void EndDown();                                         // 115
    virtual void LineLeft();                                        // 116
    virtual void LineRight();                                       // 117
    virtual void PageLeft();                                        // 118
    virtual void PageRight();                                       // 119
    virtual void HomeLeft();                                        // 120
    virtual void EndRight();                                        // 121
    virtual void EnableScrollBar(bool bEnableVertical = true,
                                 bool bEnableHorizontal = false);   // 122
    virtual CScrollBarUI* GetVerticalScrollBar() const;             // 123
    virtual CScrollBarUI* GetHorizontalScrollBar() const;           // 124

    // ---- Descendants by name ---------------------------------------------
    CControlUI* FindSubControl(LPCTSTR pstrSubControlName);
    CUIString GetSubControlText(LPCTSTR pstrSubControlName);
    CUIString GetSubControlUserData(LPCTSTR pstrSubControlName);
    int GetSubControlFixedHeight(LPCTSTR pstrSubControlName);
    int GetSubControlFixedWdith(LPCTSTR pstrSubControlName);
    bool SetSubControlText(LPCTSTR pstrSubControlName, LPCTSTR pstrText);
    bool SetSubControlUserData(LPCTSTR pstrSubControlName, LPCTSTR pstrText);
    bool SetSubControlFixedHeight(LPCTSTR pstrSubControlName, int cy);
    bool SetSubControlFixedWdith(LPCTSTR pstrSubControlName, int cx);

    static CControlUI* CreateControl();

protected:
    virtual void SetFloatPos(int iIndex);                           // 125
    virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired); // 126

    // The item rectangle reduced by the given inset and by the fixed width
    // or height of the visible scroll bars.
    RECT ChildArea(const RECT& rcInset) const;
    bool IsVerticalBarShown() const;
    bool IsHorizontalBarShown() const;
    void SetItemsInternVisible();
    // Hands a removed child over for destruction as auto and delayed
    // destroy say.
    void DestroyChild(CControlUI* pControl);

protected:
    CStdPtrArray m_items;
    RECT m_rcInset = {0, 0, 0, 0};
    int m_iChildPadding = 0;
    UINT m_iChildAlign = 0;
    UINT m_iChildVAlign = 0;
    bool m_bAutoDestroy = true;
    bool m_bDelayedDestroy = true;
    bool m_bMouseChildEnabled = true;
    int m_nScrollStepSize = 0;
    CScrollBarUI* m_pVerticalScrollBar = NULL;
    CScrollBarUI* m_pHorizontalScrollBar = NULL;
    CUIString m_sVerticalScrollBarStyle;
    CUIString m_sHorizontalScrollBarStyle;
};

} // namespace SkinUI
