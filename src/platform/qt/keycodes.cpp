#include "platform/qt/keycodes.h"

#include <QKeyEvent>

namespace qtplatform {

std::optional<std::int16_t> characterCodeOf(const QKeyEvent &event)
{
    const QString text = event.text();
    if (text.isEmpty())
        return std::nullopt;
    const char16_t code = text.front().unicode();
    // X11 gives Delete the DEL character; it edits, it does not type.
    if (code == 0x7f)
        return std::nullopt;
    return std::int16_t(code);
}

} // namespace qtplatform
