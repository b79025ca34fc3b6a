#include "reply/text1_keypress.h"

#include "intake/inicio.h"
#include "intake/notificationrecord.h"
#include "platform/clock.h"
#include "platform/conversion.h"
#include "platform/datagramsocket.h"
#include "platform/error.h"
#include "platform/messageboxes.h"
#include "platform/services.h"
#include "reply/errorreport.h"
#include "ui/principal.h"
#include "ui/texts.h"

#include <QLineEdit>

#include <new>

namespace reply {

namespace {

constexpr qint16 KeyReturn = 13;

bool isHintText(const QString &text)
{
    return text == texts::HintText;
}

// Spaces alone, or the hint text, are no answer; tabs are.
bool isEmptyAnswer(const QString &text)
{
    return intake::trimmedOfSpaces(text).isEmpty() || isHintText(text);
}

void refuseEmptyAnswer(QLineEdit &text1)
{
    platform::messageBoxes().information(texts::EmptyAnswerPrompt.toString(), texts::ApplicationTitle.toString());
    text1.setText(texts::HintText.toString());
}

// The whole record is composed before the socket is touched, so a
// notification without a sender fails before anything is set or sent.
void sendAnswer(ui::Principal &principal, const QString &answer)
{
    using namespace intake;
    const QString record = composeAnswer(Inicio::Fields, answer, platform::clock().currentDateTime());
    platform::DatagramSocket &socket = principal.MensajeEnviar();
    socket.setRemoteHost(Inicio::Fields[SenderHost]);
    socket.setRemotePort(platform::toLong(Inicio::Fields[SenderPort]));
    socket.SendData(record);
    principal.Unload();
}

} // namespace

void Text1_KeyPress(ui::Principal &principal, qint16 &KeyAscii)
{
    try {
        QLineEdit &text1 = *principal.Text1();
        if (KeyAscii == KeyReturn) {
            if (isEmptyAnswer(text1.text()))
                refuseEmptyAnswer(text1);
            else
                sendAnswer(principal, text1.text());
            return;
        }
        // The key itself is the box's to insert once this returns.
        if (isHintText(text1.text()))
            text1.clear();
    } catch (const platform::Error &error) {
        reportError(error);
    } catch (const std::bad_alloc &) {
        reportError(platform::Error::fromNumber(platform::Error::OutOfMemory));
    }
}

} // namespace reply
