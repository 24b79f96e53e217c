#pragma once
// CPaintManagerUI: one per window. It dispatches the window's input to the
// control tree, paints the tree, keeps the resources controls draw with, runs
// control timers and delivers notifications.
//
// The class is split by concern; each section below is implemented in its own
// file:
//   Resource location          PaintManagerLocation.cpp   (process-wide statics)
//   Resources, shared tables   PaintManagerResources.cpp
//   Timers, notifications,
//   control registry           PaintManagerRegistry.cpp
//   Input and event dispatch   PaintManager.cpp
//   Painting, layered windows  PaintManagerPaint.cpp
// Data members are kept with the section that uses them and initialised where
// they are declared, so that construction stays in one place per concern.

#include "skinui/core/STRINGorID.h"
#include "skinui/core/StdPtrArray.h"
#include "skinui/core/StdStringPtrMap.h"
#include "skinui/core/UIString.h"

#include <windows.h>

namespace SkinUI {

class CControlUI;

class CPaintManagerUI
{
public:
    CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;
    ~CPaintManagerUI();

    // ---- Identity and lifetime (PaintManager.cpp) ----------------------
    // Binds the manager to its window: forgets the per-window tables of a
    // previous window, takes the window's DC and joins the list of managers.
    void Init(HWND hWnd, LPCTSTR pstrName = NULL);
    const CUIString& GetName() const { return m_sName; }
    HWND GetPaintWindow() const { return m_hWndPaint; }
    HDC GetPaintDC() const { return m_hDcPaint; }
    CControlUI* GetRoot() const { return m_pRoot; }
    static CStdPtrArray* GetPaintManagers() { return &m_aPreMessages; }

    // ---- Resource location: where skin files come from -----------------
    static void SetInstance(HINSTANCE hInst);
    static HINSTANCE GetInstance();
    static CUIString GetInstancePath();
    static CUIString GetCurrentPath();
    static void SetCurrentPath(LPCTSTR pStrPath);
    static void SetResourceDll(HINSTANCE hInst);
    static HINSTANCE GetResourceDll();
    static void SetResourcePath(LPCTSTR pStrPath);
    static const CUIString& GetResourcePath();
    static void SetResourceZip(LPCTSTR pstrZip, bool bCachedResourceZip = false);
    static void SetResourceZip(LPVOID pVoid, unsigned int len);
    static const CUIString& GetResourceZip();
    static bool IsCachedResourceZip();
    static HANDLE GetResourceZipHandle();
    static void SetResourceType(int nType);
    static int GetResourceType();
    static void Term();

    // ---- Resources and shared tables ----------------------------------

    // ---- Timers, notifications and control registry -------------------

    // ---- Input and event dispatch --------------------------------------

    // ---- Painting and layered windows ---------------------------------

private:
    // Per-concern parts of construction, Init and destruction; each is
    // implemented in the file of its concern.
    void InitResources();           // shared defaults, GDI+ start-up
    void ResetWindowResources();    // Init: empty the per-window tables
    void TermResources();           // destruction: free the tables, GDI+ off
    void ResetRegistry();           // Init: forget names and timers
    void TermRegistry();            // destruction: cleanup list, queue, tree

    // ---- Identity and lifetime ----------------------------------------
    CUIString m_sName;
    HWND m_hWndPaint = NULL;
    HDC m_hDcPaint = NULL;
    CControlUI* m_pRoot = NULL;
    CControlUI* m_pFocus = NULL;
    CControlUI* m_pEventHover = NULL;
    CControlUI* m_pEventClick = NULL;
    CControlUI* m_pEventKey = NULL;
    POINT m_ptLastMousePos = {-1, -1};
    bool m_bFirstLayout = true;
    bool m_bUpdateNeeded = false;
    bool m_bFocusNeeded = false;
    // Every manager that has been bound to a window, in the order of Init.
    static CStdPtrArray m_aPreMessages;

    // ---- Resource location --------------------------------------------
    static HINSTANCE m_hInstance;
    static HINSTANCE m_hResourceInstance;
    static CUIString m_pStrResourcePath;
    static CUIString m_pStrResourceZip;
    static bool m_bCachedResourceZip;
    static HANDLE m_hResourceZip;
    static int m_nResType;

    // ---- Resources and shared tables ----------------------------------

    // ---- Timers, notifications and control registry -------------------

    // ---- Input and event dispatch --------------------------------------

    // ---- Painting and layered windows ---------------------------------
};

} // namespace SkinUI
