#include "tests/support/PaintManagerWindow.h"

#include "skinui/control/Container.h"
#include "skinui/markup/DialogBuilder.h"

namespace TestSupport {

namespace {

const wchar_t kClassName[] = L"SkinUITestWindow";

// Double clicks arrive as WM_LBUTTONDBLCLK, as in the launcher's window.
void RegisterWindowClass(WNDPROC proc)
{
    WNDCLASSW wc = {};
    const HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
    if (::GetClassInfoW(hInstance, kClassName, &wc)) return;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = hInstance;
    wc.lpszClassName = kClassName;
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    ::RegisterClassW(&wc);
}

}  // namespace

PaintManagerWindow::PaintManagerWindow(int cx, int cy, bool bLayered)
{
    RegisterWindowClass(WndProc);
    m_pManager = new SkinUI::CPaintManagerUI;
    m_hWnd = ::CreateWindowExW(0, kClassName, L"paint manager window", WS_POPUP, 100, 100, cx, cy, nullptr,
                               nullptr, ::GetModuleHandleW(nullptr), this);
    if (m_hWnd == nullptr) return;
    m_pManager->Init(m_hWnd);
    m_pManager->AddNotifier(this);
    if (bLayered) m_pManager->SetLayered(true);
}

PaintManagerWindow::~PaintManagerWindow()
{
    DestroyManager();
}

void PaintManagerWindow::DestroyManager()
{
    delete m_pManager;
    m_pManager = nullptr;
    if (m_hWnd != nullptr) {
        ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
}

bool PaintManagerWindow::IsValid() const
{
    return m_hWnd != nullptr && m_pManager != nullptr && m_pManager->GetPaintDC() != nullptr;
}

SkinUI::CContainerUI* PaintManagerWindow::AttachContainer()
{
    SkinUI::CContainerUI* pRoot = new SkinUI::CContainerUI;
    m_pManager->AttachDialog(pRoot);
    return pRoot;
}

SkinUI::CControlUI* PaintManagerWindow::LoadSkin(LPCTSTR pstrSkin)
{
    SkinUI::CDialogBuilder builder;
    SkinUI::CControlUI* pRoot = builder.Create(pstrSkin, nullptr, nullptr, m_pManager);
    if (pRoot != nullptr && !m_pManager->AttachDialog(pRoot)) return nullptr;
    return pRoot;
}

void PaintManagerWindow::Notify(SkinUI::TNotifyUI& msg)
{
    m_notifications.push_back(msg.type.GetData());
}

int PaintManagerWindow::Pump()
{
    m_nFlushes = 0;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return m_nFlushes;
}

void PaintManagerWindow::Paint()
{
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ::UpdateWindow(m_hWnd);
}

void PaintManagerWindow::Key(WPARAM vk, bool shift, LPARAM lParam)
{
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    MSG msg = {};
    msg.hwnd = m_hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = lParam;
    if (!SkinUI::CPaintManagerUI::TranslateMessage(&msg)) ::DispatchMessageW(&msg);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
}

DWORD PaintManagerWindow::PaintedPixel(int x, int y) const
{
    const SIZE sz = m_pManager->GetOffscreenSize();
    const DWORD* pBits = reinterpret_cast<const DWORD*>(m_pManager->GetOffscreenBits());
    if (pBits == nullptr || x < 0 || y < 0 || x >= sz.cx || y >= sz.cy) return 0;
    // The off-screen bitmap is bottom-up.
    return pBits[static_cast<size_t>(sz.cy - 1 - y) * sz.cx + x];
}

LRESULT CALLBACK PaintManagerWindow::WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_NCCREATE) {
        const CREATESTRUCTW* pCreate = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
    }
    PaintManagerWindow* pThis =
        reinterpret_cast<PaintManagerWindow*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (pThis != nullptr && pThis->m_pManager != nullptr) {
        if (uMsg == WM_ASYNC_FLUSH) ++pThis->m_nFlushes;
        LRESULT lRes = 0;
        if (pThis->m_pManager->MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
    }
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

}  // namespace TestSupport
