#include "skinui/core/StdStringPtrMap.h"

#include <new>
#include <stdlib.h>
#include <wchar.h>

namespace SkinUI {

UINT CStdStringPtrMap::HashKey(LPCTSTR key)
{
    UINT h = 0;
    for (size_t i = wcslen(key); i > 0; --i) h = h * 33u + (UINT)(unsigned short)key[i - 1];
    return h;
}

CStdStringPtrMap::CStdStringPtrMap(int nSize) : m_aT(nullptr), m_nBuckets(0), m_nCount(0)
{
    if (nSize < 16) nSize = 16;
    Resize(nSize);
}

CStdStringPtrMap::~CStdStringPtrMap()
{
    ReleaseAll();
}

void CStdStringPtrMap::ReleaseAll()
{
    for (int i = 0; i < m_nBuckets; ++i) {
        TITEM* pItem = m_aT[i];
        while (pItem != nullptr) {
            TITEM* pKill = pItem;
            pItem = pItem->pNext;
            delete pKill;
        }
    }
    free(m_aT);
    m_aT = nullptr;
    m_nBuckets = 0;
    m_nCount = 0;
}

// Entries are dropped, not rehashed. A bucket table that cannot be allocated
// leaves the map without buckets.
void CStdStringPtrMap::Resize(int nSize)
{
    ReleaseAll();
    if (nSize <= 0) return;
    m_aT = static_cast<TITEM**>(calloc((size_t)nSize, sizeof(TITEM*)));
    if (m_aT != nullptr) m_nBuckets = nSize;
}

void CStdStringPtrMap::RemoveAll()
{
    Resize(m_nBuckets);
}

TITEM* CStdStringPtrMap::FindItem(LPCTSTR key, UINT& slot) const
{
    slot = HashKey(key) % (UINT)m_nBuckets;
    for (TITEM* pItem = m_aT[slot]; pItem != nullptr; pItem = pItem->pNext) {
        if (pItem->Key == key) return pItem;
    }
    return nullptr;
}

LPVOID CStdStringPtrMap::Find(LPCTSTR key, bool optimize) const
{
    if (key == nullptr || m_nBuckets == 0 || m_nCount == 0) return nullptr;
    UINT slot = 0;
    TITEM* pItem = FindItem(key, slot);
    if (pItem == nullptr) return nullptr;
    if (optimize && pItem != m_aT[slot]) {
        // Move to the head of the chain: repeated lookups then stop at once.
        pItem->pPrev->pNext = pItem->pNext;
        if (pItem->pNext != nullptr) pItem->pNext->pPrev = pItem->pPrev;
        pItem->pPrev = nullptr;
        pItem->pNext = m_aT[slot];
        m_aT[slot]->pPrev = pItem;
        m_aT[slot] = pItem;
    }
    return pItem->Data;
}

bool CStdStringPtrMap::Insert(LPCTSTR key, LPVOID pData)
{
    if (key == nullptr || m_nBuckets == 0) return false;
    UINT slot = 0;
    if (FindItem(key, slot) != nullptr) return false;

    TITEM* pItem = new (std::nothrow) TITEM;
    if (pItem == nullptr) return false;
    pItem->Key = key;
    pItem->Data = pData;
    pItem->pPrev = nullptr;
    pItem->pNext = m_aT[slot];
    if (pItem->pNext != nullptr) pItem->pNext->pPrev = pItem;
    m_aT[slot] = pItem;
    m_nCount++;
    return true;
}

LPVOID CStdStringPtrMap::Set(LPCTSTR key, LPVOID pData)
{
    if (key == nullptr || m_nBuckets == 0) return pData;
    if (m_nCount > 0) {
        UINT slot = 0;
        TITEM* pItem = FindItem(key, slot);
        if (pItem != nullptr) {
            LPVOID pOldData = pItem->Data;
            pItem->Data = pData;
            return pOldData;
        }
    }
    Insert(key, pData);
    return nullptr;
}

bool CStdStringPtrMap::Remove(LPCTSTR key)
{
    if (key == nullptr || m_nBuckets == 0 || m_nCount == 0) return false;
    UINT slot = 0;
    TITEM* pItem = FindItem(key, slot);
    if (pItem == nullptr) return false;
    if (pItem->pPrev != nullptr)
        pItem->pPrev->pNext = pItem->pNext;
    else
        m_aT[slot] = pItem->pNext;
    if (pItem->pNext != nullptr) pItem->pNext->pPrev = pItem->pPrev;
    delete pItem;
    --m_nCount;
    return true;
}

int CStdStringPtrMap::GetSize() const
{
    return m_nCount;
}

// Iteration order: buckets from the last to the first, each chain from its head.
LPCTSTR CStdStringPtrMap::GetAt(int iIndex) const
{
    if (m_nBuckets == 0 || m_nCount == 0 || iIndex < 0 || iIndex >= m_nCount) return nullptr;
    int pos = 0;
    for (int len = m_nBuckets; len > 0; --len) {
        for (TITEM* pItem = m_aT[len - 1]; pItem != nullptr; pItem = pItem->pNext) {
            if (pos++ == iIndex) return pItem->Key.GetData();
        }
    }
    return nullptr;
}

LPCTSTR CStdStringPtrMap::operator[](int nIndex) const
{
    return GetAt(nIndex);
}

}  // namespace SkinUI
