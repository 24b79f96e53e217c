#pragma once
// Delegates and event sources: a control's OnInit, OnDestroy, OnSize, OnEvent
// and OnNotify lists. A delegate is an object pointer plus a function; an
// event source owns copies of the delegates added to it and calls them in the
// order they were added until one of them answers false.

#include "skinui/core/StdPtrArray.h"

#include <cstring>

namespace SkinUI {

class CDelegateBase
{
public:
    CDelegateBase(void* pObject, void* pFn);
    CDelegateBase(const CDelegateBase& rhs);
    CDelegateBase& operator=(const CDelegateBase&) = delete;
    virtual ~CDelegateBase();
    virtual CDelegateBase* Copy() const = 0;
    virtual bool Invoke(void* param) = 0;

    bool Equals(const CDelegateBase& rhs) const;
    bool operator()(void* param) { return Invoke(param); }

    void* GetObjectW() const { return m_pObject; }
    void* GetFn() const { return m_pFn; }

private:
    void* m_pObject;
    void* m_pFn;
};

// A free function bool (*)(void*); the object pointer is null.
class CDelegateStatic : public CDelegateBase
{
    typedef bool (*Fn)(void*);

public:
    explicit CDelegateStatic(Fn pFn) : CDelegateBase(NULL, reinterpret_cast<void*>(pFn)) {}
    CDelegateStatic(const CDelegateStatic& rhs) : CDelegateBase(rhs) {}
    CDelegateBase* Copy() const override { return new CDelegateStatic(*this); }
    bool Invoke(void* param) override
    {
        Fn pFn = reinterpret_cast<Fn>(GetFn());
        return (*pFn)(param);
    }
};

// A member function bool (T::*)(void*) of one object. The member pointer is
// kept whole in the copy; the base keeps its first word for Equals.
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
        void* p = NULL;
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

inline CDelegateStatic MakeDelegate(bool (*pFn)(void*))
{
    return CDelegateStatic(pFn);
}

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

} // namespace SkinUI
