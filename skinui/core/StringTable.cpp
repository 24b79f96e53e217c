#include "skinui/core/StringTable.h"

#include <new>

namespace SkinUI {

void AddTableString(CStdStringPtrMap& map, LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName == NULL || pstrName[0] == L'\0' || pstrValue == NULL || pstrValue[0] == L'\0') return;
    if (map.Find(pstrName) != NULL) return;
    CUIString* pValue = new (std::nothrow) CUIString(pstrValue);
    if (pValue != NULL && !map.Insert(pstrName, pValue)) delete pValue;
}

LPCTSTR FindTableString(const CStdStringPtrMap& map, LPCTSTR pstrName)
{
    if (pstrName == NULL || pstrName[0] == L'\0') return NULL;
    const CUIString* pValue = static_cast<const CUIString*>(map.Find(pstrName));
    return pValue != NULL ? pValue->GetData() : NULL;
}

bool RemoveTableString(CStdStringPtrMap& map, LPCTSTR pstrName)
{
    if (pstrName == NULL || pstrName[0] == L'\0') return false;
    CUIString* pValue = static_cast<CUIString*>(map.Find(pstrName));
    if (pValue == NULL) return false;
    delete pValue;
    return map.Remove(pstrName);
}

void FreeTableStrings(CStdStringPtrMap& map)
{
    for (int i = 0; i < map.GetSize(); ++i) {
        LPCTSTR key = map.GetAt(i);
        if (key != NULL) delete static_cast<CUIString*>(map.Find(key, false));
    }
    map.RemoveAll();
}

} // namespace SkinUI
