#include <QtTest>

#include "myauction/Scan.h"

using namespace scan;

namespace {
Link l(const char* text, const char* href = "") { return Link{QString::fromUtf8(text), QString::fromUtf8(href)}; }

// A page of the list: what comes before the list, the rows, what comes after.
QList<Link> listPage(const QList<Link>& rows, const QList<Link>& after = {}) {
    QList<Link> links{l("Yahoo! JAPAN", "/"), l("出品する", "/sell"), l("前の50件", "/p0"), l("入札", "/sort"), l("残り時間", "/sort2")};
    links += rows;
    links += after;
    links << l("プライバシーの考え方", "/privacy") << l("ヘルプ", "/help");
    return links;
}

Figures figures(const char* access, const char* watch, const char* left, const char* price) {
    return Figures{QString::fromUtf8(price), QString::fromUtf8(watch), QString::fromUtf8(left), QString::fromUtf8(access)};
}

// A row of the grid for a listing, with its figures as a scan shows them.
Row historyRow(const char* id, const char* title, const char* access, const char* watch, const char* bids, const char* price) {
    Row r;
    r.address = QStringLiteral("http://page.example/jp/auction/") + QLatin1String(id);
    r.cells[kTitle] = QString::fromUtf8(title);
    r.cells[kAccess] = QLatin1String(access);
    r.cells[kWatch] = QLatin1String(watch);
    r.cells[kBids] = QLatin1String(bids);
    r.cells[kTimeLeft] = QStringLiteral("2日");
    r.cells[kPrice] = QLatin1String(price);
    return r;
}
}  // namespace

class TestScan : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theWalkOverOnePage() {
        QHash<QString, std::optional<QList<Link>>> pages;
        pages.insert(QStringLiteral("/p1"), listPage({l("カメラ", "/a1"), l("3", "/a1#bids"), l("taro", "/u/taro"), l("管理", "/m1"),
                                                      l("本", "/a2"), l("管理", "/m2"), l("  ", "/blank"), l("時計", "/a3")}));
        const Walk w = walk(QStringLiteral("/p1"), pages);
        QVERIFY(w.missing.isEmpty());
        QCOMPARE(w.steps.size(), 4);
        QCOMPARE(w.steps[0].kind, Step::Kind::Title);
        QCOMPARE(w.steps[0].address, QStringLiteral("/a1"));
        QCOMPARE(w.steps[0].counter, 1);
        QCOMPARE(w.steps[1].kind, Step::Kind::Bid);  // the bidder's link after it is passed over
        QCOMPARE(w.steps[1].text, QStringLiteral("3"));
        QCOMPARE(w.steps[1].counter, 2);
        QCOMPARE(w.steps[2].text, QStringLiteral("本"));
        QCOMPARE(w.steps[3].counter, 3);
        // The bid count links to its listing's own page (at its bids): that page is asked for once.
        QCOMPARE(fetchList(w.steps), (QStringList{QStringLiteral("/a1"), QStringLiteral("/a2"), QStringLiteral("/a3")}));

