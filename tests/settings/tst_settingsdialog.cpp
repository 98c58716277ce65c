#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/mduInterFace.h"
#include "core/Cp932.h"
#include "widgets/Grid.h"
#include "mail/MailPane.h"
#include "settings/Accounts.h"
#include "settings/frmINI.h"
#include "settings/mINI.h"
#include "support/RecordingUiServices.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Press.h"

namespace {
template <typename T>
T* child(QWidget* root, const QString& name) {
    return root->findChild<T*>(name);
}

// The keys of the file in file order, "section/key".
QStringList keyOrder(const QByteArray& bytes) {
    QStringList out;
    QString section;
    for (const QString& line : cp932::decode(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('[')))
            section = line.mid(1, line.size() - 2);
        else
            out << section + QLatin1Char('/') + line.left(line.indexOf(QLatin1Char('=')));
    }
    return out;
}
}  // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savingIntoAnEmptyFolderWritesAll48KeysInOrder() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        frmINI dialog(ui, {});
        QVERIFY(!child<QCheckBox>(&dialog, QStringLiteral("Check1"))->isChecked());
        QCOMPARE(child<Grid>(&dialog, QStringLiteral("vGINKOU"))->text(1, 1), QString());
        child<QPushButton>(&dialog, QStringLiteral("Command1"))->click();
        const QStringList keys = keyOrder(folder.readBytes(QStringLiteral("INI/SRB.INI")));
        QStringList expected;
        for (int n = 1; n <= 5; ++n)
            for (const char* k : {"チェック", "銀行名", "支店名", "種別", "口座番号", "口座名義"})
                expected << QStringLiteral("銀行振込/") + QString::fromUtf8(k) + QString::number(n);
        for (int n = 1; n <= 2; ++n)
            for (const char* k : {"チェック", "口座種別", "記号", "番号", "口座名義"})
                expected << QStringLiteral("郵便振替/") + QString::fromUtf8(k) + QString::number(n);
        for (const char* k : {"YahooID", "郵便番号", "電話番号", "氏名", "住所"})
            expected << QStringLiteral("差出人/") + QString::fromUtf8(k);
        for (const char* k : {"起動時ﾌｧｲﾙ", "起動時ﾌｧｲﾙﾊﾟｽ", "自動ログイン"})
            expected << QStringLiteral("各種設定/") + QString::fromUtf8(k);
        QCOMPARE(expected.size(), 48);
        QCOMPARE(keys, expected);
        QCOMPARE(mINI::Ini_Get(QStringLiteral("各種設定"), QStringLiteral("自動ログイン")), QStringLiteral("0"));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("設定を反映させるにはｱﾌﾟﾘｹｰｼｮﾝの再起動を行って下さい。"));
        QCOMPARE(ui.messages[0].title, QStringLiteral("ソラバコ"));
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Information);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void valuesComeBackAsTheyWereSaved() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        {
            frmINI dialog(ui, {});
            auto* bank = child<Grid>(&dialog, QStringLiteral("vGINKOU"));
            bank->setText(2, 0, QStringLiteral("-1"));
            bank->setText(2, 1, QStringLiteral("みずほ銀行"));
            bank->setText(2, 3, QStringLiteral("普通"));
            child<Grid>(&dialog, QStringLiteral("vYUBIN"))->setText(1, 1, QStringLiteral("ぱるる"));
            child<QPlainTextEdit>(&dialog, QStringLiteral("txtADD"))->setPlainText(QStringLiteral("東京都\n千代田区\n1-1"));
            child<QLineEdit>(&dialog, QStringLiteral("txtNAME"))->setText(QStringLiteral("山田 太郎"));
            child<QCheckBox>(&dialog, QStringLiteral("Check1"))->setChecked(true);
            child<QCheckBox>(&dialog, QStringLiteral("Check3"))->setChecked(true);
            child<QLineEdit>(&dialog, QStringLiteral("Text1"))->setText(QStringLiteral("/u/USER/a.srb"));
            press(&dialog, "Command1");
        }
        QCOMPARE(mINI::Ini_Get(QStringLiteral("差出人"), QStringLiteral("住所")), QStringLiteral("東京都\\n千代田区\\n1-1"));
        QCOMPARE(mINI::Ini_Get(QStringLiteral("銀行振込"), QStringLiteral("チェック1")), QString());  // never touched
        QCOMPARE(mINI::Ini_Get(QStringLiteral("銀行振込"), QStringLiteral("チェック2")), QStringLiteral("-1"));
        mINI::Ini_Put(QStringLiteral("各種設定"), QStringLiteral("ログイン情報0"), mduInterFace::Enc_Str(QStringLiteral("seller1")), ui);

        frmINI again(ui, {});
        auto* bank = child<Grid>(&again, QStringLiteral("vGINKOU"));
        QVERIFY(bank->isTicked(2, 0));
        QVERIFY(!bank->isTicked(1, 0));
        QCOMPARE(bank->text(2, 1), QStringLiteral("みずほ銀行"));
        QCOMPARE(child<Grid>(&again, QStringLiteral("vYUBIN"))->text(1, 1), QStringLiteral("ぱるる"));
        QCOMPARE(child<QPlainTextEdit>(&again, QStringLiteral("txtADD"))->toPlainText(), QStringLiteral("東京都\n千代田区\n1-1"));
        QVERIFY(child<QCheckBox>(&again, QStringLiteral("Check1"))->isChecked());
        QVERIFY(child<QCheckBox>(&again, QStringLiteral("Check3"))->isChecked());
        QCOMPARE(child<QLineEdit>(&again, QStringLiteral("Text1"))->text(), QStringLiteral("/u/USER/a.srb"));
        QCOMPARE(child<QLineEdit>(&again, QStringLiteral("Text2_0"))->text(), QStringLiteral("seller1"));
    }

    void browsingAndCancelling() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        bool loginShown = false;
        frmINI dialog(ui, [&] { loginShown = true; });
        auto* text1 = child<QLineEdit>(&dialog, QStringLiteral("Text1"));
        text1->setText(QStringLiteral("/keep.srb"));
        press(&dialog, "Command3");  // cancelled
        QCOMPARE(text1->text(), QStringLiteral("/keep.srb"));
        QCOMPARE(ui.fileDialogs, QStringList{QStringLiteral("open:") + folder.path() + QStringLiteral("/USER/|記憶ファイル(*.SRB)|*.srb")});
        ui.openNames << QStringLiteral("/new.srb");
        press(&dialog, "Command3");
        QCOMPARE(text1->text(), QStringLiteral("/new.srb"));
        ui.folders << QStringLiteral("/pictures");
        press(&dialog, "Command5");
        QCOMPARE(child<QLineEdit>(&dialog, QStringLiteral("Text3"))->text(), QStringLiteral("/pictures"));
        QCOMPARE(ui.folderDialogs, QStringList{QStringLiteral("適当なフォルダーをクリックして選択状態にしてから ＯＫ を押してください")});
        child<QPushButton>(&dialog, QStringLiteral("Command4"))->click();
        QVERIFY(loginShown);
        child<QPushButton>(&dialog, QStringLiteral("Command2"))->click();
        QVERIFY(!QFile::exists(folder.file(QStringLiteral("INI/SRB.INI"))));
    }

    void aMissingFolderIsReportedOnceAndTheRestartNoteStillFollows() {
        TempProgramFolder folder;
        QVERIFY(QDir(folder.file(QStringLiteral("INI"))).removeRecursively());
        RecordingUiServices ui;
        frmINI dialog(ui, {});
        press(&dialog, "Command1");
        QCOMPARE(ui.messageTexts(), (QStringList{QStringLiteral("INIファイル書き込みに失敗しました。"),
                                                 QStringLiteral("設定を反映させるにはｱﾌﾟﾘｹｰｼｮﾝの再起動を行って下さい。")}));
    }

    void mailPaneTakesTheSettings() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        mINI::Ini_PutAll({{QStringLiteral("銀行振込"), QStringLiteral("チェック3"), QStringLiteral("-1")},
                          {QStringLiteral("銀行振込"), QStringLiteral("銀行名3"), QStringLiteral("ゆうちょ")},
                          {QStringLiteral("銀行振込"), QStringLiteral("種別3"), QStringLiteral("外貨預金")},
                          {QStringLiteral("差出人"), QStringLiteral("住所"), QStringLiteral("大阪府\\n北区")},
                          {QStringLiteral("差出人"), QStringLiteral("YahooID"), QStringLiteral("seller")}},
                         ui);
        MailPane pane(ui);
        pane.applyAccounts(accounts::read());
        auto* bank = child<Grid>(&pane, QStringLiteral("vGINKOU"));
        for (int r : {1, 2, 4, 5}) {
            QVERIFY(!bank->isTicked(r, 0));
            QCOMPARE(bank->text(r, 1), QString());
        }
        QVERIFY(bank->isTicked(3, 0));
        QCOMPARE(bank->text(3, 1), QStringLiteral("ゆうちょ"));
        QCOMPARE(bank->text(3, 3), QStringLiteral("外貨預金"));
        QCOMPARE(bank->columnList(3), (QStringList{QStringLiteral("普通"), QStringLiteral("当座"), QStringLiteral("貯蓄")}));
        QCOMPARE(bank->columnWidth(1), 1455 / 15);
        QCOMPARE(bank->toolTip(), QStringLiteral("落札者に連絡する口座を選択して下さい。"));
        QCOMPARE(child<QPlainTextEdit>(&pane, QStringLiteral("txtADD2"))->toPlainText(), QStringLiteral("大阪府\n北区"));
        QCOMPARE(child<QLineEdit>(&pane, QStringLiteral("txtID2"))->text(), QStringLiteral("seller"));
        QCOMPARE(child<Grid>(&pane, QStringLiteral("vYUBIN"))->rows(), 3);
    }
};

SORABAKO_GUI_TEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
