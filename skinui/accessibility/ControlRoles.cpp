// The table of control kinds, the lookup of a control's row, and the kind
// specific readings: text, states, value, action, items, Tab stops, links.
#include "skinui/accessibility/ControlRoles.h"

#include "skinui/control/Button.h"
#include "skinui/control/Container.h"
#include "skinui/control/Label.h"
#include "skinui/control/Progress.h"
#include "skinui/control/Text.h"
#include "skinui/render/RenderEngine.h"

#include <oleacc.h>

namespace SkinUI {

namespace {

const LONG kReadOnly = STATE_SYSTEM_READONLY;

// Looked up in this order: a button, a progress bar and a text are labels too.
const TControlRoleUI kRows[] = {
    // kind, interface, role, graphic without text, always exposed, text,
    // states, pressable, value, default action, children
    {ACCKIND_BUTTON, L"Button", ROLE_SYSTEM_PUSHBUTTON, false, true, ACCTEXT_LABEL, 0, true, ACCVALUE_NONE,
     L"Press", ACCCHILDREN_NONE},
    {ACCKIND_PROGRESS, L"Progress", ROLE_SYSTEM_PROGRESSBAR, false, true, ACCTEXT_NONE, kReadOnly, false,
     ACCVALUE_PERCENT, nullptr, ACCCHILDREN_NONE},
    {ACCKIND_TEXT, L"Text", ROLE_SYSTEM_STATICTEXT, true, false, ACCTEXT_LABEL, kReadOnly, false,
     ACCVALUE_NONE, nullptr, ACCCHILDREN_LINKS},
    {ACCKIND_CONTAINER, L"Container", ROLE_SYSTEM_GROUPING, false, false, ACCTEXT_PLAIN, 0, false,
     ACCVALUE_NONE, nullptr, ACCCHILDREN_ITEMS},
    {ACCKIND_LABEL, L"Label", ROLE_SYSTEM_STATICTEXT, true, false, ACCTEXT_LABEL, kReadOnly, false,
     ACCVALUE_NONE, nullptr, ACCCHILDREN_NONE},
    {ACCKIND_CONTROL, L"Control", ROLE_SYSTEM_STATICTEXT, true, false, ACCTEXT_PLAIN, kReadOnly, false,
     ACCVALUE_NONE, nullptr, ACCCHILDREN_NONE},
};

// The one kind of part: a link of a text.
const TControlRoleUI kLinkRow[] = {
    {ACCKIND_LINK, nullptr, ROLE_SYSTEM_LINK, false, true, ACCTEXT_LINK, STATE_SYSTEM_LINKED, false,
     ACCVALUE_TARGET, L"Jump", ACCCHILDREN_NONE},
};

const int kRowCount = static_cast<int>(sizeof(kRows) / sizeof(kRows[0]));

bool IsNonEmpty(LPCTSTR pstr)
{
    return pstr != nullptr && pstr[0] != L'\0';
}

CUIString Trimmed(const CUIString& sText)
{
    int iStart = 0;
    int iEnd = sText.GetLength();
    while (iStart < iEnd && sText[iStart] <= L' ') ++iStart;
    while (iEnd > iStart && sText[iEnd - 1] <= L' ') --iEnd;
    return sText.Mid(iStart, iEnd - iStart);
}

}  // namespace

// ---- The row ---------------------------------------------------------------------

CControlRoleUI::CControlRoleUI(CControlUI* pControl)
    : m_pControl(pControl), m_pRow(&kRows[kRowCount - 1]), m_pInterface(pControl)
{
    for (const TControlRoleUI& row : kRows) {
        LPVOID pInterface = pControl->GetInterface(row.pstrInterface);
        if (pInterface == nullptr) continue;
        m_pRow = &row;
        m_pInterface = pInterface;
        return;
    }
}

const TControlRoleUI& CControlRoleUI::GetLinkRow()
{
    return kLinkRow[0];
}

// ---- Text, role, states, value, action ------------------------------------------

CUIString CControlRoleUI::GetText() const
{
    if (m_pRow->text == ACCTEXT_NONE) return CUIString();
    const CUIString sText = m_pControl->GetText();
    const CLabelUI* pLabel = Label();
    if (m_pRow->text == ACCTEXT_LABEL && pLabel != nullptr && pLabel->IsShowHtml())
        return CRenderEngine::GetHtmlPlainText(sText);
    return Trimmed(sText);
}

LONG CControlRoleUI::GetRole() const
{
    if (m_pRow->bGraphicWithoutText && GetText().IsEmpty() && IsNonEmpty(m_pControl->GetBkImage()))
        return ROLE_SYSTEM_GRAPHIC;
    return m_pRow->nRole;
}

LONG CControlRoleUI::GetStates() const
{
    LONG nState = GetRole() == ROLE_SYSTEM_GRAPHIC ? 0 : m_pRow->nStates;
    const CButtonUI* pButton = Button();
    if (m_pRow->bPressable && pButton != nullptr) {
        const UINT uState = pButton->GetButtonState();
        if ((uState & STATE_HOT) != 0) nState |= STATE_SYSTEM_HOTTRACKED;
        if ((uState & STATE_PUSHED) != 0) nState |= STATE_SYSTEM_PRESSED;
    }
    return nState;
}

bool CControlRoleUI::IsPushed() const
{
    const CButtonUI* pButton = Button();
    return m_pRow->bPressable && pButton != nullptr && (pButton->GetButtonState() & STATE_PUSHED) != 0;
}

int CControlRoleUI::GetPercent() const
{
    const CProgressUI* pProgress =
        m_pRow->kind == ACCKIND_PROGRESS ? static_cast<CProgressUI*>(m_pInterface) : nullptr;
    if (m_pRow->value != ACCVALUE_PERCENT || pProgress == nullptr) return -1;
    const long long nRange = static_cast<long long>(pProgress->GetMaxValue()) - pProgress->GetMinValue();
    if (nRange <= 0) return 0;
    const long long nPercent =
        (static_cast<long long>(pProgress->GetValue()) - pProgress->GetMinValue()) * 100 / nRange;
    return nPercent < 0 ? 0 : nPercent > 100 ? 100 : static_cast<int>(nPercent);
}

CUIString CControlRoleUI::GetValue() const
{
    CUIString sValue;
    const int nPercent = GetPercent();
    if (nPercent >= 0) sValue.SmallFormat(L"%d%%", nPercent);
    return sValue;
}

bool CControlRoleUI::DoDefaultAction() const
{
    if (m_pRow->pstrDefaultAction == nullptr) return false;
    m_pControl->Activate();
    return true;
}

// ---- Items and Tab stops ----------------------------------------------------------

int CControlRoleUI::GetItemCount() const
{
    const CContainerUI* pContainer = Container();
    return pContainer != nullptr ? pContainer->GetCount() : 0;
}

CControlUI* CControlRoleUI::GetItemAt(int iIndex) const
{
    const CContainerUI* pContainer = Container();
    return pContainer != nullptr ? pContainer->GetItemAt(iIndex) : nullptr;
}

int CControlRoleUI::GetTabStopCount() const
{
    const ITabStopsUI* pStops = static_cast<ITabStopsUI*>(m_pControl->GetInterface(L"TabStops"));
    return pStops != nullptr ? pStops->GetTabStopCount() : 0;
}

int CControlRoleUI::GetFocusedTabStop() const
{
    const ITabStopsUI* pStops = static_cast<ITabStopsUI*>(m_pControl->GetInterface(L"TabStops"));
    return pStops != nullptr ? pStops->GetFocusedTabStop() : -1;
}

// ---- Links ------------------------------------------------------------------------

int CControlRoleUI::GetLinkCount() const
{
    const CTextUI* pText = Text();
    return pText != nullptr ? pText->GetLinkCount() : 0;
}

int CControlRoleUI::GetFocusedLink() const
{
    const CTextUI* pText = Text();
    if (pText == nullptr) return -1;
    const int iLink = pText->GetFocusedTabStop();
    return iLink >= 0 && iLink < pText->GetLinkCount() ? iLink : -1;
}

int CControlRoleUI::GetHoverLink() const
{
    const CTextUI* pText = Text();
    return pText != nullptr ? pText->GetHoverLink() : -1;
}

CUIString CControlRoleUI::GetLinkName(int iLink) const
{
    CUIString sLinks[CTextUI::kMaxLinks];
    if (iLink < 0 || iLink >= CTextUI::kMaxLinks) return CUIString();
    CRenderEngine::GetHtmlPlainText(m_pControl->GetText(), sLinks, CTextUI::kMaxLinks);
    return sLinks[iLink];
}

CUIString CControlRoleUI::GetLinkTarget(int iLink) const
{
    CTextUI* pText = Text();
    const CUIString* psTarget = pText != nullptr ? pText->GetLinkContent(iLink) : nullptr;
    return psTarget != nullptr ? *psTarget : CUIString();
}

RECT CControlRoleUI::GetLinkRect(int iLink) const
{
    const CTextUI* pText = Text();
    return pText != nullptr ? pText->GetLinkRect(iLink) : RECT{0, 0, 0, 0};
}

void CControlRoleUI::ActivateLink(int iLink) const
{
    CTextUI* pText = Text();
    if (pText != nullptr) pText->ActivateLink(iLink);
}

// ---- The row's interface ------------------------------------------------------------

CButtonUI* CControlRoleUI::Button() const
{
    return m_pRow->kind == ACCKIND_BUTTON ? static_cast<CButtonUI*>(m_pInterface) : nullptr;
}

CContainerUI* CControlRoleUI::Container() const
{
    if (m_pRow->kind != ACCKIND_CONTAINER || m_pRow->children != ACCCHILDREN_ITEMS) return nullptr;
    return static_cast<CContainerUI*>(m_pInterface);
}

CTextUI* CControlRoleUI::Text() const
{
    if (m_pRow->kind != ACCKIND_TEXT || m_pRow->children != ACCCHILDREN_LINKS) return nullptr;
    return static_cast<CTextUI*>(m_pInterface);
}

CLabelUI* CControlRoleUI::Label() const
{
    switch (m_pRow->kind) {
    case ACCKIND_BUTTON:
        return static_cast<CButtonUI*>(m_pInterface);
    case ACCKIND_PROGRESS:
        return static_cast<CProgressUI*>(m_pInterface);
    case ACCKIND_TEXT:
        return static_cast<CTextUI*>(m_pInterface);
    case ACCKIND_LABEL:
        return static_cast<CLabelUI*>(m_pInterface);
    default:
        return nullptr;
    }
}

}  // namespace SkinUI
