#pragma once
// String tables: a CStdStringPtrMap whose values are CUIString objects the
// table owns, as the custom attributes of controls and windows and the
// resource manager's path and text tables keep them.

#include "skinui/core/StdStringPtrMap.h"

namespace SkinUI {

// Stores a copy of pstrValue under pstrName unless the name is there already
// (the first value wins). Null or empty names and values are ignored.
void AddTableString(CStdStringPtrMap& map, LPCTSTR pstrName, LPCTSTR pstrValue);
// The value stored under the name, or null (also for a null or empty name).
LPCTSTR FindTableString(const CStdStringPtrMap& map, LPCTSTR pstrName);
// False when nothing is stored under the name.
bool RemoveTableString(CStdStringPtrMap& map, LPCTSTR pstrName);
// Deletes every value and empties the table.
void FreeTableStrings(CStdStringPtrMap& map);

}  // namespace SkinUI
