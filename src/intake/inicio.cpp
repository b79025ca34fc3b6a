#include "intake/inicio.h"

#include "core/announcement.h"
#include "core/error.h"
#include "core/timeformat.h"
#include "intake/firstline.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/filesystem.h"
#include "platform/platform.h"
#include "platform/textcodec.h"
#include "platform/windowlayout.h"
#include "ui/principal.h"
#include "ui/showncaption.h"

#include <new>

namespace {

constexpr std::u16string_view NotificationFileName = u"MI.zorvi";
// Past what a label describes, by more than a character's second half.
constexpr std::size_t CaptionFieldLimit = announcement::DescribedLimit + 2;

// Clean-up steps whose failure changes nothing: each is tried and skipped
// if it fails. A fault of the program's own is no such failure.
template<typename Step>
void ignoringFailure(Step step)
{
    try {
        step();
    } catch (const core::Error &) {
    } catch (const platform::SystemFailure &) {
    } catch (const std::bad_alloc &) {
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
    platform::FileSystem &files = m_platform.fileSystem();
    // Only a record read whole is judged, and dropped if it is no
    // notification; a file that could not be read (denied, an I/O error, no
    // memory or descriptors left) may be read by the next run, and stays.
    bool readWhole = false;
    try {
        if (!files.fileExists(notificationPath()))
            return;
        std::string line;
        try {
            line = readFirstLine(files, m_platform.textCodec(), notificationPath());
        } catch (const core::Error &error) {
            // An empty file was read whole: it holds no record.
            if (error.number() == core::Error::InputPastEndOfFile)
                readWhole = true;
            throw;
        }
        readWhole = true;
        Fields = splitRecord(line, m_platform.textCodec());
        // The fields hold their own bytes: up to a mebibyte less while the
        // window is up.
        std::string().swap(line);

        // The window is loaded, and so centred, before the field is read: a
        // line too short for a sender fails with the window already loaded.
        // What the labels show is each field on its own, so that no
        // character in it can disguise it; the fields stay as they came.
        ui::Label &label1 = Principal->Label1();
        // A label carries no more of a field than it describes, and the
        // rest of a long one is not even decoded; what it is given still
        // shows that more follows.
        label1.setCaption(ui::shownCaption(Fields.prefix(SenderName, CaptionFieldLimit), ui::CaptionKind::Name));
        Principal->Label2().setCaption(
            ui::shownCaption(Fields.prefix(MessageText, CaptionFieldLimit), ui::CaptionKind::Message));
        const platform::Clock &clock = m_platform.clock();
        Principal->Label3().setCaption(clock.formatMediumTime(clock.currentTime()));

        // The file has served once the message is on screen, and not
        // before: a run that ends before then leaves it for the next. A file
        // that cannot be deleted stays, and the next run shows it again.
        Principal->whenShown(
            [this] { ignoringFailure([&] { m_platform.fileSystem().deleteFile(notificationPath()); }); });
        Principal->hWnd().showTopmostWithoutActivating();
    } catch (const platform::SystemFailure &failure) {
        // With nowhere to show it, the notification waits for a run that can.
        dropNotification(readWhole && failure.kind() != platform::FailureKind::NoDisplay);
        return;
    } catch (const core::Error &) {
        dropNotification(readWhole);
        return;
    } catch (const std::bad_alloc &) {
        dropNotification(readWhole);
        return;
    }
}

// The reader has already closed the file on every path, so what is left is
// the file and the window.
void Inicio::dropNotification(bool readWhole)
{
    platform::FileSystem &files = m_platform.fileSystem();
    if (readWhole) {
        ignoringFailure([&] {
            if (files.fileExists(notificationPath()))
                files.deleteFile(notificationPath());
        });
    }
    ignoringFailure([&] {
        if (Principal.exists())
            Principal->Unload();
    });
}
