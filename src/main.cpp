#include "intake/inicio.h"
#include "platform/native.h"
#include "platform/windowsystem.h"

int main(int argc, char **argv)
{
    const auto platform = platform::makeNativePlatform(argc, argv);
    Inicio inicio(*platform);
    inicio.Main();
    // The program lives on only while the notification is on screen.
    if (inicio.Principal.isLoaded())
        platform->windowSystem().runEventLoop();
    return 0;
}
