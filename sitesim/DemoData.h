#pragma once

#include <QList>
#include <QString>

// The fixed accounts and listings the simulated site knows about.
namespace demo {

struct Category {
    int id;
    QString name;
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

bool passwordMatches(const QString& login, const QString& password);

// Listings of one seller; empty for an unknown one.
QList<ClosedListing> closedWithWinner(const QString& seller);
QList<OpenListing> selling(const QString& seller);

}  // namespace demo
