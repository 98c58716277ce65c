#include "store/HistoryStore.h"

#include "core/ProgramFolder.h"

#include "core/LabelledRows.h"
#include "site/mInterNet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <QUuid>
#include <QVariant>

QString HistoryStore::stamp(const QDateTime& t) { return t.toUTC().toString(Qt::ISODateWithMs); }
QDateTime HistoryStore::fromStamp(const QString& s) { return QDateTime::fromString(s, Qt::ISODateWithMs).toLocalTime(); }

namespace {
// An entry's columns: the SELECT is written from this list and a row is read through the same
// names, so the two cannot fall out of step.
enum EntryColumn { kTaken, kAuction, kRow, kTitle, kAccess, kWatch, kBids, kTimeLeft, kPrice, kEntryColumns };
constexpr const char* kEntryColumnSql[kEntryColumns] = {"s.taken", "f.auction", "f.row",       "t.text", "f.access",
                                                        "f.watch", "f.bids",    "f.time_left", "f.price"};

// A column of a query's row by its name: a read-once row (a count, a pragma, a record).
QVariant column(const QSqlQuery& q, const QString& name) { return q.value(q.record().indexOf(name)); }
}  // namespace

QString HistoryStore::entrySelect() {
    QStringList columns;
    for (const char* sql : kEntryColumnSql) columns << QLatin1String(sql);
    return QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
           QStringLiteral(" FROM figures f JOIN scans s ON s.id = f.scan LEFT JOIN titles t ON t.id = f.title");
}

HistoryStore::Entry HistoryStore::entryOf(const QSqlQuery& q) {
    Entry e;
    e.taken = fromStamp(q.value(kTaken).toString());
    e.auctionId = q.value(kAuction).toString();
    e.row = q.value(kRow).toInt();
    e.title = q.value(kTitle).toString();
    e.access = q.value(kAccess).toString();
    e.watch = q.value(kWatch).toString();
    e.bids = q.value(kBids).toString();
    e.timeLeft = q.value(kTimeLeft).toString();
    e.price = q.value(kPrice).toString();
    return e;
}

