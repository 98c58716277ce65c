#include "site/SiteCheckJob.h"

#include <QTimer>
#include <QUrl>

#include "site/SiteFacts.h"
#include "site/WebDocumentLoader.h"

using site::Finding;

SiteCheckJob::SiteCheckJob(const site::Hosts& hosts, QObject* parent) : QObject(parent), m_hosts(hosts) {}
SiteCheckJob::~SiteCheckJob() = default;

void SiteCheckJob::start() { startPage(); }

void SiteCheckJob::cancel() {
    if (m_finished) return;
    m_cancelled = true;
    m_request.reset();
    done();
}

void SiteCheckJob::done() {
    if (m_finished) return;
    m_finished = true;
    Q_EMIT finished();
}

void SiteCheckJob::load(const QString& page, const QString& address, Next next) {
    if (m_cancelled) return;
    Q_EMIT progress(page, m_loaded, kPages);
    m_request = std::make_unique<WebDocumentRequest>(address, kTimeoutSeconds);
    connect(m_request.get(), &WebDocumentRequest::finished, this, [this, next] {
        ++m_loaded;
        const std::optional<mInterNet::Document> doc = m_request->document();
        // Not from inside the request's own signal: the next step replaces it.
        QTimer::singleShot(0, this, [this, next, doc] {
            if (!m_cancelled) next(doc);
        });
    });
}

void SiteCheckJob::startPage() {
    load(site::kStartPage, site::submitStartUrl(m_hosts), [this](const std::optional<mInterNet::Document>& doc) {
        add(site::checkStartPage(doc));
        const QString first = doc ? site::firstCategoryLink(*doc) : QString();
        if (first.isEmpty()) {
            add(site::checkCategoryPage(std::nullopt));
            listingForm(std::nullopt);
        } else {
            category(first, 1);
        }
    });
}

void SiteCheckJob::category(const QString& address, int depth) {
    load(site::kCategoryPage, address, [this, depth](const std::optional<mInterNet::Document>& doc) {
        if (doc && site::hasContinueButton(*doc)) {
            add(site::checkCategoryPage(doc));
            listingForm(doc);
            return;
        }
        const QString deeper = doc ? site::firstCategoryLink(*doc) : QString();
        if (deeper.isEmpty() || depth >= 6) {
            add(site::checkCategoryPage(std::nullopt));
            listingForm(std::nullopt);
            return;
        }
        category(deeper, depth + 1);
    });
}

void SiteCheckJob::listingForm(const std::optional<mInterNet::Document>& leaf) {
    const QString address = leaf ? site::continueAddress(*leaf) : QString();
    if (address.isEmpty()) {
        add({Finding{site::kFormPage, QStringLiteral("（ページ全体）"), QString(), site::Verdict::NotChecked,
                     QStringLiteral("続けるボタンから出品フォームへ進めませんでした")}});
        uploadPage();
        return;
    }
    load(site::kFormPage, address, [this](const std::optional<mInterNet::Document>& doc) {
        if (!doc)
            add({Finding{site::kFormPage, QStringLiteral("（ページ全体）"), QString(), site::Verdict::Missing,
                         QStringLiteral("ページを表示できませんでした")}});
        else if (doc->asksForSignIn)
            add(site::notSignedIn(site::kFormPage));
        else
            add(site::checkListingForm(*doc));
        uploadPage();
    });
}

void SiteCheckJob::uploadPage() {
    load(site::kUploadPage, m_hosts.auction + site::fact(site::kPaths, QStringLiteral("画像アップロード")),
         [this](const std::optional<mInterNet::Document>& doc) {
             if (doc)
                 add(site::checkUploadPage(*doc));
             else
                 add({Finding{site::kUploadPage, QStringLiteral("（ページ全体）"), QString(), site::Verdict::NotChecked,
                              QStringLiteral("ページを表示できませんでした")}});
             loginPage();
         });
}

void SiteCheckJob::loginPage() {
    load(site::kLoginPage, site::loginPageUrl(m_hosts), [this](const std::optional<mInterNet::Document>& doc) {
        if (doc)
            add(site::checkLoginPage(*doc));
        else
            add({Finding{site::kLoginPage, QStringLiteral("（ページ全体）"), QString(), site::Verdict::Missing,
                         QStringLiteral("ページを表示できませんでした")}});
        openListings();
    });
}

void SiteCheckJob::openListings() {
    load(site::kSellingPage, site::sellingUrl(m_hosts), [this](const std::optional<mInterNet::Document>& doc) {
        m_signedIn = doc && !doc->asksForSignIn;
        if (!doc) {
            add({Finding{site::kSellingPage, QStringLiteral("（ページ全体）"), QString(), site::Verdict::Missing,
                         QStringLiteral("ページを表示できませんでした")}});
            itemPages(QString());
            return;
        }
        if (!m_signedIn) {
            add(site::notSignedIn(site::kSellingPage));
            itemPages(QString());
            return;
        }
        m_firstList = doc;
        const QString next = site::nextListPage(*doc);
        const QString item = site::firstItemLink(*doc);
        if (next.isEmpty()) {
            add(site::checkOpenListings(*doc, std::nullopt));
            itemPages(item);
            return;
        }
        load(site::kSellingPage, next, [this, item](const std::optional<mInterNet::Document>& second) {
            add(site::checkOpenListings(*m_firstList, second));
            itemPages(item);
        });
    });
}

void SiteCheckJob::itemPages(const QString& openItem) {
    const auto unknown = [this] {
        load(site::kItemPage, site::itemUrl(m_hosts, QStringLiteral("sorabako-check-0")),
             [this](const std::optional<mInterNet::Document>& doc) {
                 m_unknown = doc;
                 closedListings();
             });
    };
    if (openItem.isEmpty()) {
        unknown();
        return;
    }
    load(site::kItemPage, openItem, [this, unknown](const std::optional<mInterNet::Document>& doc) {
        m_open = doc;
        unknown();
    });
}

void SiteCheckJob::closedListings() {
    load(site::kClosedPage, site::closedListingsUrl(m_hosts), [this](const std::optional<mInterNet::Document>& doc) {
        if (!doc) {
            add({Finding{site::kClosedPage, QStringLiteral("（ページ全体）"), QString(), site::Verdict::Missing,
                         QStringLiteral("ページを表示できませんでした")}});
            add(site::checkItemPage(m_open, std::nullopt, m_unknown));
            add(site::checkFeedbackPage(std::nullopt));
            done();
            return;
        }
        add(site::checkClosedListings(*doc, m_signedIn));
        const QString item = m_signedIn ? site::firstItemLink(*doc) : QString();
        if (item.isEmpty()) {
            add(site::checkItemPage(m_open, std::nullopt, m_unknown));
            add(site::checkFeedbackPage(std::nullopt));
            done();
            return;
        }
        load(site::kItemPage, item, [this, item](const std::optional<mInterNet::Document>& closed) {
            add(site::checkItemPage(m_open, closed, m_unknown));
            // That sale's feedback page, only looked at: nothing is sent.
            const QString auctionId = mInterNet::auctionIdOf(QUrl(item));
            load(site::kFeedbackPage, site::feedbackUrl(m_hosts, auctionId), [this](const std::optional<mInterNet::Document>& page) {
                add(site::checkFeedbackPage(page));
                done();
            });
        });
    });
}
