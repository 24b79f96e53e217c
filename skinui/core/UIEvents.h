#pragma once
// The records and listener interfaces through which the paint manager talks
// to controls (TEventUI) and controls talk to the application (TNotifyUI).
// The event-type values are fixed: controls compare ranges of them.

#include "skinui/core/UIString.h"

#include <windows.h>

namespace SkinUI {

class CControlUI;

enum EVENTTYPE_UI
{
    EVT_KEYBEGIN = 2,  // bounds of the key range (3 to 6), never sent; no event uses 1
    EVT_KEYDOWN,       // 3
    EVT_KEYUP,         // 4
    EVT_CHAR,          // 5
    EVT_SYSKEY,        // 6
    EVT_KEYEND,        // 7
    EVT_MOUSEBEGIN,    // 8: bounds of the mouse range (9 to 21), never sent
    EVT_MOUSEMOVE,     // 9
    EVT_MOUSELEAVE,    // 10
    EVT_MOUSEENTER,    // 11
    EVT_MOUSEHOVER,    // 12
    EVT_BUTTONDOWN,    // 13
    EVT_BUTTONUP,      // 14
    EVT_RBUTTONDOWN,   // 15
    EVT_RBUTTONUP,     // 16
    EVT_MBUTTONDOWN,   // 17
    EVT_MBUTTONUP,     // 18
    EVT_DBLCLICK,      // 19
    EVT_CONTEXTMENU,   // 20
    EVT_SCROLLWHEEL,   // 21
    EVT_MOUSEEND,      // 22
    EVT_KILLFOCUS,     // 23
    EVT_SETFOCUS,      // 24
    EVT_WINDOWSIZE,    // 25
    EVT_SETCURSOR,     // 26
    EVT_TIMER,         // 27
};

inline bool IsKeyEvent(int type)
{
    return type > EVT_KEYBEGIN && type < EVT_KEYEND;
}
inline bool IsMouseEvent(int type)
{
    return type > EVT_MOUSEBEGIN && type < EVT_MOUSEEND;
}

// An input event for one control. Every record starts all-zero; each
// dispatch fills only the fields it names.
typedef struct tagTEventUI
{
    int type;
    CControlUI* sender;
    DWORD timestamp;  // GetTickCount() when the event was made
    POINT mousePos;   // client coordinates
    TCHAR keyChar;    // key events: low word of wParam
    WORD keyState;    // MK_* flags
    WPARAM wParam;
    LPARAM lParam;
} TEventUI;

// A notification raised by a control. The type is compared exactly
// ("click" is not "Click"); virtualWnd is filled only when virtual-window
// routing is on; sender may become null for a queued notification whose
// sender was destroyed.
typedef struct tagTNotifyUI
{
    CUIString type;
    CUIString virtualWnd;
    CControlUI* sender;
    DWORD timestamp;
    POINT mousePos;  // the paint manager's last known mouse position
    WPARAM wParam;
    LPARAM lParam;
} TNotifyUI;

class INotifyUI
{
public:
    virtual void Notify(TNotifyUI& msg) = 0;

protected:
    ~INotifyUI() {}
};

// Setting bHandled stops further processing; the returned value is then the
// message result.
class IMessageFilterUI
{
public:
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;

protected:
    ~IMessageFilterUI() {}
};

// S_OK means that the message was translated.
class ITranslateAccelerator
{
public:
    virtual LRESULT TranslateAccelerator(MSG* pMsg) = 0;

protected:
    ~ITranslateAccelerator() {}
};

}  // namespace SkinUI