namespace {

// The schema, version by version: migrations[k] takes a database of version k to k + 1.
const QList<QStringList>& migrations() {
    static const QList<QStringList> steps{
        {QStringLiteral("CREATE TABLE scans (id INTEGER PRIMARY KEY, taken TEXT NOT NULL UNIQUE, listings INTEGER NOT NULL)"),
         // A title is stored once, not in each of the few hundred scans of its listing: most of a row's bytes.
         QStringLiteral("CREATE TABLE titles (id INTEGER PRIMARY KEY, text TEXT NOT NULL UNIQUE)"),
         // By listing first: one listing's history is a range of the primary key, however many scans there are.
         QStringLiteral("CREATE TABLE figures (auction TEXT NOT NULL, scan INTEGER NOT NULL REFERENCES scans(id), "
                        "row INTEGER NOT NULL, title INTEGER REFERENCES titles(id), access TEXT, watch TEXT, bids TEXT, "
                        "time_left TEXT, price TEXT, PRIMARY KEY (auction, scan)) WITHOUT ROWID"),
         QStringLiteral("CREATE INDEX figures_by_scan ON figures(scan, row)")},
        // Whether the seller kept the scan (前回保存) as the base of the next comparison. The
        // scans stored before were each the next one's base: they count as kept.
        {QStringLiteral("ALTER TABLE scans ADD COLUMN kept INTEGER NOT NULL DEFAULT 1")},
        // The listings the queue took to the site, so a listing's history can show how it went out.
        // The confirmation rows are JSON text: [[label, value], …] in the page's order.
        {QStringLiteral("CREATE TABLE listings (auction TEXT PRIMARY KEY, listed_at TEXT NOT NULL, title TEXT, "
                        "category TEXT, folder TEXT, confirmation TEXT) WITHOUT ROWID")},
        // Sales after the auction: one per auction and winner (a winner moved up is a sale of its
        // own). The site's facts beside what the seller entered; moves are JSON [[from, to, time], …].
        {QStringLiteral("CREATE TABLE sales (auction TEXT NOT NULL, winner TEXT NOT NULL, title TEXT, winner_name TEXT, "
                        "winner_mail TEXT, price INTEGER, ended TEXT, seen TEXT NOT NULL, stage TEXT NOT NULL, "
                        "moves TEXT NOT NULL DEFAULT '[]', carrier TEXT, tracking TEXT, shipped TEXT, cancel_reason TEXT, "
                        "note TEXT, PRIMARY KEY (auction, winner)) WITHOUT ROWID")},
        // Where the parcel goes and what it costs, the money the seller types, every mail made for a
        // sale (the trade's record once the site has dropped its messages), and notes per buyer.
        {QStringLiteral("ALTER TABLE sales ADD COLUMN address TEXT"), QStringLiteral("ALTER TABLE sales ADD COLUMN shipping_fee INTEGER"),
         QStringLiteral("ALTER TABLE sales ADD COLUMN shipping_paid INTEGER"),
         QStringLiteral("ALTER TABLE sales ADD COLUMN item_cost INTEGER"),
         QStringLiteral("CREATE TABLE sale_mails (id INTEGER PRIMARY KEY, auction TEXT NOT NULL, winner TEXT NOT NULL, made TEXT NOT NULL, "
                        "stage TEXT, addressee TEXT, subject TEXT, body TEXT, handed TEXT)"),
         QStringLiteral("CREATE INDEX sale_mails_by_sale ON sale_mails(auction, winner, made)"),
         QStringLiteral("CREATE TABLE buyers (winner TEXT PRIMARY KEY, caution TEXT, note TEXT) WITHOUT ROWID")},
    };
    return steps;
}
}  // namespace

QString HistoryStore::programFile() { return ProgramFolder::data() + QStringLiteral("rireki.sqlite"); }

HistoryStore::HistoryStore(const QString& path)
    : m_path(path), m_connection(QStringLiteral("history-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

HistoryStore::~HistoryStore() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isValid()) db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool HistoryStore::exec(const QString& sql) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (q.exec(sql)) return true;
    failed(q.lastError());
    return false;
}

void HistoryStore::failed(const QSqlError& why) {
    const int code = why.nativeErrorCode().toInt() & 0xFF;
    m_error = code == 5 /* SQLITE_BUSY */ || code == 6 /* SQLITE_LOCKED */ ? Error::Busy : Error::Refused;
}

