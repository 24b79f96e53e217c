#include "skinui/core/PaintManager.h"

namespace SkinUI {

CStdPtrArray CPaintManagerUI::m_aPreMessages;

CPaintManagerUI::CPaintManagerUI()
{
    InitResources();
}

CPaintManagerUI::~CPaintManagerUI()
{
    TermRegistry();
    TermResources();
    if (m_hwndTooltip != NULL) ::DestroyWindow(m_hwndTooltip);
    ReleaseOffscreen();
    if (m_hDcPaint != NULL) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
    m_aPreMessages.Remove(m_aPreMessages.Find(this));
}

void CPaintManagerUI::Init(HWND hWnd, LPCTSTR pstrName)
{
    ResetRegistry();
    ResetWindowResources();
    m_sName = pstrName != NULL ? pstrName : L"";
    if (m_hWndPaint != hWnd) {
        if (m_hDcPaint != NULL) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
        m_hWndPaint = hWnd;
        m_hDcPaint = ::GetDC(hWnd);
        if (m_aPreMessages.Find(this) < 0) m_aPreMessages.Add(this);
    }
    // Without OLE initialised the window simply accepts no drops.
    InitDragDrop();
}

} // namespace SkinUI
