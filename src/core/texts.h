#pragma once

#include <cstddef>
#include <string_view>

// The system's own texts, spelled once: what the window, the boxes and the
// errors show the user.
namespace texts {

inline constexpr std::u16string_view WindowCaption = u"Mensaje instantáneo";
// The answer box's initial text; while the box holds exactly this, it holds
// no answer.
inline constexpr std::u16string_view HintText = u"Escriba la respuesta aquí...";
// What a screen reader calls the answer box, whatever it holds.
inline constexpr std::u16string_view AnswerBoxName = u"Respuesta";

// Layout placeholders; the intake replaces all three before the window shows.
inline constexpr std::u16string_view Label1Placeholder = u"Remitente";
inline constexpr std::u16string_view Label2Placeholder = u"Mensaje";
inline constexpr std::u16string_view Label3Placeholder = u"Hora";

// What ends a caption cut short to fit its label, or its tooltip.
inline constexpr char16_t CaptionEllipsis = u'\u2026';

// The title of the boxes that carry the application's own title.
inline constexpr std::u16string_view ApplicationTitle = u"Notificador";

// The information box for an answer with nothing in it.
inline constexpr std::u16string_view EmptyAnswerPrompt =
    u"Hace falta suministrar la información de 'Mensaje'. Por favor proporciónela";

// The error box for an answer that could not be sent, and its fixed lines.
inline constexpr std::u16string_view ErrorTitle = u"Ha ocurrido un error";
inline constexpr std::u16string_view ErrorNumberLabel = u"Número: ";
inline constexpr std::u16string_view ErrorDescriptionLabel = u"Descripción: ";
inline constexpr std::u16string_view ErrorSourceLabel = u"Fuente: ";
inline constexpr std::u16string_view ErrorPlaceLine = u"Ventana: Principal           Proceso : Text1_KeyPress";
inline constexpr std::u16string_view ErrorDetailLine = u"Detalle : ";
inline constexpr std::u16string_view ErrorLineBreak = u"\r\n";

// The source of the errors the program raises itself, and of the socket's.
inline constexpr std::u16string_view ProgramSource = u"notificador";
inline constexpr std::u16string_view SocketSource = u"MensajeEnviar";

// The most of a host or port that a description carries, the ellipsis
// included: the sender writes them, and the error box grows with its text.
inline constexpr std::size_t DescriptionArgumentLimit = 64;
inline constexpr char16_t DescriptionEllipsis = u'\u2026';

// Error 10040 when the notification's own fields leave no room for any
// answer in a datagram: a shorter answer would not help.
inline constexpr std::u16string_view FieldsTooLongDescription =
    u"Los datos de la notificación son demasiado largos para un datagrama de respuesta";

// The socket's description when no host was set before a send.
inline constexpr std::u16string_view NoRemoteHostDescription = u"No se ha indicado el host remoto";

} // namespace texts
