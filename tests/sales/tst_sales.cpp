#include <QtTest>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>
#include <csignal>

#include "store/HistoryStore.h"
#include "store/SalesTable.h"

#include "sales/Deadlines.h"
#include "sales/ReplyAddress.h"
#include "sales/SaleRecord.h"
#include "sales/Sale.h"
#include "sales/SaleMail.h"
#include "sales/SalesMoney.h"
#include "sales/TrackingImport.h"
#include "core/Cp932.h"
#include "core/Csv.h"

using namespace sales;

namespace {
QDateTime at(int day, int hour) { return QDateTime(QDate(2026, 12, day), QTime(hour, 0)); }

Sale endedOn(const QString& id, int day, int hour) {
    Sale s;
    s.auctionId = id;
    s.ended = at(day, hour);
    return s;
}
}  // namespace

namespace {
constexpr int kBatch = 40;

// The helper's side: a program that refreshes its sales and moves each new one on, round after
// round, until it is killed.
int refreshAndMoveForever(const QStringList& args) {
    HistoryStore store(args.value(0));
    if (store.open() != HistoryStore::Opened::Ok) return 1;
    for (int round = 0;; ++round) {
        QList<salestable::Row> seen;
        for (int i = 0; i < kBatch; ++i) {
            salestable::Row r;
            r.auctionId = QStringLiteral("r%1_%2").arg(QCoreApplication::applicationPid()).arg(round * kBatch + i);
            r.winnerId = QStringLiteral("buyer_%1").arg(i);
            r.title = QStringLiteral("空箱文庫 第%1巻").arg(i);
            r.price = 500 + i;
            r.ended = QDateTime::currentDateTime();
            seen << r;
        }
        if (!salestable::storeSeen(store, seen)) return 2;
        QTextStream(stdout) << "stored" << Qt::endl;  // the test kills it somewhere after a given round
        const std::optional<QList<salestable::Row>> all = salestable::all(store);
        if (!all) return 3;
        for (const salestable::Row& row : *all) {
            Sale sale = fromRow(row);
            if (sale.stage != Stage::Won) continue;
            moveOn(sale, QDateTime::currentDateTime());
            if (!salestable::storeSellers(store, toRow(sale))) return 4;
        }
    }
}
}  // namespace

class TestSales : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aSaleMovesOneStageAtATimeAndTheLastMoveCanBeTakenBack() {
        Sale s = endedOn(QStringLiteral("x100"), 1, 21);
        QVERIFY(moveOn(s, at(2, 9)));
        QVERIFY(moveOn(s, at(3, 20)));
        QCOMPARE(stageName(s.stage), QStringLiteral("住所確認"));
        QCOMPARE(s.reached(Stage::Won), at(1, 21));
        QCOMPARE(s.reached(Stage::Contacted), at(2, 9));
        QVERIFY(!s.reached(Stage::Paid).isValid());
        QVERIFY(undo(s));
        QCOMPARE(stageName(s.stage), QStringLiteral("連絡済"));
        QVERIFY(!s.reached(Stage::AddressKnown).isValid());
        // Reached again after an undo: the new date is the stage's.
        QVERIFY(moveOn(s, at(4, 8)));
        QCOMPARE(s.reached(Stage::AddressKnown), at(4, 8));

        // 取消 needs a reason, and its undo gives the stage back without one.
        QVERIFY(!cancel(s, CancelReason::None, at(5, 8)));
        QVERIFY(cancel(s, CancelReason::Winner, at(5, 8)));
        QCOMPARE(stageName(s.stage), QStringLiteral("取消"));
        QCOMPARE(cancelReasonName(s.cancelReason), QStringLiteral("落札者都合"));
        QVERIFY(!moveOn(s, at(5, 9)));
        QVERIFY(undo(s));
        QCOMPARE(stageName(s.stage), QStringLiteral("住所確認"));
        QCOMPARE(s.cancelReason, CancelReason::None);

