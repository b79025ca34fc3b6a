#pragma once

#include "intake/notificationrecord.h"

#include <QString>

// The program's start-up: one notification per run, taken from the file
// "MI.zorvi" beside the executable.
namespace Inicio {

// The incoming notification's fields, filled once by Main and read by the
// answer box afterwards.
extern intake::FieldArray Fields;

QString notificationPath();

// Shows the notification, if there is one, in the window and deletes the
// file. Any failure on the way drops the notification without a word: the
// window is unloaded and the file deleted. Returns with the window loaded
// only when the notification is on screen.
void Main();

} // namespace Inicio
