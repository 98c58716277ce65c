#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include "sales/Deadlines.h"
#include "sales/Sale.h"

// The mail a sale's stage calls for, from the seller's templates: the mail pane's placeholders
// filled from the sale, and a few of the sale's own. Which template serves which stage, and the
// days each stage may take, are the seller's settings (section 取引管理).
namespace sales {

// The reminder for a sale past its limit (a payment that has not come, most often).
inline const QString kReminder = QStringLiteral("催促");

// The settings key of the template for the mail that brings a sale to `stage` ("メール_連絡済"),
// and for the reminder ("メール_催促").
QString mailKey(Stage stage);
QString reminderKey();
// The shipped templates: the thanks and payment mail makes a sale 連絡済, the payment's
// acknowledgement 入金確認, the shipping notice 発送済; the other stages have none until the
// seller chooses one.
QString defaultTemplate(Stage stage);
QString defaultReminderTemplate();

// "1,500円".
QString yen(qint64 amount);

// What the mail pane's placeholders take from a sale; the rest (the sender, the payment accounts,
// the ways) the pane fills as it does its own mail.
struct PaneFacts {
    QString user, title, price, cost;  // <USER>, <TITLE>, <PRICE>, <COST> (and so <TOTAL>)
};
PaneFacts paneFacts(const Sale& sale);
// The template's text with the mail pane's placeholders filled, lines ending in CR LF.
using PaneFill = std::function<QString(const QString& templateText, const PaneFacts& facts)>;

// The template's text filled for the sale: the mail pane's placeholders, then <AUCTIONID>,
// <ENDED>, <CARRIER>, <TRACKING>, <SHIPDATE>, <SHIPTO> (where the parcel goes) and <DUE> (the
// present stage's limit).
QString fill(const QString& templateText, const Sale& sale, const PaneFill& paneFill, const std::optional<Deadline>& due);
// The subject of the mail that brings the sale to `stage`; the reminder's when `reminder`.
QString subject(const Sale& sale, Stage stage, bool reminder = false);

}  // namespace sales
