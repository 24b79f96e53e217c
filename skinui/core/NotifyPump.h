#pragma once
// CNotifyPump: routes notifications to member functions through message
// maps, and forwards notifications of named virtual windows to other pumps.
//
// A class declares its map in its body and defines it in its .cpp:
//
//   class CMyWnd : public CNotifyPump {
//       UI_DECLARE_MESSAGE_MAP(CMyWnd)
//       void OnClose(TNotifyUI& msg);
//       void OnAny(TNotifyUI& msg);
//       LRESULT OnTimerValues(WPARAM wParam, LPARAM lParam);
//   };
//
//   UI_BEGIN_MESSAGE_MAP(CMyWnd, CNotifyPump)
//       UI_ON_CLICK_CTRNAME(L"closebtn", OnClose)
//       UI_ON_MSGTYPE(L"click", OnAny)
//       UI_ON_MSGTYPE_WPARAM_LPARAM(L"timer", OnTimerValues)
//   UI_END_MESSAGE_MAP()
//
// Lookup: within one map an entry naming the sender wins over an entry for
// any control of the same type, wherever it stands; when a map has neither,
// the base class's map is searched. Handlers are called on the routing
// object adjusted to the class that owns the map; a virtual handler reaches
// the most derived override.

#include "skinui/core/StdStringPtrMap.h"
#include "skinui/core/UIEvents.h"
#include "skinui/core/UIString.h"

#include <windows.h>

namespace SkinUI {

class CNotifyPump;

// Handler signatures of a map entry.
enum UISig
{
    SigEnd = 0,           // terminates the table
    SigWParamLParam = 1,  // LRESULT handler(WPARAM, LPARAM) with the notification's values
    SigNotify = 2,        // void handler(TNotifyUI&)
};

// Calls the entry's member function on the routing object.
typedef void (*UI_PMSG)(CNotifyPump* pObject, TNotifyUI& msg);

struct UI_MSGMAP_ENTRY
{
    CUIString sMsgType;   // compared exactly with the notification's type
    CUIString sCtrlName;  // empty: any control
    UINT nSig;            // UISig
    UI_PMSG pfn;
};

struct UI_MSGMAP
{
    const UI_MSGMAP* (*pfnGetBaseMap)();  // Null at the root
    const UI_MSGMAP_ENTRY* lpEntries;     // ends with a SigEnd entry
};

class CNotifyPump
{
public:
    CNotifyPump();
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;
    virtual ~CNotifyPump();

    // Registers pObject (not owned; it must outlive its registration) under
    // strName, compared exactly. False when the name is taken or pObject is
    // null.
    bool AddVirtualWnd(CUIString strName, CNotifyPump* pObject);
    bool RemoveVirtualWnd(CUIString strName);

    // A notification of a virtual window goes to the pump registered under
    // that name (letter case ignored) when its map handles it; every other
    // one, and one that pump leaves alone, goes through this object's maps.
    void NotifyPump(TNotifyUI& msg);

    // True when a handler of this object's map chain was called.
    bool LoopDispatch(TNotifyUI& msg);

    // The entry for msg's type and sender name in one table, or null.
    static const UI_MSGMAP_ENTRY* FindMessageEntry(const UI_MSGMAP_ENTRY* lpEntry, const TNotifyUI& msg);

    virtual const UI_MSGMAP* GetMessageMap() const;

protected:
    static const UI_MSGMAP* GetThisMessageMap();

private:
    static const UI_MSGMAP_ENTRY s_messageEntries[];
    static const UI_MSGMAP s_messageMap;

    CStdStringPtrMap m_VirtualWndMap;
};

// The member function adapters the map macros build entries from. T is the
// class owning the map; Handler may be a member of T or of a base of T.
template <class T, auto Handler>
void UINotifyThunk(CNotifyPump* pObject, TNotifyUI& msg)
{
    (static_cast<T*>(pObject)->*Handler)(msg);
}

template <class T, auto Handler>
void UIWParamLParamThunk(CNotifyPump* pObject, TNotifyUI& msg)
{
    (static_cast<T*>(pObject)->*Handler)(msg.wParam, msg.lParam);
}

}  // namespace SkinUI

