#include "AuctionSite.h"
#include "Redesign.h"

#include "DemoData.h"
#include "Listing.h"
#include "Pages.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QLocale>
#include <QRandomGenerator>

namespace {

const char* const kCookie = "SIMSESSION";
const int kPersistentDays = 30;
// The real service starts asking for the image number on the third failure in a row.
const int kChallengeAfterFailures = 3;
const int kPerPage = 50;

QString newSessionId() {
    QString id;
    for (int i = 0; i < 4; ++i) id += QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, QLatin1Char('0'));
    return id;
}

// Where the login service sends the browser afterwards; the portal when the caller did not say.
QString doneAddress(const eucjp::Form& fields, const QString& base) {
    const QString done = fields.value(QStringLiteral(".done"));
    if (done.isEmpty()) return base + QLatin1Char('/');
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
    if (path == QLatin1String("/jp/0-submit.html")) return Reply::page(pages::submitTop());
    if (path == QLatin1String("/jp/submit/category")) {
        const demo::Category* category = demo::findCategory(request.query.value(QStringLiteral("c")).toInt());
        if (!category) return Reply::page(pages::notFound(path), 404);
        return Reply::page(pages::submitCategory(*category));
    }
    if (path.startsWith(QLatin1String("/jp/submit/"))) {
        const Session* session = sessionOf(request);
        if (!session) return Reply::page(pages::signInRequired(request.address));
        return submission(request, *session);
    }
    if (path == QLatin1String("/jp/show/mystatus")) return myStatus(request);
    if (path == QLatin1String("/jp/feedback")) return feedback(request);
    if (path == QLatin1String("/config/login")) return loginService(request);
    if (path.startsWith(QLatin1String("/jp/auction/"))) return itemPage(path.mid(12));
    if (path == QLatin1String("/sorabako/")) return Reply::page(pages::productPage());
    return Reply::page(pages::notFound(path), 404);
}

void AuctionSite::clearSessions() {
    m_sessions.clear();
    m_drafts.clear();
    m_failuresInARow = 0;
    m_signInAttempts = 0;
}

void AuctionSite::forceChallenge() { m_failuresInARow = kChallengeAfterFailures; }

void AuctionSite::expireSessions() {
    for (Session& session : m_sessions) session.expired = true;
}

Reply AuctionSite::submission(const SiteRequest& request, const Session& session) {
    const QString& path = request.path;
    if (path == QLatin1String("/jp/submit/form")) {
        const demo::Category* category = demo::findCategory(request.query.value(QStringLiteral("c")).toInt());
        if (!category || !demo::childrenOf(category->id).isEmpty()) return Reply::page(pages::notFound(path), 404);
        if (!request.post) return Reply::page(listing::formPage(*category));
        listing::Draft draft;
        draft.category = category->id;
        draft.fields = request.form;
        draft.serial = ++m_drafted;
        m_drafts.insert(request.session, draft);
        return Reply::redirect(request.base + QStringLiteral("/jp/submit/image"));
    }
    const auto draft = m_drafts.find(request.session);
    if (draft == m_drafts.end()) {
        // A second press of the final button, or a listing sent again from an old page: it
        // lists nothing, but tests must see that it was tried.
        if (path == QLatin1String("/jp/submit/finish") && request.post) ++m_finishWithoutDraft;
        return Reply::page(listing::noDraftPage());
    }
    if (path == QLatin1String("/jp/submit/image")) {
        if (request.post) {
            for (const listing::Part& part : listing::parseMultipart(request.contentType, request.body)) {
                if (part.fileName.isEmpty() || part.bytes.isEmpty()) continue;
                // The site keeps three pictures of up to 5 MB each; anything else is refused with its rule.
                if (draft->images.size() >= listing::kMaxImages || part.bytes.size() > m_maxImageBytes)
                    return Reply::page(listing::imagePage(*draft, true));
                m_lastUpload = {part.fileName, part.bytes};
                draft->images << m_lastUpload;
            }
            return Reply::redirect(request.base + QStringLiteral("/jp/submit/image"));
        }
        return Reply::page(listing::imagePage(*draft));
    }
    if (path == QLatin1String("/jp/submit/confirm")) {
        ++draft->confirmations;
        return Reply::page(listing::confirmPage(*draft));
    }
    if (path == QLatin1String("/jp/submit/finish") && request.post) {
        const QString auctionId = QStringLiteral("x%1").arg(m_nextAuction++);
        const QString title = draft->fields.value(listing::fieldName(QStringLiteral("Title")));
        const int days = draft->fields.value(listing::fieldName(QStringLiteral("Duration"))).toInt() + 2;
        sellingOf(session.account) << demo::OpenListing{
            auctionId,
            title,
            draft->fields.value(listing::fieldName(QStringLiteral("StartPrice"))).toInt(),
            0,
            QDateTime::currentDateTime().addDays(days).toString(QStringLiteral("yyyy/MM/dd hh:mm")),
            0,
            0,
            QStringLiteral("%1日").arg(days),
            QString()};
        m_submitted << Submitted{draft->serial, draft->confirmations, auctionId, title, draft->images};
        m_drafts.erase(draft);
        return Reply::page(listing::finishedPage(auctionId, title));
    }
    return Reply::page(pages::notFound(path), 404);
}

