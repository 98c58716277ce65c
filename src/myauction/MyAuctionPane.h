#pragma once

#include <QDateTime>
#include <QPointer>
#include <QSet>
#include <QThread>
#include <QWidget>
#include <functional>
#include <memory>

#include "myauction/Scan.h"
#include "store/HistoryStore.h"
#include "store/HistoryThread.h"

class Grid;
class QCheckBox;
class QLabel;
class QNetworkAccessManager;
class QProgressBar;
class QPushButton;
class QTimer;
class ScanJob;
class UiServices;

// The "ｱｸｾｽ解析(&5)" tab: the scan of the seller's open listings and the
// comparison with the previous scan.
class MyAuctionPane : public QWidget {
    Q_OBJECT
public:
    explicit MyAuctionPane(UiServices& ui, QWidget* parent = nullptr);
    ~MyAuctionPane() override;

    void Command2_Click();  // 解  析
    void cancelScan();
    // The history of the listing in that row of the scan (row from 1): its window, modal.
    void showHistory(int row);
    bool isScanning() const { return m_job != nullptr || m_comparing; }

    // A listing the queue took through the site, kept in the history (off the window's thread),
    // so its history window can show how it went out. `tell`: the seller hears when the history
    // cannot take it (a record found on disk that the history lacks is tried again quietly next time).
    void recordListing(const HistoryStore::Listed& listed, bool tell = true);
    // Every listing's record in the history, newest first, without the confirmation rows (one
    // query); nothing when the history cannot be read.
    std::optional<QList<HistoryStore::Listed>> listings() const;
    // What the history window's 出品記録を開く does with a listing's auction ID.
    void setRecordOpener(std::function<void(const QString&)> open) { m_openRecord = std::move(open); }

    // How many item pages are fetched at once.
    void setConcurrency(int pages) { m_concurrency = pages; }
    // How often scans waiting for the history (another program held it) are tried again.
    void setPendingRetry(int ms);

Q_SIGNALS:
    void scanFinished();
    void listingRecorded();  // a record is in the history, or the seller was told why not

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // What a scan found, waiting for the history's answer.
    struct Finished {
        QList<scan::Row> rows;
        QDateTime taken;
        int failedPages = 0, failedListPages = 0;
        bool kept = false;  // 前回保存 as it was when the scan ended
        scan::ListProblem listProblem = scan::ListProblem::None;
        int listStatus = 0;
        QString evidence;  // where a page that was not as expected was kept
        bool complete() const { return !rows.isEmpty() && failedPages == 0 && failedListPages == 0; }
    };
    void scanDone();
    void finish(Finished done, const std::optional<historythread::Answer>& answer);
    void showRows(const QList<scan::Row>& rows);
    // The scan history, opened on first need; nothing when it cannot be (the seller has been told).
    HistoryStore* history();
    void placeHeading();
    void storeRecords();
    void storePending();

    UiServices& m_ui;
    Grid* m_vbNow = nullptr;
    QCheckBox* m_ckHOZON = nullptr;
    QLabel* m_label11 = nullptr;
    QLabel* m_label12 = nullptr;
    QLabel* m_label13 = nullptr;
    QLabel* m_label45 = nullptr;
    QLabel* m_progressText = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_cancel = nullptr;
    ScanJob* m_job = nullptr;
    bool m_comparing = false;  // the history's answer is awaited
    QPointer<QThread> m_worker;
    QPointer<QThread> m_recordWorker;
    QPointer<QThread> m_pendingWorker;
    QTimer* m_pendingRetry = nullptr;
    int m_pendingStoredMeanwhile = 0;  // stored by a retry while a scan ran: its status says so
    QList<HistoryStore::Listed> m_pendingRecords;
    QSet<QString> m_quietRecords;
    std::function<void(const QString&)> m_openRecord;
    std::unique_ptr<HistoryStore> m_history;
    QStringList m_rowAddresses;  // the item page of each row shown, from row 1
    int m_concurrency = 4;
};
