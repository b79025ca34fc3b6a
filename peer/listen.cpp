#include "listen.h"

#include "datagramreceiver.h"

#include "core/unicode.h"
#include "platform/qt/localetextcodec.h"
#include "platform/qt/qstringconversion.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <cstdio>

namespace {

const char *const Roles[] = {
    "kind", "sent at", "from", "from host", "from port", "to", "to host", "to port", "message",
};

// Quoted, with control and invisible characters spelled out, as the
// notifier's window shows a sender's name: a stray tab or an empty field is
// plain to see, and no datagram drives the terminal or reorders the lines.
QString quoted(std::u16string_view field)
{
    QString text = QStringLiteral("\"");
    for (std::size_t i = 0; i < field.size();) {
        const auto [c, length] = unicode::codePointAt(field, i);
        if (c == u'"' || c == u'\\')
            text += QStringLiteral("\\") + QChar(char16_t(c));
        else if (c == u'\t')
            text += QStringLiteral("\\t");
        else if (c < 0x20 || c == 0x7f)
            text += QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
        else if (unicode::isHidden(c))
            text += c > 0xFFFF ? QStringLiteral("\\U%1").arg(uint(c), 8, 16, QLatin1Char('0'))
                               : QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
        else
            text += qtplatform::toQString(field.substr(i, length));
        i += length;
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
    // Each field on its own in the locale's encoding, as the notifier reads
    // a record.
    const QList<QByteArray> fields = payload.split(';');
    QString text;
    QTextStream out(&text);
    out << "answer from " << fromHost << " port " << fromPort << ", " << payload.size() << " bytes, " << fields.size()
        << (fields.size() == 1 ? " field" : " fields") << '\n';
    for (qsizetype position = 0; position < fields.size(); ++position) {
        const QString role = position < qsizetype(std::size(Roles)) ? QLatin1String(Roles[position])
                                                                    : QStringLiteral("(extra)");
        out << qSetFieldWidth(3) << Qt::right << position << qSetFieldWidth(0) << ' ' << qSetFieldWidth(10) << Qt::left
            << role << qSetFieldWidth(0) << ' '
            << quoted(qtplatform::LocaleTextCodec::ofThisProcess().decode(fields.at(position).toStdString())) << '\n';
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
        // Printed in the locale's encoding, which the terminal shows.
        const std::string text = qtplatform::LocaleTextCodec::ofThisProcess().encode(
            qtplatform::u16View(describeAnswer(datagram->payload, datagram->fromHost, datagram->fromPort)));
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