Reply AuctionSite::itemPage(const QString& auctionId) {
    for (const QString& account : demo::accounts()) {
        for (const demo::OpenListing& l : sellingOf(account))
            if (l.auctionId == auctionId)
                return Reply::page(pages::itemPage(l.title, l.price, l.timeLeft, l.access, l.watch, l.bids, nullptr));
        for (const demo::ClosedListing& l : closedOf(account))
            if (l.auctionId == auctionId) return Reply::page(pages::itemPage(l.title, l.price, QStringLiteral("終了"), 0, 0, 1, &l));
    }
    return Reply::page(pages::noSuchItem());
}

QList<demo::OpenListing>& AuctionSite::sellingOf(const QString& account) {
    auto it = m_selling.find(account);
    if (it == m_selling.end()) it = m_selling.insert(account, demo::selling(account));
    return *it;
}

QList<demo::ClosedListing>& AuctionSite::closedOf(const QString& account) {
    auto it = m_closed.find(account);
    if (it == m_closed.end()) it = m_closed.insert(account, demo::closedWithWinner(account));
    return *it;
}

bool AuctionSite::endAuction(const QString& auctionId, const eucjp::Form& winner) {
    for (const QString& account : demo::accounts()) {
        QList<demo::OpenListing>& open = sellingOf(account);
        for (qsizetype i = 0; i < open.size(); ++i) {
            if (open[i].auctionId != auctionId) continue;
            const demo::OpenListing ended = open.takeAt(i);
            const QString login = winner.value(QStringLiteral("winner"));
            if (!login.isEmpty()) {
                const QString price = winner.value(QStringLiteral("price"));
                closedOf(account).prepend(demo::ClosedListing{
                    ended.auctionId, ended.title, price.isEmpty() ? ended.price : price.toInt(), login,
                    QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm")), winner.value(QStringLiteral("mail")),
                    winner.value(QStringLiteral("name"), login), winner.value(QStringLiteral("address"))});
            }
            return true;
        }
    }
    return false;
}

int AuctionSite::endMany(const QString& account, int count) {
    if (!demo::accounts().contains(account) || count < 1 || count > 100000) return 0;
    QList<demo::ClosedListing>& closed = closedOf(account);
    static const QStringList things{QStringLiteral("ソラ文具 万年筆 細字"), QStringLiteral("ハコ陶房 小皿 5枚組"),
                                    QStringLiteral("空箱文庫 童話集 全3巻"), QStringLiteral("ソラ工芸 木製トレイ")};
    static const QStringList places{
        QStringLiteral("〒060-0001 北海道札幌市中央区空町１－１"), QStringLiteral("〒730-0001 広島県広島市中区ハコ町２－３"),
        QStringLiteral("〒900-0001 沖縄県那覇市ソラ４－５"), QStringLiteral("〒600-8001 京都府京都市下京区箱通り６")};
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < count; ++i) {
        const int n = m_nextAuction++;
        const QString winner = QStringLiteral("buyer_%1").arg(n % 997);
        // The newest ends first, as the site lists them.
        closed.prepend(
            demo::ClosedListing{QStringLiteral("m%1").arg(n), things[n % things.size()] + QStringLiteral(" No.%1").arg(n % 10000),
                                500 + static_cast<int>(qint64(n) * 37 % 20000), winner,
                                now.addSecs(-60 * (count - i)).toString(QStringLiteral("yyyy/MM/dd hh:mm")),
                                winner + QStringLiteral("@example.jp"), QStringLiteral("空野 %1").arg(n % 97), places[n % places.size()]});
    }
    return count;
}

bool AuctionSite::replaceWinner(const QString& auctionId, const eucjp::Form& next) {
    const QString login = next.value(QStringLiteral("winner"));
    if (login.isEmpty()) return false;
    for (const QString& account : demo::accounts())
        for (demo::ClosedListing& l : closedOf(account)) {
            if (l.auctionId != auctionId) continue;
            // The winner removed, the next bidder moved up: the same auction with another winner and price.
            l.winner = login;
            l.winnerName = next.value(QStringLiteral("name"), login);
            l.winnerMail = next.value(QStringLiteral("mail"), login + QStringLiteral("@example.jp"));
            l.winnerAddress = next.value(QStringLiteral("address"), l.winnerAddress);
            if (next.contains(QStringLiteral("price"))) l.price = next.value(QStringLiteral("price")).toInt();
            return true;
        }
    return false;
}

