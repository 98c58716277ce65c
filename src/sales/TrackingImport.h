#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include "sales/Sale.h"

namespace csv {
struct Table;
}

// Tracking numbers taken from the sheet the carrier's label program saves: each line of
// it matched to the seller's sales, by an auction ID written anywhere on the line (the
// label's reference field), or else by the postcode and the winner's name of a sale's
// address. Nothing the seller already typed is overwritten.
namespace sales {

struct TrackingLine {
    enum class Outcome {
        Take,       // the sale gets this number
        Same,       // the sale has it already
        Different,  // the sale has another number: kept as it is
        Ended,      // the sale is cancelled or rated
        Twice,      // the sale is on two lines with different numbers: neither is taken
        Ambiguous,  // the auction has several winners and the line's name says none of them
        NotFound,   // no sale matches the line
        NoNumber,   // the line's number is empty or not a number
    };
    int line = 0;  // in the file, for the seller
    QString tracking;
    QDate date;        // the line's ship date; invalid where the file has none
    QString carrier;   // the line's carrier; empty where the file has none
    QList<int> sales;  // indexes into the list matched against
    QString how;       // how the line was matched, for the seller to check
    Outcome outcome = Outcome::NotFound;
};

struct TrackingFile {
    QList<TrackingLine> lines;
    QString problem;  // Japanese; lines is empty when it is set
};

TrackingFile readTrackingFile(const csv::Table& table, const QList<Sale>& sales);
QString outcomeText(TrackingLine::Outcome outcome);

}  // namespace sales
