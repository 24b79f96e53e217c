#include "skinui/control/HorizontalLayout.h"

#include "skinui/control/ScrollBar.h"
#include "skinui/core/PaintManager.h"
#include "skinui/core/UIRect.h"
#include "skinui/render/RenderEngine.h"

#include <stdlib.h>
#include <wchar.h>

// Sections: identity; SetPos (two passes over the children, stacked from
// left to right); the separator strip, its drag and its preview.

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() {}

CControlUI* CHorizontalLayoutUI::CreateControl()
{
    return new CHorizontalLayoutUI;
}

LPCTSTR CHorizontalLayoutUI::GetClass() const
{
    return L"HorizontalLayoutUI";
}

LPVOID CHorizontalLayoutUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != NULL && _wcsicmp(pstrName, L"HorizontalLayout") == 0) return this;
    return CContainerUI::GetInterface(pstrName);
}

UINT CHorizontalLayoutUI::GetControlFlags() const
{
    return IsEnabled() && m_iSepWidth != 0 ? CONTROLFLAG_SETCURSOR : 0;
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate)
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
    int cyNeeded = 0;
    int nAdjustables = 0;
    int cxFixed = 0;
    int nEstimateNum = 0;
    for (int it1 = 0; it1 < m_items.GetSize(); it1++) {
        CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(it1));
        if (!pControl->IsVisible() || pControl->IsFloat()) continue;
        RECT rcPadding = pControl->GetPadding();
        SIZE szControlAvailable = {szAvailable.cx,
                                   szAvailable.cy - rcPadding.top - rcPadding.bottom};
        int iControlMaxWidth = pControl->GetFixedWidth();
        int iControlMaxHeight = pControl->GetFixedHeight();
        if (iControlMaxWidth <= 0) iControlMaxWidth = pControl->GetMaxWidth();
        if (iControlMaxHeight <= 0) iControlMaxHeight = pControl->GetMaxHeight();
        if (szControlAvailable.cx > iControlMaxWidth) szControlAvailable.cx = iControlMaxWidth;
        if (szControlAvailable.cy > iControlMaxHeight) szControlAvailable.cy = iControlMaxHeight;
        SIZE sz = pControl->EstimateSize(szControlAvailable);
        if (sz.cx == 0) {
            nAdjustables++;
        } else {
            if (sz.cx < pControl->GetMinWidth()) sz.cx = pControl->GetMinWidth();
            if (sz.cx > pControl->GetMaxWidth()) sz.cx = pControl->GetMaxWidth();
        }
        cxFixed += sz.cx + rcPadding.left + rcPadding.right;

        if (sz.cy < 0) sz.cy = 0;
        if (sz.cy < pControl->GetMinHeight()) sz.cy = pControl->GetMinHeight();
        if (sz.cy > pControl->GetMaxHeight()) sz.cy = pControl->GetMaxHeight();
        if (sz.cy + rcPadding.top + rcPadding.bottom > cyNeeded) {
            cyNeeded = sz.cy + rcPadding.top + rcPadding.bottom;
        }
        nEstimateNum++;
    }
    if (nEstimateNum > 0) cxFixed += (nEstimateNum - 1) * iChildPadding;

    int cxExpand = 0;
    if (nAdjustables > 0) {
        cxExpand = (szAvailable.cx - cxFixed) / nAdjustables;
        if (cxExpand < 0) cxExpand = 0;
    }

    SIZE szRemaining = szAvailable;
    int iPosX = rc.left;
    if (bHBar) iPosX -= m_pHorizontalScrollBar->GetScrollPos();
    int iEstimate = 0;
    int iAdjustable = 0;
    int cxFixedRemaining = cxFixed;
    int cxNeeded = 0;
    for (int it2 = 0; it2 < m_items.GetSize(); it2++) {
        CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(it2));
        if (!pControl->IsVisible()) continue;
        if (pControl->IsFloat()) {
            SetFloatPos(it2);
            continue;
        }
        iEstimate++;
        RECT rcPadding = pControl->GetPadding();
        szRemaining.cx -= rcPadding.left;

        SIZE szControlAvailable = {szRemaining.cx,
                                   szRemaining.cy - rcPadding.top - rcPadding.bottom};
        int iControlMaxWidth = pControl->GetFixedWidth();
        int iControlMaxHeight = pControl->GetFixedHeight();
        if (iControlMaxWidth <= 0) iControlMaxWidth = pControl->GetMaxWidth();
        if (iControlMaxHeight <= 0) iControlMaxHeight = pControl->GetMaxHeight();
        if (szControlAvailable.cx > iControlMaxWidth) szControlAvailable.cx = iControlMaxWidth;
        if (szControlAvailable.cy > iControlMaxHeight) szControlAvailable.cy = iControlMaxHeight;

        cxFixedRemaining -= rcPadding.left + rcPadding.right;
        if (iEstimate > 1) cxFixedRemaining -= iChildPadding;

        SIZE sz = pControl->EstimateSize(szControlAvailable);
        if (sz.cx == 0) {
            iAdjustable++;
            sz.cx = cxExpand;
            // The last adjustable child takes the remainder of the division.
            if (iAdjustable == nAdjustables) {
                sz.cx = szRemaining.cx - rcPadding.right - cxFixedRemaining;
                if (sz.cx < 0) sz.cx = 0;
            }
            if (sz.cx < pControl->GetMinWidth()) sz.cx = pControl->GetMinWidth();
            if (sz.cx > pControl->GetMaxWidth()) sz.cx = pControl->GetMaxWidth();
        } else {
            if (sz.cx < pControl->GetMinWidth()) sz.cx = pControl->GetMinWidth();
            if (sz.cx > pControl->GetMaxWidth()) sz.cx = pControl->GetMaxWidth();
            cxFixedRemaining -= sz.cx;
        }

        sz.cy = pControl->GetMaxHeight();
        if (sz.cy == 0) sz.cy = szAvailable.cy - rcPadding.top - rcPadding.bottom;
        if (sz.cy < 0) sz.cy = 0;
        if (sz.cy > szControlAvailable.cy) sz.cy = szControlAvailable.cy;
        if (sz.cy < pControl->GetMinHeight()) sz.cy = pControl->GetMinHeight();

        RECT rcCtrl;
        if (m_iChildVAlign == DT_VCENTER) {
            int iPosY = (rc.bottom + rc.top) / 2;
            if (bVBar) {
                iPosY += m_pVerticalScrollBar->GetScrollRange() / 2;
                iPosY -= m_pVerticalScrollBar->GetScrollPos();
            }
            rcCtrl.top = iPosY - sz.cy / 2;
            rcCtrl.bottom = iPosY + sz.cy - sz.cy / 2;
        } else if (m_iChildVAlign == DT_BOTTOM) {
            int iPosY = rc.bottom;
            if (bVBar) {
                iPosY += m_pVerticalScrollBar->GetScrollRange();
                iPosY -= m_pVerticalScrollBar->GetScrollPos();
            }
            rcCtrl.top = iPosY - rcPadding.bottom - sz.cy;
            rcCtrl.bottom = iPosY - rcPadding.bottom;
        } else {
            int iPosY = rc.top;
            if (bVBar) iPosY -= m_pVerticalScrollBar->GetScrollPos();
            rcCtrl.top = iPosY + rcPadding.top;
            rcCtrl.bottom = iPosY + rcPadding.top + sz.cy;
        }
        rcCtrl.left = iPosX + rcPadding.left;
        rcCtrl.right = iPosX + rcPadding.left + sz.cx;
        pControl->SetPos(rcCtrl, false);

        iPosX += sz.cx + iChildPadding + rcPadding.left + rcPadding.right;
        cxNeeded += sz.cx + rcPadding.left + rcPadding.right;
        szRemaining.cx -= sz.cx + iChildPadding + rcPadding.right;
    }
    if (nEstimateNum > 0) cxNeeded += (nEstimateNum - 1) * iChildPadding;

    ProcessScrollBar(rc, cxNeeded, cyNeeded);
}

