#include "skinui/control/Container.h"

#include "skinui/control/ScrollBar.h"
#include "skinui/core/PaintManager.h"
#include "skinui/render/DPI.h"
#include "skinui/render/RenderClip.h"

#include <wchar.h>

// Sections: item interface; propagation to children; geometry and float
// placement; searches; events and scrolling; attributes; painting.

namespace SkinUI {

CContainerUI::CContainerUI() {}

CContainerUI::~CContainerUI()
{
    m_bDelayedDestroy = false;
    RemoveAll();
    delete m_pVerticalScrollBar;
    delete m_pHorizontalScrollBar;
}

CControlUI* CContainerUI::CreateControl()
{
    return new CContainerUI;
}

LPCTSTR CContainerUI::GetClass() const
{
    return L"ContainerUI";
}

LPVOID CContainerUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != nullptr) {
        if (_wcsicmp(pstrName, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
        if (_wcsicmp(pstrName, L"Container") == 0) return static_cast<CContainerUI*>(this);
    }
    return CControlUI::GetInterface(pstrName);
}

// ---- Item interface -------------------------------------------------------

CControlUI* CContainerUI::GetItemAt(int iIndex) const
{
    if (iIndex < 0 || iIndex >= m_items.GetSize()) return nullptr;
    return static_cast<CControlUI*>(m_items.GetAt(iIndex));
}

int CContainerUI::GetItemIndex(CControlUI* pControl) const
{
    return m_items.Find(pControl);
}

bool CContainerUI::SetItemIndex(CControlUI* pControl, int iNewIndex)
{
    // The new index counts in the list without the control; a bad index is
    // refused before the control leaves the list, so it stays a child.
    int iIndex = m_items.Find(pControl);
    if (iIndex < 0 || iNewIndex < 0 || iNewIndex >= m_items.GetSize()) return false;
    NeedUpdate();
    m_items.Remove(iIndex);
    return m_items.InsertAt(iNewIndex, pControl);
}

int CContainerUI::GetCount() const
{
    return m_items.GetSize();
}

bool CContainerUI::Add(CControlUI* pControl)
{
    return AddAt(pControl, m_items.GetSize());
}

bool CContainerUI::AddAt(CControlUI* pControl, int iIndex)
{
    // A refused insertion leaves the control as it was: detached, the
    // caller's to keep.
    if (pControl == nullptr || iIndex < 0 || iIndex > m_items.GetSize()) return false;
    if (m_pManager != nullptr) m_pManager->InitControls(pControl, this);
    if (IsVisible()) {
        NeedUpdate();
    } else {
        pControl->SetInternVisible(false);
    }
    return m_items.InsertAt(iIndex, pControl);
}

void CContainerUI::DestroyChild(CControlUI* pControl)
{
    if (!m_bAutoDestroy) return;
    if (m_bDelayedDestroy && m_pManager != nullptr) {
        m_pManager->AddDelayedCleanup(pControl);
    } else {
        delete pControl;
    }
}

bool CContainerUI::Remove(CControlUI* pControl)
{
    if (pControl == nullptr) return false;
    int iIndex = m_items.Find(pControl);
    if (iIndex < 0) return false;
    NeedUpdate();
    // Out of the list first, so that a child destroyed at once never sees
    // itself as a child of this container.
    bool bRemoved = m_items.Remove(iIndex);
    DestroyChild(pControl);
    return bRemoved;
}

bool CContainerUI::RemoveAt(int iIndex)
{
    CControlUI* pControl = GetItemAt(iIndex);
    if (pControl == nullptr) return false;
    return Remove(pControl);
}

void CContainerUI::RemoveAll()
{
    // The list is emptied before the children go, so that a child's
    // destructor walking up the tree finds no stale siblings.
    CStdPtrArray aItems(m_items);
    m_items.Empty();
    for (int i = 0; i < aItems.GetSize(); i++) {
        DestroyChild(static_cast<CControlUI*>(aItems.GetAt(i)));
    }
    NeedUpdate();
}

bool CContainerUI::IsAutoDestroy() const
{
    return m_bAutoDestroy;
}

void CContainerUI::SetAutoDestroy(bool bAuto)
{
    m_bAutoDestroy = bAuto;
}

bool CContainerUI::IsDelayedDestroy() const
{
    return m_bDelayedDestroy;
}

void CContainerUI::SetDelayedDestroy(bool bDelayed)
{
    m_bDelayedDestroy = bDelayed;
}

// ---- Propagation to children ------------------------------------------------

void CContainerUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit)
{
    for (int i = 0; i < m_items.GetSize(); i++) {
        static_cast<CControlUI*>(m_items.GetAt(i))->SetManager(pManager, this, bInit);
    }
    if (m_pVerticalScrollBar != nullptr) m_pVerticalScrollBar->SetManager(pManager, this, bInit);
    if (m_pHorizontalScrollBar != nullptr) m_pHorizontalScrollBar->SetManager(pManager, this, bInit);
    CControlUI::SetManager(pManager, pParent, bInit);
}

