#pragma once

#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>

class QTemporaryDir;
class QThreadPool;
class QTimer;

// What an upload needs of the site's picture page shown in a browser.
class UploadPage {
public:
    virtual ~UploadPage() = default;
    // How many pictures the page lists as taken; nothing when the page does not answer.
    virtual std::optional<int> uploadedCount() = 0;
    // Chooses the file in the page's file field and presses its upload button; false when
    // the page has no such field where the site keeps it.
    virtual bool send(const QString& path) = 0;
    // Keeps the page as it is for the seller to look at; what to add to the message about it.
    virtual QString keep(const QString& problem) = 0;
};

// Sends a listing's pictures through the site's picture page one at a time: the
// page comes back after each, listing one more, and the next goes only then. A
// page that lists no new picture is the site's refusal once no other page
// follows; no page at all is no answer. Ends with finished(), once per begin().
class PictureUpload : public QObject {
    Q_OBJECT
public:
    explicit PictureUpload(UploadPage& page, QObject* parent = nullptr);
    ~PictureUpload() override;

    // Remakes `sources` for the site on `pool`, the window drawn meanwhile, into a folder of
    // copies kept until the next upload (never the seller's files). Nothing, with the reason,
    // when one cannot be remade.
    std::optional<QStringList> prepare(const QStringList& sources, QThreadPool* pool, QString* problem);
    bool preparing() const { return m_preparing; }

    // `copies` go to the site in this order; `names` are the seller's files they came from.
    void begin(const QStringList& copies, const QStringList& names);
    bool busy() const { return !m_copies.isEmpty(); }
    // The browser finished a page while pictures are on their way.
    void pageFinished(bool uploadPageShown);
    // How long the site may take to answer one picture, and to follow a page that listed none.
    void setWaits(int answerMs, int refusalMs);

Q_SIGNALS:
    void finished(const QString& problem);  // empty: the site took every picture

private:
    void sendNext();
    void afterAnswer(bool waited);
    void end(const QString& problem);
    QString current() const;

    UploadPage& m_page;
    QStringList m_copies;  // still to send, in order
    QStringList m_names;
    int m_countBefore = 0;  // what the page listed before the last one was sent
    QTimer* m_answer = nullptr;
    QTimer* m_refusal = nullptr;
    std::unique_ptr<QTemporaryDir> m_copiesFolder;
    bool m_preparing = false;
};
