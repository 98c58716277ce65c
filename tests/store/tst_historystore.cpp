// The history store: each listing followed by its auction ID from scan to
// scan, the listings' records, the schema and its migration, a database that is
// damaged, locked by another program, or shared by two at once, and the scans
// that wait for it.
#include <QtTest>

#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "core/TextFile.h"
#include "store/HistoryStore.h"
#include "store/HistoryThread.h"
#include "store/PendingScans.h"
#include "store/SalesTable.h"

namespace {
HistoryStore::Row row(const char* id, const char* title, const char* access, const char* watch, const char* bids, const char* price) {
    HistoryStore::Row r;
    r.address = QStringLiteral("http://page.example/jp/auction/") + QLatin1String(id);
    r.title = QString::fromUtf8(title);
    r.access = QLatin1String(access);
    r.watch = QLatin1String(watch);
    r.bids = QLatin1String(bids);
    r.timeLeft = QStringLiteral("2日");
    r.price = QLatin1String(price);
    return r;
}
QDateTime at(int day, int hour) { return QDateTime(QDate(2026, 12, day), QTime(hour, 0)); }
}  // namespace

class TestHistoryStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachListingFollowedByItsId() {
        QTemporaryDir dir;
        HistoryStore h(dir.filePath(QStringLiteral("rireki.sqlite")));
        QCOMPARE(h.open(), HistoryStore::Opened::Ok);
        QVERIFY(!h.hasScanBefore(at(9, 0)));
        QVERIFY(h.store(at(1, 9), {row("a1", "カメラ", "10", "1", "", "500"), row("b2", "本", "4", "", "", "800")}));
        QVERIFY(h.store(at(1, 18), {row("a1", "カメラ", "15", "2", "1", "600"), row("c3", "時計", "1", "", "", "300")}));

        // Before the evening scan: each listing's own latest figures, whatever row it stood in.
        const auto before = h.latestBefore({QStringLiteral("c3"), QStringLiteral("a1"), QStringLiteral("b2")}, at(2, 0));
        QCOMPARE(before.size(), 3);
        QCOMPARE(before.value(QStringLiteral("a1")).access, QStringLiteral("15"));
        QCOMPARE(before.value(QStringLiteral("a1")).row, 1);
        QCOMPARE(before.value(QStringLiteral("b2")).access, QStringLiteral("4"));  // from the morning: it ended since
        QCOMPARE(before.value(QStringLiteral("c3")).row, 2);
        QCOMPARE(h.latestBefore({QStringLiteral("a1")}, at(1, 12)).value(QStringLiteral("a1")).access, QStringLiteral("10"));
        QCOMPARE(h.idsOfScanBefore(at(2, 0)), (QStringList{QStringLiteral("a1"), QStringLiteral("c3")}));

        const QList<HistoryStore::Entry> a1 = h.history(QStringLiteral("a1"));
        QCOMPARE(a1.size(), 2);
        QCOMPARE(a1[0].taken, at(1, 9));
        QCOMPARE(a1[1].price, QStringLiteral("600"));
        QCOMPARE(a1[1].title, QStringLiteral("カメラ"));
        QCOMPARE(h.scanTimes(), (QList<QDateTime>{at(1, 18), at(1, 9)}));  // newest first
        QCOMPARE(h.scanAt(at(1, 9)).size(), 2);

        // A listing renamed keeps each scan's own title; another listing of the same title keeps its own figures.
        QVERIFY(h.store(at(1, 21), {row("a1", "カメラ 値下げ", "16", "2", "1", "550"), row("d4", "カメラ", "3", "", "", "900")}));
        const QList<HistoryStore::Entry> renamed = h.history(QStringLiteral("a1"));
        QCOMPARE(renamed.size(), 3);
        QCOMPARE(renamed[1].title, QStringLiteral("カメラ"));
        QCOMPARE(renamed[2].title, QStringLiteral("カメラ 値下げ"));
        QCOMPARE(h.history(QStringLiteral("d4")).value(0).title, QStringLiteral("カメラ"));
        QCOMPARE(h.history(QStringLiteral("d4")).value(0).price, QStringLiteral("900"));

