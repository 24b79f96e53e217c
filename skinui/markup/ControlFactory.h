#pragma once
// CControlFactory: the process-wide table from control class name to the
// function that makes a new control of that class. The dialog builder asks it
// first for every markup element ("C" + element name + "UI").
//
// Names are matched exactly (ordinal, case-sensitive): "CButtonUI" finds the
// button, "CbuttonUI" and "Button" find nothing. The first registration of a
// name stays; later ones under the same name are ignored.

#include "skinui/core/UIString.h"

#include <map>

namespace SkinUI {

class CControlUI;

// Makes a new, default-constructed control; the caller owns it.
typedef CControlUI* (*CreateClass)();

class CControlFactory
{
public:
    // Made on first use, with the engine's built-in classes registered.
    static CControlFactory* GetInstance();

    // A new control of the named class, or null when the name is unknown.
    CControlUI* CreateControl(CUIString strClassName);
    void RegistControl(CUIString strClassName, CreateClass pFunc);
    // Destroys the factory; only for the very end of the process, after
    // which GetInstance must not be called again.
    void Release();

    CControlFactory(const CControlFactory&) = delete;
    CControlFactory& operator=(const CControlFactory&) = delete;

protected:
    virtual ~CControlFactory();

private:
    CControlFactory();

    std::map<CUIString, CreateClass> m_mapControl;
};

}  // namespace SkinUI
