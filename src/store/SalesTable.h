#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class HistoryStore;

// The seller's sales in the history database: one row per auction and winner. What the site
// shows of a sale (title, winner's name and mail, price, end) is the site's and is read again at
// every refresh; what the seller entered (stage, moves, shipment, reason, note) is the seller's
// and a refresh never touches it.
namespace salestable {

struct Row {
    QString auctionId, winnerId;
    QString title, winnerName, winnerMail;
    qint64 price = 0;
    QDateTime ended;
    QDateTime seen;  // when the program first saw the sale
    // The seller's.
    QString stage;  // the stage's name; "落札" for a sale just seen
    QString moves = QStringLiteral("[]");
    QString carrier, tracking;
    QDate shipped;
    QString cancelReason, note;
};

struct Seen {
    int added = 0;
    // Auctions seen with a winner other than the one(s) kept before (a winner removed, the next
    // bidder moved up): both sales are kept, and the seller is told.
    QStringList newWinner;
};
// The sales as the site showed them, in one transaction: all taken or none.
std::optional<Seen> storeSeen(HistoryStore& store, const QList<Row>& rows);
// What the seller entered on one sale (the site's facts are left as they are).
bool storeSellers(HistoryStore& store, const Row& row);
// Every sale, the newest end first; nothing when the database could not be read.
std::optional<QList<Row>> all(const HistoryStore& store);

}  // namespace salestable
