#include <QApplication>
#include <QWidget>
#include <memory>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "app/Language.h"
#include "app/QtUiServices.h"
#include "app/fMain.h"
#include "app/frmStart.h"
#include "core/ProgramFolder.h"
#include "app/BackupActions.h"
#include "app/MailSending.h"
#include "core/SingleInstance.h"
#include "core/TextFile.h"

int main(int argc, char** argv) {
#ifdef Q_OS_UNIX
    // Chromium refuses to start its sandbox for root; without this no page would load at all.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    // Qt WebEngine shares GL contexts with the widgets; it must be set before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ソラバコ"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setDesktopFileName(QStringLiteral("jp.sorabako.Sorabako"));
    // Other windows (the phrase list) may still be open: closing the main window ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    speakJapanese(app);

    QtUiServices ui;
    // Installed, the program folder is the user's own copy of the shipped one.
    QString failed;
    if (!ProgramFolder::settle(&failed))
        ui.message(QStringLiteral("プログラムフォルダを用意できませんでした。\r\n") + failed +
                       QStringLiteral("\r\nディスクの空きと書き込みの権限を確認して下さい。"),
                   QStringLiteral("ソラバコ"), UiServices::Icon::Critical, UiServices::Buttons::Ok, nullptr);
    // One program per program folder: a second one would write over the first one's settings.
    SingleInstance instance(ProgramFolder::root());
    if (!instance.acquire()) {
        const bool cameForward = instance.askFirstToComeForward();
        ui.message(cameForward ? QStringLiteral("ソラバコは既に起動しています。\r\n起動中のソラバコを前面に表示しました。")
                               : QStringLiteral("ソラバコは既に起動しています。\r\n同じフォルダで二つ目のソラバコは起動できません。"),
                   QStringLiteral("ソラバコ"), UiServices::Icon::Information, UiServices::Buttons::Ok, nullptr);
        return 0;
    }
    // Only now that no other program can be writing here: the temporary files of a program
    // that was killed half-way through a save.
    TextFile::removeLeftovers(ProgramFolder::root());
    // The site passwords the seller keeps in the keyring are read from there.
    MailSending::installKeyring();
    // A restore staged by a program that ended before putting it in place.
    BackupActions::applyPending(ui, true);

    std::unique_ptr<fMain> window;
    QObject::connect(&instance, &SingleInstance::comeForward, &app, [&window] {
        QWidget* front = QApplication::activeModalWidget();
        if (!front && window) front = window.get();
        if (!front)
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible()) front = w;
        if (!front) return;
        if (front->isMinimized()) front->showNormal();
        front->raise();
        front->activateWindow();
    });
    {
        frmStart start(ui, nullptr);
        start.run();
        window.reset(start.takeMain());
    }
    QObject::connect(window.get(), &fMain::unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    const int code = app.exec();
    // Every window is closed and has saved what it saves: a restore asked for goes in place now.
    window.reset();
    BackupActions::applyPending(ui, false);
    return code;
}
