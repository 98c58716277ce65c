#include "widgets/WebProfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QWebEngineProfile>

#include "core/ProgramFolder.h"

namespace WebProfile {

QByteArray engineSwitches(const QByteArray& given, const QStringList& arguments, bool sandboxOff) {
    const QList<QByteArray> switches = given.split(' ');
    const auto has = [&](const char* name) { return switches.contains(name) || arguments.contains(QLatin1String(name)); };
    // The zygote is there for the sandbox: it holds each new page process in it. Without the
    // sandbox it only makes start-up wait while it starts (about 30 ms, on the main thread);
    // each page process is then started by the engine's launcher, beside the main thread.
    if (!(sandboxOff || has("--no-sandbox")) || has("--no-zygote")) return given;
    return given.isEmpty() ? QByteArray("--no-zygote") : given + " --no-zygote";
}

QWebEngineProfile* shared() {
    static QWebEngineProfile* profile = [] {
        // The engine reads its switches once, when its first profile is made. Programs this one
        // starts (the mailer, a browser) get the environment as it was.
        const bool had = qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS");
        const QByteArray given = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
                engineSwitches(given, QCoreApplication::arguments(), qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")));
        // A named profile is persistent; parenting it to the application
        // keeps it alive until every page that uses it is gone.
        auto* p = new QWebEngineProfile(QStringLiteral("sorabako"), QCoreApplication::instance());
        if (had)
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", given);
        else
            qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
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
