// 取引一覧, both ways in the same run:
//  - the window opened on a database of many sales and a search applied, against a bare table
//    view over the same query with a filter proxy;
//  - a refresh of the closed listings (every page, then each item page) against its floor: the
//    requests it makes times the site's latency, divided by the requests it keeps in flight;
//  - the seller's actions (clicks, keys, dialog answers) per sale from the auction's end to 発送済
//    with its three mails: by hand with the mail pane (template, the auction's link in 出品終了分,
//    メーラー起動; the fee found in the shipping pane for the winner's prefecture and typed into
//    the pane's 送料; the carrier typed over the notice's placeholder, the tracking number and the
//    ship date copied from the label program's sheet over theirs), against 取引一覧 (several
//    sales selected move and get their mails together; each winner's reply pasted into
//    返信から送料; the same sheet taken in by 追跡番号をCSVから). Then again on five more sales
//    with each number typed from its slip both ways, for comparison.
//    Each action is a real click or key given to the program (Japanese through the input method,
//    its keys counted), and each way has to hand over the same whole mails (no placeholder left,
//    the fee the shipping pane answers, the carrier, tracking number and date) and reach the
//    stages it claims, so a step left out fails the run.
//   bench_sales <runs> <sales> <site base> <latency ms> <auctions to end> <program folder pointing at the site>
// The site's test account gets that many more closed listings with a winner first.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QInputMethodEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrlQuery>
#include <QDeadlineTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

#include "Median.h"

#include "app/fMain.h"
#include "core/Cp932.h"
#include "core/ProgramFolder.h"
#include "mail/MailPane.h"
#include "shipping/ShippingPane.h"
#include "widgets/Grid.h"
#include "widgets/Browser.h"
#include "core/UiServices.h"
#include "sales/SalesModel.h"
#include "sales/SalesRefresh.h"
#include "sales/SalesWindow.h"
#include "store/HistoryStore.h"
#include "store/SalesTable.h"

namespace {
int actions = 0;  // the seller's clicks, keys and dialog answers so far
int mailsHanded = 0;

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

class Quiet : public UiServices {
public:
    Answer message(const QString&, const QString&, Icon, Buttons, QObject*) override {
        ++actions;
        return Answer::Ok;
    }
    // A file dialog: the file clicked and 開く.
    QString openFileName(const QString&, const QString&, QObject*) override {
        if (!file.isEmpty()) actions += 2;
        return std::exchange(file, QString());
    }
    QString file;  // what the seller picks in the next file dialog
    QString saveFileName(const QString&, const QString&, QObject*) override { return {}; }
    QString folderName(const QString&, QObject*) override { return {}; }
    bool chooseColor(unsigned int*, QObject*) override { return false; }
    void setClipboardText(const QString&) override {}
    QString clipboardText() override { return {}; }
    bool openWithDesktop(const QUrl&) override { return false; }
    bool sendMail(const QString& mailto) override;
    void setBusy(bool) override {}
};

bool fill(const QString& path, int count) {
    HistoryStore store(path);
    if (store.open() != HistoryStore::Opened::Ok) return false;
    QList<salestable::Row> rows;
    const QDateTime start = QDateTime::currentDateTime().addDays(-400);
    for (int i = 0; i < count; ++i) {
        salestable::Row r;
        r.auctionId = QStringLiteral("s%1").arg(100000000 + i);
        r.winnerId = QStringLiteral("buyer_%1").arg(i % 3000);
        r.winnerName = QStringLiteral("空野 %1").arg(i % 97);
        r.title = QStringLiteral("空箱文庫 手作りの小物入れ 第%1号").arg(i);
        r.price = 500 + (i * 37) % 20000;
        r.ended = start.addSecs(i * 3400);
        rows << r;
    }
    if (!salestable::storeSeen(store, rows)) return false;
    // A seller's sales over years are mostly done: all but the last month's are 評価済.
    return store.inTransaction([&](QSqlDatabase& db) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("UPDATE sales SET stage = '評価済' WHERE ended < ?"));
        q.addBindValue(HistoryStore::stamp(QDateTime::currentDateTime().addDays(-30)));
        return q.exec();
    });
}

