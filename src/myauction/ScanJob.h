#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <memory>

#include "myauction/Scan.h"

class QNetworkAccessManager;
class QNetworkReply;
class WebDocumentRequest;

// One scan of the open listings, run from the event loop so the window stays
// usable and the scan can be cancelled: the list pages one after another
// (each an off-screen document), then the item pages, a few at a time. The
// rows are made afterwards from the walk and the figures, so they are the
// same whatever order the item pages arrive in.
class ScanJob : public QObject {
    Q_OBJECT
public:
    ScanJob(QNetworkAccessManager& network, int concurrency, QObject* parent = nullptr);
    ~ScanJob() override;

    void start(const QString& firstPage);
    void cancel();

    bool isCancelled() const { return m_cancelled; }
    const QList<scan::Step>& steps() const { return m_steps; }
    const QHash<QString, std::optional<scan::Figures>>& figures() const { return m_figures; }
    int failedPages() const { return m_failed; }
    // Pages of the list itself that did not load: the rows after them are missing.
    int failedListPages() const { return m_failedListPages; }
    // The first list page's problem that left rows out (None: the list was read).
    scan::ListProblem listProblem() const { return m_listProblem; }
    int listHttpStatus() const { return m_listStatus; }
    // Where the first page that was not as expected was kept (empty: none was, or none failed).
    QString evidence() const { return m_evidence; }

    static constexpr int kTimeoutSeconds = 20;

Q_SIGNALS:
    // What the scan is doing, and how far it is with the item pages.
    void progress(const QString& text, int done, int total);
    void finished();

private:
    void plan();
    void fetchMore();
    void request();  // as many item pages as may be on their way
    void fetched(QNetworkReply* reply, const QString& address);
    void done();
    void abortAll();

    QNetworkAccessManager& m_network;
    int m_concurrency;
    QString m_firstPage;
    QHash<QString, std::optional<QList<scan::Link>>> m_pages;
    std::unique_ptr<WebDocumentRequest> m_pageRequest;
    QList<scan::Step> m_steps;
    QStringList m_toFetch;
    int m_next = 0;
    QList<QPointer<QNetworkReply>> m_inFlight;
    QHash<QString, std::optional<scan::Figures>> m_figures;
    int m_failed = 0;
    int m_failedListPages = 0;
    scan::ListProblem m_listProblem = scan::ListProblem::None;
    int m_listStatus = 0;
    QString m_evidence;
    bool m_cancelled = false;
    bool m_finished = false;
};
