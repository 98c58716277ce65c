#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class HistoryStore;
class QSqlDatabase;

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
    QString address;  // where the parcel goes: the site's until the seller types one
    // Yen; -1 while not known.
    qint64 shippingFee = -1;   // charged to the winner
    qint64 shippingPaid = -1;  // what the seller paid the carrier
    qint64 itemCost = -1;      // what the item cost the seller
};

}  // namespace salestable
// Lists of ten thousand rows grow by moving their bytes: every member is relocatable.
Q_DECLARE_TYPEINFO(salestable::Row, Q_RELOCATABLE_TYPE);
namespace salestable {

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
// The same from the database file, on a connection of its own (any thread), read-only.
std::optional<QList<Row>> allAt(const QString& path, int busyMs);

// A mail made for a sale, as it left the program (or was copied): kept for good.
struct Mail {
    QString auctionId, winnerId;
    QDateTime made;
    QString stage;  // the stage it was written for
    QString addressee, subject, body;
    QString handed;  // "メーラー", "コピー", …
};
bool keepMail(HistoryStore& store, const Mail& mail);
// One sale's mails, oldest first; with `text`, every sale's mails whose addressee, subject or body holds it.
std::optional<QList<Mail>> mails(const HistoryStore& store, const QString& auctionId, const QString& winnerId);
std::optional<QList<Mail>> searchMails(const HistoryStore& store, const QString& text);

// What the seller notes of a buyer: a 要注意 reason shows on every later sale to that buyer.
struct Buyer {
    QString winnerId, caution, note;
};
// Stores the buyer's 要注意 reason; a buyer's note already kept stays as it is.
bool storeBuyer(HistoryStore& store, const Buyer& buyer);
std::optional<QList<Buyer>> buyers(const HistoryStore& store);

}  // namespace salestable
