#include "skinui/control/VerticalLayout.h"

#include "skinui/control/ScrollBar.h"
#include "skinui/core/PaintManager.h"
#include "skinui/core/UIRect.h"
#include "skinui/render/RenderEngine.h"

#include <stdlib.h>
#include <wchar.h>

// Sections: identity; SetPos (two passes over the children, stacked from
// top to bottom); the separator strip, its drag and its preview.

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() {}

CControlUI* CVerticalLayoutUI::CreateControl()
{
    return new CVerticalLayoutUI;
}

LPCTSTR CVerticalLayoutUI::GetClass() const
{
    return L"VerticalLayoutUI";
}

LPVOID CVerticalLayoutUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != NULL && _wcsicmp(pstrName, L"VerticalLayout") == 0) return this;
    return CContainerUI::GetInterface(pstrName);
}

UINT CVerticalLayoutUI::GetControlFlags() const
{
    return IsEnabled() && m_iSepHeight != 0 ? CONTROLFLAG_SETCURSOR : 0;
}

void CVerticalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    rc = m_rcItem;

    RECT rcInset = GetInset();
    rc.left += rcInset.left;
    rc.top += rcInset.top;
    rc.right -= rcInset.right;
    rc.bottom -= rcInset.bottom;
    const bool bVBar = IsVerticalBarShown();
    const bool bHBar = IsHorizontalBarShown();
    if (bVBar) rc.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (bHBar) rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();

    if (m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }

    SIZE szAvailable = {rc.right - rc.left, rc.bottom - rc.top};
    if (bHBar) szAvailable.cx += m_pHorizontalScrollBar->GetScrollRange();
    if (bVBar) szAvailable.cy += m_pVerticalScrollBar->GetScrollRange();

    // The gap between children is the skin's number as written: unlike the
    // children's sizes and the inset, it does not grow with the DPI scale.
    const int iChildPadding = m_iChildPadding;
    int cxNeeded = 0;
    int nAdjustables = 0;
    int cyFixed = 0;
    int nEstimateNum = 0;
    for (int it1 = 0; it1 < m_items.GetSize(); it1++) {
        CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(it1));
        if (!pControl->IsVisible() || pControl->IsFloat()) continue;
        RECT rcPadding = pControl->GetPadding();
        SIZE szControlAvailable = {szAvailable.cx - rcPadding.left - rcPadding.right,
                                   szAvailable.cy};
        int iControlMaxWidth = pControl->GetFixedWidth();
        int iControlMaxHeight = pControl->GetFixedHeight();
        if (iControlMaxWidth <= 0) iControlMaxWidth = pControl->GetMaxWidth();
        if (iControlMaxHeight <= 0) iControlMaxHeight = pControl->GetMaxHeight();
        if (szControlAvailable.cx > iControlMaxWidth) szControlAvailable.cx = iControlMaxWidth;
        if (szControlAvailable.cy > iControlMaxHeight) szControlAvailable.cy = iControlMaxHeight;
        SIZE sz = pControl->EstimateSize(szControlAvailable);
        if (sz.cy == 0) {
            nAdjustables++;
        } else {
            if (sz.cy < pControl->GetMinHeight()) sz.cy = pControl->GetMinHeight();
            if (sz.cy > pControl->GetMaxHeight()) sz.cy = pControl->GetMaxHeight();
        }
        cyFixed += sz.cy + rcPadding.top + rcPadding.bottom;

        if (sz.cx < 0) sz.cx = 0;
        if (sz.cx < pControl->GetMinWidth()) sz.cx = pControl->GetMinWidth();
        if (sz.cx > pControl->GetMaxWidth()) sz.cx = pControl->GetMaxWidth();
        if (sz.cx + rcPadding.left + rcPadding.right > cxNeeded) {
            cxNeeded = sz.cx + rcPadding.left + rcPadding.right;
        }
        nEstimateNum++;
    }
    if (nEstimateNum > 0) cyFixed += (nEstimateNum - 1) * iChildPadding;

    int cyExpand = 0;
    if (nAdjustables > 0) {
        cyExpand = (szAvailable.cy - cyFixed) / nAdjustables;
        if (cyExpand < 0) cyExpand = 0;
    }

    SIZE szRemaining = szAvailable;
    int iPosY = rc.top;
    if (bVBar) iPosY -= m_pVerticalScrollBar->GetScrollPos();
    int iEstimate = 0;
    int iAdjustable = 0;
    int cyFixedRemaining = cyFixed;
    int cyNeeded = 0;
    for (int it2 = 0; it2 < m_items.GetSize(); it2++) {
        CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(it2));
        if (!pControl->IsVisible()) continue;
        if (pControl->IsFloat()) {
            SetFloatPos(it2);
            continue;
        }
        iEstimate++;
        RECT rcPadding = pControl->GetPadding();
        szRemaining.cy -= rcPadding.top;

        SIZE szControlAvailable = {szRemaining.cx - rcPadding.left - rcPadding.right,
                                   szRemaining.cy};
        int iControlMaxWidth = pControl->GetFixedWidth();
        int iControlMaxHeight = pControl->GetFixedHeight();
        if (iControlMaxWidth <= 0) iControlMaxWidth = pControl->GetMaxWidth();
        if (iControlMaxHeight <= 0) iControlMaxHeight = pControl->GetMaxHeight();
        if (szControlAvailable.cx > iControlMaxWidth) szControlAvailable.cx = iControlMaxWidth;
        if (szControlAvailable.cy > iControlMaxHeight) szControlAvailable.cy = iControlMaxHeight;

        cyFixedRemaining -= rcPadding.top + rcPadding.bottom;
        if (iEstimate > 1) cyFixedRemaining -= iChildPadding;

        SIZE sz = pControl->EstimateSize(szControlAvailable);
        if (sz.cy == 0) {
            iAdjustable++;
            sz.cy = cyExpand;
            // The last adjustable child takes the remainder of the division.
            if (iAdjustable == nAdjustables) {
                sz.cy = szRemaining.cy - rcPadding.bottom - cyFixedRemaining;
                if (sz.cy < 0) sz.cy = 0;
            }
            if (sz.cy < pControl->GetMinHeight()) sz.cy = pControl->GetMinHeight();
            if (sz.cy > pControl->GetMaxHeight()) sz.cy = pControl->GetMaxHeight();
        } else {
            if (sz.cy < pControl->GetMinHeight()) sz.cy = pControl->GetMinHeight();
            if (sz.cy > pControl->GetMaxHeight()) sz.cy = pControl->GetMaxHeight();
            cyFixedRemaining -= sz.cy;
        }

        sz.cx = pControl->GetMaxWidth();
        if (sz.cx == 0) sz.cx = szAvailable.cx - rcPadding.left - rcPadding.right;
        if (sz.cx < 0) sz.cx = 0;
        if (sz.cx > szControlAvailable.cx) sz.cx = szControlAvailable.cx;
        if (sz.cx < pControl->GetMinWidth()) sz.cx = pControl->GetMinWidth();

        RECT rcCtrl;
        if (m_iChildAlign == DT_CENTER) {
            int iPosX = (rc.right + rc.left) / 2;
            if (bHBar) {
                iPosX += m_pHorizontalScrollBar->GetScrollRange() / 2;
                iPosX -= m_pHorizontalScrollBar->GetScrollPos();
            }
            rcCtrl.left = iPosX - sz.cx / 2;
            rcCtrl.right = iPosX + sz.cx - sz.cx / 2;
        } else if (m_iChildAlign == DT_RIGHT) {
            int iPosX = rc.right;
            if (bHBar) {
                iPosX += m_pHorizontalScrollBar->GetScrollRange();
                iPosX -= m_pHorizontalScrollBar->GetScrollPos();
            }
            rcCtrl.left = iPosX - rcPadding.right - sz.cx;
            rcCtrl.right = iPosX - rcPadding.right;
        } else {
            int iPosX = rc.left;
            if (bHBar) iPosX -= m_pHorizontalScrollBar->GetScrollPos();
            rcCtrl.left = iPosX + rcPadding.left;
            rcCtrl.right = iPosX + rcPadding.left + sz.cx;
        }
        rcCtrl.top = iPosY + rcPadding.top;
        rcCtrl.bottom = iPosY + rcPadding.top + sz.cy;
        pControl->SetPos(rcCtrl, false);

        iPosY += sz.cy + iChildPadding + rcPadding.top + rcPadding.bottom;
        cyNeeded += sz.cy + rcPadding.top + rcPadding.bottom;
        szRemaining.cy -= sz.cy + iChildPadding + rcPadding.bottom;
    }
    if (nEstimateNum > 0) cyNeeded += (nEstimateNum - 1) * iChildPadding;

    ProcessScrollBar(rc, cxNeeded, cyNeeded);
}

