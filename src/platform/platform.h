#pragma once

#include <memory>

namespace platform {

class Clock;
class EventLoop;
class FileSystem;
class MessageBoxes;
class Network;
class TextCodec;
class WindowSystem;

// The system the program runs on, as the logic reaches it. main() builds the
// platform's own and passes it in; a test builds one of its own.
class Platform
{
public:
    Platform() = default;
    virtual ~Platform() = default;
    Platform(const Platform &) = delete;
    Platform &operator=(const Platform &) = delete;

    virtual FileSystem &fileSystem() = 0;
    virtual Clock &clock() = 0;
    virtual WindowSystem &windowSystem() = 0;
    virtual MessageBoxes &messageBoxes() = 0;
    // Shared with the threads that send: a thread still waiting for a name
    // server may outlive the platform.
    virtual std::shared_ptr<Network> network() = 0;
    // The event loop of the window's thread, made there the first time it is
    // asked for.
    virtual EventLoop &eventLoop() = 0;
    virtual const TextCodec &textCodec() = 0;
};

} // namespace platform
