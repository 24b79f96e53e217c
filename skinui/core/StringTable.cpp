#include "skinui/core/StringTable.h"

#include <new>

namespace SkinUI {

void AddTableString(CStdStringPtrMap& map, LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName == nullptr || pstrName[0] == L'\0' || pstrValue == nullptr || pstrValue[0] == L'\0') return;
    if (map.Find(pstrName) != nullptr) return;
    CUIString* pValue = new (std::nothrow) CUIString(pstrValue);
    if (pValue != nullptr && !map.Insert(pstrName, pValue)) delete pValue;
}

LPCTSTR FindTableString(const CStdStringPtrMap& map, LPCTSTR pstrName)
{
    if (pstrName == nullptr || pstrName[0] == L'\0') return nullptr;
    const CUIString* pValue = static_cast<const CUIString*>(map.Find(pstrName));
    return pValue != nullptr ? pValue->GetData() : nullptr;
}

bool RemoveTableString(CStdStringPtrMap& map, LPCTSTR pstrName)
{
    if (pstrName == nullptr || pstrName[0] == L'\0') return false;
    CUIString* pValue = static_cast<CUIString*>(map.Find(pstrName));
    if (pValue == nullptr) return false;
    delete pValue;
    return map.Remove(pstrName);
}

void FreeTableStrings(CStdStringPtrMap& map)
{
    for (int i = 0; i < map.GetSize(); ++i) {
        LPCTSTR key = map.GetAt(i);
        if (key != nullptr) delete static_cast<CUIString*>(map.Find(key, false));
    }
    map.RemoveAll();
}

}  // namespace SkinUI
