#pragma once
// CInternetException: what the internet classes (CInternetSession, CHttpFile)
// throw when WinINet fails.

#include <windows.h>

namespace Launcher {

// Thrown by the internet classes; carries the Windows (WinINet) error code.
class CInternetException
{
public:
    CInternetException(DWORD_PTR context, DWORD error) : m_dwContext(context), m_dwError(error) {}
    DWORD_PTR m_dwContext;
    DWORD m_dwError;
};

}  // namespace Launcher