void CHorizontalLayoutUI::DoPostPaint(HDC hDC, const RECT& /*rcPaint*/)
{
    if ((m_uButtonState & STATE_CAPTURED) != 0 && !m_bImmMode) {
        RECT rcSeparator = GetThumbRect(true);
        CRenderEngine::DrawColor(hDC, rcSeparator, 0xAA000000);
    }
}

void CHorizontalLayoutUI::SetSepWidth(int iWidth)
{
    m_iSepWidth = iWidth;
}

int CHorizontalLayoutUI::GetSepWidth() const
{
    return m_iSepWidth;
}

void CHorizontalLayoutUI::SetSepImmMode(bool bImmediately)
{
    if (m_bImmMode == bImmediately) return;
    if ((m_uButtonState & STATE_CAPTURED) != 0 && !m_bImmMode && m_pManager != NULL) {
        m_pManager->RemovePostPaint(this);
    }
    m_bImmMode = bImmediately;
}

bool CHorizontalLayoutUI::IsSepImmMode() const
{
    return m_bImmMode;
}

void CHorizontalLayoutUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL) return;
    if (_wcsicmp(pstrName, L"sepwidth") == 0) {
        SetSepWidth(static_cast<int>(wcstol(pstrValue, NULL, 10)));
    } else if (_wcsicmp(pstrName, L"sepimm") == 0) {
        SetSepImmMode(ParseBool(pstrValue));
    } else {
        CContainerUI::SetAttribute(pstrName, pstrValue);
    }
}

