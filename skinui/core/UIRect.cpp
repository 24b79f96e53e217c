#include "skinui/core/UIRect.h"

namespace SkinUI {

CUIRect::CUIRect()
{
    left = top = right = bottom = 0;
}

CUIRect::CUIRect(const RECT& src)
{
    left = src.left;
    top = src.top;
    right = src.right;
    bottom = src.bottom;
}

CUIRect::CUIRect(int iLeft, int iTop, int iRight, int iBottom)
{
    left = iLeft;
    top = iTop;
    right = iRight;
    bottom = iBottom;
}

int CUIRect::GetWidth() const
{
    return right - left;
}

int CUIRect::GetHeight() const
{
    return bottom - top;
}

void CUIRect::Empty()
{
    left = top = right = bottom = 0;
}

bool CUIRect::IsNull() const
{
    return left == 0 && right == 0 && top == 0 && bottom == 0;
}

void CUIRect::Join(const RECT& rc)
{
    if (rc.left < left) left = rc.left;
    if (rc.top < top) top = rc.top;
    if (rc.right > right) right = rc.right;
    if (rc.bottom > bottom) bottom = rc.bottom;
}

void CUIRect::ResetOffset()
{
    ::OffsetRect(this, -left, -top);
}

void CUIRect::Normalize()
{
    if (left > right) {
        int iTemp = left;
        left = right;
        right = iTemp;
    }
    if (top > bottom) {
        int iTemp = top;
        top = bottom;
        bottom = iTemp;
    }
}

void CUIRect::Offset(int cx, int cy)
{
    ::OffsetRect(this, cx, cy);
}

void CUIRect::Inflate(int cx, int cy)
{
    ::InflateRect(this, cx, cy);
}

void CUIRect::Deflate(int cx, int cy)
{
    ::InflateRect(this, -cx, -cy);
}

void CUIRect::Union(CUIRect& rc)
{
    RECT rcSrc = *this;
    ::UnionRect(this, &rcSrc, &rc);
}

}  // namespace SkinUI
