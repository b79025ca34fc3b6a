#pragma once

#include "platform/platform.h"
#include "platform/qt/localetextcodec.h"
#include "platform/qt/localfilesystem.h"
#include "platform/qt/qteventloop.h"
#include "platform/qt/qtmessageboxes.h"
#include "platform/qt/qtwindowsystem.h"
#include "platform/qt/systemclock.h"
#include "platform/qt/systemnetwork.h"

#include <memory>

namespace qtplatform {

// Linux: POSIX files and sockets, the user's locale and its encoding, Qt's
// windows and boxes.
class QtPlatform final : public platform::Platform
{
public:
    QtPlatform(int &argc, char **argv);

    platform::FileSystem &fileSystem() override { return m_files; }
    platform::Clock &clock() override { return m_clock; }
    platform::WindowSystem &windowSystem() override { return m_windows; }
    platform::MessageBoxes &messageBoxes() override { return m_boxes; }
    std::shared_ptr<platform::Network> network() override { return m_network; }
    platform::EventLoop &eventLoop() override;
    const platform::TextCodec &textCodec() override { return LocaleTextCodec::ofThisProcess(); }

private:
    LocalFileSystem m_files;
    SystemClock m_clock;
    QtWindowSystem m_windows;
    QtMessageBoxes m_boxes;
    std::shared_ptr<SystemNetwork> m_network = std::make_shared<SystemNetwork>();
    std::unique_ptr<QtEventLoop> m_loop;
};

} // namespace qtplatform
