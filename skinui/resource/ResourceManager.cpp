#include "skinui/resource/ResourceManager.h"

#include "skinui/core/PaintManager.h"
#include "skinui/core/StringTable.h"
#include "skinui/resource/ModuleResource.h"

#include <stdlib.h>
#include <string.h>

#include <mutex>
#include <new>

// Sections: the instance, resource documents (image and XML ids), language
// texts.

namespace SkinUI {

namespace {

std::mutex g_instanceLock;
CResourceManager* g_pInstance = nullptr;

// The value of the last attribute called pstrName (ignoring case), or null.
LPCTSTR LastAttribute(CMarkupNode& node, LPCTSTR pstrName)
{
    LPCTSTR pstrValue = nullptr;
    const int nCount = node.GetAttributeCount();
    for (int i = 0; i < nCount; ++i) {
        if (_wcsicmp(node.GetAttributeName(i), pstrName) == 0) pstrValue = node.GetAttributeValue(i);
    }
    return pstrValue;
}

}  // namespace

// ---- The instance ------------------------------------------------------------------
CResourceManager* CResourceManager::GetInstance()
{
    std::lock_guard<std::mutex> lock(g_instanceLock);
    if (g_pInstance == nullptr) g_pInstance = new (std::nothrow) CResourceManager;
    return g_pInstance;
}

void CResourceManager::Release()
{
    std::lock_guard<std::mutex> lock(g_instanceLock);
    if (g_pInstance == this) g_pInstance = nullptr;
    delete this;
}

CResourceManager::CResourceManager() : m_pQueryInterface(nullptr) {}

CResourceManager::~CResourceManager()
{
    ResetTextMap();
    ResetResourceMap();
}

// ---- Resource documents ------------------------------------------------------------
bool CResourceManager::LoadResource(STRINGorID xml, LPCTSTR type)
{
    if (xml.IsResourceId()) {
        // The parser may write into its input: it gets a copy.
        DWORD dwSize = 0;
        BYTE* pCopy =
            CopyModuleResource(CPaintManagerUI::GetResourceDll(), xml.m_lpstr, type, MAXDWORD, &dwSize);
        if (pCopy == nullptr) return false;
        const bool bLoaded = m_xml.LoadFromMem(pCopy, dwSize);
        free(pCopy);
        if (!bLoaded) return false;
    } else if (xml.m_lpstr == nullptr) {
        return false;
    } else if (*xml.m_lpstr == L'<') {
        if (!m_xml.Load(xml.m_lpstr)) return false;
    } else if (!m_xml.LoadFromFile(xml.m_lpstr)) {
        return false;
    }
    return LoadResource(m_xml.GetRoot());
}

void CResourceManager::StorePath(CStdStringPtrMap& map, CMarkupNode& node)
{
    LPCTSTR pstrId = LastAttribute(node, L"id");
    LPCTSTR pstrPath = LastAttribute(node, L"path");
    if (pstrId == nullptr || pstrPath == nullptr || map.Find(pstrId) != nullptr) return;
    CUIString* pPath = new (std::nothrow) CUIString(pstrPath);
    if (pPath != nullptr && !map.Insert(pstrId, pPath)) delete pPath;
}

bool CResourceManager::LoadResource(CMarkupNode Root)
{
    if (!Root.IsValid()) return false;
    for (CMarkupNode node = Root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        if (node.HasChildren()) {
            LoadResource(node);
            continue;
        }
        LPCTSTR pstrClass = node.GetName();
        if (!node.HasAttributes()) continue;
        if (_wcsicmp(pstrClass, L"Image") == 0)
            StorePath(m_mImageHashMap, node);
        else if (_wcsicmp(pstrClass, L"Xml") == 0)
            StorePath(m_mXmlHashMap, node);
    }
    return true;
}

LPCTSTR CResourceManager::GetImagePath(LPCTSTR lpstrId)
{
    const CUIString* pPath = static_cast<CUIString*>(m_mImageHashMap.Find(lpstrId));
    return pPath != nullptr ? pPath->GetData() : nullptr;
}

LPCTSTR CResourceManager::GetXmlPath(LPCTSTR lpstrId)
{
    const CUIString* pPath = static_cast<CUIString*>(m_mXmlHashMap.Find(lpstrId));
    return pPath != nullptr ? pPath->GetData() : nullptr;
}

void CResourceManager::ResetResourceMap()
{
    FreeTableStrings(m_mImageHashMap);
    FreeTableStrings(m_mXmlHashMap);
}

// ---- Language texts ------------------------------------------------------------------
bool CResourceManager::LoadLanguage(LPCTSTR pstrXml)
{
    if (pstrXml == nullptr) return false;
    CMarkup xml;
    const bool bLoaded = *pstrXml == L'<' ? xml.Load(pstrXml) : xml.LoadFromFile(pstrXml);
    if (!bLoaded) return false;
    CMarkupNode root = xml.GetRoot();
    for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        if (_wcsicmp(node.GetName(), L"Text") != 0 || !node.HasAttributes()) continue;
        LPCTSTR pstrId = LastAttribute(node, L"id");
        LPCTSTR pstrValue = LastAttribute(node, L"value");
        if (pstrId == nullptr || pstrValue == nullptr) continue;
        CUIString* pText = static_cast<CUIString*>(m_mTextResourceHashMap.Find(pstrId));
        if (pText != nullptr) {
            *pText = pstrValue;
            continue;
        }
        pText = new (std::nothrow) CUIString(pstrValue);
        if (pText != nullptr && !m_mTextResourceHashMap.Insert(pstrId, pText)) delete pText;
    }
    return true;
}

CUIString CResourceManager::GetText(LPCTSTR lpstrId, LPCTSTR lpstrType)
{
    if (lpstrId == nullptr) return CUIString();
    CUIString* pText = static_cast<CUIString*>(m_mTextResourceHashMap.Find(lpstrId));
    if (pText == nullptr && m_pQueryInterface != nullptr) {
        LPCTSTR pstrAnswer = m_pQueryInterface->QueryControlText(lpstrId, lpstrType);
        const CUIString sAnswer(pstrAnswer != nullptr ? pstrAnswer : L"");
        pText = new (std::nothrow) CUIString(sAnswer);
        if (pText == nullptr || !m_mTextResourceHashMap.Insert(lpstrId, pText)) {
            delete pText;
            return sAnswer;
        }
    }
    return pText != nullptr ? *pText : CUIString(lpstrId);
}

void CResourceManager::ReloadText()
{
    if (m_pQueryInterface == nullptr) return;
    for (int i = 0; i < m_mTextResourceHashMap.GetSize(); ++i) {
        LPCTSTR key = m_mTextResourceHashMap.GetAt(i);
        if (key == nullptr) continue;
        LPCTSTR pstrAnswer = m_pQueryInterface->QueryControlText(key, nullptr);
        if (pstrAnswer == nullptr) continue;
        CUIString* pText = static_cast<CUIString*>(m_mTextResourceHashMap.Find(key, false));
        if (pText != nullptr) *pText = pstrAnswer;
    }
}

void CResourceManager::ResetTextMap()
{
    FreeTableStrings(m_mTextResourceHashMap);
}

}  // namespace SkinUI
