#pragma once
// CUIPoint: a Windows POINT.

#include <windows.h>

namespace SkinUI {

class CUIPoint : public tagPOINT
{
public:
    CUIPoint();
    CUIPoint(const POINT& src);
    CUIPoint(int x, int y);
    // A mouse message's lParam: x in the low word, y in the high word, both signed.
    CUIPoint(LPARAM lParam);
};

}  // namespace SkinUI
