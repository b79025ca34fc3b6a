#include "reply/errorreport.h"

#include "platform/error.h"
#include "platform/messageboxes.h"
#include "platform/services.h"
#include "ui/texts.h"

#include <QStringList>

namespace reply {

QString errorReportPrompt(const platform::Error &error)
{
    using namespace texts;
    const QStringList lines{
        ErrorNumberLabel.toString() + QString::number(error.number()),
        ErrorDescriptionLabel.toString() + error.description(),
        QString(),
        ErrorSourceLabel.toString() + error.source(),
        ErrorPlaceLine.toString(),
        ErrorDetailLine.toString(),
    };
    return lines.join(QStringLiteral("\r\n"));
}

void reportError(const platform::Error &error)
{
    platform::messageBoxes().error(errorReportPrompt(error), texts::ErrorTitle.toString());
}

} // namespace reply
