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
};

QTEST_APPLESS_MAIN(TestClock)
#include "tst_clock.moc"
