#include "skinui/markup/ControlFactory.h"

#include "skinui/control/Control.h"
#include "skinui/control/Label.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

using SkinUI::CControlFactory;
using SkinUI::CControlUI;

namespace {

// Every class name the engine's markup knows. Each class this build has
// makes its control, whose GetClass() is the name without its leading C; the
// further controls have no class here and make nothing.
const wchar_t kBuilt[] = L"CControlUI CContainerUI CButtonUI CLabelUI CProgressUI CScrollBarUI CTextUI "
                         L"CHorizontalLayoutUI CVerticalLayoutUI";
// The further names, separated by spaces (37 of them).
const wchar_t kNotBuilt[] =
    L"CComboUI CComboBoxUI CDateTimeUI CEditUI CActiveXUI CFlashUI CGifAnimUI CGroupBoxUI "
    L"CIPAddressUI CIPAddressExUI CListUI CListHeaderUI CListHeaderItemUI CListLabelElementUI "
    L"CListTextElementUI CListContainerElementUI CMenuUI CMenuElementUI COptionUI CCheckBoxUI "
    L"CRichEditUI CSliderUI CTreeNodeUI CTreeViewUI CWebBrowserUI CAnimationTabLayoutUI "
    L"CChildLayoutUI CTabLayoutUI CTileLayoutUI CRollTextUI CColorPaletteUI CListExUI "
    L"CListContainerHeaderItemUI CListTextExtElementUI CHotKeyUI CFadeButtonUI CRingUI";

TEST(ControlFactoryTest, EveryKnownClassNameMakesItsClassOrNothing)
{
    CControlFactory* factory = CControlFactory::GetInstance();
    std::wistringstream built(kBuilt);
    int count = 0;
    for (std::wstring className; built >> className; ++count) {
        SCOPED_TRACE(::testing::Message() << "class " << className.c_str());
        std::unique_ptr<CControlUI> control(factory->CreateControl(className.c_str()));
        ASSERT_NE(nullptr, control.get());
        EXPECT_EQ(className.substr(1), control->GetClass());
        // A fresh object every time, not a shared one.
        std::unique_ptr<CControlUI> second(factory->CreateControl(className.c_str()));
        EXPECT_NE(control.get(), second.get());
    }
    EXPECT_EQ(9, count);
    std::wistringstream notBuilt(kNotBuilt);
    count = 0;
    for (std::wstring className; notBuilt >> className; ++count) {
        SCOPED_TRACE(::testing::Message() << "class " << className.c_str());
        EXPECT_EQ(nullptr, factory->CreateControl(className.c_str()));
    }
    EXPECT_EQ(37, count);
}

TEST(ControlFactoryTest, LookupIsExactAndCaseSensitive)
{
    const wchar_t* const kUnknown[] = {
        L"CbuttonUI",          L"Button",    L"CBUTTONUI", L"CButtonUI ", L" CButtonUI", L"CButton",
        L"ButtonUI",           L"",          L"C",         L"UI",         L"CUI",        L"CLableUI",
        L"CVerticalLayoutUIX", L"CControlU",
    };
    for (const wchar_t* name : kUnknown) {
        SCOPED_TRACE(::testing::Message() << "name '" << name << "'");
        EXPECT_EQ(nullptr, CControlFactory::GetInstance()->CreateControl(name));
    }
}

TEST(ControlFactoryTest, IsOneProcessWideObject)
{
    EXPECT_EQ(CControlFactory::GetInstance(), CControlFactory::GetInstance());
}

// A control class of a window's own, registered at run time.
class CFactoryProbeUI : public CControlUI
{
public:
    LPCTSTR GetClass() const override { return L"FactoryProbeUI"; }
    static CControlUI* CreateControl() { return new CFactoryProbeUI; }
};

CControlUI* CreateNothing()
{
    return nullptr;
}

TEST(ControlFactoryTest, FirstRegistrationOfANameStays)
{
    CControlFactory* factory = CControlFactory::GetInstance();
    factory->RegistControl(L"CLabelUI", &CFactoryProbeUI::CreateControl);
    std::unique_ptr<CControlUI> label(factory->CreateControl(L"CLabelUI"));
    ASSERT_NE(nullptr, label.get());
    EXPECT_STREQ(L"LabelUI", label->GetClass());

    factory->RegistControl(L"CFactoryProbeUI", &CFactoryProbeUI::CreateControl);
    factory->RegistControl(L"CFactoryProbeUI", &CreateNothing);
    std::unique_ptr<CControlUI> probe(factory->CreateControl(L"CFactoryProbeUI"));
    ASSERT_NE(nullptr, probe.get());
    EXPECT_STREQ(L"FactoryProbeUI", probe->GetClass());
    EXPECT_EQ(nullptr, factory->CreateControl(L"CfactoryProbeUI"));

    // A null creator is no registration: the name stays free.
    factory->RegistControl(L"CNullCreatorUI", nullptr);
    EXPECT_EQ(nullptr, factory->CreateControl(L"CNullCreatorUI"));
    factory->RegistControl(L"CNullCreatorUI", &CFactoryProbeUI::CreateControl);
    std::unique_ptr<CControlUI> late(factory->CreateControl(L"CNullCreatorUI"));
    EXPECT_NE(nullptr, late.get());
}

}  // namespace
