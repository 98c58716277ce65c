#include "sales/SaleRecord.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "store/HistoryStore.h"

namespace sales {

salestable::Row toRow(const Sale& s) {
    salestable::Row r;
    r.auctionId = s.auctionId;
    r.winnerId = s.winnerId;
    r.title = s.title;
    r.winnerName = s.winnerName;
    r.winnerMail = s.winnerMail;
    r.price = s.price;
    r.ended = s.ended;
    r.stage = stageName(s.stage);
    QJsonArray moves;
    for (const Move& m : s.moves) moves.append(QJsonArray{stageName(m.from), stageName(m.to), HistoryStore::stamp(m.at)});
    r.moves = QString::fromUtf8(QJsonDocument(moves).toJson(QJsonDocument::Compact));
    r.carrier = s.shipment.carrier;
    r.tracking = s.shipment.tracking;
    r.shipped = s.shipment.date;
    r.cancelReason = cancelReasonName(s.cancelReason);
    r.note = s.note;
    r.address = s.address;
    r.shippingFee = s.shippingFee;
    r.shippingPaid = s.shippingPaid;
    r.itemCost = s.itemCost;
    return r;
}

Sale fromRow(const salestable::Row& r) {
    Sale s;
    s.auctionId = r.auctionId;
    s.winnerId = r.winnerId;
    s.title = r.title;
    s.winnerName = r.winnerName;
    s.winnerMail = r.winnerMail;
    s.price = r.price;
    s.ended = r.ended;
    s.stage = stageNamed(r.stage).value_or(Stage::Won);
    // Most sales of a long list never moved: no JSON to read.
    const QJsonArray moves = r.moves == QLatin1String("[]") ? QJsonArray() : QJsonDocument::fromJson(r.moves.toUtf8()).array();
    for (const QJsonValue& v : moves) {
        const QJsonArray m = v.toArray();
        const std::optional<Stage> from = stageNamed(m.at(0).toString()), to = stageNamed(m.at(1).toString());
        const QDateTime at = HistoryStore::fromStamp(m.at(2).toString());
        if (from && to && at.isValid()) s.moves.append({*from, *to, at});
    }
    s.shipment = {r.carrier, r.tracking, r.shipped};
    s.cancelReason = r.cancelReason == cancelReasonName(CancelReason::Winner)   ? CancelReason::Winner
                     : r.cancelReason == cancelReasonName(CancelReason::Seller) ? CancelReason::Seller
                                                                                : CancelReason::None;
    s.note = r.note;
    s.address = r.address;
    s.shippingFee = r.shippingFee;
    s.shippingPaid = r.shippingPaid;
    s.itemCost = r.itemCost;
    return s;
}

}  // namespace sales
