#include "skinui/accessibility/AccessibleObject.h"

#include "skinui/control/Control.h"

#include <limits.h>

// Sections: IUnknown and IDispatch; child ids; properties; navigation, hit
// test, focus and actions.

namespace SkinUI {

CAccessibleObjectUI::CAccessibleObjectUI(CAccessibilityTreeUI* pTree, CControlUI* pControl)
    : m_pTree(pTree), m_pControl(pControl)
{}

void CAccessibleObjectUI::Detach()
{
    m_pTree = nullptr;
    m_pControl = nullptr;
}

// ---- IUnknown and IDispatch ------------------------------------------------

HRESULT CAccessibleObjectUI::QueryInterface(REFIID riid, void** ppvObject)
{
    if (ppvObject == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IAccessible)) {
        *ppvObject = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG CAccessibleObjectUI::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_lRefCount));
}

ULONG CAccessibleObjectUI::Release()
{
    const LONG lCount = ::InterlockedDecrement(&m_lRefCount);
    if (lCount == 0) delete this;
    return static_cast<ULONG>(lCount);
}

HRESULT CAccessibleObjectUI::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == nullptr) return E_INVALIDARG;
    *pctinfo = 0;
    return S_OK;
}

HRESULT CAccessibleObjectUI::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo != nullptr) *ppTInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT CAccessibleObjectUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT CAccessibleObjectUI::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

// ---- Child ids ---------------------------------------------------------------

HRESULT CAccessibleObjectUI::Resolve(const VARIANT& varChild, TAccessibleTarget& target) const
{
    if (m_pTree == nullptr || !m_pTree->IsValid(Self())) return E_FAIL;
    if (varChild.vt != VT_I4) return E_INVALIDARG;
    const LONG nChild = varChild.lVal;
    if (nChild == CHILDID_SELF) {
        target = Self();
        return S_OK;
    }
    if (nChild > 0) {
        std::vector<TAccessibleTarget> children;
        m_pTree->GetChildren(Self(), children);
        if (static_cast<size_t>(nChild) > children.size()) return E_INVALIDARG;
        target = children[static_cast<size_t>(nChild) - 1];
        return S_OK;
    }
    if (nChild == LONG_MIN || !m_pTree->FindById(-nChild, target)) return E_INVALIDARG;
    return m_pTree->IsDescendant(target, Self()) ? S_OK : E_INVALIDARG;
}

void CAccessibleObjectUI::ToVariant(const TAccessibleTarget& target, VARIANT* pvar) const
{
    ::VariantInit(pvar);
    if (target == Self()) {
        pvar->vt = VT_I4;
        pvar->lVal = CHILDID_SELF;
        return;
    }
    if (target.iLink < 0) {
        CAccessibleObjectUI* pAccessible = m_pTree->GetAccessible(target.pControl);
        if (pAccessible == nullptr) return;
        pvar->vt = VT_DISPATCH;
        pvar->pdispVal = pAccessible;
        return;
    }
    pvar->vt = VT_I4;
    pvar->lVal = target.pControl == m_pControl ? target.iLink + 1 : -m_pTree->GetId(target);
}

// ---- Properties --------------------------------------------------------------

