#include <QtTest>

#include <QChartView>
#include <QLineSeries>

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QLabel>
#include <QPushButton>
#include <QProcess>
#include <QThread>

#include "core/Cp932.h"
#include "myauction/MyAuctionPane.h"
#include "myauction/Scan.h"
#include "settings/SiteAddresses.h"
#include "support/Browsing.h"
#include "support/Dialogs.h"
#include "support/HoldDatabase.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Press.h"
#include "widgets/Browser.h"
#include "widgets/Grid.h"

namespace {
constexpr int kScan = 60000;

bool signIn(const SiteSimProcess& sim, const char* account) {
    Browser b;
    return loadAndWait(&b, sim.base() + QStringLiteral("/__sim/signin?login=") + QLatin1String(account));
}

int helper(const QStringList& args) { return args.value(0) == QLatin1String("hold-history") ? holdDatabase(args.value(1)) : 99; }

// The longest the event loop went without a turn while `work` ran: the window answering input.
template <typename Work>
qint64 longestPause(Work work) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        longest = qMax(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    beat.start(20);
    work();
    return qMax(longest, clock.elapsed() - last);
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
    // A listing's record goes into the history; when the history cannot take it the seller
    // hears so (the record itself is in its folder), and the next record is tried again.
    void aListingsRecordThatTheHistoryCannotTakeIsSaid() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        HistoryStore::Listed listed;
        listed.auctionId = QStringLiteral("x100000001");
        listed.listedAt = QDateTime::currentDateTime();
        listed.title = QStringLiteral("テスト出品 カメラ");
        listed.confirmation = {{QStringLiteral("タイトル"), listed.title}};
        QVERIFY(QDir(folder.file(QStringLiteral("DATA"))).removeRecursively());
        QSignalSpy recorded(&pane, &MyAuctionPane::listingRecorded);
        pane.recordListing(listed);
        QVERIFY(recorded.wait(10000));
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messageTexts().first().startsWith(
            QStringLiteral("出品記録をアクセス解析の履歴に保存できませんでした。記録は出品記録のフォルダに残っています。")));
        // Why, in the seller's words: the folder the history belongs in is gone.
        QVERIFY(ui.messageTexts().first().contains(QStringLiteral("x100000001：履歴のフォルダがありません。")));