// The seller's look: the window open with its list, then a search typed.
double openAndSearch(Quiet& ui, const QString& path) {
    QElapsedTimer clock;
    clock.start();
    SalesWindow window(ui, path, {});
    window.show();
    QCoreApplication::processEvents();
    auto* search = window.findChild<QLineEdit*>(QStringLiteral("txtKENSAKU"));
    search->setText(QStringLiteral("第77"));
    QCoreApplication::processEvents();
    const double ms = clock.nsecsElapsed() / 1e6;
    if (window.model()->rowCount() == 0) return -1;
    return ms;
}

double bareTable(const QString& path) {
    QElapsedTimer clock;
    clock.start();
    double ms = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
        db.setDatabaseName(path);
        db.open();
        QSqlQueryModel model;
        model.setQuery(QStringLiteral("SELECT auction, winner, title, winner_name, winner_mail, price, ended, seen, stage, moves, carrier, "
                                      "tracking, shipped, cancel_reason, note, address, shipping_fee, shipping_paid, item_cost "
                                      "FROM sales ORDER BY ended DESC, auction, seen"),
                       db);
        while (model.canFetchMore()) model.fetchMore();
        QSortFilterProxyModel proxy;
        proxy.setSourceModel(&model);
        QTableView view;
        view.setModel(&proxy);
        view.show();
        QCoreApplication::processEvents();
        proxy.setFilterKeyColumn(2);
        proxy.setFilterFixedString(QStringLiteral("第77"));
        QCoreApplication::processEvents();
        ms = clock.nsecsElapsed() / 1e6;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bare"));
    return ms;
}

// One refresh with a fresh session on the site; its time, the requests it made and their most in flight.
bool endAuctions(const QString& base, int count, const QString& account = QStringLiteral("sorabako_test")) {
    QNetworkAccessManager net;
    QNetworkReply* reply =
        net.get(QNetworkRequest(QUrl(base + QStringLiteral("/__sim/endmany?account=%1&count=%2").arg(account).arg(count))));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    const bool ok = (reply->isFinished() || finished.wait(30000)) && reply->error() == QNetworkReply::NoError;
    reply->deleteLater();
    return ok;
}

double refreshOnce(const QString& base, int* requests) {
    QNetworkAccessManager net;
    QNetworkReply* signin = net.get(QNetworkRequest(QUrl(base + QStringLiteral("/__sim/signin?login=sorabako_test"))));
    QSignalSpy signedIn(signin, &QNetworkReply::finished);
    if (!signin->isFinished() && !signedIn.wait(10000)) return -1;
    signin->deleteLater();
    SalesRefresh refresh(net);
    QSignalSpy done(&refresh, &SalesRefresh::finished);
    QElapsedTimer clock;
    clock.start();
    refresh.start(base + QStringLiteral("/jp/show/mystatus?select=closed&hasWinner=1"));
    if (!done.wait(600000) || refresh.problem() != SalesRefresh::Problem::None) return -1;
    *requests = refresh.pagesRead() + static_cast<int>(refresh.rows().size());
    return clock.nsecsElapsed() / 1e6;
}
bool waitUntil(const std::function<bool()>& done, int ms = 60000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
void click(QWidget* w) {
    ++actions;
    QTest::mouseClick(w, Qt::LeftButton);
}
void typeText(QWidget* w, const QString& text) {
    actions += static_cast<int>(text.size());
    QTest::keyClicks(w, text);
}
// Japanese comes through the input method: the keys typed (romaji, the conversion, its
// confirmation) are counted, and the text arrives as the input method commits it.
void typeJapanese(QWidget* w, const QString& text, int keysTyped) {
    actions += keysTyped;
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(w, &commit);
}
void clickRow(QTableView* view, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    ++actions;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, view->visualRect(view->model()->index(row, 2)).center());
}
void pickFrom(QComboBox* box, const QString& item) {
    actions += 2;  // the list opened, the item picked
    box->setCurrentText(item);
}

