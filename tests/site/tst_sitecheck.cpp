// サイト診断 against the simulator as a redesign leaves it: for each change it
// names exactly the facts that changed, and nothing else; the same change
// written into MAST/サイト定義.ini mends the program with no rebuild.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QTabWidget>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/fMain.h"
#include "app/frmSHINDAN.h"
#include "login/frmLogin.h"
#include "core/Cp932.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "mail/MailPane.h"
#include "myauction/MyAuctionPane.h"
#include "settings/SiteAddresses.h"
#include "site/Evidence.h"
#include "site/SiteCheckJob.h"
#include "site/SiteFacts.h"
#include "listing/form/SiteFormPane.h"
#include "support/Browsing.h"
#include "support/Dialogs.h"
#include "support/PageProbes.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Press.h"
#include "widgets/Browser.h"
#include "widgets/Grid.h"

namespace {
constexpr int kWait = 120000;

QList<site::Finding> check() {
    SiteCheckJob job(SiteAddresses::hosts());
    QSignalSpy done(&job, &SiteCheckJob::finished);
    job.start();
    // A real event loop: the engine's work arrives through it.
    if (!done.wait(kWait)) return {};
    return job.findings();
}

// "page/fact" of every fact that is not as the definition says.
QStringList changed(const QList<site::Finding>& findings) {
    QStringList out;
    for (const site::Finding& f : findings)
        if (f.verdict == site::Verdict::Missing || f.verdict == site::Verdict::Different) out << f.page + QLatin1Char('/') + f.fact;
    out.sort();
    return out;
}

bool signIn(const SiteSimProcess& sim, const char* account) {
    Browser b;
    return loadAndWait(&b, sim.base() + QStringLiteral("/__sim/signin?login=") + QLatin1String(account));
}

// The seller writes the change into the definition; the program reads it at its next start.
void mend(const TempProgramFolder& folder, const QString& lines) {
    QVERIFY(TextFile::writeBytes(folder.file(QStringLiteral("MAST/") + site::kDefinitionFile), cp932::encode(lines)));
    site::DefinitionProblem problem;
    site::Facts::setCurrent(site::Facts::fromFile(folder.file(QStringLiteral("MAST/") + site::kDefinitionFile), &problem));
    QVERIFY2(!problem.any(), qPrintable(problem.reason));
}

template <typename T>
T* at(QWidget* root, const char* name) {
    return root->findChild<T*>(QLatin1String(name));
}

// The listing form in the pane's browser, its handler done.
bool openForm(const SiteSimProcess& sim, Browser* wb) {
    return loadAndWait(wb, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo"), kWait) &&
           loadAndWait(wb, sim.base() + QStringLiteral("/jp/submit/form?c=21601"), kWait);
}

bool runScan(MyAuctionPane& pane) {
    QSignalSpy finished(&pane, &MyAuctionPane::scanFinished);
    at<QPushButton>(&pane, "Command2")->click();
    return finished.wait(kWait);
}
}  // namespace

class TestSiteCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { site::Facts::setCurrent(site::Facts::builtIn()); }

