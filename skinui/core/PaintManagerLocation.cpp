#include "skinui/core/PaintManager.h"

#include "skinui/resource/SkinPackage.h"

// Where skin files come from: modules, resource folder, skin package. The
// package named "membuffer" is a block of memory given by the application.

namespace SkinUI {

namespace {
const wchar_t kMemoryPackage[] = L"membuffer";
}

HINSTANCE CPaintManagerUI::m_hInstance = nullptr;
HINSTANCE CPaintManagerUI::m_hResourceInstance = nullptr;
CUIString CPaintManagerUI::m_pStrResourcePath;
CUIString CPaintManagerUI::m_pStrResourceZip;
bool CPaintManagerUI::m_bCachedResourceZip = true;
HANDLE CPaintManagerUI::m_hResourceZip = nullptr;
int CPaintManagerUI::m_nResType = 1;

void CPaintManagerUI::SetInstance(HINSTANCE hInst)
{
    m_hInstance = hInst;
}

HINSTANCE CPaintManagerUI::GetInstance()
{
    return m_hInstance;
}

// The module's folder with its trailing backslash; empty without a module.
CUIString CPaintManagerUI::GetInstancePath()
{
    if (m_hInstance == nullptr) return CUIString();
    wchar_t szModule[MAX_PATH + 1] = {0};
    ::GetModuleFileNameW(m_hInstance, szModule, MAX_PATH);
    CUIString sPath(szModule);
    const int iPos = sPath.ReverseFind(L'\\');
    if (iPos >= 0) sPath.Assign(szModule, iPos + 1);
    return sPath;
}

CUIString CPaintManagerUI::GetCurrentPath()
{
    wchar_t szPath[MAX_PATH + 1] = {0};
    ::GetCurrentDirectoryW(MAX_PATH, szPath);
    return CUIString(szPath);
}

void CPaintManagerUI::SetCurrentPath(LPCTSTR pStrPath)
{
    ::SetCurrentDirectoryW(pStrPath);
}

void CPaintManagerUI::SetResourceDll(HINSTANCE hInst)
{
    m_hResourceInstance = hInst;
}

HINSTANCE CPaintManagerUI::GetResourceDll()
{
    return m_hResourceInstance != nullptr ? m_hResourceInstance : m_hInstance;
}

void CPaintManagerUI::SetResourcePath(LPCTSTR pStrPath)
{
    m_pStrResourcePath = pStrPath;
    const int nLen = m_pStrResourcePath.GetLength();
    if (nLen == 0) return;
    const TCHAR chLast = m_pStrResourcePath[nLen - 1];
    if (chLast != L'\\' && chLast != L'/') m_pStrResourcePath += L'\\';
}

const CUIString& CPaintManagerUI::GetResourcePath()
{
    return m_pStrResourcePath;
}

void CPaintManagerUI::SetResourceZip(LPCTSTR pstrZip, bool bCachedResourceZip)
{
    if (m_pStrResourceZip == pstrZip && m_bCachedResourceZip == bCachedResourceZip) return;
    if (m_bCachedResourceZip && m_hResourceZip != nullptr) {
        SkinPackageClose(m_hResourceZip);
        m_hResourceZip = nullptr;
    }
    m_pStrResourceZip = pstrZip;
    m_bCachedResourceZip = bCachedResourceZip;
    if (m_bCachedResourceZip) {
        const CUIString sFile = m_pStrResourcePath + m_pStrResourceZip;
        m_hResourceZip = SkinPackageOpen(sFile.GetData(), 0, SKINPKG_FILENAME);
    }
}

// The block is read in place: the caller keeps it valid while it is used.
void CPaintManagerUI::SetResourceZip(LPVOID pVoid, unsigned int len)
{
    if (m_pStrResourceZip == kMemoryPackage) return;
    if (m_bCachedResourceZip && m_hResourceZip != nullptr) {
        SkinPackageClose(m_hResourceZip);
        m_hResourceZip = nullptr;
    }
    m_pStrResourceZip = kMemoryPackage;
    if (m_bCachedResourceZip) m_hResourceZip = SkinPackageOpen(pVoid, len, SKINPKG_MEMORY);
}

const CUIString& CPaintManagerUI::GetResourceZip()
{
    return m_pStrResourceZip;
}

bool CPaintManagerUI::IsCachedResourceZip()
{
    return m_bCachedResourceZip;
}

HANDLE CPaintManagerUI::GetResourceZipHandle()
{
    return m_hResourceZip;
}

HANDLE CPaintManagerUI::OpenResourceZip(bool& bOwn)
{
    HANDLE hPackage = m_bCachedResourceZip ? m_hResourceZip : nullptr;
    bOwn = hPackage == nullptr;
    if (bOwn) {
        const CUIString sZip = m_pStrResourcePath + m_pStrResourceZip;
        hPackage = SkinPackageOpen(sZip.GetData(), 0, SKINPKG_FILENAME);
    }
    return hPackage;
}

void CPaintManagerUI::SetResourceType(int nType)
{
    m_nResType = nType;
}

int CPaintManagerUI::GetResourceType()
{
    return m_nResType;
}

void CPaintManagerUI::Term()
{
    if (m_bCachedResourceZip && m_hResourceZip != nullptr) {
        SkinPackageClose(m_hResourceZip);
        m_hResourceZip = nullptr;
    }
}

}  // namespace SkinUI
