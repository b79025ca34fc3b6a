#include "platform/win32/win32platform.h"

#include "platform/native.h"

platform::EventLoop &win32platform::Win32Platform::eventLoop()
{
    if (!m_loop)
        m_loop = std::make_unique<Win32EventLoop>();
    return *m_loop;
}

std::unique_ptr<platform::Platform> platform::makeNativePlatform(int &, char **)
{
    // The program takes no command line.
    return std::make_unique<win32platform::Win32Platform>();
}
