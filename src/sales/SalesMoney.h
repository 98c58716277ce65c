#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include "sales/Sale.h"

// What a sale brought in: the price, the shipping charged and paid, the site's fee (a percentage
// of the price, rounded down to the yen), the item's cost, and what is left. An amount the seller
// has not typed counts as 0. A cancelled sale brought nothing.
namespace sales {

struct Money {
    int count = 0;
    qint64 price = 0, shippingCharged = 0, shippingPaid = 0, siteFee = 0, itemCost = 0;
    qint64 profit() const { return price + shippingCharged - shippingPaid - siteFee - itemCost; }
    Money& operator+=(const Money& other);
};
Money moneyOf(const Sale& sale, double feePercent);

struct Month {
    QDate month;  // its first day
    Money money;
};
// Per month of the auction's end (the seller's calendar), the oldest first; months without a sale left out.
QList<Month> byMonth(const QList<Sale>& sales, double feePercent);

// Every sale with its stage dates and money columns, for a spreadsheet: a header line, then a line
// per sale (csv's writer, CR LF).
QString salesCsv(const QList<Sale>& sales, double feePercent);

// A sum of yen as a seller types it or the shipping pane shows it ("1,030 円", "１２００円"): the
// yen; -1 when nothing is written, -2 when it is no sum ("不可", "----", letters, over 15 digits).
qint64 yenWritten(const QString& text);

// Every sale of one winner together: how many, for how much, the first and the last.
struct Buyer {
    QString winnerId, name;
    int count = 0;
    qint64 total = 0;
    QDateTime first, last;
};
// The buyers, the most sales first (then the latest).
QList<Buyer> buyersOf(const QList<Sale>& sales);

}  // namespace sales
