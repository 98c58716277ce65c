// The open-listings scan against a slow site (150 listings on three pages):
// item pages fetched a few at a time against one after another, in the same
// run, with identical rows required:
//   bench_scan <program folder> <runs> [account] [listings]
// The folder's site addresses must point at a simulator started with
// --latency and --frozen (so two scans find the same figures).
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTextStream>

#include "Median.h"

#include "core/ProgramFolder.h"
#include "site/mInterNet.h"
#include "myauction/Scan.h"
#include "myauction/ScanJob.h"
#include "settings/SiteAddresses.h"
#include "site/SharedNetwork.h"

namespace {

// `listMs`: the time to the end of the list pages, when the item pages begin.
QList<scan::Row> runScan(int concurrency, double* ms, double* listMs = nullptr, int* listPages = nullptr) {
    ScanJob job(*SharedNetwork::manager(), concurrency);
    QEventLoop loop;
    QObject::connect(&job, &ScanJob::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    int pages = 0;
    QObject::connect(&job, &ScanJob::progress, &loop, [&](const QString&, int done, int total) {
        if (total == 0)
            ++pages;  // a list page asked for
        else if (done == 0 && listMs)
            *listMs = clock.nsecsElapsed() / 1e6;
    });
    clock.start();
    job.start(SiteAddresses::sellingUrl());
    loop.exec();
    *ms = clock.nsecsElapsed() / 1e6;
    if (listPages) *listPages = pages;
    return scan::buildRows(job.steps(), job.figures());
}

bool same(const QList<scan::Row>& a, const QList<scan::Row>& b) {
    if (a.size() != b.size()) return false;
    for (int i = 0; i < a.size(); ++i)
        if (a[i].cells != b[i].cells || a[i].colours != b[i].colours) return false;
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ProgramFolder::setRoot(app.arguments().value(1));
    const int runs = qMax(1, app.arguments().value(2).toInt());
    const QString account = app.arguments().value(3, QStringLiteral("sorabako_bench"));
    const int listings = app.arguments().value(4, QStringLiteral("150")).toInt();
    QString ignored;
    // Signed in through a plain request: the cookie reaches the off-screen pages too.
    if (!mInterNet::Page_Get(*SharedNetwork::manager(),
                             SiteAddresses::host(SiteAddresses::kSelling) + QStringLiteral("/__sim/signin?login=") + account, &ignored)) {
        QTextStream(stderr) << "bench_scan: cannot sign in at the simulator\n";
        return 1;
    }
    const int latency = app.arguments().value(5, QStringLiteral("50")).toInt();
    QList<double> serial, concurrent, listTimes;
    int rows = 0, listPages = 0;
    for (int i = 0; i < runs; ++i) {
        double a = 0, b = 0, list = 0;
        const QList<scan::Row> one = runScan(1, &a);
        const QList<scan::Row> four = runScan(4, &b, &list, &listPages);
        listTimes << list;
        if (!same(one, four) || one.size() < listings) {
            QTextStream(stderr) << "bench_scan: the two scans made different rows (" << one.size() << ", " << four.size() << ")\n";
            return 1;
        }
        rows = static_cast<int>(one.size());
        serial << a;
        concurrent << b;
    }
    const double s = median(serial), c = median(concurrent);
    QTextStream(stdout)
        << QStringLiteral("scan of %1 listings: four at a time %2 ms, baseline (one after another) %3 ms (medians of %4)\n")
               .arg(rows)
               .arg(c, 0, 'f', 0)
               .arg(s, 0, 'f', 0)
               .arg(runs)
        << QStringLiteral("ratio one-after-another/concurrent: %1 (goal: at least 3), identical rows\n").arg(s / c, 0, 'f', 2);
    // The floor: the list pages one after another, then the item pages four at a time.
    const int items = rows;
    const double floor = double(listPages + (items + 3) / 4) * latency;
    const double list = median(listTimes);
    QTextStream(stdout) << QStringLiteral(
                               "scan against its floor (%1 list pages + ⌈%2 ÷ 4⌉ item pages, × %3 ms = %4 ms): %5 ms, ratio %6 "
                               "(goal: at most 1.30); list pages %7 ms (floor %8), item pages %9 ms (floor %10)\n")
                               .arg(listPages)
                               .arg(items)
                               .arg(latency)
                               .arg(floor, 0, 'f', 0)
                               .arg(c, 0, 'f', 0)
                               .arg(c / floor, 0, 'f', 2)
                               .arg(list, 0, 'f', 0)
                               .arg(listPages * latency)
                               .arg(c - list, 0, 'f', 0)
                               .arg(floor - listPages * latency, 0, 'f', 0);
    return 0;
}
