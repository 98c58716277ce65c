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
}  // namespace

std::optional<Seen> storeSeen(HistoryStore& store, const QList<Row>& rows) {
    Seen seen;
    const bool ok = store.inTransaction([&](QSqlDatabase& db) {
        QSqlQuery known(db), insert(db), update(db);
        known.prepare(QStringLiteral("SELECT winner FROM sales WHERE auction = ?"));
        insert.prepare(
            QStringLiteral("INSERT INTO sales (auction, winner, title, winner_name, winner_mail, price, ended, seen, stage) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        update.prepare(
            QStringLiteral("UPDATE sales SET title = ?, winner_name = ?, winner_mail = ?, price = ?, ended = ? "
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
            if (&q == &insert) {
                q.addBindValue(r.auctionId);
                q.addBindValue(r.winnerId);
            }
            q.addBindValue(r.title);
            q.addBindValue(r.winnerName);
            q.addBindValue(r.winnerMail);
            q.addBindValue(r.price);
            q.addBindValue(HistoryStore::stamp(r.ended));
            if (&q == &insert) {
                q.addBindValue(HistoryStore::stamp(r.seen.isValid() ? r.seen : QDateTime::currentDateTimeUtc()));
                q.addBindValue(kFirstStage);
            } else {
                q.addBindValue(r.auctionId);
                q.addBindValue(r.winnerId);
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
                           "note = ? WHERE auction = ? AND winner = ?"));
        for (const QVariant& v :
             {QVariant(r.stage.isEmpty() ? kFirstStage : r.stage), QVariant(r.moves), QVariant(r.carrier), QVariant(r.tracking),
              dateOrNull(r.shipped), QVariant(r.cancelReason), QVariant(r.note), QVariant(r.auctionId), QVariant(r.winnerId)})
            q.addBindValue(v);
        if (!q.exec()) {
            store.failedWith(q.lastError());
            return false;
        }
        return q.numRowsAffected() == 1;  // a sale the database does not have is no sale to change
    });
}

std::optional<QList<Row>> all(const HistoryStore& store) {
    const std::optional<QSqlDatabase> db = store.database();
    if (!db) return std::nullopt;
    QSqlQuery q(*db);
    if (!q.exec(QStringLiteral("SELECT auction, winner, title, winner_name, winner_mail, price, ended, seen, stage, moves, carrier, "
                               "tracking, shipped, cancel_reason, note FROM sales ORDER BY ended DESC, auction, seen")))
        return std::nullopt;
    const QSqlRecord names = q.record();
    const auto at = [&](const char* column) { return q.value(names.indexOf(QLatin1String(column))); };
    QList<Row> rows;
    while (q.next()) {
        Row r;
        r.auctionId = at("auction").toString();
        r.winnerId = at("winner").toString();
        r.title = at("title").toString();
        r.winnerName = at("winner_name").toString();
        r.winnerMail = at("winner_mail").toString();
        r.price = at("price").toLongLong();
        r.ended = HistoryStore::fromStamp(at("ended").toString());
        r.seen = HistoryStore::fromStamp(at("seen").toString());
        r.stage = at("stage").toString();
        r.moves = at("moves").toString();
        r.carrier = at("carrier").toString();
        r.tracking = at("tracking").toString();
        r.shipped = QDate::fromString(at("shipped").toString(), Qt::ISODate);
        r.cancelReason = at("cancel_reason").toString();
        r.note = at("note").toString();
        rows << r;
    }
    return rows;
}

}  // namespace salestable
