#include "skinui/markup/ControlFactory.h"

#include "skinui/control/Control.h"
#include "skinui/control/Label.h"

#include <gtest/gtest.h>

#include <memory>

using SkinUI::CControlFactory;
using SkinUI::CControlUI;

namespace {

struct ClassRow
{
    const wchar_t* className;
    const wchar_t* builtClass;  // GetClass() of the made control; null: not in this build
};

// Every class name the engine's markup knows. Each class this build has
// makes its control; the further controls have no class here and make
// nothing.
const ClassRow kClasses[] = {
    {L"CControlUI", L"ControlUI"},
    {L"CContainerUI", L"ContainerUI"},
    {L"CButtonUI", L"ButtonUI"},
    {L"CComboUI", nullptr},
    {L"CComboBoxUI", nullptr},
    {L"CDateTimeUI", nullptr},
    {L"CEditUI", nullptr},
    {L"CActiveXUI", nullptr},
    {L"CFlashUI", nullptr},
    {L"CGifAnimUI", nullptr},
    {L"CGroupBoxUI", nullptr},
    {L"CIPAddressUI", nullptr},
    {L"CIPAddressExUI", nullptr},
    {L"CLabelUI", L"LabelUI"},
    {L"CListUI", nullptr},
    {L"CListHeaderUI", nullptr},
    {L"CListHeaderItemUI", nullptr},
    {L"CListLabelElementUI", nullptr},
    {L"CListTextElementUI", nullptr},
    {L"CListContainerElementUI", nullptr},
    {L"CMenuUI", nullptr},
    {L"CMenuElementUI", nullptr},
    {L"COptionUI", nullptr},
    {L"CCheckBoxUI", nullptr},
    {L"CProgressUI", L"ProgressUI"},
    {L"CRichEditUI", nullptr},
    {L"CScrollBarUI", L"ScrollBarUI"},
    {L"CSliderUI", nullptr},
    {L"CTextUI", L"TextUI"},
    {L"CTreeNodeUI", nullptr},
    {L"CTreeViewUI", nullptr},
    {L"CWebBrowserUI", nullptr},
    {L"CAnimationTabLayoutUI", nullptr},
    {L"CChildLayoutUI", nullptr},
    {L"CHorizontalLayoutUI", L"HorizontalLayoutUI"},
    {L"CTabLayoutUI", nullptr},
    {L"CTileLayoutUI", nullptr},
    {L"CVerticalLayoutUI", L"VerticalLayoutUI"},
    {L"CRollTextUI", nullptr},
    {L"CColorPaletteUI", nullptr},
    {L"CListExUI", nullptr},
    {L"CListContainerHeaderItemUI", nullptr},
    {L"CListTextExtElementUI", nullptr},
    {L"CHotKeyUI", nullptr},
    {L"CFadeButtonUI", nullptr},
    {L"CRingUI", nullptr},
};

TEST(ControlFactoryTest, EveryKnownClassNameMakesItsClassOrNothing)
{
    CControlFactory* factory = CControlFactory::GetInstance();
    for (const ClassRow& row : kClasses) {
        SCOPED_TRACE(::testing::Message() << "class " << row.className);
        std::unique_ptr<CControlUI> control(factory->CreateControl(row.className));
        if (row.builtClass == nullptr) {
            EXPECT_EQ(nullptr, control.get());
            continue;
        }
        ASSERT_NE(nullptr, control.get());
        EXPECT_STREQ(row.builtClass, control->GetClass());
        // A fresh object every time, not a shared one.
        std::unique_ptr<CControlUI> second(factory->CreateControl(row.className));
        EXPECT_NE(control.get(), second.get());
    }
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
