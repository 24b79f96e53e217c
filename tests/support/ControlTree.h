#pragma once
// Control trees built by hand in tests: a child made, given its attributes
// and added to its parent in one call, in the order a document lists them.

#include "skinui/control/Container.h"

#include <wchar.h>

#include <string>

namespace TestSupport {

// A new T added as the last child of pParent, with the attribute list (when
// given) applied before it is added.
template <class T>
T* AddChild(SkinUI::CContainerUI* pParent, LPCTSTR pstrAttributes = nullptr)
{
    T* pChild = new T;
    if (pstrAttributes != nullptr) pChild->ApplyAttributeList(pstrAttributes);
    pParent->Add(pChild);
    return pChild;
}

// A new T added to pParent as a float child at (x, y) within it, cx by cy
// pixels, with the further attributes (when given) applied after those.
template <class T>
T* AddFloat(SkinUI::CContainerUI* pParent, int x, int y, int cx, int cy, LPCTSTR pstrMore = nullptr)
{
    wchar_t attributes[96];
    swprintf(attributes, 96, L"float=\"true\" pos=\"%d,%d,0,0\" width=\"%d\" height=\"%d\"", x, y, cx, cy);
    T* pChild = AddChild<T>(pParent, attributes);
    if (pstrMore != nullptr) pChild->ApplyAttributeList(pstrMore);
    return pChild;
}

inline RECT R(int l, int t, int r, int b)
{
    RECT rc = {l, t, r, b};
    return rc;
}

// "left,top,right,bottom", for comparisons that print the whole rectangle.
inline std::wstring Rect(const RECT& rc)
{
    return std::to_wstring(rc.left) + L"," + std::to_wstring(rc.top) + L"," + std::to_wstring(rc.right) +
        L"," + std::to_wstring(rc.bottom);
}

}  // namespace TestSupport
