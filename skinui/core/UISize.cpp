#include "skinui/core/UISize.h"

namespace SkinUI {

CUISize::CUISize() : tagSIZE{0, 0} {}

CUISize::CUISize(const SIZE& src) : tagSIZE(src) {}

CUISize::CUISize(const RECT rc) : tagSIZE{rc.right - rc.left, rc.bottom - rc.top} {}

CUISize::CUISize(int _cx, int _cy) : tagSIZE{_cx, _cy} {}

}  // namespace SkinUI