bool AuctionSite::addListing(const QString& account, const eucjp::Form& fields) {
    const QString id = fields.value(QStringLiteral("id"));
    if (!demo::accounts().contains(account) || id.isEmpty()) return false;
    for (const QString& a : demo::accounts())
        for (const demo::OpenListing& l : sellingOf(a))
            if (l.auctionId == id) return false;
    demo::OpenListing l{id,
                        fields.value(QStringLiteral("title"), QStringLiteral("新しい出品")),
                        fields.value(QStringLiteral("price"), QStringLiteral("1000")).toInt(),
                        0,
                        QDateTime::currentDateTime().addDays(7).toString(QStringLiteral("yyyy/MM/dd hh:mm")),
                        0,
                        0,
                        fields.value(QStringLiteral("left"), QStringLiteral("7日")),
                        QString()};
    sellingOf(account) << l;
    eucjp::Form figures = fields;
    figures.remove(QStringLiteral("account"));
    figures.remove(QStringLiteral("title"));
    figures.remove(QStringLiteral("price"));
    figures.remove(QStringLiteral("left"));
    return figures.size() <= 1 || changeListing(id, figures);
}

bool AuctionSite::changeListing(const QString& auctionId, const eucjp::Form& fields) {
    for (const QString& account : demo::accounts())
        for (demo::OpenListing& l : sellingOf(account)) {
            if (l.auctionId != auctionId) continue;
            static const QStringList known{QStringLiteral("id"),    QStringLiteral("title"), QStringLiteral("left"),
                                           QStringLiteral("price"), QStringLiteral("bids"),  QStringLiteral("access"),
                                           QStringLiteral("watch"), QStringLiteral("bidder")};
            for (auto it = fields.constBegin(); it != fields.constEnd(); ++it)
                if (!known.contains(it.key())) return false;  // nothing changed
            for (auto it = fields.constBegin(); it != fields.constEnd(); ++it) {
                const QString& name = it.key();
                if (name == QLatin1String("id")) continue;
                if (name == QLatin1String("title"))
                    l.title = it.value();
                else if (name == QLatin1String("left"))
                    l.timeLeft = it.value();
                else if (name == QLatin1String("price"))
                    l.price = it.value().toInt();
                else if (name == QLatin1String("bids"))
                    l.bids = it.value().toInt();
                else if (name == QLatin1String("access"))
                    l.access = it.value().toInt();
                else if (name == QLatin1String("watch"))
                    l.watch = it.value().toInt();
                else if (name == QLatin1String("bidder"))
                    l.bidder = it.value();
            }
            return true;
        }
    return false;
}

QByteArray AuctionSite::submissions() const {
    QByteArray out = "drafts " + QByteArray::number(m_drafted) + "\nwithout-draft " + QByteArray::number(m_finishWithoutDraft) + '\n';
    for (const Submitted& s : m_submitted)
        out += "listed " + s.auctionId.toUtf8() + " draft " + QByteArray::number(s.draft) + " confirmations " +
               QByteArray::number(s.confirmations) + " images " + QByteArray::number(s.images.size()) + ' ' + s.title.toUtf8() + '\n';
    return out;
}

QByteArray AuctionSite::uploadedBytes(const QString& auctionId, int index) const {
    for (const Submitted& s : m_submitted)
        if (s.auctionId == auctionId) return index >= 0 && index < s.images.size() ? s.images[index].bytes : QByteArray();
    return index == -1 ? m_lastUpload.bytes : QByteArray();
}

QByteArray AuctionSite::lastUploadSummary() const {
    if (m_lastUpload.bytes.isEmpty()) return "none";
    return m_lastUpload.fileName.toUtf8() + ' ' + QByteArray::number(m_lastUpload.bytes.size()) + ' ' +
           QCryptographicHash::hash(m_lastUpload.bytes, QCryptographicHash::Sha256).toHex();
}

