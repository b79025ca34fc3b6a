#pragma once

#include <QValidator>

namespace qtplatform {

// Keeps a one-line box one line: a pasted line break becomes a space, so
// the text the user sees is the text sent, and the answer never carries a
// line end into the record.
class SingleLineValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &position) const override;
};

} // namespace qtplatform
