#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <memory>

#include "site/mInterNet.h"

class QWebEnginePage;

// One off-screen document of the web engine: a hidden page in the browsers'
// shared profile (so it carries their sign-in), read once when complete.
// It reads the page as soon as the engine says it has loaded, ends at a monotonic
// deadline, and reports once.
class WebDocumentRequest : public QObject {
    Q_OBJECT
public:
    WebDocumentRequest(const QString& address, int timeoutSeconds, QObject* parent = nullptr);
    ~WebDocumentRequest() override;
    WebDocumentRequest(const WebDocumentRequest&) = delete;
    WebDocumentRequest& operator=(const WebDocumentRequest&) = delete;

    bool isDone() const { return m_done; }

    // Why there is no document.
    using Failure = mInterNet::Failure;
    Failure failure() const { return m_failure; }
    int httpStatus() const { return m_status; }  // for ServerError
    // Ends the wait now, with no document.
    void cancel();
    // The document, or nothing for a page that did not finish, failed, or has no content.
    const std::optional<mInterNet::Document>& document() const { return m_document; }

Q_SIGNALS:
    void finished();

private:
    void readPage();  // once the page has loaded
    void finish(std::optional<mInterNet::Document> document, Failure failure = Failure::None);

    QWebEnginePage* m_page = nullptr;  // a hidden page, lent for this request
    QDeadlineTimer m_deadline;
    bool m_loaded = false, m_loadOk = false, m_asked = false, m_done = false, m_loadFailed = false;
    int m_status = 0;
    Failure m_failure = Failure::None;
    std::optional<mInterNet::Document> m_document;
};

// Doc_Load: a request, awaited with the event loop running.
class WebDocumentLoader : public mInterNet::DocumentLoader {
public:
    std::optional<mInterNet::Document> Doc_Load(const QString& address, int timeoutSeconds) override;
    void cancel() override;
    mInterNet::Failure lastFailure() const override { return m_lastFailure; }

private:
    mInterNet::Failure m_lastFailure = mInterNet::Failure::None;
    WebDocumentRequest* m_current = nullptr;
};
