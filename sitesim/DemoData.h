#pragma once

#include <QList>
#include <QString>

// The fixed accounts and listings the simulated site knows about.
namespace demo {

struct Category {
    int id;
    QString name;
    int parent = 0;  // 0 for a top-level category
};

struct ClosedListing {
    QString auctionId;
    QString title;
    int price;       // winning bid, yen
    QString winner;  // the winner's Yahoo! JAPAN ID
    QString endTime;
    QString winnerMail;
    QString winnerName;     // as the winner gave it for the trade
    QString winnerAddress;  // where the item goes
};

struct OpenListing {
    QString auctionId;
    QString title;
    int price;  // current bid, yen
    int bids;
    QString endTime;
    int access = 0;    // アクセス総数
    int watch = 0;     // ウォッチリストに追加した総数
    QString timeLeft;  // 残り時間, as the page shows it
    QString bidder;    // the highest bidder, when there are bids
};

const QList<Category>& categories();
const Category* findCategory(int id);
QList<Category> childrenOf(int parent);  // 0: the top level
// The names from the top level down to this category, joined by " > ".
QString categoryPath(const Category& category);

bool passwordMatches(const QString& login, const QString& password);
QStringList accounts();  // the IDs of the demo accounts

// Listings of one seller; empty for an unknown one.
QList<ClosedListing> closedWithWinner(const QString& seller);
QList<OpenListing> selling(const QString& seller);

// The figures a day of browsing changes: accesses grow, some watch, a few bid.
// `round` counts the times the seller has looked at the list.
void advance(QList<OpenListing>& listings, int round);

}  // namespace demo
