#pragma once

#include <QString>
#include <QStringList>

namespace intake {

// A record is one line of fields joined by ";", with no quoting or escaping.
inline constexpr QChar RecordSeparator = u';';

// What each position of a record carries. Positions 2 to 4 describe the
// party sending the record, 5 to 7 the party receiving it.
enum RecordPosition : qsizetype {
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
    explicit FieldArray(QStringList fields) : m_fields(std::move(fields)) {}

    const QString &operator[](qsizetype position) const;
    qsizetype size() const { return m_fields.size(); }
    const QStringList &toList() const { return m_fields; }

private:
    QStringList m_fields;
};

// Every ";" ends a field; nothing is trimmed and adjacent separators give an
// empty field. A line with no text at all has no fields.
FieldArray splitRecord(const QString &line);

} // namespace intake
