// CStatusEntry: one line of a program's status log, shown with the icon of its kind.
#pragma once

#include <cstdint>

#include "Str.h"

enum StatusKind : int32_t {
    Received = 0, // a request received from a client
    Sent = 1,     // a request sent to the peer
    Event = 2,    // anything the program did or observed
};

class CStatusEntry {
public:
    CStatusEntry(StatusKind kind, const CString& text) : m_kind(kind), m_text(text) {}
    virtual ~CStatusEntry() = default;

    StatusKind m_kind;
    CString m_text;
};