        // The folder is back: the next record goes in.
        QVERIFY(QDir().mkpath(folder.file(QStringLiteral("DATA"))));
        ui.messages.clear();
        listed.auctionId = QStringLiteral("x100000002");
        pane.recordListing(listed);
        QVERIFY(recorded.wait(10000));
        QVERIFY(ui.messages.isEmpty());
        HistoryStore history(folder.file(QStringLiteral("DATA/rireki.sqlite")));
        QCOMPARE(history.open(), HistoryStore::Opened::Ok);
        QVERIFY(history.listed(QStringLiteral("x100000002")));
        QVERIFY(!history.listed(QStringLiteral("x100000001")));
    }

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
        const QStringList first{QStringLiteral("1"),
                                QStringLiteral("テスト出品 テニスラケット"),
                                QStringLiteral("12"),
                                QStringLiteral("3"),
                                QStringLiteral("1"),
                                QStringLiteral("2日"),
                                QStringLiteral("500"),
                                QStringLiteral("10"),
                                QStringLiteral("3"),
                                QString(),
                                QStringLiteral("600"),
                                QStringLiteral("2"),
                                QString(),
                                QStringLiteral("1"),
                                QStringLiteral("-100")};
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
            SiteSimProcess sim(
                {QStringLiteral("--frozen"), QStringLiteral("--fault"), QStringLiteral("/jp/auction/n123456789=status:500")});
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

    void signedOutOrNothingListedEachSayWhich() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        QCOMPARE(sim.control(QStringLiteral("clear")), QStringLiteral("OK"));
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        // Signed out, the site shows its sign-in form instead of the list: signing in is the remedy.
        QVERIFY(runScan(pane));
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("Yahooにログインしていません。\r\nログインしてから再度解析して下さい。")});
        QCOMPARE(ui.messages[0].title, QStringLiteral("アクセス解析"));
        QCOMPARE(child<Grid>(&pane, QStringLiteral("vbNow"))->rows(), 1);
        QCOMPARE(child<QLabel>(&pane, QStringLiteral("Label12"))->text(), QStringLiteral("前回:"));  // no file: as it was

        // Signed in with nothing listed: the list is there, and empty.
        QVERIFY(signIn(sim, "sorabako_test"));
        for (const char* id : {"m012345678", "n123456789", "p234567890"})
            QCOMPARE(sim.control(QStringLiteral("end?id=") + QLatin1String(id)), QStringLiteral("OK"));
        ui.messages.clear();
        QVERIFY(runScan(pane));
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("出品リストが無いか、Yahooにログインしていません。\r\n確認して下さい。")});
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
        QCOMPARE(ui.messagesBesidesEvidence(), QStringList{QStringLiteral("情報を取得できませんでした。")});
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
        press(&pane, "Command2");
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

    void listingsAddedAndEndedBetweenScansAreComparedById() {
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_test"));
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        child<QCheckBox>(&pane, QStringLiteral("ckHOZON"))->setChecked(true);
        QVERIFY(runScan(pane));
        auto* notice = child<QLabel>(&pane, QStringLiteral("Label45"));
        QCOMPARE(notice->text(),
                 QStringLiteral("※追加出品、出品終了分がある時は前回値がズレて正常に比較できません。"));  // nothing known yet

        // Between the scans: 野球グローブ ends, a new listing comes, テニスラケット and サッカーボール are looked at.
        QCOMPARE(sim.control(QStringLiteral("end?id=n123456789")), QStringLiteral("OK"));
        QCOMPARE(
            sim.control(QStringLiteral(
                "add?account=sorabako_test&id=q345678901&title=%E3%83%86%E3%82%B9%E3%83%88%E5%87%BA%E5%93%81%20%E3%83%90%E3%83%89%E3%83%9F%E3%83%B3%E3%83%88%E3%83%B3&access=2&price=900")),
            QStringLiteral("OK"));
        QCOMPARE(sim.control(QStringLiteral("set?id=m012345678&access=20")), QStringLiteral("OK"));
        QCOMPARE(sim.control(QStringLiteral("set?id=p234567890&access=7&watch=3")), QStringLiteral("OK"));
        QVERIFY(runScan(pane));
        auto* grid = child<Grid>(&pane, QStringLiteral("vbNow"));
        QCOMPARE(grid->rows(), 4);
        // Row 1, テニスラケット: 12 → 20 accesses.
        QCOMPARE(grid->text(1, 1), QStringLiteral("テスト出品 テニスラケット"));
        QCOMPARE(grid->text(1, 11), QStringLiteral("8"));
        // Row 2 is now サッカーボール (row 3 before): against its own 0 accesses and 1 watch, not the glove's 4.
        QCOMPARE(grid->text(2, 1), QStringLiteral("テスト出品 サッカーボール"));
        QCOMPARE(grid->text(2, 7), QString());
        QCOMPARE(grid->text(2, 8), QStringLiteral("1"));
        QCOMPARE(grid->text(2, 11), QStringLiteral("7"));
        QCOMPARE(grid->text(2, 12), QStringLiteral("2"));
        // Row 3, the new listing: marked, with nobody's previous figures, and no difference
        // (its 900 yen is its price, not a rise of 900).
        QCOMPARE(grid->text(3, 1), QStringLiteral("テスト出品 バドミントン"));
        QCOMPARE(grid->text(3, 7), QStringLiteral("新規"));
        QCOMPARE(grid->text(3, 8), QString());
        for (int c = 11; c <= 14; ++c) QCOMPARE(grid->text(3, c), QString());
        QCOMPARE(grid->cellBackground(3, 7), QColor(0xD6, 0xEA, 0xF8));
        QVERIFY(
            child<QLabel>(&pane, QStringLiteral("lblScan"))->text().contains(QStringLiteral("新規出品 1 件、前回から終了した出品 1 件")));
        QCOMPARE(notice->text(), QStringLiteral("※前回値は、同じ出品（オークションID）の前回の解析結果と比べています。"));
        // The previous-scan file is still the one the rows make, line by line and by position.
        QCOMPARE(cp932::decode(folder.readBytes(QStringLiteral("DATA/zenkai.csv"))),
                 QStringLiteral("00020,00003,00001,500\r\n00007,00003,,1200\r\n00002,,,900\r\n"));
        QVERIFY(ui.messages.isEmpty());

        // The history of サッカーボール: both scans, in the window a double-click opens, and as CSV.
        ui.saveNames << folder.file(QStringLiteral("DATA/ball.csv"));
        DialogHandler window(QStringLiteral("frmRIREKI"), [](QDialog* d) {
            auto* table = d->findChild<Grid*>(QStringLiteral("vbRIREKI"));
            QCOMPARE(table->rows(), 3);
            QCOMPARE(table->text(1, 1), QString());
            QCOMPARE(table->text(2, 1), QStringLiteral("7"));
            QCOMPARE(table->text(2, 2), QStringLiteral("3"));
            QVERIFY(d->findChild<QLabel*>(QStringLiteral("lblTitle"))->text().contains(QStringLiteral("p234567890")));
            // The chart: accesses, watches, bids and price, a point per scan; accesses 0 then 7.
            QChart* chart = d->findChild<QChartView*>(QStringLiteral("chtRIREKI"))->chart();
            QCOMPARE(chart->series().size(), 4);
            auto* access = qobject_cast<QLineSeries*>(chart->series().at(0));
            QCOMPARE(access->name(), QStringLiteral("アクセス"));
            QCOMPARE(access->count(), 2);
            QCOMPARE(access->at(0).y(), 0.0);
            QCOMPARE(access->at(1).y(), 7.0);
            d->findChild<QPushButton*>(QStringLiteral("cmdCSV"))->click();
            d->accept();
        });
        pane.resize(1000, 500);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        const QRect cell = grid->visualRect(grid->model()->index(1, 1));
        // A widget double-click in QTest is the second click only; the view wants the first.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(window.handled());
        const QStringList csv = cp932::decode(folder.readBytes(QStringLiteral("DATA/ball.csv"))).split(QStringLiteral("\r\n"));
        QCOMPARE(csv.size(), 4);  // the header, two scans, the last line end
        QCOMPARE(csv[0], QStringLiteral("日時,オークションID,タイトル,アクセス,ウォッチ,入札,残り時間,価格"));
        QVERIFY(csv[2].endsWith(QStringLiteral(",p234567890,テスト出品 サッカーボール,7,3,,5時間,1200")));
    }

    void theBaseIsTheLastScanTheSellerKept() {
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_test"));
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        auto* keep = child<QCheckBox>(&pane, QStringLiteral("ckHOZON"));
        auto* grid = child<Grid>(&pane, QStringLiteral("vbNow"));
        auto* label12 = child<QLabel>(&pane, QStringLiteral("Label12"));
        keep->setChecked(true);
        QVERIFY(runScan(pane));  // テニスラケット: 12 accesses, kept
        const QByteArray kept = folder.readBytes(QStringLiteral("DATA/zenkai.csv"));
        const QString keptAt = child<QLabel>(&pane, QStringLiteral("Label11"))->text().mid(3);  // after 現在:
        // Two looks without 前回保存: neither becomes the base.
        keep->setChecked(false);
        QCOMPARE(sim.control(QStringLiteral("set?id=m012345678&access=20")), QStringLiteral("OK"));
        QVERIFY(runScan(pane));
        QCOMPARE(grid->text(1, 7), QStringLiteral("12"));
        QCOMPARE(sim.control(QStringLiteral("set?id=m012345678&access=25")), QStringLiteral("OK"));
        QVERIFY(runScan(pane));
        QCOMPARE(grid->text(1, 2), QStringLiteral("25"));
        QCOMPARE(grid->text(1, 7), QStringLiteral("12"));
        QCOMPARE(grid->text(1, 11), QStringLiteral("13"));
        QCOMPARE(label12->text(), QStringLiteral("前回:") + keptAt);
        QCOMPARE(child<QLabel>(&pane, QStringLiteral("Label45"))->text(),
                 QStringLiteral("※前回値は、同じ出品（オークションID）の前回の解析結果と比べています。"));
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/zenkai.csv")), kept);
        QVERIFY(ui.messages.isEmpty());
    }

    // Another program holds the history while kept scans end: each is kept waiting, and said so;
    // the next scan meanwhile compares with the last one by position, never with the history's
    // older one. Once the history is free they are stored, each once, and the comparison is by
    // ID again. Scans still waiting when the program ends are stored at its next start.
    void scansTheHistoryCouldNotTakeWaitAndAreStoredOnce() {
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_test"));
        RecordingUiServices ui;
        const QString path = folder.file(QStringLiteral("DATA/rireki.sqlite"));
        const QString pending = folder.file(QStringLiteral("DATA/rireki.pending.json"));
        const auto scansStored = [&] {
            HistoryStore h(path);
            return h.open() == HistoryStore::Opened::Ok ? h.scanTimes().size() : -1;
        };
        {
            MyAuctionPane pane(ui);
            pane.setPendingRetry(200);
            auto* grid = child<Grid>(&pane, QStringLiteral("vbNow"));
            auto* status = child<QLabel>(&pane, QStringLiteral("lblScan"));
            child<QCheckBox>(&pane, QStringLiteral("ckHOZON"))->setChecked(true);
            QVERIFY(runScan(pane));  // 12 accesses, kept and stored

            QCOMPARE(sim.control(QStringLiteral("set?id=m012345678&access=20")), QStringLiteral("OK"));
            QProcess other;
            other.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--helper"), QStringLiteral("hold-history"), path});
            QVERIFY(other.waitForReadyRead(20000));
            QCOMPARE(other.readAll().trimmed(), QByteArray("held"));
            bool scanned = false;
            const qint64 pause = longestPause([&] { scanned = runScan(pane); });
            QVERIFY(scanned);
            // The window kept answering while the history waited for the other program.
            QVERIFY2(pause < 1000, qPrintable(QStringLiteral("the window stood still for %1 ms").arg(pause)));
            QCOMPARE(
                ui.messageTexts(),
                QStringList{QStringLiteral("アクセス解析の履歴を保存できませんでした。\r\n") + path +
                            QStringLiteral(
                                "\r\n他のプログラムが使用中か、書き込めません。\r\n"
                                "この解析結果は保存待ちとして残し、履歴が使えるようになったら保存します（次の起動時にも保存します）。")});
            QVERIFY2(status->text().contains(QStringLiteral("解析結果 1 回分を保存待ちにしています")), qPrintable(status->text()));
            QVERIFY(folder.readBytes(QStringLiteral("DATA/zenkai.csv")).startsWith("00020,"));

            // Still held at the next scan: compared with that scan (20) by position, and said.
            ui.messages.clear();
            QCOMPARE(sim.control(QStringLiteral("set?id=m012345678&access=25")), QStringLiteral("OK"));
            QVERIFY(runScan(pane));
            QCOMPARE(grid->text(1, 7), QStringLiteral("20"));
            QCOMPARE(grid->text(1, 11), QStringLiteral("5"));
            QVERIFY(child<QLabel>(&pane, QStringLiteral("Label45"))
                        ->text()
                        .startsWith(QStringLiteral("※前回保存した解析結果が履歴に無いため")));
            QVERIFY(status->text().contains(QStringLiteral("前回値は位置で比べました")));
            QVERIFY(status->text().contains(QStringLiteral("解析結果 2 回分を保存待ちにしています")));
            QCOMPARE(scansStored(), 1);

            // Free: both stored, once each, without a scan, and said.
            other.write("\n");
            other.closeWriteChannel();
            QVERIFY(other.waitForFinished(20000));
            QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(pending), 20000);
            QCOMPARE(scansStored(), 3);
            QTRY_VERIFY(status->text().endsWith(QStringLiteral("保存を待っていた解析結果（2 回分）を履歴に保存しました。")));

            // By ID again, with the last kept scan (25).
            ui.messages.clear();
            QCOMPARE(sim.control(QStringLiteral("set?id=m012345678&access=30")), QStringLiteral("OK"));
            QVERIFY(runScan(pane));
            QCOMPARE(grid->text(1, 7), QStringLiteral("25"));
            QCOMPARE(child<QLabel>(&pane, QStringLiteral("Label45"))->text(),
                     QStringLiteral("※前回値は、同じ出品（オークションID）の前回の解析結果と比べています。"));
            QVERIFY(ui.messages.isEmpty());
            QCOMPARE(scansStored(), 4);

            // Held as the program ends (no retry before it does).
            pane.setPendingRetry(3600 * 1000);
            other.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--helper"), QStringLiteral("hold-history"), path});
            QVERIFY(other.waitForReadyRead(20000));
            QVERIFY(runScan(pane));
            QVERIFY(QFile::exists(pending));
            other.write("\n");
            other.closeWriteChannel();
            QVERIFY(other.waitForFinished(20000));
        }
        QCOMPARE(scansStored(), 4);
        MyAuctionPane next(ui);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(pending), 20000);
        QCOMPARE(scansStored(), 5);
    }

    void aDamagedOrLockedHistoryLeavesTheScanAsItWas() {
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_test"));
        QFile damaged(folder.file(QStringLiteral("DATA/rireki.sqlite")));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(3000, '\x7f'));
        damaged.close();
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        child<QCheckBox>(&pane, QStringLiteral("ckHOZON"))->setChecked(true);
        QVERIFY(runScan(pane));
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.startsWith(QStringLiteral("アクセス解析の履歴が壊れていたため、次の名前で残して新しく始めます。")));
        QCOMPARE(child<Grid>(&pane, QStringLiteral("vbNow"))->rows(), 4);
        QVERIFY(QDir(folder.file(QStringLiteral("DATA"))).entryList({QStringLiteral("rireki.sqlite.damaged-*")}).size() == 1);
        QVERIFY(folder.readBytes(QStringLiteral("DATA/zenkai.csv")).startsWith("00012,00003,00001,500"));

        // Another program holds the history's write lock: the scan, the grid and zenkai.csv go on.
        folder.writeCp932(QStringLiteral("DATA/zenkai.csv"), QString());
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other program"));
            db.setDatabaseName(folder.file(QStringLiteral("DATA/rireki.sqlite")));
            QVERIFY(db.open());
            QSqlQuery hold(db);
            QVERIFY(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            ui.messages.clear();
            QVERIFY(runScan(pane));
            QCOMPARE(ui.messages.size(), 1);
            QVERIFY(ui.messages[0].text.startsWith(QStringLiteral("アクセス解析の履歴を保存できませんでした。")));
            QCOMPARE(child<Grid>(&pane, QStringLiteral("vbNow"))->rows(), 4);
            QVERIFY(folder.readBytes(QStringLiteral("DATA/zenkai.csv")).startsWith("00012,00003,00001,500"));
            hold.exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other program"));
    }
};

SORABAKO_GUI_TEST_MAIN_WITH_HELPER(TestMyAuctionPane, helper)
#include "tst_myauctionpane.moc"
