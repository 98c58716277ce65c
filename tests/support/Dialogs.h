#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QtTest>
#include <functional>

// A control of a window, found by its object name.
template <typename T>
T* child(QWidget* root, const QString& name) {
    T* w = root->findChild<T*>(name);
    if (!w) qWarning("missing control %s", qPrintable(name));
    return w;
}

// Runs `fill` on the modal dialog of that name as soon as it is open (a
// dialog's exec() does not return to the test until it is closed).
inline void whenDialogOpens(const QString& name, std::function<void(QDialog*)> fill) {
    QTimer::singleShot(0, [name, fill] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->objectName() == name && d->isVisible()) {
                fill(d);
                return;
            }
        QFAIL(qPrintable(QStringLiteral("dialog not open: ") + name));
    });
}

// Closes (rejects) every modal dialog of that name as soon as it shows, for
// as long as it lives, and counts them: for dialogs a window opens by itself
// while a test waits for something else.
class DialogCloser {
public:
    explicit DialogCloser(const QString& name) : m_name(name) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d && d->objectName() == m_name && d->isVisible()) {
                    ++m_count;
                    d->reject();
                }
        });
        m_timer.start(50);
    }
    int count() const { return m_count; }

private:
    QString m_name;
    QTimer m_timer;
    int m_count = 0;
};