HRESULT CAccessibleObjectUI::StringResult(const VARIANT& varChild,
                                          CUIString (CAccessibilityTreeUI::*get)(const TAccessibleTarget&)
                                              const,
                                          BSTR* pszResult) const
{
    if (pszResult == nullptr) return E_INVALIDARG;
    *pszResult = nullptr;
    TAccessibleTarget target = {};
    HRESULT hr = Resolve(varChild, target);
    if (FAILED(hr)) return hr;
    const CUIString sResult = (m_pTree->*get)(target);
    if (sResult.IsEmpty()) return S_FALSE;
    *pszResult = ::SysAllocString(sResult.GetData());
    return *pszResult != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT CAccessibleObjectUI::NumberResult(const VARIANT& varChild,
                                          LONG (CAccessibilityTreeUI::*get)(const TAccessibleTarget&) const,
                                          VARIANT* pvarResult) const
{
    if (pvarResult == nullptr) return E_INVALIDARG;
    ::VariantInit(pvarResult);
    TAccessibleTarget target = {};
    HRESULT hr = Resolve(varChild, target);
    if (FAILED(hr)) return hr;
    pvarResult->vt = VT_I4;
    pvarResult->lVal = (m_pTree->*get)(target);
    return S_OK;
}

HRESULT CAccessibleObjectUI::get_accParent(IDispatch** ppdispParent)
{
    if (ppdispParent == nullptr) return E_INVALIDARG;
    *ppdispParent = nullptr;
    VARIANT self = {};
    self.vt = VT_I4;
    TAccessibleTarget target = {};
    HRESULT hr = Resolve(self, target);
    if (FAILED(hr)) return hr;
    // The client object's parent is the window object the system makes.
    if (m_pControl == nullptr)
        return ::AccessibleObjectFromWindow(m_pTree->GetWindow(), static_cast<DWORD>(OBJID_WINDOW),
                                            IID_IDispatch, reinterpret_cast<void**>(ppdispParent));
    *ppdispParent = m_pTree->GetAccessible(m_pTree->GetParent(target).pControl);
    return *ppdispParent != nullptr ? S_OK : E_FAIL;
}

HRESULT CAccessibleObjectUI::get_accChildCount(long* pcountChildren)
{
    if (pcountChildren == nullptr) return E_INVALIDARG;
    *pcountChildren = 0;
    if (m_pTree == nullptr || !m_pTree->IsValid(Self())) return E_FAIL;
    std::vector<TAccessibleTarget> children;
    m_pTree->GetChildren(Self(), children);
    *pcountChildren = static_cast<long>(children.size());
    return S_OK;
}

HRESULT CAccessibleObjectUI::get_accChild(VARIANT varChild, IDispatch** ppdispChild)
{
    if (ppdispChild == nullptr) return E_INVALIDARG;
    *ppdispChild = nullptr;
    TAccessibleTarget target = {};
    HRESULT hr = Resolve(varChild, target);
    if (FAILED(hr)) return hr;
    if (target == Self()) return E_INVALIDARG;
    // A link is a simple element: the client asks its parent about it.
    if (target.iLink >= 0) return S_FALSE;
    *ppdispChild = m_pTree->GetAccessible(target.pControl);
    return *ppdispChild != nullptr ? S_OK : E_FAIL;
}

HRESULT CAccessibleObjectUI::get_accName(VARIANT varChild, BSTR* pszName)
{
    return StringResult(varChild, &CAccessibilityTreeUI::GetName, pszName);
}

HRESULT CAccessibleObjectUI::get_accValue(VARIANT varChild, BSTR* pszValue)
{
    return StringResult(varChild, &CAccessibilityTreeUI::GetValue, pszValue);
}

HRESULT CAccessibleObjectUI::get_accDescription(VARIANT varChild, BSTR* pszDescription)
{
    return StringResult(varChild, &CAccessibilityTreeUI::GetDescription, pszDescription);
}

HRESULT CAccessibleObjectUI::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction)
{
    return StringResult(varChild, &CAccessibilityTreeUI::GetDefaultAction, pszDefaultAction);
}

HRESULT CAccessibleObjectUI::get_accRole(VARIANT varChild, VARIANT* pvarRole)
{
    return NumberResult(varChild, &CAccessibilityTreeUI::GetRole, pvarRole);
}

HRESULT CAccessibleObjectUI::get_accState(VARIANT varChild, VARIANT* pvarState)
{
    return NumberResult(varChild, &CAccessibilityTreeUI::GetState, pvarState);
}

