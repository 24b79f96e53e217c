#pragma once
// CIDropSource: the OLE drop source of a drag the paint manager starts from a
// drag-enabled control. The drag drops when the left button comes up and
// ends without a drop on Escape; the system draws its usual cursors.
// Reference counted as a TComObject.

#include "skinui/core/ComObject.h"

namespace SkinUI {

class CIDropSource : public TComObject<IDropSource>
{
public:
    CIDropSource() : TComObject<IDropSource>(IID_IDropSource) {}

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD dwEffect) override;

private:
    ~CIDropSource() override = default;
};

}  // namespace SkinUI
