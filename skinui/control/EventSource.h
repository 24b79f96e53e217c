#pragma once
// CEventSource: one of a control's OnInit, OnDestroy, OnSize, OnEvent and
// OnNotify lists. It owns copies of the delegates added to it (a delegate
// equal to one it holds is not added twice) and calls them in the order they
// were added until one of them answers false.

#include "skinui/control/DelegateBase.h"
#include "skinui/core/StdPtrArray.h"

namespace SkinUI {

class CEventSource
{
    typedef bool (*FnType)(void*);

public:
    CEventSource() = default;
    CEventSource(const CEventSource&) = delete;
    CEventSource& operator=(const CEventSource&) = delete;
    ~CEventSource();

    operator bool() const;
    void operator+=(const CDelegateBase& d);
    void operator+=(FnType pFn);
    void operator-=(const CDelegateBase& d);
    void operator-=(FnType pFn);
    bool operator()(void* param);
    void Clear();

protected:
    CStdPtrArray m_aDelegates;
};

}  // namespace SkinUI