HistoryStore::Opened HistoryStore::open() {
    m_titleIds.clear();
    m_error = Error::None;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        m_error = Error::NoDriver;  // libqt6sql6-sqlite
        return Opened::Failed;
    }
    if (!QDir(QFileInfo(m_path).path()).exists()) {
        m_error = Error::NoFolder;
        return Opened::Failed;
    }
    Opened outcome = Opened::Ok;
    for (int attempt = 0; attempt < 2; ++attempt) {
        {
            QSqlDatabase db = QSqlDatabase::contains(m_connection) ? QSqlDatabase::database(m_connection, false)
                                                                   : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
            db.setDatabaseName(m_path);
            // Another program scanning into the same folder holds the lock for a moment: wait for it.
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
            if (!db.open()) {
                failed(db.lastError());
                return Opened::Failed;
            }
            // A damaged file (or one that is no database) fails here, not at open().
            QSqlQuery check(db);
            const bool checked = check.exec(QStringLiteral("PRAGMA quick_check"));
            if (checked && check.next() && column(check, QStringLiteral("quick_check")).toString() == QLatin1String("ok")) {
                check.finish();  // the journal mode cannot change while a statement is open
                // Readers and one writer at a time, from several programs, without waiting for each other.
                exec(QStringLiteral("PRAGMA journal_mode=WAL"));
                exec(QStringLiteral("PRAGMA foreign_keys=ON"));
                if (!migrate()) return Opened::Failed;
                m_error = Error::None;  // a damaged file moved aside is said by the outcome
                m_open = true;
                return outcome;
            }
            if (checked)
                m_error = Error::Damaged;
            else
                failed(check.lastError());
            // Only damage is moved aside. A file another program holds locked, or one this
            // user may not read, is the seller's history all the same: moved, the other
            // program would go on writing into the copy and the history would split in two.
            const int code = check.lastError().nativeErrorCode().toInt() & 0xFF;
            const bool damaged = checked || code == 11 /* SQLITE_CORRUPT */ || code == 26 /* SQLITE_NOTADB */;
            db.close();
            if (!damaged) return Opened::Failed;
        }
        if (attempt > 0) return Opened::Failed;
        // Kept aside with its journal files, never deleted: the seller or a helper may still want it.
        QString aside = m_path + QStringLiteral(".damaged-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        for (int n = 2; QFile::exists(aside); ++n) aside = m_path + QStringLiteral(".damaged-%1").arg(n);
        if (!QFile::rename(m_path, aside)) {
            m_error = Error::CannotMoveAside;
            return Opened::Failed;
        }
        for (const char* suffix : {"-wal", "-shm"})
            if (QFile::exists(m_path + QLatin1String(suffix))) QFile::rename(m_path + QLatin1String(suffix), aside + QLatin1String(suffix));
        m_movedAside = aside;
        outcome = Opened::MovedAside;
    }
    return Opened::Failed;
}

bool HistoryStore::migrate() {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next()) {
        failed(version.lastError());
        return false;
    }
    int current = column(version, QStringLiteral("user_version")).toInt();
    if (current > kSchemaVersion) {
        m_error = Error::Newer;
        return false;
    }
    while (current < kSchemaVersion) {
        // Each step whole or not at all.
        if (!db.transaction()) {
            failed(db.lastError());
            return false;
        }
        bool ok = true;
        for (const QString& sql : migrations()[current]) ok = ok && exec(sql);
        ok = ok && exec(QStringLiteral("PRAGMA user_version = %1").arg(current + 1));
        if (!ok || !db.commit()) {
            db.rollback();
            return false;
        }
        ++current;
    }
    return true;
}

