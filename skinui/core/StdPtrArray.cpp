#include "skinui/core/StdPtrArray.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

namespace SkinUI {

namespace {

// Next capacity for an array that has just been filled; 0 when it cannot grow.
int NextCapacity(int nAllocated, size_t cbElement)
{
    if (nAllocated <= 0) return 11;
    if (nAllocated > INT_MAX / 2) return 0;
    const int nNew = nAllocated * 2;
    if ((size_t)nNew > ((size_t)-1) / cbElement) return 0;
    return nNew;
}

}  // namespace

CStdPtrArray::CStdPtrArray(int iPreallocSize) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0)
{
    if (iPreallocSize > 0 && (size_t)iPreallocSize <= ((size_t)-1) / sizeof(LPVOID)) {
        m_ppVoid = static_cast<LPVOID*>(malloc((size_t)iPreallocSize * sizeof(LPVOID)));
        if (m_ppVoid != nullptr) m_nAllocated = iPreallocSize;
    }
}

CStdPtrArray::CStdPtrArray(const CStdPtrArray& src) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0)
{
    for (int i = 0; i < src.GetSize(); i++) Add(src.GetAt(i));
}

CStdPtrArray::~CStdPtrArray()
{
    free(m_ppVoid);
}

void CStdPtrArray::Empty()
{
    free(m_ppVoid);
    m_ppVoid = nullptr;
    m_nCount = m_nAllocated = 0;
}

void CStdPtrArray::Resize(int iSize)
{
    Empty();
    if (iSize <= 0 || (size_t)iSize > ((size_t)-1) / sizeof(LPVOID)) return;
    m_ppVoid = static_cast<LPVOID*>(calloc((size_t)iSize, sizeof(LPVOID)));
    if (m_ppVoid == nullptr) return;
    m_nAllocated = iSize;
    m_nCount = iSize;
}

bool CStdPtrArray::IsEmpty() const
{
    return m_nCount == 0;
}

// Raises the count by one, reallocating when the new count reaches the
// capacity; on failure the array is as it was.
bool CStdPtrArray::Grow()
{
    if (m_nCount == INT_MAX) return false;
    if (++m_nCount >= m_nAllocated) {
        const int nAllocated = NextCapacity(m_nAllocated, sizeof(LPVOID));
        LPVOID* ppVoid = nAllocated > 0
            ? static_cast<LPVOID*>(realloc(m_ppVoid, (size_t)nAllocated * sizeof(LPVOID)))
            : nullptr;
        if (ppVoid == nullptr) {
            --m_nCount;
            return false;
        }
        m_nAllocated = nAllocated;
        m_ppVoid = ppVoid;
    }
    return true;
}

bool CStdPtrArray::Add(LPVOID pData)
{
    if (!Grow()) return false;
    m_ppVoid[m_nCount - 1] = pData;
    return true;
}

bool CStdPtrArray::InsertAt(int iIndex, LPVOID pData)
{
    if (iIndex == m_nCount) return Add(pData);
    if (iIndex < 0 || iIndex > m_nCount) return false;
    if (!Grow()) return false;
    memmove(&m_ppVoid[iIndex + 1], &m_ppVoid[iIndex], (size_t)(m_nCount - iIndex - 1) * sizeof(LPVOID));
    m_ppVoid[iIndex] = pData;
    return true;
}

bool CStdPtrArray::SetAt(int iIndex, LPVOID pData)
{
    if (iIndex < 0 || iIndex >= m_nCount) return false;
    m_ppVoid[iIndex] = pData;
    return true;
}

bool CStdPtrArray::Remove(int iIndex)
{
    if (iIndex < 0 || iIndex >= m_nCount) return false;
    if (iIndex < --m_nCount) {
        memmove(m_ppVoid + iIndex, m_ppVoid + iIndex + 1, (size_t)(m_nCount - iIndex) * sizeof(LPVOID));
    }
    return true;
}

int CStdPtrArray::Find(LPVOID pData) const
{
    for (int i = 0; i < m_nCount; i++) {
        if (m_ppVoid[i] == pData) return i;
    }
    return -1;
}

int CStdPtrArray::GetSize() const
{
    return m_nCount;
}

LPVOID* CStdPtrArray::GetData()
{
    return m_ppVoid;
}

LPVOID CStdPtrArray::GetAt(int iIndex) const
{
    if (iIndex < 0 || iIndex >= m_nCount) return nullptr;
    return m_ppVoid[iIndex];
}

LPVOID CStdPtrArray::operator[](int iIndex) const
{
    return m_ppVoid[iIndex];
}

}  // namespace SkinUI
