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
#define SORABAKO_GUI_TEST_MAIN(TestClass) SORABAKO_GUI_TEST_MAIN_WITH_HELPER(TestClass, nullptr)

// The same, where the test's own executable started with "--helper ARGS..."
// plays a second program (a rival on the same folder): `helper` gets ARGS and
// its result is the exit code.
#define SORABAKO_GUI_TEST_MAIN_WITH_HELPER(TestClass, helper)             \
    int main(int argc, char** argv) {                                     \
        int (*helperFn)(const QStringList&) = helper;                     \
        if (helperFn && argc >= 2 && qstrcmp(argv[1], "--helper") == 0) { \
            QCoreApplication app(argc, argv);                             \
            return helperFn(app.arguments().mid(2));                      \
        }                                                                 \
        QTemporaryDir userHome;                                           \
        qputenv("HOME", userHome.path().toUtf8());                        \
        qputenv("XDG_CONFIG_HOME", userHome.filePath("config").toUtf8()); \
        qputenv("XDG_DATA_HOME", userHome.filePath("data").toUtf8());     \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);       \
        QApplication app(argc, argv);                                     \
        QApplication::setApplicationName(QStringLiteral("ソラバコ"));     \
        QStandardPaths::setTestModeEnabled(true);                         \
        TestClass tc;                                                     \
        QTEST_SET_MAIN_SOURCE_PATH                                        \
        return QTest::qExec(&tc, argc, argv);                             \
    }
