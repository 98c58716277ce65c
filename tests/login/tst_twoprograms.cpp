// Two programs on one folder: the second start gives way to the first, and
// every write of the settings file is made to the file as it is now, so a
// second tool (or an editor) writing meanwhile loses nothing. The rival is a
// second process: this test's own executable started with --rival.
#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "core/FileLock.h"
#include "core/ProgramFolder.h"
#include "core/SingleInstance.h"
#include "core/mduInterFace.h"
#include "login/LoginList.h"
#include "login/frmLogin.h"
#include "settings/IniFile.h"
#include "settings/frmINI.h"
#include "settings/mINI.h"
#include "support/Dialogs.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/Press.h"

namespace {
constexpr int kWait = 30000;

// What the rival process does, on the program folder it is given.
int rival(const QStringList& args) {
    ProgramFolder::setRoot(args.value(0));
    RecordingUiServices ui;
    const QString action = args.value(1);
    if (action == QLatin1String("put-keys")) {
        for (int i = 0; i < args.value(3).toInt(); ++i)
            if (!mINI::Ini_Put(QStringLiteral("テスト"), args.value(2) + QString::number(i), QString::number(i), ui)) return 1;
        return 0;
    }
    if (action == QLatin1String("put")) return mINI::Ini_Put(args.value(2), args.value(3), args.value(4), ui) ? 0 : 1;
    if (action == QLatin1String("add-login")) {
        const QString id = args.value(2), password = args.value(3);
        return mINI::Ini_Update([&](IniFile& file) { LoginList::add(file, id, password); }, ui) ? 0 : 1;
    }
    if (action == QLatin1String("start")) {
        SingleInstance instance(args.value(0));
        if (instance.acquire()) return 0;
        return instance.askFirstToComeForward() ? 3 : 4;
    }
    return 2;
}

int runRival(const QStringList& args) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--rival")} + args);
    if (!p.waitForFinished(60000)) return -1;
    return p.exitCode();
}

QString setting(const QString& section, const QString& key) { return mINI::Ini_Get(section, key); }
}  // namespace

