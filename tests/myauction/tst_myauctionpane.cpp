#include <QtTest>

#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "core/Cp932.h"
#include "myauction/MyAuctionPane.h"
#include "myauction/Scan.h"
#include "settings/SiteAddresses.h"
#include "support/Browsing.h"
#include "support/Dialogs.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "widgets/Browser.h"
#include "widgets/Grid.h"

namespace {
constexpr int kScan = 60000;

bool signIn(const SiteSimProcess& sim, const char* account) {
    Browser b;
    return loadAndWait(&b, sim.base() + QStringLiteral("/__sim/signin?login=") + QLatin1String(account));
}

bool runScan(MyAuctionPane& pane) {
    QSignalSpy finished(&pane, &MyAuctionPane::scanFinished);
    child<QPushButton>(&pane, QStringLiteral("Command2"))->click();
    return QTest::qWaitFor([&] { return finished.count() >= 1; }, kScan);
}
}  // namespace

class TestMyAuctionPane : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controls() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        QCOMPARE(child<QPushButton>(&pane, QStringLiteral("Command2"))->text(), QStringLiteral("解  析"));
        QCOMPARE(child<QCheckBox>(&pane, QStringLiteral("ckHOZON"))->text(), QStringLiteral("前回保存"));
        QCOMPARE(child<QLabel>(&pane, QStringLiteral("Label13"))->text(), QStringLiteral("前回比"));
        QCOMPARE(child<QLabel>(&pane, QStringLiteral("Label45"))->text(),
                 QStringLiteral("※追加出品、出品終了分がある時は前回値がズレて正常に比較できません。"));
        auto* grid = child<Grid>(&pane, QStringLiteral("vbNow"));
        QCOMPARE(grid->cols(), 15);
        QCOMPARE(grid->text(0, 1), QStringLiteral("タイトル"));
        QCOMPARE(grid->text(0, 5), QStringLiteral("残り時間"));
        QCOMPARE(grid->text(0, 14), QStringLiteral("値段"));
        QCOMPARE(grid->columnWidth(1), 5700 / 15);
    }

    void aWholeScanWithThePreviousOne() {
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_demo"));
        folder.writeCp932(QStringLiteral("DATA/zenkai.csv"), QStringLiteral("00012,00003,,1500\r\n00001,00000,00000,100\r\n"));
        const QByteArray before = folder.readBytes(QStringLiteral("DATA/zenkai.csv"));
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        QVERIFY(runScan(pane));
        QCOMPARE(ui.messageTexts(), QStringList());
        auto* grid = child<Grid>(&pane, QStringLiteral("vbNow"));
        QCOMPARE(grid->rows(), 121);  // three pages of listings, numbered straight through
        for (int r = 1; r <= 120; ++r) QCOMPARE(grid->text(r, 0), QString::number(r));
        QCOMPARE(grid->text(1, 1), QStringLiteral("ソラ光学 SK-300 レンズキット No.1"));
        QCOMPARE(grid->text(51, 1), QStringLiteral("空箱文庫 文庫本 10冊セット No.51"));
        QCOMPARE(grid->text(120, 1), QStringLiteral("手織り 纊布の反物 未使用 No.120"));
        // Listing 1 has bids: its count, its row in yellow.
        QVERIFY(!grid->text(1, 4).isEmpty());
        QCOMPARE(grid->cellBackground(1, 1), QColor(255, 255, 0));
        QCOMPARE(grid->text(2, 4), QString());
        QCOMPARE(grid->cellBackground(2, 2), QColor(254, 234, 224));
        QCOMPARE(grid->cellBackground(2, 8), QColor(228, 254, 224));
        QVERIFY(!grid->text(1, 2).isEmpty());
        QVERIFY(!grid->text(1, 6).isEmpty());
        QVERIFY(!grid->text(1, 6).contains(QLatin1Char(',')));
        // The previous scan fills columns 7 to 10 of the first rows and the differences follow.
        QCOMPARE(grid->text(1, 7), QStringLiteral("12"));
        QCOMPARE(grid->text(1, 8), QStringLiteral("3"));
        QCOMPARE(grid->text(1, 10), QStringLiteral("1500"));
        QCOMPARE(grid->text(1, 11), QString::number(grid->text(1, 2).toInt() - 12));
        QCOMPARE(grid->text(3, 7), QString());
        QCOMPARE(grid->text(3, 11), grid->text(3, 2));

        QCOMPARE(grid->row(), 1);
        QCOMPARE(ui.busyCalls, (QList<bool>{true, false}));
        // 前回保存 not ticked: the file stays byte for byte.
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/zenkai.csv")), before);

        child<QCheckBox>(&pane, QStringLiteral("ckHOZON"))->setChecked(true);
        QVERIFY(runScan(pane));
        const QString saved = cp932::decode(folder.readBytes(QStringLiteral("DATA/zenkai.csv")));
        const QStringList lines = saved.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 121);  // 120 lines and the last line end
    }

    void thePreviousScanFileAsTheSiteFiguresMakeIt() {
        // The test seller's three listings, frozen: figures written out from the site's pages.
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_test"));
        folder.writeCp932(QStringLiteral("DATA/zenkai.csv"), QStringLiteral("00010,00003,,600\r\n"));
        // The previous scan's file was written at 9:05 (no leading zeros in the label).
        QFile previous(folder.file(QStringLiteral("DATA/zenkai.csv")));
        QVERIFY(previous.open(QIODevice::ReadWrite));
        QVERIFY(previous.setFileTime(QDateTime(QDate(2026, 5, 1), QTime(9, 5)), QFileDevice::FileModificationTime));
        previous.close();
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        child<QCheckBox>(&pane, QStringLiteral("ckHOZON"))->setChecked(true);
        const QTime before = QTime::currentTime();
        QVERIFY(runScan(pane));
        const QTime after = QTime::currentTime();
        QCOMPARE(child<QLabel>(&pane, QStringLiteral("Label12"))->text(), QStringLiteral("前回:9:5"));
        const QString now = child<QLabel>(&pane, QStringLiteral("Label11"))->text();
        QVERIFY2(now == QStringLiteral("現在:%1:%2").arg(before.hour()).arg(before.minute()) ||
                     now == QStringLiteral("現在:%1:%2").arg(after.hour()).arg(after.minute()),
                 qPrintable(now));
        auto* grid = child<Grid>(&pane, QStringLiteral("vbNow"));
        QCOMPARE(grid->rows(), 4);
        // テニスラケット: 12 accesses, 3 watches, 1 bid at 500 円, against 10, 3, none and 600.
        const QStringList first{QStringLiteral("1"), QStringLiteral("テスト出品 テニスラケット"), QStringLiteral("12"),
                                QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("2日"), QStringLiteral("500"),
                                QStringLiteral("10"), QStringLiteral("3"), QString(), QStringLiteral("600"),
                                QStringLiteral("2"), QString(), QStringLiteral("1"), QStringLiteral("-100")};
        for (int c = 0; c < 15; ++c) QCOMPARE(grid->text(1, c), first[c]);
        QCOMPARE(cp932::decode(folder.readBytes(QStringLiteral("DATA/zenkai.csv"))),
                 QStringLiteral("00012,00003,00001,500\r\n00004,,,800\r\n,00001,,1200\r\n"));
    }

    void aTabInAFigureStaysInItsCell() {
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_test"));
        QCOMPARE(sim.control(QStringLiteral("set?id=n123456789&left=2%E6%97%A5%093%E6%99%82%E9%96%93")), QStringLiteral("OK"));
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        QVERIFY(runScan(pane));
        auto* grid = child<Grid>(&pane, QStringLiteral("vbNow"));
        QCOMPARE(grid->text(2, 1), QStringLiteral("テスト出品 野球グローブ"));
        QCOMPARE(grid->text(2, 5), QStringLiteral("2日\t3時間"));
        QCOMPARE(grid->text(2, 6), QStringLiteral("800"));
        QCOMPARE(grid->text(2, 7), QString());
        QCOMPARE(grid->cellBackground(2, 7), QColor(228, 254, 224));
    }

    void aScanThatFailedKeepsThePreviousScan() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("DATA/zenkai.csv"), QStringLiteral("00012,00003,,1500\r\n"));
        const QByteArray before = folder.readBytes(QStringLiteral("DATA/zenkai.csv"));
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        child<QCheckBox>(&pane, QStringLiteral("ckHOZON"))->setChecked(true);
        {
            // Signed out: no list, no rows.
            SiteSimProcess sim;
            sim.writeSiteAddresses();
            QVERIFY(runScan(pane));
            QCOMPARE(folder.readBytes(QStringLiteral("DATA/zenkai.csv")), before);
            QVERIFY(child<QLabel>(&pane, QStringLiteral("lblScan"))->text().contains(QStringLiteral("前回の解析結果をそのまま残しました")));
        }
        {
            // One item page fails: the rows are there, but one has holes.
            SiteSimProcess sim({QStringLiteral("--frozen"), QStringLiteral("--fault"),
                                QStringLiteral("/jp/auction/n123456789=status:500")});
            sim.writeSiteAddresses();
            QVERIFY(signIn(sim, "sorabako_test"));
            QVERIFY(runScan(pane));
            QCOMPARE(child<Grid>(&pane, QStringLiteral("vbNow"))->rows(), 4);
            QCOMPARE(folder.readBytes(QStringLiteral("DATA/zenkai.csv")), before);
        }
        {
            // The site is down.
            SiteAddresses::writeAll(QStringLiteral("http://127.0.0.1:1"));
            QVERIFY(runScan(pane));
            QCOMPARE(folder.readBytes(QStringLiteral("DATA/zenkai.csv")), before);
        }
    }

    void signedOutThereIsNoList() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        QCOMPARE(sim.control(QStringLiteral("clear")), QStringLiteral("OK"));
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        QVERIFY(runScan(pane));
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("出品リストが無いか、Yahooにログインしていません。\r\n確認して下さい。")});
        QCOMPARE(ui.messages[0].title, QStringLiteral("アクセス解析"));
        QCOMPARE(child<Grid>(&pane, QStringLiteral("vbNow"))->rows(), 1);
        QCOMPARE(child<QLabel>(&pane, QStringLiteral("Label12"))->text(), QStringLiteral("前回:"));  // no file: as it was
    }

    void failingPagesAreSaidOnceAndTheirRowsStayEmpty() {
        TempProgramFolder folder;
        // Two of the three item pages fail.
        SiteSimProcess sim({QStringLiteral("--frozen"), QStringLiteral("--fault"), QStringLiteral("/jp/auction/m012345678=status:500"),
                            QStringLiteral("--fault"), QStringLiteral("/jp/auction/n123456789=status:503")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_test"));
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        QVERIFY(runScan(pane));
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("情報を取得できませんでした。")});
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Critical);
        auto* grid = child<Grid>(&pane, QStringLiteral("vbNow"));
        QCOMPARE(grid->rows(), 4);
        QCOMPARE(grid->text(1, 1), QStringLiteral("テスト出品 テニスラケット"));
        QCOMPARE(grid->text(1, 2), QString());
        QCOMPARE(grid->text(2, 2), QString());  // not the figures of the listing before it
        QCOMPARE(grid->text(3, 2), QString());  // サッカーボール: no accesses yet
        QCOMPARE(grid->text(3, 3), QStringLiteral("1"));
        QVERIFY(child<QLabel>(&pane, QStringLiteral("lblScan"))->text().contains(QStringLiteral("取得できなかったページ")));
    }

    void aScanCanBeCancelled() {
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--latency"), QStringLiteral("300")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_demo"));
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        child<QCheckBox>(&pane, QStringLiteral("ckHOZON"))->setChecked(true);
        QSignalSpy finished(&pane, &MyAuctionPane::scanFinished);
        pane.Command2_Click();
        QVERIFY(pane.isScanning());
        QVERIFY(!child<QPushButton>(&pane, QStringLiteral("Command2"))->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(child<QLabel>(&pane, QStringLiteral("lblScan"))->text().contains(QStringLiteral("件")), kScan);
        child<QPushButton>(&pane, QStringLiteral("cmdCancel"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kScan);
        QVERIFY(!pane.isScanning());
        QCOMPARE(child<QLabel>(&pane, QStringLiteral("lblScan"))->text(), QStringLiteral("解析を中止しました。"));
        QCOMPARE(child<Grid>(&pane, QStringLiteral("vbNow"))->rows(), 1);
        QVERIFY(!QFile::exists(folder.file(QStringLiteral("DATA/zenkai.csv"))));  // nothing half-saved
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(ui.busyCalls.last(), false);
    }
};

SORABAKO_GUI_TEST_MAIN(TestMyAuctionPane)
#include "tst_myauctionpane.moc"
