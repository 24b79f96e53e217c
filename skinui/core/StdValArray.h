#pragma once
// CStdValArray: a growable array of fixed-size records, copied in and out
// byte for byte. Empty() keeps the storage for reuse; a null element is refused.

#include <windows.h>

namespace SkinUI {

class CStdValArray
{
public:
    explicit CStdValArray(int iElementSize, int iPreallocSize = 0);
    CStdValArray(const CStdValArray&) = delete;
    CStdValArray& operator=(const CStdValArray&) = delete;
    ~CStdValArray();

    void Empty();
    bool IsEmpty() const;
    bool Add(LPCVOID pData);
    bool Remove(int iIndex);
    int GetSize() const;
    LPVOID GetData();

    LPVOID GetAt(int iIndex) const;
    LPVOID operator[](int nIndex) const;

    int GetAllocated() const { return m_nAllocated; }

private:
    LPBYTE m_pVoid;
    int m_iElementSize;
    int m_nCount;
    int m_nAllocated;
};

}  // namespace SkinUI
