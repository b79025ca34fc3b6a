#include "notify.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStringEncoder>
#include <QTextStream>

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
    parser.addOptions({from, message, host, port, to, toHost, toPort, kind, wait});
    parser.addPositionalArgument(QStringLiteral("NOTIFIER"), QString());
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("name the notifier executable, once"));

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

    // A notification already waiting there has not been shown yet.
    const QString path = notifier.absoluteDir().filePath(QStringLiteral("MI.zorvi"));
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("%1 is already there, waiting to be shown").arg(path));

    // Written whole under another name and then renamed, so the notifier
    // never reads half a record.
    QSaveFile file(path);
    QStringEncoder encode(QStringConverter::System);
    if (!file.open(QIODevice::WriteOnly) || file.write(encode(fields.join(u';') + u'\n')) < 0 || !file.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    QTextStream(stdout) << "notification written to " << path << Qt::endl;

    const QString program = notifier.absoluteFilePath();
    if (parser.isSet(wait)) {
        const int status = QProcess::execute(program, {});
        if (status < 0)
            return fail(QStringLiteral("%1 did not run to its end").arg(program));
        return status;
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(program, {}, QString(), &pid))
        return fail(QStringLiteral("cannot start %1").arg(program));
    QTextStream(stdout) << "notifier started, process " << pid << Qt::endl;
    return 0;
}
