#include "skinui/markup/MarkupNode.h"

#include "skinui/markup/Markup.h"

#include <wchar.h>

namespace SkinUI {

CMarkupNode::CMarkupNode() : m_iPos(0), m_nAttributes(0), m_pOwner(nullptr) {}

CMarkupNode::CMarkupNode(CMarkup* pOwner, int iPos) : m_iPos(iPos), m_nAttributes(0), m_pOwner(pOwner) {}

// A handle whose document was released no longer reaches into freed memory.
bool CMarkupNode::IsValid() const
{
    return m_pOwner != nullptr && m_pOwner->m_pElements != nullptr && m_iPos > 0 &&
        (ULONG)m_iPos < m_pOwner->m_nElements;
}

CMarkupNode CMarkupNode::_NodeAt(ULONG iPos) const
{
    if (iPos == 0) return CMarkupNode();
    return CMarkupNode(m_pOwner, (int)iPos);
}

CMarkupNode CMarkupNode::GetSibling()
{
    if (!IsValid()) return CMarkupNode();
    return _NodeAt(m_pOwner->m_pElements[m_iPos].iNext);
}

bool CMarkupNode::HasSiblings() const
{
    if (!IsValid()) return false;
    return m_pOwner->m_pElements[m_iPos].iNext > 0;
}

CMarkupNode CMarkupNode::GetChild()
{
    if (!IsValid()) return CMarkupNode();
    return _NodeAt(m_pOwner->m_pElements[m_iPos].iChild);
}

CMarkupNode CMarkupNode::GetChild(LPCTSTR pstrName)
{
    if (!IsValid() || pstrName == nullptr) return CMarkupNode();
    ULONG iPos = m_pOwner->m_pElements[m_iPos].iChild;
    while (iPos != 0) {
        if (_wcsicmp(m_pOwner->m_pstrXML + m_pOwner->m_pElements[iPos].iStart, pstrName) == 0) {
            return CMarkupNode(m_pOwner, (int)iPos);
        }
        iPos = m_pOwner->m_pElements[iPos].iNext;
    }
    return CMarkupNode();
}

bool CMarkupNode::HasChildren() const
{
    if (!IsValid()) return false;
    return m_pOwner->m_pElements[m_iPos].iChild != 0;
}

CMarkupNode CMarkupNode::GetParent()
{
    if (!IsValid()) return CMarkupNode();
    return _NodeAt(m_pOwner->m_pElements[m_iPos].iParent);
}

LPCTSTR CMarkupNode::GetName() const
{
    if (!IsValid()) return nullptr;
    return m_pOwner->m_pstrXML + m_pOwner->m_pElements[m_iPos].iStart;
}

LPCTSTR CMarkupNode::GetValue() const
{
    if (!IsValid()) return nullptr;
    return m_pOwner->m_pstrXML + m_pOwner->m_pElements[m_iPos].iData;
}

LPCTSTR CMarkupNode::GetAttributeName(int iIndex)
{
    if (!IsValid()) return nullptr;
    if (m_nAttributes == 0) _MapAttributes();
    if (iIndex < 0 || iIndex >= m_nAttributes) return L"";
    return m_pOwner->m_pstrXML + m_aAttributes[iIndex].iName;
}

LPCTSTR CMarkupNode::GetAttributeValue(int iIndex)
{
    if (!IsValid()) return nullptr;
    if (m_nAttributes == 0) _MapAttributes();
    if (iIndex < 0 || iIndex >= m_nAttributes) return L"";
    return m_pOwner->m_pstrXML + m_aAttributes[iIndex].iValue;
}

LPCTSTR CMarkupNode::GetAttributeValue(LPCTSTR pstrName)
{
    if (!IsValid()) return nullptr;
    if (m_nAttributes == 0) _MapAttributes();
    if (pstrName == nullptr) return L"";
    for (int i = 0; i < m_nAttributes; i++) {
        if (_wcsicmp(m_pOwner->m_pstrXML + m_aAttributes[i].iName, pstrName) == 0) {
            return m_pOwner->m_pstrXML + m_aAttributes[i].iValue;
        }
    }
    return L"";
}

bool CMarkupNode::GetAttributeValue(int iIndex, LPTSTR pstrValue, SIZE_T cchMax)
{
    if (!IsValid() || pstrValue == nullptr) return false;
    if (m_nAttributes == 0) _MapAttributes();
    if (iIndex < 0 || iIndex >= m_nAttributes) return false;
    wcsncpy(pstrValue, m_pOwner->m_pstrXML + m_aAttributes[iIndex].iValue, cchMax);
    return true;
}

bool CMarkupNode::GetAttributeValue(LPCTSTR pstrName, LPTSTR pstrValue, SIZE_T cchMax)
{
    if (!IsValid() || pstrValue == nullptr || pstrName == nullptr) return false;
    if (m_nAttributes == 0) _MapAttributes();
    for (int i = 0; i < m_nAttributes; i++) {
        if (_wcsicmp(m_pOwner->m_pstrXML + m_aAttributes[i].iName, pstrName) == 0) {
            wcsncpy(pstrValue, m_pOwner->m_pstrXML + m_aAttributes[i].iValue, cchMax);
            return true;
        }
    }
    return false;
}

int CMarkupNode::GetAttributeCount()
{
    if (!IsValid()) return 0;
    if (m_nAttributes == 0) _MapAttributes();
    return m_nAttributes;
}

bool CMarkupNode::HasAttributes()
{
    return GetAttributeCount() > 0;
}

bool CMarkupNode::HasAttribute(LPCTSTR pstrName)
{
    if (!IsValid() || pstrName == nullptr) return false;
    if (m_nAttributes == 0) _MapAttributes();
    for (int i = 0; i < m_nAttributes; i++) {
        if (_wcsicmp(m_pOwner->m_pstrXML + m_aAttributes[i].iName, pstrName) == 0) return true;
    }
    return false;
}

// Walks the NUL-terminated pieces the parser left between the element name
// and its data: name, then pairs of attribute name and quoted value. Every
// step is checked against the data offset, so a tag that ends in '>' right
// at the end of the document is never read beyond.
void CMarkupNode::_MapAttributes()
{
    m_nAttributes = 0;
    LPCTSTR pstrXML = m_pOwner->m_pstrXML;
    LPCTSTR pstr = pstrXML + m_pOwner->m_pElements[m_iPos].iStart;
    LPCTSTR pstrEnd = pstrXML + m_pOwner->m_pElements[m_iPos].iData;
    pstr += wcslen(pstr) + 1;
    while (m_nAttributes < MAX_XML_ATTRIBUTES) {
        while (pstr<pstrEnd&& * pstr> 0 && *pstr <= 32) ++pstr;
        if (pstr >= pstrEnd || *pstr == L'>' || *pstr == L'/') return;
        const ULONG iName = (ULONG)(pstr - pstrXML);
        pstr += wcslen(pstr) + 1;
        while (pstr<pstrEnd&& * pstr> 0 && *pstr <= 32) ++pstr;
        if (pstr >= pstrEnd || *pstr != L'"') return;
        ++pstr;
        m_aAttributes[m_nAttributes].iName = iName;
        m_aAttributes[m_nAttributes].iValue = (ULONG)(pstr - pstrXML);
        ++m_nAttributes;
        pstr += wcslen(pstr) + 1;
    }
}

}  // namespace SkinUI
