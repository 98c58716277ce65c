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
        const int overseas = static_cast<int>(siteform::sellerRegions().indexOf(QStringLiteral("海外")));
        QCOMPARE(siteform::listValue(QStringLiteral("Combo5"), overseas), 48.0);
        QCOMPARE(siteform::listValue(QStringLiteral("Combo5"), siteform::sellerRegions().indexOf(QStringLiteral("北海道"))), 1.0);
    }

    void everyMirrorIsPushedByMirrorAllExceptTheTwoPrices() {
        const QStringList& order = siteform::mirrorAllOrder();
        QCOMPARE(order.mid(0, 10), (QStringList{QStringLiteral("txtTitle"), QStringLiteral("txtDescription"),
                                                QStringLiteral("imNumLite2"), QStringLiteral("Text1"),
                                                QStringLiteral("imNumLite1"), QStringLiteral("imNumLite3"),
                                                QStringLiteral("imNumLite6"), QStringLiteral("optHANBAI"),
                                                QStringLiteral("optHANBAI2"), QStringLiteral("Combo2")}));
        QCOMPARE(order.mid(10, 2), (QStringList{QStringLiteral("Check16"), QStringLiteral("Check17")}));
        QCOMPARE(order.mid(25, 2), (QStringList{QStringLiteral("Check31"), QStringLiteral("Check35")}));
        QCOMPARE(order.mid(33), (QStringList{QStringLiteral("Combo1"), QStringLiteral("Combo2"), QStringLiteral("Combo3"),
                                             QStringLiteral("Combo4"), QStringLiteral("Combo5")}));
        QCOMPARE(order.size(), 38);
        for (const siteform::Mirror& m : siteform::mirrors()) {
            const bool pushed = order.contains(m.control);
            QVERIFY2(pushed != (m.control == QLatin1String("imNumLite4") || m.control == QLatin1String("imNumLite5")),
                     qPrintable(m.control));
        }
        QCOMPARE(order.last(), QStringLiteral("Combo5"));  // the page ends at the seller's region
        QCOMPARE(siteform::findMirror(QStringLiteral("Combo5"))->scrollY, 1210);
    }

    void listsAsTheSiteNumbersThem() {
        QCOMPARE(siteform::sellerRegions().size(), 48);
        QCOMPARE(siteform::sellerRegions().first(), QStringLiteral("北海道"));
        QCOMPARE(siteform::sellerRegions().at(46), QStringLiteral("沖縄県"));
        const QStringList& hours = siteform::endHours();
        QCOMPARE(hours.size(), 24);
        QCOMPARE(hours.first(), QStringLiteral("午前0時から午前1時"));
        QCOMPARE(hours.at(11), QStringLiteral("午前11時から午後0時"));
        QCOMPARE(hours.at(12), QStringLiteral("午後0時（正午）から午後1時<"));
        QCOMPARE(hours.last(), QStringLiteral("午後11時から午前0時"));
        QCOMPARE(siteform::eyeCatchIcons().size(), 9);
        QCOMPARE(siteform::eyeCatchIcons().first(), QString());
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
