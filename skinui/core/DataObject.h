#pragma once
// CIDataObject: the data a drag offers. It keeps the media it is given, one
// per clipboard format and medium type, and hands out copies, which the
// receiver releases. Formats are listed through the system's standard
// enumerator.
//
// Reference counted as a TComObject: the media it keeps go with it.

#include "skinui/core/ComObject.h"
#include "skinui/core/StdPtrArray.h"

namespace SkinUI {

class CIDataObject : public TComObject<IDataObject>
{
public:
    CIDataObject() : TComObject<IDataObject>(IID_IDataObject) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* pformatetc, STGMEDIUM* pmedium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pformatetc) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* pformatectIn,
                                                    FORMATETC* pformatetcOut) override;
    // With fRelease the object takes the medium, else it keeps a copy. A
    // medium of a format and type it holds already replaces the old one.
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink,
                                      DWORD* pdwConnection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD dwConnection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** ppenumAdvise) override;

private:
    struct TEntry
    {
        FORMATETC format;
        STGMEDIUM medium;
    };

    ~CIDataObject() override;
    // The entry of that format holding that medium type (one of the bits
    // of tymed), or null.
    TEntry* Find(const FORMATETC& format, DWORD tymed) const;

    CStdPtrArray m_aEntries;  // TEntry*, owned with their media
};

}  // namespace SkinUI