bool HistoryStore::store(const QDateTime& taken, const QList<Row>& rows, bool kept) {
    if (!m_open) return false;
    m_error = Error::None;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction()) {
        failed(db.lastError());
        return false;
    }
    QSqlQuery scanRow(db);
    // A write first: SQLite waits out another program's lock only for a transaction's first
    // lock, not for a read turning into a write. A scan of that time there already (one that
    // waited, stored by a program that ended before it could say so) is ignored, not doubled.
    scanRow.prepare(QStringLiteral("INSERT OR IGNORE INTO scans (taken, listings, kept) VALUES (?, ?, ?)"));
    scanRow.addBindValue(stamp(taken));
    scanRow.addBindValue(static_cast<int>(rows.size()));
    scanRow.addBindValue(kept ? 1 : 0);
    bool ok = scanRow.exec();
    if (ok && scanRow.numRowsAffected() == 0) {
        db.rollback();
        return true;
    }
    const QVariant scanId = scanRow.lastInsertId();
    QSqlQuery knownTitle(db), newTitle(db), figure(db);
    knownTitle.prepare(QStringLiteral("SELECT id FROM titles WHERE text = ?"));
    newTitle.prepare(QStringLiteral("INSERT INTO titles (text) VALUES (?)"));
    figure.prepare(
        QStringLiteral("INSERT OR REPLACE INTO figures (auction, scan, row, title, access, watch, bids, time_left, price) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    // Titles are never changed or removed, so an ID once committed stays right; one
    // made in this transaction is remembered only if the transaction is kept.
    QHash<QString, QVariant> made;
    const auto titleId = [&](const QString& title) -> QVariant {
        if (const auto known = m_titleIds.constFind(title); known != m_titleIds.constEnd()) return *known;
        if (const auto fresh = made.constFind(title); fresh != made.constEnd()) return *fresh;
        QVariant id;
        knownTitle.addBindValue(title);
        if (!knownTitle.exec()) return QVariant();
        if (knownTitle.next()) {
            id = column(knownTitle, QStringLiteral("id"));
        } else {
            newTitle.addBindValue(title);
            if (!newTitle.exec()) return QVariant();
            id = newTitle.lastInsertId();
        }
        knownTitle.finish();
        made.insert(title, id);
        return id;
    };
    for (int i = 0; ok && i < rows.size(); ++i) {
        const QString id = auctionIdOf(rows[i].address);
        if (id.isEmpty()) continue;  // a row without an item page has no listing to follow
        const QVariant title = titleId(rows[i].title);
        if (!title.isValid()) {
            ok = false;
            break;
        }
        figure.addBindValue(id);
        figure.addBindValue(scanId);
        figure.addBindValue(i + 1);
        figure.addBindValue(title);
        for (const QString& value : {rows[i].access, rows[i].watch, rows[i].bids, rows[i].timeLeft, rows[i].price})
            figure.addBindValue(value);
        ok = figure.exec();
    }
    if (!ok) {
        QSqlError why = scanRow.lastError();
        for (const QSqlQuery* q : {&knownTitle, &newTitle, &figure})
            if (q->lastError().isValid()) why = q->lastError();
        failed(why);
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        failed(db.lastError());
        db.rollback();
        return false;
    }
    m_titleIds.insert(made);
    return true;
}

bool HistoryStore::inTransaction(const std::function<bool(QSqlDatabase&)>& work) {
    if (!m_open) return false;
    m_error = Error::None;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction()) {
        failed(db.lastError());
        return false;
    }
    if (work(db) && db.commit()) return true;
    if (m_error == Error::None) failed(db.lastError());
    db.rollback();
    return false;
}

std::optional<QSqlDatabase> HistoryStore::database() const {
    if (!m_open) return std::nullopt;
    return QSqlDatabase::database(m_connection, false);
}

bool HistoryStore::storeListed(const QList<Listed>& listings) {
    // One commit for many: records found on disk that the history lacks come by the thousand.
    return inTransaction([&](QSqlDatabase&) {
        for (const Listed& listed : listings)
            if (!storeListed(listed)) return false;
        return true;
    });
}

bool HistoryStore::storeListed(const Listed& listed) {
    if (!m_open) return false;
    if (listed.auctionId.isEmpty()) {
        m_error = Error::NoAuctionId;
        return false;
    }
    const QJsonArray rows = labelledrows::toJson(listed.confirmation);
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    // The first record stands: a listing is recorded as it went out, never as a later copy of it.
    q.prepare(
        QStringLiteral("INSERT OR IGNORE INTO listings (auction, listed_at, title, category, folder, confirmation) "
                       "VALUES (?, ?, ?, ?, ?, ?)"));
    q.addBindValue(listed.auctionId);
    q.addBindValue(stamp(listed.listedAt));
    q.addBindValue(listed.title);
    q.addBindValue(listed.category);
    q.addBindValue(listed.folder);
    q.addBindValue(QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact)));
    if (q.exec()) return true;
    failed(q.lastError());
    return false;
}

std::optional<HistoryStore::Listed> HistoryStore::listed(const QString& auctionId) const {
    if (!m_open || auctionId.isEmpty()) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT listed_at, title, category, folder, confirmation FROM listings WHERE auction = ?"));
    q.addBindValue(auctionId);
    if (!q.exec() || !q.next()) return std::nullopt;
    Listed out;
    out.auctionId = auctionId;
    out.listedAt = fromStamp(column(q, QStringLiteral("listed_at")).toString());
    out.title = column(q, QStringLiteral("title")).toString();
    out.category = column(q, QStringLiteral("category")).toString();
    out.folder = column(q, QStringLiteral("folder")).toString();
    out.confirmation =
        labelledrows::fromJson(QJsonDocument::fromJson(column(q, QStringLiteral("confirmation")).toString().toUtf8()).array());
    return out;
}

