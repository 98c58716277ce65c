#include <QtTest>

#include <QDropEvent>
#include <QMimeData>
#include <QProgressBar>

#include "app/StartUp.h"
#include "app/fMain.h"
#include "app/frmStart.h"
#include "app/platform/Browser.h"
#include "settings/SiteAddresses.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"

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
        QVERIFY(b.bodyText().contains(QStringLiteral("ログイン")));
        const auto saves = b.elementsByName(QStringLiteral(".save"));
        QCOMPARE(saves.size(), 1);
        QCOMPARE(saves[0].value, QStringLiteral("ログイン"));
        QCOMPARE(saves[0].type, QStringLiteral("submit"));
    }

    void operationsOnMissingElementsEndSilently() {
        SiteSimProcess sim;
        Browser b;
        // No document at all yet.
        b.setValueById(QStringLiteral("Title"), QStringLiteral("x"));
        QCOMPARE(b.bodyText(2000), QString());
        QSignalSpy done(&b, &Browser::DocumentComplete);
        b.Navigate2(sim.base() + QStringLiteral("/jp/0-submit.html"));
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
        b.setValueById(QStringLiteral("nope"), QStringLiteral("x"));
        b.clickById(QStringLiteral("nope"));
        b.setCheckedById(QStringLiteral("nope"), 1);
        b.setSelectedIndexById(QStringLiteral("nope"), 3);
        b.setCheckedByName(QStringLiteral("nope"), 1, true);
        b.setFormField(QStringLiteral("nope"), QStringLiteral("login"), QStringLiteral("x"));
        b.submitForm(QStringLiteral("nope"));
        b.scrollTo(0, 6000);
        QVERIFY(b.elementsByName(QStringLiteral("nope")).isEmpty());
        // The page is still there and still answers.
        QCOMPARE(b.evaluate(QStringLiteral("return 1+1;")).toInt(), 2);
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
        QCOMPARE(b.evaluate(QStringLiteral("return document.forms['login_form'].elements['login'].value;")).toString(),
                 QStringLiteral("山田\"'</script>"));
        QCOMPARE(b.evaluate(QStringLiteral("return document.getElementsByName('.persistent')[0].checked;")).toBool(), true);
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
        QTest::qWait(300);
        QVERIFY(!b.url().toString().contains(QStringLiteral("x.html")));
    }

    void startUpReachesBothSitePages() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        StartUp::markStarted();
        RecordingUiServices ui;
        frmStart start(ui, nullptr);
        start.run();
        QCOMPARE(start.pb()->value(), 1500);
        QVERIFY(!start.isVisible());
        std::unique_ptr<fMain> w(start.takeMain());
        QVERIFY(w->isVisible());
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(!w->WB()->registerAsDropTarget());
        QVERIFY(!w->WB2()->registerAsDropTarget());
        QTRY_COMPARE_WITH_TIMEOUT(w->WB2()->url().toString(), SiteAddresses::closedListingsUrl(), kLoad);
        QTRY_COMPARE_WITH_TIMEOUT(w->WB()->url().toString(), SiteAddresses::submitStartUrl(), kLoad);
        QTRY_VERIFY_WITH_TIMEOUT(w->WB()->documentTitle(1000).contains(QStringLiteral("出品")), kLoad);
        // The reload command goes back to the closed listings.
        QSignalSpy done(w->WB2(), &Browser::DocumentComplete);
        w->Command18_Click();
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
        QCOMPARE(done.last().at(0).toString(), SiteAddresses::closedListingsUrl());
    }
};

SORABAKO_GUI_TEST_MAIN(TestBrowser)
#include "tst_browser.moc"
