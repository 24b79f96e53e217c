#include "skinui/control/Progress.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/DPI.h"
#include "skinui/render/RenderEngine.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

namespace SkinUI {

CProgressUI::CProgressUI()
{
    m_uTextStyle = DT_SINGLELINE | DT_CENTER;
    SetFixedHeight(12);
}

CControlUI* CProgressUI::CreateControl()
{
    return new CProgressUI;
}

LPCTSTR CProgressUI::GetClass() const
{
    return L"ProgressUI";
}

LPVOID CProgressUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != nullptr && _wcsicmp(pstrName, L"Progress") == 0) {
        return static_cast<CProgressUI*>(this);
    }
    return CLabelUI::GetInterface(pstrName);
}

bool CProgressUI::IsShowText() const
{
    return m_bShowText;
}

void CProgressUI::SetShowText(bool bShowText)
{
    if (m_bShowText == bShowText) return;
    m_bShowText = bShowText;
    if (!m_bShowText) SetText(L"");
}

bool CProgressUI::IsHorizontal() const
{
    return m_bHorizontal;
}

void CProgressUI::SetHorizontal(bool bHorizontal)
{
    if (m_bHorizontal == bHorizontal) return;
    m_bHorizontal = bHorizontal;
    Invalidate();
}

bool CProgressUI::IsStretchForeImage() const
{
    return m_bStretchForeImage;
}

void CProgressUI::SetStretchForeImage(bool bStretchForeImage)
{
    if (m_bStretchForeImage == bStretchForeImage) return;
    m_bStretchForeImage = bStretchForeImage;
    Invalidate();
}

int CProgressUI::GetMinValue() const
{
    return m_nMin;
}

void CProgressUI::SetMinValue(int nMin)
{
    m_nMin = nMin;
    Invalidate();
}

int CProgressUI::GetMaxValue() const
{
    return m_nMax;
}

void CProgressUI::SetMaxValue(int nMax)
{
    m_nMax = nMax;
    Invalidate();
}

int CProgressUI::GetValue() const
{
    return m_nValue;
}

void CProgressUI::SetValue(int nValue)
{
    if (nValue == m_nValue || nValue < m_nMin || nValue > m_nMax) return;
    m_nValue = nValue;
    Invalidate();
    UpdateText();
    Changed(CHANGE_VALUE);
}

const CUIString& CProgressUI::GetForeModifier() const
{
    return m_sForeImageModify;
}

// An empty range shows as the value 0 %: painting repairs it to
// minimum .. minimum + 1 with the value at the minimum.
void CProgressUI::UpdateText()
{
    if (!m_bShowText) return;
    float fPercent = 0.0f;
    if (m_nMax > m_nMin) {
        fPercent = (static_cast<float>(m_nValue) - static_cast<float>(m_nMin)) * 100.0f /
            (static_cast<float>(m_nMax) - static_cast<float>(m_nMin));
    }
    wchar_t szText[32];
    swprintf(szText, 32, L"%.0f%%", static_cast<double>(fPercent));
    SetText(szText);
}

void CProgressUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName == nullptr || pstrValue == nullptr) return;

    if (_wcsicmp(pstrName, L"hor") == 0) {
        SetHorizontal(ParseBool(pstrValue));
    } else if (_wcsicmp(pstrName, L"min") == 0) {
        SetMinValue(static_cast<int>(wcstol(pstrValue, nullptr, 10)));
    } else if (_wcsicmp(pstrName, L"max") == 0) {
        SetMaxValue(static_cast<int>(wcstol(pstrValue, nullptr, 10)));
    } else if (_wcsicmp(pstrName, L"value") == 0) {
        SetValue(static_cast<int>(wcstol(pstrValue, nullptr, 10)));
    } else if (_wcsicmp(pstrName, L"isstretchfore") == 0) {
        SetStretchForeImage(ParseBool(pstrValue));
    } else {
        CLabelUI::SetAttribute(pstrName, pstrValue);
    }
}

// ---- Painting -------------------------------------------------------------
// Products are taken before the division, in 64 bits so that no range can
// overflow them; results truncate toward zero.

void CProgressUI::NormaliseRange()
{
    if (m_nMin >= m_nMax) m_nMax = m_nMin < INT_MAX ? m_nMin + 1 : m_nMin;
    if (m_nMin >= m_nMax) m_nMin = m_nMax - 1;
    if (m_nValue > m_nMax) m_nValue = m_nMax;
    if (m_nValue < m_nMin) m_nValue = m_nMin;
}

RECT CProgressUI::GetFilledRect()
{
    NormaliseRange();
    LONGLONG cx = m_rcItem.right - m_rcItem.left;
    LONGLONG cy = m_rcItem.bottom - m_rcItem.top;
    LONGLONG span = static_cast<LONGLONG>(m_nMax) - m_nMin;
    RECT rc = {0, 0, static_cast<LONG>(cx), static_cast<LONG>(cy)};
    if (m_bHorizontal) {
        rc.right = static_cast<LONG>((static_cast<LONGLONG>(m_nValue) - m_nMin) * cx / span);
    } else {
        rc.top = static_cast<LONG>(cy * (static_cast<LONGLONG>(m_nMax) - m_nValue) / span);
    }
    return rc;
}

void CProgressUI::PaintForeColor(HDC hDC)
{
    if (m_dwForeColor == 0) return;
    RECT rcFilled = GetFilledRect();
    RECT rc = m_rcItem;
    if (m_bHorizontal) {
        rc.right = m_rcItem.left + rcFilled.right;
    } else {
        rc.top = m_rcItem.top + rcFilled.top;
    }
    CRenderEngine::DrawColor(hDC, rc, GetAdjustColor(m_dwForeColor));
}

// The modifier's rectangles are read back at the window's DPI scale, so the
// filled part (in device pixels) is handed over at 100 %. Format rather than
// the 63-character SmallFormat: a wide bar's two rectangles can be longer.
void CProgressUI::PaintForeImage(HDC hDC)
{
    RECT rc = GetFilledRect();
    if (m_sForeImage.IsEmpty()) return;
    if (m_pManager != nullptr) m_pManager->GetDPIObj()->ScaleBack(&rc);

    if (m_bStretchForeImage) {
        m_sForeImageModify.Format(L"dest='%d,%d,%d,%d'", rc.left, rc.top, rc.right, rc.bottom);
    } else {
        m_sForeImageModify.Format(L"dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", rc.left, rc.top, rc.right,
                                  rc.bottom, rc.left, rc.top, rc.right, rc.bottom);
    }
    DrawImage(hDC, m_sForeImage, m_sForeImageModify);
}

}  // namespace SkinUI
