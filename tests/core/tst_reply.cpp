#include "fakeplatform.h"
#include "intake/inicio.h"
#include "reply/datagramsocket.h"
#include "reply/socketerrors.h"
#include "support.h"
#include "ui/layout.h"
#include "ui/principal.h"

using fake::Log;
namespace socketerrors = reply::socketerrors;

namespace {

std::u16string incoming(std::u16string_view host, std::u16string_view port)
{
    return u"MI-Mensaje;08/12/2026 21:00:00;Ana García;" + std::u16string(host) + u';' + std::u16string(port)
        + u";Luis;10.0.0.2;40001;Hola, ¿qué tal?";
}

const std::u16string Good = incoming(u"10.0.0.1", u"40000");
std::u16string withName(std::u16string_view sender)
{
    return u"MI-Mensaje;d;" + std::u16string(sender) + u";10.0.0.1;40000;Luis;10.0.0.2;40001;Hola";
}

// A field of 70 kB, as a sender may write it.
const std::u16string LongText(70'000, u'h');

// The error box's six lines.
std::u16string errorPrompt(std::u16string_view number, std::u16string_view description, std::u16string_view source)
{
    return u"Número: " + std::u16string(number) + u"\r\nDescripción: " + std::u16string(description)
        + u"\r\n\r\nFuente: " + std::u16string(source)
        + u"\r\nVentana: Principal           Proceso : Text1_KeyPress\r\nDetalle : ";
}

} // namespace

// A notification on screen, as the intake leaves it, with the focus in the
// answer box.
class Answer : public testing::Test
{
protected:
    void SetUp() override
    {
        platform.files.files[inicio.notificationPath()] = unicode::toUtf8(Good);
        inicio.Main();
        ASSERT_TRUE(inicio.Principal.isLoaded());
        window = platform.windows.window;
        platform.log.clear();
    }

    // The answer as the user typed or pasted it.
    void type(std::u16string_view text) { window->setText(ui::Text1Index, text); }
    // Enter, and the send it starts, if any, ended by the event loop.
    void enter()
    {
        window->press(u'\r', ui::Text1Index);
        platform.net.deliver();
    }
    std::u16string box() const { return window->text(ui::Text1Index); }

    // The notification's fields as the intake would have read them.
    intake::FieldArray fields(std::u16string_view record) const
    {
        return intake::splitRecord(unicode::toUtf8(record), platform.text);
    }

