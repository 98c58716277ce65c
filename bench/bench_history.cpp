// The scan history database, both ways in the same run:
//  - storing one scan in one transaction, against a transaction per row (every
//    row its own commit, its own wait for the disk);
//  - one listing's history out of a year of scans, by its key, against reading
//    the whole table and picking the listing's rows out;
//  - 出品記録's list from the history's table of records, against reading every
//    record's folder.
//   bench_history <runs> <listings per scan> <scans in the year> <records>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVariant>

#include "Median.h"

#include "myauction/Scan.h"
#include "store/HistoryStore.h"
#include "store/HistoryThread.h"
#include "listing/records/ListingRecord.h"

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}
QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

// A listing is on the site about a week; about `perScan / 60` new ones come every scan.
QString auctionId(int n) { return QStringLiteral("b%1").arg(100000000 + n); }

QList<scan::Row> aScan(int scanNo, int perScan) {
    const int first = scanNo * qMax(1, perScan / 60);
    QList<scan::Row> rows;
    for (int i = 0; i < perScan; ++i) {
        const int n = first + i;
        scan::Row row;
        row.address = QStringLiteral("https://page.auctions.example.jp/jp/auction/") + auctionId(n);
        row.cells[0] = QString::number(i + 1);
        row.cells[1] = QStringLiteral("テスト出品 木製の小物入れ 第%1号 手作り 一点物").arg(n);
        row.cells[2] = QString::number((scanNo - n / qMax(1, perScan / 60)) * 3 + n % 7);
        row.cells[3] = QString::number(n % 11);
        row.cells[4] = QString::number(n % 4);
        row.cells[5] = QStringLiteral("%1日").arg(1 + n % 7);
        row.cells[6] = QString::number(500 + (n % 40) * 100);
        rows << row;
    }
    return rows;
}

QDateTime timeOf(int scanNo) {
    // Nine scans a day through the year.
    return QDateTime(QDate(2026, 1, 1), QTime(8, 0)).addSecs(qint64(scanNo) * 24 * 3600 / 9);
}

// The same rows as HistoryStore::store writes them, each row in a transaction of its own.
class PerRowStore {
public:
    explicit PerRowStore(const QString& path) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("perrow"));
        db.setDatabaseName(path);
        m_open = db.open();
    }
    ~PerRowStore() {
        QSqlDatabase::database(QStringLiteral("perrow"), false).close();
        QSqlDatabase::removeDatabase(QStringLiteral("perrow"));
    }
    bool store(const QDateTime& taken, const QList<scan::Row>& rows) {
        if (!m_open) return false;
        QSqlDatabase db = QSqlDatabase::database(QStringLiteral("perrow"), false);
        QSqlQuery scanRow(db), knownTitle(db), newTitle(db), figure(db);
        scanRow.prepare(QStringLiteral("INSERT INTO scans (taken, listings) VALUES (?, ?)"));
        scanRow.addBindValue(taken.toUTC().toString(Qt::ISODateWithMs));
        scanRow.addBindValue(static_cast<int>(rows.size()));
        bool ok = scanRow.exec();
        const QVariant scanId = scanRow.lastInsertId();
        knownTitle.prepare(QStringLiteral("SELECT id FROM titles WHERE text = ?"));
        newTitle.prepare(QStringLiteral("INSERT INTO titles (text) VALUES (?)"));
        figure.prepare(
            QStringLiteral("INSERT OR REPLACE INTO figures (auction, scan, row, title, access, watch, bids, time_left, price) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 0; ok && i < rows.size(); ++i) {
            ok = db.transaction();
            QVariant title = m_titleIds.value(rows[i].cells[1]);
            if (!title.isValid()) {
                knownTitle.addBindValue(rows[i].cells[1]);
                ok = ok && knownTitle.exec();
                if (ok && knownTitle.next()) {
                    title = knownTitle.value(0);
                } else if (ok) {
                    newTitle.addBindValue(rows[i].cells[1]);
                    ok = newTitle.exec();
                    title = newTitle.lastInsertId();
                }
                knownTitle.finish();
            }
            figure.addBindValue(HistoryStore::auctionIdOf(rows[i].address));
            figure.addBindValue(scanId);
            figure.addBindValue(i + 1);
            figure.addBindValue(title);
            for (int c : {2, 3, 4, 5, 6}) figure.addBindValue(rows[i].cells[c]);
            ok = ok && figure.exec() && db.commit();
            if (ok) m_titleIds.insert(rows[i].cells[1], title);
        }
        if (!ok) err() << "bench_history: " << figure.lastError().text() << db.lastError().text() << "\n";
        return ok;
    }

private:
    bool m_open = false;
    QHash<QString, QVariant> m_titleIds;  // as the program keeps them: the same statements both ways
};

