#include "skinui/control/Label.h"

#include "skinui/core/PaintManager.h"
#include "skinui/render/DPI.h"
#include "skinui/render/RenderEngine.h"

#include <stdlib.h>
#include <wchar.h>

// Sections: identity and flags; text attributes; attribute vocabulary;
// size estimation; painting.

namespace SkinUI {

// ---- Identity and flags -----------------------------------------------

CLabelUI::CLabelUI() {}

CControlUI* CLabelUI::CreateControl()
{
    return new CLabelUI;
}

LPCTSTR CLabelUI::GetClass() const
{
    return L"LabelUI";
}

LPVOID CLabelUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != nullptr && _wcsicmp(pstrName, L"Label") == 0) return static_cast<CLabelUI*>(this);
    return CControlUI::GetInterface(pstrName);
}

UINT CLabelUI::GetControlFlags() const
{
    return IsEnabled() ? CONTROLFLAG_SETCURSOR : 0;
}

void CLabelUI::SetText(LPCTSTR pstrText)
{
    CControlUI::SetText(pstrText);
    if (m_bAutoCalcWidth) NeedParentUpdate();
}

void CLabelUI::DoEvent(TEventUI& event)
{
    // Focus changes of a label need no repaint: it draws no focus state.
    if (event.type == EVT_SETFOCUS) {
        m_bFocused = true;
        return;
    }
    if (event.type == EVT_KILLFOCUS) {
        m_bFocused = false;
        return;
    }
    CControlUI::DoEvent(event);
}

bool CLabelUI::GetAutoCalcWidth() const
{
    return m_bAutoCalcWidth;
}

void CLabelUI::SetAutoCalcWidth(bool bAutoCalcWidth)
{
    m_bAutoCalcWidth = bAutoCalcWidth;
}

// ---- Text attributes ----------------------------------------------------

DWORD CLabelUI::GetTextColor() const
{
    return m_dwTextColor;
}

void CLabelUI::SetTextColor(DWORD dwTextColor)
{
    m_dwTextColor = dwTextColor;
    Invalidate();
}

DWORD CLabelUI::GetDisabledTextColor() const
{
    return m_dwDisabledTextColor;
}

void CLabelUI::SetDisabledTextColor(DWORD dwTextColor)
{
    m_dwDisabledTextColor = dwTextColor;
    Invalidate();
}

int CLabelUI::GetFont() const
{
    return m_iFont;
}

void CLabelUI::SetFont(int index)
{
    m_iFont = index;
    Invalidate();
}

UINT CLabelUI::GetTextStyle() const
{
    return m_uTextStyle;
}

void CLabelUI::SetTextStyle(UINT uStyle)
{
    m_uTextStyle = uStyle;
    Invalidate();
}

RECT CLabelUI::GetTextPadding() const
{
    return m_rcTextPadding;
}

void CLabelUI::SetTextPadding(RECT rc)
{
    m_rcTextPadding = rc;
    Invalidate();
}

bool CLabelUI::IsShowHtml() const
{
    return m_bShowHtml;
}

void CLabelUI::SetShowHtml(bool bShowHtml)
{
    if (m_bShowHtml == bShowHtml) return;
    m_bShowHtml = bShowHtml;
    Invalidate();
}

void CLabelUI::ResolveDefaultColors()
{
    if (m_pManager == nullptr) return;
    if (m_dwTextColor == 0) m_dwTextColor = m_pManager->GetDefaultFontColor();
    if (m_dwDisabledTextColor == 0) m_dwDisabledTextColor = m_pManager->GetDefaultDisabledColor();
}

RECT CLabelUI::GetScaledTextPadding() const
{
    RECT rc = {ScaleValue(m_rcTextPadding.left), ScaleValue(m_rcTextPadding.top),
               ScaleValue(m_rcTextPadding.right), ScaleValue(m_rcTextPadding.bottom)};
    return rc;
}

RECT CLabelUI::TextRect(const RECT& rcPadding) const
{
    RECT rc = m_rcItem;
    rc.left += rcPadding.left;
    rc.top += rcPadding.top;
    rc.right -= rcPadding.right;
    rc.bottom -= rcPadding.bottom;
    return rc;
}

// ---- Attribute vocabulary -----------------------------------------------
// "align" and "valign" look for their keywords anywhere in the value, with
// letter case, and apply each one found in the order below; a value such as
// "wrap" holds none and leaves the style as it is. Attributes change the
// style bits without repainting: they are applied before the first paint.

