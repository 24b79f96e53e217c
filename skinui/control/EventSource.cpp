#include "skinui/control/EventSource.h"

#include "skinui/control/DelegateStatic.h"

namespace SkinUI {

CEventSource::~CEventSource()
{
    Clear();
}

CEventSource::operator bool() const
{
    return m_aDelegates.GetSize() > 0;
}

void CEventSource::operator+=(const CDelegateBase& d)
{
    for (int i = 0; i < m_aDelegates.GetSize(); i++) {
        CDelegateBase* pObject = static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
        if (pObject != nullptr && pObject->Equals(d)) return;
    }
    CDelegateBase* pCopy = d.Copy();
    if (!m_aDelegates.Add(pCopy)) delete pCopy;
}

void CEventSource::operator+=(FnType pFn)
{
    (*this) += MakeDelegate(pFn);
}

void CEventSource::operator-=(const CDelegateBase& d)
{
    for (int i = 0; i < m_aDelegates.GetSize(); i++) {
        CDelegateBase* pObject = static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
        if (pObject != nullptr && pObject->Equals(d)) {
            delete pObject;
            m_aDelegates.Remove(i);
            return;
        }
    }
}

void CEventSource::operator-=(FnType pFn)
{
    (*this) -= MakeDelegate(pFn);
}

bool CEventSource::operator()(void* param)
{
    for (int i = 0; i < m_aDelegates.GetSize(); i++) {
        CDelegateBase* pObject = static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
        if (pObject != nullptr && !(*pObject)(param)) return false;
    }
    return true;
}

void CEventSource::Clear()
{
    for (int i = 0; i < m_aDelegates.GetSize(); i++) {
        delete static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
    }
    m_aDelegates.Empty();
}

}  // namespace SkinUI
