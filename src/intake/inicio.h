#pragma once

#include "intake/notificationrecord.h"
#include "ui/principal.h"

#include <string>

namespace platform {
class Platform;
}

// The program's start-up: one notification per run, taken from the file
// "MI.zorvi" beside the executable.
class Inicio
{
public:
    explicit Inicio(platform::Platform &platform);

    // Shows the notification, if there is one, in the window, and deletes the
    // file once the window system reports the window on screen. Any failure
    // on the way drops the notification without a word: the window is
    // unloaded, and the file deleted if it was read (a record that is no
    // notification); a file that could not be read stays. Returns with the
    // window loaded only when the notification has been shown.
    void Main();

    // The notification file's full path, built anew for every use.
    std::u16string notificationPath() const;

    // The incoming notification's fields, filled once by Main and read by the
    // answer box afterwards.
    intake::FieldArray Fields;
    // The window: the program goes on while it is loaded.
    ui::PrincipalReference Principal;

private:
    void dropNotification(bool readWhole);

    platform::Platform &m_platform;
};
