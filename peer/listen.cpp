#include "listen.h"

#include "datagramreceiver.h"

#include <QCommandLineParser>
#include <QStringDecoder>
#include <QTextStream>

namespace {

const char *const Roles[] = {
    "kind", "sent at", "from", "from host", "from port", "to", "to host", "to port", "message",
};

// Quoted, with control characters spelled out, so that a stray tab or an
// empty field is plain to see.
QString quoted(const QString &field)
{
    QString text = QStringLiteral("\"");
    for (QChar c : field) {
        if (c == u'"' || c == u'\\')
            text += u'\\' + QString(c);
        else if (c == u'\t')
            text += QStringLiteral("\\t");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            text += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            text += c;
    }
    return text + u'"';
}

int fail(const QString &message)
{
    QTextStream(stderr) << "notificador-peer listen: " << message << Qt::endl;
    return 2;
}

} // namespace

QString describeAnswer(const QByteArray &payload, const QString &fromHost, quint16 fromPort)
{
    QStringDecoder decode(QStringConverter::System);
    const QStringList fields = QString(decode(payload)).split(u';');
    QString text;
    QTextStream out(&text);
    out << "answer from " << fromHost << " port " << fromPort << ", " << payload.size() << " bytes, " << fields.size()
        << (fields.size() == 1 ? " field" : " fields") << '\n';
    for (qsizetype position = 0; position < fields.size(); ++position) {
        const QString role = position < qsizetype(std::size(Roles)) ? QLatin1String(Roles[position])
                                                                    : QStringLiteral("(extra)");
        out << qSetFieldWidth(3) << Qt::right << position << qSetFieldWidth(0) << ' ' << qSetFieldWidth(10) << Qt::left
            << role << qSetFieldWidth(0) << ' ' << quoted(fields.at(position)) << '\n';
    }
    return text;
}

int runListen(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption address(QStringLiteral("address"), QString(), QStringLiteral("ADDR"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("PORT"), QStringLiteral("47000"));
    const QCommandLineOption count(QStringLiteral("count"), QString(), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption timeout(QStringLiteral("timeout"), QString(), QStringLiteral("SECONDS"), QStringLiteral("-1"));
    parser.addOptions({address, port, count, timeout});
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().constFirst()));

    bool numbers[3] = {};
    const uint portNumber = parser.value(port).toUInt(&numbers[0]);
    const int wanted = parser.value(count).toInt(&numbers[1]);
    const double seconds = parser.value(timeout).toDouble(&numbers[2]);
    if (!numbers[0] || portNumber > 65535 || !numbers[1] || wanted < 0 || !numbers[2])
        return fail(QStringLiteral("--port takes 0 to 65535, --count a whole number, --timeout seconds"));

    DatagramReceiver receiver(parser.value(address), quint16(portNumber));
    if (!receiver.isOpen())
        return fail(receiver.errorString());
    QTextStream out(stdout);
    out << "listening on " << parser.value(address) << " port " << receiver.port() << Qt::endl;

    const int timeoutMs = seconds < 0 ? -1 : int(seconds * 1000);
    for (int received = 0; wanted == 0 || received < wanted; ++received) {
        const auto datagram = receiver.receive(timeoutMs);
        if (!datagram) {
            QTextStream(stderr) << "no answer within " << seconds << " s" << Qt::endl;
            return 1;
        }
        out << describeAnswer(datagram->payload, datagram->fromHost, datagram->fromPort) << Qt::flush;
    }
    return 0;
}
