#include "site/Addresses.h"

#include "site/SiteFacts.h"

#include <QUrl>

namespace site {

QString submitStartUrl(const Hosts& hosts) { return hosts.auction + fact(kPaths, QStringLiteral("出品開始")); }
QString closedListingsUrl(const Hosts& hosts) { return hosts.closed + fact(kPaths, QStringLiteral("出品終了分")); }
QString sellingUrl(const Hosts& hosts) { return hosts.selling + fact(kPaths, QStringLiteral("出品中")); }
QString itemUrl(const Hosts& hosts, const QString& auctionId) {
    // The ID exactly as the seller typed it.
    return hosts.itemPage + fact(kPaths, QStringLiteral("商品ページ")) + auctionId;
}
QString logoutUrl(const Hosts& hosts) { return hosts.login + fact(kPaths, QStringLiteral("ログアウト")) + hosts.portalTop; }

QString categoryPath(const QString& categoryId) { return fact(kPaths, QStringLiteral("カテゴリ")) + QStringLiteral("?c=") + categoryId; }

QString feedbackUrl(const Hosts& hosts, const QString& auctionId) {
    return hosts.closed + fact(kPaths, QStringLiteral("評価")) + QString::fromLatin1(QUrl::toPercentEncoding(auctionId));
}

QString categoryIdOf(const QString& categoryPath) {
    const qsizetype at = categoryPath.indexOf(QStringLiteral("?c="));
    return at < 0 ? QString() : categoryPath.mid(at + 3).section(QLatin1Char('&'), 0, 0);
}

QString loginPageUrl(const Hosts& hosts) {
    // The return address with "%3a" for the colon after its scheme, as the login page expects it.
    QString done = hosts.portalTop;
    const qsizetype colon = done.indexOf(QStringLiteral("://"));
    if (colon > 0) done.replace(colon, 1, QStringLiteral("%3a"));
    return hosts.login + fact(kPaths, QStringLiteral("ログイン画面")) + done;
}

}  // namespace site
