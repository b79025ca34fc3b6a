#pragma once

#include <QString>

namespace platform {
class Error;
}

namespace reply {

// The six lines of the error box for an answer that failed: number,
// description, an empty line, source, where it happened, and the detail.
QString errorReportPrompt(const platform::Error &error);

// Shows the error box; returns once the user has closed it.
void reportError(const platform::Error &error);

} // namespace reply
