#pragma once

#include <windows.h>

namespace win32platform {

// A kernel object handle, closed when it goes.
class UniqueHandle
{
public:
    explicit UniqueHandle(HANDLE handle) : m_handle(handle) {}
    ~UniqueHandle()
    {
        if (*this)
            CloseHandle(m_handle);
    }
    UniqueHandle(const UniqueHandle &) = delete;
    UniqueHandle &operator=(const UniqueHandle &) = delete;

    HANDLE get() const { return m_handle; }
    // The handle is the caller's to close from now on.
    HANDLE release()
    {
        const HANDLE handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    explicit operator bool() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

} // namespace win32platform
