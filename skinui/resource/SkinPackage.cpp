#include "skinui/resource/SkinPackage.h"

#include <stdlib.h>
#include <string.h>

#include <zlib.h>

#include <mutex>
#include <new>
#include <set>

// Sections: little-endian fields, the archive object (source reads, open and
// directory checks, find, entry open, unpack, close), the exported operations.

namespace SkinUI {

namespace {

// ---- Little-endian fields ------------------------------------------------------
WORD Le16(const BYTE* p)
{
    return (WORD)(p[0] | (p[1] << 8));
}

DWORD Le32(const BYTE* p)
{
    return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24);
}

const DWORD kEndRecordSize = 22;
const DWORD kEndSearchSpan = 65535;  // the end record lies in the last 64 KiB
const DWORD kCentralHeaderSize = 46;
const DWORD kLocalHeaderSize = 30;
const DWORD kReadChunk = 16384;  // packed bytes read per step from a file

// Offsets in a central directory header.
enum
{
    CD_FLAGS = 8,
    CD_METHOD = 10,
    CD_TIME = 12,
    CD_DATE = 14,
    CD_CRC = 16,
    CD_PACKED = 20,
    CD_UNPACKED = 24,
    CD_NAMELEN = 28,
    CD_EXTRALEN = 30,
    CD_COMMENTLEN = 32,
    CD_EXTATTR = 38,
    CD_LOCALOFFSET = 42,
};

// ---- The archive object ------------------------------------------------------------
class CSkinPackage
{
public:
    CSkinPackage() { memset(&m_stream, 0, sizeof(m_stream)); }
    ~CSkinPackage();

    DWORD Open(const void* source, DWORD length, int kind);
    DWORD Find(LPCWSTR pstrName, bool bIgnoreCase, int* pIndex, TSkinPackageEntry* pEntry);
    DWORD Unpack(int index, BYTE* buffer, DWORD length);

private:
    bool ReadAt(UINT64 pos, void* buffer, DWORD length);
    DWORD OpenSource(const void* source, DWORD length, int kind);
    DWORD ReadDirectory();
    const BYTE* Entry(int index) const { return m_pDirectory + m_aEntryOffsets[index]; }
    DWORD OpenEntry(int index);
    void CloseEntry();
    DWORD Produce(BYTE* buffer, DWORD length, DWORD& produced);
    DWORD FinishEntry();

