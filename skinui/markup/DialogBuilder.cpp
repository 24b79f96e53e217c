#include "skinui/markup/DialogBuilder.h"

#include "skinui/control/Container.h"
#include "skinui/control/Control.h"
#include "skinui/core/PaintManager.h"
#include "skinui/core/Shadow.h"
#include "skinui/markup/ControlFactory.h"
#include "skinui/resource/ModuleResource.h"
#include "skinui/resource/ResourceManager.h"

#include <stdlib.h>
#include <wchar.h>

// Sections: value forms, loading, shared resources, window attributes,
// element lists and includes.

namespace SkinUI {

namespace {

// A plug-in module's creator: the element name in, a new control or null out.
typedef CControlUI* (*LPCREATECONTROL)(LPCTSTR pstrType);

// ---- Value forms ------------------------------------------------------------
// Integers follow _wtoi; lists are decimal numbers each followed by exactly
// one separator character; colours are hexadecimal after an optional '#'.
// Numbers missing from a short list stay 0, and no reading goes past the
// value's terminator.

int ParseInt(LPCTSTR pstrValue)
{
    return _wtoi(pstrValue);
}

void ParseList(LPCTSTR pstrValue, LONG* aValues, int nCount)
{
    LPTSTR pstr = const_cast<LPTSTR>(pstrValue);
    for (int i = 0; i < nCount; i++) aValues[i] = 0;
    for (int i = 0; i < nCount && *pstr != L'\0'; i++) {
        aValues[i] = wcstol(pstr, &pstr, 10);
        if (*pstr != L'\0') pstr++;
    }
}

SIZE ParseSize(LPCTSTR pstrValue)
{
    LONG a[2];
    ParseList(pstrValue, a, 2);
    SIZE sz = {a[0], a[1]};
    return sz;
}

RECT ParseRect(LPCTSTR pstrValue)
{
    LONG a[4];
    ParseList(pstrValue, a, 4);
    RECT rc = {a[0], a[1], a[2], a[3]};
    return rc;
}

DWORD ParseColor(LPCTSTR pstrValue)
{
    if (*pstrValue == L'#') pstrValue++;
    LPTSTR pstrEnd = nullptr;
    return wcstoul(pstrValue, &pstrEnd, 16);
}

bool ParseBool(LPCTSTR pstrValue)
{
    return _wcsicmp(pstrValue, L"true") == 0;
}

bool Is(LPCTSTR pstrName, LPCTSTR pstrWanted)
{
    return _wcsicmp(pstrName, pstrWanted) == 0;
}

}  // namespace

CDialogBuilder::CDialogBuilder() {}

CDialogBuilder::~CDialogBuilder() {}

namespace {

const wchar_t kTooDeepMessage[] = L"Controls nested too deeply";

// wcsncpy semantics, as the markup's own error texts are handed out.
void CopyText(LPCTSTR pstrText, LPTSTR pstrOut, DWORD cchMax)
{
    if (pstrOut != nullptr) wcsncpy(pstrOut, pstrText, cchMax);
}

// Controls from pControl up to the root, pControl included.
int DepthOf(CControlUI* pControl)
{
    int nDepth = 0;
    for (; pControl != nullptr && nDepth <= CDialogBuilder::kMaxTreeDepth; pControl = pControl->GetParent())
        ++nDepth;
    return nDepth;
}

}  // namespace

void CDialogBuilder::GetLastErrorMessage(LPTSTR pstrMessage, DWORD cchMax) const
{
    if (m_pState->bTooDeep)
        CopyText(kTooDeepMessage, pstrMessage, cchMax);
    else
        m_xml.GetLastErrorMessage(pstrMessage, cchMax);
}

void CDialogBuilder::GetLastErrorLocation(LPTSTR pstrSource, DWORD cchMax) const
{
    if (m_pState->bTooDeep)
        CopyText(m_pState->sTooDeepAt, pstrSource, cchMax);
    else
        m_xml.GetLastErrorLocation(pstrSource, cchMax);
}

// ---- Loading ----------------------------------------------------------------

CControlUI* CDialogBuilder::Create(STRINGorID xml, LPCTSTR type, IDialogBuilderCallback* pCallback,
                                   CPaintManagerUI* pManager, CControlUI* pParent)
{
    if (m_pState == &m_ownState) m_ownState = TBuildState();
    if (!xml.IsResourceId() && xml.m_lpstr != nullptr && *xml.m_lpstr != L'<') {
        LPCTSTR pstrPath = CResourceManager::GetInstance()->GetXmlPath(xml.m_lpstr);
        if (pstrPath != nullptr) xml = STRINGorID(pstrPath);
    }

    if (xml.IsResourceId()) {
        HINSTANCE hModule = m_instance != nullptr ? m_instance : CPaintManagerUI::GetResourceDll();
        // Resource memory is read-only; the parser may swap bytes in place.
        DWORD dwSize = 0;
        BYTE* pCopy = CopyModuleResource(hModule, xml.m_lpstr, type, MAXDWORD, &dwSize);
        // An empty resource still goes to the parser, which names the fault.
        if (pCopy == nullptr && ::FindResourceW(hModule, xml.m_lpstr, type) == nullptr) return nullptr;
        m_pCallback = pCallback;
        m_xml.Release();
        const bool bLoaded = m_xml.LoadFromMem(pCopy, dwSize, XMLFILE_ENCODING_UTF8);
        free(pCopy);
        if (!bLoaded) return nullptr;
        if (IS_INTRESOURCE(type)) {
            m_sType.Empty();
            m_pstrType = type;
        } else {
            m_sType = type;
            m_pstrType = m_sType.GetData();
        }
    } else {
        if (xml.m_lpstr == nullptr) return nullptr;
        if (*xml.m_lpstr == L'<') {
            if (!m_xml.Load(xml.m_lpstr)) return nullptr;
        } else if (!m_xml.LoadFromFile(xml.m_lpstr, XMLFILE_ENCODING_UTF8)) {
            return nullptr;
        }
        m_pstrType = nullptr;
        m_sType.Empty();
    }

    return Create(pCallback, pManager, pParent);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* pCallback, CPaintManagerUI* pManager,
                                   CControlUI* pParent)
{
    m_pCallback = pCallback;
    const bool bTopLevel = m_pState == &m_ownState;
    if (bTopLevel) m_ownState = TBuildState();
    CMarkupNode root = m_xml.GetRoot();
    if (!root.IsValid()) return nullptr;

    if (pManager != nullptr) {
        ApplyResources(root, pManager);
        if (Is(root.GetName(), L"Window") && pManager->GetPaintWindow() != nullptr)
            ApplyWindowAttributes(root, pManager);
    }
    if (!bTopLevel) return _Parse(&root, pParent, pManager, m_nIncludeParentDepth);

    // A tree too deep is taken back whole: what this build (and its
    // includes) added to the caller's parent goes again.
    IContainerUI* pContainer =
        pParent != nullptr ? static_cast<IContainerUI*>(pParent->GetInterface(L"IContainer")) : nullptr;
    const int nBefore = pContainer != nullptr ? pContainer->GetCount() : 0;
    CControlUI* pReturn = _Parse(&root, pParent, pManager, DepthOf(pParent));
    if (!m_ownState.bTooDeep) return pReturn;
    if (pContainer != nullptr) {
        while (pContainer->GetCount() > nBefore) pContainer->RemoveAt(pContainer->GetCount() - 1);
    } else {
        delete pReturn;
    }
    return nullptr;
}

// ---- Shared resources ---------------------------------------------------------

void CDialogBuilder::ApplyResources(CMarkupNode& root, CPaintManagerUI* pManager)
{
    for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        LPCTSTR pstrClass = node.GetName();
        const int nAttributes = node.GetAttributeCount();
        if (Is(pstrClass, L"Image")) {
            LPCTSTR pImageName = nullptr;
            LPCTSTR pImageResType = nullptr;
            DWORD mask = 0;
            bool shared = false;
            for (int i = 0; i < nAttributes; i++) {
                LPCTSTR pstrName = node.GetAttributeName(i);
                LPCTSTR pstrValue = node.GetAttributeValue(i);
                if (Is(pstrName, L"name"))
                    pImageName = pstrValue;
                else if (Is(pstrName, L"restype"))
                    pImageResType = pstrValue;
                else if (Is(pstrName, L"mask"))
                    mask = ParseColor(pstrValue);
                else if (Is(pstrName, L"shared"))
                    shared = ParseBool(pstrValue);
            }
            if (pImageName != nullptr)
                pManager->AddImage(pImageName, pImageResType, mask, false, shared, nullptr);
        } else if (Is(pstrClass, L"Font")) {
            int id = -1;
            LPCTSTR pFontName = L"";
            int size = 12;
            bool bold = false, underline = false, italic = false, defaultfont = false, shared = false;
            for (int i = 0; i < nAttributes; i++) {
                LPCTSTR pstrName = node.GetAttributeName(i);
                LPCTSTR pstrValue = node.GetAttributeValue(i);
                if (Is(pstrName, L"id"))
                    id = ParseInt(pstrValue);
                else if (Is(pstrName, L"name"))
                    pFontName = pstrValue;
                else if (Is(pstrName, L"size"))
                    size = ParseInt(pstrValue);
                else if (Is(pstrName, L"bold"))
                    bold = ParseBool(pstrValue);
                else if (Is(pstrName, L"underline"))
                    underline = ParseBool(pstrValue);
                else if (Is(pstrName, L"italic"))
                    italic = ParseBool(pstrValue);
                else if (Is(pstrName, L"default"))
                    defaultfont = ParseBool(pstrValue);
                else if (Is(pstrName, L"shared"))
                    shared = ParseBool(pstrValue);
            }
            if (id >= 0) {
                pManager->AddFont(id, pFontName, size, bold, underline, italic, shared);
                if (defaultfont) pManager->SetDefaultFont(pFontName, size, bold, underline, italic, shared);
            }
        } else if (Is(pstrClass, L"Default") || Is(pstrClass, L"Style")) {
            LPCTSTR pName = nullptr;
            LPCTSTR pValue = nullptr;
            bool shared = false;
            for (int i = 0; i < nAttributes; i++) {
                LPCTSTR pstrName = node.GetAttributeName(i);
                LPCTSTR pstrValue = node.GetAttributeValue(i);
                if (Is(pstrName, L"name"))
                    pName = pstrValue;
                else if (Is(pstrName, L"value"))
                    pValue = pstrValue;
                else if (Is(pstrName, L"shared"))
                    shared = ParseBool(pstrValue);
            }
            if (pName == nullptr) continue;
            if (pValue == nullptr) pValue = L"";
            if (Is(pstrClass, L"Default"))
                pManager->AddDefaultAttributeList(pName, pValue, shared);
            else
                pManager->AddStyle(pName, pValue, shared);
        }
    }
}

