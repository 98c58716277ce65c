#include <QtTest>

#include "core/Values.h"

using namespace values;

class TestValues : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void leadingNumberIsLenient_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("plain") << "1500" << 1500.0;
        QTest::newRow("blanks inside") << " 1 2 3 " << 123.0;
        QTest::newRow("stops at letter") << "12abc" << 12.0;
        QTest::newRow("no digits") << "abc" << 0.0;
        QTest::newRow("negative") << "-42" << -42.0;
        QTest::newRow("decimal") << "3.75kg" << 3.75;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("sign after digits stops") << "5-3" << 5.0;
        QTest::newRow("exponent") << "2e3" << 2000.0;
        QTest::newRow("dangling exponent") << "7e" << 7.0;
        QTest::newRow("full-width digits are not digits") << "１２" << 0.0;
    }
    void leadingNumberIsLenient() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(leadingNumber(text), expected);
    }

    void integersAndMoney() {
        QCOMPARE(leadingInt(QStringLiteral("1")), 1);
        QCOMPARE(leadingInt(QStringLiteral("2.9")), 2);
        QCOMPARE(leadingInt(QStringLiteral("")), 0);
        QCOMPARE(leadingInt(QStringLiteral("99999999999")), 0);
        QCOMPARE(readMoney(QStringLiteral("1,500 円")), 1500.0);
        QCOMPARE(readMoney(QStringLiteral("12,345,678円")), 12345678.0);
        QCOMPARE(readMoney(QString()), 0.0);
        QCOMPARE(priceText(120), QStringLiteral("120 円"));
    }

    void exactSums() {
        QCOMPARE(decimalSum(QStringLiteral("1500"), QStringLiteral("500")), QStringLiteral("2000"));
        QCOMPARE(decimalSum(QStringLiteral("0.1"), QStringLiteral("0.2")), QStringLiteral("0.3"));  // no binary fraction
        QCOMPARE(decimalSum(QStringLiteral("007"), QStringLiteral("-0.50")), QStringLiteral("6.5"));
        QCOMPARE(decimalSum(QStringLiteral("5"), QStringLiteral("-5")), QStringLiteral("0"));
        QCOMPARE(decimalSum(QStringLiteral("1.5e3"), QStringLiteral("2e-2")), QStringLiteral("1500.02"));
        // Zero or nothing however it is written: no shift by a huge exponent, no endless loop.
        QCOMPARE(decimalSum(QStringLiteral("0e2147483647"), QStringLiteral("1")), QStringLiteral("1"));
        QCOMPARE(decimalSum(QStringLiteral("12.5e-2147483648"), QStringLiteral("1")), QStringLiteral("1"));
        QCOMPARE(decimalSum(QStringLiteral("1e-99999999"), QString()), QStringLiteral("0"));
        QCOMPARE(decimalSum(QStringLiteral("1e99999999"), QStringLiteral("2")), QStringLiteral("2"));
        QCOMPARE(decimalSum(QString(200000, QLatin1Char('9')), QString()), QStringLiteral("0"));  // past any double
        QCOMPARE(plainDecimal(-1e-11), QStringLiteral("0"));
        QCOMPARE(plainDecimal(60.5), QStringLiteral("60.5"));
        QCOMPARE(plainDecimal(1e20), QStringLiteral("100000000000000000000"));
    }

    void multiLineValues() {
        const QString text = QStringLiteral("一行目\r\n二行目\r\n三行目");
        QCOMPARE(toStoredLine(text), QStringLiteral("一行目\\n二行目\\n三行目"));
        QCOMPARE(fromStoredLine(toStoredLine(text)), text);
        // Only pairs move: a lone LF stays as it is.
        QCOMPARE(toStoredLine(QStringLiteral("a\nb")), QStringLiteral("a\nb"));
        QCOMPARE(crlfToBr(QStringLiteral("a\r\nb")), QStringLiteral("a<BR>b"));
    }
};

QTEST_GUILESS_MAIN(TestValues)
#include "tst_values.moc"
