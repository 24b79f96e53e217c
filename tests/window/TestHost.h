#pragma once
// A real top-level window whose messages go to a paint manager, and a
// control that records the events it receives. Used by the window tests to
// drive dispatch and painting with real messages.

#include "skinui/control/Container.h"
#include "skinui/control/Control.h"
#include "skinui/core/PaintManager.h"
#include "skinui/core/WindowWnd.h"

#include <string>
#include <vector>

namespace WindowTest {

using namespace SkinUI;

class CTestHost : public CWindowWnd, public INotifyUI
{
public:
    // Creates a hidden popup window of the given client size bound to the
    // manager; the root (owned by the manager once attached) is a plain
    // container filling the window.
    explicit CTestHost(int cx = 536, int cy = 355, DWORD dwExStyle = 0);
    ~CTestHost();

    CPaintManagerUI m_pm;
    CContainerUI* m_pRoot = NULL;
    std::vector<std::wstring> m_notifications;  // types, in delivery order

    void Notify(TNotifyUI& msg) override;
    // Dispatches everything queued for the window, including WM_PAINT.
    void Pump();
    // Forces a paint of the whole client area now.
    void PaintNow();

protected:
    LPCTSTR GetWindowClassName() const override { return L"SkinUITestHost"; }
    UINT GetClassStyle() const override { return CS_DBLCLKS; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
};

// Logs "<name>:<event type>" of every event it gets into a shared log, and
// answers whether it wants the Tab key as a text control would.
class CRecorderUI : public CControlUI, public IWantTabUI
{
public:
    CRecorderUI(std::vector<std::wstring>* pLog, LPCTSTR pstrName, UINT uFlags = 0,
                LPCTSTR pstrClass = L"RecorderUI");

    LPCTSTR GetClass() const override { return m_sClass.c_str(); }
    UINT GetControlFlags() const override { return m_uFlags; }
    bool Activate() override;
    void DoEvent(TEventUI& event) override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    bool IsWantTab() const override { return m_bWantTab; }

    int m_nActivations = 0;
    bool m_bWantTab = false;

private:
    std::vector<std::wstring>* m_pLog;
    UINT m_uFlags;
    std::wstring m_sClass;
};

// A float child at the given rectangle of its parent.
CRecorderUI* AddRecorder(CContainerUI* pParent, std::vector<std::wstring>* pLog, LPCTSTR name,
                         RECT rc, UINT uFlags = 0, LPCTSTR pstrClass = L"RecorderUI");

LPARAM PointParam(int x, int y);

} // namespace WindowTest
