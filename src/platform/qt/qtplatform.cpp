#include "platform/qt/qtplatform.h"

#include "platform/native.h"
#include "platform/qt/guiapplication.h"

namespace qtplatform {

QtPlatform::QtPlatform(int &argc, char **argv)
{
    // Qt reads its own options (-platform, -display...) from the command
    // line once the application object is made, if ever.
    setCommandLine(argc, argv);
}

platform::EventLoop &QtPlatform::eventLoop()
{
    if (!m_loop)
        m_loop = std::make_unique<QtEventLoop>();
    return *m_loop;
}

} // namespace qtplatform

std::unique_ptr<platform::Platform> platform::makeNativePlatform(int &argc, char **argv)
{
    return std::make_unique<qtplatform::QtPlatform>(argc, argv);
}
