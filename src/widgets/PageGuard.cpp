#include "widgets/PageGuard.h"

#include <QFile>
#include <QWebEnginePage>

#include <unistd.h>

PageGuard::PageGuard(QWebEnginePage* page, QObject* parent) : QObject(parent), m_page(page) {
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &PageGuard::check);
    connect(page, &QWebEnginePage::loadStarted, this, &PageGuard::started);
    connect(page, &QWebEnginePage::loadFinished, &m_poll, &QTimer::stop);
}

qint64 PageGuard::residentBytes(qint64 pid) {
    if (pid <= 0) return 0;
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
}

void PageGuard::started() {
    m_clock.start();
    m_baseline = residentBytes(m_page->renderProcessPid());
    m_poll.start();
}

void PageGuard::check() {
    if (m_deadlineMs > 0 && m_clock.hasExpired(m_deadlineMs)) {
        m_poll.stop();
        m_page->triggerAction(QWebEnginePage::Stop);
        Q_EMIT stopped(Stop::NoAnswer);
        return;
    }
    const qint64 now = residentBytes(m_page->renderProcessPid());
    // The page process may come into being only after the load began.
    if (m_baseline == 0) {
        m_baseline = now;
        return;
    }
    if (now - m_baseline > m_limit) {
        m_poll.stop();
        m_page->triggerAction(QWebEnginePage::Stop);
        Q_EMIT stopped(Stop::TooLarge);
    }
}
