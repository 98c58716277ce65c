#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWebEnginePage;

// Watches a page of the web engine while it loads: a site that answers
// without end (or with a page far larger than any of its real ones) would
// grow the engine's page process until the machine runs out of memory, and
// one that never answers would keep the load going for ever. The guard stops
// the load at either and says why.
//
// The engine reports no byte counts, so the measure is what a page costs: the
// growth of its page process while the load runs. The site's real pages cost
// a few tens of megabytes; the limit is far above that.
class PageGuard : public QObject {
    Q_OBJECT
public:
    enum class Stop { TooLarge, NoAnswer };
    Q_ENUM(Stop)

    explicit PageGuard(QWebEnginePage* page, QObject* parent = nullptr);

    // 0: no deadline (the default); otherwise each load is stopped after this long.
    void setDeadline(int ms) { m_deadlineMs = ms; }
    int deadline() const { return m_deadlineMs; }
    void setGrowthLimit(qint64 bytes) { m_limit = bytes; }

    static constexpr qint64 kGrowthLimit = 384LL * 1024 * 1024;
    static constexpr int kPollMs = 50;

    // The resident bytes of a process (0 when it cannot be read).
    static qint64 residentBytes(qint64 pid);

Q_SIGNALS:
    // The load was stopped.
    void stopped(PageGuard::Stop why);

private:
    void started();
    void check();

    QWebEnginePage* m_page;
    QTimer m_poll;
    QElapsedTimer m_clock;
    qint64 m_limit = kGrowthLimit;
    qint64 m_baseline = 0;
    int m_deadlineMs = 0;
};
