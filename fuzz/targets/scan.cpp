// The scan: item figures out of any page text, the list walk over any
// links, the rows, and the previous scan's file.
#include "FuzzInput.h"

#include "myauction/Scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in(data, size);
    const scan::Figures figures = scan::parseItemFigures(in.text(0));

    // Up to three list pages, each a list of links "text" / "address" from the fields.
    QHash<QString, std::optional<QList<scan::Link>>> pages;
    const QStringList addresses{QStringLiteral("/p1"), QStringLiteral("/p2"), QStringLiteral("/p3")};
    int field = 1;
    for (const QString& page : addresses) {
        const int links = in.number(field++, 12);
        if (links == 11) {
            pages.insert(page, std::nullopt);  // a page that did not load
            continue;
        }
        QList<scan::Link> list;
        for (int k = 0; k < links; ++k) {
            const QString text = in.text(field++);
            const int target = in.number(field++, 6);
            list << scan::Link{text, target < 3 ? addresses[target] : QStringLiteral("/item%1").arg(target)};
        }
        pages.insert(page, list);
    }
    const scan::Walk walk = scan::walk(addresses[0], pages);
    QHash<QString, std::optional<scan::Figures>> fetched;
    int n = 0;
    for (const QString& address : scan::fetchList(walk.steps))
        fetched.insert(address, n++ % 3 == 2 ? std::nullopt : std::optional<scan::Figures>(figures));
    QList<scan::Row> rows = scan::buildRows(walk.steps, fetched);
    scan::applyPrevious(rows, in.text(field++));
    scan::compare(rows);
    const QStringList lines = scan::previousLines(rows);
    FUZZ_CHECK(lines.size() == rows.size());
    for (const scan::Row& row : rows)
        for (int c : {2, 3, 4}) {
            const QString five = scan::fiveDigits(row.cells[c]);
            // A number is written out whole: never in exponent form.
            FUZZ_CHECK(five == row.cells[c] || !five.contains(QLatin1Char('e')));
        }
    return 0;
}
