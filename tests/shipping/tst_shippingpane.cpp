#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "app/fMain.h"
#include "core/Cp932.h"
#include "description/DescriptionPane.h"
#include "shipping/ShippingPane.h"
#include "support/Dialogs.h"
#include "support/RecordingUiServices.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Press.h"
#include "widgets/Grid.h"

namespace {
const QString kBlock = QStringLiteral(
    "<CENTER><TABLE border=0><TBODY><TR><TD align=center>%1</TD></TR>"
    "<TR><TD align=right>%2</TD></TR></TBODY></TABLE></CENTER>");

void writeRates(TempProgramFolder& folder) {
    folder.writeCp932(QStringLiteral("MAST/YUPACK.csv"), QStringLiteral("東京都発着,都道府県,東京都,大阪府\r\n"
                                                                        "東京都発着,60サイズ,700,900\r\n"
                                                                        "東京都発着,80サイズ,900,1100\r\n"));
    folder.writeCp932(QStringLiteral("MAST/KURONEKO.csv"), QStringLiteral("東京都発着,都道府県,東京都,大阪府\r\n"
                                                                          "東京都発着,60サイズ,800,1000\r\n"));
    folder.writeCp932(QStringLiteral("MAST/YahooYUPACK.csv"), QStringLiteral("東京都発着,都道府県,東京都,大阪府\r\n"
                                                                             "東京都発着,2000,600,750\r\n"));
}

// Origin 東京都, destination 大阪府, sides 10, 20 and 30.5, 50 g, every service ticked.
void prepare(QWidget* w) {
    child<QComboBox>(w, QStringLiteral("cmbKEN_0"))->setCurrentText(QStringLiteral("東京都"));
    child<QComboBox>(w, QStringLiteral("cmbKEN_1"))->setCurrentText(QStringLiteral("大阪府"));
    child<QLineEdit>(w, QStringLiteral("imNumber1_0"))->setText(QStringLiteral("10"));
    child<QLineEdit>(w, QStringLiteral("imNumber1_1"))->setText(QStringLiteral("20"));
    child<QLineEdit>(w, QStringLiteral("imNumber1_2"))->setText(QStringLiteral("30.5"));
    child<QComboBox>(w, QStringLiteral("Combo8"))->setCurrentText(QStringLiteral("50"));
    child<QCheckBox>(w, QStringLiteral("Check1_0"))->setChecked(true);
    for (int i = 0; i < 9; ++i) child<QCheckBox>(w, QStringLiteral("ckHOUHOU_%1").arg(i))->setChecked(true);
}
}  // namespace

