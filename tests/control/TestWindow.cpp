#include "tests/control/TestWindow.h"

#include "skinui/control/Control.h"

namespace SkinUI {

namespace {

const wchar_t kClassName[] = L"SkinUIControlTestWnd";

void RegisterTestClass(WNDPROC proc)
{
    WNDCLASSW wc = {};
    if (::GetClassInfoW(::GetModuleHandleW(NULL), kClassName, &wc)) return;
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.lpszClassName = kClassName;
    wc.hCursor = ::LoadCursorW(NULL, MAKEINTRESOURCEW(32512));
    ::RegisterClassW(&wc);
}

} // namespace

CTestWindow::CTestWindow()
{
    RegisterTestClass(WndProc);
    m_hWnd = ::CreateWindowExW(0, kClassName, L"control test", WS_POPUP, 0, 0, 536, 355, NULL,
                               NULL, ::GetModuleHandleW(NULL), this);
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pManager = new CPaintManagerUI;
    m_pManager->Init(m_hWnd);
}

CTestWindow::~CTestWindow()
{
    DestroyManager();
}

void CTestWindow::DestroyManager()
{
    delete m_pManager;
    m_pManager = NULL;
    if (m_hWnd != NULL) {
        ::DestroyWindow(m_hWnd);
        m_hWnd = NULL;
    }
}

int CTestWindow::PumpPosted()
{
    m_nFlushes = 0;
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return m_nFlushes;
}

LRESULT CALLBACK CTestWindow::WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CTestWindow* pThis = reinterpret_cast<CTestWindow*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (pThis != NULL && pThis->m_pManager != NULL) {
        if (uMsg == WM_ASYNC_FLUSH) {
            pThis->m_nFlushes++;
            pThis->m_pManager->OnAsyncFlush();
            return 0;
        }
        if (uMsg == WM_TIMER) {
            const TimerRecord* pTimer = pThis->m_pManager->FindTimer(LOWORD(wParam));
            if (pTimer != NULL) {
                TEventUI event = {};
                event.type = EVT_TIMER;
                event.sender = pTimer->pSender;
                event.timestamp = ::GetTickCount();
                event.wParam = pTimer->nLocalID;
                event.lParam = lParam;
                pTimer->pSender->Event(event);
            }
            return 0;
        }
    }
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

} // namespace SkinUI
