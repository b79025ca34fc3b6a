#include "platform/qt/singlelinevalidator.h"

#include "core/textbox.h"
#include "platform/qt/qstringconversion.h"

namespace qtplatform {

QValidator::State SingleLineValidator::validate(QString &input, int &position) const
{
    if (!input.contains(u'\r') && !input.contains(u'\n'))
        return Acceptable;
    const std::u16string_view text = u16View(input);
    // The cursor stays after what stood before it.
    position = int(textbox::oneLine(text.substr(0, std::size_t(position))).size());
    input = toQString(textbox::oneLine(text));
    return Acceptable;
}

} // namespace qtplatform
