#include "sales/TrackingImport.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <optional>

#include "core/Csv.h"
#include "sales/ReplyAddress.h"

namespace sales {

namespace {
// Full-width letters and digits as half-width, any dash as "-", no spaces: headings, names and
// numbers compare as the seller reads them.
QString plain(const QString& text) {
    static const QRegularExpression space(QStringLiteral("\\s"));
    return asciiDigitsAndDashes(text).remove(space);
}

// A number as it is compared: its letters and digits, upper case ("1234-5678" is "12345678").
QString bare(const QString& number) {
    QString out;
    for (const QChar c : plain(number))
        if (c.unicode() < 128 && c.isLetterOrNumber()) out += c.toUpper();
    return out;
}

int columnNamed(const QStringList& headings, const QStringList& words, const QStringList& unless = {}) {
    for (int c = 0; c < headings.size(); ++c) {
        const QString heading = plain(headings[c]);
        const auto in = [&heading](const QString& w) { return heading.contains(w, Qt::CaseInsensitive); };
        if (std::any_of(words.begin(), words.end(), in) && std::none_of(unless.begin(), unless.end(), in)) return c;
    }
    return -1;
}

const QStringList kTrackingWords{QStringLiteral("伝票番号"),     QStringLiteral("問い合わせ番号"), QStringLiteral("問合せ番号"),
                                 QStringLiteral("問合わせ番号"), QStringLiteral("追跡番号"),       QStringLiteral("送り状番号")};
// The sender's own columns: the seller's postcode is on every line and says nothing of the buyer.
const QStringList kSenderWords{QStringLiteral("依頼主"), QStringLiteral("差出人"), QStringLiteral("発送元"), QStringLiteral("出荷元")};

QDate dateIn(const QString& cell) {
    const QString text = plain(cell.trimmed().section(QLatin1Char(' '), 0, 0));
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
bool sent(const Sale& s) { return s.stage == Stage::Shipped || s.stage == Stage::Received || ended(s); }
}  // namespace

QString outcomeText(TrackingLine::Outcome outcome) {
    switch (outcome) {
        case TrackingLine::Outcome::Take: return QStringLiteral("取り込みます");
        case TrackingLine::Outcome::Same: return QStringLiteral("同じ番号が入っています");
        case TrackingLine::Outcome::Different: return QStringLiteral("別の番号が入っているため、そのままにします");
        case TrackingLine::Outcome::Ended: return QStringLiteral("取消か評価済の取引です");
        case TrackingLine::Outcome::Twice: return QStringLiteral("同じ取引に別の番号の行があるため、取り込みません");
        case TrackingLine::Outcome::Ambiguous: return QStringLiteral("落札者が複数いるオークションで、どの落札者か名前で分かりません");
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
    const int postcodeColumn = columnNamed(headings, {QStringLiteral("郵便番号"), QStringLiteral("〒")}, kSenderWords);
    // Where no auction ID is written: a phone number or a postcode is all digits, as some IDs are.
    QSet<int> notIds{trackingColumn, dateColumn};
    for (int c = 0; c < headings.size(); ++c)
        if (columnNamed({headings[c]}, {QStringLiteral("電話"), QStringLiteral("TEL"), QStringLiteral("郵便"), QStringLiteral("〒")}) == 0)
            notIds.insert(c);

    QHash<QString, QList<int>> byAuction;
    for (int i = 0; i < sales.size(); ++i) byAuction[sales[i].auctionId.toLower()] << i;
    // Each sale's postcode read once, when a line first needs it: a sheet of a thousand lines
    // against years of sales would otherwise read every address a thousand times.
    std::optional<QHash<QString, QList<int>>> byPostcode;
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
        const QString number = bare(line.tracking);
        QStringList rest;  // the rest of the line: where the reference, the name and the address stand
        for (int c = 0; c < cells.size(); ++c)
            if (c != trackingColumn && c != dateColumn) rest << cells[c];
        const QString text = plain(rest.join(QString()));
        const auto named = [&text](const Sale& s) { return !plain(s.winnerName).isEmpty() && text.contains(plain(s.winnerName)); };
        QList<int> byId;
        for (int c = 0; c < cells.size(); ++c) {
            if (notIds.contains(c)) continue;
            for (auto m = word.globalMatch(asciiDigitsAndDashes(cells[c])); m.hasNext();)
                for (int i : byAuction.value(m.next().captured().toLower()))
                    if (!byId.contains(i)) byId << i;
        }

        QList<int> empty, same, other;
        if (!byId.isEmpty()) {
            line.how = QStringLiteral("オークションID");
            QList<int> live;
            for (int i : byId)
                if (!ended(sales[i])) live << i;
            // An auction with more than one winner (several items): the line's name says whose parcel it is.
            QList<int> chosen;
            bool ambiguous = false;
            for (int i : live) {
                const auto winners =
                    std::count_if(live.begin(), live.end(), [&](int j) { return sales[j].auctionId == sales[i].auctionId; });
                if (winners == 1 || named(sales[i]))
                    chosen << i;
                else if (std::none_of(live.begin(), live.end(),
                                      [&](int j) { return sales[j].auctionId == sales[i].auctionId && named(sales[j]); }))
                    ambiguous = true;
            }
            for (int i : chosen) {
                const QString has = bare(sales[i].shipment.tracking);
                (has.isEmpty() ? empty : has == number ? same : other) << i;
            }
            if (live.isEmpty()) {
                line.sales = byId;
                line.outcome = TrackingLine::Outcome::Ended;
                file.lines << line;
                continue;
            }
            if (ambiguous) {
                line.sales = live;
                line.outcome = TrackingLine::Outcome::Ambiguous;
                file.lines << line;
                continue;
            }
        } else {
            // No ID on the line: the sales to that postcode and name not yet sent.
            const QString where = postcodeColumn >= 0 ? cells.value(postcodeColumn) : rest.join(QLatin1Char('\n'));
            const QString postcode = readReplyAddress(where).postcode;
            if (!postcode.isEmpty() && !byPostcode) {
                byPostcode.emplace();
                for (int i = 0; i < sales.size(); ++i)
                    if (!ended(sales[i]) && !sales[i].address.isEmpty())
                        if (const QString p = readReplyAddress(sales[i].address).postcode; !p.isEmpty()) (*byPostcode)[p] << i;
            }
            for (int i : postcode.isEmpty() ? QList<int>() : byPostcode->value(postcode)) {
                const Sale& s = sales[i];
                if (!named(s)) continue;
                const QString has = bare(s.shipment.tracking);
                if (has == number)
                    same << i;
                else if (!sent(s))
                    (has.isEmpty() ? empty : other) << i;
            }
            if (!empty.isEmpty() || !same.isEmpty() || !other.isEmpty()) line.how = QStringLiteral("郵便番号と名前");
        }
        // Another number already there is the seller's: kept, and said before anything else.
        line.sales = !other.isEmpty() ? other : !empty.isEmpty() ? empty : same;
        line.outcome = !other.isEmpty()   ? TrackingLine::Outcome::Different
                       : !empty.isEmpty() ? TrackingLine::Outcome::Take
                       : !same.isEmpty()  ? TrackingLine::Outcome::Same
                                          : TrackingLine::Outcome::NotFound;
        file.lines << line;
    }
    // A sale on lines with two numbers: the seller decides, none is taken. The same number on a
    // second line adds nothing for the sales the first line took.
    QHash<int, QSet<QString>> numbers;
    for (const TrackingLine& line : file.lines)
        if (line.outcome == TrackingLine::Outcome::Take)
            for (int i : line.sales) numbers[i].insert(bare(line.tracking));
    QSet<int> taken;
    for (TrackingLine& line : file.lines) {
        if (line.outcome != TrackingLine::Outcome::Take) continue;
        if (std::any_of(line.sales.begin(), line.sales.end(), [&](int i) { return numbers.value(i).size() > 1; })) {
            line.outcome = TrackingLine::Outcome::Twice;
            continue;
        }
        const bool fresh = std::any_of(line.sales.begin(), line.sales.end(), [&](int i) { return !taken.contains(i); });
        for (int i : line.sales) taken.insert(i);
        if (!fresh) line.outcome = TrackingLine::Outcome::Same;
    }
    if (file.lines.isEmpty()) file.problem = QStringLiteral("追跡番号の行がありません。");
    return file;
}

}  // namespace sales
