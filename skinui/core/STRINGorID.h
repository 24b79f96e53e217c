#pragma once
// STRINGorID: an argument that is either a NUL-terminated string or a resource
// identifier in MAKEINTRESOURCE form. A value not above 0xFFFF is an identifier.

#include <windows.h>

namespace SkinUI {

class STRINGorID
{
public:
    STRINGorID(LPCTSTR lpString) : m_lpstr(lpString) {}
    STRINGorID(UINT nID) : m_lpstr(MAKEINTRESOURCE(nID & 0xFFFF)) {}

    bool IsResourceId() const { return IS_INTRESOURCE(m_lpstr); }

    LPCTSTR m_lpstr;
};

}  // namespace SkinUI
