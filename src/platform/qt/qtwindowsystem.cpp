#include "platform/qt/qtwindowsystem.h"

#include "platform/failure.h"
#include "platform/qt/guiapplication.h"
#include "platform/qt/qtwindow.h"
#include "platform/qt/windowhandle.h"

#include <QApplication>
#include <QScreen>

namespace qtplatform {

platform::TwipSize QtWindowSystem::screenSizeInTwips()
{
    ensureGuiApplication();
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        throw platform::SystemFailure(platform::FailureKind::NoDisplay);
    const QSize size = screen->geometry().size();
    return {double(size.width()) * platform::TwipsPerPixel, double(size.height()) * platform::TwipsPerPixel};
}

std::unique_ptr<platform::NativeWindow> QtWindowSystem::createWindow(const platform::WindowLayout &layout,
                                                                     platform::WindowEvents &events)
{
    ensureGuiApplication();
    return std::make_unique<WindowHandle>(new QtWindow(layout, events));
}

void QtWindowSystem::runEventLoop()
{
    if (QCoreApplication::instance() && QtWindow::anyOpen())
        QApplication::exec();
}

} // namespace qtplatform
