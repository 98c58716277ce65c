#include <QtTest>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <csignal>
#include <sys/stat.h>

#include "app/fMain.h"
#include "core/Cp932.h"
#include "core/Csv.h"
#include "core/ProgramFolder.h"
#include "myauction/MyAuctionPane.h"
#include "store/HistoryStore.h"
#include "settings/SiteAddresses.h"
#include "listing/queue/ListingQueue.h"
#include "listing/records/ListingRecord.h"
#include "listing/queue/QueueRun.h"
#include "listing/form/SiteFormPane.h"
#include "listing/records/frmKIROKU.h"
#include "listing/queue/frmQUEUE.h"
#include "support/Browsing.h"
#include "support/Dialogs.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/SmallDisk.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Quiet.h"
#include "widgets/Browser.h"
#include "widgets/Grid.h"

using listingqueue::State;

namespace {
constexpr int kLoad = 30000;

// A listing as a seller saves it: the listing pane's keys, its category and its pictures.
QString listingFile(const TempProgramFolder& folder, const QString& name, const QString& title, const QString& price, int category,
                    const QStringList& pictures) {
    QString text = QStringLiteral(
                       "[出品手続]\r\nタイトル=%1\r\n説明=<p>%1 の説明です。</p>\\n<p>動作確認済み。</p>\r\n数量=1\r\n開始価格=%2\r\n"
                       "期間=3\r\nかんたん決済=1\r\n落札者が負担=True\r\n出品者が負担=False\r\n支払い終了時に発送=True\r\n"
                       "ｵｰｸｼｮﾝ終了時に発送=False\r\n都道府県=18\r\n市町村=甲府市\r\n終了時間=21\r\n"
                       "[出品カテゴリと画像]\r\nカテゴリ=（%3）\r\nカテゴリのアドレス=/jp/submit/category?c=%3\r\n")
                       .arg(title, price)
                       .arg(category);
    for (int i = 0; i < pictures.size(); ++i) text += QStringLiteral("画像%1=%2\r\n").arg(i + 1).arg(pictures[i]);
    folder.writeCp932(QStringLiteral("USER/") + name, text);
    return folder.file(QStringLiteral("USER/") + name);
}

QString picture(const TempProgramFolder& folder, const QString& name, QColor colour) {
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = folder.file(QStringLiteral("USER/") + name);
    image.save(path);
    return path;
}

// Waits, with the engine running, until the row is in `state` (or the time is up).
bool reaches(QueueRun& run, int id, State state, int ms = 60000) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        const listingqueue::Row* row = run.queue().row(id);
        if (row && row->state == state) return true;
        QSignalSpy changed(&run, &QueueRun::changed);
        changed.wait(500);
    }
    const listingqueue::Row* row = run.queue().row(id);
    qWarning() << "row" << id << "is"
               << (row ? listingqueue::stateText(row->state) + QLatin1Char(' ') + row->reason : QStringLiteral("gone"));
    return false;
}

QString cell(Browser* wb, const char* id) {
    return wb->evaluate(QStringLiteral("return document.getElementById('%1').innerText;").arg(QLatin1String(id))).text().trimmed();
}

// The seller reads the site's confirmation page and presses its final button.
bool pressFinalButton(Browser* wb) { return wb->clickById(QStringLiteral("agree")).ok(); }

int count(const QString& submissions, const QString& start) {
    int n = 0;
    for (const QString& line : submissions.split(QLatin1Char('\n')))
        if (line.startsWith(start)) ++n;
    return n;
}

// The row's form has gone to the site and the queue is at `step` (empty: any step after it).
bool sentAndAt(QueueRun& run, int id, const QString& step = QString()) {
    const listingqueue::Row* row = run.queue().row(id);
    return row && row->state == State::Entering && row->sent && (step.isEmpty() || run.stepText() == step);
}

listingqueue::Row rowAfterRestart(int at) {
    listingqueue::Queue queue(listingqueue::queueFile());
    queue.load(nullptr);
    queue.recover();
    return queue.rows().value(at);
}

bool signIn(const SiteSimProcess& sim, Browser* wb) {
    return loadAndWait(wb, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo"), kLoad);
}
}  // namespace

