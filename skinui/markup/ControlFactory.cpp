#include "skinui/markup/ControlFactory.h"

#include "skinui/control/Button.h"
#include "skinui/control/Container.h"
#include "skinui/control/Control.h"
#include "skinui/control/HorizontalLayout.h"
#include "skinui/control/Label.h"
#include "skinui/control/Progress.h"
#include "skinui/control/ScrollBar.h"
#include "skinui/control/Text.h"
#include "skinui/control/VerticalLayout.h"

namespace SkinUI {

// Every control class this build contains is registered. The engine's markup
// also names list, combo, edit, tree, menu, slider, option, tab and host
// controls; this build has no such classes, so their names stay unregistered
// and those elements build nothing.
CControlFactory::CControlFactory()
{
    RegistControl(L"CControlUI", &CControlUI::CreateControl);
    RegistControl(L"CContainerUI", &CContainerUI::CreateControl);
    RegistControl(L"CButtonUI", &CButtonUI::CreateControl);
    RegistControl(L"CLabelUI", &CLabelUI::CreateControl);
    RegistControl(L"CProgressUI", &CProgressUI::CreateControl);
    RegistControl(L"CScrollBarUI", &CScrollBarUI::CreateControl);
    RegistControl(L"CTextUI", &CTextUI::CreateControl);
    RegistControl(L"CHorizontalLayoutUI", &CHorizontalLayoutUI::CreateControl);
    RegistControl(L"CVerticalLayoutUI", &CVerticalLayoutUI::CreateControl);
}

CControlFactory::~CControlFactory() {}

CControlFactory* CControlFactory::GetInstance()
{
    static CControlFactory* s_pInstance = new CControlFactory();
    return s_pInstance;
}

CControlUI* CControlFactory::CreateControl(CUIString strClassName)
{
    std::map<CUIString, CreateClass>::const_iterator it = m_mapControl.find(strClassName);
    if (it == m_mapControl.end()) return nullptr;
    return it->second();
}

void CControlFactory::RegistControl(CUIString strClassName, CreateClass pFunc)
{
    if (pFunc == nullptr) return;
    m_mapControl.insert(std::make_pair(strClassName, pFunc));
}

void CControlFactory::Release()
{
    delete this;
}

}  // namespace SkinUI
