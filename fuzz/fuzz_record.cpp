// The record and the answer, from arbitrary bytes: the split, the answer's
// composition and the port's conversion must hold their promises for any
// line the messaging system might write.
#include "intake/notificationrecord.h"
#include "core/error.h"
#include "platform/textcodec.h"
#include "core/unicode.h"
#include "reply/answerrecord.h"
#include "reply/conversion.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace {

// A broken promise is a finding: the fuzzer keeps the input that broke it.
void check(bool condition, int line = __builtin_LINE())
{
    if (!condition) {
        std::fprintf(stderr, "%s:%d: check failed\n", __FILE__, line);
        std::abort();
    }
}

// Plain decimal digits, no sign and no blanks, few enough to fit 32 bits:
// here toLong must give the number the digits write.
bool isShortNumber(std::u16string_view text)
{
    return !text.empty() && text.size() <= 9
           && std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

std::int32_t valueOf(std::u16string_view digits)
{
    std::int32_t value = 0;
    for (char16_t c : digits)
        value = value * 10 + (c - u'0');
    return value;
}

void checkConversion(std::u16string_view field)
{
    try {
        const std::int32_t value = reply::toLong(field);
        if (isShortNumber(field))
            check(value == valueOf(field));
    } catch (const core::Error &error) {
        check(error.number() == core::Error::TypeMismatch || error.number() == core::Error::Overflow);
        check(!isShortNumber(field));
    }
}

std::string joined(const std::vector<std::string> &fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += intake::RecordSeparatorByte;
        line += fields[i];
    }
    return line;
}

// The locale the targets run in.
class Utf8Text final : public platform::TextCodec
{
public:
    std::u16string decode(std::string_view bytes) const override { return unicode::fromUtf8(bytes); }
    std::string encode(std::u16string_view text) const override { return unicode::toUtf8(text); }
    std::size_t wholeCharactersLength(std::string_view bytes) const override { return unicode::wholeUtf8Length(bytes); }
    bool isUtf8() const override { return true; }
};

const Utf8Text Utf8;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace intake;
    using namespace reply;
    const std::string_view line(reinterpret_cast<const char *>(data), size);
    const FieldArray fields = splitRecord(line, Utf8);

    // Nothing is lost or invented by the split: the fields joined again are
    // the line, and each field's text is its bytes decoded.
    const auto separators = std::size_t(std::count(line.begin(), line.end(), RecordSeparatorByte));
    check(line.empty() ? fields.size() == 0 : fields.size() == separators + 1);
    std::vector<std::string> raw;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        raw.push_back(fields.raw(i));
        check(fields[i] == Utf8.decode(fields.raw(i)));
        checkConversion(fields[i]);
    }
    check(joined(raw) == line);
    checkConversion(Utf8.decode(line));

    // The last field stands for the answer typed into the box; a separator
    // in the date's text would shift every field after it.
    const std::u16string answer = fields.size() > 0 ? fields[fields.size() - 1] : std::u16string();
    try {
        const std::string record = composeAnswer(fields, answer, u"8;12;26 21:07:30", Utf8);
        check(fields.size() >= 8);
        const FieldArray sent = splitRecord(record, Utf8);
        check(sent.size() >= 9);
        check(sent.raw(Kind) == AnswerKind);
        check(sent.raw(SentAt) == "8,12,26 21:07:30");
        const RecordPosition swapped[] = {AddresseeName, AddresseeHost, AddresseePort,
                                          SenderName,    SenderHost,    SenderPort};
        for (std::size_t i = 0; i < std::size(swapped); ++i)
            check(sent.raw(SenderName + i) == fields.raw(swapped[i]));
        check(record.ends_with(Utf8.encode(trimmedOfSpaces(answer))));
        check(record.find('\n') == std::string::npos || line.find('\n') != std::string_view::npos);
    } catch (const core::Error &error) {
        // Only a record too short for the answer's positions is refused.
        check(error.number() == core::Error::SubscriptOutOfRange);
        check(fields.size() < 8);
    }
    return 0;
}