Reply AuctionSite::myStatus(const SiteRequest& request) {
    const Session* session = sessionOf(request);
    if (!session) return Reply::page(pages::signInRequired(request.address));
    if (session->expired) return Reply::page(pages::reenterPassword(session->account, request.address));
    if (request.query.value(QStringLiteral("select")) == QLatin1String("selling")) {
        QList<demo::OpenListing>& listings = sellingOf(session->account);
        const int page = qMax(1, request.query.value(QStringLiteral("page")).toInt());
        // Each new look at the list finds the figures moved on since the last one.
        if (page == 1 && !m_frozen) demo::advance(listings, ++m_rounds[session->account]);
        const int pages = qMax(1, static_cast<int>((listings.size() + kPerPage - 1) / kPerPage));
        return Reply::page(pages::selling(session->account, listings.mid((page - 1) * kPerPage, kPerPage), qMin(page, pages), pages));
    }
    QList<demo::ClosedListing>& closed = closedOf(session->account);
    const int page = qMax(1, request.query.value(QStringLiteral("page")).toInt());
    const int pages = qMax(1, static_cast<int>((closed.size() + kPerPage - 1) / kPerPage));
    return Reply::page(
        pages::closedListings(session->account, closed.mid((qMin(page, pages) - 1) * kPerPage, kPerPage), qMin(page, pages), pages));
}

Reply AuctionSite::feedback(const SiteRequest& request) {
    const Session* session = sessionOf(request);
    if (!session) return Reply::page(pages::signInRequired(request.address));
    const QString aid = request.post ? request.form.value(QStringLiteral("aid")) : request.query.value(QStringLiteral("aid"));
    const demo::ClosedListing* sold = nullptr;
    for (const demo::ClosedListing& l : closedOf(session->account))
        if (l.auctionId == aid) sold = &l;
    if (!sold) return Reply::page(pages::notFound(request.path), 404);
    // One feedback per sale: a second is refused with the site's message, whatever the form says.
    for (const Feedback& f : m_feedbacks)
        if (f.auctionId == aid) return Reply::page(pages::feedbackRefused(*sold));
    if (!request.post) return Reply::page(pages::feedbackForm(*sold, listing::fieldName(QStringLiteral("comment"))));
    const QString rating = request.form.value(QStringLiteral("rating"));
    if (rating.isEmpty()) return Reply::page(pages::feedbackForm(*sold, listing::fieldName(QStringLiteral("comment")), true));
    m_feedbacks << Feedback{aid, rating, request.form.value(listing::fieldName(QStringLiteral("comment")))};
    return Reply::page(pages::feedbackDone(*sold));
}

QByteArray AuctionSite::feedbacks() const {
    QByteArray out;
    for (const Feedback& f : m_feedbacks) out += f.auctionId.toUtf8() + ' ' + f.rating.toUtf8() + ' ' + f.comment.toUtf8() + '\n';
    return out;
}

Reply AuctionSite::loginService(const SiteRequest& request) {
    if (request.post) return signIn(request);
    if (request.query.contains(QStringLiteral("logout"))) return signOut(request);
    // After too many failures the site keeps asking for the image number, also on a fresh login page.
    const auto notice = m_failuresInARow >= kChallengeAfterFailures ? pages::LoginNotice::Challenge : pages::LoginNotice::None;
    return Reply::page(pages::login(doneAddress(request.query, request.base), notice, QString()));
}

Reply AuctionSite::signIn(const SiteRequest& request) {
    ++m_signInAttempts;
    const QString login = request.form.value(redesign::loginField(QStringLiteral("login")));
    const QString done = doneAddress(request.form, request.base);

    if (!demo::passwordMatches(login, request.form.value(redesign::loginField(QStringLiteral("passwd"))))) {
        ++m_failuresInARow;
        const auto notice = m_failuresInARow >= kChallengeAfterFailures ? pages::LoginNotice::Challenge : pages::LoginNotice::WrongPassword;
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

QByteArray AuctionSite::signInDirectly(const QString& account, bool persistent) {
    if (!demo::accounts().contains(account)) return QByteArray();
    const QString id = newSessionId();
    m_sessions.insert(id, Session{account});
    QByteArray cookie = kCookie + QByteArray("=") + id.toLatin1() + "; Path=/";
    if (persistent)
        cookie += "; Max-Age=" + QByteArray::number(kPersistentDays * 24 * 60 * 60) +
                  "; Expires=" + httpDate(QDateTime::currentDateTimeUtc().addDays(kPersistentDays));
    return cookie;
}

Reply AuctionSite::signOut(const SiteRequest& request) {
    m_sessions.remove(request.session);
    Reply reply = Reply::page(pages::loggedOut(doneAddress(request.query, request.base)));
    reply.headers.append(
        {"Set-Cookie", kCookie + QByteArray("=; Path=/; Max-Age=0; Expires=") + httpDate(QDateTime::fromSecsSinceEpoch(0))});
    return reply;
}

const AuctionSite::Session* AuctionSite::sessionOf(const SiteRequest& request) const {
    const auto it = m_sessions.constFind(request.session);
    return it == m_sessions.constEnd() ? nullptr : &*it;
}