// Inside the class body; theClass is the class being declared. Members
// declared after it are private until the next access specifier.
#define UI_DECLARE_MESSAGE_MAP(theClass)                                                                     \
private:                                                                                                     \
    typedef theClass UIMapOwner;                                                                             \
    static const ::SkinUI::UI_MSGMAP_ENTRY s_messageEntries[];                                               \
                                                                                                             \
protected:                                                                                                   \
    static const ::SkinUI::UI_MSGMAP s_messageMap;                                                           \
    static const ::SkinUI::UI_MSGMAP* GetThisMessageMap();                                                   \
                                                                                                             \
public:                                                                                                      \
    const ::SkinUI::UI_MSGMAP* GetMessageMap() const override;                                               \
                                                                                                             \
private:

// At namespace scope in the class's .cpp, followed by entries and
// UI_END_MESSAGE_MAP().
#define UI_BEGIN_MESSAGE_MAP(theClass, baseClass)                                                            \
    const ::SkinUI::UI_MSGMAP* theClass::GetThisMessageMap()                                                 \
    {                                                                                                        \
        return &theClass::s_messageMap;                                                                      \
    }                                                                                                        \
    const ::SkinUI::UI_MSGMAP* theClass::GetMessageMap() const                                               \
    {                                                                                                        \
        return &theClass::s_messageMap;                                                                      \
    }                                                                                                        \
    const ::SkinUI::UI_MSGMAP theClass::s_messageMap = {&baseClass::GetThisMessageMap,                       \
                                                        &theClass::s_messageEntries[0]};                     \
    const ::SkinUI::UI_MSGMAP_ENTRY theClass::s_messageEntries[] = {
#define UI_END_MESSAGE_MAP()                                                                                 \
    {                                                                                                        \
        ::SkinUI::CUIString(), ::SkinUI::CUIString(), ::SkinUI::SigEnd, nullptr                              \
    }                                                                                                        \
    }                                                                                                        \
    ;

// Any control's notification of this type: void memberFxn(TNotifyUI&).
#define UI_ON_MSGTYPE(msgtype, memberFxn)                                                                    \
    {msgtype, ::SkinUI::CUIString(), ::SkinUI::SigNotify,                                                    \
     &::SkinUI::UINotifyThunk<UIMapOwner, &UIMapOwner::memberFxn>},

// This type from the control of this name: void memberFxn(TNotifyUI&).
#define UI_ON_MSGTYPE_CTRNAME(msgtype, ctrname, memberFxn)                                                   \
    {msgtype, ctrname, ::SkinUI::SigNotify, &::SkinUI::UINotifyThunk<UIMapOwner, &UIMapOwner::memberFxn>},

#define UI_ON_CLICK_CTRNAME(ctrname, memberFxn) UI_ON_MSGTYPE_CTRNAME(L"click", ctrname, memberFxn)

#define UI_ON_SELECTCHANGED_CTRNAME(ctrname, memberFxn)                                                      \
    UI_ON_MSGTYPE_CTRNAME(L"selectchanged", ctrname, memberFxn)

#define UI_ON_KILLFOCUS_CTRNAME(ctrname, memberFxn) UI_ON_MSGTYPE_CTRNAME(L"killfocus", ctrname, memberFxn)

#define UI_ON_TIMER(memberFxn) UI_ON_MSGTYPE(L"timer", memberFxn)

// Any control's notification of this type, handed on as its wParam and
// lParam: LRESULT memberFxn(WPARAM, LPARAM).
#define UI_ON_MSGTYPE_WPARAM_LPARAM(msgtype, memberFxn)                                                      \
    {msgtype, ::SkinUI::CUIString(), ::SkinUI::SigWParamLParam,                                              \
     &::SkinUI::UIWParamLParamThunk<UIMapOwner, &UIMapOwner::memberFxn>},

#define UI_ON_MSGTYPE_CTRNAME_WPARAM_LPARAM(msgtype, ctrname, memberFxn)                                     \
    {msgtype, ctrname, ::SkinUI::SigWParamLParam,                                                            \
     &::SkinUI::UIWParamLParamThunk<UIMapOwner, &UIMapOwner::memberFxn>},
