#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "listing/csv/ListingCsv.h"
#include "listing/queue/ListingQueue.h"
#include "listing/records/ListingRecord.h"

class SiteFormPane;
class UiServices;

// Takes the queue's waiting listings through the site's pages in the listing
// pane's browser, one at a time: the memory file opened as ファイル/開く does,
// its category, continue, every field, its pictures, the confirmation page.
// There it stops: the seller reads the page and presses the site's final
// button. The completion page's auction ID marks the row 出品済 and keeps the
// listing's record; anything unexpected marks it 要確認 and the queue waits.
class QueueRun : public QObject {
    Q_OBJECT
public:
    QueueRun(UiServices& ui, SiteFormPane* pane, const QString& queueFile, QObject* parent = nullptr);
    ~QueueRun() override;

    listingqueue::Queue& queue() { return m_queue; }
    // Saves the queue after a change made from outside (move, remove); false: said.
    bool saveQueue();
    // Memory files as waiting rows, saved, and every window showing the queue told;
    // the number added (0 when the file could not be saved: said).
    int add(const QStringList& files);

    // Opens a memory file into the main window, as ファイル/開く does (false: it could not).
    void setOpener(std::function<bool(const QString&)> open) { m_open = std::move(open); }
    // The spreadsheet's way in and out (the memory files' writer and reader are not the queue's).
    void setCsvHooks(listingcsv::Hooks hooks) { m_csv = std::move(hooks); }
    const listingcsv::Hooks& csvHooks() const { return m_csv; }

    // After a listing: at once to the next (true), or when the seller says 次へ.
    void setGoOnAtOnce(bool on) { m_atOnce = on; }
    bool goesOnAtOnce() const { return m_atOnce; }

    void start();  // 開始 and 次へ: the next waiting listing, unless one is under way
    void pause();  // 一時停止: no next listing; one on its way before its confirmation waits again
    void skip();   // スキップ: this listing is passed over for now (once confirmed: 要確認)

    int current() const { return m_current; }  // the row under way, 0 for none
    bool running() const { return m_current != 0; }
    // The step the row under way is at, in the seller's words.
    QString stepText() const;

    static constexpr int kStepWaitMs = 30000;
    // How long a page of the flow may take before the row is 要確認 (tests shorten it).
    void setStepWait(int ms) { m_watch.setInterval(ms); }

Q_SIGNALS:
    void changed();                                      // a row's state, or the run's
    void atConfirmation(int row);                        // the seller's turn on the site's confirmation page
    void stopped(const QString& why);                    // the queue waits: a row needs the seller, or none is waiting
    void recorded(const listingrecord::Record& record);  // a listing out, its record kept (folder set)

private:
    enum class Step { None, PictureCheck, Category, Form, Upload, Pictures, Confirm, AtConfirmation };

    void takeNext();
    void toCategory(const QString& address);
    void onPage(const QString& address);
    void onPictures(const QString& problem);
    void toConfirmation();
    void fail(const QString& reason, bool keepPage = true);
    void complete(const QString& auctionId);
    void arm();
    void finishRow();

    UiServices& m_ui;
    SiteFormPane* m_pane;
    listingqueue::Queue m_queue;
    std::function<bool(const QString&)> m_open;
    listingcsv::Hooks m_csv;
    int m_current = 0;
    Step m_step = Step::None;
    bool m_atOnce = true;
    bool m_paused = false;
    QList<int> m_passedOver;
    QByteArray m_snapshot;  // the memory file as it was opened for the site
    QList<QPair<QString, QString>> m_confirmation;
    QUrl m_leftUrl;  // the page the last step left
    QTimer m_watch;
    QThreadPool m_checks;  // the pictures' check before a row goes
};
