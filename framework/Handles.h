// Move-only owners of Windows handles: each closes its handle when it goes.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <utility>

template <typename Handle, typename Traits>
class UniqueHandleOf {
public:
    UniqueHandleOf() = default;
    explicit UniqueHandleOf(Handle h) : m_handle(h) {}
    ~UniqueHandleOf() { reset(); }
    UniqueHandleOf(UniqueHandleOf&& other) noexcept : m_handle(other.release()) {}
    UniqueHandleOf& operator=(UniqueHandleOf&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandleOf(const UniqueHandleOf&) = delete;
    UniqueHandleOf& operator=(const UniqueHandleOf&) = delete;

    Handle get() const { return m_handle; }
    bool valid() const { return m_handle != Traits::invalid(); }
    Handle release() { return std::exchange(m_handle, Traits::invalid()); }
    void reset(Handle h = Traits::invalid())
    {
        if (m_handle != Traits::invalid())
            Traits::close(m_handle);
        m_handle = h;
    }
    // For functions that return a new handle through a pointer.
    Handle* put()
    {
        reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::invalid();
};

struct HKeyTraits {
    static HKEY invalid() { return nullptr; }
    static void close(HKEY h) { RegCloseKey(h); }
};
struct KernelHandleTraits {
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct HMenuTraits {
    static HMENU invalid() { return nullptr; }
    static void close(HMENU h) { DestroyMenu(h); }
};
struct HIconTraits {
    static HICON invalid() { return nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
};

using UniqueHKey = UniqueHandleOf<HKEY, HKeyTraits>;
using UniqueHandle = UniqueHandleOf<HANDLE, KernelHandleTraits>;
using UniqueHMenu = UniqueHandleOf<HMENU, HMenuTraits>;
using UniqueHIcon = UniqueHandleOf<HICON, HIconTraits>;
