// CSVから追加 against the program's own saving: a spreadsheet of listings (no pictures) read,
// checked and made into memory files and queue rows, against the same number of memory files
// saved from the window (ファイル → 名前を付けて保存, the memory store on the main window's
// controls). Interleaved, in the same run:
//   bench_import <program folder> <runs> <rows>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

#include "Median.h"

#include "app/fMain.h"
#include "core/Cp932.h"
#include "core/Csv.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "listing/csv/ListingCsv.h"
#include "listing/csv/frmCSV.h"
#include "listing/queue/QueueRun.h"
#include "memory/MemoryStore.h"

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
    bool openWithDesktop(const QUrl&) override { return false; }
    bool sendMail(const QString&) override { return false; }
    void setBusy(bool) override {}
};

QByteArray sheet(int rows, int run) {
    QString text = csv::line(listingcsv::header().mid(0, 19));
    for (int i = 0; i < rows; ++i)
        text += csv::line({QStringLiteral("空箱文庫 第%1巻 その%2").arg(i).arg(run),
                           QStringLiteral("<p>第%1巻です。</p>\n<p>日焼けがあります。</p>").arg(i), QString::number(500 + i), QString(),
                           QString(), QString(), QStringLiteral("1"), QStringLiteral("3日"), QStringLiteral("21時"),
                           QStringLiteral("本、雑誌 > 文学、小説"), QStringLiteral("21601"), QString(), QString(), QString(),
                           QStringLiteral("東京都"), QStringLiteral("新宿区"), QStringLiteral("落札者"), QStringLiteral("支払い後"),
                           QStringLiteral("銀行振込、Yahoo!かんたん決済")});
    return cp932::encode(text);
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) return 2;
    ProgramFolder::setRoot(args.at(1));
    const int runs = qMax(1, args.at(2).toInt());
    const int rows = qMax(1, args.at(3).toInt());
    QuietUi ui;
    fMain w(ui);
    MemoryStore store(&w, ui);
    QueueRun& run = *w.queueRun();
    const QDir work(QDir(ProgramFolder::user()).filePath(QStringLiteral("bench")));
    QList<double> saved, imported;
    for (int r = 0; r < runs; ++r) {
        const QString own = work.filePath(QStringLiteral("own%1").arg(r)), made = work.filePath(QStringLiteral("made%1").arg(r));
        QDir().mkpath(own);
        QDir().mkpath(made);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < rows; ++i)
            if (!store.SaveFile(QDir(own).filePath(QStringLiteral("%1.srb").arg(i)))) return 1;
        saved << clock.nsecsElapsed() / 1e6;

        const QString csvPath = work.filePath(QStringLiteral("sheet%1.csv").arg(r));
        if (!TextFile::writeBytes(csvPath, sheet(rows, r))) return 1;
        clock.restart();
        QString problem;
        const QByteArray bytes = listingcsv::readCsvFile(csvPath, &problem);
        listingcsv::Context context = run.csvHooks().context();
        context.csvFolder = work.path();
        const listingcsv::Plan plan = listingcsv::plan(csv::read(bytes), context);
        const listingcsv::Made out = listingcsv::make(plan.rows, made, run.csvHooks().maker());
        const int queued = run.add(out.files);
        imported << clock.nsecsElapsed() / 1e6;
        if (plan.goodRows() != rows || out.files.size() != rows || queued != rows) {
            QTextStream(stderr) << "bench_import: " << plan.goodRows() << " good rows, " << out.files.size() << " made, " << queued
                                << " queued of " << rows << "\n";
            return 1;
        }
    }
    const double s = median(saved), i = median(imported);
    QTextStream(stdout) << QStringLiteral(
                               "CSV import of %1 rows to memory files and queue rows: %2 ms, baseline (the window saving %1 memory files) "
                               "%3 ms (medians of %4)\n")
                               .arg(rows)
                               .arg(i, 0, 'f', 0)
                               .arg(s, 0, 'f', 0)
                               .arg(runs)
                        << QStringLiteral("ratio import/save: %1 (goal: at most 2.00)\n").arg(i / s, 0, 'f', 2);
    return 0;
}
