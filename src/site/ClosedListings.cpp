#include "site/ClosedListings.h"

#include <QRegularExpression>
#include <QUrl>

#include "site/SiteFacts.h"

namespace site {
namespace {

// The visible text of a piece of markup: tags dropped, entities read, blanks squeezed.
QString textOf(const QString& markup) {
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString text = markup;
    text.replace(tag, QStringLiteral(" "));
    text.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text.simplified();
}

QString attributeValue(const QString& value) {
    QString v = value;
    return v.replace(QStringLiteral("&amp;"), QStringLiteral("&")).replace(QStringLiteral("&quot;"), QStringLiteral("\""));
}

struct Anchor {
    QString href;
    QString text;
    qsizetype at = 0;
};
QList<Anchor> anchors(const QString& html, qsizetype from = 0) {
    static const QRegularExpression a(QStringLiteral("<a\\s[^>]*href\\s*=\\s*[\"']([^\"']*)[\"'][^>]*>(.*?)</a>"),
                                      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QList<Anchor> out;
    for (auto it = a.globalMatch(html, from); it.hasNext();) {
        const auto m = it.next();
        out << Anchor{attributeValue(m.captured(1)), textOf(m.captured(2)), m.capturedStart()};
    }
    return out;
}

// "12,800 円", "1500円": the digits.
qint64 yenOf(const QString& text) {
    QString digits;
    for (const QChar c : text)
        if (c.isDigit())
            digits += QChar(u'0' + c.digitValue());
        else if (c != QLatin1Char(',') && c != QChar(u'，') && !digits.isEmpty())
            break;
    return digits.toLongLong();
}

}  // namespace

ClosedPage readClosedPage(const QString& html, const QString& address) {
    ClosedPage page;
    static const QRegularExpression password(QStringLiteral("<input[^>]*type\\s*=\\s*[\"']?password"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (html.contains(password)) {
        page.kind = ClosedPage::Kind::SignedOut;
        return page;
    }
    static const QRegularExpression row(QStringLiteral("<tr[^>]*>(.*?)</tr>"),
                                        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression cell(QStringLiteral("<t[dh][^>]*>(.*?)</t[dh]>"),
                                         QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression when(QStringLiteral("\\d{4}/\\d{1,2}/\\d{1,2} \\d{1,2}:\\d{2}"));
    static const QRegularExpression login(QStringLiteral("^[A-Za-z0-9_.\\-]+"));
    const QString itemPath = fact(kPaths, QStringLiteral("商品ページ"));
    bool heading = false;
    for (auto it = row.globalMatch(html); it.hasNext();) {
        const QString markup = it.next().captured(1);
        QStringList cells;
        for (auto c = cell.globalMatch(markup); c.hasNext();) cells << c.next().captured(1);
        if (markup.contains(QStringLiteral("オークションID"))) heading = true;
        // A sale's row links its item page; its cells are the ID, title, price, winner and end, in the site's order.
        const QList<Anchor> links = anchors(markup);
        if (cells.size() < 5 || links.isEmpty() || !links.first().href.contains(itemPath)) continue;
        ClosedRow r;
        r.auctionId = links.first().href.mid(links.first().href.lastIndexOf(QLatin1Char('/')) + 1).section(QLatin1Char('#'), 0, 0);
        r.title = textOf(cells[1]);
        r.price = yenOf(textOf(cells[2]));
        r.winnerId = login.match(textOf(cells[3])).captured(0);
        r.ended = when.match(textOf(cells[4])).captured(0);
        if (r.auctionId.isEmpty() || r.winnerId.isEmpty()) continue;
        page.rows << r;
    }
    if (heading) page.kind = ClosedPage::Kind::List;
    const QString nextText = fact(kClosed, QStringLiteral("次のページ"));
    for (const Anchor& a : anchors(html))
        if (a.text == nextText) {
            page.next = QUrl(address).resolved(QUrl(a.href)).toString();
            break;
        }
    return page;
}

WinnerContact readWinnerContact(const QString& html) {
    WinnerContact c;
    const qsizetype after = html.indexOf(fact(kItem, QStringLiteral("連絡先")));
    if (after < 0) return c;
    // The winner's own page, then the mail link, as the ended item page puts them.
    for (const Anchor& a : anchors(html, after)) {
        if (a.href.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive)) {
            c.mail = QUrl::fromPercentEncoding(a.href.mid(7).toUtf8()).section(QLatin1Char('?'), 0, 0);
            break;
        }
        if (a.href.startsWith(QLatin1Char('#'))) continue;
        if (c.name.isEmpty()) {
            c.name = a.text;
            c.winnerId = QUrl(a.href).path().section(QLatin1Char('/'), -1);
        }
    }
    const QString label = fact(kItem, QStringLiteral("送付先"));
    const qsizetype at = html.indexOf(label, after);
    if (at >= 0) {
        const qsizetype end = html.indexOf(QLatin1Char('<'), at);
        c.address = textOf(html.mid(at + label.size(), end < 0 ? -1 : end - at - label.size()));
    }
    return c;
}

}  // namespace site