// What the winners wrote back (invented addresses), one per sale, and what the seller ships.
const QStringList kReplies{
    QStringLiteral("〒060-0042 北海道札幌市中央区空町1-2-3\n空野 一郎"), QStringLiteral("〒530-0001 大阪府大阪市北区箱町4-5\n箱田 花子"),
    QStringLiteral("〒900-0015 沖縄県那覇市ソラ通り6-7\n宙 太郎"), QStringLiteral("〒810-0001 福岡県福岡市中央区空箱8\n空野 二郎"),
    QStringLiteral("〒980-0811 宮城県仙台市青葉区箱丁9-10\n箱田 三郎")};
const QStringList kPrefectures{QStringLiteral("北海道"), QStringLiteral("大阪府"), QStringLiteral("沖縄県"), QStringLiteral("福岡県"),
                               QStringLiteral("宮城県")};
const QStringList kSides{QStringLiteral("30"), QStringLiteral("20"), QStringLiteral("15")};
const QString kGrams = QStringLiteral("1000");
const QString kCarrier = QStringLiteral("ゆうパック");
constexpr int kCarrierKeys = 10;    // y u u p a k k u, Space, Enter
constexpr int kCarrierService = 6;  // its place among the shipping pane's ways
QString trackingOf(int sale) { return QStringLiteral("1234-5678-90%1%1").arg(sale); }
QString today() { return QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")); }

// The label program's sheet, as it saves the labels the seller printed: the auction ID in the
// label's reference field, the number, the day. Both ways have it: by hand it is open in the
// spreadsheet to copy from.
QString labelSheet(const QString& folder, const QStringList& ids) {
    QString text = QStringLiteral("お客様管理番号,お届け先名,お問い合わせ番号,出荷予定日\r\n");
    for (int i = 0; i < ids.size(); ++i)
        text += QStringLiteral("%1,%2,%3,%4\r\n").arg(ids[i], kReplies[i].section(QLatin1Char('\n'), 1), trackingOf(i), today());
    const QString path = QDir(folder).filePath(QStringLiteral("送り状.csv"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(cp932::encode(text)) < 0) return {};
    return path;
}
// A cell of the sheet open in the spreadsheet, clicked and copied, pasted with Ctrl+V over what
// is selected.
void pasteFromSheet(QPlainTextEdit* body, const QString& cell) {
    actions += 3;
    body->insertPlainText(cell);
}

// The mails handed to the mail program, by the winner's address, in the order they left, and
// the winners in the order their first mails left.
QHash<QString, QStringList> handed;
QStringList winnersInOrder;
bool Quiet::sendMail(const QString& mailto) {
    ++mailsHanded;
    const QString to = QUrl(mailto).path();
    if (!handed.contains(to)) winnersInOrder << to;
    handed[to] << QUrlQuery(QUrl(mailto).query(QUrl::FullyEncoded)).queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
    return true;
}

// Each way has to hand over, per sale, three whole mails: no placeholder left, the payment mail with
// the fee the shipping pane answers for the winner's prefecture, the notice with the carrier, the
// tracking number and the date.
bool mailsAreWhole(const QStringList& winners, const QStringList& fees) {
    static const QRegularExpression placeholder(QStringLiteral("<[A-Z]+[0-9]*>"));
    for (int i = 0; i < winners.size(); ++i) {
        const QStringList mails = handed.value(winners[i]);
        const auto fail = [&](const QString& why) {
            QTextStream(stderr) << "bench_sales: the mails to " << winners[i] << ": " << why << "\n";
            return false;
        };
        if (mails.size() != 3) return fail(QStringLiteral("%1 mails").arg(mails.size()));
        for (const QString& m : mails)
            if (m.contains(placeholder)) return fail(QStringLiteral("a placeholder left: ") + placeholder.match(m).captured());
        if (!mails[1].contains(QStringLiteral("送料 %1 円").arg(fees[i]))) return fail(QStringLiteral("no fee ") + fees[i]);
        const QStringList facts{QStringLiteral("配送方法　　　：") + kCarrier, QStringLiteral("お問い合わせ番号：") + trackingOf(i),
                                QStringLiteral("発送日　　　　：") + today()};
        for (const QString& fact : facts)
            if (!mails[2].contains(fact)) return fail(QStringLiteral("no ") + fact);
    }
    return true;
}

// By hand: the thanks mail to each from its template and the auction's link in 出品終了分; when
// the replies are in, each fee found in the shipping pane and typed into the mail pane for the
// payment mail; the notice with the carrier, tracking number and date typed over its placeholders.
bool byHand(fMain& w, const QStringList& ids, bool fromSheet, QStringList* fees) {
    MailPane* pane = w.mailPane();
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("vsMAIN"));
    auto* combo = pane->findChild<QComboBox*>(QStringLiteral("Combo10"));
    auto* body = pane->findChild<QPlainTextEdit*>(QStringLiteral("txtHONBUN"));
    auto* mailer = pane->findChild<QPushButton*>(QStringLiteral("cmdMAILER"));
    auto* cost = pane->findChild<QLineEdit*>(QStringLiteral("imNumber2"));
    ShippingPane* shipping = w.shippingPane();
    const auto tab = [&](int index) {
        ++actions;
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center());
    };
    const auto mail = [&](const QString& id, const QString& name, const std::function<void()>& edit) {
        pickFrom(combo, name);
        body->clear();
        ++actions;  // the auction's link in 出品終了分
        if (!w.WB2()
                 ->evaluate(
                     QStringLiteral("var e=document.querySelector('a[href$=\"/jp/auction/%1\"]');if(!e)return false;e.click();return true;")
                         .arg(id))
                 .value.toBool())
            return false;
        if (!waitUntil([&] { return !body->toPlainText().isEmpty(); })) return false;
        if (edit) edit();
        click(mailer);
        return true;
    };
    for (const QString& id : ids)
        if (!mail(id, QStringLiteral("落札のお礼とお支払いのご案内"), {})) return false;
    for (int i = 0; i < ids.size(); ++i) {
        tab(1);
        if (i == 0) {  // the parcel and the way, once: the pane keeps them
            for (int side = 0; side < 3; ++side) {
                auto* edit = shipping->findChild<QLineEdit*>(QStringLiteral("imNumber1_%1").arg(side));
                click(edit);
                typeText(edit, kSides[side]);
            }
            auto* weight = shipping->findChild<QComboBox*>(QStringLiteral("Combo8"));
            click(weight->lineEdit());
            typeText(weight->lineEdit(), kGrams);
            click(shipping->findChild<QCheckBox*>(QStringLiteral("ckHOUHOU_%1").arg(kCarrierService)));
        }
        pickFrom(shipping->findChild<QComboBox*>(QStringLiteral("cmbKEN_1")), kPrefectures[i]);
        click(shipping->findChild<QPushButton*>(QStringLiteral("Command15")));
        QString fee = shipping->findChild<Grid*>(QStringLiteral("vsSOURYOU"))->text(kCarrierService + 1, 1);
        fee.remove(QLatin1Char(',')).remove(QStringLiteral(" 円"));
        if (fee.toInt() <= 0) return false;
        *fees << fee;
        tab(0);
        click(cost);
        if (!cost->text().isEmpty()) {  // the last sale's fee, selected by a double click
            ++actions;
            QTest::mouseDClick(cost, Qt::LeftButton);
        }
        typeText(cost, fee);
        if (!mail(ids[i], QStringLiteral("入金確認と発送のご連絡"), {})) return false;
    }
    if (fromSheet) actions += 2;  // the sheet opened in the spreadsheet
    for (int i = 0; i < ids.size(); ++i) {
        const auto select = [&](const QString& placeholder) {
            actions += 2;  // a click before it, a shift-click after it
            body->setTextCursor(body->document()->find(placeholder));
        };
        const bool ok = mail(ids[i], QStringLiteral("発送完了のご連絡"), [&] {
            select(QStringLiteral("<CARRIER>"));
            typeJapanese(body, kCarrier, kCarrierKeys);
            select(QStringLiteral("<TRACKING>"));
            fromSheet ? pasteFromSheet(body, trackingOf(i)) : typeText(body, trackingOf(i));
            select(QStringLiteral("<SHIPDATE>"));
            fromSheet ? pasteFromSheet(body, today()) : typeText(body, today());
        });
        if (!ok) return false;
    }
    return true;
}

