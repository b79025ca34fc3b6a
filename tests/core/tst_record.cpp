#include "fakeplatform.h"
#include "intake/notificationrecord.h"
#include "reply/answerrecord.h"
#include "support.h"

#include <algorithm>
#include <string>
#include <vector>

using reply::composeAnswer;
using intake::splitRecord;

namespace {

// The file and the datagram in UTF-8.
const fake::Utf8Text Utf8;

} // namespace

struct SplitCase
{
    const char *name;
    std::string line;
    std::vector<std::string> bytes;
    std::vector<std::u16string> texts;
};

class Split : public testing::TestWithParam<SplitCase> {};

TEST_P(Split, GivesEveryFieldAsItCameAndAsText)
{
    const intake::FieldArray fields = splitRecord(GetParam().line, Utf8);
    std::vector<std::string> bytes;
    std::vector<std::u16string> texts;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        bytes.push_back(fields.raw(i));
        texts.push_back(fields[i]);
    }
    EXPECT_EQ(bytes, GetParam().bytes);
    EXPECT_EQ(texts, GetParam().texts);
}

const SplitCase Lines[] = {
    {"nine fields", "MI;d;ana;h;1;luis;h2;2;hola",
     {"MI", "d", "ana", "h", "1", "luis", "h2", "2", "hola"},
     {u"MI", u"d", u"ana", u"h", u"1", u"luis", u"h2", u"2", u"hola"}},
    {"extra fields are kept", "0;1;2;3;4;5;6;7;8;9;10",
     {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
     {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10"}},
    {"adjacent separators", "a;;c", {"a", "", "c"}, {u"a", u"", u"c"}},
    {"leading and trailing separator", ";b;", {"", "b", ""}, {u"", u"b", u""}},
    {"spaces are kept", " a ; b ", {" a ", " b "}, {u" a ", u" b "}},
    {"empty line has no fields", "", {}, {}},
    {"NUL stays inside its field", std::string("a\0b;c", 5), {std::string("a\0b", 3), "c"},
     {std::u16string(u"a\0b", 3), u"c"}},
    {"each field decoded", "Jos\xc3\xa9;\xc2\xbfqu\xc3\xa9?", {"Jos\xc3\xa9", "\xc2\xbfqu\xc3\xa9?"},
     {u"José", u"¿qué?"}},
    {"bytes that are no text are kept, shown replaced", "k;Jos\xe9;\xff\xfe", {"k", "Jos\xe9", "\xff\xfe"},
     {u"k", u"Jos\uFFFD", u"\uFFFD\uFFFD"}},
    {"a character cut short by a separator", "caf\xc3;\xa9", {"caf\xc3", "\xa9"}, {u"caf\uFFFD", u"\uFFFD"}},
    {"a byte-order mark inside the line is a character", "a;\xef\xbb\xbf" "b", {"a", "\xef\xbb\xbf" "b"},
     {u"a", u"\uFEFFb"}},
};
INSTANTIATE_TEST_SUITE_P(Record, Split, testing::ValuesIn(Lines), RowName());

class MissingPosition : public testing::TestWithParam<Case<std::string, std::size_t>> {};

TEST_P(MissingPosition, RaisesError9AsTextAndAsBytes)
{
    const intake::FieldArray fields = splitRecord(GetParam().given, Utf8);
    EXPECT_EQ(raisedNumber([&] { (void)fields[GetParam().expected]; }), 9);
    EXPECT_EQ(raisedNumber([&] { (void)fields.raw(GetParam().expected); }), 9);
}

const MissingPosition::ParamType ShortLines[] = {
    {"empty record, first position", "", 0},
    {"two fields, sender", "a;b", intake::SenderName},
    {"eight fields, message", "0;1;2;3;4;5;6;7", intake::MessageText},
};
INSTANTIATE_TEST_SUITE_P(Record, MissingPosition, testing::ValuesIn(ShortLines), RowName());

struct PrefixCase
{
    const char *name;
    std::string field;
    std::size_t limit;
    std::u16string text;
};

// UTF-8, noting the most bytes it was given at once.
class MeasuredUtf8 final : public platform::TextCodec
{
public:
    std::u16string decode(std::string_view bytes) const override
    {
        largest = std::max(largest, bytes.size());
        return Utf8.decode(bytes);
    }
    std::string encode(std::u16string_view text) const override { return Utf8.encode(text); }
    std::size_t wholeCharactersLength(std::string_view bytes) const override { return bytes.size(); }
    bool isUtf8() const override { return true; }

    mutable std::size_t largest = 0;
};

class Prefix : public testing::TestWithParam<PrefixCase> {};

// A field's first characters cost what they are, however long the field.
TEST_P(Prefix, DecodesLittleMoreThanItGives)
{
    const MeasuredUtf8 codec;
    const intake::FieldArray fields = splitRecord("k;" + GetParam().field, codec);
    EXPECT_EQ(fields.prefix(1, GetParam().limit), GetParam().text);
    EXPECT_LE(codec.largest, 3 * GetParam().limit + 200);
}

const PrefixCase Prefixes[] = {
    {"a short field whole", "hola", 100, u"hola"},
    {"a long field cut at the limit", std::string(100000, 'a'), 100, std::u16string(100, u'a')},
    {"two bytes a character", [] { std::string s; for (int i = 0; i < 3000; ++i) s += "\xc3\xa9"; return s; }(), 1000,
     std::u16string(1000, u'\u00e9')},
    {"no character parted at the limit", std::string(99, 'a') + "\xf0\x9f\x98\x80" + std::string(1000, 'b'), 100,
     std::u16string(99, u'a')},
};
INSTANTIATE_TEST_SUITE_P(Record, Prefix, testing::ValuesIn(Prefixes), RowName());

class TrimmedOfSpaces : public testing::TestWithParam<Case<std::u16string, std::u16string>> {};

TEST_P(TrimmedOfSpaces, RemovesOnlyOuterSpaces)
{
    EXPECT_EQ(reply::trimmedOfSpaces(GetParam().given), GetParam().expected);
}

const TrimmedOfSpaces::ParamType Texts[] = {
    {"both ends", u"  hola  qué tal  ", u"hola  qué tal"},
    {"spaces only", u"    ", u""},
    {"tabs stay", u"\t hola \t", u"\t hola \t"},
    {"no-break space stays", u"\u00a0hola ", u"\u00a0hola"},
    {"nothing to trim", u"hola", u"hola"},
};
INSTANTIATE_TEST_SUITE_P(Record, TrimmedOfSpaces, testing::ValuesIn(Texts), RowName());

struct AnswerCase
{
    const char *name;
    std::string incoming;
    std::u16string answer;
    std::u16string sentAt;
    std::string datagram;
};

class ComposeAnswer : public testing::TestWithParam<AnswerCase> {};

TEST_P(ComposeAnswer, SwapsThePartiesByteForByteAndEncodesTheRest)
{
    const AnswerCase &row = GetParam();
    EXPECT_EQ(composeAnswer(splitRecord(row.incoming, Utf8), row.answer, row.sentAt, Utf8), row.datagram);
}

const std::string Nine = "MI-Mensaje;x;Ana;10.0.0.1;4000;Luis;10.0.0.2;4001;Hola";
const std::u16string At = u"08/12/2026 21:07:30";

const AnswerCase Answers[] = {
    {"nine fields", Nine, u"  vale,  ahora voy  ", At,
     "MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;4001;Ana;10.0.0.1;4000;vale,  ahora voy"},
    {"extra fields are not carried", Nine + ";extra;m\xc3\xa1s", u"sí", At,
     "MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;4001;Ana;10.0.0.1;4000;s\xc3\xad"},
    {"the message may be missing", "k;d;Ana;h;1;Luis;h2;2", u"ok", At,
     "MI-Notificar;08/12/2026 21:07:30;Luis;h2;2;Ana;h;1;ok"},
    {"empty fields survive", "k;d;;h;1;;;;m", u"ok", At, "MI-Notificar;08/12/2026 21:07:30;;;;;h;1;ok"},
    {"tabs are part of the answer", Nine, u" \tok\t ", At,
     "MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;4001;Ana;10.0.0.1;4000;\tok\t"},
    {"a separator in the answer is sent as it is", Nine, u"uno;dos", At,
     "MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;4001;Ana;10.0.0.1;4000;uno;dos"},
    {"a separator in the date becomes a comma", Nine, u"ok", u"2026;12;08 21:07",
     "MI-Notificar;2026,12,08 21:07;Luis;10.0.0.2;4001;Ana;10.0.0.1;4000;ok"},
    // A name written in another encoding than the locale's goes back as the
    // sender wrote it, not as the replacement characters it is shown with.
    {"the parties go back byte for byte", "k;d;Jos\xe9;h\xff;1\x80;Se\xf1or;\xc3;\xed\xa0\x80;m", u"ñ", At,
     "MI-Notificar;08/12/2026 21:07:30;Se\xf1or;\xc3;\xed\xa0\x80;Jos\xe9;h\xff;1\x80;\xc3\xb1"},
    {"the date and the answer are encoded", Nine, u"\u20ac \U0001F600", u"8\u00a012",
     "MI-Notificar;8\xc2\xa0" "12;Luis;10.0.0.2;4001;Ana;10.0.0.1;4000;\xe2\x82\xac \xf0\x9f\x98\x80"},
};
INSTANTIATE_TEST_SUITE_P(Record, ComposeAnswer, testing::ValuesIn(Answers), RowName());

TEST(AnswerToAShortRecord, RaisesError9WithoutAParty)
{
    const intake::FieldArray withoutAddresseePort = splitRecord("k;d;Ana;h;1;Luis;h2", Utf8);
    EXPECT_EQ(raisedNumber([&] { composeAnswer(withoutAddresseePort, u"hola", At, Utf8); }), 9);
}