void CContainerUI::SetItemsInternVisible()
{
    bool bVisible = IsVisible();
    for (int i = 0; i < m_items.GetSize(); i++) {
        static_cast<CControlUI*>(m_items.GetAt(i))->SetInternVisible(bVisible);
    }
}

void CContainerUI::SetVisible(bool bVisible)
{
    if (m_bVisible == bVisible) return;
    CControlUI::SetVisible(bVisible);
    SetItemsInternVisible();
}

void CContainerUI::SetInternVisible(bool bVisible)
{
    CControlUI::SetInternVisible(bVisible);
    if (m_items.IsEmpty()) return;
    SetItemsInternVisible();
}

void CContainerUI::SetEnabled(bool bEnabled)
{
    if (m_bEnabled == bEnabled) return;
    m_bEnabled = bEnabled;
    for (int i = 0; i < m_items.GetSize(); i++) {
        static_cast<CControlUI*>(m_items.GetAt(i))->SetEnabled(bEnabled);
    }
    Invalidate();
    Changed(CHANGE_ENABLED);
}

void CContainerUI::SetMouseEnabled(bool bEnabled)
{
    if (m_pVerticalScrollBar != nullptr) m_pVerticalScrollBar->SetMouseEnabled(bEnabled);
    if (m_pHorizontalScrollBar != nullptr) m_pHorizontalScrollBar->SetMouseEnabled(bEnabled);
    CControlUI::SetMouseEnabled(bEnabled);
}

bool CContainerUI::IsMouseChildEnabled() const
{
    return m_bMouseChildEnabled;
}

void CContainerUI::SetMouseChildEnabled(bool bEnable)
{
    m_bMouseChildEnabled = bEnable;
}

// ---- Geometry and float placement -------------------------------------------

RECT CContainerUI::GetInset() const
{
    return ScaleRect(m_rcInset);
}

void CContainerUI::SetInset(RECT rcInset)
{
    m_rcInset = rcInset;
    NeedUpdate();
}

int CContainerUI::GetChildPadding() const
{
    return ScaleValue(m_iChildPadding);
}

void CContainerUI::SetChildPadding(int iPadding)
{
    m_iChildPadding = iPadding;
    NeedUpdate();
}

UINT CContainerUI::GetChildAlign() const
{
    return m_iChildAlign;
}

void CContainerUI::SetChildAlign(UINT iAlign)
{
    m_iChildAlign = iAlign;
    NeedUpdate();
}

UINT CContainerUI::GetChildVAlign() const
{
    return m_iChildVAlign;
}

void CContainerUI::SetChildVAlign(UINT iVAlign)
{
    m_iChildVAlign = iVAlign;
    NeedUpdate();
}

bool CContainerUI::IsVerticalBarShown() const
{
    return m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible();
}

bool CContainerUI::IsHorizontalBarShown() const
{
    return m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible();
}

RECT CContainerUI::ChildArea(const RECT& rcInset) const
{
    RECT rc = m_rcItem;
    rc.left += rcInset.left;
    rc.top += rcInset.top;
    rc.right -= rcInset.right;
    rc.bottom -= rcInset.bottom;
    if (IsVerticalBarShown()) rc.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (IsHorizontalBarShown()) rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
    return rc;
}

RECT CContainerUI::GetClientPos() const
{
    RECT rc = m_rcItem;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    if (IsVerticalBarShown()) {
        rc.top -= m_pVerticalScrollBar->GetScrollPos();
        rc.bottom -= m_pVerticalScrollBar->GetScrollPos();
        rc.bottom += m_pVerticalScrollBar->GetScrollRange();
        rc.right -= m_pVerticalScrollBar->GetFixedWidth();
    }
    if (IsHorizontalBarShown()) {
        rc.left -= m_pHorizontalScrollBar->GetScrollPos();
        rc.right -= m_pHorizontalScrollBar->GetScrollPos();
        rc.right += m_pHorizontalScrollBar->GetScrollRange();
        rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
    }
    return rc;
}

void CContainerUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    if (m_items.IsEmpty()) return;

    RECT rcContent = GetClientPos();
    for (int i = 0; i < m_items.GetSize(); i++) {
        CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(i));
        if (!pControl->IsVisible()) continue;
        if (pControl->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        int cx = rcContent.right - rcContent.left;
        int cy = rcContent.bottom - rcContent.top;
        if (cx < pControl->GetMinWidth()) cx = pControl->GetMinWidth();
        if (cx > pControl->GetMaxWidth()) cx = pControl->GetMaxWidth();
        if (cy < pControl->GetMinHeight()) cy = pControl->GetMinHeight();
        if (cy > pControl->GetMaxHeight()) cy = pControl->GetMaxHeight();
        RECT rcCtrl = {rcContent.left, rcContent.top, rcContent.left + cx, rcContent.top + cy};
        pControl->SetPos(rcCtrl, false);
    }
}

void CContainerUI::Move(SIZE szOffset, bool bNeedInvalidate)
{
    CControlUI::Move(szOffset, bNeedInvalidate);
    if (IsVerticalBarShown()) m_pVerticalScrollBar->Move(szOffset, false);
    if (IsHorizontalBarShown()) m_pHorizontalScrollBar->Move(szOffset, false);
    for (int i = 0; i < m_items.GetSize(); i++) {
        CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(i));
        if (pControl->IsVisible()) pControl->Move(szOffset, false);
    }
}

void CContainerUI::SetFloatPos(int iIndex)
{
    CControlUI* pControl = GetItemAt(iIndex);
    if (pControl == nullptr || !pControl->IsVisible() || !pControl->IsFloat()) return;

    SIZE szXY = pControl->GetFixedXY();
    int w = pControl->GetFixedWidth();
    int h = pControl->GetFixedHeight();
    UINT uAlign = pControl->GetFloatAlign();
    TPercentInfo rcPercent = pControl->GetFloatPercent();
    int W = m_rcItem.right - m_rcItem.left;
    int H = m_rcItem.bottom - m_rcItem.top;

    RECT rcCtrl;
    if (uAlign != 0) {
        rcCtrl.left = 0;
        rcCtrl.top = 0;
        rcCtrl.right = w;
        rcCtrl.bottom = h;
        int dx = szXY.cx;
        if ((uAlign & DT_CENTER) != 0) {
            dx = (W - w) / 2;
        } else if ((uAlign & DT_RIGHT) != 0) {
            dx = W - w;
        }
        int dy = szXY.cy;
        if ((uAlign & DT_VCENTER) != 0) {
            dy = (H - h) / 2;
        } else if ((uAlign & DT_BOTTOM) != 0) {
            dy = H - h;
        }
        ::OffsetRect(&rcCtrl, dx + m_rcItem.left, dy + m_rcItem.top);
    } else {
        rcCtrl.left = static_cast<LONG>(W * rcPercent.left) + szXY.cx + m_rcItem.left;
        rcCtrl.top = static_cast<LONG>(H * rcPercent.top) + szXY.cy + m_rcItem.top;
        rcCtrl.right = static_cast<LONG>(W * rcPercent.right) + szXY.cx + w + m_rcItem.left;
        rcCtrl.bottom = static_cast<LONG>(H * rcPercent.bottom) + szXY.cy + h + m_rcItem.top;
    }
    pControl->SetPos(rcCtrl, false);
}