// Runs `answer` on each window of that name as it is shown (the program's modal dialogs).
class OnDialog : public QObject {
public:
    OnDialog(const char* name, std::function<void(QWidget*)> answer) : m_name(QLatin1String(name)), m_answer(std::move(answer)) {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == m_name && top->isVisible() && top != m_last) {
                    m_last = top;
                    m_answer(top);
                }
        });
        m_timer.start(30);
    }

private:
    QString m_name;
    std::function<void(QWidget*)> m_answer;
    QTimer m_timer;
    QPointer<QWidget> m_last;
};

// With 取引一覧: the sales selected together get each stage's mails one after the other, and
// 返信から送料 one after the other (each reply pasted, the parcel typed for the first sale only);
// the label sheet taken in, which chooses its sales for their notices.
bool withTheList(fMain& w, Quiet& ui, const QString& sheet, int count) {
    const auto fails = [](const char* what) {
        QTextStream(stderr) << "bench_sales: with 取引一覧, " << QString::fromUtf8(what) << "\n";
        return false;
    };
    click(w.mailPane()->findChild<QPushButton*>(QStringLiteral("cmdTORIHIKI")));
    auto* list = w.findChild<SalesWindow*>();
    if (!list) return fails("no 取引一覧");
    QSignalSpy refreshed(list, &SalesWindow::refreshed);
    click(list->findChild<QPushButton*>(QStringLiteral("cmdKOUSHIN")));
    if (!refreshed.wait(120000)) return fails("the refresh did not end");
    auto* view = list->findChild<QTableView*>(QStringLiteral("grdTORIHIKI"));
    // Each mail shown is read and handed over with one click on メーラー起動.
    OnDialog mails("frmTORIHIKI_MAIL", [](QWidget* d) { click(d->findChild<QPushButton*>(QStringLiteral("cmdMAILER"))); });
    const auto selectAll = [&] {
        clickRow(view, 0);
        clickRow(view, count - 1, Qt::ShiftModifier);
    };
    const auto button = [&](const char* name) { click(list->findChild<QPushButton*>(QLatin1String(name))); };
    selectAll();
    button("cmdMAIL");
    {
        int sale = 0;  // the dialogs come in the list's order, the newest first as 出品終了分
        OnDialog fee("frmHENSHIN_SOURYOU", [&sale](QWidget* d) {
            actions += 2;  // the reply selected and copied in the mail program
            auto* reply = d->findChild<QPlainTextEdit*>(QStringLiteral("txtHENSHIN"));
            if (!reply->hasFocus()) click(reply);
            ++actions;  // Ctrl+V
            reply->insertPlainText(kReplies[sale]);
            if (sale == 0) {
                const char* sides[] = {"txtTATE", "txtYOKO", "txtATSUSA"};
                for (int i = 0; i < 3; ++i) {
                    auto* side = d->findChild<QLineEdit*>(QLatin1String(sides[i]));
                    click(side);
                    typeText(side, kSides[i]);
                }
                auto* grams = d->findChild<QLineEdit*>(QStringLiteral("txtJUURYOU"));
                click(grams);
                typeText(grams, kGrams);
                pickFrom(d->findChild<QComboBox*>(QStringLiteral("cboHOUHOU")), kCarrier);
            }
            ++sale;
            click(d->findChild<QPushButton*>(QStringLiteral("cmdKETTEI")));
        });
        selectAll();
        button("cmdHENSHIN");
        if (sale != count) return fails("返信から送料 did not open for each sale");
    }
    selectAll();
    button("cmdSUSUMERU");
    button("cmdMAIL");
    if (!sheet.isEmpty()) {
        OnDialog take("frmTSUISEKI", [](QWidget* d) { click(d->findChild<QPushButton*>(QStringLiteral("cmdTORIKOMU"))); });
        ui.file = sheet;
        button("cmdTSUISEKI");
        if (view->selectionModel()->selectedRows().size() != count) return fails("the sheet's sales are not chosen");
    } else {  // each number typed from its slip
        for (int row = 0; row < count; ++row) {
            clickRow(view, row);
            auto* tracking = list->findChild<QLineEdit*>(QStringLiteral("txtTSUISEKI"));
            click(tracking);
            typeText(tracking, trackingOf(row));
        }
        selectAll();
    }
    button("cmdMAIL");
    for (int row = 0; row < count; ++row) {
        const sales::Sale& s = list->model()->sales()[list->model()->saleIndex(row)];
        if (s.stage != sales::Stage::Shipped || s.shipment.tracking != trackingOf(row))
            return fails("a sale is not 発送済 with its number");
    }
    return true;
}