void CHorizontalLayoutUI::DoEvent(TEventUI& event)
{
    if (m_iSepWidth != 0) {
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
                LONG cx = event.mousePos.x - m_ptLastMouse.x;
                m_ptLastMouse = event.mousePos;
                RECT rc = m_rcNewPos;
                if (m_iSepWidth >= 0) {
                    if (cx > 0 && event.mousePos.x < m_rcNewPos.right - m_iSepWidth) return;
                    if (cx < 0 && event.mousePos.x > m_rcNewPos.right) return;
                    rc.right += cx;
                    if (rc.right - rc.left <= GetMinWidth()) {
                        if (m_rcNewPos.right - m_rcNewPos.left <= GetMinWidth()) return;
                        rc.right = rc.left + GetMinWidth();
                    }
                    if (rc.right - rc.left >= GetMaxWidth()) {
                        if (m_rcNewPos.right - m_rcNewPos.left >= GetMaxWidth()) return;
                        rc.right = rc.left + GetMaxWidth();
                    }
                } else {
                    if (cx > 0 && event.mousePos.x < m_rcNewPos.left) return;
                    if (cx < 0 && event.mousePos.x > m_rcNewPos.left - m_iSepWidth) return;
                    rc.left += cx;
                    if (rc.right - rc.left <= GetMinWidth()) {
                        if (m_rcNewPos.right - m_rcNewPos.left <= GetMinWidth()) return;
                        rc.left = rc.right - GetMinWidth();
                    }
                    if (rc.right - rc.left >= GetMaxWidth()) {
                        if (m_rcNewPos.right - m_rcNewPos.left >= GetMaxWidth()) return;
                        rc.left = rc.right - GetMaxWidth();
                    }
                }

                CUIRect rcInvalidate = GetThumbRect(true);
                m_rcNewPos = rc;
                m_cxyFixed.cx = m_rcNewPos.right - m_rcNewPos.left;

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
                ::SetCursor(::LoadCursorW(NULL, MAKEINTRESOURCEW(32644)));  // IDC_SIZEWE
                return;
            }
        }
    }
    CContainerUI::DoEvent(event);
}

RECT CHorizontalLayoutUI::GetThumbRect(bool bUseNew) const
{
    const RECT& rcPos = ((m_uButtonState & STATE_CAPTURED) != 0 && bUseNew) ? m_rcNewPos : m_rcItem;
    RECT rc;
    if (m_iSepWidth >= 0) {
        rc.left = rcPos.right - m_iSepWidth;
        rc.top = rcPos.top;
        rc.right = rcPos.right;
        rc.bottom = rcPos.bottom;
    } else {
        rc.left = rcPos.left;
        rc.top = rcPos.top;
        rc.right = rcPos.left - m_iSepWidth;
        rc.bottom = rcPos.bottom;
    }
    return rc;
}

} // namespace SkinUI
