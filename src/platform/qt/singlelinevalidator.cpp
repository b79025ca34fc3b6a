#include "platform/qt/singlelinevalidator.h"

namespace qtplatform {

QValidator::State SingleLineValidator::validate(QString &input, int &position) const
{
    // A CR LF pair is one line break, and becomes one space.
    const qsizetype pairsBeforeCursor = input.first(position).count(QStringLiteral("\r\n"));
    input.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    input.replace(u'\r', u' ');
    input.replace(u'\n', u' ');
    position -= int(pairsBeforeCursor);
    return Acceptable;
}

} // namespace qtplatform
