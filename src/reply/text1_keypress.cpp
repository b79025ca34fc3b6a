#include "reply/text1_keypress.h"

#include "intake/notificationrecord.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/messageboxes.h"
#include "platform/platform.h"
#include "platform/textcodec.h"
#include "reply/conversion.h"
#include "reply/datagramsocket.h"
#include "reply/errorreport.h"
#include "reply/socketerrors.h"
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

// A datagram refused as too large is the answer's fault only if a shorter
// answer would fit; if the notification's fields alone fill a datagram, no
// answer can, and the box says so.
platform::Error tooLargeBecauseOf(const platform::TextCodec &codec, const intake::FieldArray &Fields,
                                  std::u16string_view sentAt, const platform::Error &refusal)
{
    const std::string withoutAnswer = intake::composeAnswer(Fields, u"", sentAt, codec);
    return withoutAnswer.size() >= socketerrors::LargestDatagram ? socketerrors::fieldsTooLong() : refusal;
}

// The handler's error trap: a failure of any step is reported in the error
// box, and the window and the answer stay.
template<typename Steps>
void withErrorTrap(ui::Principal &principal, Steps steps)
{
    try {
        steps();
    } catch (const platform::Error &error) {
        reportError(principal.platform().messageBoxes(), error);
    } catch (const std::bad_alloc &) {
        reportError(principal.platform().messageBoxes(), platform::Error::fromNumber(platform::Error::OutOfMemory));
    }
}

// The window goes only once the datagram is with the system; a send that
// failed leaves it, with the answer, for another Enter.
void answerSent(ui::Principal &principal, std::u16string_view sentAt, const platform::SendOutcome &outcome)
{
    withErrorTrap(principal, [&] {
        if (!outcome) {
            principal.Unload();
            return;
        }
        if (outcome->number() != socketerrors::MessageTooBig)
            throw *outcome;
        throw tooLargeBecauseOf(principal.platform().textCodec(), principal.Fields(), sentAt, *outcome);
    });
}

// The whole record is composed before the socket is touched, so a
// notification without a sender fails before anything is set or sent. The
// send goes on while the window does: its outcome comes through answerSent.
void sendAnswer(ui::Principal &principal, std::u16string_view answer)
{
    using namespace intake;
    const platform::Clock &clock = principal.platform().clock();
    const FieldArray &Fields = principal.Fields();
    std::u16string sentAt = clock.formatGeneralDate(clock.currentDateTime());
    const std::string record = composeAnswer(Fields, answer, sentAt, principal.platform().textCodec());
    DatagramSocket &socket = principal.MensajeEnviar();
    socket.setRemoteHost(Fields[SenderHost]);
    socket.setRemotePort(toLong(Fields[SenderPort]));
    socket.SendData(record, [&principal, sentAt = std::move(sentAt)](const platform::SendOutcome &outcome) {
        answerSent(principal, sentAt, outcome);
    });
}

} // namespace

void Text1_KeyPress(ui::Principal &principal, std::int16_t &KeyAscii)
{
    withErrorTrap(principal, [&] {
        const std::u16string text = principal.Text1().text();
        if (KeyAscii == KeyReturn) {
            // One answer at a time: an Enter while it is on its way sends
            // nothing more.
            if (principal.MensajeEnviar().isSending())
                return;
            if (isEmptyAnswer(text))
                refuseEmptyAnswer(principal);
            else
                sendAnswer(principal, text);
            return;
        }
        // The key itself is the box's to insert once this returns.
        if (isHintText(text))
            principal.Text1().setText(u"");
    });
}

} // namespace reply
