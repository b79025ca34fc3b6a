#pragma once

#include "platform/platform.h"
#include "platform/win32/codepagetext.h"
#include "platform/win32/win32clock.h"
#include "platform/win32/win32eventloop.h"
#include "platform/win32/win32filesystem.h"
#include "platform/win32/win32messageboxes.h"
#include "platform/win32/win32network.h"
#include "platform/win32/win32windowsystem.h"

#include <memory>

namespace win32platform {

// The Windows API, port by port.
class Win32Platform final : public platform::Platform
{
public:
    platform::FileSystem &fileSystem() override { return m_files; }
    platform::Clock &clock() override { return m_clock; }
    platform::WindowSystem &windowSystem() override { return m_windows; }
    platform::MessageBoxes &messageBoxes() override { return m_boxes; }
    std::shared_ptr<platform::Network> network() override { return m_network; }
    platform::EventLoop &eventLoop() override;
    const platform::TextCodec &textCodec() override { return m_text; }

private:
    Win32FileSystem m_files;
    Win32Clock m_clock;
    Win32WindowSystem m_windows;
    Win32MessageBoxes m_boxes{m_windows};
    std::shared_ptr<Win32Network> m_network = std::make_shared<Win32Network>();
    std::unique_ptr<Win32EventLoop> m_loop;
    AnsiCodePageText m_text;
};

} // namespace win32platform
