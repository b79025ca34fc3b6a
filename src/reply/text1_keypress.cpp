#include "reply/text1_keypress.h"

#include "intake/notificationrecord.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/messageboxes.h"
#include "platform/platform.h"
#include "reply/conversion.h"
#include "reply/datagramsocket.h"
#include "reply/errorreport.h"
#include "ui/principal.h"
#include "ui/texts.h"

#include <new>

namespace reply {

namespace {

constexpr std::int16_t KeyReturn = 13;

bool isHintText(std::u16string_view text)
{
    return text == texts::HintText;
}

// Spaces alone, or the hint text, are no answer; tabs are.
bool isEmptyAnswer(std::u16string_view text)
{
    return intake::trimmedOfSpaces(text).empty() || isHintText(text);
}

void refuseEmptyAnswer(ui::Principal &principal)
{
    principal.platform().messageBoxes().information(std::u16string(texts::EmptyAnswerPrompt),
                                                    std::u16string(texts::ApplicationTitle));
    principal.Text1().setText(texts::HintText);
}

// The whole record is composed before the socket is touched, so a
// notification without a sender fails before anything is set or sent.
void sendAnswer(ui::Principal &principal, std::u16string_view answer)
{
    using namespace intake;
    const platform::Clock &clock = principal.platform().clock();
    const FieldArray &Fields = principal.Fields();
    const std::u16string record = composeAnswer(Fields, answer, clock.formatGeneralDate(clock.currentDateTime()));
    DatagramSocket &socket = principal.MensajeEnviar();
    socket.setRemoteHost(Fields[SenderHost]);
    socket.setRemotePort(toLong(Fields[SenderPort]));
    socket.SendData(record);
    principal.Unload();
}

} // namespace

void Text1_KeyPress(ui::Principal &principal, std::int16_t &KeyAscii)
{
    try {
        const std::u16string text = principal.Text1().text();
        if (KeyAscii == KeyReturn) {
            if (isEmptyAnswer(text))
                refuseEmptyAnswer(principal);
            else
                sendAnswer(principal, text);
            return;
        }
        // The key itself is the box's to insert once this returns.
        if (isHintText(text))
            principal.Text1().setText(u"");
    } catch (const platform::Error &error) {
        reportError(principal.platform().messageBoxes(), error);
    } catch (const std::bad_alloc &) {
        reportError(principal.platform().messageBoxes(), platform::Error::fromNumber(platform::Error::OutOfMemory));
    }
}

} // namespace reply
