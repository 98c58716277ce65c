#pragma once

#include <QSignalSpy>
#include <QString>
#include <QTest>

#include "widgets/Browser.h"

// Loads an address and waits until the browser's own handlers have run on it.
inline bool loadAndWait(Browser* browser, const QString& address, int timeoutMs = 30000) {
    QSignalSpy done(browser, &Browser::DocumentComplete);
    browser->Navigate2(address);
    return QTest::qWaitFor([&] { return done.count() >= 1; }, timeoutMs);
}
