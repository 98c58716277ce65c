// The listing queue against a slow site: each listing's way from the start of
// its turn to the site's confirmation page, against its floor (the pages the
// site must answer, one after another, times the latency). The seller's time
// on the confirmation page is not counted: the final button is pressed at once.
//   bench_queue <program folder> <latency ms> <listings>
// The folder's site addresses must point at a simulator started with --latency.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QSignalSpy>
#include <QTextStream>

#include "Median.h"

#include "app/fMain.h"
#include "core/Cp932.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "settings/SiteAddresses.h"
#include "siteform/QueueRun.h"
#include "widgets/Browser.h"

namespace {
class QuietUi : public UiServices {
public:
    Answer message(const QString&, const QString&, Icon, Buttons buttons, QObject*) override {
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    QString openFileName(const QString&, const QString&, QObject*) override { return QString(); }
    QString saveFileName(const QString&, const QString&, QObject*) override { return QString(); }
    QString folderName(const QString&, QObject*) override { return QString(); }
    bool chooseColor(unsigned int*, QObject*) override { return false; }
    void setClipboardText(const QString&) override {}
    QString clipboardText() override { return QString(); }
    bool openWithDesktop(const QUrl&) override { return true; }
    bool sendMail(const QString&) override { return true; }
    void setBusy(bool) override {}
};

// The pages of one listing with one picture: the category, the form, the form sent and
// the upload page it leads to, the picture sent and the upload page again, the confirmation.
constexpr int kPagesPerListing = 7;
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ProgramFolder::setRoot(app.arguments().value(1));
    const int latency = app.arguments().value(2, QStringLiteral("200")).toInt();
    const int listings = qMax(1, app.arguments().value(3, QStringLiteral("5")).toInt());
    QuietUi ui;
    fMain w(ui);
    {
        QSignalSpy done(w.WB(), &Browser::DocumentComplete);
        w.WB()->Navigate2(SiteAddresses::host(SiteAddresses::kAuction) + QStringLiteral("/__sim/signin?login=sorabako_demo"));
        if (!done.wait(30000)) {
            QTextStream(stderr) << "bench_queue: cannot sign in at the simulator\n";
            return 1;
        }
    }
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 160));
    const QString picturePath = QDir(ProgramFolder::user()).filePath(QStringLiteral("bench.png"));
    picture.save(picturePath);
    QStringList files;
    for (int i = 0; i < listings; ++i) {
        const QString text = QStringLiteral("[出品手続]\r\nタイトル=ベンチ出品 %1\r\n説明=<p>ベンチ出品</p>\r\n数量=1\r\n開始価格=1000\r\n"
                                            "[出品カテゴリと画像]\r\nカテゴリ=本、雑誌 > 文学、小説\r\n"
                                            "カテゴリのアドレス=/jp/submit/category?c=21601\r\n画像1=%2\r\n")
                                 .arg(i + 1)
                                 .arg(picturePath);
        files << QDir(ProgramFolder::user()).filePath(QStringLiteral("bench%1.srb").arg(i + 1));
        TextFile::writeBytes(files.last(), cp932::encode(text));
    }
    QueueRun& run = *w.queueRun();
    run.queue().add(files);
    run.setGoOnAtOnce(true);
    QList<double> perListing;
    QElapsedTimer clock;
    QObject::connect(&run, &QueueRun::atConfirmation, &app, [&] {
        perListing << clock.nsecsElapsed() / 1e6;
        // The seller's own time is no part of it: the clock starts again as the next begins.
        w.WB()->clickById(QStringLiteral("agree"));
        clock.restart();
    });
    QSignalSpy stopped(&run, &QueueRun::stopped);
    clock.start();
    run.start();
    QDeadlineTimer deadline(180000);
    while (perListing.size() < listings && stopped.isEmpty() && !deadline.hasExpired()) stopped.wait(500);
    if (perListing.size() < listings) {
        QTextStream(stderr) << "bench_queue: the queue stopped after " << perListing.size() << " listings\n";
        return 1;
    }
    // The first includes the engine's own start on the site's pages; it is dropped when there are more.
    if (perListing.size() > 1) perListing.removeFirst();
    const double p = median(perListing);
    const double floor = double(kPagesPerListing) * latency;
    QTextStream(stdout) << "queue, one listing with one picture to the confirmation page: program " << p << " ms, floor ("
                        << kPagesPerListing << " pages × " << latency << " ms) " << floor << " ms (median of " << perListing.size()
                        << ")\n"
                        << QStringLiteral("ratio program/floor: %1 (goal: at most 1.30)\n").arg(p / floor, 0, 'f', 2);
    return 0;
}
