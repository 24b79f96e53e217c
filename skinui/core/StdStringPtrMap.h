#pragma once
// CStdStringPtrMap: a string-keyed hash map of untyped pointers with chained
// buckets. It owns its entries and their keys, never the pointed-to objects.
// Keys compare exactly; a null key is never stored and never found.

#include "skinui/core/UIString.h"

#include <windows.h>

namespace SkinUI {

struct TITEM
{
    CUIString Key;
    LPVOID Data;
    struct TITEM* pPrev;
    struct TITEM* pNext;
};

class CStdStringPtrMap
{
public:
    explicit CStdStringPtrMap(int nSize = 83);
    CStdStringPtrMap(const CStdStringPtrMap&) = delete;
    CStdStringPtrMap& operator=(const CStdStringPtrMap&) = delete;
    ~CStdStringPtrMap();

    void Resize(int nSize = 83);
    LPVOID Find(LPCTSTR key, bool optimize = true) const;
    bool Insert(LPCTSTR key, LPVOID pData);
    LPVOID Set(LPCTSTR key, LPVOID pData);
    bool Remove(LPCTSTR key);
    void RemoveAll();
    int GetSize() const;
    LPCTSTR GetAt(int iIndex) const;
    LPCTSTR operator[](int nIndex) const;

    int GetBucketCount() const { return m_nBuckets; }

    // h = h * 33 + c over the characters from the last to the first.
    static UINT HashKey(LPCTSTR key);

private:
    void ReleaseAll();
    TITEM* FindItem(LPCTSTR key, UINT& slot) const;

    TITEM** m_aT;
    int m_nBuckets;
    int m_nCount;
};

}  // namespace SkinUI