void CVerticalLayoutUI::DoPostPaint(HDC hDC, const RECT& /*rcPaint*/)
{
    if ((m_uButtonState & STATE_CAPTURED) != 0 && !m_bImmMode) {
        RECT rcSeparator = GetThumbRect(true);
        CRenderEngine::DrawColor(hDC, rcSeparator, 0xAA000000);
    }
}

void CVerticalLayoutUI::SetSepHeight(int iHeight)
{
    m_iSepHeight = iHeight;
}

int CVerticalLayoutUI::GetSepHeight() const
{
    return m_iSepHeight;
}

void CVerticalLayoutUI::SetSepImmMode(bool bImmediately)
{
    if (m_bImmMode == bImmediately) return;
    if ((m_uButtonState & STATE_CAPTURED) != 0 && !m_bImmMode && m_pManager != NULL) {
        m_pManager->RemovePostPaint(this);
    }
    m_bImmMode = bImmediately;
}

bool CVerticalLayoutUI::IsSepImmMode() const
{
    return m_bImmMode;
}

void CVerticalLayoutUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL) return;
    if (_wcsicmp(pstrName, L"sepheight") == 0) {
        SetSepHeight(static_cast<int>(wcstol(pstrValue, NULL, 10)));
    } else if (_wcsicmp(pstrName, L"sepimm") == 0) {
        SetSepImmMode(ParseBool(pstrValue));
    } else {
        CContainerUI::SetAttribute(pstrName, pstrValue);
    }
}

