#include "intake/inicio.h"

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/filesystem.h"
#include "platform/platform.h"
#include "platform/textcodec.h"
#include "ui/principal.h"
#include "ui/showncaption.h"

namespace {

constexpr std::u16string_view NotificationFileName = u"MI.zorvi";

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

} // namespace

Inicio::Inicio(platform::Platform &platform)
    : Principal(platform, Fields)
    , m_platform(platform)
{
}

std::u16string Inicio::notificationPath() const
{
    const platform::FileSystem &files = m_platform.fileSystem();
    return files.executableDirectory() + files.pathSeparator() + std::u16string(NotificationFileName);
}

void Inicio::Main()
{
    using namespace intake;
    using Selector = platform::FileSystem::Selector;
    platform::FileSystem &files = m_platform.fileSystem();
    // Only a record read whole is judged, and dropped if it is no
    // notification; a file that could not be read (denied, an I/O error, no
    // memory or descriptors left) may be read by the next run, and stays.
    bool readWhole = false;
    try {
        if (!files.fileExists(notificationPath(), Selector::Archive))
            return;
        std::string line;
        try {
            line = files.readFirstLine(notificationPath());
        } catch (const platform::Error &error) {
            // An empty file was read whole: it holds no record.
            if (error.number() == platform::Error::InputPastEndOfFile)
                readWhole = true;
            throw;
        }
        readWhole = true;
        Fields = splitRecord(line, m_platform.textCodec());

        // The window is loaded, and so centred, before the field is read: a
        // line too short for a sender fails with the window already loaded.
        // What the labels show is each field on its own, so that no
        // character in it can disguise it; the fields stay as they came.
        ui::Label &label1 = Principal->Label1();
        label1.setCaption(ui::shownCaption(Fields[SenderName], ui::CaptionKind::Name));
        Principal->Label2().setCaption(ui::shownCaption(Fields[MessageText], ui::CaptionKind::Message));
        const platform::Clock &clock = m_platform.clock();
        Principal->Label3().setCaption(clock.formatMediumTime(clock.currentTime()));

        Principal->hWnd().showTopmostWithoutActivating();
    } catch (...) {
        dropNotification(readWhole);
        return;
    }
    // The message is on screen: the file has served. A file that cannot be
    // deleted stays, and the next run shows it again.
    ignoringFailure([&] { files.deleteFile(notificationPath()); });
}

// The reader has already closed the file on every path, so what is left is
// the file and the window.
void Inicio::dropNotification(bool readWhole)
{
    using Selector = platform::FileSystem::Selector;
    platform::FileSystem &files = m_platform.fileSystem();
    if (readWhole) {
        ignoringFailure([&] {
            if (files.fileExists(notificationPath(), Selector::Normal))
                files.deleteFile(notificationPath());
        });
    }
    ignoringFailure([&] {
        if (Principal.exists())
            Principal->Unload();
    });
}
