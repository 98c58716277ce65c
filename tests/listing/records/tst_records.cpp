// 出品記録 as the seller opens it from the main window: the list from the history's table of
// records, a record's folder read when its row is chosen, and the records on disk that the
// history lacks found, shown and stored there.
#include <QtTest>

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>

#include "app/fMain.h"
#include "core/ProgramFolder.h"
#include "store/HistoryStore.h"
#include "listing/records/ListingRecord.h"
#include "listing/records/frmKIROKU.h"
#include "support/Dialogs.h"
#include "support/RecordingUiServices.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"

namespace {
listingrecord::Record record(const char* id, int day, const char* title) {
    listingrecord::Record r;
    r.auctionId = QLatin1String(id);
    r.listedAt = QDateTime(QDate(2026, 12, day), QTime(10, 0)).toString(Qt::ISODate);
    r.title = QString::fromUtf8(title);
    r.category = QStringLiteral("住まい、インテリア > キッチン、食器");
    r.sourceFile = QStringLiteral("USER/%1.srb").arg(r.auctionId);
    r.confirmation = {{QStringLiteral("タイトル"), r.title}, {QStringLiteral("開始価格"), QStringLiteral("%1 円").arg(day * 100)}};
    return r;
}

HistoryStore::Listed listed(const listingrecord::Record& r) {
    HistoryStore::Listed l;
    l.auctionId = r.auctionId;
    l.listedAt = QDateTime::fromString(r.listedAt, Qt::ISODate);
    l.title = r.title;
    l.category = r.category;
    l.folder = listingrecord::folderOf(r.auctionId);
    l.confirmation = r.confirmation;
    return l;
}

QStringList ids(const QTableWidget* table) {
    QStringList out;
    for (int i = 0; i < table->rowCount(); ++i) out << table->item(i, 0)->text();
    return out;
}

QString historyPath() { return ProgramFolder::data() + QStringLiteral("rireki.sqlite"); }
}  // namespace

class TestRecords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theListIsTheHistorysAndARecordsFolderIsReadWhenChosen() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        RecordingUiServices ui;
        // Three listings kept on disk. The history knows two, and one more whose folder the
        // seller has since removed; the third on disk was written while it could not be reached.
        const listingrecord::Record spoon = record("x100000001", 1, "テスト出品 木のスプーン");
        const listingrecord::Record bag = record("x100000002", 2, "テスト出品 布のかばん");
        const listingrecord::Record plate = record("x100000003", 3, "テスト出品 陶器の皿");
        const listingrecord::Record cup = record("x100000004", 4, "テスト出品 ガラスのコップ");
        QString problem;
        for (const auto& r : {spoon, bag, plate})
            QVERIFY2(!listingrecord::write(r, "[出品手続]\r\n", &problem).isEmpty(), qPrintable(problem));
        {
            HistoryStore history(historyPath());
            QCOMPARE(history.open(), HistoryStore::Opened::Ok);
            for (const auto& r : {spoon, bag, cup}) QVERIFY(history.storeListed(listed(r)));
        }

        fMain w(ui);
        frmKIROKU* kiroku = w.showRecords();
        auto* table = child<QTableWidget>(kiroku, QStringLiteral("lvKIROKU"));
        auto* detail = child<QPlainTextEdit>(kiroku, QStringLiteral("txtDETAIL"));
        // At once, the history's records, newest first: the one without a folder among them.
        QCOMPARE(ids(table), (QStringList{cup.auctionId, bag.auctionId, spoon.auctionId}));
        QCOMPARE(table->item(1, 2)->text(), bag.title);
        QCOMPARE(table->item(1, 1)->text(), QStringLiteral("2026/12/02 10:00"));
        QCOMPARE(table->item(1, 3)->text(), bag.category);
        // The one on disk the history lacks joins the list, and the history.
        QTRY_COMPARE(ids(table), (QStringList{cup.auctionId, plate.auctionId, bag.auctionId, spoon.auctionId}));
        QTRY_VERIFY_WITH_TIMEOUT(
            [] {
                HistoryStore history(historyPath());
                return history.open() == HistoryStore::Opened::Ok && history.listed(QStringLiteral("x100000003"));
            }(),
            10000);
        QVERIFY(ui.messages.isEmpty());

        // The seller removes a folder: the row chosen afterwards says so, the others show their folder.
        QVERIFY(QDir(listingrecord::folderOf(bag.auctionId)).removeRecursively());
        table->setCurrentCell(2, 0);
        QVERIFY2(detail->toPlainText().startsWith(QStringLiteral("出品記録のフォルダを読み込めませんでした。")),
                 qPrintable(detail->toPlainText()));
        table->setCurrentCell(3, 0);
        QVERIFY(detail->toPlainText().contains(QStringLiteral("開始価格：100 円")));
        QVERIFY(detail->toPlainText().contains(QStringLiteral("元の記憶ファイル：USER/x100000001.srb")));
        table->setCurrentCell(1, 0);
        QVERIFY(detail->toPlainText().contains(QStringLiteral("開始価格：300 円")));

        // Shown again, the list is the history's as it was: the folders are not read again.
        kiroku->close();
        QTRY_VERIFY(!w.findChild<frmKIROKU*>());
        kiroku = w.showRecords();
        table = child<QTableWidget>(kiroku, QStringLiteral("lvKIROKU"));
        QCOMPARE(ids(table), (QStringList{cup.auctionId, plate.auctionId, bag.auctionId, spoon.auctionId}));
        child<QLineEdit>(kiroku, QStringLiteral("txtKIROKU"))->setText(QStringLiteral("かばん"));
        QCOMPARE(ids(table), QStringList{bag.auctionId});

        // Without a history to read, the folders are read instead (off the window's thread).
        kiroku->close();
        QTRY_VERIFY(!w.findChild<frmKIROKU*>());
        for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(historyPath() + QLatin1String(suffix));
        kiroku = w.showRecords();
        table = child<QTableWidget>(kiroku, QStringLiteral("lvKIROKU"));
        QTRY_COMPARE(ids(table), (QStringList{plate.auctionId, spoon.auctionId}));
        QVERIFY(!QFile::exists(historyPath()));
    }
};

SORABAKO_GUI_TEST_MAIN(TestRecords)
#include "tst_records.moc"
