#include "skinui/control/VerticalLayout.h"

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CBoxLayoutUI(true) {}

CControlUI* CVerticalLayoutUI::CreateControl()
{
    return new CVerticalLayoutUI;
}

void CVerticalLayoutUI::SetSepHeight(int iHeight)
{
    SetSepSize(iHeight);
}

int CVerticalLayoutUI::GetSepHeight() const
{
    return GetSepSize();
}

}  // namespace SkinUI
