#pragma once

#include <cstddef>
#include <cstdint>
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

// The description of an error by its number: the run-time's own for the
// numbers it defines, the socket's for its numbers. "%1" stands for the
// port or host the error is about, shortened to DescriptionArgumentLimit
// characters.
constexpr std::u16string_view errorDescription(std::int32_t number)
{
    switch (number) {
    case 6:
        return u"Desbordamiento";
    case 7:
        return u"Memoria insuficiente";
    case 9:
        return u"El subíndice está fuera del intervalo";
    case 13:
        return u"No coinciden los tipos";
    case 53:
        return u"No se ha encontrado el archivo";
    case 55:
        return u"El archivo ya está abierto";
    case 57:
        return u"Error de E/S en el dispositivo";
    case 62:
        return u"La entrada pasa del final del archivo";
    case 70:
        return u"Permiso denegado";
    case 75:
        return u"Error de acceso a la ruta o el archivo";
    case 380:
        return u"El puerto remoto %1 no es válido: debe estar entre 1 y 65535";
    case 10013:
        return u"Permiso denegado para enviar a esa dirección";
    case 10040:
        return u"La respuesta es demasiado larga para un datagrama";
    case 10049:
        return u"La dirección remota no está disponible";
    case 10051:
        return u"No se puede llegar a la red del host remoto";
    case 10055:
        return u"No queda espacio en el búfer del sistema";
    case 10065:
        return u"No se puede llegar al host remoto";
    case 11001:
        return u"No se encuentra el host «%1»";
    case 11002:
        return u"No se ha podido resolver el host «%1» en este momento";
    }
    return u"Error definido por la aplicación o por el objeto";
}

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
// The socket's description for a refusal it has no number of its own for.
inline constexpr std::u16string_view SendFailedDescription =
    u"No se ha podido enviar el datagrama (error del sistema %1)";

// What the screen has not: the window system's error.
inline constexpr std::u16string_view NoScreenDescription = u"No hay ninguna pantalla";

} // namespace texts
