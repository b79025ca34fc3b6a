#pragma once

#include <QStringView>

// The system's own texts, spelled once.
namespace texts {

inline constexpr QStringView WindowCaption = u"Mensaje instantáneo";
// The answer box's initial text; while the box holds exactly this, it holds
// no answer.
inline constexpr QStringView HintText = u"Escriba la respuesta aquí...";

// The title of the boxes that carry the application's own title.
inline constexpr QStringView ApplicationTitle = u"Notificador";

// The information box for an answer with nothing in it.
inline constexpr QStringView EmptyAnswerPrompt =
    u"Hace falta suministrar la información de 'Mensaje'. Por favor proporciónela";

// The error box for an answer that could not be sent, and its fixed lines.
inline constexpr QStringView ErrorTitle = u"Ha ocurrido un error";
inline constexpr QStringView ErrorNumberLabel = u"Número: ";
inline constexpr QStringView ErrorDescriptionLabel = u"Descripción: ";
inline constexpr QStringView ErrorSourceLabel = u"Fuente: ";
inline constexpr QStringView ErrorPlaceLine = u"Ventana: Principal           Proceso : Text1_KeyPress";
inline constexpr QStringView ErrorDetailLine = u"Detalle : ";

// Layout placeholders; the intake replaces all three before the window shows.
inline constexpr QStringView Label1Placeholder = u"Remitente";
inline constexpr QStringView Label2Placeholder = u"Mensaje";
inline constexpr QStringView Label3Placeholder = u"Hora";

} // namespace texts