        while (moveOn(s, at(6, 8))) {
        }
        QCOMPARE(stageName(s.stage), QStringLiteral("評価済"));
        QVERIFY(!cancel(s, CancelReason::Seller, at(7, 8)));
        for (Stage stage : allStages()) QCOMPARE(stageNamed(stageName(stage)), std::optional<Stage>(stage));
    }

    // The site's rules by hand: the first mail within a day of the end, the reply within 3 days of
    // it, the payment within 7 days of the end, the parcel within 3 days of the payment.
    void salesPastTheirLimitAreCountedForTheBottomBar() {
        const QDateTime now = at(10, 12);
        Sale fresh = endedOn(QStringLiteral("a"), 10, 9);   // 連絡待ち, due 11th 9:00
        Sale unpaid = endedOn(QStringLiteral("b"), 1, 20);  // 入金待ち, due 8th 20:00: 2 days over
        moveOn(unpaid, at(2, 8));
        moveOn(unpaid, at(3, 8));
        Sale unpaidInTime = endedOn(QStringLiteral("c"), 5, 20);  // 入金待ち, due 12th
        moveOn(unpaidInTime, at(6, 8));
        moveOn(unpaidInTime, at(6, 9));
        Sale toShip = endedOn(QStringLiteral("d"), 1, 20);  // 発送待ち, paid 7th 10:00, due 10th 10:00: 2 hours over
        for (const QDateTime& when : {at(2, 8), at(3, 8), at(7, 10)}) moveOn(toShip, when);
        Sale done = endedOn(QStringLiteral("e"), 1, 20);
        while (moveOn(done, at(2, 8))) {
        }
        Sale cancelled = endedOn(QStringLiteral("f"), 1, 20);
        cancel(cancelled, CancelReason::Seller, at(2, 8));

        const Limits limits;
        QCOMPARE(deadline(unpaid, limits, now)->daysOver, 2);
        QCOMPARE(deadline(toShip, limits, now)->daysOver, 1);
        QVERIFY(!deadline(unpaidInTime, limits, now)->over());
        QVERIFY(!deadline(done, limits, now));
        QVERIFY(!deadline(cancelled, limits, now));

        const QList<Sale> all{fresh, unpaid, unpaidInTime, toShip, done, cancelled};
        QCOMPARE(summary(waiting(all, limits, now)),
                 QStringLiteral("連絡待ち 1件、入金待ち 2件（期限切れ 1件）、発送待ち 1件（期限切れ 1件）"));
        // The seller's own limits: a week to ship is no longer late.
        Limits patient;
        patient.shipping = 7;
        QCOMPARE(summary(waiting(all, patient, now)), QStringLiteral("連絡待ち 1件、入金待ち 2件（期限切れ 1件）、発送待ち 1件"));
        QCOMPARE(summary(waiting({done, cancelled}, limits, now)), QString());
    }

    // As the database keeps it and back: a stage reached, undone and reached again keeps its date.
    void aSaleComesBackFromItsRowAsItWent() {
        Sale s = endedOn(QStringLiteral("x200"), 3, 22);
        s.winnerId = QStringLiteral("buyer_1");
        s.title = QStringLiteral("木の小箱");
        s.price = 1200;
        moveOn(s, at(4, 9));
        moveOn(s, at(4, 18));
        cancel(s, CancelReason::Seller, at(5, 10));
        s.shipment = {QStringLiteral("ゆうパック"), QStringLiteral("1234-5678"), QDate(2026, 12, 6)};
        s.note = QStringLiteral("梱包材を多めに");
        const Sale back = fromRow(toRow(s));
        QCOMPARE(stageName(back.stage), QStringLiteral("取消"));
        QCOMPARE(back.cancelReason, CancelReason::Seller);
        QCOMPARE(back.reached(Stage::AddressKnown), at(4, 18));
        QCOMPARE(back.moves.size(), 3);
        QCOMPARE(back.shipment.tracking, s.shipment.tracking);
        QCOMPARE(back.shipment.date, s.shipment.date);
        QCOMPARE(back.note, s.note);
        Sale undone = back;
        QVERIFY(undo(undone));
        QCOMPARE(stageName(undone.stage), QStringLiteral("住所確認"));

        // A row another version wrote: what cannot be read is left out, never guessed.
        salestable::Row odd = toRow(s);
        odd.stage = QStringLiteral("保留");
        odd.moves = QStringLiteral("[[\"落札\",\"連絡済\",\"2026-12-04T00:00:00.000Z\"],[\"x\",1]]");
        const Sale read = fromRow(odd);
        QCOMPARE(stageName(read.stage), QStringLiteral("落札"));
        QCOMPARE(read.moves.size(), 1);
    }

    // Sums as a seller types them and as the shipping pane shows them.
    void sumsOfYenAsWritten() {
        QCOMPARE(yenWritten(QStringLiteral("1,030 円")), 1030);
        QCOMPARE(yenWritten(QStringLiteral("１，２００円")), 1200);
        QCOMPARE(yenWritten(QStringLiteral(" 0 ")), 0);
        QCOMPARE(yenWritten(QString()), -1);
        for (const char* no : {"不可", "----", "12a", "-500", "1234567890123456"}) QCOMPARE(yenWritten(QString::fromUtf8(no)), -2);
    }

    // Totals worked out by hand: 12,800 + 3,300 in May (fees 1,126 and 290 at 8.8 %), 800 in June;
    // the cancelled sale in May brings nothing.
    void theMonthsAddUpAsTheSellerWouldCount() {
        auto sale = [](qint64 price, const QDateTime& ended, qint64 fee, qint64 paid, qint64 cost, bool cancelled = false) {
            sales::Sale s;
            s.price = price;
            s.ended = ended;
            s.shippingFee = fee;
            s.shippingPaid = paid;
            s.itemCost = cost;
            if (cancelled) sales::cancel(s, sales::CancelReason::Winner, ended.addDays(1));
            return s;
        };
        const QList<sales::Sale> list{sale(12800, QDateTime(QDate(2026, 5, 2), QTime(21, 0)), 1000, 930, 5000),
                                      sale(3300, QDateTime(QDate(2026, 5, 31), QTime(23, 59)), -1, -1, -1),
                                      sale(9999, QDateTime(QDate(2026, 5, 10), QTime(12, 0)), 500, 500, 0, true),
                                      sale(800, QDateTime(QDate(2026, 6, 1), QTime(0, 0)), 520, 520, 100)};
        const QList<sales::Month> months = sales::byMonth(list, 8.8);
        QCOMPARE(months.size(), 2);
        QCOMPARE(months[0].month, QDate(2026, 5, 1));
        QCOMPARE(months[0].money.count, 2);
        QCOMPARE(months[0].money.price, 16100);
        QCOMPARE(months[0].money.siteFee, 1126 + 290);
        QCOMPARE(months[0].money.profit(), 16100 + 1000 - 930 - 1416 - 5000);
        QCOMPARE(months[1].money.profit(), 800 + 520 - 520 - 70 - 100);
        // A buyer of two sales comes first, the cancelled one counted but not its money.
        QList<sales::Sale> two = list;
        two[0].winnerId = two[2].winnerId = QStringLiteral("repeat_buyer");
        two[1].winnerId = QStringLiteral("a");
        two[3].winnerId = QStringLiteral("b");
        const QList<sales::Buyer> buyers = sales::buyersOf(two);
        QCOMPARE(buyers.first().winnerId, QStringLiteral("repeat_buyer"));
        QCOMPARE(buyers.first().count, 2);
        QCOMPARE(buyers.first().total, 12800);
    }

    // A stage mail takes the pane's placeholders from the pane and the sale's own from the sale.
    void aStageMailIsFilledFromTheSale() {
        sales::Sale s;
        s.auctionId = QStringLiteral("z100");
        s.title = QStringLiteral("空箱文庫 童話集");
        s.winnerName = QStringLiteral("読田 読子");
        s.price = 1500;
        s.shippingFee = 520;
        s.shipment = {QStringLiteral("ゆうパック"), QStringLiteral("1234"), QDate(2026, 6, 3)};
        const sales::PaneFill pane = [](const QString& text, const sales::PaneFacts& f) {
            return QString(text)
                .replace(QStringLiteral("<USER>"), f.user)
                .replace(QStringLiteral("<PRICE>"), f.price)
                .replace(QStringLiteral("<COST>"), f.cost);
        };
        QCOMPARE(sales::fill(QStringLiteral("<USER> 様 <AUCTIONID> <PRICE>+<COST> <CARRIER> <TRACKING> <SHIPDATE>"), s, pane, std::nullopt),
                 QStringLiteral("読田 読子 様 z100 1,500円+520 ゆうパック 1234 2026/06/03"));
        QCOMPARE(sales::subject(s, sales::Stage::Shipped), QStringLiteral("『空箱文庫 童話集』 発送のご連絡"));
        // A winner's name that reads like a formula goes to the spreadsheet as text.
        s.winnerName = QStringLiteral("=HYPERLINK(\"x\")");
        QVERIFY(sales::salesCsv({s}, 10).contains(QStringLiteral(",\"'=HYPERLINK(\"\"x\"\")\",")));
    }

    // A program killed while it refreshes and while it moves sales: on restart the database is whole,
    // every refresh is there whole or not at all, and every sale is in the stage it had or the one
    // it moved to, with its moves saying the same.
    void killedWhileRefreshingAndMovingNothingIsHalfDone() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rireki.sqlite"));
        for (int kill = 0; kill < 12; ++kill) {
            QProcess helper;
            helper.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--helper"), path});
            QVERIFY(helper.waitForStarted());
            // Killed after one to three refreshes, somewhere in the next refresh or its moves.
            int stored = 0;
            while (stored < 1 + kill % 3 && helper.waitForReadyRead(10000))
                while (helper.canReadLine()) stored += helper.readLine().startsWith("stored") ? 1 : 0;
            QCOMPARE(helper.state(), QProcess::Running);
            ::kill(static_cast<pid_t>(helper.processId()), SIGKILL);
            QVERIFY(helper.waitForFinished());
        }
        HistoryStore store(path);
        QCOMPARE(store.open(), HistoryStore::Opened::Ok);
        {
            QSqlQuery check(*store.database());
            QVERIFY(check.exec(QStringLiteral("PRAGMA integrity_check")) && check.next());
            QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
        }
        const std::optional<QList<salestable::Row>> rows = salestable::all(store);
        QVERIFY(rows && !rows->isEmpty());
        QCOMPARE(rows->size() % kBatch, 0);
        QSet<QString> keys;
        for (const salestable::Row& row : *rows) {
            QVERIFY(!keys.contains(row.auctionId + QLatin1Char('/') + row.winnerId));
            keys << row.auctionId + QLatin1Char('/') + row.winnerId;
            const Sale sale = fromRow(row);
            QVERIFY(sale.stage == Stage::Won || sale.stage == Stage::Contacted);
            QCOMPARE(sale.moves.size(), sale.stage == Stage::Won ? 0 : 1);
        }
    }

    void readsThePostcodeAndPrefectureOfAReply_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("postcode");
        QTest::addColumn<QString>("prefecture");
        QTest::addColumn<QString>("how");
        QTest::newRow("full-width, 〒") << QStringLiteral("お世話になります。\n〒１５０－０００１\n東京都渋谷区神宮前１－２－３\n山田太郎")
                                        << QStringLiteral("150-0001") << QStringLiteral("東京都") << QStringLiteral("住所の「東京都」から");
        QTest::newRow("no prefecture named") << QStringLiteral("郵便番号は６０４ー８００１、京都市中京区二条通１番地です。")
                                             << QStringLiteral("604-8001") << QStringLiteral("京都府")
                                             << QStringLiteral("郵便番号 604-8001");
        QTest::newRow("京都 inside 東京都's street") << QStringLiteral("〒100-0001 東京都千代田区京都通り1-1") << QStringLiteral("100-0001")
                                                     << QStringLiteral("東京都") << QStringLiteral("「東京都」");
        QTest::newRow("two prefectures") << QStringLiteral("実家は兵庫県ですが、送り先は 〒530-0001 大阪府大阪市北区1-1 でお願いします。")
                                         << QStringLiteral("530-0001") << QStringLiteral("大阪府") << QStringLiteral("「兵庫県」");
        QTest::newRow("a phone number is no postcode") << QStringLiteral("電話 090-1234-5678\n北海道札幌市中央区1-1") << QString()
                                                       << QStringLiteral("北海道") << QStringLiteral("「北海道」");
        QTest::newRow("seven digits together") << QStringLiteral("1000001 千代田区千代田1-1") << QStringLiteral("100-0001")
                                               << QStringLiteral("東京都") << QStringLiteral("郵便番号");
        QTest::newRow("an island's own digits") << QStringLiteral("〒817-0011 対馬市厳原町") << QStringLiteral("817-0011")
                                                << QStringLiteral("長崎県") << QStringLiteral("郵便番号");
        QTest::newRow("nothing to go by") << QStringLiteral("よろしくお願いします。") << QString() << QString() << QString();
    }
    void readsThePostcodeAndPrefectureOfAReply() {
        QFETCH(QString, reply);
        QFETCH(QString, postcode);
        QFETCH(QString, prefecture);
        QFETCH(QString, how);
        const ReplyAddress a = readReplyAddress(reply);
        QCOMPARE(a.postcode, postcode);
        QCOMPARE(a.prefecture, prefecture);
        if (how.isEmpty())
            QVERIFY(a.how.isEmpty());
        else
            QVERIFY2(a.how.contains(how), qPrintable(a.how));
    }

    // The label program's sheet as Excel saves it: each number on the sale its line names, by the
    // auction ID or by the postcode and the name; nothing the seller typed is overwritten.
    void numbersFromALabelSheet() {
        const auto sale = [](const char* id, const char* name, const char* address, Stage stage, const char* tracking) {
            Sale s;
            s.auctionId = QLatin1String(id);
            s.winnerId = s.auctionId + QStringLiteral("_w");
            s.winnerName = QString::fromUtf8(name);
            s.address = QString::fromUtf8(address);
            s.stage = stage;
            s.shipment.tracking = QLatin1String(tracking);
            return s;
        };
        const QList<Sale> list{
            sale("k100", "空野 一郎", "", Stage::Paid, ""),                                                     // 0
            sale("k101", "箱田 花子", "〒530-0001 大阪府大阪市北区箱町4-5", Stage::Paid, ""),                   // 1
            sale("k102", "宙 太郎", "", Stage::Paid, "9999-0000-1111"),                                         // 2
            sale("k103", "空野 二郎", "", Stage::Cancelled, ""),                                                // 3
            sale("k104", "箱田 三郎", "", Stage::Paid, ""),                                                     // 4
            sale("k105", "箱田 三郎", "", Stage::Paid, ""),                                                     // 5
            sale("k106", "箱田 花子", "〒530-0001 大阪府大阪市北区箱町4-5", Stage::Shipped, "7000-0000-0001"),  // 6
            sale("k107", "空野 四郎", "", Stage::Paid, ""),                                                     // 7
            sale("k108", "空野 五郎", "", Stage::Paid, ""),                                       // 8: two winners of one auction
            sale("k108", "箱田 六郎", "", Stage::Paid, ""),                                       // 9
            sale("k110", "箱田 花子", "〒530-0001 大阪府大阪市北区箱町4-5", Stage::Shipped, ""),  // 10: sent, no number
            sale("k111", "空野 七郎", "", Stage::Paid, "777788889999"),                           // 11: typed bare
        };
        const QByteArray sheet =
            cp932::encode(QStringLiteral("発送データ\r\n"
                                         "お客様管理番号,お届け先名,郵便番号,お問い合わせ番号,出荷予定日\r\n"
                                         "K100,空野 一郎,060-0042,１２３４－５６７８－９０１２,2026/12/10\r\n"
                                         ",箱田花子,５３０－０００１,2222-3333-4444,2026年12月11日\r\n"
                                         "k102,宙 太郎,900-0015,3333-4444-5555,\r\n"
                                         "k103,空野 二郎,810-0001,4444-5555-6666,\r\n"
                                         "k104,箱田 三郎,980-0811,5555-6666-7777,\r\n"
                                         "\"k104 k105\",箱田 三郎,980-0811,5555-6666-7777,\r\n"
                                         "k107,空野 四郎,100-0001,6000-0000-0001,\r\n"
                                         "k107,空野 四郎,100-0001,6000-0000-0002,\r\n"
                                         "k999,誰か,100-0001,8888-9999-0000,\r\n"
                                         "k100,空野 一郎,060-0042,,\r\n"
                                         "k108,箱田 六郎,100-0001,1111-2222-3333,\r\n"
                                         "k108,誰か,100-0001,1111-2222-4444,\r\n"
                                         "k111,空野 七郎,100-0001,７７７７－８８８８－９９９９,\r\n"));
        const TrackingFile file = readTrackingFile(csv::read(sheet), list);
        QVERIFY2(file.problem.isEmpty(), qPrintable(file.problem));
        using O = TrackingLine::Outcome;
        const QList<O> outcomes{O::Take,  O::Take,     O::Different, O::Ended, O::Take,      O::Take, O::Twice,
                                O::Twice, O::NotFound, O::NoNumber,  O::Take,  O::Ambiguous, O::Same};
        QCOMPARE(file.lines.size(), outcomes.size());
        for (int i = 0; i < outcomes.size(); ++i) QVERIFY2(file.lines[i].outcome == outcomes[i], qPrintable(QString::number(i)));
        QCOMPARE(file.lines[0].line, 3);
        QCOMPARE(file.lines[0].tracking, QStringLiteral("1234-5678-9012"));
        QCOMPARE(file.lines[0].sales, QList<int>{0});
        QCOMPARE(file.lines[0].date, QDate(2026, 12, 10));
        // No ID: the sale to that postcode and name still waiting for its number, not those sent.
        QCOMPARE(file.lines[1].sales, QList<int>{1});
        QCOMPARE(file.lines[1].date, QDate(2026, 12, 11));
        QCOMPARE(file.lines[1].how, QStringLiteral("郵便番号と名前"));
        QCOMPARE(file.lines[5].sales, (QList<int>{4, 5}));  // two auctions in one parcel, one on a line before
        QCOMPARE(file.lines[10].sales, QList<int>{9});      // the winner of the auction the line names

        // A sheet without a number column is refused with what to choose instead.
        const TrackingFile other = readTrackingFile(csv::read(QByteArrayLiteral("ID,name\r\nk100,x\r\n")), list);
        QVERIFY(other.lines.isEmpty());
        QVERIFY(other.problem.startsWith(QStringLiteral("追跡番号の列が見つかりません。")));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc >= 2 && qstrcmp(argv[1], "--helper") == 0) return refreshAndMoveForever(app.arguments().mid(2));
    TestSales tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_sales.moc"
