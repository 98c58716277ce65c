// Replacing a file on a disk that fills up, at every step of the write, and
// under a kill: the old file or the new one, byte for byte, never a short
// one; and the temporary files a kill leaves go at the next start.
#include <QtTest>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <csignal>
#include <sys/stat.h>

#include "core/Cp932.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "settings/IniFile.h"
#include "settings/mINI.h"
#include "support/RecordingUiServices.h"
#include "support/SmallDisk.h"
#include "support/TempProgramFolder.h"

namespace {
QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void plant(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// What a seller's settings file looks like: a few hundred bytes of CP932.
QByteArray settingsBytes(const QString& name) {
    QString text = QStringLiteral("[銀行振込]\r\nチェック1=-1\r\n銀行名1=そら銀行\r\n支店名1=本店\r\n[差出人]\r\n氏名=%1\r\n").arg(name);
    for (int i = 1; i <= 20; ++i) text += QStringLiteral("[レコード]\r\n期間%1=WXYZ%1\r\nソード%1=abcdefg\r\n").arg(i);
    return cp932::encode(text);
}

QStringList leftoversIn(const QString& folder) {
    QStringList out;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (TextFile::isLeftover(name)) out << name;
    return out;
}

// The child of the kill test: saves two versions of one file over and over until killed.
int saveForEver(const QString& path) {
    const QByteArray a = QByteArray(3000, 'a'), b = QByteArray(9000, 'b');
    for (quint64 i = 0;; ++i) TextFile::writeBytes(path, (i % 2) ? b : a);
}
}  // namespace

class TestSafeWrites : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aFullDiskKeepsTheOldFileAndSaysSo() {
        SmallDisk disk(256);
        if (!disk.isMounted()) QSKIP("mounting a small disk needs root");
        const QString path = disk.file(QStringLiteral("SRB.INI"));
        const QByteArray old = settingsBytes(QStringLiteral("空箱 太郎"));
        plant(path, old);
        QVERIFY(disk.fill());

        // Small files and one larger than any write buffer: both fail, neither is cut short.
        QVERIFY(!TextFile::writeBytes(path, settingsBytes(QStringLiteral("空箱 花子"))));
        QCOMPARE(readBytes(path), old);
        QVERIFY(!TextFile::writeBytes(path, QByteArray(64 * 1024, 'x')));
        QCOMPARE(readBytes(path), old);
        QVERIFY(!TextFile::writeCp932Lines(path, {QStringLiteral("00012,00003,,500")}));
        QCOMPARE(readBytes(path), old);
        QVERIFY(!IniFile::update(
            path, [](IniFile& f) { f.setValue(QStringLiteral("差出人"), QStringLiteral("氏名"), QStringLiteral("空箱 次郎")); }));
        QCOMPARE(readBytes(path), old);
        QCOMPARE(leftoversIn(disk.path()), QStringList());

        // Room made again, the same write goes through.
        disk.makeRoom();
        QVERIFY(TextFile::writeBytes(path, QByteArray(64 * 1024, 'x')));
        QCOMPARE(readBytes(path), QByteArray(64 * 1024, 'x'));
    }

    void aDiskThatFillsUpHalfWayKeepsTheOldFile() {
        SmallDisk disk(256);
        if (!disk.isMounted()) QSKIP("mounting a small disk needs root");
        const QString path = disk.file(QStringLiteral("zenkai.csv"));
        plant(path, "00012,00003,,500\r\n");
        QVERIFY(disk.fill(8192));
        QVERIFY(!TextFile::writeBytes(path, QByteArray(40 * 1024, '1')));
        QCOMPARE(readBytes(path), QByteArray("00012,00003,,500\r\n"));
        QCOMPARE(leftoversIn(disk.path()), QStringList());
        // What fits still fits.
        QVERIFY(TextFile::writeBytes(path, "00013,00003,,500\r\n"));
        QCOMPARE(readBytes(path), QByteArray("00013,00003,,500\r\n"));
    }

