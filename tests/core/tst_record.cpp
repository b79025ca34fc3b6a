#include "intake/notificationrecord.h"
#include "support.h"

#include <vector>

using intake::composeAnswer;
using intake::splitRecord;

class Split : public testing::TestWithParam<Case<std::u16string, std::vector<std::u16string>>> {};

TEST_P(Split, GivesEveryFieldAsItIs)
{
    EXPECT_EQ(splitRecord(GetParam().given).toList(), GetParam().expected);
}

const Split::ParamType Lines[] = {
    {"nine fields", u"MI;d;ana;h;1;luis;h2;2;hola", {u"MI", u"d", u"ana", u"h", u"1", u"luis", u"h2", u"2", u"hola"}},
    {"extra fields are kept", u"0;1;2;3;4;5;6;7;8;9;10",
     {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10"}},
    {"adjacent separators", u"a;;c", {u"a", u"", u"c"}},
    {"leading and trailing separator", u";b;", {u"", u"b", u""}},
    {"no separator", u"solo", {u"solo"}},
    {"spaces are kept", u" a ; b ", {u" a ", u" b "}},
    {"empty line has no fields", u"", {}},
    {"NUL stays inside its field", std::u16string(u"a\0b;c", 5), {std::u16string(u"a\0b", 3), u"c"}},
};
INSTANTIATE_TEST_SUITE_P(Record, Split, testing::ValuesIn(Lines), RowName());

class MissingPosition : public testing::TestWithParam<Case<std::u16string, std::size_t>> {};

TEST_P(MissingPosition, RaisesError9)
{
    const intake::FieldArray fields = splitRecord(GetParam().given);
    EXPECT_EQ(raisedNumber([&] { (void)fields[GetParam().expected]; }), 9);
}

const MissingPosition::ParamType ShortLines[] = {
    {"empty record, first position", u"", 0},
    {"two fields, sender", u"a;b", intake::SenderName},
    {"eight fields, message", u"0;1;2;3;4;5;6;7", intake::MessageText},
};
INSTANTIATE_TEST_SUITE_P(Record, MissingPosition, testing::ValuesIn(ShortLines), RowName());

class TrimmedOfSpaces : public testing::TestWithParam<Case<std::u16string, std::u16string>> {};

TEST_P(TrimmedOfSpaces, RemovesOnlyOuterSpaces)
{
    EXPECT_EQ(intake::trimmedOfSpaces(GetParam().given), GetParam().expected);
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
    std::u16string incoming;
    std::u16string answer;
    std::u16string sentAt;
    std::u16string record;
};

class ComposeAnswer : public testing::TestWithParam<AnswerCase> {};

TEST_P(ComposeAnswer, SwapsThePartiesAndTrimsTheAnswer)
{
    EXPECT_EQ(composeAnswer(splitRecord(GetParam().incoming), GetParam().answer, GetParam().sentAt), GetParam().record);
}

const std::u16string Nine = u"MI-Mensaje;x;Ana;10.0.0.1;4000;Luis;10.0.0.2;4001;Hola";
const std::u16string At = u"08/12/2026 21:07:30";

const AnswerCase Answers[] = {
    {"nine fields", Nine, u"  vale,  ahora voy  ", At,
     u"MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;4001;Ana;10.0.0.1;4000;vale,  ahora voy"},
    {"extra fields are not carried", Nine + u";extra;más", u"sí", At,
     u"MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;4001;Ana;10.0.0.1;4000;sí"},
    {"the message may be missing", u"k;d;Ana;h;1;Luis;h2;2", u"ok", At,
     u"MI-Notificar;08/12/2026 21:07:30;Luis;h2;2;Ana;h;1;ok"},
    {"empty fields survive", u"k;d;;h;1;;;;m", u"ok", At, u"MI-Notificar;08/12/2026 21:07:30;;;;;h;1;ok"},
    {"tabs are part of the answer", Nine, u" \tok\t ", At,
     u"MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;4001;Ana;10.0.0.1;4000;\tok\t"},
    {"a separator in the answer is sent as it is", Nine, u"uno;dos", At,
     u"MI-Notificar;08/12/2026 21:07:30;Luis;10.0.0.2;4001;Ana;10.0.0.1;4000;uno;dos"},
    {"a separator in the date becomes a comma", Nine, u"ok", u"2026;12;08 21:07",
     u"MI-Notificar;2026,12,08 21:07;Luis;10.0.0.2;4001;Ana;10.0.0.1;4000;ok"},
};
INSTANTIATE_TEST_SUITE_P(Record, ComposeAnswer, testing::ValuesIn(Answers), RowName());

TEST(AnswerToAShortRecord, RaisesError9WithoutAParty)
{
    const intake::FieldArray withoutAddresseePort = splitRecord(u"k;d;Ana;h;1;Luis;h2");
    EXPECT_EQ(raisedNumber([&] { composeAnswer(withoutAddresseePort, u"hola", At); }), 9);
}
