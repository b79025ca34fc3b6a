#include "intake/notificationrecord.h"

#include "platform/error.h"
#include "platform/textcodec.h"

#include <algorithm>

namespace intake {

FieldArray::FieldArray(std::vector<std::string> bytes, std::vector<std::u16string> texts)
    : m_bytes(std::move(bytes)), m_texts(std::move(texts))
{
}

const std::u16string &FieldArray::operator[](std::size_t position) const
{
    if (position >= m_texts.size())
        throw platform::Error::fromNumber(platform::Error::SubscriptOutOfRange);
    return m_texts[position];
}

const std::string &FieldArray::raw(std::size_t position) const
{
    if (position >= m_bytes.size())
        throw platform::Error::fromNumber(platform::Error::SubscriptOutOfRange);
    return m_bytes[position];
}

FieldArray splitRecord(std::string_view line, const platform::TextCodec &codec)
{
    std::vector<std::string> bytes;
    std::vector<std::u16string> texts;
    if (line.empty())
        return FieldArray();
    for (;;) {
        const std::size_t end = line.find(RecordSeparatorByte);
        const std::string_view field = line.substr(0, end);
        bytes.emplace_back(field);
        texts.push_back(codec.decode(field));
        if (end == std::string_view::npos)
            break;
        line.remove_prefix(end + 1);
    }
    return FieldArray(std::move(bytes), std::move(texts));
}

std::u16string_view trimmedOfSpaces(std::u16string_view text)
{
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

std::string composeAnswer(const FieldArray &incoming, std::u16string_view answer, std::u16string_view sentAt,
                          const platform::TextCodec &codec)
{
    std::string record(AnswerKind);
    record += RecordSeparatorByte;
    std::u16string date(sentAt);
    std::replace(date.begin(), date.end(), RecordSeparator, u',');
    record += codec.encode(date);
    record += RecordSeparatorByte;
    for (RecordPosition position : {AddresseeName, AddresseeHost, AddresseePort, SenderName, SenderHost, SenderPort}) {
        record += incoming.raw(position);
        record += RecordSeparatorByte;
    }
    record += codec.encode(trimmedOfSpaces(answer));
    return record;
}

} // namespace intake
