#include "skinui/core/UISize.h"

namespace SkinUI {

CUISize::CUISize()
{
    cx = cy = 0;
}

CUISize::CUISize(const SIZE& src)
{
    cx = src.cx;
    cy = src.cy;
}

CUISize::CUISize(const RECT rc)
{
    cx = rc.right - rc.left;
    cy = rc.bottom - rc.top;
}

CUISize::CUISize(int _cx, int _cy)
{
    cx = _cx;
    cy = _cy;
}

}  // namespace SkinUI
