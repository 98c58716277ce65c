#include "myauction/ScanJob.h"

#include <QNetworkReply>
#include <QTimer>

#include "site/Evidence.h"
#include "site/WebDocumentLoader.h"
#include "site/mInterNet.h"

ScanJob::ScanJob(QNetworkAccessManager& network, int concurrency, QObject* parent)
    : QObject(parent), m_network(network), m_concurrency(qMax(1, concurrency)) {}

ScanJob::~ScanJob() { abortAll(); }

void ScanJob::abortAll() { mInterNet::abortAll(m_inFlight, this); }

void ScanJob::start(const QString& firstPage) {
    m_firstPage = firstPage;
    plan();
}

void ScanJob::cancel() {
    if (m_finished) return;
    m_cancelled = true;
    m_pageRequest.reset();
    abortAll();
    done();
}

void ScanJob::plan() {
    if (m_cancelled) return;
    const scan::Walk walk = scan::walk(m_firstPage, m_pages);
    if (!walk.missing.isEmpty()) {
        // The walk has reached a page it does not have yet: load it, then walk again.
        Q_EMIT progress(QStringLiteral("出品リストの %1 ページ目を読み込んでいます…").arg(m_pages.size() + 1), 0, 0);
        const QString address = walk.missing;
        m_pageRequest = std::make_unique<WebDocumentRequest>(address, kTimeoutSeconds);
        connect(m_pageRequest.get(), &WebDocumentRequest::finished, this, [this, address] {
            std::optional<QList<scan::Link>> links;
            scan::ListProblem problem = scan::ListProblem::None;
            if (const auto& doc = m_pageRequest->document()) {
                links = QList<scan::Link>();
                for (const mInterNet::Document::Link& l : doc->links) links->append({l.text, l.href});
                const scan::ListPage kind = scan::classifyListPage(*links, doc->asksForSignIn);
                if (kind == scan::ListPage::SignedOut) problem = scan::ListProblem::SignedOut;
                if (kind == scan::ListPage::Unknown) problem = scan::ListProblem::Unreadable;
                // A further page that shows no list (the sign-in ran out half-way) misses its rows.
                if (kind != scan::ListPage::List && address != m_firstPage) ++m_failedListPages;
            } else {
                ++m_failedListPages;
                switch (m_pageRequest->failure()) {
                    case mInterNet::Failure::NoAnswer: problem = scan::ListProblem::NoAnswer; break;
                    case mInterNet::Failure::ServerError: problem = scan::ListProblem::ServerError; break;
                    case mInterNet::Failure::TooLarge: problem = scan::ListProblem::TooLarge; break;
                    default: problem = scan::ListProblem::Unreadable; break;
                }
            }
            if (m_listProblem == scan::ListProblem::None) {
                m_listProblem = problem;
                m_listStatus = m_pageRequest->httpStatus();
                // Not the list: the page is kept as it was (a page asking for a sign-in is the site's usual answer).
                if (problem != scan::ListProblem::None && problem != scan::ListProblem::SignedOut && m_evidence.isEmpty()) {
                    const auto& doc = m_pageRequest->document();
                    m_evidence = site::keepEvidence({QStringLiteral("出品リストのページが読めませんでした: ") +
                                                         scan::listProblemMessage(problem, m_listStatus).section(QLatin1Char('\r'), 0, 0),
                                                     address, doc ? doc->html : QString(), QImage()});
                }
            }
            m_pages.insert(address, links);
            // Not from inside the request's own signal: it is replaced by the next one.
            QTimer::singleShot(0, this, &ScanJob::plan);
        });
        return;
    }
    m_pageRequest.reset();
    m_steps = walk.steps;
    m_toFetch = scan::fetchList(m_steps);
    Q_EMIT progress(QStringLiteral("出品情報を取得しています… 0 / %1 件").arg(m_toFetch.size()), 0, static_cast<int>(m_toFetch.size()));
    fetchMore();
}

void ScanJob::fetchMore() {
    if (m_cancelled) return;
    if (m_next >= m_toFetch.size() && m_inFlight.isEmpty()) {
        done();
        return;
    }
    request();
}

void ScanJob::request() {
    while (m_next < m_toFetch.size() && m_inFlight.size() < m_concurrency) {
        const QString address = m_toFetch[m_next++];
        QNetworkReply* reply = mInterNet::startGet(m_network, address);
        m_inFlight << reply;
        // The same 20 seconds a single request gets, then it counts as failed.
        QTimer::singleShot(kTimeoutSeconds * 1000, reply, [reply] {
            if (!reply->isFinished()) reply->abort();
        });
        connect(reply, &QNetworkReply::finished, this, [this, reply, address] { fetched(reply, address); });
    }
}

void ScanJob::fetched(QNetworkReply* reply, const QString& address) {
    m_inFlight.removeAll(reply);
    reply->deleteLater();
    if (m_cancelled) return;
    // The next page is asked for before this one is read: the site's answer time and the
    // reading overlap, instead of one waiting for the other.
    request();
    QString text;
    // A page without the price label is no item page (an error page, garbage, the wrong charset):
    // its empty figures would pass for a listing nobody looked at.
    if (mInterNet::readReply(reply, &text) && text.contains(scan::priceLabel())) {
        m_figures.insert(address, scan::parseItemFigures(text));
    } else {
        m_figures.insert(address, std::nullopt);
        ++m_failed;
        if (m_evidence.isEmpty())
            m_evidence =
                site::keepEvidence({QStringLiteral("商品ページから数字を読めませんでした（アクセス解析）"), address, text, QImage()});
    }
    const int done = static_cast<int>(m_figures.size());
    QString status = QStringLiteral("出品情報を取得しています… %1 / %2 件").arg(done).arg(m_toFetch.size());
    if (m_failed > 0) status += QStringLiteral("（取得できなかったページ %1 件）").arg(m_failed);
    Q_EMIT progress(status, done, static_cast<int>(m_toFetch.size()));
    fetchMore();
}

void ScanJob::done() {
    if (m_finished) return;
    m_finished = true;
    Q_EMIT finished();
}
