#include <QApplication>
#include <memory>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "app/Language.h"
#include "app/QtUiServices.h"
#include "app/fMain.h"
#include "app/frmStart.h"
#include "core/ProgramFolder.h"

int main(int argc, char** argv) {
#ifdef Q_OS_UNIX
    // Chromium refuses to start its sandbox for root; without this no page would load at all.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
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
    std::unique_ptr<fMain> window;
    {
        frmStart start(ui, nullptr);
        start.run();
        window.reset(start.takeMain());
    }
    QObject::connect(window.get(), &fMain::unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    return app.exec();
}
