#pragma once

#include <QAbstractButton>
#include <QAction>
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

// The seller's choice of a menu entry of `root`, found by its name.
inline void choose(QObject* root, const char* name) {
    auto* action = root ? root->findChild<QAction*>(QLatin1String(name)) : nullptr;
    QVERIFY2(action, name);
    action->trigger();
}
