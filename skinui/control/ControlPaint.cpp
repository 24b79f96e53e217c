#include "skinui/control/Control.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/RenderClip.h"
#include "skinui/render/RenderEngine.h"

// Painting of the control base in its fixed step order (background colour,
// background image, status image, foreground colour, foreground image, text,
// border) and its default event handling: events a control does not take
// bubble up to its parent.

namespace SkinUI {

bool CControlUI::Activate()
{
    return IsVisible() && IsEnabled();
}

void CControlUI::Event(TEventUI& event)
{
    if (OnEvent(&event)) DoEvent(event);
}

bool CControlUI::PassMouseEventOn(TEventUI& event)
{
    if (IsMouseEnabled() || !IsMouseEvent(event.type)) return false;
    if (m_pParent != nullptr) {
        m_pParent->DoEvent(event);
    } else {
        CControlUI::DoEvent(event);
    }
    return true;
}

void CControlUI::DoEvent(TEventUI& event)
{
    switch (event.type) {
    case EVT_SETCURSOR: {
        WORD wCursor = m_wCursor != 0 ? m_wCursor : 32512;  // IDC_ARROW
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(wCursor)));
        return;
    }
    case EVT_SETFOCUS:
        m_bFocused = true;
        Invalidate();
        return;
    case EVT_KILLFOCUS:
        m_bFocused = false;
        Invalidate();
        return;
    case EVT_TIMER:
        if (m_pManager != nullptr) {
            m_pManager->SendNotify(this, L"timer", event.wParam, event.lParam, false);
        }
        return;
    case EVT_CONTEXTMENU:
        if (IsContextMenuUsed()) {
            if (m_pManager != nullptr) {
                m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam, false);
            }
            return;
        }
        break;
    default:
        break;
    }
    if (m_pParent != nullptr) m_pParent->DoEvent(event);
}

DWORD CControlUI::GetAdjustColor(DWORD dwColor) const
{
    if (!m_bColorHSL) return dwColor;
    short H = 0;
    short S = 0;
    short L = 0;
    CPaintManagerUI::GetHSL(&H, &S, &L);
    return CRenderEngine::AdjustColor(dwColor, H, S, L);
}

bool CControlUI::DrawImage(HDC hDC, LPCTSTR pStrImage, LPCTSTR pStrModify)
{
    return CRenderEngine::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, pStrImage, pStrModify,
                                          m_instance);
}

void CControlUI::DoPaint(HDC hDC, const RECT& rcPaint)
{
    if (!::IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;

    SIZE cxyBorderRound = GetBorderRound();
    if (cxyBorderRound.cx > 0 || cxyBorderRound.cy > 0) {
        CRenderClip roundClip;
        CRenderClip::GenerateRoundClip(hDC, m_rcPaint, m_rcItem, cxyBorderRound.cx, cxyBorderRound.cy,
                                       roundClip);
        PaintSteps(hDC);
    } else {
        PaintSteps(hDC);
    }
}

void CControlUI::PaintSteps(HDC hDC)
{
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintForeColor(hDC);
    PaintForeImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
}

void CControlUI::PaintBkColor(HDC hDC)
{
    if (m_dwBackColor == 0) return;
    if (m_dwBackColor2 != 0) {
        if (m_dwBackColor3 != 0) {
            RECT rc = m_rcItem;
            rc.bottom = (m_rcItem.top + m_rcItem.bottom) / 2;
            CRenderEngine::DrawGradient(hDC, rc, GetAdjustColor(m_dwBackColor),
                                        GetAdjustColor(m_dwBackColor2), true, 8);
            rc.top = rc.bottom;
            rc.bottom = m_rcItem.bottom;
            CRenderEngine::DrawGradient(hDC, rc, GetAdjustColor(m_dwBackColor2),
                                        GetAdjustColor(m_dwBackColor3), true, 8);
        } else {
            CRenderEngine::DrawGradient(hDC, m_rcItem, GetAdjustColor(m_dwBackColor),
                                        GetAdjustColor(m_dwBackColor2), true, 16);
        }
        return;
    }
    // An opaque colour needs to cover only what is being repainted; a
    // translucent one is drawn over the whole item so that it blends once.
    if (m_dwBackColor >= 0xFF000000) {
        CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwBackColor));
    } else {
        CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwBackColor));
    }
}

