#pragma once

#include "platform/messageboxes.h"

namespace win32platform {

class Win32WindowSystem;

// MessageBoxW over the notification window, which waits disabled until the
// box is closed.
class Win32MessageBoxes final : public platform::MessageBoxes
{
public:
    explicit Win32MessageBoxes(const Win32WindowSystem &windows) : m_windows(windows) {}

    void information(const std::u16string &prompt, const std::u16string &title) override;
    void error(const std::u16string &prompt, const std::u16string &title) override;

private:
    void show(const std::u16string &prompt, const std::u16string &title, unsigned type);

    const Win32WindowSystem &m_windows;
};

} // namespace win32platform
