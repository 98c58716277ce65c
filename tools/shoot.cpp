// Takes the README's screenshots from the real windows against the site
// simulator, with the demo's data:
//   shoot <program folder> <site base address> <output folder> [pane...]
// Panes: siteform, siteform-options, shipping, mail, description, myauction, sales, settings, filedialog.
// Each becomes <pane>.png (some with more windows beside them).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextStream>
#include <QSignalSpy>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTimer>
#include <functional>

#include "app/Language.h"
#include "app/QtUiServices.h"
#include "app/fMain.h"
#include "app/frmSHINDAN.h"
#include "core/ProgramFolder.h"
#include "core/UiServices.h"
#include "core/Values.h"
#include "description/DescriptionPane.h"
#include "memory/MemoryStore.h"
#include "mail/MailPane.h"
#include "myauction/HistoryWindow.h"
#include "myauction/MyAuctionPane.h"
#include "store/HistoryStore.h"
#include "settings/SiteAddresses.h"
#include "settings/frmINI.h"
#include "settings/mINI.h"
#include "shipping/ShippingPane.h"
#include "listing/preflight/PreflightWindow.h"
#include "listing/queue/QueueRun.h"
#include "listing/records/frmKIROKU.h"
#include "listing/csv/frmCSV.h"
#include "listing/queue/frmQUEUE.h"
#include "core/Cp932.h"
#include "core/TextFile.h"
#include "listing/form/SiteFormPane.h"
#include "sales/FeedbackWindow.h"
#include "sales/SalesModel.h"
#include "sales/SalesWindow.h"
#include "widgets/Browser.h"

