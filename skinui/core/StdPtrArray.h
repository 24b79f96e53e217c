#pragma once
// CStdPtrArray: a growable array of untyped pointers. It owns its storage,
// never the objects the pointers refer to.

#include <windows.h>

namespace SkinUI {

class CStdPtrArray
{
public:
    explicit CStdPtrArray(int iPreallocSize = 0);
    CStdPtrArray(const CStdPtrArray& src);
    CStdPtrArray& operator=(const CStdPtrArray&) = delete;
    ~CStdPtrArray();

    void Empty();
    void Resize(int iSize);
    bool IsEmpty() const;
    int Find(LPVOID iIndex) const;
    bool Add(LPVOID pData);
    bool SetAt(int iIndex, LPVOID pData);
    bool InsertAt(int iIndex, LPVOID pData);
    bool Remove(int iIndex);
    int GetSize() const;
    LPVOID* GetData();

    LPVOID GetAt(int iIndex) const;
    LPVOID operator[](int nIndex) const;

    // Capacity in elements; growth doubles it (0 becomes 11).
    int GetAllocated() const { return m_nAllocated; }

private:
    bool Grow();

    LPVOID* m_ppVoid;
    int m_nCount;
    int m_nAllocated;
};

}  // namespace SkinUI
