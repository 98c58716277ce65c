// Before the last click: what the listing itself lacks.
#include <QtTest>

#include "listing/preflight/Preflight.h"

class TestPreflight : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void whatTheListingLacks() {
        // Bytes as the site counts them: full width 2, half width 1.
        listing::ListingWarnings w = listing::listingWarnings(QStringLiteral("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯ"), QStringLiteral("1"));
        QCOMPARE(w.titleBytes, 30);
        QVERIFY(!w.any());
        w = listing::listingWarnings(QStringLiteral("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯｱ"), QStringLiteral(" "));
        QCOMPARE(w.titleBytes, 31);
        QCOMPARE(listing::warningLines(w), (QStringList{QStringLiteral("タイトルが 31 バイトあります（30 バイトまで）。短くして下さい。"),
                                                        QStringLiteral("開始価格が入力されていません。")}));
        // A memory file keeps an empty price as 0: the seller hears of it all the same.
        for (const char* zero : {"0", "０", " 0 円", "0000"})
            QCOMPARE(listing::warningLines(listing::listingWarnings(QString(), QString::fromUtf8(zero))),
                     QStringList{QStringLiteral("開始価格が 0 円になっています。")});
        QVERIFY(!listing::listingWarnings(QString(), QStringLiteral("1")).any());
    }
};

QTEST_GUILESS_MAIN(TestPreflight)
#include "tst_preflight.moc"
