#pragma once

#include <string>

namespace core {
class Error;
}
namespace platform {
class MessageBoxes;
}

namespace reply {

// The six lines of the error box for an answer that failed: number,
// description, an empty line, source, where it happened, and the detail,
// joined by CR LF.
std::u16string errorReportPrompt(const core::Error &error);

// Shows the error box; returns once the user has closed it.
void reportError(platform::MessageBoxes &boxes, const core::Error &error);

} // namespace reply
