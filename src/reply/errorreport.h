#pragma once

#include <string>

namespace platform {
class Error;
class MessageBoxes;
} // namespace platform

namespace reply {

// The six lines of the error box for an answer that failed: number,
// description, an empty line, source, where it happened, and the detail,
// joined by CR LF.
std::u16string errorReportPrompt(const platform::Error &error);

// Shows the error box; returns once the user has closed it.
void reportError(platform::MessageBoxes &boxes, const platform::Error &error);

} // namespace reply
