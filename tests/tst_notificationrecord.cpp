#include "intake/notificationrecord.h"
#include "platform/clock.h"
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

    void trimmedOfSpaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");

        QTest::newRow("both ends") << "  hola  qué tal  " << "hola  qué tal";
        QTest::newRow("spaces only") << "    " << "";
        QTest::newRow("tabs stay") << "\t hola \t" << "\t hola \t";
        QTest::newRow("no-break space stays") << QString::fromUtf16(u"\u00a0hola ") << QString::fromUtf16(u"\u00a0hola");
        QTest::newRow("nothing to trim") << "hola" << "hola";
    }

    void trimmedOfSpaces()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(intake::trimmedOfSpaces(text), trimmed);
    }

    void answerSwapsThePartiesAndTrimsTheAnswer_data()
    {
        QTest::addColumn<QString>("incoming");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("fields");

        const QString nine = "MI-Mensaje;x;Ana;10.0.0.1;4000;Luis;10.0.0.2;4001;Hola";
        QTest::newRow("nine fields")
            << nine << "  vale, ahora voy  "
            << QStringList{"Luis", "10.0.0.2", "4001", "Ana", "10.0.0.1", "4000", "vale, ahora voy"};
        QTest::newRow("extra fields are not carried")
            << nine + ";extra;más" << "sí"
            << QStringList{"Luis", "10.0.0.2", "4001", "Ana", "10.0.0.1", "4000", "sí"};
        QTest::newRow("empty fields survive")
            << "k;d;;h;1;;;;m" << "ok" << QStringList{"", "", "", "", "h", "1", "ok"};
        QTest::newRow("message may be missing") << "k;d;Ana;h;1;Luis;h2;2" << "ok"
                                                << QStringList{"Luis", "h2", "2", "Ana", "h", "1", "ok"};
        QTest::newRow("an answer with a separator is sent as it is")
            << nine << "uno;dos"
            << QStringList{"Luis", "10.0.0.2", "4001", "Ana", "10.0.0.1", "4000", "uno", "dos"};
    }

    void answerSwapsThePartiesAndTrimsTheAnswer()
    {
        QFETCH(QString, incoming);
        QFETCH(QString, answer);
        QFETCH(QStringList, fields);
        const QDateTime sentAt(QDate(2026, 12, 8), QTime(21, 7, 30));
        const QString record = intake::composeAnswer(splitRecord(incoming), answer, sentAt);
        QVERIFY(!record.endsWith('\n') && !record.endsWith('\r'));
        const QStringList expected = QStringList{"MI-Notificar", platform::formatGeneralDate(sentAt)} + fields;
        QCOMPARE(record, expected.join(';'));
    }

    void answerToARecordWithoutAPartyRaisesError9()
    {
        try {
            intake::composeAnswer(splitRecord("k;d;Ana;h;1;Luis;h2"), "hola", QDateTime::currentDateTime());
            QFAIL("no error raised");
        } catch (const platform::Error &error) {
            QCOMPARE(error.number(), 9);
        }
    }
};

QTEST_APPLESS_MAIN(TestNotificationRecord)
#include "tst_notificationrecord.moc"
