#include "myauction/Scan.h"

#include <QRegularExpression>
#include <QSet>
#include <cmath>

#include "core/Values.h"

namespace scan {

QList<Row> buildRows(const QList<Step>& steps, const QHash<QString, std::optional<Figures>>& fetched, int* failedSteps) {
    QList<Row> rows;
    int failed = 0;
    for (const Step& s : steps) {
        const std::optional<Figures> found = fetched.value(pageOf(s.address));
        if (!found) ++failed;
        const Figures f = found.value_or(Figures{});  // a failed page shows nothing, not the last one's figures
        if (s.kind == Step::Kind::Title) {
            if (!s.addsRow) continue;
            Row row;
            row.address = s.address;
            row.cells[0] = QString::number(s.counter);
            row.cells[1] = s.text;
            row.cells[2] = f.access;
            row.cells[3] = f.watch;
            row.cells[5] = f.timeLeft;
            row.cells[6] = f.price;
            for (int c = 2; c <= 6; ++c) row.colours[c] = kCurrent;
            for (int c = 7; c <= 10; ++c) row.colours[c] = kPrevious;
            if (values::leadingNumber(f.watch) != 0) row.colours[3] = kWatched;
            rows << row;
        } else {
            const int index = s.counter - 2;  // grid row counter - 1, rows counted from 1
            if (index < 0 || index >= rows.size()) continue;
            Row& row = rows[index];
            row.cells[4] = s.text;
            if (found) row.cells[6] = f.price;  // the row's own price stays when the bid page failed
            for (int c = 1; c <= 14; ++c) row.colours[c] = kBid;
        }
    }
    if (failedSteps) *failedSteps = failed;
    return rows;
}

void applyPrevious(QList<Row>& rows, const QString& fileText) {
    QString text = fileText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (int i = 0; i < rows.size() && i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QLatin1Char(','));
        for (int k = 0; k < 4; ++k) {
            const QString field = fields.value(k).trimmed();
            const std::optional<double> n = k < 3 ? numeric(field) : std::nullopt;
            rows[i].cells[7 + k] = n ? values::plainDecimal(*n) : field;  // 00012 shows as 12
        }
    }
}

void compare(QList<Row>& rows) {
    const int pairs[][3] = {{2, 7, 11}, {3, 8, 12}, {4, 9, 13}, {6, 10, 14}};
    for (Row& row : rows)
        for (const auto& p : pairs) {
            if (row.listedSinceLastScan) {
                row.cells[p[2]].clear();
                continue;
            }
            const double d = values::leadingNumber(row.cells[p[0]]) - values::leadingNumber(row.cells[p[1]]);
            row.cells[p[2]] = d == 0 ? QString() : values::plainDecimal(d);
            if (values::leadingNumber(row.cells[p[2]]) != 0) row.colours[p[2]] = kChanged;
        }
}

QString fiveDigits(const QString& cell) {
    const std::optional<double> n = numeric(cell);
    if (!n) return cell;
    // Whole digits are padded as they stand, however many; anything else is rounded as a
    // double and written without a cast (a figure of 1e30 has no long long).
    static const QRegularExpression digitsOnly(QStringLiteral("^([+-]?)0*(\\d+)$"));
    const QRegularExpressionMatch m = digitsOnly.match(QString(cell).remove(QLatin1Char(',')).trimmed());
    if (m.hasMatch()) {
        const QString digits = m.captured(2).rightJustified(5, QLatin1Char('0'));
        return m.captured(1) == QLatin1String("-") && m.captured(2).contains(QRegularExpression(QStringLiteral("[1-9]")))
                   ? QStringLiteral("-") + digits
                   : digits;
    }
    const double whole = std::round(*n);
    const QString digits = values::plainDecimal(std::fabs(whole)).rightJustified(5, QLatin1Char('0'));
    return whole < 0 ? QStringLiteral("-") + digits : digits;
}

