#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "core/mduInterFace.h"
#include "widgets/Grid.h"
#include "login/LoginList.h"
#include "site/SignIn.h"
#include "login/frmLogin.h"
#include "settings/mINI.h"
#include "support/RecordingUiServices.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Press.h"

using mduInterFace::Enc_Str;

namespace {
void store(RecordingUiServices& ui, const QList<std::pair<QString, QString>>& accounts, const QString& remembered = {}) {
    QList<mINI::Entry> entries;
    for (int i = 0; i < accounts.size(); ++i) {
        entries.append({QStringLiteral("レコード"), QStringLiteral("期間%1").arg(i + 1), Enc_Str(accounts[i].first)});
        entries.append({QStringLiteral("レコード"), QStringLiteral("ソード%1").arg(i + 1), Enc_Str(accounts[i].second)});
    }
    if (!remembered.isEmpty()) entries.append({QStringLiteral("各種設定"), QStringLiteral("ログイン情報0"), Enc_Str(remembered)});
    mINI::Ini_PutAll(entries, ui);
}

QPoint cell(Grid* g, int row, int col) { return g->visualItemRect(g->item(row - 1, col)).center(); }
}  // namespace

class TestLoginList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readingStopsAtTheFirstGap() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        store(ui, {{QStringLiteral("alpha"), QStringLiteral("pa")}, {QStringLiteral("beta"), QStringLiteral("pb")}},
              QStringLiteral("beta"));
        mINI::Ini_Put(QStringLiteral("レコード"), QStringLiteral("期間4"), Enc_Str(QStringLiteral("delta")), ui);
        const LoginList::State s = LoginList::read();
        QCOMPARE(s.text1, QStringLiteral("beta"));
        QCOMPARE(s.rows[0].id, QStringLiteral("alpha"));
        QCOMPARE(s.rows[1].password, QStringLiteral("pb"));
        QCOMPARE(s.rows[1].tick, QStringLiteral("-1"));
        QCOMPARE(s.rows[0].tick, QStringLiteral("0"));
        QCOMPARE(s.rows[3].id, QString());  // behind the gap at 3: not shown
    }

    void addingNumbersAndDuplicates() {
        QList<LoginList::Row> rows(LoginList::kRows);
        QCOMPARE(LoginList::numberFor(rows, QStringLiteral("new")), 1);
        rows[0].id = QStringLiteral("alpha");
        rows[1].id = QStringLiteral("beta");
        QCOMPARE(LoginList::numberFor(rows, QStringLiteral("gamma")), 3);
        QCOMPARE(LoginList::numberFor(rows, QStringLiteral(" beta ")), 0);
        QCOMPARE(LoginList::addEntries(3, QStringLiteral("gamma"), QStringLiteral("pw")).at(0).key, QStringLiteral("期間3"));
        QCOMPARE(LoginList::addEntries(3, QStringLiteral("gamma"), QStringLiteral("pw")).at(1).value, Enc_Str(QStringLiteral("pw")));
    }

    void failureTexts() {
        QVERIFY(site::isFailurePage(QStringLiteral("…画像の数字: ____")));
        QVERIFY(site::isFailurePage(QStringLiteral("IDまたはパスワードが正しくありません。")));
        QVERIFY(site::isFailurePage(QStringLiteral("Yahoo! JAPAN IDとパスワードを再入力してください。")));
        QVERIFY(!site::isFailurePage(QStringLiteral("ログイン")));
    }

    void windowOpensWithTheListAndTheRememberedTick() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        store(ui, {{QStringLiteral("alpha"), QStringLiteral("pa")}, {QStringLiteral("beta"), QStringLiteral("pb")}},
              QStringLiteral("beta"));
        frmLogin w(ui, {});
        Grid* g = w.vbLogin();
        QCOMPARE(g->rows(), 50);
        QCOMPARE(g->cols(), 3);
        QVERIFY(g->isColumnHidden(2));
        QCOMPARE(g->text(0, 1), QStringLiteral("YahooID"));
        QCOMPARE(g->text(1, 0), QStringLiteral("0"));
        QCOMPARE(g->text(2, 0), QStringLiteral("-1"));
        QCOMPARE(g->text(49, 0), QStringLiteral("0"));
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QStringLiteral("beta"));
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("Text2"))->echoMode(), QLineEdit::Password);
        QVERIFY(!w.findChild<QCheckBox*>(QStringLiteral("ckLogin"))->isChecked());
    }

    void clicksAndTheOneTickRule() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        store(ui, {{QStringLiteral("alpha"), QStringLiteral("pa")}, {QStringLiteral("beta"), QStringLiteral("pb")}},
              QStringLiteral("beta"));
        frmLogin w(ui, {});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Grid* g = w.vbLogin();
        auto* text1 = w.findChild<QLineEdit*>(QStringLiteral("Text1"));
        auto* text2 = w.findChild<QLineEdit*>(QStringLiteral("Text2"));

        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell(g, 1, 1));
        QCOMPARE(text1->text(), QStringLiteral("alpha"));
        QCOMPARE(text2->text(), QStringLiteral("pa"));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell(g, 5, 1));  // empty row: boxes stay
        QCOMPARE(text1->text(), QStringLiteral("alpha"));

        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell(g, 1, 0));  // a second tick is refused
        QCOMPARE(g->text(1, 0), QStringLiteral("0"));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell(g, 2, 0));  // untick the remembered one
        QCOMPARE(g->text(2, 0), QStringLiteral("0"));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell(g, 3, 0));  // a row without an ID
        QCOMPARE(g->text(3, 0), QStringLiteral("0"));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell(g, 1, 0));
        QCOMPARE(g->text(1, 0), QStringLiteral("-1"));
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, cell(g, 1, 1));  // the ID column is not editable
        QVERIFY(!g->findChild<QLineEdit*>() || !g->findChild<QLineEdit*>()->isVisible());

        // Closing, even by cancel, makes the ticked row the remembered account.
        w.findChild<QPushButton*>(QStringLiteral("cmdCANCEL"))->click();
        QCOMPARE(mduInterFace::Dec_Str(mINI::Ini_Get(QStringLiteral("各種設定"), QStringLiteral("ログイン情報0"))),
                 QStringLiteral("alpha"));
        QCOMPARE(mduInterFace::Dec_Str(mINI::Ini_Get(QStringLiteral("各種設定"), QStringLiteral("ログイン情報1"))), QStringLiteral("pa"));
    }

    void closingWithoutATickKeepsTheRememberedAccount() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        store(ui, {{QStringLiteral("alpha"), QStringLiteral("pa")}}, QStringLiteral("someone"));
        mINI::Ini_Put(QStringLiteral("各種設定"), QStringLiteral("ログイン情報1"), Enc_Str(QStringLiteral("secret")), ui);
        const QByteArray before = folder.readBytes(QStringLiteral("INI/SRB.INI"));
        frmLogin w(ui, {});
        w.show();
        w.close();
        QCOMPARE(folder.readBytes(QStringLiteral("INI/SRB.INI")), before);
    }

    void loginButtonNeedsBothBoxes() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        frmLogin w(ui, {});
        w.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("   "));
        press(&w, "cmdLOGIN");
        w.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("alpha"));
        w.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral(" "));
        press(&w, "cmdLOGIN");
        QCOMPARE(ui.messageTexts(), (QStringList{QStringLiteral("ﾔﾌｰIDを入力して下さい。"), QStringLiteral("ﾊﾟｽﾜｰﾄﾞを入力して下さい。")}));
        QCOMPARE(ui.messages[0].title, QStringLiteral("ログイン"));
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Information);
        QVERIFY(w.findChild<QPushButton*>(QStringLiteral("cmdLOGIN"))->isEnabled());
        QVERIFY(ui.busyCalls.isEmpty());
    }

    void lockLeavesPasswordAndTickBox() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        frmLogin w(ui, {});
        w.Login_Lock(1);
        for (const char* name : {"Text1", "cmdCANCEL", "cmdLOGIN", "vbLogin"})
            QVERIFY(!w.findChild<QWidget*>(QLatin1String(name))->isEnabled());
        QVERIFY(w.findChild<QWidget*>(QStringLiteral("Text2"))->isEnabled());
        QVERIFY(w.findChild<QWidget*>(QStringLiteral("ckLogin"))->isEnabled());
        w.Login_Lock(0);
        QVERIFY(w.findChild<QWidget*>(QStringLiteral("cmdLOGIN"))->isEnabled());
    }
};

SORABAKO_GUI_TEST_MAIN(TestLoginList)
#include "tst_loginlist.moc"
