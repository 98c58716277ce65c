#include "settings/SiteAddresses.h"

#include <QMap>

#include "core/ProgramFolder.h"
#include "settings/IniFile.h"
#include "site/Addresses.h"

namespace SiteAddresses {
namespace {
const QMap<QString, QString>& defaults() {
    static const QMap<QString, QString> map{
        {kAuction, QStringLiteral("https://auctions.yahoo.co.jp")},
        {kClosed, QStringLiteral("https://closeduser.auctions.yahoo.co.jp")},
        {kItemPage, QStringLiteral("https://page.auctions.yahoo.co.jp")},
        {kSelling, QStringLiteral("https://openuser.auctions.yahoo.co.jp")},
        {kLogin, QStringLiteral("https://login.yahoo.co.jp")},
        {kPortal, QStringLiteral("https://www.yahoo.co.jp/")},
        {kProduct, QStringLiteral("https://sorabako.jp/")},
    };
    return map;
}

QString configured(const QString& key) {
    const QString value = IniFile::read(ProgramFolder::settingsFile(), kSection, key);
    if (value.isEmpty()) return defaults().value(key);
    // "auctions.example.jp" is a web address, as a browser's address bar takes it, never a file.
    return value.contains(QStringLiteral("://")) ? value : QStringLiteral("http://") + value;
}
}  // namespace

QString host(const QString& key) {
    QString value = configured(key);
    while (value.endsWith(QLatin1Char('/'))) value.chop(1);
    return value;
}

QString portalTop() {
    QString value = configured(kPortal);
    if (!value.endsWith(QLatin1Char('/'))) value += QLatin1Char('/');
    return value;
}

QString productPage() { return configured(kProduct); }

site::Hosts hosts() { return {host(kAuction), host(kClosed), host(kItemPage), host(kSelling), host(kLogin), portalTop(), productPage()}; }

QString submitStartUrl() { return site::submitStartUrl(hosts()); }
QString closedListingsUrl() { return site::closedListingsUrl(hosts()); }
QString sellingUrl() { return site::sellingUrl(hosts()); }
QString itemUrl(const QString& auctionId) { return site::itemUrl(hosts(), auctionId); }
QString feedbackUrl(const QString& auctionId) { return site::feedbackUrl(hosts(), auctionId); }
QString logoutUrl() { return site::logoutUrl(hosts()); }
QString loginPageUrl() { return site::loginPageUrl(hosts()); }

void writeAll(const QString& base) {
    IniFile::update(
        ProgramFolder::settingsFile(),
        [&](IniFile& file) {
            for (const QString& key : {kAuction, kClosed, kItemPage, kSelling, kLogin}) file.setValue(kSection, key, base);
            file.setValue(kSection, kPortal, base + QLatin1Char('/'));
            file.setValue(kSection, kProduct, base + QStringLiteral("/sorabako/"));
        },
        true);
}

}  // namespace SiteAddresses
