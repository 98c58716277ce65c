// Installed like a desktop program: where the program folder is, the user's
// copy of the shipped one, and Qt's own dialogs speaking Japanese.
#include <QtTest>

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/Language.h"
#include "core/ProgramFolder.h"
#include "core/mduInterFace.h"
#include "description/Description.h"
#include "settings/IniFile.h"
#include "settings/frmINI.h"
#include "support/RecordingUiServices.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"

namespace {
void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestRelease : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void whereTheProgramFolderIs() {
        QTemporaryDir dir;
        const QString user = dir.filePath(QStringLiteral("home/.local/share/ソラバコ/program"));
        const auto all = [](const QString&) { return true; };
        const auto none = [](const QString&) { return false; };

        // Run from its own folder (the build's, a copy): that folder.
        QDir().mkpath(dir.filePath(QStringLiteral("build/sorabako/INI")));
        ProgramFolder::Placement p = ProgramFolder::place(dir.filePath(QStringLiteral("build/sorabako")), user, all);
        QCOMPARE(p.root, dir.filePath(QStringLiteral("build/sorabako")));
        QVERIFY(p.shipped.isEmpty());
        // The same folder on a medium the user may not write: the user's own copy instead.
        p = ProgramFolder::place(dir.filePath(QStringLiteral("build/sorabako")), user, none);
        QCOMPARE(p.root, user);

        // Installed: bin/ holds no program folder; the shipped tree is in share/sorabako.
        QDir().mkpath(dir.filePath(QStringLiteral("usr/bin")));
        QDir().mkpath(dir.filePath(QStringLiteral("usr/share/sorabako/MAST")));
        p = ProgramFolder::place(dir.filePath(QStringLiteral("usr/bin")), user, all);
        QCOMPARE(p.root, user);
        QCOMPARE(p.shipped, dir.filePath(QStringLiteral("usr/share/sorabako")));
    }

    void theUsersCopyOfTheShippedFolder() {
        QTemporaryDir dir;
        const QString shipped = dir.filePath(QStringLiteral("share/sorabako"));
        write(shipped + QStringLiteral("/MAST/文言一覧.txt"), "shipped phrases\r\n");
        write(shipped + QStringLiteral("/Template/HTML/シンプル_青.html"), "<p>shipped</p>\r\n");
        write(shipped + QStringLiteral("/USER/デモ.srb"), "[出品手続]\r\n");
        QFile::setPermissions(shipped + QStringLiteral("/MAST/文言一覧.txt"), QFileDevice::ReadOwner | QFileDevice::ReadOther);
        const QString user = dir.filePath(QStringLiteral("program"));
        QString failed;
        QVERIFY(ProgramFolder::seed(shipped, user, &failed));
        for (const char* sub : {"Template/HTML", "Template/MAIL", "MAST", "USER", "DATA", "INI"})
            QVERIFY2(QDir(user).exists(QLatin1String(sub)), sub);
        QCOMPARE(read(user + QStringLiteral("/MAST/文言一覧.txt")), QByteArray("shipped phrases\r\n"));
        QVERIFY(QFileInfo(user + QStringLiteral("/MAST/文言一覧.txt")).permissions() & QFileDevice::WriteOwner);

        // The seller's own changes and files survive the next start, and a newly shipped file arrives.
        write(user + QStringLiteral("/MAST/文言一覧.txt"), "my phrases\r\n");
        write(user + QStringLiteral("/USER/今日の出品.srb"), "[出品手続]\r\nタイトル=mine\r\n");
        write(shipped + QStringLiteral("/Template/MAIL/発送のご連絡.txt"), "<USER> 様\r\n");
        QVERIFY(ProgramFolder::seed(shipped, user, &failed));
        QCOMPARE(read(user + QStringLiteral("/MAST/文言一覧.txt")), QByteArray("my phrases\r\n"));
        QCOMPARE(read(user + QStringLiteral("/USER/今日の出品.srb")), QByteArray("[出品手続]\r\nタイトル=mine\r\n"));
        QCOMPARE(read(user + QStringLiteral("/Template/MAIL/発送のご連絡.txt")), QByteArray("<USER> 様\r\n"));

        // A folder that cannot be made is said by name.
        write(dir.filePath(QStringLiteral("blocked")), "a file, not a folder");
        QVERIFY(!ProgramFolder::seed(shipped, dir.filePath(QStringLiteral("blocked")), &failed));
        QVERIFY(failed.startsWith(dir.filePath(QStringLiteral("blocked"))));
    }

    void theSettingsDialogSaysWhereTheFilesAre() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        frmINI dialog(ui, {});
        auto* where = dialog.findChild<QLabel*>(QStringLiteral("lblFolder"));
        QVERIFY(where);
        QCOMPARE(where->text(), QStringLiteral("ファイルの保存場所：") + QDir::toNativeSeparators(folder.path() + QLatin1Char('/')));
    }

    void theDemoListingsTitlesFitTheSite() {
        // The first files a new seller opens: titles the site takes whole, the counter not red.
        const QDir user(qEnvironmentVariable("SORABAKO_SOURCE_DIR") + QStringLiteral("/folder/USER"));
        const QStringList files = user.entryList({QStringLiteral("*.srb")}, QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString& name : files) {
            const IniFile memory = IniFile::load(user.filePath(name));
            bool numbered = false;
            const int mark = memory.value(QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("マーク")).toInt(&numbered);
            QVERIFY2(numbered && mark >= 0 && mark < description::kMarks.size(), qPrintable(name));
            const QString product = memory.value(QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("商品名"));
            const QString title = memory.value(QStringLiteral("出品手続"), QStringLiteral("タイトル"));
            QVERIFY2(!product.isEmpty() && !title.isEmpty(), qPrintable(name));
            const QString marked = description::listingTitle(description::kMarks[mark], product);
            QVERIFY2(!description::titleTooLong(mduInterFace::Byte_Len(marked)), qPrintable(name + QLatin1Char(' ') + marked));
            QVERIFY2(!description::titleTooLong(mduInterFace::Byte_Len(title)), qPrintable(name + QLatin1Char(' ') + title));
        }
    }

    void qtsOwnDialogsSpeakJapanese() {
        QVERIFY2(speakJapanese(*QCoreApplication::instance()), "Qt's Japanese translation (qt6-translations-l10n) is not installed");
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::AnyFile);
        QStringList texts;
        for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) texts << button->text();
        const QString all = texts.join(QLatin1Char('|'));
        QVERIFY2(all.contains(QStringLiteral("キャンセル")), qPrintable(all));
        QVERIFY2(!all.contains(QStringLiteral("Look in")) && !all.contains(QStringLiteral("Cancel")), qPrintable(all));
        QCOMPARE(QLocale().language(), QLocale::Japanese);
    }
};

SORABAKO_GUI_TEST_MAIN(TestRelease)
#include "tst_release.moc"
