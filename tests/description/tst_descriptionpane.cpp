#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include "widgets/Browser.h"
#include "core/Cp932.h"
#include "widgets/Grid.h"
#include "description/Cp932Editor.h"
#include "description/DescriptionPane.h"
#include "description/ListPickDialog.h"
#include "support/Dialogs.h"
#include "support/RecordingUiServices.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Press.h"

namespace {

const QString kTemplate = QStringLiteral(
    "<h1>＜タイトル＞</h1>\r\n<p>項目1:＜項目1＞</p>\r\n<p>項目2:＜項目2＞</p>\r\n\r\n\r\n\r\n\r\n\r\n\r\n<hr>\r\n"
    "<a>＜ユーザー＞</a>\r\n<b>＜ユーザー＞</b>\r\n<p>footer</p>\r\n");
}  // namespace

class TestDescriptionPane : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void previewNeedsAProductName() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("Template/HTML/a.html"), kTemplate);
        RecordingUiServices ui;
        DescriptionPane pane(ui);
        pane.fillDesignList(folder.file(QStringLiteral("Template/HTML")));
        child<QPlainTextEdit>(&pane, QStringLiteral("txtHTML"))->setPlainText(QStringLiteral("kept"));
        child<QPushButton>(&pane, QStringLiteral("cmdPre"))->click();
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("タイトル(商品名)を入力して下さい。"));
        QCOMPARE(ui.messages[0].title, QStringLiteral("出品フォーム作成"));
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Information);
        QCOMPARE(child<QPlainTextEdit>(&pane, QStringLiteral("txtHTML"))->toPlainText(), QStringLiteral("kept"));
        QVERIFY(!QFile::exists(folder.file(QStringLiteral("DATA/CREATE.html"))));
        QVERIFY(ui.opened.isEmpty());
    }

    void previewWritesTheFileAndOpensIt() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("Template/HTML/a.html"), kTemplate);
        folder.writeCp932(QStringLiteral("Template/HTML/b.html"), QStringLiteral("<i>＜タイトル＞</i>\r\n"));
        RecordingUiServices ui;
        DescriptionPane pane(ui);
        pane.setSellerIdSource([] { return QStringLiteral("sorabako_demo"); });
        pane.fillDesignList(folder.file(QStringLiteral("Template/HTML")));
        QCOMPARE(child<QComboBox>(&pane, QStringLiteral("cmbHTML"))->currentText(), QStringLiteral("a.html"));
        child<QLineEdit>(&pane, QStringLiteral("txtSYOUHIN"))->setText(QStringLiteral("カメラ"));
        child<QComboBox>(&pane, QStringLiteral("cmbKIGOU_1"))->setCurrentIndex(1);
        child<QLineEdit>(&pane, QStringLiteral("txtITEM_0"))->setText(QStringLiteral("状態"));
        child<QPlainTextEdit>(&pane, QStringLiteral("txtSETUMEI_0"))->setPlainText(QStringLiteral("美品\n箱あり"));
        child<QLineEdit>(&pane, QStringLiteral("txtITEM_1"))->setText(QStringLiteral("  "));
        child<QPlainTextEdit>(&pane, QStringLiteral("txtSETUMEI_1"))->setPlainText(QStringLiteral("消える"));
        child<QCheckBox>(&pane, QStringLiteral("ckMy"))->setChecked(true);
        child<QComboBox>(&pane, QStringLiteral("Combo6"))->setCurrentIndex(0);
        child<QPushButton>(&pane, QStringLiteral("cmdPre"))->click();

        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/CREATE.html")),
                 cp932::encode(QStringLiteral("<h1>★カメラ★</h1>\r\n<p>状態:美品<BR>\r\n箱あり</p>\r\n<hr>\r\n"
                                              "<a>sorabako_demo</a>\r\n<p>footer</p>\r\n")));
        QCOMPARE(child<QPlainTextEdit>(&pane, QStringLiteral("txtHTML"))->toPlainText(),
                 QStringLiteral("<h1>★カメラ★</h1><p>状態:美品<BR>\n箱あり</p><hr><a>sorabako_demo</a><p>footer</p>"));
        QCOMPARE(pane.htmlText(), QStringLiteral("<h1>★カメラ★</h1><p>状態:美品<BR>\r\n箱あり</p><hr><a>sorabako_demo</a><p>footer</p>"));
        QCOMPARE(ui.opened, QList<QUrl>{QUrl::fromLocalFile(folder.file(QStringLiteral("DATA/CREATE.html")))});

        // A shorter design afterwards leaves nothing of the longer one; choosing it shows it.
        child<QComboBox>(&pane, QStringLiteral("cmbHTML"))->setCurrentIndex(1);
        QTRY_VERIFY_WITH_TIMEOUT(pane.WB3()->url().toString().endsWith(QStringLiteral("/b.html")), 20000);
        child<QPushButton>(&pane, QStringLiteral("cmdPre"))->click();
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/CREATE.html")), cp932::encode(QStringLiteral("<i>★カメラ★</i>\r\n")));
    }

    void withoutAProgramForHtmlThePreviewShowsInItsOwnWindow() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("Template/HTML/a.html"), QStringLiteral("<h1>＜タイトル＞</h1>\r\n"));
        RecordingUiServices ui;
        ui.desktopOpens = false;  // no program set for HTML files, or it did not start
        DescriptionPane pane(ui);
        pane.fillDesignList(folder.file(QStringLiteral("Template/HTML")));
        child<QLineEdit>(&pane, QStringLiteral("txtSYOUHIN"))->setText(QStringLiteral("ソラ光学 SK-300"));
        child<QPushButton>(&pane, QStringLiteral("cmdPre"))->click();
        QCOMPARE(ui.messageTexts(),
                 QStringList{QStringLiteral("HTMLファイルを開くプログラム（ブラウザ）が設定されていないか、起動できませんでした。\r\n"
                                            "ソラバコの画面でプレビューを表示します。")});
        QWidget* own = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("frmPreview") && top->isVisible()) own = top;
        QVERIFY(own);
        auto* view = own->findChild<Browser*>(QStringLiteral("WBPreview"));
        QTRY_VERIFY_WITH_TIMEOUT(view->bodyText().text().contains(QStringLiteral("ソラ光学 SK-300")), 20000);
        // Once told is enough: the next preview goes to the same window without a word.
        child<QLineEdit>(&pane, QStringLiteral("txtSYOUHIN"))->setText(QStringLiteral("空箱文庫"));
        child<QPushButton>(&pane, QStringLiteral("cmdPre"))->click();
        QCOMPARE(ui.messages.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(view->bodyText().text().contains(QStringLiteral("空箱文庫")), 20000);
        pane.shippingPreview(QStringLiteral("<CENTER>送料表</CENTER>"));
        QTRY_VERIFY_WITH_TIMEOUT(view->bodyText().text().contains(QStringLiteral("送料表")), 20000);
        QCOMPARE(ui.messages.size(), 1);
    }

    void untouchedListsAndAClearedMark() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("Template/HTML/a.html"), kTemplate);
        RecordingUiServices ui;
        DescriptionPane pane(ui);
        pane.setSellerIdSource([] { return QStringLiteral("me"); });
        pane.fillDesignList(folder.file(QStringLiteral("Template/HTML")));
        QCOMPARE(child<QComboBox>(&pane, QStringLiteral("Combo6"))->currentIndex(), -1);
        auto* mark = child<QComboBox>(&pane, QStringLiteral("cmbKIGOU_1"));
        mark->setCurrentIndex(3);
        QTest::keyClick(mark, Qt::Key_Delete);
        QCOMPARE(mark->currentIndex(), -1);
        child<QLineEdit>(&pane, QStringLiteral("txtSYOUHIN"))->setText(QStringLiteral("本"));
        QCOMPARE(child<QLabel>(&pane, QStringLiteral("Label16"))->text(), QStringLiteral("2"));
        child<QCheckBox>(&pane, QStringLiteral("ckMy"))->setChecked(true);
        press(&pane, "cmdPre");
        // No mark, and with no link form chosen the banner line is the one kept.
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/CREATE.html")),
                 cp932::encode(QStringLiteral("<h1>本</h1>\r\n<hr>\r\n<b>me</b>\r\n<p>footer</p>\r\n")));
    }

    void shippingPreviewReplacesTheHtml() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        DescriptionPane pane(ui);
        child<QPlainTextEdit>(&pane, QStringLiteral("txtHTML"))->setPlainText(QStringLiteral("old"));
        pane.shippingPreview(QStringLiteral("<table><tr><td>ゆうパック</td><td>1,000 円</td></tr></table>"));
        QCOMPARE(child<QPlainTextEdit>(&pane, QStringLiteral("txtHTML"))->toPlainText(), QString());
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/CREATE.html")),
                 cp932::encode(QStringLiteral("<table><tr><td>ゆうパック</td><td>1,000 円</td></tr></table>\r\n")));
        QCOMPARE(ui.opened.size(), 1);
        QVERIFY(QDir(folder.file(QStringLiteral("DATA"))).removeRecursively());
        pane.shippingPreview(QStringLiteral("<table></table>"));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.opened.size(), 1);
    }

    void failuresLeaveThePaneAsItWas() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        DescriptionPane pane(ui);
        pane.fillDesignList(folder.file(QStringLiteral("Template/HTML")));  // no designs at all
        child<QLineEdit>(&pane, QStringLiteral("txtSYOUHIN"))->setText(QStringLiteral("x"));
        child<QPlainTextEdit>(&pane, QStringLiteral("txtHTML"))->setPlainText(QStringLiteral("kept"));
        child<QPushButton>(&pane, QStringLiteral("cmdPre"))->click();
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Critical);
        QCOMPARE(child<QPlainTextEdit>(&pane, QStringLiteral("txtHTML"))->toPlainText(), QStringLiteral("kept"));
        QVERIFY(ui.opened.isEmpty());
    }

    void counterAndEcho() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        DescriptionPane pane(ui);
        auto* label = child<QLabel>(&pane, QStringLiteral("Label16"));
        auto* name = child<QLineEdit>(&pane, QStringLiteral("txtSYOUHIN"));
        child<QComboBox>(&pane, QStringLiteral("cmbKIGOU_1"))->setCurrentIndex(1);  // ★ with no name
        QCOMPARE(label->text(), QStringLiteral("4"));
        child<QComboBox>(&pane, QStringLiteral("cmbKIGOU_1"))->setCurrentIndex(-1);
        name->setText(QString(30, QLatin1Char('a')));
        QCOMPARE(label->text(), QStringLiteral("30"));
        QCOMPARE(label->palette().color(QPalette::Window), pane.palette().color(QPalette::Button));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
        name->setText(QString(31, QLatin1Char('a')));
        QCOMPARE(label->text(), QStringLiteral("31"));
        QCOMPARE(label->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        name->setText(QStringLiteral("一行目\r\n二行目"));
        QCOMPARE(name->text(), QStringLiteral("一行目二行目"));
        QCOMPARE(label->text(), QStringLiteral("12"));
        child<QLineEdit>(&pane, QStringLiteral("txtITEM_7"))->setText(QStringLiteral("送料"));
        QCOMPARE(child<QLabel>(&pane, QStringLiteral("lbl_ITEM_7"))->text(), QStringLiteral("送料"));
        // A name pasted from the decoration dialog shows as typed, not rendered.
        const QString decorated = QStringLiteral("<FONT color=#FF0000 size=3>送料</FONT>");
        child<QLineEdit>(&pane, QStringLiteral("txtITEM_2"))->setText(decorated);
        auto* echo = child<QLabel>(&pane, QStringLiteral("lbl_ITEM_2"));
        QCOMPARE(echo->text(), decorated);
        QCOMPARE(echo->textFormat(), Qt::PlainText);
        QVERIFY(echo->sizeHint().width() > QFontMetrics(echo->font()).horizontalAdvance(QStringLiteral("<FONT color=")));
        QCOMPARE(child<QLabel>(&pane, QStringLiteral("lbl_ITEM_7"))->toolTip(), QStringLiteral("項目０８を表示します。"));
        QCOMPARE(child<QPlainTextEdit>(&pane, QStringLiteral("txtSETUMEI_0"))->toolTip(), QStringLiteral("項目０１の内容を入力します。"));
        QCOMPARE(child<QComboBox>(&pane, QStringLiteral("cmbKIGOU_1"))->count(), 14);
        QCOMPARE(child<QComboBox>(&pane, QStringLiteral("Combo7_1"))->itemText(7), QStringLiteral("項目０８"));
        QVERIFY(child<QCheckBox>(&pane, QStringLiteral("ckHSSOU_9")));
        QVERIFY(child<QCheckBox>(&pane, QStringLiteral("ckSIHARAI_4")));
    }

    void decorationAndLinkDialogs() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        DescriptionPane pane(ui);
        ui.colors << 0xFF0000;
        whenDialogOpens(QStringLiteral("frmMOJI"), [](QDialog* d) {
            child<QPlainTextEdit>(d, QStringLiteral("imText1"))->setPlainText(QStringLiteral("大特価\nです"));
            child<QCheckBox>(d, QStringLiteral("Check1_0"))->setChecked(true);
            child<QCheckBox>(d, QStringLiteral("Check1_2"))->setChecked(true);
            child<QComboBox>(d, QStringLiteral("imNumber1"))->setCurrentIndex(2);
            child<QPushButton>(d, QStringLiteral("Command1"))->click();
            child<QPushButton>(d, QStringLiteral("Command2"))->click();
        });
        press(&pane, "Command6");
        QCOMPARE(ui.clipboard, QStringLiteral("<FONT color=#FF0000 size=3><U><B>大特価<BR>です</B></U></FONT>"));

        // No colour chosen: the initial swatch; size 1 is selected to begin with.
        whenDialogOpens(QStringLiteral("frmMOJI"), [](QDialog* d) {
            child<QPlainTextEdit>(d, QStringLiteral("imText1"))->setPlainText(QStringLiteral("abc"));
            child<QPushButton>(d, QStringLiteral("Command1"))->click();  // cancelled chooser
            child<QPushButton>(d, QStringLiteral("Command2"))->click();
        });
        press(&pane, "Command6");
        QCOMPARE(ui.clipboard, QStringLiteral("<FONT color=#000000 size=1>abc</FONT>"));

        // Pure black chosen after another colour is black, not "no choice".
        ui.colors << 0x00FF00 << 0x000000;
        whenDialogOpens(QStringLiteral("frmMOJI"), [](QDialog* d) {
            child<QPlainTextEdit>(d, QStringLiteral("imText1"))->setPlainText(QStringLiteral("x"));
            child<QPushButton>(d, QStringLiteral("Command1"))->click();
            child<QPushButton>(d, QStringLiteral("Command1"))->click();
            child<QPushButton>(d, QStringLiteral("Command2"))->click();
        });
        press(&pane, "Command6");
        QCOMPARE(ui.clipboard, QStringLiteral("<FONT color=#000000 size=1>x</FONT>"));

        whenDialogOpens(QStringLiteral("frmLINK"), [](QDialog* d) {
            child<QLineEdit>(d, QStringLiteral("imText1"))->setText(QStringLiteral("他の出品"));
            child<QLineEdit>(d, QStringLiteral("imText2"))->setText(QStringLiteral("https://example.jp/"));
            child<QPushButton>(d, QStringLiteral("Command2"))->click();
        });
        press(&pane, "Command11");
        QCOMPARE(ui.clipboard, QStringLiteral("<A href=https://example.jp/ target=_blank>他の出品</A>"));

        const int writes = ui.clipboardWrites;
        whenDialogOpens(QStringLiteral("frmLINK"), [](QDialog* d) { child<QPushButton>(d, QStringLiteral("Command3"))->click(); });
        press(&pane, "Command11");
        QCOMPARE(ui.clipboardWrites, writes);
    }

    void enterMovesOnInTheDialogs() {
        // Checked through the dialog's focus widget: a dialog in exec() need not be the active window here.
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("MAST/項目一覧.txt"), QStringLiteral("付属品\r\n"));
        RecordingUiServices ui;
        DescriptionPane pane(ui);
        QStringList moved;
        whenDialogOpens(QStringLiteral("frmLINK"), [&](QDialog* d) {
            auto* name = child<QLineEdit>(d, QStringLiteral("imText1"));
            auto* url = child<QLineEdit>(d, QStringLiteral("imText2"));
            name->setFocus();
            QTest::keyClick(name, Qt::Key_Return);
            if (d->focusWidget() == url) moved << QStringLiteral("imText1");
            QTest::keyClick(url, Qt::Key_Enter);
            if (d->focusWidget() != url && url->text().isEmpty()) moved << QStringLiteral("imText2");
            child<QPushButton>(d, QStringLiteral("Command3"))->click();
        });
        press(&pane, "Command11");
        QCOMPARE(moved, (QStringList{QStringLiteral("imText1"), QStringLiteral("imText2")}));

        moved.clear();
        whenDialogOpens(QStringLiteral("frmKOUMOKU"), [&](QDialog* d) {
            auto* mark = child<QComboBox>(d, QStringLiteral("cmbKIGOU_0"));
            mark->setFocus();
            QTest::keyClick(mark, Qt::Key_Return);
            if (d->focusWidget() != mark && d->isVisible()) moved << QStringLiteral("cmbKIGOU_0");
            child<QPushButton>(d, QStringLiteral("Command1"))->click();
        });
        press(&pane, "Command10");
        QCOMPARE(moved, QStringList{QStringLiteral("cmbKIGOU_0")});
        QCOMPARE(ui.clipboardWrites, 0);  // Enter did not press the copy button either
    }

    void phraseAndItemLists() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("MAST/文言一覧.txt"), QStringLiteral("美品です。\r\n即決歓迎！\r\n"));
        folder.writeCp932(QStringLiteral("MAST/項目一覧.txt"), QStringLiteral("付属品\r\n商品状態\r\n"));
        RecordingUiServices ui;
        DescriptionPane pane(ui);

        press(&pane, "Command8");  // modeless
        auto* goku = qobject_cast<ListPickDialog*>(pane.findChild<QDialog*>(QStringLiteral("frmGOKU")));
        QVERIFY(goku && goku->isVisible());
        QCOMPARE(goku->vfS()->rows(), 3);
        QCOMPARE(goku->vfS()->text(0, 0), QStringLiteral("文言一覧"));
        QCOMPARE(goku->vfS()->text(2, 0), QStringLiteral("即決歓迎！"));
        // Editing the file while it is open does not change the grid.
        folder.writeCp932(QStringLiteral("MAST/文言一覧.txt"), QStringLiteral("変更\r\n"));
        goku->findChild<QAction*>(QStringLiteral("mS"))->trigger();
        auto* editor = pane.window()->findChild<Cp932Editor*>();
        QVERIFY(editor);
        QCOMPARE(editor->editor()->toPlainText(), QStringLiteral("変更\n"));
        editor->close();
        QCOMPARE(goku->vfS()->text(1, 0), QStringLiteral("美品です。"));
        goku->vfS()->setRow(2);
        child<QComboBox>(goku, QStringLiteral("cmbKIGOU_0"))->setCurrentIndex(1);
        // A second click brings the open list to the front instead of stacking a copy.
        press(&pane, "Command8");
        QCOMPARE(pane.findChildren<QDialog*>(QStringLiteral("frmGOKU")).size(), 1);
        child<QPushButton>(goku, QStringLiteral("cmdCOPY"))->click();
        QCOMPARE(ui.clipboard, QStringLiteral("★即決歓迎！\r\n"));
        // Once closed, the next click opens a fresh one.
        QTRY_COMPARE(pane.findChildren<QDialog*>(QStringLiteral("frmGOKU")).size(), 0);
        press(&pane, "Command8");
        QCOMPARE(pane.findChildren<QDialog*>(QStringLiteral("frmGOKU")).size(), 1);

        whenDialogOpens(QStringLiteral("frmKOUMOKU"), [](QDialog* d) {
            auto* list = static_cast<ListPickDialog*>(d);
            list->vfS()->setRow(2);
            Q_EMIT list->vfS()->DblClick();
        });
        press(&pane, "Command10");
        QCOMPARE(ui.clipboard, QStringLiteral("商品状態"));
    }

    void listFileProblems() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        DescriptionPane pane(ui);
        press(&pane, "Command10");  // no file: a message, no dialog
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.startsWith(QStringLiteral("一覧ファイルが見つかりません。")));
        folder.writeCp932(QStringLiteral("MAST/項目一覧.txt"), QString());
        whenDialogOpens(QStringLiteral("frmKOUMOKU"), [](QDialog* d) {
            auto* list = static_cast<ListPickDialog*>(d);
            QCOMPARE(list->vfS()->rows(), 1);
            child<QPushButton>(d, QStringLiteral("cmdCOPY"))->click();  // nothing to copy: stays open
            QVERIFY(d->isVisible());
            child<QPushButton>(d, QStringLiteral("Command1"))->click();
        });
        press(&pane, "Command10");
        QCOMPARE(ui.clipboardWrites, 0);
    }

    void editorKeepsCp932() {
        TempProgramFolder folder;
        folder.writeCp932(QStringLiteral("MAST/項目一覧.txt"), QStringLiteral("①～\r\n"));
        RecordingUiServices ui;
        Cp932Editor editor(folder.file(QStringLiteral("MAST/項目一覧.txt")), ui);
        editor.editor()->setPlainText(QStringLiteral("①～\n㈱ソラ\n"));
        QVERIFY(editor.save());
        QCOMPARE(folder.readBytes(QStringLiteral("MAST/項目一覧.txt")), cp932::encode(QStringLiteral("①～\r\n㈱ソラ\r\n")));
        editor.editor()->setPlainText(QStringLiteral("😀"));
        QVERIFY(!editor.save());
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(folder.readBytes(QStringLiteral("MAST/項目一覧.txt")), cp932::encode(QStringLiteral("①～\r\n㈱ソラ\r\n")));
        ui.answers << UiServices::Answer::No;
        editor.show();
        QVERIFY(editor.close());
    }
};

SORABAKO_GUI_TEST_MAIN(TestDescriptionPane)
#include "tst_descriptionpane.moc"
