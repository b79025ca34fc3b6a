#include "intake/notificationrecord.h"

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

} // namespace intake
