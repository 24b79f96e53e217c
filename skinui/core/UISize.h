#pragma once
// CUISize: a Windows SIZE.

#include <windows.h>

namespace SkinUI {

class CUISize : public tagSIZE
{
public:
    CUISize();
    CUISize(const SIZE& src);
    CUISize(const RECT rc);  // the rectangle's width and height
    CUISize(int cx, int cy);
};

}  // namespace SkinUI
