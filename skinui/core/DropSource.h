#pragma once
// CIDropSource: the OLE drop source of a drag the paint manager starts from a
// drag-enabled control. The drag drops when the left button comes up and
// ends without a drop on Escape; the system draws its usual cursors.
//
// Reference counted: it deletes itself with its last Release. It starts with
// one reference, the creator's.

#include <ole2.h>
#include <windows.h>

namespace SkinUI {

class CIDropSource : public IDropSource
{
public:
    CIDropSource() = default;
    CIDropSource(const CIDropSource&) = delete;
    CIDropSource& operator=(const CIDropSource&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD dwEffect) override;

private:
    virtual ~CIDropSource() = default;

    LONG m_lRefCount = 1;
};

} // namespace SkinUI