    // Source: a duplicated or opened file handle, or a memory block.
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    const BYTE* m_pMemory = nullptr;
    UINT64 m_nStart = 0;   // file position at open time: the archive's start
    UINT64 m_nLength = 0;  // bytes of the source from the start
    // Directory, checked entry by entry at open.
    UINT64 m_nEndRecord = 0;
    UINT64 m_nPrefix = 0;  // bytes of other data before the archive
    DWORD m_nEntries = 0;
    UINT64 m_nDirectoryPos = 0;  // absolute position in the source
    DWORD m_nDirectorySize = 0;
    BYTE* m_pDirectoryCopy = nullptr;  // file sources; memory sources point into the block
    const BYTE* m_pDirectory = nullptr;
    DWORD* m_aEntryOffsets = nullptr;
    // The entry opened for unpacking, -1 for none.
    int m_iOpen = -1;
    int m_nMethod = 0;
    UINT64 m_nDataPos = 0;  // next packed byte to read
    DWORD m_nPackedLeft = 0;
    DWORD m_nUnpackedLeft = 0;
    DWORD m_dwCrc = 0;
    DWORD m_dwStoredCrc = 0;
    bool m_bFinished = false;  // declared size reached and checked
    bool m_bInflateInit = false;
    bool m_bStreamEnd = false;
    z_stream m_stream;
    BYTE* m_pReadBuffer = nullptr;  // kReadChunk bytes, file sources only
};

CSkinPackage::~CSkinPackage()
{
    CloseEntry();
    if (m_hFile != INVALID_HANDLE_VALUE) ::CloseHandle(m_hFile);
    free(m_pDirectoryCopy);
    free(m_aEntryOffsets);
}

// Exactly `length` bytes at `pos` (relative to the archive's start), or false.
bool CSkinPackage::ReadAt(UINT64 pos, void* buffer, DWORD length)
{
    if (pos > m_nLength || length > m_nLength - pos) return false;
    if (m_pMemory != nullptr) {
        memcpy(buffer, m_pMemory + pos, length);
        return true;
    }
    LARGE_INTEGER li;
    li.QuadPart = (LONGLONG)(m_nStart + pos);
    if (!::SetFilePointerEx(m_hFile, li, nullptr, FILE_BEGIN)) return false;
    DWORD dwRead = 0;
    return ::ReadFile(m_hFile, buffer, length, &dwRead, nullptr) && dwRead == length;
}

DWORD CSkinPackage::OpenSource(const void* source, DWORD length, int kind)
{
    if (kind == SKINPKG_MEMORY) {
        if (source == nullptr) return SKINPKG_ARGS;
        m_pMemory = static_cast<const BYTE*>(source);
        m_nLength = length;
        return SKINPKG_OK;
    }
    if (kind == SKINPKG_FILENAME) {
        if (source == nullptr) return SKINPKG_NOFILE;
        m_hFile = ::CreateFileW(static_cast<LPCWSTR>(source), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_hFile == INVALID_HANDLE_VALUE) return SKINPKG_NOFILE;
    } else if (kind == SKINPKG_HANDLE) {
        HANDLE hGiven = const_cast<void*>(source);
        if (!::DuplicateHandle(::GetCurrentProcess(), hGiven, ::GetCurrentProcess(), &m_hFile, 0, FALSE,
                               DUPLICATE_SAME_ACCESS)) {
            m_hFile = INVALID_HANDLE_VALUE;
            return SKINPKG_NODUPHANDLE;
        }
    } else {
        return SKINPKG_ARGS;
    }
    if (::GetFileType(m_hFile) != FILE_TYPE_DISK) return SKINPKG_NOTDISK;
    LARGE_INTEGER zero, pos, size;
    zero.QuadPart = 0;
    if (!::SetFilePointerEx(m_hFile, zero, &pos, FILE_CURRENT) || !::GetFileSizeEx(m_hFile, &size))
        return SKINPKG_READ;
    if (size.QuadPart < pos.QuadPart) return SKINPKG_BADDATA;
    m_nStart = (UINT64)pos.QuadPart;
    m_nLength = (UINT64)(size.QuadPart - pos.QuadPart);
    m_pReadBuffer = static_cast<BYTE*>(malloc(kReadChunk));
    return m_pReadBuffer != nullptr ? SKINPKG_OK : SKINPKG_READ;
}

DWORD CSkinPackage::Open(const void* source, DWORD length, int kind)
{
    const DWORD dwResult = OpenSource(source, length, kind);
    if (dwResult != SKINPKG_OK) return dwResult;

    // The end record nearest the end of the last 64 KiB; a longer comment
    // puts it out of reach and the archive does not open.
    const DWORD nTail = (DWORD)(m_nLength < kEndSearchSpan ? m_nLength : kEndSearchSpan);
    if (nTail < kEndRecordSize) return SKINPKG_BADDATA;
    BYTE* pTail = static_cast<BYTE*>(malloc(nTail));
    if (pTail == nullptr) return SKINPKG_READ;
    const UINT64 nTailPos = m_nLength - nTail;
    if (!ReadAt(nTailPos, pTail, nTail)) {
        free(pTail);
        return SKINPKG_READ;
    }
    DWORD i = nTail - kEndRecordSize + 1;
    bool bFound = false;
    while (i-- > 0) {
        if (pTail[i] == 0x50 && pTail[i + 1] == 0x4B && pTail[i + 2] == 0x05 && pTail[i + 3] == 0x06) {
            bFound = true;
            break;
        }
    }
    if (!bFound) {
        free(pTail);
        return SKINPKG_BADDATA;
    }
    const BYTE* pEnd = pTail + i;
    const WORD nDisk = Le16(pEnd + 4), nDirDisk = Le16(pEnd + 6);
    const WORD nDiskEntries = Le16(pEnd + 8), nTotalEntries = Le16(pEnd + 10);
    const DWORD nDirSize = Le32(pEnd + 12), nDirOffset = Le32(pEnd + 16);
    free(pTail);
    m_nEndRecord = nTailPos + i;
    if (nDisk != 0 || nDirDisk != 0 || nDiskEntries != nTotalEntries) return SKINPKG_BADDATA;
    if (m_nEndRecord < (UINT64)nDirOffset + nDirSize) return SKINPKG_BADDATA;
    m_nPrefix = m_nEndRecord - nDirOffset - nDirSize;
    m_nEntries = nTotalEntries;
    m_nDirectoryPos = m_nPrefix + nDirOffset;
    m_nDirectorySize = nDirSize;
    return ReadDirectory();
}

// Takes the central directory and checks that exactly the announced number
// of well-formed entries fills it.
DWORD CSkinPackage::ReadDirectory()
{
    if (m_pMemory != nullptr) {
        m_pDirectory = m_pMemory + m_nDirectoryPos;
    } else {
        m_pDirectoryCopy = static_cast<BYTE*>(malloc(m_nDirectorySize > 0 ? m_nDirectorySize : 1));
        if (m_pDirectoryCopy == nullptr) return SKINPKG_READ;
        if (!ReadAt(m_nDirectoryPos, m_pDirectoryCopy, m_nDirectorySize)) return SKINPKG_READ;
        m_pDirectory = m_pDirectoryCopy;
    }
    m_aEntryOffsets = static_cast<DWORD*>(malloc(sizeof(DWORD) * (m_nEntries > 0 ? m_nEntries : 1)));
    if (m_aEntryOffsets == nullptr) return SKINPKG_READ;
    DWORD pos = 0;
    for (DWORD n = 0; n < m_nEntries; ++n) {
        if (m_nDirectorySize - pos < kCentralHeaderSize) return SKINPKG_BADDATA;
        const BYTE* p = m_pDirectory + pos;
        if (Le32(p) != 0x02014B50) return SKINPKG_BADDATA;
        const DWORD nRecord =
            kCentralHeaderSize + Le16(p + CD_NAMELEN) + Le16(p + CD_EXTRALEN) + Le16(p + CD_COMMENTLEN);
        if (m_nDirectorySize - pos < nRecord) return SKINPKG_BADDATA;
        m_aEntryOffsets[n] = pos;
        pos += nRecord;
    }
    return pos == m_nDirectorySize ? SKINPKG_OK : SKINPKG_BADDATA;
}

DWORD CSkinPackage::Find(LPCWSTR pstrName, bool bIgnoreCase, int* pIndex, TSkinPackageEntry* pEntry)
{
    if (pIndex != nullptr) *pIndex = -1;
    if (pstrName == nullptr) return SKINPKG_ARGS;
    if (wcslen(pstrName) > 255) return SKINPKG_NOTFOUND;
    char szName[260];
    const int nName = ::WideCharToMultiByte(CP_ACP, 0, pstrName, -1, szName, 259, nullptr, nullptr);
    if (nName <= 0) return SKINPKG_NOTFOUND;
    const DWORD cbName = (DWORD)nName - 1;
    for (DWORD k = 0; k < cbName; ++k) {
        if (szName[k] == '\\') szName[k] = '/';
    }
    for (DWORD n = 0; n < m_nEntries; ++n) {
        const BYTE* p = Entry((int)n);
        DWORD cbStored = Le16(p + CD_NAMELEN);
        if (cbStored > 256) cbStored = 256;
        if (cbStored != cbName) continue;
        const BYTE* pStored = p + kCentralHeaderSize;
        DWORD k = 0;
        for (; k < cbName; ++k) {
            BYTE a = pStored[k], b = (BYTE)szName[k];
            if (bIgnoreCase) {
                if (a >= 'a' && a <= 'z') a = (BYTE)(a - 'a' + 'A');
                if (b >= 'a' && b <= 'z') b = (BYTE)(b - 'a' + 'A');
            }
            if (a != b) break;
        }
        if (k != cbName) continue;

        CloseEntry();
        if (pIndex != nullptr) *pIndex = (int)n;
        if (pEntry != nullptr) {
            memset(pEntry, 0, sizeof(*pEntry));
            pEntry->index = (int)n;
            const int cbAll = (int)Le16(p + CD_NAMELEN) < 259 ? (int)Le16(p + CD_NAMELEN) : 259;
            const int nWide =
                cbAll > 0 ? ::MultiByteToWideChar(CP_ACP, 0, (LPCSTR)pStored, cbAll, pEntry->name, 259) : 0;
            pEntry->name[nWide > 0 ? nWide : 0] = L'\0';
            pEntry->attr = Le32(p + CD_EXTATTR);
            FILETIME local;
            if (::DosDateTimeToFileTime(Le16(p + CD_DATE), Le16(p + CD_TIME), &local))
                ::LocalFileTimeToFileTime(&local, &pEntry->mtime);
            pEntry->atime = pEntry->ctime = pEntry->mtime;
            pEntry->packedSize = Le32(p + CD_PACKED);
            pEntry->unpackedSize = Le32(p + CD_UNPACKED);
        }
        return SKINPKG_OK;
    }
    return SKINPKG_NOTFOUND;
}

// Checks the local header against the directory and prepares the reads.
DWORD CSkinPackage::OpenEntry(int index)
{
    const BYTE* p = Entry(index);
    const WORD nFlags = Le16(p + CD_FLAGS);
    const WORD nMethod = Le16(p + CD_METHOD);
    const DWORD nPacked = Le32(p + CD_PACKED), nUnpacked = Le32(p + CD_UNPACKED);
    if (nMethod != 0 && nMethod != Z_DEFLATED) return SKINPKG_BADDATA;
    if (nFlags & 1) return SKINPKG_BADDATA;  // encrypted: not decrypted
    if (nMethod == 0 && nPacked != nUnpacked) return SKINPKG_BADDATA;

    BYTE local[kLocalHeaderSize];
    const UINT64 nLocal = m_nPrefix + Le32(p + CD_LOCALOFFSET);
    if (!ReadAt(nLocal, local, kLocalHeaderSize)) return SKINPKG_BADDATA;
    if (Le32(local) != 0x04034B50 || Le16(local + 8) != nMethod) return SKINPKG_BADDATA;
    if (!(Le16(local + 6) & 8)) {
        if (Le32(local + 14) != Le32(p + CD_CRC) || Le32(local + 18) != nPacked ||
            Le32(local + 22) != nUnpacked)
            return SKINPKG_BADDATA;
    }
    if (Le16(local + 26) != Le16(p + CD_NAMELEN)) return SKINPKG_BADDATA;
    // The data lies between its header and the central directory.
    const UINT64 nData = nLocal + kLocalHeaderSize + Le16(local + 26) + Le16(local + 28);
    if (nData > m_nDirectoryPos || nPacked > m_nDirectoryPos - nData) return SKINPKG_BADDATA;

    if (nMethod == Z_DEFLATED) {
        memset(&m_stream, 0, sizeof(m_stream));
        if (inflateInit2(&m_stream, -MAX_WBITS) != Z_OK) return SKINPKG_READ;
        m_bInflateInit = true;
    }
    m_iOpen = index;
    m_nMethod = nMethod;
    m_nDataPos = nData;
    m_nPackedLeft = nPacked;
    m_nUnpackedLeft = nUnpacked;
    m_dwCrc = crc32(0L, Z_NULL, 0);
    m_dwStoredCrc = Le32(p + CD_CRC);
    m_bFinished = false;
    m_bStreamEnd = false;
    return SKINPKG_OK;
}

void CSkinPackage::CloseEntry()
{
    if (m_bInflateInit) inflateEnd(&m_stream);
    m_bInflateInit = false;
    m_iOpen = -1;
}

// Produces up to `length` bytes; `produced` is set even on failure.
DWORD CSkinPackage::Produce(BYTE* buffer, DWORD length, DWORD& produced)
{
    produced = 0;
    if (m_nMethod == 0) {
        if (!ReadAt(m_nDataPos, buffer, length)) return SKINPKG_READ;
        m_nDataPos += length;
        m_nPackedLeft -= length;
        produced = length;
        return SKINPKG_OK;
    }
    m_stream.next_out = buffer;
    m_stream.avail_out = length;
    while (m_stream.avail_out > 0 && !m_bStreamEnd) {
        if (m_stream.avail_in == 0 && m_nPackedLeft > 0) {
            // A memory source is read in place, all of the entry at once (its
            // bounds were checked when the entry was opened); a file through
            // the read buffer.
            const DWORD nChunk =
                m_pMemory != nullptr || m_nPackedLeft < kReadChunk ? m_nPackedLeft : kReadChunk;
            if (m_pMemory != nullptr) {
                m_stream.next_in = const_cast<BYTE*>(m_pMemory + m_nDataPos);
            } else {
                if (!ReadAt(m_nDataPos, m_pReadBuffer, nChunk)) {
                    produced = length - m_stream.avail_out;
                    return SKINPKG_READ;
                }
                m_stream.next_in = m_pReadBuffer;
            }
            m_stream.avail_in = nChunk;
            m_nDataPos += nChunk;
            m_nPackedLeft -= nChunk;
        }
        const int err = inflate(&m_stream, Z_SYNC_FLUSH);
        if (err == Z_STREAM_END)
            m_bStreamEnd = true;
        else if (err == Z_BUF_ERROR && m_stream.avail_in == 0 && m_nPackedLeft == 0)
            break;  // input ran out
        else if (err != Z_OK && err != Z_BUF_ERROR)
            break;  // damaged data
    }
    produced = length - m_stream.avail_out;
    return m_stream.avail_out == 0 ? SKINPKG_OK : SKINPKG_BADDATA;
}

// The declared size has been produced: the data must end here and match its CRC.
DWORD CSkinPackage::FinishEntry()
{
    m_bFinished = true;
    if (m_nMethod == Z_DEFLATED && !m_bStreamEnd) {
        BYTE probe[1];
        DWORD produced = 0;
        Produce(probe, 1, produced);
        if (produced != 0 || !m_bStreamEnd) return SKINPKG_BADDATA;
    }
    return m_dwCrc == m_dwStoredCrc ? SKINPKG_OK : SKINPKG_BADDATA;
}

DWORD CSkinPackage::Unpack(int index, BYTE* buffer, DWORD length)
{
    if (index < 0 || (DWORD)index >= m_nEntries) return SKINPKG_ARGS;
    if (buffer == nullptr && length > 0) return SKINPKG_ARGS;
    if (index != m_iOpen) {
        CloseEntry();
        const DWORD dwOpen = OpenEntry(index);
        if (dwOpen != SKINPKG_OK) return dwOpen;
    }
    const DWORD nWant = length < m_nUnpackedLeft ? length : m_nUnpackedLeft;
    DWORD produced = 0;
    // One inflate call for the whole request when the source is memory:
    // zlib then copies nothing into its own window between calls.
    if (nWant > 0) {
        const DWORD dwResult = Produce(buffer, nWant, produced);
        if (dwResult != SKINPKG_OK) {
            CloseEntry();
            return dwResult;
        }
        m_dwCrc = crc32(m_dwCrc, buffer, produced);
        m_nUnpackedLeft -= produced;
    }
    if (m_nUnpackedLeft == 0 && !m_bFinished) {
        const DWORD dwCheck = FinishEntry();
        if (dwCheck != SKINPKG_OK) {
            CloseEntry();
            return dwCheck;
        }
    }
    if (produced > 0) return SKINPKG_MORE;
    if (m_nUnpackedLeft > 0) return SKINPKG_MORE;  // a zero-length buffer
    CloseEntry();
    return SKINPKG_OK;
}

// Handles given out and not yet closed: any other value, a closed handle
// included, is refused without being dereferenced.
std::mutex g_liveLock;
std::set<HANDLE>& LiveHandles()
{
    static std::set<HANDLE> handles;
    return handles;
}

CSkinPackage* Live(HANDLE hPackage)
{
    std::lock_guard<std::mutex> lock(g_liveLock);
    return LiveHandles().count(hPackage) ? static_cast<CSkinPackage*>(hPackage) : nullptr;
}

}  // namespace

