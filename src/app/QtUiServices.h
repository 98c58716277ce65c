#pragma once

#include "core/UiServices.h"

// The real dialogs, clipboard and desktop behind UiServices.
class QtUiServices : public UiServices {
public:
    Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons, QObject* owner) override;
    QString openFileName(const QString& initialDir, const QString& filter, QObject* owner) override;
    QStringList openFileNames(const QString& initialDir, const QString& filter, QObject* owner) override;
    QString saveFileName(const QString& initialDir, const QString& filter, QObject* owner) override;
    QString folderName(const QString& instruction, QObject* owner) override;
    bool chooseColor(unsigned int* rgb, QObject* owner) override;
    void setClipboardText(const QString& text) override;
    QString clipboardText() override;
    bool openWithDesktop(const QUrl& url) override;
    bool sendMail(const QString& mailto) override;
    void setBusy(bool busy) override;

private:
    bool m_busy = false;
};
