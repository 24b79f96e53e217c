#include "tests/window/TestHost.h"

#include <cstdio>
#include <cwchar>

namespace WindowTest {

CTestHost::CTestHost(int cx, int cy, DWORD dwExStyle)
{
    Create(NULL, L"SkinUI test host", WS_POPUP, dwExStyle, 100, 100, cx, cy);
    m_pm.Init(GetHWND(), L"test");
    m_pm.AddNotifier(this);
    m_pRoot = new CContainerUI;
    m_pm.AttachDialog(m_pRoot);
}

CTestHost::~CTestHost()
{
    if (::IsWindow(GetHWND())) ::DestroyWindow(GetHWND());
}

void CTestHost::Notify(TNotifyUI& msg)
{
    m_notifications.push_back(msg.type.GetData());
}

void CTestHost::Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void CTestHost::PaintNow()
{
    ::InvalidateRect(GetHWND(), NULL, FALSE);
    ::UpdateWindow(GetHWND());
}

LRESULT CTestHost::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lRes = 0;
    if (m_pm.MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

CRecorderUI::CRecorderUI(std::vector<std::wstring>* pLog, LPCTSTR pstrName, UINT uFlags,
                         LPCTSTR pstrClass)
    : m_pLog(pLog), m_uFlags(uFlags), m_sClass(pstrClass)
{
    SetName(pstrName);
}

LPVOID CRecorderUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"WantTab") == 0) return static_cast<IWantTabUI*>(this);
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

CRecorderUI* AddRecorder(CContainerUI* pParent, std::vector<std::wstring>* pLog, LPCTSTR name,
                         RECT rc, UINT uFlags, LPCTSTR pstrClass)
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

} // namespace WindowTest
