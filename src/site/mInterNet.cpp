#include "site/mInterNet.h"

#include <utility>

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <memory>

#include "core/Charset.h"
#include "site/SiteFacts.h"

namespace mInterNet {
namespace {
QString priceLabel() { return site::fact(site::kItem, QStringLiteral("現在の価格")); }
QString titlePrefix() { return QStringLiteral("<HEAD><TITLE>") + site::fact(site::kItem, QStringLiteral("題名の前置き")); }

QByteArray charsetIn(const QString& text) {
    static const QRegularExpression re(QStringLiteral("charset\\s*=\\s*[\"']?([A-Za-z0-9_.:-]+)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1).toLatin1() : QByteArray();
}

// The charset the server declares: in its Content-Type, or else, as browsers
// read it, in a <meta> near the top of the page.
QByteArray declaredCharset(const QByteArray& contentType, const QByteArray& body) {
    const QByteArray fromHeader = charsetIn(QString::fromLatin1(contentType));
    if (!fromHeader.isEmpty()) return fromHeader;
    static const QRegularExpression meta(QStringLiteral("<meta[^>]*charset[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = meta.match(QString::fromLatin1(body.left(1024)));
    return m.hasMatch() ? charsetIn(m.captured(0)) : QByteArray();
}
}  // namespace

namespace {
// The body of a reply as it arrives. The reply itself buffers only a little
// (its read buffer is bounded), so an answer without end is cut off at the
// limit here, never held whole.
class Body : public QObject {
public:
    explicit Body(QNetworkReply* reply) : QObject(reply), m_reply(reply) {
        reply->setReadBufferSize(kReadBuffer);
        connect(reply, &QNetworkReply::readyRead, this, &Body::take);
        connect(reply, &QNetworkReply::metaDataChanged, this, [this] {
            if (m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > kMaxPageBytes) tooLarge();
        });
    }
    void take() {
        if (m_tooLarge) return;
        m_bytes += m_reply->readAll();
        if (m_bytes.size() > kMaxPageBytes) tooLarge();
    }
    bool isTooLarge() const { return m_tooLarge; }
    QByteArray bytes() {
        take();
        return m_bytes;
    }

private:
    static constexpr qint64 kReadBuffer = 256 * 1024;
    void tooLarge() {
        m_tooLarge = true;
        m_bytes.clear();
        m_bytes.squeeze();
        m_reply->abort();
    }
    QNetworkReply* m_reply;
    QByteArray m_bytes;
    bool m_tooLarge = false;
};

Body* bodyOf(QNetworkReply* reply) {
    for (QObject* child : reply->children())
        if (auto* body = dynamic_cast<Body*>(child)) return body;
    return nullptr;
}
}  // namespace

QNetworkReply* startGet(QNetworkAccessManager& network, const QString& address) {
    // A redirect is followed: the site answers some pages from another address; not for ever.
    QNetworkRequest request{QUrl(address)};
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    QNetworkReply* reply = network.get(request);
    new Body(reply);
    return reply;
}

void abortAll(QList<QPointer<QNetworkReply>>& replies, QObject* receiver) {
    const QList<QPointer<QNetworkReply>> taken = std::exchange(replies, {});
    for (const QPointer<QNetworkReply>& reply : taken)
        if (reply) {
            reply->disconnect(receiver);
            reply->abort();
            reply->deleteLater();
        }
}

bool readReply(QNetworkReply* reply, QString* text, Failure* why) {
    const auto fail = [why](Failure f) {
        if (why) *why = f;
        return false;
    };
    Body* body = bodyOf(reply);
    if (body && body->isTooLarge()) return fail(Failure::TooLarge);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::OperationCanceledError) return fail(Failure::NoAnswer);
    if (status >= 400) return fail(Failure::ServerError);
    // A connection refused or cut half-way, a redirect that never ends, no status at all.
    if (reply->error() != QNetworkReply::NoError || status < 200 || status >= 300) return fail(Failure::Unreadable);
    const QByteArray bytes = body ? body->bytes() : reply->readAll();
    const QByteArray charset = declaredCharset(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), bytes);
    QString decoded;
    if (charset.isEmpty() || !charset::decode(bytes, charset, &decoded)) decoded = QString::fromUtf8(bytes);
    *text = decoded;
    if (why) *why = Failure::None;
    return true;
}

bool Page_Get(QNetworkAccessManager& network, const QString& address, QString* text, int timeoutSeconds, Failure* why) {
    std::unique_ptr<QNetworkReply> reply(startGet(network, address));
    // The answer is awaited with the event loop running and a deadline: a
    // site that stalls must not keep the program waiting for ever.
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(timeoutSeconds * 1000);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!reply->isFinished()) {
        reply->abort();
        if (why) *why = Failure::NoAnswer;
        return false;
    }
    return readReply(reply.get(), text, why);
}

QString auctionIdOf(const QUrl& address) {
    const QString path = address.path();
    const QString itemPath = site::fact(site::kPaths, QStringLiteral("商品ページ"));
    const qsizetype at = path.indexOf(itemPath);
    if (at < 0 || address.hasFragment()) return QString();
    const QString id = path.mid(at + itemPath.size());
    return id.contains(QLatin1Char('/')) ? QString() : id;
}

QString wrongIdTitle() { return QStringLiteral("<HEAD><TITLE>") + site::fact(site::kItem, QStringLiteral("IDが無い時の題名")); }

std::optional<QString> Item_Title(const Document& page) {
    QString markup = page.rootMarkup;
    markup.remove(titlePrefix());
    const qsizetype end = markup.indexOf(QStringLiteral("</TITLE>"));
    if (end < 0) return std::nullopt;
    return markup.left(end);
}

QString Item_Price(const Document& page) {
    // In document order, so the outermost element that begins with the label wins.
    const QString label = priceLabel();
    for (const QString& text : page.elementTexts)
        if (text.startsWith(label)) return QString(text).remove(label);
    return QString();
}

void Item_Contact(const Document& page, QString* first, QString* second) {
    const QString contact = site::fact(site::kItem, QStringLiteral("連絡先"));
    int counter = 1;
    for (const Document::Link& link : page.links) {
        if (counter == 2) *first = link.text;
        if (counter == 3) {
            *second = link.text;
            return;
        }
        if (counter >= 2 || link.text == contact) ++counter;
    }
}

ItemPage readItemPage(DocumentLoader& loader, const QString& address) {
    ItemPage item;
    const std::optional<Document> page = loader.Doc_Load(address, kTimeoutSeconds);
    if (!page) {
        item.failure = loader.lastFailure();
        item.title = QString();  // a page that did not load reads as an empty title
        return item;
    }
    item.loaded = true;
    item.html = page->html;
    item.title = Item_Title(*page);
    item.price = Item_Price(*page);
    Item_Contact(*page, &item.contactName, &item.contactAddress);
    return item;
}

}  // namespace mInterNet
