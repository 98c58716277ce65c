#include "store/SalesTable.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

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
    const std::optional<QSqlDatabase> db = store.database();
    if (!db) return std::nullopt;
    return allIn(*db);
}

std::optional<QList<Row>> allIn(const QSqlDatabase& db) {
    // Columns by their place in the SELECT: a list of ten thousand sales reads each row once, with
    // no lookup by name and no time-zone work (times stay UTC; the windows show them local).
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
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral(
            "SELECT auction, winner, title, winner_name, winner_mail, price, ended, seen, stage, moves, carrier, "
            "tracking, shipped, cancel_reason, note, address, shipping_fee, shipping_paid, item_cost FROM sales ORDER BY ended DESC, auction, seen")))
        return std::nullopt;
    const auto utc = [](const QVariant& v) {
        // The stamps this program writes ("2026-12-10T07:13:14.123Z") read digit by digit; anything else as ISO.
        const QString t = v.toString();
        const auto n = [&t](int from, int count) {
            int value = 0;
            for (int i = from; i < from + count; ++i) {
                const int d = t.at(i).unicode() - '0';
                if (d < 0 || d > 9) return -1;
                value = value * 10 + d;
            }
            return value;
        };
        if (t.size() == 24 && t.at(10) == QLatin1Char('T') && t.at(23) == QLatin1Char('Z')) {
            const QDate date(n(0, 4), n(5, 2), n(8, 2));
            const QTime time(n(11, 2), n(14, 2), n(17, 2), n(20, 3));
            if (date.isValid() && time.isValid()) return QDateTime(date, time, Qt::UTC);
        }
        return QDateTime::fromString(t, Qt::ISODateWithMs);
    };
    QList<Row> rows;
    while (q.next()) {
        Row r;
        r.auctionId = q.value(Auction).toString();
        r.winnerId = q.value(Winner).toString();
        r.title = q.value(Title).toString();
        r.winnerName = q.value(WinnerName).toString();
        r.winnerMail = q.value(WinnerMail).toString();
        r.price = q.value(Price).toLongLong();
        r.ended = utc(q.value(Ended));
        r.seen = utc(q.value(Seen));
        r.stage = q.value(Stage).toString();
        r.moves = q.value(Moves).toString();
        r.carrier = q.value(Carrier).toString();
        r.tracking = q.value(Tracking).toString();
        r.shipped = QDate::fromString(q.value(Shipped).toString(), Qt::ISODate);
        r.cancelReason = q.value(CancelReason).toString();
        r.note = q.value(Note).toString();
        r.address = q.value(Address).toString();
        r.shippingFee = yenOf(q.value(ShippingFee));
        r.shippingPaid = yenOf(q.value(ShippingPaid));
        r.itemCost = yenOf(q.value(ItemCost));
        rows << r;
    }
    // A damaged page stops the rows part-way: that is no list.
    if (q.lastError().type() != QSqlError::NoError) return std::nullopt;
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
