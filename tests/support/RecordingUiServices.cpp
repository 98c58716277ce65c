#include "support/RecordingUiServices.h"

UiServices::Answer RecordingUiServices::message(const QString& text, const QString& title, Icon icon, Buttons buttons, QObject*) {
    messages.append({text, title, icon, buttons});
    if (!answers.isEmpty()) return answers.dequeue();
    switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkCancel: return Answer::Ok;
        case Buttons::YesNoDefaultNo: return Answer::No;  // what Enter gives
        default: return Answer::Yes;
    }
}

QString RecordingUiServices::openFileName(const QString& initialDir, const QString& filter, QObject*) {
    fileDialogs << QStringLiteral("open:") + initialDir + QLatin1Char('|') + filter;
    return openNames.isEmpty() ? QString() : openNames.dequeue();
}

QString RecordingUiServices::saveFileName(const QString& initialDir, const QString& filter, QObject*) {
    fileDialogs << QStringLiteral("save:") + initialDir + QLatin1Char('|') + filter;
    return saveNames.isEmpty() ? QString() : saveNames.dequeue();
}

QString RecordingUiServices::folderName(const QString& instruction, QObject*) {
    folderDialogs << instruction;
    return folders.isEmpty() ? QString() : folders.dequeue();
}

bool RecordingUiServices::chooseColor(unsigned int* rgb, QObject*) {
    if (colors.isEmpty()) return false;
    *rgb = colors.dequeue();
    return true;
}

void RecordingUiServices::setClipboardText(const QString& text) {
    clipboard = text;
    ++clipboardWrites;
}

bool RecordingUiServices::openWithDesktop(const QUrl& url) {
    opened << url;
    return desktopOpens;
}

bool RecordingUiServices::sendMail(const QString& mailto) {
    mails << mailto;
    return mailProgram;
}

namespace {
const QString kKept = QStringLiteral("\r\nその時のページを次のフォルダに残しました。\r\n");
}

QStringList RecordingUiServices::messagesBesidesEvidence() const {
    QStringList texts;
    for (const Message& m : messages) texts << m.text.section(kKept, 0, 0);
    return texts;
}

QStringList RecordingUiServices::evidenceFolders() const {
    QStringList folders;
    for (const Message& m : messages)
        if (m.text.contains(kKept)) folders << m.text.section(kKept, 1);
    return folders;
}

QStringList RecordingUiServices::messageTexts() const {
    QStringList texts;
    for (const Message& m : messages) texts << m.text;
    return texts;
}