// ---- Exported operations -------------------------------------------------------------

HANDLE SkinPackageOpen(const void* source, DWORD length, int kind, DWORD* pResult)
{
    CSkinPackage* pPackage = new (std::nothrow) CSkinPackage;
    DWORD dwResult = pPackage != nullptr ? pPackage->Open(source, length, kind) : SKINPKG_READ;
    if (dwResult != SKINPKG_OK) {
        delete pPackage;
        pPackage = nullptr;
    } else {
        std::lock_guard<std::mutex> lock(g_liveLock);
        try {
            LiveHandles().insert(pPackage);
        } catch (...) {  // out of memory: no handle rather than an exception
            delete pPackage;
            pPackage = nullptr;
            dwResult = SKINPKG_READ;
        }
    }
    if (pResult != nullptr) *pResult = dwResult;
    return pPackage;
}

DWORD SkinPackageFind(HANDLE hPackage, LPCWSTR pstrName, bool bIgnoreCase, int* pIndex,
                      TSkinPackageEntry* pEntry)
{
    if (pIndex != nullptr) *pIndex = -1;
    if (hPackage == nullptr) return SKINPKG_ARGS;
    CSkinPackage* pPackage = Live(hPackage);
    if (pPackage == nullptr) return SKINPKG_NOTOPEN;
    return pPackage->Find(pstrName, bIgnoreCase, pIndex, pEntry);
}

DWORD SkinPackageUnpack(HANDLE hPackage, int index, void* buffer, DWORD length, int kind)
{
    if (hPackage == nullptr || kind != SKINPKG_MEMORY) return SKINPKG_ARGS;
    CSkinPackage* pPackage = Live(hPackage);
    if (pPackage == nullptr) return SKINPKG_NOTOPEN;
    return pPackage->Unpack(index, static_cast<BYTE*>(buffer), length);
}

DWORD SkinPackageClose(HANDLE hPackage)
{
    if (hPackage == nullptr) return SKINPKG_ARGS;
    CSkinPackage* pPackage = Live(hPackage);
    if (pPackage == nullptr) return SKINPKG_NOTOPEN;
    {
        std::lock_guard<std::mutex> lock(g_liveLock);
        LiveHandles().erase(hPackage);
    }
    delete pPackage;
    return SKINPKG_OK;
}

}  // namespace SkinUI