    void theSettingsOnAFullDiskGetTheProductsMessage() {
        SmallDisk disk(256);
        if (!disk.isMounted()) QSKIP("mounting a small disk needs root");
        QDir(disk.path()).mkpath(QStringLiteral("INI"));
        ProgramFolder::setRoot(disk.path());
        const QByteArray old = settingsBytes(QStringLiteral("空箱 太郎"));
        plant(disk.file(QStringLiteral("INI/SRB.INI")), old);
        QVERIFY(disk.fill());
        RecordingUiServices ui;
        QVERIFY(!mINI::Ini_Put(QStringLiteral("差出人"), QStringLiteral("電話番号"), QStringLiteral("03-0000-0000"), ui));
        QCOMPARE(ui.messageTexts(), QStringList{mINI::kWriteFailed});
        QCOMPARE(readBytes(disk.file(QStringLiteral("INI/SRB.INI"))), old);
        ProgramFolder::setRoot(QString());
    }

    void aFailureAtEveryStepOfTheWriteKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.srb"));
        plant(path, "old");
        for (TextFile::Step step : {TextFile::Step::Sync, TextFile::Step::Close, TextFile::Step::Rename}) {
            TextFile::setStepFaultForTests([step](const QString&) { return step; });
            QVERIFY(!TextFile::writeBytes(path, "new"));
            QCOMPARE(readBytes(path), QByteArray("old"));
            QCOMPARE(leftoversIn(dir.path()), QStringList());
        }
        TextFile::setStepFaultForTests({});
        QVERIFY(TextFile::writeBytes(path, "new"));
        QCOMPARE(readBytes(path), QByteArray("new"));
    }

    void theReplacementKeepsTheFilesPermissions() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shared.csv"));
        plant(path, "old");
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
        QVERIFY(TextFile::writeBytes(path, "new"));
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, 0640u);
        // The settings file holds login data: owner-only whatever it was.
        QVERIFY(TextFile::writeBytes(path, "newer", true));
        QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, 0600u);
        // Not a file: nothing is replaced.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.srb")));
        QVERIFY(!TextFile::writeBytes(dir.filePath(QStringLiteral("folder.srb")), "x"));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder.srb"))).isDir());
    }

    void aKilledSaveLeavesTheOldOrTheNewFileAndItsLeftoversGoNextTime() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SRB.INI"));
        const QByteArray a = QByteArray(3000, 'a'), b = QByteArray(9000, 'b');
        plant(path, a);
        // The seller's own files, however much they look like ours, stay.
        for (const char* name : {"SRB.INI.backup", "SRB.INI.AbC123", ".SRB.INI.lock", ".hidden.txt", "SRB.INI.sorabako-AbC123"})
            plant(dir.filePath(QLatin1String(name)), "mine");
        for (int kill = 0; kill < 60; ++kill) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--save-for-ever"), path});
            QVERIFY(child.waitForStarted());
            QTest::qSleep(5 + QRandomGenerator::global()->bounded(25));
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished());
            const QByteArray now = readBytes(path);
            QVERIFY2(now == a || now == b, qPrintable(QStringLiteral("%1 bytes after kill %2").arg(now.size()).arg(kill)));
        }
        const int left = static_cast<int>(leftoversIn(dir.path()).size());
        QCOMPARE(TextFile::removeLeftovers(dir.path()), left);
        QCOMPARE(leftoversIn(dir.path()), QStringList());
        for (const char* name : {"SRB.INI.backup", "SRB.INI.AbC123", ".SRB.INI.lock", ".hidden.txt", "SRB.INI.sorabako-AbC123"})
            QCOMPARE(readBytes(dir.filePath(QLatin1String(name))), QByteArray("mine"));
    }

    void leftoversAreFoundInSubfoldersToo() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("USER/2026")));
        plant(dir.filePath(QStringLiteral("USER/2026/.カメラ.srb.sorabako-x1Y2z3")), "half");
        plant(dir.filePath(QStringLiteral("USER/2026/カメラ.srb")), "whole");
        QCOMPARE(TextFile::removeLeftovers(dir.path()), 1);
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("USER/2026/カメラ.srb"))), QByteArray("whole"));
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--save-for-ever") == 0) return saveForEver(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    TestSafeWrites tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_safewrites.moc"
