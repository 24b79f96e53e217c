#include "skinui/control/Button.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/RenderEngine.h"

#include <stdlib.h>
#include <wchar.h>

// Sections: identity, flags and activation; state machine; images and
// colours; tab binding; attribute vocabulary; painting.

namespace SkinUI {

// ---- Identity, flags and activation ---------------------------------------

CButtonUI::CButtonUI()
{
    m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
}

CControlUI* CButtonUI::CreateControl()
{
    return new CButtonUI;
}

LPCTSTR CButtonUI::GetClass() const
{
    return L"ButtonUI";
}

LPVOID CButtonUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != nullptr && _wcsicmp(pstrName, L"Button") == 0) return static_cast<CButtonUI*>(this);
    return CLabelUI::GetInterface(pstrName);
}

UINT CButtonUI::GetControlFlags() const
{
    return (IsKeyboardEnabled() ? CONTROLFLAG_TABSTOP : 0) | (IsEnabled() ? CONTROLFLAG_SETCURSOR : 0);
}

// "click" is sent synchronously: the listeners may hide, disable or remove
// the button before this returns.
bool CButtonUI::Activate()
{
    if (!CControlUI::Activate()) return false;
    if (m_pManager != nullptr) {
        m_pManager->SendNotify(this, L"click", 0, 0, false);
        BindTriggerTabSel(-1);
    }
    return true;
}

void CButtonUI::SetEnabled(bool bEnable)
{
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled()) SetButtonState(0);
}

UINT CButtonUI::GetButtonState() const
{
    return m_uButtonState;
}

void CButtonUI::SetButtonState(UINT uState)
{
    if (uState == m_uButtonState) return;
    const UINT uChanged = uState ^ m_uButtonState;
    m_uButtonState = uState;
    if ((uChanged & (STATE_HOT | STATE_PUSHED)) != 0) Changed(CHANGE_STATE);
}

// ---- State machine ----------------------------------------------------------

