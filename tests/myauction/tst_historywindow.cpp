// The history window's exports and its chart's time axis.
#include <QtTest>

#include <QSet>

#include "myauction/HistoryWindow.h"

namespace {
QDateTime at(int day, int hour) { return QDateTime(QDate(2026, 12, day), QTime(hour, 0)); }
}  // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void csvForASpreadsheet() {
        HistoryStore::Entry e;
        e.taken = at(3, 21);
        e.auctionId = QStringLiteral("a1");
        e.row = 4;
        e.title = QStringLiteral("ソラ光学 SK-300, \"美品\"");
        e.access = QStringLiteral("15");
        e.price = QStringLiteral("1500");
        QCOMPARE(HistoryWindow::historyCsv({e}), QStringLiteral("日時,オークションID,タイトル,アクセス,ウォッチ,入札,残り時間,価格\r\n"
                                                                "2026/12/03 21:00,a1,\"ソラ光学 SK-300, \"\"美品\"\"\",15,,,,1500\r\n"));
        QVERIFY(HistoryWindow::scanCsv({e}).startsWith(QStringLiteral("No.,日時,オークションID")));
        QVERIFY(HistoryWindow::scanCsv({e}).contains(QStringLiteral("\r\n4,2026/12/03 21:00,a1,")));
    }

    void theChartsTimeLabelsReadWellWhateverTheSpacing() {
        const QDateTime morning(QDate(2026, 12, 9), QTime(9, 0));
        struct Case {
            QDateTime last;
            bool dated;
        };
        const Case cases[] = {{morning, false},                    // one scan
                              {morning.addSecs(40), false},        // two scans seconds apart
                              {morning.addSecs(5 * 60), false},    // minutes
                              {morning.addSecs(3 * 3600), false},  // a morning
                              {morning.addSecs(20 * 3600), true},  // overnight: another date
                              {morning.addDays(3), true},
                              {morning.addDays(40), true},
                              {morning.addDays(400), true}};
        for (const Case& c : cases) {
            const HistoryWindow::TimeAxis axis = HistoryWindow::timeAxis(morning, c.last);
            const QStringList labels = HistoryWindow::timeLabels(axis);
            const QString what = labels.join(QStringLiteral(" | "));
            QVERIFY2(labels.size() >= 2, qPrintable(what));
            // No label twice, and the date only once the scans span days.
            QVERIFY2(QSet<QString>(labels.begin(), labels.end()).size() == labels.size(), qPrintable(what));
            QVERIFY2(labels.first().contains(QLatin1Char('/')) == c.dated, qPrintable(what));
            QVERIFY2(axis.from <= morning && axis.to >= c.last, qPrintable(what));
        }
        // A year turned: the year is shown.
        QVERIFY(HistoryWindow::timeLabels(
                    HistoryWindow::timeAxis(QDateTime(QDate(2026, 12, 30), QTime(9, 0)), QDateTime(QDate(2027, 1, 2), QTime(9, 0))))
                    .first()
                    .startsWith(QStringLiteral("2026/")));
    }
};

QTEST_GUILESS_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
