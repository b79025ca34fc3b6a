#include "platform/win32/win32messageboxes.h"

#include "platform/failure.h"
#include "platform/win32/widetext.h"
#include "platform/win32/win32windowsystem.h"

namespace win32platform {

void Win32MessageBoxes::information(const std::u16string &prompt, const std::u16string &title)
{
    show(prompt, title, MB_OK | MB_ICONINFORMATION);
}

void Win32MessageBoxes::error(const std::u16string &prompt, const std::u16string &title)
{
    show(prompt, title, MB_OK);
}

void Win32MessageBoxes::show(const std::u16string &prompt, const std::u16string &title, unsigned type)
{
    if (MessageBoxW(m_windows.ownerWindow(), wide(prompt).c_str(), wide(title).c_str(), type) == 0)
        throw platform::SystemFailure(platform::FailureKind::OutOfMemory, std::int64_t(GetLastError()));
}

} // namespace win32platform
