#include "launcher/SetupFolder.h"

#include <ntsecapi.h>

#include <vector>

// Sections: names and paths; removal; the folder; leftovers.

namespace Launcher {

namespace {

// ---- Names and paths ---------------------------------------------------------

const wchar_t kFolderPrefix[] = L"VozerorSetup-";
const size_t kPrefixLength = sizeof(kFolderPrefix) / sizeof(wchar_t) - 1;
const size_t kRandomBytes = 16;
// How many fresh names Create tries when one exists already.
const int kCreateAttempts = 4;
// Removal tries, and the pause between two.
const int kRemoveAttempts = 20;
const DWORD kRemoveRetryMs = 50;
// A tree deeper than this (no setup makes one) is left for the next start
// rather than walked without bound.
const int kMaxDepth = 32;

bool IsFolderName(const wchar_t* name)
{
    if (wcsncmp(name, kFolderPrefix, kPrefixLength) != 0) return false;
    const wchar_t* digits = name + kPrefixLength;
    size_t n = 0;
    for (; digits[n] != L'\0'; ++n) {
        wchar_t c = digits[n];
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) return false;
    }
    return n == kRandomBytes * 2;
}

bool RandomFolderName(std::wstring& name)
{
    unsigned char bytes[kRandomBytes];
    if (!RtlGenRandom(bytes, sizeof(bytes))) return false;
    static const wchar_t kHex[] = L"0123456789abcdef";
    name = kFolderPrefix;
    for (unsigned char b : bytes) {
        name += kHex[b >> 4];
        name += kHex[b & 15];
    }
    return true;
}

// The temporary folder with its trailing backslash, or empty.
std::wstring TempFolder()
{
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return std::wstring();
    std::wstring path(temp, n);
    if (path.back() != L'\\') path += L'\\';
    return path;
}

// The form Win32 file calls take without the MAX_PATH limit, so that a
// setup's deep tree can still be removed.
std::wstring LongForm(const std::wstring& path)
{
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    return path;
}

// Opened to hold the folder: others may read and write in it, nobody may
// delete or rename it meanwhile.
HANDLE HoldFolder(const std::wstring& path)
{
    return CreateFileW(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// True when another handle holds the folder without delete sharing.
bool FolderInUse(const std::wstring& path)
{
    HANDLE probe = CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(probe);
    return false;
}

// ---- Removal -------------------------------------------------------------------

bool RemoveFile(const std::wstring& path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(path.c_str()) != FALSE;
}

// Depth first. A link (junction or symbolic link) is removed as a link: its
// target may be anything of the user's.
bool RemoveTree(const std::wstring& folder, int depth)
{
    if (depth > kMaxDepth) return false;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    bool empty = true;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
            std::wstring path = folder + L"\\" + found.cFileName;
            DWORD attributes = found.dwFileAttributes;
            bool removed;
            if (attributes & FILE_ATTRIBUTE_DIRECTORY)
                removed = (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                    ? RemoveDirectoryW(path.c_str()) != FALSE
                    : RemoveTree(path, depth + 1);
            else
                removed = RemoveFile(path, attributes);
            empty = empty && removed;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return empty && RemoveDirectoryW(folder.c_str()) != FALSE;
}

// The programs at the top of a folder, deleted first: one that cannot be
// deleted is running (its image is mapped), and then the folder stays.
bool RemovePrograms(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.exe").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    bool all = true;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        all = RemoveFile(folder + L"\\" + found.cFileName, found.dwFileAttributes) && all;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return all;
}

}  // namespace

// ---- The folder -------------------------------------------------------------------

CSetupFolder::CSetupFolder() : m_hFolder(INVALID_HANDLE_VALUE) {}

CSetupFolder::~CSetupFolder()
{
    Remove();
}

bool CSetupFolder::Create()
{
    if (!m_path.empty()) return false;
    std::wstring temp = TempFolder();
    if (temp.empty()) return false;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::wstring name;
        if (!RandomFolderName(name)) return false;
        std::wstring path = temp + name;
        if (!CreateDirectoryW(path.c_str(), nullptr)) {
            if (GetLastError() == ERROR_ALREADY_EXISTS) continue;
            return false;
        }
        m_hFolder = HoldFolder(path);
        m_path = path;
        return true;
    }
    return false;
}

std::wstring CSetupFolder::FilePath(const wchar_t* name) const
{
    if (m_path.empty() || name == nullptr) return std::wstring();
    const std::wstring path = m_path + name;
    return path.size() <= kMaxPathLength ? path : std::wstring();
}

bool CSetupFolder::Remove()
{
    if (m_hFolder != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hFolder);
        m_hFolder = INVALID_HANDLE_VALUE;
    }
    if (m_path.empty()) return true;
    const std::wstring path = LongForm(m_path);
    // A setup that has just exited may still have its image mapped for a
    // moment (so may a virus scanner that looks at it), and then its file
    // cannot be deleted yet: a few more tries within a second.
    bool gone = false;
    for (int attempt = 0; attempt < kRemoveAttempts && !gone; ++attempt) {
        if (attempt > 0) Sleep(kRemoveRetryMs);
        gone = RemoveTree(path, 0) || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    }
    if (!gone) return false;
    m_path.clear();
    return true;
}

// ---- Leftovers ----------------------------------------------------------------------

int RemoveLeftoverSetupFolders()
{
    std::wstring temp = TempFolder();
    if (temp.empty()) return 0;
    std::vector<std::wstring> candidates;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((temp + kFolderPrefix + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        const DWORD attributes = found.dwFileAttributes;
        // A link of that name is not ours to follow; it is left alone.
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
            IsFolderName(found.cFileName))
            candidates.push_back(temp + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);

    int removed = 0;
    for (const std::wstring& folder : candidates) {
        const std::wstring path = LongForm(folder);
        if (FolderInUse(path) || !RemovePrograms(path)) continue;
        if (RemoveTree(path, 0)) ++removed;
    }
    return removed;
}

}  // namespace Launcher
