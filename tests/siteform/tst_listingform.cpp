#include <QtTest>

#include "siteform/ListingForm.h"

class TestListingForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listValues() {
        // Duration and end hour write the index (-1 when nothing is chosen), the others the index plus one.
        QCOMPARE(siteform::listValue(QStringLiteral("Combo1"), -1), -1.0);
        QCOMPARE(siteform::listValue(QStringLiteral("Combo1"), 3), 3.0);
        QCOMPARE(siteform::listValue(QStringLiteral("Combo3"), -1), -1.0);
        QCOMPARE(siteform::listValue(QStringLiteral("Combo3"), 23), 23.0);
        for (const char* name : {"Combo2", "Combo4", "Combo5"}) QCOMPARE(siteform::listValue(QLatin1String(name), -1), 0.0);
    }

    void theSellersRegionWritesItsJisCode_data() {
        // The codes of JIS X 0401, as the site's form numbers its regions; 海外 follows as 48.
        QTest::addColumn<QString>("region");
        QTest::addColumn<int>("code");
        QTest::newRow("北海道") << QStringLiteral("北海道") << 1;
        QTest::newRow("東京都") << QStringLiteral("東京都") << 13;
        QTest::newRow("神奈川県") << QStringLiteral("神奈川県") << 14;
        QTest::newRow("新潟県") << QStringLiteral("新潟県") << 15;
        QTest::newRow("富山県") << QStringLiteral("富山県") << 16;
        QTest::newRow("石川県") << QStringLiteral("石川県") << 17;
        QTest::newRow("福井県") << QStringLiteral("福井県") << 18;
        QTest::newRow("山梨県") << QStringLiteral("山梨県") << 19;
        QTest::newRow("長野県") << QStringLiteral("長野県") << 20;
        QTest::newRow("岐阜県") << QStringLiteral("岐阜県") << 21;
        QTest::newRow("沖縄県") << QStringLiteral("沖縄県") << 47;
        QTest::newRow("海外") << QStringLiteral("海外") << 48;
    }
    void theSellersRegionWritesItsJisCode() {
        QFETCH(QString, region);
        QFETCH(int, code);
        const int index = static_cast<int>(siteform::sellerRegions().indexOf(region));
        QVERIFY(index >= 0);
        QCOMPARE(siteform::listValue(QStringLiteral("Combo5"), index), double(code));
        QCOMPARE(siteform::sellerRegions().size(), 48);
    }

    void loginPromptsOfTheClosedListings() {
        const QString again = QStringLiteral("Yahoo! JAPAN\n続けるにはパスワードを再入力してください。\n");
        const QString login = QStringLiteral("ログイン");
        QCOMPARE(siteform::loginPrompts(again, {login}), 1);  // the text wins over the button
        QCOMPARE(siteform::loginPrompts(QStringLiteral("出品終了分"), {login, login}), 2);
        QCOMPARE(siteform::loginPrompts(QStringLiteral("出品終了分"), {QStringLiteral("次へ"), login}), 1);
        QCOMPARE(siteform::loginPrompts(QStringLiteral("出品終了分"), {}), 0);
    }
};

QTEST_GUILESS_MAIN(TestListingForm)
#include "tst_listingform.moc"
