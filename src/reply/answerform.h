#pragma once

#include <string>
#include <string_view>

namespace intake {
class FieldArray;
}
namespace platform {
class Platform;
}

namespace reply {

class DatagramSocket;

// What the answer box's handler reaches of the window it sits in: the box's
// text, the socket, the notification being answered, and the window's end.
class AnswerForm
{
public:
    virtual std::u16string answerText() = 0;
    virtual void setAnswerText(std::u16string_view text) = 0;
    virtual DatagramSocket &MensajeEnviar() = 0;
    virtual const intake::FieldArray &Fields() const = 0;
    virtual platform::Platform &platform() = 0;
    // Unloads the window: the answer has left.
    virtual void Unload() = 0;

protected:
    ~AnswerForm() = default;
};

} // namespace reply
