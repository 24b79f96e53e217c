// CAccessibilityTreeUI: what a client reads of an object.
//   Tree shape: which controls are exposed, children, parent
//   Names, roles, values, actions
//   States, places, focus, hit test
#include "skinui/accessibility/AccessibilityTree.h"

#include "skinui/control/Button.h"
#include "skinui/control/Container.h"
#include "skinui/control/Label.h"
#include "skinui/control/Progress.h"
#include "skinui/control/Text.h"
#include "skinui/render/RenderEngine.h"

#include <oleacc.h>

namespace SkinUI {

namespace {

CTextUI* TextOf(CControlUI* pControl)
{
    return static_cast<CTextUI*>(pControl->GetInterface(L"Text"));
}

bool IsNonEmpty(LPCTSTR pstr)
{
    return pstr != nullptr && pstr[0] != L'\0';
}

// The control's text as read aloud; a progress bar's text is its value.
CUIString PlainTextOf(CControlUI* pControl)
{
    if (pControl->GetInterface(L"Progress") != nullptr) return CUIString();
    const CLabelUI* pLabel = static_cast<CLabelUI*>(pControl->GetInterface(L"Label"));
    const CUIString sText = pControl->GetText();
    if (pLabel != nullptr && pLabel->IsShowHtml()) return CRenderEngine::GetHtmlPlainText(sText);
    // Plain text is read as written, only without the spaces around it.
    int iStart = 0;
    int iEnd = sText.GetLength();
    while (iStart < iEnd && sText[iStart] <= L' ') ++iStart;
    while (iEnd > iStart && sText[iEnd - 1] <= L' ') --iEnd;
    return sText.Mid(iStart, iEnd - iStart);
}

}  // namespace

// ---- Tree shape ----------------------------------------------------------------

bool CAccessibilityTreeUI::IsShown(CControlUI* pControl)
{
    for (CControlUI* p = pControl; p != nullptr; p = p->GetParent())
        if (!p->IsVisible()) return false;
    return true;
}

bool CAccessibilityTreeUI::IsEnabledAll(CControlUI* pControl)
{
    for (CControlUI* p = pControl; p != nullptr; p = p->GetParent())
        if (!p->IsEnabled()) return false;
    return true;
}

bool CAccessibilityTreeUI::IsValid(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr) return target.iLink < 0;
    if (target.pControl->GetManager() != m_pManager) return false;
    CControlUI* pTop = target.pControl;
    while (pTop->GetParent() != nullptr) pTop = pTop->GetParent();
    if (pTop != m_pManager->GetRoot()) return false;
    if (target.iLink < 0) return true;
    CTextUI* pText = TextOf(target.pControl);
    return pText != nullptr && target.iLink < pText->GetLinkCount();
}

bool CAccessibilityTreeUI::IsExposed(CControlUI* pControl) const
{
    if (pControl == nullptr) return false;
    if (pControl->GetInterface(L"Button") != nullptr || pControl->GetInterface(L"Progress") != nullptr)
        return true;
    return !NameOf(pControl, !pControl->IsEnabled(), nullptr).IsEmpty();
}

void CAccessibilityTreeUI::AddExposed(CControlUI* pControl, std::vector<TAccessibleTarget>& children) const
{
    if (pControl == nullptr || !pControl->IsVisible()) return;
    if (IsExposed(pControl)) {
        children.push_back(TAccessibleTarget{pControl, -1});
        return;
    }
    AddExposedChildren(pControl, children);
}

void CAccessibilityTreeUI::AddExposedChildren(CControlUI* pControl,
                                              std::vector<TAccessibleTarget>& children) const
{
    // Items only: a container's scroll bars are not part of the page.
    CContainerUI* pContainer = static_cast<CContainerUI*>(pControl->GetInterface(L"Container"));
    if (pContainer == nullptr) return;
    for (int i = 0; i < pContainer->GetCount(); ++i) AddExposed(pContainer->GetItemAt(i), children);
}

void CAccessibilityTreeUI::GetChildren(const TAccessibleTarget& target,
                                       std::vector<TAccessibleTarget>& children) const
{
    children.clear();
    if (target.iLink >= 0) return;
    if (target.pControl == nullptr) {
        AddExposed(m_pManager->GetRoot(), children);
        return;
    }
    // A text's links are known from its last paint.
    CTextUI* pText = TextOf(target.pControl);
    if (pText != nullptr) {
        for (int i = 0; i < pText->GetLinkCount(); ++i)
            children.push_back(TAccessibleTarget{target.pControl, i});
        return;
    }
    AddExposedChildren(target.pControl, children);
}

TAccessibleTarget CAccessibilityTreeUI::GetParent(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr) return target;
    if (target.iLink >= 0) return TAccessibleTarget{target.pControl, -1};
    CControlUI* pParent = target.pControl->GetParent();
    while (pParent != nullptr && !IsExposed(pParent)) pParent = pParent->GetParent();
    return TAccessibleTarget{pParent, -1};
}

