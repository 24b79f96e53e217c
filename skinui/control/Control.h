#pragma once
// CControlUI: the base of every element of a window's control tree. It keeps
// what every control has whatever its kind (name, place in the tree, geometry
// requests, state flags, colours, images, border, text, tool tip, cursor,
// user data, custom attributes), turns markup attributes into these fields,
// answers geometry queries scaled to the window's DPI, and paints and handles
// events in a fixed default way that derived controls refine step by step.
//
// Implementation:
//   Control.cpp        fields, geometry, state, attributes, searches
//   ControlPaint.cpp   painting steps, DrawImage and GetAdjustColor,
//                      Activate and default event handling

#include "skinui/control/Delegate.h"
#include "skinui/core/StdStringPtrMap.h"
#include "skinui/core/UIEvents.h"
#include "skinui/core/UIString.h"

#include <windows.h>

namespace SkinUI {

class CPaintManagerUI;
class CControlUI;

// Flags returned by GetControlFlags.
#define CONTROLFLAG_TABSTOP 0x00000001    // takes part in Tab navigation
#define CONTROLFLAG_SETCURSOR 0x00000002  // wants EVT_SETCURSOR over it

// Flags of FindControl. FIND_HITTEST means the data pointer is a POINT.
#define FIND_VISIBLE 0x00000001
#define FIND_ENABLED 0x00000002
#define FIND_HITTEST 0x00000004
#define FIND_UPDATETEST 0x00000008
#define FIND_TOPFIRST 0x00000010
#define FIND_MEFIRST 0x80000000

// Control state bits.
#define STATE_FOCUSED 0x01
#define STATE_DISABLED 0x04
#define STATE_HOT 0x08
#define STATE_PUSHED 0x10
#define STATE_CAPTURED 0x40

// What changed of a control, as CControlUI::Changed reports it to the paint
// manager's observers (the accessibility tree, for one). Each is reported
// once per real change, after the new value is in place.
enum ControlChange
{
    CHANGE_FOCUS = 1,  // the manager's focus moved to or away from it, or
                       // to another of its Tab stops (ITabStopsUI)
    CHANGE_VISIBLE,    // its own visibility
    CHANGE_ENABLED,    // its own enabled flag
    CHANGE_TEXT,       // its text
    CHANGE_NAME,       // its accessible name attribute
    CHANGE_VALUE,      // a progress bar's value
    CHANGE_STATE,      // a button's hot or pushed state
    CHANGE_DESTROYED   // its destructor runs; nothing of it may be read later
};

// The callback of a tree search: the visited control and the caller's data;
// a non-null result ends the search with that control.
typedef CControlUI* (*FindControlProc)(CControlUI*, LPVOID);

// Fractions of the parent's size by which a float control's edges follow it.
typedef struct tagTPercentInfo
{
    double left;
    double top;
    double right;
    double bottom;
} TPercentInfo;

// A control for which the Tab key can be text, such as a rich edit, offers
// this through GetInterface(L"WantTab"). The paint manager asks it when such
// a control has the focus: true keeps Tab from moving the focus on.
class IWantTabUI
{
public:
    virtual bool IsWantTab() const = 0;

protected:
    ~IWantTabUI() {}
};

// A control with several Tab stops of its own (the links of a text) offers
// this through GetInterface(L"TabStops"): Tab visits its stops in order
// before it leaves the control, and the focus cue frames the focused one.
class ITabStopsUI
{
public:
    virtual int GetTabStopCount() const = 0;
    // -1 while none is focused.
    virtual int GetFocusedTabStop() const = 0;
    virtual void SetFocusedTabStop(int iIndex) = 0;
    // In client pixels; empty outside 0 .. count - 1.
    virtual RECT GetTabStopRect(int iIndex) const = 0;

protected:
    ~ITabStopsUI() {}
};

class CControlUI
{
public:
    CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // ---- Virtual interface, in slot order ------------------------------
    // Control plug-in modules (the DLLs whose CreateControl the paint
    // manager calls) are compiled on their own against this header and reach
    // these through the vtable by position, so the order is part of the
    // interface: none moves, goes or changes its signature, and a derived
    // class appends its own after DoPostPaint, the last one here.
    virtual ~CControlUI();
    virtual CUIString GetName() const;
    virtual void SetName(LPCTSTR pstrName);
    virtual LPCTSTR GetClass() const;
    virtual LPVOID GetInterface(LPCTSTR pstrName);
    virtual UINT GetControlFlags() const;
    virtual bool Activate();
    virtual CPaintManagerUI* GetManager() const;
    virtual void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true);
    virtual CControlUI* GetParent() const;
    virtual CUIString GetText() const;
    virtual void SetText(LPCTSTR pstrText);
    virtual bool IsResourceText() const;
    virtual void SetResourceText(bool bResource);
    virtual bool IsDragEnabled() const;
    virtual void SetDragEnable(bool bDrag);
    virtual bool IsDropEnabled() const;
    virtual void SetDropEnable(bool bDrop);
    virtual RECT GetRelativePos() const;
    virtual RECT GetClientPos() const;
    virtual const RECT& GetPos() const;
    virtual void SetPos(RECT rc, bool bNeedInvalidate = true);
    virtual void Move(SIZE szOffset, bool bNeedInvalidate = true);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT rcPadding);
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(SIZE szXY);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);
    virtual TPercentInfo GetFloatPercent() const;
    virtual void SetFloatPercent(TPercentInfo piFloatPercent);
    virtual void SetFloatAlign(UINT uAlign);
    virtual UINT GetFloatAlign() const;
    virtual CUIString GetToolTip() const;
    virtual void SetToolTip(LPCTSTR pstrText);
    virtual void SetToolTipWidth(int nWidth);
    virtual int GetToolTipWidth() const;
    virtual WORD GetCursor() const;
    virtual void SetCursor(WORD wCursor);
    virtual TCHAR GetShortcut() const;
    virtual void SetShortcut(TCHAR ch);
    virtual bool IsContextMenuUsed() const;
    virtual void SetContextMenuUsed(bool bMenuUsed);
    virtual const CUIString& GetUserData() const;
    virtual void SetUserData(LPCTSTR pstrText);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR pTag);
    virtual bool IsVisible() const;
    virtual void SetVisible(bool bVisible = true);
    virtual void SetInternVisible(bool bVisible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool bEnable = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool bEnable = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool bEnable = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool bFloat = true);
    virtual CControlUI* FindControl(FindControlProc Proc, LPVOID pData, UINT uFlags);
    virtual void Init();
    virtual void DoInit();
    virtual void Event(TEventUI& event);
    virtual void DoEvent(TEventUI& event);
    virtual void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue);
    virtual SIZE EstimateSize(SIZE szAvailable);
    virtual void DoPaint(HDC hDC, const RECT& rcPaint);
    virtual void PaintBkColor(HDC hDC);
    virtual void PaintBkImage(HDC hDC);
    virtual void PaintStatusImage(HDC hDC);
    virtual void PaintForeColor(HDC hDC);
    virtual void PaintForeImage(HDC hDC);
    virtual void PaintText(HDC hDC);
    virtual void PaintBorder(HDC hDC);
    virtual void DoPostPaint(HDC hDC, const RECT& rcPaint);

    // ---- Attribute lists and custom attributes --------------------------
    // Applies name="value" pairs separated by single spaces; a list that is
    // the name of a registered style applies that style instead. Stops at
    // the first malformed pair; the pairs before it stay applied.
    CControlUI* ApplyAttributeList(LPCTSTR pstrList);
    // The first value of a name wins; null or empty names and values are
    // ignored.
    void AddCustomAttribute(LPCTSTR pstrName, LPCTSTR pstrAttr);
    LPCTSTR GetCustomAttribute(LPCTSTR pstrName) const;
    bool RemoveCustomAttribute(LPCTSTR pstrName);
    void RemoveAllCustomAttribute();

    // ---- Change notification -------------------------------------------
    // The one point every state setter passes through when a value really
    // changed: hands the change to the manager's observers when attached.
    void Changed(ControlChange change);
    // The name screen readers read for the control: the "accname" custom
    // attribute (empty removes it), reported as CHANGE_NAME when it changed.
    void SetAccessibleName(LPCTSTR pstrName);

    // ---- Repaint and relayout requests ---------------------------------
    void Invalidate();
    bool IsUpdateNeeded() const;
    void NeedUpdate();
    void NeedParentUpdate();

    // ---- Colours -------------------------------------------------------
    DWORD GetBkColor() const;
    void SetBkColor(DWORD dwBackColor);
    DWORD GetBkColor2() const;
    void SetBkColor2(DWORD dwBackColor);
    DWORD GetBkColor3() const;
    void SetBkColor3(DWORD dwBackColor);
    DWORD GetForeColor() const;
    void SetForeColor(DWORD dwForeColor);
    DWORD GetBorderColor() const;
    void SetBorderColor(DWORD dwBorderColor);
    DWORD GetFocusBorderColor() const;
    void SetFocusBorderColor(DWORD dwBorderColor);
    bool IsColorHSL() const;
    void SetColorHSL(bool bColorHSL);

    // ---- Images --------------------------------------------------------
    LPCTSTR GetBkImage() const;
    void SetBkImage(LPCTSTR pStrImage);
    LPCTSTR GetForeImage() const;
    void SetForeImage(LPCTSTR pStrImage);

    // ---- Border ----------------------------------------------------------
    int GetBorderSize() const;
    void SetBorderSize(int nSize);
    void SetBorderSize(RECT rc);
    int GetLeftBorderSize() const;
    void SetLeftBorderSize(int nSize);
    int GetTopBorderSize() const;
    void SetTopBorderSize(int nSize);
    int GetRightBorderSize() const;
    void SetRightBorderSize(int nSize);
    int GetBottomBorderSize() const;
    void SetBottomBorderSize(int nSize);
    int GetBorderStyle() const;
    void SetBorderStyle(int nStyle);
    SIZE GetBorderRound() const;
    void SetBorderRound(SIZE cxyRound);

    // ---- Timers, virtual window, drawing helpers -------------------------
    bool SetTimer(UINT nTimerID, UINT nElapse);
    void KillTimer(UINT nTimerID);
    CUIString GetVirtualWnd() const;
    void SetVirtualWnd(LPCTSTR pstrValue);
    bool DrawImage(HDC hDC, LPCTSTR pStrImage, LPCTSTR pStrModify = nullptr);
    DWORD GetAdjustColor(DWORD dwColor) const;
    void setInstance(HINSTANCE instance) { m_instance = instance; }
    HINSTANCE getInstance() const { return m_instance; }

    static CControlUI* CreateControl();

