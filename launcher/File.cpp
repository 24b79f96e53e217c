#include "launcher/File.h"

namespace Launcher {

CFile::CFile(LPCWSTR lpszFileName, UINT nOpenFlags) : m_hFile(INVALID_HANDLE_VALUE)
{
    DWORD access = GENERIC_READ;
    if (nOpenFlags & modeWrite) access = GENERIC_WRITE;
    if (nOpenFlags & modeReadWrite) access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = (nOpenFlags & modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
    m_hFile = CreateFileW(lpszFileName, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE) throw CFileException(GetLastError());
}

CFile::~CFile()
{
    if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    DWORD written = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &written, nullptr)) throw CFileException(GetLastError());
    if (written != nCount) throw CFileException(ERROR_DISK_FULL);
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE) {
        HANDLE h = m_hFile;
        m_hFile = INVALID_HANDLE_VALUE;
        if (!CloseHandle(h)) throw CFileException(GetLastError());
    }
}

}  // namespace Launcher
