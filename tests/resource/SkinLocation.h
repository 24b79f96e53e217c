#pragma once
// Puts the process-wide skin location back to loose files with no resource
// folder and the keep-open flag at its initial value, closing any kept-open
// package, so that each test starts from the same place.

#include "skinui/core/PaintManager.h"

#include <string>

namespace ResourceTests {

inline void ResetSkinLocation()
{
    SkinUI::CPaintManagerUI::SetResourceZip(L"", false);
    SkinUI::CPaintManagerUI::SetResourceZip(L"", true);
    SkinUI::CPaintManagerUI::SetResourcePath(L"");
}

// Makes `bytes` the kept-open memory package; the string must outlive its use.
inline void UseMemoryPackage(const std::string& bytes)
{
    ResetSkinLocation();
    SkinUI::CPaintManagerUI::SetResourceZip((LPVOID)bytes.data(), (unsigned int)bytes.size());
}

}  // namespace ResourceTests
