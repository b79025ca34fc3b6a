#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class TextCodec;
}

namespace intake {

// A record is one line of fields joined by ";", with no quoting or
// escaping. The separator is one byte in every encoding the notifier meets:
// ASCII-compatible encodings, and the Windows double-byte code pages, whose
// trail bytes are never 0x3B.
inline constexpr char16_t RecordSeparator = u';';
inline constexpr char RecordSeparatorByte = ';';

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

// A record's fields by position, counted from 0, each both as the bytes the
// record carried and as the text they decode to. Reading a position the
// record does not have raises error 9 (subscript out of range).
class FieldArray
{
public:
    FieldArray() = default;
    // One text per field of bytes, in the same order.
    FieldArray(std::vector<std::string> bytes, std::vector<std::u16string> texts);
    // Each field's text decoded by the codec, which outlives the array, when
    // it is first read: a field nobody reads costs nothing.
    FieldArray(std::vector<std::string> bytes, const platform::TextCodec &codec);

    // The field as text: what is shown and what names the host and port.
    const std::u16string &operator[](std::size_t position) const;
    // The field's text cut to at most limit units, never inside a character,
    // decoding little more of its bytes than that takes: what a long field
    // costs is what is shown of it.
    std::u16string prefix(std::size_t position, std::size_t limit) const;
    // The field as the record carried it, byte for byte.
    const std::string &raw(std::size_t position) const;
    std::size_t size() const { return m_texts.size(); }

private:
    std::vector<std::string> m_bytes;
    mutable std::vector<std::optional<std::u16string>> m_texts;
    const platform::TextCodec *m_codec = nullptr;
};

// Every ";" ends a field; nothing is trimmed and adjacent separators give an
// empty field. A line with no bytes at all has no fields. Each field is
// decoded on its own.
FieldArray splitRecord(std::string_view line, const platform::TextCodec &codec);

} // namespace intake
