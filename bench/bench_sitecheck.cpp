// サイト診断 against a slow site: the whole check against its floor, the pages
// it loads times the page latency (they are loaded one after another: each
// page leads to the next).
//   bench_sitecheck <program folder> <latency ms> <runs>
// The program folder's site addresses must point at a simulator started with
// that latency; the check runs signed in, as a seller would run it.
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTextStream>
#include <QWebEnginePage>

#include "Median.h"

#include "core/ProgramFolder.h"
#include "settings/SiteAddresses.h"
#include "site/SiteCheckJob.h"
#include "widgets/WebProfile.h"

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ProgramFolder::setRoot(app.arguments().value(1));
    const int latency = app.arguments().value(2).toInt();
    const int runs = qMax(1, app.arguments().value(3).toInt());
    {
        // Signed in, and the engine started: neither is part of the check.
        QWebEnginePage page(WebProfile::shared());
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        page.load(QUrl(SiteAddresses::host(SiteAddresses::kSelling) + QStringLiteral("/__sim/signin?login=sorabako_demo")));
        if (!loaded.wait(30000)) return 1;
    }
    QList<double> times;
    int pages = 0, problems = 0;
    for (int i = 0; i < runs; ++i) {
        SiteCheckJob job(SiteAddresses::hosts());
        QSignalSpy done(&job, &SiteCheckJob::finished);
        QElapsedTimer clock;
        clock.start();
        job.start();
        if (!done.wait(120000)) return 1;
        times << clock.nsecsElapsed() / 1e6;
        pages = job.pagesLoaded();
        problems = site::countOf(job.findings(), site::Verdict::Missing) + site::countOf(job.findings(), site::Verdict::Different);
    }
    if (problems != 0) {
        QTextStream(stderr) << "bench_sitecheck: the site as it is did not match its definition\n";
        return 1;
    }
    const double t = median(times), floor = double(pages) * latency;
    QTextStream(stdout) << QStringLiteral("site check: %1 pages in %2 ms, floor (pages × %3 ms latency) %4 ms (medians of %5)\n")
                               .arg(pages)
                               .arg(t, 0, 'f', 0)
                               .arg(latency)
                               .arg(floor, 0, 'f', 0)
                               .arg(runs)
                        << QStringLiteral("ratio check/floor: %1\n").arg(t / floor, 0, 'f', 2);
    return 0;
}
