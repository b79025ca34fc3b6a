#include "reply/errorreport.h"

#include "core/error.h"
#include "platform/messageboxes.h"
#include "core/unicode.h"
#include "core/texts.h"

namespace reply {

std::u16string errorReportPrompt(const core::Error &error)
{
    using namespace texts;
    const std::u16string lines[] = {
        std::u16string(ErrorNumberLabel) + unicode::decimal(error.number()),
        std::u16string(ErrorDescriptionLabel) + error.description(),
        std::u16string(),
        std::u16string(ErrorSourceLabel) + error.source(),
        std::u16string(ErrorPlaceLine),
        std::u16string(ErrorDetailLine),
    };
    std::u16string prompt = lines[0];
    for (std::size_t i = 1; i < std::size(lines); ++i) {
        prompt += ErrorLineBreak;
        prompt += lines[i];
    }
    return prompt;
}

void reportError(platform::MessageBoxes &boxes, const core::Error &error)
{
    boxes.error(errorReportPrompt(error), std::u16string(texts::ErrorTitle));
}

} // namespace reply
