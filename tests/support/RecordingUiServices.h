#pragma once

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "core/UiServices.h"

// Answers from a script and records every call, so windows can be driven
// and checked without a person clicking.
class RecordingUiServices : public UiServices {
public:
    struct Message {
        QString text;
        QString title;
        Icon icon;
        Buttons buttons;
    };

    // Scripted answers, used in order; when a queue is empty the default is
    // Ok/Yes for messages and "cancelled" for dialogs.
    QQueue<Answer> answers;
    QQueue<QString> openNames;
    QQueue<QString> saveNames;
    QQueue<QString> folders;
    QQueue<unsigned int> colors;  // chosen colours; an empty queue means cancelled

    // What happened.
    QList<Message> messages;
    QStringList fileDialogs;  // "open:<dir>|<filter>" / "save:<dir>|<filter>"
    QStringList folderDialogs;
    QList<QUrl> opened;
    QStringList mails;
    QString clipboard;
    int clipboardWrites = 0;
    QList<bool> busyCalls;

    Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons, QObject* owner) override;
    QString openFileName(const QString& initialDir, const QString& filter, QObject* owner) override;
    QString saveFileName(const QString& initialDir, const QString& filter, QObject* owner) override;
    QString folderName(const QString& instruction, QObject* owner) override;
    bool chooseColor(unsigned int* rgb, QObject* owner) override;
    void setClipboardText(const QString& text) override;
    QString clipboardText() override { return clipboard; }
    bool openWithDesktop(const QUrl& url) override;
    bool desktopOpens = true;  // false: no program is set for the file or address
    bool sendMail(const QString& mailto) override;
    bool mailProgram = true;  // false: no mail program could be started
    void setBusy(bool busy) override { busyCalls << busy; }

    QStringList messageTexts() const;
    // The same, without the words that say where a failed step's page was kept
    // (evidenceFolders() lists those folders, in order).
    QStringList messagesBesidesEvidence() const;
    QStringList evidenceFolders() const;
};
