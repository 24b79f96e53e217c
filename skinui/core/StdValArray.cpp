#include "skinui/core/StdValArray.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

namespace SkinUI {

// A non-positive element size makes an array that never accepts an element.
CStdValArray::CStdValArray(int iElementSize, int iPreallocSize)
    : m_pVoid(nullptr), m_iElementSize(iElementSize > 0 ? iElementSize : 0), m_nCount(0), m_nAllocated(0)
{
    if (m_iElementSize > 0 && iPreallocSize > 0 &&
        (size_t)iPreallocSize <= ((size_t)-1) / (size_t)m_iElementSize) {
        m_pVoid = static_cast<LPBYTE>(malloc((size_t)iPreallocSize * (size_t)m_iElementSize));
        if (m_pVoid != nullptr) m_nAllocated = iPreallocSize;
    }
}

CStdValArray::~CStdValArray()
{
    free(m_pVoid);
}

void CStdValArray::Empty()
{
    m_nCount = 0;
}

bool CStdValArray::IsEmpty() const
{
    return m_nCount == 0;
}

bool CStdValArray::Add(LPCVOID pData)
{
    if (pData == nullptr || m_iElementSize <= 0 || m_nCount == INT_MAX) return false;
    if (++m_nCount >= m_nAllocated) {
        int nAllocated = 0;
        if (m_nAllocated <= 0)
            nAllocated = 11;
        else if (m_nAllocated <= INT_MAX / 2)
            nAllocated = m_nAllocated * 2;
        LPBYTE pVoid = nullptr;
        if (nAllocated > 0 && (size_t)nAllocated <= ((size_t)-1) / (size_t)m_iElementSize) {
            pVoid = static_cast<LPBYTE>(realloc(m_pVoid, (size_t)nAllocated * (size_t)m_iElementSize));
        }
        if (pVoid == nullptr) {
            --m_nCount;
            return false;
        }
        m_nAllocated = nAllocated;
        m_pVoid = pVoid;
    }
    memcpy(m_pVoid + (size_t)(m_nCount - 1) * (size_t)m_iElementSize, pData, (size_t)m_iElementSize);
    return true;
}

bool CStdValArray::Remove(int iIndex)
{
    if (iIndex < 0 || iIndex >= m_nCount) return false;
    if (iIndex < --m_nCount) {
        memmove(m_pVoid + (size_t)iIndex * m_iElementSize, m_pVoid + (size_t)(iIndex + 1) * m_iElementSize,
                (size_t)(m_nCount - iIndex) * m_iElementSize);
    }
    return true;
}

int CStdValArray::GetSize() const
{
    return m_nCount;
}

LPVOID CStdValArray::GetData()
{
    return static_cast<LPVOID>(m_pVoid);
}

LPVOID CStdValArray::GetAt(int iIndex) const
{
    if (iIndex < 0 || iIndex >= m_nCount) return nullptr;
    return m_pVoid + (size_t)iIndex * m_iElementSize;
}

LPVOID CStdValArray::operator[](int iIndex) const
{
    return m_pVoid + (size_t)iIndex * m_iElementSize;
}

}  // namespace SkinUI
