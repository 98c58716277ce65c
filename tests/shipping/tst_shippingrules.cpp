#include <QtTest>

#include <limits>

#include "shipping/mHASSOU.h"

using namespace mHASSOU;

namespace {
const QString kBlock = QStringLiteral(
    "<CENTER><TABLE border=0><TBODY><TR><TD align=center>%1</TD></TR>"
    "<TR><TD align=right>%2</TD></TR></TBODY></TABLE></CENTER>");

// A small rate file: blocks in any order, a region listed over two header lines.
const QString kRates = QStringLiteral(
    "大阪府発着,都道府県,東京都,大阪府,北海道\r\n"
    "大阪府発着,60サイズ,900,700,1300\r\n"
    "東京都発着,都道府県,東京都,大阪府,北海道\r\n"
    "東京都発着,都道府県,神奈川県,京都府,\r\n"
    "東京都発着,60サイズ,700,900,1100\r\n"
    "東京都発着,80サイズ,900,1100,1300\r\n"
    "東京都発着,100サイズ,,1300,1500\r\n");
const QString kWeights = QStringLiteral(
    "東京都発着,都道府県,東京都,大阪府\r\n"
    "東京都発着,2000,700,800\r\n"
    "東京都発着,10000,1100,1200\r\n");

RateReader reader(const QString& text, int* calls = nullptr) {
    return [text, calls]() -> std::optional<QString> {
        if (calls) ++*calls;
        return text;
    };
}
}  // namespace

class TestShippingRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bandEdges_data() {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("note");
        // Every band of every rule as the post office and the carrier price them: its lightest
        // and its heaviest weight (bounds belong to the lighter band), then the first weight
        // past the last band. Written out, so one wrong price, note or edge fails.
        struct Band {
            int upTo;
            const char* price;
            const char* note;
        };
        const auto rule = [](const char* service, std::initializer_list<Band> bands, const char* overNote) {
            int from = 0;
            for (const Band& b : bands) {
                for (int w : {from, b.upTo})
                    QTest::addRow("%s %d", service, w) << QString::fromLatin1(service) << QString::number(w)
                                                       << QString::fromUtf8(b.price) + QStringLiteral(" 円") << QString::fromUtf8(b.note);
                from = b.upTo + 1;
            }
            QTest::addRow("%s %d", service, from)
                << QString::fromLatin1(service) << QString::number(from) << QStringLiteral("不可") << QString::fromUtf8(overNote);
        };
        rule("mini", {{25, "60", "0～25g"}}, "重さ制限:25g以内");
        rule("teikei", {{25, "80", "0～25g"}, {50, "90", "26～50g"}}, "重さ制限:50g以内");
        rule("gai",
             {{50, "120", "0g～50g"},
              {100, "140", "51g～100g"},
              {150, "200", "101g～150g"},
              {250, "240", "151g～250g"},
              {500, "390", "251g～500g"},
              {1000, "580", "501g～1kg"},
              {2000, "850", "1.1kg～2kg"},
              {4000, "1150", "2.1kg～4kg"}},
             "重さ制限:4kg以内");
        rule("sasshi",
             {{150, "180", "0g～150g"},
              {250, "210", "151g～250g"},
              {500, "290", "251g～500g"},
              {1000, "340", "501g～1kg"},
              {2000, "450", "1.1kg～2kg"},
              {3000, "590", "2.1kg～3kg"}},
             "重さ制限:3kg以内");
        rule("expack", {{3000, "500", "0～3kg"}}, "重さ制限:3kg以内");
        rule("mail",
             {{50, "80", "0g～50g"},
              {100, "110", "51g～100g"},
              {300, "160", "101g～300g"},
              {600, "210", "301g～600g"},
              {1000, "310", "601g～1kg"}},
             "大きさの制限は1kg以内です");
        // An empty box reads as 0 g.
        QTest::newRow("teikei empty") << "teikei"
                                      << ""
                                      << "80 円"
                                      << "0～25g";
        QTest::newRow("sasshi empty") << "sasshi"
                                      << ""
                                      << "180 円"
                                      << "0g～150g";
        // Between two whole grams: still the heavier band.
        QTest::newRow("gai 250.5") << "gai"
                                   << "250.5"
                                   << "390 円"
                                   << "251g～500g";
    }

    void bandEdges() {
        QFETCH(QString, service);
        QFETCH(QString, weight);
        QFETCH(QString, price);
        QFETCH(QString, note);
        Fee fee;
        if (service == QLatin1String("mini"))
            fee = Souryou_MiniLetter(weight);
        else if (service == QLatin1String("teikei"))
            fee = Souryou_Teikei(weight);
        else if (service == QLatin1String("gai"))
            fee = Souryou_Teikeigai(weight, 30, 60);
        else if (service == QLatin1String("sasshi"))
            fee = Souryou_Sasshi(weight);
        else if (service == QLatin1String("expack"))
            fee = Souryou_Expack(weight);
        else
            fee = Souryou_MailBin(weight, 30, 2, 60);
        QCOMPARE(fee.price, price);
        QCOMPARE(fee.note, note);
    }

    void blocksAreAppendedWithThePriceEvenWhenItIsImpossible() {
        QCOMPARE(Souryou_Teikei(QStringLiteral("60")).html, kBlock.arg(QStringLiteral("定形"), QStringLiteral("不可")));
        QCOMPARE(Souryou_MiniLetter(QStringLiteral("10")).html, kBlock.arg(QStringLiteral("ミニレター"), QStringLiteral("60 円")));
        QCOMPARE(Souryou_Teikeigai(QStringLiteral("120"), 10, 20).html, kBlock.arg(QStringLiteral("定形外"), QStringLiteral("200 円")));
        QCOMPARE(Souryou_Sasshi(QStringLiteral("200")).html, kBlock.arg(QStringLiteral("冊子小包"), QStringLiteral("210 円")));
        QCOMPARE(Souryou_Expack(QStringLiteral("200")).html, kBlock.arg(QStringLiteral("エクスパック500"), QStringLiteral("500 円")));
        QCOMPARE(Souryou_MailBin(QStringLiteral("200"), 10, 1, 20).html, QString());  // never a block
    }

    void sidesComeBeforeTheWeight() {
        Fee fee = Souryou_Teikeigai(QStringLiteral("10"), 61, 70);
        QCOMPARE(fee.price, QStringLiteral("不可"));
        QCOMPARE(fee.note, QStringLiteral("長辺: 60cm以内です"));
        QCOMPARE(fee.html, QString());
        fee = Souryou_Teikeigai(QStringLiteral("10"), 60, 91);
        QCOMPARE(fee.note, QStringLiteral("3辺計: 90cm以内です"));
        QCOMPARE(fee.html, QString());
        QCOMPARE(Souryou_Teikeigai(QStringLiteral("10"), 60, 90).price, QStringLiteral("120 円"));
        QCOMPARE(Souryou_MailBin(QStringLiteral("10"), 41, 1, 50).note, QStringLiteral("長辺: 40cm以内です"));
        QCOMPARE(Souryou_MailBin(QStringLiteral("10"), 30, 2.5, 50).note, QStringLiteral("厚さ: 2cm以内です"));
        QCOMPARE(Souryou_MailBin(QStringLiteral("10"), 30, 2, 71).note, QStringLiteral("3辺計: 70cm以内です"));
        QCOMPARE(Souryou_MailBin(QStringLiteral("10"), 40, 2, 70).price, QStringLiteral("80 円"));
    }

    void theOriginsBlock() {
        const RateBlock block = originBlock(kRates, QStringLiteral("東京都"));
        QCOMPARE(block.size(), 5);
        QCOMPARE(block[0],
                 (QStringList{QStringLiteral("都道府県"), QStringLiteral("東京都"), QStringLiteral("大阪府"), QStringLiteral("北海道")}));
        QCOMPARE(block[4].first(), QStringLiteral("100サイズ"));
        QVERIFY(originBlock(kRates, QStringLiteral("沖縄県")).isEmpty());
    }

    void parcelLookup() {
        ParcelFee fee =
            Souryou_Parcel(QStringLiteral("東京都"), QStringLiteral("大阪府"), reader(kRates), 60, false, QStringLiteral("ゆうパック"));
        QCOMPARE(fee.price, QStringLiteral("900 円"));
        QCOMPARE(fee.note, QStringLiteral("60サイズ"));
        QVERIFY(fee.blockLoaded);
        QCOMPARE(fee.block.size(), 5);
        fee = Souryou_Parcel(QStringLiteral("東京都"), QStringLiteral("大阪府"), reader(kRates), 61, false, QString());
        QCOMPARE(fee.note, QStringLiteral("80サイズ"));
        // A destination on the second header line is found like one on the first.
        fee = Souryou_Parcel(QStringLiteral("東京都"), QStringLiteral("京都府"), reader(kRates), 80, false, QString());
        QCOMPARE(fee.price, QStringLiteral("1100 円"));
        // Drop-off: the cell less 100, as a plain number.
        fee = Souryou_Parcel(QStringLiteral("東京都"), QStringLiteral("大阪府"), reader(kRates), 80, true, QString());
        QCOMPARE(fee.price, QStringLiteral("1000 円"));
    }

    void parcelCasesWithoutALookup() {
        int calls = 0;
        ParcelFee fee = Souryou_Parcel(QString(), QStringLiteral("大阪府"), reader(kRates, &calls), 60, false, QString());
        QCOMPARE(fee.price, QStringLiteral("----"));
        QCOMPARE(fee.note, QStringLiteral("発送元/発送先入力"));
        fee = Souryou_Parcel(QStringLiteral("東京都"), QStringLiteral("大阪府"), reader(kRates, &calls), 0, false, QString());
        QCOMPARE(fee.price, QStringLiteral("----"));
        QCOMPARE(fee.note, QStringLiteral("3辺計入力"));
        fee = Souryou_YahooParcel(QStringLiteral("北海道"), QStringLiteral("大阪府"), reader(kWeights, &calls), 2000);
        QCOMPARE(fee.price, QStringLiteral("不可"));
        QCOMPARE(fee.note, QStringLiteral("取扱店舗無"));
        QVERIFY(!fee.blockLoaded);
        QCOMPARE(fee.html, QString());
        QCOMPARE(calls, 0);  // none of them needed the rate file

        // A destination in no header line, a size past the largest class, a file that cannot be read.
        fee = Souryou_Parcel(QStringLiteral("東京都"), QStringLiteral("沖縄県"), reader(kRates), 60, false, QString());
        QCOMPARE(fee.price, QStringLiteral("不可"));
        QCOMPARE(fee.note, QStringLiteral("発送先が料金表にありません"));
        QVERIFY(fee.blockLoaded);
        QCOMPARE(fee.html, QString());
        fee = Souryou_Parcel(QStringLiteral("東京都"), QStringLiteral("大阪府"), reader(kRates), 101, false, QString());
        QCOMPARE(fee.price, QStringLiteral("不可"));
        QCOMPARE(fee.note, QStringLiteral("サイズ制限:100サイズ以内"));
        fee = Souryou_YahooParcel(QStringLiteral("東京都"), QStringLiteral("大阪府"), reader(kWeights), 10001);
        QCOMPARE(fee.note, QStringLiteral("重さ制限:10kg以内"));
        fee = Souryou_Parcel(
            QStringLiteral("東京都"), QStringLiteral("大阪府"), [] { return std::optional<QString>(); }, 60, false, QString());
        QVERIFY(fee.unreadable);
        QCOMPARE(fee.html, QString());
    }

    void weightClassesReadAsKilograms() {
        const ParcelFee fee = Souryou_YahooParcel(QStringLiteral("東京都"), QStringLiteral("大阪府"), reader(kWeights), 10000);
        QCOMPARE(fee.price, QStringLiteral("1200 円"));
        QCOMPARE(fee.note, QStringLiteral("10kg"));
        QVERIFY(fee.html.contains(QStringLiteral("      <TD>10kg</TD>\r\n")));
        QVERIFY(fee.html.contains(QStringLiteral("cellpadding=3  width=400")));
        QVERIFY(fee.html.contains(QStringLiteral("<B>Yahoo!ゆうパック </B>")));
    }

    void theParcelTableByteForByte() {
        // Written by hand from the templates: three region columns, the rest of the places left as they are.
        const ParcelFee fee =
            Souryou_Parcel(QStringLiteral("東京都"), QStringLiteral("北海道"), reader(kRates), 100, false, QStringLiteral("ゆうパック"));
        const QString expected = QStringLiteral(
            "<CENTER>\r\n"
            "<TABLE border=1 cellspacing=0 cellpadding=3 width=400><TR>\r\n"
            "      <TD></TD>\r\n"
            "      <TD colspan=13 align=center height=20><FONT color=#0000ff size=4><B>ゆうパック </B></FONT></TD></TR>\r\n"
            "<TR><TD>サイズ</TD>\r\n"
            "      <TD width=25% align=center valign=middle>東京都\r\n神奈川県\r\n</TD>\r\n"
            "      <TD>大阪府\r\n京都府\r\n</TD>\r\n"
            "      <TD>北海道\r\n</TD>\r\n"
            "      <TD>[KEN4]</TD>\r\n"
            "      <TD >[KEN5]</TD>\r\n"
            "      <TD >[KEN6]</TD>\r\n"
            "      <TD >[KEN7]</TD>\r\n"
            "      <TD >[KEN8]</TD>\r\n"
            "      <TD>[KEN9]</TD>\r\n"
            "      <TD>[KEN10]</TD>\r\n"
            "      <TD>[KEN11]</TD>\r\n"
            "      <TD>[KEN12]</TD>\r\n"
            "      <TD>[KEN13]</TD>\r\n"
            "      <TD>[KEN14]</TD>\r\n"
            "    </TR><TR>\r\n"
            "      <TD>100サイズ</TD>\r\n"
            "      <TD width=25%  align=center valign=middle></TD>\r\n"
            "      <TD>1300 円</TD>\r\n"
            "      <TD>1500 円</TD>\r\n"
            "      <TD>[NDN4]</TD>\r\n"
            "      <TD >[NDN5]</TD>\r\n"
            "      <TD >[NDN6]</TD>\r\n"
            "      <TD >[NDN7]</TD>\r\n"
            "      <TD >[NDN8]</TD>\r\n"
            "      <TD>[NDN9]</TD>\r\n"
            "      <TD>[NDN10]</TD>\r\n"
            "      <TD>[NDN11]</TD>\r\n"
            "      <TD>[NDN12]</TD>\r\n"
            "      <TD>[NDN13]</TD>\r\n"
            "      <TD>[NDN14]</TD>\r\n"
            "    </TR>\r\n"
            "</TABLE>\r\n"
            "</CENTER>\r\n"
            "<BR>");
        QCOMPARE(fee.html, expected);
        QCOMPARE(fee.price, QStringLiteral("1500 円"));
    }

    void numbers() {
        QCOMPARE(roundHalfEven(60.5), 60);
        QCOMPARE(roundHalfEven(61.5), 62);
        QCOMPARE(roundHalfEven(60.4), 60);
        QCOMPARE(roundHalfEven(60.6), 61);
        QCOMPARE(plainNumber(60.5), QStringLiteral("60.5"));
        QCOMPARE(plainNumber(60), QStringLiteral("60"));
        QCOMPARE(plainNumber(0.1 + 0.2), QStringLiteral("0.3"));
        QCOMPARE(plainNumber(-100), QStringLiteral("-100"));
        QCOMPARE(plainNumber(1e16 + 0.5), QStringLiteral("10000000000000000"));
        // A number past every class stays past them: no size row, not the cheapest one.
        QCOMPARE(roundHalfEven(3e9), std::numeric_limits<int>::max());
        const ParcelFee fee =
            Souryou_Parcel(QStringLiteral("東京都"), QStringLiteral("大阪府"), reader(kRates), roundHalfEven(3e9), false, QString());
        QCOMPARE(fee.price, QStringLiteral("不可"));
    }
};

QTEST_GUILESS_MAIN(TestShippingRules)
#include "tst_shippingrules.moc"
