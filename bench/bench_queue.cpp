// The listing queue against a slow site: each listing's way from the start of
// its turn to the site's confirmation page, against its floor (the pages the
// site must answer, one after another, times the latency). The seller's time
// on the confirmation page is not counted: the final button is pressed at once.
//
// And the seller's actions per listing, the same saved listings taken out by
// hand (one at a time through the listing pane) and through the queue. Every
// action is a real click, key or dialog answer given to the program or the
// site's page, and counted as it is given; each way has to reach the site's
// completion page with it, so a step the program needed and the count left out
// would stop the run.
//   bench_queue <program folder> <latency ms> <listings>
// The folder's site addresses must point at a simulator started with --latency.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
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
#include "listing/queue/QueueRun.h"
#include "listing/form/SiteFormPane.h"
#include "widgets/Browser.h"

namespace {
int actions = 0;  // the seller's clicks, keys and dialog answers so far

// The seller's side of the program's dialogs: each answer is an action (a click on a
// button), a file dialog one click per file (with Ctrl for more than one) and one on 開く.
class QuietUi : public UiServices {
public:
    Answer message(const QString&, const QString&, Icon, Buttons buttons, QObject*) override {
        ++actions;
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    QString openFileName(const QString&, const QString&, QObject*) override {
        if (files.isEmpty()) return QString();
        actions += 2;
        return files.takeFirst();
    }
    QStringList openFileNames(const QString&, const QString&, QObject*) override {
        actions += static_cast<int>(files.size()) + 1;
        return std::exchange(files, {});
    }
    QStringList files;  // what the seller picks in the next file dialog
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

void click(QWidget* button) {
    ++actions;
    QTest::mouseClick(button, Qt::LeftButton);
}
void key(QWidget* window, Qt::Key k, Qt::KeyboardModifiers modifiers) {
    ++actions;
    QTest::keyClick(window, k, modifiers);
}
template <typename T>
T* find(QWidget* root, const char* name) {
    T* w = root->findChild<T*>(QLatin1String(name));
    if (!w) QTextStream(stderr) << "bench_queue: no control " << name << "\n";
    return w;
}
bool waitFor(const std::function<bool()>& done, int ms = 60000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
// The page at an address ending so, loaded whole (its title alone comes before its links).
bool loadedAt(Browser* wb, const QString& end) {
    return waitFor([&] {
        return wb->url().toString().endsWith(end) &&
               wb->evaluate(QStringLiteral("return document.readyState;")).value.toString() == QLatin1String("complete");
    });
}
bool titled(Browser* wb, const QString& title) {
    return waitFor([&] { return wb->documentTitle().text() == title; });
}
// A click on the site's page, on the element the seller would click.
bool pageClick(Browser* wb, const QString& selector) {
    ++actions;
    return wb->evaluate(QStringLiteral("var e=document.querySelector('%1');if(!e)return false;e.click();return true;").arg(selector))
        .value.toBool();
}

bool say(const char* step) {
    QTextStream(stderr) << "bench_queue: by hand, the step " << QString::fromUtf8(step) << " did not go through\n";
    return false;
}

// One listing by hand: ファイル→開く, the listing tab, カテゴリへ戻る, the category's two
// levels on the site (the program asks whether to continue), the form sent, 画像ｱｯﾌﾟﾛｰﾄﾞ,
// the site's confirmation, its final button.
bool byHand(fMain& w, QuietUi& ui, const QString& file, const QString& title) {
    ui.files = {file};
    key(&w, Qt::Key_O, Qt::ControlModifier);
    if (w.siteFormPane()->title() != title) return say("ファイル→開く");
    auto* tabs = find<QTabWidget>(&w, "vsMAIN");
    if (tabs->currentWidget() != w.siteFormPane()) key(&w, Qt::Key_4, Qt::AltModifier);
    Browser* wb = w.WB();
    click(find<QPushButton>(w.siteFormPane(), "Command20"));
    if (!loadedAt(wb, QStringLiteral("0-submit.html"))) return say("カテゴリへ戻る");
    if (!pageClick(wb, QStringLiteral("a[href$=\"c=21600\"]")) || !loadedAt(wb, QStringLiteral("c=21600"))) return say("カテゴリ");
    // The last level has the continue button: the program asks, and goes on.
    if (!pageClick(wb, QStringLiteral("a[href$=\"c=21601\"]"))) return say("カテゴリ");
    if (!titled(wb, QStringLiteral("Yahoo!オークション - 出品フォーム"))) return say("続ける");
    if (!waitFor(
            [&] { return wb->evaluate(QStringLiteral("return document.getElementsByName('Title')[0].value;")).value.toString() == title; }))
        return say("フォームの入力");
    if (!pageClick(wb, QStringLiteral("input[name=next]")) || !titled(wb, QStringLiteral("Yahoo!オークション - 画像のアップロード")))
        return say("フォームの送信");
    click(find<QPushButton>(w.siteFormPane(), "Command14"));
    if (!waitFor([&] { return wb->bodyText().text().contains(QStringLiteral("bench.jpg")); })) return say("画像ｱｯﾌﾟﾛｰﾄﾞ");
    if (!pageClick(wb, QStringLiteral("#toConfirm")) || !titled(wb, QStringLiteral("Yahoo!オークション - 出品内容の確認")))
        return say("確認画面");
    if (!pageClick(wb, QStringLiteral("#agree")) || !titled(wb, QStringLiteral("Yahoo!オークション - 出品完了"))) return say("出品完了");
    return true;
}
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
    const auto listingFiles = [&](const QString& name) {
        QStringList files;
        for (int i = 0; i < listings; ++i) {
            const QString text = QStringLiteral(
                                     "[出品手続]\r\nタイトル=%3 %1\r\n説明=<p>ベンチ出品</p>\r\n数量=1\r\n開始価格=1000\r\n"
                                     "[出品カテゴリと画像]\r\nカテゴリ=本、雑誌 > 文学、小説\r\n"
                                     "カテゴリのアドレス=/jp/submit/category?c=21601\r\n画像1=%2\r\n")
                                     .arg(i + 1)
                                     .arg(picturePath, name);
            files << QDir(ProgramFolder::user()).filePath(QStringLiteral("%1%2.srb").arg(name).arg(i + 1));
            TextFile::writeBytes(files.last(), cp932::encode(text));
        }
        return files;
    };
    w.resize(1280, 720);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) return 1;

    // By hand, one listing after another.
    const QStringList handFiles = listingFiles(QStringLiteral("手作業"));
    actions = 0;
    for (int i = 0; i < listings; ++i)
        if (!byHand(w, ui, handFiles[i], QStringLiteral("手作業 %1").arg(i + 1))) {
            QTextStream(stderr) << "bench_queue: listing " << i + 1 << " by hand did not reach the completion page\n";
            return 1;
        }
    const int handActions = actions;

    // The queue: 出品キュー, 追加 (every file in one dialog), すぐ次へ, 開始; the final button each time.
    const QStringList files = listingFiles(QStringLiteral("キュー"));
    actions = 0;
    QueueRun& run = *w.queueRun();
    click(find<QPushButton>(w.siteFormPane(), "cmdQUEUE"));
    QWidget* queueWindow = find<QWidget>(&w, "frmQUEUE");
    if (!queueWindow) return 1;
    ui.files = files;
    click(find<QPushButton>(queueWindow, "cmdADD"));
    if (run.queue().rows().size() != listings) {
        QTextStream(stderr) << "bench_queue: the queue has " << run.queue().rows().size() << " rows\n";
        return 1;
    }
    auto* atOnce = find<QCheckBox>(queueWindow, "chkAUTO");
    if (!atOnce->isChecked()) click(atOnce);
    QList<double> perListing;
    QElapsedTimer clock;
    // Where a listing's time goes: each page's completion, from the start of its turn.
    QStringList timeline, lastTimeline;
    QObject::connect(w.WB(), &Browser::DocumentComplete, &app, [&](const QString& address) {
        timeline
            << QStringLiteral("%1 %2").arg(QUrl(address).path().section(QLatin1Char('/'), -1)).arg(clock.nsecsElapsed() / 1e6, 0, 'f', 0);
    });
    // A listing's turn starts when the queue takes its row; the site's answer to the seller's
    // final click (the completion page) belongs to the listing before, as the seller's own time does.
    int timing = 0;
    QObject::connect(&run, &QueueRun::changed, &app, [&] {
        for (const listingqueue::Row& row : run.queue().rows())
            if (row.state == listingqueue::State::Entering && row.id != timing) {
                timing = row.id;
                clock.restart();
                timeline.clear();
            }
    });
    QObject::connect(&run, &QueueRun::atConfirmation, &app, [&] {
        perListing << clock.nsecsElapsed() / 1e6;
        lastTimeline = timeline;
        pageClick(w.WB(), QStringLiteral("#agree"));
    });
    QSignalSpy stopped(&run, &QueueRun::stopped);
    clock.start();
    click(find<QPushButton>(queueWindow, "cmdSTART"));
    QDeadlineTimer deadline(180000);
    while (perListing.size() < listings && stopped.isEmpty() && !deadline.hasExpired()) stopped.wait(500);
    if (perListing.size() < listings) {
        QTextStream(stderr) << "bench_queue: the queue stopped after " << perListing.size()
                            << " listings: " << (stopped.isEmpty() ? QStringLiteral("no answer") : stopped.first().first().toString())
                            << "\n";
        return 1;
    }
    // The last final button's page: the listing is out.
    if (!waitFor([&] { return run.queue().rows().last().state == listingqueue::State::Listed; }, 30000)) {
        QTextStream(stderr) << "bench_queue: the last listing was not seen out\n";
        return 1;
    }
    const int queueActions = actions;
    QTextStream(stdout) << QStringLiteral(
                               "the seller's actions for %1 listings (clicks, keys, dialog answers): by hand %2 (%3 per listing), "
                               "with the queue %4 (%5 per listing)\n")
                               .arg(listings)
                               .arg(handActions)
                               .arg(double(handActions) / listings, 0, 'f', 1)
                               .arg(queueActions)
                               .arg(double(queueActions) / listings, 0, 'f', 1);

    // The first includes the engine's own start on the site's pages; it is dropped when there are more.
    if (perListing.size() > 1) perListing.removeFirst();
    const double p = median(perListing);
    const double floor = double(kPagesPerListing) * latency;
    QTextStream(stdout) << "queue, one listing with one picture to the confirmation page: program " << p << " ms, floor ("
                        << kPagesPerListing << " pages × " << latency << " ms) " << floor << " ms (median of " << perListing.size() << ")\n"
                        << QStringLiteral("ratio program/floor: %1 (goal: at most 1.30)\n").arg(p / floor, 0, 'f', 2)
                        << "the last listing's pages as they completed (ms from the start of its turn): "
                        << lastTimeline.join(QStringLiteral(", ")) << "\n";
    return 0;
}
