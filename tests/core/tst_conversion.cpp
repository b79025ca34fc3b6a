#include "platform/clock.h"
#include "core/textbox.h"
#include "core/unicode.h"
#include "reply/conversion.h"
#include "support.h"
#include "core/timeformat.h"

#include <limits>

constexpr std::int32_t Largest = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t Smallest = std::numeric_limits<std::int32_t>::min();

class ToLong : public testing::TestWithParam<Case<std::u16string, std::int32_t>> {};

TEST_P(ToLong, ConvertsAsTheRunTimeDoes)
{
    EXPECT_EQ(reply::toLong(GetParam().given), GetParam().expected);
}

const ToLong::ParamType WholeNumbers[] = {
    {"plain", u"40000", 40000},
    {"blanks around", u" \t40000\t ", 40000},
    {"plus sign", u"+7", 7},
    {"minus sign", u"-7", -7},
    {"leading zeros", u"0000000000000000000000000000000000000000123", 123},
    {"half rounds to even, down", u"2.5", 2},
    {"half rounds to even, up", u"3.5", 4},
    {"negative half rounds to even", u"-3.5", -4},
    {"half followed by zeros", u"2.500", 2},
    {"just past half", u"2.5001", 3},
    {"below half", u"2.4999", 2},
    {"fraction only", u".5", 0},
    {"point without fraction", u"5.", 5},
    {"largest", u"2147483647", Largest},
    {"smallest", u"-2147483648", Smallest},
    {"rounds down to the largest", u"2147483647.4", Largest},
    {"half rounds to the smallest, even", u"-2147483648.5", Smallest},
};
INSTANTIATE_TEST_SUITE_P(Conversion, ToLong, testing::ValuesIn(WholeNumbers), RowName());

class ToLongRefusal : public testing::TestWithParam<Case<std::u16string, std::int32_t>> {};

TEST_P(ToLongRefusal, RaisesTypeMismatchOrOverflow)
{
    EXPECT_EQ(raisedNumber([this] { reply::toLong(GetParam().given); }), GetParam().expected);
}

const ToLongRefusal::ParamType Refusals[] = {
    {"empty", u"", 13},
    {"blanks only", u" \t ", 13},
    {"letters", u"abc", 13},
    {"digits then letters", u"40000x", 13},
    {"sign alone", u"-", 13},
    {"point alone", u".", 13},
    {"two signs", u"+-1", 13},
    {"two points", u"1.2.3", 13},
    {"inner space", u"40 000", 13},
    {"Arabic-Indic digits", u"\u0664\u0660", 13},
    {"NUL", std::u16string(u"4\0" u"0", 3), 13},
    {"one past the largest", u"2147483648", 6},
    {"one below the smallest", u"-2147483649", 6},
    {"half rounds up past the largest", u"2147483647.5", 6},
    {"rounds past the smallest", u"-2147483648.51", 6},
    {"far too many digits", std::u16string(400, u'9'), 6},
};
INSTANTIATE_TEST_SUITE_P(Conversion, ToLongRefusal, testing::ValuesIn(Refusals), RowName());

class MediumTime : public testing::TestWithParam<Case<platform::TimeOfDay, std::u16string>> {};

TEST_P(MediumTime, IsTwelveHourTimeWithTheLocalesDesignator)
{
    EXPECT_EQ(core::mediumTime(GetParam().given, u"a. m.", u"p. m."), GetParam().expected);
}

const MediumTime::ParamType MediumTimes[] = {
    {"midnight is 12 a. m.", {0, 5, 0}, u"12:05 a. m."},
    {"morning, two-digit hour", {9, 7, 59}, u"09:07 a. m."},
    {"noon is 12 p. m.", {12, 0, 0}, u"12:00 p. m."},
    {"afternoon", {13, 30, 0}, u"01:30 p. m."},
    {"last minute", {23, 59, 59}, u"11:59 p. m."},
};
INSTANTIATE_TEST_SUITE_P(Conversion, MediumTime, testing::ValuesIn(MediumTimes), RowName());

// A broken sequence becomes one replacement character and never takes a
// valid character with it.
class FromUtf8 : public testing::TestWithParam<Case<std::string, std::u16string>> {};

TEST_P(FromUtf8, DecodesOrReplaces)
{
    EXPECT_EQ(unicode::fromUtf8(GetParam().given), GetParam().expected);
}

