#pragma once

#include <QValidator>

namespace qtplatform {

// Keeps a one-line box one line, whatever reaches it (a paste, a drop, an
// input method's text), as textbox::oneLine makes a text one line.
class SingleLineValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &position) const override;
};

} // namespace qtplatform
