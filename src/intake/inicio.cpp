#include "intake/inicio.h"

#include "platform/clock.h"
#include "platform/filesystem.h"
#include "platform/services.h"
#include "platform/windowsystem.h"
#include "ui/captionlabel.h"
#include "ui/principal.h"

namespace Inicio {

intake::FieldArray Fields;

namespace {

// Clean-up steps whose failure changes nothing: each is tried and skipped
// if it fails.
template<typename Step>
void ignoringFailure(Step step) noexcept
{
    try {
        step();
    } catch (...) {
    }
}

// Drops the notification without a word: the reader has already closed the
// file on every path, so what is left is the file and the window.
void dropNotification()
{
    platform::FileSystem &files = platform::fileSystem();
    ignoringFailure([&] {
        if (files.fileExists(notificationPath()))
            files.deleteFile(notificationPath());
    });
    ignoringFailure([] {
        if (ui::Principal::exists())
            ui::Principal::instance().Unload();
    });
}

} // namespace

QString notificationPath()
{
    return platform::fileSystem().executableDirectory() + QStringLiteral("/MI.zorvi");
}

void Main()
{
    using namespace intake;
    platform::FileSystem &files = platform::fileSystem();
    try {
        if (!files.fileExists(notificationPath()))
            return;
        const QString line = files.readFirstLine(notificationPath());
        Fields = splitRecord(line);

        // The window is loaded, and so centred, before the field is read: a
        // line too short for a sender fails with the window already loaded.
        ui::CaptionLabel *label1 = ui::Principal::instance().Label1();
        label1->setCaption(Fields[SenderName]);
        ui::Principal::instance().Label2()->setCaption(Fields[MessageText]);
        ui::Principal::instance().Label3()->setCaption(platform::formatMediumTime(platform::clock().currentTime()));

        platform::windowSystem().showTopmostWithoutActivating(ui::Principal::instance());
    } catch (...) {
        dropNotification();
        return;
    }
    // The message is on screen: the file has served. A file that cannot be
    // deleted stays, and the next run shows it again.
    ignoringFailure([&] { files.deleteFile(notificationPath()); });
}

} // namespace Inicio
