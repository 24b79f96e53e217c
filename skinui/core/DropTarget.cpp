#include "skinui/core/DropTarget.h"

#include "skinui/core/ComObject.h"

namespace SkinUI {

CIDropTarget::~CIDropTarget()
{
    DragDropRevoke();
}

bool CIDropTarget::DragDropRegister(HWND hWnd, DWORD acceptKeyState)
{
    if (!::IsWindow(hWnd)) return false;
    m_dwAcceptKeyState = acceptKeyState;
    if (FAILED(::RegisterDragDrop(hWnd, this))) return false;
    m_hTargetWnd = hWnd;
    return true;
}

bool CIDropTarget::DragDropRevoke()
{
    if (m_hTargetWnd == nullptr) return false;
    HRESULT hr = ::RevokeDragDrop(m_hTargetWnd);
    m_hTargetWnd = nullptr;
    return SUCCEEDED(hr);
}

void CIDropTarget::AddSuportedFormat(const FORMATETC& ftetc)
{
    if (m_nFormats < static_cast<int>(sizeof(m_formats) / sizeof(m_formats[0])))
        m_formats[m_nFormats++] = ftetc;
}

HRESULT CIDropTarget::QueryInterface(REFIID riid, void** ppvObject)
{
    return QueryOneInterface(static_cast<IDropTarget*>(this), IID_IDropTarget, riid, ppvObject);
}

ULONG CIDropTarget::AddRef()
{
    return ++m_lRefCount;
}

ULONG CIDropTarget::Release()
{
    // The owner deletes the object; COM only counts.
    return m_lRefCount > 0 ? --m_lRefCount : 0;
}

DWORD CIDropTarget::EffectFor(DWORD grfKeyState, DWORD allowed)
{
    DWORD effect = (grfKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    if (!(allowed & effect)) effect = (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return effect;
}

HRESULT CIDropTarget::DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL /*pt*/, DWORD* pdwEffect)
{
    if (pDataObj == nullptr || pdwEffect == nullptr) return E_INVALIDARG;
    m_bAllowDrop = false;
    m_pSupportedFormat = nullptr;
    for (int i = 0; i < m_nFormats; ++i) {
        if (pDataObj->QueryGetData(&m_formats[i]) == S_OK) {
            m_bAllowDrop = true;
            m_pSupportedFormat = &m_formats[i];
            break;
        }
    }
    *pdwEffect = m_bAllowDrop ? EffectFor(grfKeyState, *pdwEffect) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT CIDropTarget::DragOver(DWORD grfKeyState, POINTL /*pt*/, DWORD* pdwEffect)
{
    if (pdwEffect == nullptr) return E_INVALIDARG;
    *pdwEffect = m_bAllowDrop ? EffectFor(grfKeyState, *pdwEffect) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT CIDropTarget::DragLeave()
{
    m_bAllowDrop = false;
    m_pSupportedFormat = nullptr;
    return S_OK;
}

HRESULT CIDropTarget::Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL /*pt*/, DWORD* pdwEffect)
{
    if (pDataObj == nullptr || pdwEffect == nullptr) return E_INVALIDARG;
    if (!m_bAllowDrop || m_pSupportedFormat == nullptr) {
        *pdwEffect = DROPEFFECT_NONE;
        return S_OK;
    }
    *pdwEffect = EffectFor(grfKeyState, *pdwEffect);
    STGMEDIUM medium = {};
    if (pDataObj->GetData(m_pSupportedFormat, &medium) == S_OK) {
        if (!OnDrop(m_pSupportedFormat, medium, pdwEffect)) *pdwEffect = DROPEFFECT_NONE;
        ::ReleaseStgMedium(&medium);
    } else {
        *pdwEffect = DROPEFFECT_NONE;
    }
    m_bAllowDrop = false;
    m_pSupportedFormat = nullptr;
    return S_OK;
}

}  // namespace SkinUI
