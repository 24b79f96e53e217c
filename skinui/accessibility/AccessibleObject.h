#pragma once
// CAccessibleObjectUI: the IAccessible of one exposed control, or of the window's
// client object. It holds only its control and the tree that made it and
// asks the tree for everything; the tree cuts both when the control dies or
// the window goes, and from then on every call answers E_FAIL without
// touching either. Its memory belongs to its reference count.
//
// Child ids, as a client passes them: CHILDID_SELF the object itself,
// 1..n its visible children in order, -id any descendant by its unique id.
// IDispatch's own methods are not offered (E_NOTIMPL), as clients do not
// need them.

#include "skinui/accessibility/AccessibilityTree.h"

#include <oleacc.h>
#include <windows.h>

namespace SkinUI {

class CAccessibleObjectUI final : public IAccessible
{
public:
    // With one reference, the caller's; pControl null for the client object.
    CAccessibleObjectUI(CAccessibilityTreeUI* pTree, CControlUI* pControl);
    CAccessibleObjectUI(const CAccessibleObjectUI&) = delete;
    CAccessibleObjectUI& operator=(const CAccessibleObjectUI&) = delete;

    // Cut from the tree and its control for good.
    void Detach();

    // ---- IUnknown ------------------------------------------------------
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ---- IDispatch -----------------------------------------------------
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                            DISPID* rgDispId) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                     UINT* puArgErr) override;

    // ---- IAccessible ---------------------------------------------------
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* pcountChildren) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT varChild, BSTR* pszName) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varChild, BSTR* pszValue) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varChild, BSTR* pszDescription) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT varChild, VARIANT* pvarState) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varChild, BSTR* pszHelp) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarChild) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarChildren) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flagsSelect, VARIANT varChild) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                          VARIANT varChild) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varChild) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT varChild, BSTR szName) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varChild, BSTR szValue) override;

private:
    ~CAccessibleObjectUI() {}

    TAccessibleTarget Self() const { return TAccessibleTarget{m_pControl, -1}; }
    // The object a child id names: E_FAIL once detached or when this
    // object's control left the tree, E_INVALIDARG for an id that names
    // nothing here.
    HRESULT Resolve(const VARIANT& varChild, TAccessibleTarget& target) const;
    // A string answer: S_FALSE and null for an empty one.
    HRESULT StringResult(const VARIANT& varChild,
                         CUIString (CAccessibilityTreeUI::*get)(const TAccessibleTarget&) const,
                         BSTR* pszResult) const;
    // A number answer (role, state) as VT_I4.
    HRESULT NumberResult(const VARIANT& varChild,
                         LONG (CAccessibilityTreeUI::*get)(const TAccessibleTarget&) const,
                         VARIANT* pvarResult) const;
    // The target as this object names it: CHILDID_SELF, a child index for
    // its own links, an IDispatch for a control, -id for a deeper link.
    void ToVariant(const TAccessibleTarget& target, VARIANT* pvar) const;

    LONG m_lRefCount = 1;
    CAccessibilityTreeUI* m_pTree;
    CControlUI* m_pControl;
};

}  // namespace SkinUI
