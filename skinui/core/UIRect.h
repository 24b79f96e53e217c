#pragma once
// CUIRect: a Windows RECT with the few operations layout code needs.

#include <windows.h>

namespace SkinUI {

class CUIRect : public tagRECT
{
public:
    CUIRect();
    CUIRect(const RECT& src);
    CUIRect(int iLeft, int iTop, int iRight, int iBottom);

    int GetWidth() const;
    int GetHeight() const;
    void Empty();
    bool IsNull() const;
    void Join(const RECT& rc);  // bounding box of both, empty ones included
    void ResetOffset();
    void Normalize();
    void Offset(int cx, int cy);
    void Inflate(int cx, int cy);
    void Deflate(int cx, int cy);
    void Union(CUIRect& rc);  // UnionRect: an empty rectangle does not count
};

}  // namespace SkinUI
