#pragma once
// A thin layer over the Win32 file API with the operations the download uses.
// The constructor, Write and Close throw CFileException on failure.

#include "launcher/FileException.h"

#include <windows.h>

namespace Launcher {

class CFile
{
public:
    enum OpenFlags : UINT
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,  // create, or truncate an existing file
    };

    // Opens lpszFileName without sharing. modeCreate|modeWrite (0x1001)
    // creates or truncates it for writing; without modeCreate it must exist.
    CFile(LPCWSTR lpszFileName, UINT nOpenFlags);
    // Closes a file still open, without throwing.
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Writes all nCount bytes; a short write throws (ERROR_DISK_FULL).
    void Write(const void* lpBuf, UINT nCount);
    void Close();

    HANDLE m_hFile;
};

}  // namespace Launcher
