#include "platform/error.h"

namespace platform {

Error::Error(qint32 number, QString description, QString source)
    : m_number(number)
    , m_description(std::move(description))
    , m_source(std::move(source))
    , m_what(QStringLiteral("%1: %2 (%3)").arg(number).arg(m_description, m_source).toUtf8())
{
}

Error Error::fromNumber(qint32 number, const QString &source)
{
    return Error(number, descriptionOf(number), source);
}

QString Error::descriptionOf(qint32 number)
{
    switch (number) {
    case Overflow:
        return QStringLiteral("Desbordamiento");
    case OutOfMemory:
        return QStringLiteral("Memoria insuficiente");
    case SubscriptOutOfRange:
        return QStringLiteral("El subíndice está fuera del intervalo");
    case TypeMismatch:
        return QStringLiteral("No coinciden los tipos");
    case FileNotFound:
        return QStringLiteral("No se ha encontrado el archivo");
    case DeviceIOError:
        return QStringLiteral("Error de E/S en el dispositivo");
    case InputPastEndOfFile:
        return QStringLiteral("La entrada pasa del final del archivo");
    case PermissionDenied:
        return QStringLiteral("Permiso denegado");
    case PathFileAccessError:
        return QStringLiteral("Error de acceso a la ruta o el archivo");
    }
    return QStringLiteral("Error definido por la aplicación o por el objeto");
}

QString Error::defaultSource()
{
    return QStringLiteral("notificador");
}

} // namespace platform