    void theSiteAsItIsMatchesEveryFact() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_demo"));
        const QList<site::Finding> findings = check();
        QVERIFY(!findings.isEmpty());
        QCOMPARE(changed(findings), QStringList());
        QVERIFY(site::countOf(findings, site::Verdict::Match) > 60);
        // Only what cannot be seen without sending anything is left unchecked.
        for (const site::Finding& f : findings)
            if (f.verdict == site::Verdict::NotChecked)
                QVERIFY2(f.page == site::kUploadPage || f.fact == QStringLiteral("失敗の文言") || f.page == site::kClosedPage ||
                             f.page == site::kFeedbackPage,
                         qPrintable(f.page + QLatin1Char('/') + f.fact));
    }

    void signedOutItSaysWhichPagesNeedASignIn() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        const QList<site::Finding> findings = check();
        QCOMPARE(changed(findings), QStringList());
        QStringList needSignIn;
        for (const site::Finding& f : findings)
            if (f.now.startsWith(site::kNeedsSignIn) && !needSignIn.contains(f.page)) needSignIn << f.page;
        QCOMPARE(needSignIn, (QStringList{site::kFormPage, site::kSellingPage, site::kClosedPage, site::kItemPage}));
        // What needs none is checked all the same: the login page and the closed listings' login button.
        int loginMatches = 0;
        for (const site::Finding& f : findings) loginMatches += f.page == site::kLoginPage && f.verdict == site::Verdict::Match;
        QCOMPARE(loginMatches, 6);
    }

    // The feedback page's comment renamed: named with what stands there now; nothing was sent.
    void aRenamedFeedbackFieldIsNamed() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen"), QStringLiteral("--rename-fields"), QStringLiteral("comment")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_demo"));
        const QList<site::Finding> findings = check();
        QCOMPARE(changed(findings), QStringList{QStringLiteral("評価/コメント欄")});
        for (const site::Finding& f : findings)
            if (f.fact == QStringLiteral("コメント欄")) QCOMPARE(f.now, QStringLiteral("今は「comment_2」"));
        QCOMPARE(sim.control(QStringLiteral("feedbacks")), QString());
    }

    void renamedFormFieldsAreNamedAndMendedInTheDefinition() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen"), QStringLiteral("--rename-fields"), QStringLiteral("Quantity,ReservePrice")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_demo"));
        const QList<site::Finding> findings = check();
        QCOMPARE(changed(findings), (QStringList{QStringLiteral("出品フォーム/数量"), QStringLiteral("出品フォーム/最低落札価格")}));
        for (const site::Finding& f : findings)
            if (f.fact == QStringLiteral("数量")) QCOMPARE(f.now, QStringLiteral("今は「Quantity_2」"));

        mend(folder, QStringLiteral("[出品フォーム]\r\n数量=Quantity_2\r\n最低落札価格=ReservePrice_2\r\n"));
        QCOMPARE(changed(check()), QStringList());
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        at<QLineEdit>(&pane, "imNumLite1")->setText(QStringLiteral("2"));
        at<QLineEdit>(&pane, "imNumLite5")->setText(QStringLiteral("3000"));
        QVERIFY(openForm(sim, pane.WB()));
        QCOMPARE(pane.formCheck().notReached, QStringList());
        QCOMPARE(page(pane.WB(), QStringLiteral("return document.getElementById('Quantity_2').value;")).toString(), QStringLiteral("2"));
        QCOMPARE(page(pane.WB(), QStringLiteral("return document.getElementById('ReservePrice_2').value;")).toString(),
                 QStringLiteral("3000"));
    }

    void rewordedItemLabelsAreNamedAndTheScanAndTheMailReadThemAgain() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen"), QStringLiteral("--redesign"), QStringLiteral("item-labels")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_test"));
        const QList<site::Finding> findings = check();
        QCOMPARE(changed(findings), (QStringList{QStringLiteral("商品ページ/アクセス"), QStringLiteral("商品ページ/ウォッチ"),
                                                 QStringLiteral("商品ページ/現在の価格")}));
        for (const site::Finding& f : findings)
            if (f.fact == QStringLiteral("現在の価格")) QCOMPARE(f.now, QStringLiteral("今は「現在価格：」"));

        mend(folder, QStringLiteral("[商品ページ]\r\n現在の価格=現在価格：\r\nアクセス=閲覧数：\r\nウォッチ=ウォッチ数：\r\n"));
        QCOMPARE(changed(check()), QStringList());
        RecordingUiServices ui;
        MyAuctionPane scan(ui);
        QVERIFY(runScan(scan));
        auto* grid = at<Grid>(&scan, "vbNow");
        QCOMPARE(grid->rows(), 4);
        QCOMPARE(grid->text(1, 2), QStringLiteral("12"));   // access
        QCOMPARE(grid->text(1, 3), QStringLiteral("3"));    // watch
        QCOMPARE(grid->text(1, 6), QStringLiteral("500"));  // price
        QVERIFY(ui.messages.isEmpty());

        folder.writeCp932(QStringLiteral("Template/MAIL/お礼.txt"), QStringLiteral("<USER> 様 <TITLE> <PRICE>\r\n"));
        fMain w(ui);
        MailPane* mail = w.mailPane();
        mail->setMailTemplates({QStringLiteral("お礼")});
        at<QLineEdit>(mail, "txtID")->setText(QStringLiteral("b123456789"));
        press(mail, "Command1");
        QCOMPARE(mail->mailBody(), QStringLiteral("髙橋 久美 様 空箱文庫 詩集「夜の灯台」上下巻 初版 帯付き 1,500 円\r\n"));
    }

    void rewordedListLinksAreNamedAndTheScanWalksAgain() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen"), QStringLiteral("--redesign"), QStringLiteral("listing-links")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_demo"));
        QCOMPARE(changed(check()), (QStringList{QStringLiteral("出品中一覧/一覧の始まり"), QStringLiteral("出品中一覧/前のページ"),
                                                QStringLiteral("出品中一覧/次のページ")}));
        mend(folder, QStringLiteral("[出品中一覧]\r\n一覧の始まり=終了まで\r\n次のページ=次のページ\r\n前のページ=前のページ\r\n"));
        QCOMPARE(changed(check()), QStringList());
        RecordingUiServices ui;
        MyAuctionPane scan(ui);
        QVERIFY(runScan(scan));
        QCOMPARE(at<Grid>(&scan, "vbNow")->rows(), 121);  // all three pages of 120 listings
        QVERIFY(ui.messages.isEmpty());
    }

    void renamedLoginFieldsAreNamedAndTheSignInWorksAgain() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen"), QStringLiteral("--redesign"), QStringLiteral("login-fields")});
        sim.writeSiteAddresses();
        const QList<site::Finding> findings = check();
        QCOMPARE(changed(findings), (QStringList{QStringLiteral("ログイン画面/ID欄"), QStringLiteral("ログイン画面/パスワード欄")}));
        for (const site::Finding& f : findings)
            if (f.fact == QStringLiteral("パスワード欄")) QCOMPARE(f.now, QStringLiteral("今は「user_pw」"));
        mend(folder, QStringLiteral("[ログイン]\r\nID欄=user_id\r\nパスワード欄=user_pw\r\n"));
        QCOMPARE(changed(check()), QStringList());
        RecordingUiServices ui;
        frmLogin w(ui, {});
        at<QLineEdit>(&w, "Text1")->setText(QStringLiteral("sorabako_demo"));
        at<QLineEdit>(&w, "Text2")->setText(QStringLiteral("demo1234"));
        w.open();
        press(&w, "cmdLOGIN");
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), kWait);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(ui.messages.isEmpty());
    }

    void aReorderedListIsNamedAndStillFills() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen"), QStringLiteral("--redesign"), QStringLiteral("reorder:Duration")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_demo"));
        QCOMPARE(changed(check()), QStringList{QStringLiteral("出品フォーム/期間.選択肢")});
        // The options are chosen by their text: the seller's 6 日 is the site's 6日間 in any order.
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        QVERIFY(openForm(sim, pane.WB()));
        at<QComboBox>(&pane, "Combo1")->setCurrentText(QStringLiteral("6 日"));
        QCOMPARE(selectedText(pane.WB(), QStringLiteral("Duration")), QStringLiteral("6日間"));
    }

    void aRemovedOptionIsNamedAndMappedInTheDefinition() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen"), QStringLiteral("--redesign"), QStringLiteral("drop:Duration:6日間")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_demo"));
        const QList<site::Finding> findings = check();
        QCOMPARE(changed(findings), QStringList{QStringLiteral("出品フォーム/期間.選択肢")});
        for (const site::Finding& f : findings)
            if (f.fact == QStringLiteral("期間.選択肢"))
                QVERIFY2(f.now.startsWith(QStringLiteral("ページに無い選択肢：6日間")), qPrintable(f.now));
        RecordingUiServices ui;
        {
            SiteFormPane pane(ui);
            QVERIFY(openForm(sim, pane.WB()));
            at<QComboBox>(&pane, "Combo1")->setCurrentText(QStringLiteral("6 日"));
            pane.Mirror_All();
            QVERIFY(pane.formCheck().notReached.contains(QStringLiteral("Combo1")));  // said, not silently another length
        }
        // The seller's choice: the site's 7日間 for the program's 6 日.
        mend(folder, QStringLiteral("[出品フォーム]\r\n期間.選択肢=2日間,3日間,4日間,5日間,7日間,7日間\r\n"));
        QCOMPARE(changed(check()), QStringList());
        SiteFormPane pane(ui);
        QVERIFY(openForm(sim, pane.WB()));
        at<QComboBox>(&pane, "Combo1")->setCurrentText(QStringLiteral("6 日"));
        QCOMPARE(selectedText(pane.WB(), QStringLiteral("Duration")), QStringLiteral("7日間"));
    }

    void theWindowReportsCopiesAndSaves() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen"), QStringLiteral("--rename-fields"), QStringLiteral("Quantity")});
        sim.writeSiteAddresses();
        QVERIFY(signIn(sim, "sorabako_demo"));
        RecordingUiServices ui;
        fMain w(ui);
        DialogHandler window(QStringLiteral("frmSHINDAN"), [&](QDialog* d) {
            auto* diagnosis = static_cast<frmSHINDAN*>(d);
            QSignalSpy checked(diagnosis, &frmSHINDAN::checked);
            at<QPushButton>(d, "cmdSTART")->click();
            QVERIFY(checked.wait(kWait));
            auto* tree = at<QTreeWidget>(d, "tvSHINDAN");
            QStringList pages;
            for (int i = 0; i < tree->topLevelItemCount(); ++i) pages << tree->topLevelItem(i)->text(0);
            QVERIFY(pages.contains(QStringLiteral("出品フォーム")) && pages.contains(QStringLiteral("ログイン画面")));
            QVERIFY(at<QLabel>(d, "lblSHINDAN")->text().startsWith(QStringLiteral("サイト定義と違うところが 1 件あります。")));
            at<QPushButton>(d, "cmdCOPY")->click();
            QVERIFY(ui.clipboard.contains(QStringLiteral("違う\t数量\tQuantity\t今は「Quantity_2」")));
            ui.saveNames << folder.file(QStringLiteral("DATA/診断結果"));
            at<QPushButton>(d, "cmdSAVE")->click();
            QString saved;
            QCOMPARE(TextFile::readCp932Text(folder.file(QStringLiteral("DATA/診断結果.txt")), &saved), TextFile::Read::Ok);
            QCOMPARE(saved, ui.clipboard);
            d->reject();
        });
        w.findChild<QAction*>(QStringLiteral("mSHINDAN"))->trigger();
        QVERIFY(window.handled());
    }

    void aCheckCanBeCancelled() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--latency"), QStringLiteral("400")});
        sim.writeSiteAddresses();
        SiteCheckJob job(SiteAddresses::hosts());
        QSignalSpy done(&job, &SiteCheckJob::finished);
        job.start();
        QTimer::singleShot(900, &job, &SiteCheckJob::cancel);
        QVERIFY(done.wait(kWait));
        QVERIFY(job.isCancelled());
        QVERIFY(job.pagesLoaded() < 5);
    }

    void aFailedStepLeavesItsPageAndTheNewestTwentyAreKept() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen"), QStringLiteral("--rename-fields"), QStringLiteral("Quantity"),
                            QStringLiteral("--fault"), QStringLiteral("/jp/auction/b123456789=garbage")});
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.vsMAIN()->setCurrentWidget(w.siteFormPane());
        // The listing form without its 数量: the page and what the browser showed.
        QVERIFY(openForm(sim, w.WB()));
        const QString note = at<QLabel>(w.siteFormPane(), "lblFormCheck")->text();
        QVERIFY2(note.contains(folder.file(QStringLiteral("DATA/診断/"))), qPrintable(note));
        const QString formEvent = note.section(QStringLiteral("（ページを "), 1).section(QStringLiteral(" に残しました）"), 0, 0);
        QFile html(formEvent + QStringLiteral("/page.html"));
        QVERIFY(html.open(QIODevice::ReadOnly));
        QVERIFY(html.readAll().contains("Quantity_2"));
        QVERIFY(!QImage(formEvent + QStringLiteral("/screen.png")).isNull());
        QString about;
        QCOMPARE(TextFile::readCp932Text(formEvent + QStringLiteral("/内容.txt"), &about), TextFile::Read::Ok);
        QVERIFY(about.contains(QStringLiteral("数量：ページに項目がありません")));

        // An item page that is garbage: the message says where it went.
        folder.writeCp932(QStringLiteral("Template/MAIL/お礼.txt"), QStringLiteral("<USER> 様\r\n"));
        w.mailPane()->setMailTemplates({QStringLiteral("お礼")});
        at<QLineEdit>(w.mailPane(), "txtID")->setText(QStringLiteral("b123456789"));
        press(w.mailPane(), "Command1");
        QCOMPARE(ui.evidenceFolders().size(), 1);
        QVERIFY(QFileInfo(ui.evidenceFolders()[0] + QStringLiteral("/page.html")).size() > 0);

        // Twenty events are kept: the twenty-first takes the place of the oldest.
        const QString root = folder.file(QStringLiteral("DATA/診断"));
        QStringList made = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QCOMPARE(made.size(), 2);
        for (int i = 0; i < 19; ++i)
            QVERIFY(!site::keepEvidence({QStringLiteral("試し %1").arg(i), QString(), QString(), QImage()}).isEmpty());
        const QStringList kept = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QCOMPARE(kept.size(), site::kEvidenceKept);
        QVERIFY(!kept.contains(made.first()));
        QVERIFY(kept.contains(made.last()));
    }
};

SORABAKO_GUI_TEST_MAIN(TestSiteCheck)
#include "tst_sitecheck.moc"
