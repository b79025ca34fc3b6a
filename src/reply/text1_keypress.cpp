#include "reply/text1_keypress.h"

#include "intake/notificationrecord.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "core/error.h"
#include "platform/messageboxes.h"
#include "platform/platform.h"
#include "platform/textcodec.h"
#include "reply/answerform.h"
#include "reply/answerrecord.h"
#include "reply/conversion.h"
#include "reply/datagramsocket.h"
#include "reply/errorreport.h"
#include "reply/socketerrors.h"
#include "core/texts.h"

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
    return trimmedOfSpaces(text).empty() || isHintText(text);
}

void refuseEmptyAnswer(AnswerForm &form)
{
    form.platform().messageBoxes().information(std::u16string(texts::EmptyAnswerPrompt),
                                                    std::u16string(texts::ApplicationTitle));
    form.setAnswerText(texts::HintText);
}

// A datagram refused as too large is the answer's fault only if a shorter
// answer would fit; if the notification's fields alone fill a datagram, no
// answer can, and the box says so.
core::Error tooLargeBecauseOf(const platform::TextCodec &codec, const intake::FieldArray &Fields,
                                  std::u16string_view sentAt, const core::Error &refusal)
{
    const std::string withoutAnswer = composeAnswer(Fields, u"", sentAt, codec);
    return withoutAnswer.size() >= socketerrors::LargestDatagram ? socketerrors::fieldsTooLong() : refusal;
}

// The handler's error trap: a failure of any step is reported in the error
// box, and the window and the answer stay.
template<typename Steps>
void withErrorTrap(AnswerForm &form, Steps steps)
{
    try {
        steps();
    } catch (const core::Error &error) {
        reportError(form.platform().messageBoxes(), error);
    } catch (const platform::SystemFailure &failure) {
        reportError(form.platform().messageBoxes(), core::errorOf(failure));
    } catch (const std::bad_alloc &) {
        reportError(form.platform().messageBoxes(), core::Error::fromNumber(core::Error::OutOfMemory));
    }
}

// The window goes only once the datagram is with the system; a send that
// failed leaves it, with the answer, for another Enter.
void answerSent(AnswerForm &form, std::u16string_view sentAt, const SendOutcome &outcome)
{
    withErrorTrap(form, [&] {
        if (!outcome) {
            form.Unload();
            return;
        }
        if (outcome->number() != core::Error::MessageTooBig)
            throw *outcome;
        throw tooLargeBecauseOf(form.platform().textCodec(), form.Fields(), sentAt, *outcome);
    });
}

// The whole record is composed before the socket is touched, so a
// notification without a sender fails before anything is set or sent. The
// send goes on while the window does: its outcome comes through answerSent.
void sendAnswer(AnswerForm &form, std::u16string_view answer)
{
    using namespace intake;
    const platform::Clock &clock = form.platform().clock();
    const FieldArray &Fields = form.Fields();
    std::u16string sentAt = clock.formatGeneralDate(clock.currentDateTime());
    const std::string record = composeAnswer(Fields, answer, sentAt, form.platform().textCodec());
    DatagramSocket &socket = form.MensajeEnviar();
    socket.setRemoteHost(Fields[SenderHost]);
    socket.setRemotePort(toLong(Fields[SenderPort]));
    socket.SendData(record, [&form, sentAt = std::move(sentAt)](const SendOutcome &outcome) {
        answerSent(form, sentAt, outcome);
    });
}

} // namespace

void Text1_KeyPress(AnswerForm &form, std::int16_t &KeyAscii)
{
    withErrorTrap(form, [&] {
        const std::u16string text = form.answerText();
        if (KeyAscii == KeyReturn) {
            // One answer at a time: an Enter while it is on its way sends
            // nothing more.
            if (form.MensajeEnviar().isSending())
                return;
            if (isEmptyAnswer(text))
                refuseEmptyAnswer(form);
            else
                sendAnswer(form, text);
            return;
        }
        // The key itself is the box's to insert once this returns.
        if (isHintText(text))
            form.setAnswerText(u"");
    });
}

} // namespace reply
