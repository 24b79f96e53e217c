#include "skinui/control/BoxLayout.h"

#include "skinui/control/ScrollBar.h"
#include "skinui/core/PaintManager.h"
#include "skinui/core/UIRect.h"
#include "skinui/render/RenderEngine.h"

#include <stdlib.h>
#include <wchar.h>

// Sections: the two axes; identity and attributes; SetPos (two passes over
// the children, stacked along the main axis); the separator strip, its drag
// and its preview.

namespace SkinUI {

// One layout axis and the layout class that stacks along it: the class's
// string and interface name, and the fields and size limits along the axis
// the children are stacked on (main) and across it (cross).
struct TBoxAxis
{
    LPCWSTR pstrClass;
    LPCWSTR pstrInterface;
    bool bVertical;
    LONG RECT::*pStart;
    LONG RECT::*pEnd;
    LONG RECT::*pCrossStart;
    LONG RECT::*pCrossEnd;
    LONG SIZE::*pSize;
    LONG SIZE::*pCrossSize;
    LONG POINT::*pCoord;
    int (CControlUI::*pfnMin)() const;
    int (CControlUI::*pfnMax)() const;
    int (CControlUI::*pfnCrossMin)() const;
    int (CControlUI::*pfnCrossMax)() const;
    UINT uAlignCenter;  // the child alignment values across the main axis
    UINT uAlignEnd;
    LPCWSTR pstrSepAttribute;
    LPCWSTR pstrSepCursor;
    // The two layouts differ in two details that skins see: a drag towards
    // the outside starts to count a strip's size beyond the edge (vertical)
    // or inside it (horizontal), and only the vertical strip is clipped to
    // the layout's rectangle.
    int iDragSlack;
    bool bClipThumb;
};

// The two axes side by side, a group of fields to a row.
// clang-format off
static const TBoxAxis kVerticalAxis = {
    L"VerticalLayoutUI", L"VerticalLayout", true,
    &RECT::top, &RECT::bottom, &RECT::left, &RECT::right, &SIZE::cy, &SIZE::cx, &POINT::y,
    &CControlUI::GetMinHeight, &CControlUI::GetMaxHeight, &CControlUI::GetMinWidth, &CControlUI::GetMaxWidth,
    DT_CENTER, DT_RIGHT, L"sepheight", IDC_SIZENS, 1, true};

static const TBoxAxis kHorizontalAxis = {
    L"HorizontalLayoutUI", L"HorizontalLayout", false,
    &RECT::left, &RECT::right, &RECT::top, &RECT::bottom, &SIZE::cx, &SIZE::cy, &POINT::x,
    &CControlUI::GetMinWidth, &CControlUI::GetMaxWidth, &CControlUI::GetMinHeight, &CControlUI::GetMaxHeight,
    DT_VCENTER, DT_BOTTOM, L"sepwidth", IDC_SIZEWE, -1, false};
// clang-format on

// A size held to a child's limits: the minimum first, so that a maximum
// below the minimum wins.
static LONG Clamp(LONG iSize, int iMin, int iMax)
{
    if (iSize < iMin) iSize = iMin;
    if (iSize > iMax) iSize = iMax;
    return iSize;
}

// The room offered to a child: all of szRoom along the main axis, less its
// padding across it, and no more than its fixed (else its maximum) size.
static SIZE ControlAvailable(CControlUI* pControl, SIZE szRoom, const RECT& rcPadding, const TBoxAxis& ax)
{
    SIZE sz = szRoom;
    sz.*ax.pCrossSize -= rcPadding.*ax.pCrossStart + rcPadding.*ax.pCrossEnd;
    int iControlMaxWidth = pControl->GetFixedWidth();
    int iControlMaxHeight = pControl->GetFixedHeight();
    if (iControlMaxWidth <= 0) iControlMaxWidth = pControl->GetMaxWidth();
    if (iControlMaxHeight <= 0) iControlMaxHeight = pControl->GetMaxHeight();
    if (sz.cx > iControlMaxWidth) sz.cx = iControlMaxWidth;
    if (sz.cy > iControlMaxHeight) sz.cy = iControlMaxHeight;
    return sz;
}

CBoxLayoutUI::CBoxLayoutUI(bool bVertical) : m_pAxis(bVertical ? &kVerticalAxis : &kHorizontalAxis) {}

LPCTSTR CBoxLayoutUI::GetClass() const
{
    return m_pAxis->pstrClass;
}

LPVOID CBoxLayoutUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != nullptr && _wcsicmp(pstrName, m_pAxis->pstrInterface) == 0) return this;
    return CContainerUI::GetInterface(pstrName);
}

UINT CBoxLayoutUI::GetControlFlags() const
{
    return IsEnabled() && m_iSepSize != 0 ? CONTROLFLAG_SETCURSOR : 0;
}

