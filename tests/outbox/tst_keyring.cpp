#include <QtTest>

#include <QDirIterator>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "app/MailSending.h"
#include "core/Cp932.h"
#include "core/ProgramFolder.h"
#include "outbox/Secrets.h"
#include "settings/IniFile.h"
#include "settings/SendSettings.h"
#include "settings/frmINI.h"
#include "settings/Accounts.h"
#include "settings/KeptPasswords.h"
#include "settings/mINI.h"
#include "login/LoginList.h"
#include "core/mduInterFace.h"
#include "support/Dialogs.h"
#include "support/Press.h"
#include "support/RecordingUiServices.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"

namespace {
const QString kPassword = QStringLiteral("sora-Himitsu-2026");

// Every file below the program folder that holds the password, in any of the ways a file could.
QStringList filesHolding(const QString& root, const QString& secret) {
    QStringList found;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = f.readAll();
        if (bytes.contains(secret.toUtf8()) || bytes.contains(cp932::encode(secret, nullptr)) || bytes.contains(secret.toUtf8().toBase64()))
            found << f.fileName();
    }
    return found;
}

// The seller types the server and its password into the settings dialog and saves.
void saveInSettings(RecordingUiServices& ui) {
    frmINI dialog(ui, [] {});
    dialog.setMailHooks(MailSending::settingsHooks(ui));
    child<QRadioButton>(&dialog, QStringLiteral("optSMTP"))->setChecked(true);
    child<QLineEdit>(&dialog, QStringLiteral("txtSMTP_SERVER"))->setText(QStringLiteral("mail.sorabako.example"));
    child<QLineEdit>(&dialog, QStringLiteral("txtSMTP_USER"))->setText(QStringLiteral("sora_shop"));
    child<QLineEdit>(&dialog, QStringLiteral("txtSMTP_FROM"))->setText(QStringLiteral("shop@sorabako.example"));
    child<QLineEdit>(&dialog, QStringLiteral("txtSMTP_PASSWORD"))->setText(kPassword);
    press(&dialog, "Command1");
}

QString key() { return sendsettings::secretKey(sendsettings::read(IniFile::load(ProgramFolder::settingsFile()))); }

const QString kSitePassword = QStringLiteral("site-Pass-77");

// A settings file as an older version left it: one saved site account, remembered.
void oldSettings(const TempProgramFolder& folder) {
    const QString id = mduInterFace::Enc_Str(QStringLiteral("sora_seller")), pw = mduInterFace::Enc_Str(kSitePassword);
    folder.writeCp932(
        QStringLiteral("INI/SRB.INI"),
        QStringLiteral("[各種設定]\r\nログイン情報0=%1\r\nログイン情報1=%2\r\n[レコード]\r\n期間1=%1\r\nソード1=%2\r\n").arg(id, pw));
}

// The seller ticks 「パスワードをキーリングに保存」 for the account and saves.
void tickKeyring(RecordingUiServices& ui) {
    frmINI dialog(ui, [] {});
    auto* list = child<QListWidget>(&dialog, QStringLiteral("lstKEYRING"));
    list->item(0)->setCheckState(Qt::Checked);
    press(&dialog, "Command1");
}
}  // namespace

// Run twice: under a session bus with gnome-keyring's Secret Service (each test that needs no
// keyring skips there), and with no bus at all (the other way round).
class TestKeyring : public QObject {
    Q_OBJECT
    static bool bus() { return !qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS").startsWith(QStringLiteral("disabled:")); }

private Q_SLOTS:
    void initTestCase() { MailSending::installKeyring(); }

    // The password typed in the settings goes into the keyring, is read back from it, and no file
    // below the program folder holds it.
    void theKeyringKeepsThePasswordAndNoFileDoes() {
        if (!bus()) QSKIP("no session bus in this run");
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        RecordingUiServices ui;
        saveInSettings(ui);
        QString why;
        QCOMPARE(secrets::read(key(), &why).value_or(QString()), kPassword);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QVERIFY(!ui.messageTexts().join(QLatin1Char('|')).contains(QStringLiteral("キーリング")));
        QCOMPARE(filesHolding(folder.path(), kPassword), QStringList());
        QVERIFY(secrets::forget(key()));
        QVERIFY(!secrets::read(key()));

        // A site account's password moved into the keyring: no file has it, the login window and
        // the settings read it back.
        oldSettings(folder);
        QCOMPARE(LoginList::read().rows.first().password, kSitePassword);  // the old file, as before
        tickKeyring(ui);
        QCOMPARE(filesHolding(folder.path(), kSitePassword), QStringList());
        const LoginList::State state = LoginList::read();
        QCOMPARE(state.rows.first().password, kSitePassword);
        QVERIFY(state.rows.first().inKeyring);
        QCOMPARE(state.text2, kSitePassword);
        QCOMPARE(accounts::read().loginPassword, kSitePassword);
        // Closing the login window with it remembered writes the mark, never the password.
        mINI::Ini_Update(
            [&](IniFile& f) {
                for (const mINI::Entry& e : LoginList::closingEntries(state.rows)) f.setValue(e.section, e.key, e.value);
            },
            ui);
        QCOMPARE(filesHolding(folder.path(), kSitePassword), QStringList());
        secrets::forget(keptpasswords::siteKey(QStringLiteral("sora_seller")));
    }

    // No keyring answers: the seller is told, the password lasts this sitting only, no file has it.
    void withoutAKeyringThePasswordLastsTheSitting() {
        if (bus()) QSKIP("a session bus in this run");
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        RecordingUiServices ui;
        saveInSettings(ui);
        QVERIFY2(ui.messageTexts().join(QLatin1Char('|')).contains(QStringLiteral("終了するまで覚えておきます")),
                 qPrintable(ui.messageTexts().join(QLatin1Char('|'))));
        QString why;
        QCOMPARE(secrets::read(key(), &why).value_or(QString()), kPassword);
        QVERIFY(!why.isEmpty());
        QCOMPARE(filesHolding(folder.path(), kPassword), QStringList());

        // A site password cannot go to a keyring that is not there: it stays in the file, and the seller is told.
        oldSettings(folder);
        tickKeyring(ui);
        QVERIFY(ui.messageTexts().join(QLatin1Char('|')).contains(QStringLiteral("設定ファイルに残しました")));
        QCOMPARE(LoginList::read().rows.first().password, kSitePassword);
        QVERIFY(!LoginList::read().rows.first().inKeyring);
    }
};

SORABAKO_GUI_TEST_MAIN(TestKeyring)
#include "tst_keyring.moc"
