#include "SiteServer.h"

#include "Listing.h"

#include "EucJp.h"
#include "Pages.h"
#include "Redesign.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

#include <memory>

namespace {

const QLatin1String kControlPrefix("/__sim/");

QString sessionCookie(const QByteArray& cookieHeader) {
    for (const QByteArray& part : cookieHeader.split(';')) {
        const QByteArray pair = part.trimmed();
        if (pair.startsWith("SIMSESSION=")) return QString::fromLatin1(pair.mid(11));
    }
    return QString();
}

SiteRequest siteRequest(const QHttpServerRequest& request) {
    const QUrl url = request.url();
    const QByteArray query = url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray host = request.value("Host");
    if (host.isEmpty()) host = url.authority().toLatin1();
    const QString base = QStringLiteral("http://") + QString::fromLatin1(host);

    SiteRequest site;
    site.post = request.method() == QHttpServerRequest::Method::Post;
    site.path = url.path();
    site.query = eucjp::parseForm(query);
    if (site.post) {
        site.contentType = request.value("Content-Type");
        site.body = request.body();
        if (!site.contentType.startsWith("multipart/")) site.form = eucjp::parseForm(site.body);
    }
    site.session = sessionCookie(request.value("Cookie"));
    site.base = base;
    site.address = base + url.path(QUrl::FullyEncoded);
    if (!query.isEmpty()) site.address += QLatin1Char('?') + QString::fromLatin1(query);
    return site;
}

QByteArray randomBytes(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes) byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
    return bytes;
}

// An answer that never ends: the head of a page, then paragraph after paragraph,
// written whenever the client has taken the last ones, until it hangs up.
void pourEndlessly(QHttpServerResponder& responder) {
    responder.writeStatusLine(QHttpServerResponder::StatusCode::Ok);
    responder.writeHeader("Content-Type", "text/html; charset=EUC-JP");
    responder.writeHeader("Connection", "close");
    QTcpSocket* socket = responder.socket();
    // No Content-Length: the body runs until the connection closes.
    socket->write("\r\n");
    socket->write(
        eucjp::encode(QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">"
                                     "<title>Yahoo!オークション</title></head><body>")));
    QByteArray paragraphs;
    const QByteArray one = eucjp::encode(QStringLiteral("<p>終わらないページです。終わらないページです。</p>\n"));
    while (paragraphs.size() < 64 * 1024) paragraphs += one;
    const auto pour = [socket, paragraphs] {
        while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 1024 * 1024) socket->write(paragraphs);
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, pour);
    pour();
}

void deliver(const Fault& fault, const Reply& page, QHttpServerResponder& responder) {
    switch (fault.kind) {
        case Fault::Kind::Status: send(Reply::page(pages::error(fault.status), fault.status), responder); return;
        case Fault::Kind::Truncate: send(page, responder, Delivery::Truncated); return;
        case Fault::Kind::Garbage: send(Reply{200, "text/html; charset=EUC-JP", {}, randomBytes(4096)}, responder); return;
        case Fault::Kind::NoCharset: {
            Reply undeclared = page;
            undeclared.contentType = "text/html";
            send(undeclared, responder);
            return;
        }
        case Fault::Kind::WrongCharset: {
            Reply mislabelled = page;
            mislabelled.contentType = "text/html; charset=Shift_JIS";
            send(mislabelled, responder);
            return;
        }
        case Fault::Kind::Stall:
        case Fault::Kind::Endless:
        case Fault::Kind::RedirectLoop: return;  // answered by the caller
    }
}

}  // namespace

SiteServer::SiteServer(int latencyMs, const FaultTable& faults, QObject* parent)
    : QObject(parent), m_faults(faults), m_latencyMs(latencyMs) {
    // No routes: every request comes through one handler so that latency and
    // faults apply to any path alike, unknown ones included.
    m_http.setMissingHandler(
        [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) { handle(request, std::move(responder)); });
}

quint16 SiteServer::listen(quint16 port) { return m_http.listen(QHostAddress::LocalHost, port); }

void SiteServer::handle(const QHttpServerRequest& request, QHttpServerResponder&& responder) {
    const QString path = request.url().path();
    if (path.startsWith(kControlPrefix)) {
        send(control(request), responder);
        return;
    }

    // QHttpServer answers on this thread only, so a delay must not block it:
    // the responder is parked and answered from a timer. The request object
    // does not outlive this call, hence the page is built now. A failing
    // request leaves the site untouched, except a truncated or mislabelled
    // one: that page was produced and only its delivery broke.
    const std::optional<Fault> fault = m_faults.find(path);
    const bool served =
        !fault || fault->kind == Fault::Kind::Truncate || fault->kind == Fault::Kind::NoCharset || fault->kind == Fault::Kind::WrongCharset;
    const Reply page = served ? m_site.handle(siteRequest(request)) : Reply();
    auto parked = std::make_shared<QHttpServerResponder>(std::move(responder));
    QPointer<QTcpSocket> socket = parked->socket();
    if (fault && fault->kind == Fault::Kind::Stall) {
        // Held until the client gives up; the socket is deleted only after this signal.
        connect(socket, &QAbstractSocket::disconnected, this, [parked]() mutable { parked.reset(); });
        return;
    }
    if (fault && fault->kind == Fault::Kind::Endless) {
        connect(socket, &QAbstractSocket::disconnected, this, [parked]() mutable { parked.reset(); });
        QTimer::singleShot(m_latencyMs, this, [socket, parked] {
            if (socket) pourEndlessly(*parked);
        });
        return;
    }
    // Back to the address asked for, query and all: the client follows it until it gives up.
    const QString again = siteRequest(request).address;
    QTimer::singleShot(m_latencyMs, this, [socket, parked, fault, page, again] {
        // The responder writes to its socket without checking it is still there.
        if (!socket) return;
        if (fault && fault->kind == Fault::Kind::RedirectLoop)
            send(Reply::redirect(again), *parked);
        else if (fault)
            deliver(*fault, page, *parked);
        else
            send(page, *parked);
    });
}

