#pragma once

#include <QDeadlineTimer>
#include <QTest>
#include <functional>

// A check that something does NOT happen (no second message, no further submission, no scroll)
// has no signal to wait for: the program runs for `ms`, and `happened` is asked all along.
// True when it never became true. Without `happened`, the program simply runs that long with
// nothing expected of it (a page on its way, a process about to be killed).
inline bool staysQuietFor(int ms, const std::function<bool()>& happened = {}) {
    QDeadlineTimer deadline(ms);
    do {
        if (happened && happened()) return false;
        QTest::qWait(qMin<qint64>(50, qMax<qint64>(1, deadline.remainingTime())));
    } while (!deadline.hasExpired());
    return !(happened && happened());
}
