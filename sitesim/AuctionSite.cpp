#include "AuctionSite.h"

#include "DemoData.h"
#include "Pages.h"

#include <QDateTime>
#include <QLocale>
#include <QRandomGenerator>

namespace {

const char* const kCookie = "SIMSESSION";
const int kPersistentDays = 30;
// The real service starts asking for the image number on the third failure in a row.
const int kChallengeAfterFailures = 3;

QString newSessionId() {
    QString id;
    for (int i = 0; i < 4; ++i)
        id += QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, QLatin1Char('0'));
    return id;
}

// Where the login service sends the browser afterwards; the portal when the caller did not say.
QString doneAddress(const eucjp::Form& fields, const QString& base) {
    const QString done = fields.value(QStringLiteral(".done"));
    if (done.isEmpty())
        return base + QLatin1Char('/');
    return done;
}

QByteArray httpDate(const QDateTime& time) {
    return QLocale::c().toString(time.toUTC(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'")).toLatin1();
}

}  // namespace

Reply AuctionSite::handle(const SiteRequest& request) {
    const QString& path = request.path;
    if (path == QLatin1String("/")) {
        const Session* session = sessionOf(request);
        return Reply::page(pages::portal(session ? session->account : QString(), request.base));
    }
    if (path == QLatin1String("/jp/0-submit.html"))
        return Reply::page(pages::submitTop());
    if (path == QLatin1String("/jp/submit/category") || path == QLatin1String("/jp/submit/form")) {
        const demo::Category* category = demo::findCategory(request.query.value(QStringLiteral("c")).toInt());
        if (!category)
            return Reply::page(pages::notFound(path), 404);
        if (path == QLatin1String("/jp/submit/form"))
            return Reply::page(pages::submitForm(*category));
        return Reply::page(pages::submitCategory(*category));
    }
    if (path == QLatin1String("/jp/show/mystatus"))
        return myStatus(request);
    if (path == QLatin1String("/config/login"))
        return loginService(request);
    if (path == QLatin1String("/sorabako/"))
        return Reply::page(pages::productPage());
    return Reply::page(pages::notFound(path), 404);
}

void AuctionSite::clearSessions() {
    m_sessions.clear();
    m_failuresInARow = 0;
    m_signInAttempts = 0;
}

void AuctionSite::forceChallenge() { m_failuresInARow = kChallengeAfterFailures; }

void AuctionSite::expireSessions() {
    for (Session& session : m_sessions)
        session.expired = true;
}

Reply AuctionSite::myStatus(const SiteRequest& request) const {
    const Session* session = sessionOf(request);
    if (!session)
        return Reply::page(pages::signInRequired(request.address));
    if (session->expired)
        return Reply::page(pages::reenterPassword(session->account, request.address));
    if (request.query.value(QStringLiteral("select")) == QLatin1String("selling"))
        return Reply::page(pages::selling(session->account, demo::selling(session->account)));
    return Reply::page(pages::closedListings(session->account, demo::closedWithWinner(session->account)));
}

Reply AuctionSite::loginService(const SiteRequest& request) {
    if (request.post)
        return signIn(request);
    if (request.query.contains(QStringLiteral("logout")))
        return signOut(request);
    // After too many failures the site keeps asking for the image number, also on a fresh login page.
    const auto notice = m_failuresInARow >= kChallengeAfterFailures ? pages::LoginNotice::Challenge : pages::LoginNotice::None;
    return Reply::page(pages::login(doneAddress(request.query, request.base), notice, QString()));
}

Reply AuctionSite::signIn(const SiteRequest& request) {
    ++m_signInAttempts;
    const QString login = request.form.value(QStringLiteral("login"));
    const QString done = doneAddress(request.form, request.base);

    if (!demo::passwordMatches(login, request.form.value(QStringLiteral("passwd")))) {
        ++m_failuresInARow;
        const auto notice = m_failuresInARow >= kChallengeAfterFailures ? pages::LoginNotice::Challenge
                                                                        : pages::LoginNotice::WrongPassword;
        return Reply::page(pages::login(done, notice, login));
    }

    m_failuresInARow = 0;
    m_sessions.remove(request.session);
    const QString id = newSessionId();
    m_sessions.insert(id, Session{login});
    QByteArray cookie = kCookie + QByteArray("=") + id.toLatin1() + "; Path=/";
    if (request.form.value(QStringLiteral(".persistent")) == QLatin1String("y")) {
        const QDateTime expires = QDateTime::currentDateTimeUtc().addDays(kPersistentDays);
        cookie += "; Max-Age=" + QByteArray::number(kPersistentDays * 24 * 60 * 60) + "; Expires=" + httpDate(expires);
    }
    Reply reply = Reply::redirect(done);
    reply.headers.append({"Set-Cookie", cookie});
    return reply;
}

Reply AuctionSite::signOut(const SiteRequest& request) {
    m_sessions.remove(request.session);
    Reply reply = Reply::page(pages::loggedOut(doneAddress(request.query, request.base)));
    reply.headers.append({"Set-Cookie", kCookie + QByteArray("=; Path=/; Max-Age=0; Expires=") +
                                            httpDate(QDateTime::fromSecsSinceEpoch(0))});
    return reply;
}

const AuctionSite::Session* AuctionSite::sessionOf(const SiteRequest& request) const {
    const auto it = m_sessions.constFind(request.session);
    return it == m_sessions.constEnd() ? nullptr : &*it;
}
