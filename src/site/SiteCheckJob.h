#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

#include "site/Addresses.h"
#include "site/SiteCheck.h"

class WebDocumentRequest;

// サイト診断 on the engine: the site's pages one after another, each loaded
// off screen in the browsers' profile (so the seller's sign-in holds) and
// compared with the site definition. Nothing is sent: a form is only followed
// where it goes by GET, as the continue button's does.
class SiteCheckJob : public QObject {
    Q_OBJECT
public:
    explicit SiteCheckJob(const site::Hosts& hosts, QObject* parent = nullptr);
    ~SiteCheckJob() override;

    void start();
    void cancel();
    bool isCancelled() const { return m_cancelled; }
    bool signedIn() const { return m_signedIn; }
    const QList<site::Finding>& findings() const { return m_findings; }
    int pagesLoaded() const { return m_loaded; }

    static constexpr int kTimeoutSeconds = 20;
    static constexpr int kPages = 12;  // about how many pages a whole check loads

Q_SIGNALS:
    void progress(const QString& page, int done, int total);
    void finished();

private:
    using Next = std::function<void(const std::optional<mInterNet::Document>&)>;
    void load(const QString& page, const QString& address, Next next);
    void add(const QList<site::Finding>& findings) { m_findings << findings; }
    void done();

    void startPage();
    void category(const QString& address, int depth);
    void listingForm(const std::optional<mInterNet::Document>& leaf);
    void uploadPage();
    void loginPage();
    void openListings();
    void itemPages(const QString& openItem);
    void closedListings();

    site::Hosts m_hosts;
    std::unique_ptr<WebDocumentRequest> m_request;
    QList<site::Finding> m_findings;
    bool m_signedIn = false;
    bool m_cancelled = false;
    bool m_finished = false;
    int m_loaded = 0;
    std::optional<mInterNet::Document> m_open, m_closedItem, m_unknown, m_firstList;
    QString m_closedItemLink;
};
