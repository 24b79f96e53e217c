#pragma once
// CDelegateStatic: a delegate to a free function bool (*)(void*); the object
// pointer is null.

#include "skinui/control/DelegateBase.h"

#include <stddef.h>

namespace SkinUI {

class CDelegateStatic : public CDelegateBase
{
    typedef bool (*Fn)(void*);

public:
    explicit CDelegateStatic(Fn pFn) : CDelegateBase(nullptr, reinterpret_cast<void*>(pFn)) {}
    CDelegateStatic(const CDelegateStatic& rhs) : CDelegateBase(rhs) {}
    CDelegateBase* Copy() const override { return new CDelegateStatic(*this); }
    bool Invoke(void* param) override
    {
        Fn pFn = reinterpret_cast<Fn>(GetFn());
        return (*pFn)(param);
    }
};

inline CDelegateStatic MakeDelegate(bool (*pFn)(void*))
{
    return CDelegateStatic(pFn);
}

}  // namespace SkinUI
