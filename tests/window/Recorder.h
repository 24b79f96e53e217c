#pragma once
// A control that records the events it receives, for the window tests that
// drive dispatch with real messages sent to a PaintManagerWindow.

#include "skinui/control/Container.h"
#include "skinui/control/Control.h"
#include "skinui/core/PaintManager.h"
#include "tests/support/PaintManagerWindow.h"

#include <string>
#include <vector>

namespace WindowTest {

using namespace SkinUI;
using TestSupport::PaintManagerWindow;

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
CRecorderUI* AddRecorder(CContainerUI* pParent, std::vector<std::wstring>* pLog, LPCTSTR name, RECT rc,
                         UINT uFlags = 0, LPCTSTR pstrClass = L"RecorderUI");

LPARAM PointParam(int x, int y);

}  // namespace WindowTest
