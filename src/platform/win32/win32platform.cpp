#include "platform/win32/win32platform.h"

#include "platform/native.h"

std::unique_ptr<platform::Platform> platform::makeNativePlatform(int &, char **)
{
    // The program takes no command line.
    return std::make_unique<win32platform::Win32Platform>();
}
