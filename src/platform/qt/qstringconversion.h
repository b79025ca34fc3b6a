#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

// The core's text and Qt's are both UTF-16: between them is a copy, never
// a conversion.
namespace qtplatform {

inline QString toQString(std::u16string_view text)
{
    return QStringView(text.data(), qsizetype(text.size())).toString();
}

inline std::u16string_view u16View(QStringView text)
{
    return std::u16string_view(text.utf16(), std::size_t(text.size()));
}

inline std::u16string toU16String(QStringView text)
{
    return std::u16string(text.utf16(), std::size_t(text.size()));
}

} // namespace qtplatform
