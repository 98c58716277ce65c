#pragma once

#include <QAbstractButton>
#include <QObject>
#include <QTest>

// The seller's click on a button of `root`, found by its name: the handler runs through the
// button's own wiring, so a button that is not connected (or is disabled) does nothing, as on
// screen.
inline void press(QObject* root, const char* name) {
    auto* button = root ? root->findChild<QAbstractButton*>(QLatin1String(name)) : nullptr;
    QVERIFY2(button, name);
    button->click();
}
