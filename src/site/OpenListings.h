#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The seller's open listings as the site shows them: the walk over the list
// pages (the links the site writes, page after page) and the figures of an
// item page read from its markup. The texts the walk and the reader look for
// are the site definition's.
namespace scan {

struct Link {
    QString text;  // visible text, untrimmed
    QString href;
};

// What an item page gives: read from its markup.
struct Figures {
    QString price;     // column 6, digits only
    QString watch;     // column 3
    QString timeLeft;  // column 5
    QString access;    // column 2
};
Figures parseItemFigures(const QString& pageText);

// One thing the walk does with a link, in walking order.
struct Step {
    enum class Kind { Title, Bid } kind;
    QString address;  // whose figures are fetched
    QString text;     // the link's untrimmed text
    int counter;      // the walk's counter when it met the link
    bool addsRow;     // a title that is not a page link (次の50件, 前の50件)
};

// The walk over the open-listings pages, as one run of the rules: `pages`
// holds the links of the pages loaded so far (no value for a page that did
// not load). When the walk reaches a page it does not have yet, `missing` is
// that page's address and the steps are not complete: load it and walk again.
struct Walk {
    QList<Step> steps;
    QString missing;
};
Walk walk(const QString& firstPage, const QHash<QString, std::optional<QList<Link>>>& pages);

// What a loaded page of the open listings is: the list (its 残り時間 link
// heads the list, even an empty one), the site asking for a sign-in (a password
// field), or something else (garbage, another page).
enum class ListPage { List, SignedOut, Unknown };
ListPage classifyListPage(const QList<Link>& links, bool asksForSignIn);

// The page an address names: the part after '#' is a place in the page, not another page
// (a bid count links to its own listing's page at its bids).
QString pageOf(const QString& address);
// The pages whose figures the walk needs, each once, in walking order.
QStringList fetchList(const QList<Step>& steps);

// A figure that is a number: blanks around it, a sign, digits with thousands commas, one decimal point.
std::optional<double> numeric(const QString& text);

// The link that heads the list, and the label an item page's price follows.
QString listHeading();
QString priceLabel();

}  // namespace scan
