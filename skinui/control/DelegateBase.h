#pragma once
// CDelegateBase: an object pointer plus a function, the common part of the
// delegates an event source holds. A delegate answers false to stop the
// event source's walk over the delegates after it.

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

}  // namespace SkinUI
