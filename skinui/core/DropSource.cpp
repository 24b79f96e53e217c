#include "skinui/core/DropSource.h"

namespace SkinUI {

HRESULT CIDropSource::QueryInterface(REFIID riid, void** ppvObject)
{
    if (ppvObject == NULL) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
        *ppvObject = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = NULL;
    return E_NOINTERFACE;
}

ULONG CIDropSource::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_lRefCount));
}

ULONG CIDropSource::Release()
{
    const LONG lCount = ::InterlockedDecrement(&m_lRefCount);
    if (lCount == 0) delete this;
    return static_cast<ULONG>(lCount);
}

HRESULT CIDropSource::QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState)
{
    if (fEscapePressed) return DRAGDROP_S_CANCEL;
    if ((grfKeyState & MK_LBUTTON) == 0) return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT CIDropSource::GiveFeedback(DWORD /*dwEffect*/)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

} // namespace SkinUI
