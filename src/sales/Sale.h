#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// One sale from the auction's end to the feedback: its stages, each with the time it was
// reached, the parcel's shipment, and the seller's note. A sale moves one stage at a time
// (or ends as 取消), and the last move can be taken back.
namespace sales {

enum class Stage { Won, Contacted, AddressKnown, Paid, Shipped, Received, Rated, Cancelled };

// "落札", "連絡済", "住所確認", "入金確認", "発送済", "受取確認", "評価済", "取消".
QString stageName(Stage stage);
std::optional<Stage> stageNamed(const QString& name);
// The stage after `stage` on the way to 評価済; none after 評価済 or 取消.
std::optional<Stage> nextStage(Stage stage);
// The stages in their order, 取消 last.
const QList<Stage>& allStages();

enum class CancelReason { None, Winner, Seller };  // 落札者都合, 出品者都合
QString cancelReasonName(CancelReason reason);

struct Shipment {
    QString carrier;
    QString tracking;
    QDate date;
};

struct Move {
    Stage from;
    Stage to;
    QDateTime at;
};

struct Sale {
    QString auctionId;
    QString title;
    QString winnerId;
    QString winnerName;
    QString winnerMail;
    qint64 price = 0;  // yen
    QDateTime ended;
    Stage stage = Stage::Won;
    QList<Move> moves;  // every move, oldest first: the stage dates and the undo
    Shipment shipment;
    CancelReason cancelReason = CancelReason::None;
    QString note;
    QString address;           // where the parcel goes
    qint64 shippingFee = -1;   // yen charged for shipping; -1 while not known
    qint64 shippingPaid = -1;  // yen the seller paid the carrier
    qint64 itemCost = -1;      // yen the item cost the seller

    // When the sale reached `stage` (落札: when the auction ended); invalid when it has not.
    QDateTime reached(Stage stage) const;
};

}  // namespace sales
// Lists of ten thousand sales grow by moving their bytes: every member is relocatable.
Q_DECLARE_TYPEINFO(sales::Sale, Q_RELOCATABLE_TYPE);
namespace sales {

// Each returns false, changing nothing, when the sale is not where the move starts.
bool moveOn(Sale& sale, const QDateTime& at);
bool cancel(Sale& sale, CancelReason reason, const QDateTime& at);
// Takes the last move back (a cancelled sale returns to the stage it had); the shipment
// stays as typed.
bool undo(Sale& sale);

}  // namespace sales
