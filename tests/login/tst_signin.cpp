#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>

#include "app/fMain.h"
#include "mail/MailPane.h"
#include "core/mduInterFace.h"
#include "widgets/Browser.h"
#include "login/LoginList.h"
#include "login/frmLogin.h"
#include "settings/SiteAddresses.h"
#include "settings/mINI.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Quiet.h"
#include "support/Press.h"

namespace {
constexpr int kWait = 30000;

void typeAccount(frmLogin& w, const QString& id, const QString& password) {
    w.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(id);
    w.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(password);
}
}  // namespace

class TestSignIn : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void successClosesAddsTheAccountAndSignsInTheMainWindow() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        QVERIFY(sim.isRunning());
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain main(ui);
        int loginPrompts = 0;  // the main window's own login window is not the one under test
        main.mailPane()->setLoginWindow([&] { ++loginPrompts; });
        // Signed out, the closed listings offer the site's login button, and the main window asks for a login.
        QSignalSpy mainLoads(main.WB2(), &Browser::DocumentComplete);
        press(&main, "Command18");
        QTRY_VERIFY_WITH_TIMEOUT(mainLoads.count() >= 1, kWait);
        QCOMPARE(loginPrompts, 1);
        ui.messages.clear();
        QVERIFY(!main.WB2()->bodyText().text().contains(QStringLiteral("b1")));
        QCOMPARE(main.WB2()->elementsByName(QStringLiteral(".save")).size(), 1);

        frmLogin w(
            ui, [&] { main.Command18_Click(); }, &main);
        typeAccount(w, QStringLiteral("sorabako_demo"), QStringLiteral("demo1234"));
        w.findChild<QCheckBox*>(QStringLiteral("ckLogin"))->setChecked(true);
        w.open();
        mainLoads.clear();
        press(&w, "cmdLOGIN");
        QVERIFY(!w.findChild<QPushButton*>(QStringLiteral("cmdLOGIN"))->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), kWait);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(mduInterFace::Dec_Str(mINI::Ini_Get(QStringLiteral("レコード"), QStringLiteral("期間1"))),
                 QStringLiteral("sorabako_demo"));
        QCOMPARE(mduInterFace::Dec_Str(mINI::Ini_Get(QStringLiteral("レコード"), QStringLiteral("ソード1"))), QStringLiteral("demo1234"));
        QCOMPARE(ui.busyCalls.first(), true);
        QCOMPARE(ui.busyCalls.last(), false);

        // The main window's browser shares the sign-in: its reload shows the seller's closed listings.
        QTRY_VERIFY_WITH_TIMEOUT(mainLoads.count() >= 1, kWait);
        QCOMPARE(mainLoads.last().at(0).toString(), SiteAddresses::closedListingsUrl());
        QTRY_VERIFY_WITH_TIMEOUT(main.WB2()->bodyText(1000).text().contains(QStringLiteral("sorabako_demo")), kWait);
        QVERIFY(main.WB2()->elementsByName(QStringLiteral(".save")).isEmpty());
        QCOMPARE(loginPrompts, 1);
    }

    void aSecondSignInWithAListedIdAddsNothing() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        mINI::Ini_PutAll({{QStringLiteral("レコード"), QStringLiteral("期間1"), mduInterFace::Enc_Str(QStringLiteral("sorabako_test"))},
                          {QStringLiteral("レコード"), QStringLiteral("ソード1"), mduInterFace::Enc_Str(QStringLiteral("old"))}},
                         ui);
        frmLogin w(ui, {});
        typeAccount(w, QStringLiteral("sorabako_test"), QStringLiteral("test5678"));
        w.findChild<QCheckBox*>(QStringLiteral("ckLogin"))->setChecked(true);
        w.open();
        press(&w, "cmdLOGIN");
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), kWait);
        QCOMPARE(mduInterFace::Dec_Str(mINI::Ini_Get(QStringLiteral("レコード"), QStringLiteral("ソード1"))), QStringLiteral("old"));
        QCOMPARE(mINI::Ini_Get(QStringLiteral("レコード"), QStringLiteral("期間2")), QString());
    }

    void anUntickedListBoxSavesNothing() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        frmLogin w(ui, {});
        typeAccount(w, QStringLiteral("sorabako_test"), QStringLiteral("test5678"));
        QVERIFY(!w.findChild<QCheckBox*>(QStringLiteral("ckLogin"))->isChecked());
        w.open();
        press(&w, "cmdLOGIN");
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), kWait);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(mINI::Ini_Get(QStringLiteral("レコード"), QStringLiteral("期間1")), QString());
        QCOMPARE(mINI::Ini_Get(QStringLiteral("レコード"), QStringLiteral("ソード1")), QString());
    }

    void aWrongPasswordIsSentOnce() {
        // The page after a wrong password is not filled and sent again before the failure is seen.
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        frmLogin w(ui, {});
        w.open();
        typeAccount(w, QStringLiteral("sorabako_demo"), QStringLiteral("wrong"));
        press(&w, "cmdLOGIN");
        QTRY_COMPARE_WITH_TIMEOUT(ui.messages.size(), 1, kWait);
        QVERIFY(staysQuietFor(500, [&] { return sim.control(QStringLiteral("attempts")) != QStringLiteral("1"); }));
        w.reject();
    }

    void wrongPasswordAndTheChallengeAreFailures() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        frmLogin w(ui, {});
        w.open();
        for (int attempt = 1; attempt <= 3; ++attempt) {  // the third meets the image-number challenge
            typeAccount(w, QStringLiteral("sorabako_demo"), QStringLiteral("wrong"));
            w.findChild<QCheckBox*>(QStringLiteral("ckLogin"))->setChecked(true);
            press(&w, "cmdLOGIN");
            QTRY_COMPARE_WITH_TIMEOUT(ui.messages.size(), attempt, kWait);
            QCOMPARE(ui.messages.last().text, QStringLiteral("YahooIDもしくはパスワードが間違っています。"));
            QCOMPARE(ui.messages.last().icon, UiServices::Icon::Critical);
            QCOMPARE(ui.messages.last().title, QStringLiteral("ログイン"));
            QVERIFY(w.isVisible());
            QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QString());
            QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("Text2"))->text(), QString());
            QVERIFY(w.findChild<QPushButton*>(QStringLiteral("cmdLOGIN"))->isEnabled());
        }
        QVERIFY(staysQuietFor(500, [&] { return ui.messages.size() != 3; }));  // nothing further may arrive
        QCOMPARE(mINI::Ini_Get(QStringLiteral("レコード"), QStringLiteral("期間1")), QString());
        w.reject();
    }

    void aLoginPageThatAlreadyAsksForTheImageNumberFails() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        QNetworkAccessManager net;
        QNetworkReply* reply = net.get(QNetworkRequest(QUrl(sim.base() + QStringLiteral("/__sim/challenge"))));
        QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), kWait);
        reply->deleteLater();
        RecordingUiServices ui;
        frmLogin w(ui, {});
        w.open();
        typeAccount(w, QStringLiteral("sorabako_demo"), QStringLiteral("wrong"));
        press(&w, "cmdLOGIN");
        QTRY_COMPARE_WITH_TIMEOUT(ui.messages.size(), 1, kWait);
        QCOMPARE(ui.messages[0].text, LoginList::kFailed);
        QVERIFY(staysQuietFor(500, [&] { return ui.messages.size() != 1; }));
        w.reject();
    }

    void aSiteThatDoesNotAnswerGivesTheWindowBack() {
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--fault"), QStringLiteral("/config/login=stall")});
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        frmLogin w(ui, {});
        w.setSignInDeadline(1500);
        w.open();
        typeAccount(w, QStringLiteral("sorabako_demo"), QStringLiteral("demo1234"));
        press(&w, "cmdLOGIN");
        QTRY_COMPARE_WITH_TIMEOUT(ui.messages.size(), 1, kWait);
        QVERIFY(ui.messages[0].text.startsWith(QStringLiteral("サーバーから応答がありません。")));
        QVERIFY(w.findChild<QPushButton*>(QStringLiteral("cmdCANCEL"))->isEnabled());
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QStringLiteral("sorabako_demo"));
        QCOMPARE(ui.busyCalls.last(), false);
        w.reject();
    }

    void aSiteAnsweringAnErrorPageIsReported() {
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--fault"), QStringLiteral("/config/login=status:503")});
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        frmLogin w(ui, {});
        w.open();
        typeAccount(w, QStringLiteral("sorabako_demo"), QStringLiteral("demo1234"));
        press(&w, "cmdLOGIN");
        QTRY_COMPARE_WITH_TIMEOUT(ui.messages.size(), 1, kWait);
        QVERIFY(ui.messages[0].text.startsWith(QStringLiteral("ログイン画面を表示できませんでした。")));
        QVERIFY(w.findChild<QPushButton*>(QStringLiteral("cmdLOGIN"))->isEnabled());
        w.reject();
    }
};

SORABAKO_GUI_TEST_MAIN(TestSignIn)
#include "tst_signin.moc"