void CBoxLayoutUI::SetSepSize(int iSize)
{
    m_iSepSize = iSize;
}

int CBoxLayoutUI::GetSepSize() const
{
    return m_iSepSize;
}

void CBoxLayoutUI::SetSepImmMode(bool bImmediately)
{
    if (m_bImmMode == bImmediately) return;
    if ((m_uButtonState & STATE_CAPTURED) != 0 && !m_bImmMode && m_pManager != nullptr) {
        m_pManager->RemovePostPaint(this);
    }
    m_bImmMode = bImmediately;
}

bool CBoxLayoutUI::IsSepImmMode() const
{
    return m_bImmMode;
}

void CBoxLayoutUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName == nullptr || pstrValue == nullptr) return;
    if (_wcsicmp(pstrName, m_pAxis->pstrSepAttribute) == 0) {
        SetSepSize(static_cast<int>(wcstol(pstrValue, nullptr, 10)));
    } else if (_wcsicmp(pstrName, L"sepimm") == 0) {
        SetSepImmMode(ParseBool(pstrValue));
    } else {
        CContainerUI::SetAttribute(pstrName, pstrValue);
    }
}

void CBoxLayoutUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    rc = ChildArea(GetInset());
    const bool bVBar = IsVerticalBarShown();
    const bool bHBar = IsHorizontalBarShown();

    if (m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }

    const TBoxAxis& ax = *m_pAxis;
    LONG RECT::*const pStart = ax.pStart;
    LONG RECT::*const pEnd = ax.pEnd;
    LONG RECT::*const pCrossStart = ax.pCrossStart;
    LONG RECT::*const pCrossEnd = ax.pCrossEnd;
    LONG SIZE::*const pSize = ax.pSize;
    LONG SIZE::*const pCross = ax.pCrossSize;
    const bool bMainBar = ax.bVertical ? bVBar : bHBar;
    const bool bCrossBar = ax.bVertical ? bHBar : bVBar;
    CScrollBarUI* pMainBar = ax.bVertical ? m_pVerticalScrollBar : m_pHorizontalScrollBar;
    CScrollBarUI* pCrossBar = ax.bVertical ? m_pHorizontalScrollBar : m_pVerticalScrollBar;
    const UINT uCrossAlign = ax.bVertical ? m_iChildAlign : m_iChildVAlign;

    SIZE szAvailable = {rc.right - rc.left, rc.bottom - rc.top};
    if (bHBar) szAvailable.cx += m_pHorizontalScrollBar->GetScrollRange();
    if (bVBar) szAvailable.cy += m_pVerticalScrollBar->GetScrollRange();

    // The gap between children is the skin's number as written: unlike the
    // children's sizes and the inset, it does not grow with the DPI scale.
    const int iChildPadding = m_iChildPadding;
    int iCrossNeeded = 0;
    int nAdjustables = 0;
    int iFixed = 0;
    int nEstimateNum = 0;
    for (int it1 = 0; it1 < m_items.GetSize(); it1++) {
        CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(it1));
        if (!pControl->IsVisible() || pControl->IsFloat()) continue;
        RECT rcPadding = pControl->GetPadding();
        const SIZE szControlAvailable = ControlAvailable(pControl, szAvailable, rcPadding, ax);
        SIZE sz = pControl->EstimateSize(szControlAvailable);
        if (sz.*pSize == 0) {
            nAdjustables++;
        } else {
            sz.*pSize = Clamp(sz.*pSize, (pControl->*ax.pfnMin)(), (pControl->*ax.pfnMax)());
        }
        iFixed += sz.*pSize + rcPadding.*pStart + rcPadding.*pEnd;

        if (sz.*pCross < 0) sz.*pCross = 0;
        sz.*pCross = Clamp(sz.*pCross, (pControl->*ax.pfnCrossMin)(), (pControl->*ax.pfnCrossMax)());
        if (sz.*pCross + rcPadding.*pCrossStart + rcPadding.*pCrossEnd > iCrossNeeded) {
            iCrossNeeded = sz.*pCross + rcPadding.*pCrossStart + rcPadding.*pCrossEnd;
        }
        nEstimateNum++;
    }
    if (nEstimateNum > 0) iFixed += (nEstimateNum - 1) * iChildPadding;

    int iExpand = 0;
    if (nAdjustables > 0) {
        iExpand = (szAvailable.*pSize - iFixed) / nAdjustables;
        if (iExpand < 0) iExpand = 0;
    }

    SIZE szRemaining = szAvailable;
    int iPos = rc.*pStart;
    if (bMainBar) iPos -= pMainBar->GetScrollPos();
    int iEstimate = 0;
    int iAdjustable = 0;
    int iFixedRemaining = iFixed;
    int iNeeded = 0;
    for (int it2 = 0; it2 < m_items.GetSize(); it2++) {
        CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(it2));
        if (!pControl->IsVisible()) continue;
        if (pControl->IsFloat()) {
            SetFloatPos(it2);
            continue;
        }
        iEstimate++;
        RECT rcPadding = pControl->GetPadding();
        szRemaining.*pSize -= rcPadding.*pStart;

        const SIZE szControlAvailable = ControlAvailable(pControl, szRemaining, rcPadding, ax);

        iFixedRemaining -= rcPadding.*pStart + rcPadding.*pEnd;
        if (iEstimate > 1) iFixedRemaining -= iChildPadding;

        SIZE sz = pControl->EstimateSize(szControlAvailable);
        if (sz.*pSize == 0) {
            iAdjustable++;
            sz.*pSize = iExpand;
            // The last adjustable child takes the remainder of the division.
            if (iAdjustable == nAdjustables) {
                sz.*pSize = szRemaining.*pSize - rcPadding.*pEnd - iFixedRemaining;
                if (sz.*pSize < 0) sz.*pSize = 0;
            }
            sz.*pSize = Clamp(sz.*pSize, (pControl->*ax.pfnMin)(), (pControl->*ax.pfnMax)());
        } else {
            sz.*pSize = Clamp(sz.*pSize, (pControl->*ax.pfnMin)(), (pControl->*ax.pfnMax)());
            iFixedRemaining -= sz.*pSize;
        }

        sz.*pCross = (pControl->*ax.pfnCrossMax)();
        if (sz.*pCross == 0) sz.*pCross = szAvailable.*pCross - rcPadding.*pCrossStart - rcPadding.*pCrossEnd;
        if (sz.*pCross < 0) sz.*pCross = 0;
        if (sz.*pCross > szControlAvailable.*pCross) sz.*pCross = szControlAvailable.*pCross;
        if (sz.*pCross < (pControl->*ax.pfnCrossMin)()) sz.*pCross = (pControl->*ax.pfnCrossMin)();

        RECT rcCtrl;
        if (uCrossAlign == ax.uAlignCenter) {
            int iCrossPos = (rc.*pCrossEnd + rc.*pCrossStart) / 2;
            if (bCrossBar) {
                iCrossPos += pCrossBar->GetScrollRange() / 2;
                iCrossPos -= pCrossBar->GetScrollPos();
            }
            rcCtrl.*pCrossStart = iCrossPos - sz.*pCross / 2;
            rcCtrl.*pCrossEnd = iCrossPos + sz.*pCross - sz.*pCross / 2;
        } else if (uCrossAlign == ax.uAlignEnd) {
            int iCrossPos = rc.*pCrossEnd;
            if (bCrossBar) {
                iCrossPos += pCrossBar->GetScrollRange();
                iCrossPos -= pCrossBar->GetScrollPos();
            }
            rcCtrl.*pCrossStart = iCrossPos - rcPadding.*pCrossEnd - sz.*pCross;
            rcCtrl.*pCrossEnd = iCrossPos - rcPadding.*pCrossEnd;
        } else {
            int iCrossPos = rc.*pCrossStart;
            if (bCrossBar) iCrossPos -= pCrossBar->GetScrollPos();
            rcCtrl.*pCrossStart = iCrossPos + rcPadding.*pCrossStart;
            rcCtrl.*pCrossEnd = iCrossPos + rcPadding.*pCrossStart + sz.*pCross;
        }
        rcCtrl.*pStart = iPos + rcPadding.*pStart;
        rcCtrl.*pEnd = iPos + rcPadding.*pStart + sz.*pSize;
        pControl->SetPos(rcCtrl, false);

        iPos += sz.*pSize + iChildPadding + rcPadding.*pStart + rcPadding.*pEnd;
        iNeeded += sz.*pSize + rcPadding.*pStart + rcPadding.*pEnd;
        szRemaining.*pSize -= sz.*pSize + iChildPadding + rcPadding.*pEnd;
    }
    if (nEstimateNum > 0) iNeeded += (nEstimateNum - 1) * iChildPadding;

    SIZE szNeeded;
    szNeeded.*pSize = iNeeded;
    szNeeded.*pCross = iCrossNeeded;
    ProcessScrollBar(rc, szNeeded.cx, szNeeded.cy);
}

