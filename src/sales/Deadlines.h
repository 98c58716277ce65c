#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "sales/Sale.h"

// What a sale at each stage waits for and by when, as the site's rules have it: the seller's
// first mail soon after the end, the winner's reply within days of it, the payment within a
// week of the end, the parcel within days of the payment. Each limit is the seller's to change.
namespace sales {

struct Limits {
    int contact = 1;   // 落札 → 連絡済, from the auction's end
    int reply = 3;     // 連絡済 → 住所確認, from the first mail
    int payment = 7;   // 住所確認 → 入金確認, from the auction's end
    int shipping = 3;  // 入金確認 → 発送済, from the payment
    int receipt = 7;   // 発送済 → 受取確認, from the shipping
    int rating = 7;    // 受取確認 → 評価済, from the receipt
};

// The limits as the settings keep them (section 取引管理, "期限_連絡" …, whole days); a key
// missing or not a number from 1 to 365 keeps its default.
Limits limitsFrom(const std::function<QString(const QString& key)>& setting);
QStringList limitKeys();  // in the order of Limits' fields

// "連絡待ち", "返信待ち", "入金待ち", "発送待ち", "受取待ち", "評価待ち"; empty for 評価済 and 取消.
QString waitingName(Stage stage);

struct Deadline {
    QDateTime due;
    int daysOver = 0;  // whole calendar days past `due` at the time asked; 0 while within it
    bool over() const { return daysOver > 0; }
};
// When the sale's present stage should be done; nothing for 評価済 and 取消, or without the date it counts from.
std::optional<Deadline> deadline(const Sale& sale, const Limits& limits, const QDateTime& now);

struct Waiting {
    Stage stage;
    int count = 0;
    int overdue = 0;
};
// Per stage that waits for something, in the stages' order: how many sales, how many past their limit.
QList<Waiting> waiting(const QList<Sale>& sales, const Limits& limits, const QDateTime& now);
// "入金待ち 3件（期限切れ 1件）、発送待ち 1件", the stages with sales only; empty when none waits.
QString summary(const QList<Waiting>& waiting);

}  // namespace sales