// ---- Window attributes ----------------------------------------------------------

// Names match ignoring case, except "layeredopacity", "layered" and
// "bktrans", which must be written exactly so.
void CDialogBuilder::ApplyWindowAttributes(CMarkupNode& root, CPaintManagerUI* pManager)
{
    CShadowUI* pShadow = pManager->GetShadow();
    const int nAttributes = root.GetAttributeCount();
    for (int i = 0; i < nAttributes; i++) {
        LPCTSTR pstrName = root.GetAttributeName(i);
        LPCTSTR pstrValue = root.GetAttributeValue(i);
        if (Is(pstrName, L"size")) {
            const SIZE sz = ParseSize(pstrValue);
            pManager->SetInitSize(sz.cx, sz.cy);
        } else if (Is(pstrName, L"sizebox")) {
            RECT rc = ParseRect(pstrValue);
            pManager->SetSizeBox(rc);
        } else if (Is(pstrName, L"caption")) {
            RECT rc = ParseRect(pstrValue);
            pManager->SetCaptionRect(rc);
        } else if (Is(pstrName, L"roundcorner")) {
            const SIZE sz = ParseSize(pstrValue);
            pManager->SetRoundCorner(sz.cx, sz.cy);
        } else if (Is(pstrName, L"mininfo")) {
            const SIZE sz = ParseSize(pstrValue);
            pManager->SetMinInfo(sz.cx, sz.cy);
        } else if (Is(pstrName, L"maxinfo")) {
            const SIZE sz = ParseSize(pstrValue);
            pManager->SetMaxInfo(sz.cx, sz.cy);
        } else if (Is(pstrName, L"showdirty")) {
            pManager->SetShowUpdateRect(ParseBool(pstrValue));
        } else if (Is(pstrName, L"opacity") || Is(pstrName, L"alpha")) {
            pManager->SetOpacity(static_cast<BYTE>(ParseInt(pstrValue) & 0xFF));
        } else if (wcscmp(pstrName, L"layeredopacity") == 0) {
            pManager->SetLayeredOpacity(static_cast<BYTE>(ParseInt(pstrValue) & 0xFF));
        } else if (wcscmp(pstrName, L"layered") == 0 || wcscmp(pstrName, L"bktrans") == 0) {
            pManager->SetLayered(ParseBool(pstrValue));
        } else if (Is(pstrName, L"disabledfontcolor")) {
            pManager->SetDefaultDisabledColor(ParseColor(pstrValue), false);
        } else if (Is(pstrName, L"defaultfontcolor")) {
            pManager->SetDefaultFontColor(ParseColor(pstrValue), false);
        } else if (Is(pstrName, L"linkfontcolor")) {
            pManager->SetDefaultLinkFontColor(ParseColor(pstrValue), false);
        } else if (Is(pstrName, L"linkhoverfontcolor")) {
            pManager->SetDefaultLinkHoverFontColor(ParseColor(pstrValue), false);
        } else if (Is(pstrName, L"selectedcolor")) {
            pManager->SetDefaultSelectedBkColor(ParseColor(pstrValue), false);
        } else if (Is(pstrName, L"focuscuecolor")) {
            pManager->SetFocusCueColor(ParseColor(pstrValue));
        } else if (Is(pstrName, L"shadowsize")) {
            pShadow->SetSize(ParseInt(pstrValue));
        } else if (Is(pstrName, L"shadowsharpness")) {
            pShadow->SetSharpness(ParseInt(pstrValue));
        } else if (Is(pstrName, L"shadowdarkness")) {
            pShadow->SetDarkness(ParseInt(pstrValue));
        } else if (Is(pstrName, L"shadowposition")) {
            const SIZE sz = ParseSize(pstrValue);
            pShadow->SetPosition(sz.cx, sz.cy);
        } else if (Is(pstrName, L"shadowcolor")) {
            pShadow->SetColor(ParseColor(pstrValue));
        } else if (Is(pstrName, L"shadowcorner")) {
            RECT rc = ParseRect(pstrValue);
            pShadow->SetShadowCorner(rc);
        } else if (Is(pstrName, L"shadowimage")) {
            pShadow->SetImage(pstrValue);
        } else if (Is(pstrName, L"showshadow")) {
            pShadow->ShowShadow(ParseBool(pstrValue));
        } else if (Is(pstrName, L"gdiplustext")) {
            pManager->SetUseGdiplusText(ParseBool(pstrValue));
        } else if (Is(pstrName, L"textrenderinghint")) {
            pManager->SetGdiplusTextRenderingHint(ParseInt(pstrValue));
        }
    }
}

