#pragma once

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringView>

#include <string>
#include <string_view>

// Text in the locale's encoding, as the notification file holds it and the
// answer carries it. Qt takes the system encoding on Unix to be UTF-8, and
// so does every Debian locale the notifier is used under; decoding it
// directly is some fifteen times faster than Qt's general system decoder,
// which a long message pays for before the window shows.
namespace qtplatform {

// Invalid bytes, and a character cut short at the end, each become U+FFFD:
// shown, never dropped. A leading byte-order mark is no part of the text.
inline std::u16string decodeLocalText(QByteArrayView bytes)
{
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    std::u16string text(std::size_t(decode.requiredSpace(bytes.size())), u'\0');
    const QChar *end = decode.appendToBuffer(reinterpret_cast<QChar *>(text.data()), bytes);
    text.resize(std::size_t(end - reinterpret_cast<const QChar *>(text.data())));
    return text;
}

// A lone surrogate becomes U+FFFD, also at the very end.
inline std::string encodeLocalText(std::u16string_view text)
{
    QStringEncoder encode(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QStringView view(text.data(), qsizetype(text.size()));
    std::string bytes(std::size_t(encode.requiredSpace(view.size())), '\0');
    const char *end = encode.appendToBuffer(bytes.data(), view);
    bytes.resize(std::size_t(end - bytes.data()));
    return bytes;
}

} // namespace qtplatform
