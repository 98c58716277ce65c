#include <QtTest>

#include "mail/MailComposer.h"
#include "site/mInterNet.h"

using namespace mail;

namespace {
Values someValues() {
    Values v;
    v.user = QStringLiteral("kuma_books22");
    v.title = QStringLiteral("夜の灯台");
    v.price = QStringLiteral("1,500 円");
    v.yahooId = QStringLiteral("sorabako_demo");
    v.name = QStringLiteral("空箱 太郎");
    v.postcode = QStringLiteral("160-0023");
    v.address = QStringLiteral("東京都新宿区\r\n西新宿1-1");
    v.tel = QStringLiteral("03-1234-5678");
    v.cost = QStringLiteral("500");
    for (int r = 1; r <= 5; ++r)
        v.banks << BankRow{r == 1 || r == 3,       QStringLiteral("銀行%1").arg(r), QStringLiteral("支店%1").arg(r),
                           QStringLiteral("普通"), QStringLiteral("000%1").arg(r),  QStringLiteral("ｿﾗﾊﾞｺ ﾀﾛｳ")};
    v.postals << PostalRow{true, QStringLiteral("ぱるる"), QStringLiteral("10100"), QStringLiteral("12345671"), QStringLiteral("ｿﾗﾊﾞｺ")}
              << PostalRow{false, QStringLiteral("一般振替口座"), QStringLiteral("00100"), QStringLiteral("9"), QStringLiteral("x")};
    return v;
}
}  // namespace