void CControlUI::PaintBkImage(HDC hDC)
{
    if (m_sBkImage.IsEmpty()) return;
    DrawImage(hDC, m_sBkImage, nullptr);
}

void CControlUI::PaintStatusImage(HDC /*hDC*/) {}

void CControlUI::PaintForeColor(HDC hDC)
{
    CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwForeColor));
}

void CControlUI::PaintForeImage(HDC hDC)
{
    if (m_sForeImage.IsEmpty()) return;
    DrawImage(hDC, m_sForeImage, nullptr);
}

void CControlUI::PaintText(HDC /*hDC*/) {}

void CControlUI::PaintBorder(HDC hDC)
{
    if (m_dwBorderColor == 0 && m_dwFocusBorderColor == 0) return;
    int nBorderSize = GetBorderSize();
    SIZE cxyBorderRound = GetBorderRound();
    RECT rcBorderSize = {GetLeftBorderSize(), GetTopBorderSize(), GetRightBorderSize(),
                         GetBottomBorderSize()};

    if (nBorderSize >= 1 && (cxyBorderRound.cx >= 1 || cxyBorderRound.cy >= 1)) {
        DWORD dwColor = IsFocused() && m_dwFocusBorderColor != 0 ? m_dwFocusBorderColor : m_dwBorderColor;
        CRenderEngine::DrawRoundRect(hDC, m_rcItem, nBorderSize, cxyBorderRound.cx, cxyBorderRound.cy,
                                     GetAdjustColor(dwColor), m_nBorderStyle);
        return;
    }
    if (IsFocused() && m_dwFocusBorderColor != 0 && m_nBorderSize > 0) {
        CRenderEngine::DrawRect(hDC, m_rcItem, nBorderSize, GetAdjustColor(m_dwFocusBorderColor),
                                m_nBorderStyle);
        return;
    }
    if (rcBorderSize.left > 0 || rcBorderSize.top > 0 || rcBorderSize.right > 0 || rcBorderSize.bottom > 0) {
        DWORD dwColor = GetAdjustColor(m_dwBorderColor);
        RECT rcBorder;
        if (rcBorderSize.left > 0) {
            rcBorder = m_rcItem;
            rcBorder.right = rcBorder.left;
            CRenderEngine::DrawLine(hDC, rcBorder, rcBorderSize.left, dwColor, m_nBorderStyle);
        }
        if (rcBorderSize.top > 0) {
            rcBorder = m_rcItem;
            rcBorder.bottom = rcBorder.top;
            CRenderEngine::DrawLine(hDC, rcBorder, rcBorderSize.top, dwColor, m_nBorderStyle);
        }
        if (rcBorderSize.right > 0) {
            rcBorder = m_rcItem;
            rcBorder.right -= 1;
            rcBorder.left = rcBorder.right;
            CRenderEngine::DrawLine(hDC, rcBorder, rcBorderSize.right, dwColor, m_nBorderStyle);
        }
        if (rcBorderSize.bottom > 0) {
            rcBorder = m_rcItem;
            rcBorder.bottom -= 1;
            rcBorder.top = rcBorder.bottom;
            CRenderEngine::DrawLine(hDC, rcBorder, rcBorderSize.bottom, dwColor, m_nBorderStyle);
        }
        return;
    }
    if (nBorderSize > 0) {
        CRenderEngine::DrawRect(hDC, m_rcItem, nBorderSize, GetAdjustColor(m_dwBorderColor), m_nBorderStyle);
    }
}

void CControlUI::DoPostPaint(HDC /*hDC*/, const RECT& /*rcPaint*/) {}

}  // namespace SkinUI
