#include "intake/notificationrecord.h"

#include "core/error.h"
#include "core/unicode.h"
#include "platform/textcodec.h"


namespace intake {

FieldArray::FieldArray(std::vector<std::string> bytes, std::vector<std::u16string> texts)
    : m_bytes(std::move(bytes)), m_texts(texts.begin(), texts.end())
{
}

FieldArray::FieldArray(std::vector<std::string> bytes, const platform::TextCodec &codec)
    : m_bytes(std::move(bytes)), m_texts(m_bytes.size()), m_codec(&codec)
{
}

const std::u16string &FieldArray::operator[](std::size_t position) const
{
    if (position >= m_texts.size())
        throw core::Error::fromNumber(core::Error::SubscriptOutOfRange);
    std::optional<std::u16string> &text = m_texts[position];
    if (!text)
        text = m_codec->decode(m_bytes[position]);
    return *text;
}

std::u16string FieldArray::prefix(std::size_t position, std::size_t limit) const
{
    if (position >= m_texts.size())
        throw core::Error::fromNumber(core::Error::SubscriptOutOfRange);
    if (const std::optional<std::u16string> &text = m_texts[position])
        return std::u16string(unicode::cut(*text, limit));
    // A character the cut goes through decodes to a stray replacement at
    // the end; one unit more than the limit keeps it past the part that is
    // kept. The first try allows for some characters of two bytes; a text
    // denser than that is tried again with the bytes it shows it needs.
    const std::string_view bytes = m_bytes[position];
    const std::size_t wanted = limit + 2;
    for (std::size_t taken = wanted + wanted / 8;;) {
        if (taken >= bytes.size())
            return std::u16string(unicode::cut((*this)[position], limit));
        std::u16string text = m_codec->decode(bytes.substr(0, taken));
        if (text.size() >= wanted) {
            text.resize(unicode::cut(text, limit).size());
            return text;
        }
        taken = text.empty() ? taken * 2 : taken + (taken / text.size() + 1) * (wanted - text.size() + 64);
    }
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
    if (line.empty())
        return FieldArray();
    for (;;) {
        const std::size_t end = line.find(RecordSeparatorByte);
        bytes.emplace_back(line.substr(0, end));
        if (end == std::string_view::npos)
            break;
        line.remove_prefix(end + 1);
    }
    return FieldArray(std::move(bytes), codec);
}

} // namespace intake
