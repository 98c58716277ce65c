#include "sales/TrackingImport.h"

#include <QHash>
#include <QRegularExpression>

#include "core/Csv.h"
#include "sales/ReplyAddress.h"

namespace sales {

namespace {
// Full-width letters and digits as half-width, half-width katakana as full-width, no spaces:
// headings and numbers compare as the seller reads them.
QString plain(const QString& text) {
    static const QRegularExpression space(QStringLiteral("\\s"));
    return text.normalized(QString::NormalizationForm_KC).remove(space);
}

int columnNamed(const QStringList& headings, const QStringList& words) {
    for (int c = 0; c < headings.size(); ++c)
        for (const QString& w : words)
            if (plain(headings[c]).contains(w)) return c;
    return -1;
}

const QStringList kTrackingWords{QStringLiteral("伝票番号"),     QStringLiteral("問い合わせ番号"), QStringLiteral("問合せ番号"),
                                 QStringLiteral("問合わせ番号"), QStringLiteral("追跡番号"),       QStringLiteral("送り状番号")};

QDate dateIn(const QString& cell) {
    const QString text = plain(cell.section(QLatin1Char(' '), 0, 0));
    for (const char* format : {"yyyy/M/d", "yyyy-M-d", "yyyy.M.d", "yyyyMMdd", "yyyy年M月d日"}) {
        const QDate d = QDate::fromString(text, QString::fromUtf8(format));
        if (d.isValid()) return d;
    }
    return {};
}

// A carrier's number: letters, digits and hyphens, with digits enough to be one.
bool isTrackingNumber(const QString& number) {
    static const QRegularExpression shape(QStringLiteral("^[0-9A-Za-z][0-9A-Za-z-]{5,39}$"));
    return shape.match(number).hasMatch() && std::count_if(number.begin(), number.end(), [](QChar c) { return c.isDigit(); }) >= 4;
}

bool ended(const Sale& s) { return s.stage == Stage::Cancelled || s.stage == Stage::Rated; }
}  // namespace

QString outcomeText(TrackingLine::Outcome outcome) {
    switch (outcome) {
        case TrackingLine::Outcome::Take: return QStringLiteral("取り込みます");
        case TrackingLine::Outcome::Same: return QStringLiteral("同じ番号が入っています");
        case TrackingLine::Outcome::Different: return QStringLiteral("別の番号が入っているため、そのままにします");
        case TrackingLine::Outcome::Ended: return QStringLiteral("取消か評価済の取引です");
        case TrackingLine::Outcome::Twice: return QStringLiteral("同じ取引に別の番号の行があるため、取り込みません");
        case TrackingLine::Outcome::NotFound: return QStringLiteral("合う取引がありません");
        case TrackingLine::Outcome::NoNumber: return QStringLiteral("追跡番号がありません");
    }
    return {};
}

TrackingFile readTrackingFile(const csv::Table& table, const QList<Sale>& sales) {
    TrackingFile file;
    if (!table.problem.isEmpty()) {
        file.problem = table.problem;
        return file;
    }
    // The heading line is the first with a tracking column: some programs write a title line above it.
    int heading = -1, trackingColumn = -1;
    for (int r = 0; r < std::min<qsizetype>(table.records.size(), 5) && trackingColumn < 0; ++r)
        if ((trackingColumn = columnNamed(table.records[r], kTrackingWords)) >= 0) heading = r;
    if (trackingColumn < 0) {
        file.problem = QStringLiteral(
            "追跡番号の列が見つかりません。\r\n見出しの行に「伝票番号」「お問い合わせ番号」「追跡番号」の"
            "どれかがあるCSVを選んで下さい。");
        return file;
    }
    const QStringList& headings = table.records[heading];
    const int dateColumn = columnNamed(headings, {QStringLiteral("発送日"), QStringLiteral("出荷日"), QStringLiteral("出荷予定日")});
    const int carrierColumn = columnNamed(
        headings, {QStringLiteral("配送会社"), QStringLiteral("運送会社"), QStringLiteral("配送業者"), QStringLiteral("配送方法")});

    QHash<QString, QList<int>> byAuction;
    for (int i = 0; i < sales.size(); ++i) byAuction[sales[i].auctionId.toLower()] << i;
    static const QRegularExpression word(QStringLiteral("[0-9A-Za-z]+"));

    for (qsizetype r = heading + 1; r < table.records.size(); ++r) {
        const QStringList& cells = table.records[r];
        if (std::all_of(cells.begin(), cells.end(), [](const QString& c) { return c.trimmed().isEmpty(); })) continue;
        TrackingLine line;
        line.line = table.lines.value(r);
        line.tracking = plain(cells.value(trackingColumn));
        if (dateColumn >= 0) line.date = dateIn(cells.value(dateColumn));
        if (carrierColumn >= 0) line.carrier = cells.value(carrierColumn).trimmed();
        if (!isTrackingNumber(line.tracking)) {
            line.outcome = TrackingLine::Outcome::NoNumber;
            file.lines << line;
            continue;
        }
        // The rest of the line, where the reference and the address stand.
        QStringList rest;
        for (int c = 0; c < cells.size(); ++c)
            if (c != trackingColumn && c != dateColumn) rest << cells[c].normalized(QString::NormalizationForm_KC);
        QList<int> byId;
        for (const QString& cell : rest)
            for (auto m = word.globalMatch(cell); m.hasNext();)
                for (int i : byAuction.value(m.next().captured().toLower()))
                    if (!byId.contains(i)) byId << i;

        if (!byId.isEmpty()) {
            line.how = QStringLiteral("オークションID");
            QList<int> live;
            for (int i : byId)
                if (!ended(sales[i])) live << i;
            if (live.isEmpty()) {
                line.sales = byId;
                line.outcome = TrackingLine::Outcome::Ended;
            } else {
                QList<int> other, empty;
                for (int i : live) {
                    const QString& has = sales[i].shipment.tracking;
                    if (has.isEmpty())
                        empty << i;
                    else if (plain(has) != line.tracking)
                        other << i;
                }
                line.sales = !other.isEmpty() ? other : !empty.isEmpty() ? empty : live;
                line.outcome = !other.isEmpty()   ? TrackingLine::Outcome::Different
                               : !empty.isEmpty() ? TrackingLine::Outcome::Take
                                                  : TrackingLine::Outcome::Same;
            }
        } else {
            // No ID on the line: the sales still to be shipped to that postcode and that name.
            const QString postcode = readReplyAddress(rest.join(QLatin1Char('\n'))).postcode;
            const QString text = plain(rest.join(QString()));
            QList<int> empty, same;
            for (int i = 0; i < sales.size() && !postcode.isEmpty(); ++i) {
                const Sale& s = sales[i];
                const QString name = plain(s.winnerName);
                if (ended(s) || name.isEmpty() || !text.contains(name) || readReplyAddress(s.address).postcode != postcode) continue;
                if (s.shipment.tracking.isEmpty())
                    empty << i;
                else if (plain(s.shipment.tracking) == line.tracking)
                    same << i;
            }
            line.how = QStringLiteral("郵便番号と名前");
            line.sales = !empty.isEmpty() ? empty : same;
            line.outcome = !empty.isEmpty()  ? TrackingLine::Outcome::Take
                           : !same.isEmpty() ? TrackingLine::Outcome::Same
                                             : TrackingLine::Outcome::NotFound;
            if (line.sales.isEmpty()) line.how.clear();
        }
        file.lines << line;
    }
    // A sale on two lines: the same number once is taken once; two numbers, and the seller decides.
    QHash<int, int> takenBy;  // sale → its first line taking it
    for (int l = 0; l < file.lines.size(); ++l) {
        TrackingLine& line = file.lines[l];
        if (line.outcome != TrackingLine::Outcome::Take) continue;
        for (int i : line.sales) {
            if (!takenBy.contains(i)) {
                takenBy.insert(i, l);
                continue;
            }
            TrackingLine& first = file.lines[takenBy.value(i)];
            if (first.tracking == line.tracking) {
                line.outcome = TrackingLine::Outcome::Same;
            } else {
                first.outcome = TrackingLine::Outcome::Twice;
                line.outcome = TrackingLine::Outcome::Twice;
            }
        }
    }
    if (file.lines.isEmpty()) file.problem = QStringLiteral("追跡番号の行がありません。");
    return file;
}

}  // namespace sales
