#pragma once

#include "platform/error.h"

#include <QString>

// The errors the datagram socket raises: its own numbers, Spanish
// descriptions, and the socket's name as their source.
namespace platform::socketerrors {

inline const QString Source = QStringLiteral("MensajeEnviar");

enum Number : qint32 {
    InvalidPropertyValue = 380,
    AccessDenied = 10013,
    MessageTooBig = 10040,
    AddressNotAvailable = 10049,
    NetworkDown = 10050,
    NetworkUnreachable = 10051,
    NoBufferSpace = 10055,
    HostUnreachable = 10065,
    HostNotFound = 11001,
    HostNotFoundTryAgain = 11002,
};

Error invalidPort(qint32 port);
Error noRemoteHost();
Error hostNotFound(const QString &host, bool tryAgain);
// A send the system refused, from the errno it gave.
Error sendFailed(int errorNumber);

} // namespace platform::socketerrors
