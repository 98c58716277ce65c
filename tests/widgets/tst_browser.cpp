#include <QtTest>

#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

#include <QDropEvent>
#include <QMimeData>

#include "core/MemoryFiles.h"
#include "app/SplashBar.h"
#include "app/StartUp.h"
#include "app/fMain.h"
#include "app/frmStart.h"
#include "description/DescriptionPane.h"
#include "myauction/MyAuctionPane.h"
#include "shipping/ShippingPane.h"
#include "listing/form/SiteFormPane.h"
#include "site/SiteFacts.h"
#include "widgets/Browser.h"
#include "widgets/WebProfile.h"
#include "settings/SiteAddresses.h"
#include "settings/mINI.h"
#include "support/Dialogs.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Press.h"

namespace {
constexpr int kLoad = 30000;
}

class TestBrowser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void documentCompleteCarriesTheAddress() {
        SiteSimProcess sim;
        QVERIFY(sim.isRunning());
        Browser b;
        QSignalSpy done(&b, &Browser::DocumentComplete);
        const QString address = sim.base() + QStringLiteral("/jp/show/mystatus?select=closed&hasWinner=1");
        b.Navigate2(address);
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
        QCOMPARE(done.last().at(0).toString(), address);
        // EUC-JP decoded by the engine; the signed-out page offers the site's login button.
        QVERIFY(b.bodyText().text().contains(QStringLiteral("ログイン")));
        const auto saves = b.elementsByName(QStringLiteral(".save"));
        QCOMPARE(saves.size(), 1);
        QCOMPARE(saves[0].value, QStringLiteral("ログイン"));
        QCOMPARE(saves[0].type, QStringLiteral("submit"));
    }

    // Without the sandbox the engine starts no zygote: start-up does not wait for one, and
    // pages still load, each in a page process the program started itself.
    void withoutTheSandboxPagesLoadWithoutAZygote() {
        using WebProfile::engineSwitches;
        QCOMPARE(engineSwitches("--disable-gpu", {}, true), QByteArray("--disable-gpu --no-zygote"));
        QCOMPARE(engineSwitches("", {}, true), QByteArray("--no-zygote"));
        QCOMPARE(engineSwitches("--no-sandbox", {}, false), QByteArray("--no-sandbox --no-zygote"));
        QCOMPARE(engineSwitches("", {QStringLiteral("sorabako"), QStringLiteral("--no-sandbox")}, false), QByteArray("--no-zygote"));
        // The sandbox needs its zygote; a zygote switch of the seller's own is left as it is.
        QCOMPARE(engineSwitches("--disable-gpu", {}, false), QByteArray("--disable-gpu"));
        QCOMPARE(engineSwitches("--no-zygote --disable-gpu", {}, true), QByteArray("--no-zygote --disable-gpu"));

        QVERIFY(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"));  // as the tests run the engine
        SiteSimProcess sim;
        Browser b;
        QSignalSpy done(&b, &Browser::DocumentComplete);
        b.Navigate2(sim.base() + QStringLiteral("/jp/0-submit.html"));
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
        QVERIFY(b.lastLoadOk());
        QStringList types;
        const QString self = QString::number(QCoreApplication::applicationPid());
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly)) continue;
            const QByteArray line = stat.readAll();
            if (line.mid(line.lastIndexOf(')') + 2).split(' ').value(1) != self.toLatin1()) continue;
            QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
            if (!cmdline.open(QIODevice::ReadOnly)) continue;
            for (const QByteArray& arg : cmdline.readAll().split('\0'))
                if (arg.startsWith("--type=")) types << QString::fromLatin1(arg.mid(7));
        }
        QVERIFY2(!types.contains(QStringLiteral("zygote")), qPrintable(types.join(u' ')));
        QVERIFY2(types.contains(QStringLiteral("renderer")), qPrintable(types.join(u' ')));
        // Only the engine was started so: programs started from this one get the switches as given.
        QVERIFY(!qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--no-zygote"));
    }

    void operationsOnMissingElementsEndSilently() {
        SiteSimProcess sim;
        Browser b;
        // No document at all yet: no answer, and no wait for one.
        QCOMPARE(b.setValueById(QStringLiteral("Title"), QStringLiteral("x")).outcome, Browser::Outcome::NoAnswer);
        QCOMPARE(b.bodyText().outcome, Browser::Outcome::NoAnswer);
        QSignalSpy done(&b, &Browser::DocumentComplete);
        b.Navigate2(sim.base() + QStringLiteral("/jp/0-submit.html"));
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
        using O = Browser::Outcome;
        QCOMPARE(b.setValueById(QStringLiteral("nope"), QStringLiteral("x")).outcome, O::Missing);
        QCOMPARE(b.clickById(QStringLiteral("nope")).outcome, O::Missing);
        QCOMPARE(b.setCheckedById(QStringLiteral("nope"), 1).outcome, O::Missing);
        QCOMPARE(b.setSelectedIndexById(QStringLiteral("nope"), 3).outcome, O::Missing);
        QCOMPARE(b.setCheckedByName(QStringLiteral("nope"), 1, true).outcome, O::Missing);
        QCOMPARE(b.setPairCheckedByName(QStringLiteral("nope"), true, false).outcome, O::Missing);
        QCOMPARE(b.setFormField(QStringLiteral("nope"), QStringLiteral("login"), QStringLiteral("x")).outcome, O::Missing);
        QCOMPARE(b.submitForm(QStringLiteral("nope")).outcome, O::Missing);
        QCOMPARE(b.scrollTo(0, 6000).outcome, O::Done);
        O outcome = O::NoAnswer;
        QVERIFY(b.elementsByName(QStringLiteral("nope"), Browser::kDefaultTimeoutMs, &outcome).isEmpty());
        QCOMPARE(outcome, O::Done);  // no such elements is an answer
        // The page is still there and still answers.
        QCOMPARE(b.evaluate(QStringLiteral("return 1+1;")).value.toInt(), 2);
        QCOMPARE(done.count(), 1);
    }

    void writesReachThePage() {
        SiteSimProcess sim;
        Browser b;
        QSignalSpy done(&b, &Browser::DocumentComplete);
        b.Navigate2(sim.base() + QStringLiteral("/config/login?.src=www&.done=") + sim.base() + QStringLiteral("/"));
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
        b.setFormField(QStringLiteral("login_form"), QStringLiteral("login"), QStringLiteral("山田\"'</script>"));
        b.setAllChecked(QStringLiteral(".persistent"), true);
        QCOMPARE(b.evaluate(QStringLiteral("return document.forms['login_form'].elements['login'].value;")).value.toString(),
                 QStringLiteral("山田\"'</script>"));
        QCOMPARE(b.evaluate(QStringLiteral("return document.getElementsByName('.persistent')[0].checked;")).value.toBool(), true);
    }

    void operationsReachThePageElements() {
        TempProgramFolder folder;
        folder.writeCp932(
            QStringLiteral("DATA/form.html"),
            QStringLiteral("<html><head><title>出品フォーム</title></head><body style='height:20000px'>"
                           "<input id=Title><input type=checkbox id=ypmOK><select id=Duration><option>2<option>3<option>4</select>"
                           "<input type=radio name=shipping><input type=radio name=shipping>"
                           "<button id=btn onclick=\"document.title='clicked'\">続ける</button></body></html>"));
        Browser b;
        QSignalSpy done(&b, &Browser::DocumentComplete);
        b.Navigate2(folder.file(QStringLiteral("DATA/form.html")));
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
        QCOMPARE(b.documentTitle().text(), QStringLiteral("出品フォーム"));
        b.setValueById(QStringLiteral("Title"), QStringLiteral("★カメラ★"));
        b.setCheckedById(QStringLiteral("ypmOK"), 1);
        b.setSelectedIndexById(QStringLiteral("Duration"), 2);
        b.setCheckedByName(QStringLiteral("shipping"), 1, true);
        b.scrollTo(0, 6000);
        QCOMPARE(b.evaluate(QStringLiteral("return document.getElementById('Title').value;")).value.toString(), QStringLiteral("★カメラ★"));
        QCOMPARE(b.evaluate(QStringLiteral("return document.getElementById('ypmOK').checked;")).value.toBool(), true);
        QCOMPARE(b.evaluate(QStringLiteral("return document.getElementById('Duration').selectedIndex;")).value.toInt(), 2);
        QCOMPARE(b.evaluate(QStringLiteral("return document.getElementsByName('shipping')[1].checked;")).value.toBool(), true);
        QCOMPARE(b.evaluate(QStringLiteral("return window.scrollY;")).value.toInt(), 6000);
        b.setCheckedById(QStringLiteral("ypmOK"), 0);
        QCOMPARE(b.evaluate(QStringLiteral("return document.getElementById('ypmOK').checked;")).value.toBool(), false);
        b.clickById(QStringLiteral("btn"));
        QCOMPARE(b.documentTitle().text(), QStringLiteral("clicked"));
    }

    void blankAndLocalAddresses() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("Template/HTML/a.html"), QStringLiteral("<p id=x>ソラバコ</p>"));
        Browser b;
        QSignalSpy done(&b, &Browser::DocumentComplete);
        b.Navigate2(folder.file(QStringLiteral("Template/HTML/a.html")));
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
        QVERIFY(done.last().at(0).toString().startsWith(QStringLiteral("file://")));
        b.Navigate2(QString());
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 2, kLoad);
        QCOMPARE(done.last().at(0).toString(), QString());
    }

    // A load for a browser not on screen waits until it is shown, or until something needs
    // its page; an address of its own takes its place.
    void aLoadWaitsUntilTheBrowserIsShownOrNeeded() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("Template/HTML/a.html"), QStringLiteral("<title>a</title><p id=x>ソラバコ</p>"));
        folder.writeCp932(QStringLiteral("Template/HTML/b.html"), QStringLiteral("<title>b</title><p>b</p>"));
        const QString a = folder.file(QStringLiteral("Template/HTML/a.html"));
        {
            Browser b;
            QSignalSpy started(&b, &QWebEngineView::loadStarted);
            QSignalSpy done(&b, &Browser::DocumentComplete);
            b.navigateWhenShown(a);
            QVERIFY(b.hasDeferredLoad());
            QCOMPARE(b.url(), QUrl::fromLocalFile(a));  // where it will be, for whoever asks
            QVERIFY(!QTest::qWaitFor([&] { return started.count() > 0; }, 500));
            b.resize(300, 200);
            b.show();
            QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
            QVERIFY(!b.hasDeferredLoad());
            QCOMPARE(b.documentTitle().text(), QStringLiteral("a"));
            // Shown, it loads at once.
            b.navigateWhenShown(folder.file(QStringLiteral("Template/HTML/b.html")));
            QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 2, kLoad);
            QCOMPARE(b.documentTitle().text(), QStringLiteral("b"));
        }
        {
            // Needed before it is shown: the page loads, and answers once it has.
            Browser b;
            b.navigateWhenShown(a);
            QTRY_COMPARE_WITH_TIMEOUT(b.evaluate(QStringLiteral("return document.getElementById('x').innerText;")).text(),
                                      QStringLiteral("ソラバコ"), kLoad);
        }
        {
            // An address of its own: the waiting one never loads.
            Browser b;
            QSignalSpy done(&b, &Browser::DocumentComplete);
            b.navigateWhenShown(a);
            b.Navigate2(folder.file(QStringLiteral("Template/HTML/b.html")));
            QVERIFY(!b.hasDeferredLoad());
            QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
            b.show();
            QVERIFY(!QTest::qWaitFor([&] { return done.count() > 1; }, 500));
            QVERIFY(done.last().at(0).toString().endsWith(QStringLiteral("b.html")));
        }
    }

    void droppedFilesAreNotOpened() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("DATA/x.html"), QStringLiteral("<p>x</p>"));
        Browser b;
        b.resize(300, 200);
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        b.setRegisterAsDropTarget(false);
        QVERIFY(!b.acceptDrops());
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(folder.file(QStringLiteral("DATA/x.html")))});
        QList<QWidget*> targets = b.findChildren<QWidget*>();
        targets << &b;
        for (QWidget* target : targets) {
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QVERIFY(!enter.isAccepted());
            QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &drop);
        }
        QSignalSpy started(&b, &QWebEngineView::loadStarted);
        QVERIFY(!QTest::qWaitFor([&] { return started.count() > 0; }, 500));
        QVERIFY(!b.url().toString().contains(QStringLiteral("x.html")));
    }

    void startUpFileIsReadAndBecomesCurrent() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        StartUp::markStarted();
        RecordingUiServices ui;
        mINI::Ini_PutAll({{QStringLiteral("各種設定"), QStringLiteral("起動時ﾌｧｲﾙ"), QStringLiteral("1")},
                          {QStringLiteral("各種設定"), QStringLiteral("起動時ﾌｧｲﾙﾊﾟｽ"), QStringLiteral("/u/USER/出品.srb")}},
                         ui);
        struct Memory : MemoryFiles {
            QStringList read;
            bool SaveFile(const QString&) override { return true; }
            bool ReadFile(const QString& path) override {
                read << path;
                return true;
            }
        } memory;
        frmStart start(ui, &memory);
        start.run();
        std::unique_ptr<fMain> w(start.takeMain());
        QCOMPARE(memory.read, QStringList{QStringLiteral("/u/USER/出品.srb")});
        QCOMPARE(w->currentPath(), QStringLiteral("/u/USER/出品.srb"));
        QVERIFY(ui.messages.isEmpty());
    }

    // A memory file opened at start-up reaches the listing form as before, though the form's
    // browser first loads when the seller opens its tab.
    void aStartUpFileReachesTheListingFormWhenItsTabOpens() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        {
            Browser signIn;
            QSignalSpy done(&signIn, &Browser::DocumentComplete);
            signIn.Navigate2(sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo"));
            QVERIFY(done.wait(kLoad));
        }
        StartUp::markStarted();
        RecordingUiServices ui;
        folder.writeCp932(QStringLiteral("USER/起動時.srb"),
                          QStringLiteral("[出品手続]\r\nタイトル=起動時に開いた出品\r\n説明=<p>説明</p>\r\n数量=1\r\n開始価格=1200\r\n"));
        mINI::Ini_PutAll({{QStringLiteral("各種設定"), QStringLiteral("起動時ﾌｧｲﾙ"), QStringLiteral("1")},
                          {QStringLiteral("各種設定"), QStringLiteral("起動時ﾌｧｲﾙﾊﾟｽ"), folder.file(QStringLiteral("USER/起動時.srb"))}},
                         ui);
        frmStart start(ui, nullptr);
        start.run();
        std::unique_ptr<fMain> w(start.takeMain());
        QVERIFY(w->WB()->hasDeferredLoad());
        w->findChild<QTabWidget*>(QStringLiteral("vsMAIN"))->setCurrentWidget(w->siteFormPane());
        Browser* wb = w->WB();
        QTRY_COMPARE_WITH_TIMEOUT(wb->documentTitle(1000).text(), QStringLiteral("Yahoo!オークション - 出品"), kLoad);
        ui.answers << UiServices::Answer::Yes;  // 出品手続きを行いますか？
        for (const char* category : {"21600", "21601"}) {
            QSignalSpy loaded(wb, &Browser::DocumentComplete);
            QVERIFY(wb->evaluate(
                QStringLiteral("document.querySelector('a[href$=\"c=%1\"]').click();return true;").arg(QLatin1String(category))));
            QVERIFY(loaded.wait(kLoad));
        }
        QTRY_COMPARE_WITH_TIMEOUT(wb->documentTitle(1000).text(), QStringLiteral("Yahoo!オークション - 出品フォーム"), kLoad);
        QTRY_COMPARE_WITH_TIMEOUT(wb->evaluate(QStringLiteral("return document.getElementsByName('Title')[0].value;")).text(),
                                  QStringLiteral("起動時に開いた出品"), kLoad);
        QCOMPARE(wb->evaluate(QStringLiteral("return document.getElementsByName('StartPrice')[0].value;")).text(), QStringLiteral("1200"));
    }

    // The seller waits for the window with the mail pane only; the other panes follow once it
    // is on screen, and what start-up did to them lands as it would have.
    void theOtherPanesComeOnceTheWindowIsShown() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        StartUp::markStarted();
        RecordingUiServices ui;
        DialogCloser logins(QStringLiteral("frmLogin"));
        frmStart start(ui, nullptr);
        start.run();
        std::unique_ptr<fMain> w(start.takeMain());
        auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("vsMAIN"));
        QCOMPARE(tabs->count(), 5);
        QCOMPARE(tabs->tabText(3), QStringLiteral("出品手続(&4)"));
        QVERIFY(!w->panesBuilt());
        QVERIFY(!w->findChild<QComboBox*>(QStringLiteral("Combo1")));
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTRY_VERIFY(w->panesBuilt());
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->widget(1), static_cast<QWidget*>(w->shippingPane()));
        QCOMPARE(tabs->widget(2), static_cast<QWidget*>(w->descriptionPane()));
        QCOMPARE(tabs->widget(3), static_cast<QWidget*>(w->siteFormPane()));
        QCOMPARE(tabs->widget(4), static_cast<QWidget*>(w->myAuctionPane()));
        QCOMPARE(tabs->tabText(3), QStringLiteral("出品手続(&4)"));
        // The listing pane's lists as start-up sets them: prefecture, duration, end time, relisting.
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("Combo5"))->currentIndex(), 0);
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("Combo1"))->currentText(), QStringLiteral("5 日"));
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("Combo3"))->currentIndex(), 9);
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("Combo4"))->currentText(), QStringLiteral("3 回"));
        QVERIFY(!w->WB()->registerAsDropTarget());
        QVERIFY(w->WB()->hasDeferredLoad());
        // Pressed before they are built, a tab shows its own pane, and its page loads.
        w.reset();
        frmStart again(ui, nullptr);
        again.run();
        w.reset(again.takeMain());
        tabs = w->findChild<QTabWidget*>(QStringLiteral("vsMAIN"));
        QVERIFY(!w->panesBuilt());
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(3).center());
        QVERIFY(w->panesBuilt());
        QCOMPARE(tabs->currentIndex(), 3);
        QCOMPARE(tabs->currentWidget(), static_cast<QWidget*>(w->siteFormPane()));
        QTRY_COMPARE_WITH_TIMEOUT(w->WB()->url().toString(), SiteAddresses::submitStartUrl(), kLoad);
    }

    void startUpReachesBothSitePages() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        StartUp::markStarted();
        RecordingUiServices ui;
        // Signed out, the closed listings ask for a login: the login window comes and is cancelled.
        DialogCloser logins(QStringLiteral("frmLogin"));
        frmStart start(ui, nullptr);
        start.run();
        QCOMPARE(start.pb()->value(), 1500);
        QVERIFY(!start.isVisible());
        std::unique_ptr<fMain> w(start.takeMain());
        QVERIFY(w->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(logins.count(), 1, kLoad);
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("ログインされていません。\r\nログインして下さい。")});
        ui.messages.clear();
        QVERIFY(!w->WB()->registerAsDropTarget());
        QVERIFY(!w->WB2()->registerAsDropTarget());
        QTRY_COMPARE_WITH_TIMEOUT(w->WB2()->url().toString(), SiteAddresses::closedListingsUrl(), kLoad);
        // The listing tab is not open yet: its start page waits for it, and comes when it opens.
        QVERIFY(w->WB()->hasDeferredLoad());
        QSignalSpy startPage(w->WB(), &Browser::DocumentComplete);
        w->findChild<QTabWidget*>(QStringLiteral("vsMAIN"))->setCurrentWidget(w->siteFormPane());
        QTRY_VERIFY_WITH_TIMEOUT(startPage.count() >= 1, kLoad);
        QCOMPARE(startPage.first().at(0).toString(), SiteAddresses::submitStartUrl());
        QTRY_COMPARE_WITH_TIMEOUT(w->WB()->url().toString(), SiteAddresses::submitStartUrl(), kLoad);
        QTRY_VERIFY_WITH_TIMEOUT(w->WB()->documentTitle(1000).text().contains(QStringLiteral("出品")), kLoad);
        // Confirm, with the notice declined before (and nothing to warn of), only scrolls the listing form.
        w->findChild<QLineEdit*>(QStringLiteral("imNumLite2"))->setText(QStringLiteral("1000"));
        mINI::Ini_Put(QStringLiteral("確認画面"), QStringLiteral("同意"), QStringLiteral("1"), ui);
        folder.writeCp932(QStringLiteral("DATA/tall.html"), QStringLiteral("<body style='height:20000px'>x</body>"));
        QSignalSpy formLoads(w->WB(), &Browser::DocumentComplete);
        w->WB()->Navigate2(folder.file(QStringLiteral("DATA/tall.html")));
        QTRY_VERIFY_WITH_TIMEOUT(formLoads.count() >= 1, kLoad);
        press(w.get(), "Command7");
        QTRY_COMPARE_WITH_TIMEOUT(w->WB()->evaluate(QStringLiteral("return window.scrollY;")).value.toInt(), 6000, kLoad);
        QVERIFY(ui.messages.isEmpty());

        // The reload command goes back to the closed listings.
        QSignalSpy done(w->WB2(), &Browser::DocumentComplete);
        press(w.get(), "Command18");
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
        QCOMPARE(done.last().at(0).toString(), SiteAddresses::closedListingsUrl());
        QTRY_COMPARE_WITH_TIMEOUT(logins.count(), 2, kLoad);
    }

    void aDamagedSiteDefinitionIsSaidAtStartAndTheBuiltInValuesStand() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        StartUp::markStarted();
        const QString path = folder.file(QStringLiteral("MAST/サイト定義.ini"));
        folder.writeCp932(QStringLiteral("MAST/サイト定義.ini"),
                          QStringLiteral("[出品フォーム]\r\n数量=Quantity_2\r\n期間.選択肢=2日間\r\n"));
        const QByteArray before = folder.readBytes(QStringLiteral("MAST/サイト定義.ini"));
        RecordingUiServices ui;
        DialogCloser logins(QStringLiteral("frmLogin"));
        frmStart start(ui, nullptr);
        start.run();
        std::unique_ptr<fMain> w(start.takeMain());
        QVERIFY(ui.messageTexts().contains(
            QStringLiteral("サイト定義ファイルを読み込めませんでした。\r\n") + path +
            QStringLiteral("（3 行目）\r\n「期間.選択肢」は 6 個の値を「,」で区切って書いて下さい（1 個あります）。\r\n"
                           "ソラバコの既定の値で続けます。")));
        QCOMPARE(site::fact(site::kForm, QStringLiteral("数量")), QStringLiteral("Quantity"));  // not half of the file
        QCOMPARE(folder.readBytes(QStringLiteral("MAST/サイト定義.ini")), before);
        // Mended, the next start takes it.
        folder.writeCp932(QStringLiteral("MAST/サイト定義.ini"), QStringLiteral("[出品フォーム]\r\n数量=Quantity_2\r\n"));
        w.reset();
        ui.messages.clear();
        frmStart again(ui, nullptr);
        again.run();
        w.reset(again.takeMain());
        QCOMPARE(site::fact(site::kForm, QStringLiteral("数量")), QStringLiteral("Quantity_2"));
        site::Facts::setCurrent(site::Facts::builtIn());
    }
};

SORABAKO_GUI_TEST_MAIN(TestBrowser)
#include "tst_browser.moc"
