// 取引一覧, both ways in the same run:
//  - the window opened on a database of many sales and a search applied, against a bare table
//    view over the same query with a filter proxy;
//  - a refresh of the closed listings (every page, then each item page) against its floor: the
//    requests it makes times the site's latency, divided by the requests it keeps in flight.
//   bench_sales <runs> <sales> <site base> <latency ms> <auctions to end>
// The site's test account gets that many more closed listings with a winner first.
#include <QApplication>
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

#include "core/ProgramFolder.h"
#include "core/UiServices.h"
#include "sales/SalesModel.h"
#include "sales/SalesRefresh.h"
#include "sales/SalesWindow.h"
#include "store/HistoryStore.h"
#include "store/SalesTable.h"

namespace {
QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

class Quiet : public UiServices {
public:
    Answer message(const QString&, const QString&, Icon, Buttons, QObject*) override { return Answer::Ok; }
    QString openFileName(const QString&, const QString&, QObject*) override { return {}; }
    QString saveFileName(const QString&, const QString&, QObject*) override { return {}; }
    QString folderName(const QString&, QObject*) override { return {}; }
    bool chooseColor(unsigned int*, QObject*) override { return false; }
    void setClipboardText(const QString&) override {}
    QString clipboardText() override { return {}; }
    bool openWithDesktop(const QUrl&) override { return false; }
    bool sendMail(const QString&) override { return false; }
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
bool endAuctions(const QString& base, int count) {
    QNetworkAccessManager net;
    QNetworkReply* reply =
        net.get(QNetworkRequest(QUrl(base + QStringLiteral("/__sim/endmany?account=sorabako_test&count=%1").arg(count))));
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
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 6) {
        QTextStream(stderr) << "usage: bench_sales <runs> <sales> <site base> <latency ms> <auctions to end>\n";
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
    return 0;
}