bool CAccessibilityTreeUI::IsDescendant(const TAccessibleTarget& target,
                                        const TAccessibleTarget& ancestor) const
{
    if (ancestor.iLink >= 0 || target.pControl == nullptr) return false;
    if (target.iLink >= 0 && target.pControl == ancestor.pControl) return true;
    if (ancestor.pControl == nullptr) return true;
    for (CControlUI* p = target.pControl->GetParent(); p != nullptr; p = p->GetParent())
        if (p == ancestor.pControl) return true;
    return false;
}

// ---- Names, roles, values, actions -------------------------------------------------

CUIString CAccessibilityTreeUI::NameOf(CControlUI* pControl, bool bDisabled, bool* pbFromToolTip) const
{
    if (pbFromToolTip != nullptr) *pbFromToolTip = false;
    LPCTSTR pstrDisabled = pControl->GetCustomAttribute(L"accdisabledname");
    if (bDisabled && IsNonEmpty(pstrDisabled)) return pstrDisabled;
    LPCTSTR pstrName = pControl->GetCustomAttribute(L"accname");
    if (IsNonEmpty(pstrName)) return pstrName;
    CUIString sText = PlainTextOf(pControl);
    if (!sText.IsEmpty()) return sText;
    if (pbFromToolTip != nullptr) *pbFromToolTip = true;
    return pControl->GetToolTip();
}

CUIString CAccessibilityTreeUI::LinkName(CControlUI* pControl, int iLink) const
{
    CUIString sLinks[CTextUI::kMaxLinks];
    if (iLink < 0 || iLink >= CTextUI::kMaxLinks) return CUIString();
    CRenderEngine::GetHtmlPlainText(pControl->GetText(), sLinks, CTextUI::kMaxLinks);
    return sLinks[iLink];
}

CUIString CAccessibilityTreeUI::GetName(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr) {
        wchar_t szTitle[256] = {};
        ::GetWindowTextW(GetWindow(), szTitle, 256);
        return szTitle;
    }
    if (target.iLink >= 0) return LinkName(target.pControl, target.iLink);
    return NameOf(target.pControl, !target.pControl->IsEnabled(), nullptr);
}

CUIString CAccessibilityTreeUI::GetDescription(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr || target.iLink >= 0) return CUIString();
    bool bFromToolTip = false;
    NameOf(target.pControl, !target.pControl->IsEnabled(), &bFromToolTip);
    return bFromToolTip ? CUIString() : target.pControl->GetToolTip();
}

int CAccessibilityTreeUI::PercentOf(CControlUI* pControl)
{
    const CProgressUI* pProgress = static_cast<CProgressUI*>(pControl->GetInterface(L"Progress"));
    if (pProgress == nullptr) return -1;
    const long long nRange = static_cast<long long>(pProgress->GetMaxValue()) - pProgress->GetMinValue();
    if (nRange <= 0) return 0;
    const long long nPercent =
        (static_cast<long long>(pProgress->GetValue()) - pProgress->GetMinValue()) * 100 / nRange;
    return nPercent < 0 ? 0 : nPercent > 100 ? 100 : static_cast<int>(nPercent);
}

CUIString CAccessibilityTreeUI::GetValue(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr) return CUIString();
    if (target.iLink >= 0) {
        const CUIString* psTarget = TextOf(target.pControl)->GetLinkContent(target.iLink);
        return psTarget != nullptr ? *psTarget : CUIString();
    }
    const int nPercent = PercentOf(target.pControl);
    if (nPercent < 0) return CUIString();
    CUIString sValue;
    sValue.SmallFormat(L"%d%%", nPercent);
    return sValue;
}

CUIString CAccessibilityTreeUI::GetDefaultAction(const TAccessibleTarget& target) const
{
    if (target.pControl == nullptr) return CUIString();
    // The verbs of Windows' own buttons and links.
    if (target.iLink >= 0) return L"Jump";
    if (target.pControl->GetInterface(L"Button") != nullptr) return L"Press";
    return CUIString();
}

LONG CAccessibilityTreeUI::GetRole(const TAccessibleTarget& target) const
{
    CControlUI* pControl = target.pControl;
    if (pControl == nullptr) return ROLE_SYSTEM_CLIENT;
    if (target.iLink >= 0) return ROLE_SYSTEM_LINK;
    if (pControl->GetInterface(L"Button") != nullptr) return ROLE_SYSTEM_PUSHBUTTON;
    if (pControl->GetInterface(L"Progress") != nullptr) return ROLE_SYSTEM_PROGRESSBAR;
    if (pControl->GetInterface(L"Container") != nullptr) return ROLE_SYSTEM_GROUPING;
    if (PlainTextOf(pControl).IsEmpty() && IsNonEmpty(pControl->GetBkImage())) return ROLE_SYSTEM_GRAPHIC;
    return ROLE_SYSTEM_STATICTEXT;
}

