#pragma once
// The IUnknown part of the engine's OLE objects.
//
// QueryOneInterface answers QueryInterface for an object that offers IUnknown
// and one interface. TComObject<I> is the IUnknown of an object that offers
// I alone, counts its references atomically and deletes itself with its last
// Release; it starts with one reference, the creator's. It adds only the
// virtual destructor after I's operations, where a COM class declares its
// own.

#include <ole2.h>
#include <windows.h>

namespace SkinUI {

// pInterface is the object as the interface iid; it gets the reference the
// caller asked for.
inline HRESULT QueryOneInterface(IUnknown* pInterface, REFIID iid, REFIID riid, void** ppvObject)
{
    if (ppvObject == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid)) {
        *ppvObject = pInterface;
        pInterface->AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

template <class I>
class TComObject : public I
{
public:
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override
    {
        return QueryOneInterface(static_cast<I*>(this), m_iid, riid, ppvObject);
    }
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        return static_cast<ULONG>(::InterlockedIncrement(&m_lRefCount));
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG lCount = ::InterlockedDecrement(&m_lRefCount);
        if (lCount == 0) delete this;
        return static_cast<ULONG>(lCount);
    }

protected:
    explicit TComObject(REFIID iid) : m_iid(iid) {}
    virtual ~TComObject() {}

private:
    const IID& m_iid;
    LONG m_lRefCount = 1;
};

}  // namespace SkinUI