        const QHash<QString, std::optional<Figures>> fetched{{QStringLiteral("/a1"), figures("15", "", "2日", "1600")},
                                                             {QStringLiteral("/a2"), figures("7", "2", "5時間", "800")},
                                                             {QStringLiteral("/a3"), figures("", "", "1日", "300")}};
        const QList<Row> rows = buildRows(w.steps, fetched);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(QStringList(rows[0].cells.begin(), rows[0].cells.begin() + 7),
                 (QStringList{QStringLiteral("1"), QStringLiteral("カメラ"), QStringLiteral("15"), QString(), QStringLiteral("3"),
                              QStringLiteral("2日"), QStringLiteral("1600")}));
        for (int c = 1; c <= 14; ++c) QCOMPARE(rows[0].colours[c], kBid);
        QCOMPARE(rows[0].colours[0], Rgb(0));
        QCOMPARE(rows[1].cells[0], QStringLiteral("2"));
        QCOMPARE(rows[1].colours[3], kWatched);
        QCOMPARE(rows[1].colours[2], kCurrent);
        QCOMPARE(rows[1].colours[7], kPrevious);
        QCOMPARE(rows[2].colours[3], kCurrent);  // no watches: not the watch colour
        QCOMPARE(rows[2].cells[4], QString());
    }

    void nextPagesAreWalkedWithACopyOfTheCounter() {
        QHash<QString, std::optional<QList<Link>>> pages;
        pages.insert(QStringLiteral("/p1"), listPage({l("A", "/a"), l("B", "/b")}, {l("次の50件", "/p2")}));
        Walk w = walk(QStringLiteral("/p1"), pages);
        QCOMPARE(w.missing, QStringLiteral("/p2"));  // load it and walk again
        pages.insert(QStringLiteral("/p2"), listPage({l("C", "/c"), l("2", "/c#bids"), l("hana", "/u/h")}));
        w = walk(QStringLiteral("/p1"), pages);
        QVERIFY(w.missing.isEmpty());
        const QList<Row> rows = buildRows(w.steps, {{QStringLiteral("/a"), Figures{}},
                                                    {QStringLiteral("/b"), Figures{}},
                                                    {QStringLiteral("/p2"), Figures{}},
                                                    {QStringLiteral("/c"), Figures{}}});
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[2].cells[0], QStringLiteral("3"));  // numbered on from the first page
        QCOMPARE(rows[2].cells[1], QStringLiteral("C"));
        QCOMPARE(rows[2].cells[4], QStringLiteral("2"));
        // The page link itself is a step that adds no row, and its page is no item page to fetch.
        QCOMPARE(w.steps[2].text, QStringLiteral("次の50件"));
        QVERIFY(!w.steps[2].addsRow);
        QCOMPARE(fetchList(w.steps), (QStringList{QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")}));

        // Before any row the counter is 1: a 次の50件 above the list starts no walk.
        pages.clear();
        pages.insert(QStringLiteral("/p1"),
                     QList<Link>{l("次の50件", "/p2"), l("残り時間", "/sort"), l("A", "/a"), l("プライバシーの考え方", "/privacy")});
        w = walk(QStringLiteral("/p1"), pages);
        QVERIFY(w.missing.isEmpty());
        QCOMPARE(w.steps.size(), 1);
        // 前の50件 within the list adds no row, though it counts as a listing would.
        pages.insert(QStringLiteral("/p1"), listPage({l("前の50件", "/p0"), l("A", "/a")}));
        w = walk(QStringLiteral("/p1"), pages);
        const QList<Row> one = buildRows(w.steps, {});
        QCOMPARE(one.size(), 1);
        QCOMPARE(one[0].cells[0], QStringLiteral("2"));
    }

    void aPageThatLinksBackIsNotWalkedAgain() {
        QHash<QString, std::optional<QList<Link>>> pages;
        pages.insert(QStringLiteral("/p1"), listPage({l("A", "/a")}, {l("次の50件", "/p2")}));
        pages.insert(QStringLiteral("/p2"), listPage({l("B", "/b")}, {l("次の50件", "/p1")}));
        const Walk w = walk(QStringLiteral("/p1"), pages);
        QVERIFY(w.missing.isEmpty());
        QCOMPARE(buildRows(w.steps, {}).size(), 2);
    }

    void aFailedBidPageKeepsTheRowsOwnPrice() {
        // A bid count that links to a page of its own (the bid history), and that page failed.
        QHash<QString, std::optional<QList<Link>>> pages;
        pages.insert(QStringLiteral("/p1"), listPage({l("A", "/a"), l("2", "/bids?a"), l("taro", "/u")}));
        const Walk w = walk(QStringLiteral("/p1"), pages);
        QCOMPARE(fetchList(w.steps), (QStringList{QStringLiteral("/a"), QStringLiteral("/bids?a")}));
        const QList<Row> rows =
            buildRows(w.steps, {{QStringLiteral("/a"), figures("5", "", "1日", "700")}, {QStringLiteral("/bids?a"), std::nullopt}});
        QCOMPARE(rows[0].cells[4], QStringLiteral("2"));
        QCOMPARE(rows[0].cells[6], QStringLiteral("700"));
        // The listing's own page at its bids: its one answer serves the title and the bid count.
        pages.insert(QStringLiteral("/p1"), listPage({l("A", "/a"), l("2", "/a#bids"), l("taro", "/u")}));
        const Walk same = walk(QStringLiteral("/p1"), pages);
        QCOMPARE(fetchList(same.steps), QStringList{QStringLiteral("/a")});
        int failed = 0;
        const QList<Row> one = buildRows(same.steps, {{QStringLiteral("/a"), figures("5", "", "1日", "700")}}, &failed);
        QCOMPARE(failed, 0);
        QCOMPARE(one[0].cells[4], QStringLiteral("2"));
        QCOMPARE(one[0].cells[6], QStringLiteral("700"));
    }

    void aPageThatDidNotLoadEndsItsWalk() {
        QHash<QString, std::optional<QList<Link>>> pages;
        pages.insert(QStringLiteral("/p1"), std::nullopt);
        const Walk w = walk(QStringLiteral("/p1"), pages);
        QVERIFY(w.missing.isEmpty());
        QVERIFY(w.steps.isEmpty());
    }

    void aFailedItemPageShowsEmptyFiguresNotTheOneBefore() {
        QHash<QString, std::optional<QList<Link>>> pages;
        pages.insert(QStringLiteral("/p1"), listPage({l("A", "/a"), l("B", "/b")}));
        const Walk w = walk(QStringLiteral("/p1"), pages);
        int failed = 0;
        const QList<Row> rows =
            buildRows(w.steps, {{QStringLiteral("/a"), figures("15", "3", "2日", "1500")}, {QStringLiteral("/b"), std::nullopt}}, &failed);
        QCOMPARE(failed, 1);
        QCOMPARE(rows[1].cells[2], QString());
        QCOMPARE(rows[1].cells[6], QString());
        QCOMPARE(rows[1].cells[1], QStringLiteral("B"));  // the row itself is still there
    }

    void figuresOfAnItemPage() {
        const QString page = QStringLiteral(
            "<html><head><title>Yahoo!オークション - カメラ</title></head><body>\n<div id=\"figures\">\n"
            "<p class=\"price\">現在の価格：<b>1,500 円</b></p>\n"
            "<p>残り時間：<b>2日</b></p>\n"
            "<p>アクセス総数：<b>123</b></p>\n"
            "<p>ウォッチリストに追加した総数：<b>0</b></p>\n</div>\n</body></html>");
        const Figures f = parseItemFigures(page);
        QCOMPARE(f.price, QStringLiteral("1500"));
        QCOMPARE(f.timeLeft, QStringLiteral("2日"));
        QCOMPARE(f.access, QStringLiteral("123"));
        QCOMPARE(f.watch, QString());  // exactly "0" is empty
        // The two pieces after the label, whatever they are; nothing found, nothing taken.
        const Figures g = parseItemFigures(QStringLiteral("<td>アクセス総数：</td><td>12</td><td>件</td><td>x</td>"));
        QCOMPARE(g.access, QStringLiteral("12件"));
        QCOMPARE(g.price, QString());
        QCOMPARE(parseItemFigures(QStringLiteral("<p>アクセス総数：<b>7</b></p>")).access, QStringLiteral("7"));
    }

    void thePreviousScan() {
        QList<Row> rows(3);
        rows[0].cells[2] = QStringLiteral("15");
        rows[0].cells[3] = QStringLiteral("3");
        rows[0].cells[6] = QStringLiteral("1500");
        rows[1].cells[2] = QStringLiteral("8");
        rows[2].cells[2] = QStringLiteral("4");
        rows[2].cells[6] = QStringLiteral("900");
        applyPrevious(rows, QStringLiteral("00012,00003,,1500\r\n00008,abc,00002,700\r\n"));  // fewer lines than rows
        QCOMPARE(QStringList(rows[0].cells.begin() + 7, rows[0].cells.begin() + 11),
                 (QStringList{QStringLiteral("12"), QStringLiteral("3"), QString(), QStringLiteral("1500")}));
        QCOMPARE(rows[1].cells[8], QStringLiteral("abc"));
        compare(rows);
        QCOMPARE(rows[0].cells[11], QStringLiteral("3"));
        QCOMPARE(rows[0].colours[11], kChanged);
        QCOMPARE(rows[0].cells[12], QString());  // equal: empty and uncoloured
        QCOMPARE(rows[0].colours[12], Rgb(0));
        QCOMPARE(rows[1].cells[11], QString());
        QCOMPARE(rows[1].cells[13], QStringLiteral("-2"));
        QCOMPARE(rows[1].cells[14], QStringLiteral("-700"));
        QCOMPARE(rows[2].cells[11], QStringLiteral("4"));  // no line: the difference is the current value
        QCOMPARE(rows[2].cells[14], QStringLiteral("900"));

        QList<Row> one(1);
        applyPrevious(one, QStringLiteral("1,2,3,4\r\n5,6,7,8\r\n"));  // more lines than rows
        QCOMPARE(one[0].cells[7], QStringLiteral("1"));
        QCOMPARE(one.size(), 1);
    }

    void theFileWritesFiveDigits() {
        QList<Row> rows(2);
        rows[0].cells[2] = QStringLiteral("12");
        rows[0].cells[3] = QString();
        rows[0].cells[4] = QStringLiteral("3");
        rows[0].cells[6] = QStringLiteral("1500");
        rows[1].cells[2] = QStringLiteral("123456");
        rows[1].cells[3] = QStringLiteral("2日");
        QCOMPARE(previousLines(rows), (QStringList{QStringLiteral("00012,,00003,1500"), QStringLiteral("123456,2日,,")}));
        QCOMPARE(fiveDigits(QStringLiteral("-3")), QStringLiteral("-00003"));
        QCOMPARE(clockText(9, 5), QStringLiteral("9:5"));
        QCOMPARE(clockText(21, 30), QStringLiteral("21:30"));
    }

    void hugeFiguresNeitherOverflowNorTurnIntoExponents() {
        // An item page that says 1e30, or 20 digits: written whole, compared without overflow.
        QCOMPARE(fiveDigits(QStringLiteral("1e30")), QStringLiteral("1000000000000000019884624838656"));
        QCOMPARE(fiveDigits(QStringLiteral("12345678901234567890")), QStringLiteral("12345678901234567890"));
        QCOMPARE(fiveDigits(QStringLiteral("2.6")), QStringLiteral("00003"));
        QCOMPARE(fiveDigits(QStringLiteral("-0")), QStringLiteral("00000"));
        QList<Row> rows(1);
        rows[0].cells[2] = QStringLiteral("1e30");
        applyPrevious(rows, QStringLiteral("1e30,99999999999999999999,-1e300,5\r\n"));
        QCOMPARE(rows[0].cells[7], QStringLiteral("1000000000000000019884624838656"));
        compare(rows);
        QCOMPARE(rows[0].cells[11], QString());  // the same figure: no difference
        QVERIFY(!rows[0].cells[12].contains(QLatin1Char('e')));
    }

    void theComparisonByIdAndWhatIsNewOrEnded() {
        QList<Row> rows{historyRow("a1", "カメラ", "20", "2", "1", "700"), historyRow("c3", "時計", "3", "", "", "300"),
                        historyRow("d4", "新しい出品", "1", "", "", "900"), historyRow("e5", "入札のある新しい出品", "4", "", "2", "1500")};
        // As the list page colours them: a row with bids is yellow (255, 255, 0) in every
        // column, new or not; the previous columns of any other row are pale green.
        for (Rgb& colour : rows[3].colours) colour = 0xFFFF00;
        for (int col = 7; col <= 10; ++col) rows[2].colours[col] = 0xE4FEE0;
        // The positional file put someone else's figures into the new listing's row.
        rows[2].cells[7] = QStringLiteral("99");
        QHash<QString, HistoryStore::Entry> previous;
        HistoryStore::Entry a;
        a.access = QStringLiteral("15"), a.watch = QStringLiteral("2"), a.bids = QStringLiteral("1"), a.price = QStringLiteral("600");
        previous.insert(QStringLiteral("a1"), a);
        HistoryStore::Entry c;
        c.access = QStringLiteral("1"), c.price = QStringLiteral("300");
        previous.insert(QStringLiteral("c3"), c);
        const Comparison cmp = applyPreviousById(rows, previous, {QStringLiteral("a1"), QStringLiteral("b2"), QStringLiteral("c3")});
        QCOMPARE(cmp.byPosition, 0);
        QCOMPARE(cmp.fresh, 2);
        QCOMPARE(cmp.ended, 1);  // b2
        compare(rows);
        QCOMPARE(rows[0].cells[11], QStringLiteral("5"));
        QCOMPARE(rows[0].cells[14], QStringLiteral("100"));
        QCOMPARE(rows[1].cells[11], QStringLiteral("2"));
        QCOMPARE(rows[2].cells[7], QStringLiteral("新規"));
        for (int c = 11; c <= 14; ++c) QCOMPARE(rows[2].cells[c], QString());  // nothing to compare with
        QCOMPARE(rows[2].colours[8], kNew);
        QCOMPARE(rows[3].cells[7], QStringLiteral("新規"));
        QCOMPARE(rows[3].colours[8], Rgb(0xFFFF00));

        // A list page that did not load: its listings are missing from the rows, not ended.
        QList<Row> partial{historyRow("a1", "カメラ", "21", "2", "1", "700")};
        const Comparison cut =
            applyPreviousById(partial, previous, {QStringLiteral("a1"), QStringLiteral("b2"), QStringLiteral("c3")}, false);
        QCOMPARE(cut.ended, 0);
        QVERIFY(!cut.endedCounted);
        QCOMPARE(partial[0].cells[7], QStringLiteral("15"));  // the rows that are there still compare by ID

        // The first scan with a database: nothing known, everything stays by position.
        QList<Row> first{historyRow("a1", "カメラ", "20", "2", "1", "700")};
        first[0].cells[7] = QStringLiteral("12");
        const Comparison none = applyPreviousById(first, {}, {});
        QCOMPARE(none.byPosition, 1);
        QCOMPARE(first[0].cells[7], QStringLiteral("12"));
    }

    // The previous-scan file that the history's last kept scan wrote, and one it did not.
    void thePreviousFileOfTheLastKeptScan() {
        HistoryStore::Base base;
        HistoryStore::Entry a1;
        a1.access = QStringLiteral("12"), a1.watch = QStringLiteral("1"), a1.price = QStringLiteral("600");
        base.ids << QStringLiteral("a1");
        base.byId.insert(QStringLiteral("a1"), a1);
        QVERIFY(isPreviousFileOf(base, QStringLiteral("00012,00001,,600\r\n")));
        QVERIFY(!isPreviousFileOf(base, QStringLiteral("00013,00001,,600\r\n")));
    }
};

QTEST_GUILESS_MAIN(TestScan)
#include "tst_scan.moc"