class TestMailCompose : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placeholdersEveryOccurrenceInOrder() {
        Values v = someValues();
        v.title = QStringLiteral("本 <PRICE> 即決");  // filled again by the later placeholder
        const QString body = bodyFromTemplate(
            QStringLiteral("<USER>様 <USER>様\r\n<TITLE>\r\n<TOTAL>円 (<PRICE>+<COST>)\r\n<YAHOOID> <NAME> <YUBINNO> <TEL>\r\n<JUSYO>"));
        QCOMPARE(fill(body, v), QStringLiteral("kuma_books22様 kuma_books22様\r\n本 1,500 円 即決\r\n2000円 (1,500 円+500)\r\n"
                                               "sorabako_demo 空箱 太郎 160-0023 03-1234-5678\r\n東京都新宿区\r\n西新宿1-1\r\n"));
    }

    void bankAndPostalBlocksByteForByte() {
        // Written by hand: full-width blanks where the mail lines up its labels.
        const QString expected = QStringLiteral(
            "　銀行振込1　 銀　　行 ： 銀行1\r\n"
            "　　　　　  　支 店 名 ： 支店1\r\n"
            "　　　　　　　種　　別 ： 普通\r\n"
            "　　　　　　　口座番号 ： 0001\r\n"
            "　　　　　　　口座名義 ： ｿﾗﾊﾞｺ ﾀﾛｳ\r\n"
            "\r\n"
            "|"
            "　銀行振込3　 銀　　行 ： 銀行3\r\n"
            "　　　　　  　支 店 名 ： 支店3\r\n"
            "　　　　　　　種　　別 ： 普通\r\n"
            "　　　　　　　口座番号 ： 0003\r\n"
            "　　　　　　　口座名義 ： ｿﾗﾊﾞｺ ﾀﾛｳ\r\n"
            "\r\n"
            "|<GINKOU6>|"
            "　郵便振替1　 口座種別 ： ぱるる\r\n"
            "　　　　　　　記　　号 ： 10100\r\n"
            "　　　　　　　番　　号 ： 12345671\r\n"
            "　　　　　　　口座名義 ： ｿﾗﾊﾞｺ\r\n"
            "|\r\n");
        QCOMPARE(fill(bodyFromTemplate(QStringLiteral("<GINKOU1><GINKOU2>|<GINKOU3><GINKOU4><GINKOU5>|<GINKOU6>|<YUBIN1>|<YUBIN2>")),
                      someValues()),
                 expected);
    }

    void otherPaymentCashOnDeliveryAndShipping() {
        Values v = someValues();
        QCOMPARE(fill(QStringLiteral("[<SONOTA>][<DAIBIKI>][<HASSOU>]"), v), QStringLiteral("[][][]"));
        v.other = true;
        v.otherText = QStringLiteral("現金書留\r\n手渡し");
        v.cashOnDelivery = true;
        v.cashOnDeliveryFee = QStringLiteral("300");
        v.shippingWays = QStringList{QStringLiteral("定形外郵便"), QStringLiteral("その他ご要望")};
        QCOMPARE(fill(QStringLiteral("[<SONOTA>][<DAIBIKI>][<HASSOU>]"), v),
                 QStringLiteral("[現金書留\r\n手渡し\r\n][　代金引換　　　代引手数料として、300 円をご負担頂きます｡別途､送料がかかります｡]"
                                "[　　　　　　　　　　・定形外郵便\r\n　　　　　　　　　　・その他ご要望\r\n]"));
    }

    void totalsAndSubject() {
        QCOMPARE(total(QStringLiteral("1,500 円"), QStringLiteral("500")), QStringLiteral("2000"));
        QCOMPARE(total(QStringLiteral("12,800円"), QString()), QStringLiteral("12800"));
        QCOMPARE(total(QString(), QString()), QStringLiteral("0"));
        QCOMPARE(total(QStringLiteral("1,500 円"), QStringLiteral("180.5")), QStringLiteral("1680.5"));
        QCOMPARE(subject(QStringLiteral("夜の灯台")), QStringLiteral("『夜の灯台』 落札ありがとうございます"));
    }

    void hugeFiguresAddUpDigitForDigit() {
        // A 20-digit fee typed by mistake: the sum a seller can check by hand, no overflow, no rounding.
        QCOMPARE(total(QStringLiteral("1,500 円"), QStringLiteral("12345678901234567890")), QStringLiteral("12345678901234569390"));
        QCOMPARE(total(QStringLiteral("99,999,999,999,999,999,999 円"), QStringLiteral("1")), QStringLiteral("100000000000000000000"));
        QCOMPARE(total(QStringLiteral("1e30"), QString()), QStringLiteral("1000000000000000000000000000000"));
        QCOMPARE(total(QStringLiteral("-3"), QStringLiteral("1.25")), QStringLiteral("-1.75"));
        QCOMPARE(total(QStringLiteral("1e999"), QStringLiteral("5")), QStringLiteral("5"));  // no number at all: 0
    }

    void templateLinesEachEndWithCrLf() {
        QCOMPARE(bodyFromTemplate(QStringLiteral("a\r\nb")), QStringLiteral("a\r\nb\r\n"));
        QCOMPARE(bodyFromTemplate(QStringLiteral("a\r\n\r\nb\r\n")), QStringLiteral("a\r\n\r\nb\r\n"));
        QCOMPARE(bodyFromTemplate(QString()), QString());
    }

    void mailtoAddress() {
        // The recipient is the bare address (RFC 6068), never "name 様 <address>".
        const QString address =
            mail::mailtoAddress(QStringLiteral("kuma@example.jp"), QStringLiteral("『本』 落札"), QStringLiteral("一行目\r\n二行目 & ?"));
        QVERIFY(address.startsWith(QStringLiteral("mailto:kuma@example.jp?subject=")));
        QVERIFY(address.contains(QStringLiteral("&body=%E4%B8%80%E8%A1%8C%E7%9B%AE%0D%0A%E4%BA%8C%E8%A1%8C%E7%9B%AE%20%26%20%3F")));
        for (QChar c : address) QVERIFY(c.unicode() < 0x80);  // all of it is plain ASCII
        // No address on the page: no recipient at all.
        QVERIFY(mail::mailtoAddress(QString(), QStringLiteral("s"), QString()).startsWith(QStringLiteral("mailto:?subject=s")));
    }

    void extractorsOnCannedDocuments() {
        mInterNet::Document page;
        page.rootMarkup = QStringLiteral("<HEAD><TITLE>Yahoo!オークション - 夜の灯台</TITLE><META charset=\"EUC-JP\"></HEAD>");
        QCOMPARE(*mInterNet::Item_Title(page), QStringLiteral("夜の灯台"));
        page.rootMarkup = QStringLiteral("<HEAD><TITLE>Yahoo!オークション</TITLE></HEAD>");
        QCOMPARE(*mInterNet::Item_Title(page), QStringLiteral("<HEAD><TITLE>Yahoo!オークション"));
        QCOMPARE(*mInterNet::Item_Title(page), QStringLiteral("<HEAD><TITLE>Yahoo!オークション"));
        page.rootMarkup = QStringLiteral("<HEAD></HEAD>");
        QVERIFY(!mInterNet::Item_Title(page));

        // The outermost element that begins with the label, the label removed and nothing else.
        page.elementTexts = QStringList{QStringLiteral("Yahoo! 現在の価格：1,500 円"), QStringLiteral("現在の価格：1,500 円 (税込)"),
                                        QStringLiteral("現在の価格：1,500 円")};
        QCOMPARE(mInterNet::Item_Price(page), QStringLiteral("1,500 円 (税込)"));
        page.elementTexts.clear();
        QCOMPARE(mInterNet::Item_Price(page), QString());

        const auto link = [](const char* text) { return mInterNet::Document::Link{QString::fromUtf8(text), QString()}; };
        QString first = QStringLiteral("old1"), second = QStringLiteral("old2");
        page.links = {link("出品する"), link("こちら"), link("kuma"), link("kuma@example.jp"), link("プライバシーの考え方")};
        mInterNet::Item_Contact(page, &first, &second);
        QCOMPARE(first, QStringLiteral("kuma"));
        QCOMPARE(second, QStringLiteral("kuma@example.jp"));
        first = QStringLiteral("old1"), second = QStringLiteral("old2");
        page.links = {link("出品する"), link("こちらへ")};
        mInterNet::Item_Contact(page, &first, &second);
        QCOMPARE(first, QStringLiteral("old1"));  // no link reading こちら: both untouched
        QCOMPARE(second, QStringLiteral("old2"));
        page.links = {link("こちら"), link("kuma")};
        mInterNet::Item_Contact(page, &first, &second);
        QCOMPARE(first, QStringLiteral("kuma"));
        QCOMPARE(second, QStringLiteral("old2"));
    }
};

QTEST_GUILESS_MAIN(TestMailCompose)
#include "tst_mailcompose.moc"
