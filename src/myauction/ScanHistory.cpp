#include "myauction/ScanHistory.h"

#include "core/FileLock.h"
#include "core/TextFile.h"
#include "site/mInterNet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>
#include <QVariant>
#include <algorithm>
#include <iterator>

namespace {
// Times are stored as UTC text with milliseconds: sortable, and the same on every machine.
QString stamp(const QDateTime& t) { return t.toUTC().toString(Qt::ISODateWithMs); }
QDateTime fromStamp(const QString& s) { return QDateTime::fromString(s, Qt::ISODateWithMs).toLocalTime(); }

}  // namespace

QString ScanHistory::entrySelect() {
    return QStringLiteral("SELECT s.taken, f.auction, f.row, t.text, f.access, f.watch, f.bids, f.time_left, f.price "
                          "FROM figures f JOIN scans s ON s.id = f.scan LEFT JOIN titles t ON t.id = f.title");
}

ScanHistory::Entry ScanHistory::entryOf(const QSqlQuery& q) {
    Entry e;
    e.taken = fromStamp(q.value(0).toString());
    e.auctionId = q.value(1).toString();
    e.row = q.value(2).toInt();
    e.title = q.value(3).toString();
    e.access = q.value(4).toString();
    e.watch = q.value(5).toString();
    e.bids = q.value(6).toString();
    e.timeLeft = q.value(7).toString();
    e.price = q.value(8).toString();
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
    };
    return steps;
}
}  // namespace

ScanHistory::ScanHistory(const QString& path)
    : m_path(path), m_connection(QStringLiteral("scanhistory-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

ScanHistory::~ScanHistory() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isValid()) db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool ScanHistory::exec(const QString& sql) const {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (q.exec(sql)) return true;
    const_cast<ScanHistory*>(this)->failed(q.lastError());
    return false;
}

void ScanHistory::failed(const QSqlError& why) {
    m_error = why.text();
    const int code = why.nativeErrorCode().toInt() & 0xFF;
    m_busy = code == 5 /* SQLITE_BUSY */ || code == 6 /* SQLITE_LOCKED */;
}

ScanHistory::Opened ScanHistory::open() {
    m_titleIds.clear();
    m_busy = false;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        m_error = QStringLiteral("SQLite driver missing (libqt6sql6-sqlite)");
        return Opened::Failed;
    }
    if (!QDir(QFileInfo(m_path).path()).exists()) {
        m_error = QStringLiteral("folder missing");
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
            if (checked && check.next() && check.value(0).toString() == QLatin1String("ok")) {
                check.finish();  // the journal mode cannot change while a statement is open
                // Readers and one writer at a time, from several programs, without waiting for each other.
                exec(QStringLiteral("PRAGMA journal_mode=WAL"));
                exec(QStringLiteral("PRAGMA foreign_keys=ON"));
                if (!migrate()) return Opened::Failed;
                m_open = true;
                return outcome;
            }
            if (checked) m_error = QStringLiteral("quick_check: %1").arg(check.value(0).toString());
            else failed(check.lastError());
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
            m_error = QStringLiteral("cannot move %1 aside").arg(m_path);
            return Opened::Failed;
        }
        for (const char* suffix : {"-wal", "-shm"})
            if (QFile::exists(m_path + QLatin1String(suffix))) QFile::rename(m_path + QLatin1String(suffix), aside + QLatin1String(suffix));
        m_movedAside = aside;
        outcome = Opened::MovedAside;
    }
    return Opened::Failed;
}

