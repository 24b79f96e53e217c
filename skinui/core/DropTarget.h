#pragma once
// CIDropTarget: the OLE drop target a window registers for itself. It
// accepts the formats added with AddSuportedFormat and hands a drop to the
// virtual OnDrop. The object is owned by its window's code, not by COM:
// Release never deletes it.

#include <ole2.h>
#include <windows.h>

namespace SkinUI {

class CIDropTarget : public IDropTarget
{
public:
    CIDropTarget() = default;
    CIDropTarget(const CIDropTarget&) = delete;
    CIDropTarget& operator=(const CIDropTarget&) = delete;
    virtual ~CIDropTarget();

    // Registers hWnd as drop target; false when OLE refuses.
    bool DragDropRegister(HWND hWnd, DWORD acceptKeyState = MK_LBUTTON);
    bool DragDropRevoke();
    void AddSuportedFormat(const FORMATETC& ftetc);
    virtual bool OnDrop(FORMATETC* pFmtEtc, STGMEDIUM& medium, DWORD* pdwEffect) = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                        DWORD* pdwEffect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                   DWORD* pdwEffect) override;

protected:
    HWND m_hTargetWnd = nullptr;

private:
    static DWORD EffectFor(DWORD grfKeyState, DWORD allowed);

    ULONG m_lRefCount = 1;
    DWORD m_dwAcceptKeyState = MK_LBUTTON;
    bool m_bAllowDrop = false;
    FORMATETC* m_pSupportedFormat = nullptr;  // the accepted format of the current drag
    FORMATETC m_formats[8] = {};
    int m_nFormats = 0;
};

}  // namespace SkinUI
