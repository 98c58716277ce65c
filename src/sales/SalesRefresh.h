#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include "site/ClosedListings.h"
#include "store/SalesTable.h"

class QNetworkAccessManager;
class QNetworkReply;

// One look at the seller's closed listings with a winner, run from the event loop: the list's
// pages one after the other (each names the next), and each sale's item page for the winner's
// name, mail and address, a few at a time while the list is still being read. What it found is
// rows for the sales table; what it could not read is counted, never guessed.
class SalesRefresh : public QObject {
    Q_OBJECT
public:
    enum class Problem { None, SignedOut, Unreadable, NoAnswer };

    SalesRefresh(QNetworkAccessManager& network, QObject* parent = nullptr);
    ~SalesRefresh() override;

    void start(const QString& firstPage);
    // Where item pages are: the auction ID follows it (the list's host with the site's item path unless set).
    void setItemBase(const QString& base);
    void cancel();

    const QList<salestable::Row>& rows() const { return m_rows; }
    // The first list page that could not be read, and why: the sales after it are missing.
    Problem problem() const { return m_problem; }
    int pagesRead() const { return m_pagesRead; }
    // Item pages that did not answer: those sales keep what the table had of the winner.
    int contactsMissing() const { return m_contactsMissing; }
    bool isCancelled() const { return m_cancelled; }

    static constexpr int kTimeoutSeconds = 20;
    static constexpr int kInFlight = 4;
    static constexpr int kMostPages = 400;  // 20,000 sales: past this a list that never ends is no list

Q_SIGNALS:
    void progress(const QString& text);
    void finished();

private:
    void getPage(const QString& address);
    void pageRead(QNetworkReply* reply, const QString& address);
    void fetchContacts();
    void contactRead(QNetworkReply* reply, int index);
    void finishIfDone();
    QNetworkReply* get(const QString& address);
    void abortAll();

    QNetworkAccessManager& m_network;
    QString m_itemBase;
    QList<salestable::Row> m_rows;
    int m_nextContact = 0;
    int m_contactsDone = 0;
    QList<QPointer<QNetworkReply>> m_inFlight;
    bool m_listDone = false;
    bool m_finished = false;
    bool m_cancelled = false;
    Problem m_problem = Problem::None;
    int m_pagesRead = 0;
    int m_contactsMissing = 0;
};