void CContainerUI::ProcessScrollBar(RECT rc, int cxRequired, int cyRequired)
{
    if (m_pHorizontalScrollBar != nullptr) {
        int cxWidth = rc.right - rc.left;
        if (cxRequired > cxWidth && !m_pHorizontalScrollBar->IsVisible()) {
            m_pHorizontalScrollBar->SetVisible(true);
            m_pHorizontalScrollBar->SetScrollRange(cxRequired - cxWidth);
            m_pHorizontalScrollBar->SetScrollPos(0);
            SetPos(m_rcItem, true);
        } else if (m_pHorizontalScrollBar->IsVisible()) {
            int cxScroll = cxRequired - cxWidth;
            if (cxScroll <= 0) {
                m_pHorizontalScrollBar->SetVisible(false);
                m_pHorizontalScrollBar->SetScrollPos(0);
                m_pHorizontalScrollBar->SetScrollRange(0);
                SetPos(m_rcItem, true);
            } else {
                RECT rcScrollBarPos = {rc.left, rc.bottom, rc.right,
                                       rc.bottom + m_pHorizontalScrollBar->GetFixedHeight()};
                m_pHorizontalScrollBar->SetPos(rcScrollBarPos, true);
                if (m_pHorizontalScrollBar->GetScrollRange() != cxScroll) {
                    int iScrollPos = m_pHorizontalScrollBar->GetScrollPos();
                    m_pHorizontalScrollBar->SetScrollRange(cxScroll < 0 ? -cxScroll : cxScroll);
                    if (m_pHorizontalScrollBar->GetScrollPos() < iScrollPos) SetPos(m_rcItem, true);
                }
            }
        }
    }

    if (m_pVerticalScrollBar != nullptr) {
        int cyHeight = rc.bottom - rc.top;
        if (cyRequired > cyHeight && !m_pVerticalScrollBar->IsVisible()) {
            m_pVerticalScrollBar->SetVisible(true);
            m_pVerticalScrollBar->SetScrollRange(cyRequired - cyHeight);
            m_pVerticalScrollBar->SetScrollPos(0);
            SetPos(m_rcItem, true);
        } else if (m_pVerticalScrollBar->IsVisible()) {
            int cyScroll = cyRequired - cyHeight;
            if (cyScroll <= 0) {
                m_pVerticalScrollBar->SetVisible(false);
                m_pVerticalScrollBar->SetScrollPos(0);
                m_pVerticalScrollBar->SetScrollRange(0);
                SetPos(m_rcItem, true);
            } else {
                RECT rcScrollBarPos = {rc.right, rc.top, rc.right + m_pVerticalScrollBar->GetFixedWidth(),
                                       rc.bottom};
                m_pVerticalScrollBar->SetPos(rcScrollBarPos, true);
                if (m_pVerticalScrollBar->GetScrollRange() != cyScroll) {
                    int iScrollPos = m_pVerticalScrollBar->GetScrollPos();
                    m_pVerticalScrollBar->SetScrollRange(cyScroll < 0 ? -cyScroll : cyScroll);
                    if (m_pVerticalScrollBar->GetScrollPos() < iScrollPos) SetPos(m_rcItem, true);
                }
            }
        }
    }
}

// ---- Searches ---------------------------------------------------------------

int CContainerUI::FindSelectable(int iIndex, bool bForward) const
{
    int nCount = m_items.GetSize();
    if (nCount == 0) return -1;
    if (iIndex < 0) iIndex = 0;
    if (iIndex >= nCount) iIndex = nCount - 1;
    if (bForward) {
        for (int i = iIndex; i < nCount; i++) {
            CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(i));
            if (pControl->GetInterface(L"ListItem") != nullptr && pControl->IsVisible() &&
                pControl->IsEnabled()) {
                return i;
            }
        }
        return -1;
    }
    for (int i = iIndex; i >= 0; i--) {
        CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(i));
        if (pControl->GetInterface(L"ListItem") != nullptr && pControl->IsVisible() &&
            pControl->IsEnabled()) {
            return i;
        }
    }
    return FindSelectable(0, true);
}

