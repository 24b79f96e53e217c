#pragma once
// CVerticalLayoutUI stacks its non-float children from top to bottom:
// children with a fixed height get it, the others share the rest equally and
// the last of them takes the rounding remainder. An optional separator strip
// ("sepheight") along the bottom (positive size) or top (negative size) edge
// lets the user resize the layout with the mouse. The algorithm is
// CBoxLayoutUI's, on the vertical axis.

#include "skinui/control/BoxLayout.h"

namespace SkinUI {

class CVerticalLayoutUI : public CBoxLayoutUI
{
public:
    CVerticalLayoutUI();

    void SetSepHeight(int iHeight);
    int GetSepHeight() const;

    static CControlUI* CreateControl();
};

}  // namespace SkinUI
