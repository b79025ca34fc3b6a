#include "reply/answerrecord.h"

#include "intake/notificationrecord.h"
#include "platform/textcodec.h"

#include <algorithm>

namespace reply {

std::u16string_view trimmedOfSpaces(std::u16string_view text)
{
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

std::string composeAnswer(const intake::FieldArray &incoming, std::u16string_view answer, std::u16string_view sentAt,
                          const platform::TextCodec &codec)
{
    std::string record(AnswerKind);
    record += intake::RecordSeparatorByte;
    std::u16string date(sentAt);
    std::replace(date.begin(), date.end(), intake::RecordSeparator, u',');
    record += codec.encode(date);
    record += intake::RecordSeparatorByte;
    using namespace intake;
    for (RecordPosition position : {AddresseeName, AddresseeHost, AddresseePort, SenderName, SenderHost, SenderPort}) {
        record += incoming.raw(position);
        record += intake::RecordSeparatorByte;
    }
    record += codec.encode(trimmedOfSpaces(answer));
    return record;
}

} // namespace reply
