// Process start to main window shown, going through the program's own start-up.
// The program folder is given as the only argument and must already point
// its site addresses at a running simulator.
#include <QApplication>
#include <QTest>
#include <QTextStream>

#include "ProcessClock.h"
#include "core/ProgramFolder.h"
#include "app/QtUiServices.h"
#include "app/StartUp.h"
#include "app/fMain.h"
#include "app/frmStart.h"

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ソラバコ"));
    ProgramFolder::setRoot(app.arguments().value(1));
    StartUp::markStarted();
    QtUiServices ui;
    frmStart start(ui, nullptr);
    start.run();
    std::unique_ptr<fMain> window(start.takeMain());
    if (!QTest::qWaitForWindowExposed(window.get(), 20000)) return 1;
    QTextStream(stdout) << msSinceProcessStart() << Qt::endl;
    return 0;
}
