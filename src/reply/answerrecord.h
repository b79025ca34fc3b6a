#pragma once

#include <string>
#include <string_view>

namespace intake {
class FieldArray;
}
namespace platform {
class TextCodec;
}

namespace reply {

// The text without leading and trailing space characters (U+0020 only: tabs
// and other blanks stay).
std::u16string_view trimmedOfSpaces(std::u16string_view text);

// The kind of record an answer is.
inline constexpr std::string_view AnswerKind = "MI-Notificar";

// The answer to an incoming record, as the bytes of the datagram: its kind,
// the date and time sent, the incoming addressee as the sender and the
// incoming sender as the addressee, and the answer trimmed of spaces. Nine
// fields, no line end. The parties' fields go back byte for byte as they
// came, whatever the encoding makes of them; only the date and the answer
// are encoded. A ";" in the date's text would shift every field after it,
// and becomes ",". Raises error 9 if the incoming record lacks one of
// positions 2 to 7.
std::string composeAnswer(const intake::FieldArray &incoming, std::u16string_view answer, std::u16string_view sentAt,
                          const platform::TextCodec &codec);

} // namespace reply
