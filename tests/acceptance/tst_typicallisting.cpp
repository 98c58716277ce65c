// A seller's typical listing, end to end, through the real main window and
// the real web engine against the site simulator: first start and settings,
// sign-in with a saved account, the description with a shipping table, the
// site's listing pages to the final click, the winning-bid mail, two scans,
// and the screen saved and opened again at the next start.
//
// Only what a seller does: controls found by their names, typing, clicking,
// answering the program's questions. Expectations are written from the
// seller's or the site's side (the fee the rate table charges, the option
// text the site's form shows, the mail the buyer receives).
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "app/fMain.h"
#include "app/frmStart.h"
#include "core/Cp932.h"
#include "core/mduInterFace.h"
#include "memory/MemoryTable.h"
#include "settings/mINI.h"
#include "support/Browsing.h"
#include "support/Dialogs.h"
#include "support/PageProbes.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "widgets/Browser.h"
#include "widgets/Grid.h"

namespace {
constexpr int kWait = 60000;

template <typename T>
T* at(QWidget* root, const QString& name) {
    // The window's own control, not one of a dialog open over it.
    for (T* w : root->findChildren<T*>(name))
        if (w->window() == root->window()) return w;
    qWarning("missing control %s", qPrintable(name));
    return nullptr;
}

// Typing: ASCII as keys, Japanese as the input method commits it; Return between lines.
void typeInto(QWidget* box, const QString& text) {
    box->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(box)) line->clear();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(box)) memo->clear();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) QTest::keyClick(box, Qt::Key_Return);
        QString run;
        auto commit = [&] {
            if (run.isEmpty()) return;
            QInputMethodEvent event;
            event.setCommitString(run);
            QApplication::sendEvent(box, &event);
            run.clear();
        };
        for (QChar c : lines[i]) {
            if (c.unicode() < 0x7F) {
                commit();
                QTest::keyClick(box, c.toLatin1());
            } else {
                run += c;
            }
        }
        commit();
    }
}

void choose(QComboBox* list, const QString& item) {
    const int index = list->findText(item);
    QVERIFY2(index >= 0, qPrintable(item));
    list->setCurrentIndex(index);  // as picked from the drop-down
}

void clickCell(Grid* grid, int row, int col) {
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, col));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

QString cell(Browser* b, const char* id) {
    return page(b, QStringLiteral("var e=document.getElementById('%1');return e?e.innerText:null;").arg(QLatin1String(id))).toString();
}
bool clickOnPage(Browser* b, const QString& selector) {
    return page(b, QStringLiteral("var e=document.querySelector('%1');if(!e)return false;e.click();return true;").arg(selector)).toBool();
}
bool titleIs(Browser* b, const QString& title) { return b->documentTitle().text() == title; }

// The working state as the memory file keeps it, read from the window's controls.
QMap<QString, QString> screen(QWidget* w) {
    QMap<QString, QString> values;
    for (const memory::Key& key : memory::keys()) {
        QWidget* c = nullptr;
        for (QWidget* found : w->findChildren<QWidget*>(key.control))
            if (found->window() == w) c = found;
        QString v;
        if (auto* radio = qobject_cast<QRadioButton*>(c))
            v = radio->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
        else if (auto* box = qobject_cast<QCheckBox*>(c))
            v = QString::number(box->checkState());
        else if (auto* list = qobject_cast<QComboBox*>(c))
            v = list->currentText();
        else if (auto* line = qobject_cast<QLineEdit*>(c))
            v = line->text();
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(c))
            v = memo->toPlainText();
        else if (auto* label = qobject_cast<QLabel*>(c))
            v = label->text();
        else
            v = QStringLiteral("(no control)");
        values.insert(key.section + QLatin1Char('/') + key.key, v);
    }
    return values;
}

const QString kTitle = QStringLiteral("★ソラ光学 SK-300 レンズキット★");
}  // namespace

