#pragma once

#include <QString>
#include <QtGlobal>

#include <exception>

namespace platform {

// Every failure in the program travels as one of these: a number, a
// description and the name of what raised it. A procedure's error trap is a
// catch of this type; the reply's error box prints the three fields.
class Error : public std::exception
{
public:
    // The numbers the program raises itself, with the run-time's meaning.
    enum Number : qint32 {
        Overflow = 6,
        OutOfMemory = 7,
        SubscriptOutOfRange = 9,
        TypeMismatch = 13,
        FileNotFound = 53,
        DeviceIOError = 57,
        InputPastEndOfFile = 62,
        PermissionDenied = 70,
        PathFileAccessError = 75,
    };

    Error(qint32 number, QString description, QString source);

    // An error with the run-time's own Spanish description for its number.
    static Error fromNumber(qint32 number, const QString &source = defaultSource());
    static QString descriptionOf(qint32 number);
    static QString defaultSource();

    qint32 number() const { return m_number; }
    const QString &description() const { return m_description; }
    const QString &source() const { return m_source; }

    const char *what() const noexcept override { return m_what.constData(); }

private:
    qint32 m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};

} // namespace platform
