// The record and the answer, from arbitrary text: the split, the answer's
// composition and the port's conversion must hold their promises for any
// line the messaging system might write.
#include "intake/notificationrecord.h"
#include "platform/conversion.h"
#include "platform/error.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

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
// here toLong must agree with the ordinary conversion.
bool isShortNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

void checkConversion(const QString &field)
{
    try {
        const qint32 value = platform::toLong(field);
        if (isShortNumber(field))
            check(value == field.toInt());
    } catch (const platform::Error &error) {
        check(error.number() == platform::Error::TypeMismatch || error.number() == platform::Error::Overflow);
        check(!isShortNumber(field));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace intake;
    const QString line = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const FieldArray fields = splitRecord(line);

    // Nothing is lost or invented by the split: the fields joined again are
    // the line.
    check(line.isEmpty() ? fields.size() == 0 : fields.size() == line.count(RecordSeparator) + 1);
    check(fields.toList().join(RecordSeparator) == line);

    for (const QString &field : fields.toList())
        checkConversion(field);
    checkConversion(line);

    // The last field stands for the answer typed into the box.
    const QString answer = fields.size() > 0 ? fields[fields.size() - 1] : QString();
    const QDateTime sentAt(QDate(2026, 12, 8), QTime(21, 7, 30));
    try {
        const QString record = composeAnswer(fields, answer, sentAt);
        check(fields.size() >= 8);
        const FieldArray sent = splitRecord(record);
        check(sent.size() >= 9);
        check(sent[Kind] == AnswerKind);
        const RecordPosition swapped[] = {AddresseeName, AddresseeHost, AddresseePort,
                                          SenderName,    SenderHost,    SenderPort};
        for (qsizetype i = 0; i < 6; ++i)
            check(sent[SenderName + i] == fields[swapped[i]]);
        check(record.endsWith(trimmedOfSpaces(answer)));
        check(!record.contains(u'\n') || line.contains(u'\n'));
    } catch (const platform::Error &error) {
        // Only a record too short for the answer's positions is refused.
        check(error.number() == platform::Error::SubscriptOutOfRange);
        check(fields.size() < 8);
    }
    return 0;
}
