#include "skinui/control/Control.h"

#include "skinui/core/PaintManager.h"
#include "skinui/core/StringTable.h"
#include "skinui/render/DPI.h"
#include "skinui/resource/ResourceManager.h"

#include <stdlib.h>
#include <wchar.h>

// Sections: construction and identity; tree and text; geometry; state;
// colours, images and border; timers and virtual window; repaint requests;
// searches; attributes.

namespace SkinUI {

// ---- Construction and identity -----------------------------------------

CControlUI::CControlUI() {}

CControlUI::~CControlUI()
{
    if (OnDestroy) OnDestroy(this);
    // Only the base part is left by now: observers forget the pointer and
    // call nothing on it.
    Changed(CHANGE_DESTROYED);
    RemoveAllCustomAttribute();
    if (m_pManager != nullptr) m_pManager->ReapObjects(this);
}

CControlUI* CControlUI::CreateControl()
{
    return new CControlUI;
}

CUIString CControlUI::GetName() const
{
    return m_sName;
}

void CControlUI::SetName(LPCTSTR pstrName)
{
    m_sName = pstrName != nullptr ? pstrName : L"";
}

LPCTSTR CControlUI::GetClass() const
{
    return L"ControlUI";
}

LPVOID CControlUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName != nullptr && _wcsicmp(pstrName, L"Control") == 0) return this;
    return nullptr;
}

UINT CControlUI::GetControlFlags() const
{
    return 0;
}

// ---- Tree and text ------------------------------------------------------

CPaintManagerUI* CControlUI::GetManager() const
{
    return m_pManager;
}

void CControlUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit)
{
    m_pManager = pManager;
    m_pParent = pParent;
    if (bInit && m_pParent != nullptr) Init();
}

CControlUI* CControlUI::GetParent() const
{
    return m_pParent;
}

CUIString CControlUI::GetText() const
{
    if (!m_bResourceText) return m_sText;
    return CResourceManager::GetInstance()->GetText(m_sText, nullptr);
}

void CControlUI::SetText(LPCTSTR pstrText)
{
    if (pstrText == nullptr) pstrText = L"";
    if (m_sText == pstrText) return;
    m_sText = pstrText;
    Invalidate();
    Changed(CHANGE_TEXT);
}

bool CControlUI::IsResourceText() const
{
    return m_bResourceText;
}

void CControlUI::SetResourceText(bool bResource)
{
    if (m_bResourceText == bResource) return;
    m_bResourceText = bResource;
    Invalidate();
}

bool CControlUI::IsDragEnabled() const
{
    return m_bDragEnabled;
}

void CControlUI::SetDragEnable(bool bDrag)
{
    m_bDragEnabled = bDrag;
}

bool CControlUI::IsDropEnabled() const
{
    return m_bDropEnabled;
}

void CControlUI::SetDropEnable(bool bDrop)
{
    m_bDropEnabled = bDrop;
}

CUIString CControlUI::GetToolTip() const
{
    if (!m_bResourceText) return m_sToolTip;
    return CResourceManager::GetInstance()->GetText(m_sToolTip, nullptr);
}

void CControlUI::SetToolTip(LPCTSTR pstrText)
{
    CUIString sText(pstrText != nullptr ? pstrText : L"");
    sText.Replace(L"<n>", L"\r\n");
    m_sToolTip = sText;
}

void CControlUI::SetToolTipWidth(int nWidth)
{
    m_nTooltipWidth = nWidth;
}

int CControlUI::GetToolTipWidth() const
{
    return ScaleValue(m_nTooltipWidth);
}

WORD CControlUI::GetCursor() const
{
    return m_wCursor;
}

void CControlUI::SetCursor(WORD wCursor)
{
    m_wCursor = wCursor;
    Invalidate();
}

TCHAR CControlUI::GetShortcut() const
{
    return m_chShortcut;
}

void CControlUI::SetShortcut(TCHAR ch)
{
    m_chShortcut = ch;
}

bool CControlUI::IsContextMenuUsed() const
{
    return m_bMenuUsed;
}

void CControlUI::SetContextMenuUsed(bool bMenuUsed)
{
    m_bMenuUsed = bMenuUsed;
}

const CUIString& CControlUI::GetUserData() const
{
    return m_sUserData;
}

void CControlUI::SetUserData(LPCTSTR pstrText)
{
    m_sUserData = pstrText != nullptr ? pstrText : L"";
}

UINT_PTR CControlUI::GetTag() const
{
    return m_pTag;
}

