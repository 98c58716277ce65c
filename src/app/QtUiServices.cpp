#include "app/QtUiServices.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMimeDatabase>
#include <QProcess>
#include <QMessageBox>
#include <QPushButton>
#include <QUrlQuery>

#include "widgets/ScreenFit.h"

namespace {
QWidget* ownerWidget(QObject* owner) {
    // A dialog opens centred on its owner, as every window does: those before the first window too.
    ScreenFit::install();
    if (auto* w = qobject_cast<QWidget*>(owner)) return w;
    return QApplication::activeWindow();
}
}  // namespace

UiServices::Answer QtUiServices::message(const QString& text, const QString& title, Icon icon, Buttons buttons, QObject* owner) {
    QMessageBox box(ownerWidget(owner));
    box.setWindowTitle(title);
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (icon) {
        case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
        case Icon::Information: box.setIcon(QMessageBox::Information); break;
        case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
        case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
        case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    // Japanese button captions, whatever the desktop's language: every text around them is Japanese.
    auto add = [&box](QMessageBox::StandardButton b, const QString& caption) { box.addButton(b)->setText(caption); };
    switch (buttons) {
        case Buttons::Ok: add(QMessageBox::Ok, QStringLiteral("OK")); break;
        case Buttons::OkCancel:
            add(QMessageBox::Ok, QStringLiteral("OK"));
            add(QMessageBox::Cancel, QStringLiteral("キャンセル"));
            break;
        case Buttons::YesNo:
            add(QMessageBox::Yes, QStringLiteral("はい(&Y)"));
            add(QMessageBox::No, QStringLiteral("いいえ(&N)"));
            break;
        case Buttons::YesNoDefaultNo:
            add(QMessageBox::Yes, QStringLiteral("はい(&Y)"));
            add(QMessageBox::No, QStringLiteral("いいえ(&N)"));
            box.setDefaultButton(QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            add(QMessageBox::Yes, QStringLiteral("はい(&Y)"));
            add(QMessageBox::No, QStringLiteral("いいえ(&N)"));
            add(QMessageBox::Cancel, QStringLiteral("キャンセル"));
            break;
    }
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Ok: return Answer::Ok;
        default:
            // The close box answers what Escape would: No where there is no Cancel.
            return buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo ? Answer::No
                   : buttons == Buttons::Ok                                        ? Answer::Ok
                                                                                   : Answer::Cancel;
    }
}

QString QtUiServices::openFileName(const QString& initialDir, const QString& filter, QObject* owner) {
    return QFileDialog::getOpenFileName(ownerWidget(owner), QString(), initialDir, toQtFileFilter(filter));
}

QStringList QtUiServices::openFileNames(const QString& initialDir, const QString& filter, QObject* owner) {
    return QFileDialog::getOpenFileNames(ownerWidget(owner), QString(), initialDir, toQtFileFilter(filter));
}

QString QtUiServices::saveFileName(const QString& initialDir, const QString& filter, QObject* owner) {
    // The caller asks before replacing a file (only it knows the name after ".srb" is added):
    // one question, not the dialog's and then the caller's.
    return QFileDialog::getSaveFileName(ownerWidget(owner), QString(), initialDir, toQtFileFilter(filter), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtUiServices::folderName(const QString& instruction, QObject* owner) {
    return QFileDialog::getExistingDirectory(ownerWidget(owner), instruction);
}

bool QtUiServices::chooseColor(unsigned int* rgb, QObject* owner) {
    const QColor c = QColorDialog::getColor(QColor::fromRgb(*rgb), ownerWidget(owner));
    if (!c.isValid()) return false;
    *rgb = c.rgb() & 0xFFFFFFu;
    return true;
}

void QtUiServices::setClipboardText(const QString& text) {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

QString QtUiServices::clipboardText() { return QApplication::clipboard()->text(); }

bool QtUiServices::openWithDesktop(const QUrl& url) {
#ifdef Q_OS_LINUX
    // xdg-open is started whether or not any program is set for the type, and then fails out of
    // sight: ask first, so that the caller can offer another way.
    const QString type =
        url.isLocalFile() ? QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name() : QStringLiteral("x-scheme-handler/") + url.scheme();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
    const bool answered = query.waitForFinished(5000) && query.exitStatus() == QProcess::NormalExit;
    const bool handler = answered && !query.readAllStandardOutput().trimmed().isEmpty();
    if (!handler && qEnvironmentVariableIsEmpty("BROWSER")) return false;
#endif
    return QDesktopServices::openUrl(url);
}

bool QtUiServices::sendMail(const QString& mailto) {
    // Already percent-encoded: taken byte for byte, not encoded again.
    return QDesktopServices::openUrl(QUrl::fromEncoded(mailto.toLatin1()));
}

void QtUiServices::setBusy(bool busy) {
    // One screen pointer, not a stack: "normal" always ends the busy state.
    if (busy == m_busy) return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
