#include "site/OpenListings.h"

#include <QRegularExpression>
#include <QSet>
#include <cmath>

#include "site/SiteFacts.h"

namespace scan {

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

QString listHeading() { return site::fact(site::kSelling, QStringLiteral("一覧の始まり")); }
QString priceLabel() { return site::fact(site::kItem, QStringLiteral("現在の価格")); }

namespace {

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
        const QString heading = listHeading(), listEnd = site::fact(site::kSelling, QStringLiteral("一覧の終わり")),
                      manage = site::fact(site::kSelling, QStringLiteral("管理")),
                      next = site::fact(site::kSelling, QStringLiteral("次のページ")),
                      previous = site::fact(site::kSelling, QStringLiteral("前のページ"));
        bool inList = false;
        bool skipNext = false;  // the link after a bid count (the bidder) is passed over
        for (const Link& link : *it.value()) {
            const QString t = link.text.trimmed();
            const QString& r = link.text;
            if (t == listEnd) inList = false;
            if (!t.isEmpty() && inList) {
                if (t == manage) {
                } else if (numeric(r)) {
                    steps << Step{Step::Kind::Bid, link.href, r, counter, false};
                    skipNext = true;
                } else if (skipNext) {
                    skipNext = false;
                } else {
                    steps << Step{Step::Kind::Title, link.href, r, counter, r != next && r != previous};
                    ++counter;
                }
            }
            if (t == heading) inList = true;
            // The next page numbers its rows on from here; this page's counter is left as it is.
            if (t == next && counter != 1 && !page(link.href, counter - 1)) return false;
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
    f.price = valueAfter(pieces, priceLabel());
    f.price.remove(site::fact(site::kItem, QStringLiteral("価格の単位"))).remove(QLatin1Char(','));
    f.watch = zeroIsEmpty(valueAfter(pieces, site::fact(site::kItem, QStringLiteral("ウォッチ"))));
    f.timeLeft = zeroIsEmpty(valueAfter(pieces, site::fact(site::kItem, QStringLiteral("残り時間"))));
    f.access = zeroIsEmpty(valueAfter(pieces, site::fact(site::kItem, QStringLiteral("アクセス"))));
    return f;
}

Walk walk(const QString& firstPage, const QHash<QString, std::optional<QList<Link>>>& pages) {
    Walker walker(pages);
    walker.page(firstPage, 1);
    return {walker.steps, walker.missing};
}

QString pageOf(const QString& address) {
    const int mark = address.indexOf(QLatin1Char('#'));
    return mark < 0 ? address : address.left(mark);
}

QStringList fetchList(const QList<Step>& steps) {
    QStringList list;
    QSet<QString> seen;
    for (const Step& s : steps) {
        // A page link (次の50件, 前の50件) makes no row: its page is no item page and its figures
        // would go nowhere, so it is not fetched (nor counted as an item page that failed).
        if (s.kind == Step::Kind::Title && !s.addsRow) continue;
        // A bid count's link to its listing's own page is that page: asked for once, not twice.
        const QString page = pageOf(s.address);
        if (seen.contains(page)) continue;
        seen.insert(page);
        list << page;
    }
    return list;
}

ListPage classifyListPage(const QList<Link>& links, bool asksForSignIn) {
    for (const Link& l : links)
        if (l.text.trimmed() == listHeading()) return ListPage::List;
    return asksForSignIn ? ListPage::SignedOut : ListPage::Unknown;
}

}  // namespace scan