void CControlUI::SetTag(UINT_PTR pTag)
{
    m_pTag = pTag;
}

// ---- Geometry -------------------------------------------------------------

int CControlUI::ScaleValue(int n) const
{
    if (m_pManager == nullptr) return n;
    return m_pManager->GetDPIObj()->Scale(n);
}

RECT CControlUI::ScaleRect(const RECT& rc) const
{
    if (m_pManager == nullptr) return rc;
    return m_pManager->GetDPIObj()->Scale(rc);
}

SIZE CControlUI::ScaleSize(const SIZE& sz) const
{
    if (m_pManager == nullptr) return sz;
    return m_pManager->GetDPIObj()->Scale(sz);
}

RECT CControlUI::GetRelativePos() const
{
    RECT rc = {0, 0, 0, 0};
    if (m_pParent == nullptr) return rc;
    const RECT& rcParent = m_pParent->GetPos();
    rc = m_rcItem;
    ::OffsetRect(&rc, -rcParent.left, -rcParent.top);
    return rc;
}

RECT CControlUI::GetClientPos() const
{
    return m_rcItem;
}

const RECT& CControlUI::GetPos() const
{
    return m_rcItem;
}

void CControlUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;

    RECT rcOld = m_rcItem;
    if (::IsRectEmpty(&rcOld)) rcOld = rc;
    m_rcItem = rc;
    if (m_pManager == nullptr) return;

    if (!m_bSetPos) {
        m_bSetPos = true;
        if (OnSize) OnSize(this);
        m_bSetPos = false;
    }
    m_bUpdateNeeded = false;

    if (!bNeedInvalidate || !IsVisible()) return;
    RECT rcInvalidate;
    ::UnionRect(&rcInvalidate, &rcOld, &m_rcItem);
    for (CControlUI* pParent = m_pParent; pParent != nullptr; pParent = pParent->GetParent()) {
        if (!pParent->IsVisible()) return;
        RECT rcParent = pParent->GetPos();
        if (!::IntersectRect(&rcInvalidate, &rcInvalidate, &rcParent)) return;
    }
    m_pManager->Invalidate(rcInvalidate);
}

void CControlUI::Move(SIZE szOffset, bool /*bNeedInvalidate*/)
{
    m_cXY.cx += szOffset.cx;
    m_cXY.cy += szOffset.cy;
    NeedParentUpdate();
}

int CControlUI::GetWidth() const
{
    return m_rcItem.right - m_rcItem.left;
}

int CControlUI::GetHeight() const
{
    return m_rcItem.bottom - m_rcItem.top;
}

int CControlUI::GetX() const
{
    return m_rcItem.left;
}

int CControlUI::GetY() const
{
    return m_rcItem.top;
}

RECT CControlUI::GetPadding() const
{
    return ScaleRect(m_rcPadding);
}

