// Every window on a laptop's screen. The test runs twice, on a screen whose
// available area is that of a 1366×768 screen and of a 1280×720 one, each
// less a 40-pixel taskbar (the offscreen platform is given that size): every
// window opens inside it, and every named control of every pane and every
// inner tab can be reached, after scrolling its pane where it scrolls.
#include <QtTest>

#include <QApplication>
#include <QLineEdit>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTabWidget>

#include "app/MainPlacement.h"
#include "app/QtUiServices.h"
#include "app/frmSHINDAN.h"
#include "app/fMain.h"
#include "listing/records/frmKIROKU.h"
#include "sales/SalesWindow.h"
#include "listing/csv/frmCSV.h"
#include "listing/queue/frmQUEUE.h"
#include "listing/queue/QueueRun.h"
#include "app/frmKakunin.h"
#include "app/frmVer.h"
#include "description/Cp932Editor.h"
#include "description/ListPickDialog.h"
#include "description/PreviewWindow.h"
#include "description/frmLINK.h"
#include "description/frmMOJI.h"
#include "login/frmLogin.h"
#include "myauction/HistoryWindow.h"
#include "store/HistoryStore.h"
#include "settings/IniFile.h"
#include "settings/SiteAddresses.h"
#include "settings/frmINI.h"
#include "listing/fees/Fees.h"
#include "listing/form/FormCheck.h"
#include "listing/preflight/Preflight.h"
#include "listing/preflight/PreflightWindow.h"
#include "core/ProgramFolder.h"
#include "support/RecordingUiServices.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "widgets/ScreenFit.h"

namespace {
QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// The part of a control that shows: its area cut by every widget it sits in.
QRect shownPart(QWidget* control, QWidget* window) {
    QRect r(control->mapTo(window, QPoint(0, 0)), control->size());
    for (QWidget* a = control->parentWidget(); a && a != window; a = a->parentWidget())
        r &= QRect(a->mapTo(window, QPoint(0, 0)), a->size());
    return r & window->rect();
}

// Every named control now shown: scrolled into view where its pane scrolls, then in sight.
QStringList unreachable(QWidget* window) {
    QStringList out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || !w->isVisibleTo(window) || w->window() != window) continue;
        if (QScrollArea* scroll = ScreenFit::scrollAreaOf(w)) {
            scroll->ensureWidgetVisible(w, 0, 0);
            QCoreApplication::processEvents();
        }
        const QRect part = shownPart(w, window);
        if (part.width() < qMin(w->width(), 16) || part.height() < qMin(w->height(), 12)) out << name;
    }
    return out;
}

// Each page of each tab control in turn (inner ones within their outer page).
QStringList unreachableOnEveryPage(QWidget* window, QList<QTabWidget*> visited = {}) {
    QStringList out = unreachable(window);
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        if (visited.contains(tabs) || !tabs->isVisibleTo(window)) continue;
        const int was = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
            for (const QString& name : unreachableOnEveryPage(window, visited + QList<QTabWidget*>{tabs}))
                if (!out.contains(name)) out << tabs->objectName() + QLatin1Char('/') + tabs->tabText(i) + QLatin1Char(':') + name;
        }
        tabs->setCurrentIndex(was);
    }
    return out;
}

// Centred on the window it belongs to, as far as the screen lets it, at a place the program
// gave it: a window manager puts a window whose place Qt leaves open wherever it likes (its
// top left corner), and keeps only an explicit one.
void checkCentred(QWidget* window) {
    const QString name = QLatin1String(window->metaObject()->className());
    QWidget* owner = window->parentWidget()->window();
    QRect wanted(QPoint(), window->frameGeometry().size());
    wanted.moveCenter(owner->frameGeometry().center());
    wanted = ScreenFit::inside(wanted, available());
    // The frame is not known before the window shows: a usual border and title bar are allowed for.
    const QPoint off = window->frameGeometry().topLeft() - wanted.topLeft();
    QVERIFY2(qAbs(off.x()) <= 8 && qAbs(off.y()) <= 32,
             qPrintable(QStringLiteral("%1 %2,%3 away from the middle of its owner").arg(name).arg(off.x()).arg(off.y())));
    QVERIFY2(window->testAttribute(Qt::WA_Moved), qPrintable(name + QStringLiteral(": no explicit place")));
}

