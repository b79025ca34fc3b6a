#pragma once

namespace platform {

class Clock;
class FileSystem;
class MessageBoxes;
class Network;
class WindowSystem;

// The platform implementations the program runs on. main() uses the system's
// own; a test swaps in a fake for what a real system cannot produce on demand.
struct Services
{
    FileSystem *fileSystem = nullptr;
    Clock *clock = nullptr;
    WindowSystem *windowSystem = nullptr;
    MessageBoxes *messageBoxes = nullptr;
    Network *network = nullptr;
};

const Services &services();
// Replaces the current implementations; returns the ones it replaced.
Services setServices(const Services &replacement);

FileSystem &fileSystem();
Clock &clock();
WindowSystem &windowSystem();
MessageBoxes &messageBoxes();
Network &network();

} // namespace platform