void CButtonUI::DoEvent(TEventUI& event)
{
    if (PassMouseEventOn(event)) return;

    switch (event.type) {
    case EVT_SETFOCUS:
    case EVT_KILLFOCUS:
        Invalidate();
        break;
    case EVT_KEYDOWN:
        if (IsKeyboardEnabled() && (event.keyChar == VK_SPACE || event.keyChar == VK_RETURN)) {
            // A held key repeats its key-down (bit 30 set): only the first
            // one activates.
            if ((event.lParam & (1 << 30)) == 0) Activate();
            return;
        }
        break;
    case EVT_BUTTONDOWN:
    case EVT_DBLCLICK:
        if (::PtInRect(&m_rcItem, event.mousePos) && IsEnabled()) {
            SetButtonState(m_uButtonState | (STATE_PUSHED | STATE_CAPTURED));
            Invalidate();
        }
        return;
    case EVT_MOUSEMOVE:
        if ((m_uButtonState & STATE_CAPTURED) != 0) {
            if (::PtInRect(&m_rcItem, event.mousePos)) {
                SetButtonState(m_uButtonState | STATE_PUSHED);
            } else {
                SetButtonState(m_uButtonState & ~STATE_PUSHED);
            }
            Invalidate();
        }
        return;
    case EVT_BUTTONUP:
        if ((m_uButtonState & STATE_CAPTURED) != 0) {
            SetButtonState(m_uButtonState & ~(STATE_PUSHED | STATE_CAPTURED));
            Invalidate();
            if (::PtInRect(&m_rcItem, event.mousePos)) Activate();
        }
        return;
    case EVT_CONTEXTMENU:
        if (IsContextMenuUsed() && m_pManager != nullptr) {
            m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam, false);
        }
        return;
    case EVT_MOUSEENTER:
        if (IsEnabled()) {
            SetButtonState(m_uButtonState | STATE_HOT);
            Invalidate();
        }
        break;
    case EVT_MOUSELEAVE:
        if (IsEnabled()) {
            SetButtonState(m_uButtonState & ~STATE_HOT);
            Invalidate();
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

// ---- Images and colours -------------------------------------------------

namespace {

// Stores a state image's draw string; false when it is unchanged, so that
// the setter repaints only for a real change.
bool AssignImage(CUIString& target, LPCTSTR pStrImage)
{
    if (pStrImage == nullptr) pStrImage = L"";
    if (target == pStrImage) return false;
    target = pStrImage;
    return true;
}

}  // namespace

LPCTSTR CButtonUI::GetNormalImage()
{
    return m_sNormalImage;
}

void CButtonUI::SetNormalImage(LPCTSTR pStrImage)
{
    if (AssignImage(m_sNormalImage, pStrImage)) Invalidate();
}

LPCTSTR CButtonUI::GetHotImage()
{
    return m_sHotImage;
}

void CButtonUI::SetHotImage(LPCTSTR pStrImage)
{
    if (AssignImage(m_sHotImage, pStrImage)) Invalidate();
}

LPCTSTR CButtonUI::GetPushedImage()
{
    return m_sPushedImage;
}

void CButtonUI::SetPushedImage(LPCTSTR pStrImage)
{
    if (AssignImage(m_sPushedImage, pStrImage)) Invalidate();
}

LPCTSTR CButtonUI::GetFocusedImage()
{
    return m_sFocusedImage;
}

void CButtonUI::SetFocusedImage(LPCTSTR pStrImage)
{
    if (AssignImage(m_sFocusedImage, pStrImage)) Invalidate();
}

LPCTSTR CButtonUI::GetDisabledImage()
{
    return m_sDisabledImage;
}

void CButtonUI::SetDisabledImage(LPCTSTR pStrImage)
{
    if (AssignImage(m_sDisabledImage, pStrImage)) Invalidate();
}

LPCTSTR CButtonUI::GetHotForeImage()
{
    return m_sHotForeImage;
}

void CButtonUI::SetHotForeImage(LPCTSTR pStrImage)
{
    if (AssignImage(m_sHotForeImage, pStrImage)) Invalidate();
}

DWORD CButtonUI::GetHotBkColor() const
{
    return m_dwHotBkColor;
}

void CButtonUI::SetHotBkColor(DWORD dwColor)
{
    m_dwHotBkColor = dwColor;
}

DWORD CButtonUI::GetPushedBkColor() const
{
    return m_dwPushedBkColor;
}

void CButtonUI::SetPushedBkColor(DWORD dwColor)
{
    m_dwPushedBkColor = dwColor;
}

DWORD CButtonUI::GetHotTextColor() const
{
    return m_dwHotTextColor;
}

void CButtonUI::SetHotTextColor(DWORD dwColor)
{
    m_dwHotTextColor = dwColor;
}

DWORD CButtonUI::GetPushedTextColor() const
{
    return m_dwPushedTextColor;
}

void CButtonUI::SetPushedTextColor(DWORD dwColor)
{
    m_dwPushedTextColor = dwColor;
}

DWORD CButtonUI::GetFocusedTextColor() const
{
    return m_dwFocusedTextColor;
}

void CButtonUI::SetFocusedTextColor(DWORD dwColor)
{
    m_dwFocusedTextColor = dwColor;
}

// ---- Tab binding --------------------------------------------------------------

void CButtonUI::BindTabIndex(int iIndex)
{
    if (iIndex >= 0) m_iBindTabIndex = iIndex;
}

void CButtonUI::BindTabLayoutName(LPCTSTR pstrTabLayoutName)
{
    if (pstrTabLayoutName != nullptr) m_sBindTabLayoutName = pstrTabLayoutName;
}

void CButtonUI::RemoveBindTabIndex()
{
    m_iBindTabIndex = -1;
    m_sBindTabLayoutName.Empty();
}

int CButtonUI::GetBindTabLayoutIndex() const
{
    return m_iBindTabIndex;
}

CUIString CButtonUI::GetBindTabLayoutName() const
{
    return m_sBindTabLayoutName;
}

// A name that finds no control, or a control that is no tab layout, is
// skipped without a message.
void CButtonUI::BindTriggerTabSel(int iSelIndex)
{
    if (m_iBindTabIndex < 0 && iSelIndex < 0) return;
    if (m_pManager == nullptr || m_sBindTabLayoutName.IsEmpty()) return;
    CControlUI* pControl = m_pManager->FindControl(m_sBindTabLayoutName);
    if (pControl == nullptr) return;
    ITabSelectUI* pTab = static_cast<ITabSelectUI*>(pControl->GetInterface(L"TabSelect"));
    if (pTab == nullptr) return;
    pTab->SelectItem(iSelIndex >= 0 ? iSelIndex : m_iBindTabIndex);
}

// ---- Attribute vocabulary ---------------------------------------------------

void CButtonUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName == nullptr || pstrValue == nullptr) return;

    if (_wcsicmp(pstrName, L"normalimage") == 0) {
        SetNormalImage(pstrValue);
    } else if (_wcsicmp(pstrName, L"hotimage") == 0) {
        SetHotImage(pstrValue);
    } else if (_wcsicmp(pstrName, L"pushedimage") == 0) {
        SetPushedImage(pstrValue);
    } else if (_wcsicmp(pstrName, L"focusedimage") == 0) {
        SetFocusedImage(pstrValue);
    } else if (_wcsicmp(pstrName, L"disabledimage") == 0) {
        SetDisabledImage(pstrValue);
    } else if (_wcsicmp(pstrName, L"hotforeimage") == 0) {
        SetHotForeImage(pstrValue);
    } else if (_wcsicmp(pstrName, L"bindtabindex") == 0) {
        BindTabIndex(static_cast<int>(wcstol(pstrValue, nullptr, 10)));
    } else if (_wcsicmp(pstrName, L"bindtablayoutname") == 0) {
        BindTabLayoutName(pstrValue);
    } else if (_wcsicmp(pstrName, L"hotbkcolor") == 0) {
        SetHotBkColor(ParseColor(pstrValue));
    } else if (_wcsicmp(pstrName, L"pushedbkcolor") == 0) {
        SetPushedBkColor(ParseColor(pstrValue));
    } else if (_wcsicmp(pstrName, L"hottextcolor") == 0) {
        SetHotTextColor(ParseColor(pstrValue));
    } else if (_wcsicmp(pstrName, L"pushedtextcolor") == 0) {
        SetPushedTextColor(ParseColor(pstrValue));
    } else if (_wcsicmp(pstrName, L"focusedtextcolor") == 0) {
        SetFocusedTextColor(ParseColor(pstrValue));
    } else {
        CLabelUI::SetAttribute(pstrName, pstrValue);
    }
}