bool say(const char* what) {
    QTextStream(stderr) << "bench_sales: " << QString::fromUtf8(what) << "\n";
    return false;
}

// The newest `count` sales taken to 発送済 both ways, the numbers from the label sheet or typed.
bool countActions(const QString& folder, const QString& base, int count, bool fromSheet, const QString& account) {
    ProgramFolder::setRoot(folder);
    Quiet ui;
    fMain w(ui);
    w.resize(1280, 700);
    w.show();
    {
        Browser signin;
        QSignalSpy done(&signin, &Browser::DocumentComplete);
        signin.Navigate2(base + QStringLiteral("/__sim/signin?login=") + account);
        if (!done.wait(30000)) return false;
    }
    // Set once, long before: where the seller ships from.
    w.shippingPane()->findChild<QComboBox*>(QStringLiteral("cmbKEN_0"))->setCurrentText(QStringLiteral("東京都"));
    QSignalSpy loaded(w.WB2(), &Browser::DocumentComplete);
    w.Command18_Click();
    if (!loaded.wait(30000)) return false;
    // The newest sales, as 出品終了分 and 取引一覧 both list them first.
    QStringList ids;
    for (int i = 0; i < count; ++i)
        ids << w.WB2()
                   ->evaluate(QStringLiteral("var a=document.querySelectorAll('#closed a');return a[%1]?a[%1].textContent:'';").arg(i))
                   .value.toString();
    if (ids.contains(QString())) return false;
    // Each way's winners in the order of their sales (their first mails left in that order), and
    // each way has to hand over the same whole mails.
    const QString sheet = fromSheet ? labelSheet(folder, ids) : QString();
    if (fromSheet && sheet.isEmpty()) return say("the label sheet could not be written");
    QStringList fees;
    handed.clear();
    winnersInOrder.clear();
    actions = mailsHanded = 0;
    if (!byHand(w, ids, fromSheet, &fees)) return say("by hand, a step did not go through");
    if (winnersInOrder.size() != count || !mailsAreWhole(winnersInOrder, fees)) return say("by hand, the mails are not whole");
    const QStringList winners = winnersInOrder;
    const int hand = actions;
    actions = mailsHanded = 0;
    handed.clear();
    winnersInOrder.clear();
    if (!withTheList(w, ui, sheet, count)) return say("with 取引一覧, a step did not go through");
    if (winnersInOrder != winners || !mailsAreWhole(winnersInOrder, fees)) return say("with 取引一覧, the mails are not whole");
    const int list = actions;
    out() << QStringLiteral(
                 "the seller's actions for %1 sales to 発送済 with their three mails whole (clicks, keys, dialog answers), %6: "
                 "by hand %2 (%3 per sale), with 取引一覧 %4 (%5 per sale)\n")
                 .arg(count)
                 .arg(hand)
                 .arg(double(hand) / count, 0, 'f', 1)
                 .arg(list)
                 .arg(double(list) / count, 0, 'f', 1)
                 .arg(fromSheet ? QStringLiteral("the numbers from the label program's sheet")
                                : QStringLiteral("the numbers typed from the slips"));
    if (fromSheet)
        out() << QStringLiteral("ratio 取引一覧/by hand: %1 (goal: at most 0.33)\n").arg(double(list) / hand, 0, 'f', 2);
    else
        out() << QStringLiteral("ratio 取引一覧/by hand, the numbers typed: %1 (for comparison; each typed number is 14 keys both ways)\n")
                     .arg(double(list) / hand, 0, 'f', 2);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 7) {
        QTextStream(stderr) << "usage: bench_sales <runs> <sales> <site base> <latency ms> <auctions to end> <program folder>\n";
        return 2;
    }
    const int runs = args[1].toInt(), count = args[2].toInt(), latency = args[4].toInt();
    QTemporaryDir dir;
    ProgramFolder::setRoot(dir.path());
    const QString path = dir.filePath(QStringLiteral("rireki.sqlite"));
    if (!fill(path, count)) {
        QTextStream(stderr) << "bench_sales: the sales could not be stored\n";
        return 1;
    }
    Quiet ui;
    QList<double> program, bare;
    for (int i = 0; i < runs; ++i) {
        program << openAndSearch(ui, path);
        bare << bareTable(path);
    }
    if (program.contains(-1)) return 1;
    out() << QStringLiteral("取引一覧 on %1 sales, opened and searched: program %2 ms, bare table view %3 ms (medians of %4)\n")
                 .arg(count)
                 .arg(median(program), 0, 'f', 1)
                 .arg(median(bare), 0, 'f', 1)
                 .arg(runs);
    out() << QStringLiteral("ratio program/bare: %1 (goal: at most 1.50)\n").arg(median(program) / median(bare), 0, 'f', 2);

    int requests = 0;
    if (!endAuctions(args[3], args[5].toInt())) {
        QTextStream(stderr) << "bench_sales: the site did not end the auctions\n";
        return 1;
    }
    const double ms = refreshOnce(args[3], &requests);
    if (ms < 0) {
        QTextStream(stderr) << "bench_sales: the refresh did not finish\n";
        return 1;
    }
    const double floor = double(requests) * latency / SalesRefresh::kInFlight;
    out() << QStringLiteral("refresh of the closed listings (%1 requests at %2 ms, %3 in flight): %4 ms, floor %5 ms\n")
                 .arg(requests)
                 .arg(latency)
                 .arg(SalesRefresh::kInFlight)
                 .arg(ms, 0, 'f', 0)
                 .arg(floor, 0, 'f', 0);
    out() << QStringLiteral("ratio refresh/floor: %1 (goal: at most 1.30)\n").arg(ms / floor, 0, 'f', 2);

    // With the label sheet; then, by another seller on a database of their own (the sales of one
    // minute end in the same minute, and the lists would mix the two rounds), with the numbers typed.
    const auto startAfresh = [&] {
        ProgramFolder::setRoot(args[6]);
        const QString database = HistoryStore::programFile();
        for (const char* end : {"-wal", "-shm"}) QFile::remove(database + QLatin1String(end));
        return QFile::remove(database);
    };
    if (!endAuctions(args[3], 5, QStringLiteral("sorabako_demo")) ||
        !countActions(args[6], args[3], 5, true, QStringLiteral("sorabako_test")) || !startAfresh() ||
        !countActions(args[6], args[3], 5, false, QStringLiteral("sorabako_demo"))) {
        QTextStream(stderr) << "bench_sales: a way to 発送済 did not go through\n";
        return 1;
    }
    return 0;
}
