#pragma once

#include <string>

namespace platform {

// Modal message boxes with a single OK button, shown over the notification
// window. Each returns once the user has closed the box.
class MessageBoxes
{
public:
    MessageBoxes() = default;
    virtual ~MessageBoxes() = default;
    MessageBoxes(const MessageBoxes &) = delete;
    MessageBoxes &operator=(const MessageBoxes &) = delete;

    // With the information icon.
    virtual void information(const std::u16string &prompt, const std::u16string &title) = 0;
    // Without an icon.
    virtual void error(const std::u16string &prompt, const std::u16string &title) = 0;
};

} // namespace platform
