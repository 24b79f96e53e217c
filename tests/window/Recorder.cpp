#include "tests/window/Recorder.h"

#include <cstdio>
#include <cwchar>

namespace WindowTest {

CRecorderUI::CRecorderUI(std::vector<std::wstring>* pLog, LPCTSTR pstrName, UINT uFlags, LPCTSTR pstrClass)
    : m_pLog(pLog), m_uFlags(uFlags), m_sClass(pstrClass)
{
    SetName(pstrName);
}

LPVOID CRecorderUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != nullptr && wcscmp(pstrName, L"WantTab") == 0) return static_cast<IWantTabUI*>(this);
    return CControlUI::GetInterface(pstrName);
}

bool CRecorderUI::Activate()
{
    if (!CControlUI::Activate()) return false;
    ++m_nActivations;
    return true;
}

void CRecorderUI::DoEvent(TEventUI& event)
{
    m_pLog->push_back(std::wstring(GetName().GetData()) + L":" + std::to_wstring(event.type));
    CControlUI::DoEvent(event);
}

CRecorderUI* AddRecorder(CContainerUI* pParent, std::vector<std::wstring>* pLog, LPCTSTR name, RECT rc,
                         UINT uFlags, LPCTSTR pstrClass)
{
    CRecorderUI* pControl = new CRecorderUI(pLog, name, uFlags, pstrClass);
    WCHAR pos[64];
    swprintf(pos, 64, L"%ld,%ld,%ld,%ld", rc.left, rc.top, rc.right, rc.bottom);
    pControl->SetAttribute(L"float", L"true");
    pControl->SetAttribute(L"pos", pos);
    pParent->Add(pControl);
    return pControl;
}

LPARAM PointParam(int x, int y)
{
    return MAKELPARAM(x, y);
}

}  // namespace WindowTest
