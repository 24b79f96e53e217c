#pragma once
// IAccessibilityProviderUI: the one road from a paint manager to screen
// readers. The manager makes its provider at the first WM_GETOBJECT for the
// client object (CreateAccessibilityProvider) and owns it; it hands it the
// window's WM_SETFOCUS and the actions the provider posted to the window
// (WM_ACCESSIBLE_ACTION), and deletes it at WM_DESTROY or with itself. Until
// a client asks, none exists, and a control change costs one test.
//
// The engine's provider is the accessibility tree of skinui/accessibility,
// which defines CreateAccessibilityProvider and watches the controls as one
// of the manager's control observers (IControlObserverUI).

#include <windows.h>

namespace SkinUI {

class CPaintManagerUI;

// Posted by a provider to its own window: wParam names the object whose
// default action runs, after the client's call has returned.
#define WM_ACCESSIBLE_ACTION (WM_APP + 2)

class IAccessibilityProviderUI
{
public:
    virtual ~IAccessibilityProviderUI() {}
    // WM_GETOBJECT for OBJID_CLIENT: the client object, an IAccessible, as
    // LresultFromObject makes it; 0 or below when it could not.
    virtual LRESULT GetClientObjectResult(WPARAM wParam) = 0;
    // WM_SETFOCUS of the window.
    virtual void OnWindowFocus() = 0;
    // WM_ACCESSIBLE_ACTION.
    virtual void OnPostedAction(WPARAM wParam) = 0;
};

// The provider of the manager's window; null when it could not be made.
IAccessibilityProviderUI* CreateAccessibilityProvider(CPaintManagerUI* pManager);

}  // namespace SkinUI
