#pragma once

namespace qtplatform {

// The command line that the application object will be given.
void setCommandLine(int &argc, char **argv);

// Creates the application object the first time a window or the screen is
// needed, so that a run with nothing to show never opens the display.
// Throws platform::SystemFailure (NoDisplay) when there is no display to
// open, then and on every later call.
void ensureGuiApplication();

} // namespace qtplatform