QHash<QString, HistoryStore::Entry> HistoryStore::latestBefore(const QStringList& ids, const QDateTime& before) const {
    QHash<QString, Entry> out;
    if (!m_open) return out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    // One listing at a time through its own range of the primary key: as fast after a year of scans as after one.
    q.prepare(entrySelect() + QStringLiteral(" WHERE f.auction = ? AND s.taken < ? ORDER BY s.taken DESC LIMIT 1"));
    for (const QString& id : ids) {
        if (id.isEmpty() || out.contains(id)) continue;
        q.addBindValue(id);
        q.addBindValue(stamp(before));
        if (q.exec() && q.next()) out.insert(id, entryOf(q));
    }
    return out;
}

std::optional<HistoryStore::Base> HistoryStore::keptBefore(const QDateTime& before) const {
    if (!m_open) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT taken FROM scans WHERE kept = 1 AND taken < ? ORDER BY taken DESC LIMIT 1"));
    q.addBindValue(stamp(before));
    if (!q.exec() || !q.next()) return std::nullopt;
    Base base;
    base.taken = fromStamp(column(q, QStringLiteral("taken")).toString());
    for (const Entry& e : scanAt(base.taken)) {
        base.ids << e.auctionId;
        base.byId.insert(e.auctionId, e);
    }
    return base;
}

QStringList HistoryStore::idsOfScanBefore(const QDateTime& before) const {
    QStringList ids;
    if (!m_open) return ids;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(
        QStringLiteral("SELECT f.auction FROM figures f WHERE f.scan = "
                       "(SELECT id FROM scans WHERE taken < ? ORDER BY taken DESC LIMIT 1) ORDER BY f.row"));
    q.addBindValue(stamp(before));
    if (!q.exec()) return ids;
    const int auction = q.record().indexOf(QStringLiteral("auction"));
    while (q.next()) ids << q.value(auction).toString();
    return ids;
}

bool HistoryStore::hasScanBefore(const QDateTime& before) const {
    if (!m_open) return false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT 1 FROM scans WHERE taken < ? LIMIT 1"));
    q.addBindValue(stamp(before));
    return q.exec() && q.next();
}

QList<HistoryStore::Entry> HistoryStore::history(const QString& auctionId) const {
    QList<Entry> out;
    if (!m_open) return out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(entrySelect() + QStringLiteral(" WHERE f.auction = ? ORDER BY s.taken"));
    q.addBindValue(auctionId);
    if (!q.exec()) return out;
    while (q.next()) out << entryOf(q);
    return out;
}

QList<QDateTime> HistoryStore::scanTimes() const {
    QList<QDateTime> out;
    if (!m_open) return out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!q.exec(QStringLiteral("SELECT taken FROM scans ORDER BY taken DESC"))) return out;
    const int taken = q.record().indexOf(QStringLiteral("taken"));
    while (q.next()) out << fromStamp(q.value(taken).toString());
    return out;
}

QList<HistoryStore::Entry> HistoryStore::scanAt(const QDateTime& taken) const {
    QList<Entry> out;
    if (!m_open) return out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(entrySelect() + QStringLiteral(" WHERE s.taken = ? ORDER BY f.row"));
    q.addBindValue(stamp(taken));
    if (!q.exec()) return out;
    while (q.next()) out << entryOf(q);
    return out;
}

QString HistoryStore::auctionIdOf(const QString& address) {
    // A row's address may carry the place of its bids on the page ("#bids"): the listing is the same.
    return mInterNet::auctionIdOf(QUrl(address).adjusted(QUrl::RemoveFragment));
}