class TestShippingPane : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controls() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        ShippingPane pane(ui);
        auto* from = child<QComboBox>(&pane, QStringLiteral("cmbKEN_0"));
        QCOMPARE(from->count(), 47);
        QCOMPARE(from->itemText(12), QStringLiteral("東京都"));
        // The carriers' grouping: 山梨県 and 長野県 come before 新潟県, and every prefecture is there once.
        QStringList shown;
        for (int i = 0; i < from->count(); ++i) shown << from->itemText(i);
        QCOMPARE(shown.mid(13, 5), (QStringList{QStringLiteral("神奈川県"), QStringLiteral("山梨県"), QStringLiteral("長野県"),
                                                QStringLiteral("新潟県"), QStringLiteral("富山県")}));
        QCOMPARE(shown.last(), QStringLiteral("沖縄県"));
        QCOMPARE(QSet<QString>(shown.begin(), shown.end()).size(), 47);
        QCOMPARE(from->toolTip(), QStringLiteral("出品者の住んでいる都道府県を選択して下さい。"));
        QCOMPARE(child<QComboBox>(&pane, QStringLiteral("cmbKEN_1"))->toolTip(),
                 QStringLiteral("落札者の住んでいる都道府県を選択して下さい。"));
        QCOMPARE(child<QComboBox>(&pane, QStringLiteral("Combo8"))->itemText(8), QStringLiteral("4000"));
        QCOMPARE(child<QComboBox>(&pane, QStringLiteral("Combo9"))->itemText(2), QStringLiteral("項目０３"));
        QCOMPARE(child<QCheckBox>(&pane, QStringLiteral("ckHOUHOU_7"))->text(), QStringLiteral("Yahoo!ゆうパック"));
        QCOMPARE(child<QCheckBox>(&pane, QStringLiteral("Check1_1"))->text(), QStringLiteral("宅配便持込"));
        QCOMPARE(child<QPushButton>(&pane, QStringLiteral("Command16"))->text(), QStringLiteral("出品ﾌｫｰﾑ作成貼付"));
        QCOMPARE(child<QPushButton>(&pane, QStringLiteral("Command19"))->toolTip(), QStringLiteral("送料HTMLをIEでプレビュー表示します。"));
        auto* grid = child<Grid>(&pane, QStringLiteral("vsSOURYOU"));
        QCOMPARE(grid->rows(), 11);
        QCOMPARE(grid->text(0, 1), QStringLiteral("価格"));
        QCOMPARE(grid->text(0, 2), QStringLiteral("備考"));
        QCOMPARE(grid->text(9, 0), QStringLiteral("ヤマト宅急便"));
        QCOMPARE(grid->text(10, 0), QStringLiteral("佐川急便"));
        QCOMPARE(grid->columnWidth(2), 2040 / 15);
        // The design width of the names does not cut a name off.
        QVERIFY(grid->columnWidth(0) >= grid->fontMetrics().horizontalAdvance(QStringLiteral("Yahoo!ゆうパック")));
    }

    void aCalculation() {
        TempProgramFolder folder;
        writeRates(folder);
        RecordingUiServices ui;
        ShippingPane pane(ui);
        prepare(&pane);
        press(&pane, "Command15");
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(child<QLabel>(&pane, QStringLiteral("Label46"))->text(), QStringLiteral("60.5"));
        auto* grid = child<Grid>(&pane, QStringLiteral("vsSOURYOU"));
        const QList<std::pair<QString, QString>> rows{
            {QStringLiteral("不可"), QStringLiteral("重さ制限:25g以内")},
            {QStringLiteral("90 円"), QStringLiteral("26～50g")},
            {QStringLiteral("120 円"), QStringLiteral("0g～50g")},
            {QStringLiteral("180 円"), QStringLiteral("0g～150g")},
            {QStringLiteral("500 円"), QStringLiteral("0～3kg")},
            {QStringLiteral("不可"), QStringLiteral("厚さ: 2cm以内です")},
            {QStringLiteral("800 円"), QStringLiteral("60サイズ")},  // 60.5 rounds to 60; the drop-off takes 100 off
            {QStringLiteral("750 円"), QStringLiteral("2kg")},
            {QStringLiteral("1000 円"), QStringLiteral("60サイズ")},
        };
        for (int r = 0; r < rows.size(); ++r) {
            QCOMPARE(grid->text(r + 1, 1), rows[r].first);
            QCOMPARE(grid->text(r + 1, 2), rows[r].second);
        }
        // The fixed-rate blocks, then the three tables in the order ゆうパック, クロネコ, Yahoo!.
        const QString html = pane.shippingHtml();
        const QString blocks = kBlock.arg(QStringLiteral("ミニレター"), QStringLiteral("不可")) +
                               kBlock.arg(QStringLiteral("定形"), QStringLiteral("90 円")) +
                               kBlock.arg(QStringLiteral("定形外"), QStringLiteral("120 円")) +
                               kBlock.arg(QStringLiteral("冊子小包"), QStringLiteral("180 円")) +
                               kBlock.arg(QStringLiteral("エクスパック500"), QStringLiteral("500 円"));
        QVERIFY(html.startsWith(blocks + QStringLiteral("<CENTER>\r\n<TABLE border=1 cellspacing=0 cellpadding=3 width=400>")));
        const qsizetype yu = html.indexOf(QStringLiteral("<B>ゆうパック </B>"));
        const qsizetype kuro = html.indexOf(QStringLiteral("<B>クロネコ宅急便 </B>"));
        const qsizetype yahoo = html.indexOf(QStringLiteral("<B>Yahoo!ゆうパック </B>"));
        QVERIFY(yu > 0 && yu < kuro && kuro < yahoo);
        QCOMPARE(html.count(QStringLiteral("</CENTER>\r\n<BR>")), 3);
        QVERIFY(html.endsWith(QStringLiteral("</CENTER>\r\n<BR>")));
        QVERIFY(html.contains(QStringLiteral("valign=middle>700 円</TD>")));  // the table shows the listed prices, not the discount
        // The rate grid shows the block read last: the weight-based one.
        auto* rates = child<Grid>(&pane, QStringLiteral("vsYU"));
        QCOMPARE(rates->rows(), 3);
        QCOMPARE(rates->text(1, 0), QStringLiteral("都道府県"));
        QCOMPARE(rates->text(2, 0), QStringLiteral("2000"));
        QCOMPARE(rates->text(2, 2), QStringLiteral("750"));

        // A second calculation replaces the HTML; rows of services no longer ticked keep what they showed.
        child<QCheckBox>(&pane, QStringLiteral("ckHOUHOU_0"))->setChecked(false);
        child<QComboBox>(&pane, QStringLiteral("Combo8"))->setCurrentText(QString());  // empty weight: 0
        press(&pane, "Command15");
        QCOMPARE(grid->text(1, 1), QStringLiteral("不可"));
        QCOMPARE(grid->text(2, 1), QStringLiteral("80 円"));
        QVERIFY(pane.shippingHtml().startsWith(kBlock.arg(QStringLiteral("定形"), QStringLiteral("80 円"))));
    }

    void aTypedWeightIsKeptAsTyped() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.vsMAIN()->setCurrentWidget(w.shippingPane());
        auto* weight = child<QComboBox>(&w, QStringLiteral("Combo8"));
        weight->setCurrentText(QStringLiteral("2000"));
        weight->setCurrentIndex(7);
        weight->lineEdit()->clear();
        weight->setFocus();
        QTRY_VERIFY(weight->hasFocus());
        QTest::keyClicks(weight->lineEdit(), QStringLiteral("200"));
        QCOMPARE(weight->currentText(), QStringLiteral("200"));
        child<QCheckBox>(&w, QStringLiteral("ckHOUHOU_2"))->setChecked(true);
        press(w.shippingPane(), "Command15");
        auto* grid = child<Grid>(&w, QStringLiteral("vsSOURYOU"));
        QCOMPARE(grid->text(3, 1), QStringLiteral("240 円"));  // 定形外, 151g～250g
        QCOMPARE(grid->text(3, 2), QStringLiteral("151g～250g"));
        // Enter moves on and adds nothing to the list.
        QTest::keyClick(weight->lineEdit(), Qt::Key_Return);
        QCOMPARE(weight->count(), 9);
        QCOMPARE(weight->currentText(), QStringLiteral("200"));

        // Saved: 200 is no weight of the list ("-1"), never the 2000 selected before; 250 is item 4.
        const QString path = folder.file(QStringLiteral("USER/w.srb"));
        ui.saveNames << path;
        w.SaveAs();
        QCOMPARE(cp932::decode(folder.readBytes(QStringLiteral("USER/w.srb"))).contains(QStringLiteral("重さ=-1\r\n")), true);
        weight->lineEdit()->selectAll();
        QTest::keyClicks(weight->lineEdit(), QStringLiteral("250"));
        QCOMPARE(weight->currentIndex(), 4);
        w.Save();
        QVERIFY(cp932::decode(folder.readBytes(QStringLiteral("USER/w.srb"))).contains(QStringLiteral("重さ=4\r\n")));
    }

    void theLongSideAndTheThicknessAreTheirOwnLimits() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        ShippingPane pane(ui);
        auto sides = [&](const char* length, const char* width, const char* thickness) {
            child<QLineEdit>(&pane, QStringLiteral("imNumber1_0"))->setText(QLatin1String(length));
            child<QLineEdit>(&pane, QStringLiteral("imNumber1_1"))->setText(QLatin1String(width));
            child<QLineEdit>(&pane, QStringLiteral("imNumber1_2"))->setText(QLatin1String(thickness));
            press(&pane, "Command15");
        };
        child<QComboBox>(&pane, QStringLiteral("Combo8"))->setCurrentText(QStringLiteral("100"));
        child<QCheckBox>(&pane, QStringLiteral("ckHOUHOU_2"))->setChecked(true);  // 定形外: long side 60
        child<QCheckBox>(&pane, QStringLiteral("ckHOUHOU_5"))->setChecked(true);  // メール便: long side 40, thickness 2
        auto* grid = child<Grid>(&pane, QStringLiteral("vsSOURYOU"));
        sides("30", "20", "3");  // thick: only the mail service refuses it
        QCOMPARE(grid->text(3, 1), QStringLiteral("140 円"));
        QCOMPARE(grid->text(6, 2), QStringLiteral("厚さ: 2cm以内です"));
        sides("3", "20", "30");  // the same sides the other way round: thick again, long side short
        QCOMPARE(grid->text(6, 2), QStringLiteral("厚さ: 2cm以内です"));
        QCOMPARE(grid->text(3, 1), QStringLiteral("140 円"));
        sides("61", "1", "1");  // long: both refuse it by the long side
        QCOMPARE(grid->text(3, 2), QStringLiteral("長辺: 60cm以内です"));
        QCOMPARE(grid->text(6, 2), QStringLiteral("長辺: 40cm以内です"));
        sides("1", "1", "61");  // the same length as thickness: 定形外 takes it, the mail service refuses the thickness
        QCOMPARE(grid->text(3, 1), QStringLiteral("140 円"));
        QCOMPARE(grid->text(6, 2), QStringLiteral("厚さ: 2cm以内です"));
        QCOMPARE(child<QLabel>(&pane, QStringLiteral("Label46"))->text(), QStringLiteral("63"));
    }

    void anEmptyDestinationAsksForIt() {
        TempProgramFolder folder;
        writeRates(folder);
        RecordingUiServices ui;
        ShippingPane pane(ui);
        prepare(&pane);
        child<QComboBox>(&pane, QStringLiteral("cmbKEN_1"))->setCurrentIndex(-1);
        press(&pane, "Command15");
        auto* grid = child<Grid>(&pane, QStringLiteral("vsSOURYOU"));
        for (int row : {7, 8, 9}) {
            QCOMPARE(grid->text(row, 1), QStringLiteral("----"));
            QCOMPARE(grid->text(row, 2), QStringLiteral("発送元/発送先入力"));
        }
        QVERIFY(!pane.shippingHtml().contains(QStringLiteral("<TABLE border=1")));
        QCOMPARE(child<Grid>(&pane, QStringLiteral("vsYU"))->rows(), 1);
        QVERIFY(ui.messages.isEmpty());
        // From 北海道 the weight-based service has no counter, whatever the destination.
        child<QComboBox>(&pane, QStringLiteral("cmbKEN_0"))->setCurrentText(QStringLiteral("北海道"));
        press(&pane, "Command15");
        QCOMPARE(grid->text(8, 1), QStringLiteral("不可"));
        QCOMPARE(grid->text(8, 2), QStringLiteral("取扱店舗無"));
    }

    void aMissingRateFileIsReportedOnceAndTheRestStays() {
        TempProgramFolder folder;
        writeRates(folder);
        QVERIFY(QFile::remove(folder.file(QStringLiteral("MAST/KURONEKO.csv"))));
        QVERIFY(QFile::remove(folder.file(QStringLiteral("MAST/YahooYUPACK.csv"))));
        RecordingUiServices ui;
        ShippingPane pane(ui);
        prepare(&pane);
        press(&pane, "Command15");
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.contains(folder.file(QStringLiteral("MAST/KURONEKO.csv"))));
        QVERIFY(ui.messages[0].text.contains(folder.file(QStringLiteral("MAST/YahooYUPACK.csv"))));
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Critical);
        auto* grid = child<Grid>(&pane, QStringLiteral("vsSOURYOU"));
        QCOMPARE(grid->text(7, 1), QStringLiteral("800 円"));
        QCOMPARE(grid->text(9, 1), QStringLiteral("----"));
        QVERIFY(pane.shippingHtml().contains(QStringLiteral("<B>ゆうパック </B>")));
        QVERIFY(!pane.shippingHtml().contains(QStringLiteral("クロネコ")));
        // Nothing read, nothing missed: no places, no message.
        child<QComboBox>(&pane, QStringLiteral("cmbKEN_0"))->setCurrentIndex(-1);
        press(&pane, "Command15");
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(grid->text(9, 2), QStringLiteral("発送元/発送先入力"));
    }

    void pasteIntoAnItemRow() {
        TempProgramFolder folder;
        writeRates(folder);
        RecordingUiServices ui;
        fMain w(ui);
        ShippingPane* pane = w.shippingPane();
        auto* target = child<QComboBox>(pane, QStringLiteral("Combo9"));
        auto* html = child<QPlainTextEdit>(pane, QStringLiteral("imText1"));

        press(pane, "Command16");  // no row chosen yet
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Information);

        for (int k = 0; k < 8; ++k) child<QLineEdit>(&w, QStringLiteral("txtITEM_%1").arg(k))->setText(QStringLiteral("元%1").arg(k));
        target->setCurrentIndex(2);  // 項目０３
        html->setPlainText(QStringLiteral("<CENTER>\n<TABLE>\n</TABLE>"));
        child<QPushButton>(pane, QStringLiteral("Command16"))->click();
        QCOMPARE(child<QLineEdit>(&w, QStringLiteral("txtITEM_2"))->text(), QStringLiteral("送料・発送方法"));
        QCOMPARE(child<QPlainTextEdit>(&w, QStringLiteral("txtSETUMEI_2"))->toPlainText(), QStringLiteral("<CENTER><TABLE></TABLE>"));
        QCOMPARE(child<QLabel>(&w, QStringLiteral("lbl_ITEM_2"))->text(), QStringLiteral("送料・発送方法"));
        for (int k : {0, 1, 3, 7})
            QCOMPARE(child<QLineEdit>(&w, QStringLiteral("txtITEM_%1").arg(k))->text(), QStringLiteral("元%1").arg(k));
        QCOMPARE(w.vsMAIN()->currentWidget(), w.descriptionPane());

        html->clear();
        press(pane, "Command16");
        QCOMPARE(child<QPlainTextEdit>(&w, QStringLiteral("txtSETUMEI_2"))->toPlainText(), QString());
        QCOMPARE(child<QLineEdit>(&w, QStringLiteral("txtITEM_2"))->text(), QStringLiteral("送料・発送方法"));

        // Pasting by itself after a calculation.
        w.vsMAIN()->setCurrentWidget(pane);
        prepare(pane);
        target->setCurrentIndex(7);
        child<QCheckBox>(pane, QStringLiteral("Check2"))->setChecked(true);
        press(pane, "Command15");
        const QString one = child<QPlainTextEdit>(&w, QStringLiteral("txtSETUMEI_7"))->toPlainText();
        QVERIFY(one.startsWith(kBlock.arg(QStringLiteral("ミニレター"), QStringLiteral("不可"))));
        QVERIFY(!one.contains(QLatin1Char('\n')));
        QCOMPARE(w.vsMAIN()->currentWidget(), w.descriptionPane());
    }

    void previewOfTheShippingTable() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        child<QPlainTextEdit>(&w, QStringLiteral("txtHTML"))->setPlainText(QStringLiteral("old"));
        child<QPlainTextEdit>(&w, QStringLiteral("imText1"))->setPlainText(QStringLiteral("<CENTER>送料</CENTER>\n<BR>"));
        child<QPushButton>(&w, QStringLiteral("Command19"))->click();
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/CREATE.html")), cp932::encode(QStringLiteral("<CENTER>送料</CENTER>\r\n<BR>\r\n")));
        QCOMPARE(child<QPlainTextEdit>(&w, QStringLiteral("txtHTML"))->toPlainText(), QString());
        QCOMPARE(ui.opened, QList<QUrl>{QUrl::fromLocalFile(folder.file(QStringLiteral("DATA/CREATE.html")))});
    }

    void keysOfThePane() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.vsMAIN()->setCurrentWidget(w.shippingPane());
        auto* side = child<QLineEdit>(&w, QStringLiteral("imNumber1_0"));
        side->setFocus();
        QTRY_VERIFY(side->hasFocus());
        QTest::keyClicks(side, QStringLiteral("3a0."));
        QCOMPARE(side->text(), QStringLiteral("30"));
        QTest::keyClick(side, Qt::Key_Return);
        QTRY_VERIFY(child<QLineEdit>(&w, QStringLiteral("imNumber1_1"))->hasFocus());
        auto* grid = child<Grid>(&w, QStringLiteral("vsSOURYOU"));
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        QTest::keyClick(grid, Qt::Key_Return);
        QTRY_VERIFY(!grid->hasFocus());
    }
};

SORABAKO_GUI_TEST_MAIN(TestShippingPane)
#include "tst_shippingpane.moc"
