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

// The first pass: what the non-float children take along the main axis
// (iFixed, the gaps included) and across it (iCrossNeeded), and how many of
// them share the rest (nAdjustables) among how many placed (nEstimateNum).
struct TBoxMeasure
{
    int iCrossNeeded;
    int nAdjustables;
    int iFixed;
    int nEstimateNum;
};

static TBoxMeasure MeasureChildren(const CStdPtrArray& items, SIZE szAvailable, int iChildPadding,
                                   const TBoxAxis& ax)
{
    TBoxMeasure m = {0, 0, 0, 0};
    for (int it1 = 0; it1 < items.GetSize(); it1++) {
        CControlUI* pControl = static_cast<CControlUI*>(items.GetAt(it1));
        if (!pControl->IsVisible() || pControl->IsFloat()) continue;
        RECT rcPadding = pControl->GetPadding();
        const SIZE szControlAvailable = ControlAvailable(pControl, szAvailable, rcPadding, ax);
        SIZE sz = pControl->EstimateSize(szControlAvailable);
        if (sz.*ax.pSize == 0) {
            m.nAdjustables++;
        } else {
            sz.*ax.pSize = Clamp(sz.*ax.pSize, (pControl->*ax.pfnMin)(), (pControl->*ax.pfnMax)());
        }
        m.iFixed += sz.*ax.pSize + rcPadding.*ax.pStart + rcPadding.*ax.pEnd;

        if (sz.*ax.pCrossSize < 0) sz.*ax.pCrossSize = 0;
        sz.*ax.pCrossSize =
            Clamp(sz.*ax.pCrossSize, (pControl->*ax.pfnCrossMin)(), (pControl->*ax.pfnCrossMax)());
        const int iCross = sz.*ax.pCrossSize + rcPadding.*ax.pCrossStart + rcPadding.*ax.pCrossEnd;
        if (iCross > m.iCrossNeeded) m.iCrossNeeded = iCross;
        m.nEstimateNum++;
    }
    if (m.nEstimateNum > 0) m.iFixed += (m.nEstimateNum - 1) * iChildPadding;
    return m;
}

// A child's size across the main axis: its maximum, else all the room less
// its padding, held to what it was offered and to its minimum.
static LONG CrossSize(CControlUI* pControl, SIZE szAvailable, SIZE szControlAvailable, const RECT& rcPadding,
                      const TBoxAxis& ax)
{
    LONG iCross = (pControl->*ax.pfnCrossMax)();
    if (iCross == 0)
        iCross = szAvailable.*ax.pCrossSize - rcPadding.*ax.pCrossStart - rcPadding.*ax.pCrossEnd;
    if (iCross < 0) iCross = 0;
    if (iCross > szControlAvailable.*ax.pCrossSize) iCross = szControlAvailable.*ax.pCrossSize;
    if (iCross < (pControl->*ax.pfnCrossMin)()) iCross = (pControl->*ax.pfnCrossMin)();
    return iCross;
}

// Where a child of size iCross across the main axis goes in rc for the
// layout's alignment across it, moved by the cross scroll bar (null when
// hidden): rcCtrl's cross start and end.
static void PlaceAcross(RECT& rcCtrl, const RECT& rc, LONG iCross, const RECT& rcPadding, UINT uCrossAlign,
                        CScrollBarUI* pCrossBar, const TBoxAxis& ax)
{
    if (uCrossAlign == ax.uAlignCenter) {
        int iCrossPos = (rc.*ax.pCrossEnd + rc.*ax.pCrossStart) / 2;
        if (pCrossBar != nullptr) {
            iCrossPos += pCrossBar->GetScrollRange() / 2;
            iCrossPos -= pCrossBar->GetScrollPos();
        }
        rcCtrl.*ax.pCrossStart = iCrossPos - iCross / 2;
        rcCtrl.*ax.pCrossEnd = iCrossPos + iCross - iCross / 2;
    } else if (uCrossAlign == ax.uAlignEnd) {
        int iCrossPos = rc.*ax.pCrossEnd;
        if (pCrossBar != nullptr) {
            iCrossPos += pCrossBar->GetScrollRange();
            iCrossPos -= pCrossBar->GetScrollPos();
        }
        rcCtrl.*ax.pCrossStart = iCrossPos - rcPadding.*ax.pCrossEnd - iCross;
        rcCtrl.*ax.pCrossEnd = iCrossPos - rcPadding.*ax.pCrossEnd;
    } else {
        int iCrossPos = rc.*ax.pCrossStart;
        if (pCrossBar != nullptr) iCrossPos -= pCrossBar->GetScrollPos();
        rcCtrl.*ax.pCrossStart = iCrossPos + rcPadding.*ax.pCrossStart;
        rcCtrl.*ax.pCrossEnd = iCrossPos + rcPadding.*ax.pCrossStart + iCross;
    }
}

// Measures the children, then places them one after the other along the
// main axis; the scroll bars get the size that needed.
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
    LONG SIZE::*const pSize = ax.pSize;
    const bool bMainBar = ax.bVertical ? bVBar : bHBar;
    const bool bCrossBar = ax.bVertical ? bHBar : bVBar;
    CScrollBarUI* pMainBar = ax.bVertical ? m_pVerticalScrollBar : m_pHorizontalScrollBar;
    CScrollBarUI* pCrossBar =
        bCrossBar ? (ax.bVertical ? m_pHorizontalScrollBar : m_pVerticalScrollBar) : nullptr;
    const UINT uCrossAlign = ax.bVertical ? m_iChildAlign : m_iChildVAlign;

    SIZE szAvailable = {rc.right - rc.left, rc.bottom - rc.top};
    if (bHBar) szAvailable.cx += m_pHorizontalScrollBar->GetScrollRange();
    if (bVBar) szAvailable.cy += m_pVerticalScrollBar->GetScrollRange();

    // The gap between children is the skin's number as written: unlike the
    // children's sizes and the inset, it does not grow with the DPI scale.
    const int iChildPadding = m_iChildPadding;
    const TBoxMeasure measure = MeasureChildren(m_items, szAvailable, iChildPadding, ax);
    const int nAdjustables = measure.nAdjustables;

    int iExpand = 0;
    if (nAdjustables > 0) {
        iExpand = (szAvailable.*pSize - measure.iFixed) / nAdjustables;
        if (iExpand < 0) iExpand = 0;
    }

    SIZE szRemaining = szAvailable;
    int iPos = rc.*pStart;
    if (bMainBar) iPos -= pMainBar->GetScrollPos();
    int iEstimate = 0;
    int iAdjustable = 0;
    int iFixedRemaining = measure.iFixed;
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

        RECT rcCtrl;
        PlaceAcross(rcCtrl, rc, CrossSize(pControl, szAvailable, szControlAvailable, rcPadding, ax),
                    rcPadding, uCrossAlign, pCrossBar, ax);
        rcCtrl.*pStart = iPos + rcPadding.*pStart;
        rcCtrl.*pEnd = iPos + rcPadding.*pStart + sz.*pSize;
        pControl->SetPos(rcCtrl, false);

        iPos += sz.*pSize + iChildPadding + rcPadding.*pStart + rcPadding.*pEnd;
        iNeeded += sz.*pSize + rcPadding.*pStart + rcPadding.*pEnd;
        szRemaining.*pSize -= sz.*pSize + iChildPadding + rcPadding.*pEnd;
    }
    if (measure.nEstimateNum > 0) iNeeded += (measure.nEstimateNum - 1) * iChildPadding;

    SIZE szNeeded;
    szNeeded.*pSize = iNeeded;
    szNeeded.*ax.pCrossSize = measure.iCrossNeeded;
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