public:
    CEventSource OnInit;
    CEventSource OnDestroy;
    CEventSource OnSize;
    CEventSource OnEvent;
    CEventSource OnNotify;

protected:
    // Skin values, unscaled, as the attribute vocabulary reads them. Each
    // reads as many numbers as it finds; missing ones stay 0.
    static RECT ParseRect(LPCTSTR pstrValue);
    static DWORD ParseColor(LPCTSTR pstrValue);
    static bool ParseBool(LPCTSTR pstrValue);
    // The seven paint steps in their fixed order.
    void PaintSteps(HDC hDC);
    // Applies name="value" pairs without the style lookup.
    void ApplyAttributePairs(LPCTSTR pstrList);
    int ScaleValue(int n) const;
    RECT ScaleRect(const RECT& rc) const;
    SIZE ScaleSize(const SIZE& sz) const;
    // A control that is not mouse enabled hands mouse events on to its
    // parent, or without one to CControlUI's own handling; true when it did.
    bool PassMouseEventOn(TEventUI& event);

private:
    // The attribute table SetAttribute looks names up in (Control.cpp).
    struct TAttribute;

protected:
    CPaintManagerUI* m_pManager = nullptr;
    CControlUI* m_pParent = nullptr;
    CUIString m_sVirtualWnd;
    CUIString m_sName;
    bool m_bUpdateNeeded = true;
    bool m_bMenuUsed = false;
    RECT m_rcItem = {0, 0, 0, 0};
    RECT m_rcPadding = {0, 0, 0, 0};
    SIZE m_cXY = {0, 0};
    SIZE m_cxyFixed = {0, 0};
    SIZE m_cxyMin = {0, 0};
    SIZE m_cxyMax = {9999, 9999};
    bool m_bVisible = true;
    bool m_bInternVisible = true;
    bool m_bEnabled = true;
    bool m_bMouseEnabled = true;
    bool m_bKeyboardEnabled = true;
    bool m_bFocused = false;
    bool m_bFloat = false;
    TPercentInfo m_piFloatPercent = {0.0, 0.0, 0.0, 0.0};
    UINT m_uFloatAlign = 0;
    bool m_bSetPos = false;  // inside OnSize of SetPos
    bool m_bDragEnabled = false;
    bool m_bDropEnabled = false;
    bool m_bResourceText = false;
    CUIString m_sText;
    CUIString m_sToolTip;
    TCHAR m_chShortcut = 0;
    CUIString m_sUserData;
    UINT_PTR m_pTag = 0;
    DWORD m_dwBackColor = 0;
    DWORD m_dwBackColor2 = 0;
    DWORD m_dwBackColor3 = 0;
    DWORD m_dwForeColor = 0;
    CUIString m_sBkImage;
    CUIString m_sForeImage;
    DWORD m_dwBorderColor = 0;
    DWORD m_dwFocusBorderColor = 0;
    bool m_bColorHSL = false;
    int m_nBorderSize = 0;
    int m_nBorderStyle = PS_SOLID;
    int m_nTooltipWidth = 300;
    WORD m_wCursor = 0;
    SIZE m_cxyBorderRound = {0, 0};
    RECT m_rcPaint = {0, 0, 0, 0};
    RECT m_rcBorderSize = {0, 0, 0, 0};
    HINSTANCE m_instance = nullptr;
    CStdStringPtrMap m_mCustomAttrHash{83};
    // Nesting of style applications: a style that names itself, directly
    // or through its attribute values, stops at kMaxStyleDepth.
    int m_nStyleDepth = 0;
    static const int kMaxStyleDepth = 8;
};

}  // namespace SkinUI