CControlUI* CContainerUI::FindControl(FindControlProc Proc, LPVOID pData, UINT uFlags)
{
    if ((uFlags & FIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
    if ((uFlags & FIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
    const bool bHitTest = (uFlags & FIND_HITTEST) != 0;
    if (bHitTest && !::PtInRect(&m_rcItem, *static_cast<LPPOINT>(pData))) return nullptr;
    if ((uFlags & FIND_UPDATETEST) != 0 && Proc(this, pData) != nullptr) return nullptr;

    const bool bMayBeMe = !bHitTest || IsMouseEnabled();
    CControlUI* pResult = nullptr;
    if ((uFlags & FIND_MEFIRST) != 0 && bMayBeMe) {
        pResult = Proc(this, pData);
        if (pResult != nullptr) return pResult;
    }
    if (m_pVerticalScrollBar != nullptr && bMayBeMe) {
        pResult = m_pVerticalScrollBar->FindControl(Proc, pData, uFlags);
        if (pResult != nullptr) return pResult;
    }
    if (m_pHorizontalScrollBar != nullptr && bMayBeMe) {
        pResult = m_pHorizontalScrollBar->FindControl(Proc, pData, uFlags);
        if (pResult != nullptr) return pResult;
    }

    if (!bHitTest || m_bMouseChildEnabled) {
        RECT rc = ChildArea(m_rcInset);
        int nCount = m_items.GetSize();
        bool bTopFirst = (uFlags & FIND_TOPFIRST) != 0;
        for (int n = 0; n < nCount; n++) {
            int i = bTopFirst ? nCount - 1 - n : n;
            CControlUI* pChild = static_cast<CControlUI*>(m_items.GetAt(i));
            pResult = pChild->FindControl(Proc, pData, uFlags);
            if (pResult == nullptr) continue;
            if (bHitTest && !pResult->IsFloat() && !::PtInRect(&rc, *static_cast<LPPOINT>(pData))) {
                continue;
            }
            return pResult;
        }
    }

    if ((uFlags & FIND_MEFIRST) == 0 && bMayBeMe) return Proc(this, pData);
    return nullptr;
}

CControlUI* CContainerUI::FindSubControl(LPCTSTR pstrSubControlName)
{
    if (m_pManager == nullptr) return nullptr;
    return m_pManager->FindSubControlByName(this, pstrSubControlName);
}

CUIString CContainerUI::GetSubControlText(LPCTSTR pstrSubControlName)
{
    CControlUI* pSubControl = FindSubControl(pstrSubControlName);
    return pSubControl != nullptr ? pSubControl->GetText() : CUIString();
}

CUIString CContainerUI::GetSubControlUserData(LPCTSTR pstrSubControlName)
{
    CControlUI* pSubControl = FindSubControl(pstrSubControlName);
    return pSubControl != nullptr ? pSubControl->GetUserData() : CUIString();
}

int CContainerUI::GetSubControlFixedHeight(LPCTSTR pstrSubControlName)
{
    CControlUI* pSubControl = FindSubControl(pstrSubControlName);
    return pSubControl != nullptr ? pSubControl->GetFixedHeight() : -1;
}

int CContainerUI::GetSubControlFixedWdith(LPCTSTR pstrSubControlName)
{
    CControlUI* pSubControl = FindSubControl(pstrSubControlName);
    return pSubControl != nullptr ? pSubControl->GetFixedWidth() : -1;
}

bool CContainerUI::SetSubControlText(LPCTSTR pstrSubControlName, LPCTSTR pstrText)
{
    CControlUI* pSubControl = FindSubControl(pstrSubControlName);
    if (pSubControl == nullptr) return false;
    pSubControl->SetText(pstrText);
    return true;
}

bool CContainerUI::SetSubControlUserData(LPCTSTR pstrSubControlName, LPCTSTR pstrText)
{
    CControlUI* pSubControl = FindSubControl(pstrSubControlName);
    if (pSubControl == nullptr) return false;
    pSubControl->SetUserData(pstrText);
    return true;
}

bool CContainerUI::SetSubControlFixedHeight(LPCTSTR pstrSubControlName, int cy)
{
    CControlUI* pSubControl = FindSubControl(pstrSubControlName);
    if (pSubControl == nullptr) return false;
    pSubControl->SetFixedHeight(cy);
    return true;
}

bool CContainerUI::SetSubControlFixedWdith(LPCTSTR pstrSubControlName, int cx)
{
    CControlUI* pSubControl = FindSubControl(pstrSubControlName);
    if (pSubControl == nullptr) return false;
    pSubControl->SetFixedWidth(cx);
    return true;
}

// ---- Events and scrolling ---------------------------------------------------

void CContainerUI::DoEvent(TEventUI& event)
{
    if (PassMouseEventOn(event)) return;
    if (event.type == EVT_SETFOCUS) {
        m_bFocused = true;
        return;
    }
    if (event.type == EVT_KILLFOCUS) {
        m_bFocused = false;
        return;
    }
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible() &&
        m_pVerticalScrollBar->IsEnabled()) {
        if (event.type == EVT_KEYDOWN) {
            switch (event.keyChar) {
            case VK_PRIOR:
                PageUp();
                return;
            case VK_NEXT:
                PageDown();
                return;
            case VK_END:
                EndDown();
                return;
            case VK_HOME:
                HomeUp();
                return;
            case VK_UP:
                LineUp();
                return;
            case VK_DOWN:
                LineDown();
                return;
            default:
                break;
            }
        } else if (event.type == EVT_SCROLLWHEEL) {
            switch (LOWORD(event.wParam)) {
            case SB_LINEUP:
                LineUp();
                return;
            case SB_LINEDOWN:
                LineDown();
                return;
            default:
                break;
            }
        }
    } else if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible() &&
               m_pHorizontalScrollBar->IsEnabled()) {
        if (event.type == EVT_KEYDOWN) {
            switch (event.keyChar) {
            case VK_PRIOR:
                PageLeft();
                return;
            case VK_NEXT:
                PageRight();
                return;
            case VK_END:
                EndRight();
                return;
            case VK_HOME:
                HomeLeft();
                return;
            case VK_UP:
                LineLeft();
                return;
            case VK_DOWN:
                LineRight();
                return;
            default:
                break;
            }
        } else if (event.type == EVT_SCROLLWHEEL) {
            switch (LOWORD(event.wParam)) {
            case SB_LINEUP:
                LineLeft();
                return;
            case SB_LINEDOWN:
                LineRight();
                return;
            default:
                break;
            }
        }
    }
    CControlUI::DoEvent(event);
}

SIZE CContainerUI::GetScrollPos() const
{
    SIZE sz = {0, 0};
    if (IsVerticalBarShown()) sz.cy = m_pVerticalScrollBar->GetScrollPos();
    if (IsHorizontalBarShown()) sz.cx = m_pHorizontalScrollBar->GetScrollPos();
    return sz;
}

SIZE CContainerUI::GetScrollRange() const
{
    SIZE sz = {0, 0};
    if (IsVerticalBarShown()) sz.cy = m_pVerticalScrollBar->GetScrollRange();
    if (IsHorizontalBarShown()) sz.cx = m_pHorizontalScrollBar->GetScrollRange();
    return sz;
}

void CContainerUI::SetScrollPos(SIZE szPos, bool bMsg)
{
    int cx = 0;
    int cy = 0;
    if (IsVerticalBarShown()) {
        int iLastScrollPos = m_pVerticalScrollBar->GetScrollPos();
        m_pVerticalScrollBar->SetScrollPos(szPos.cy);
        cy = m_pVerticalScrollBar->GetScrollPos() - iLastScrollPos;
    }
    if (IsHorizontalBarShown()) {
        int iLastScrollPos = m_pHorizontalScrollBar->GetScrollPos();
        m_pHorizontalScrollBar->SetScrollPos(szPos.cx);
        cx = m_pHorizontalScrollBar->GetScrollPos() - iLastScrollPos;
    }
    if (cx == 0 && cy == 0) return;

    for (int i = 0; i < m_items.GetSize(); i++) {
        CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(i));
        if (!pControl->IsVisible() || pControl->IsFloat()) continue;
        RECT rcPos = pControl->GetPos();
        ::OffsetRect(&rcPos, -cx, -cy);
        pControl->SetPos(rcPos, true);
    }
    Invalidate();

    if (m_pVerticalScrollBar != nullptr && m_pManager != nullptr && bMsg) {
        int nLineSize = m_pVerticalScrollBar->GetLineSize();
        if (nLineSize <= 0) nLineSize = 1;
        int nPage = (m_pVerticalScrollBar->GetScrollPos() + nLineSize) / nLineSize;
        m_pManager->SendNotify(this, L"scroll", nPage, 0);
    }
}

void CContainerUI::SetScrollStepSize(int nSize)
{
    if (nSize > 0) m_nScrollStepSize = nSize;
}

int CContainerUI::GetScrollStepSize() const
{
    return ScaleValue(m_nScrollStepSize);
}

void CContainerUI::LineUp()
{
    int cyLine = GetScrollStepSize();
    if (cyLine == 0) {
        cyLine = 8;
        if (m_pManager != nullptr) cyLine = m_pManager->GetDefaultFontInfo()->tm.tmHeight + 8;
    }
    SIZE sz = GetScrollPos();
    sz.cy -= cyLine;
    SetScrollPos(sz);
}

void CContainerUI::LineDown()
{
    int cyLine = GetScrollStepSize();
    if (cyLine == 0) {
        cyLine = 8;
        if (m_pManager != nullptr) cyLine = m_pManager->GetDefaultFontInfo()->tm.tmHeight + 8;
    }
    SIZE sz = GetScrollPos();
    sz.cy += cyLine;
    SetScrollPos(sz);
}

void CContainerUI::PageUp()
{
    SIZE sz = GetScrollPos();
    int iOffset = m_rcItem.bottom - m_rcItem.top - m_rcInset.top - m_rcInset.bottom;
    if (IsHorizontalBarShown()) iOffset -= m_pHorizontalScrollBar->GetFixedHeight();
    sz.cy -= iOffset;
    SetScrollPos(sz);
}

void CContainerUI::PageDown()
{
    SIZE sz = GetScrollPos();
    int iOffset = m_rcItem.bottom - m_rcItem.top - m_rcInset.top - m_rcInset.bottom;
    if (IsHorizontalBarShown()) iOffset -= m_pHorizontalScrollBar->GetFixedHeight();
    sz.cy += iOffset;
    SetScrollPos(sz);
}

void CContainerUI::HomeUp()
{
    SIZE sz = GetScrollPos();
    sz.cy = 0;
    SetScrollPos(sz);
}

void CContainerUI::EndDown()
{
    SIZE sz = GetScrollPos();
    sz.cy = GetScrollRange().cy;
    SetScrollPos(sz);
}

void CContainerUI::LineLeft()
{
    int cxLine = GetScrollStepSize() == 0 ? 8 : GetScrollStepSize();
    SIZE sz = GetScrollPos();
    sz.cx -= cxLine;
    SetScrollPos(sz);
}

void CContainerUI::LineRight()
{
    int cxLine = GetScrollStepSize() == 0 ? 8 : GetScrollStepSize();
    SIZE sz = GetScrollPos();
    sz.cx += cxLine;
    SetScrollPos(sz);
}

void CContainerUI::PageLeft()
{
    SIZE sz = GetScrollPos();
    int iOffset = m_rcItem.right - m_rcItem.left - m_rcInset.left - m_rcInset.right;
    if (IsVerticalBarShown()) iOffset -= m_pVerticalScrollBar->GetFixedWidth();
    sz.cx -= iOffset;
    SetScrollPos(sz);
}

void CContainerUI::PageRight()
{
    SIZE sz = GetScrollPos();
    int iOffset = m_rcItem.right - m_rcItem.left - m_rcInset.left - m_rcInset.right;
    if (IsVerticalBarShown()) iOffset -= m_pVerticalScrollBar->GetFixedWidth();
    sz.cx += iOffset;
    SetScrollPos(sz);
}

void CContainerUI::HomeLeft()
{
    SIZE sz = GetScrollPos();
    sz.cx = 0;
    SetScrollPos(sz);
}

void CContainerUI::EndRight()
{
    SIZE sz = GetScrollPos();
    sz.cx = GetScrollRange().cx;
    SetScrollPos(sz);
}

void CContainerUI::EnableScrollBar(bool bEnableVertical, bool bEnableHorizontal)
{
    if (bEnableVertical && m_pVerticalScrollBar == nullptr) {
        m_pVerticalScrollBar = new CScrollBarUI;
        m_pVerticalScrollBar->SetOwner(this);
        m_pVerticalScrollBar->SetManager(m_pManager, nullptr, false);
        if (m_pManager != nullptr) {
            LPCTSTR pDefaultAttributes = m_pManager->GetDefaultAttributeList(L"VScrollBar");
            if (pDefaultAttributes != nullptr) {
                m_pVerticalScrollBar->ApplyAttributeList(pDefaultAttributes);
            }
        }
    } else if (!bEnableVertical && m_pVerticalScrollBar != nullptr) {
        delete m_pVerticalScrollBar;
        m_pVerticalScrollBar = nullptr;
    }

    if (bEnableHorizontal && m_pHorizontalScrollBar == nullptr) {
        m_pHorizontalScrollBar = new CScrollBarUI;
        m_pHorizontalScrollBar->SetHorizontal(true);
        m_pHorizontalScrollBar->SetOwner(this);
        m_pHorizontalScrollBar->SetManager(m_pManager, nullptr, false);
        if (m_pManager != nullptr) {
            LPCTSTR pDefaultAttributes = m_pManager->GetDefaultAttributeList(L"HScrollBar");
            if (pDefaultAttributes != nullptr) {
                m_pHorizontalScrollBar->ApplyAttributeList(pDefaultAttributes);
            }
        }
    } else if (!bEnableHorizontal && m_pHorizontalScrollBar != nullptr) {
        delete m_pHorizontalScrollBar;
        m_pHorizontalScrollBar = nullptr;
    }
    NeedUpdate();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const
{
    return m_pVerticalScrollBar;
}

CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const
{
    return m_pHorizontalScrollBar;
}

// ---- Attributes -------------------------------------------------------------

void CContainerUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName == nullptr || pstrValue == nullptr) return;
    if (_wcsicmp(pstrName, L"inset") == 0) {
        SetInset(ParseRect(pstrValue));
    } else if (_wcsicmp(pstrName, L"mousechild") == 0) {
        SetMouseChildEnabled(ParseBool(pstrValue));
    } else if (_wcsicmp(pstrName, L"vscrollbar") == 0) {
        EnableScrollBar(ParseBool(pstrValue), m_pHorizontalScrollBar != nullptr);
    } else if (_wcsicmp(pstrName, L"vscrollbarstyle") == 0) {
        m_sVerticalScrollBarStyle = pstrValue;
        EnableScrollBar(true, m_pHorizontalScrollBar != nullptr);
        LPCTSTR pStyle = m_pManager != nullptr ? m_pManager->GetStyle(pstrValue) : nullptr;
        m_pVerticalScrollBar->ApplyAttributeList(pStyle != nullptr ? pStyle : pstrValue);
    } else if (_wcsicmp(pstrName, L"hscrollbar") == 0) {
        EnableScrollBar(m_pVerticalScrollBar != nullptr, ParseBool(pstrValue));
    } else if (_wcsicmp(pstrName, L"hscrollbarstyle") == 0) {
        m_sHorizontalScrollBarStyle = pstrValue;
        EnableScrollBar(m_pVerticalScrollBar != nullptr, true);
        LPCTSTR pStyle = m_pManager != nullptr ? m_pManager->GetStyle(pstrValue) : nullptr;
        m_pHorizontalScrollBar->ApplyAttributeList(pStyle != nullptr ? pStyle : pstrValue);
    } else if (_wcsicmp(pstrName, L"childpadding") == 0) {
        SetChildPadding(static_cast<int>(wcstol(pstrValue, nullptr, 10)));
    } else if (wcscmp(pstrName, L"childalign") == 0) {
        if (wcscmp(pstrValue, L"left") == 0) {
            m_iChildAlign = 0;
        } else if (wcscmp(pstrValue, L"center") == 0) {
            m_iChildAlign = DT_CENTER;
        } else if (wcscmp(pstrValue, L"right") == 0) {
            m_iChildAlign = DT_RIGHT;
        }
    } else if (wcscmp(pstrName, L"childvalign") == 0) {
        if (wcscmp(pstrValue, L"top") == 0) {
            m_iChildVAlign = 0;
        } else if (wcscmp(pstrValue, L"vcenter") == 0) {
            m_iChildVAlign = DT_VCENTER;
        } else if (wcscmp(pstrValue, L"bottom") == 0) {
            m_iChildVAlign = DT_BOTTOM;
        }
    } else if (_wcsicmp(pstrName, L"scrollstepsize") == 0) {
        SetScrollStepSize(static_cast<int>(wcstol(pstrValue, nullptr, 10)));
    } else {
        CControlUI::SetAttribute(pstrName, pstrValue);
    }
}

