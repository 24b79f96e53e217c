#include "skinui/control/ScrollBar.h"

#include "skinui/control/Container.h"

#include <wchar.h>

namespace SkinUI {

CScrollBarUI::CScrollBarUI()
{
    m_cxyFixed.cx = 16;
}

CControlUI* CScrollBarUI::CreateControl()
{
    return new CScrollBarUI;
}

LPCTSTR CScrollBarUI::GetClass() const
{
    return L"ScrollBarUI";
}

LPVOID CScrollBarUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != nullptr && _wcsicmp(pstrName, L"ScrollBar") == 0) return this;
    return CControlUI::GetInterface(pstrName);
}

CContainerUI* CScrollBarUI::GetOwner() const
{
    return m_pOwner;
}

void CScrollBarUI::SetOwner(CContainerUI* pOwner)
{
    m_pOwner = pOwner;
}

bool CScrollBarUI::IsHorizontal() const
{
    return m_bHorizontal;
}

void CScrollBarUI::SetHorizontal(bool bHorizontal)
{
    if (m_bHorizontal == bHorizontal) return;
    m_bHorizontal = bHorizontal;
    if (m_bHorizontal) {
        if (m_cxyFixed.cy == 0) {
            m_cxyFixed.cx = 0;
            m_cxyFixed.cy = 16;
        }
    } else if (m_cxyFixed.cx == 0) {
        m_cxyFixed.cx = 16;
        m_cxyFixed.cy = 0;
    }
    Invalidate();
}

int CScrollBarUI::GetScrollRange() const
{
    return m_nRange;
}

void CScrollBarUI::SetScrollRange(int nRange)
{
    if (nRange < 0) nRange = 0;
    if (m_nRange == nRange) return;
    m_nRange = nRange;
    if (m_nScrollPos > m_nRange) m_nScrollPos = m_nRange;
    Invalidate();
}

int CScrollBarUI::GetScrollPos() const
{
    return m_nScrollPos;
}

void CScrollBarUI::SetScrollPos(int nPos)
{
    if (nPos < 0) nPos = 0;
    if (nPos > m_nRange) nPos = m_nRange;
    if (m_nScrollPos == nPos) return;
    m_nScrollPos = nPos;
    Invalidate();
}

int CScrollBarUI::GetLineSize() const
{
    return m_nLineSize;
}

void CScrollBarUI::SetLineSize(int nSize)
{
    if (nSize > 0) m_nLineSize = nSize;
}

void CScrollBarUI::ScrollTo(int nPos)
{
    if (m_pOwner == nullptr) {
        SetScrollPos(nPos);
        return;
    }
    SIZE sz = m_pOwner->GetScrollPos();
    if (m_bHorizontal) {
        sz.cx = nPos;
    } else {
        sz.cy = nPos;
    }
    m_pOwner->SetScrollPos(sz);
}

}  // namespace SkinUI