// ---- Element lists and includes ---------------------------------------------------

CControlUI* CDialogBuilder::MakeControl(LPCTSTR pstrClass)
{
    CUIString sClassName = CUIString(L"C") + pstrClass + L"UI";
    CControlUI* pControl = CControlFactory::GetInstance()->CreateControl(sClassName);
    if (pControl != nullptr) return pControl;

    CStdPtrArray* pPlugins = CPaintManagerUI::GetPlugins();
    for (int i = 0; pControl == nullptr && i < pPlugins->GetSize(); i++) {
        LPCREATECONTROL lpCreateControl = reinterpret_cast<LPCREATECONTROL>(pPlugins->GetAt(i));
        if (lpCreateControl != nullptr) pControl = lpCreateControl(pstrClass);
    }
    if (pControl == nullptr && m_pCallback != nullptr) pControl = m_pCallback->CreateControl(pstrClass);
    return pControl;
}

void CDialogBuilder::BuildInclude(CMarkupNode& node, CControlUI* pParent, CPaintManagerUI* pManager,
                                  int nDepth)
{
    if (!node.HasAttributes()) return;
    // Both values are read to at most 499 characters: the last one of the
    // buffer is never written and keeps the terminator.
    const DWORD kValueChars = 500;
    TCHAR szValue[kValueChars] = {0};
    int count = 1;
    if (node.GetAttributeValue(L"count", szValue, kValueChars - 1)) count = _wtoi(szValue);
    szValue[0] = L'\0';
    if (!node.GetAttributeValue(L"source", szValue, kValueChars - 1)) return;
    if (m_nIncludeDepth >= kMaxIncludeDepth) return;

    for (int i = 0; i < count && m_pState->nIncludeBuilds < kMaxIncludeBuilds && !m_pState->bTooDeep; i++) {
        ++m_pState->nIncludeBuilds;
        CDialogBuilder builder;
        builder.m_instance = m_instance;
        builder.m_nIncludeDepth = m_nIncludeDepth + 1;
        builder.m_nIncludeParentDepth = nDepth;
        builder.m_pState = m_pState;
        if (m_pstrType != nullptr) {
            const UINT nID = static_cast<UINT>(_wtoi(szValue)) & 0xFFFF;
            builder.Create(STRINGorID(nID), m_pstrType, m_pCallback, pManager, pParent);
        } else {
            builder.Create(STRINGorID(szValue), nullptr, m_pCallback, pManager, pParent);
        }
    }
}

