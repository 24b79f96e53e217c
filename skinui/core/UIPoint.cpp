#include "skinui/core/UIPoint.h"

namespace SkinUI {

CUIPoint::CUIPoint() : tagPOINT{0, 0} {}

CUIPoint::CUIPoint(const POINT& src) : tagPOINT(src) {}

CUIPoint::CUIPoint(int _x, int _y) : tagPOINT{_x, _y} {}

CUIPoint::CUIPoint(LPARAM lParam) : tagPOINT{(short)LOWORD(lParam), (short)HIWORD(lParam)} {}

}  // namespace SkinUI
