// The floor: a bare browser window on the same page, started the same way.
#include <QApplication>
#include <QTest>
#include <QTextStream>
#include <QWebEngineView>

#include "ProcessClock.h"
#include "Pss.h"

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
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
