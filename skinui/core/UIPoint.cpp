#include "skinui/core/UIPoint.h"

namespace SkinUI {

CUIPoint::CUIPoint()
{
    x = y = 0;
}

CUIPoint::CUIPoint(const POINT& src)
{
    x = src.x;
    y = src.y;
}

CUIPoint::CUIPoint(int _x, int _y)
{
    x = _x;
    y = _y;
}

CUIPoint::CUIPoint(LPARAM lParam)
{
    x = (short)LOWORD(lParam);
    y = (short)HIWORD(lParam);
}

}  // namespace SkinUI