QStringList previousLines(const QList<Row>& rows) {
    QStringList lines;
    for (const Row& row : rows)
        lines << fiveDigits(row.cells[2]) + QLatin1Char(',') + fiveDigits(row.cells[3]) + QLatin1Char(',') + fiveDigits(row.cells[4]) +
                     QLatin1Char(',') + row.cells[6];
    return lines;
}

QString listProblemMessage(ListProblem problem, int httpStatus) {
    switch (problem) {
        case ListProblem::None: return QString();
        case ListProblem::NoAnswer:
            return QStringLiteral(
                "出品リストのページが時間内に表示されませんでした。\r\n"
                "インターネットへの接続を確認して、しばらくしてから再度お試し下さい。");
        case ListProblem::ServerError:
            return QStringLiteral("出品リストのページでサーバーのエラーが返されました。（%1）\r\nしばらくしてから再度お試し下さい。")
                .arg(httpStatus);
        case ListProblem::Unreadable:
            return QStringLiteral("出品リストのページを読み取れませんでした。\r\nしばらくしてから再度お試し下さい。");
        case ListProblem::TooLarge:
            return QStringLiteral("出品リストのページが大きすぎるため、読み込みを中止しました。\r\nしばらくしてから再度お試し下さい。");
        case ListProblem::SignedOut: return QStringLiteral("Yahooにログインしていません。\r\nログインしてから再度解析して下さい。");
    }
    return QString();
}

QString clockText(int hour, int minute) { return QStringLiteral("%1:%2").arg(hour).arg(minute); }

QList<HistoryStore::Row> storedRows(const QList<Row>& rows) {
    QList<HistoryStore::Row> out;
    out.reserve(rows.size());
    for (const Row& row : rows)
        out << HistoryStore::Row{row.address,      row.cells[kTitle],    row.cells[kAccess], row.cells[kWatch],
                                 row.cells[kBids], row.cells[kTimeLeft], row.cells[kPrice]};
    return out;
}

Comparison applyPreviousById(QList<Row>& rows, const QHash<QString, HistoryStore::Entry>& previous, const QStringList& lastIds,
                             bool wholeList) {
    Comparison c;
    QSet<QString> current;
    for (Row& row : rows) {
        const QString id = HistoryStore::auctionIdOf(row.address);
        current.insert(id);
        const auto it = previous.constFind(id);
        if (it != previous.constEnd()) {
            row.cells[kPreviousAccess] = it->access;
            row.cells[kPreviousWatch] = it->watch;
            row.cells[kPreviousBids] = it->bids;
            row.cells[kPreviousPrice] = it->price;
            ++c.byId;
        } else if (!lastIds.isEmpty() && !id.isEmpty()) {
            // Listed since the last scan: nothing of its own to compare with, and nobody else's figures either.
            for (int col = kPreviousAccess; col <= kPreviousPrice; ++col) row.cells[col].clear();
            row.cells[kPreviousAccess] = kNewMark;
            // A listing with bids stays yellow from end to end; the mark says it is new.
            for (int col = kPreviousAccess; col <= kPreviousPrice; ++col)
                if (row.colours[col] != kBid) row.colours[col] = kNew;
            row.listedSinceLastScan = true;
            ++c.fresh;
            ++c.byId;
        } else {
            ++c.byPosition;
        }
    }
    c.endedCounted = wholeList;
    if (wholeList)
        for (const QString& id : lastIds)
            if (!current.contains(id)) ++c.ended;
    return c;
}

bool isPreviousFileOf(const HistoryStore::Base& base, const QString& fileText) {
    QList<Row> rows;
    for (const QString& id : base.ids) {
        const HistoryStore::Entry& e = base.byId[id];
        Row row;
        row.cells[kAccess] = e.access;
        row.cells[kWatch] = e.watch;
        row.cells[kBids] = e.bids;
        row.cells[kPrice] = e.price;
        rows << row;
    }
    QString expected;
    for (const QString& line : previousLines(rows)) expected += line + QStringLiteral("\r\n");
    return expected == fileText;
}

}  // namespace scan
