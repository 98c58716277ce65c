#pragma once

#include <QList>
#include <QString>

// The seller's closed listings with a winner as the site shows them, read from a page's HTML:
// one row per sale (the auction, its title, the winning price, the winner and the end), the
// link to the next page of 50, and the winner's contact on an ended item page.
namespace site {

struct ClosedRow {
    QString auctionId;
    QString title;
    qint64 price = 0;  // yen
    QString winnerId;
    QString ended;  // "yyyy/MM/dd hh:mm", as the site writes it
};

struct ClosedPage {
    enum class Kind { List, SignedOut, Unknown } kind = Kind::Unknown;
    QList<ClosedRow> rows;
    QString next;  // the next page's address (absolute, against `address`); empty on the last page
};
// `address` is where the page came from, for the next page's link.
ClosedPage readClosedPage(const QString& html, const QString& address);

struct WinnerContact {
    QString winnerId;
    QString name;
    QString mail;
    QString address;  // where the item goes, when the page shows it
    bool found() const { return !mail.isEmpty() || !name.isEmpty(); }
};
// The contact after the page's 連絡先 text: the winner's page link (ID and name) and the mail link.
WinnerContact readWinnerContact(const QString& itemPageHtml);

}  // namespace site
