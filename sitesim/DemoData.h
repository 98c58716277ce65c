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
    int price;  // winning bid, yen
    QString winner;
    QString endTime;
};

struct OpenListing {
    QString auctionId;
    QString title;
    int price;  // current bid, yen
    int bids;
    QString endTime;
};

const QList<Category>& categories();
const Category* findCategory(int id);
QList<Category> childrenOf(int parent);  // 0: the top level
// The names from the top level down to this category, joined by " > ".
QString categoryPath(const Category& category);

bool passwordMatches(const QString& login, const QString& password);

// Listings of one seller; empty for an unknown one.
QList<ClosedListing> closedWithWinner(const QString& seller);
QList<OpenListing> selling(const QString& seller);

}  // namespace demo
