#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class QObject;

// Everything modal or external goes through this interface: message boxes,
// file and folder dialogs, the colour chooser, the clipboard, handing a file
// or address to the desktop, the mail hand-off and the busy cursor. Windows
// receive it from whoever creates them, so tests can script the answers.
class UiServices {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    // YesNoDefaultNo: a question whose safe answer is No (Enter and the close box give it).
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~UiServices() = default;

    virtual Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons, QObject* owner = nullptr) = 0;

    // `filter` is in the product's "説明(*.EXT)|*.ext" form. An empty result means cancelled.
    virtual QString openFileName(const QString& initialDir, const QString& filter, QObject* owner = nullptr) = 0;
    // Several files at once; an empty list when cancelled. By default one file, as openFileName.
    virtual QStringList openFileNames(const QString& initialDir, const QString& filter, QObject* owner = nullptr) {
        const QString one = openFileName(initialDir, filter, owner);
        return one.isEmpty() ? QStringList() : QStringList{one};
    }
    virtual QString saveFileName(const QString& initialDir, const QString& filter, QObject* owner = nullptr) = 0;
    virtual QString folderName(const QString& instruction, QObject* owner = nullptr) = 0;

    // Returns false when cancelled; `rgb` is 0xRRGGBB.
    virtual bool chooseColor(unsigned int* rgb, QObject* owner = nullptr) = 0;

    virtual void setClipboardText(const QString& text) = 0;
    virtual QString clipboardText() = 0;

    // The desktop's handler for a file or address; false when none could be started.
    virtual bool openWithDesktop(const QUrl& url) = 0;
    // A prepared mailto: address for the desktop's mail program; false when none could be started.
    virtual bool sendMail(const QString& mailto) = 0;

    virtual void setBusy(bool busy) = 0;
};

// Qt's file dialogs take "説明 (*.ext)"; the product's filters use "説明|*.ext".
QString toQtFileFilter(const QString& productFilter);
