#include "fakeplatform.h"
#include "intake/inicio.h"
#include "reply/backgroundsend.h"
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
        platform.deliver();
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

    EXPECT_EQ(platform.log, (Log{"timer", "destroy"}));
    const std::string to = unicode::toUtf8(row.host) + ':' + std::to_string(row.port);
    EXPECT_EQ(platform.net->sent(), (fake::Sent{{to, row.payload}}));
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
    std::optional<platform::FailureKind> refusal; // how the lookup or the send fails, if it does
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
    platform.net->failWith(row.refusal);
    type(u" hola ");
    enter();
    enter();

    EXPECT_EQ(platform.log, row.refusal ? (Log{"timer", "error", "timer", "error"}) : (Log{"error", "error"}));
    ASSERT_EQ(platform.boxes.shown.size(), 2u);
    for (const auto &shown : platform.boxes.shown) {
        EXPECT_EQ(shown.prompt, errorPrompt(row.number, row.description, row.source));
        EXPECT_EQ(shown.title, u"Ha ocurrido un error");
    }
    EXPECT_TRUE(platform.net->sent().empty());
    ASSERT_TRUE(inicio.Principal.isLoaded());
    EXPECT_EQ(inicio.Principal->MensajeEnviar().RemoteHost(), row.remoteHostAfter);
    EXPECT_EQ(box(), u" hola ");

    inicio.Fields = fields(Good);
    platform.net->failWith(std::nullopt);
    platform.wallClock.now.time.minute = 8;
    platform.log.clear();
    enter();
    EXPECT_EQ(platform.log, (Log{"timer", "destroy"}));
    ASSERT_EQ(platform.net->sent().size(), 1u);
    EXPECT_EQ(platform.net->sent()[0].second,
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
    {"the network refuses", Good, platform::FailureKind::NetworkUnreachable, u"10051",
     u"No se puede llegar a la red del host remoto", u"MensajeEnviar", u"10.0.0.1"},
    // The record is composed before the socket is touched.
    {"a record without its parties", u"MI-Mensaje;d;Ana;10.0.0.1;40000", std::nullopt, u"9",
     u"El subíndice está fuera del intervalo", u"notificador", u""},
    // The box stays readable whatever the sender wrote.
    {"a host of 70 kB that does not resolve", incoming(LongText, u"40000"), platform::FailureKind::HostNotFound,
     u"11001", u"No se encuentra el host «" + LongText.substr(0, 63) + u"…»", u"MensajeEnviar", LongText},
    // Too large: the answer is to blame only if a shorter one would fit.
    {"too large, a shorter answer would fit", Good, platform::FailureKind::MessageTooBig, u"10040",
     u"La respuesta es demasiado larga para un datagrama", u"MensajeEnviar", u"10.0.0.1"},
    {"too large, position 5 of 70 kB",
     u"MI-Mensaje;d;Ana;10.0.0.1;40000;" + LongText + u";10.0.0.2;40001;Hola",
     platform::FailureKind::MessageTooBig, u"10040",
     u"Los datos de la notificación son demasiado largos para un datagrama de respuesta", u"MensajeEnviar",
     u"10.0.0.1"},
    // Without its answer, the answer's record takes 69 bytes besides the sender's name.
    {"too large, the fields alone fill a datagram", withName(u"Ana" + std::u16string(65507 - 72, u'n')),
     platform::FailureKind::MessageTooBig, u"10040",
     u"Los datos de la notificación son demasiado largos para un datagrama de respuesta", u"MensajeEnviar",
     u"10.0.0.1"},
    {"too large, the fields leave one byte", withName(u"Ana" + std::u16string(65507 - 73, u'n')),
     platform::FailureKind::MessageTooBig, u"10040",
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
    EXPECT_EQ(platform.log, (Log{"timer", "destroy"}));
    EXPECT_EQ(platform.net->sent().size(), 1u);
}

struct WhileSendingCase
{
    const char *name;
    std::u16string keys;                    // pressed in the answer box while the answer is on its way
    bool closed;                            // then the window is closed through its frame
    std::optional<platform::FailureKind> refusal; // how the send ends, if it is still wanted
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
    platform.net->failWith(row.refusal);
    platform.deliver();

    EXPECT_EQ(platform.log, row.log);
    EXPECT_EQ(platform.net->sent().size(), row.sent);
    EXPECT_EQ(inicio.Principal.isLoaded(), row.loaded);
    if (row.loaded) {
        EXPECT_EQ(box(), u" hola x");
    }
}

constexpr auto SlowLookup = platform::FailureKind::HostNotFoundTryAgain;
const WhileSendingCase WhileSendingCases[] = {
    {"a second Enter", u"\r", false, std::nullopt, {"timer", "destroy"}, 1, false},
    {"typing and a second Enter, then the lookup fails", u"x\r", false, SlowLookup, {"timer", "error"}, 0, true},
    {"Escape", u"\x1b", false, std::nullopt, {"timer", "destroy"}, 0, false},
    {"Escape, then the lookup would fail", u"\x1b", false, SlowLookup, {"timer", "destroy"}, 0, false},
    {"closed through the frame", u"", true, std::nullopt, {"timer", "destroy"}, 0, false},
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
    reply::DatagramSocket socket(platform);
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

using namespace std::string_literals;
using platform::AddressFamily::IPv4;
using platform::AddressFamily::IPv6;
using enum platform::FailureKind;

struct SendCase
{
    const char *name;
    std::u16string host;
    std::vector<fake::FakeNetwork::Address> addresses; // none: the host's own name
    std::optional<platform::FailureKind> fails;
    // In turn: the sending thread looks the host up and sends (r), the
    // event loop runs what was posted (p), the bound passes (b), the owner
    // lets go of the send (g).
    std::string steps;
    fake::Sent sent;
    std::vector<std::int32_t> outcomes; // 0: sent
};

class BackgroundSend : public testing::TestWithParam<SendCase> {};

// Which address gets the datagram, and what comes back to the window's
// thread, and when. Once the outcome has come, its receiver lets go of the
// send, as the socket does.
TEST_P(BackgroundSend, SendsOnceAndReportsOnce)
{
    const SendCase &row = GetParam();
    fake::FakePlatform platform;
    platform.net->addresses = row.addresses;
    platform.net->failWith(row.fails);
    std::vector<std::int32_t> outcomes;
    std::unique_ptr<reply::BackgroundSend> send;
    send = std::make_unique<reply::BackgroundSend>(platform, row.host, 9, "x", [&](reply::SendOutcome outcome) {
        outcomes.push_back(outcome ? outcome->number() : 0);
        send.reset();
    });
    for (const char step : row.steps) {
        if (step == 'r')
            platform.loop.runBackground();
        else if (step == 'p')
            platform.loop.runPosted();
        else if (step == 'b')
            platform.loop.passTime();
        else
            send.reset();
    }
    EXPECT_EQ(platform.net->sent(), row.sent);
    EXPECT_EQ(outcomes, row.outcomes);
    EXPECT_TRUE(platform.loop.timers.empty());
}

// One address, which refuses the datagram so.
std::vector<fake::FakeNetwork::Address> refusing(platform::FailureKind kind)
{
    return {{IPv4, "10.0.0.1", kind}};
}

const SendCase SendCases[] = {
    {"IPv4 first", u"both", {{IPv6, "::1"}, {IPv4, "127.0.0.1"}}, {}, "rp", {{"127.0.0.1", "x"}}, {0}},
    {"an IPv6-only name", u"six", {{IPv6, "::1"}, {IPv6, "::2"}}, {}, "rp", {{"::1", "x"}}, {0}},
    {"an IPv4 refuses: the next address, IPv6, gets the one datagram", u"both",
     {{IPv6, "::1"}, {IPv4, "10.0.0.1", NetworkUnreachable}, {IPv6, "::2"}}, {}, "rp", {{"::1", "x"}}, {0}},
    {"each family in the system's order", u"both",
     {{IPv4, "10.0.0.1", AccessDenied}, {IPv6, "::1"}, {IPv4, "10.0.0.2"}}, {}, "rp", {{"10.0.0.2", "x"}}, {0}},
    {"every address refuses: the last refusal", u"both",
     {{IPv4, "10.0.0.1", AccessDenied}, {IPv6, "::1", HostUnreachable}}, {}, "rp", {}, {10065}},
    {"a NUL in the host, looked up by no one", std::u16string(u"a\0b", 3), {}, {}, "rp", {}, {11001}},
    {"no answer from the name servers in time", u"h", {}, HostNotFoundTryAgain, "rp", {}, {11002}},
    {"access denied", u"h", refusing(AccessDenied), {}, "rp", {}, {10013}},
    {"address not available", u"h", refusing(AddressNotAvailable), {}, "rp", {}, {10049}},
    {"out of buffers", u"h", refusing(OutOfMemory), {}, "rp", {}, {10055}},
    // No datagram to a group of hosts (IPv4, IPv6, IPv4 in IPv6), nor to no host.
    {"groups and no host", u"g",
     {{IPv4, "224.0.0.1", {}, "\xe0\0\0\1"s}, {IPv6, "ff02::1", {}, "\xff\2"s + std::string(13, '\0') + '\1'},
      {IPv6, "::ffff:239.1.2.3", {}, std::string(10, '\0') + "\xff\xff\xef\1\2\3"},
      {IPv4, "0.0.0.0", {}, std::string(4, '\0')}, {IPv6, "::", {}, std::string(16, '\0')}},
     {}, "rp", {}, {10049}},
    {"a group and a host: the host", u"both",
     {{IPv4, "224.0.0.1", {}, "\xe0\0\0\1"s}, {IPv4, "10.0.0.1", {}, "\n\0\0\1"s}}, {}, "rp", {{"10.0.0.1", "x"}}, {0}},
    {"any other refusal", u"h", refusing(Other), {}, "rp", {}, {10050}},
    {"the bound passes: 11002, and nothing leaves later", u"slow", {}, {}, "brp", {}, {11002}},
    // The outcome comes once, from the bound or from the sending thread.
    {"settled just before the bound: that outcome counts", u"slow", {}, {}, "rbp", {{"slow:9", "x"}}, {0}},
    {"let go: nothing leaves, nothing comes", u"slow", {}, {}, "grp", {}, {}},
    {"let go once sent: the outcome does not come", u"slow", {}, {}, "rgp", {{"slow:9", "x"}}, {}},
};
INSTANTIATE_TEST_SUITE_P(Reply, BackgroundSend, testing::ValuesIn(SendCases), RowName());
