#include "widgets/WebProfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QWebEngineProfile>

#include "core/ProgramFolder.h"

namespace WebProfile {

QWebEngineProfile* shared() {
    static QWebEngineProfile* profile = [] {
        // A named profile is persistent; parenting it to the application
        // keeps it alive until every page that uses it is gone.
        auto* p = new QWebEngineProfile(QStringLiteral("sorabako"), QCoreApplication::instance());
        const QString dir = ProgramFolder::userDataDir() + QStringLiteral("/web");
        QDir().mkpath(dir);
        p->setPersistentStoragePath(dir);
        p->setCachePath(dir + QStringLiteral("/cache"));
        p->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
        p->setHttpAcceptLanguage(QStringLiteral("ja,en;q=0.5"));
        return p;
    }();
    return profile;
}

}  // namespace WebProfile
