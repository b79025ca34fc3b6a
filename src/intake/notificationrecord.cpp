#include "intake/notificationrecord.h"

#include "platform/clock.h"
#include "platform/error.h"

namespace intake {

const QString &FieldArray::operator[](qsizetype position) const
{
    if (position < 0 || position >= m_fields.size())
        throw platform::Error::fromNumber(platform::Error::SubscriptOutOfRange);
    return m_fields.at(position);
}

FieldArray splitRecord(const QString &line)
{
    if (line.isEmpty())
        return FieldArray();
    return FieldArray(line.split(RecordSeparator));
}

QString trimmedOfSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text.at(first) == u' ')
        ++first;
    while (end > first && text.at(end - 1) == u' ')
        --end;
    return text.sliced(first, end - first);
}

QString composeAnswer(const FieldArray &incoming, const QString &answer, const QDateTime &sentAt)
{
    QString record = AnswerKind.toString() + RecordSeparator + platform::formatGeneralDate(sentAt) + RecordSeparator;
    for (RecordPosition position : {AddresseeName, AddresseeHost, AddresseePort, SenderName, SenderHost, SenderPort})
        record += incoming[position] + RecordSeparator;
    record += trimmedOfSpaces(answer);
    return record;
}

} // namespace intake