        // A row without an item page has no listing to follow and is not stored.
        HistoryStore::Row stray = row("x", "", "1", "", "", "1");
        stray.address.clear();
        QVERIFY(h.store(at(2, 9), {stray}));
        QCOMPARE(h.scanAt(at(2, 9)).size(), 0);
        QCOMPARE(HistoryStore::auctionIdOf(QStringLiteral("http://h/jp/auction/k700000001#bids")), QStringLiteral("k700000001"));
        QCOMPARE(HistoryStore::auctionIdOf(QStringLiteral("http://h/jp/manage?aID=1")), QString());
    }

    void theSchemaHasAVersionAndAMigration() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rireki.sqlite"));
        {
            // A database of version 0: an empty one (as an earlier program or a crash left it).
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery(db).exec(QStringLiteral("CREATE TABLE other (x)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        {
            HistoryStore h(path);
            QCOMPARE(h.open(), HistoryStore::Opened::Ok);
            QVERIFY(h.store(at(4, 9), {row("a1", "カメラ", "1", "", "", "1")}));
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("PRAGMA user_version")) && q.next());
            QCOMPARE(q.value(0).toInt(), HistoryStore::kSchemaVersion);
            QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM other")));  // nothing of the file is lost
            QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
            // A newer program's database is not written over by this one.
            QVERIFY(q.exec(QStringLiteral("PRAGMA user_version = 99")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        HistoryStore newer(path);
        QCOMPARE(newer.open(), HistoryStore::Opened::Failed);
        QCOMPARE(newer.error(), HistoryStore::Error::Newer);
    }

    void aHistoryOfTheFirstVersionKeepsItsScansAsKept() {
        // Written by the first version (schema 1): every scan it stored was the next one's base.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rireki.sqlite"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            for (const char* sql :
                 {"CREATE TABLE scans (id INTEGER PRIMARY KEY, taken TEXT NOT NULL UNIQUE, listings INTEGER NOT NULL)",
                  "CREATE TABLE titles (id INTEGER PRIMARY KEY, text TEXT NOT NULL UNIQUE)",
                  "CREATE TABLE figures (auction TEXT NOT NULL, scan INTEGER NOT NULL REFERENCES scans(id), row INTEGER NOT NULL, "
                  "title INTEGER REFERENCES titles(id), access TEXT, watch TEXT, bids TEXT, time_left TEXT, price TEXT, "
                  "PRIMARY KEY (auction, scan)) WITHOUT ROWID",
                  "INSERT INTO scans VALUES (1, '2026-12-01T00:00:00.000Z', 1)", "INSERT INTO titles VALUES (1, 'カメラ')",
                  "INSERT INTO figures VALUES ('a1', 1, 1, 1, '7', '', '', '2日', '500')", "PRAGMA user_version = 1"})
                QVERIFY2(q.exec(QString::fromUtf8(sql)), sql);
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        HistoryStore h(path);
        QCOMPARE(h.open(), HistoryStore::Opened::Ok);
        const auto base = h.keptBefore(at(9, 0));
        QVERIFY(base);
        QCOMPARE(base->ids, QStringList{QStringLiteral("a1")});
        QCOMPARE(base->byId.value(QStringLiteral("a1")).access, QStringLiteral("7"));

        // A look the seller did not keep is history, but no base.
        QVERIFY(h.store(at(2, 9), {row("a1", "カメラ", "9", "", "", "500")}, false));
        QCOMPARE(h.keptBefore(at(9, 0))->byId.value(QStringLiteral("a1")).access, QStringLiteral("7"));
        QCOMPARE(h.history(QStringLiteral("a1")).size(), 2);
        QVERIFY(h.store(at(3, 9), {row("a1", "カメラ", "12", "1", "", "600")}, true));
        QCOMPARE(h.keptBefore(at(9, 0))->byId.value(QStringLiteral("a1")).access, QStringLiteral("12"));
        QCOMPARE(h.keptBefore(at(3, 9))->byId.value(QStringLiteral("a1")).access, QStringLiteral("7"));

        // The same old history takes the records of listings the queue sends out.
        QVERIFY(!h.listed(QStringLiteral("a1")));
        HistoryStore::Listed listed;
        listed.auctionId = QStringLiteral("a1");
        listed.listedAt = at(1, 8);
        listed.title = QStringLiteral("カメラ");
        listed.category = QStringLiteral("家電、AV、カメラ > カメラ、光学機器");
        listed.folder = dir.filePath(QStringLiteral("a1"));
        listed.confirmation = {{QStringLiteral("タイトル"), QStringLiteral("カメラ")},
                               {QStringLiteral("開始価格"), QStringLiteral("500 円")}};
        QVERIFY(h.storeListed(listed));
        QCOMPARE(h.history(QStringLiteral("a1")).size(), 3);  // the scans are untouched
    }

    // A listing's record is kept once, as it first went out; a second store (a record
    // written again, a relisted copy under the same ID) does not change it.
    void aListingsRecordIsKeptAsItFirstWentOut() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rireki.sqlite"));
        HistoryStore::Listed listed;
        listed.auctionId = QStringLiteral("x100000001");
        listed.listedAt = at(5, 21);
        listed.title = QStringLiteral("空箱文庫 10冊まとめて");
        listed.category = QStringLiteral("本、雑誌 > 文庫");
        listed.folder = dir.filePath(QStringLiteral("x100000001"));
        listed.confirmation = {{QStringLiteral("タイトル"), listed.title},
                               {QStringLiteral("説明"), QStringLiteral("\"引用\" と [括弧], \\ 記号")},
                               {QStringLiteral("開始価格"), QStringLiteral("800 円")}};
        HistoryStore::Error why = HistoryStore::Error::None;
        QVERIFY(historythread::storeListed(path, {listed}, &why));
        HistoryStore::Listed later = listed;
        later.title = QStringLiteral("書き換えた後");
        later.confirmation.clear();
        QVERIFY(historythread::storeListed(path, {later}, &why));

        HistoryStore h(path);
        QCOMPARE(h.open(), HistoryStore::Opened::Ok);
        const auto back = h.listed(QStringLiteral("x100000001"));
        QVERIFY(back);
        QCOMPARE(back->title, listed.title);
        QCOMPARE(back->category, listed.category);
        QCOMPARE(back->listedAt, listed.listedAt);
        QCOMPARE(back->folder, listed.folder);
        QCOMPARE(back->confirmation, listed.confirmation);
        QVERIFY(!h.listed(QStringLiteral("x100000002")));

        // A listing without an ID is no record; a folder where no database can be is said.
        HistoryStore::Listed nameless = listed;
        nameless.auctionId.clear();
        QVERIFY(!h.storeListed(nameless));
        QCOMPARE(h.error(), HistoryStore::Error::NoAuctionId);
        QVERIFY(!historythread::storeListed(dir.filePath(QStringLiteral("missing/rireki.sqlite")), {listed}, &why));
        QCOMPARE(why, HistoryStore::Error::NoFolder);

        // Rows mended by hand into something else are passed over, not guessed at.
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE listings SET confirmation = '[[\"題名\", \"ok\"], [1, 2], \"x\"]'")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        const auto mended = h.listed(QStringLiteral("x100000001"));
        QVERIFY(mended);
        QCOMPARE(mended->confirmation, (QList<QPair<QString, QString>>{{QStringLiteral("題名"), QStringLiteral("ok")}}));
    }

    // A refresh adds what is new and reads the site's facts again, but what the seller entered
    // stays; the same auction with another winner is a second sale, and is said.
    void salesAreRefreshedWithoutTouchingWhatTheSellerEntered() {
        QTemporaryDir dir;
        HistoryStore h(dir.filePath(QStringLiteral("rireki.sqlite")));
        QCOMPARE(h.open(), HistoryStore::Opened::Ok);
        const auto sale = [](const char* id, const char* winner, const char* title, qint64 price) {
            salestable::Row r;
            r.auctionId = QLatin1String(id);
            r.winnerId = QLatin1String(winner);
            r.title = QString::fromUtf8(title);
            r.price = price;
            r.ended = at(1, 21);
            return r;
        };
        auto seen = salestable::storeSeen(h, {sale("a1", "buyer_1", "空箱文庫 10冊", 800), sale("a2", "buyer_2", "木の小箱", 1200)});
        QVERIFY(seen);
        QCOMPARE(seen->added, 2);

        salestable::Row mine = sale("a1", "buyer_1", "", 0);
        mine.stage = QStringLiteral("入金確認");
        mine.moves = QStringLiteral("[[\"落札\",\"連絡済\",\"2026-12-02T00:00:00.000Z\"]]");
        mine.tracking = QStringLiteral("1234-5678-9012");
        mine.shipped = QDate(2026, 12, 4);
        mine.note = QStringLiteral("箱は別に用意");
        QVERIFY(salestable::storeSellers(h, mine));
        QVERIFY(!salestable::storeSellers(h, sale("a9", "nobody", "", 0)));

        seen = salestable::storeSeen(h, {sale("a1", "buyer_1", "空箱文庫 10冊（訂正）", 800), sale("a2", "buyer_2", "木の小箱", 1200),
                                         sale("a3", "buyer_3", "布の袋", 500)});
        QVERIFY(seen);
        QCOMPARE(seen->added, 1);
        QVERIFY(seen->newWinner.isEmpty());
        seen = salestable::storeSeen(h, {sale("a2", "buyer_next", "木の小箱", 1100)});
        QVERIFY(seen);
        QCOMPARE(seen->newWinner, QStringList{QStringLiteral("a2")});

        const auto rows = salestable::all(h);
        QVERIFY(rows);
        QCOMPARE(rows->size(), 4);
        int a2 = 0;
        for (const salestable::Row& r : *rows) {
            if (r.auctionId == QLatin1String("a2")) ++a2;
            if (r.auctionId != QLatin1String("a1")) {
                QCOMPARE(r.stage, QStringLiteral("落札"));
                continue;
            }
            QCOMPARE(r.title, QStringLiteral("空箱文庫 10冊（訂正）"));
            QCOMPARE(r.stage, mine.stage);
            QCOMPARE(r.moves, mine.moves);
            QCOMPARE(r.tracking, mine.tracking);
            QCOMPARE(r.shipped, mine.shipped);
            QCOMPARE(r.note, mine.note);
            QCOMPARE(r.price, 800);
        }
        QCOMPARE(a2, 2);
    }

    // A long list is read in parts at once: each sale comes back once, the newest end first,
    // while another program holds a write open.
    void aLongListComesBackWholeAndInOrder() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rireki.sqlite"));
        HistoryStore h(path);
        QCOMPARE(h.open(), HistoryStore::Opened::Ok);
        QList<salestable::Row> rows;
        for (int i = 0; i < 301; ++i) {
            salestable::Row r;
            r.auctionId = QStringLiteral("b%1").arg(i * 7919 % 301);
            r.winnerId = QStringLiteral("buyer_%1").arg(i % 5);
            r.price = i;
            r.ended = at(1 + i % 9, 8 + i % 3);  // many sales end at the same moment
            rows << r;
        }
        QVERIFY(salestable::storeSeen(h, rows));
        salestable::Row paid = rows[40];
        paid.shippingFee = 0;
        paid.itemCost = 350;
        QVERIFY(salestable::storeSellers(h, paid));

        QSqlDatabase rival = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("rival"));
        rival.setDatabaseName(path);
        QVERIFY(rival.open());
        QVERIFY(rival.transaction());
        QVERIFY(QSqlQuery(rival).exec(QStringLiteral("UPDATE sales SET price = price + 1000")));

        const std::optional<QList<salestable::Row>> back = salestable::allAt(path, 1000);
        rival.rollback();
        rival.close();
        rival = {};
        QSqlDatabase::removeDatabase(QStringLiteral("rival"));
        QVERIFY(back);
        QCOMPARE(back->size(), 301);
        QSet<QString> ids;
        qint64 prices = 0;
        for (int i = 0; i < back->size(); ++i) {
            const salestable::Row& r = back->at(i);
            ids << r.auctionId;
            prices += r.price;
            if (i > 0) {
                const salestable::Row& before = back->at(i - 1);
                QVERIFY(before.ended > r.ended || (before.ended == r.ended && before.auctionId < r.auctionId));
            }
            QCOMPARE(r.shippingFee, r.auctionId == paid.auctionId ? 0 : -1);
            QCOMPARE(r.itemCost, r.auctionId == paid.auctionId ? 350 : -1);
        }
        QCOMPARE(ids.size(), 301);
        QCOMPARE(prices, 300 * 301 / 2);
    }

    void aDamagedDatabaseIsMovedAsideNeverDeleted() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rireki.sqlite"));
        QFile junk(path);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        const QByteArray bytes = QByteArray("SQLite format 3") + QByteArray(4000, '\x5a');
        junk.write(bytes);
        junk.close();
        HistoryStore h(path);
        QCOMPARE(h.open(), HistoryStore::Opened::MovedAside);
        QVERIFY(h.movedAsidePath().startsWith(path + QStringLiteral(".damaged-")));
        QFile aside(h.movedAsidePath());
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), bytes);
        QVERIFY(h.store(at(5, 9), {row("a1", "カメラ", "1", "", "", "1")}));  // a new one, working
        QCOMPARE(h.history(QStringLiteral("a1")).size(), 1);
        // Held by another program (here in the journal mode that locks readers out), or not
        // readable: not damaged, so it stays where it is and the open fails.
        {
            const QString held = dir.filePath(QStringLiteral("held.sqlite"));
            {
                HistoryStore first(held);
                QCOMPARE(first.open(), HistoryStore::Opened::Ok);
                QVERIFY(first.store(at(5, 9), {row("a1", "カメラ", "1", "", "", "1")}));
            }
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("exclusive"));
            db.setDatabaseName(held);
            QVERIFY(db.open());
            QSqlQuery lock(db);
            QVERIFY(lock.exec(QStringLiteral("PRAGMA journal_mode=DELETE")));
            lock.finish();
            QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            QVERIFY(lock.exec(QStringLiteral("INSERT INTO titles (text) VALUES ('x')")));
            HistoryStore second(held);
            QCOMPARE(second.open(), HistoryStore::Opened::Failed);
            QCOMPARE(second.error(), HistoryStore::Error::Busy);
            QVERIFY(second.movedAsidePath().isEmpty());
            QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("exclusive"));
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("held.sqlite.damaged-*")}).size(), 0);
        // A folder that is not there: no database, said as such.
        HistoryStore nowhere(dir.filePath(QStringLiteral("missing/rireki.sqlite")));
        QCOMPARE(nowhere.open(), HistoryStore::Opened::Failed);
        QCOMPARE(nowhere.error(), HistoryStore::Error::NoFolder);
    }

    void anotherProgramHoldingTheLockAndTwoAtOnce() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rireki.sqlite"));
        HistoryStore one(path), two(path);
        QCOMPARE(one.open(), HistoryStore::Opened::Ok);
        QCOMPARE(two.open(), HistoryStore::Opened::Ok);
        // Two programs on one folder, scanning by turns: every scan kept, none damaged.
        for (int i = 0; i < 10; ++i) {
            QVERIFY(one.store(at(6, 0).addSecs(i * 120), {row("a1", "カメラ", "1", "", "", "1")}));
            QVERIFY(two.store(at(6, 0).addSecs(i * 120 + 60), {row("a1", "カメラ", "2", "", "", "1")}));
        }
        QCOMPARE(one.history(QStringLiteral("a1")).size(), 20);
        QCOMPARE(two.scanTimes().size(), 20);

        // A third holds the write lock for longer than a store waits: the store fails whole.
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery hold(db);
            QVERIFY(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            QVERIFY(!one.store(at(7, 9), {row("a1", "カメラ", "3", "", "", "1"), row("b2", "本", "1", "", "", "1")}));
            QCOMPARE(one.error(), HistoryStore::Error::Busy);
            QVERIFY(hold.exec(QStringLiteral("ROLLBACK")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        QCOMPARE(one.scanTimes().size(), 20);  // nothing half-stored
        QVERIFY(one.store(at(7, 10), {row("b2", "本", "1", "", "", "1")}));
    }

    // Another program holds the history while scans end: each waits in the pending file, the
    // later behind the earlier, and the next scan once it is free stores them first, oldest
    // first, and compares with the last kept of them. No scan is stored twice.
    void scansTheHistoryCannotTakeWaitAndAreStoredOnce() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rireki.sqlite"));
        const QString pending = dir.filePath(QStringLiteral("rireki.pending.json"));
        {
            HistoryStore h(path);
            QCOMPARE(h.open(), HistoryStore::Opened::Ok);
            QVERIFY(h.store(at(8, 9), {row("a1", "カメラ", "10", "", "", "500")}));
        }
        const auto request = [&](const QDateTime& taken, const QList<HistoryStore::Row>& rows) {
            historythread::Request r;
            r.path = path;
            r.pendingPath = pending;
            r.taken = taken;
            r.rows = rows;
            r.store = r.kept = true;
            return r;
        };
        const QList<HistoryStore::Row> noon{row("a1", "カメラ", "14", "1", "", "500"), row("b2", "本", "3", "", "", "800")};
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery hold(db);
            QVERIFY(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            const historythread::Answer first = historythread::ask(request(at(8, 12), noon));
            QVERIFY(!first.stored);
            QVERIFY(first.pending);
            QCOMPARE(first.pendingLeft, 1);
            QVERIFY(first.base);
            QCOMPARE(first.base->taken, at(8, 9));
            const historythread::Answer second = historythread::ask(request(at(8, 15), {row("a1", "カメラ", "20", "1", "", "500")}));
            QVERIFY(!second.stored && second.pending);
            QCOMPARE(second.pendingLeft, 2);
            QVERIFY(hold.exec(QStringLiteral("ROLLBACK")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        QVERIFY(QFile::exists(pending));

        const historythread::Answer free = historythread::ask(request(at(8, 18), {row("a1", "カメラ", "25", "1", "", "500")}));
        QVERIFY(free.stored);
        QCOMPARE(free.pendingStored, 2);
        QCOMPARE(free.pendingLeft, 0);
        QVERIFY(!free.pending);
        QVERIFY(free.base);
        QCOMPARE(free.base->taken, at(8, 15));
        QVERIFY(!QFile::exists(pending));
        HistoryStore h(path);
        QCOMPARE(h.open(), HistoryStore::Opened::Ok);
        QCOMPARE(h.scanTimes(), (QList<QDateTime>{at(8, 18), at(8, 15), at(8, 12), at(8, 9)}));
        const QList<HistoryStore::Entry> stored = h.scanAt(at(8, 12));
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[1].title, QStringLiteral("本"));
        QCOMPARE(stored[1].access, QStringLiteral("3"));
        QCOMPARE(stored[1].price, QStringLiteral("800"));
        QCOMPARE(stored[1].timeLeft, QStringLiteral("2日"));

        // A program that stored them and ended before it could rewrite the file: not stored again.
        QVERIFY(TextFile::writeBytes(pending, pendingscans::pendingBytes({{at(8, 12), noon, true}})));
        const historythread::PendingResult again = historythread::storePending(path, pending);
        QCOMPARE(again.left, 0);
        QVERIFY(!QFile::exists(pending));
        QCOMPARE(h.scanTimes().size(), 4);
        QCOMPARE(h.scanAt(at(8, 12)).size(), 2);

        // A file that is no pending file is kept aside, never deleted.
        QVERIFY(TextFile::writeBytes(pending, "\x7f\x7f not json"));
        QCOMPARE(historythread::storePending(path, pending).left, 0);
        QFile aside(pending + QStringLiteral(".broken"));
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), QByteArray("\x7f\x7f not json"));
    }
};

QTEST_GUILESS_MAIN(TestHistoryStore)
#include "tst_historystore.moc"
