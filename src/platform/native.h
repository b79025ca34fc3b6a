#pragma once

#include "platform/platform.h"

#include <memory>

namespace platform {

// The platform this build runs on (Qt on Linux, the Windows API on
// Windows), given the program's command line. Opens no display yet: a run
// with no notification never does.
std::unique_ptr<Platform> makeNativePlatform(int &argc, char **argv);

} // namespace platform
