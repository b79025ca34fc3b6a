#include "platform/clock.h"

#include <QTest>

class TestClock final : public QObject
{
    Q_OBJECT

private slots:
    void mediumTime_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("localeName");
        QTest::addColumn<QString>("text");

        QTest::newRow("midnight is 12 AM") << QTime(0, 5) << "C" << "12:05 AM";
        QTest::newRow("morning, two-digit hour") << QTime(9, 7, 59) << "C" << "09:07 AM";
        QTest::newRow("noon is 12 PM") << QTime(12, 0) << "C" << "12:00 PM";
        QTest::newRow("afternoon") << QTime(13, 30) << "C" << "01:30 PM";
        QTest::newRow("last minute") << QTime(23, 59, 59) << "C" << "11:59 PM";
        QTest::newRow("locale's own designator")
            << QTime(21, 15) << "es_ES" << QStringLiteral("09:15 %1").arg(QLocale("es_ES").pmText());
    }

    void mediumTime()
    {
        QFETCH(QTime, time);
        QFETCH(QString, localeName);
        QFETCH(QString, text);
        QCOMPARE(platform::formatMediumTime(time, QLocale(localeName)), text);
    }

    // The short date, a space and the time with its seconds; no time zone,
    // even where the locale's own long time form names one.
    void generalDate_data()
    {
        QTest::addColumn<QString>("localeName");
        QTest::addColumn<QString>("text");

        QTest::newRow("C") << "C" << "8 Dec 2026 21:07:30";
        QTest::newRow("Spain, zone in brackets") << "es_ES" << "8/12/26 21:07:30";
        QTest::newRow("United States, 12-hour") << "en_US" << "12/8/26 9:07:30 PM";
        QTest::newRow("Germany") << "de_DE" << "08.12.26 21:07:30";
    }

    void generalDate()
    {
        QFETCH(QString, localeName);
        QFETCH(QString, text);
        const QDateTime evening(QDate(2026, 12, 8), QTime(21, 7, 30));
        QCOMPARE(platform::formatGeneralDate(evening, QLocale(localeName)), text);
    }
};

QTEST_APPLESS_MAIN(TestClock)
#include "tst_clock.moc"