// ---- States, places, focus, hit test ---------------------------------------------

bool CAccessibilityTreeUI::GetFocusTarget(TAccessibleTarget& target) const
{
    CControlUI* pFocus = m_pManager->GetFocus();
    if (pFocus == nullptr || !IsValid(TAccessibleTarget{pFocus, -1})) return false;
    CTextUI* pText = TextOf(pFocus);
    if (pText != nullptr && pText->GetFocusedTabStop() >= 0 &&
        pText->GetFocusedTabStop() < pText->GetLinkCount()) {
        target = TAccessibleTarget{pFocus, pText->GetFocusedTabStop()};
        return true;
    }
    if (!IsExposed(pFocus)) return false;
    target = TAccessibleTarget{pFocus, -1};
    return true;
}

LONG CAccessibilityTreeUI::GetState(const TAccessibleTarget& target) const
{
    TAccessibleTarget focus = {};
    const bool bHasFocus = GetFocusTarget(focus);
    CControlUI* pControl = target.pControl;
    if (pControl == nullptr) {
        LONG nState = STATE_SYSTEM_FOCUSABLE;
        if (!bHasFocus && ::GetFocus() == GetWindow()) nState |= STATE_SYSTEM_FOCUSED;
        if (!::IsWindowVisible(GetWindow())) nState |= STATE_SYSTEM_INVISIBLE;
        return nState;
    }
    LONG nState = 0;
    if (!IsShown(pControl)) nState |= STATE_SYSTEM_INVISIBLE;
    if (!IsEnabledAll(pControl)) nState |= STATE_SYSTEM_UNAVAILABLE;
    if (bHasFocus && focus == target) nState |= STATE_SYSTEM_FOCUSED;
    const bool bTabStop = m_pManager->IsTabStop(pControl);
    if (target.iLink >= 0) {
        nState |= STATE_SYSTEM_LINKED;
        if (bTabStop) nState |= STATE_SYSTEM_FOCUSABLE;
        if (TextOf(pControl)->GetHoverLink() == target.iLink) nState |= STATE_SYSTEM_HOTTRACKED;
        return nState;
    }
    // A control whose Tab stops are its parts (a text's links) is not one.
    const ITabStopsUI* pStops = static_cast<ITabStopsUI*>(pControl->GetInterface(L"TabStops"));
    if (bTabStop && (pStops == nullptr || pStops->GetTabStopCount() == 0)) nState |= STATE_SYSTEM_FOCUSABLE;
    const CButtonUI* pButton = static_cast<CButtonUI*>(pControl->GetInterface(L"Button"));
    if (pButton != nullptr) {
        if ((pButton->GetButtonState() & STATE_HOT) != 0) nState |= STATE_SYSTEM_HOTTRACKED;
        if ((pButton->GetButtonState() & STATE_PUSHED) != 0) nState |= STATE_SYSTEM_PRESSED;
    }
    const LONG nRole = GetRole(target);
    if (nRole == ROLE_SYSTEM_STATICTEXT || nRole == ROLE_SYSTEM_PROGRESSBAR) nState |= STATE_SYSTEM_READONLY;
    return nState;
}

RECT CAccessibilityTreeUI::ClientRect(const TAccessibleTarget& target) const
{
    RECT rc = {0, 0, 0, 0};
    if (target.pControl == nullptr) {
        ::GetClientRect(GetWindow(), &rc);
    } else if (target.iLink >= 0) {
        rc = TextOf(target.pControl)->GetLinkRect(target.iLink);
    } else {
        rc = target.pControl->GetPos();
    }
    return rc;
}

RECT CAccessibilityTreeUI::GetScreenRect(const TAccessibleTarget& target) const
{
    // Control rectangles are in device pixels already, at any DPI.
    RECT rc = ClientRect(target);
    ::MapWindowPoints(GetWindow(), nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool CAccessibilityTreeUI::HitTest(const TAccessibleTarget& from, POINT ptScreen,
                                   TAccessibleTarget& hit) const
{
    POINT pt = ptScreen;
    ::ScreenToClient(GetWindow(), &pt);
    RECT rc = ClientRect(from);
    if (!::PtInRect(&rc, pt)) return false;
    hit = from;
    std::vector<TAccessibleTarget> children;
    for (;;) {
        GetChildren(hit, children);
        // Later children are painted over earlier ones.
        size_t i = children.size();
        while (i > 0) {
            rc = ClientRect(children[i - 1]);
            if (::PtInRect(&rc, pt)) break;
            --i;
        }
        if (i == 0) return true;
        hit = children[i - 1];
    }
}

}  // namespace SkinUI
