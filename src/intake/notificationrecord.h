#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace intake {

// A record is one line of fields joined by ";", with no quoting or escaping.
inline constexpr char16_t RecordSeparator = u';';

// What each position of a record carries. Positions 2 to 4 describe the
// party sending the record, 5 to 7 the party receiving it.
enum RecordPosition : std::size_t {
    Kind = 0,
    SentAt = 1,
    SenderName = 2,
    SenderHost = 3,
    SenderPort = 4,
    AddresseeName = 5,
    AddresseeHost = 6,
    AddresseePort = 7,
    MessageText = 8,
};

// A record's fields by position, counted from 0. Reading a position the
// record does not have raises error 9 (subscript out of range).
class FieldArray
{
public:
    FieldArray() = default;
    explicit FieldArray(std::vector<std::u16string> fields) : m_fields(std::move(fields)) {}

    const std::u16string &operator[](std::size_t position) const;
    std::size_t size() const { return m_fields.size(); }
    const std::vector<std::u16string> &toList() const { return m_fields; }

private:
    std::vector<std::u16string> m_fields;
};

// Every ";" ends a field; nothing is trimmed and adjacent separators give an
// empty field. A line with no text at all has no fields.
FieldArray splitRecord(std::u16string_view line);

// The text without leading and trailing space characters (U+0020 only: tabs
// and other blanks stay).
std::u16string_view trimmedOfSpaces(std::u16string_view text);

// The kind of record an answer is.
inline constexpr std::u16string_view AnswerKind = u"MI-Notificar";

// The answer to an incoming record: its kind, the date and time sent, the
// incoming addressee as the sender and the incoming sender as the
// addressee, and the answer trimmed of spaces. Nine fields, no line end; a
// ";" in the date's text would shift every field after it, and becomes ",".
// Raises error 9 if the incoming record lacks one of positions 2 to 7.
std::u16string composeAnswer(const FieldArray &incoming, std::u16string_view answer, std::u16string_view sentAt);

} // namespace intake
