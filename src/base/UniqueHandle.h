#pragma once

// The one owner template: a handle has exactly one owner, which releases it
// on every path. Not copyable; moving hands the handle over. Traits name the
// handle type, its invalid value and its release call, so the template itself
// is plain C++ and builds on the host. The Windows variants are in
// base/WinHandles.h.

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    Handle get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Traits::Invalid(); }

    Handle release() noexcept
    {
        const Handle handle = m_handle;
        m_handle = Traits::Invalid();
        return handle;
    }

    void reset(Handle handle = Traits::Invalid()) noexcept
    {
        if (m_handle != Traits::Invalid()) {
            Traits::Close(m_handle);
        }
        m_handle = handle;
    }

private:
    Handle m_handle = Traits::Invalid();
};
