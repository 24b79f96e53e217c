#pragma once
// The skin package reader: a ZIP archive of stored or deflated entries, read
// from a file name, an open file handle or a memory block. Every length and
// offset taken from the archive is checked against the data before it is
// used; unpacking never writes more than the caller's buffer or the entry's
// declared size.
//
// Sections: result codes, entry description, operations.

#include <windows.h>

namespace SkinUI {

// ---- Result codes ------------------------------------------------------------
enum : DWORD
{
    SKINPKG_OK = 0x00000000,
    SKINPKG_NODUPHANDLE = 0x00000100,  // the file handle could not be duplicated
    SKINPKG_NOFILE = 0x00000200,       // the file could not be opened
    SKINPKG_NOTFOUND = 0x00000500,     // no entry with that name
    SKINPKG_MORE = 0x00000600,         // buffer filled, the entry is not finished
    // The entry's data contradicts its description: local header unlike the
    // central directory, a method other than stored or deflated, encryption,
    // damaged deflate data, sizes that lie, or a CRC-32 that does not match.
    SKINPKG_BADDATA = 0x00000800,
    SKINPKG_ARGS = 0x00010000,     // Null handle, unknown kind, index out of range
    SKINPKG_NOTOPEN = 0x00080000,  // not an archive opened for reading
    SKINPKG_INUSE = 0x01000000,    // the archive object was already in use
    SKINPKG_NOTDISK = 0x02000000,  // the given file handle is not a disk file
    SKINPKG_READ = 0x05000000,     // reading the archive source failed
};

// Source kinds of SkinPackageOpen and the target kind of SkinPackageUnpack.
enum
{
    SKINPKG_HANDLE = 1,    // an open file handle (duplicated)
    SKINPKG_FILENAME = 2,  // a file name (length ignored)
    SKINPKG_MEMORY = 3,    // a memory block of that length, not copied
};

// ---- Entry description -----------------------------------------------------------
typedef struct tagTSkinPackageEntry
{
    int index;
    wchar_t name[260];
    DWORD attr;
    FILETIME atime, ctime, mtime;
    DWORD packedSize;
    DWORD unpackedSize;
} TSkinPackageEntry;

// ---- Operations ---------------------------------------------------------------------
// Null when the archive cannot be opened; *pResult (optional) gets the reason
// (SKINPKG_BADDATA when no consistent end-of-central-directory record exists).
HANDLE SkinPackageOpen(const void* source, DWORD length, int kind, DWORD* pResult = nullptr);

// Finds the first entry whose name equals pstrName (ANSI code page, '\' read
// as '/', ASCII letters folded when bIgnoreCase). Closes an entry open for
// unpacking when found. *pIndex is -1 when not found.
DWORD SkinPackageFind(HANDLE hPackage, LPCWSTR pstrName, bool bIgnoreCase, int* pIndex,
                      TSkinPackageEntry* pEntry);

// Produces up to `length` further bytes of entry `index` into `buffer`
// (kind SKINPKG_MEMORY only). SKINPKG_MORE when bytes were produced (a later
// call continues), SKINPKG_OK when the entry had nothing more to give.
// Reaching the declared size checks the CRC-32 and that the data ends there;
// a mismatch gives SKINPKG_BADDATA and closes the entry.
DWORD SkinPackageUnpack(HANDLE hPackage, int index, void* buffer, DWORD length, int kind = SKINPKG_MEMORY);

DWORD SkinPackageClose(HANDLE hPackage);

}  // namespace SkinUI
