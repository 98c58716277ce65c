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

// Runs `handle` once on the dialog of that name when it shows, whenever that
// is: for dialogs that open later, inside another window's own sequence (the
// settings and login windows during start-up).
class DialogHandler {
public:
    DialogHandler(const QString& name, std::function<void(QDialog*)> handle) : m_name(name), m_handle(std::move(handle)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_done) return;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d && d->objectName() == m_name && d->isVisible()) {
                    m_done = true;
                    m_timer.stop();
                    m_handle(d);
                    return;
                }
        });
        m_timer.start(50);
    }
    bool handled() const { return m_done; }

private:
    QString m_name;
    std::function<void(QDialog*)> m_handle;
    QTimer m_timer;
    bool m_done = false;
};

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
