#include "skinui/control/HorizontalLayout.h"

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CBoxLayoutUI(false) {}

CControlUI* CHorizontalLayoutUI::CreateControl()
{
    return new CHorizontalLayoutUI;
}

void CHorizontalLayoutUI::SetSepWidth(int iWidth)
{
    SetSepSize(iWidth);
}

int CHorizontalLayoutUI::GetSepWidth() const
{
    return GetSepSize();
}

}  // namespace SkinUI
