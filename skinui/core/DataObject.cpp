#include "skinui/core/DataObject.h"

#include <shlobj.h>

#include <new>

namespace SkinUI {

namespace {

// A copy of a medium the receiver may release: a fresh handle for the
// handle types, another reference for the interface types.
HRESULT CopyMedium(const FORMATETC& format, const STGMEDIUM& from, STGMEDIUM& to)
{
    to.tymed = from.tymed;
    to.pUnkForRelease = nullptr;
    switch (from.tymed) {
    case TYMED_HGLOBAL:
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
        to.hGlobal = static_cast<HGLOBAL>(::OleDuplicateData(from.hGlobal, format.cfFormat, 0));
        return to.hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
    case TYMED_ISTREAM:
        to.pstm = from.pstm;
        if (to.pstm != nullptr) to.pstm->AddRef();
        return S_OK;
    case TYMED_ISTORAGE:
        to.pstg = from.pstg;
        if (to.pstg != nullptr) to.pstg->AddRef();
        return S_OK;
    default:
        to.tymed = TYMED_NULL;
        return DV_E_TYMED;
    }
}

}  // namespace

CIDataObject::~CIDataObject()
{
    for (int i = 0; i < m_aEntries.GetSize(); ++i) {
        TEntry* pEntry = static_cast<TEntry*>(m_aEntries[i]);
        ::ReleaseStgMedium(&pEntry->medium);
        delete pEntry;
    }
}

CIDataObject::TEntry* CIDataObject::Find(const FORMATETC& format, DWORD tymed) const
{
    for (int i = 0; i < m_aEntries.GetSize(); ++i) {
        TEntry* pEntry = static_cast<TEntry*>(m_aEntries[i]);
        if (pEntry->format.cfFormat == format.cfFormat && pEntry->format.dwAspect == format.dwAspect &&
            (pEntry->format.tymed & tymed) != 0)
            return pEntry;
    }
    return nullptr;
}

HRESULT CIDataObject::GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium)
{
    if (pformatetcIn == nullptr || pmedium == nullptr) return E_INVALIDARG;
    pmedium->tymed = TYMED_NULL;
    pmedium->hGlobal = nullptr;
    pmedium->pUnkForRelease = nullptr;
    const TEntry* pEntry = Find(*pformatetcIn, pformatetcIn->tymed);
    if (pEntry == nullptr) return DV_E_FORMATETC;
    return CopyMedium(pEntry->format, pEntry->medium, *pmedium);
}

HRESULT CIDataObject::GetDataHere(FORMATETC* /*pformatetc*/, STGMEDIUM* /*pmedium*/)
{
    return E_NOTIMPL;
}

HRESULT CIDataObject::QueryGetData(FORMATETC* pformatetc)
{
    if (pformatetc == nullptr) return E_INVALIDARG;
    return Find(*pformatetc, pformatetc->tymed) != nullptr ? S_OK : DV_E_FORMATETC;
}

HRESULT CIDataObject::GetCanonicalFormatEtc(FORMATETC* /*pformatectIn*/, FORMATETC* pformatetcOut)
{
    if (pformatetcOut == nullptr) return E_INVALIDARG;
    pformatetcOut->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT CIDataObject::SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease)
{
    if (pformatetc == nullptr || pmedium == nullptr) return E_INVALIDARG;
    TEntry* pEntry = new (std::nothrow) TEntry;
    if (pEntry == nullptr) return E_OUTOFMEMORY;
    pEntry->format = *pformatetc;
    pEntry->format.ptd = nullptr;  // no target device is kept
    pEntry->format.tymed = pmedium->tymed;
    if (fRelease) {
        pEntry->medium = *pmedium;
    } else if (FAILED(CopyMedium(pEntry->format, *pmedium, pEntry->medium))) {
        delete pEntry;
        return E_OUTOFMEMORY;
    }
    TEntry* pOld = Find(pEntry->format, pEntry->format.tymed);
    if (pOld != nullptr) {
        ::ReleaseStgMedium(&pOld->medium);
        pOld->medium = pEntry->medium;
        delete pEntry;
        return S_OK;
    }
    if (!m_aEntries.Add(pEntry)) {
        if (fRelease) pEntry->medium.tymed = TYMED_NULL;  // still the caller's
        ::ReleaseStgMedium(&pEntry->medium);
        delete pEntry;
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CIDataObject::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc)
{
    if (ppenumFormatEtc == nullptr) return E_INVALIDARG;
    *ppenumFormatEtc = nullptr;
    if (dwDirection != DATADIR_GET) return E_NOTIMPL;
    const int n = m_aEntries.GetSize();
    FORMATETC* pFormats = new (std::nothrow) FORMATETC[n > 0 ? n : 1];
    if (pFormats == nullptr) return E_OUTOFMEMORY;
    for (int i = 0; i < n; ++i) pFormats[i] = static_cast<TEntry*>(m_aEntries[i])->format;
    const HRESULT hr = ::SHCreateStdEnumFmtEtc(static_cast<UINT>(n), pFormats, ppenumFormatEtc);
    delete[] pFormats;
    return hr;
}

HRESULT CIDataObject::DAdvise(FORMATETC* /*pformatetc*/, DWORD /*advf*/, IAdviseSink* /*pAdvSink*/,
                              DWORD* /*pdwConnection*/)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT CIDataObject::DUnadvise(DWORD /*dwConnection*/)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT CIDataObject::EnumDAdvise(IEnumSTATDATA** /*ppenumAdvise*/)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace SkinUI
