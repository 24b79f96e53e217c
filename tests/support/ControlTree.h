#pragma once
// Control trees built by hand in tests: a child made, given its attributes
// and added to its parent in one call, in the order a document lists them.

#include "skinui/control/Container.h"

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

}  // namespace TestSupport