namespace {

// The text style bits a keyword of "align" or "valign" clears and then sets.
struct TStyleKeyword
{
    LPCTSTR pstrAttribute;
    LPCTSTR pstrKeyword;
    UINT uClear;
    UINT uSet;
};

const TStyleKeyword kStyleKeywords[] = {
    {L"align", L"left", DT_CENTER | DT_RIGHT, 0},
    {L"align", L"center", DT_RIGHT, DT_CENTER},
    {L"align", L"right", DT_CENTER, DT_RIGHT},
    {L"valign", L"top", DT_VCENTER | DT_BOTTOM | DT_WORDBREAK, DT_SINGLELINE},
    {L"valign", L"vcenter", DT_BOTTOM | DT_WORDBREAK, DT_VCENTER | DT_SINGLELINE},
    {L"valign", L"bottom", DT_VCENTER | DT_WORDBREAK, DT_BOTTOM | DT_SINGLELINE},
};

// The bits a boolean text attribute clears and then sets when it is true,
// and when it is false.
struct TStyleSwitch
{
    LPCTSTR pstrAttribute;
    UINT uClearOn;
    UINT uSetOn;
    UINT uClearOff;
    UINT uSetOff;
};

const TStyleSwitch kStyleSwitches[] = {
    {L"endellipsis", 0, DT_END_ELLIPSIS, DT_END_ELLIPSIS, 0},
    {L"wordbreak", DT_SINGLELINE, DT_WORDBREAK | DT_EDITCONTROL, DT_WORDBREAK | DT_EDITCONTROL,
     DT_SINGLELINE},
    {L"noprefix", 0, DT_NOPREFIX, DT_NOPREFIX, 0},
};

}  // namespace

void CLabelUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName == nullptr || pstrValue == nullptr) return;

    bool bStyle = false;
    for (const TStyleKeyword& keyword : kStyleKeywords) {
        if (_wcsicmp(pstrName, keyword.pstrAttribute) != 0) continue;
        bStyle = true;
        if (wcsstr(pstrValue, keyword.pstrKeyword) != nullptr) {
            m_uTextStyle = (m_uTextStyle & ~keyword.uClear) | keyword.uSet;
        }
    }
    for (const TStyleSwitch& sw : kStyleSwitches) {
        if (_wcsicmp(pstrName, sw.pstrAttribute) != 0) continue;
        bStyle = true;
        if (ParseBool(pstrValue))
            m_uTextStyle = (m_uTextStyle & ~sw.uClearOn) | sw.uSetOn;
        else
            m_uTextStyle = (m_uTextStyle & ~sw.uClearOff) | sw.uSetOff;
    }
    if (bStyle) return;

    if (_wcsicmp(pstrName, L"font") == 0) {
        SetFont(static_cast<int>(wcstol(pstrValue, nullptr, 10)));
    } else if (_wcsicmp(pstrName, L"textcolor") == 0) {
        SetTextColor(ParseColor(pstrValue));
    } else if (_wcsicmp(pstrName, L"disabledtextcolor") == 0) {
        SetDisabledTextColor(ParseColor(pstrValue));
    } else if (_wcsicmp(pstrName, L"textpadding") == 0) {
        SetTextPadding(ParseRect(pstrValue));
    } else if (_wcsicmp(pstrName, L"showhtml") == 0) {
        SetShowHtml(ParseBool(pstrValue));
    } else if (_wcsicmp(pstrName, L"autocalcwidth") == 0) {
        SetAutoCalcWidth(ParseBool(pstrValue));
    } else {
        CControlUI::SetAttribute(pstrName, pstrValue);
    }
}

// ---- Size estimation ------------------------------------------------------
// With auto calc width the measured text plus padding becomes the fixed
// width, stored unscaled. It is written directly rather than through
// SetFixedWidth: layouts call this while laying out, and asking for another
// layout from inside one would never settle.

SIZE CLabelUI::EstimateSize(SIZE szAvailable)
{
    if (m_pManager == nullptr) return CControlUI::EstimateSize(szAvailable);

    if (m_bAutoCalcWidth) {
        CUIString sText = GetText();
        RECT rcText = {0, 0, szAvailable.cx, szAvailable.cy};
        if (m_bShowHtml) {
            int nLinks = 0;
            CRenderEngine::DrawHtmlText(m_pManager->GetPaintDC(), m_pManager, rcText, sText, m_dwTextColor,
                                        nullptr, nullptr, nLinks, DT_CALCRECT | m_uTextStyle);
        } else {
            CRenderEngine::DrawTextW(m_pManager->GetPaintDC(), m_pManager, rcText, sText, m_dwTextColor,
                                     m_iFont, DT_CALCRECT | m_uTextStyle);
        }
        RECT rcPadding = GetScaledTextPadding();
        int cxScaled = rcText.right - rcText.left + rcPadding.left + rcPadding.right;
        int iScale = static_cast<int>(m_pManager->GetDPIObj()->GetScale());
        m_cxyFixed.cx = ::MulDiv(cxScaled, 100, iScale > 0 ? iScale : 100);
    }

    if (GetFixedHeight() != 0) return CControlUI::EstimateSize(szAvailable);

    SIZE sz = {GetFixedWidth(), 4};
    TFontInfo* pFont = m_pManager->GetFontInfo(m_iFont);
    if (pFont != nullptr) sz.cy += pFont->tm.tmHeight;
    return sz;
}

// ---- Painting ---------------------------------------------------------------

void CLabelUI::PaintText(HDC hDC)
{
    if (m_pManager == nullptr) return;
    ResolveDefaultColors();

    RECT rcText = TextRect(GetScaledTextPadding());
    CUIString sText = GetText();
    if (sText.IsEmpty()) return;

    DWORD dwColor = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    if (m_bShowHtml) {
        int nLinks = 0;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rcText, sText, dwColor, nullptr, nullptr, nLinks,
                                    m_uTextStyle);
    } else {
        CRenderEngine::DrawTextW(hDC, m_pManager, rcText, sText, dwColor, m_iFont, m_uTextStyle);
    }
}

}  // namespace SkinUI
