#include "store/SalesTable.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <future>
#include <system_error>
#include <memory>
#include <sqlite3.h>

#include "store/HistoryStore.h"

namespace salestable {

namespace {
const QString kFirstStage = QStringLiteral("落札");

QVariant dateOrNull(const QDate& d) { return d.isValid() ? QVariant(d.toString(Qt::ISODate)) : QVariant(); }
QVariant yenOrNull(qint64 yen) { return yen >= 0 ? QVariant(yen) : QVariant(); }
qint64 yenOf(const QVariant& v) { return v.isNull() ? -1 : v.toLongLong(); }

bool run(HistoryStore& store, QSqlQuery& q) {
    if (q.exec()) return true;
    store.failedWith(q.lastError());
    return false;
}
}  // namespace

std::optional<Seen> storeSeen(HistoryStore& store, const QList<Row>& rows) {
    Seen seen;
    const bool ok = store.inTransaction([&](QSqlDatabase& db) {
        QSqlQuery known(db), insert(db), update(db);
        known.prepare(QStringLiteral("SELECT winner FROM sales WHERE auction = ?"));
        insert.prepare(
            QStringLiteral("INSERT INTO sales (title, winner_name, winner_mail, price, ended, address, auction, winner, seen, stage) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        // A page that did not give the winner's contact this time leaves what was read before; the
        // address is the site's only until the seller has one of their own.
        update.prepare(
            QStringLiteral("UPDATE sales SET title = ?, winner_name = COALESCE(NULLIF(?, ''), winner_name), "
                           "winner_mail = COALESCE(NULLIF(?, ''), winner_mail), price = ?, ended = COALESCE(NULLIF(?, ''), ended), "
                           "address = CASE WHEN address IS NULL OR address = '' THEN ? ELSE address END "
                           "WHERE auction = ? AND winner = ?"));
        for (const Row& r : rows) {
            known.addBindValue(r.auctionId);
            if (!known.exec()) {
                store.failedWith(known.lastError());
                return false;
            }
            QStringList winners;
            while (known.next()) winners << known.value(0).toString();
            QSqlQuery& q = winners.contains(r.winnerId) ? update : insert;
            q.addBindValue(r.title);
            q.addBindValue(r.winnerName);
            q.addBindValue(r.winnerMail);
            q.addBindValue(r.price);
            q.addBindValue(HistoryStore::stamp(r.ended));
            q.addBindValue(r.address);
            q.addBindValue(r.auctionId);
            q.addBindValue(r.winnerId);
            if (&q == &insert) {
                q.addBindValue(HistoryStore::stamp(r.seen.isValid() ? r.seen : QDateTime::currentDateTimeUtc()));
                q.addBindValue(kFirstStage);
            }
            if (!q.exec()) {
                store.failedWith(q.lastError());
                return false;
            }
            if (&q == &insert) {
                ++seen.added;
                if (!winners.isEmpty() && !seen.newWinner.contains(r.auctionId)) seen.newWinner << r.auctionId;
            }
        }
        return true;
    });
    if (!ok) return std::nullopt;
    return seen;
}

bool storeSellers(HistoryStore& store, const Row& r) {
    return store.inTransaction([&](QSqlDatabase& db) {
        QSqlQuery q(db);
        q.prepare(
            QStringLiteral("UPDATE sales SET stage = ?, moves = ?, carrier = ?, tracking = ?, shipped = ?, cancel_reason = ?, "
                           "note = ?, address = ?, shipping_fee = ?, shipping_paid = ?, item_cost = ? WHERE auction = ? AND winner = ?"));
        for (const QVariant& v :
             {QVariant(r.stage.isEmpty() ? kFirstStage : r.stage), QVariant(r.moves), QVariant(r.carrier), QVariant(r.tracking),
              dateOrNull(r.shipped), QVariant(r.cancelReason), QVariant(r.note), QVariant(r.address), yenOrNull(r.shippingFee),
              yenOrNull(r.shippingPaid), yenOrNull(r.itemCost), QVariant(r.auctionId), QVariant(r.winnerId)})
            q.addBindValue(v);
        if (!run(store, q)) return false;
        return q.numRowsAffected() == 1;  // a sale the database does not have is no sale to change
    });
}

std::optional<QList<Row>> all(const HistoryStore& store) {
    if (!store.isOpen()) return std::nullopt;
    return allAt(store.path(), 3000);
}

namespace {
using Connection = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

Connection connectTo(const QString& path, int busyMs) {
    sqlite3* db = nullptr;
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return Connection(nullptr, sqlite3_close);
    }
    sqlite3_busy_timeout(db, busyMs);
    return Connection(db, sqlite3_close);
}

// The sales whose auction ID is at or after `from`, or before `below` (every sale when neither is given).
std::optional<QList<Row>> readPart(sqlite3* db, const QByteArray& from, const QByteArray& below) {
    // Columns by their place in the SELECT.
    enum {
        Auction,
        Winner,
        Title,
        WinnerName,
        WinnerMail,
        Price,
        Ended,
        Seen,
        Stage,
        Moves,
        Carrier,
        Tracking,
        Shipped,
        CancelReason,
        Note,
        Address,
        ShippingFee,
        ShippingPaid,
        ItemCost
    };
    QByteArray sql =
        "SELECT auction, winner, title, winner_name, winner_mail, price, ended, seen, stage, moves, carrier, "
        "tracking, shipped, cancel_reason, note, address, shipping_fee, shipping_paid, item_cost FROM sales";
    if (!from.isEmpty()) sql += " WHERE auction >= ?1";
    if (!below.isEmpty()) sql += " WHERE auction < ?1";
    sqlite3_stmt* q = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &q, nullptr) != SQLITE_OK) return std::nullopt;
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> finishing(q, sqlite3_finalize);
    const QByteArray& bound = from.isEmpty() ? below : from;
    if (!bound.isEmpty() && sqlite3_bind_text(q, 1, bound.constData(), static_cast<int>(bound.size()), SQLITE_STATIC) != SQLITE_OK)
        return std::nullopt;
    const auto text = [q](int c) {
        const int bytes = sqlite3_column_bytes(q, c);
        return bytes ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q, c)), bytes) : QString();
    };
    const auto yen = [q](int c) -> qint64 { return sqlite3_column_type(q, c) == SQLITE_NULL ? -1 : sqlite3_column_int64(q, c); };
    const auto utc = [q](int c) {
        // The stamps this program writes ("2026-12-10T07:13:14.123Z") read digit by digit; anything else as ISO.
        const char* t = reinterpret_cast<const char*>(sqlite3_column_text(q, c));
        const int size = sqlite3_column_bytes(q, c);
        const auto n = [t](int from, int count) {
            int value = 0;
            for (int i = from; i < from + count; ++i) {
                const int d = t[i] - '0';
                if (d < 0 || d > 9) return -1;
                value = value * 10 + d;
            }
            return value;
        };
        if (size == 24 && t[10] == 'T' && t[23] == 'Z') {
            const QDate date(n(0, 4), n(5, 2), n(8, 2));
            const QTime time(n(11, 2), n(14, 2), n(17, 2), n(20, 3));
            if (date.isValid() && time.isValid()) return QDateTime(date, time, Qt::UTC);
        }
        return QDateTime::fromString(QString::fromUtf8(t, size), Qt::ISODateWithMs);
    };
    QList<Row> rows;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(q)) == SQLITE_ROW) {
        Row r;
        r.auctionId = text(Auction);
        r.winnerId = text(Winner);
        r.title = text(Title);
        r.winnerName = text(WinnerName);
        r.winnerMail = text(WinnerMail);
        r.price = sqlite3_column_int64(q, Price);
        r.ended = utc(Ended);
        r.seen = utc(Seen);
        r.stage = text(Stage);
        r.moves = text(Moves);
        r.carrier = text(Carrier);
        r.tracking = text(Tracking);
        r.shipped = QDate::fromString(text(Shipped), Qt::ISODate);
        r.cancelReason = text(CancelReason);
        r.note = text(Note);
        r.address = text(Address);
        r.shippingFee = yen(ShippingFee);
        r.shippingPaid = yen(ShippingPaid);
        r.itemCost = yen(ItemCost);
        rows << std::move(r);
    }
    // A damaged page stops the rows part-way: that is no list.
    if (step != SQLITE_DONE) return std::nullopt;
    return rows;
}
}  // namespace

