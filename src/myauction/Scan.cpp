#include "myauction/Scan.h"

#include <QRegularExpression>
#include <QSet>
#include <cmath>

#include "core/Values.h"

namespace scan {
namespace {

// A figure that is a number: blanks around it, a sign, digits with thousands commas, one decimal point.
std::optional<double> numeric(const QString& text) {
    QString t = text.trimmed();
    t.remove(QLatin1Char(','));
    if (t.isEmpty()) return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

class Walker {
public:
    explicit Walker(const QHash<QString, std::optional<QList<Link>>>& pages) : m_pages(pages) {}

    // False when a page the walk needs is not loaded yet.
    bool page(const QString& address, int counter) {
        // A page that links back to one already walked is not walked again (nor for ever).
        if (m_walked.contains(address)) return true;
        const auto it = m_pages.constFind(address);
        if (it == m_pages.constEnd()) {
            missing = address;
            return false;
        }
        m_walked.insert(address);
        if (!it.value()) return true;  // the page did not load: its walk ends here
        bool inList = false;
        bool skipNext = false;  // the link after a bid count (the bidder) is passed over
        for (const Link& link : *it.value()) {
            const QString t = link.text.trimmed();
            const QString& r = link.text;
            if (t == QStringLiteral("プライバシーの考え方")) inList = false;
            if (!t.isEmpty() && inList) {
                if (t == QStringLiteral("管理")) {
                } else if (numeric(r)) {
                    steps << Step{Step::Kind::Bid, link.href, r, counter, false};
                    skipNext = true;
                } else if (skipNext) {
                    skipNext = false;
                } else {
                    steps << Step{Step::Kind::Title, link.href, r, counter, r != kNextPage && r != kPreviousPage};
                    ++counter;
                }
            }
            if (t == QStringLiteral("残り時間")) inList = true;
            // The next page numbers its rows on from here; this page's counter is left as it is.
            if (t == kNextPage && counter != 1 && !page(link.href, counter - 1)) return false;
        }
        return true;
    }

    QList<Step> steps;
    QString missing;

private:
    const QHash<QString, std::optional<QList<Link>>>& m_pages;
    QSet<QString> m_walked;
};

// The text of the match after the label's, and of the one after that.
QString valueAfter(const QStringList& pieces, const QString& label) {
    for (int j = 0; j < pieces.size(); ++j) {
        if (!pieces[j].contains(label)) continue;
        QString value;
        for (int k = j + 1; k <= j + 2 && k < pieces.size(); ++k) value += pieces[k];
        return value;
    }
    return QString();
}

}  // namespace

Figures parseItemFigures(const QString& pageText) {
    static const QRegularExpression between(QStringLiteral(">[^<>/]+<"));
    QStringList pieces;
    for (auto it = between.globalMatch(pageText); it.hasNext();) {
        QString piece = it.next().captured(0);
        piece = piece.mid(1, piece.size() - 2);
        piece.remove(QLatin1Char('\n'));
        pieces << piece;
    }
    auto zeroIsEmpty = [](const QString& v) { return v == QLatin1String("0") ? QString() : v; };
    Figures f;
    f.price = valueAfter(pieces, kPriceLabel);
    f.price.remove(QStringLiteral(" 円")).remove(QLatin1Char(','));
    f.watch = zeroIsEmpty(valueAfter(pieces, QStringLiteral("ウォッチリストに追加した総数：")));
    f.timeLeft = zeroIsEmpty(valueAfter(pieces, QStringLiteral("残り時間：")));
    f.access = zeroIsEmpty(valueAfter(pieces, QStringLiteral("アクセス総数：")));
    return f;
}

Walk walk(const QString& firstPage, const QHash<QString, std::optional<QList<Link>>>& pages) {
    Walker walker(pages);
    walker.page(firstPage, 1);
    return {walker.steps, walker.missing};
}

QStringList fetchList(const QList<Step>& steps) {
    QStringList list;
    QSet<QString> seen;
    for (const Step& s : steps) {
        // A page link (次の50件, 前の50件) makes no row: its page is no item page and its figures
        // would go nowhere, so it is not fetched (nor counted as an item page that failed).
        if (s.kind == Step::Kind::Title && !s.addsRow) continue;
        if (seen.contains(s.address)) continue;
        seen.insert(s.address);
        list << s.address;
    }
    return list;
}

QList<Row> buildRows(const QList<Step>& steps, const QHash<QString, std::optional<Figures>>& fetched, int* failedSteps) {
    QList<Row> rows;
    int failed = 0;
    for (const Step& s : steps) {
        const std::optional<Figures> found = fetched.value(s.address);
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
        lines << fiveDigits(row.cells[2]) + QLatin1Char(',') + fiveDigits(row.cells[3]) + QLatin1Char(',') +
                     fiveDigits(row.cells[4]) + QLatin1Char(',') + row.cells[6];
    return lines;
}

ListPage classifyListPage(const QList<Link>& links, bool asksForSignIn) {
    for (const Link& l : links)
        if (l.text.trimmed() == QStringLiteral("残り時間")) return ListPage::List;
    return asksForSignIn ? ListPage::SignedOut : ListPage::Unknown;
}

QString listProblemMessage(ListProblem problem, int httpStatus) {
    switch (problem) {
        case ListProblem::None:
            return QString();
        case ListProblem::NoAnswer:
            return QStringLiteral("出品リストのページが時間内に表示されませんでした。\r\n"
                                  "インターネットへの接続を確認して、しばらくしてから再度お試し下さい。");
        case ListProblem::ServerError:
            return QStringLiteral("出品リストのページでサーバーのエラーが返されました。（%1）\r\nしばらくしてから再度お試し下さい。")
                .arg(httpStatus);
        case ListProblem::Unreadable:
            return QStringLiteral("出品リストのページを読み取れませんでした。\r\nしばらくしてから再度お試し下さい。");
        case ListProblem::TooLarge:
            return QStringLiteral("出品リストのページが大きすぎるため、読み込みを中止しました。\r\nしばらくしてから再度お試し下さい。");
        case ListProblem::SignedOut:
            return QStringLiteral("Yahooにログインしていません。\r\nログインしてから再度解析して下さい。");
    }
    return QString();
}

QString clockText(int hour, int minute) { return QStringLiteral("%1:%2").arg(hour).arg(minute); }

}  // namespace scan
