#pragma once

#include <QString>

// The site's addresses: hosts as the settings give them (the site is outside
// the program, and the demo and tests point them at the simulator), paths as
// the site definition gives them.
namespace site {

struct Hosts {
    QString auction;    // listing pages
    QString closed;     // closed listings
    QString itemPage;   // item pages
    QString selling;    // open listings
    QString login;      // login service
    QString portalTop;  // the portal's top page, ending in "/": where a sign-in ends
    QString product;    // this product's web page
};

QString submitStartUrl(const Hosts& hosts);
QString closedListingsUrl(const Hosts& hosts);
QString sellingUrl(const Hosts& hosts);
QString itemUrl(const Hosts& hosts, const QString& auctionId);
QString logoutUrl(const Hosts& hosts);
QString loginPageUrl(const Hosts& hosts);
// A category's page by the site's number for it, as the listing keeps it (no host): the page the
// seller reaches by choosing the category, with the button that goes on to the form.
QString categoryPath(const QString& categoryId);
// A sale's feedback page, for the seller signed in.
QString feedbackUrl(const Hosts& hosts, const QString& auctionId);
// The site's number of a category in such an address; empty when it has none.
QString categoryIdOf(const QString& categoryPath);

}  // namespace site
