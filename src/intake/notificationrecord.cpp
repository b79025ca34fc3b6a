#include "intake/notificationrecord.h"

#include "core/error.h"
#include "platform/textcodec.h"


namespace intake {

FieldArray::FieldArray(std::vector<std::string> bytes, std::vector<std::u16string> texts)
    : m_bytes(std::move(bytes)), m_texts(std::move(texts))
{
}

const std::u16string &FieldArray::operator[](std::size_t position) const
{
    if (position >= m_texts.size())
        throw core::Error::fromNumber(core::Error::SubscriptOutOfRange);
    return m_texts[position];
}

const std::string &FieldArray::raw(std::size_t position) const
{
    if (position >= m_bytes.size())
        throw core::Error::fromNumber(core::Error::SubscriptOutOfRange);
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

} // namespace intake