std::optional<QList<Row>> allAt(const QString& path, int busyMs) {
    // SQLite's own calls rather than Qt's: ten thousand sales are read as the window opens, and a
    // value per cell wrapped and unwrapped again costs the seller more than the table it fills.
    const Connection db = connectTo(path, busyMs);
    if (!db) return std::nullopt;
    // A long list is read in two halves at once, split at one auction ID fixed first, so no sale
    // falls in both halves. Each half is its own moment: when another program wrote between them,
    // the list is read again whole, in one.
    const auto version = [&db]() -> qint64 {
        sqlite3_stmt* q = nullptr;
        qint64 v = -1;
        if (sqlite3_prepare_v2(db.get(), "PRAGMA data_version", -1, &q, nullptr) == SQLITE_OK && sqlite3_step(q) == SQLITE_ROW)
            v = sqlite3_column_int64(q, 0);
        sqlite3_finalize(q);
        return v;
    };
    const qint64 before = version();
    QByteArray middle;
    if (sqlite3_stmt* q = nullptr;
        sqlite3_prepare_v2(db.get(), "SELECT auction FROM sales ORDER BY auction LIMIT 1 OFFSET (SELECT count(*) / 2 FROM sales)", -1, &q,
                           nullptr) == SQLITE_OK) {
        if (sqlite3_step(q) == SQLITE_ROW)
            middle = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(q, 0)), sqlite3_column_bytes(q, 0));
        sqlite3_finalize(q);
    }
    std::future<std::optional<QList<Row>>> later;
    if (!middle.isEmpty()) {
        const auto secondHalf = [&]() -> std::optional<QList<Row>> {
            const Connection other = connectTo(path, busyMs);
            if (!other) return std::nullopt;
            return readPart(other.get(), middle, {});
        };
        try {
            later = std::async(std::launch::async, secondHalf);
        } catch (const std::system_error&) {
            later = std::async(std::launch::deferred, secondHalf);  // no thread to be had: in turn
        }
    }
    std::optional<QList<Row>> rows = readPart(db.get(), {}, middle);
    if (later.valid()) {
        std::optional<QList<Row>> rest = later.get();
        if (!rows || !rest) return std::nullopt;
        rows->append(std::move(*rest));
        if (version() != before) rows = readPart(db.get(), {}, {});
    }
    if (!rows) return std::nullopt;
    // The newest end first, sorted here rather than by SQLite: its sorter copies every row once more.
    std::sort(rows->begin(), rows->end(), [](const Row& a, const Row& b) {
        if (a.ended != b.ended) return a.ended > b.ended;
        if (a.auctionId != b.auctionId) return a.auctionId < b.auctionId;
        if (a.seen != b.seen) return a.seen < b.seen;
        return a.winnerId < b.winnerId;
    });
    return rows;
}

