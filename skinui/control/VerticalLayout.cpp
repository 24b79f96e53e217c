#include "skinui/control/VerticalLayout.h"

#include <wchar.h>

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CBoxLayoutUI(true) {}

CControlUI* CVerticalLayoutUI::CreateControl()
{
    return new CVerticalLayoutUI;
}

LPCTSTR CVerticalLayoutUI::GetClass() const
{
    return L"VerticalLayoutUI";
}

LPVOID CVerticalLayoutUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != NULL && _wcsicmp(pstrName, L"VerticalLayout") == 0) return this;
    return CBoxLayoutUI::GetInterface(pstrName);
}

void CVerticalLayoutUI::SetSepHeight(int iHeight)
{
    SetSepSize(iHeight);
}

int CVerticalLayoutUI::GetSepHeight() const
{
    return GetSepSize();
}

} // namespace SkinUI
