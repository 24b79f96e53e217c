#pragma once
// CResourceManager: the process-wide table of short ids for image and XML
// paths, the texts of controls that show resource text, and the current
// language name.

#include "skinui/core/STRINGorID.h"
#include "skinui/core/StdStringPtrMap.h"
#include "skinui/core/UIString.h"
#include "skinui/markup/Markup.h"

#include <windows.h>

namespace SkinUI {

// Supplies texts the text table does not hold; either argument may be null.
class IQueryControlText
{
public:
    virtual LPCTSTR QueryControlText(LPCTSTR lpstrId, LPCTSTR lpstrType) = 0;

protected:
    ~IQueryControlText() {}
};

class CResourceManager
{
public:
    // Created on the first call (safe against two threads calling at once);
    // must not be called after Release().
    static CResourceManager* GetInstance();
    void Release();

    // A resource document: an integer id (a module resource of that type), a
    // text starting with '<', or a file name in the resource folder or the
    // skin package. Registers its Image and Xml ids; the first one of an id wins.
    bool LoadResource(STRINGorID xml, LPCTSTR type = nullptr);
    bool LoadResource(CMarkupNode Root);
    void ResetResourceMap();
    LPCTSTR GetImagePath(LPCTSTR lpstrId);
    LPCTSTR GetXmlPath(LPCTSTR lpstrId);

    void SetLanguage(LPCTSTR pstrLanguage) { m_sLanguage = pstrLanguage; }
    LPCTSTR GetLanguage() { return m_sLanguage; }
    // Text elements (id, value) of an XML text or file; overwrites stored texts.
    bool LoadLanguage(LPCTSTR pstrXml);

    void SetTextQueryInterface(IQueryControlText* pInterface) { m_pQueryInterface = pInterface; }
    // The stored text, else the query interface's answer (then stored), else the id.
    CUIString GetText(LPCTSTR lpstrId, LPCTSTR lpstrType = nullptr);
    void ReloadText();
    void ResetTextMap();

private:
    CResourceManager();
    ~CResourceManager();
    CResourceManager(const CResourceManager&) = delete;
    CResourceManager& operator=(const CResourceManager&) = delete;

    static void StorePath(CStdStringPtrMap& map, CMarkupNode& node);

    CStdStringPtrMap m_mTextResourceHashMap;
    IQueryControlText* m_pQueryInterface;
    CStdStringPtrMap m_mImageHashMap;
    CStdStringPtrMap m_mXmlHashMap;
    CMarkup m_xml;
    CUIString m_sLanguage;
};

}  // namespace SkinUI