HRESULT CAccessibleObjectUI::get_accHelp(VARIANT varChild, BSTR* pszHelp)
{
    if (pszHelp == nullptr) return E_INVALIDARG;
    *pszHelp = nullptr;
    TAccessibleTarget target = {};
    HRESULT hr = Resolve(varChild, target);
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT CAccessibleObjectUI::get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic)
{
    if (pszHelpFile == nullptr || pidTopic == nullptr) return E_INVALIDARG;
    *pszHelpFile = nullptr;
    *pidTopic = 0;
    TAccessibleTarget target = {};
    HRESULT hr = Resolve(varChild, target);
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT CAccessibleObjectUI::get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut)
{
    if (pszKeyboardShortcut == nullptr) return E_INVALIDARG;
    *pszKeyboardShortcut = nullptr;
    TAccessibleTarget target = {};
    HRESULT hr = Resolve(varChild, target);
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT CAccessibleObjectUI::get_accSelection(VARIANT* pvarChildren)
{
    if (pvarChildren == nullptr) return E_INVALIDARG;
    ::VariantInit(pvarChildren);
    if (m_pTree == nullptr || !m_pTree->IsValid(Self())) return E_FAIL;
    return S_FALSE;
}

HRESULT CAccessibleObjectUI::accSelect(long, VARIANT varChild)
{
    TAccessibleTarget target = {};
    HRESULT hr = Resolve(varChild, target);
    return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
}

HRESULT CAccessibleObjectUI::put_accName(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

HRESULT CAccessibleObjectUI::put_accValue(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

// ---- Navigation, hit test, focus and actions -------------------------------

HRESULT CAccessibleObjectUI::accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                         VARIANT varChild)
{
    if (pxLeft == nullptr || pyTop == nullptr || pcxWidth == nullptr || pcyHeight == nullptr)
        return E_INVALIDARG;
    *pxLeft = *pyTop = *pcxWidth = *pcyHeight = 0;
    TAccessibleTarget target = {};
    HRESULT hr = Resolve(varChild, target);
    if (FAILED(hr)) return hr;
    const RECT rc = m_pTree->GetScreenRect(target);
    *pxLeft = rc.left;
    *pyTop = rc.top;
    *pcxWidth = rc.right - rc.left;
    *pcyHeight = rc.bottom - rc.top;
    return S_OK;
}

HRESULT CAccessibleObjectUI::accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt)
{
    if (pvarEndUpAt == nullptr) return E_INVALIDARG;
    ::VariantInit(pvarEndUpAt);
    TAccessibleTarget start = {};
    HRESULT hr = Resolve(varStart, start);
    if (FAILED(hr)) return hr;
    std::vector<TAccessibleTarget> list;
    size_t iPick = 0;
    switch (navDir) {
    case NAVDIR_FIRSTCHILD:
    case NAVDIR_LASTCHILD:
        if (!(start == Self())) return E_INVALIDARG;
        m_pTree->GetChildren(start, list);
        if (list.empty()) return S_FALSE;
        iPick = navDir == NAVDIR_FIRSTCHILD ? 0 : list.size() - 1;
        break;
    case NAVDIR_NEXT:
    case NAVDIR_PREVIOUS: {
        if (start.pControl == nullptr) return S_FALSE;
        m_pTree->GetChildren(m_pTree->GetParent(start), list);
        size_t i = 0;
        while (i < list.size() && !(list[i] == start)) ++i;
        // A hidden object is in no list: it has no siblings.
        if (i == list.size()) return S_FALSE;
        if (navDir == NAVDIR_NEXT ? i + 1 >= list.size() : i == 0) return S_FALSE;
        iPick = navDir == NAVDIR_NEXT ? i + 1 : i - 1;
        break;
    }
    default:
        // Spatial navigation (up, down, left, right) is not offered.
        return E_NOTIMPL;
    }
    ToVariant(list[iPick], pvarEndUpAt);
    return pvarEndUpAt->vt != VT_EMPTY ? S_OK : E_FAIL;
}

HRESULT CAccessibleObjectUI::accHitTest(long xLeft, long yTop, VARIANT* pvarChild)
{
    if (pvarChild == nullptr) return E_INVALIDARG;
    ::VariantInit(pvarChild);
    VARIANT self = {};
    self.vt = VT_I4;
    TAccessibleTarget target = {};
    HRESULT hr = Resolve(self, target);
    if (FAILED(hr)) return hr;
    const POINT pt = {xLeft, yTop};
    TAccessibleTarget hit = {};
    if (!m_pTree->HitTest(target, pt, hit)) return S_FALSE;
    ToVariant(hit, pvarChild);
    return pvarChild->vt != VT_EMPTY ? S_OK : E_FAIL;
}

HRESULT CAccessibleObjectUI::get_accFocus(VARIANT* pvarChild)
{
    if (pvarChild == nullptr) return E_INVALIDARG;
    ::VariantInit(pvarChild);
    if (m_pTree == nullptr || !m_pTree->IsValid(Self())) return E_FAIL;
    TAccessibleTarget focus = {};
    if (!m_pTree->GetFocusTarget(focus)) {
        // No control has it: the client object, while its window does.
        if (m_pControl != nullptr || ::GetFocus() != m_pTree->GetWindow()) return S_FALSE;
        focus = Self();
    }
    if (!(focus == Self()) && !m_pTree->IsDescendant(focus, Self())) return S_FALSE;
    ToVariant(focus, pvarChild);
    return pvarChild->vt != VT_EMPTY ? S_OK : E_FAIL;
}

HRESULT CAccessibleObjectUI::accDoDefaultAction(VARIANT varChild)
{
    TAccessibleTarget target = {};
    HRESULT hr = Resolve(varChild, target);
    if (FAILED(hr)) return hr;
    return m_pTree->DoDefaultAction(target);
}

}  // namespace SkinUI
