#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTableWidget>
#include <QUrlQuery>
#include <QPointer>

#include "app/fMain.h"
#include "core/Cp932.h"
#include "listing/records/ListingRecord.h"
#include "mail/MailPane.h"
#include "shipping/ShippingPane.h"
#include "widgets/Grid.h"
#include "sales/FeedbackWindow.h"
#include "widgets/Browser.h"
#include "sales/SaleRecord.h"
#include "sales/SalesModel.h"
#include "sales/SalesWindow.h"
#include "store/HistoryStore.h"
#include "store/SalesTable.h"
#include "outbox/Secrets.h"
#include "settings/IniFile.h"
#include "settings/SendSettings.h"
#include "core/ProgramFolder.h"
#include "sales/Sale.h"
#include "support/MailServer.h"
#include "support/Browsing.h"
#include "support/Dialogs.h"
#include "support/HoldDatabase.h"
#include "support/Press.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"

namespace {
// The helper's side: another program holding the database.
int helper(const QStringList& args) { return args.value(0) == QLatin1String("hold") ? holdDatabase(args.value(1)) : 99; }

bool signIn(const SiteSimProcess& sim, const char* account) {
    Browser b;
    return loadAndWait(&b, sim.base() + QStringLiteral("/__sim/signin?login=") + QLatin1String(account));
}

bool refresh(SalesWindow* window) {
    QSignalSpy done(window, &SalesWindow::refreshed);
    press(window, "cmdKOUSHIN");
    return done.wait(60000);
}

// The row of a sale as the list shows it, by auction ID and winner.
int rowOf(SalesWindow* w, const QString& auctionId, const QString& winner = QString()) {
    SalesModel* m = w->model();
    for (int row = 0; row < m->rowCount(); ++row) {
        const sales::Sale& s = m->sales()[m->saleIndex(row)];
        if (s.auctionId == auctionId && (winner.isEmpty() || s.winnerId == winner)) return row;
    }
    return -1;
}

QString cell(SalesWindow* w, int row, int column, int role = Qt::DisplayRole) {
    return w->model()->data(w->model()->index(row, column), role).toString();
}

void select(SalesWindow* w, const QString& auctionId) {
    w->selectSale(auctionId);
    QVERIFY(w->model()->saleIndex(child<QTableView>(w, QStringLiteral("grdTORIHIKI"))->currentIndex().row()) >= 0);
}

// The mail handed to the mail program: its body as the seller's mail program opens it.
QString bodyOf(const QString& mailto) {
    return QUrlQuery(QUrl(mailto).query(QUrl::FullyEncoded)).queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
}

// Presses a mail button and hands the mail shown to the mail program.
void mailAndHand(SalesWindow* w, const char* button, QString* shown) {
    whenDialogOpens(QStringLiteral("frmTORIHIKI_MAIL"), [shown](QDialog* d) {
        *shown = child<QPlainTextEdit>(d, QStringLiteral("txtHONBUN"))->toPlainText();
        press(d, "cmdMAILER");
    });
    press(w, button);
}
}  // namespace

class TestSalesWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // From the closed listings to the shipping notice, against the site: every sale once, what the
    // seller typed kept through refreshes, a winner moved up kept beside the first, each stage's mail.
    void salesFromTheSiteThroughTheirStages() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        // Two closed listings of the demo, and 49 more ending now: two pages of the list.
        QCOMPARE(sim.control(QStringLiteral("endmany?account=sorabako_test&count=49")), QStringLiteral("OK"));
        RecordingUiServices ui;
        fMain main(ui);
        QVERIFY(signIn(sim, "sorabako_test"));
        press(main.mailPane(), "cmdTORIHIKI");
        auto* w = main.findChild<SalesWindow*>();
        QVERIFY(w && w->isVisible());
        QVERIFY(refresh(w));
        QCOMPARE(ui.messageTexts().join(QLatin1Char('|')), QString());
        QCOMPARE(child<QLabel>(w, QStringLiteral("lblJOUTAI"))->text(),
                 QStringLiteral("新しい取引 51件を加えました（出品終了分 51件を確認）。"));
        QCOMPARE(w->model()->sales().size(), 51);
        // The list ran over two pages (51 sales); the winner's contact from each item page.
        const int oldest = rowOf(w, QStringLiteral("g678901234"));
        QVERIFY(oldest >= 0);
        const sales::Sale first = w->model()->sales()[w->model()->saleIndex(oldest)];
        QCOMPARE(first.title, QStringLiteral("テスト出品 文庫本まとめて10冊"));
        QCOMPARE(first.price, 800);
        QCOMPARE(first.winnerId, QStringLiteral("yomu_yomu"));
        QCOMPARE(first.winnerName, QStringLiteral("読田 読子"));
        QCOMPARE(first.winnerMail, QStringLiteral("yomu@example.jp"));
        QCOMPARE(first.address, QStringLiteral("〒100-0001 東京都千代田区ソラ１－１"));
        QCOMPARE(first.ended, QDateTime(QDate(2024, 5, 10), QTime(22, 10)));
        // Ended in 2024 and never written to: past the first mail's limit, in red, and on the bottom bar.
        QVERIFY(cell(w, oldest, SalesModel::DueCol).endsWith(QStringLiteral("日超過")));
        QVERIFY(w->model()->data(w->model()->index(oldest, 0), Qt::ForegroundRole).isValid());
        const int fresh = rowOf(w, w->model()->sales().first().auctionId);
        QVERIFY(!w->model()->data(w->model()->index(fresh, 0), Qt::ForegroundRole).isValid());
        QCOMPARE(main.salesSummary(), QStringLiteral("連絡待ち 51件（期限切れ 2件）"));

        // The seller's note, then a refresh: nothing doubled, the note as typed.
        select(w, QStringLiteral("g678901234"));
        child<QPlainTextEdit>(w, QStringLiteral("txtMEMO"))->setPlainText(QStringLiteral("同梱希望"));
        press(w, "cmdHOZON");
        QVERIFY(refresh(w));
        QCOMPARE(w->model()->sales().size(), 51);
        QCOMPARE(w->model()->sales()[w->model()->saleIndex(rowOf(w, QStringLiteral("g678901234")))].note, QStringLiteral("同梱希望"));

        // The winner of the other demo sale is removed and the next bidder moved up: both sales, and a word.
        QCOMPARE(
            sim.control(QStringLiteral("rewin?id=h789012345&winner=next_bidder&name=%E6%AC%A1%E7%82%B9%20%E5%A4%AA%E9%83%8E&price=1100")),
            QStringLiteral("OK"));
        QVERIFY(refresh(w));
        QCOMPARE(w->model()->sales().size(), 52);
        QVERIFY(rowOf(w, QStringLiteral("h789012345"), QStringLiteral("speed_kids")) >= 0);
        QVERIFY(rowOf(w, QStringLiteral("h789012345"), QStringLiteral("next_bidder")) >= 0);
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messageTexts().first().contains(QStringLiteral("落札者が替わった取引があります：h789012345")));

        // The program listed this one: its record's parcel and ways come with the sale.
        const QString record = listingrecord::folderOf(QStringLiteral("g678901234"));
        QVERIFY(QDir().mkpath(record));
        QFile memory(QDir(record).filePath(listingrecord::kMemoryFileName));
        QVERIFY(memory.open(QIODevice::WriteOnly));
        memory.write(
            cp932::encode(QStringLiteral("[出品カテゴリと画像]\r\nカテゴリ=本、雑誌 > 文庫\r\n[出品手続]\r\n開始価格=500\r\n"
                                         "[送料計算]\r\n3辺0=30\r\n3辺1=20\r\n3辺2=15\r\n重さ=6\r\n"
                                         "[メール作成]\r\nゆうパック=1\r\n")));
        memory.close();

        // The fee from the winner's address: the prefecture read from it, the fee the shipping pane's own.
        ShippingPane* shipping = main.shippingPane();
        child<QComboBox>(shipping, QStringLiteral("cmbKEN_0"))->setCurrentText(QStringLiteral("大阪府"));
        select(w, QStringLiteral("h789012345"));
        select(w, QStringLiteral("g678901234"));
        QVERIFY(
            child<QLabel>(w, QStringLiteral("lblTORIHIKI"))->text().contains(QStringLiteral("出品記録：本、雑誌 > 文庫　開始価格 500円")));
        QString found, parcel;
        whenDialogOpens(QStringLiteral("frmHENSHIN_SOURYOU"), [&found, &parcel](QDialog* d) {
            found = child<QLabel>(d, QStringLiteral("lblHANTEI"))->text();
            for (const char* name : {"txtTATE", "txtYOKO", "txtATSUSA", "txtJUURYOU"})
                parcel += child<QLineEdit>(d, QLatin1String(name))->text() + QLatin1Char(' ');
            parcel += child<QComboBox>(d, QStringLiteral("cboHOUHOU"))->currentText();
            press(d, "cmdKETTEI");
        });
        press(w, "cmdHENSHIN");
        QCOMPARE(parcel, QStringLiteral("30 20 15 1000 ゆうパック"));  // the list's seventh weight
        QCOMPARE(found, QStringLiteral("〒100-0001 東京都（住所の「東京都」から）"));
        child<QComboBox>(shipping, QStringLiteral("cmbKEN_1"))->setCurrentText(QStringLiteral("東京都"));
        for (const auto& [i, side] : {std::pair{0, "30"}, {1, "20"}, {2, "15"}})
            child<QLineEdit>(shipping, QStringLiteral("imNumber1_%1").arg(i))->setText(QLatin1String(side));
        child<QCheckBox>(shipping, QStringLiteral("ckHOUHOU_6"))->setChecked(true);
        press(shipping, "Command15");
        QString paneFee = child<Grid>(shipping, QStringLiteral("vsSOURYOU"))->text(7, 1);
        paneFee.remove(QLatin1Char(',')).remove(QStringLiteral(" 円"));
        QVERIFY(paneFee.toInt() > 0);
        const qint64 fee = w->model()->sales()[w->model()->saleIndex(rowOf(w, QStringLiteral("g678901234")))].shippingFee;
        QCOMPARE(fee, paneFee.toLongLong());
        // Both sales of the replaced winner selected: their replies one after the other, each with no
        // record offered the parcel just used (and saying so); キャンセル on the second ends the round.
        auto* grid = child<QTableView>(w, QStringLiteral("grdTORIHIKI"));
        grid->clearSelection();
        QList<int> both;
        for (int row = 0; row < w->model()->rowCount(); ++row)
            if (w->model()->sales()[w->model()->saleIndex(row)].auctionId == QLatin1String("h789012345")) {
                both << w->model()->saleIndex(row);
                grid->selectionModel()->select(w->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
            }
        QCOMPARE(both.size(), 2);
        QStringList titles;
        QString from;
        parcel.clear();
        QPointer<QWidget> last;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* d = qobject_cast<QDialog*>(top);
                if (!d || d->objectName() != QLatin1String("frmHENSHIN_SOURYOU") || !d->isVisible() || d == last) continue;
                last = d;
                titles << d->windowTitle();
                if (titles.size() == 2) {
                    press(d, "cmdCANCEL");
                    continue;
                }
                from = child<QLabel>(d, QStringLiteral("lblNIMOTSU"))->text();
                for (const char* name : {"txtTATE", "txtYOKO", "txtATSUSA", "txtJUURYOU"})
                    parcel += child<QLineEdit>(d, QLatin1String(name))->text() + QLatin1Char(' ');
                parcel += child<QComboBox>(d, QStringLiteral("cboHOUHOU"))->currentText();
                child<QPlainTextEdit>(d, QStringLiteral("txtHENSHIN"))->setPlainText(QStringLiteral("〒900-0015 沖縄県那覇市ソラ通り6-7"));
                press(d, "cmdKETTEI");
            }
        });
        answer.start(10);
        press(w, "cmdHENSHIN");
        answer.stop();
        QCOMPARE(titles.size(), 2);
        QVERIFY(titles[0].endsWith(QStringLiteral("（1 / 2）")) && titles[1].endsWith(QStringLiteral("（2 / 2）")));
        QCOMPARE(parcel, QStringLiteral("30 20 15 1000 ゆうパック"));
        QVERIFY(from.contains(QStringLiteral("前に送料を出した取引と同じ")));
        QList<qint64> fees;
        for (int i : both) fees << w->model()->sales()[i].shippingFee;
        std::sort(fees.begin(), fees.end());
        QCOMPARE(fees.first(), -1);
        QVERIFY(fees.last() > 0);

        // The thanks mail: shown, handed over, kept with the sale, and the sale is 連絡済.
        select(w, QStringLiteral("g678901234"));
        QString shown;
        mailAndHand(w, "cmdMAIL", &shown);
        QTRY_COMPARE(ui.mails.size(), 1);
        QVERIFY(ui.mails[0].startsWith(QStringLiteral("mailto:yomu@example.jp?subject=")));
        const QString thanks = bodyOf(ui.mails[0]);
        QCOMPARE(thanks, QString(shown).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
        QVERIFY(thanks.startsWith(QStringLiteral("読田 読子 様\r\n")));
        QVERIFY(thanks.contains(QStringLiteral("「テスト出品 文庫本まとめて10冊」をご落札")));
        QVERIFY(thanks.contains(QStringLiteral("落札金額　：800円")));
        QVERIFY(thanks.contains(QStringLiteral("お支払合計：%1 円").arg(800 + fee)));
        const auto sale = [&] { return w->model()->sales()[w->model()->saleIndex(rowOf(w, QStringLiteral("g678901234")))]; };
        QCOMPARE(sale().stage, sales::Stage::Contacted);
        QCOMPARE(child<QListWidget>(w, QStringLiteral("lstMAIL"))->count(), 1);

        // 住所確認 by a click, then undone and done again; the payment mail with the fee typed.
        press(w, "cmdSUSUMERU");
        QCOMPARE(sale().stage, sales::Stage::AddressKnown);
        press(w, "cmdMODOSU");
        QCOMPARE(sale().stage, sales::Stage::Contacted);
        press(w, "cmdSUSUMERU");
        mailAndHand(w, "cmdMAIL", &shown);
        QTRY_COMPARE(ui.mails.size(), 2);
        QCOMPARE(sale().stage, sales::Stage::Paid);

        // The shipping notice carries the carrier and the tracking number as typed.
        // Typed and not saved: the mail takes it all the same, and so does the sale.
        child<QComboBox>(w, QStringLiteral("cboHAISOU"))->setCurrentText(QStringLiteral("ゆうパック"));
        QTest::keyClicks(child<QLineEdit>(w, QStringLiteral("txtTSUISEKI")), QStringLiteral("1234-5678-9012"));
        QTest::keyClick(child<QLineEdit>(w, QStringLiteral("txtTSUISEKI")), Qt::Key_Return);  // no button takes Enter
        QCOMPARE(sale().stage, sales::Stage::Paid);
        mailAndHand(w, "cmdMAIL", &shown);
        QTRY_COMPARE(ui.mails.size(), 3);
        QCOMPARE(sale().stage, sales::Stage::Shipped);
        const QString notice = bodyOf(ui.mails[2]);
        QVERIFY(notice.contains(QStringLiteral("配送方法　　　：ゆうパック")));
        QVERIFY(notice.contains(QStringLiteral("お問い合わせ番号：1234-5678-9012")));
        // No date typed: the notice is dated the day it is made, and so is the sale's shipping.
        const QDate shipped = sale().shipment.date;
        QVERIFY(qAbs(shipped.daysTo(QDate::currentDate())) <= 1);  // a test run across midnight
        QVERIFY(notice.contains(QStringLiteral("発送日　　　　：") + shipped.toString(QStringLiteral("yyyy/MM/dd"))));
        press(w, "cmdSUSUMERU");
        press(w, "cmdSUSUMERU");
        QCOMPARE(sale().stage, sales::Stage::Rated);

        // All of it is in the database, for the next sitting: three mails kept, the stages dated.
        HistoryStore store(HistoryStore::programFile());
        QCOMPARE(store.open(), HistoryStore::Opened::Ok);
        const auto kept = salestable::mails(store, QStringLiteral("g678901234"), QStringLiteral("yomu_yomu"));
        QVERIFY(kept);
        QCOMPARE(kept->size(), 3);
        QCOMPARE(kept->at(2).stage, QStringLiteral("発送済"));
        QCOMPARE(kept->at(2).handed, QStringLiteral("メーラー"));
        // The search finds the sale by a mail's words.
        child<QLineEdit>(w, QStringLiteral("txtKENSAKU"))->setText(QStringLiteral("1234-5678-9012"));
        QCOMPARE(w->model()->rowCount(), 1);
        QCOMPARE(main.salesSummary(), QStringLiteral("連絡待ち 51件（期限切れ 2件）"));
        // Two days on (the window's clock): the sales that ended today are past their first limit too.
        child<QLineEdit>(w, QStringLiteral("txtKENSAKU"))->clear();
        const QDateTime later = QDateTime::currentDateTime().addDays(2);
        w->setClock([later] { return later; });
        QCOMPARE(main.salesSummary(), QStringLiteral("連絡待ち 51件（期限切れ 51件）"));
        QVERIFY(w->model()->data(w->model()->index(rowOf(w, w->model()->sales().first().auctionId), 0), Qt::ForegroundRole).isValid());
        w->setClock([] { return QDateTime::currentDateTime(); });
        child<QLineEdit>(w, QStringLiteral("txtKENSAKU"))->setText(QStringLiteral("1234-5678-9012"));

        // The list as shown to a spreadsheet, read back as Excel in Japan would (CP932): the sale's facts and money.
        const QString csvPath = folder.file(QStringLiteral("取引.csv"));
        ui.saveNames << csvPath;
        press(w, "cmdCSV");
        QProcess python;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PYTHONIOENCODING"), QStringLiteral("utf-8"));
        python.setProcessEnvironment(env);
        python.start(QStringLiteral("python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import csv, sys\n"
                                     "rows = list(csv.reader(open(sys.argv[1], encoding='cp932', newline='')))\n"
                                     "head, row = rows[0], rows[1]\n"
                                     "print(len(rows), *(row[head.index(k)] for k in sys.argv[2:]), sep='|')"),
                      csvPath, QStringLiteral("オークションID"), QStringLiteral("状態"), QStringLiteral("追跡番号"),
                      QStringLiteral("送料（請求）"), QStringLiteral("落札手数料"), QStringLiteral("メモ")});
        QVERIFY(python.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(python.readAllStandardOutput()).trimmed(),
                 QStringLiteral("2|g678901234|評価済|1234-5678-9012|%1|80|同梱希望").arg(fee));
    }

    // Start-up says once what is overdue, and the bottom bar keeps saying what waits.
    void startUpSaysWhatIsOverdue() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        {
            HistoryStore store(HistoryStore::programFile());
            QCOMPARE(store.open(), HistoryStore::Opened::Ok);
            salestable::Row late, fresh;
            late.auctionId = QStringLiteral("z100");
            late.winnerId = QStringLiteral("late_payer");
            late.ended = QDateTime::currentDateTime().addDays(-10);
            fresh.auctionId = QStringLiteral("z101");
            fresh.winnerId = QStringLiteral("new_buyer");
            fresh.ended = QDateTime::currentDateTime();
            QVERIFY(salestable::storeSeen(store, {late, fresh}));
        }
        RecordingUiServices ui;
        fMain main(ui);
        QTRY_COMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messageTexts().first().startsWith(QStringLiteral("期限を過ぎた取引が 1件あります。\r\n連絡待ち 2件（期限切れ 1件）")));
        QCOMPARE(main.salesSummary(), QStringLiteral("連絡待ち 2件（期限切れ 1件）"));
        QCoreApplication::processEvents();
        QCOMPARE(ui.messages.size(), 1);
    }

    // 送信 through the seller's own mail server (a real one, STARTTLS and a sign-in): three sales'
    // mails, the first read and the rest sent with 残りをすべて送信, each kept with its Message-ID as the server received it, each sale
    // moved on. A server that refuses moves nothing and keeps nothing; one that drops after the mail is 送信不明, kept as such, the sale
    // where it was, and nothing sent twice without the seller's word.
    void mailsGoThroughTheSellersOwnServer() {
        if (!MailServer::available()) QFAIL("python3-aiosmtpd is missing: scripts/bootstrap installs it");
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        auto useServer = [&](const MailServer& server) {
            folder.writeCp932(
                QStringLiteral("INI/SRB.INI"),
                QStringLiteral("[メール送信]\r\n送信方法=SMTP\r\nサーバー=127.0.0.1\r\nポート=%1\r\n暗号化=STARTTLS\r\n"
                               "ユーザー名=%2\r\n差出人=shop@sorabako.example\r\n差出人名=空箱堂\r\n自己署名を認めるサーバー=127.0.0.1\r\n")
                    .arg(server.port())
                    .arg(MailServer::kUser));
            const auto s = sendsettings::read(IniFile::load(ProgramFolder::settingsFile()));
            secrets::keepForSitting(sendsettings::secretKey(s), MailServer::kPassword);
        };
        MailServer server(QStringLiteral("ok"));
        useServer(server);
        auto addSales = [](int from, int to) {
            HistoryStore store(HistoryStore::programFile());
            QList<salestable::Row> rows;
            for (int i = from; i < to; ++i) {
                salestable::Row r;
                r.auctionId = QStringLiteral("m%1").arg(i);
                r.winnerId = QStringLiteral("buyer_%1").arg(i);
                r.winnerName = QStringLiteral("買田 %1郎").arg(i + 1);
                r.winnerMail = QStringLiteral("buyer%1@example.jp").arg(i);
                r.title = QStringLiteral("空箱文庫 第%1巻").arg(i + 1);
                r.price = 500 + i;
                r.ended = QDateTime::currentDateTime().addSecs(-3600);
                rows << r;
            }
            return store.open() == HistoryStore::Opened::Ok && salestable::storeSeen(store, rows);
        };
        QVERIFY(addSales(0, 3));
        RecordingUiServices ui;
        fMain main(ui);
        SalesWindow* w = main.showSales();
        QTRY_COMPARE_WITH_TIMEOUT(w->model()->sales().size(), 3, 10000);
        // Each mail as it opens: 送信 pressed, or, for the later ones, closed once the seller gave up.
        int shown = 0;
        QTimer sender;
        QObject::connect(&sender, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(top); d && d->objectName() == QStringLiteral("frmTORIHIKI_MAIL") && d->isVisible()) {
                    ++shown;
                    // The first of the three: read, then the rest sent unseen (残りをすべて送信).
                    press(d, shown == 1 ? "cmdSOUSHIN_NOKORI"
                             : shown > 3 && !ui.messages.isEmpty() && ui.messages.last().icon == UiServices::Icon::Warning ? "cmdCLOSE"
                                                                                                                           : "cmdSOUSHIN");
                    return;
                }
        });
        sender.start(100);
        child<QTableView>(w, QStringLiteral("grdTORIHIKI"))->selectAll();
        press(w, "cmdMAIL");
        QCOMPARE(server.taken(), 3);
        QCOMPARE(shown, 1);
        HistoryStore read(HistoryStore::programFile());
        QCOMPARE(read.open(), HistoryStore::Opened::Ok);
        for (int n = 0; n < 3; ++n) {
            const QJsonObject got = server.mail(n);
            const QString to = got.value(QStringLiteral("to")).toString();
            const int i = to.mid(5, 1).toInt();
            QCOMPARE(to, QStringLiteral("buyer%1@example.jp").arg(i));
            QVERIFY(got.value(QStringLiteral("body")).toString().contains(QStringLiteral("空箱文庫 第%1巻").arg(i + 1)));
            const auto kept = salestable::mails(read, QStringLiteral("m%1").arg(i), QStringLiteral("buyer_%1").arg(i));
            QVERIFY(kept && kept->size() == 1);
            QVERIFY2(kept->first().handed.startsWith(QStringLiteral("送信 ") + got.value(QStringLiteral("message-id")).toString()),
                     qPrintable(kept->first().handed));
            QCOMPARE(kept->first().subject, got.value(QStringLiteral("subject")).toString());
        }
        for (const sales::Sale& sale : w->model()->sales()) QCOMPARE(sales::stageName(sale.stage), QStringLiteral("連絡済"));

        // A server that refuses the recipient: said, the mail stays to be sent again, nothing moves.
        QVERIFY(addSales(3, 5));
        w->reload();
        MailServer refusing(QStringLiteral("reject-rcpt"));
        useServer(refusing);
        select(w, QStringLiteral("m3"));
        shown = 3;
        const int before = ui.messages.size();
        press(w, "cmdMAIL");
        QCOMPARE(ui.messages.size(), before + 1);
        QVERIFY2(ui.messages.last().text.contains(QStringLiteral("550")), qPrintable(ui.messages.last().text));
        QCOMPARE(sales::stageName(w->model()->sales()[w->model()->saleIndex(rowOf(w, QStringLiteral("m3")))].stage),
                 QStringLiteral("落札"));
        QVERIFY(salestable::mails(read, QStringLiteral("m3"), QStringLiteral("buyer_3"))->isEmpty());

        // Dropped after the mail: 送信不明; the seller does not send it again; kept as such, nothing moves.
        MailServer dropping(QStringLiteral("drop-after-data"));
        useServer(dropping);
        select(w, QStringLiteral("m4"));
        shown = 0;
        ui.answers << UiServices::Answer::No;
        press(w, "cmdMAIL");
        QCOMPARE(sales::stageName(w->model()->sales()[w->model()->saleIndex(rowOf(w, QStringLiteral("m4")))].stage),
                 QStringLiteral("落札"));
        const auto m4 = salestable::mails(read, QStringLiteral("m4"), QStringLiteral("buyer_4"));
        QVERIFY(m4 && m4->size() == 1 && m4->last().handed.startsWith(QStringLiteral("送信不明 <")));
        QCOMPARE(shown, 1);
        // That sale's mail asked for again: the earlier 送信不明 is said first, and Enter (No) ends it there.
        press(w, "cmdMAIL");
        QVERIFY(ui.messages.last().text.contains(QStringLiteral("送信不明")));
        QCOMPARE(ui.messages.last().buttons, UiServices::Buttons::YesNoDefaultNo);
        QCOMPARE(shown, 1);
        QCOMPARE(dropping.taken(), 0);
    }

    // 評価 against the site: four sales, each page filled (非常に良い and the comment) and the site's
    // button pressed by the test, as the seller would; the site lists four feedbacks as filled and
    // the sales are 評価済. A page left without pressing is never filled again, in a later sitting
    // too; a renamed comment field stops the sale as 要確認, naming the field.
    void feedbackPreparedTheSellersClickLast() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        QCOMPARE(sim.control(QStringLiteral("endmany?account=sorabako_test&count=6")), QStringLiteral("OK"));
        RecordingUiServices ui;
        fMain main(ui);
        QVERIFY(signIn(sim, "sorabako_test"));
        SalesWindow* w = main.showSales();
        QVERIFY(refresh(w));
        QStringList ids;
        for (const sales::Sale& sale : w->model()->sales())
            if (sale.auctionId.startsWith(QLatin1Char('m'))) ids << sale.auctionId;
        ids.sort();
        QCOMPARE(ids.size(), 6);
        auto choose = [w](const QStringList& which) {
            auto* view = child<QTableView>(w, QStringLiteral("grdTORIHIKI"));
            view->clearSelection();
            for (const QString& id : which)
                view->selectionModel()->select(w->model()->index(rowOf(w, id), 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        };
        const QString comment = QStringLiteral("迅速なお取引をありがとうございました。");
        // The seller's side of the window: start, and at each filled page read it and press the site's button.
        struct Seen {
            QStringList checked, comments, states;
        } seen;
        auto run = [&](int pressFor) {
            whenDialogOpens(QStringLiteral("frmHYOUKA"), [&, pressFor](QDialog* d) {
                auto* window = static_cast<FeedbackWindow*>(d);
                child<QPlainTextEdit>(d, QStringLiteral("txtCOMMENT"))->setPlainText(comment);
                press(d, "cmdSTART");
                const int rows = child<QTableWidget>(d, QStringLiteral("lvHYOUKA"))->rowCount();
                // Waits for the window to say a sale's state changed until `done` holds.
                const auto until = [window](const std::function<bool()>& done) {
                    QSignalSpy changed(window, &FeedbackWindow::stateChanged);
                    QDeadlineTimer deadline(30000);
                    while (!done() && !deadline.hasExpired()) changed.wait(1000);
                };
                for (int i = 0; i < rows; ++i) {
                    until([&] {
                        return window->stateOf(i) != FeedbackWindow::State::Waiting && window->stateOf(i) != FeedbackWindow::State::Filling;
                    });
                    if (window->stateOf(i) != FeedbackWindow::State::SellersTurn) continue;
                    Browser* b = window->browser();
                    seen.checked << b->evaluate(QStringLiteral(
                                                    "var r = document.querySelector('input[name=rating]:checked'); return r ? r.id : '';"))
                                        .text();
                    seen.comments
                        << b->evaluate(QStringLiteral("var c = document.getElementById('comment'); return c ? c.value : '';")).text();
                    if (i >= pressFor) continue;  // left on the seller's turn
                    b->clickById(QStringLiteral("submitFeedback"));
                    until([&] { return window->stateOf(i) != FeedbackWindow::State::SellersTurn; });
                }
                for (int i = 0; i < rows; ++i) seen.states << child<QTableWidget>(d, QStringLiteral("lvHYOUKA"))->item(i, 2)->text();
                press(d, "cmdCLOSE");
            });
            press(w, "cmdHYOUKA");
        };
        choose(ids.mid(0, 4));
        run(4);
        QCOMPARE(seen.checked, QStringList(4, QStringLiteral("rating5")));
        QCOMPARE(seen.comments, QStringList(4, comment));
        QCOMPARE(seen.states, QStringList(4, QStringLiteral("評価済")));
        QStringList given = sim.control(QStringLiteral("feedbacks")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        given.sort();  // in the list's order, newest first
        QCOMPARE(given.size(), 4);
        for (int i = 0; i < 4; ++i) QCOMPARE(given[i], ids[i] + QStringLiteral(" 5 ") + comment);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(sales::stageName(w->model()->sales()[w->model()->saleIndex(rowOf(w, ids[i]))].stage), QStringLiteral("評価済"));

        // The fifth left on the seller's turn; asked for again (the program started afresh): 要確認, not filled.
        choose({ids[4]});
        seen = {};
        run(0);
        QCOMPARE(seen.states.value(0), QStringLiteral("確認待ち"));
        seen = {};
        choose({ids[4]});
        run(0);
        QVERIFY2(seen.states.value(0).startsWith(QStringLiteral("要確認")), qPrintable(seen.states.join(QLatin1Char('|'))));
        QVERIFY(seen.comments.isEmpty());
        QCOMPARE(sim.control(QStringLiteral("feedbacks")).split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 4);

        // The site renamed its comment field: 要確認, naming it, nothing sent.
        QCOMPARE(sim.control(QStringLiteral("rename?fields=comment")), QStringLiteral("OK"));
        seen = {};
        choose({ids[5]});
        run(1);
        QVERIFY2(seen.states.value(0).startsWith(QStringLiteral("要確認")) && seen.states.value(0).contains(QStringLiteral("comment")),
                 qPrintable(seen.states.join(QLatin1Char('|'))));
        QCOMPARE(sim.control(QStringLiteral("feedbacks")).split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 4);
    }

    // The label program's sheet: each number lands on its sale (by its ID, or by the address the
    // seller took from the reply), the sales are chosen, and the next click makes their notices.
    void labelNumbersLandOnTheirSales() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain main(ui);
        QVERIFY(signIn(sim, "sorabako_test"));
        SalesWindow* w = main.showSales();
        QVERIFY(refresh(w));
        QCOMPARE(w->model()->sales().size(), 2);
        select(w, QStringLiteral("g678901234"));
        child<QPlainTextEdit>(w, QStringLiteral("txtSOUFUSAKI"))
            ->setPlainText(QStringLiteral("〒100-0001 東京都千代田区ソラ１－１\n読田 読子"));
        press(w, "cmdHOZON");
        select(w, QStringLiteral("h789012345"));
        for (int i = 0; i < 3; ++i) press(w, "cmdSUSUMERU");  // to 入金確認

        // A pipe chosen as the sheet is named, not waited on.
        const QString fifo = QDir(folder.path()).filePath(QStringLiteral("送り状.csv"));
        QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
        ui.openNames << fifo;
        press(w, "cmdTSUISEKI");
        QCOMPARE(ui.messageTexts().last(), QStringLiteral("「送り状.csv」はファイルではありません。"));
        QFile::remove(fifo);

        const QString sheet = QDir(folder.path()).filePath(QStringLiteral("送り状.csv"));
        QFile f(sheet);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            cp932::encode(QStringLiteral("お客様管理番号,お届け先名,お届け先郵便番号,お問い合わせ番号,出荷予定日\r\n"
                                         "h789012345,速水 翔,220-0001,１２３４－５６７８－９０１２,2026/12/10\r\n"
                                         ",読田 読子,１００－０００１,2222-3333-4444,2026/12/11\r\n"
                                         "z999,空野 一郎,060-0042,5555-6666-7777,2026/12/10\r\n")));
        f.close();
        QStringList results;
        whenDialogOpens(QStringLiteral("frmTSUISEKI"), [&results, w](QDialog* d) {
            auto* grid = child<QTableWidget>(d, QStringLiteral("grdTSUISEKI"));
            for (int r = 0; r < grid->rowCount(); ++r) results << grid->item(r, 3)->text() + QLatin1Char(' ') + grid->item(r, 6)->text();
            child<QComboBox>(d, QStringLiteral("cboHAISOU"))->setCurrentText(QStringLiteral("ゆうパック"));
            // Meanwhile the list is read again, with a number the seller typed on another sale.
            HistoryStore other(HistoryStore::programFile());
            QCOMPARE(other.open(), HistoryStore::Opened::Ok);
            auto rows = salestable::all(other);
            QVERIFY(rows);
            for (salestable::Row& r : *rows)
                if (r.auctionId == QLatin1String("g678901234")) {
                    sales::Sale s = sales::fromRow(r);
                    s.shipment.tracking = QStringLiteral("9999-0000-1111");
                    QVERIFY(salestable::storeSellers(other, sales::toRow(s)));
                }
            w->reload();
            press(d, "cmdTORIKOMU");
        });
        ui.openNames << sheet;
        press(w, "cmdTSUISEKI");
        QCOMPARE(results, (QStringList{QStringLiteral("h789012345 取り込みます"), QStringLiteral("g678901234 取り込みます"),
                                       QStringLiteral(" 合う取引がありません")}));
        // Stored: read back from the database as the next start reads it.
        {
            HistoryStore store(HistoryStore::programFile());
            QCOMPARE(store.open(), HistoryStore::Opened::Ok);
            const auto rows = salestable::all(store);
            QVERIFY(rows);
            QCOMPARE(rows->size(), 2);
            for (const salestable::Row& r : *rows) {
                const sales::Sale s = sales::fromRow(r);
                const bool h = s.auctionId == QLatin1String("h789012345");
                QCOMPARE(s.shipment.tracking, h ? QStringLiteral("1234-5678-9012") : QStringLiteral("9999-0000-1111"));
                QCOMPARE(s.shipment.carrier, h ? QStringLiteral("ゆうパック") : QString());
                QCOMPARE(s.shipment.date, h ? QDate(2026, 12, 10) : QDate());
            }
        }
        QCOMPARE(child<QTableView>(w, QStringLiteral("grdTORIHIKI"))->selectionModel()->selectedRows().size(), 1);
        // The paid one's notice, with the number and the day from the sheet.
        select(w, QStringLiteral("h789012345"));
        QString notice;
        mailAndHand(w, "cmdMAIL", &notice);
        QVERIFY2(notice.contains(QStringLiteral("お問い合わせ番号：1234-5678-9012")), qPrintable(notice));
        QVERIFY(notice.contains(QStringLiteral("発送日　　　　：2026/12/10")));
        QCOMPARE(w->model()->sales()[w->model()->saleIndex(rowOf(w, QStringLiteral("h789012345")))].stage, sales::Stage::Shipped);

        // The same sheet again takes nothing: the numbers are in, the seller's own kept.
        bool canTake = true;
        whenDialogOpens(QStringLiteral("frmTSUISEKI"), [&canTake](QDialog* d) {
            canTake = child<QPushButton>(d, QStringLiteral("cmdTORIKOMU"))->isEnabled();
            press(d, "cmdCANCEL");
        });
        ui.openNames << sheet;
        press(w, "cmdTSUISEKI");
        QVERIFY(!canTake);
    }

    // A site that answers garbage, an item page that fails, a sign-in that ran out: each is said,
    // and nothing the list held or the seller typed changes.
    void aSiteThatFailsChangesNothingKept() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain main(ui);
        QVERIFY(signIn(sim, "sorabako_test"));
        SalesWindow* w = main.showSales();
        QVERIFY(refresh(w));
        QCOMPARE(w->model()->sales().size(), 2);
        select(w, QStringLiteral("h789012345"));
        child<QPlainTextEdit>(w, QStringLiteral("txtMEMO"))->setPlainText(QStringLiteral("土日発送"));
        press(w, "cmdHOZON");
        const auto sale = [&] { return w->model()->sales()[w->model()->saleIndex(rowOf(w, QStringLiteral("h789012345")))]; };

        QCOMPARE(sim.control(QStringLiteral("fault?path=/jp/show/mystatus&kind=garbage")), QStringLiteral("OK"));
        QVERIFY(refresh(w));
        QCOMPARE(
            ui.messageTexts().last(),
            QStringLiteral("出品終了分のページを読めませんでした（ページの形が違います）。\r\nこれまでの取引はそのまま残っています。"));
        QCOMPARE(w->model()->sales().size(), 2);

        QCOMPARE(sim.control(QStringLiteral("clear")), QStringLiteral("OK"));
        QVERIFY(signIn(sim, "sorabako_test"));
        QCOMPARE(sim.control(QStringLiteral("fault?path=/jp/auction/h789012345&kind=status:500")), QStringLiteral("OK"));
        QVERIFY(refresh(w));
        QVERIFY(ui.messageTexts().last().contains(QStringLiteral("1件の落札者の連絡先を読めませんでした")));
        // What the last refresh read of the winner stays; the seller's note too.
        QCOMPARE(sale().winnerName, QStringLiteral("速水 翔"));
        QCOMPARE(sale().winnerMail, QStringLiteral("speed.kids@example.jp"));
        QCOMPARE(sale().note, QStringLiteral("土日発送"));

        // Another program holds the database: the move is refused with the reason, the sale stays as
        // stored, and once the other program is done the same click goes through.
        QProcess rival;
        rival.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--helper"), QStringLiteral("hold"), HistoryStore::programFile()});
        QVERIFY(rival.waitForReadyRead(10000));
        QCOMPARE(rival.readLine().trimmed(), QByteArray("held"));
        select(w, QStringLiteral("h789012345"));
        press(w, "cmdSUSUMERU");
        QVERIFY(ui.messageTexts().last().startsWith(
            QStringLiteral("ほかのプログラムが取引のデータベースを使っているため、保存できませんでした。")));
        QCOMPARE(sale().stage, sales::Stage::Won);
        rival.write("done\n");
        QVERIFY(rival.waitForFinished(10000));
        select(w, QStringLiteral("h789012345"));
        press(w, "cmdSUSUMERU");
        QCOMPARE(sale().stage, sales::Stage::Contacted);

        QCOMPARE(sim.control(QStringLiteral("clear")), QStringLiteral("OK"));  // every sign-in forgotten
        QVERIFY(refresh(w));
        QVERIFY(ui.messageTexts().last().startsWith(QStringLiteral("ログインしていないため、出品終了分を読めませんでした。")));
        QCOMPARE(w->model()->sales().size(), 2);
        QCOMPARE(sale().note, QStringLiteral("土日発送"));

        // An amount field takes an amount only; what was typed and not saved is saved when the window closes.
        auto* fee = child<QLineEdit>(w, QStringLiteral("txtSOURYOU"));
        select(w, QStringLiteral("h789012345"));
        QTest::keyClicks(fee, QStringLiteral("9x8,0"));
        QCOMPARE(fee->text(), QStringLiteral("98,0"));
        fee->clear();
        QTest::keyClicks(fee, QStringLiteral("980"));
        QVERIFY(w->close());
        QTRY_VERIFY(!main.findChild<SalesWindow*>());
        HistoryStore store(HistoryStore::programFile());
        QCOMPARE(store.open(), HistoryStore::Opened::Ok);
        const auto rows = salestable::all(store);
        QVERIFY(rows);
        for (const salestable::Row& r : *rows)
            if (r.auctionId == QLatin1String("h789012345")) QCOMPARE(r.shippingFee, 980);
    }
};

SORABAKO_GUI_TEST_MAIN_WITH_HELPER(TestSalesWindow, helper)
#include "tst_saleswindow.moc"
