// The paint manager's hand-over to screen readers: WM_GETOBJECT for the
// client object goes to the window's accessibility provider, made here at
// the first such request (AccessibilityProvider.h).
#include "skinui/core/PaintManager.h"

#include "skinui/core/AccessibilityProvider.h"

namespace SkinUI {

bool CPaintManagerUI::OnGetObject(WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    // Only the low 32 bits name the object: Wine on Win64 sends the id
    // zero-extended, others sign-extended. Other objects (the window, the
    // caret, UI Automation's root) are the default procedure's.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return false;
    if (m_pAccessibility == nullptr) m_pAccessibility = CreateAccessibilityProvider(this);
    if (m_pAccessibility == nullptr) return false;
    lRes = m_pAccessibility->GetClientObjectResult(wParam);
    return lRes > 0;
}

}  // namespace SkinUI
