#include "notify.h"

#include "platform/qt/localetextcodec.h"
#include "platform/qt/qstringconversion.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <QTextStream>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace {

int fail(const QString &message)
{
    QTextStream(stderr) << "notificador-peer notify: " << message << Qt::endl;
    return 2;
}

QString loginName()
{
    const QString user = qEnvironmentVariable("USER");
    if (!user.isEmpty())
        return user;
    const passwd *entry = getpwuid(getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QStringLiteral("usuario");
}

// Renames FROM to TO unless TO exists, retrying while it does for up to
// WAIT. Returns what went wrong, or nothing.
QString renameIntoPlace(const QString &from, const QString &to, std::chrono::milliseconds wait)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) != 0) {
        const int error = errno;
        if (error != EEXIST)
            return QStringLiteral("cannot rename %1 to %2: %3").arg(from, to, QString::fromLocal8Bit(std::strerror(error)));
        if (std::chrono::steady_clock::now() >= deadline)
            return QStringLiteral("%1 is already there, waiting to be shown").arg(to);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return {};
}

} // namespace

int runNotify(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("NAME"), QStringLiteral("Ana"));
    const QCommandLineOption message(QStringLiteral("message"), QString(), QStringLiteral("TEXT"), QStringLiteral("Hola"));
    const QCommandLineOption host(QStringLiteral("host"), QString(), QStringLiteral("HOST"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("PORT"), QStringLiteral("47000"));
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("NAME"), loginName());
    const QCommandLineOption toHost(QStringLiteral("to-host"), QString(), QStringLiteral("HOST"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption toPort(QStringLiteral("to-port"), QString(), QStringLiteral("PORT"), QStringLiteral("47001"));
    const QCommandLineOption kind(QStringLiteral("kind"), QString(), QStringLiteral("KIND"), QStringLiteral("MI-Mensaje"));
    const QCommandLineOption wait(QStringLiteral("wait"));
    const QCommandLineOption timeout(QStringLiteral("timeout"), QString(), QStringLiteral("SECONDS"), QStringLiteral("10"));
    parser.addOptions({from, message, host, port, to, toHost, toPort, kind, wait, timeout});
    parser.addPositionalArgument(QStringLiteral("NOTIFIER"), QString());
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("name the notifier executable, once"));

    bool timeoutIsNumber = false;
    const double timeoutSeconds = parser.value(timeout).toDouble(&timeoutIsNumber);
    if (!timeoutIsNumber || timeoutSeconds < 0 || timeoutSeconds > 86400)
        return fail(QStringLiteral("--timeout takes seconds, 0 to 86400"));
    const auto waitMs = std::chrono::milliseconds(qint64(timeoutSeconds * 1000));

    const QFileInfo notifier(parser.positionalArguments().constFirst());
    if (!notifier.isFile() || !notifier.isExecutable())
        return fail(QStringLiteral("%1 is not an executable file").arg(notifier.filePath()));

    const QStringList fields{
        parser.value(kind),
        QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")),
        parser.value(from), parser.value(host), parser.value(port),
        parser.value(to), parser.value(toHost), parser.value(toPort),
        parser.value(message),
    };
    // The record has no escaping: a separator or a line break inside a field
    // would silently change what the notifier reads.
    for (const QString &field : fields) {
        if (field.contains(u';') || field.contains(u'\n') || field.contains(u'\r'))
            return fail(QStringLiteral("a field cannot hold ';' or a line break: %1").arg(field));
    }

    // The notification is written whole under another name, then renamed
    // into place, so the notifier never reads half a record. It is never
    // renamed over one still waiting there: a run of the notifier may not
    // have claimed that one yet, and it would be lost. The peer waits until
    // the notifier has taken it (shown and deleted it), as long as --timeout.
    const QString path = notifier.absoluteDir().filePath(QStringLiteral("MI.zorvi"));
    QTemporaryFile file(notifier.absoluteDir().filePath(QStringLiteral(".MI.zorvi.XXXXXX")));
    // In the locale's encoding, which the notifier reads it in.
    const std::string record =
        qtplatform::LocaleTextCodec::ofThisProcess().encode(qtplatform::u16View(fields.join(u';') + u'\n'));
    if (!file.open() || file.write(record.data(), qint64(record.size())) < 0 || !file.flush())
        return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    file.close();
    if (const QString refusal = renameIntoPlace(file.fileName(), path, waitMs); !refusal.isEmpty())
        return fail(refusal);
    QTextStream(stdout) << "notification written to " << path << Qt::endl;

    const QString program = notifier.absoluteFilePath();
    if (parser.isSet(wait)) {
        const int status = QProcess::execute(program, {});
        if (status < 0)
            return fail(QStringLiteral("%1 did not run to its end").arg(program));
        return status;
    }
    // Left running on its own, with nothing of the caller's: whoever reads
    // the peer's output is not kept waiting until the window closes.
    QProcess process;
    process.setProgram(program);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return fail(QStringLiteral("cannot start %1").arg(program));
    QTextStream(stdout) << "notifier started, process " << pid << Qt::endl;
    return 0;
}