namespace {
// A seller's laptop: 1366×768, less a taskbar and the window's title bar.
const QSize kLaptop(1366, 768 - 40 - 30);

// Answers every question with Yes or OK and never opens anything.
class QuietUi : public UiServices {
public:
    QStringList openNames;
    Answer message(const QString&, const QString&, Icon, Buttons buttons, QObject*) override {
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    QString openFileName(const QString&, const QString&, QObject*) override {
        return openNames.isEmpty() ? QString() : openNames.takeFirst();
    }
    QString saveFileName(const QString&, const QString&, QObject*) override { return QString(); }
    QString folderName(const QString&, QObject*) override { return QString(); }
    bool chooseColor(unsigned int*, QObject*) override { return false; }
    void setClipboardText(const QString& text) override { m_clip = text; }
    QString clipboardText() override { return m_clip; }
    bool openWithDesktop(const QUrl&) override { return true; }
    bool sendMail(const QString&) override { return true; }
    void setBusy(bool) override {}

private:
    QString m_clip;
};

bool waitUntil(const std::function<bool()>& done, int ms = 30000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

bool load(Browser* b, const QString& address) {
    bool done = false;
    const auto c = QObject::connect(b, &Browser::DocumentComplete, b, [&] { done = true; });
    b->Navigate2(address);
    const bool ok = waitUntil([&] { return done; });
    QObject::disconnect(c);
    return ok;
}

void settle(int ms = 800) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

template <typename T>
T* find(QWidget* w, const char* name) {
    return w->findChild<T*>(QLatin1String(name));
}

bool listingPane(fMain& w, const QString& base) {
    Browser* wb = w.WB();
    if (!load(wb, base + QStringLiteral("/__sim/signin?login=sorabako_demo"))) return false;
    find<QLineEdit>(&w, "txtSYOUHIN")->setText(QStringLiteral("ソラ光学 SK-300 レンズキット 美品"));
    find<QComboBox>(&w, "cmbKIGOU_1")->setCurrentIndex(1);
    find<QPlainTextEdit>(&w, "txtHTML")
        ->setPlainText(QStringLiteral(
            "<CENTER><h2>ソラ光学 SK-300 レンズキット</h2></CENTER><BR>\n<p>使用回数は少なく、外装に目立つ傷はありません。</p>"));
    w.descriptionPane()->Command9_Click();
    w.setListDefaults();
    find<QLineEdit>(&w, "imNumLite2")->setText(QStringLiteral("25000"));
    find<QComboBox>(&w, "Combo5")->setCurrentText(QStringLiteral("山梨県"));
    find<QLineEdit>(&w, "Text1")->setText(QStringLiteral("甲府市"));
    find<QComboBox>(&w, "Combo2")->setCurrentText(QStringLiteral("美品"));
    find<QCheckBox>(&w, "Check18")->setChecked(true);
    // Two paid options and a featured auction: the fee summary on the options page.
    find<QCheckBox>(&w, "Check35")->setChecked(true);
    find<QLineEdit>(&w, "imNumLite3")->setText(QStringLiteral("30"));
    if (!load(wb, base + QStringLiteral("/jp/submit/form?c=23634"))) return false;
    // The seller's region beside the form's own 発送元, both reading 山梨県.
    wb->scrollTo(0, 960);
    w.vsMAIN()->setCurrentWidget(w.siteFormPane());
    auto* region = find<QComboBox>(&w, "Combo5");
    for (QWidget* up = region->parentWidget(); up; up = up->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(up)) {
            area->ensureWidgetVisible(region, 0, 120);
            break;
        }
    return true;
}

bool mailPane(fMain& w, const QString& base) {
    if (!load(w.WB2(), base + QStringLiteral("/__sim/signin?login=sorabako_demo"))) return false;
    QuietUi quiet;
    mINI::Ini_PutAll({{QStringLiteral("銀行振込"), QStringLiteral("チェック1"), QStringLiteral("-1")},
                      {QStringLiteral("銀行振込"), QStringLiteral("銀行名1"), QStringLiteral("ソラ銀行")},
                      {QStringLiteral("銀行振込"), QStringLiteral("支店名1"), QStringLiteral("新宿支店")},
                      {QStringLiteral("銀行振込"), QStringLiteral("種別1"), QStringLiteral("普通")},
                      {QStringLiteral("銀行振込"), QStringLiteral("口座番号1"), QStringLiteral("1234567")},
                      {QStringLiteral("銀行振込"), QStringLiteral("口座名義1"), QStringLiteral("ｿﾗﾊﾞｺ ﾀﾛｳ")},
                      {QStringLiteral("郵便振替"), QStringLiteral("チェック1"), QStringLiteral("-1")},
                      {QStringLiteral("郵便振替"), QStringLiteral("口座種別1"), QStringLiteral("ぱるる")},
                      {QStringLiteral("郵便振替"), QStringLiteral("記号1"), QStringLiteral("10100")},
                      {QStringLiteral("郵便振替"), QStringLiteral("番号1"), QStringLiteral("12345671")},
                      {QStringLiteral("郵便振替"), QStringLiteral("口座名義1"), QStringLiteral("ｿﾗﾊﾞｺ ﾀﾛｳ")}},
                     quiet);
    w.Ini_Re();
    find<QLineEdit>(&w, "txtID2")->setText(QStringLiteral("sorabako_demo"));
    find<QLineEdit>(&w, "txtNAME2")->setText(QStringLiteral("空箱 太郎"));
    find<QLineEdit>(&w, "txtYUBIN2")->setText(QStringLiteral("160-0023"));
    find<QLineEdit>(&w, "txtTEL2")->setText(QStringLiteral("03-1234-5678"));
    find<QPlainTextEdit>(&w, "txtADD2")->setPlainText(QStringLiteral("東京都新宿区西新宿1-1-1\nソラバコビル 3F"));
    find<QLineEdit>(&w, "txtID")->setText(QStringLiteral("b123456789"));
    find<QLineEdit>(&w, "imNumber2")->setText(QStringLiteral("370"));
    for (const char* name : {"ckHASSOU_2", "ckHASSOU_6"}) find<QCheckBox>(&w, name)->setChecked(true);
    w.vsMAIN()->setCurrentWidget(w.mailPane());
    w.mailPane()->Command1_Click();
    return load(w.WB2(), SiteAddresses::closedListingsUrl());
}

// A request to the simulator's control side (as a day on the site would change it).
bool control(const QString& base, const QString& request) {
    QNetworkAccessManager net;
    std::unique_ptr<QNetworkReply> reply(net.get(QNetworkRequest(QUrl(base + QStringLiteral("/__sim/") + request))));
    if (!waitUntil([&] { return reply->isFinished(); }, 10000)) return false;
    return reply->error() == QNetworkReply::NoError;
}

bool scanOnce(MyAuctionPane* pane) {
    bool done = false;
    const auto c = QObject::connect(pane, &MyAuctionPane::scanFinished, pane, [&] { done = true; });
    pane->Command2_Click();
    const bool ok = waitUntil([&] { return done; }, 120000);
    QObject::disconnect(c);
    return ok;
}

// Two scans, the first saved as the previous one: the second shows the differences,
// each listing against its own previous figures; between them one listing ended
// and a new one was listed.
bool myAuctionPane(fMain& w, const QString& base) {
    if (!load(w.WB2(), base + QStringLiteral("/__sim/signin?login=sorabako_demo"))) return false;
    w.vsMAIN()->setCurrentWidget(w.myAuctionPane());
    MyAuctionPane* pane = w.myAuctionPane();
    find<QCheckBox>(&w, "ckHOZON")->setChecked(true);
    if (!control(base, QStringLiteral("set?id=k700000001&access=38&watch=5")) || !scanOnce(pane)) return false;
    const QString newTitle = QString::fromUtf8(QUrl::toPercentEncoding(QStringLiteral("ハコ工房 帆布トートバッグ 新品")));
    if (!control(base, QStringLiteral("end?id=k700000003")) ||
        !control(base, QStringLiteral("add?account=sorabako_demo&id=k700000999&price=2400&access=3&title=") + newTitle) ||
        !control(base, QStringLiteral("set?id=k700000001&access=41&watch=6")) ||
        !control(base, QStringLiteral("set?id=k700000002&access=30&watch=2")))
        return false;
    if (!scanOnce(pane)) return false;
    // The end of the list: the new listing, marked 新規.
    find<QTableWidget>(&w, "vbNow")->scrollToBottom();
    return true;
}

// The history of one listing: a week of scans before today's (seeded into the
// program's own database as the scans of the past days would have left them).
bool historyWindow(fMain& w, const QString& base, const QString& out) {
    if (!load(w.WB2(), base + QStringLiteral("/__sim/signin?login=sorabako_demo"))) return false;
    if (!scanOnce(w.myAuctionPane())) return false;
    // A second program on the same folder, as the database allows.
    HistoryStore own(ProgramFolder::data() + QStringLiteral("rireki.sqlite"));
    HistoryStore* history = &own;
    if (own.open() != HistoryStore::Opened::Ok || history->scanTimes().isEmpty()) return false;
    const QList<HistoryStore::Entry> today = history->scanAt(history->scanTimes().first());
    const QString id = QStringLiteral("k700000001");
    const QDateTime now = QDateTime::currentDateTime();
    for (int day = 7; day >= 1; --day)
        for (const int hour : {9, 21}) {
            const QDateTime taken(now.date().addDays(-day), QTime(hour, 0));
            const int step = (7 - day) * 2 + (hour == 21);
            QList<scan::Row> rows;
            for (const HistoryStore::Entry& e : today) {
                scan::Row row;
                row.address = base + QStringLiteral("/jp/auction/") + e.auctionId;
                row.cells[1] = e.title;
                const bool shown = e.auctionId == id;
                // The shown listing: looked at more each day, watched, one bid on the fifth day.
                row.cells[2] = QString::number(shown ? 2 + step * 3 - qMax(0, step - 8) : values::leadingNumber(e.access) / 2);
                row.cells[3] = shown ? QString::number(step / 3) : e.watch;
                row.cells[4] = shown ? (step >= 9 ? QStringLiteral("1") : QString()) : e.bids;
                row.cells[5] = QStringLiteral("%1日").arg(day);
                row.cells[6] = e.price;
                rows << row;
            }
            if (!history->store(taken, scan::storedRows(rows))) return false;
        }
    // It went out through the queue a week ago: the record below the chart.
    HistoryStore::Listed listed;
    listed.auctionId = id;
    listed.listedAt = QDateTime(now.date().addDays(-7), QTime(8, 30));
    for (const HistoryStore::Entry& e : today)
        if (e.auctionId == id) listed.title = e.title;
    listed.category = QStringLiteral("家電、AV、カメラ > カメラ、光学機器 > デジタル一眼");
    listed.confirmation = {{QStringLiteral("タイトル"), listed.title},
                           {QStringLiteral("カテゴリ"), listed.category},
                           {QStringLiteral("開始価格"), QStringLiteral("1,000 円")},
                           {QStringLiteral("開催期間"), QStringLiteral("7日間")},
                           {QStringLiteral("発送元の地域"), QStringLiteral("山梨県 甲府市")}};
    if (!history->storeListed(listed)) return false;
    QuietUi quiet;
    HistoryWindow window(quiet, *history, id, &w);
    window.setRecordOpener([](const QString&) {});
    window.show();
    settle(1500);
    return window.grab().save(out);
}

// The description pane with the demo's camera listing opened from its memory file.
bool descriptionPane(fMain& w, const QString&) {
    if (!w.ReadFile(ProgramFolder::user() + QStringLiteral("デモ_一眼レフの出品.srb"))) return false;
    w.vsMAIN()->setCurrentWidget(w.descriptionPane());
    w.descriptionPane()->cmdPre_Click();
    return true;
}

bool shippingPane(fMain& w, const QString&) {
    find<QComboBox>(&w, "cmbKEN_0")->setCurrentText(QStringLiteral("東京都"));
    find<QComboBox>(&w, "cmbKEN_1")->setCurrentText(QStringLiteral("大阪府"));
    find<QLineEdit>(&w, "imNumber1_0")->setText(QStringLiteral("30"));
    find<QLineEdit>(&w, "imNumber1_1")->setText(QStringLiteral("20"));
    find<QLineEdit>(&w, "imNumber1_2")->setText(QStringLiteral("10"));
    find<QComboBox>(&w, "Combo8")->setCurrentText(QStringLiteral("1000"));
    for (const char* name : {"ckHOUHOU_2", "ckHOUHOU_3", "ckHOUHOU_6", "ckHOUHOU_7", "ckHOUHOU_8"})
        find<QCheckBox>(&w, name)->setChecked(true);
    find<QComboBox>(&w, "Combo9")->setCurrentIndex(5);
    w.vsMAIN()->setCurrentWidget(w.shippingPane());
    w.shippingPane()->Command15_Click();
    return true;
}

// The shipping table as the description shows it: the preview file in a browser.
bool shippingPreview(const QString& out) {
    Browser view;
    view.resize(900, 700);
    view.show();
    if (!load(&view, ProgramFolder::previewFile())) return false;
    settle(1000);
    return view.grab().save(out);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ソラバコ"));
    speakJapanese(app);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        QTextStream(stderr) << "usage: shoot <program folder> <site base address> <output folder> [pane...]\n";
        return 2;
    }
    ProgramFolder::setRoot(args.at(1));
    const QString base = args.at(2);
    QDir().mkpath(args.at(3));
    const QMap<QString, std::function<bool(fMain&, const QString&)>> panes{
        {QStringLiteral("siteform"), listingPane},
        {QStringLiteral("shipping"), shippingPane},
        {QStringLiteral("mail"), mailPane},
        {QStringLiteral("description"), descriptionPane},
        {QStringLiteral("myauction"), myAuctionPane},
        {QStringLiteral("siteform-options"), [](fMain& w, const QString& base) {
             if (!listingPane(w, base)) return false;
             w.siteFormPane()->tabSYUPPINN()->setCurrentIndex(1);
             // The eye-catch icon beside the form's own list, both reading 美品.
             w.WB()->scrollTo(0, 2300);
             return true;
         }}};
    // The summary before 確認, on a form the site has redesigned (two fields renamed).
    // サイト診断 on a site that renamed one field of its listing form.
    const auto sitecheck = [&](const QString& out) {
        if (!control(base, QStringLiteral("rename?fields=Quantity"))) return false;
        QuietUi quiet;
        fMain w(quiet);
        frmSHINDAN window(quiet, SiteAddresses::hosts(), &w);
        window.show();
        QSignalSpy checked(&window, &frmSHINDAN::checked);
        window.cmdSTART_Click();
        const bool ok = checked.wait(120000);
        control(base, QStringLiteral("rename?fields="));
        if (!ok) return false;
        settle(500);
        return window.grab().save(out);
    };
    const auto preflight = [&](const QString& out) {
        if (!control(base, QStringLiteral("rename?fields=ReservePrice,Quantity"))) return false;
        QuietUi quiet;
        fMain w(quiet);
        w.resize(kLaptop);
        w.show();
        settle(1500);
        const bool ok = listingPane(w, base);
        control(base, QStringLiteral("rename?fields="));
        if (!ok) return false;
        settle(800);
        PreflightWindow window(quiet, w.siteFormPane()->fees(), w.siteFormPane()->formCheck(), w.siteFormPane()->listingWarnings(), &w);
        window.show();
        settle(800);
        return window.grab().save(out);
    };
    // 出品キュー part-way through a sitting: one listed, one that needs a look (its category is
    // gone from the site), one on the site's confirmation page, two waiting; then 出品記録.
    const auto queueShots = [&](const QString& fillingOut, const QString& queueOut, const QString& recordsOut) {
        QuietUi quiet;
        fMain w(quiet);
        w.resize(kLaptop);
        w.show();
        settle(1500);
        if (!load(w.WB(), base + QStringLiteral("/__sim/signin?login=sorabako_demo"))) return false;
        const QString user = ProgramFolder::user();
        const auto listing = [&](const QString& name, const QString& title, const QString& price, const QString& path, int category) {
            QString text = QStringLiteral(
                               "[出品手続]\r\nタイトル=%1\r\n説明=<p>%1</p>\r\n数量=1\r\n開始価格=%2\r\n期間=5\r\n"
                               "かんたん決済=1\r\n都道府県=18\r\n市町村=甲府市\r\n[出品カテゴリと画像]\r\nカテゴリ=%3\r\n"
                               "カテゴリのアドレス=/jp/submit/category?c=%4\r\n")
                               .arg(title, price, path)
                               .arg(category);
            TextFile::writeBytes(QDir(user).filePath(name), cp932::encode(text));
            return QDir(user).filePath(name);
        };
        QueueRun& run = *w.queueRun();
        run.queue().add({listing(QStringLiteral("q1.srb"), QStringLiteral("ソラ光学 SK-300 ボディ 美品"), QStringLiteral("25000"),
                                 QStringLiteral("家電、AV、カメラ > カメラ、光学機器 > デジタル一眼"), 23634),
                         listing(QStringLiteral("q2.srb"), QStringLiteral("雲雀時計 懐中時計 手巻き"), QStringLiteral("3000"),
                                 QStringLiteral("アンティーク、コレクション > 懐中時計"), 29999),
                         listing(QStringLiteral("q3.srb"), QStringLiteral("空箱文庫 ミステリー 10冊セット"), QStringLiteral("800"),
                                 QStringLiteral("本、雑誌 > 文学、小説"), 21601),
                         listing(QStringLiteral("q4.srb"), QStringLiteral("ソラ光学 望遠レンズ 70-200mm"), QStringLiteral("18000"),
                                 QStringLiteral("家電、AV、カメラ > カメラ、光学機器 > レンズ"), 23635),
                         listing(QStringLiteral("q5.srb"), QStringLiteral("テニスラケット 2本組"), QStringLiteral("2000"),
                                 QStringLiteral("スポーツ、レジャー > テニス"), 24699)});
        run.saveQueue();
        frmQUEUE* window = w.showQueue();
        run.setGoOnAtOnce(false);
        const auto state = [&](int at) { return run.queue().rows().at(at).state; };
        run.start();
        if (!waitUntil([&] { return state(0) == listingqueue::State::AtConfirmation; }, 60000)) return false;
        w.WB()->clickById(QStringLiteral("agree"));
        if (!waitUntil([&] { return state(0) == listingqueue::State::Listed; }, 60000)) return false;
        run.start();
        if (!waitUntil([&] { return state(1) == listingqueue::State::NeedsCheck; }, 60000)) return false;
        window->move(w.geometry().topLeft() + QPoint(120, 90));
        run.start();
        // The third on its way (入力中), then at the site's confirmation page (確認待ち).
        if (!waitUntil([&] { return state(2) == listingqueue::State::Entering; }, 60000)) return false;
        if (!window->grab().save(fillingOut)) return false;
        if (!waitUntil([&] { return state(2) == listingqueue::State::AtConfirmation; }, 60000)) return false;
        settle(800);
        if (!window->grab().save(queueOut)) return false;
        frmKIROKU* records = w.showRecords();
        settle(600);
        return records->grab().save(recordsOut);
    };
    // 取引一覧 with sales in every stage, the overdue ones in red; a mail before it leaves; the months.
    const auto salesShots = [&](const QString& listOut, const QString& mailOut, const QString& monthsOut, const QString& feeOut,
                                const QString& trackingOut) {
        QuietUi quiet;
        fMain w(quiet);
        w.resize(kLaptop);
        w.show();
        settle(1500);
        // The mail pane's sender and accounts, which the sales' mails are filled with.
        if (!mailPane(w, base)) return false;
        if (!control(base, QStringLiteral("endmany?account=sorabako_demo&count=6"))) return false;
        SalesWindow* s = w.showSales();
        QSignalSpy refreshed(s, &SalesWindow::refreshed);
        s->refresh();
        if (!refreshed.wait(60000)) return false;
        QStringList fresh;
        for (const sales::Sale& sale : s->model()->sales())
            if (sale.ended.daysTo(QDateTime::currentDateTime()) < 2) fresh << sale.auctionId;
        if (fresh.size() < 6) return false;
        const auto detail = [&](const char* name, const QString& text) {
            if (auto* line = s->findChild<QLineEdit*>(QLatin1String(name))) line->setText(text);
            if (auto* box = s->findChild<QPlainTextEdit*>(QLatin1String(name))) box->setPlainText(text);
            if (auto* combo = s->findChild<QComboBox*>(QLatin1String(name))) combo->setCurrentText(text);
        };
        const auto moveTo = [&](const QString& id, int steps) {
            s->selectSale(id);
            for (int i = 0; i < steps; ++i) s->moveOnSelected();
        };
        moveTo(fresh[0], 1);
        moveTo(fresh[1], 2);
        moveTo(fresh[2], 3);
        detail("txtSOURYOU", QStringLiteral("1030"));
        s->saveDetail();
        moveTo(fresh[3], 4);
        detail("cboHAISOU", QStringLiteral("ゆうパック"));
        detail("txtTSUISEKI", QStringLiteral("1234-5678-9012"));
        detail("txtSOURYOU", QStringLiteral("870"));
        detail("txtJIPPI", QStringLiteral("870"));
        detail("txtGENKA", QStringLiteral("1200"));
        s->saveDetail();
        moveTo(fresh[4], 6);
        s->selectSale(QStringLiteral("f567890123"));
        s->cancelSelected();
        s->selectSale(QStringLiteral("c234567890"));
        detail("txtMEMO", QStringLiteral("同梱希望のため、入金をお待ちしています。"));
        detail("txtYOUCHUUI", QStringLiteral("前回、入金まで2週間かかった"));
        s->saveDetail();
        s->selectSale(QStringLiteral("c234567890"));
        settle(800);
        if (!s->grab().save(listOut)) return false;
        bool mailShot = false, monthsShot = false;
        const auto grabDialog = [&](const QString& name, const QString& out, bool* done) {
            QTimer::singleShot(1200, [name, out, done] {
                for (QWidget* top : QApplication::topLevelWidgets())
                    if (auto* d = qobject_cast<QDialog*>(top); d && d->objectName() == name && d->isVisible()) {
                        *done = d->grab().save(out);
                        d->reject();
                    }
            });
        };
        s->selectSale(fresh[5]);
        detail("txtSOURYOU", QStringLiteral("1030"));
        s->saveDetail();
        grabDialog(QStringLiteral("frmTORIHIKI_MAIL"), mailOut, &mailShot);
        s->mailSelected(false);
        grabDialog(QStringLiteral("frmGEKKAN"), monthsOut, &monthsShot);
        s->showMonths();
        // 返信から送料 on two sales: the first reply taken, the second shown with the parcel the
        // first was sent in and its fee worked out.
        bool feeShot = false;
        w.shippingPane()->findChild<QComboBox*>(QStringLiteral("cmbKEN_0"))->setCurrentText(QStringLiteral("東京都"));
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* d = qobject_cast<QDialog*>(top);
                if (!d || d->objectName() != QLatin1String("frmHENSHIN_SOURYOU") || !d->isVisible()) continue;
                auto* reply = d->findChild<QPlainTextEdit*>(QStringLiteral("txtHENSHIN"));
                if (d->windowTitle().endsWith(QStringLiteral("（1 / 2）"))) {
                    reply->setPlainText(QStringLiteral(
                        "お世話になります。\n送付先は下記のとおりです。\n〒060-0042 北海道札幌市中央区空町1-2-3\n空野 一郎"));
                    for (const auto& [name, value] :
                         {std::pair{"txtTATE", "30"}, {"txtYOKO", "20"}, {"txtATSUSA", "15"}, {"txtJUURYOU", "1000"}})
                        d->findChild<QLineEdit*>(QLatin1String(name))->setText(QLatin1String(value));
                    d->findChild<QComboBox*>(QStringLiteral("cboHOUHOU"))->setCurrentText(QStringLiteral("ゆうパック"));
                    d->findChild<QPushButton*>(QStringLiteral("cmdKETTEI"))->click();
                } else {
                    answer.stop();
                    reply->setPlainText(
                        QStringLiteral("ご連絡ありがとうございます。\n〒900-0015 沖縄県那覇市ソラ通り6-7\n宙 太郎\n電話 098-000-0000"));
                    d->findChild<QPushButton*>(QStringLiteral("cmdKEISAN"))->click();
                    settle(300);
                    feeShot = d->grab().save(feeOut);
                    d->reject();
                }
            }
        });
        answer.start(50);
        auto* grid = s->findChild<QTableView*>(QStringLiteral("grdTORIHIKI"));
        s->selectSale(fresh[0]);
        const QModelIndex firstRow = grid->currentIndex();
        s->selectSale(fresh[1]);
        grid->selectionModel()->select(firstRow, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        s->feeFromReply();
        answer.stop();
        // The label program's sheet taken in: three numbers for their sales, one already typed, one
        // line for a parcel that is no sale of this list.
        QString sheet = QStringLiteral("お客様管理番号,お届け先名,お届け先郵便番号,お問い合わせ番号,出荷予定日\r\n");
        const QString day = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
        for (int i = 0; i < 3; ++i)
            sheet += QStringLiteral("%1,%2,%3,2345-6789-01%4,%5\r\n")
                         .arg(fresh[i], QStringList{QStringLiteral("空野 一郎"), QStringLiteral("宙 太郎"), QStringLiteral("箱田 花子")}[i],
                              QStringList{QStringLiteral("060-0042"), QStringLiteral("900-0015"), QStringLiteral("530-0001")}[i])
                         .arg(i + 10)
                         .arg(day);
        sheet += QStringLiteral("%1,箱田 三郎,980-0811,1234-5678-9012,%2\r\n").arg(fresh[3], day);
        sheet += QStringLiteral(",箱田 四郎,810-0001,3456-7890-1234,%1\r\n").arg(day);
        const QString sheetPath =
            QDir(ProgramFolder::data())
                .filePath(QStringLiteral("送り状_%1.csv").arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
        QFile sheetFile(sheetPath);
        if (!sheetFile.open(QIODevice::WriteOnly) || sheetFile.write(cp932::encode(sheet)) < 0) return false;
        sheetFile.close();
        quiet.openNames << sheetPath;
        bool trackingShot = false;
        grabDialog(QStringLiteral("frmTSUISEKI"), trackingOut, &trackingShot);
        s->importTracking();
        return mailShot && monthsShot && feeShot && trackingShot;
    };
    QStringList wanted = args.mid(4);
    const bool everything = wanted.isEmpty();
    if (everything) wanted = panes.keys();

    int failures = 0;
    // 設定, with its 取引管理 frame, over the main window.
    if (wanted.removeAll(QStringLiteral("settings")) > 0 || everything) {
        QuietUi quiet;
        fMain w(quiet);
        w.resize(kLaptop);
        w.show();
        settle(1000);
        frmINI dialog(quiet, {}, &w);
        dialog.show();
        settle(500);
        // Scrolled down to the frame this round added.
        if (auto* frame = dialog.findChild<QWidget*>(QStringLiteral("fraTORIHIKI")))
            for (QWidget* up = frame->parentWidget(); up; up = up->parentWidget())
                if (auto* area = qobject_cast<QScrollArea*>(up)) {
                    area->ensureWidgetVisible(frame, 0, 0);
                    break;
                }
        settle(500);
        const QString file = QDir(args.at(3)).filePath(QStringLiteral("settings.png"));
        if (!dialog.grab().save(file)) ++failures;
        QTextStream(stdout) << file << "\n";
        // メール送信, filled as a seller with a mail server of their own fills it.
        if (auto* smtp = dialog.findChild<QRadioButton*>(QStringLiteral("optSMTP"))) smtp->setChecked(true);
        const QList<QPair<const char*, QString>> typed{{"txtSMTP_SERVER", QStringLiteral("mail.sorabako.example")},
                                                       {"txtSMTP_USER", QStringLiteral("shop@sorabako.example")},
                                                       {"txtSMTP_PASSWORD", QStringLiteral("password")},
                                                       {"txtSMTP_FROM", QStringLiteral("shop@sorabako.example")},
                                                       {"txtSMTP_FROMNAME", QStringLiteral("空箱堂")}};
        for (const auto& [name, text] : typed)
            if (auto* edit = dialog.findChild<QLineEdit*>(QLatin1String(name))) edit->setText(text);
        if (auto* copy = dialog.findChild<QCheckBox*>(QStringLiteral("chkSMTP_COPY"))) copy->setChecked(true);
        if (auto* frame = dialog.findChild<QWidget*>(QStringLiteral("fraSOUSHIN")))
            for (QWidget* up = frame->parentWidget(); up; up = up->parentWidget())
                if (auto* area = qobject_cast<QScrollArea*>(up)) {
                    area->ensureWidgetVisible(frame, 0, 0);
                    break;
                }
        settle(500);
        const QString mailFile = QDir(args.at(3)).filePath(QStringLiteral("settings-mail.png"));
        if (!dialog.grab().save(mailFile)) ++failures;
        QTextStream(stdout) << mailFile << "\n";
    }
    if (wanted.removeAll(QStringLiteral("sales")) > 0 || everything) {
        const QDir out(args.at(3));
        if (!salesShots(out.filePath(QStringLiteral("sales.png")), out.filePath(QStringLiteral("sales-mail.png")),
                        out.filePath(QStringLiteral("sales-months.png")), out.filePath(QStringLiteral("sales-fee.png")),
                        out.filePath(QStringLiteral("sales-tracking.png")))) {
            QTextStream(stderr) << "shoot: sales could not be prepared\n";
            ++failures;
        }
        QTextStream(stdout) << out.filePath(QStringLiteral("sales.png")) << "\n";
    }
    // 評価: the first of three sales filled on its feedback page, waiting for the seller's press.
    if (wanted.removeAll(QStringLiteral("feedback")) > 0 || everything) {
        QuietUi quiet;
        fMain w(quiet);
        w.resize(kLaptop);
        w.show();
        settle(1500);
        bool ok = mailPane(w, base) && control(base, QStringLiteral("endmany?account=sorabako_demo&count=3"));
        SalesWindow* s = ok ? w.showSales() : nullptr;
        if (s) {
            QSignalSpy refreshed(s, &SalesWindow::refreshed);
            s->refresh();
            ok = refreshed.wait(60000);
        }
        QList<sales::Sale> chosen;
        if (ok)
            for (const sales::Sale& sale : s->model()->sales())
                if (sale.ended.daysTo(QDateTime::currentDateTime()) < 2 && chosen.size() < 3) chosen << sale;
        const QString file = QDir(args.at(3)).filePath(QStringLiteral("feedback.png"));
        if (ok && !chosen.isEmpty()) {
            FeedbackWindow::Hooks hooks;
            hooks.pageUrl = [](const QString& id) { return SiteAddresses::feedbackUrl(id); };
            hooks.openedBefore = [](const sales::Sale&) { return false; };
            hooks.keepOpened = [](const sales::Sale&) { return true; };
            hooks.keepSent = [](const sales::Sale&, const QString&, const QString&) { return true; };
            FeedbackWindow window(quiet, chosen, hooks, &w);
            window.show();
            window.start();
            ok = waitUntil([&] { return window.stateOf(0) == FeedbackWindow::State::SellersTurn; }, 60000);
            settle(1000);
            if (!ok || !window.grab().save(file)) ++failures;
        } else {
            ++failures;
        }
        QTextStream(stdout) << file << "\n";
    }
    // CSVから追加's review: the shipped sample's two rows and a few of a seller's own, two with mistakes.
    if (wanted.removeAll(QStringLiteral("csv")) > 0 || everything) {
        QuietUi quiet;
        fMain w(quiet);
        w.resize(kLaptop);
        w.show();
        settle(1000);
        QFile sample(QDir(ProgramFolder::mast()).filePath(QStringLiteral("出品CSVの見本.csv")));
        sample.open(QIODevice::ReadOnly);
        QString text = cp932::decode(sample.readAll());
        text += QStringLiteral(
            "ソラ光学 SK-300 ボディ,<p>動作確認済みです。</p>,25000,,,,1,5日,22時,家電、AV、カメラ > カメラ、光学機器 > デジタル一眼,23634,,,,"
            "山梨県,甲府市,落札者,支払い後,Yahoo!かんたん決済,,,,,,,,,,,,,,,,,,,\r\n"
            "雲雀時計 懐中時計 手巻き,<p>よく動きます。</p>,三千円,,,,1,10日,21時,アンティーク > 懐中時計,,,,,"
            "山梨県,甲府市,落札者,支払い後,銀行振込,,,,,,,,,,,,,,,,,,,\r\n"
            "空箱文庫 ミステリー 10冊セット,<p>多少の日焼けがあります。</p>,800,,,,1,3日,21時,本、雑誌 > 文学、小説,21601,表紙.jpg,,,"
            "東京都,新宿区,落札者,支払い後,銀行振込,,,,,,,,,,,,,,,,,,,\r\n");
        const QString path = QDir(ProgramFolder::user()).filePath(QStringLiteral("出品リスト.csv"));
        TextFile::writeBytes(path, cp932::encode(text));
        frmCSV review(
            quiet, path, w.queueRun()->csvHooks(), [](const QStringList&) { return 0; }, &w);
        review.show();
        settle(800);
        const QString file = QDir(args.at(3)).filePath(QStringLiteral("csv-review.png"));
        if (!review.grab().save(file)) ++failures;
        QTextStream(stdout) << file << "\n";
    }
    // The file dialog of ファイル → 開く, as a seller sees it: Qt's own dialog, in Japanese.
    if (wanted.removeAll(QStringLiteral("filedialog")) > 0 || args.mid(4).isEmpty()) {
        const QString file = QDir(args.at(3)).filePath(QStringLiteral("filedialog.png"));
        QTimer::singleShot(2000, [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QFileDialog*>(top); dialog && dialog->isVisible()) {
                    if (!dialog->grab().save(file)) ++failures;
                    dialog->reject();
                }
        });
        QtUiServices qt;
        qt.openFileName(ProgramFolder::user(), QStringLiteral("記憶ファイル(*.SRB)|*.srb"), nullptr);
        QTextStream(stdout) << file << "\n";
    }
    for (const QString& name : wanted) {
        QuietUi ui;
        fMain w(ui);
        w.resize(kLaptop);
        w.show();
        settle(1500);
        const auto shot = panes.value(name);
        if (!shot || !shot(w, base)) {
            QTextStream(stderr) << "shoot: " << name << " could not be prepared\n";
            ++failures;
            continue;
        }
        settle(1500);
        const QString file = QDir(args.at(3)).filePath(name + QStringLiteral(".png"));
        if (!w.grab().save(file)) ++failures;
        QTextStream(stdout) << file << "\n";
        if (name == QLatin1String("myauction")) {
            QuietUi quiet;
            fMain again(quiet);
            again.resize(kLaptop);
            again.show();
            settle(1500);
            const QString history = QDir(args.at(3)).filePath(QStringLiteral("history.png"));
            if (!historyWindow(again, base, history)) ++failures;
            QTextStream(stdout) << history << "\n";
        }
        if (name == QLatin1String("siteform")) {
            const QString filling = QDir(args.at(3)).filePath(QStringLiteral("queue-filling.png"));
            const QString queue = QDir(args.at(3)).filePath(QStringLiteral("queue.png"));
            const QString records = QDir(args.at(3)).filePath(QStringLiteral("records.png"));
            if (!queueShots(filling, queue, records)) ++failures;
            QTextStream(stdout) << filling << "\n" << queue << "\n" << records << "\n";
            const QString file = QDir(args.at(3)).filePath(QStringLiteral("sitecheck.png"));
            if (!sitecheck(file)) ++failures;
            QTextStream(stdout) << file << "\n";
        }
        if (name == QLatin1String("siteform-options")) {
            const QString file = QDir(args.at(3)).filePath(QStringLiteral("preflight.png"));
            if (!preflight(file)) ++failures;
            QTextStream(stdout) << file << "\n";
        }
        if (name == QLatin1String("shipping")) {
            w.shippingPane()->Command19_Click();
            const QString preview = QDir(args.at(3)).filePath(QStringLiteral("shipping-preview.png"));
            if (!shippingPreview(preview)) ++failures;
            QTextStream(stdout) << preview << "\n";
        }
    }
    return failures == 0 ? 0 : 1;
}
