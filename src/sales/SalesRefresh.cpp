#include "sales/SalesRefresh.h"

#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

#include "site/SiteFacts.h"
#include "site/mInterNet.h"

SalesRefresh::SalesRefresh(QNetworkAccessManager& network, QObject* parent) : QObject(parent), m_network(network) {}

SalesRefresh::~SalesRefresh() { abortAll(); }

void SalesRefresh::abortAll() { mInterNet::abortAll(m_inFlight, this); }

QNetworkReply* SalesRefresh::get(const QString& address) {
    QNetworkReply* reply = mInterNet::startGet(m_network, address);
    m_inFlight << reply;
    // A site that stalls must not hold the list for ever: the reply then ends as not answered.
    QTimer::singleShot(kTimeoutSeconds * 1000, reply, [reply] {
        if (!reply->isFinished()) reply->abort();
    });
    return reply;
}

void SalesRefresh::start(const QString& firstPage) {
    // Item pages live at the list's host unless the site says otherwise: the ID follows the item path.
    const QUrl first(firstPage);
    m_itemBase = first.scheme() + QStringLiteral("://") + first.authority() + site::fact(site::kPaths, QStringLiteral("商品ページ"));
    getPage(firstPage);
}

void SalesRefresh::setItemBase(const QString& base) { m_itemBase = base; }

void SalesRefresh::getPage(const QString& address) {
    Q_EMIT progress(QStringLiteral("出品終了分の %1 ページ目を読み込んでいます…").arg(m_pagesRead + 1));
    QNetworkReply* reply = get(address);
    connect(reply, &QNetworkReply::finished, this, [this, reply, address] { pageRead(reply, address); });
}

void SalesRefresh::pageRead(QNetworkReply* reply, const QString& address) {
    m_inFlight.removeAll(reply);
    reply->deleteLater();
    QString html;
    mInterNet::Failure why = mInterNet::Failure::None;
    const bool read = mInterNet::readReply(reply, &html, &why);
    const site::ClosedPage page = read ? site::readClosedPage(html, address) : site::ClosedPage{};
    if (!read || page.kind != site::ClosedPage::Kind::List) {
        m_problem = !read && why == mInterNet::Failure::NoAnswer             ? Problem::NoAnswer
                    : read && page.kind == site::ClosedPage::Kind::SignedOut ? Problem::SignedOut
                                                                             : Problem::Unreadable;
        m_listDone = true;
        finishIfDone();
        return;
    }
    ++m_pagesRead;
    for (const site::ClosedRow& r : page.rows) {
        salestable::Row row;
        row.auctionId = r.auctionId;
        row.winnerId = r.winnerId;
        row.title = r.title;
        row.price = r.price;
        row.ended = QDateTime::fromString(r.ended, QStringLiteral("yyyy/MM/dd hh:mm"));
        if (!row.ended.isValid()) row.ended = QDateTime::fromString(r.ended, QStringLiteral("yyyy/M/d h:mm"));
        m_rows << row;
    }
    if (!page.next.isEmpty() && m_pagesRead < kMostPages)
        getPage(page.next);
    else
        m_listDone = true;
    fetchContacts();
    finishIfDone();
}

void SalesRefresh::fetchContacts() {
    while (!m_cancelled && m_nextContact < m_rows.size() && m_inFlight.size() < kInFlight + (m_listDone ? 0 : 1)) {
        const int index = m_nextContact++;
        Q_EMIT progress(QStringLiteral("落札者の連絡先を読み込んでいます… %1 / %2").arg(index + 1).arg(m_rows.size()));
        QNetworkReply* reply = get(m_itemBase + m_rows[index].auctionId);
        connect(reply, &QNetworkReply::finished, this, [this, reply, index] { contactRead(reply, index); });
    }
}

void SalesRefresh::contactRead(QNetworkReply* reply, int index) {
    m_inFlight.removeAll(reply);
    reply->deleteLater();
    ++m_contactsDone;
    QString html;
    const site::WinnerContact contact = mInterNet::readReply(reply, &html) ? site::readWinnerContact(html) : site::WinnerContact{};
    salestable::Row& row = m_rows[index];
    // The page's winner must be the list's: a page of another winner (moved up meanwhile) says nothing of this one.
    if (contact.found() && (contact.winnerId.isEmpty() || contact.winnerId == row.winnerId)) {
        row.winnerName = contact.name;
        row.winnerMail = contact.mail;
        row.address = contact.address;
    } else {
        ++m_contactsMissing;
    }
    fetchContacts();
    finishIfDone();
}

void SalesRefresh::finishIfDone() {
    if (m_finished || !m_listDone || m_contactsDone < m_nextContact || m_nextContact < m_rows.size()) return;
    m_finished = true;
    Q_EMIT finished();
}

void SalesRefresh::cancel() {
    if (m_finished) return;
    m_cancelled = true;
    abortAll();
    m_finished = true;
    Q_EMIT finished();
}
