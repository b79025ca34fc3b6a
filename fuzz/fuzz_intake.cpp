// The whole intake, from the bytes of the notification file to the filled
// labels: a real file in a temporary directory, the real reader, and the
// window on Qt's offscreen platform. Whatever the bytes, the outcome is one
// of the two the rules allow, and the file is gone either way.
#include "qtplatform.h"

#include "core/announcement.h"
#include "platform/qt/captionlabel.h"
#include "platform/qt/guiapplication.h"
#include "intake/firstline.h"
#include "platform/qt/localetextcodec.h"
#include "platform/qt/qstringconversion.h"
#include "ui/showncaption.h"

#include <QDeadlineTimer>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// A broken promise is a finding: the fuzzer keeps the input that broke it.
void check(bool condition, int line = __builtin_LINE())
{
    if (!condition) {
        std::fprintf(stderr, "%s:%d: check failed\n", __FILE__, line);
        std::abort();
    }
}

struct Setup
{
    QTemporaryDir directory;
    TestPlatform platform{directory.path()};
};

Setup *setup = nullptr;

// The record as the rules read it: the bytes before the first LF or CR,
// at most FirstLineLimit of them, without a leading UTF-8 byte-order mark,
// split at each ";" and each field decoded in the locale's encoding (UTF-8,
// the locale the targets run in unless told, and the only one with a mark).
struct Expected
{
    std::vector<std::string> bytes;
    std::vector<std::u16string> texts;
};

Expected expectedFields(QByteArrayView input)
{
    const auto &codec = qtplatform::LocaleTextCodec::ofThisProcess();
    using intake::FirstLineLimit;
    std::string_view line = std::string_view(input.data(), std::size_t(input.size())).substr(0, FirstLineLimit);
    const std::size_t end = line.find_first_of("\r\n");
    if (end != std::string_view::npos)
        line = line.substr(0, end);
    else if (line.size() == FirstLineLimit)
        line = line.substr(0, codec.wholeCharactersLength(line));
    if (codec.isUtf8() && line.starts_with("\xef\xbb\xbf"))
        line.remove_prefix(3);
    Expected fields;
    for (std::size_t start = 0; !line.empty();) {
        const std::size_t separator = line.find(';', start);
        const std::string_view field = line.substr(start, separator - start);
        fields.bytes.emplace_back(field);
        fields.texts.push_back(codec.decode(field));
        if (separator == std::string_view::npos)
            break;
        start = separator + 1;
    }
    return fields;
}

// The application object gets a command line of its own: the fuzzer's
// options are not Qt's to read.
int applicationArgc = 1;
char applicationName[] = "fuzz_intake";
char *applicationArgv[] = {applicationName, nullptr};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("LC_ALL"))
        qputenv("LC_ALL", "C.UTF-8");
    qtplatform::setCommandLine(applicationArgc, applicationArgv);
    qtplatform::ensureGuiApplication();
    setup = new Setup;
    check(setup->directory.isValid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        Inicio inicio(setup->platform);
        const QString path = qtplatform::toQString(inicio.notificationPath());
        check(writeFile(path, bytes.toByteArray()));
        inicio.Main();
        // A shown notification goes once its window is on screen.
        for (QDeadlineTimer limit(5000); QFile::exists(path) && !limit.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        check(!QFile::exists(path));
        const Expected expected = expectedFields(bytes);
        if (expected.texts.size() < 9) {
            check(!inicio.Principal.isLoaded());
        } else {
            check(inicio.Principal.isLoaded());
            qtplatform::QtWindow *window = shownWindow(inicio);
            check(window && window->isVisible());
            check(inicio.Fields.size() == expected.texts.size());
            for (std::size_t i = 0; i < inicio.Fields.size(); ++i)
                check(inicio.Fields.raw(i) == expected.bytes[i] && inicio.Fields[i] == expected.texts[i]);
            // Each label shows its field as the core presents it, cut short.
            using ui::CaptionKind;
            for (const auto &[name, position, kind] :
                 {std::tuple{"Label1", 2, CaptionKind::Name}, std::tuple{"Label2", 8, CaptionKind::Message}}) {
                const auto *label = window->findChild<qtplatform::CaptionLabel *>(name);
                check(label && label->text().size() <= qtplatform::CaptionLabel::ShownLimit + 4);
                const std::u16string shown = ui::shownCaption(expected.texts[std::size_t(position)], kind);
                QString caption = label->caption();
                if (caption.size() > qsizetype(announcement::DescribedLimit))
                    caption.chop(1); // the ellipsis after a cut
                check(qtplatform::toU16String(caption) == shown.substr(0, std::size_t(caption.size())));
            }
            inicio.Principal->Unload();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    check(qApp->topLevelWidgets().isEmpty());
    return 0;
}
