#pragma once
// CDialogBuilder: turns a skin document into a window's control tree. It
// loads the markup (skin file or package entry, XML text, or module
// resource), hands the document's window settings and shared resources
// (images, fonts, default attribute lists, styles) to the paint manager,
// then makes one control per element, attaches it to its parent and applies
// the default and the element's own attributes.
//
// Controls are made by the control factory ("C" + element name + "UI"), then
// by the paint manager's plug-in creators, then by the callback, each asked
// with the element name; an element none of them knows is skipped with
// everything inside it.

#include "skinui/core/STRINGorID.h"
#include "skinui/core/UIString.h"
#include "skinui/markup/Markup.h"

#include <windows.h>

namespace SkinUI {

class CControlUI;
class CPaintManagerUI;

// Lets a window make controls of its own classes. pstrClass is the element
// name as written ("Button", not "CButtonUI"); null means "not mine".
class IDialogBuilderCallback
{
public:
    virtual CControlUI* CreateControl(LPCTSTR pstrClass) = 0;

protected:
    ~IDialogBuilderCallback() {}
};

class CDialogBuilder
{
public:
    CDialogBuilder();
    CDialogBuilder(const CDialogBuilder&) = delete;
    CDialogBuilder& operator=(const CDialogBuilder&) = delete;
    ~CDialogBuilder();

    // The module searched for resource documents; null means the paint
    // manager's resource module.
    void SetInstance(HINSTANCE instance) { m_instance = instance; }

    // Loads the document, then builds it as the overload below. xml is a
    // resource id (found under type), an XML text starting with '<', or a
    // file name in the skin folder or package. Returns the first control
    // built at the document's top level; null when the load fails or
    // nothing could be built.
    CControlUI* Create(STRINGorID xml, LPCTSTR type = nullptr, IDialogBuilderCallback* pCallback = nullptr,
                       CPaintManagerUI* pManager = nullptr, CControlUI* pParent = nullptr);
    // Builds the document already loaded. Without a manager no window
    // settings, shared resources or default attributes are applied.
    CControlUI* Create(IDialogBuilderCallback* pCallback = nullptr, CPaintManagerUI* pManager = nullptr,
                       CControlUI* pParent = nullptr);

    CMarkup* GetMarkup() { return &m_xml; }
    // The parser's message and location, or the builder's own when the
    // document parsed but built a tree too deep (the location is then the
    // element that would have passed the bound).
    void GetLastErrorMessage(LPTSTR pstrMessage, DWORD cchMax) const;
    void GetLastErrorLocation(LPTSTR pstrSource, DWORD cchMax) const;

    // Included documents nest at most this deep, and one top-level build
    // makes at most kMaxIncludeBuilds included builds in all, so that a
    // document including itself, or repeating nested includes, ends.
    enum
    {
        kMaxIncludeDepth = 16,
        kMaxIncludeBuilds = 4096
    };
    // A built tree, the caller's parent and included documents counted, is
    // at most this many controls deep: every walk of the tree (layout,
    // painting, searches, destruction) recurses once per level, and this
    // depth keeps them well inside a 1 MiB stack. A deeper document builds
    // nothing; the error message is then "Controls nested too deeply".
    enum
    {
        kMaxTreeDepth = 256
    };

private:
    // What every builder of one top-level build shares: the included builds
    // made so far, and where the tree first grew past kMaxTreeDepth.
    struct TBuildState
    {
        int nIncludeBuilds = 0;
        bool bTooDeep = false;
        CUIString sTooDeepAt;
    };

    void ApplyResources(CMarkupNode& root, CPaintManagerUI* pManager);
    void ApplyWindowAttributes(CMarkupNode& root, CPaintManagerUI* pManager);
    // nDepth is the depth of pParent in the finished tree (0 for none).
    CControlUI* _Parse(CMarkupNode* pRoot, CControlUI* pParent, CPaintManagerUI* pManager, int nDepth);
    void BuildInclude(CMarkupNode& node, CControlUI* pParent, CPaintManagerUI* pManager, int nDepth);
    CControlUI* MakeControl(LPCTSTR pstrClass);

    CMarkup m_xml;
    IDialogBuilderCallback* m_pCallback = nullptr;
    // Null unless the document came from a resource; a type given by name
    // is kept in m_sType and m_pstrType points at it.
    LPCTSTR m_pstrType = nullptr;
    CUIString m_sType;
    HINSTANCE m_instance = nullptr;
    // Include bookkeeping: this builder's nesting level, the depth of the
    // parent an included document is built into, and the state shared with
    // the top-level builder (its own for a top-level build).
    int m_nIncludeDepth = 0;
    int m_nIncludeParentDepth = 0;
    TBuildState m_ownState;
    TBuildState* m_pState = &m_ownState;
};

}  // namespace SkinUI
