#include "intake/notificationrecord.h"

#include "platform/error.h"

#include <algorithm>

namespace intake {

const std::u16string &FieldArray::operator[](std::size_t position) const
{
    if (position >= m_fields.size())
        throw platform::Error::fromNumber(platform::Error::SubscriptOutOfRange);
    return m_fields[position];
}

FieldArray splitRecord(std::u16string_view line)
{
    std::vector<std::u16string> fields;
    if (line.empty())
        return FieldArray();
    for (;;) {
        const std::size_t end = line.find(RecordSeparator);
        fields.emplace_back(line.substr(0, end));
        if (end == std::u16string_view::npos)
            break;
        line.remove_prefix(end + 1);
    }
    return FieldArray(std::move(fields));
}

std::u16string_view trimmedOfSpaces(std::u16string_view text)
{
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

std::u16string composeAnswer(const FieldArray &incoming, std::u16string_view answer, std::u16string_view sentAt)
{
    std::u16string record(AnswerKind);
    record += RecordSeparator;
    std::u16string date(sentAt);
    std::replace(date.begin(), date.end(), RecordSeparator, u',');
    record += date;
    record += RecordSeparator;
    for (RecordPosition position : {AddresseeName, AddresseeHost, AddresseePort, SenderName, SenderHost, SenderPort}) {
        record += incoming[position];
        record += RecordSeparator;
    }
    record += trimmedOfSpaces(answer);
    return record;
}

} // namespace intake