Reply SiteServer::control(const QHttpServerRequest& request) {
    const QString command = request.url().path().mid(kControlPrefix.size());
    if (command == QLatin1String("fault")) {
        const QUrlQuery query = request.query();
        if (!m_faults.add(query.queryItemValue(QStringLiteral("path"), QUrl::FullyDecoded),
                          query.queryItemValue(QStringLiteral("kind"), QUrl::FullyDecoded)))
            return Reply::text("bad fault\n", 400);
    } else if (command == QLatin1String("clear")) {
        m_faults.clear();
        m_site.clearSessions();
    } else if (command == QLatin1String("expire")) {
        m_site.expireSessions();
    } else if (command == QLatin1String("challenge")) {
        m_site.forceChallenge();
    } else if (command == QLatin1String("signin")) {
        const QByteArray cookie = m_site.signInDirectly(request.query().queryItemValue(QStringLiteral("login")),
                                                        request.query().queryItemValue(QStringLiteral("persistent")) == QLatin1String("1"));
        if (cookie.isEmpty()) return Reply::text("unknown account\n", 400);
        Reply reply = Reply::text("OK");
        reply.headers.append({"Set-Cookie", cookie});
        return reply;
    } else if (command == QLatin1String("rename")) {
        const QString ids = request.query().queryItemValue(QStringLiteral("fields"), QUrl::FullyDecoded);
        listing::setRenamedFields(ids.split(QLatin1Char(','), Qt::SkipEmptyParts));
    } else if (command == QLatin1String("redesign")) {
        if (!redesign::apply(request.query().queryItemValue(QStringLiteral("kind"), QUrl::FullyDecoded)))
            return Reply::text("bad redesign\n", 400);
    } else if (command == QLatin1String("upload")) {
        return Reply::text(m_site.lastUploadSummary() + '\n');
    } else if (command == QLatin1String("picturelimit")) {
        bool ok = false;
        const qsizetype bytes = request.query().queryItemValue(QStringLiteral("bytes")).toLongLong(&ok);
        if (!ok || bytes <= 0) return Reply::text("bad limit\n", 400);
        m_site.setMaxImageBytes(bytes);
    } else if (command == QLatin1String("submissions")) {
        return Reply::text(m_site.submissions());
    } else if (command == QLatin1String("feedbacks")) {
        return Reply::text(m_site.feedbacks());
    } else if (command == QLatin1String("picture")) {
        const QUrlQuery query = request.query();
        const QString id = query.queryItemValue(QStringLiteral("id"));
        bool ok = false;
        const int index = query.queryItemValue(QStringLiteral("n")).toInt(&ok);
        const QByteArray bytes = m_site.uploadedBytes(id, id.isEmpty() ? -1 : (ok ? index : 0));
        if (bytes.isEmpty()) return Reply::text("no such picture\n", 404);
        return Reply::text(bytes);
    } else if (command == QLatin1String("end") || command == QLatin1String("set") || command == QLatin1String("add")) {
        // UTF-8 in the query, as tests write it; the site's own pages stay EUC-JP.
        eucjp::Form fields;
        for (const auto& [name, value] : request.query().queryItems(QUrl::FullyDecoded)) fields.insert(name, value);
        const QString id = fields.value(QStringLiteral("id"));
        const bool ok = command == QLatin1String("end")   ? m_site.endAuction(id, fields)
                        : command == QLatin1String("add") ? m_site.addListing(fields.value(QStringLiteral("account")), fields)
                                                          : m_site.changeListing(id, fields);
        if (!ok) return Reply::text("unknown listing or field\n", 400);
    } else if (command == QLatin1String("endmany")) {
        const QUrlQuery query = request.query();
        const int ended =
            m_site.endMany(query.queryItemValue(QStringLiteral("account")), query.queryItemValue(QStringLiteral("count")).toInt());
        if (ended == 0) return Reply::text("unknown account or count\n", 400);
    } else if (command == QLatin1String("rewin")) {
        eucjp::Form fields;
        for (const auto& [name, value] : request.query().queryItems(QUrl::FullyDecoded)) fields.insert(name, value);
        if (!m_site.replaceWinner(fields.value(QStringLiteral("id")), fields)) return Reply::text("unknown listing or no winner\n", 400);
    } else if (command == QLatin1String("attempts")) {
        return Reply::text(QByteArray::number(m_site.signInAttempts()) + '\n');
    } else {
        return Reply::text("unknown control request\n", 404);
    }
    return Reply::text("OK");
}
