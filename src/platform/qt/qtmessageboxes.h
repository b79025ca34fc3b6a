#pragma once

#include "platform/messageboxes.h"

namespace qtplatform {

class QtMessageBoxes final : public platform::MessageBoxes
{
public:
    void information(const std::u16string &prompt, const std::u16string &title) override;
    void error(const std::u16string &prompt, const std::u16string &title) override;
};

} // namespace qtplatform
