#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QPushButton>
#include <QMenu>
#include <QTabWidget>

#include "app/fMain.h"
#include "core/Cp932.h"
#include "mail/MailPane.h"
#include "site/mInterNet.h"
#include "settings/SiteAddresses.h"
#include "settings/mINI.h"
#include "support/Browsing.h"
#include "support/Dialogs.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Press.h"
#include "widgets/Browser.h"
#include "widgets/Grid.h"

namespace {
const QString kTemplate = QStringLiteral("<USER> 様\r\n『<TITLE>』 <PRICE> + <COST> 円 = <TOTAL> 円\r\n<GINKOU1><GINKOU2><HASSOU>--\r\n");

void settings(RecordingUiServices& ui) {
    mINI::Ini_PutAll({{QStringLiteral("銀行振込"), QStringLiteral("チェック1"), QStringLiteral("-1")},
                      {QStringLiteral("銀行振込"), QStringLiteral("銀行名1"), QStringLiteral("ソラ銀行")},
                      {QStringLiteral("銀行振込"), QStringLiteral("チェック2"), QStringLiteral("0")},
                      {QStringLiteral("銀行振込"), QStringLiteral("銀行名2"), QStringLiteral("ハコ銀行")},
                      {QStringLiteral("差出人"), QStringLiteral("氏名"), QStringLiteral("空箱 太郎")}},
                     ui);
}

// An item page that arrives while the program is being closed.
class ClosingLoader : public mInterNet::DocumentLoader {
public:
    explicit ClosingLoader(QWidget* window) : m_window(window) {}
    std::optional<mInterNet::Document> Doc_Load(const QString&, int) override {
        m_window->close();
        mInterNet::Document page;
        page.rootMarkup = QStringLiteral("<HEAD><TITLE>Yahoo!オークション - 空箱文庫 詩集</TITLE></HEAD>");
        page.elementTexts = {QStringLiteral("現在の価格：1,500 円")};
        page.links = {{QStringLiteral("こちら"), QString()},
                      {QStringLiteral("髙橋 久美"), QString()},
                      {QStringLiteral("kuma.books22@example.jp"), QString()}};
        return page;
    }
    void cancel() override { ++cancelled; }
    int cancelled = 0;

private:
    QWidget* m_window;
};
}  // namespace

