#pragma once
// CMarkupNode: a small value handle on one element of a CMarkup document.
// It stays usable while its document keeps the same text; attributes are
// mapped on the first attribute query of each handle (at most 64 visible).

#include <windows.h>

namespace SkinUI {

class CMarkup;

class CMarkupNode
{
    friend class CMarkup;

private:
    CMarkupNode();
    CMarkupNode(CMarkup* pOwner, int iPos);

public:
    bool IsValid() const;

    CMarkupNode GetParent();
    CMarkupNode GetSibling();
    CMarkupNode GetChild();
    CMarkupNode GetChild(LPCTSTR pstrName);

    bool HasSiblings() const;
    bool HasChildren() const;
    LPCTSTR GetName() const;
    LPCTSTR GetValue() const;

    bool HasAttributes();
    bool HasAttribute(LPCTSTR pstrName);
    int GetAttributeCount();
    LPCTSTR GetAttributeName(int iIndex);
    LPCTSTR GetAttributeValue(int iIndex);
    LPCTSTR GetAttributeValue(LPCTSTR pstrName);
    bool GetAttributeValue(int iIndex, LPTSTR pstrValue, SIZE_T cchMax);
    bool GetAttributeValue(LPCTSTR pstrName, LPTSTR pstrValue, SIZE_T cchMax);

    enum
    {
        MAX_XML_ATTRIBUTES = 64
    };

private:
    void _MapAttributes();
    // The node of the owner's element at iPos; an invalid node for 0, the
    // index the element table uses for "none".
    CMarkupNode _NodeAt(ULONG iPos) const;

    typedef struct
    {
        ULONG iName;
        ULONG iValue;
    } XMLATTRIBUTE;

    int m_iPos;
    int m_nAttributes;
    XMLATTRIBUTE m_aAttributes[MAX_XML_ATTRIBUTES];
    CMarkup* m_pOwner;
};

}  // namespace SkinUI