const FromUtf8::ParamType Utf8Texts[] = {
    {"two and three bytes", "a\xc3\xb1\xe2\x82\xac", u"añ€"},
    {"four bytes are a surrogate pair", "\xf0\x9f\x98\x80", u"\U0001F600"},
    {"cut short at the end", "ok\xe2\x82", u"ok\uFFFD"},
    {"cut short by an ASCII byte", "\xe2\x82" "A", u"\uFFFDA"},
    {"stray continuation byte", "\x80" "a", u"\uFFFDa"},
    {"overlong slash", "\xc0\xaf", u"\uFFFD\uFFFD"},
    {"encoded surrogate", "\xed\xa0\x80" "a", u"\uFFFDa"},
    {"beyond the last code point", "\xf4\x90\x80\x80", u"\uFFFD"},
    {"NUL is a character", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
};
INSTANTIATE_TEST_SUITE_P(Conversion, FromUtf8, testing::ValuesIn(Utf8Texts), RowName());

class ToUtf8 : public testing::TestWithParam<Case<std::u16string, std::string>> {};

TEST_P(ToUtf8, EncodesOrReplaces)
{
    EXPECT_EQ(unicode::toUtf8(GetParam().given), GetParam().expected);
}

const ToUtf8::ParamType Utf16Texts[] = {
    {"surrogate pair", u"\U0001F600", "\xf0\x9f\x98\x80"},
    {"lone high surrogate at the end", u"ok\xD800", "ok\xef\xbf\xbd"},
    {"high surrogate before a letter", u"\xD800" u"a", "\xef\xbf\xbd" "a"},
    {"lone low surrogate", u"\xDC00" u"a", "\xef\xbf\xbd" "a"},
    {"pair in the wrong order", u"\xDC00\xD800", "\xef\xbf\xbd\xef\xbf\xbd"},
};
INSTANTIATE_TEST_SUITE_P(Conversion, ToUtf8, testing::ValuesIn(Utf16Texts), RowName());

class Decimal : public testing::TestWithParam<Case<std::int64_t, std::u16string>> {};

TEST_P(Decimal, WritesEveryDigit)
{
    EXPECT_EQ(unicode::decimal(GetParam().given), GetParam().expected);
}

const Decimal::ParamType Decimals[] = {
    {"zero", 0, u"0"},
    {"negative", -380, u"-380"},
    {"smallest 32-bit", Smallest, u"-2147483648"},
    {"smallest 64-bit", std::numeric_limits<std::int64_t>::min(), u"-9223372036854775808"},
    {"largest 64-bit", std::numeric_limits<std::int64_t>::max(), u"9223372036854775807"},
};
INSTANTIATE_TEST_SUITE_P(Conversion, Decimal, testing::ValuesIn(Decimals), RowName());

// The rules both windows apply to what is pasted into the answer box, and
// the cut every shortened text shares: a rule applied, and what it gives.
class TextRule : public testing::TestWithParam<Case<std::u16string, std::u16string>> {};

TEST_P(TextRule, Gives)
{
    EXPECT_EQ(GetParam().given, GetParam().expected);
}

static std::u16string roomFor(std::u16string_view text, std::size_t limit)
{
    const auto room = textbox::limitForInsertion(text, Hint, limit);
    return room ? unicode::decimal(std::int64_t(*room)) : u"the box's own";
}

const TextRule::ParamType TextRules[] = {
    {"CR LF is one space", textbox::oneLine(u"uno\r\ndos"), u"uno dos"},
    {"a lone CR and a lone LF", textbox::oneLine(u"uno\rdos\ntres"), u"uno dos tres"},
    {"LF CR is two breaks", textbox::oneLine(u"a\n\rb"), u"a  b"},
    {"onto the untouched hint, a box's worth beside it", roomFor(Hint, 100), u"128"},
    {"onto an edited hint", roomFor(Hint + u"x", 100), u"the box's own"},
    {"onto the hint of a box without a limit", roomFor(Hint, 0), u"the box's own"},
    {"cut short", std::u16string(unicode::cut(u"abcd", 3)), u"abc"},
    {"cut inside a pair", std::u16string(unicode::cut(u"ab\U0001F600c", 3)), u"ab"},
    {"cut after a pair", std::u16string(unicode::cut(u"a\U0001F600b", 3)), u"a\U0001F600"},
};
INSTANTIATE_TEST_SUITE_P(Conversion, TextRule, testing::ValuesIn(TextRules), RowName());
