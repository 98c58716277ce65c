#pragma once

#include <QString>

#include "site/Addresses.h"

// The auction site's hosts. The site is outside the program, so every host
// lives in the settings file (section "サイト") and falls back to the real
// site when a key is missing; the demo and the tests point them at the local
// simulator. The paths are the site definition's (site/Addresses).
namespace SiteAddresses {

inline const QString kSection = QStringLiteral("サイト");
inline const QString kAuction = QStringLiteral("オークション");  // listing pages
inline const QString kClosed = QStringLiteral("出品終了分");     // closed listings
inline const QString kItemPage = QStringLiteral("商品ページ");   // item pages
inline const QString kSelling = QStringLiteral("出品中");        // open listings
inline const QString kLogin = QStringLiteral("ログイン");        // login service
inline const QString kPortal = QStringLiteral("トップページ");   // portal top page
inline const QString kProduct = QStringLiteral("製品ページ");    // this product's web page

// The hosts as the settings hold them, for the site's address builders.
site::Hosts hosts();

// The configured value (without a trailing "/" for hosts) or the built-in default.
QString host(const QString& key);
QString portalTop();  // always ends in "/": the sign-in's success address
QString productPage();

QString submitStartUrl();     // listing start page
QString closedListingsUrl();  // closed listings that have a winner
QString sellingUrl();         // open listings
QString itemUrl(const QString& auctionId);
QString feedbackUrl(const QString& auctionId);  // a sale's feedback page
QString logoutUrl();
QString loginPageUrl();

// Points every address at one base such as "http://127.0.0.1:8080".
void writeAll(const QString& base);

}  // namespace SiteAddresses
