#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QResource>
#include <QTabWidget>
#include <QTimer>

#include "core/MemoryFiles.h"
#include "app/Artwork.h"
#include "app/BackupActions.h"
#include "app/QtUiServices.h"
#include "app/SplashBar.h"
#include "app/frmStart.h"
#include "app/fMain.h"
#include "description/DescriptionPane.h"
#include "mail/MailPane.h"
#include "shipping/ShippingPane.h"
#include "core/mduInterFace.h"
#include "widgets/Browser.h"
#include "settings/mINI.h"
#include "support/Dialogs.h"
#include "support/RecordingUiServices.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Press.h"

namespace {
class RecordingMemory : public MemoryFiles {
public:
    QStringList saved, read;
    bool failSaves = false;  // a full disk, a folder that went away
    bool SaveFile(const QString& path) override {
        if (failSaves) return false;
        saved << path;
        return true;
    }
    bool ReadFile(const QString& path) override {
        read << path;
        return true;
    }
};

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tabsMenusAndBottomBar() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        QCOMPARE(w.windowTitle(), QStringLiteral("ソラバコ"));
        QStringList captions;
        for (int i = 0; i < w.vsMAIN()->count(); ++i) captions << w.vsMAIN()->tabText(i);
        QCOMPARE(captions,
                 (QStringList{QStringLiteral("メール作成(&1)"), QStringLiteral("送料計算(&2)"), QStringLiteral("出品ﾌｫｰﾑ作成(&3)"),
                              QStringLiteral("出品手続(&4)"), QStringLiteral("ｱｸｾｽ解析(&5)")}));
        const QList<std::tuple<QString, QString, QKeySequence>> items{
            {QStringLiteral("mOpen"), QStringLiteral("開く(&O)"), QKeySequence(QStringLiteral("Ctrl+O"))},
            {QStringLiteral("mUwaGakiHzn"), QStringLiteral("上書き保存(&S)"), QKeySequence(QStringLiteral("Ctrl+S"))},
            {QStringLiteral("mNameHzn"), QStringLiteral("名前を付けて保存(&A)"), QKeySequence(QStringLiteral("Ctrl+A"))},
            {QStringLiteral("mEnd"), QStringLiteral("終了(&X)"), QKeySequence(QStringLiteral("Ctrl+X"))},
            {QStringLiteral("mINI"), QStringLiteral("設定"), QKeySequence()},
            {QStringLiteral("mHelp2"), QStringLiteral("ソラバコWebページ"), QKeySequence()},
            {QStringLiteral("mVer"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"), QKeySequence()}};
        for (const auto& [name, caption, key] : items) {
            auto* a = w.findChild<QAction*>(name);
            QVERIFY2(a, qPrintable(name));
            QCOMPARE(a->text(), caption);
            QCOMPARE(a->shortcut(), key);
        }
        QCOMPARE(w.findChild<QMenu*>(QStringLiteral("mFile"))->title(), QStringLiteral("ファイル(&F)"));
        QCOMPARE(w.findChild<QMenu*>(QStringLiteral("mOption"))->title(), QStringLiteral("オプション"));
        QCOMPARE(w.findChild<QMenu*>(QStringLiteral("mHelp"))->title(), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
        QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("Command3"))->text(), QStringLiteral("終了"));
        QVERIFY(w.findChild<QPushButton*>(QStringLiteral("Command12")));
        QVERIFY(w.findChild<QPushButton*>(QStringLiteral("Command13")));
        QVERIFY(w.findChild<QLabel*>(QStringLiteral("lblUser")));
    }

    void loadFillsTheTemplateLists() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("Template/HTML/b.html"), QStringLiteral("x"));
        folder.writeCp932(QStringLiteral("Template/HTML/a.html"), QStringLiteral("x"));
        folder.writeCp932(QStringLiteral("Template/MAIL/入金確認.txt"), QStringLiteral("x"));
        RecordingUiServices ui;
        fMain w(ui);
        auto* designs = w.findChild<QComboBox*>(QStringLiteral("cmbHTML"));
        QCOMPARE(designs->count(), 2);
        QCOMPARE(designs->currentText(), QStringLiteral("a.html"));
        auto* mails = w.findChild<QComboBox*>(QStringLiteral("Combo10"));
        QCOMPARE(mails->count(), 1);
        QCOMPARE(mails->currentText(), QStringLiteral("入金確認"));
        QTRY_VERIFY_WITH_TIMEOUT(w.WB3()->url().toString().endsWith(QStringLiteral("/a.html")), 20000);
    }

    void theMyAuctionLineNamesTheMailPanesSeller() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("Template/HTML/a.html"),
                          QStringLiteral("＜タイトル＞\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n<a>＜ユーザー＞</a>\r\n"));
        RecordingUiServices ui;
        fMain w(ui);
        w.findChild<QLineEdit*>(QStringLiteral("txtID2"))->setText(QStringLiteral("seller_from_mail"));
        w.findChild<QLineEdit*>(QStringLiteral("txtSYOUHIN"))->setText(QStringLiteral("本"));
        w.findChild<QCheckBox*>(QStringLiteral("ckMy"))->setChecked(true);
        w.findChild<QComboBox*>(QStringLiteral("Combo6"))->setCurrentIndex(0);
        press(w.descriptionPane(), "cmdPre");
        QCOMPARE(w.descriptionPane()->htmlText(), QStringLiteral("本<a>seller_from_mail</a>"));
        w.findChild<QLineEdit*>(QStringLiteral("txtID2"))->setText(QStringLiteral("changed"));
        press(w.descriptionPane(), "cmdPre");
        QCOMPARE(w.descriptionPane()->htmlText(), QStringLiteral("本<a>changed</a>"));
    }

    void altDigitsSwitchTabs() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_3, Qt::AltModifier);
        QTRY_COMPARE(w.vsMAIN()->currentIndex(), 2);
        QTest::keyClick(&w, Qt::Key_5, Qt::AltModifier);
        QTRY_COMPARE(w.vsMAIN()->currentIndex(), 4);
        QTest::keyClick(&w, Qt::Key_1, Qt::AltModifier);
        QTRY_COMPARE(w.vsMAIN()->currentIndex(), 0);
    }

    void enterMovesOnInThePanesFields() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.vsMAIN()->setCurrentIndex(2);
        for (const char* name : {"txtSYOUHIN", "txtITEM_3"}) {
            auto* edit = w.findChild<QLineEdit*>(QLatin1String(name));
            edit->setFocus();
            QTRY_VERIFY(edit->hasFocus());
            QTest::keyClick(edit, Qt::Key_Return);
            QTRY_VERIFY(!edit->hasFocus());
            QCOMPARE(edit->text(), QString());
        }
        w.vsMAIN()->setCurrentIndex(0);
        auto* id = w.findChild<QLineEdit*>(QStringLiteral("txtID2"));
        id->setFocus();
        QTRY_VERIFY(id->hasFocus());
        QTest::keyClick(id, Qt::Key_Enter);
        QTRY_VERIFY(w.findChild<QLineEdit*>(QStringLiteral("txtYUBIN2"))->hasFocus());
    }

    // Each pane keeps the rule for its own fields: the window's whole list, pane by pane, is
    // swallowed before the field sees the key (the number fields' letters too); the multi-line
    // fields keep Enter for a new line.
    void everyFieldOfTheWindowKeepsTheKeyboardRule() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        struct KeysSeen : QObject {
            int count = 0;
            bool eventFilter(QObject*, QEvent* event) override {
                if (event->type() == QEvent::KeyPress) ++count;
                return false;
            }
        };
        auto keysSeen = [&w](const char* name, Qt::Key key) {
            QWidget* field = w.findChild<QWidget*>(QLatin1String(name));
            if (!field) return -1;
            KeysSeen seen;
            field->installEventFilter(&seen);
            QTest::keyClick(field, key);
            return seen.count;
        };
        const char* const enter[] = {"Combo10",    "txtADD2",  "txtID",    "txtID2",    "txtKingaku", "txtNAME",    "txtNAME2",  "txtTEL2",
                                     "txtYUBIN2",  "cmbKEN_0", "cmbKEN_1", "Combo8",    "Combo9",     "imText1",    "vsSOURYOU", "cmbHTML",
                                     "cmbKIGOU_1", "Combo6",   "txtHTML",  "txtITEM_0", "txtITEM_7",  "txtSYOUHIN", "Combo1",    "Combo2",
                                     "Combo3",     "Combo4",   "Combo5",   "Text1",     "txtTitle"};
        const char* const digits[] = {"imNumber1_0", "imNumber1_2", "imNumber2",  "imNumLite1", "imNumLite2",
                                      "imNumLite3",  "imNumLite4",  "imNumLite5", "imNumLite6", "imNumLite7"};
        for (const char* name : enter) QVERIFY2(keysSeen(name, Qt::Key_Return) == 0, name);
        for (const char* name : digits) {
            QVERIFY2(keysSeen(name, Qt::Key_Return) == 0, name);
            QVERIFY2(keysSeen(name, Qt::Key_A) == 0, name);
        }
        for (const char* name : {"txtDescription", "txtSETUMEI_0", "imText2"}) QVERIFY2(keysSeen(name, Qt::Key_Return) == 1, name);
        QCOMPARE(keysSeen("txtID", Qt::Key_A), 1);
    }

    // ファイル → バックアップ writes the whole folder outside it; バックアップから戻す lists what it
    // replaces, ends the program, and the restore goes in place as the program ends (main does
    // it after the window is gone), the replaced file kept aside. A damaged archive changes nothing.
    void backupAndRestoreFromTheFileMenu() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        QTemporaryDir outside;
        RecordingUiServices ui;
        fMain w(ui);
        w.show();
        const QString zip = outside.filePath(QStringLiteral("控え.zip"));
        ui.saveNames << zip;
        w.findChild<QAction*>(QStringLiteral("mBACKUP"))->trigger();
        QVERIFY2(ui.messages.last().text.startsWith(QStringLiteral("バックアップを作りました。")), qPrintable(ui.messages.last().text));
        const QString memory = QStringLiteral("USER/デモ_文庫本まとめて.srb");
        const QByteArray kept = folder.readBytes(memory);
        folder.writeCp932(memory, QStringLiteral("[出品手続]\r\nタイトル=書き換えた\r\n"));

        QFile junk(outside.filePath(QStringLiteral("壊れた.zip")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("PK\x03\x04 not really a zip");
        junk.close();
        ui.openNames << junk.fileName();
        w.findChild<QAction*>(QStringLiteral("mRESTORE"))->trigger();
        QVERIFY(ui.messages.last().text.startsWith(QStringLiteral("このファイルからは戻せません。何も変えていません。")));
        QVERIFY(w.isVisible());

        ui.openNames << zip;
        ui.answers << UiServices::Answer::Yes << UiServices::Answer::Ok << UiServices::Answer::No;
        w.findChild<QAction*>(QStringLiteral("mRESTORE"))->trigger();
        const QString question = ui.messages.at(ui.messages.size() - 3).text;
        QVERIFY2(question.contains(QStringLiteral("置き換えます")) && question.contains(memory), qPrintable(question));
        QVERIFY(!w.isVisible());
        QVERIFY(folder.readBytes(memory) != kept);  // nothing in place while the program runs
        BackupActions::applyPending(ui, true);
        QCOMPARE(folder.readBytes(memory), kept);
        QVERIFY(ui.messages.last().text.startsWith(QStringLiteral("バックアップから戻しました。")));
    }

    void closePromptCancelKeepsYesSavesNoDoesNot() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        RecordingMemory memory;
        fMain w(ui, &memory);
        w.show();
        QSignalSpy unloaded(&w, &fMain::unloaded);

        ui.answers << UiServices::Answer::Cancel;
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(ui.messages.last().text, QStringLiteral("画面内容を保存しますか?"));
        QCOMPARE(ui.messages.last().title, QStringLiteral("ソラバコ"));
        QCOMPARE(ui.messages.last().icon, UiServices::Icon::Information);
        QCOMPARE(ui.messages.last().buttons, UiServices::Buttons::YesNoCancel);
        QCOMPARE(unloaded.count(), 0);

        // Yes with no current file: save-as; cancelling it still closes.
        ui.answers << UiServices::Answer::Yes;
        QVERIFY(w.close());
        QCOMPARE(ui.fileDialogs, QStringList{QStringLiteral("save:") + folder.path() + QStringLiteral("/USER/|記憶ファイル(*.SRB)|*.srb")});
        QVERIFY(memory.saved.isEmpty());
        QCOMPARE(unloaded.count(), 1);

        // Yes with a current file: written there without asking for a name.
        w.show();
        w.setCurrentPath(QStringLiteral("/tmp/a.srb"));
        ui.answers << UiServices::Answer::Yes;
        QVERIFY(w.close());
        QCOMPARE(memory.saved, QStringList{QStringLiteral("/tmp/a.srb")});
        QCOMPARE(ui.fileDialogs.size(), 1);

        w.show();
        ui.answers << UiServices::Answer::No;
        QVERIFY(w.close());
        QCOMPARE(memory.saved.size(), 1);
        QCOMPARE(unloaded.count(), 3);
    }

    void aFailedSaveInTheClosePromptKeepsTheWindow() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        RecordingMemory memory;
        fMain w(ui, &memory);
        w.show();
        QSignalSpy unloaded(&w, &fMain::unloaded);
        w.setCurrentPath(QStringLiteral("/tmp/a.srb"));
        memory.failSaves = true;
        ui.answers << UiServices::Answer::Yes;
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(unloaded.count(), 0);

        // Save-as to a path that cannot be written: the window stays too.
        w.setCurrentPath(QString());
        ui.answers << UiServices::Answer::Yes;
        ui.saveNames << folder.file(QStringLiteral("USER/b.srb"));
        QVERIFY(!w.close());
        QCOMPARE(unloaded.count(), 0);

        // Once the save works, Yes closes.
        memory.failSaves = false;
        ui.answers << UiServices::Answer::Yes;
        ui.saveNames << folder.file(QStringLiteral("USER/b.srb"));
        QVERIFY(w.close());
        QCOMPARE(memory.saved, QStringList{folder.file(QStringLiteral("USER/b.srb"))});
        QCOMPARE(unloaded.count(), 1);
    }

    void saveAsAsksOnceBeforeReplacingAFile() {
        // The file dialog itself does not ask: the program asks once, knowing the name with ".srb".
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("USER/old.srb"), QStringLiteral("[出品手続]\r\n"));
        QtUiServices qt;
        bool dialogAsks = true;
        QString shownIn;
        QTimer::singleShot(0, [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QFileDialog*>(top); dialog && dialog->isVisible()) {
                    dialogAsks = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
                    shownIn = dialog->directory().absolutePath();
                    dialog->reject();
                }
        });
        QCOMPARE(qt.saveFileName(folder.file(QStringLiteral("USER")), QStringLiteral("記憶ファイル(*.SRB)|*.srb"), nullptr), QString());
        QCOMPARE(shownIn, folder.file(QStringLiteral("USER")));
        QVERIFY(!dialogAsks);

        RecordingUiServices ui;
        RecordingMemory memory;
        fMain w(ui, &memory);
        ui.saveNames << folder.file(QStringLiteral("USER/old"));  // typed without the extension
        ui.answers << UiServices::Answer::No;
        w.SaveAs();
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("「old.srb」は既にあります。\r\n上書きしますか?")});
        QVERIFY(memory.saved.isEmpty());
        ui.saveNames << folder.file(QStringLiteral("USER/old.srb"));
        ui.answers << UiServices::Answer::Yes;
        w.SaveAs();
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(memory.saved, QStringList{folder.file(QStringLiteral("USER/old.srb"))});
    }

    void fileCommandsKeepTheCurrentPath() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        RecordingMemory memory;
        fMain w(ui, &memory);
        w.Open();  // cancelled
        QVERIFY(memory.read.isEmpty());
        QVERIFY(w.currentPath().isEmpty());
        ui.openNames << QStringLiteral("/m/one.srb");
        w.Open();
        QCOMPARE(memory.read, QStringList{QStringLiteral("/m/one.srb")});
        QCOMPARE(w.currentPath(), QStringLiteral("/m/one.srb"));
        w.Save();
        QCOMPARE(memory.saved, QStringList{QStringLiteral("/m/one.srb")});
        ui.saveNames << QStringLiteral("/m/two.srb");
        w.SaveAs();
        QCOMPARE(w.currentPath(), QStringLiteral("/m/two.srb"));
        w.setCurrentPath(QStringLiteral("   "));
        w.Save();  // blanks only: save-as, cancelled
        QCOMPARE(memory.saved.size(), 2);
        QCOMPARE(ui.fileDialogs.size(), 4);
    }

    void ctrlAAndCtrlXAreTheMenuEvenInATextBox() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        RecordingMemory memory;
        fMain w(ui, &memory);
        auto* edit = new QLineEdit(w.shippingPane());
        edit->setText(QStringLiteral("abc"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(ui.fileDialogs.size(), 1);
        QVERIFY(ui.fileDialogs[0].startsWith(QStringLiteral("save:")));
        QVERIFY(!edit->hasSelectedText());
        ui.answers << UiServices::Answer::Cancel;
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(edit->text(), QStringLiteral("abc"));
    }

    void confirmShowsTheNoticeUntilItIsDeclined() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        // A listing with nothing to warn of: the summary before the notice stays away.
        w.findChild<QLineEdit*>(QStringLiteral("imNumLite2"))->setText(QStringLiteral("1000"));
        // First confirm: the notice; ticked and OK'd, it is remembered.
        whenDialogOpens(QStringLiteral("frmKakunin"), [](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("注意"));
            d->findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
            d->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        });
        press(&w, "Command7");
        QCOMPARE(mINI::Ini_Get(QStringLiteral("確認画面"), QStringLiteral("同意")), QStringLiteral("1"));
        // Now only the scroll: a notice opened by mistake would be closed at once and be seen in the file.
        mINI::Ini_Put(QStringLiteral("確認画面"), QStringLiteral("同意"), QStringLiteral("1"), ui);
        QTimer::singleShot(0, [] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == QLatin1String("frmKakunin") && top->isVisible()) top->close();
        });
        press(&w, "Command7");
        QCoreApplication::processEvents();  // the guard has nothing to close
        QCOMPARE(mINI::Ini_Get(QStringLiteral("確認画面"), QStringLiteral("同意")), QStringLiteral("1"));

        // Closed by its close box without the tick: "0", and the notice is back next time.
        mINI::Ini_Put(QStringLiteral("確認画面"), QStringLiteral("同意"), QStringLiteral("2"), ui);
        whenDialogOpens(QStringLiteral("frmKakunin"), [](QDialog* d) { d->close(); });
        press(&w, "Command7");
        QCOMPARE(mINI::Ini_Get(QStringLiteral("確認画面"), QStringLiteral("同意")), QStringLiteral("0"));
        QVERIFY(ui.messages.isEmpty());
    }

    void activationShowsTheRememberedAccount() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        RecordingMemory memory;
        fMain w(ui, &memory);
        auto* txtID2 = w.findChild<QLineEdit*>(QStringLiteral("txtID2"));
        QVERIFY(txtID2);
        txtID2->setText(QStringLiteral("from settings"));
        mINI::Ini_Put(QStringLiteral("各種設定"), QStringLiteral("ログイン情報0"), mduInterFace::Enc_Str(QStringLiteral("sorabako_demo")),
                      ui);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_COMPARE(w.findChild<QLabel*>(QStringLiteral("lblUser"))->text(), QStringLiteral("sorabako_demo"));
        QCOMPARE(txtID2->text(), QStringLiteral("sorabako_demo"));
        // No stored account: both empty.
        QFile::remove(folder.file(QStringLiteral("INI/SRB.INI")));
        w.Form_Activate();
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblUser"))->text(), QString());
        QCOMPARE(txtID2->text(), QString());
    }

    void versionWindowClosesOnAClickAndProductPageOpens() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        whenDialogOpens(QStringLiteral("frmVer"), [](QDialog* d) {
            QVERIFY(d->findChild<QLabel*>(QStringLiteral("lblVersion"))->text() == QStringLiteral("Version 1.0"));
            QTest::mouseClick(d, Qt::LeftButton, {}, QPoint(10, 10));
        });
        choose(&w, "mVer");
        choose(&w, "mHelp2");
        QCOMPARE(ui.opened, QList<QUrl>{QUrl(QStringLiteral("https://sorabako.jp/"))});
    }

    // The bar is painted at most once a frame while start-up sets it 1500 times; whatever it is
    // left at, the seller sees: at the end of the count, and where it stops half-way.
    void theSplashBarShowsTheValueItIsLeftAt() {
        struct PaintedValues : QObject {
            QList<int> values;
            bool eventFilter(QObject* watched, QEvent* event) override {
                if (event->type() == QEvent::Paint) values << static_cast<SplashBar*>(watched)->value();
                return false;
            }
        } painted;
        SplashBar bar;
        bar.setRange(0, 1500);
        bar.resize(480, 10);
        bar.installEventFilter(&painted);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        for (int i = 1; i <= 1500; ++i) {
            bar.setValue(i);
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(painted.values.value(painted.values.size() - 1), 1500);
        QVERIFY(painted.values.size() < 480);  // not once for each pixel the fill grew by
        bar.setValue(10);
        QTRY_COMPARE(painted.values.last(), 10);
        bar.setValue(700);  // right after a paint, and nothing sets it again
        QTRY_COMPARE(painted.values.last(), 700);
        QCOMPARE(bar.grab().toImage().pixelColor(bar.width() * 700 / 1500 - 2, 5), QColor(0x2f, 0x7f, 0xd0));
        QCOMPARE(bar.grab().toImage().pixelColor(bar.width() * 700 / 1500 + 2, 5), QColor(0xe6, 0xee, 0xf6));
    }

    // Start-up shows the copies drawn when the program was built: they must be the pictures
    // as drawn now, whole, or the splash and the window icon would show stale or torn pixels.
    void theSplashAndIconAreCarriedAsDrawn() {
        const QImage drawn = Artwork::drawSplash();
        QCOMPARE(QResource(QStringLiteral(":/drawn/splash")).uncompressedSize(), drawn.sizeInBytes());
        QCOMPARE(Artwork::splash().toImage(), drawn);
        TempProgramFolder folder;
        RecordingUiServices ui;
        frmStart start(ui, nullptr);
        QCOMPARE(start.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().toImage(), drawn);
        const QIcon icon = Artwork::appIcon();
        for (int size : Artwork::kIconSizes) {
            QCOMPARE(QResource(QStringLiteral(":/drawn/icon%1").arg(size)).uncompressedSize(), Artwork::iconImage(size).sizeInBytes());
            const QImage carried = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QCOMPARE(carried, Artwork::iconImage(size));
        }
    }
};

SORABAKO_GUI_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