void CVerticalLayoutUI::DoEvent(TEventUI& event)
{
    if (m_iSepHeight != 0) {
        if (event.type == EVT_BUTTONDOWN && IsEnabled()) {
            RECT rcSeparator = GetThumbRect(false);
            if (::PtInRect(&rcSeparator, event.mousePos)) {
                m_uButtonState |= STATE_CAPTURED;
                m_ptLastMouse = event.mousePos;
                m_rcNewPos = m_rcItem;
                if (!m_bImmMode && m_pManager != NULL) m_pManager->AddPostPaint(this);
                return;
            }
        }
        if (event.type == EVT_BUTTONUP) {
            if ((m_uButtonState & STATE_CAPTURED) != 0) {
                m_uButtonState &= ~STATE_CAPTURED;
                m_rcItem = m_rcNewPos;
                if (!m_bImmMode && m_pManager != NULL) m_pManager->RemovePostPaint(this);
                NeedParentUpdate();
                return;
            }
        } else if (event.type == EVT_MOUSEMOVE) {
            if ((m_uButtonState & STATE_CAPTURED) != 0) {
                LONG cy = event.mousePos.y - m_ptLastMouse.y;
                m_ptLastMouse = event.mousePos;
                RECT rc = m_rcNewPos;
                if (m_iSepHeight >= 0) {
                    if (cy > 0 && event.mousePos.y < m_rcNewPos.bottom + m_iSepHeight) return;
                    if (cy < 0 && event.mousePos.y > m_rcNewPos.bottom) return;
                    rc.bottom += cy;
                    if (rc.bottom - rc.top <= GetMinHeight()) {
                        if (m_rcNewPos.bottom - m_rcNewPos.top <= GetMinHeight()) return;
                        rc.bottom = rc.top + GetMinHeight();
                    }
                    if (rc.bottom - rc.top >= GetMaxHeight()) {
                        if (m_rcNewPos.bottom - m_rcNewPos.top >= GetMaxHeight()) return;
                        rc.bottom = rc.top + GetMaxHeight();
                    }
                } else {
                    if (cy > 0 && event.mousePos.y < m_rcNewPos.top) return;
                    if (cy < 0 && event.mousePos.y > m_rcNewPos.top + m_iSepHeight) return;
                    rc.top += cy;
                    if (rc.bottom - rc.top <= GetMinHeight()) {
                        if (m_rcNewPos.bottom - m_rcNewPos.top <= GetMinHeight()) return;
                        rc.top = rc.bottom - GetMinHeight();
                    }
                    if (rc.bottom - rc.top >= GetMaxHeight()) {
                        if (m_rcNewPos.bottom - m_rcNewPos.top >= GetMaxHeight()) return;
                        rc.top = rc.bottom - GetMaxHeight();
                    }
                }

                CUIRect rcInvalidate = GetThumbRect(true);
                m_rcNewPos = rc;
                m_cxyFixed.cy = m_rcNewPos.bottom - m_rcNewPos.top;

                if (m_bImmMode) {
                    m_rcItem = m_rcNewPos;
                    NeedParentUpdate();
                } else {
                    CUIRect rcNew = GetThumbRect(true);
                    rcInvalidate.Join(rcNew);
                    CUIRect rcOld = GetThumbRect(false);
                    rcInvalidate.Join(rcOld);
                    if (m_pManager != NULL) m_pManager->Invalidate(rcInvalidate);
                }
                return;
            }
        }
        if (event.type == EVT_SETCURSOR) {
            RECT rcSeparator = GetThumbRect(false);
            if (IsEnabled() && ::PtInRect(&rcSeparator, event.mousePos)) {
                ::SetCursor(::LoadCursorW(NULL, MAKEINTRESOURCEW(32645)));  // IDC_SIZENS
                return;
            }
        }
    }
    CContainerUI::DoEvent(event);
}

RECT CVerticalLayoutUI::GetThumbRect(bool bUseNew) const
{
    const RECT& rcPos = ((m_uButtonState & STATE_CAPTURED) != 0 && bUseNew) ? m_rcNewPos : m_rcItem;
    RECT rc;
    if (m_iSepHeight >= 0) {
        rc.left = rcPos.left;
        rc.top = rcPos.bottom - m_iSepHeight > rcPos.top ? rcPos.bottom - m_iSepHeight : rcPos.top;
        rc.right = rcPos.right;
        rc.bottom = rcPos.bottom;
    } else {
        rc.left = rcPos.left;
        rc.top = rcPos.top;
        rc.right = rcPos.right;
        rc.bottom = rcPos.top - m_iSepHeight < rcPos.bottom ? rcPos.top - m_iSepHeight : rcPos.bottom;
    }
    return rc;
}

} // namespace SkinUI
