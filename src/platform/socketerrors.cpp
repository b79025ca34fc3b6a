#include "platform/socketerrors.h"

#include <cerrno>

namespace platform::socketerrors {

Error invalidPort(qint32 port)
{
    return Error(InvalidPropertyValue,
                 QStringLiteral("El puerto remoto %1 no es válido: debe estar entre 1 y 65535").arg(port), Source);
}

Error noRemoteHost()
{
    return Error(AddressNotAvailable, QStringLiteral("No se ha indicado el host remoto"), Source);
}

Error hostNotFound(const QString &host, bool tryAgain)
{
    if (tryAgain)
        return Error(HostNotFoundTryAgain,
                     QStringLiteral("No se ha podido resolver el host «%1» en este momento").arg(host), Source);
    return Error(HostNotFound, QStringLiteral("No se encuentra el host «%1»").arg(host), Source);
}

Error sendFailed(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return Error(AccessDenied, QStringLiteral("Permiso denegado para enviar a esa dirección"), Source);
    case EMSGSIZE:
        return Error(MessageTooBig, QStringLiteral("La respuesta es demasiado larga para un datagrama"), Source);
    case EADDRNOTAVAIL:
    case EAFNOSUPPORT:
        return Error(AddressNotAvailable, QStringLiteral("La dirección remota no está disponible"), Source);
    case ENETUNREACH:
        return Error(NetworkUnreachable, QStringLiteral("No se puede llegar a la red del host remoto"), Source);
    case ENOBUFS:
    case ENOMEM:
        return Error(NoBufferSpace, QStringLiteral("No queda espacio en el búfer del sistema"), Source);
    case EHOSTUNREACH:
        return Error(HostUnreachable, QStringLiteral("No se puede llegar al host remoto"), Source);
    }
    return Error(NetworkDown, QStringLiteral("No se ha podido enviar el datagrama (error del sistema %1)").arg(errorNumber),
                 Source);
}

} // namespace platform::socketerrors
