#include "skinui/control/Text.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/DPI.h"
#include "skinui/render/RenderEngine.h"

#include <wchar.h>

namespace SkinUI {

CTextUI::CTextUI()
{
    ::ZeroMemory(m_rcLinks, sizeof(m_rcLinks));
    m_uTextStyle = DT_WORDBREAK;
    m_rcTextPadding.left = 2;
    m_rcTextPadding.right = 2;
}

CControlUI* CTextUI::CreateControl()
{
    return new CTextUI;
}

LPCTSTR CTextUI::GetClass() const
{
    return L"TextUI";
}

LPVOID CTextUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != nullptr && _wcsicmp(pstrName, L"Text") == 0) return static_cast<CTextUI*>(this);
    if (pstrName != nullptr && _wcsicmp(pstrName, L"TabStops") == 0) return static_cast<ITabStopsUI*>(this);
    return CLabelUI::GetInterface(pstrName);
}

UINT CTextUI::GetControlFlags() const
{
    if (!IsEnabled() || m_nLinks == 0) return 0;
    return CONTROLFLAG_SETCURSOR | (IsKeyboardEnabled() ? CONTROLFLAG_TABSTOP : 0);
}

RECT CTextUI::GetLinkRect(int iIndex) const
{
    if (iIndex < 0 || iIndex >= m_nLinks) return RECT{0, 0, 0, 0};
    return m_rcLinks[iIndex];
}

bool CTextUI::ActivateLink(int iIndex)
{
    if (iIndex < 0 || iIndex >= m_nLinks || !IsEnabled() || m_pManager == nullptr) return false;
    m_pManager->SendNotify(this, L"link", static_cast<WPARAM>(iIndex), 0, false);
    return true;
}

int CTextUI::GetTabStopCount() const
{
    return IsEnabled() ? m_nLinks : 0;
}

int CTextUI::GetFocusedTabStop() const
{
    return m_nFocusLink < m_nLinks ? m_nFocusLink : -1;
}

void CTextUI::SetFocusedTabStop(int iIndex)
{
    m_nFocusLink = iIndex >= 0 && iIndex < m_nLinks ? iIndex : -1;
}

RECT CTextUI::GetTabStopRect(int iIndex) const
{
    return GetLinkRect(iIndex);
}

CUIString* CTextUI::GetLinkContent(int iIndex)
{
    if (iIndex < 0 || iIndex >= m_nLinks) return nullptr;
    return &m_sLinks[iIndex];
}

int CTextUI::GetLinkCount() const
{
    return m_nLinks;
}

int CTextUI::GetHoverLink() const
{
    return m_nHoverLink;
}

int CTextUI::HitLink(POINT pt) const
{
    for (int i = 0; i < m_nLinks; i++) {
        if (::PtInRect(&m_rcLinks[i], pt)) return i;
    }
    return -1;
}

// Events over links are the text's own; everything else is the label's.
// A control that is not mouse enabled hands mouse events to its parent.
void CTextUI::DoEvent(TEventUI& event)
{
    if (PassMouseEventOn(event)) return;

    switch (event.type) {
    case EVT_SETFOCUS:
        // Focus from a click or a call, not from Tab: the first link.
        if (m_nFocusLink < 0 && m_nLinks > 0) {
            m_nFocusLink = 0;
            Changed(CHANGE_FOCUS);
        }
        break;
    case EVT_KILLFOCUS:
        m_nFocusLink = -1;
        break;
    case EVT_KEYDOWN:
        // A held key repeats its key-down: only the first one activates.
        if (event.keyChar == VK_RETURN && (event.lParam & (1 << 30)) == 0) {
            ActivateLink(GetFocusedTabStop());
            return;
        }
        break;
    case EVT_SETCURSOR:
        if (HitLink(event.mousePos) >= 0) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        }
        return;
    case EVT_BUTTONDOWN:
    case EVT_DBLCLICK:
        if (event.type == EVT_DBLCLICK && !IsEnabled()) break;
        if (HitLink(event.mousePos) >= 0) {
            // The press gave the text the focus already; the cue moves to
            // the link pressed.
            if (m_pManager != nullptr && m_pManager->GetFocus() == this &&
                m_nFocusLink != HitLink(event.mousePos)) {
                m_nFocusLink = HitLink(event.mousePos);
                Changed(CHANGE_FOCUS);
            }
            Invalidate();
        }
        return;
    case EVT_BUTTONUP:
        if (!IsEnabled()) break;
        {
            ActivateLink(HitLink(event.mousePos));
        }
        return;
    case EVT_CONTEXTMENU:
        return;
    case EVT_MOUSEMOVE:
        if (IsEnabled() && m_nLinks > 0) {
            int iLink = HitLink(event.mousePos);
            if (iLink != m_nHoverLink) {
                m_nHoverLink = iLink;
                Invalidate();
                return;
            }
        }
        break;
    case EVT_MOUSELEAVE:
        if (IsEnabled() && m_nLinks > 0 && m_nHoverLink != -1) {
            m_nHoverLink = -1;
            Invalidate();
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

// Only the width is measured, and only to become the fixed width; the size
// asked of a layout is always the fixed size.
SIZE CTextUI::EstimateSize(SIZE szAvailable)
{
    if (m_bAutoCalcWidth && m_pManager != nullptr) {
        CUIString sText = GetText();
        RECT rcText = {m_rcTextPadding.left, 0, 9999 - m_rcTextPadding.right, 9999};
        if (m_bShowHtml) {
            int nLinks = 0;
            CRenderEngine::DrawHtmlText(m_pManager->GetPaintDC(), m_pManager, rcText, sText, m_dwTextColor,
                                        nullptr, nullptr, nLinks, DT_CALCRECT | m_uTextStyle);
        } else {
            CRenderEngine::DrawTextW(m_pManager->GetPaintDC(), m_pManager, rcText, sText, m_dwTextColor,
                                     m_iFont, DT_CALCRECT | m_uTextStyle);
        }
        int cx = rcText.right - rcText.left + m_rcTextPadding.left + m_rcTextPadding.right;
        int iScale = static_cast<int>(m_pManager->GetDPIObj()->GetScale());
        m_cxyFixed.cx = ::MulDiv(cx, 100, iScale > 0 ? iScale : 100);
    }
    return CControlUI::EstimateSize(szAvailable);
}

// The links of the last paint stand until the next one. Plain text has no
// links: its count is 0, so stale rectangles of an earlier markup text can
// neither be clicked nor take the cursor.
void CTextUI::PaintText(HDC hDC)
{
    if (m_pManager == nullptr) return;
    CUIString sText = GetText();
    if (sText.IsEmpty()) {
        m_nLinks = 0;
        return;
    }
    ResolveDefaultColors();

    RECT rcText = TextRect(m_rcTextPadding);
    DWORD dwColor = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    if (m_bShowHtml) {
        m_nLinks = kMaxLinks;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rcText, sText, dwColor, m_rcLinks, m_sLinks, m_nLinks,
                                    m_uTextStyle);
        if (m_nLinks < 0 || m_nLinks > kMaxLinks) m_nLinks = 0;
    } else {
        m_nLinks = 0;
        CRenderEngine::DrawTextW(hDC, m_pManager, rcText, sText, dwColor, m_iFont, m_uTextStyle);
    }
    if (m_nHoverLink >= m_nLinks) m_nHoverLink = -1;
    if (m_nFocusLink >= m_nLinks) m_nFocusLink = m_nLinks > 0 ? m_nLinks - 1 : -1;
}

}  // namespace SkinUI