class TestTwoPrograms : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aSecondStartOnTheSameFolderBringsTheFirstForward() {
        TempProgramFolder folder;
        SingleInstance first(folder.path());
        QVERIFY(first.acquire());
        QSignalSpy forward(&first, &SingleInstance::comeForward);
        // The rival blocks on its answer, which this event loop gives: start it without waiting.
        QProcess second;
        second.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--rival"), folder.path(), QStringLiteral("start")});
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, kWait);
        QCOMPARE(second.exitCode(), 3);
        QCOMPARE(forward.count(), 1);

        // Another folder is another program's.
        TempProgramFolder other;
        QCOMPARE(runRival({other.path(), QStringLiteral("start")}), 0);
    }

    void aProgramThatWasKilledLeavesTheFolderFree() {
        TempProgramFolder folder;
        QProcess first;
        // A rival that takes the folder and is then killed, socket and all.
        first.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--rival"), folder.path(), QStringLiteral("hold")});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(FileLock(SingleInstance::lockFile(folder.path()), FileLock::Wait::No).heldElsewhere(), kWait);
        first.kill();
        QVERIFY(first.waitForFinished());
        SingleInstance next(folder.path());
        QVERIFY(next.acquire());
        // The killed program's socket is gone too: a later start still reaches the new first.
        QSignalSpy forward(&next, &SingleInstance::comeForward);
        QProcess later;
        later.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--rival"), folder.path(), QStringLiteral("start")});
        QTRY_VERIFY_WITH_TIMEOUT(later.state() == QProcess::NotRunning, kWait);
        QCOMPARE(later.exitCode(), 3);
        QCOMPARE(forward.count(), 1);
    }

    void concurrentWritesOfSingleKeysAllLand() {
        TempProgramFolder folder;
        QProcess a, b;
        for (auto [p, prefix] : {std::pair{&a, "a"}, std::pair{&b, "b"}})
            p->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--rival"), folder.path(), QStringLiteral("put-keys"), QLatin1String(prefix), QStringLiteral("500")});
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        const IniFile file = IniFile::load(ProgramFolder::settingsFile());
        int present = 0;
        for (const char* prefix : {"a", "b"})
            for (int i = 0; i < 500; ++i)
                if (file.value(QStringLiteral("テスト"), QLatin1String(prefix) + QString::number(i)) == QString::number(i)) ++present;
        QCOMPARE(present, 1000);
    }

    void theSettingsDialogWritesOnlyWhatTheSellerChanged() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        mINI::Ini_PutAll({{QStringLiteral("差出人"), QStringLiteral("氏名"), QStringLiteral("空箱 太郎")},
                          {QStringLiteral("差出人"), QStringLiteral("電話番号"), QStringLiteral("03-0000-0000")}},
                         ui);
        frmINI dialog(ui, {});
        // While the dialog is open, another program saves a new telephone number.
        QCOMPARE(runRival({folder.path(), QStringLiteral("put"), QStringLiteral("差出人"), QStringLiteral("電話番号"),
                           QStringLiteral("03-1111-2222")}),
                 0);
        dialog.findChild<QLineEdit*>(QStringLiteral("txtNAME"))->setText(QStringLiteral("空箱 花子"));
        dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        QCOMPARE(setting(QStringLiteral("差出人"), QStringLiteral("氏名")), QStringLiteral("空箱 花子"));
        QCOMPARE(setting(QStringLiteral("差出人"), QStringLiteral("電話番号")), QStringLiteral("03-1111-2222"));
        // A fresh file still gets every key of the dialog, in its order.
        QVERIFY(setting(QStringLiteral("各種設定"), QStringLiteral("自動ログイン")) == QStringLiteral("0"));
    }

    void theSettingsDialogRefusesCharactersTheFileCannotHold() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        mINI::Ini_Put(QStringLiteral("差出人"), QStringLiteral("氏名"), QStringLiteral("空箱 太郎"), ui);
        frmINI dialog(ui, {});
        dialog.open();
        dialog.findChild<QLineEdit*>(QStringLiteral("txtNAME"))->setText(QStringLiteral("空箱 ¥太郎😀"));
        dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(ui.messageTexts().last(), QStringLiteral("次の文字は設定ファイルに保存できません。別の文字に置き換えて下さい。\r\n¥😀"));
        QCOMPARE(setting(QStringLiteral("差出人"), QStringLiteral("氏名")), QStringLiteral("空箱 太郎"));
        dialog.reject();
    }

    void twoNewLoginIdsRegisteredAtOnceAreBothKept() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        QVERIFY(sim.isRunning());
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        frmLogin w(ui, {});
        // The window has read the (empty) list; another program registers an account meanwhile.
        QCOMPARE(runRival({folder.path(), QStringLiteral("add-login"), QStringLiteral("rival_id"), QStringLiteral("pw")}), 0);
        w.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("sorabako_demo"));
        w.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("demo1234"));
        w.findChild<QCheckBox*>(QStringLiteral("ckLogin"))->setChecked(true);
        w.open();
        press(&w, "cmdLOGIN");
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), kWait);
        const LoginList::State s = LoginList::read();
        QCOMPARE(s.rows[0].id, QStringLiteral("rival_id"));
        QCOMPARE(s.rows[1].id, QStringLiteral("sorabako_demo"));
        QCOMPARE(s.rows[1].password, QStringLiteral("demo1234"));
    }
};

int main(int argc, char** argv) {
    if (argc >= 2 && qstrcmp(argv[1], "--rival") == 0) {
        QCoreApplication app(argc, argv);
        QStringList args = app.arguments().mid(2);
        if (args.value(1) == QLatin1String("hold")) {
            SingleInstance instance(args.value(0));
            if (!instance.acquire()) return 1;
            return app.exec();  // until killed
        }
        return rival(args);
    }
    QTemporaryDir userHome;
    qputenv("HOME", userHome.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", userHome.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", userHome.filePath("data").toUtf8());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ソラバコ"));
    QStandardPaths::setTestModeEnabled(true);
    TestTwoPrograms tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_twoprograms.moc"
