// Every command that reaches the site, against a site that misbehaves: a
// stalled page, an error status, a page cut short, garbage, a page without a
// declared charset or with a wrong one, the login challenge, and the site
// going away half-way. Each command ends with the program's own message or
// silently where that is the rule; the window answers input throughout; and
// nothing saved is lost or changed. docs/faults.md is the table of what the
// seller sees.
#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/fMain.h"
#include "core/Cp932.h"
#include "login/frmLogin.h"
#include "mail/MailPane.h"
#include "myauction/MyAuctionPane.h"
#include "settings/SiteAddresses.h"
#include "settings/mINI.h"
#include "listing/form/SiteFormPane.h"
#include "support/Browsing.h"
#include "support/Dialogs.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Quiet.h"
#include "support/Press.h"
#include "widgets/Browser.h"
#include "widgets/Grid.h"

namespace {
constexpr int kWait = 60000;

// The event loop's heartbeat: a window that answers input keeps it ticking. A zero timer beats
// at every pass of the loop, so a command that answers quickly counts as one that answered, and
// only a command that never lets the loop run counts none.
class Heartbeat {
public:
    Heartbeat() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { ++m_beats; });
        m_timer.start(0);
    }
    int beats() const { return m_beats; }

private:
    QTimer m_timer;
    int m_beats = 0;
};

// What a seller keeps: the settings, a memory file, the previous scan.
struct Saved {
    explicit Saved(TempProgramFolder& folder) : m_folder(folder) {
        RecordingUiServices quiet;
        mINI::Ini_PutAll({{QStringLiteral("差出人"), QStringLiteral("氏名"), QStringLiteral("空箱 太郎")},
                          {QStringLiteral("銀行振込"), QStringLiteral("銀行名1"), QStringLiteral("ソラ銀行")}},
                         quiet);
        folder.writeCp932(QStringLiteral("USER/keep.srb"), QStringLiteral("[出品ﾌｫｰﾑ作成]\r\n商品名=ソラ光学 SK-300\r\n"));
        folder.writeCp932(QStringLiteral("DATA/zenkai.csv"), QStringLiteral("00012,00003,,500\r\n00004,,,800\r\n,00001,,1200\r\n"));
        for (const char* f : {"INI/SRB.INI", "USER/keep.srb", "DATA/zenkai.csv"}) m_before.insert(f, folder.readBytes(f));
    }
    // The files that changed since.
    QStringList changed() const {
        QStringList out;
        for (auto it = m_before.constBegin(); it != m_before.constEnd(); ++it)
            if (m_folder.readBytes(it.key()) != it.value()) out << it.key();
        return out;
    }

private:
    TempProgramFolder& m_folder;
    QMap<QString, QByteArray> m_before;
};

// The site for one case: the fault on the path, or a challenge, or a site that goes away.
QStringList simArguments(const QString& fault, const QString& path) {
    if (fault == QLatin1String("challenge") || fault == QLatin1String("gone")) return {QStringLiteral("--frozen")};
    return {QStringLiteral("--frozen"), QStringLiteral("--fault"), path + QLatin1Char('=') + fault};
}

void faultRows() {
    QTest::addColumn<QString>("fault");
    for (const char* f :
         {"stall", "status:500", "truncate", "garbage", "nocharset", "wrongcharset", "endless", "redirectloop", "challenge", "gone"})
        QTest::newRow(f) << QString::fromLatin1(f);
}

bool failing(const QString& fault) { return fault != QLatin1String("nocharset") && fault != QLatin1String("challenge"); }
}  // namespace

class TestFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // --- Sign-in: the login window's three browsers on the login service.
    void signIn_data() { faultRows(); }
    void signIn() {
        QFETCH(QString, fault);
        TempProgramFolder folder;
        SiteSimProcess sim(simArguments(fault, QStringLiteral("/config/login")));
        sim.writeSiteAddresses();
        const Saved saved(folder);
        if (fault == QLatin1String("challenge")) QCOMPARE(sim.control(QStringLiteral("challenge")), QStringLiteral("OK"));
        RecordingUiServices ui;
        frmLogin w(ui, {});
        w.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("sorabako_demo"));
        w.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("demo1234"));
        w.open();
        Heartbeat heart;
        press(&w, "cmdLOGIN");
        if (fault == QLatin1String("gone")) sim.stop();
        QVERIFY(QTest::qWaitFor([&] { return !w.isVisible() || !ui.messages.isEmpty(); }, kWait));
        const QString outcome = w.isVisible() ? ui.messagesBesidesEvidence().join(QLatin1Char('|')) : QStringLiteral("signed in");
        qInfo("sign-in / %s: %s", qPrintable(fault), qPrintable(outcome));
        const QString noAnswer = QStringLiteral("サーバーから応答がありません。\r\nしばらくしてから再度ログインして下さい。");
        const QString noPage = QStringLiteral("ログイン画面を表示できませんでした。\r\nしばらくしてから再度ログインして下さい。");
        const QMap<QString, QStringList> expected{
            {QStringLiteral("stall"), {noAnswer}},
            {QStringLiteral("status:500"), {noPage}},
            {QStringLiteral("truncate"), {noPage}},
            {QStringLiteral("garbage"), {noPage}},
            {QStringLiteral("nocharset"), {}},
            // Read as Shift_JIS, the page's login button no longer reads ログイン: nothing is sent.
            {QStringLiteral("wrongcharset"), {noAnswer}},
            // The image number is for the seller to type on the site: the program does not send the password.
            {QStringLiteral("challenge"), {QStringLiteral("YahooIDもしくはパスワードが間違っています。")}},
            {QStringLiteral("endless"),
             {QStringLiteral("ログイン画面が大きすぎるため、読み込みを中止しました。\r\nしばらくしてから再度ログインして下さい。")}},
            {QStringLiteral("redirectloop"), {noPage}},
            {QStringLiteral("gone"), {noPage}}};
        QCOMPARE(ui.messagesBesidesEvidence(), expected.value(fault));
        QCOMPARE(w.isVisible(), !expected.value(fault).isEmpty());
        if (w.isVisible()) QVERIFY(w.findChild<QPushButton*>(QStringLiteral("cmdLOGIN"))->isEnabled());  // it can be tried again
        QVERIFY(heart.beats() > 0);
        QCOMPARE(saved.changed(), QStringList());
        QCOMPARE(ui.busyCalls.last(), false);
    }

    // --- The listing pages: 続ける, then the site's form.
    void listingPages_data() { faultRows(); }
    void listingPages() {
        QFETCH(QString, fault);
        TempProgramFolder folder;
        SiteSimProcess sim(fault == QLatin1String("gone")
                               ? QStringList{QStringLiteral("--frozen"), QStringLiteral("--latency"), QStringLiteral("1500")}
                               : simArguments(fault, QStringLiteral("/jp/submit/form")));
        sim.writeSiteAddresses();
        const Saved saved(folder);
        RecordingUiServices ui;
        fMain w(ui);
        Browser* wb = w.WB();
        if (fault != QLatin1String("challenge"))  // the challenge: nobody signed in, the form asks for a sign-in
            QVERIFY(loadAndWait(wb, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo"), kWait));
        QVERIFY(loadAndWait(wb, sim.base() + QStringLiteral("/jp/submit/category?c=23634"), kWait));  // answered Yes
        QCOMPARE(ui.messagesBesidesEvidence(), QStringList{QStringLiteral("出品手続きを行いますか？")});
        Heartbeat heart;
        QSignalSpy loaded(wb, &Browser::DocumentComplete);
        if (fault == QLatin1String("gone")) {
            staysQuietFor(300);  // the form is on its way
            sim.stop();
        }
        QVERIFY(QTest::qWaitFor([&] { return loaded.count() >= 1; }, fault == QLatin1String("stall") ? 3000 : kWait) ||
                fault == QLatin1String("stall"));
        // Silent: no message comes after the page has ended, however long it is given.
        QVERIFY(staysQuietFor(300, [&] { return ui.messagesBesidesEvidence().size() != 1; }));
        const bool form = wb->elementsByName(QStringLiteral("StartPrice")).size() == 1;
        qInfo("listing / %s: %s, %s", qPrintable(fault), form ? "the form" : "no form",
              qPrintable(ui.messagesBesidesEvidence().mid(1).join(QLatin1Char('|'))));
        // Silent: the handlers end at the first field the page does not have.
        QCOMPARE(ui.messagesBesidesEvidence(), QStringList{QStringLiteral("出品手続きを行いますか？")});
        QCOMPARE(form, fault == QLatin1String("nocharset") || fault == QLatin1String("wrongcharset"));
        QVERIFY(heart.beats() > 0);
        // The pane answers while the page is broken: a change is taken and the page is left alone.
        auto* price = w.findChild<QLineEdit*>(QStringLiteral("imNumLite2"));
        price->setText(QStringLiteral("25000"));
        QCOMPARE(price->text(), QStringLiteral("25000"));
        QCOMPARE(saved.changed(), QStringList());
    }

    // --- The closed listings on the mail pane.
    void closedListings_data() { faultRows(); }
    void closedListings() {
        QFETCH(QString, fault);
        TempProgramFolder folder;
        SiteSimProcess sim(fault == QLatin1String("gone")
                               ? QStringList{QStringLiteral("--frozen"), QStringLiteral("--latency"), QStringLiteral("1500")}
                               : simArguments(fault, QStringLiteral("/jp/show/mystatus")));
        sim.writeSiteAddresses();
        const Saved saved(folder);
        RecordingUiServices ui;
        fMain w(ui);
        DialogCloser logins(QStringLiteral("frmLogin"));
        if (fault != QLatin1String("challenge"))
            QVERIFY(loadAndWait(w.WB2(), sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo"), kWait));
        Heartbeat heart;
        QSignalSpy loaded(w.WB2(), &Browser::DocumentComplete);
        press(&w, "Command18");
        if (fault == QLatin1String("gone")) {
            staysQuietFor(300);  // the request on its way
            sim.stop();
        }
        QVERIFY(QTest::qWaitFor([&] { return loaded.count() >= 1; }, fault == QLatin1String("stall") ? 3000 : kWait) ||
                fault == QLatin1String("stall"));
        const int expected = fault == QLatin1String("challenge") ? 1 : 0;
        QVERIFY(staysQuietFor(500, [&] { return ui.messagesBesidesEvidence().size() > expected; }));
        qInfo("closed listings / %s: %s (login windows %d)", qPrintable(fault),
              qPrintable(ui.messagesBesidesEvidence().join(QLatin1Char('|'))), logins.count());
        const bool asksForLogin = fault == QLatin1String("challenge");
        QCOMPARE(ui.messagesBesidesEvidence(),
                 asksForLogin ? QStringList{QStringLiteral("ログインされていません。\r\nログインして下さい。")} : QStringList());
        QCOMPARE(logins.count(), asksForLogin ? 1 : 0);
        QVERIFY(heart.beats() > 0);
        QCOMPARE(saved.changed(), QStringList());
    }

    // --- The winning-bid mail: the item page.
    void mail_data() { faultRows(); }
    void mail() {
        QFETCH(QString, fault);
        TempProgramFolder folder;
        SiteSimProcess sim(fault == QLatin1String("gone")
                               ? QStringList{QStringLiteral("--frozen"), QStringLiteral("--latency"), QStringLiteral("1500")}
                               : simArguments(fault, QStringLiteral("/jp/auction/b123456789")));
        sim.writeSiteAddresses();
        const Saved saved(folder);
        folder.writeCp932(QStringLiteral("Template/MAIL/お礼.txt"), QStringLiteral("<USER> 様 <TITLE> <PRICE>\r\n"));
        RecordingUiServices ui;
        fMain w(ui);
        MailPane* pane = w.mailPane();
        pane->setMailTemplates({QStringLiteral("お礼")});
        pane->findChild<QLineEdit*>(QStringLiteral("txtID"))->setText(QStringLiteral("b123456789"));
        pane->findChild<QCheckBox*>(QStringLiteral("ckMail"))->setChecked(true);
        Heartbeat heart;
        if (fault == QLatin1String("gone")) QTimer::singleShot(300, [&] { sim.stop(); });
        press(pane, "Command1");
        qInfo("mail / %s: %s; mail: %s", qPrintable(fault), qPrintable(ui.messagesBesidesEvidence().join(QLatin1Char('|'))),
              qPrintable(pane->mailBody()));
        const QString noPage = QStringLiteral(
            "商品ページを読み込めませんでした。\r\n"
            "インターネットへの接続を確認して、しばらくしてから再度お試し下さい。");
        const QString good = QStringLiteral("髙橋 久美 様 空箱文庫 詩集「夜の灯台」上下巻 初版 帯付き 1,500 円\r\n");
        if (fault == QLatin1String("nocharset") || fault == QLatin1String("challenge")) {
            QVERIFY(ui.messages.isEmpty());
            QCOMPARE(pane->mailBody(), good);
            QCOMPARE(ui.mails.size(), 1);
        } else {
            QCOMPARE(ui.messagesBesidesEvidence(),
                     QStringList{fault == QLatin1String("endless")
                                     ? QStringLiteral("商品ページが大きすぎるため、読み込みを中止しました。\r\n"
                                                      "オークションIDを確認して、しばらくしてから再度お試し下さい。")
                                     : noPage});
            QVERIFY(ui.mails.isEmpty());
            QCOMPARE(pane->mailBody(), QString());
        }
        QVERIFY(heart.beats() > 0);
        QCOMPARE(ui.busyCalls.last(), false);
        QCOMPARE(saved.changed(), QStringList());
    }

    // --- The scan: the list pages and the item pages (one of them faulty).
    void scan_data() { faultRows(); }
    void scan() {
        QFETCH(QString, fault);
        TempProgramFolder folder;
        SiteSimProcess sim(fault == QLatin1String("gone")
                               ? QStringList{QStringLiteral("--frozen"), QStringLiteral("--latency"), QStringLiteral("800")}
                               : simArguments(fault, QStringLiteral("/jp/auction/m012345678")));
        sim.writeSiteAddresses();
        const Saved saved(folder);
        if (fault != QLatin1String("challenge")) {
            Browser b;
            QVERIFY(loadAndWait(&b, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_test"), kWait));
        }
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        pane.findChild<QCheckBox*>(QStringLiteral("ckHOZON"))->setChecked(true);
        Heartbeat heart;
        QSignalSpy finished(&pane, &MyAuctionPane::scanFinished);
        press(&pane, "Command2");
        if (fault == QLatin1String("gone")) {
            // Gone once the list has been read and the item pages are on their way.
            QVERIFY(QTest::qWaitFor(
                [&] { return pane.findChild<QLabel*>(QStringLiteral("lblScan"))->text().contains(QStringLiteral(" 0 / ")); }, kWait));
            sim.stop();
        }
        QVERIFY(QTest::qWaitFor([&] { return finished.count() >= 1; }, kWait));
        auto* grid = pane.findChild<Grid*>(QStringLiteral("vbNow"));
        qInfo("scan / %s: %s; %d rows; %s", qPrintable(fault), qPrintable(ui.messagesBesidesEvidence().join(QLatin1Char('|'))),
              grid->rows() - 1, qPrintable(pane.findChild<QLabel*>(QStringLiteral("lblScan"))->text()));
        if (fault == QLatin1String("challenge")) {
            QCOMPARE(ui.messagesBesidesEvidence(),
                     QStringList{QStringLiteral("Yahooにログインしていません。\r\nログインしてから再度解析して下さい。")});
        } else if (fault == QLatin1String("nocharset")) {
            QVERIFY(ui.messages.isEmpty());
            QCOMPARE(grid->text(1, 2), QStringLiteral("12"));
        } else {
            QCOMPARE(ui.messagesBesidesEvidence(), QStringList{QStringLiteral("情報を取得できませんでした。")});
            QCOMPARE(grid->rows(), 4);
            QCOMPARE(grid->text(1, 1), QStringLiteral("テスト出品 テニスラケット"));
            QCOMPARE(grid->text(1, 2), QString());  // its figures could not be read: empty, not another row's
        }
        QVERIFY(heart.beats() > 0);
        // A scan that failed keeps the previous one; a good one writes it.
        QCOMPARE(saved.changed(),
                 failing(fault) || fault == QLatin1String("challenge") ? QStringList() : QStringList{QStringLiteral("DATA/zenkai.csv")});
    }

    // --- The scan's list page itself: each way it fails has its own message, none of them
    // the one that sends the seller to sign in again for nothing.
    void scanListPage_data() { faultRows(); }
    void scanListPage() {
        QFETCH(QString, fault);
        if (fault == QLatin1String("gone") || fault == QLatin1String("nocharset")) QSKIP("the item pages' case");
        TempProgramFolder folder;
        SiteSimProcess sim(simArguments(fault, QStringLiteral("/jp/show/mystatus")));
        sim.writeSiteAddresses();
        const Saved saved(folder);
        if (fault != QLatin1String("challenge")) {
            Browser b;
            QVERIFY(loadAndWait(&b, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_test"), kWait));
        }
        RecordingUiServices ui;
        MyAuctionPane pane(ui);
        pane.findChild<QCheckBox*>(QStringLiteral("ckHOZON"))->setChecked(true);
        Heartbeat heart;
        QSignalSpy finished(&pane, &MyAuctionPane::scanFinished);
        press(&pane, "Command2");
        QVERIFY(QTest::qWaitFor([&] { return finished.count() >= 1; }, kWait));
        qInfo("scan list / %s: %s", qPrintable(fault), qPrintable(ui.messagesBesidesEvidence().join(QLatin1Char('|'))));
        const QString later = QStringLiteral("\r\nしばらくしてから再度お試し下さい。");
        const QString unreadable = QStringLiteral("出品リストのページを読み取れませんでした。") + later;
        const QMap<QString, QString> expected{
            {QStringLiteral("stall"), QStringLiteral("出品リストのページが時間内に表示されませんでした。\r\n"
                                                     "インターネットへの接続を確認して、しばらくしてから再度お試し下さい。")},
            {QStringLiteral("status:500"), QStringLiteral("出品リストのページでサーバーのエラーが返されました。（500）") + later},
            {QStringLiteral("truncate"), unreadable},
            {QStringLiteral("garbage"), unreadable},
            // Read as Shift_JIS, the list's links no longer read 残り時間.
            {QStringLiteral("wrongcharset"), unreadable},
            {QStringLiteral("endless"), QStringLiteral("出品リストのページが大きすぎるため、読み込みを中止しました。") + later},
            {QStringLiteral("redirectloop"), unreadable},
            {QStringLiteral("challenge"), QStringLiteral("Yahooにログインしていません。\r\nログインしてから再度解析して下さい。")}};
        QCOMPARE(ui.messagesBesidesEvidence(), QStringList{expected.value(fault)});
        QCOMPARE(pane.findChild<Grid*>(QStringLiteral("vbNow"))->rows(), 1);
        QVERIFY(heart.beats() > 0);
        QCOMPARE(saved.changed(), QStringList());
        QCOMPARE(ui.busyCalls.last(), false);
    }
};

SORABAKO_GUI_TEST_MAIN(TestFaults)
#include "tst_faults.moc"