bool keepMail(HistoryStore& store, const Mail& m) {
    return store.inTransaction([&](QSqlDatabase& db) {
        QSqlQuery q(db);
        q.prepare(
            QStringLiteral("INSERT INTO sale_mails (auction, winner, made, stage, addressee, subject, body, handed) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const QString& v : {m.auctionId, m.winnerId, HistoryStore::stamp(m.made.isValid() ? m.made : QDateTime::currentDateTimeUtc()),
                                 m.stage, m.addressee, m.subject, m.body, m.handed})
            q.addBindValue(v);
        return run(store, q);
    });
}

namespace {
std::optional<QList<Mail>> mailsWhere(const HistoryStore& store, const QString& where, const QVariantList& values) {
    const std::optional<QSqlDatabase> db = store.database();
    if (!db) return std::nullopt;
    QSqlQuery q(*db);
    q.prepare(QStringLiteral("SELECT auction, winner, made, stage, addressee, subject, body, handed FROM sale_mails WHERE ") + where +
              QStringLiteral(" ORDER BY made, id"));
    for (const QVariant& v : values) q.addBindValue(v);
    if (!q.exec()) return std::nullopt;
    QList<Mail> out;
    while (q.next())
        out << Mail{q.value(0).toString(), q.value(1).toString(), HistoryStore::fromStamp(q.value(2).toString()),
                    q.value(3).toString(), q.value(4).toString(), q.value(5).toString(),
                    q.value(6).toString(), q.value(7).toString()};
    return out;
}
}  // namespace

std::optional<QList<Mail>> mails(const HistoryStore& store, const QString& auctionId, const QString& winnerId) {
    return mailsWhere(store, QStringLiteral("auction = ? AND winner = ?"), {auctionId, winnerId});
}

std::optional<QList<Mail>> searchMails(const HistoryStore& store, const QString& text) {
    // instr, not LIKE: a % or _ the seller types is a character to find, and case is kept.
    return mailsWhere(store, QStringLiteral("instr(addressee, ?) > 0 OR instr(subject, ?) > 0 OR instr(body, ?) > 0"), {text, text, text});
}

bool storeBuyer(HistoryStore& store, const Buyer& b) {
    return store.inTransaction([&](QSqlDatabase& db) {
        QSqlQuery q(db);
        q.prepare(
            QStringLiteral("INSERT INTO buyers (winner, caution, note) VALUES (?, ?, ?) "
                           "ON CONFLICT(winner) DO UPDATE SET caution = excluded.caution"));
        q.addBindValue(b.winnerId);
        q.addBindValue(b.caution);
        q.addBindValue(b.note);
        return run(store, q);
    });
}

std::optional<QList<Buyer>> buyers(const HistoryStore& store) {
    const std::optional<QSqlDatabase> db = store.database();
    if (!db) return std::nullopt;
    QSqlQuery q(*db);
    if (!q.exec(QStringLiteral("SELECT winner, caution, note FROM buyers ORDER BY winner"))) return std::nullopt;
    QList<Buyer> out;
    while (q.next()) out << Buyer{q.value(0).toString(), q.value(1).toString(), q.value(2).toString()};
    return out;
}

}  // namespace salestable
