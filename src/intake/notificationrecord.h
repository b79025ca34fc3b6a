#pragma once

#include <QDateTime>
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

// The text without leading and trailing space characters (U+0020 only: tabs
// and other blanks stay).
QString trimmedOfSpaces(const QString &text);

// The kind of record an answer is.
inline constexpr QStringView AnswerKind = u"MI-Notificar";

// The answer to an incoming record: its kind, the date and time sent, the
// incoming addressee as the sender and the incoming sender as the
// addressee, and the answer trimmed of spaces. Nine fields, no line end.
// Raises error 9 if the incoming record lacks one of positions 2 to 7.
QString composeAnswer(const FieldArray &incoming, const QString &answer, const QDateTime &sentAt);

} // namespace intake
