#include "sales/SalesMoney.h"

#include <QHash>
#include <QMap>
#include <algorithm>
#include <cmath>

#include "core/Csv.h"

namespace sales {

qint64 yenWritten(const QString& text) {
    QString digits;
    for (const QChar c : text.trimmed()) {
        if (c.isDigit())
            digits += QChar(u'0' + c.digitValue());
        else if (c != QLatin1Char(',') && c != QChar(u'，') && c != QLatin1Char(' ') && c != QChar(u'円'))
            return -2;
    }
    if (digits.isEmpty()) return -1;
    if (digits.size() > 15) return -2;
    return digits.toLongLong();
}

Money& Money::operator+=(const Money& o) {
    count += o.count;
    price += o.price;
    shippingCharged += o.shippingCharged;
    shippingPaid += o.shippingPaid;
    siteFee += o.siteFee;
    itemCost += o.itemCost;
    return *this;
}

Money moneyOf(const Sale& s, double feePercent) {
    Money m;
    if (s.stage == Stage::Cancelled) return m;
    m.count = 1;
    m.price = s.price;
    m.shippingCharged = qMax<qint64>(0, s.shippingFee);
    m.shippingPaid = qMax<qint64>(0, s.shippingPaid);
    m.itemCost = qMax<qint64>(0, s.itemCost);
    // In whole yen, as the site charges it: a fraction of a yen is not charged. Integer arithmetic in
    // hundredths of a percent keeps 8.8 % of 12,800 円 at 1,126 円, not one yen off from a binary fraction.
    const qint64 basisPoints = std::llround(feePercent * 100);
    m.siteFee = s.price * basisPoints / 10000;
    return m;
}

QList<Month> byMonth(const QList<Sale>& sales, double feePercent) {
    QMap<QDate, Money> months;
    for (const Sale& s : sales) {
        if (s.stage == Stage::Cancelled || !s.ended.isValid()) continue;
        const QDate d = s.ended.toLocalTime().date();
        months[QDate(d.year(), d.month(), 1)] += moneyOf(s, feePercent);
    }
    QList<Month> out;
    for (auto it = months.constBegin(); it != months.constEnd(); ++it) out << Month{it.key(), it.value()};
    return out;
}

namespace {
// A text a winner or the site wrote goes to a spreadsheet as text: one that begins like a formula
// (= + - @) would run as one when the file is opened.
QString asText(const QString& text) {
    static const QString leads = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && leads.contains(text.front()) ? QLatin1Char('\'') + text : text;
}
}  // namespace

QString salesCsv(const QList<Sale>& sales, double feePercent) {
    const auto when = [](const QDateTime& t) {
        return t.isValid() ? t.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm")) : QString();
    };
    const auto yen = [](qint64 v) { return v >= 0 ? QString::number(v) : QString(); };
    QStringList head{QStringLiteral("オークションID"), QStringLiteral("商品名"), QStringLiteral("落札者ID"),   QStringLiteral("落札者名"),
                     QStringLiteral("メールアドレス"), QStringLiteral("状態"),   QStringLiteral("取消の理由"), QStringLiteral("終了日時")};
    for (Stage stage : allStages())
        if (stage != Stage::Won) head << stageName(stage) + QStringLiteral("日時");
    head << QStringLiteral("落札価格") << QStringLiteral("送料（請求）") << QStringLiteral("送料（実費）") << QStringLiteral("落札手数料")
         << QStringLiteral("原価") << QStringLiteral("利益") << QStringLiteral("配送方法") << QStringLiteral("追跡番号")
         << QStringLiteral("発送日") << QStringLiteral("送付先") << QStringLiteral("メモ");
    QString text = csv::line(head);
    for (const Sale& s : sales) {
        const Money m = moneyOf(s, feePercent);
        QStringList row{asText(s.auctionId),
                        asText(s.title),
                        asText(s.winnerId),
                        asText(s.winnerName),
                        asText(s.winnerMail),
                        stageName(s.stage),
                        cancelReasonName(s.cancelReason),
                        when(s.ended)};
        for (Stage stage : allStages())
            if (stage != Stage::Won) row << when(s.reached(stage));
        row << QString::number(s.price) << yen(s.shippingFee) << yen(s.shippingPaid) << QString::number(m.siteFee) << yen(s.itemCost)
            << QString::number(m.profit()) << asText(s.shipment.carrier) << asText(s.shipment.tracking)
            << s.shipment.date.toString(QStringLiteral("yyyy/MM/dd")) << asText(s.address) << asText(s.note);
        text += csv::line(row);
    }
    return text;
}

QList<Buyer> buyersOf(const QList<Sale>& sales) {
    QHash<QString, Buyer> by;
    for (const Sale& s : sales) {
        Buyer& b = by[s.winnerId];
        b.winnerId = s.winnerId;
        if (b.name.isEmpty() || s.ended > b.last) b.name = s.winnerName.isEmpty() ? b.name : s.winnerName;
        ++b.count;
        if (s.stage != Stage::Cancelled) b.total += s.price;
        if (!b.first.isValid() || s.ended < b.first) b.first = s.ended;
        if (!b.last.isValid() || s.ended > b.last) b.last = s.ended;
    }
    QList<Buyer> out = by.values();
    std::sort(out.begin(), out.end(), [](const Buyer& a, const Buyer& b) {
        return a.count != b.count ? a.count > b.count : a.last != b.last ? a.last > b.last : a.winnerId < b.winnerId;
    });
    return out;
}

}  // namespace sales
