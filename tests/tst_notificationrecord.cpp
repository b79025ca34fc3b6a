#include "intake/notificationrecord.h"
#include "platform/error.h"

#include <QTest>

using intake::FieldArray;
using intake::splitRecord;

class TestNotificationRecord final : public QObject
{
    Q_OBJECT

private slots:
    void split_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");

        QTest::newRow("nine fields") << "MI;d;ana;h;1;luis;h2;2;hola"
                                     << QStringList{"MI", "d", "ana", "h", "1", "luis", "h2", "2", "hola"};
        QTest::newRow("two adjacent separators") << "a;;c" << QStringList{"a", "", "c"};
        QTest::newRow("leading and trailing separator") << ";b;" << QStringList{"", "b", ""};
        QTest::newRow("no separator") << "solo" << QStringList{"solo"};
        QTest::newRow("only separators") << ";;" << QStringList{"", "", ""};
        QTest::newRow("spaces are kept") << " a ; b " << QStringList{" a ", " b "};
        QTest::newRow("message cut at its own separator")
            << "MI;d;ana;h;1;luis;h2;2;hola; qué tal"
            << QStringList{"MI", "d", "ana", "h", "1", "luis", "h2", "2", "hola", " qué tal"};
        QTest::newRow("no text, no fields") << "" << QStringList{};
        QTest::newRow("NUL bytes stay inside a field") << QString::fromUtf16(u"a\0b;c", 5)
                                                       << QStringList{QString::fromUtf16(u"a\0b", 3), "c"};
    }

    void split()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QCOMPARE(splitRecord(line).toList(), fields);
    }

    void readingAMissingPositionRaisesError9_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<qsizetype>("position");

        QTest::newRow("empty record, position 0") << "" << qsizetype(0);
        QTest::newRow("two fields, sender") << "a;b" << qsizetype(2);
        QTest::newRow("eight fields, message") << "0;1;2;3;4;5;6;7" << qsizetype(8);
        QTest::newRow("negative position") << "a;b" << qsizetype(-1);
    }

    void readingAMissingPositionRaisesError9()
    {
        QFETCH(QString, line);
        QFETCH(qsizetype, position);
        const FieldArray fields = splitRecord(line);
        try {
            (void)fields[position];
            QFAIL("no error raised");
        } catch (const platform::Error &error) {
            QCOMPARE(error.number(), 9);
            QCOMPARE(error.description(), QStringLiteral("El subíndice está fuera del intervalo"));
            QVERIFY(!error.source().isEmpty());
        }
    }

    void extraFieldsAreKept()
    {
        const FieldArray fields = splitRecord("0;1;2;3;4;5;6;7;8;9;10");
        QCOMPARE(fields.size(), 11);
        QCOMPARE(fields[intake::MessageText], QStringLiteral("8"));
        QCOMPARE(fields[10], QStringLiteral("10"));
    }
};

QTEST_APPLESS_MAIN(TestNotificationRecord)
#include "tst_notificationrecord.moc"
