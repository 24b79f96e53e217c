#pragma once
// CDelegate: a delegate to a member function bool (T::*)(void*) of one
// object, and MakeDelegate for it. This header also brings in the rest of the
// delegate family, so that one include serves a control's event lists:
//   DelegateBase.h     CDelegateBase, what every delegate has
//   DelegateStatic.h   CDelegateStatic, a free function, and its MakeDelegate
//   EventSource.h      CEventSource, the list a control's OnXxx members are

#include "skinui/control/DelegateBase.h"
#include "skinui/control/DelegateStatic.h"
#include "skinui/control/EventSource.h"

#include <cstring>

namespace SkinUI {

// The member pointer is kept whole in the copy; the base keeps its first word
// for Equals.
template <class O, class T>
class CDelegate : public CDelegateBase
{
    typedef bool (T::*Fn)(void*);

public:
    CDelegate(O* pObj, Fn pFn) : CDelegateBase(pObj, FirstWord(pFn)), m_pFn(pFn) {}
    CDelegate(const CDelegate& rhs) : CDelegateBase(rhs), m_pFn(rhs.m_pFn) {}
    CDelegateBase* Copy() const override { return new CDelegate(*this); }
    bool Invoke(void* param) override
    {
        O* pObject = static_cast<O*>(GetObjectW());
        return (pObject->*m_pFn)(param);
    }

private:
    static void* FirstWord(Fn pFn)
    {
        void* p = nullptr;
        std::memcpy(&p, &pFn, sizeof(p));
        return p;
    }

    Fn m_pFn;
};

template <class O, class T>
CDelegate<O, T> MakeDelegate(O* pObject, bool (T::*pFn)(void*))
{
    return CDelegate<O, T>(pObject, pFn);
}

}  // namespace SkinUI