// Every row of the table read, the listing's kept: what a history without its key costs.
QList<HistoryStore::Entry> historyByFullRead(const QString& path, const QString& id) {
    QList<HistoryStore::Entry> found;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fullread"));
        db.setDatabaseName(path);
        if (!db.open()) return found;
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(HistoryStore::entrySelect());
        const int auction = q.record().indexOf(QStringLiteral("auction"));
        while (q.next()) {
            if (q.value(auction).toString() != id) continue;
            found << HistoryStore::entryOf(q);
        }
        std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.taken < b.taken; });
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fullread"));
    return found;
}

bool same(const QList<HistoryStore::Entry>& a, const QList<HistoryStore::Entry>& b) {
    if (a.size() != b.size()) return false;
    for (int i = 0; i < a.size(); ++i)
        if (a[i].taken != b[i].taken || a[i].access != b[i].access || a[i].price != b[i].price || a[i].title != b[i].title) return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = qMax(1, app.arguments().value(1).toInt());
    const int perScan = qMax(1, app.arguments().value(2, QStringLiteral("150")).toInt());
    const int scans = qMax(2, app.arguments().value(3, QStringLiteral("3333")).toInt());
    const int records = qMax(1, app.arguments().value(4, QStringLiteral("5000")).toInt());
    // On the disk a seller's folder is on, not in memory: a commit's cost is its wait for the disk.
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench_history-XXXXXX"));
    if (!dir.isValid()) {
        err() << "bench_history: no folder to work in\n";
        return 1;
    }

    // 1. One scan stored.
    {
        const QString a = dir.filePath(QStringLiteral("one.sqlite"));
        const QString b = dir.filePath(QStringLiteral("perrow.sqlite"));
        HistoryStore one(a), perRow(b);
        if (one.open() != HistoryStore::Opened::Ok || perRow.open() != HistoryStore::Opened::Ok) {
            err() << "bench_history: error " << int(one.error()) << " " << int(perRow.error()) << "\n";
            return 1;
        }
        PerRowStore baseline(b);
        QList<double> once, each;
        for (int i = 0; i < runs; ++i) {
            const QList<scan::Row> rows = aScan(i, perScan);
            const QList<HistoryStore::Row> stored = scan::storedRows(rows);
            QElapsedTimer clock;
            clock.start();
            if (!one.store(timeOf(i), stored)) {
                err() << "bench_history: error " << int(one.error()) << "\n";
                return 1;
            }
            once << clock.nsecsElapsed() / 1e6;
            clock.restart();
            if (!baseline.store(timeOf(i), rows)) return 1;
            each << clock.nsecsElapsed() / 1e6;
        }
        if (one.scanAt(timeOf(runs - 1)).size() != perScan || perRow.scanAt(timeOf(runs - 1)).size() != perScan) {
            err() << "bench_history: the two ways stored different scans\n";
            return 1;
        }
        const double o = median(once), e = median(each);
        out() << QStringLiteral("storing a %1-row scan: one transaction %2 ms, baseline (a transaction per row) %3 ms (medians of %4)\n")
                     .arg(perScan)
                     .arg(o, 0, 'f', 2)
                     .arg(e, 0, 'f', 2)
                     .arg(runs)
              << QStringLiteral("ratio per-row/one: %1 (goal: at least 20)\n").arg(e / o, 0, 'f', 1);
        out().flush();
    }

    // 2. 出品記録's list: each record as the queue writes it (its folder, the memory file, the
    // confirmation rows) and in the history's table.
    {
        const QString root = dir.filePath(QStringLiteral("出品記録"));
        const QString path = dir.filePath(QStringLiteral("records.sqlite"));
        HistoryStore history(path);
        if (history.open() != HistoryStore::Opened::Ok) {
            err() << "bench_history: error " << int(history.error()) << "\n";
            return 1;
        }
        const QByteArray memoryFile = QByteArray("[出品手続]\r\n説明=") + QByteArray(3000, 'x') + "\r\n";
        QList<HistoryStore::Listed> listings;
        for (int i = 0; i < records; ++i) {
            listingrecord::Record r;
            r.auctionId = auctionId(i);
            r.listedAt = timeOf(i).toString(Qt::ISODate);
            r.title = QStringLiteral("テスト出品 木製の小物入れ 第%1号 手作り 一点物").arg(i);
            r.category = QStringLiteral("住まい、インテリア > 収納家具 > 小物入れ");
            r.description = QStringLiteral("<p>手作りの小物入れです。</p>").repeated(40);
            for (int row = 0; row < 15; ++row) r.confirmation.append({QStringLiteral("項目%1").arg(row), QStringLiteral("確認画面の内容")});
            QString problem;
            r.folder = listingrecord::write(r, memoryFile, &problem, root);
            if (r.folder.isEmpty()) {
                err() << "bench_history: " << problem << "\n";
                return 1;
            }
            HistoryStore::Listed l;
            l.auctionId = r.auctionId;
            l.listedAt = timeOf(i);
            l.title = r.title;
            l.category = r.category;
            l.folder = r.folder;
            l.confirmation = r.confirmation;
            listings << l;
        }
        if (!history.storeListed(listings)) {
            err() << "bench_history: error " << int(history.error()) << "\n";
            return 1;
        }
        QList<double> query, folders;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer clock;
            clock.start();
            const auto listed = historythread::listings(path);
            query << clock.nsecsElapsed() / 1e6;
            clock.restart();
            const QList<listingrecord::Record> read = listingrecord::all(root);
            folders << clock.nsecsElapsed() / 1e6;
            if (!listed || listed->size() != records || read.size() != records || listed->first().auctionId != read.first().auctionId) {
                err() << "bench_history: the two ways listed different records\n";
                return 1;
            }
        }
        const double q = median(query), f = median(folders);
        out() << QStringLiteral(
                     "出品記録's list of %1 records: one query %2 ms, baseline (every record's folder read) %3 ms (medians of %4)\n")
                     .arg(records)
                     .arg(q, 0, 'f', 2)
                     .arg(f, 0, 'f', 1)
                     .arg(runs)
              // The folders are in the disk cache here, as they were just written: read cold, they take far longer.
              << QStringLiteral("ratio folders/query: %1 (goal: at least 5)\n").arg(f / q, 0, 'f', 0);
        out().flush();
    }

    // 3. A year of scans, then one listing's history.
    {
        const QString path = dir.filePath(QStringLiteral("year.sqlite"));
        HistoryStore year(path);
        if (year.open() != HistoryStore::Opened::Ok) {
            err() << "bench_history: error " << int(year.error()) << "\n";
            return 1;
        }
        for (int s = 0; s < scans; ++s)
            if (!year.store(timeOf(s), scan::storedRows(aScan(s, perScan)))) {
                err() << "bench_history: error " << int(year.error()) << "\n";
                return 1;
            }
        // The next scans of the year, both ways, on the grown database.
        QList<double> once, each;
        {
            PerRowStore baseline(path);
            for (int i = 0; i < runs; ++i) {
                const int s = scans + 2 * i;
                QElapsedTimer clock;
                clock.start();
                if (!year.store(timeOf(s), scan::storedRows(aScan(s, perScan)))) return 1;
                once << clock.nsecsElapsed() / 1e6;
                clock.restart();
                if (!baseline.store(timeOf(s + 1), aScan(s + 1, perScan))) return 1;
                each << clock.nsecsElapsed() / 1e6;
            }
        }
        const double o = median(once), e = median(each);
        out() << QStringLiteral(
                     "storing a %1-row scan after a year of scans: one transaction %2 ms, baseline (a transaction per row) %3 ms\n")
                     .arg(perScan)
                     .arg(o, 0, 'f', 2)
                     .arg(e, 0, 'f', 2)
              << QStringLiteral("ratio per-row/one: %1 (goal: at least 20)\n").arg(e / o, 0, 'f', 1);
        const qint64 rowsStored = qint64(scans + 2 * runs) * perScan;
        // A listing in the middle of the year, through its whole life.
        const QString id = HistoryStore::auctionIdOf(aScan(scans / 2, perScan)[perScan / 2].address);
        out().flush();
        QList<double> keyed, full;
        QList<HistoryStore::Entry> a, b;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer clock;
            clock.start();
            a = year.history(id);
            keyed << clock.nsecsElapsed() / 1e6;
            clock.restart();
            b = historyByFullRead(path, id);
            full << clock.nsecsElapsed() / 1e6;
        }
        if (a.isEmpty() || !same(a, b)) {
            err() << "bench_history: the two ways found different histories\n";
            return 1;
        }
        const double k = median(keyed), f = median(full);
        const double megabytes = (QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size()) / 1048576.0;
        out() << QStringLiteral(
                     "history of one listing (%1 scans of it) among %2 rows (%3 scans, %4 MB): by its key %5 ms, "
                     "baseline (a full table read) %6 ms (medians of %7)\n")
                     .arg(a.size())
                     .arg(rowsStored)
                     .arg(scans + 2 * runs)
                     .arg(megabytes, 0, 'f', 1)
                     .arg(k, 0, 'f', 3)
                     .arg(f, 0, 'f', 1)
                     .arg(runs)
              << QStringLiteral("ratio full-read/keyed: %1 (goal: at least 50)\n").arg(f / k, 0, 'f', 0);
    }
    return 0;
}