class TestTypicalListing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aSellersDay() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen")});
        QVERIFY(sim.isRunning());
        sim.writeSiteAddresses();
        // An account saved in the login window on an earlier day.
        RecordingUiServices ui;
        mINI::Ini_PutAll({{QStringLiteral("レコード"), QStringLiteral("期間1"), mduInterFace::Enc_Str(QStringLiteral("sorabako_demo"))},
                          {QStringLiteral("レコード"), QStringLiteral("ソード1"), mduInterFace::Enc_Str(QStringLiteral("demo1234"))}},
                         ui);

        // --- First start: the settings, then the login window, then the main window.
        ui.answers << UiServices::Answer::Yes;  // 最初に初期設定を行って下さい。… Yes
        DialogHandler settings(QStringLiteral("frmINI"), [](QDialog* d) {
            typeInto(at<QLineEdit>(d, QStringLiteral("txtID")), QStringLiteral("sorabako_demo"));
            typeInto(at<QLineEdit>(d, QStringLiteral("txtYUBIN")), QStringLiteral("150-0001"));
            typeInto(at<QLineEdit>(d, QStringLiteral("txtTEL")), QStringLiteral("03-0000-1234"));
            typeInto(at<QLineEdit>(d, QStringLiteral("txtNAME")), QStringLiteral("空箱 太郎"));
            typeInto(at<QPlainTextEdit>(d, QStringLiteral("txtADD")), QStringLiteral("東京都渋谷区空箱町１－２\nソラハイツ２０１"));
            auto* bank = at<Grid>(d, QStringLiteral("vGINKOU"));
            const QStringList first{QString(),
                                    QStringLiteral("ソラ銀行"),
                                    QStringLiteral("渋谷支店"),
                                    QStringLiteral("普通"),
                                    QStringLiteral("1234567"),
                                    QStringLiteral("ｿﾗﾊﾞｺ ﾀﾛｳ")};
            const QStringList second{QString(),
                                     QStringLiteral("ハコ信用金庫"),
                                     QStringLiteral("本店"),
                                     QStringLiteral("当座"),
                                     QStringLiteral("7654321"),
                                     QStringLiteral("ｿﾗﾊﾞｺ ﾀﾛｳ")};
            const QStringList third{QString(),
                                    QStringLiteral("使わない銀行"),
                                    QStringLiteral("駅前支店"),
                                    QStringLiteral("普通"),
                                    QStringLiteral("1111111"),
                                    QStringLiteral("ｿﾗﾊﾞｺ ﾀﾛｳ")};
            for (int c = 1; c <= 5; ++c) {
                bank->setText(1, c, first[c]);
                bank->setText(2, c, second[c]);
                bank->setText(3, c, third[c]);
            }
            clickCell(bank, 1, 0);
            clickCell(bank, 2, 0);
            auto* postal = at<Grid>(d, QStringLiteral("vYUBIN"));
            const QStringList account{QString(), QStringLiteral("一般振替口座"), QStringLiteral("00120-3"), QStringLiteral("456789"),
                                      QStringLiteral("ｿﾗﾊﾞｺ ﾀﾛｳ")};
            for (int c = 1; c <= 4; ++c) postal->setText(1, c, account[c]);
            clickCell(postal, 1, 0);
            at<QCheckBox>(d, QStringLiteral("Check1"))->setChecked(true);  // ログインを起動時に表示する。
            at<QPushButton>(d, QStringLiteral("Command1"))->click();       // 保　存
        });
        DialogHandler login(QStringLiteral("frmLogin"), [](QDialog* d) {
            auto* accounts = at<Grid>(d, QStringLiteral("vbLogin"));
            clickCell(accounts, 1, 1);  // the saved account
            QCOMPARE(at<QLineEdit>(d, QStringLiteral("Text1"))->text(), QStringLiteral("sorabako_demo"));
            clickCell(accounts, 1, 0);  // ticked: the account the program remembers
            QCOMPARE(accounts->text(1, 0), QStringLiteral("-1"));
            at<QPushButton>(d, QStringLiteral("cmdLOGIN"))->click();
        });
        std::unique_ptr<fMain> w;
        {
            frmStart start(ui, nullptr);
            start.run();
            w.reset(start.takeMain());
        }
        QVERIFY(settings.handled());
        QVERIFY(login.handled());
        QVERIFY(w->isVisible());
        QCOMPARE(
            ui.messageTexts().mid(0, 2),
            (QStringList{
                QStringLiteral(
                    "最初に初期設定を行って下さい。\r\n設定画面を立ち上げて宜しいですか?\r\n後で設定する場合は、[いいえ]を選択して下さい。"),
                QStringLiteral("設定を反映させるにはｱﾌﾟﾘｹｰｼｮﾝの再起動を行って下さい。")}));
        QTRY_COMPARE_WITH_TIMEOUT(at<QLabel>(w.get(), QStringLiteral("lblUser"))->text(), QStringLiteral("sorabako_demo"), kWait);
        // The settings reached the mail pane at this start.
        QCOMPARE(at<QLineEdit>(w.get(), QStringLiteral("txtNAME2"))->text(), QStringLiteral("空箱 太郎"));
        QCOMPARE(at<Grid>(w.get(), QStringLiteral("vGINKOU"))->text(2, 1), QStringLiteral("ハコ信用金庫"));
        ui.messages.clear();

        // --- The description: a design, a mark, eight item rows.
        auto* tabs = at<QTabWidget>(w.get(), QStringLiteral("vsMAIN"));
        tabs->setCurrentIndex(2);
        choose(at<QComboBox>(w.get(), QStringLiteral("cmbHTML")), QStringLiteral("シンプル_青.html"));
        typeInto(at<QLineEdit>(w.get(), QStringLiteral("txtSYOUHIN")), QStringLiteral("ソラ光学 SK-300 レンズキット"));
        choose(at<QComboBox>(w.get(), QStringLiteral("cmbKIGOU_1")), QStringLiteral("★"));
        QCOMPARE(at<QLabel>(w.get(), QStringLiteral("Label16"))->text(), QString::number(mduInterFace::Byte_Len(kTitle)));
        const QStringList names{QStringLiteral("商品説明"), QStringLiteral("商品の状態"), QStringLiteral("付属品"),
                                QStringLiteral("お支払い"), QStringLiteral("注意事項"),   QStringLiteral("発送について"),
                                QStringLiteral("その他"),   QStringLiteral("(送料)")};
        const QStringList contents{QStringLiteral("ソラ光学の一眼レフとズームレンズのセットです。\n休日の撮影に使っていました。"),
                                   QStringLiteral("目立つ傷はありません。"),
                                   QStringLiteral("バッテリー、充電器、元箱"),
                                   QStringLiteral("かんたん決済、銀行振込、郵便振替"),
                                   QStringLiteral("ご質問はお気軽にどうぞ。"),
                                   QStringLiteral("ご入金確認後、2営業日以内に発送します。"),
                                   QStringLiteral("喫煙者・ペットはおりません。"),
                                   QStringLiteral("(計算した送料表が入ります)")};
        auto* itemPages = at<QTabWidget>(w.get(), QStringLiteral("vsIndexTab2"));
        for (int k = 0; k < 8; ++k) {
            typeInto(at<QLineEdit>(w.get(), QStringLiteral("txtITEM_%1").arg(k)), names[k]);
            itemPages->setCurrentIndex(k / 4);
            typeInto(at<QPlainTextEdit>(w.get(), QStringLiteral("txtSETUMEI_%1").arg(k)), contents[k]);
        }
        QCOMPARE(at<QLabel>(w.get(), QStringLiteral("lbl_ITEM_5"))->text(), QStringLiteral("発送について"));

        // --- Shipping: 東京都 to 大阪府, 30 x 20 x 10 cm, 1000 g; pasted into item 8 by itself.
        tabs->setCurrentIndex(1);
        choose(at<QComboBox>(w.get(), QStringLiteral("cmbKEN_0")), QStringLiteral("東京都"));
        choose(at<QComboBox>(w.get(), QStringLiteral("cmbKEN_1")), QStringLiteral("大阪府"));
        typeInto(at<QLineEdit>(w.get(), QStringLiteral("imNumber1_0")), QStringLiteral("30"));
        typeInto(at<QLineEdit>(w.get(), QStringLiteral("imNumber1_1")), QStringLiteral("20"));
        typeInto(at<QLineEdit>(w.get(), QStringLiteral("imNumber1_2")), QStringLiteral("10"));
        auto* weight = at<QComboBox>(w.get(), QStringLiteral("Combo8"));
        typeInto(weight->lineEdit(), QStringLiteral("1000"));
        for (const char* service : {"ckHOUHOU_2", "ckHOUHOU_6", "ckHOUHOU_7"}) at<QCheckBox>(w.get(), QLatin1String(service))->click();
        choose(at<QComboBox>(w.get(), QStringLiteral("Combo9")), QStringLiteral("項目０８"));
        at<QCheckBox>(w.get(), QStringLiteral("Check2"))->click();  // 送料計算後自動的に貼り付ける
        at<QPushButton>(w.get(), QStringLiteral("Command15"))->click();
        auto* fees = at<Grid>(w.get(), QStringLiteral("vsSOURYOU"));
        // The fees a seller pays: 定形外 1 kg; the shipped rate tables' 東京都 → 大阪府 at 60 and at 2 kg.
        QCOMPARE(fees->text(3, 1), QStringLiteral("580 円"));
        QCOMPARE(fees->text(3, 2), QStringLiteral("501g～1kg"));
        QCOMPARE(fees->text(7, 1), QStringLiteral("1010 円"));
        QCOMPARE(fees->text(7, 2), QStringLiteral("60サイズ"));
        QCOMPARE(fees->text(8, 1), QStringLiteral("880 円"));
        QCOMPARE(fees->text(8, 2), QStringLiteral("2kg"));
        QCOMPARE(at<QLabel>(w.get(), QStringLiteral("Label46"))->text(), QStringLiteral("60"));
        // Pasted: item 8 is the shipping table, and the description is in front.
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(at<QLineEdit>(w.get(), QStringLiteral("txtITEM_7"))->text(), QStringLiteral("送料・発送方法"));
        const QString table = at<QPlainTextEdit>(w.get(), QStringLiteral("txtSETUMEI_7"))->toPlainText();
        QVERIFY(table.contains(QStringLiteral("<TD align=center>定形外</TD></TR><TR><TD align=right>580 円</TD>")));
        QVERIFY(table.contains(QStringLiteral("<B>ゆうパック </B>")));
        QVERIFY(table.contains(QStringLiteral("<B>Yahoo!ゆうパック </B>")));
        QVERIFY(!table.contains(QLatin1Char('\n')));

        // --- Preview.
        at<QPushButton>(w.get(), QStringLiteral("cmdPre"))->click();
        QCOMPARE(ui.opened.last(), QUrl::fromLocalFile(folder.file(QStringLiteral("DATA/CREATE.html"))));
        const QString html = at<QPlainTextEdit>(w.get(), QStringLiteral("txtHTML"))->toPlainText();
        QVERIFY(html.contains(kTitle));
        QVERIFY(html.contains(QStringLiteral("ソラ光学の一眼レフとズームレンズのセットです。<BR>")));
        QVERIFY(html.contains(QStringLiteral(">発送について</th>")));
        QVERIFY(html.contains(QStringLiteral("1010 円")));
        QVERIFY(cp932::decode(folder.readBytes(QStringLiteral("DATA/CREATE.html"))).contains(QStringLiteral("580 円")));

        // --- 出品手続へ, a category, 続ける.
        at<QPushButton>(w.get(), QStringLiteral("Command9"))->click();
        QCOMPARE(tabs->currentIndex(), 3);
        QCOMPARE(at<QLineEdit>(w.get(), QStringLiteral("txtTitle"))->text(), kTitle);
        Browser* wb = w->WB();
        QTRY_VERIFY_WITH_TIMEOUT(titleIs(wb, QStringLiteral("Yahoo!オークション - 出品")), kWait);
        ui.answers << UiServices::Answer::Yes;  // 出品手続きを行いますか？
        for (const char* category : {"23632", "23633", "23634"}) {
            QSignalSpy loaded(wb, &Browser::DocumentComplete);
            QVERIFY(clickOnPage(wb, QStringLiteral("a[href$=\"c=%1\"]").arg(QLatin1String(category))));
            QTRY_VERIFY_WITH_TIMEOUT(loaded.count() >= 1, kWait);
        }
        QTRY_VERIFY_WITH_TIMEOUT(titleIs(wb, QStringLiteral("Yahoo!オークション - 出品フォーム")), kWait);
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("出品手続きを行いますか？")});
        QTRY_COMPARE_WITH_TIMEOUT(valueOf(wb, QStringLiteral("Title")).toString(), kTitle, kWait);

        // The listing's options, as the seller sets them on both pages of the pane.
        QWidget* pane = tabs->widget(3);
        at<QTabWidget>(pane, QStringLiteral("tabSYUPPINN"))->setCurrentIndex(0);
        typeInto(at<QLineEdit>(pane, QStringLiteral("imNumLite2")), QStringLiteral("25000"));
        typeInto(at<QLineEdit>(pane, QStringLiteral("imNumLite1")), QStringLiteral("1"));
        choose(at<QComboBox>(pane, QStringLiteral("Combo1")), QStringLiteral("6 日"));
        for (const char* box : {"Check18", "Check24", "Check26"}) at<QCheckBox>(pane, QLatin1String(box))->click();
        at<QCheckBox>(pane, QStringLiteral("Check17"))->click();  // 銀行振込 off
        at<QRadioButton>(pane, QStringLiteral("optHANBAI_1"))->click();
        at<QRadioButton>(pane, QStringLiteral("optHANBAI2_1"))->click();
        at<QCheckBox>(pane, QStringLiteral("Check29"))->click();
        choose(at<QComboBox>(pane, QStringLiteral("Combo5")), QStringLiteral("山梨県"));
        typeInto(at<QLineEdit>(pane, QStringLiteral("Text1")), QStringLiteral("甲府市"));
        at<QTabWidget>(pane, QStringLiteral("tabSYUPPINN"))->setCurrentIndex(1);
        typeInto(at<QLineEdit>(pane, QStringLiteral("imNumLite3")), QStringLiteral("20"));
        for (const char* box : {"Check35", "Check38", "Check40", "Check30"}) at<QCheckBox>(pane, QLatin1String(box))->click();
        choose(at<QComboBox>(pane, QStringLiteral("Combo2")), QStringLiteral("美品"));
        typeInto(at<QLineEdit>(pane, QStringLiteral("imNumLite4")), QStringLiteral("48000"));
        typeInto(at<QLineEdit>(pane, QStringLiteral("imNumLite5")), QStringLiteral("30000"));
        typeInto(at<QLineEdit>(pane, QStringLiteral("imNumLite6")), QStringLiteral("45000"));
        at<QCheckBox>(pane, QStringLiteral("Check41"))->click();  // 早期終了 off
        choose(at<QComboBox>(pane, QStringLiteral("Combo3")), QStringLiteral("午後9時から午後10時"));
        choose(at<QComboBox>(pane, QStringLiteral("Combo4")), QStringLiteral("1 回"));

        // Every field of the site's form, read back from the page by its value and its text.
        QCOMPARE(valueOf(wb, QStringLiteral("Title")).toString(), kTitle);
        QCOMPARE(valueOf(wb, QStringLiteral("Description")).toString(), html);
        QCOMPARE(valueOf(wb, QStringLiteral("Quantity")).toString(), QStringLiteral("1"));
        QCOMPARE(valueOf(wb, QStringLiteral("StartPrice")).toString(), QStringLiteral("25000"));
        QCOMPARE(valueOf(wb, QStringLiteral("featuredAmount")).toString(), QStringLiteral("20"));
        QCOMPARE(valueOf(wb, QStringLiteral("JpBuyNowPrice")).toString(), QStringLiteral("48000"));
        QCOMPARE(valueOf(wb, QStringLiteral("ReservePrice")).toString(), QStringLiteral("30000"));
        QCOMPARE(valueOf(wb, QStringLiteral("BidOrBuyPrice")).toString(), QStringLiteral("45000"));
        QCOMPARE(valueOf(wb, QStringLiteral("city")).toString(), QStringLiteral("甲府市"));
        QCOMPARE(selectedText(wb, QStringLiteral("loc_cd")), QStringLiteral("山梨県"));
        QCOMPARE(valueOf(wb, QStringLiteral("loc_cd")).toString(), QStringLiteral("19"));
        QCOMPARE(selectedText(wb, QStringLiteral("Duration")), QStringLiteral("6日間"));
        QCOMPARE(selectedText(wb, QStringLiteral("giftSelected")), QStringLiteral("美品"));
        QCOMPARE(selectedText(wb, QStringLiteral("ClosingTime")), QStringLiteral("午後9時から午後10時"));
        QCOMPARE(selectedText(wb, QStringLiteral("numResubmit")), QStringLiteral("1回"));
        QCOMPARE(checkedOption(wb, QStringLiteral("shipping")), QStringLiteral("出品者"));
        QCOMPARE(checkedOption(wb, QStringLiteral("shiptime")), QStringLiteral("オークション終了後"));
        QCOMPARE(tickedNames(wb),
                 (QStringList{QStringLiteral("Yahoo!かんたん決済"), QStringLiteral("郵便振替"), QStringLiteral("商品代引"),
                              QStringLiteral("その他"), QStringLiteral("Yahoo!ゆうパック"), QStringLiteral("オークションチェック"),
                              QStringLiteral("太字テキスト"), QStringLiteral("贈答品アイコン"), QStringLiteral("自動延長")}));

        // The form goes to the site; a picture goes up.
        {
            QSignalSpy loaded(wb, &Browser::DocumentComplete);
            QVERIFY(clickOnPage(wb, QStringLiteral("input[name=next]")));
            QTRY_VERIFY_WITH_TIMEOUT(titleIs(wb, QStringLiteral("Yahoo!オークション - 画像のアップロード")), kWait);
        }
        QTRY_COMPARE_WITH_TIMEOUT(page(wb, QStringLiteral("return window.scrollY;")).toInt(), 10, kWait);
        QImage picture(80, 60, QImage::Format_RGB32);
        picture.fill(QColor(30, 90, 160));
        const QString picturePath = folder.file(QStringLiteral("USER/sk300.png"));
        QVERIFY(picture.save(picturePath));
        ui.openNames << picturePath;
        at<QTabWidget>(pane, QStringLiteral("tabSYUPPINN"))->setCurrentIndex(0);
        at<QPushButton>(pane, QStringLiteral("Command14"))->click();
        QCOMPARE(at<QLabel>(pane, QStringLiteral("A_0"))->text(), picturePath);
        QTRY_VERIFY_WITH_TIMEOUT(sim.control(QStringLiteral("upload")).startsWith(QStringLiteral("sk300.jpg ")), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(wb->bodyText().text().contains(QStringLiteral("sk300.jpg")), kWait);

        // The confirmation shows what the site received.
        QVERIFY(clickOnPage(wb, QStringLiteral("#toConfirm")));
        QTRY_VERIFY_WITH_TIMEOUT(titleIs(wb, QStringLiteral("Yahoo!オークション - 出品内容の確認")), kWait);
        QCOMPARE(cell(wb, "cTitle"), kTitle);
        QCOMPARE(cell(wb, "cStartPrice"), QStringLiteral("25000 円"));
        QCOMPARE(cell(wb, "cDuration"), QStringLiteral("6日間"));
        QCOMPARE(cell(wb, "cRegion"), QStringLiteral("山梨県 甲府市"));
        QCOMPARE(cell(wb, "cPayment"), QStringLiteral("Yahoo!かんたん決済、郵便振替、商品代引、その他"));
        QCOMPARE(cell(wb, "cBuyNow"), QStringLiteral("48000 円"));
        QCOMPARE(cell(wb, "cReserve"), QStringLiteral("30000 円"));
        QCOMPARE(cell(wb, "cBidOrBuy"), QStringLiteral("45000 円"));
        QCOMPARE(cell(wb, "cFeatured"), QStringLiteral("20 円"));
        QCOMPARE(cell(wb, "cGift"), QStringLiteral("美品"));
        QCOMPARE(cell(wb, "cPaid"), QStringLiteral("太字テキスト、贈答品アイコン"));
        QCOMPARE(cell(wb, "cFree"), QStringLiteral("自動延長"));
        QCOMPARE(cell(wb, "cClosingTime"), QStringLiteral("午後9時から午後10時"));
        QCOMPARE(cell(wb, "cResubmit"), QStringLiteral("1回"));
        QCOMPARE(cell(wb, "cShipping"), QStringLiteral("出品者"));
        QCOMPARE(cell(wb, "cShipTime"), QStringLiteral("オークション終了後"));
        QCOMPARE(cell(wb, "cImages").trimmed(), QStringLiteral("sk300.jpg"));
        // The site's fees: 太字テキスト 10.80 + 贈答品アイコン 21.60 + 美品 21.60 + 注目 20 円 × 6 日 = 174.00 円.
        QCOMPARE(cell(wb, "cFees"), QStringLiteral("174.00 円"));

        // 確認: the summary of the paid options (the same sum) and of the form, the notice, then the site's final button.
        DialogHandler summary(QStringLiteral("frmYOUYAKU"), [](QDialog* d) {
            QCOMPARE(at<QLabel>(d, QStringLiteral("lblTotal"))->text(), QStringLiteral("合計　174円"));
            QCOMPARE(at<QLabel>(d, QStringLiteral("lblFormCheck"))->text(), QStringLiteral("すべての項目が出品フォームに入りました。"));
            at<QPushButton>(d, QStringLiteral("cmdGO"))->click();
        });
        DialogHandler notice(QStringLiteral("frmKakunin"), [](QDialog* d) { at<QPushButton>(d, QStringLiteral("Command1"))->click(); });
        at<QPushButton>(pane, QStringLiteral("Command7"))->click();
        QVERIFY(summary.handled());
        QVERIFY(notice.handled());
        QVERIFY(clickOnPage(wb, QStringLiteral("#agree")));
        QTRY_VERIFY_WITH_TIMEOUT(titleIs(wb, QStringLiteral("Yahoo!オークション - 出品完了")), kWait);
        const QString auctionId = cell(wb, "auctionId");
        QVERIFY(!auctionId.isEmpty());

        // The listing is among the seller's open listings: the last of 121, on page 3.
        QVERIFY(clickOnPage(wb, QStringLiteral("a[href*=\"select=selling\"]")));
        for (int pageNumber = 2; pageNumber <= 3; ++pageNumber) {
            QTRY_VERIFY_WITH_TIMEOUT(wb->bodyText().text().contains(QStringLiteral("出品中の商品（")), kWait);
            QVERIFY(clickOnPage(wb, QStringLiteral("a[href$=\"page=%1\"]").arg(pageNumber)));
            QTRY_VERIFY_WITH_TIMEOUT(wb->url().toString().endsWith(QStringLiteral("page=%1").arg(pageNumber)), kWait);
        }
        QTRY_VERIFY_WITH_TIMEOUT(wb->bodyText().text().contains(kTitle), kWait);

        // --- The auction ends with a winner; the winning-bid mail.
        QCOMPARE(sim.control(QStringLiteral("end?id=%1&winner=hako_fan&name=%2&mail=hako.fan@example.jp&price=26500")
                                 .arg(auctionId, QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("髙橋 花子"))))),
                 QStringLiteral("OK"));
        tabs->setCurrentIndex(0);
        QWidget* mail = tabs->widget(0);
        typeInto(at<QLineEdit>(mail, QStringLiteral("txtID")), auctionId);
        typeInto(at<QLineEdit>(mail, QStringLiteral("imNumber2")), QStringLiteral("1010"));
        choose(at<QComboBox>(mail, QStringLiteral("Combo10")), QStringLiteral("落札のお礼とお支払いのご案内"));
        at<QCheckBox>(mail, QStringLiteral("Check3"))->click();
        typeInto(at<QLineEdit>(mail, QStringLiteral("imNumLite7")), QStringLiteral("330"));
        at<QCheckBox>(mail, QStringLiteral("Check4"))->click();
        typeInto(at<QPlainTextEdit>(mail, QStringLiteral("imText2")), QStringLiteral("現金書留\n手渡し（渋谷駅）"));
        for (const char* way : {"ckHASSOU_6", "ckHASSOU_7", "ckHASSOU_9"}) at<QCheckBox>(mail, QLatin1String(way))->click();
        at<QCheckBox>(mail, QStringLiteral("ckMail"))->click();
        at<QPushButton>(mail, QStringLiteral("Command1"))->click();
        QCOMPARE(at<QLineEdit>(mail, QStringLiteral("txtSYOU"))->text(), kTitle);
        QCOMPARE(at<QLineEdit>(mail, QStringLiteral("txtNAME"))->text(), QStringLiteral("髙橋 花子"));
        QCOMPARE(at<QLineEdit>(mail, QStringLiteral("txtKingaku"))->text(), QStringLiteral("26,500 円"));
        QCOMPARE(ui.mails.size(), 1);
        const QString mailto = ui.mails[0];
        QVERIFY(mailto.startsWith(QStringLiteral("mailto:hako.fan@example.jp?subject=")));
        const QString subject =
            QUrl::fromPercentEncoding(mailto.section(QStringLiteral("?subject="), 1).section(QLatin1Char('&'), 0, 0).toLatin1());
        QCOMPARE(subject, QStringLiteral("『") + kTitle + QStringLiteral("』 落札ありがとうございます"));
        const QString body = QUrl::fromPercentEncoding(mailto.section(QStringLiteral("&body="), 1).toLatin1());
        const QString full = QStringLiteral("　");  // a full-width blank, as the mail's blocks use
        QCOMPARE(body, QStringLiteral("髙橋 花子 様\r\n"
                                      "\r\n"
                                      "この度は「★ソラ光学 SK-300 レンズキット★」をご落札いただき、誠にありがとうございます。\r\n"
                                      "出品者の空箱 太郎（Yahoo! JAPAN ID：sorabako_demo）と申します。\r\n"
                                      "お取引が終わるまで、どうぞよろしくお願いいたします。\r\n"
                                      "\r\n"
                                      "■お取引内容\r\n"
                                      "　商品名　　：★ソラ光学 SK-300 レンズキット★\r\n"
                                      "　落札金額　：26,500 円\r\n"
                                      "　送料　　　：1010 円\r\n"
                                      "　お支払合計：27510 円\r\n"
                                      "\r\n"
                                      "■お支払方法\r\n"
                                      "下記のいずれかよりお選び下さい。\r\n"
                                      "\r\n"
                                      "　銀行振込1　 銀　　行 ： ソラ銀行\r\n"
                                      "　　　　　  　支 店 名 ： 渋谷支店\r\n"
                                      "　　　　　　　種　　別 ： 普通\r\n"
                                      "　　　　　　　口座番号 ： 1234567\r\n"
                                      "　　　　　　　口座名義 ： ｿﾗﾊﾞｺ ﾀﾛｳ\r\n"
                                      "\r\n"
                                      "　銀行振込2　 銀　　行 ： ハコ信用金庫\r\n"
                                      "　　　　　  　支 店 名 ： 本店\r\n"
                                      "　　　　　　　種　　別 ： 当座\r\n"
                                      "　　　　　　　口座番号 ： 7654321\r\n"
                                      "　　　　　　　口座名義 ： ｿﾗﾊﾞｺ ﾀﾛｳ\r\n"
                                      "\r\n"
                                      "　郵便振替1　 口座種別 ： 一般振替口座\r\n"
                                      "　　　　　　　記　　号 ： 00120-3\r\n"
                                      "　　　　　　　番　　号 ： 456789\r\n"
                                      "　　　　　　　口座名義 ： ｿﾗﾊﾞｺ ﾀﾛｳ\r\n"
                                      "　代金引換　　　代引手数料として、330 円をご負担頂きます｡別途､送料がかかります｡\r\n"
                                      "現金書留\r\n"
                                      "手渡し（渋谷駅）\r\n"
                                      "\r\n"
                                      "■発送方法\r\n"
                                      "下記の発送方法に対応しております。ご希望をお知らせ下さい。\r\n"
                                      "　　　　　　　　　　・ゆうパック\r\n"
                                      "　　　　　　　　　　・Yahoo!ゆうパック\r\n"
                                      "　　　　　　　　　　・その他ご要望\r\n"
                                      "\r\n"
                                      "お手数ですが、お支払方法と発送方法、お届け先（郵便番号・ご住所・お名前・\r\n"
                                      "お電話番号）を本メールへのご返信にてお知らせ下さい。\r\n"
                                      "\r\n"
                                      "--------------------------------------------------\r\n"
                                      "空箱 太郎\r\n"
                                      "〒150-0001\r\n"
                                      "東京都渋谷区空箱町１－２\r\n"
                                      "ソラハイツ２０１\r\n"
                                      "TEL：03-0000-1234\r\n"
                                      "Yahoo! JAPAN ID：sorabako_demo\r\n"
                                      "--------------------------------------------------\r\n"));
        QVERIFY(body.contains(full));
        QVERIFY(!body.contains(QStringLiteral("使わない銀行")));  // the unticked account is not offered

        // --- Two scans with 前回保存, the figures changed between them.
        QCOMPARE(sim.control(QStringLiteral("set?id=k700000002&access=40&watch=2")), QStringLiteral("OK"));
        QCOMPARE(sim.control(QStringLiteral("set?id=k700000003&access=10&price=1240")), QStringLiteral("OK"));
        tabs->setCurrentIndex(4);
        QWidget* scanPane = tabs->widget(4);
        at<QCheckBox>(scanPane, QStringLiteral("ckHOZON"))->click();
        auto scanOnce = [&] {
            at<QPushButton>(scanPane, QStringLiteral("Command2"))->click();
            return QTest::qWaitFor([&] { return at<QPushButton>(scanPane, QStringLiteral("Command2"))->isEnabled(); }, kWait);
        };
        QVERIFY(scanOnce());
        QCOMPARE(sim.control(QStringLiteral("set?id=k700000002&access=55&watch=4")), QStringLiteral("OK"));
        QCOMPARE(sim.control(QStringLiteral("set?id=k700000003&access=31&bids=1&bidder=hana_2010&price=1500")), QStringLiteral("OK"));
        QVERIFY(scanOnce());
        auto* grid = at<Grid>(scanPane, QStringLiteral("vbNow"));
        QCOMPARE(grid->rows(), 121);  // the 120 listings left; the sold one has ended
        QCOMPARE(grid->text(2, 1), QStringLiteral("昭和レトロ風 記念切手シート まとめて No.2"));
        // No.2: 40 → 55 accesses, 2 → 4 watches.
        QCOMPARE(grid->text(2, 2), QStringLiteral("55"));
        QCOMPARE(grid->text(2, 7), QStringLiteral("40"));
        QCOMPARE(grid->text(2, 11), QStringLiteral("15"));
        QCOMPARE(grid->text(2, 12), QStringLiteral("2"));
        QCOMPARE(grid->text(2, 13), QString());
        QCOMPARE(grid->cellBackground(2, 11), QColor(247, 162, 176));
        // No.3: its first bid, at 1,500 円 from 1,240 円.
        QCOMPARE(grid->text(3, 4), QStringLiteral("1"));
        QCOMPARE(grid->text(3, 6), QStringLiteral("1500"));
        QCOMPARE(grid->text(3, 11), QStringLiteral("21"));
        QCOMPARE(grid->text(3, 13), QStringLiteral("1"));
        QCOMPARE(grid->text(3, 14), QStringLiteral("260"));
        QCOMPARE(grid->cellBackground(3, 1), QColor(255, 255, 0));
        // A listing nobody looked at again: no difference.
        for (int c = 11; c <= 14; ++c) QCOMPARE(grid->text(4, c), QString());
        const QStringList previous = cp932::decode(folder.readBytes(QStringLiteral("DATA/zenkai.csv"))).split(QStringLiteral("\r\n"));
        QCOMPARE(previous.size(), 121);
        QCOMPARE(previous[1], QStringLiteral("00055,00004,,870"));
        QCOMPARE(previous[2], QStringLiteral("00031,,00001,1500"));

        // --- The screen saved as a memory file, and the next start opens it.
        const QString memoryFile = folder.file(QStringLiteral("USER/今日の出品.srb"));
        ui.saveNames << memoryFile;
        w->findChild<QAction*>(QStringLiteral("mNameHzn"))->trigger();
        QVERIFY(QFile::exists(memoryFile));
        DialogHandler startUpFile(QStringLiteral("frmINI"), [&](QDialog* d) {
            at<QCheckBox>(d, QStringLiteral("Check3"))->setChecked(true);  // 起動時に下記記憶ﾌｧｲﾙを自動で読込む
            typeInto(at<QLineEdit>(d, QStringLiteral("Text1")), memoryFile);
            at<QPushButton>(d, QStringLiteral("Command1"))->click();
        });
        w->findChild<QAction*>(QStringLiteral("mINI"))->trigger();
        QVERIFY(startUpFile.handled());
        const QMap<QString, QString> before = screen(w.get());
        QCOMPARE(before.value(QStringLiteral("出品ﾌｫｰﾑ作成/商品名")), QStringLiteral("ソラ光学 SK-300 レンズキット"));
        QCOMPARE(before.value(QStringLiteral("出品手続/即買価格")), QStringLiteral("48000"));
        ui.answers << UiServices::Answer::Yes;  // 画面内容を保存しますか? Yes: into the file just made
        QVERIFY(w->close());
        w.reset();

        DialogHandler noLogin(QStringLiteral("frmLogin"), [](QDialog* d) { at<QPushButton>(d, QStringLiteral("cmdCANCEL"))->click(); });
        std::unique_ptr<fMain> next;
        {
            frmStart start(ui, nullptr);
            start.run();
            next.reset(start.takeMain());
        }
        QVERIFY(noLogin.handled());
        QCOMPARE(next->currentPath(), memoryFile);
        const QMap<QString, QString> after = screen(next.get());
        // Every pane as it was, except the four lists start-up always sets.
        const QMap<QString, QString> defaults{{QStringLiteral("出品手続/都道府県"), QStringLiteral("北海道")},
                                              {QStringLiteral("出品手続/期間"), QStringLiteral("5 日")},
                                              {QStringLiteral("出品手続/終了時間"), QStringLiteral("午前9時から午前10時")},
                                              {QStringLiteral("出品手続/自動再出品"), QStringLiteral("3 回")}};
        for (auto it = before.constBegin(); it != before.constEnd(); ++it)
            QCOMPARE(it.key() + QLatin1Char('=') + after.value(it.key()),
                     it.key() + QLatin1Char('=') + defaults.value(it.key(), it.value()));
        QCOMPARE(after.value(QStringLiteral("出品ﾌｫｰﾑ作成/項目説明7")), table);
        QCOMPARE(after.value(QStringLiteral("送料計算/重さ")), QStringLiteral("1000"));
        QCOMPARE(after.value(QStringLiteral("出品手続/目立ちアイコン")), QStringLiteral("美品"));
        QCOMPARE(after.value(QStringLiteral("メール作成/その他")), QStringLiteral("現金書留\n手渡し（渋谷駅）"));
    }
};

SORABAKO_GUI_TEST_MAIN(TestTypicalListing)
#include "tst_typicallisting.moc"
