#include "site/SharedNetwork.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QPointer>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include "widgets/WebProfile.h"

namespace {

class CookieBridge : public QNetworkCookieJar {
public:
    explicit CookieBridge(QWebEngineCookieStore* store, QObject* parent) : QNetworkCookieJar(parent), m_store(store) {
        connect(store, &QWebEngineCookieStore::cookieAdded, this, [this](const QNetworkCookie& c) { insertCookie(c); });
        connect(store, &QWebEngineCookieStore::cookieRemoved, this, [this](const QNetworkCookie& c) { deleteCookie(c); });
        store->loadAllCookies();  // the cookies kept on disk from earlier runs arrive as cookieAdded
    }

    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override {
        const bool taken = QNetworkCookieJar::setCookiesFromUrl(cookies, url);
        if (m_store)
            for (const QNetworkCookie& c : cookies) m_store->setCookie(c, url);
        return taken;
    }

private:
    QPointer<QWebEngineCookieStore> m_store;
};

}  // namespace

namespace SharedNetwork {

QNetworkAccessManager* manager() {
    static QNetworkAccessManager* network = [] {
        auto* n = new QNetworkAccessManager(QCoreApplication::instance());
        n->setCookieJar(new CookieBridge(WebProfile::shared()->cookieStore(), n));
        return n;
    }();
    return network;
}

}  // namespace SharedNetwork
