#include "skinui/core/PaintManager.h"

namespace SkinUI {

// Placeholder until the control registry arrives: nothing is held yet.
void CPaintManagerUI::ResetRegistry() {}
void CPaintManagerUI::TermRegistry() {}

} // namespace SkinUI
