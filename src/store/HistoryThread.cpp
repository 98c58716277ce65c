#include "store/HistoryThread.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include "core/FileLock.h"
#include "store/PendingScans.h"

namespace historythread {

namespace {
// A scan's answer waits this long for a retry that holds the pending file (one store's busy wait and more).
constexpr int kPendingLockMs = 20000;
}  // namespace

Answer ask(const Request& request) {
    using pendingscans::PendingScan;
    Answer answer;
    // The pending file is read and replaced by one program, and one thread, at a time.
    std::optional<FileLock> lock;
    if (!request.pendingPath.isEmpty()) lock.emplace(pendingscans::lockPath(request.pendingPath), FileLock::Wait::Briefly, kPendingLockMs);
    const bool pendingKept = lock && lock->isLocked();
    QList<PendingScan> pending = pendingKept ? pendingscans::read(request.pendingPath) : QList<PendingScan>();
    const int pendingBefore = static_cast<int>(pending.size());

    HistoryStore history(request.path);
    answer.opened = history.open();
    answer.movedAside = history.movedAsidePath();
    if (answer.opened == HistoryStore::Opened::Failed) {
        answer.error = history.error();
    } else {
        answer.pendingStored = pendingscans::storeWaiting(history, pending);
        answer.base = history.keptBefore(request.taken);
        if (request.store) {
            // While older scans wait, this one waits behind them.
            answer.stored = pending.isEmpty() && history.store(request.taken, request.rows, request.kept);
            if (!answer.stored) answer.error = history.error();
        }
    }
    // A database another program holds, or one that takes no writes for now, takes the scan later;
    // one that cannot be opened for good (no driver, a newer program's) would never take it.
    if (request.store && !answer.stored && pendingKept &&
        (answer.opened != HistoryStore::Opened::Failed || history.error() == HistoryStore::Error::Busy)) {
        pending.append({request.taken, request.rows, request.kept});
        answer.pending = true;
    }
    if (pendingKept && (answer.pending || pending.size() != pendingBefore) && !pendingscans::write(request.pendingPath, pending)) {
        // Scans stored but still listed are passed over next time (a stored scan is never stored again).
        if (answer.pending) pending.removeLast();
        answer.pending = false;
    }
    answer.pendingLeft = static_cast<int>(pending.size());
    return answer;
}

PendingResult storePending(const QString& path, const QString& pendingPath) {
    PendingResult result;
    const FileLock lock(pendingscans::lockPath(pendingPath), FileLock::Wait::Briefly, 1000);
    if (!lock.isLocked()) {
        // A scan's answer is at it; what it leaves is told there.
        result.left = QFileInfo::exists(pendingPath) ? 1 : 0;
        return result;
    }
    QList<pendingscans::PendingScan> pending = pendingscans::read(pendingPath);
    if (pending.isEmpty()) return result;
    HistoryStore history(path);
    if (history.open() != HistoryStore::Opened::Failed) result.stored = pendingscans::storeWaiting(history, pending);
    if (result.stored > 0) pendingscans::write(pendingPath, pending);
    result.left = static_cast<int>(pending.size());
    return result;
}

bool storeListed(const QString& path, const QList<HistoryStore::Listed>& listings, HistoryStore::Error* error) {
    HistoryStore history(path);
    if (history.open() != HistoryStore::Opened::Failed && history.storeListed(listings)) return true;
    if (error) *error = history.error();
    return false;
}

std::optional<QList<HistoryStore::Listed>> listings(const QString& path) {
    if (!QFileInfo::exists(path) || !QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) return std::nullopt;
    const QString connection = QStringLiteral("history-list-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    std::optional<QList<HistoryStore::Listed>> out;
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
                const QSqlRecord columns = q.record();
                const int auction = columns.indexOf(QStringLiteral("auction")), listedAt = columns.indexOf(QStringLiteral("listed_at")),
                          title = columns.indexOf(QStringLiteral("title")), category = columns.indexOf(QStringLiteral("category")),
                          folder = columns.indexOf(QStringLiteral("folder"));
                QList<HistoryStore::Listed> rows;
                while (q.next()) {
                    HistoryStore::Listed l;
                    l.auctionId = q.value(auction).toString();
                    l.listedAt = HistoryStore::fromStamp(q.value(listedAt).toString());
                    l.title = q.value(title).toString();
                    l.category = q.value(category).toString();
                    l.folder = q.value(folder).toString();
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

std::optional<QList<salestable::Row>> sales(const QString& path) {
    if (!QFileInfo::exists(path)) return std::nullopt;
    return salestable::allAt(path, 1000);
}

}  // namespace historythread
