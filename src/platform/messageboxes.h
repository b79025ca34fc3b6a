#pragma once

#include <QString>

namespace platform {

// Modal message boxes with a single OK button. Each returns once the user
// has closed the box.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;

    // With the information icon.
    virtual void information(const QString &prompt, const QString &title) = 0;
    // Without an icon.
    virtual void error(const QString &prompt, const QString &title) = 0;
};

class QtMessageBoxes : public MessageBoxes
{
public:
    void information(const QString &prompt, const QString &title) override;
    void error(const QString &prompt, const QString &title) override;
};

} // namespace platform
