// The fee file as a seller keeps it, and what the chosen options cost (totals worked out by hand).
#include <QtTest>

#include "listing/fees/Fees.h"

using namespace listing;

namespace {
const QString kFile = QStringLiteral(
    "# 料金はサイトの料金表で確かめて下さい\r\n"
    "項目,料金（円）\r\n"
    "太字テキスト,10.80\r\n"
    "\r\n"
    "背景色, 32.40\r\n"
    "送料無料アイコン,10.8\r\n"
    "贈答品アイコン,21.60\r\n"
    "目立ちアイコン,21\r\n");
}  // namespace

class TestFees : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theFeeFileAsASellerKeepsIt() {
        const FeeTable fees = parseFees(kFile);
        QVERIFY(fees.ok());
        QCOMPARE(fees.yen.value(QStringLiteral("背景色")), QStringLiteral("32.4"));
        QCOMPARE(fees.yen.value(QStringLiteral("目立ちアイコン")), QStringLiteral("21"));

        // Each fault names its line, or the option it lacks.
        struct Bad {
            const char* text;
            int line;
        };
        const Bad bad[] = {
            {"太字テキスト,10.80\r\n", 1},                      // no header: some other list
            {"項目,料金（円）\r\n太字テキスト,10.805\r\n", 2},  // a third decimal
            {"項目,料金（円）\r\n太字テキスト,-5\r\n", 2},
            {"項目,料金（円）\r\n太字テキスト,１０\r\n", 2},                   // full-width digits
            {"項目,料金（円）\r\n太字,10\r\n", 2},                             // not an option of the site
            {"項目,料金（円）\r\n太字テキスト,10\r\n太字テキスト,11\r\n", 3},  // twice
            {"項目,料金（円）\r\n太字テキスト,10,円\r\n", 2},
            {"", 1},
        };
        for (const Bad& b : bad) {
            const FeeTable t = parseFees(QString::fromUtf8(b.text));
            QVERIFY2(!t.ok(), b.text);
            QCOMPARE(t.badLine, b.line);
        }
        const FeeTable short_ = parseFees(QStringLiteral("項目,料金（円）\n太字テキスト,10\n背景色,30\n"));
        QCOMPARE(short_.badLine, 0);
        QCOMPARE(short_.missingOption, QStringLiteral("送料無料アイコン"));
    }

    void whatTheChosenOptionsCost() {
        const FeeTable fees = parseFees(kFile);
        PaidChoice none;
        none.days = 5;
        QVERIFY(!none.any());
        QCOMPARE(cost(none, fees).total, QStringLiteral("0"));
        QVERIFY(cost(none, fees).lines.isEmpty());

        // 太字 10.80 + 背景色 32.40 + 目立ちアイコン 21 + 注目 50 円 × 5 日 250 = 314.20 円.
        PaidChoice c;
        c.bold = true;
        c.background = true;
        c.eyeCatch = true;
        c.featuredPerDay = QStringLiteral("50");
        c.days = 5;
        QVERIFY(c.any());
        const Cost total = cost(c, fees);
        QCOMPARE(total.total, QStringLiteral("314.2"));
        QCOMPARE(yenText(total.total), QStringLiteral("314.20円"));
        QCOMPARE(total.lines.size(), 4);
        QCOMPARE(total.lines[0].caption, QStringLiteral("太字テキスト"));
        QCOMPARE(total.lines[3].caption, QStringLiteral("注目のオークション"));
        QCOMPARE(total.lines[3].detail, QStringLiteral("50円 × 5日"));
        QCOMPARE(yenText(total.lines[3].yen), QStringLiteral("250円"));

        // Every option, a large featured amount: 10.80 + 32.40 + 10.80 + 21.60 + 21 + 123,456,789 × 7.
        PaidChoice all = c;
        all.freeShipping = all.gift = true;
        all.featuredPerDay = QStringLiteral("123456789");
        all.days = 7;
        QCOMPARE(yenText(cost(all, fees).total), QStringLiteral("864,197,619.60円"));

        // A featured amount without a duration is shown, not added.
        PaidChoice noDays;
        noDays.featuredPerDay = QStringLiteral("30");
        const Cost open = cost(noDays, fees);
        QVERIFY(open.durationMissing);
        QCOMPARE(open.total, QStringLiteral("0"));
        QCOMPARE(open.lines.value(0).detail, QStringLiteral("30円 × 期間未選択"));
        // "0" per day is no featured auction.
        noDays.featuredPerDay = QStringLiteral("000");
        QVERIFY(!noDays.any());
    }

    void yenAsTheSellerReadsIt() {
        QCOMPARE(yenText(QStringLiteral("0")), QStringLiteral("0円"));
        QCOMPARE(yenText(QStringLiteral("999")), QStringLiteral("999円"));
        QCOMPARE(yenText(QStringLiteral("1000")), QStringLiteral("1,000円"));
        QCOMPARE(yenText(QStringLiteral("1086.4")), QStringLiteral("1,086.40円"));
        QCOMPARE(yenText(QStringLiteral("1234567.05")), QStringLiteral("1,234,567.05円"));
    }
};

QTEST_GUILESS_MAIN(TestFees)
#include "tst_fees.moc"
