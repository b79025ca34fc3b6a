#pragma once

#include <QStringView>

// The system's own texts, spelled once.
namespace texts {

inline constexpr QStringView WindowCaption = u"Mensaje instantáneo";
// The answer box's initial text; while the box holds exactly this, it holds
// no answer.
inline constexpr QStringView HintText = u"Escriba la respuesta aquí...";

// Layout placeholders; the intake replaces all three before the window shows.
inline constexpr QStringView Label1Placeholder = u"Remitente";
inline constexpr QStringView Label2Placeholder = u"Mensaje";
inline constexpr QStringView Label3Placeholder = u"Hora";

} // namespace texts
