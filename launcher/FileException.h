#pragma once
// CFileException: what CFile throws when the file API fails.

#include <windows.h>

namespace Launcher {

// Thrown by CFile; carries the Windows error code.
class CFileException
{
public:
    explicit CFileException(DWORD error) : m_lOsError(error) {}
    DWORD m_lOsError;
};

}  // namespace Launcher