void CBoxLayoutUI::DoPostPaint(HDC hDC, const RECT& /*rcPaint*/)
{
    if ((m_uButtonState & STATE_CAPTURED) != 0 && !m_bImmMode) {
        RECT rcSeparator = GetThumbRect(true);
        CRenderEngine::DrawColor(hDC, rcSeparator, 0xAA000000);
    }
}

void CBoxLayoutUI::DoEvent(TEventUI& event)
{
    if (m_iSepSize != 0) {
        if (event.type == EVT_BUTTONDOWN && IsEnabled()) {
            RECT rcSeparator = GetThumbRect(false);
            if (::PtInRect(&rcSeparator, event.mousePos)) {
                m_uButtonState |= STATE_CAPTURED;
                m_ptLastMouse = event.mousePos;
                m_rcNewPos = m_rcItem;
                if (!m_bImmMode && m_pManager != nullptr) m_pManager->AddPostPaint(this);
                return;
            }
        }
        if (event.type == EVT_BUTTONUP) {
            if ((m_uButtonState & STATE_CAPTURED) != 0) {
                m_uButtonState &= ~STATE_CAPTURED;
                m_rcItem = m_rcNewPos;
                if (!m_bImmMode && m_pManager != nullptr) m_pManager->RemovePostPaint(this);
                NeedParentUpdate();
                return;
            }
        } else if (event.type == EVT_MOUSEMOVE) {
            if ((m_uButtonState & STATE_CAPTURED) != 0) {
                const TBoxAxis& ax = *m_pAxis;
                LONG RECT::*const pStart = ax.pStart;
                LONG RECT::*const pEnd = ax.pEnd;
                const LONG iMouse = event.mousePos.*ax.pCoord;
                const LONG iDelta = iMouse - m_ptLastMouse.*ax.pCoord;
                const int iSlack = ax.iDragSlack * m_iSepSize;
                const int iMin = (this->*ax.pfnMin)();
                const int iMax = (this->*ax.pfnMax)();
                const LONG iNewSize = m_rcNewPos.*pEnd - m_rcNewPos.*pStart;
                m_ptLastMouse = event.mousePos;
                RECT rc = m_rcNewPos;
                if (m_iSepSize >= 0) {
                    if (iDelta > 0 && iMouse < m_rcNewPos.*pEnd + iSlack) return;
                    if (iDelta < 0 && iMouse > m_rcNewPos.*pEnd) return;
                    rc.*pEnd += iDelta;
                    if (rc.*pEnd - rc.*pStart <= iMin) {
                        if (iNewSize <= iMin) return;
                        rc.*pEnd = rc.*pStart + iMin;
                    }
                    if (rc.*pEnd - rc.*pStart >= iMax) {
                        if (iNewSize >= iMax) return;
                        rc.*pEnd = rc.*pStart + iMax;
                    }
                } else {
                    if (iDelta > 0 && iMouse < m_rcNewPos.*pStart) return;
                    if (iDelta < 0 && iMouse > m_rcNewPos.*pStart + iSlack) return;
                    rc.*pStart += iDelta;
                    if (rc.*pEnd - rc.*pStart <= iMin) {
                        if (iNewSize <= iMin) return;
                        rc.*pStart = rc.*pEnd - iMin;
                    }
                    if (rc.*pEnd - rc.*pStart >= iMax) {
                        if (iNewSize >= iMax) return;
                        rc.*pStart = rc.*pEnd - iMax;
                    }
                }

                CUIRect rcInvalidate = GetThumbRect(true);
                m_rcNewPos = rc;
                m_cxyFixed.*ax.pSize = m_rcNewPos.*pEnd - m_rcNewPos.*pStart;

                if (m_bImmMode) {
                    m_rcItem = m_rcNewPos;
                    NeedParentUpdate();
                } else {
                    CUIRect rcNew = GetThumbRect(true);
                    rcInvalidate.Join(rcNew);
                    CUIRect rcOld = GetThumbRect(false);
                    rcInvalidate.Join(rcOld);
                    if (m_pManager != nullptr) m_pManager->Invalidate(rcInvalidate);
                }
                return;
            }
        }
        if (event.type == EVT_SETCURSOR) {
            RECT rcSeparator = GetThumbRect(false);
            if (IsEnabled() && ::PtInRect(&rcSeparator, event.mousePos)) {
                ::SetCursor(::LoadCursorW(nullptr, m_pAxis->pstrSepCursor));
                return;
            }
        }
    }
    CContainerUI::DoEvent(event);
}

RECT CBoxLayoutUI::GetThumbRect(bool bUseNew) const
{
    const TBoxAxis& ax = *m_pAxis;
    const RECT& rcPos = ((m_uButtonState & STATE_CAPTURED) != 0 && bUseNew) ? m_rcNewPos : m_rcItem;
    RECT rc = rcPos;
    if (m_iSepSize >= 0) {
        rc.*ax.pStart = rcPos.*ax.pEnd - m_iSepSize;
        if (ax.bClipThumb && rc.*ax.pStart <= rcPos.*ax.pStart) rc.*ax.pStart = rcPos.*ax.pStart;
    } else {
        rc.*ax.pEnd = rcPos.*ax.pStart - m_iSepSize;
        if (ax.bClipThumb && rc.*ax.pEnd >= rcPos.*ax.pEnd) rc.*ax.pEnd = rcPos.*ax.pEnd;
    }
    return rc;
}

}  // namespace SkinUI