class TestQueue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Three saved listings, one after another, each up to the site's confirmation page; the
    // seller presses the final button each time. Each goes out once, with its pictures, and
    // its record reopens with the values that went out.
    void threeListingsGoOutOneAfterAnother() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        QVERIFY(signIn(sim, w.WB()));
        const QString red = picture(folder, QStringLiteral("赤.png"), QColor(200, 20, 20));
        const QString green = picture(folder, QStringLiteral("緑.png"), QColor(20, 160, 20));
        const QString blue = picture(folder, QStringLiteral("青.png"), QColor(20, 20, 200));
        const QStringList files{
            listingFile(folder, QStringLiteral("一眼.srb"), QStringLiteral("ソラ光学 SK-300 ボディ"), QStringLiteral("25000"), 23634,
                        {red, green}),
            listingFile(folder, QStringLiteral("文庫.srb"), QStringLiteral("空箱文庫 10冊まとめて"), QStringLiteral("800"), 21601, {blue}),
            listingFile(folder, QStringLiteral("時計.srb"), QStringLiteral("雲雀時計 懐中時計"), QStringLiteral("3000"), 20002, {}),
        };
        w.siteFormPane()->findChild<QPushButton*>(QStringLiteral("cmdQUEUE"))->click();
        frmQUEUE* window = w.findChild<frmQUEUE*>(QStringLiteral("frmQUEUE"));
        QVERIFY(window && window->isVisible());
        for (const QString& f : files) ui.openNames << f;
        // The seller's dialog gives one file at a time here; three clicks.
        for (int i = 0; i < 3; ++i) child<QPushButton>(window, QStringLiteral("cmdADD"))->click();
        auto* table = child<QTableWidget>(window, QStringLiteral("lvQUEUE"));
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("ソラ光学 SK-300 ボディ"));
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("2"));
        QCOMPARE(table->item(2, 3)->text(), QStringLiteral("待機"));
        QueueRun& run = *w.queueRun();
        child<QCheckBox>(window, QStringLiteral("chkAUTO"))->setChecked(true);
        child<QPushButton>(window, QStringLiteral("cmdSTART"))->click();

        const QList<QStringList> names{{QStringLiteral("赤.jpg"), QStringLiteral("緑.jpg")}, {QStringLiteral("青.jpg")}, {}};
        const QStringList titles{QStringLiteral("ソラ光学 SK-300 ボディ"), QStringLiteral("空箱文庫 10冊まとめて"),
                                 QStringLiteral("雲雀時計 懐中時計")};
        QStringList ids;
        for (int i = 0; i < 3; ++i) {
            const int row = run.queue().rows().at(i).id;
            QVERIFY(reaches(run, row, State::AtConfirmation));
            QCOMPARE(table->item(i, 3)->text(), QStringLiteral("確認待ち"));
            Browser* wb = w.WB();
            QCOMPARE(wb->documentTitle().text(), QStringLiteral("Yahoo!オークション - 出品内容の確認"));
            QCOMPARE(cell(wb, "cTitle"), titles[i]);
            QCOMPARE(cell(wb, "cRegion"), QStringLiteral("山梨県 甲府市"));
            QCOMPARE(cell(wb, "cDuration"), QStringLiteral("5日間"));
            QCOMPARE(cell(wb, "cImages").split(QLatin1Char(' '), Qt::SkipEmptyParts),
                     names[i].isEmpty() ? QStringList{QStringLiteral("なし")} : names[i]);
            // The program waits here: nothing is listed until the seller presses.
            QVERIFY(staysQuietFor(300, [&] { return count(sim.control(QStringLiteral("submissions")), QStringLiteral("listed ")) != i; }));
            QVERIFY(pressFinalButton(wb));
            QVERIFY(reaches(run, row, State::Listed));
            ids << run.queue().row(row)->auctionId;
            QVERIFY(table->item(i, 4)->text().startsWith(QLatin1Char('x')));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!run.running(), 5000);

        // The site saw each listing once, each confirmed once, with its pictures.
        const QString seen = sim.control(QStringLiteral("submissions"));
        QCOMPARE(count(seen, QStringLiteral("listed ")), 3);
        QVERIFY2(seen.startsWith(QStringLiteral("drafts 3\nwithout-draft 0\n")), qPrintable(seen));
        for (int i = 0; i < 3; ++i)
            QVERIFY2(seen.contains(QStringLiteral("listed %1 draft %2 confirmations 1 images %3 %4")
                                       .arg(ids[i])
                                       .arg(i + 1)
                                       .arg(names[i].size())
                                       .arg(titles[i])),
                     qPrintable(seen));
        QImage second;
        QVERIFY(second.loadFromData(sim.controlBytes(QStringLiteral("picture?id=%1&n=1").arg(ids[0]))));
        QVERIFY(qGreen(second.pixel(60, 45)) > 120 && qRed(second.pixel(60, 45)) < 60);  // 緑 second, as ordered

        // The open listings show the three.
        QString selling;
        for (int page = 1; page <= 4; ++page) {
            QVERIFY(loadAndWait(w.WB(), SiteAddresses::sellingUrl() + QStringLiteral("&page=%1").arg(page), kLoad));
            selling += w.WB()->bodyText().text();
        }
        for (int i = 0; i < 3; ++i) QVERIFY2(selling.contains(titles[i]), qPrintable(titles[i]));

        // Every record reopens with what went out, whatever its memory file becomes.
        listingFile(folder, QStringLiteral("一眼.srb"), QStringLiteral("書き換えた後"), QStringLiteral("1"), 23634, {});
        const QList<listingrecord::Record> records = listingrecord::all();
        QCOMPARE(records.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const auto r =
                std::find_if(records.begin(), records.end(), [&](const listingrecord::Record& x) { return x.auctionId == ids[i]; });
            QVERIFY(r != records.end());
            QCOMPARE(r->title, titles[i]);
            QVERIFY(r->confirmation.contains({QStringLiteral("タイトル"), titles[i]}));
            QVERIFY(r->description.contains(QStringLiteral("の説明です。")));
            QVERIFY(w.ReadFile(listingrecord::memoryFileOf(*r)));
            QCOMPARE(w.siteFormPane()->title(), titles[i]);
        }
        QCOMPARE(records.last().categoryAddress.endsWith(QStringLiteral("c=23634")), true);

        // The history knows each listing's record: after a scan, the listing's history window
        // shows how it went out, and 出品記録を開く takes the seller to it.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                HistoryStore h(ProgramFolder::data() + QStringLiteral("rireki.sqlite"));
                return h.open() == HistoryStore::Opened::Ok && h.listed(ids[0]) && h.listed(ids[1]) && h.listed(ids[2]);
            }(),
            10000);
        MyAuctionPane* scan = w.myAuctionPane();
        QSignalSpy scanned(scan, &MyAuctionPane::scanFinished);
        child<QPushButton>(scan, QStringLiteral("Command2"))->click();
        QVERIFY(scanned.wait(60000));
        auto* grid = child<Grid>(scan, QStringLiteral("vbNow"));
        int camera = 0;
        for (int r = 1; r < grid->rows() && !camera; ++r)
            if (grid->text(r, 1) == titles[0]) camera = r;
        QVERIFY(camera > 0);
        bool shown = false;
        DialogHandler history(QStringLiteral("frmRIREKI"), [&](QDialog* d) {
            shown = true;
            QTimer::singleShot(0, d, &QDialog::reject);  // closed whatever fails below
            auto* label = d->findChild<QLabel*>(QStringLiteral("lblKIROKU"));
            QVERIFY(label);
            // The path as the site showed it on the way, not the file's placeholder.
            QVERIFY2(label->text().contains(QStringLiteral("カテゴリ：家電、AV、カメラ > カメラ、光学機器 > デジタル一眼")),
                     qPrintable(label->text()));
            auto* rows = d->findChild<Grid*>(QStringLiteral("vbKIROKU"));
            QVERIFY(rows);
            bool titleRow = false;
            for (int r = 1; r < rows->rows(); ++r)
                titleRow = titleRow || (rows->text(r, 0) == QStringLiteral("タイトル") && rows->text(r, 1) == titles[0]);
            QVERIFY(titleRow);
            auto* open = d->findChild<QPushButton*>(QStringLiteral("cmdKIROKU"));
            QVERIFY(open && open->isVisible());
            open->click();
        });
        scan->showHistory(camera);
        QVERIFY(shown);
        frmKIROKU* found = w.findChild<frmKIROKU*>(QStringLiteral("frmKIROKU"));
        QVERIFY(found && found->isVisible());
        QCOMPARE(child<QTableWidget>(found, QStringLiteral("lvKIROKU"))->rowCount(), 1);
        QCOMPARE(child<QTableWidget>(found, QStringLiteral("lvKIROKU"))->item(0, 0)->text(), ids[0]);

        // 出品記録: found by title, and put back into the queue with its start price lowered.
        w.showRecords();
        frmKIROKU* kiroku = w.findChild<frmKIROKU*>(QStringLiteral("frmKIROKU"));
        QVERIFY(kiroku);
        child<QLineEdit>(kiroku, QStringLiteral("txtKIROKU"))->setText(QStringLiteral("SK-300"));
        QCOMPARE(child<QTableWidget>(kiroku, QStringLiteral("lvKIROKU"))->rowCount(), 1);
        QVERIFY(child<QPlainTextEdit>(kiroku, QStringLiteral("txtDETAIL"))->toPlainText().contains(QStringLiteral("開始価格：25000 円")));
        child<QSpinBox>(kiroku, QStringLiteral("spnNESAGE"))->setValue(10);
        child<QPushButton>(kiroku, QStringLiteral("cmdRELIST"))->click();
        QCOMPARE(run.queue().rows().size(), 4);
        QCOMPARE(table->rowCount(), 4);                                                // the open queue shows it at once
        QCOMPARE(rowAfterRestart(3).title, QStringLiteral("ソラ光学 SK-300 ボディ"));  // and it is in the file
        const listingqueue::Row again = run.queue().rows().last();
        QCOMPARE(again.state, State::Waiting);
        QCOMPARE(again.title, QStringLiteral("ソラ光学 SK-300 ボディ"));
        QFile relisted(again.file);
        QVERIFY(relisted.open(QIODevice::ReadOnly));
        QVERIFY(cp932::decode(relisted.readAll()).contains(QStringLiteral("開始価格=22500")));
    }

    // The seller's last page has not finished loading when 開始 is pressed (a slow page, the
    // last listing's completion page): its end is no answer of the category's.
    void aPageStillLoadingWhenTheQueueStarts() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--latency"), QStringLiteral("300")});
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        QVERIFY(signIn(sim, w.WB()));
        QueueRun& run = *w.queueRun();
        run.setStepWait(5000);
        // The page has its title, and the program is still at work on it.
        w.WB()->Navigate2(SiteAddresses::submitStartUrl());
        QDeadlineTimer titled(10000);
        while (w.WB()->documentTitle().text() != QStringLiteral("Yahoo!オークション - 出品") && !titled.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        run.queue().add(
            {listingFile(folder, QStringLiteral("遅い.srb"), QStringLiteral("遅いページの後"), QStringLiteral("500"), 21601, {})});
        const int id = run.queue().rows().last().id;
        run.start();
        QVERIFY(reaches(run, id, State::AtConfirmation, 30000));
        QCOMPARE(cell(w.WB(), "cTitle"), QStringLiteral("遅いページの後"));
    }

    // Whatever goes wrong on the way, the row says why, the page is kept, the queue waits, and
    // nothing reaches the site twice.
    void aFaultAtEveryStepStopsTheRowAndNothingIsSentTwice() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        QueueRun& run = *w.queueRun();
        run.setStepWait(3000);
        run.setGoOnAtOnce(false);
        const QString pic = picture(folder, QStringLiteral("写真.png"), QColor(90, 90, 90));

        struct Case {
            const char* name;
            std::function<void()> arrange;
            int category;
            QStringList pictures;
            QString reason;  // the start of the row's reason
        };
        const QList<Case> cases{
            {"signed out",
             [&] {
                 QVERIFY(signIn(sim, w.WB()));
                 sim.control(QStringLiteral("clear"));
             },
             23634,
             {},
             QStringLiteral("出品フォームの途中でログインを求められました")},
            {"no such category",
             [&] { QVERIFY(signIn(sim, w.WB())); },
             99999,
             {},
             QStringLiteral("カテゴリ「（99999）」のページを表示できませんでした。サイトにこのカテゴリが無くなったかもしれません。")},
            {"renamed field",
             [&] { sim.control(QStringLiteral("rename?fields=Quantity")); },
             23634,
             {},
             QStringLiteral("出品フォームに入らなかった項目があります: 数量")},
            {"form fails",
             [&] {
                 sim.control(QStringLiteral("rename?fields="));
                 sim.control(QStringLiteral("fault?path=/jp/submit/form&kind=status:500"));
             },
             23634,
             {},
             QStringLiteral("出品フォームのページを表示できませんでした")},
            {"refused picture",
             [&] {
                 sim.control(QStringLiteral("clear"));
                 QVERIFY(signIn(sim, w.WB()));
                 sim.control(QStringLiteral("picturelimit?bytes=200"));
             },
             23634,
             {pic},
             QStringLiteral("「写真.png」はサイトに受け付けられませんでした。\r\n画像は3枚まで、1枚あたり5MBまでです。")},
            {"confirmation stalls",
             [&] {
                 sim.control(QStringLiteral("picturelimit?bytes=5242880"));
                 sim.control(QStringLiteral("fault?path=/jp/submit/confirm&kind=stall"));
             },
             23634,
             {},
             QStringLiteral("確認画面のページがサイトから返ってきませんでした（3秒待ちました）")},
        };
        for (const Case& c : cases) {
            c.arrange();
            const QString file = listingFile(folder, QStringLiteral("%1.srb").arg(QLatin1String(c.name)), QString::fromLatin1(c.name),
                                             QStringLiteral("1000"), c.category, c.pictures);
            run.queue().add({file});
            const int id = run.queue().rows().last().id;
            run.start();
            QVERIFY2(reaches(run, id, State::NeedsCheck, 40000), c.name);
            const listingqueue::Row* row = run.queue().row(id);
            QVERIFY2(row->reason.startsWith(c.reason), qPrintable(row->reason));
            QVERIFY2(row->reason.contains(QStringLiteral("診断")), qPrintable(row->reason));  // where the page was kept
            QVERIFY(!run.running());
            // The queue waits for the seller, and 開始 never takes a row that needs looking at.
            run.start();
            QVERIFY(staysQuietFor(200, [&] { return run.queue().row(id)->state != State::NeedsCheck; }));
        }
        QVERIFY2(ui.messagesBesidesEvidence().isEmpty(), qPrintable(ui.messagesBesidesEvidence().join(QStringLiteral(" | "))));
        const QString seen = sim.control(QStringLiteral("submissions"));
        QCOMPARE(count(seen, QStringLiteral("listed ")), 0);
        QVERIFY2(seen.contains(QStringLiteral("without-draft 0")), qPrintable(seen));

        // After the confirmation page, any other page than the completion is 要確認, never entered again.
        sim.control(QStringLiteral("clear"));
        QVERIFY(signIn(sim, w.WB()));
        run.queue().add({listingFile(folder, QStringLiteral("離脱.srb"), QStringLiteral("離脱"), QStringLiteral("500"), 21601, {})});
        const int left = run.queue().rows().last().id;
        run.start();
        QVERIFY(reaches(run, left, State::AtConfirmation));
        QVERIFY(loadAndWait(w.WB(), SiteAddresses::submitStartUrl(), kLoad));
        QVERIFY(reaches(run, left, State::NeedsCheck));
        QVERIFY(run.queue().row(left)->reason.startsWith(QStringLiteral("確認画面の後、出品完了のページが表示されませんでした")));
        QVERIFY(!run.queue().backToWaiting(left));  // only the seller puts it back
        run.start();
        QVERIFY2(staysQuietFor(500, [&] { return !sim.control(QStringLiteral("submissions")).contains(QStringLiteral("drafts 3\n")); }),
                 qPrintable(sim.control(QStringLiteral("submissions"))));
    }

    // The program killed on the confirmation page and started again: that row is 要確認, the
    // next start takes the next row, and the first is never entered again.
    void killedOnTheConfirmationPage() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        const QString first = listingFile(folder, QStringLiteral("一.srb"), QStringLiteral("一つ目"), QStringLiteral("1000"), 21601, {});
        const QString second = listingFile(folder, QStringLiteral("二.srb"), QStringLiteral("二つ目"), QStringLiteral("1000"), 21601, {});
        {
            listingqueue::Queue queue(listingqueue::queueFile());
            queue.add({first, second});
            QVERIFY(queue.save());
        }
        QProcess helper;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SORABAKO_QUEUE_HELPER"), folder.path() + QLatin1Char('|') + sim.base());
        helper.setProcessEnvironment(env);
        helper.start(QCoreApplication::applicationFilePath(), {QStringLiteral("helperRunsToTheConfirmation")});
        QVERIFY(helper.waitForStarted());
        QDeadlineTimer deadline(90000);
        QByteArray said;
        while (!said.contains("AT-CONFIRMATION") && !deadline.hasExpired() && helper.state() == QProcess::Running) {
            helper.waitForReadyRead(500);
            said += helper.readAllStandardOutput();
        }
        QVERIFY2(said.contains("AT-CONFIRMATION"), said.constData());
        ::kill(static_cast<pid_t>(helper.processId()), SIGKILL);
        helper.waitForFinished();
        QCOMPARE(sim.control(QStringLiteral("submissions")), QStringLiteral("drafts 1\nwithout-draft 0"));

        RecordingUiServices ui;
        fMain w(ui);
        QueueRun& run = *w.queueRun();
        QCOMPARE(run.queue().rows().at(0).state, State::NeedsCheck);
        QVERIFY(run.queue().rows().at(0).reason.startsWith(QStringLiteral("確認画面を表示したままソラバコが終了しました")));
        QCOMPARE(run.queue().rows().at(1).state, State::Waiting);
        QVERIFY(signIn(sim, w.WB()));
        run.start();
        const int next = run.queue().rows().at(1).id;
        QVERIFY(reaches(run, next, State::AtConfirmation));
        QCOMPARE(w.siteFormPane()->title(), QStringLiteral("二つ目"));
        QVERIFY(pressFinalButton(w.WB()));
        QVERIFY(reaches(run, next, State::Listed));
        const QString seen = sim.control(QStringLiteral("submissions"));
        QVERIFY2(seen.startsWith(QStringLiteral("drafts 2\nwithout-draft 0\n")), qPrintable(seen));
        QCOMPARE(count(seen, QStringLiteral("listed ")), 1);
        QVERIFY(seen.contains(QStringLiteral("二つ目")));
    }

    // Once the form has gone to the site, whatever the seller presses, the row ends at its
    // confirmation page, listed, or 要確認: never waiting to be entered again.
    void aSentFormIsNeverEnteredAgain() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--latency"), QStringLiteral("1500")});
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        QVERIFY(signIn(sim, w.WB()));
        QueueRun& run = *w.queueRun();
        run.setGoOnAtOnce(false);
        frmQUEUE* window = w.showQueue();
        auto press = [&](const char* name) { child<QPushButton>(window, QLatin1String(name))->click(); };
        auto queued = [&](const QString& name) {
            run.add({listingFile(folder, name + QStringLiteral(".srb"), name, QStringLiteral("500"), 21601, {})});
            return run.queue().rows().last().id;
        };

        // 一時停止 with the form on its way: the row goes on to its confirmation page.
        const int paused = queued(QStringLiteral("一時停止"));
        press("cmdSTART");
        QTRY_VERIFY_WITH_TIMEOUT(sentAndAt(run, paused), 60000);
        press("cmdPAUSE");
        QVERIFY(reaches(run, paused, State::AtConfirmation));
        QVERIFY(pressFinalButton(w.WB()));
        QVERIFY(reaches(run, paused, State::Listed));

        // スキップ with the confirmation page asked for: 要確認, though the page still comes and
        // the seller agrees there.
        const int skipped = queued(QStringLiteral("スキップ"));
        press("cmdSTART");
        QTRY_VERIFY_WITH_TIMEOUT(sentAndAt(run, skipped, QStringLiteral("確認画面")), 60000);
        press("cmdSKIP");
        QCOMPARE(run.queue().row(skipped)->state, State::NeedsCheck);
        QTRY_COMPARE_WITH_TIMEOUT(w.WB()->documentTitle().text(), QStringLiteral("Yahoo!オークション - 出品内容の確認"), 30000);
        QVERIFY(pressFinalButton(w.WB()));
        QTRY_COMPARE_WITH_TIMEOUT(count(sim.control(QStringLiteral("submissions")), QStringLiteral("listed ")), 2, 30000);

        // スキップ on the confirmation page itself.
        const int atPage = queued(QStringLiteral("確認画面"));
        press("cmdSTART");
        QVERIFY(reaches(run, atPage, State::AtConfirmation));
        press("cmdSKIP");
        QCOMPARE(run.queue().row(atPage)->state, State::NeedsCheck);

        // 開始 again, and again after a restart: nothing goes to the site a second time.
        press("cmdSTART");
        QTRY_VERIFY(!run.running());
        QCOMPARE(rowAfterRestart(0).state, State::Listed);
        QCOMPARE(rowAfterRestart(1).state, State::NeedsCheck);
        QCOMPARE(rowAfterRestart(2).state, State::NeedsCheck);
        QVERIFY(staysQuietFor(500, [&] { return !sim.control(QStringLiteral("submissions")).startsWith(QStringLiteral("drafts 3\n")); }));
        const QString seen = sim.control(QStringLiteral("submissions"));
        QCOMPARE(count(seen, QStringLiteral("listed ")), 2);
    }

    // The disk fills while the form is on its way: the confirmation page is reached but the
    // queue cannot say so. The queue says it and stops, and the row is never taken again, even
    // after a restart, whether or not the seller agreed on the page.
    void aFullDiskAtTheConfirmationPage() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SmallDisk small(2048);
        if (!small.isMounted()) QSKIP("a small disk needs root to mount");
        const QString data = folder.file(QStringLiteral("DATA"));
        for (const QString& name : QDir(data).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
            QVERIFY(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), QDir(data).filePath(name), small.path()}) == 0);
        QVERIFY(QDir(data).removeRecursively());
        QVERIFY(QFile::link(small.path(), data));
        SiteSimProcess sim({QStringLiteral("--latency"), QStringLiteral("1500")});
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        QVERIFY(signIn(sim, w.WB()));
        QueueRun& run = *w.queueRun();
        QVERIFY(run.add({listingFile(folder, QStringLiteral("満杯.srb"), QStringLiteral("満杯の日"), QStringLiteral("500"), 21601, {})}) ==
                1);
        const int id = run.queue().rows().last().id;
        run.start();
        QTRY_VERIFY_WITH_TIMEOUT(sentAndAt(run, id), 60000);
        QVERIFY(small.fill());
        QVERIFY(reaches(run, id, State::NeedsCheck));
        QVERIFY2(run.queue().row(id)->reason.startsWith(QStringLiteral("出品キューを保存できないため、確認画面で止めました。")),
                 qPrintable(run.queue().row(id)->reason));
        QVERIFY(ui.messageTexts().join(QString()).contains(QStringLiteral("出品キューを保存できませんでした。")));
        // The seller agrees on the page all the same.
        QCOMPARE(w.WB()->documentTitle().text(), QStringLiteral("Yahoo!オークション - 出品内容の確認"));
        QVERIFY(pressFinalButton(w.WB()));
        QTRY_COMPARE_WITH_TIMEOUT(count(sim.control(QStringLiteral("submissions")), QStringLiteral("listed ")), 1, 30000);
        small.makeRoom();
        const listingqueue::Row after = rowAfterRestart(0);
        QCOMPARE(after.state, State::NeedsCheck);
        QVERIFY(after.reason.startsWith(QStringLiteral("出品フォームを送信した後にソラバコが終了しました")));
    }

    // A spreadsheet saved as Excel saves it (CP932, CR LF, doubled quotes, a line break in a
    // cell): the review names the bad row, the good rows become memory files and queue rows,
    // and each reaches the site's confirmation page with every field as typed in the sheet.
    // 出品記録 writes them out again in the same columns.
    void rowsOfASpreadsheetReachTheConfirmationPage() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        QVERIFY(signIn(sim, w.WB()));
        picture(folder, QStringLiteral("赤.png"), QColor(200, 20, 20));
        const QString sheet = QStringLiteral(
            "タイトル,説明,開始価格,即決価格,数量,開催期間,終了時間,カテゴリ,カテゴリID,画像1,発送元,市区町村,送料負担,支払い方法,メモ,デザイン,商品名,項目名1,項目説明1\r\n"
            "\"空箱文庫 \"\"特装版\"\"\",\"<p>一行目</p>\n<p>二行目</p>\",\"1,500\",3000,1,4日,20時,本、雑誌 > 文学、小説,21601,赤.png,"
            "北海道,札幌市,出品者,銀行振込,仕入れ 400円,,,,\r\n"
            "雲雀時計 懐中時計,<p>動きます</p>,3000,,2,2日,9,時計,20002,,沖縄,那覇市,落札者,\"Yahoo!かんたん決済、銀行振込\",,シンプル_青.html,雲雀時計 懐中時計 手巻き,状態,よく動きます\r\n"
            "値段が変,説明,三千円,,1,3日,,時計,20002,,沖縄,那覇市,落札者,,,,,,\r\n");
        folder.writeCp932(QStringLiteral("USER/出品.csv"), QString());
        QFile file(folder.file(QStringLiteral("USER/出品.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cp932::encode(sheet, nullptr));
        file.close();

        w.siteFormPane()->findChild<QPushButton*>(QStringLiteral("cmdQUEUE"))->click();
        frmQUEUE* window = w.findChild<frmQUEUE*>(QStringLiteral("frmQUEUE"));
        ui.openNames << file.fileName();
        // Read in the window, pressed, and only then compared: a failed check must not leave it open.
        int rowCount = 0;
        QString first, third, problems, header;
        whenDialogOpens(QStringLiteral("frmCSV"), [&](QDialog* review) {
            auto* rows = child<QTableWidget>(review, QStringLiteral("lvCSV"));
            rowCount = rows->rowCount();
            first = rows->item(0, 2)->text();
            third = rows->item(2, 1)->text();
            problems = child<QPlainTextEdit>(review, QStringLiteral("txtPROBLEMS"))->toPlainText();
            header = child<QLabel>(review, QStringLiteral("lblFILE"))->text();
            child<QPushButton>(review, QStringLiteral("cmdMAKE"))->click();
        });
        child<QPushButton>(window, QStringLiteral("cmdCSV"))->click();
        QCOMPARE(rowCount, 3);
        QCOMPARE(first, QStringLiteral("空箱文庫 \"特装版\""));
        QCOMPARE(third, QStringLiteral("問題 1件"));
        QCOMPARE(problems, QStringLiteral("4行目「開始価格」: 「三千円」は数字ではありません。"));
        QVERIFY(header.contains(QStringLiteral("使わない列（名前が出品CSVの列にありません）: メモ")));
        QVERIFY2(ui.messages.last().text.startsWith(QStringLiteral("2件の記憶ファイルを作り、出品キューに2件追加しました。")),
                 qPrintable(ui.messages.last().text));
        auto* table = child<QTableWidget>(window, QStringLiteral("lvQUEUE"));
        QCOMPARE(table->rowCount(), 2);
        QVERIFY(QFileInfo::exists(folder.file(QStringLiteral("USER/雲雀時計 懐中時計.srb"))));

        QueueRun& run = *w.queueRun();
        child<QCheckBox>(window, QStringLiteral("chkAUTO"))->setChecked(true);
        child<QPushButton>(window, QStringLiteral("cmdSTART"))->click();
        const QList<QList<QPair<const char*, QString>>> expected{
            {{"cTitle", QStringLiteral("空箱文庫 \"特装版\"")},
             {"cStartPrice", QStringLiteral("1500 円")},
             {"cBuyNow", QStringLiteral("3000 円")},
             {"cQuantity", QStringLiteral("1")},
             {"cDuration", QStringLiteral("4日間")},
             {"cClosingTime", QStringLiteral("午後8時から午後9時")},
             {"cRegion", QStringLiteral("北海道 札幌市")},
             {"cShipping", QStringLiteral("出品者")},
             {"cPayment", QStringLiteral("銀行振込")},
             {"cImages", QStringLiteral("赤.jpg")}},
            {{"cTitle", QStringLiteral("雲雀時計 懐中時計")},
             {"cStartPrice", QStringLiteral("3000 円")},
             {"cBuyNow", QStringLiteral("なし")},
             {"cQuantity", QStringLiteral("2")},
             {"cDuration", QStringLiteral("2日間")},
             {"cClosingTime", QStringLiteral("午前9時から午前10時")},
             {"cRegion", QStringLiteral("沖縄県 那覇市")},
             {"cShipping", QStringLiteral("落札者")},
             {"cPayment", QStringLiteral("Yahoo!かんたん決済、銀行振込")},
             {"cImages", QStringLiteral("なし")}},
        };
        for (int i = 0; i < 2; ++i) {
            const int row = run.queue().rows().at(i).id;
            QVERIFY(reaches(run, row, State::AtConfirmation));
            for (const auto& [id, text] : expected[i]) QCOMPARE(cell(w.WB(), id), text);
            if (i == 0) QCOMPARE(cell(w.WB(), "cDescription"), QStringLiteral("<p>一行目</p>\n<p>二行目</p>"));
            // The second is built from its design, with the row's product name and item.
            if (i == 1)
                for (const QString& built :
                     {QStringLiteral("雲雀時計 懐中時計 手巻き"), QStringLiteral("よく動きます"), QStringLiteral("#1f5fa8")})
                    QVERIFY2(cell(w.WB(), "cDescription").contains(built), qPrintable(built));
            QVERIFY(pressFinalButton(w.WB()));
            QVERIFY(reaches(run, row, State::Listed));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!run.running(), 5000);
        QCOMPARE(count(sim.control(QStringLiteral("submissions")), QStringLiteral("listed ")), 2);

        // 出品記録 → CSV: the same columns, the records' own memory files named in them.
        frmKIROKU* records = w.showRecords();
        QTRY_COMPARE_WITH_TIMEOUT(child<QTableWidget>(records, QStringLiteral("lvKIROKU"))->rowCount(), 2, 10000);
        const QString out = folder.file(QStringLiteral("USER/記録.csv"));
        ui.saveNames << out;
        child<QPushButton>(records, QStringLiteral("cmdCSV"))->click();
        QFile written(out);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const csv::Table back = csv::read(written.readAll());
        QCOMPARE(back.records.size(), 3);
        QStringList titles{back.records[1].value(0), back.records[2].value(0)};
        titles.sort();
        QCOMPARE(titles, (QStringList{QStringLiteral("空箱文庫 \"特装版\""), QStringLiteral("雲雀時計 懐中時計")}));
        QVERIFY(back.records[1].last().contains(QStringLiteral("出品記録")));
    }

    // The seller typed the listing on its form page, saved it and queued it: the form of the
    // same category, at the same address, is the queue's page all the same. A queued memory
    // file that is a pipe stops its row at once, and a start price left empty is said before
    // the seller's final press.
    void startedFromTheFormOfTheSameCategory() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        QVERIFY(signIn(sim, w.WB()));
        QueueRun& run = *w.queueRun();
        run.setStepWait(8000);

        const QString pipe = folder.file(QStringLiteral("USER/管.srb"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QCOMPARE(run.add({pipe}), 0);
        QVERIFY(ui.messageTexts().join(QString()).contains(QStringLiteral("「管.srb」はファイルではありません。")));
        run.queue().add({pipe});  // a queue file written elsewhere may hold one all the same
        run.start();
        QVERIFY(reaches(run, run.queue().rows().last().id, State::NeedsCheck, 10000));
        QVERIFY(run.queue().rows().last().reason.startsWith(QStringLiteral("記憶ファイル「管.srb」はファイルではありません。")));

        // A picture that is no picture (any more) stops its row before the site hears of it.
        const QString fake = folder.file(QStringLiteral("USER/偽物.jpg"));
        QFile text(fake);
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a picture\n") > 0);
        text.close();
        QVERIFY(run.add({listingFile(folder, QStringLiteral("偽物.srb"), QStringLiteral("偽物の写真"), QStringLiteral("500"), 21601,
                                     {fake})}) == 1);
        run.start();
        QVERIFY(reaches(run, run.queue().rows().last().id, State::NeedsCheck, 20000));
        QVERIFY2(run.queue().rows().last().reason.contains(QStringLiteral("「偽物.jpg」")), qPrintable(run.queue().rows().last().reason));
        QVERIFY2(sim.control(QStringLiteral("submissions")).startsWith(QStringLiteral("drafts 0\n")),
                 qPrintable(sim.control(QStringLiteral("submissions"))));

        // The seller's way to the form: the category's page, and its continue button.
        QVERIFY(loadAndWait(w.WB(), sim.base() + QStringLiteral("/jp/submit/category?c=21601"), kLoad));
        QTRY_VERIFY_WITH_TIMEOUT(w.WB()->url().path() == QStringLiteral("/jp/submit/form") && w.siteFormPane()->formCheck().formPage,
                                 20000);
        QVERIFY(run.add({listingFile(folder, QStringLiteral("同じ.srb"), QStringLiteral("同じカテゴリから"), QString(), 21601, {})}) == 1);
        const int id = run.queue().rows().last().id;
        run.start();
        QVERIFY(reaches(run, id, State::AtConfirmation, 40000));
        QCOMPARE(cell(w.WB(), "cTitle"), QStringLiteral("同じカテゴリから"));
        QDialog* summary = nullptr;
        QTRY_VERIFY((summary = w.findChild<QDialog*>(QStringLiteral("frmYOUYAKU"))) && summary->isVisible());
        const QString said = child<QLabel>(summary, QStringLiteral("lblWarnings"))->text();
        QVERIFY2(said.contains(QStringLiteral("開始価格が 0 円になっています。")) ||
                     said.contains(QStringLiteral("開始価格が入力されていません。")),
                 qPrintable(said));
    }

    // Run by killedOnTheConfirmationPage as a program of its own.
    void helperRunsToTheConfirmation() {
        const QString setup = qEnvironmentVariable("SORABAKO_QUEUE_HELPER");
        if (setup.isEmpty()) QSKIP("run by killedOnTheConfirmationPage");
        ProgramFolder::setRoot(setup.section(QLatin1Char('|'), 0, 0));
        const QString base = setup.section(QLatin1Char('|'), 1);
        RecordingUiServices ui;
        fMain w(ui);
        QVERIFY(loadAndWait(w.WB(), base + QStringLiteral("/__sim/signin?login=sorabako_demo"), kLoad));
        w.queueRun()->start();
        QVERIFY(reaches(*w.queueRun(), w.queueRun()->queue().rows().at(0).id, State::AtConfirmation));
        QTextStream(stdout) << "AT-CONFIRMATION" << Qt::endl;
        staysQuietFor(120000);  // killed here
    }

    // The queue's file: states survive a restart, and a row stopped on its way before the
    // confirmation waits again while one past it needs the seller.
    void theQueueFileKeepsEveryRow() {
        TempProgramFolder folder;
        const QString file = folder.file(QStringLiteral("DATA/出品キュー.json"));
        listingqueue::Queue q(file);
        folder.writeCp932(
            QStringLiteral("USER/a.srb"),
            QStringLiteral(
                "[出品手続]\r\nタイトル=あ\r\n[出品カテゴリと画像]\r\nカテゴリ=本、雑誌 > 雑誌\r\n画像1=/p/1.jpg\r\n画像2=/p/2.jpg\r\n"));
        folder.writeCp932(QStringLiteral("USER/b.srb"), QStringLiteral("[出品手続]\r\nタイトル=い\r\n"));
        folder.writeCp932(QStringLiteral("USER/c.srb"), QStringLiteral("[出品手続]\r\nタイトル=空箱&#128512;カメラ caf&#233;\r\n"));
        QCOMPARE(q.add({folder.file(QStringLiteral("USER/a.srb")), folder.file(QStringLiteral("USER/b.srb")),
                        folder.file(QStringLiteral("USER/c.srb"))}),
                 3);
        QCOMPARE(q.add({folder.file(QStringLiteral("USER/a.srb"))}), 0);  // waiting already
        const int a = q.rows()[0].id, b = q.rows()[1].id, c = q.rows()[2].id;
        QCOMPARE(q.rows()[0].category, QStringLiteral("本、雑誌 > 雑誌"));
        QCOMPARE(q.rows()[0].pictures, 2);
        QCOMPARE(q.rows()[2].title, QStringLiteral("空箱😀カメラ café"));  // as typed, not as the file keeps it
        QVERIFY(q.begin(a));
        QVERIFY(!q.begin(a));  // never entered twice
        QVERIFY(q.reachConfirmation(a));
        QVERIFY(!q.remove(a));
        QVERIFY(q.begin(b));
        QVERIFY(q.move(c, -2));
        QVERIFY(q.save());

        listingqueue::Queue again(file);
        QString problem;
        QVERIFY(again.load(&problem));
        QCOMPARE(again.rows().size(), 3);
        QCOMPARE(again.rows()[0].id, c);
        QCOMPARE(again.recover(), 2);
        QCOMPARE(again.row(a)->state, State::NeedsCheck);
        QCOMPARE(again.row(b)->state, State::Waiting);
        QCOMPARE(again.nextWaiting(), c);
        QCOMPARE(again.nextWaiting({c}), b);
        QVERIFY(!again.backToWaiting(a));
        QVERIFY(again.backToWaiting(a, true));                       // the seller's own decision
        QVERIFY(!again.listed(a, QStringLiteral("x1"), QString()));  // only from the confirmation page

        // A damaged file is put aside and said; the queue starts empty rather than guess.
        folder.writeCp932(QStringLiteral("DATA/出品キュー.json"), QStringLiteral("{\"rows\": [ {\"id\": 1, "));
        listingqueue::Queue broken(file);
        QVERIFY(!broken.load(&problem));
        QVERIFY(problem.startsWith(QStringLiteral("出品キューのファイルが壊れていたため")));
        QVERIFY(broken.rows().isEmpty());
        QVERIFY(QFile::exists(file + QStringLiteral(".壊れていたファイル")));
        // Valid JSON of another shape is no queue either, and a second damaged file keeps the first.
        const auto writeJson = [&](const QString& json) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(json.toUtf8()) >= 0);
        };
        for (const char* other : {"[1, 2]", "{\"rows\": {\"id\": 1}}", "{\"rows\": [{\"id\": 1, \"state\": \"待機\"}]}", "{}"}) {
            writeJson(QString::fromUtf8(other));
            QVERIFY2(!broken.load(&problem), other);
            QVERIFY(problem.startsWith(QStringLiteral("出品キューのファイルが壊れていたため")));
            QVERIFY(QFile::exists(problem.section(QStringLiteral("\r\n"), -1)));
        }
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/出品キュー.json.壊れていたファイル")), QByteArray("{\"rows\": [ {\"id\": 1, "));
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/出品キュー.json.壊れていたファイル5")), QByteArray("{}"));

        // A state this program does not know, the same row twice, or a copy of a row on its way
        // past its form: 要確認, never 待機.
        const QString a1 = folder.file(QStringLiteral("USER/a.srb"));
        const QString b1 = folder.file(QStringLiteral("USER/b.srb"));
        const QString c1 = folder.file(QStringLiteral("USER/c.srb"));
        const auto rowJson = [](int id, const QString& file, const char* state, bool sent = false) {
            return QStringLiteral("{\"id\": %1, \"file\": \"%2\", \"state\": \"%3\", \"sent\": %4}")
                .arg(id)
                .arg(file, QString::fromUtf8(state), QLatin1String(sent ? "true" : "false"));
        };
        writeJson(QStringLiteral("{\"rows\": [%1]}")
                      .arg(QStringList{rowJson(1, a1, "待機"), rowJson(1, a1, "確認待ち"), rowJson(2, b1, "確認待ち"),
                                       rowJson(3, b1, "入力中"), rowJson(4, c1, "謎の状態"), rowJson(5, c1, "待機"), rowJson(5, c1, "待機")}
                               .join(QLatin1Char(','))));
        listingqueue::Queue copies(file);
        QVERIFY(copies.load(&problem));
        copies.recover();
        QCOMPARE(copies.rows().size(), 5);
        QCOMPARE(copies.row(1)->state, State::NeedsCheck);
        QCOMPARE(copies.row(2)->state, State::NeedsCheck);
        QCOMPARE(copies.row(3)->state, State::NeedsCheck);
        QCOMPARE(copies.row(4)->state, State::NeedsCheck);
        QCOMPARE(copies.row(5)->state, State::Waiting);
        QCOMPARE(copies.nextWaiting(), 5);

        QCOMPARE(listingrecord::lowered(QStringLiteral("25000"), 10), QStringLiteral("22500"));
        QCOMPARE(listingrecord::lowered(QStringLiteral("999"), 15), QStringLiteral("849"));
        QCOMPARE(listingrecord::lowered(QStringLiteral("1"), 50), QStringLiteral("1"));
        QCOMPARE(listingrecord::lowered(QString(), 50), QString());
    }
};

SORABAKO_GUI_TEST_MAIN(TestQueue)
#include "tst_queue.moc"
