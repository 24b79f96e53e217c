#pragma once
// CWaitCursor: shows the system wait cursor for the lifetime of the object
// and puts the previous cursor back afterwards.

#include <windows.h>

namespace SkinUI {

class CWaitCursor
{
public:
    CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    ~CWaitCursor();

protected:
    HCURSOR m_hOrigCursor;
};

}  // namespace SkinUI
