#include "tools/skinview/PreviewWindow.h"

#include "skinui/control/Button.h"
#include "skinui/control/Control.h"
#include "skinui/markup/DialogBuilder.h"
#include "skinui/render/DPI.h"
#include "skinui/render/DrawInfo.h"

#include <cstring>
#include <set>

namespace SkinView {

using namespace SkinUI;

namespace {

// Left and top of the window: beyond any monitor arrangement.
const int kOutside = -32000;

// Appends every control of a tree walk to the vector in pData.
CControlUI* CollectControl(CControlUI* pControl, LPVOID pData)
{
    static_cast<std::vector<CControlUI*>*>(pData)->push_back(pControl);
    return nullptr;
}

// A control's name for messages: its name, else its class.
std::wstring Describe(CControlUI* pControl)
{
    if (!pControl->GetName().IsEmpty()) return pControl->GetName().GetData();
    return std::wstring(L"unnamed ") + pControl->GetClass();
}

}  // namespace

CPreviewWindow::~CPreviewWindow()
{
    if (::IsWindow(GetHWND())) ::DestroyWindow(GetHWND());
}

bool CPreviewWindow::Open(int scalePercent)
{
    // A popup has no frame, so its window size is its client size. The
    // system paints only visible windows, so the window is shown, but far
    // outside every monitor, without activation and without a taskbar
    // button.
    if (Create(nullptr, L"skinview", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kOutside, kOutside, 100,
               100) == nullptr)
        return false;
    m_pm.Init(GetHWND(), L"skinview");
    // Per-monitor awareness makes the scale last set the one in force.
    m_pm.GetDPIObj()->SetDPIAwareness(2);
    m_pm.SetDPI(::MulDiv(scalePercent, 96, 100));
    return true;
}

bool CPreviewWindow::Build(const std::wstring& xml, std::wstring& error)
{
    CDialogBuilder builder;
    CControlUI* pRoot = builder.Create(xml.c_str(), nullptr, nullptr, &m_pm, nullptr);
    if (pRoot == nullptr) {
        WCHAR message[128] = L"";
        WCHAR location[64] = L"";
        builder.GetLastErrorMessage(message, 127);
        builder.GetLastErrorLocation(location, 63);
        error = xml + L": ";
        error += message[0] != 0 ? message : L"the document builds no control";
        if (location[0] != 0) error += std::wstring(L" at \"") + location + L"\"";
        return false;
    }
    if (!m_pm.AttachDialog(pRoot)) {
        error = xml + L": the built tree cannot be attached";
        return false;
    }
    return true;
}

SIZE CPreviewWindow::GetSkinSize() const
{
    return m_pm.GetInitSize();
}

int CPreviewWindow::Scale(int value)
{
    return m_pm.GetDPIObj()->Scale(value);
}

void CPreviewWindow::SetClientSize(int cx, int cy)
{
    ::SetWindowPos(GetHWND(), nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The region grows by one on the right and bottom so that the last
    // column and row stay inside; it belongs to the window once set.
    const SIZE corner = m_pm.GetDPIObj()->Scale(m_pm.GetRoundCorner());
    ::SetWindowRgn(GetHWND(), ::CreateRoundRectRgn(0, 0, cx + 1, cy + 1, corner.cx, corner.cy), TRUE);
}

CControlUI* CPreviewWindow::Find(const std::wstring& name) const
{
    return m_pm.FindControl(name.c_str());
}

bool CPreviewWindow::Paint()
{
    if (!::IsWindowVisible(GetHWND())) ::ShowWindow(GetHWND(), SW_SHOWNOACTIVATE);
    ::InvalidateRect(GetHWND(), nullptr, FALSE);
    ::UpdateWindow(GetHWND());
    return m_pm.GetOffscreenBits() != nullptr;
}

bool CPreviewWindow::PointAt(CControlUI* pControl, bool press, std::wstring& error)
{
    const std::wstring name = pControl->GetName().GetData();
    if (!pControl->IsVisible()) {
        error = name + L" is hidden";
        return false;
    }
    const RECT rc = pControl->GetPos();
    if (rc.right <= rc.left || rc.bottom <= rc.top) {
        error = name + L" has no area";
        return false;
    }
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    CControlUI* pTop = m_pm.FindControl(pt);
    if (pTop != pControl) {
        error = name + L" is not the control under its centre";
        if (pTop != nullptr && !pTop->GetName().IsEmpty())
            error += std::wstring(L" (") + pTop->GetName().GetData() + L" is)";
        return false;
    }
    const LPARAM lParam = MAKELPARAM(pt.x, pt.y);
    ::SendMessageW(GetHWND(), WM_MOUSEMOVE, 0, lParam);
    if (press) ::SendMessageW(GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, lParam);
    return true;
}

void CPreviewWindow::ReviewImages(std::vector<std::wstring>& missing, std::vector<std::wstring>& resampled)
{
    CControlUI* pRoot = m_pm.GetRoot();
    if (pRoot == nullptr) return;
    std::vector<CControlUI*> controls;
    pRoot->FindControl(CollectControl, &controls, FIND_MEFIRST);

    std::set<std::wstring> reported;
    for (CControlUI* pControl : controls) {
        struct TImageAttribute
        {
            LPCTSTR name;
            LPCTSTR value;
        };
        std::vector<TImageAttribute> images = {{L"bkimage", pControl->GetBkImage()},
                                               {L"foreimage", pControl->GetForeImage()}};
        CButtonUI* pButton = static_cast<CButtonUI*>(pControl->GetInterface(L"Button"));
        if (pButton != nullptr) {
            images.push_back({L"normalimage", pButton->GetNormalImage()});
            images.push_back({L"hotimage", pButton->GetHotImage()});
            images.push_back({L"pushedimage", pButton->GetPushedImage()});
            images.push_back({L"focusedimage", pButton->GetFocusedImage()});
            images.push_back({L"disabledimage", pButton->GetDisabledImage()});
            images.push_back({L"hotforeimage", pButton->GetHotForeImage()});
        }
        for (const TImageAttribute& image : images) {
            if (image.value == nullptr || image.value[0] == 0) continue;
            const TDrawInfo* pInfo = m_pm.GetDrawInfo(image.value, nullptr);
            if (pInfo == nullptr || pInfo->sImageName.IsEmpty()) continue;
            const LPCTSTR type = pInfo->sResType.IsEmpty() ? nullptr : pInfo->sResType.GetData();
            const TImageInfo* pImage =
                m_pm.GetImageEx(pInfo->sImageName.GetData(), type, pInfo->dwMask, pInfo->bHSL);
            const std::wstring file = pInfo->sImageName.GetData();
            if (pImage != nullptr && pImage->nArtScale == 0) continue;
            if (!reported.insert(file).second) continue;
            if (pImage == nullptr)
                missing.push_back(Describe(pControl) + L": " + image.name + L" " + file);
            else
                resampled.push_back(file + L" from the " + std::to_wstring(pImage->nArtScale) + L" % art");
        }
    }
}

bool CPreviewWindow::GetShownPixels(std::vector<BYTE>& bits, SIZE& size) const
{
    const BYTE* pBits = m_pm.GetOffscreenBits();
    size = m_pm.GetOffscreenSize();
    if (pBits == nullptr || size.cx <= 0 || size.cy <= 0) return false;
    const size_t rowBytes = static_cast<size_t>(size.cx) * 4;
    bits.assign(pBits, pBits + rowBytes * size.cy);

    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    if (hRgn == nullptr) return true;
    if (::GetWindowRgn(GetHWND(), hRgn) != ERROR) {
        for (int y = 0; y < size.cy; ++y) {
            BYTE* row = &bits[static_cast<size_t>(size.cy - 1 - y) * rowBytes];
            for (int x = 0; x < size.cx; ++x)
                if (!::PtInRegion(hRgn, x, y)) memset(row + x * 4, 0, 4);
        }
    }
    ::DeleteObject(hRgn);
    return true;
}

LRESULT CPreviewWindow::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lRes = 0;
    if (m_pm.MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

}  // namespace SkinView
