#pragma once
// WindowImplBase: the base of every skinned top-level window. It joins the
// native window wrapper, the notification router and the window's paint
// manager, and gives a frameless window what it needs: no system caption,
// the skin file built into a control tree when the window is created, a
// draggable caption area, rounded corners, a maximised size inside the work
// area and the window buttons "closebtn", "minbtn", "maxbtn", "restorebtn".
// It opens at the DPI of the monitor it is created on and follows
// WM_DPICHANGED; the caption, size box and corners are skin pixels scaled
// to that DPI where they are used.
//
// A concrete window names its class and skin file and adds its handlers.
// Every message handler takes (message, wParam, lParam, handled) and returns
// the message result; handled arrives true, and a handler that leaves a
// message to the next stage sets it false.

#include "skinui/core/NotifyPump.h"
#include "skinui/core/PaintManager.h"
#include "skinui/core/UIEvents.h"
#include "skinui/core/UIString.h"
#include "skinui/core/WindowWnd.h"
#include "skinui/markup/DialogBuilder.h"
#include "skinui/resource/ResourceManager.h"

#include <windows.h>

namespace SkinUI {

class CControlUI;

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText
{
public:
    WindowImplBase();
    WindowImplBase(const WindowImplBase&) = delete;
    WindowImplBase& operator=(const WindowImplBase&) = delete;

    // Slots of the primary table follow CWindowWnd's own five, in this order.
    UINT GetClassStyle() const override;
    // Frame, caption and sizing messages go to the handlers below; the rest
    // to HandleCustomMessage, then to the paint manager, then to the default
    // window procedure.
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    // Leaves the manager's filter and notifier lists and forgets the tree's
    // references; the object itself stays.
    void OnFinalMessage(HWND hWnd) override;
    virtual ~WindowImplBase();

    virtual void InitResource();
    // Called at the end of OnCreate, once the tree is attached.
    virtual void InitWindow();
    // The window buttons by the sender's name; other names are ignored.
    virtual void OnClick(TNotifyUI& msg);
    // Empty: GetSkinFile names a file of the skin location. Otherwise the
    // resource type under which the decimal id GetSkinFile gives is found.
    virtual LPCTSTR GetSkinType();
    virtual CUIString GetSkinFile() = 0;
    virtual LPCTSTR GetManagerName();
    // Escape gives true, Return and every other key false.
    virtual LRESULT ResponseDefaultKeyEvent(WPARAM wParam);
    virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseHover(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    // The window's current style without WS_CAPTION.
    virtual LONG GetStyle();

    // INotifyUI: every notification goes through the message maps.
    void Notify(TNotifyUI& msg) override;
    // IMessageFilterUI: Return and Escape key-downs reach
    // ResponseDefaultKeyEvent; the message always goes on.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    // IDialogBuilderCallback: no control classes of its own.
    CControlUI* CreateControl(LPCTSTR pstrClass) override;
    // IQueryControlText: no texts of its own.
    LPCTSTR QueryControlText(LPCTSTR lpstrId, LPCTSTR lpstrType) override;

    CPaintManagerUI& GetManager() { return m_Manager; }

    // True when the control and every ancestor are of a class that only
    // shows something (labels, texts, layouts): pressing on it drags the
    // window. False for no control.
    static bool IsInStaticControl(CControlUI* pControl);

protected:
    CPaintManagerUI m_Manager;

private:
    // WM_DPICHANGED: the manager takes the new DPI and the window the
    // rectangle the system suggests; the shadow follows the new size.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    UI_DECLARE_MESSAGE_MAP(WindowImplBase)
};

}  // namespace SkinUI
