// The clock's two written forms, after real locales.
#include "platform/qt/qstringconversion.h"
#include "platform/qt/systemclock.h"

#include <QTest>

using qtplatform::toQString;

class TestClock final : public QObject
{
    Q_OBJECT

private slots:
    // The locale gives the designator; the digits are the program's own.
    void mediumTime_data()
    {
        QTest::addColumn<QString>("localeName");
        QTest::addColumn<int>("hour");
        QTest::addColumn<QString>("text");

        QTest::newRow("C, morning") << "C" << 9 << "09:15 AM";
        QTest::newRow("C, evening") << "C" << 21 << "09:15 PM";
        QTest::newRow("Spain, evening") << "es_ES" << 21 << QStringLiteral("09:15 %1").arg(QLocale("es_ES").pmText());
    }

    void mediumTime()
    {
        QFETCH(QString, localeName);
        QFETCH(int, hour);
        QFETCH(QString, text);
        const qtplatform::SystemClock clock{QLocale(localeName)};
        QCOMPARE(toQString(clock.formatMediumTime({hour, 15, 42})), text);
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
        const qtplatform::SystemClock clock{QLocale(localeName)};
        QCOMPARE(toQString(clock.formatGeneralDate({2026, 12, 8, {21, 7, 30}})), text);
    }
};

QTEST_APPLESS_MAIN(TestClock)
#include "tst_clock.moc"
