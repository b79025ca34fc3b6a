#pragma once

#include "platform/windowsystem.h"

namespace qtplatform {

// Windows on the desktop Qt connects to. The display is opened only when a
// window or the screen is first asked for.
class QtWindowSystem final : public platform::WindowSystem
{
public:
    platform::TwipSize screenSizeInTwips() override;
    std::unique_ptr<platform::NativeWindow> createWindow(const platform::WindowLayout &layout,
                                                         platform::WindowEvents &events) override;
    void runEventLoop() override;
};

} // namespace qtplatform
