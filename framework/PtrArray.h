// CPtrArray and CStringArray: the growable arrays of the host, client and Tools.
#pragma once

#include <vector>

#include "Str.h"

template <typename T>
class CArrayOf {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    const T& GetAt(int index) const { return m_items[index]; }
    T& operator[](int index) { return m_items[index]; }
    const T& operator[](int index) const { return m_items[index]; }
    int Add(const T& item)
    {
        m_items.push_back(item);
        return GetSize() - 1;
    }
    void RemoveAt(int index, int count = 1) { m_items.erase(m_items.begin() + index, m_items.begin() + index + count); }
    void RemoveAll() { m_items.clear(); }

    typename std::vector<T>::const_iterator begin() const { return m_items.begin(); }
    typename std::vector<T>::const_iterator end() const { return m_items.end(); }

private:
    std::vector<T> m_items;
};

class CPtrArray : public CArrayOf<void*> {
public:
    // Index of the first slot holding p, or -1.
    int Find(const void* p) const
    {
        for (int i = 0; i < GetSize(); ++i)
            if (GetAt(i) == p)
                return i;
        return -1;
    }
};

class CStringArray : public CArrayOf<CString> {};
