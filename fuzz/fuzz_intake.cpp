// The whole intake, from the bytes of the notification file to the filled
// labels: a real file in a temporary directory, the real reader, and the
// window on the offscreen platform. Whatever the bytes, the outcome is one
// of the two the rules allow, and the file is gone either way.
#include "fakes.h"
#include "intake/inicio.h"
#include "platform/guiapplication.h"
#include "ui/captionlabel.h"
#include "ui/principal.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

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
    RedirectedFileSystem files{directory.path()};
    FixedClock clock;
};

Setup *setup = nullptr;

// The record as the rules read it: the text before the first LF or CR,
// decoded as UTF-8 (the locale the targets run in).
QStringList expectedFields(const QByteArray &bytes)
{
    qsizetype end = bytes.size();
    for (char lineBreak : {'\n', '\r'}) {
        const qsizetype at = bytes.indexOf(lineBreak);
        if (at >= 0 && at < end)
            end = at;
    }
    const QString line = QString::fromUtf8(bytes.first(end));
    return line.isEmpty() ? QStringList() : line.split(u';');
}

} // namespace

namespace {

// The application object gets a command line of its own: the fuzzer's
// options are not Qt's to read.
int applicationArgc = 1;
char applicationName[] = "fuzz_intake";
char *applicationArgv[] = {applicationName, nullptr};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "C.UTF-8");
    platform::setCommandLine(applicationArgc, applicationArgv);
    platform::ensureGuiApplication();
    setup = new Setup;
    check(setup->directory.isValid());
    platform::Services services = platform::services();
    services.fileSystem = &setup->files;
    services.clock = &setup->clock;
    platform::setServices(services);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Inicio::notificationPath();
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }
    Inicio::Fields = {};
    Inicio::Main();

    check(!QFile::exists(path));
    const QStringList expected = expectedFields(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (expected.size() < 9) {
        check(!ui::Principal::exists());
    } else {
        check(ui::Principal::exists());
        ui::Principal &window = ui::Principal::instance();
        check(window.isVisible());
        check(Inicio::Fields.toList() == expected);
        check(window.Label1()->caption() == expected[2]);
        check(window.Label2()->caption() == expected[8]);
        check(window.Label2()->text().size() <= ui::CaptionLabel::ShownLimit);
        window.Unload();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    check(!ui::Principal::exists());
    return 0;
}
