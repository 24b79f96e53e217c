#pragma once
// CHorizontalLayoutUI stacks its non-float children from left to right:
// children with a fixed width get it, the others share the rest equally and
// the last of them takes the rounding remainder. An optional separator strip
// ("sepwidth") along the right (positive size) or left (negative size) edge
// lets the user resize the layout with the mouse. The algorithm is
// CBoxLayoutUI's, on the horizontal axis.

#include "skinui/control/BoxLayout.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CBoxLayoutUI
{
public:
    CHorizontalLayoutUI();

    void SetSepWidth(int iWidth);
    int GetSepWidth() const;

    static CControlUI* CreateControl();
};

}  // namespace SkinUI
