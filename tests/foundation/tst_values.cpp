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