// ---- Painting -------------------------------------------------------------------

void CButtonUI::RefreshFocusAndEnabledBits()
{
    if (IsFocused()) {
        SetButtonState(m_uButtonState | STATE_FOCUSED);
    } else {
        SetButtonState(m_uButtonState & ~STATE_FOCUSED);
    }
    if (!IsEnabled()) {
        SetButtonState(m_uButtonState | STATE_DISABLED);
    } else {
        SetButtonState(m_uButtonState & ~STATE_DISABLED);
    }
}

void CButtonUI::PaintBkColor(HDC hDC)
{
    if ((m_uButtonState & STATE_PUSHED) != 0 && m_dwPushedBkColor != 0) {
        CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwPushedBkColor));
        return;
    }
    if ((m_uButtonState & STATE_HOT) != 0 && (m_uButtonState & STATE_PUSHED) == 0 && m_dwHotBkColor != 0) {
        CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwHotBkColor));
        return;
    }
    CLabelUI::PaintBkColor(hDC);
}

// One image by state: disabled, pushed, hot, focused in this priority; the
// normal image when no bit is set, the state has no image, or it failed to
// draw. While the window is disabled (a modal window above it) the hot,
// pushed and captured bits are forgotten, not only hidden.
void CButtonUI::PaintStatusImage(HDC hDC)
{
    RefreshFocusAndEnabledBits();
    if (m_pManager != nullptr && !::IsWindowEnabled(m_pManager->GetPaintWindow())) {
        SetButtonState(m_uButtonState & STATE_DISABLED);
    }

    const CUIString* pImage = nullptr;
    if ((m_uButtonState & STATE_DISABLED) != 0) {
        pImage = &m_sDisabledImage;
    } else if ((m_uButtonState & STATE_PUSHED) != 0) {
        pImage = &m_sPushedImage;
    } else if ((m_uButtonState & STATE_HOT) != 0) {
        pImage = &m_sHotImage;
    } else if ((m_uButtonState & STATE_FOCUSED) != 0) {
        pImage = &m_sFocusedImage;
    }
    if (pImage != nullptr && !pImage->IsEmpty() && DrawImage(hDC, *pImage, nullptr)) return;
    if (!m_sNormalImage.IsEmpty()) DrawImage(hDC, m_sNormalImage, nullptr);
}

void CButtonUI::PaintForeImage(HDC hDC)
{
    if ((m_uButtonState & STATE_HOT) != 0 && (m_uButtonState & STATE_PUSHED) == 0 &&
        !m_sHotForeImage.IsEmpty() && DrawImage(hDC, m_sHotForeImage, nullptr)) {
        return;
    }
    if (!m_sForeImage.IsEmpty()) DrawImage(hDC, m_sForeImage, nullptr);
}

// The state colours win over the enabled and disabled colours, also on a
// disabled button whose bits still carry hot or pushed.
void CButtonUI::PaintText(HDC hDC)
{
    if (m_pManager == nullptr) return;
    RefreshFocusAndEnabledBits();
    ResolveDefaultColors();

    CUIString sText = GetText();
    if (sText.IsEmpty()) return;
    RECT rcText = TextRect(GetScaledTextPadding());

    DWORD dwColor = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    if ((m_uButtonState & STATE_PUSHED) != 0 && m_dwPushedTextColor != 0) {
        dwColor = m_dwPushedTextColor;
    } else if ((m_uButtonState & STATE_HOT) != 0 && m_dwHotTextColor != 0) {
        dwColor = m_dwHotTextColor;
    } else if ((m_uButtonState & STATE_FOCUSED) != 0 && m_dwFocusedTextColor != 0) {
        dwColor = m_dwFocusedTextColor;
    }

    if (m_bShowHtml) {
        int nLinks = 0;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rcText, sText, dwColor, nullptr, nullptr, nLinks,
                                    m_uTextStyle);
    } else {
        CRenderEngine::DrawTextW(hDC, m_pManager, rcText, sText, dwColor, m_iFont, m_uTextStyle);
    }
}

}  // namespace SkinUI
