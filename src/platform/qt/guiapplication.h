#pragma once

namespace qtplatform {

// The command line that the application object will be given.
void setCommandLine(int &argc, char **argv);

// Creates the application object the first time a window or the screen is
// needed, so that a run with nothing to show never opens the display. When
// there is no display to open, the process ends here, quietly and with
// status 0, before anything has been thrown away: the notification file
// stays for the next run.
void ensureGuiApplication();

} // namespace qtplatform
