#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "app/fMain.h"
#include "description/DescriptionPane.h"
#include "mail/MailPane.h"
#include "settings/SiteAddresses.h"
#include "siteform/ListingForm.h"
#include "siteform/SiteFormPane.h"
#include "support/Dialogs.h"
#include "support/Browsing.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "widgets/Browser.h"

namespace {
constexpr int kLoad = 30000;

bool load(Browser* b, const QString& address) { return loadAndWait(b, address, kLoad); }

QVariant page(Browser* b, const QString& script) { return b->evaluate(script).value; }
QVariant checkedOf(Browser* b, const QString& id) {
    return page(b, QStringLiteral("return document.getElementById('%1').checked;").arg(id));
}
QVariant valueOf(Browser* b, const QString& id) {
    return page(b, QStringLiteral("return document.getElementById('%1').value;").arg(id));
}
QVariant indexOf(Browser* b, const QString& id) {
    return page(b, QStringLiteral("return document.getElementById('%1').selectedIndex;").arg(id));
}
int scrollY(Browser* b) { return page(b, QStringLiteral("return window.scrollY;")).toInt(); }

template <typename T>
T* control(QWidget* w, const QString& name) {
    return child<T>(w, name);
}

// A signed-in listing form of the simulator in WB, its handler done.
bool openForm(const SiteSimProcess& sim, Browser* wb) {
    return load(wb, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo")) &&
           load(wb, sim.base() + QStringLiteral("/jp/submit/form?c=21601"));
}
}  // namespace

class TestSiteForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controlsStartAsTheSiteExpects() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        QCOMPARE(pane.tabSYUPPINN()->tabText(0), QStringLiteral("商品情報"));
        QCOMPARE(pane.tabSYUPPINN()->tabText(1), QStringLiteral("オプション"));
        for (const siteform::CheckBox& c : siteform::checkBoxes()) {
            auto* box = control<QCheckBox>(&pane, c.name);
            QCOMPARE(box->text(), c.caption);
            QCOMPARE(box->isChecked(), c.name == QLatin1String("Check16") || c.name == QLatin1String("Check17") ||
                                           c.name == QLatin1String("Check41"));
        }
        QCOMPARE(control<QLineEdit>(&pane, QStringLiteral("imNumLite1"))->text(), QStringLiteral("1"));
        QVERIFY(control<QRadioButton>(&pane, QStringLiteral("optHANBAI_0"))->isChecked());
        QVERIFY(control<QRadioButton>(&pane, QStringLiteral("optHANBAI2_0"))->isChecked());
        QCOMPARE(control<QRadioButton>(&pane, QStringLiteral("optHANBAI_1"))->text(), QStringLiteral("出品者が送料を負担"));
        QCOMPARE(control<QComboBox>(&pane, QStringLiteral("Combo5"))->count(), 48);
        QCOMPARE(control<QComboBox>(&pane, QStringLiteral("Combo1"))->itemText(5), QStringLiteral("7 日"));
        QCOMPARE(control<QComboBox>(&pane, QStringLiteral("Combo4"))->itemText(0), QStringLiteral("1 回"));
        QCOMPARE(control<QComboBox>(&pane, QStringLiteral("Combo2"))->itemText(8), QStringLiteral("産地直送"));
        QCOMPARE(control<QComboBox>(&pane, QStringLiteral("Combo1"))->currentIndex(), -1);
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("Label18"))->toolTip(), QStringLiteral("バイト数を表示します。"));
        QCOMPARE(control<QPushButton>(&pane, QStringLiteral("Command14"))->text(), QStringLiteral("画像ｱｯﾌﾟﾛｰﾄﾞ"));
        QCOMPARE(control<QPushButton>(&pane, QStringLiteral("Command20"))->text(), QStringLiteral("カテゴリへ戻る"));
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("A_2"))->toolTip(), QStringLiteral("アップロードする画像のﾊﾟｽを表示します。"));
        QVERIFY(control<QLineEdit>(&pane, QStringLiteral("imText3")));
    }

    void everyChangeLandsInItsField() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        Browser* wb = pane.WB();
        QVERIFY(openForm(sim, wb));

        for (const siteform::Mirror& m : siteform::mirrors()) {
            if (m.kind != siteform::Kind::Check) continue;
            auto* box = control<QCheckBox>(&pane, m.control);
            box->setChecked(!box->isChecked());
            QCOMPARE(checkedOf(wb, m.element).toBool(), box->isChecked());
            QCOMPARE(scrollY(wb), m.scrollY);
            box->setChecked(!box->isChecked());
            QCOMPARE(checkedOf(wb, m.element).toBool(), box->isChecked());
        }
        for (const char* name : {"imNumLite1", "imNumLite2", "imNumLite3", "imNumLite4", "imNumLite5", "imNumLite6"}) {
            const siteform::Mirror* m = siteform::findMirror(QLatin1String(name));
            control<QLineEdit>(&pane, m->control)->setText(QStringLiteral("1200"));
            QCOMPARE(valueOf(wb, m->element).toString(), QStringLiteral("1200"));
            QCOMPARE(scrollY(wb), m->scrollY);
        }
        control<QLineEdit>(&pane, QStringLiteral("Text1"))->setText(QStringLiteral("新宿区西新宿"));
        QCOMPARE(valueOf(wb, QStringLiteral("city")).toString(), QStringLiteral("新宿区西新宿"));

        // Lists: the index, or the index plus one; nothing chosen writes 0 or -1.
        auto* region = control<QComboBox>(&pane, QStringLiteral("Combo5"));
        region->setCurrentIndex(47);  // 海外
        QCOMPARE(indexOf(wb, QStringLiteral("loc_cd")).toInt(), 48);
        region->setCurrentIndex(0);  // 北海道
        QCOMPARE(indexOf(wb, QStringLiteral("loc_cd")).toInt(), 1);
        QCOMPARE(scrollY(wb), 1210);
        control<QComboBox>(&pane, QStringLiteral("Combo1"))->setCurrentIndex(4);
        QCOMPARE(indexOf(wb, QStringLiteral("Duration")).toInt(), 4);
        control<QComboBox>(&pane, QStringLiteral("Combo4"))->setCurrentIndex(2);
        QCOMPARE(indexOf(wb, QStringLiteral("numResubmit")).toInt(), 3);
        control<QComboBox>(&pane, QStringLiteral("Combo2"))->setCurrentIndex(2);
        QCOMPARE(indexOf(wb, QStringLiteral("giftSelected")).toInt(), 3);
        control<QComboBox>(&pane, QStringLiteral("Combo3"))->setCurrentIndex(12);
        QCOMPARE(indexOf(wb, QStringLiteral("ClosingTime")).toInt(), 12);
        for (const char* name : {"Combo2", "Combo4", "Combo5"}) {
            control<QComboBox>(&pane, QLatin1String(name))->setCurrentIndex(-1);
            QCOMPARE(indexOf(wb, siteform::findMirror(QLatin1String(name))->element).toInt(), 0);
        }
        for (const char* name : {"Combo1", "Combo3"}) {
            control<QComboBox>(&pane, QLatin1String(name))->setCurrentIndex(-1);
            QCOMPARE(indexOf(wb, siteform::findMirror(QLatin1String(name))->element).toInt(), -1);
        }

        // Options: both page items in one step, whichever option was chosen.
        control<QRadioButton>(&pane, QStringLiteral("optHANBAI_1"))->setChecked(true);
        QCOMPARE(page(wb, QStringLiteral("return [document.getElementsByName('shipping')[0].checked,"
                                         "document.getElementsByName('shipping')[1].checked].join();")),
                 QVariant(QStringLiteral("false,true")));
        control<QRadioButton>(&pane, QStringLiteral("optHANBAI_0"))->setChecked(true);
        QCOMPARE(page(wb, QStringLiteral("return [document.getElementsByName('shipping')[0].checked,"
                                         "document.getElementsByName('shipping')[1].checked].join();")),
                 QVariant(QStringLiteral("true,false")));
        QCOMPARE(scrollY(wb), 960);
        control<QRadioButton>(&pane, QStringLiteral("optHANBAI2_1"))->setChecked(true);
        QCOMPARE(page(wb, QStringLiteral("return document.getElementsByName('shiptime')[1].checked;")).toBool(), true);

        // Title and description: no scrolling, and the byte counter follows the page's title.
        wb->scrollTo(0, 0);
        auto* counter = control<QLabel>(&pane, QStringLiteral("Label18"));
        pane.setListing(QString(15, QChar(0x3042)), QStringLiteral("一行目\r\n二行目"));
        QCOMPARE(valueOf(wb, QStringLiteral("Title")).toString(), QString(15, QChar(0x3042)));
        QCOMPARE(valueOf(wb, QStringLiteral("Description")).toString(), QStringLiteral("一行目\n二行目"));
        QCOMPARE(scrollY(wb), 0);
        QCOMPARE(counter->text(), QStringLiteral("30"));
        QCOMPARE(counter->palette().color(QPalette::WindowText), QColor(Qt::black));
        control<QLineEdit>(&pane, QStringLiteral("txtTitle"))->setText(QString(15, QChar(0x3042)) + QLatin1Char('a'));
        QCOMPARE(counter->text(), QStringLiteral("31"));
        QCOMPARE(counter->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(counter->palette().color(QPalette::WindowText), QColor(Qt::white));
        QVERIFY(ui.messages.isEmpty());
    }

    void aPageWithoutTheFieldsTakesNothingAndSaysNothing() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        Browser* wb = pane.WB();
        QVERIFY(openForm(sim, wb));
        control<QLineEdit>(&pane, QStringLiteral("txtTitle"))->setText(QStringLiteral("abc"));
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("Label18"))->text(), QStringLiteral("3"));
        QVERIFY(load(wb, SiteAddresses::submitStartUrl()));
        control<QLineEdit>(&pane, QStringLiteral("txtTitle"))->setText(QStringLiteral("abcdef"));
        control<QCheckBox>(&pane, QStringLiteral("Check18"))->setChecked(true);
        control<QComboBox>(&pane, QStringLiteral("Combo5"))->setCurrentIndex(3);
        control<QRadioButton>(&pane, QStringLiteral("optHANBAI_1"))->setChecked(true);
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("Label18"))->text(), QStringLiteral("3"));  // the old count stays
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(wb->documentTitle().text(), QStringLiteral("Yahoo!オークション - 出品"));
        // The operations say why they did nothing.
        QCOMPARE(wb->setValueById(QStringLiteral("Title"), QStringLiteral("x")).outcome, Browser::Outcome::Missing);
        QCOMPARE(wb->scrollTo(0, 10).outcome, Browser::Outcome::Done);
    }

    void mirrorAllAfterALoadFillsEveryFieldItPushes() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        Browser* wb = pane.WB();
        // Set while no form is shown: nothing lands anywhere yet.
        pane.setListing(QStringLiteral("★カメラ★"), QStringLiteral("美品です。\r\n箱あり"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite2"))->setText(QStringLiteral("25000"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite3"))->setText(QStringLiteral("20"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite4"))->setText(QStringLiteral("99999"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite6"))->setText(QStringLiteral("30000"));
        control<QLineEdit>(&pane, QStringLiteral("Text1"))->setText(QStringLiteral("新宿区"));
        control<QCheckBox>(&pane, QStringLiteral("Check24"))->setChecked(true);
        control<QCheckBox>(&pane, QStringLiteral("Check17"))->setChecked(false);
        control<QCheckBox>(&pane, QStringLiteral("Check37"))->setChecked(true);
        control<QRadioButton>(&pane, QStringLiteral("optHANBAI_1"))->setChecked(true);
        control<QComboBox>(&pane, QStringLiteral("Combo1"))->setCurrentIndex(3);
        control<QComboBox>(&pane, QStringLiteral("Combo2"))->setCurrentIndex(1);
        control<QComboBox>(&pane, QStringLiteral("Combo3"))->setCurrentIndex(9);
        control<QComboBox>(&pane, QStringLiteral("Combo4"))->setCurrentIndex(2);
        control<QComboBox>(&pane, QStringLiteral("Combo5"))->setCurrentIndex(12);
        QVERIFY(openForm(sim, wb));

        QCOMPARE(valueOf(wb, QStringLiteral("Title")).toString(), QStringLiteral("★カメラ★"));
        QCOMPARE(valueOf(wb, QStringLiteral("Description")).toString(), QStringLiteral("美品です。\n箱あり"));
        QCOMPARE(valueOf(wb, QStringLiteral("StartPrice")).toString(), QStringLiteral("25000"));
        QCOMPARE(valueOf(wb, QStringLiteral("Quantity")).toString(), QStringLiteral("1"));
        QCOMPARE(valueOf(wb, QStringLiteral("featuredAmount")).toString(), QStringLiteral("20"));
        QCOMPARE(valueOf(wb, QStringLiteral("BidOrBuyPrice")).toString(), QStringLiteral("30000"));
        QCOMPARE(valueOf(wb, QStringLiteral("city")).toString(), QStringLiteral("新宿区"));
        QCOMPARE(valueOf(wb, QStringLiteral("JpBuyNowPrice")).toString(), QString());  // only when it changes
        for (const siteform::CheckBox& c : siteform::checkBoxes())
            QCOMPARE(checkedOf(wb, siteform::findMirror(c.name)->element).toBool(),
                     control<QCheckBox>(&pane, c.name)->isChecked());
        QCOMPARE(page(wb, QStringLiteral("return document.getElementsByName('shipping')[1].checked;")).toBool(), true);
        QCOMPARE(page(wb, QStringLiteral("return document.getElementsByName('shiptime')[0].checked;")).toBool(), true);
        QCOMPARE(indexOf(wb, QStringLiteral("Duration")).toInt(), 3);
        QCOMPARE(indexOf(wb, QStringLiteral("giftSelected")).toInt(), 2);
        QCOMPARE(indexOf(wb, QStringLiteral("ClosingTime")).toInt(), 9);
        QCOMPARE(indexOf(wb, QStringLiteral("numResubmit")).toInt(), 3);
        QCOMPARE(indexOf(wb, QStringLiteral("loc_cd")).toInt(), 13);
        QCOMPARE(scrollY(wb), 200);  // after the mirrors, the page goes to the top of the form
    }

    void theContinuePromptAsksOncePerButton() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        folder.writeCp932(QStringLiteral("DATA/two.html"),
                          QStringLiteral("<html><head><meta charset=shift_jis><title>t</title></head><body>"
                                         "<input type=button name=btn id=btn value=続ける onclick=\"document.title='clicked'\">"
                                         "<input type=button name=btn value=続ける><input name=btn value=戻る></body></html>"));
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        Browser* wb = pane.WB();
        ui.answers << UiServices::Answer::Yes << UiServices::Answer::Yes;
        QVERIFY(load(wb, folder.file(QStringLiteral("DATA/two.html"))));
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.messages[0].text, QStringLiteral("出品手続きを行いますか？"));
        QCOMPARE(ui.messages[0].title, QStringLiteral("出品"));
        QCOMPARE(ui.messages[0].buttons, UiServices::Buttons::YesNo);
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Information);
        QCOMPARE(wb->documentTitle().text(), QStringLiteral("clicked"));

        // No: back to the listing start page.
        ui.messages.clear();
        folder.writeCp932(QStringLiteral("DATA/one.html"),
                          QStringLiteral("<html><head><meta charset=shift_jis></head><body><input type=button name=btn id=btn value=続ける></body></html>"));
        ui.answers << UiServices::Answer::No;
        QSignalSpy done(wb, &Browser::DocumentComplete);
        wb->Navigate2(folder.file(QStringLiteral("DATA/one.html")));
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 2, kLoad);
        QCOMPARE(done.last().at(0).toString(), SiteAddresses::submitStartUrl());
        QCOMPARE(ui.messages.size(), 1);
    }

    void aFailedLoadNeitherPromptsNorMirrors() {
        // A load that is given up leaves the old page (with its 続ける button) where it was.
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--fault"), QStringLiteral("/jp/stalled=stall")});
        folder.writeCp932(QStringLiteral("DATA/one.html"),
                          QStringLiteral("<html><head><meta charset=shift_jis></head><body>"
                                         "<input type=button name=btn id=btn value=続ける></body></html>"));
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        Browser* wb = pane.WB();
        QVERIFY(load(wb, folder.file(QStringLiteral("DATA/one.html"))));
        QCOMPARE(ui.messages.size(), 1);
        QSignalSpy done(wb, &Browser::DocumentComplete);
        wb->Navigate2(sim.base() + QStringLiteral("/jp/stalled"));
        QTest::qWait(300);
        wb->stop();
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
        QVERIFY(!wb->lastLoadOk());
        QTest::qWait(300);
        QCOMPARE(ui.messages.size(), 1);
    }

    void aPageThatFinishesWhileAReadWaitsIsHandledAfterIt() {
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--latency"), QStringLiteral("200")});
        folder.writeCp932(QStringLiteral("DATA/a.html"), QStringLiteral("<html><body>a</body></html>"));
        Browser b;
        QVERIFY(load(&b, folder.file(QStringLiteral("DATA/a.html"))));
        QStringList events;
        connect(&b, &QWebEngineView::loadFinished, &b, [&] { events << QStringLiteral("loaded"); });
        connect(&b, &Browser::DocumentComplete, &b, [&] { events << QStringLiteral("complete"); });
        b.Navigate2(sim.base() + QStringLiteral("/jp/0-submit.html"));
        // A read that takes longer than the page: the old document is busy for two seconds.
        events << QStringLiteral("read");
        b.evaluate(QStringLiteral("var t=Date.now();while(Date.now()-t<2000){}return 1;"), 4000);
        events << QStringLiteral("read done");
        QTRY_VERIFY_WITH_TIMEOUT(events.contains(QStringLiteral("complete")), kLoad);
        QCOMPARE(events, (QStringList{QStringLiteral("read"), QStringLiteral("loaded"), QStringLiteral("read done"),
                                      QStringLiteral("complete")}));
    }

    void titleAndDescriptionScrollOnceWhenTheyTakeTheFocus() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.vsMAIN()->setCurrentWidget(w.siteFormPane());
        Browser* wb = w.WB();
        QVERIFY(openForm(sim, wb));
        auto* title = control<QLineEdit>(&w, QStringLiteral("txtTitle"));
        auto* description = control<QPlainTextEdit>(&w, QStringLiteral("txtDescription"));
        title->setFocus();
        QTRY_COMPARE(scrollY(wb), 450);
        wb->scrollTo(0, 0);
        QTest::keyClicks(title, QStringLiteral("abc"));  // typing writes, it does not scroll
        QCOMPARE(valueOf(wb, QStringLiteral("Title")).toString(), QStringLiteral("abc"));
        QCOMPARE(scrollY(wb), 0);
        description->setFocus();
        QTRY_COMPARE(scrollY(wb), 650);
        title->setFocus();
        QTRY_COMPARE(scrollY(wb), 450);
    }

    void numberFieldsOfTheMainWindowKeepTheKeyboardRule() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.vsMAIN()->setCurrentWidget(w.siteFormPane());
        auto* price = control<QLineEdit>(&w, QStringLiteral("imNumLite2"));
        w.siteFormPane()->tabSYUPPINN()->setCurrentIndex(0);
        price->setFocus();
        QTRY_VERIFY(price->hasFocus());
        QTest::keyClicks(price, QStringLiteral("1a2,3"));
        QCOMPARE(price->text(), QStringLiteral("123"));
        QTest::keyClick(price, Qt::Key_Return);
        QTRY_VERIFY(!price->hasFocus());
        QCOMPARE(price->text(), QStringLiteral("123"));
        auto* title = control<QLineEdit>(&w, QStringLiteral("txtTitle"));
        title->setFocus();
        QTRY_VERIFY(title->hasFocus());
        QTest::keyClick(title, Qt::Key_Enter);
        QTRY_VERIFY(!title->hasFocus());
    }

    void startUpListDefaults() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        QVERIFY(openForm(sim, w.WB()));
        w.setListDefaults();
        QCOMPARE(control<QComboBox>(&w, QStringLiteral("Combo5"))->currentIndex(), 0);
        QCOMPARE(control<QComboBox>(&w, QStringLiteral("Combo1"))->currentIndex(), 3);
        QCOMPARE(control<QComboBox>(&w, QStringLiteral("Combo3"))->currentIndex(), 9);
        QCOMPARE(control<QComboBox>(&w, QStringLiteral("Combo4"))->currentIndex(), 2);
        QCOMPARE(indexOf(w.WB(), QStringLiteral("loc_cd")).toInt(), 1);
        QCOMPARE(indexOf(w.WB(), QStringLiteral("Duration")).toInt(), 3);
        QCOMPARE(indexOf(w.WB(), QStringLiteral("ClosingTime")).toInt(), 9);
        QCOMPARE(indexOf(w.WB(), QStringLiteral("numResubmit")).toInt(), 3);
    }

    void toTheListingCarriesTitleAndDescription() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        auto* name = control<QLineEdit>(&w, QStringLiteral("txtSYOUHIN"));
        auto* mark = control<QComboBox>(&w, QStringLiteral("cmbKIGOU_1"));
        auto* html = control<QPlainTextEdit>(&w, QStringLiteral("txtHTML"));
        auto* title = control<QLineEdit>(&w, QStringLiteral("txtTitle"));
        w.vsMAIN()->setCurrentWidget(w.descriptionPane());
        w.descriptionPane()->Command9_Click();
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("タイトル(商品名)を入力して下さい。")});
        QCOMPARE(ui.messages[0].title, QStringLiteral("出品フォーム作成"));
        QCOMPARE(title->text(), QString());
        QCOMPARE(w.vsMAIN()->currentWidget(), w.descriptionPane());

        name->setText(QStringLiteral("ニコン D5300"));
        mark->setCurrentIndex(1);
        html->setPlainText(QStringLiteral("<b>手で直した</b>\n二行目"));
        control<QPushButton>(&w, QStringLiteral("Command9"))->click();
        QCOMPARE(title->text(), QStringLiteral("★ニコン D5300★"));
        QCOMPARE(control<QPlainTextEdit>(&w, QStringLiteral("txtDescription"))->toPlainText(),
                 QStringLiteral("<b>手で直した</b>\n二行目"));
        QCOMPARE(w.vsMAIN()->currentWidget(), w.siteFormPane());

        mark->setCurrentIndex(-1);
        w.descriptionPane()->Command9_Click();
        QCOMPARE(title->text(), QStringLiteral("ニコン D5300"));
    }

    void theClosedListingsAskForALogin() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        DialogCloser logins(QStringLiteral("frmLogin"));
        Browser* wb2 = w.WB2();
        const QString message = QStringLiteral("ログインされていません。\r\nログインして下さい。");

        QVERIFY(load(wb2, SiteAddresses::closedListingsUrl()));  // signed out: the site's login button
        QCOMPARE(ui.messageTexts(), QStringList{message});
        QCOMPARE(ui.messages[0].title, QStringLiteral("ログイン"));
        QCOMPARE(logins.count(), 1);
        QCOMPARE(scrollY(wb2), 0);  // the short page cannot scroll to 500; no harm done

        // Signed in but expired: the password text, once.
        ui.messages.clear();
        QVERIFY(load(wb2, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo")));
        QCOMPARE(sim.control(QStringLiteral("expire")), QStringLiteral("OK"));
        QVERIFY(load(wb2, SiteAddresses::closedListingsUrl()));
        QCOMPARE(ui.messageTexts(), QStringList{message});
        QCOMPARE(logins.count(), 2);

        // The text wins over a login button; two buttons mean two logins.
        ui.messages.clear();
        folder.writeCp932(QStringLiteral("DATA/both.html"),
                          QStringLiteral("<html><head><meta charset=shift_jis></head><body><p>続けるにはパスワードを再入力してください</p>"
                                         "<input type=submit name=.save value=ログイン></body></html>"));
        QVERIFY(load(wb2, folder.file(QStringLiteral("DATA/both.html"))));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(logins.count(), 3);
        folder.writeCp932(QStringLiteral("DATA/two.html"),
                          QStringLiteral("<html><head><meta charset=shift_jis></head><body><input type=submit name=.save value=ログイン>"
                                         "<input type=submit name=.save value=ログイン>"
                                         "<input type=submit name=.save value=次へ></body></html>"));
        QVERIFY(load(wb2, folder.file(QStringLiteral("DATA/two.html"))));
        QCOMPARE(ui.messages.size(), 3);
        QCOMPARE(logins.count(), 5);
    }

    void aWholeListing() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        w.resize(1280, 860);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        Browser* wb = w.WB();
        QVERIFY(load(wb, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo")));

        // The listing prepared on the description pane and here.
        control<QLineEdit>(&w, QStringLiteral("txtSYOUHIN"))->setText(QStringLiteral("ニコン D5300"));
        control<QComboBox>(&w, QStringLiteral("cmbKIGOU_1"))->setCurrentIndex(1);
        control<QPlainTextEdit>(&w, QStringLiteral("txtHTML"))->setPlainText(QStringLiteral("<p>美品です。</p>"));
        w.descriptionPane()->Command9_Click();
        w.setListDefaults();
        control<QLineEdit>(&w, QStringLiteral("imNumLite2"))->setText(QStringLiteral("25000"));
        control<QComboBox>(&w, QStringLiteral("Combo5"))->setCurrentIndex(12);
        control<QLineEdit>(&w, QStringLiteral("Text1"))->setText(QStringLiteral("新宿区"));

        // Start page, a category, a sub-category, 続ける (answered Yes), the form.
        control<QPushButton>(&w, QStringLiteral("Command20"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(wb->url().toString(), SiteAddresses::submitStartUrl(), kLoad);
        QSignalSpy done(wb, &Browser::DocumentComplete);
        QTRY_VERIFY_WITH_TIMEOUT(wb->documentTitle().text() == QStringLiteral("Yahoo!オークション - 出品"), kLoad);
        for (const char* c : {"23632", "23633", "23634"}) {
            const int before = static_cast<int>(done.count());
            QVERIFY(wb->evaluate(QStringLiteral("document.querySelector('a[href$=\"c=%1\"]').click();return true;")
                                     .arg(QLatin1String(c))));
            QTRY_VERIFY_WITH_TIMEOUT(done.count() > before, kLoad);
        }
        QTRY_VERIFY_WITH_TIMEOUT(wb->documentTitle().text() == QStringLiteral("Yahoo!オークション - 出品フォーム"), kLoad);
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("出品手続きを行いますか？")});
        QTRY_COMPARE_WITH_TIMEOUT(valueOf(wb, QStringLiteral("Title")).toString(), QStringLiteral("★ニコン D5300★"), kLoad);
        QCOMPARE(valueOf(wb, QStringLiteral("StartPrice")).toString(), QStringLiteral("25000"));

        // The form is sent; the picture-upload page comes.
        const int before = static_cast<int>(done.count());
        QVERIFY(wb->evaluate(QStringLiteral("document.forms['auction'].submit();return true;")));
        QTRY_VERIFY_WITH_TIMEOUT(done.count() > before, kLoad);
        QTRY_COMPARE_WITH_TIMEOUT(wb->documentTitle().text(), siteform::kUploadPageTitle, kLoad);
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(wb), 0, kLoad);  // the short page: 10 is as far as it goes

        // A real picture goes up.
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(QColor(200, 30, 30));
        const QString path = folder.file(QStringLiteral("USER/camera.png"));
        QVERIFY(picture.save(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        ui.openNames << path;
        w.vsMAIN()->setCurrentWidget(w.siteFormPane());
        w.siteFormPane()->Command14_Click();
        QCOMPARE(ui.fileDialogs.size(), 1);
        QVERIFY(ui.fileDialogs[0].endsWith(QStringLiteral("|記憶ファイル(*.*)|*.*")));
        QCOMPARE(ui.clipboard, path);
        QCOMPARE(control<QLabel>(&w, QStringLiteral("A_0"))->text(), path);
        QCOMPARE(control<QLineEdit>(&w, QStringLiteral("imText3"))->text(), QString());
        const QString expected = QStringLiteral("camera.png %1 %2")
                                     .arg(bytes.size())
                                     .arg(QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
        QTRY_COMPARE_WITH_TIMEOUT(sim.control(QStringLiteral("upload")), expected, kLoad);

        // The confirmation shows what was sent.
        QTRY_VERIFY_WITH_TIMEOUT(wb->bodyText().text().contains(QStringLiteral("camera.png")), kLoad);
        QVERIFY(wb->clickById(QStringLiteral("toConfirm")));
        QTRY_COMPARE_WITH_TIMEOUT(wb->documentTitle().text(), QStringLiteral("Yahoo!オークション - 出品内容の確認"), kLoad);
        auto cell = [&](const char* id) {
            return page(wb, QStringLiteral("return document.getElementById('%1').innerText;").arg(QLatin1String(id))).toString();
        };
        QCOMPARE(cell("cTitle"), QStringLiteral("★ニコン D5300★"));
        QCOMPARE(cell("cStartPrice"), QStringLiteral("25000 円"));
        QCOMPARE(cell("cDuration"), QStringLiteral("5 日"));
        QCOMPARE(cell("cRegion"), QStringLiteral("東京都 新宿区"));
        QCOMPARE(cell("cPayment"), QStringLiteral("Yahoo!かんたん決済、銀行振込"));
        QCOMPARE(cell("cImages").trimmed(), QStringLiteral("camera.png"));
        QCOMPARE(ui.messages.size(), 1);

        // A cancelled picture dialog sends nothing, and the label says nothing was sent.
        QVERIFY(load(wb, sim.base() + QStringLiteral("/jp/submit/image")));
        w.siteFormPane()->Command14_Click();
        QCOMPARE(ui.fileDialogs.size(), 2);
        QCOMPARE(control<QLabel>(&w, QStringLiteral("A_0"))->text(), QString());
        QTest::qWait(300);
        QCOMPARE(sim.control(QStringLiteral("upload")), expected);
    }

    void uploadNeedsThePagesSelectElement() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        QVERIFY(load(pane.WB(), SiteAddresses::submitStartUrl()));
        ui.openNames << folder.file(QStringLiteral("USER/x.png"));
        pane.Command14_Click();
        QVERIFY(ui.fileDialogs.isEmpty());
        QCOMPARE(ui.clipboardWrites, 0);
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("A_0"))->text(), QString());
    }
};

SORABAKO_GUI_TEST_MAIN(TestSiteForm)
#include "tst_siteform.moc"
