#include "skinui/core/PaintManager.h"

namespace SkinUI {

// Placeholder until the resource tables arrive: nothing is held yet.
void CPaintManagerUI::InitResources() {}
void CPaintManagerUI::ResetWindowResources() {}
void CPaintManagerUI::TermResources() {}

} // namespace SkinUI
