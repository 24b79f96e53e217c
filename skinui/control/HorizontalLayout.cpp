#include "skinui/control/HorizontalLayout.h"

#include <wchar.h>

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CBoxLayoutUI(false) {}

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
    return CBoxLayoutUI::GetInterface(pstrName);
}

void CHorizontalLayoutUI::SetSepWidth(int iWidth)
{
    SetSepSize(iWidth);
}

int CHorizontalLayoutUI::GetSepWidth() const
{
    return GetSepSize();
}

} // namespace SkinUI