void CControlUI::SetPadding(RECT rcPadding)
{
    m_rcPadding = rcPadding;
    NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const
{
    return ScaleSize(m_cXY);
}

void CControlUI::SetFixedXY(SIZE szXY)
{
    m_cXY = szXY;
    NeedParentUpdate();
}

int CControlUI::GetFixedWidth() const
{
    return ScaleValue(m_cxyFixed.cx);
}

void CControlUI::SetFixedWidth(int cx)
{
    if (cx < 0) return;
    m_cxyFixed.cx = cx;
    NeedParentUpdate();
}

int CControlUI::GetFixedHeight() const
{
    return ScaleValue(m_cxyFixed.cy);
}

void CControlUI::SetFixedHeight(int cy)
{
    if (cy < 0) return;
    m_cxyFixed.cy = cy;
    NeedParentUpdate();
}

int CControlUI::GetMinWidth() const
{
    return ScaleValue(m_cxyMin.cx);
}

void CControlUI::SetMinWidth(int cx)
{
    if (cx < 0 || m_cxyMin.cx == cx) return;
    m_cxyMin.cx = cx;
    NeedParentUpdate();
}

int CControlUI::GetMaxWidth() const
{
    return ScaleValue(m_cxyMax.cx);
}

void CControlUI::SetMaxWidth(int cx)
{
    if (cx < 0 || m_cxyMax.cx == cx) return;
    m_cxyMax.cx = cx;
    NeedParentUpdate();
}

int CControlUI::GetMinHeight() const
{
    return ScaleValue(m_cxyMin.cy);
}

void CControlUI::SetMinHeight(int cy)
{
    if (cy < 0 || m_cxyMin.cy == cy) return;
    m_cxyMin.cy = cy;
    NeedParentUpdate();
}

int CControlUI::GetMaxHeight() const
{
    return ScaleValue(m_cxyMax.cy);
}

void CControlUI::SetMaxHeight(int cy)
{
    if (cy < 0 || m_cxyMax.cy == cy) return;
    m_cxyMax.cy = cy;
    NeedParentUpdate();
}

TPercentInfo CControlUI::GetFloatPercent() const
{
    return m_piFloatPercent;
}

void CControlUI::SetFloatPercent(TPercentInfo piFloatPercent)
{
    m_piFloatPercent = piFloatPercent;
    NeedParentUpdate();
}

void CControlUI::SetFloatAlign(UINT uAlign)
{
    m_uFloatAlign = uAlign;
    NeedParentUpdate();
}

UINT CControlUI::GetFloatAlign() const
{
    return m_uFloatAlign;
}

SIZE CControlUI::EstimateSize(SIZE /*szAvailable*/)
{
    return ScaleSize(m_cxyFixed);
}

// ---- State ----------------------------------------------------------------

bool CControlUI::IsVisible() const
{
    return m_bVisible && m_bInternVisible;
}

void CControlUI::SetVisible(bool bVisible)
{
    if (m_bVisible == bVisible) return;
    bool bWasVisible = IsVisible();
    m_bVisible = bVisible;
    m_bFocused = false;
    if (!bVisible && m_pManager != nullptr && m_pManager->GetFocus() == this) {
        m_pManager->SetFocus(nullptr);
    }
    if (IsVisible() != bWasVisible) NeedParentUpdate();
    Changed(CHANGE_VISIBLE);
}

void CControlUI::SetInternVisible(bool bVisible)
{
    m_bInternVisible = bVisible;
    if (!bVisible && m_pManager != nullptr && m_pManager->GetFocus() == this) {
        m_pManager->SetFocus(nullptr);
    }
}

bool CControlUI::IsEnabled() const
{
    return m_bEnabled;
}

void CControlUI::SetEnabled(bool bEnable)
{
    if (m_bEnabled == bEnable) return;
    m_bEnabled = bEnable;
    Invalidate();
    Changed(CHANGE_ENABLED);
}

bool CControlUI::IsMouseEnabled() const
{
    return m_bMouseEnabled;
}

void CControlUI::SetMouseEnabled(bool bEnable)
{
    m_bMouseEnabled = bEnable;
}

bool CControlUI::IsKeyboardEnabled() const
{
    return m_bKeyboardEnabled;
}

void CControlUI::SetKeyboardEnabled(bool bEnable)
{
    m_bKeyboardEnabled = bEnable;
}

bool CControlUI::IsFocused() const
{
    return m_bFocused;
}

void CControlUI::SetFocus()
{
    if (m_pManager != nullptr) m_pManager->SetFocus(this);
}

bool CControlUI::IsFloat() const
{
    return m_bFloat;
}

void CControlUI::SetFloat(bool bFloat)
{
    if (m_bFloat == bFloat) return;
    m_bFloat = bFloat;
    NeedParentUpdate();
}

void CControlUI::Init()
{
    DoInit();
    if (OnInit) OnInit(this);
}

void CControlUI::DoInit() {}

// ---- Colours, images and border -------------------------------------------

DWORD CControlUI::GetBkColor() const
{
    return m_dwBackColor;
}

void CControlUI::SetBkColor(DWORD dwBackColor)
{
    if (m_dwBackColor == dwBackColor) return;
    m_dwBackColor = dwBackColor;
    Invalidate();
}

DWORD CControlUI::GetBkColor2() const
{
    return m_dwBackColor2;
}

void CControlUI::SetBkColor2(DWORD dwBackColor)
{
    if (m_dwBackColor2 == dwBackColor) return;
    m_dwBackColor2 = dwBackColor;
    Invalidate();
}

DWORD CControlUI::GetBkColor3() const
{
    return m_dwBackColor3;
}

void CControlUI::SetBkColor3(DWORD dwBackColor)
{
    if (m_dwBackColor3 == dwBackColor) return;
    m_dwBackColor3 = dwBackColor;
    Invalidate();
}

DWORD CControlUI::GetForeColor() const
{
    return m_dwForeColor;
}

void CControlUI::SetForeColor(DWORD dwForeColor)
{
    if (m_dwForeColor == dwForeColor) return;
    m_dwForeColor = dwForeColor;
    Invalidate();
}

DWORD CControlUI::GetBorderColor() const
{
    return m_dwBorderColor;
}

void CControlUI::SetBorderColor(DWORD dwBorderColor)
{
    if (m_dwBorderColor == dwBorderColor) return;
    m_dwBorderColor = dwBorderColor;
    Invalidate();
}

DWORD CControlUI::GetFocusBorderColor() const
{
    return m_dwFocusBorderColor;
}

void CControlUI::SetFocusBorderColor(DWORD dwBorderColor)
{
    if (m_dwFocusBorderColor == dwBorderColor) return;
    m_dwFocusBorderColor = dwBorderColor;
    Invalidate();
}

bool CControlUI::IsColorHSL() const
{
    return m_bColorHSL;
}

void CControlUI::SetColorHSL(bool bColorHSL)
{
    if (m_bColorHSL == bColorHSL) return;
    m_bColorHSL = bColorHSL;
    Invalidate();
}

LPCTSTR CControlUI::GetBkImage() const
{
    return m_sBkImage;
}

void CControlUI::SetBkImage(LPCTSTR pStrImage)
{
    if (pStrImage == nullptr) pStrImage = L"";
    if (m_pManager != nullptr) m_pManager->RemoveImage(pStrImage, false);
    if (m_sBkImage == pStrImage) return;
    m_sBkImage = pStrImage;
    Invalidate();
}

LPCTSTR CControlUI::GetForeImage() const
{
    return m_sForeImage;
}

void CControlUI::SetForeImage(LPCTSTR pStrImage)
{
    if (pStrImage == nullptr) pStrImage = L"";
    if (m_sForeImage == pStrImage) return;
    m_sForeImage = pStrImage;
    Invalidate();
}

int CControlUI::GetBorderSize() const
{
    return ScaleValue(m_nBorderSize);
}

void CControlUI::SetBorderSize(int nSize)
{
    if (m_nBorderSize == nSize) return;
    m_nBorderSize = nSize;
    Invalidate();
}

void CControlUI::SetBorderSize(RECT rc)
{
    m_rcBorderSize = rc;
    Invalidate();
}

int CControlUI::GetLeftBorderSize() const
{
    return ScaleValue(m_rcBorderSize.left);
}

void CControlUI::SetLeftBorderSize(int nSize)
{
    m_rcBorderSize.left = nSize;
    Invalidate();
}

int CControlUI::GetTopBorderSize() const
{
    return ScaleValue(m_rcBorderSize.top);
}

void CControlUI::SetTopBorderSize(int nSize)
{
    m_rcBorderSize.top = nSize;
    Invalidate();
}

int CControlUI::GetRightBorderSize() const
{
    return ScaleValue(m_rcBorderSize.right);
}

void CControlUI::SetRightBorderSize(int nSize)
{
    m_rcBorderSize.right = nSize;
    Invalidate();
}

int CControlUI::GetBottomBorderSize() const
{
    return ScaleValue(m_rcBorderSize.bottom);
}

void CControlUI::SetBottomBorderSize(int nSize)
{
    m_rcBorderSize.bottom = nSize;
    Invalidate();
}

int CControlUI::GetBorderStyle() const
{
    return m_nBorderStyle;
}

void CControlUI::SetBorderStyle(int nStyle)
{
    m_nBorderStyle = nStyle;
    Invalidate();
}

SIZE CControlUI::GetBorderRound() const
{
    return ScaleSize(m_cxyBorderRound);
}

void CControlUI::SetBorderRound(SIZE cxyRound)
{
    m_cxyBorderRound = cxyRound;
    Invalidate();
}

// ---- Timers and virtual window --------------------------------------------

bool CControlUI::SetTimer(UINT nTimerID, UINT nElapse)
{
    if (m_pManager == nullptr) return false;
    return m_pManager->SetTimer(this, nTimerID, nElapse);
}

void CControlUI::KillTimer(UINT nTimerID)
{
    if (m_pManager != nullptr) m_pManager->KillTimer(this, nTimerID);
}

CUIString CControlUI::GetVirtualWnd() const
{
    if (!m_sVirtualWnd.IsEmpty()) return m_sVirtualWnd;
    if (m_pParent != nullptr) return m_pParent->GetVirtualWnd();
    return CUIString();
}

void CControlUI::SetVirtualWnd(LPCTSTR pstrValue)
{
    m_sVirtualWnd = pstrValue != nullptr ? pstrValue : L"";
    if (m_pManager != nullptr) m_pManager->UsedVirtualWnd(true);
}

// ---- Change notification ----------------------------------------------------

void CControlUI::Changed(ControlChange change)
{
    if (m_pManager != nullptr) m_pManager->ControlChanged(this, change);
}

void CControlUI::SetAccessibleName(LPCTSTR pstrName)
{
    if (pstrName == nullptr) pstrName = L"";
    LPCTSTR pstrOld = GetCustomAttribute(L"accname");
    if (wcscmp(pstrOld != nullptr ? pstrOld : L"", pstrName) == 0) return;
    RemoveCustomAttribute(L"accname");
    AddCustomAttribute(L"accname", pstrName);
    Changed(CHANGE_NAME);
}

// ---- Repaint and relayout requests ----------------------------------------

void CControlUI::Invalidate()
{
    if (!IsVisible()) return;
    RECT rcInvalidate = m_rcItem;
    for (CControlUI* pParent = m_pParent; pParent != nullptr; pParent = pParent->GetParent()) {
        RECT rcParent = pParent->GetPos();
        if (!::IntersectRect(&rcInvalidate, &rcInvalidate, &rcParent)) return;
    }
    if (m_pManager != nullptr) m_pManager->Invalidate(rcInvalidate);
}

bool CControlUI::IsUpdateNeeded() const
{
    return m_bUpdateNeeded;
}

void CControlUI::NeedUpdate()
{
    if (!IsVisible()) return;
    m_bUpdateNeeded = true;
    Invalidate();
    if (m_pManager != nullptr) m_pManager->NeedUpdate();
}

void CControlUI::NeedParentUpdate()
{
    if (m_pParent != nullptr) {
        m_pParent->NeedUpdate();
        m_pParent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_pManager != nullptr) m_pManager->NeedUpdate();
}

// ---- Searches -------------------------------------------------------------

CControlUI* CControlUI::FindControl(FindControlProc Proc, LPVOID pData, UINT uFlags)
{
    if ((uFlags & FIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
    if ((uFlags & FIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
    if ((uFlags & FIND_HITTEST) != 0) {
        if (!m_bMouseEnabled) return nullptr;
        if (!::PtInRect(&m_rcItem, *static_cast<LPPOINT>(pData))) return nullptr;
    }
    return Proc(this, pData);
}

// ---- Attributes -----------------------------------------------------------

void CControlUI::AddCustomAttribute(LPCTSTR pstrName, LPCTSTR pstrAttr)
{
    AddTableString(m_mCustomAttrHash, pstrName, pstrAttr);
}

LPCTSTR CControlUI::GetCustomAttribute(LPCTSTR pstrName) const
{
    return FindTableString(m_mCustomAttrHash, pstrName);
}

bool CControlUI::RemoveCustomAttribute(LPCTSTR pstrName)
{
    return RemoveTableString(m_mCustomAttrHash, pstrName);
}

void CControlUI::RemoveAllCustomAttribute()
{
    FreeTableStrings(m_mCustomAttrHash);
    m_mCustomAttrHash.Resize(83);
}

RECT CControlUI::ParseRect(LPCTSTR pstrValue)
{
    // A missing number leaves its side 0; a separator is skipped only when
    // there is one, so a short value never reads past its end.
    RECT rc = {0, 0, 0, 0};
    LONG* aSides[4] = {&rc.left, &rc.top, &rc.right, &rc.bottom};
    LPTSTR pstr = const_cast<LPTSTR>(pstrValue);
    for (int i = 0; i < 4 && pstr != nullptr && *pstr != L'\0'; i++) {
        *aSides[i] = wcstol(pstr, &pstr, 10);
        if (i < 3 && *pstr != L'\0') pstr++;
    }
    return rc;
}

DWORD CControlUI::ParseColor(LPCTSTR pstrValue)
{
    if (pstrValue == nullptr) return 0;
    if (*pstrValue == L'#') pstrValue++;
    LPTSTR pstr = nullptr;
    return wcstoul(pstrValue, &pstr, 16);
}

bool CControlUI::ParseBool(LPCTSTR pstrValue)
{
    return pstrValue != nullptr && _wcsicmp(pstrValue, L"true") == 0;
}

namespace {

LPCTSTR SkipBlanks(LPCTSTR pstr)
{
    while (*pstr > L'\0' && *pstr <= L' ') pstr++;
    return pstr;
}

int ParseInt(LPCTSTR pstrValue)
{
    return static_cast<int>(wcstol(pstrValue, nullptr, 10));
}

struct CursorName
{
    LPCTSTR pstrName;
    WORD wCursor;
};

const CursorName kCursors[] = {
    {L"arrow", 32512},  {L"ibeam", 32513},   {L"wait", 32514},     {L"cross", 32515},    {L"uparrow", 32516},
    {L"size", 32640},   {L"icon", 32641},    {L"sizenwse", 32642}, {L"sizenesw", 32643}, {L"sizewe", 32644},
    {L"sizens", 32645}, {L"sizeall", 32646}, {L"no", 32648},       {L"hand", 32649},
};

UINT ParseFloatAlign(UINT uAlign, LPCTSTR pstrValue)
{
    CUIString sValue(pstrValue);
    int iPos = 0;
    while (iPos < sValue.GetLength()) {
        int iEnd = iPos;
        while (iEnd < sValue.GetLength() && sValue[iEnd] != L',' && sValue[iEnd] != L' ') iEnd++;
        CUIString sWord = sValue.Mid(iPos, iEnd - iPos);
        if (sWord.CompareNoCase(L"null") == 0) {
            uAlign = 0;
        } else if (sWord.CompareNoCase(L"left") == 0) {
            uAlign &= ~(DT_CENTER | DT_RIGHT);
        } else if (sWord.CompareNoCase(L"center") == 0) {
            uAlign = (uAlign & ~DT_RIGHT) | DT_CENTER;
        } else if (sWord.CompareNoCase(L"right") == 0) {
            uAlign = (uAlign & ~DT_CENTER) | DT_RIGHT;
        } else if (sWord.CompareNoCase(L"top") == 0) {
            uAlign &= ~(DT_VCENTER | DT_BOTTOM);
        } else if (sWord.CompareNoCase(L"vcenter") == 0) {
            uAlign = (uAlign & ~DT_BOTTOM) | DT_VCENTER;
        } else if (sWord.CompareNoCase(L"bottom") == 0) {
            uAlign = (uAlign & ~DT_VCENTER) | DT_BOTTOM;
        }
        iPos = iEnd + 1;
    }
    return uAlign;
}

}  // namespace

// The attributes every control reads, sorted by name and looked up without
// regard to case; a name the table lacks becomes a custom attribute. Each
// handler parses the value and calls the (virtual) setters, so that derived
// controls see the calls they override.
struct CControlUI::TAttribute
{
    LPCTSTR pstrName;
    void (*pfnApply)(CControlUI& c, LPCTSTR v);

    static const TAttribute kTable[];
    static const TAttribute* Find(LPCTSTR pstrName);
};

namespace {

constexpr int CompareNames(LPCTSTR a, LPCTSTR b)
{
    while (*a != L'\0' && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<int>(*a) - static_cast<int>(*b);
}

}  // namespace

// clang-format off
constexpr CControlUI::TAttribute CControlUI::TAttribute::kTable[] = {
    {L"accname", [](CControlUI& c, LPCTSTR v) { c.SetAccessibleName(v); }},
    {L"bkcolor", [](CControlUI& c, LPCTSTR v) { c.SetBkColor(ParseColor(SkipBlanks(v))); }},
    {L"bkcolor1", [](CControlUI& c, LPCTSTR v) { c.SetBkColor(ParseColor(SkipBlanks(v))); }},
    {L"bkcolor2", [](CControlUI& c, LPCTSTR v) { c.SetBkColor2(ParseColor(SkipBlanks(v))); }},
    {L"bkcolor3", [](CControlUI& c, LPCTSTR v) { c.SetBkColor3(ParseColor(SkipBlanks(v))); }},
    {L"bkimage", [](CControlUI& c, LPCTSTR v) { c.SetBkImage(v); }},
    {L"bordercolor", [](CControlUI& c, LPCTSTR v) { c.SetBorderColor(ParseColor(v)); }},
    {L"borderround", [](CControlUI& c, LPCTSTR v) {
        SIZE cxyRound = {0, 0};
        LPTSTR pstr = const_cast<LPTSTR>(v);
        cxyRound.cx = wcstol(pstr, &pstr, 10);
        if (*pstr != L'\0') cxyRound.cy = wcstol(pstr + 1, &pstr, 10);
        c.SetBorderRound(cxyRound);
    }},
    {L"bordersize", [](CControlUI& c, LPCTSTR v) {
        if (wcschr(v, L',') == nullptr) {
            c.SetBorderSize(ParseInt(v));
            RECT rcZero = {0, 0, 0, 0};
            c.SetBorderSize(rcZero);
        } else {
            c.SetBorderSize(ParseRect(v));
        }
    }},
    {L"borderstyle", [](CControlUI& c, LPCTSTR v) { c.SetBorderStyle(ParseInt(v)); }},
    {L"bottombordersize", [](CControlUI& c, LPCTSTR v) { c.SetBottomBorderSize(ParseInt(v)); }},
    {L"colorhsl", [](CControlUI& c, LPCTSTR v) { c.SetColorHSL(ParseBool(v)); }},
    {L"cursor", [](CControlUI& c, LPCTSTR v) {
        for (const CursorName& cursor : kCursors) {
            if (_wcsicmp(v, cursor.pstrName) == 0) {
                c.SetCursor(cursor.wCursor);
                break;
            }
        }
    }},
    {L"drag", [](CControlUI& c, LPCTSTR v) { c.SetDragEnable(ParseBool(v)); }},
    {L"drop", [](CControlUI& c, LPCTSTR v) { c.SetDropEnable(ParseBool(v)); }},
    {L"enabled", [](CControlUI& c, LPCTSTR v) { c.SetEnabled(ParseBool(v)); }},
    {L"float", [](CControlUI& c, LPCTSTR v) {
        if (wcschr(v, L',') == nullptr) {
            c.SetFloat(ParseBool(v));
            return;
        }
        TPercentInfo info = {0.0, 0.0, 0.0, 0.0};
        double* aParts[4] = {&info.left, &info.top, &info.right, &info.bottom};
        LPTSTR pstr = const_cast<LPTSTR>(v);
        for (int i = 0; i < 4 && *pstr != L'\0'; i++) {
            *aParts[i] = wcstod(pstr, &pstr);
            if (i < 3 && *pstr != L'\0') pstr++;
        }
        c.SetFloatPercent(info);
        c.SetFloat(true);
    }},
    {L"floatalign", [](CControlUI& c, LPCTSTR v) { c.SetFloatAlign(ParseFloatAlign(c.m_uFloatAlign, v)); }},
    {L"focusbordercolor", [](CControlUI& c, LPCTSTR v) { c.SetFocusBorderColor(ParseColor(v)); }},
    {L"forecolor", [](CControlUI& c, LPCTSTR v) { c.SetForeColor(ParseColor(SkipBlanks(v))); }},
    {L"foreimage", [](CControlUI& c, LPCTSTR v) { c.SetForeImage(v); }},
    {L"height", [](CControlUI& c, LPCTSTR v) { c.SetFixedHeight(ParseInt(v)); }},
    {L"innerstyle", [](CControlUI& c, LPCTSTR v) {
        CUIString sList(v);
        sList.Replace(L"&quot;", L"\"");
        c.ApplyAttributePairs(sList);
    }},
    {L"keyboard", [](CControlUI& c, LPCTSTR v) { c.SetKeyboardEnabled(ParseBool(v)); }},
    {L"leftbordersize", [](CControlUI& c, LPCTSTR v) { c.SetLeftBorderSize(ParseInt(v)); }},
    {L"maxheight", [](CControlUI& c, LPCTSTR v) { c.SetMaxHeight(ParseInt(v)); }},
    {L"maxwidth", [](CControlUI& c, LPCTSTR v) { c.SetMaxWidth(ParseInt(v)); }},
    {L"menu", [](CControlUI& c, LPCTSTR v) { c.SetContextMenuUsed(ParseBool(v)); }},
    {L"minheight", [](CControlUI& c, LPCTSTR v) { c.SetMinHeight(ParseInt(v)); }},
    {L"minwidth", [](CControlUI& c, LPCTSTR v) { c.SetMinWidth(ParseInt(v)); }},
    {L"mouse", [](CControlUI& c, LPCTSTR v) { c.SetMouseEnabled(ParseBool(v)); }},
    {L"name", [](CControlUI& c, LPCTSTR v) { c.SetName(v); }},
    {L"padding", [](CControlUI& c, LPCTSTR v) { c.SetPadding(ParseRect(v)); }},
    {L"pos", [](CControlUI& c, LPCTSTR v) {
        RECT rc = ParseRect(v);
        SIZE szXY = {rc.left >= 0 ? rc.left : rc.right, rc.top >= 0 ? rc.top : rc.bottom};
        c.SetFixedXY(szXY);
        c.SetFixedWidth(rc.right - rc.left);
        c.SetFixedHeight(rc.bottom - rc.top);
    }},
    {L"resourcetext", [](CControlUI& c, LPCTSTR v) { c.SetResourceText(ParseBool(v)); }},
    {L"rightbordersize", [](CControlUI& c, LPCTSTR v) { c.SetRightBorderSize(ParseInt(v)); }},
    {L"shortcut", [](CControlUI& c, LPCTSTR v) { c.SetShortcut(v[0]); }},
    {L"text", [](CControlUI& c, LPCTSTR v) { c.SetText(v); }},
    {L"tooltip", [](CControlUI& c, LPCTSTR v) { c.SetToolTip(v); }},
    {L"topbordersize", [](CControlUI& c, LPCTSTR v) { c.SetTopBorderSize(ParseInt(v)); }},
    {L"userdata", [](CControlUI& c, LPCTSTR v) { c.SetUserData(v); }},
    {L"virtualwnd", [](CControlUI& c, LPCTSTR v) { c.SetVirtualWnd(v); }},
    {L"visible", [](CControlUI& c, LPCTSTR v) { c.SetVisible(ParseBool(v)); }},
    {L"width", [](CControlUI& c, LPCTSTR v) { c.SetFixedWidth(ParseInt(v)); }},
};
// clang-format on

const CControlUI::TAttribute* CControlUI::TAttribute::Find(LPCTSTR pstrName)
{
    constexpr size_t nCount = sizeof(kTable) / sizeof(kTable[0]);
    static_assert(
        [] {
            for (size_t i = 1; i < nCount; ++i)
                if (CompareNames(kTable[i - 1].pstrName, kTable[i].pstrName) >= 0) return false;
            return true;
        }(),
        "the attribute table is sorted by name");
    // The names are lower case, so that their order is the same without
    // regard to case.
    size_t lo = 0;
    size_t hi = nCount;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        const int cmp = _wcsicmp(pstrName, kTable[mid].pstrName);
        if (cmp == 0) return &kTable[mid];
        if (cmp < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return nullptr;
}

void CControlUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName == nullptr || pstrValue == nullptr) return;
    if (m_pManager != nullptr && m_nStyleDepth < kMaxStyleDepth) {
        LPCTSTR pStyle = m_pManager->GetStyle(pstrValue);
        if (pStyle != nullptr) {
            ApplyAttributeList(pStyle);
            return;
        }
    }
    const TAttribute* pAttribute = TAttribute::Find(pstrName);
    if (pAttribute != nullptr)
        pAttribute->pfnApply(*this, pstrValue);
    else
        AddCustomAttribute(pstrName, pstrValue);
}

CControlUI* CControlUI::ApplyAttributeList(LPCTSTR pstrList)
{
    if (pstrList == nullptr || m_nStyleDepth >= kMaxStyleDepth) return this;
    m_nStyleDepth++;
    LPCTSTR pStyle = m_pManager != nullptr ? m_pManager->GetStyle(pstrList) : nullptr;
    if (pStyle != nullptr) {
        ApplyAttributeList(pStyle);
    } else {
        CUIString sList(pstrList);
        sList.Replace(L"&quot;", L"\"");
        ApplyAttributePairs(sList);
    }
    m_nStyleDepth--;
    return this;
}

void CControlUI::ApplyAttributePairs(LPCTSTR pstrList)
{
    // name="value" pairs; after a value either one space, or any one
    // character followed by a comma, leads to the next pair.
    CUIString sItem;
    CUIString sValue;
    while (*pstrList != L'\0') {
        sItem.Empty();
        sValue.Empty();
        while (*pstrList != L'\0' && *pstrList != L'=') {
            LPTSTR pstrTemp = ::CharNextW(pstrList);
            while (pstrList < pstrTemp) sItem += *pstrList++;
        }
        if (*pstrList++ != L'=') return;
        if (*pstrList++ != L'"') return;
        while (*pstrList != L'\0' && *pstrList != L'"') {
            LPTSTR pstrTemp = ::CharNextW(pstrList);
            while (pstrList < pstrTemp) sValue += *pstrList++;
        }
        if (*pstrList++ != L'"') return;
        SetAttribute(sItem, sValue);
        if (*pstrList == L'\0') return;
        if (*pstrList == L' ') {
            pstrList++;
            continue;
        }
        pstrList++;
        if (*pstrList != L',') return;
        pstrList++;
    }
}

}  // namespace SkinUI