// ---- Painting -----------------------------------------------------------------

void CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint)
{
    RECT rcTemp = {0, 0, 0, 0};
    if (!::IntersectRect(&rcTemp, &rcPaint, &m_rcItem)) return;

    CRenderClip clip;
    CRenderClip::GenerateClip(hDC, rcTemp, clip);
    CControlUI::DoPaint(hDC, rcPaint);

    if (!m_items.IsEmpty()) {
        RECT rc = ChildArea(GetInset());
        if (::IntersectRect(&rcTemp, &rcPaint, &rc)) {
            CRenderClip childClip;
            CRenderClip::GenerateClip(hDC, rcTemp, childClip);
            for (int i = 0; i < m_items.GetSize(); i++) {
                CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(i));
                if (!pControl->IsVisible()) continue;
                if (!::IntersectRect(&rcTemp, &rcPaint, &pControl->GetPos())) continue;
                if (pControl->IsFloat()) {
                    if (!::IntersectRect(&rcTemp, &m_rcItem, &pControl->GetPos())) continue;
                    CRenderClip::UseOldClipBegin(hDC, childClip);
                    pControl->DoPaint(hDC, rcPaint);
                    CRenderClip::UseOldClipEnd(hDC, childClip);
                } else {
                    if (!::IntersectRect(&rcTemp, &rc, &pControl->GetPos())) continue;
                    pControl->DoPaint(hDC, rcPaint);
                }
            }
        } else {
            for (int i = 0; i < m_items.GetSize(); i++) {
                CControlUI* pControl = static_cast<CControlUI*>(m_items.GetAt(i));
                if (!pControl->IsVisible() || !pControl->IsFloat()) continue;
                if (!::IntersectRect(&rcTemp, &rcPaint, &pControl->GetPos())) continue;
                if (!::IntersectRect(&rcTemp, &m_rcItem, &pControl->GetPos())) continue;
                pControl->DoPaint(hDC, rcPaint);
            }
        }
    }

    if (IsVerticalBarShown() && ::IntersectRect(&rcTemp, &rcPaint, &m_pVerticalScrollBar->GetPos())) {
        m_pVerticalScrollBar->DoPaint(hDC, rcPaint);
    }
    if (IsHorizontalBarShown() && ::IntersectRect(&rcTemp, &rcPaint, &m_pHorizontalScrollBar->GetPos())) {
        m_pHorizontalScrollBar->DoPaint(hDC, rcPaint);
    }
}

}  // namespace SkinUI