class TestMailPane : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controls() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        MailPane pane(ui);
        const QList<std::pair<QString, QString>> captions{{QStringLiteral("Command1"), QStringLiteral("ﾒｰﾙ作成")},
                                                          {QStringLiteral("Command5"), QStringLiteral("コピー")},
                                                          {QStringLiteral("Command4"), QStringLiteral("出品終了分")},
                                                          {QStringLiteral("Command18"), QStringLiteral("最新の情報に更新")}};
        for (const auto& [name, caption] : captions) QCOMPARE(child<QPushButton>(&pane, name)->text(), caption);
        QCOMPARE(child<QPushButton>(&pane, QStringLiteral("Command1"))->toolTip(), QStringLiteral("メールを自動生成します。"));
        QCOMPARE(child<QCheckBox>(&pane, QStringLiteral("ckMail"))->text(), QStringLiteral("メーラー起動"));
        QCOMPARE(child<QCheckBox>(&pane, QStringLiteral("Check3"))->toolTip(), QStringLiteral("代引に対応する時にﾁｪｯｸして下さい。"));
        QCOMPARE(child<QCheckBox>(&pane, QStringLiteral("Check4"))->text(), QStringLiteral("その他支払方法"));
        QCOMPARE(child<QCheckBox>(&pane, QStringLiteral("ckHASSOU_9"))->text(), QStringLiteral("その他ご要望"));
        QCOMPARE(child<QGroupBox>(&pane, QStringLiteral("fraHASSOU"))->toolTip(), QStringLiteral("商品の発送方法を選択して下さい。"));
        for (const char* name :
             {"txtSYOU", "txtNAME", "txtKingaku", "txtID", "imNumber2", "imNumLite7", "txtID2", "txtNAME2", "txtYUBIN2", "txtTEL2"})
            QVERIFY2(pane.findChild<QLineEdit*>(QLatin1String(name)), name);
        QVERIFY(pane.findChild<QPlainTextEdit*>(QStringLiteral("imText2")));
        QVERIFY(pane.findChild<QPlainTextEdit*>(QStringLiteral("txtADD2")));
    }

    void theWholeMailAgainstTheSite() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        folder.writeCp932(QStringLiteral("Template/MAIL/お礼.txt"), kTemplate);
        RecordingUiServices ui;
        settings(ui);
        fMain w(ui);
        w.Ini_Re();
        MailPane* pane = w.mailPane();
        press(pane, "Command5");  // before any mail: empty text on the clipboard
        QCOMPARE(ui.clipboardWrites, 1);
        QCOMPARE(ui.clipboard, QString());

        child<QLineEdit>(pane, QStringLiteral("txtID"))->setText(QStringLiteral("b123456789"));
        child<QLineEdit>(pane, QStringLiteral("imNumber2"))->setText(QStringLiteral("500"));
        child<QCheckBox>(pane, QStringLiteral("ckHASSOU_2"))->setChecked(true);
        child<QCheckBox>(pane, QStringLiteral("ckMail"))->setChecked(true);
        child<QPushButton>(pane, QStringLiteral("Command1"))->click();
        QVERIFY(ui.messages.isEmpty());
        // The winner's name as the site shows it: 髙 is one of the characters browsers send in EUC-JP.
        QCOMPARE(child<QLineEdit>(pane, QStringLiteral("txtSYOU"))->text(), QStringLiteral("空箱文庫 詩集「夜の灯台」上下巻 初版 帯付き"));
        QCOMPARE(child<QLineEdit>(pane, QStringLiteral("txtNAME"))->text(), QStringLiteral("髙橋 久美"));
        QCOMPARE(child<QLineEdit>(pane, QStringLiteral("txtKingaku"))->text(), QStringLiteral("1,500 円"));
        const QString body = pane->mailBody();
        QVERIFY(
            body.startsWith(QStringLiteral("髙橋 久美 様\r\n『空箱文庫 詩集「夜の灯台」上下巻 初版 帯付き』 1,500 円 + 500 円 = 2000 円\r\n"
                                           "　銀行振込1　 銀　　行 ： ソラ銀行\r\n")));
        QVERIFY(!body.contains(QStringLiteral("ハコ銀行")));
        QVERIFY(body.endsWith(QStringLiteral("　　　　　　　　　　・定形外郵便\r\n--\r\n")));
        QCOMPARE(ui.busyCalls.first(), true);
        QCOMPARE(ui.busyCalls.last(), false);

        // The mail program gets the bare address, the subject and the body in one mailto: address.
        QCOMPARE(ui.mails.size(), 1);
        QVERIFY(ui.mails[0].startsWith(QStringLiteral("mailto:kuma.books22@example.jp?subject=")));
        QVERIFY(ui.mails[0].contains(QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("』 落札ありがとうございます")))));
        QVERIFY(ui.mails[0].contains(QStringLiteral("&body=") +
                                     QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("髙橋 久美 様\r\n")))));

        press(pane, "Command5");
        QCOMPARE(ui.clipboard, body);
        press(pane, "Command4");
        QCOMPARE(ui.opened.last(), QUrl(SiteAddresses::closedListingsUrl()));
    }

    void theMailIsSeenAndCanBeMendedBeforeItLeaves() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        folder.writeCp932(QStringLiteral("Template/MAIL/お礼.txt"), kTemplate);
        RecordingUiServices ui;
        settings(ui);
        fMain w(ui);
        w.Ini_Re();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        MailPane* pane = w.mailPane();
        auto* tabs = child<QTabWidget>(pane, QStringLiteral("tabMAIL"));
        Browser* closed = w.WB2();
        QVERIFY(loadAndWait(closed, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo")));
        QVERIFY(loadAndWait(closed, SiteAddresses::closedListingsUrl()));
        tabs->setCurrentIndex(1);

        // A click on a listing's auction ID, as the seller clicks it: its mail, shown whole.
        const QVariantList where =
            closed
                ->evaluate(QStringLiteral("var a=document.querySelector('a[href*=\"/jp/auction/b123456789\"]');"
                                          "a.scrollIntoView();var r=a.getBoundingClientRect();return [r.left+r.width/2,r.top+r.height/2];"))
                .value.toList();
        QCOMPARE(where.size(), 2);
        QSignalSpy pages(closed, &Browser::DocumentComplete);
        QWidget* surface = closed->focusProxy() ? closed->focusProxy() : closed;
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(where[0].toInt(), where[1].toInt()));
        QTRY_COMPARE_WITH_TIMEOUT(child<QLineEdit>(pane, QStringLiteral("txtID"))->text(), QStringLiteral("b123456789"), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(child<QLineEdit>(pane, QStringLiteral("txtATESAKI"))->text(), QStringLiteral("kuma.books22@example.jp"),
                                  30000);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(pages.count(), 0);   // the closed listings stay as they were
        QVERIFY(ui.mails.isEmpty());  // メーラー起動 not ticked: nothing has left
        QCOMPARE(child<QLineEdit>(pane, QStringLiteral("txtKENMEI"))->text(),
                 QStringLiteral("『空箱文庫 詩集「夜の灯台」上下巻 初版 帯付き』 落札ありがとうございます"));
        auto* body = child<QPlainTextEdit>(pane, QStringLiteral("txtHONBUN"));
        QVERIFY(body->toPlainText().startsWith(QStringLiteral("髙橋 久美 様\n")));

        // Mended by the seller: the copy and the mail program take it as it reads now. A line
        // longer than the box wraps on screen, and the mail has no break the seller did not type.
        const QString longLine = QStringLiteral("発送は明日になります。") + QString(40, QChar(0x3042)) +
                                 QStringLiteral("https://page.example/jp/auction/b123456789?") + QString(200, QLatin1Char('x'));
        body->setPlainText(QStringLiteral("髙橋 久美 様\n") + longLine + QLatin1Char('\n'));
        QTRY_VERIFY(body->document()->findBlockByNumber(1).layout()->lineCount() > 1);
        child<QLineEdit>(pane, QStringLiteral("txtKENMEI"))->setText(QStringLiteral("ご落札のお礼"));
        child<QPushButton>(pane, QStringLiteral("Command5"))->click();
        QCOMPARE(ui.clipboard, QStringLiteral("髙橋 久美 様\r\n") + longLine + QStringLiteral("\r\n"));
        body->setPlainText(QStringLiteral("髙橋 久美 様\n発送は明日になります。\n"));
        child<QPushButton>(pane, QStringLiteral("Command5"))->click();
        QCOMPARE(ui.clipboard, QStringLiteral("髙橋 久美 様\r\n発送は明日になります。\r\n"));
        child<QPushButton>(pane, QStringLiteral("cmdMAILER"))->click();
        QCOMPARE(ui.mails.size(), 1);
        QCOMPARE(ui.mails[0],
                 QStringLiteral("mailto:kuma.books22@example.jp?subject=") +
                     QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("ご落札のお礼"))) + QStringLiteral("&body=") +
                     QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("髙橋 久美 様\r\n発送は明日になります。\r\n"))));

        // The item page is one menu away, in the seller's browser.
        tabs->setCurrentIndex(1);
        QStringList offered;
        QTimer chooser;
        connect(&chooser, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* menu = qobject_cast<QMenu*>(top); menu && menu->isVisible()) {
                    for (QAction* a : menu->actions()) offered << a->text();
                    for (QAction* a : menu->actions())
                        if (a->text() == QStringLiteral("商品ページを開く")) {
                            menu->close();
                            a->trigger();
                        }
                }
        });
        chooser.start(100);
        QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(where[0].toInt(), where[1].toInt()));
        QTRY_VERIFY_WITH_TIMEOUT(!ui.opened.isEmpty(), 30000);
        QCOMPARE(ui.opened.last().path(), QStringLiteral("/jp/auction/b123456789"));
        QVERIFY(offered.contains(QStringLiteral("メールを作成（b123456789）")));
    }

    void everyBlockOfTheMailFromThePanesControls() {
        // Sender, both postal accounts, cash on delivery and another way, as the pane holds them.
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        folder.writeCp932(QStringLiteral("Template/MAIL/お礼.txt"),
                          QStringLiteral("<YAHOOID>|<NAME>|<YUBINNO>|<TEL>\r\n<JUSYO>\r\n<YUBIN1><YUBIN2><YUBIN3>\r\n"
                                         "<DAIBIKI>\r\n<SONOTA><HASSOU>=<TOTAL>\r\n"));
        RecordingUiServices ui;
        mINI::Ini_PutAll(
            {{QStringLiteral("郵便振替"), QStringLiteral("チェック1"), QStringLiteral("0")},
             {QStringLiteral("郵便振替"), QStringLiteral("口座種別1"), QStringLiteral("ぱるる")},
             {QStringLiteral("郵便振替"), QStringLiteral("チェック2"), QStringLiteral("-1")},
             {QStringLiteral("郵便振替"), QStringLiteral("口座種別2"), QStringLiteral("一般振替口座")},
             {QStringLiteral("郵便振替"), QStringLiteral("記号2"), QStringLiteral("00120-3")},
             {QStringLiteral("郵便振替"), QStringLiteral("番号2"), QStringLiteral("456789")},
             {QStringLiteral("郵便振替"), QStringLiteral("口座名義2"), QStringLiteral("ｿﾗﾊﾞｺ ﾀﾛｳ")},
             {QStringLiteral("差出人"), QStringLiteral("YahooID"), QStringLiteral("sorabako_demo")},
             {QStringLiteral("差出人"), QStringLiteral("氏名"), QStringLiteral("空箱 太郎")},
             {QStringLiteral("差出人"), QStringLiteral("郵便番号"), QStringLiteral("150-0001")},
             {QStringLiteral("差出人"), QStringLiteral("電話番号"), QStringLiteral("03-0000-1234")},
             {QStringLiteral("差出人"), QStringLiteral("住所"), QStringLiteral("東京都渋谷区空箱町１－２\\nソラハイツ２０１")}},
            ui);
        fMain w(ui);
        w.Ini_Re();
        MailPane* pane = w.mailPane();
        child<QLineEdit>(pane, QStringLiteral("txtID"))->setText(QStringLiteral("c234567890"));
        child<QLineEdit>(pane, QStringLiteral("imNumber2"))->setText(QStringLiteral("700"));
        child<QCheckBox>(pane, QStringLiteral("Check3"))->setChecked(true);
        child<QLineEdit>(pane, QStringLiteral("imNumLite7"))->setText(QStringLiteral("330"));
        child<QCheckBox>(pane, QStringLiteral("Check4"))->setChecked(true);
        child<QPlainTextEdit>(pane, QStringLiteral("imText2"))->setPlainText(QStringLiteral("現金書留\n手渡し（新宿駅）"));
        child<QCheckBox>(pane, QStringLiteral("ckHASSOU_6"))->setChecked(true);
        child<QCheckBox>(pane, QStringLiteral("ckHASSOU_9"))->setChecked(true);
        press(pane, "Command1");
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(child<QLineEdit>(pane, QStringLiteral("txtNAME"))->text(), QStringLiteral("山﨑 健太"));
        QCOMPARE(pane->mailBody(), QStringLiteral("sorabako_demo|空箱 太郎|150-0001|03-0000-1234\r\n"
                                                  "東京都渋谷区空箱町１－２\r\nソラハイツ２０１\r\n"
                                                  "　郵便振替2　 口座種別 ： 一般振替口座\r\n"
                                                  "　　　　　　　記　　号 ： 00120-3\r\n"
                                                  "　　　　　　　番　　号 ： 456789\r\n"
                                                  "　　　　　　　口座名義 ： ｿﾗﾊﾞｺ ﾀﾛｳ\r\n"
                                                  "<YUBIN3>\r\n"
                                                  "　代金引換　　　代引手数料として、330 円をご負担頂きます｡別途､送料がかかります｡\r\n"
                                                  "現金書留\r\n手渡し（新宿駅）\r\n"
                                                  "　　　　　　　　　　・ゆうパック\r\n　　　　　　　　　　・その他ご要望\r\n"
                                                  "=8900\r\n"));
    }

    void closingWhileTheItemPageLoadsHandsNoMailOver() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("Template/MAIL/お礼.txt"), kTemplate);
        RecordingUiServices ui;
        fMain w(ui);
        w.show();
        ClosingLoader loader(&w);
        w.mailPane()->setDocumentLoader(&loader);
        child<QLineEdit>(w.mailPane(), QStringLiteral("txtID"))->setText(QStringLiteral("b123456789"));
        child<QCheckBox>(w.mailPane(), QStringLiteral("ckMail"))->setChecked(true);
        ui.answers << UiServices::Answer::No;  // 画面内容を保存しますか? - No: the program ends
        press(w.mailPane(), "Command1");
        QVERIFY(!w.isVisible());
        QCOMPARE(loader.cancelled, 1);
        QVERIFY(ui.mails.isEmpty());
        QCOMPARE(w.mailPane()->mailBody(), QString());
        QCOMPARE(ui.busyCalls.last(), false);
    }

    void emptyAndWrongIds() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        folder.writeCp932(QStringLiteral("Template/MAIL/お礼.txt"), kTemplate);
        RecordingUiServices ui;
        fMain w(ui);
        MailPane* pane = w.mailPane();
        press(pane, "Command1");
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("オークションIDを入力して下さい。")});
        QCOMPARE(ui.messages[0].title, QStringLiteral("オークションID"));
        QVERIFY(ui.busyCalls.isEmpty());

        ui.messages.clear();
        child<QLineEdit>(pane, QStringLiteral("txtID"))->setText(QStringLiteral("x999"));
        child<QLineEdit>(pane, QStringLiteral("txtNAME"))->setText(QStringLiteral("前の落札者"));
        press(pane, "Command1");
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("オークションIDが正しくありません。")});
        QCOMPARE(child<QLineEdit>(pane, QStringLiteral("txtID"))->text(), QString());
        QCOMPARE(child<QLineEdit>(pane, QStringLiteral("txtSYOU"))->text(), QString());
        QCOMPARE(child<QLineEdit>(pane, QStringLiteral("txtNAME"))->text(), QString());
        QCOMPARE(ui.busyCalls.last(), false);
        QVERIFY(ui.mails.isEmpty());
    }

    void aMissingTemplateAndAMissingMailProgramAreSaid() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        MailPane* pane = w.mailPane();
        child<QLineEdit>(pane, QStringLiteral("txtID"))->setText(QStringLiteral("c234567890"));
        press(pane, "Command1");  // no template in the folder
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.startsWith(QStringLiteral("メールの雛形を読み込めませんでした。")));
        QCOMPARE(child<QLineEdit>(pane, QStringLiteral("txtSYOU"))->text(),
                 QStringLiteral("ハコ音響 ポータブルプレーヤー HP-5 ①本体 ②充電器"));

        folder.writeCp932(QStringLiteral("Template/MAIL/お礼.txt"), kTemplate + QString(40000, QChar(0x3042)));
        pane->setMailTemplates({QStringLiteral("お礼")});
        child<QCheckBox>(pane, QStringLiteral("ckMail"))->setChecked(true);
        ui.messages.clear();
        ui.mailProgram = false;
        press(pane, "Command1");
        // Too long for a mailto: address: the body goes to the clipboard, the mail program gets the rest.
        QCOMPARE(ui.clipboard, pane->mailBody());
        QCOMPARE(ui.mails.size(), 1);
        QVERIFY(ui.mails[0].endsWith(QStringLiteral("&body=")));
        QCOMPARE(ui.messages.size(), 2);
        QVERIFY(ui.messages[0].text.contains(QStringLiteral("クリップボード")));
        QVERIFY(ui.messages[1].text.startsWith(QStringLiteral("メールソフトを起動できませんでした。")));
    }

    void aSiteThatIsDownMakesNoMail() {
        TempProgramFolder folder;
        SiteAddresses::writeAll(QStringLiteral("http://127.0.0.1:1"));
        folder.writeCp932(QStringLiteral("Template/MAIL/お礼.txt"), QStringLiteral("<USER>|<TITLE>|<PRICE>\r\n"));
        RecordingUiServices ui;
        fMain w(ui);
        child<QLineEdit>(w.mailPane(), QStringLiteral("txtID"))->setText(QStringLiteral("b123456789"));
        child<QCheckBox>(w.mailPane(), QStringLiteral("ckMail"))->setChecked(true);
        press(w.mailPane(), "Command1");
        QCOMPARE(ui.messagesBesidesEvidence(),
                 QStringList{QStringLiteral("商品ページを読み込めませんでした。\r\n"
                                            "インターネットへの接続を確認して、しばらくしてから再度お試し下さい。")});
        QCOMPARE(w.mailPane()->mailBody(), QString());
        QVERIFY(ui.mails.isEmpty());
        QCOMPARE(child<QLineEdit>(w.mailPane(), QStringLiteral("txtID"))->text(), QStringLiteral("b123456789"));
        QCOMPARE(ui.busyCalls.last(), false);
    }
};

SORABAKO_GUI_TEST_MAIN(TestMailPane)
#include "tst_mailpane.moc"
