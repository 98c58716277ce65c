// The floor: a bare browser window on the same page, started the same way: its engine gets
// the switches the program's engine gets, by the program's own rule.
#include <QApplication>
#include <QTest>
#include <QTextStream>
#include <QWebEngineView>

#include "ProcessClock.h"
#include "Pss.h"
#include "widgets/WebProfile.h"

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", WebProfile::engineSwitches(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), app.arguments(),
                                                                     qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")));
    QWebEngineView view;
    view.load(QUrl(app.arguments().value(1)));
    view.resize(1180, 800);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view, 20000)) return 1;
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
