#pragma once

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// main() for window and browser tests: Qt WebEngine wants shared GL
// contexts before the application exists, and test mode keeps the per-user
// records (first start, browser profile) out of the real user's folders.
// Test mode puts them below the home folder (~/.qttest), so the home folder
// is a fresh one too: each run starts with empty ones, and no cookie or
// first-start marker leaks from one run into the next.
#define SORABAKO_GUI_TEST_MAIN(TestClass)                                  \
    int main(int argc, char** argv) {                                      \
        QTemporaryDir userHome;                                            \
        qputenv("HOME", userHome.path().toUtf8());                         \
        qputenv("XDG_CONFIG_HOME", userHome.filePath("config").toUtf8());  \
        qputenv("XDG_DATA_HOME", userHome.filePath("data").toUtf8());      \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);        \
        QApplication app(argc, argv);                                      \
        QApplication::setApplicationName(QStringLiteral("ソラバコ"));       \
        QStandardPaths::setTestModeEnabled(true);                          \
        TestClass tc;                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                         \
        return QTest::qExec(&tc, argc, argv);                              \
    }