// Shown as the program shows it, then inside the screen with every control in reach.
void checkWindow(QWidget* window) {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCoreApplication::processEvents();
    const QRect frame = window->frameGeometry();
    QVERIFY2(available().contains(frame), qPrintable(QStringLiteral("%1 at %2,%3 %4×%5 on %6×%7")
                                                         .arg(window->objectName())
                                                         .arg(frame.x())
                                                         .arg(frame.y())
                                                         .arg(frame.width())
                                                         .arg(frame.height())
                                                         .arg(available().width())
                                                         .arg(available().height())));
    if (window->parentWidget()) checkCentred(window);
    const QStringList lost = unreachableOnEveryPage(window);
    QVERIFY2(lost.isEmpty(), qPrintable(window->objectName() + QStringLiteral(": ") + lost.join(QStringLiteral(", "))));
}
}  // namespace

class TestScreens : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        ScreenFit::install();
        qInfo("screen: %d×%d available", available().width(), available().height());
    }

    void theMainWindowAndEveryPane() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        RecordingUiServices ui;
        fMain w(ui);
        w.showPlaced();
        checkWindow(&w);
        // No pane holds the window taller than the screen.
        QVERIFY(w.minimumSizeHint().height() < available().height());
    }

    void everyDialog() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        RecordingUiServices ui;
        fMain main(ui);
        // Away from the screen's middle: a window centred on the screen instead is told apart.
        main.setGeometry(QRect(available().topLeft() + QPoint(20, 60), QSize(760, 560)));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        {
            QtUiServices real;
            // A long line: the box takes its size while it is shown.
            bool seen = false;
            QTimer::singleShot(0, [&] {
                QWidget* box = QApplication::activeModalWidget();
                const auto closing = qScopeGuard([box] {
                    if (box) box->close();
                });
                QVERIFY(box);
                checkCentred(box);
                seen = true;
            });
            real.message(QStringLiteral("記憶ファイルを保存できませんでした。\r\n"
                                        "/home/seller/ソラバコ/USER/夏物セール用_ソラ光学の一眼レフとレンズ三本まとめて_最終版.srb\r\n"
                                        "ディスクの空きを確認して下さい。"),
                         QStringLiteral("ソラバコ"), UiServices::Icon::Critical, UiServices::Buttons::Ok, &main);
            QVERIFY(seen);
        }
        {
            frmSHINDAN d(ui, SiteAddresses::hosts(), &main);
            checkWindow(&d);
        }
        {
            frmINI d(ui, {}, &main);
            checkWindow(&d);
        }
        {
            frmLogin d(ui, {}, &main);
            checkWindow(&d);
        }
        for (auto kind : {ListPickDialog::Kind::Phrases, ListPickDialog::Kind::Items}) {
            std::unique_ptr<ListPickDialog> d(ListPickDialog::create(kind, ui, &main));
            QVERIFY(d);
            checkWindow(d.get());
        }
        {
            frmMOJI d(ui, &main);
            checkWindow(&d);
        }
        {
            frmLINK d(ui, &main);
            checkWindow(&d);
        }
        {
            frmVer d(&main);
            checkWindow(&d);
        }
        {
            frmKakunin d(ui, &main);
            checkWindow(&d);
        }
        {
            Cp932Editor d(folder.file(QStringLiteral("MAST/文言一覧.txt")), ui, &main);
            checkWindow(&d);
        }
        {
            PreviewWindow d(&main);
            checkWindow(&d);
        }
        {
            HistoryStore history(folder.file(QStringLiteral("DATA/rireki.sqlite")));
            QCOMPARE(history.open(), HistoryStore::Opened::Ok);
            HistoryStore::Row row;
            row.address = QStringLiteral("http://page.example/jp/auction/a1");
            row.title = QStringLiteral("テスト出品 カメラ");
            QVERIFY(history.store(QDateTime::currentDateTime().addDays(-1), {row}));
            QVERIFY(history.store(QDateTime::currentDateTime(), {row}));
            // With the listing's record under the chart: every confirmation row the site shows.
            HistoryStore::Listed listed;
            listed.auctionId = QStringLiteral("a1");
            listed.listedAt = QDateTime::currentDateTime().addDays(-2);
            listed.title = row.title;
            listed.category = QStringLiteral("家電、AV、カメラ > カメラ、光学機器 > デジタル一眼");
            for (int i = 0; i < 20; ++i) listed.confirmation.append({QStringLiteral("項目%1").arg(i), QStringLiteral("内容")});
            QVERIFY(history.storeListed(listed));
            HistoryWindow d(ui, history, QStringLiteral("a1"), &main);
            d.setRecordOpener([](const QString&) {});
            checkWindow(&d);
            QVERIFY(d.findChild<QWidget*>(QStringLiteral("cmdKIROKU"))->isVisible());
        }
        {
            // The longest summary: every paid option and every field the form did not take.
            listing::FeeEstimate fees;
            fees.choice.bold = fees.choice.background = fees.choice.freeShipping = fees.choice.gift = fees.choice.eyeCatch = true;
            fees.choice.featuredPerDay = QStringLiteral("50");
            fees.choice.days = 7;
            QList<QPair<QString, listing::Reach>> pushed;
            for (const char* name :
                 {"txtTitle",   "txtDescription", "Check16",    "Check17", "Check18", "Check19", "Check20",    "Check21",
                  "Check22",    "Check23",        "Check24",    "Check25", "Check26", "Check27", "imNumLite1", "imNumLite2",
                  "imNumLite4", "imNumLite5",     "imNumLite6", "Combo1",  "Combo3",  "Combo4",  "Combo5",     "Text1"})
                pushed << qMakePair(QLatin1String(name), listing::Reach::Missing);
            pushed << qMakePair(QStringLiteral("Check35"), listing::Reach::Reached);
            const listing::ListingWarnings lacking =
                listing::listingWarnings(QStringLiteral("★★ とても長いタイトルのテスト出品 カメラ レンズ付き ★★"), QString());
            PreflightWindow d(ui, fees, listing::checkForm(pushed), lacking, &main);
            checkWindow(&d);
        }
        {
            frmQUEUE* d = main.showQueue();
            checkWindow(d);
            d->close();
        }
        {
            frmKIROKU* d = main.showRecords();
            checkWindow(d);
            d->close();
        }
        {
            frmCSV d(
                ui, ProgramFolder::mast() + QStringLiteral("出品CSVの見本.csv"), main.queueRun()->csvHooks(),
                [](const QStringList&) { return 0; }, &main);
            checkWindow(&d);
        }
        {
            SalesWindow* d = main.showSales();
            checkWindow(d);
            d->close();
        }
    }

    void theMainWindowComesBackWhereItWas() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        RecordingUiServices ui;
        const QRect area = available();
        const QRect where(area.left() + 40, area.top() + 60, qMin(900, area.width() - 80), qMin(560, area.height() - 100));
        {
            fMain w(ui);
            w.showPlaced();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.setGeometry(where);
            QTRY_COMPARE(w.geometry(), where);
            ui.answers << UiServices::Answer::No;
            QVERIFY(w.close());
        }
        const auto kept = MainPlacement::read(IniFile::load(ProgramFolder::settingsFile()));
        QVERIFY(kept);
        QCOMPARE(kept->normal, where);
        {
            fMain w(ui);
            w.showPlaced();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCOMPARE(w.geometry(), where);
            QVERIFY(!w.isMaximized());
            w.showMaximized();
            QTRY_VERIFY(w.isMaximized());
            ui.answers << UiServices::Answer::No;
            QVERIFY(w.close());
        }
        {
            fMain w(ui);
            w.showPlaced();
            QTRY_VERIFY(w.isMaximized());
            QCOMPARE(w.normalGeometry(), where);
            ui.answers << UiServices::Answer::No;
            QVERIFY(w.close());
        }
        // Closed on a monitor that is gone since: it opens on this one, whole.
        IniFile::update(ProgramFolder::settingsFile(), [&](IniFile& f) {
            MainPlacement::write(f, {QRect(area.right() + 1500, area.top() + 200, 1600, 1000), false});
        });
        fMain w(ui);
        w.showPlaced();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY2(area.contains(w.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3×%4")
                                                                  .arg(w.frameGeometry().x())
                                                                  .arg(w.frameGeometry().y())
                                                                  .arg(w.frameGeometry().width())
                                                                  .arg(w.frameGeometry().height())));
    }

    void placementOnScreens() {
        const QRect laptop(0, 0, 1366, 728), right(1366, 0, 1920, 1040);
        // On a screen: as it was.
        QCOMPARE(ScreenFit::placed(QRect(1500, 100, 1200, 800), {laptop, right}, laptop), QRect(1500, 100, 1200, 800));
        // Its monitor unplugged: onto the one left, centred and no larger than it.
        QCOMPARE(ScreenFit::placed(QRect(1500, 100, 1200, 800), {laptop}, laptop), QRect(83, 0, 1200, 728));
        // Hanging over an edge: pulled in.
        QCOMPARE(ScreenFit::placed(QRect(1000, 400, 600, 500), {laptop}, laptop), QRect(766, 228, 600, 500));
        // Its title bar above the screen: brought back whole, where it can be taken hold of.
        QVERIFY(laptop.contains(ScreenFit::placed(QRect(100, -300, 600, 500), {laptop}, laptop)));
    }
};

SORABAKO_GUI_TEST_MAIN(TestScreens)
#include "tst_screens.moc"
