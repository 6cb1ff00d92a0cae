// A program's status log: every entry in logging order, kept for the life of the process.
#pragma once

#include "PtrArray.h"
#include "StatusEntry.h"

class CStatusLog {
public:
    ~CStatusLog() { Clear(); }

    void Add(StatusKind kind, const CString& text);
    void Clear();

    int GetSize() const { return m_entries.GetSize(); }
    const CStatusEntry* GetAt(int index) const { return static_cast<const CStatusEntry*>(m_entries.GetAt(index)); }

private:
    CPtrArray m_entries; // CStatusEntry*, owned
};