bool ScanHistory::migrate() {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next()) {
        failed(version.lastError());
        return false;
    }
    int current = version.value(0).toInt();
    if (current > kSchemaVersion) {
        m_error = QStringLiteral("written by a newer version (schema %1)").arg(current);
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

bool ScanHistory::store(const QDateTime& taken, const QList<scan::Row>& rows, bool kept) {
    if (!m_open) return false;
    m_busy = false;
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
    figure.prepare(QStringLiteral("INSERT OR REPLACE INTO figures (auction, scan, row, title, access, watch, bids, time_left, price) "
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
            id = knownTitle.value(0);
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
        const QVariant title = titleId(rows[i].cells[1]);
        if (!title.isValid()) {
            ok = false;
            break;
        }
        figure.addBindValue(id);
        figure.addBindValue(scanId);
        figure.addBindValue(i + 1);
        figure.addBindValue(title);
        for (int c : {2, 3, 4, 5, 6}) figure.addBindValue(rows[i].cells[c]);
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

bool ScanHistory::storeListed(const QList<Listed>& listings) {
    if (!m_open) return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // One commit for many: records found on disk that the history lacks come by the thousand.
    if (!db.transaction()) {
        failed(db.lastError());
        return false;
    }
    for (const Listed& listed : listings)
        if (!storeListed(listed)) {
            db.rollback();
            return false;
        }
    if (db.commit()) return true;
    failed(db.lastError());
    db.rollback();
    return false;
}

bool ScanHistory::storeListed(const Listed& listed) {
    if (!m_open) return false;
    if (listed.auctionId.isEmpty()) {
        m_error = QStringLiteral("no auction ID");
        return false;
    }
    QJsonArray rows;
    for (const auto& [label, value] : listed.confirmation) rows.append(QJsonArray{label, value});
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    // The first record stands: a listing is recorded as it went out, never as a later copy of it.
    q.prepare(QStringLiteral("INSERT OR IGNORE INTO listings (auction, listed_at, title, category, folder, confirmation) "
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

std::optional<ScanHistory::Listed> ScanHistory::listed(const QString& auctionId) const {
    if (!m_open || auctionId.isEmpty()) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT listed_at, title, category, folder, confirmation FROM listings WHERE auction = ?"));
    q.addBindValue(auctionId);
    if (!q.exec() || !q.next()) return std::nullopt;
    Listed out;
    out.auctionId = auctionId;
    out.listedAt = fromStamp(q.value(0).toString());
    out.title = q.value(1).toString();
    out.category = q.value(2).toString();
    out.folder = q.value(3).toString();
    // Rows that are not [label, value] pairs (a hand-mended database) are passed over, not guessed at.
    for (const QJsonValue& row : QJsonDocument::fromJson(q.value(4).toString().toUtf8()).array()) {
        const QJsonArray pair = row.toArray();
        if (pair.size() == 2 && pair[0].isString() && pair[1].isString())
            out.confirmation.append({pair[0].toString(), pair[1].toString()});
    }
    return out;
}

QHash<QString, ScanHistory::Entry> ScanHistory::latestBefore(const QStringList& ids, const QDateTime& before) const {
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

std::optional<ScanHistory::Base> ScanHistory::keptBefore(const QDateTime& before) const {
    if (!m_open) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT taken FROM scans WHERE kept = 1 AND taken < ? ORDER BY taken DESC LIMIT 1"));
    q.addBindValue(stamp(before));
    if (!q.exec() || !q.next()) return std::nullopt;
    Base base;
    base.taken = fromStamp(q.value(0).toString());
    for (const Entry& e : scanAt(base.taken)) {
        base.ids << e.auctionId;
        base.byId.insert(e.auctionId, e);
    }
    return base;
}

QStringList ScanHistory::idsOfScanBefore(const QDateTime& before) const {
    QStringList ids;
    if (!m_open) return ids;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT f.auction FROM figures f WHERE f.scan = "
                             "(SELECT id FROM scans WHERE taken < ? ORDER BY taken DESC LIMIT 1) ORDER BY f.row"));
    q.addBindValue(stamp(before));
    if (!q.exec()) return ids;
    while (q.next()) ids << q.value(0).toString();
    return ids;
}

bool ScanHistory::hasScanBefore(const QDateTime& before) const {
    if (!m_open) return false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT 1 FROM scans WHERE taken < ? LIMIT 1"));
    q.addBindValue(stamp(before));
    return q.exec() && q.next();
}

QList<ScanHistory::Entry> ScanHistory::history(const QString& auctionId) const {
    QList<Entry> out;
    if (!m_open) return out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(entrySelect() + QStringLiteral(" WHERE f.auction = ? ORDER BY s.taken"));
    q.addBindValue(auctionId);
    if (!q.exec()) return out;
    while (q.next()) out << entryOf(q);
    return out;
}

QList<QDateTime> ScanHistory::scanTimes() const {
    QList<QDateTime> out;
    if (!m_open) return out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!q.exec(QStringLiteral("SELECT taken FROM scans ORDER BY taken DESC"))) return out;
    while (q.next()) out << fromStamp(q.value(0).toString());
    return out;
}

QList<ScanHistory::Entry> ScanHistory::scanAt(const QDateTime& taken) const {
    QList<Entry> out;
    if (!m_open) return out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(entrySelect() + QStringLiteral(" WHERE s.taken = ? ORDER BY f.row"));
    q.addBindValue(stamp(taken));
    if (!q.exec()) return out;
    while (q.next()) out << entryOf(q);
    return out;
}

QString ScanHistory::auctionIdOf(const QString& address) {
    // A row's address may carry the place of its bids on the page ("#bids"): the listing is the same.
    return mInterNet::auctionIdOf(QUrl(address).adjusted(QUrl::RemoveFragment));
}

namespace scanhistory {

Comparison applyPreviousById(QList<scan::Row>& rows, const QHash<QString, ScanHistory::Entry>& previous,
                             const QStringList& lastIds, bool wholeList) {
    Comparison c;
    QSet<QString> current;
    for (scan::Row& row : rows) {
        const QString id = ScanHistory::auctionIdOf(row.address);
        current.insert(id);
        const auto it = previous.constFind(id);
        if (it != previous.constEnd()) {
            row.cells[7] = it->access;
            row.cells[8] = it->watch;
            row.cells[9] = it->bids;
            row.cells[10] = it->price;
            ++c.byId;
        } else if (!lastIds.isEmpty() && !id.isEmpty()) {
            // Listed since the last scan: nothing of its own to compare with, and nobody else's figures either.
            for (int col = 7; col <= 10; ++col) row.cells[col].clear();
            row.cells[7] = kNewMark;
            // A listing with bids stays yellow from end to end; the mark says it is new.
            for (int col = 7; col <= 10; ++col)
                if (row.colours[col] != scan::kBid) row.colours[col] = kNew;
            row.listedSinceLastScan = true;
            ++c.fresh;
            ++c.byId;
        } else {
            ++c.byPosition;
        }
    }
    c.endedCounted = wholeList;
    if (wholeList)
        for (const QString& id : lastIds)
            if (!current.contains(id)) ++c.ended;
    return c;
}

namespace {
QString field(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}
QString line(const QStringList& fields) {
    QStringList out;
    for (const QString& f : fields) out << field(f);
    return out.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}
QString when(const QDateTime& t) { return t.toString(QStringLiteral("yyyy/MM/dd HH:mm")); }
}  // namespace

bool isPreviousFileOf(const ScanHistory::Base& base, const QString& fileText) {
    QList<scan::Row> rows;
    for (const QString& id : base.ids) {
        const ScanHistory::Entry& e = base.byId[id];
        scan::Row row;
        row.cells[2] = e.access;
        row.cells[3] = e.watch;
        row.cells[4] = e.bids;
        row.cells[6] = e.price;
        rows << row;
    }
    QString expected;
    for (const QString& line : scan::previousLines(rows)) expected += line + QStringLiteral("\r\n");
    return expected == fileText;
}

namespace {
// What store() keeps of a row besides its address: title, access, watch, bids, time left, price.
constexpr int kPendingCells[] = {1, 2, 3, 4, 5, 6};
// A scan's answer waits this long for a retry that holds the pending file (one store's busy wait and more).
constexpr int kPendingLockMs = 20000;

QString pendingLock(const QString& pendingPath) {
    const QFileInfo info(pendingPath);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
}

// The scans waiting, oldest first. A file that is no pending file is kept aside, never deleted, and counts as none.
QList<PendingScan> readPending(const QString& pendingPath) {
    QFile file(pendingPath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    std::optional<QList<PendingScan>> scans = pendingFromBytes(file.readAll());
    file.close();
    if (!scans) {
        QString aside = pendingPath + QStringLiteral(".broken");
        for (int n = 2; QFile::exists(aside); ++n) aside = pendingPath + QStringLiteral(".broken-%1").arg(n);
        QFile::rename(pendingPath, aside);
        return {};
    }
    std::stable_sort(scans->begin(), scans->end(), [](const PendingScan& a, const PendingScan& b) { return a.taken < b.taken; });
    return *scans;
}

bool writePending(const QString& pendingPath, const QList<PendingScan>& scans) {
    if (scans.isEmpty()) return !QFile::exists(pendingPath) || QFile::remove(pendingPath);
    return TextFile::writeBytes(pendingPath, pendingBytes(scans));
}

// Oldest first, until one is not taken: the history stays in the order the scans were taken.
int storeWaiting(ScanHistory& history, QList<PendingScan>& scans) {
    int stored = 0;
    while (!scans.isEmpty() && history.store(scans.first().taken, scans.first().rows, scans.first().kept)) {
        scans.removeFirst();
        ++stored;
    }
    return stored;
}
}  // namespace

QByteArray pendingBytes(const QList<PendingScan>& scans) {
    QJsonArray list;
    for (const PendingScan& scan : scans) {
        QJsonArray rows;
        for (const scan::Row& row : scan.rows) {
            QJsonArray cells{row.address};
            for (int c : kPendingCells) cells.append(row.cells[c]);
            rows.append(cells);
        }
        list.append(QJsonObject{{QStringLiteral("taken"), stamp(scan.taken)}, {QStringLiteral("kept"), scan.kept}, {QStringLiteral("rows"), rows}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("pending"), list}}).toJson(QJsonDocument::Compact);
}

std::optional<QList<PendingScan>> pendingFromBytes(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject() || !doc.object().value(QStringLiteral("pending")).isArray())
        return std::nullopt;
    QList<PendingScan> scans;
    for (const QJsonValue& value : doc.object().value(QStringLiteral("pending")).toArray()) {
        const QJsonObject o = value.toObject();
        PendingScan scan;
        scan.taken = fromStamp(o.value(QStringLiteral("taken")).toString());
        if (!scan.taken.isValid() || !o.value(QStringLiteral("rows")).isArray()) return std::nullopt;
        scan.kept = o.value(QStringLiteral("kept")).toBool();
        for (const QJsonValue& r : o.value(QStringLiteral("rows")).toArray()) {
            const QJsonArray cells = r.toArray();
            scan::Row row;
            row.address = cells.at(0).toString();
            for (int i = 0; i < int(std::size(kPendingCells)); ++i) row.cells[kPendingCells[i]] = cells.at(i + 1).toString();
            scan.rows << row;
        }
        scans << scan;
    }
    return scans;
}

Answer ask(const Request& request) {
    Answer answer;
    // The pending file is read and replaced by one program, and one thread, at a time.
    std::optional<FileLock> lock;
    if (!request.pendingPath.isEmpty()) lock.emplace(pendingLock(request.pendingPath), FileLock::Wait::Briefly, kPendingLockMs);
    const bool pendingKept = lock && lock->isLocked();
    QList<PendingScan> pending = pendingKept ? readPending(request.pendingPath) : QList<PendingScan>();
    const int pendingBefore = static_cast<int>(pending.size());

    ScanHistory history(request.path);
    answer.opened = history.open();
    answer.movedAside = history.movedAsidePath();
    if (answer.opened == ScanHistory::Opened::Failed) {
        answer.error = history.error();
    } else {
        answer.pendingStored = storeWaiting(history, pending);
        answer.base = history.keptBefore(request.taken);
        if (request.store) {
            // While older scans wait, this one waits behind them.
            answer.stored = pending.isEmpty() && history.store(request.taken, request.rows, request.kept);
            if (!answer.stored) answer.error = history.error();
        }
    }
    // A database another program holds, or one that takes no writes for now, takes the scan later;
    // one that cannot be opened for good (no driver, a newer program's) would never take it.
    if (request.store && !answer.stored && pendingKept && (answer.opened != ScanHistory::Opened::Failed || history.busy())) {
        pending.append({request.taken, request.rows, request.kept});
        answer.pending = true;
    }
    if (pendingKept && (answer.pending || pending.size() != pendingBefore) && !writePending(request.pendingPath, pending)) {
        // Scans stored but still listed are passed over next time (a stored scan is never stored again).
        if (answer.pending) pending.removeLast();
        answer.pending = false;
    }
    answer.pendingLeft = static_cast<int>(pending.size());
    return answer;
}

PendingResult storePending(const QString& path, const QString& pendingPath) {
    PendingResult result;
    const FileLock lock(pendingLock(pendingPath), FileLock::Wait::Briefly, 1000);
    if (!lock.isLocked()) {
        // A scan's answer is at it; what it leaves is told there.
        result.left = QFileInfo::exists(pendingPath) ? 1 : 0;
        return result;
    }
    QList<PendingScan> pending = readPending(pendingPath);
    if (pending.isEmpty()) return result;
    ScanHistory history(path);
    if (history.open() != ScanHistory::Opened::Failed) result.stored = storeWaiting(history, pending);
    if (result.stored > 0) writePending(pendingPath, pending);
    result.left = static_cast<int>(pending.size());
    return result;
}

bool storeListed(const QString& path, const ScanHistory::Listed& listed, QString* error) {
    ScanHistory history(path);
    if (history.open() != ScanHistory::Opened::Failed && history.storeListed(listed)) return true;
    if (error) *error = history.error();
    return false;
}

bool storeListed(const QString& path, const QList<ScanHistory::Listed>& listings, QString* error) {
    ScanHistory history(path);
    if (history.open() != ScanHistory::Opened::Failed && history.storeListed(listings)) return true;
    if (error) *error = history.error();
    return false;
}

std::optional<QList<ScanHistory::Listed>> listings(const QString& path) {
    if (!QFileInfo::exists(path) || !QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) return std::nullopt;
    const QString connection = QStringLiteral("scanhistory-list-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    std::optional<QList<ScanHistory::Listed>> out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        // In WAL mode a reader does not wait for a writer; the short wait is for a program in the older journal mode.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=1000"));
        if (db.open()) {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (q.exec(QStringLiteral("SELECT auction, listed_at, title, category, folder FROM listings "
                                      "ORDER BY listed_at DESC, auction DESC"))) {
                QList<ScanHistory::Listed> rows;
                while (q.next()) {
                    ScanHistory::Listed l;
                    l.auctionId = q.value(0).toString();
                    l.listedAt = fromStamp(q.value(1).toString());
                    l.title = q.value(2).toString();
                    l.category = q.value(3).toString();
                    l.folder = q.value(4).toString();
                    rows << l;
                }
                // A damaged page stops the rows part-way: that is no list.
                if (q.lastError().type() == QSqlError::NoError) out = std::move(rows);
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return out;
}

TimeAxis timeAxis(const QDateTime& first, const QDateTime& last) {
    TimeAxis axis;
    axis.from = first;
    axis.to = last > first ? last : first.addSecs(60);  // one scan: a minute's width to draw it in
    const qint64 span = axis.from.secsTo(axis.to);
    qint64 unit = 60;
    if (axis.from.date().year() != axis.to.date().year()) {
        axis.format = span >= 7 * 86400 ? QStringLiteral("yyyy/MM/dd") : QStringLiteral("yyyy/MM/dd HH:mm");
        unit = span >= 7 * 86400 ? 86400 : 60;
    } else if (axis.from.date() != axis.to.date()) {
        axis.format = span >= 7 * 86400 ? QStringLiteral("MM/dd") : QStringLiteral("MM/dd HH:mm");
        unit = span >= 7 * 86400 ? 86400 : 60;
    } else if (span < 120) {
        axis.format = QStringLiteral("HH:mm:ss");
        unit = 1;
    } else {
        axis.format = QStringLiteral("HH:mm");
    }
    // Ticks at least one unit of the label apart, so that no two read the same.
    axis.ticks = static_cast<int>(qBound(qint64(2), span / unit + 1, qint64(6)));
    return axis;
}

QStringList timeLabels(const TimeAxis& axis) {
    QStringList labels;
    const qint64 from = axis.from.toMSecsSinceEpoch(), to = axis.to.toMSecsSinceEpoch();
    for (int i = 0; i < axis.ticks; ++i)
        labels << QDateTime::fromMSecsSinceEpoch(from + (to - from) * i / (axis.ticks - 1)).toString(axis.format);
    return labels;
}

QString historyCsv(const QList<ScanHistory::Entry>& entries) {
    QString csv = line({QStringLiteral("日時"), QStringLiteral("オークションID"), QStringLiteral("タイトル"), QStringLiteral("アクセス"),
                        QStringLiteral("ウォッチ"), QStringLiteral("入札"), QStringLiteral("残り時間"), QStringLiteral("価格")});
    for (const ScanHistory::Entry& e : entries)
        csv += line({when(e.taken), e.auctionId, e.title, e.access, e.watch, e.bids, e.timeLeft, e.price});
    return csv;
}

QString scanCsv(const QList<ScanHistory::Entry>& entries) {
    QString csv = line({QStringLiteral("No."), QStringLiteral("日時"), QStringLiteral("オークションID"), QStringLiteral("タイトル"),
                        QStringLiteral("アクセス"), QStringLiteral("ウォッチ"), QStringLiteral("入札"), QStringLiteral("残り時間"),
                        QStringLiteral("価格")});
    for (const ScanHistory::Entry& e : entries)
        csv += line({QString::number(e.row), when(e.taken), e.auctionId, e.title, e.access, e.watch, e.bids, e.timeLeft, e.price});
    return csv;
}

}  // namespace scanhistory
