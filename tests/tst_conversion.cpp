#include "platform/conversion.h"
#include "platform/error.h"

#include <QTest>

class TestConversion final : public QObject
{
    Q_OBJECT

private slots:
    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint32>("value");

        QTest::newRow("plain") << "40000" << 40000;
        QTest::newRow("spaces around") << "  40000 " << 40000;
        QTest::newRow("tab around") << "\t8080\t" << 8080;
        QTest::newRow("plus sign") << "+7" << 7;
        QTest::newRow("minus sign") << "-7" << -7;
        QTest::newRow("leading zeros") << "000123" << 123;
        QTest::newRow("half rounds to even, down") << "2.5" << 2;
        QTest::newRow("half rounds to even, up") << "3.5" << 4;
        QTest::newRow("past half rounds up") << "2.51" << 3;
        QTest::newRow("half followed by zeros") << "2.500" << 2;
        QTest::newRow("below half rounds down") << "2.4999" << 2;
        QTest::newRow("negative half") << "-2.5" << -2;
        QTest::newRow("fraction only") << ".5" << 0;
        QTest::newRow("point without fraction") << "5." << 5;
        QTest::newRow("largest") << "2147483647" << std::numeric_limits<qint32>::max();
        QTest::newRow("smallest") << "-2147483648" << std::numeric_limits<qint32>::min();
        QTest::newRow("rounds down into range") << "2147483647.4" << std::numeric_limits<qint32>::max();
        QTest::newRow("many leading zeros") << QString(40, u'0') + "1" << 1;
    }

    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(qint32, value);
        QCOMPARE(platform::toLong(text), value);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");

        QTest::newRow("empty") << "" << 13;
        QTest::newRow("spaces only") << "   " << 13;
        QTest::newRow("letters") << "abc" << 13;
        QTest::newRow("digits then letters") << "40000x" << 13;
        QTest::newRow("sign alone") << "-" << 13;
        QTest::newRow("point alone") << "." << 13;
        QTest::newRow("two signs") << "+-1" << 13;
        QTest::newRow("two points") << "1.2.3" << 13;
        QTest::newRow("inner space") << "40 000" << 13;
        QTest::newRow("exponent") << "1e3" << 13;
        QTest::newRow("Arabic-Indic digits") << QString::fromUtf16(u"\u0664\u0660") << 13;
        QTest::newRow("NUL") << QString::fromUtf16(u"4\u00000", 3) << 13;
        QTest::newRow("one past the largest") << "2147483648" << 6;
        QTest::newRow("one below the smallest") << "-2147483649" << 6;
        QTest::newRow("rounds up out of range") << "2147483647.5" << 6;
        QTest::newRow("far too many digits") << QString(400, u'9') << 6;
    }

    void refusals()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        try {
            const qint32 value = platform::toLong(text);
            QFAIL(qPrintable(QStringLiteral("converted to %1").arg(value)));
        } catch (const platform::Error &error) {
            QCOMPARE(error.number(), number);
            QCOMPARE(error.description(), platform::Error::descriptionOf(number));
        }
    }
};

QTEST_APPLESS_MAIN(TestConversion)
#include "tst_conversion.moc"
