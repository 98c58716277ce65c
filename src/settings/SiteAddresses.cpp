#include "settings/SiteAddresses.h"

#include <QMap>

#include "core/ProgramFolder.h"
#include "settings/IniFile.h"

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

QString submitStartUrl() { return host(kAuction) + QStringLiteral("/jp/0-submit.html"); }
QString closedListingsUrl() { return host(kClosed) + QStringLiteral("/jp/show/mystatus?select=closed&hasWinner=1"); }
QString sellingUrl() { return host(kSelling) + QStringLiteral("/jp/show/mystatus?select=selling"); }
QString itemUrl(const QString& auctionId) { return host(kItemPage) + QStringLiteral("/jp/auction/") + auctionId; }

QString logoutUrl() {
    return host(kLogin) + QStringLiteral("/config/login?.lg=jp&.intl=jp&logout=1&.src=www&.done=") + portalTop();
}

QString loginPageUrl() {
    QString done = portalTop();
    const qsizetype colon = done.indexOf(QStringLiteral("://"));
    if (colon > 0) done.replace(colon, 1, QStringLiteral("%3a"));
    return host(kLogin) + QStringLiteral("/config/login?.src=www&partner=&.protoctl=&.v=&.u=&.intl=jp&.done=") + done;
}

void writeAll(const QString& base) {
    IniFile::update(ProgramFolder::settingsFile(), [&](IniFile& file) {
        for (const QString& key : {kAuction, kClosed, kItemPage, kSelling, kLogin}) file.setValue(kSection, key, base);
        file.setValue(kSection, kPortal, base + QLatin1Char('/'));
        file.setValue(kSection, kProduct, base + QStringLiteral("/sorabako/"));
    }, true);
}

}  // namespace SiteAddresses