// Once the tree has grown too deep (here or in an included document), every
// list stops: the control being built is deleted with what it holds, and the
// top-level Create takes back what reached the caller's parent.
CControlUI* CDialogBuilder::_Parse(CMarkupNode* pRoot, CControlUI* pParent, CPaintManagerUI* pManager,
                                   int nDepth)
{
    IContainerUI* pContainer = nullptr;
    bool bContainerLooked = false;
    CControlUI* pReturn = nullptr;

    for (CMarkupNode node = pRoot->GetChild(); node.IsValid() && !m_pState->bTooDeep;
         node = node.GetSibling()) {
        LPCTSTR pstrClass = node.GetName();
        if (Is(pstrClass, L"Image") || Is(pstrClass, L"Font") || Is(pstrClass, L"Default") ||
            Is(pstrClass, L"Style")) {
            continue;
        }
        if (Is(pstrClass, L"Include")) {
            BuildInclude(node, pParent, pManager, nDepth);
            continue;
        }
        if (nDepth >= kMaxTreeDepth) {
            m_pState->bTooDeep = true;
            m_pState->sTooDeepAt = pstrClass;
            break;
        }

        CControlUI* pControl = MakeControl(pstrClass);
        if (pControl == nullptr) continue;

        if (node.HasChildren()) _Parse(&node, pControl, pManager, nDepth + 1);
        if (m_pState->bTooDeep) {
            delete pControl;
            break;
        }

        // This build has no tree views or tree nodes, so every parent is
        // reached through its container interface.
        if (pParent != nullptr) {
            if (!bContainerLooked) {
                pContainer = static_cast<IContainerUI*>(pParent->GetInterface(L"IContainer"));
                bContainerLooked = true;
            }
            if (pContainer == nullptr) {
                delete pControl;
                return nullptr;
            }
            if (!pContainer->Add(pControl)) {
                delete pControl;
                continue;
            }
        }

        if (pManager != nullptr) {
            pControl->SetManager(pManager, nullptr, false);
            LPCTSTR pDefaultAttributes = pManager->GetDefaultAttributeList(pstrClass);
            if (pDefaultAttributes != nullptr) pControl->ApplyAttributeList(pDefaultAttributes);
        }
        const int nAttributes = node.GetAttributeCount();
        for (int i = 0; i < nAttributes; i++)
            pControl->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
        if (pManager != nullptr) pControl->SetManager(nullptr, nullptr, false);

        if (pReturn == nullptr) pReturn = pControl;
    }
    return pReturn;
}

}  // namespace SkinUI
