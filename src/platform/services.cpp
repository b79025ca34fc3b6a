#include "platform/services.h"

#include "platform/clock.h"
#include "platform/filesystem.h"
#include "platform/messageboxes.h"
#include "platform/network.h"
#include "platform/windowsystem.h"

namespace platform {

namespace {

Services &current()
{
    static LocalFileSystem localFileSystem;
    static SystemClock systemClock;
    static QtWindowSystem qtWindowSystem;
    static QtMessageBoxes qtMessageBoxes;
    static SystemNetwork systemNetwork;
    static Services services{&localFileSystem, &systemClock, &qtWindowSystem, &qtMessageBoxes, &systemNetwork};
    return services;
}

} // namespace

const Services &services()
{
    return current();
}

Services setServices(const Services &replacement)
{
    const Services previous = current();
    current() = replacement;
    return previous;
}

FileSystem &fileSystem()
{
    return *current().fileSystem;
}

Clock &clock()
{
    return *current().clock;
}

WindowSystem &windowSystem()
{
    return *current().windowSystem;
}

MessageBoxes &messageBoxes()
{
    return *current().messageBoxes;
}

Network &network()
{
    return *current().network;
}

} // namespace platform
