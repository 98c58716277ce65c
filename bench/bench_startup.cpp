// Process start to main window shown, going through the program's own start-up.
// The program folder is given as the only argument and must already point
// its site addresses at a running simulator.
#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QTextStream>

#include "ProcessClock.h"
#include "Pss.h"
#include "core/ProgramFolder.h"
#include "core/SingleInstance.h"
#include "core/TextFile.h"
#include "app/Language.h"
#include "app/QtUiServices.h"
#include "app/StartUp.h"
#include "app/fMain.h"
#include "app/frmStart.h"
#include "widgets/Browser.h"

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ソラバコ"));
    ProgramFolder::setRoot(app.arguments().value(1));
    if (qEnvironmentVariableIsSet("BENCH_SIGNIN")) {
        // Signs the program's own browser profile in (a lasting cookie), so that a start-up
        // measured afterwards finds the seller signed in, as a seller's usually does.
        // A plain event loop, not QSignalSpy: that would load the test library, which the
        // program never loads, into every start-up measured.
        Browser page;
        QEventLoop wait;
        bool done = false;
        QObject::connect(&page, &Browser::DocumentComplete, &wait, [&] {
            done = true;
            wait.quit();
        });
        QTimer::singleShot(30000, &wait, &QEventLoop::quit);
        page.Navigate2(qEnvironmentVariable("BENCH_SIGNIN"));
        wait.exec();
        return done && page.lastLoadOk() ? 0 : 1;
    }
    StartUp::markStarted();
    // What main() does before start-up, as it does it: the folder given stands for the one it settles.
    speakJapanese(app);
    QtUiServices ui;
    SingleInstance instance(ProgramFolder::root());
    if (!instance.acquire()) return 1;
    TextFile::removeLeftovers(ProgramFolder::root());
    frmStart start(ui, nullptr);
    start.run();
    std::unique_ptr<fMain> window(start.takeMain());
    if (!QTest::qWaitForWindowExposed(window.get(), 20000)) return 1;
    if (qEnvironmentVariableIsSet("BENCH_MEMORY")) {
        // Memory after start: once the pages have loaded and the engine has settled.
        settleFor(qEnvironmentVariableIntValue("BENCH_MEMORY"));
        const TreeMemory m = treeMemory();
        QTextStream(stdout) << m.pssMiB << ' ' << m.processes << ' ' << m.renderers << Qt::endl;
        return 0;
    }
    QTextStream(stdout) << msSinceProcessStart() << Qt::endl;
    return 0;
}
