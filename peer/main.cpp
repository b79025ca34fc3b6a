// notificador-peer: the messaging system's side of the notifier, for trying
// it out and wiring it in. One command hands the notifier a notification,
// the other receives the answers.

#include "listen.h"
#include "notify.h"

#include "platform/qt/localetextcodec.h"
#include "platform/qt/qstringconversion.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const char Usage[] = R"(usage:
  notificador-peer notify NOTIFIER [options]
      Writes a notification (MI.zorvi) beside the notifier executable NOTIFIER
      and starts it. Options:
        --from NAME       sender's name              (default: Ana)
        --message TEXT    the message                 (default: Hola)
        --host HOST       where the answer goes       (default: 127.0.0.1)
        --port PORT       the port the answer goes to (default: 47000)
        --to NAME         addressee's name            (default: the user's login name)
        --to-host HOST    addressee's host            (default: 127.0.0.1)
        --to-port PORT    addressee's port            (default: 47001)
        --kind KIND       kind of record              (default: MI-Mensaje)
        --wait            wait for the notifier to end and exit with its status
                          (without it, the notifier runs on with its
                          standard streams on /dev/null)
        --timeout SECONDS how long to wait for a notification still waiting
                          there to be taken before this one goes in its place
                          (default: 10)
  notificador-peer listen [options]
      Prints each answer that arrives, field by field. Options:
        --address ADDR    local IPv4 or IPv6 address  (default: 127.0.0.1)
        --port PORT       local UDP port              (default: 47000)
        --count N         end after N answers          (default: never)
        --timeout SECONDS end with status 1 if an answer takes longer
)";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    // In the locale's encoding, as the notifier reads its file: Qt would
    // read them as UTF-8 whatever the locale.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << qtplatform::toQString(qtplatform::LocaleTextCodec::ofThisProcess().decode(argv[i]));
    const QString command = arguments.value(1);
    arguments.remove(1);
    if (command == QLatin1String("notify"))
        return runNotify(arguments);
    if (command == QLatin1String("listen"))
        return runListen(arguments);
    QTextStream(stderr) << Usage;
    return command == QLatin1String("--help") || command == QLatin1String("-h") ? 0 : 2;
}
