#pragma once

#include <QApplication>
#include <QStandardPaths>
#include <QtTest>

// main() for window and browser tests: Qt WebEngine wants shared GL
// contexts before the application exists, and test mode keeps the per-user
// records (first start, browser profile) out of the real user's folders.
#define SORABAKO_GUI_TEST_MAIN(TestClass)                                  \
    int main(int argc, char** argv) {                                      \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);        \
        QApplication app(argc, argv);                                      \
        QApplication::setApplicationName(QStringLiteral("ソラバコ"));       \
        QStandardPaths::setTestModeEnabled(true);                          \
        TestClass tc;                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                         \
        return QTest::qExec(&tc, argc, argv);                              \
    }