    fake::FakePlatform platform;
    Inicio inicio{platform};
    fake::FakeNativeWindow *window = nullptr;
};

struct EmptyCase
{
    const char *name;
    std::optional<std::u16string> box; // none: the box as loaded
};

class EmptyAnswer : public Answer, public testing::WithParamInterface<EmptyCase> {};

// The information box, then the hint back in the box; nothing sent.
TEST_P(EmptyAnswer, IsRefused)
{
    if (GetParam().box)
        type(*GetParam().box);
    std::u16string whileShown;
    platform.boxes.whileShown = [&] { whileShown = box(); };
    enter();

    EXPECT_EQ(platform.log, Log{"information"});
    ASSERT_EQ(platform.boxes.shown.size(), 1u);
    EXPECT_EQ(platform.boxes.shown[0].prompt,
              u"Hace falta suministrar la información de 'Mensaje'. Por favor proporciónela");
    EXPECT_EQ(platform.boxes.shown[0].title, u"Notificador");
    EXPECT_EQ(whileShown, GetParam().box.value_or(Hint));
    EXPECT_EQ(box(), Hint);
    EXPECT_TRUE(inicio.Principal.isLoaded());
}

const EmptyCase EmptyCases[] = {
    {"the hint as loaded", std::nullopt},
    {"the hint typed again", Hint},
    {"an empty box", u""},
    {"spaces only", u"    "},
};
INSTANTIATE_TEST_SUITE_P(Reply, EmptyAnswer, testing::ValuesIn(EmptyCases), RowName());

struct SentCase
{
    const char *name;
    std::u16string record;
    std::u16string box;
    std::u16string host;
    std::uint16_t port;
    std::string payload;
};

class SentAnswer : public Answer, public testing::WithParamInterface<SentCase> {};

// One datagram to the sender's host and port with the parties swapped;
// then the window goes.
TEST_P(SentAnswer, IsOneDatagramToTheSender)
{
    const SentCase &row = GetParam();
    inicio.Fields = fields(row.record);
    type(row.box);
    enter();

    EXPECT_EQ(platform.log, (Log{"send", "destroy"}));
    ASSERT_EQ(platform.net.sent.size(), 1u);
    EXPECT_EQ(platform.net.sent[0].host, row.host);
    EXPECT_EQ(platform.net.sent[0].port, row.port);
    EXPECT_EQ(platform.net.sent[0].payload, row.payload);
    EXPECT_FALSE(inicio.Principal.exists());
}

const SentCase SentCases[] = {
    {"spaces around the answer", Good, u"  vale,  ahora voy  ", u"10.0.0.1", 40000,
     "MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;40001;Ana García;10.0.0.1;40000;vale,  ahora voy"},
    {"tabs only", Good, u"\t\t", u"10.0.0.1", 40000,
     "MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;40001;Ana García;10.0.0.1;40000;\t\t"},
    {"the hint in another case", Good, u"escriba la respuesta aquí...", u"10.0.0.1", 40000,
     "MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;40001;Ana García;10.0.0.1;40000;escriba la respuesta aquí..."},
    {"the hint after a space", Good, u" " + Hint, u"10.0.0.1", 40000,
     "MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;40001;Ana García;10.0.0.1;40000;Escriba la respuesta aquí..."},
    {"a separator in the answer", Good, u"uno;dos", u"10.0.0.1", 40000,
     "MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;40001;Ana García;10.0.0.1;40000;uno;dos"},
    {"the host is not trimmed", incoming(u" host ", u"40000"), u"ok", u" host ", 40000,
     "MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;40001;Ana García; host ;40000;ok"},
    {"the port is converted", incoming(u"10.0.0.1", u" 65534.5 "), u"ok", u"10.0.0.1", 65534,
     "MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;40001;Ana García;10.0.0.1; 65534.5 ;ok"},
};
INSTANTIATE_TEST_SUITE_P(Reply, SentAnswer, testing::ValuesIn(SentCases), RowName());

struct FailureCase
{
    const char *name;
    std::u16string record;
    std::optional<core::Error> refusal; // what the network raises, if anything
    std::u16string number;
    std::u16string description;
    std::u16string source;
    std::u16string remoteHostAfter; // the socket's host once the attempt failed
};

class FailedAnswer : public Answer, public testing::WithParamInterface<FailureCase> {};

// Each Enter is an attempt of its own with an error box of its own; the
// window and the answer stay. Once the cause is gone, Enter sends, dated
// anew.
TEST_P(FailedAnswer, IsReportedAndCanBeRetried)
{
    const FailureCase &row = GetParam();
    inicio.Fields = fields(row.record);
    if (row.refusal)
        platform.net.beforeSend = fake::failingWith(*row.refusal);
    type(u" hola ");
    enter();
    enter();

    EXPECT_EQ(platform.log, row.refusal ? (Log{"send", "error", "send", "error"}) : (Log{"error", "error"}));
    ASSERT_EQ(platform.boxes.shown.size(), 2u);
    for (const auto &shown : platform.boxes.shown) {
        EXPECT_EQ(shown.prompt, errorPrompt(row.number, row.description, row.source));
        EXPECT_EQ(shown.title, u"Ha ocurrido un error");
    }
    EXPECT_TRUE(platform.net.sent.empty());
    ASSERT_TRUE(inicio.Principal.isLoaded());
    EXPECT_EQ(inicio.Principal->MensajeEnviar().RemoteHost(), row.remoteHostAfter);
    EXPECT_EQ(box(), u" hola ");

    inicio.Fields = fields(Good);
    platform.net.beforeSend = nullptr;
    platform.wallClock.now.time.minute = 8;
    platform.log.clear();
    enter();
    EXPECT_EQ(platform.log, (Log{"send", "destroy"}));
    ASSERT_EQ(platform.net.sent.size(), 1u);
    EXPECT_EQ(platform.net.sent[0].payload,
              "MI-Notificar;08/12/2026 21:08:30;Luis;10.0.0.2;40001;Ana García;10.0.0.1;40000;hola");
}

const FailureCase FailureCases[] = {
    {"letters for a port", incoming(u"10.0.0.1", u"abc"), std::nullopt, u"13", u"No coinciden los tipos", u"notificador",
     u"10.0.0.1"},
    {"a port past 32 bits", incoming(u"10.0.0.1", u"2147483648"), std::nullopt, u"6", u"Desbordamiento", u"notificador",
     u"10.0.0.1"},
    {"port 65536", incoming(u"10.0.0.1", u"65536"), std::nullopt, u"380",
     u"El puerto remoto 65536 no es válido: debe estar entre 1 y 65535", u"MensajeEnviar", u"10.0.0.1"},
    {"a negative port", incoming(u"10.0.0.1", u"-5"), std::nullopt, u"380",
     u"El puerto remoto -5 no es válido: debe estar entre 1 y 65535", u"MensajeEnviar", u"10.0.0.1"},
    {"no host", incoming(u"", u"40000"), std::nullopt, u"10049", u"No se ha indicado el host remoto", u"MensajeEnviar", u""},
    {"the network refuses", Good, socketerrors::sendFailed(socketerrors::NetworkUnreachable), u"10051", u"No se puede llegar a la red del host remoto", u"MensajeEnviar",
     u"10.0.0.1"},
    // The record is composed before the socket is touched.
    {"a record without its parties", u"MI-Mensaje;d;Ana;10.0.0.1;40000", std::nullopt, u"9",
     u"El subíndice está fuera del intervalo", u"notificador", u""},
    // The box stays readable whatever the sender wrote.
    {"a host of 70 kB that does not resolve", incoming(LongText, u"40000"), socketerrors::hostNotFound(LongText, false),
     u"11001", u"No se encuentra el host «" + LongText.substr(0, 63) + u"…»", u"MensajeEnviar", LongText},
    // Too large: the answer is to blame only if a shorter one would fit.
    {"too large, a shorter answer would fit", Good, socketerrors::sendFailed(socketerrors::MessageTooBig), u"10040",
     u"La respuesta es demasiado larga para un datagrama", u"MensajeEnviar", u"10.0.0.1"},
    {"too large, position 5 of 70 kB",
     u"MI-Mensaje;d;Ana;10.0.0.1;40000;" + LongText + u";10.0.0.2;40001;Hola",
     socketerrors::sendFailed(socketerrors::MessageTooBig), u"10040",
     u"Los datos de la notificación son demasiado largos para un datagrama de respuesta", u"MensajeEnviar",
     u"10.0.0.1"},
    // Without its answer, the answer's record takes 69 bytes besides the sender's name.
    {"too large, the fields alone fill a datagram", withName(u"Ana" + std::u16string(65507 - 72, u'n')),
     socketerrors::sendFailed(socketerrors::MessageTooBig), u"10040",
     u"Los datos de la notificación son demasiado largos para un datagrama de respuesta", u"MensajeEnviar",
     u"10.0.0.1"},
    {"too large, the fields leave one byte", withName(u"Ana" + std::u16string(65507 - 73, u'n')),
     socketerrors::sendFailed(socketerrors::MessageTooBig), u"10040",
     u"La respuesta es demasiado larga para un datagrama", u"MensajeEnviar", u"10.0.0.1"},
};
INSTANTIATE_TEST_SUITE_P(Reply, FailedAnswer, testing::ValuesIn(FailureCases), RowName());

// Enter keys already on their way when the answer leaves reach a window
// that is gone.
TEST_F(Answer, ABurstOfEnterSendsOneDatagram)
{
    type(u"hola");
    for (int i = 0; i < 5; ++i)
        enter();
    EXPECT_EQ(platform.log, (Log{"send", "destroy"}));
    EXPECT_EQ(platform.net.sent.size(), 1u);
}

struct WhileSendingCase
{
    const char *name;
    std::u16string keys;                    // pressed in the answer box while the answer is on its way
    bool closed;                            // then the window is closed through its frame
    std::optional<core::Error> refusal; // how the send ends, if it is still wanted
    Log log;
    std::size_t sent;
    bool loaded;
};

class WhileSending : public Answer, public testing::WithParamInterface<WhileSendingCase> {};

// The window goes on while the answer is on its way: a second Enter starts
// no second send; once the window has gone, the send is given up and its
// outcome, whatever it would have been, shows nothing.
TEST_P(WhileSending, TheWindowGoesOn)
{
    const WhileSendingCase &row = GetParam();
    type(u" hola ");
    window->press(u'\r', ui::Text1Index);
    for (char16_t key : row.keys)
        window->press(key, ui::Text1Index);
    if (row.closed)
        window->close();
    if (row.refusal)
        platform.net.beforeSend = fake::failingWith(*row.refusal);
    platform.net.deliver();

    EXPECT_EQ(platform.log, row.log);
    EXPECT_EQ(platform.net.sent.size(), row.sent);
    EXPECT_EQ(inicio.Principal.isLoaded(), row.loaded);
    if (row.loaded) {
        EXPECT_EQ(box(), u" hola x");
    }
}

const core::Error SlowLookup = socketerrors::hostNotFound(u"10.0.0.1", true);
const WhileSendingCase WhileSendingCases[] = {
    {"a second Enter", u"\r", false, std::nullopt, {"send", "destroy"}, 1, false},
    {"typing and a second Enter, then the lookup fails", u"x\r", false, SlowLookup, {"send", "error"}, 0, true},
    {"Escape", u"\x1b", false, std::nullopt, {"send", "give up", "destroy"}, 0, false},
    {"Escape, then the lookup would fail", u"\x1b", false, SlowLookup, {"send", "give up", "destroy"}, 0, false},
    {"closed through the frame", u"", true, std::nullopt, {"send", "give up", "destroy"}, 0, false},
};
INSTANTIATE_TEST_SUITE_P(Reply, WhileSending, testing::ValuesIn(WhileSendingCases), RowName());

struct PortCase
{
    const char *name;
    std::int32_t port;
    bool accepted;
};

class RemotePort : public testing::TestWithParam<PortCase> {};

// A refused port raises 380 and leaves the port set before.
TEST_P(RemotePort, TakesOnly1To65535)
{
    fake::FakePlatform platform;
    reply::DatagramSocket socket(platform.net);
    socket.setRemotePort(4000);
    const auto raised = raisedNumber([&] { socket.setRemotePort(GetParam().port); });
    EXPECT_EQ(raised, GetParam().accepted ? std::nullopt : std::optional<std::int32_t>(380));
    EXPECT_EQ(socket.RemotePort(), GetParam().accepted ? GetParam().port : 4000);
}

const PortCase PortCases[] = {
    {"lowest", 1, true},
    {"highest", 65535, true},
    {"zero", 0, false},
    {"one past the highest", 65536, false},
    {"negative", -1, false},
};
INSTANTIATE_TEST_SUITE_P(Reply, RemotePort, testing::ValuesIn(PortCases), RowName());
