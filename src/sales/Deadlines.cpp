#include "sales/Deadlines.h"

#include "settings/SalesKeys.h"

namespace sales {

namespace {
struct Rule {
    int days;
    Stage from;  // the stage whose date the limit counts from
};
std::optional<Rule> ruleFor(Stage stage, const Limits& l) {
    switch (stage) {
        case Stage::Won: return Rule{l.contact, Stage::Won};
        case Stage::Contacted: return Rule{l.reply, Stage::Contacted};
        case Stage::AddressKnown: return Rule{l.payment, Stage::Won};
        case Stage::Paid: return Rule{l.shipping, Stage::Paid};
        case Stage::Shipped: return Rule{l.receipt, Stage::Shipped};
        case Stage::Received: return Rule{l.rating, Stage::Received};
        case Stage::Rated:
        case Stage::Cancelled: break;
    }
    return std::nullopt;
}
}  // namespace

QStringList limitKeys() { return saleskeys::kLimits; }

Limits limitsFrom(const std::function<QString(const QString& key)>& setting) {
    Limits l;
    int* fields[] = {&l.contact, &l.reply, &l.payment, &l.shipping, &l.receipt, &l.rating};
    const QStringList keys = limitKeys();
    for (int i = 0; i < keys.size(); ++i) {
        bool ok = false;
        const int days = setting(keys[i]).trimmed().toInt(&ok);
        if (ok && days >= 1 && days <= 365) *fields[i] = days;
    }
    return l;
}

QString waitingName(Stage stage) {
    switch (stage) {
        case Stage::Won: return QStringLiteral("連絡待ち");
        case Stage::Contacted: return QStringLiteral("返信待ち");
        case Stage::AddressKnown: return QStringLiteral("入金待ち");
        case Stage::Paid: return QStringLiteral("発送待ち");
        case Stage::Shipped: return QStringLiteral("受取待ち");
        case Stage::Received: return QStringLiteral("評価待ち");
        case Stage::Rated:
        case Stage::Cancelled: break;
    }
    return QString();
}

std::optional<Deadline> deadline(const Sale& sale, const Limits& limits, const QDateTime& now) {
    const std::optional<Rule> rule = ruleFor(sale.stage, limits);
    if (!rule) return std::nullopt;
    const QDateTime from = sale.reached(rule->from);
    if (!from.isValid()) return std::nullopt;
    Deadline d;
    d.due = from.addDays(rule->days);
    // Counted in the seller's calendar days: a limit passed this morning is one day over.
    if (now > d.due) d.daysOver = qMax<qint64>(1, d.due.toLocalTime().date().daysTo(now.toLocalTime().date()));
    return d;
}

QList<Waiting> waiting(const QList<Sale>& sales, const Limits& limits, const QDateTime& now) {
    QList<Waiting> out;
    for (Stage stage : allStages()) {
        if (waitingName(stage).isEmpty()) continue;
        Waiting w{stage};
        for (const Sale& sale : sales) {
            if (sale.stage != stage) continue;
            ++w.count;
            const std::optional<Deadline> d = deadline(sale, limits, now);
            if (d && d->over()) ++w.overdue;
        }
        out << w;
    }
    return out;
}

QString summary(const QList<Waiting>& waiting) {
    QStringList parts;
    for (const Waiting& w : waiting) {
        if (w.count == 0) continue;
        QString part = QStringLiteral("%1 %2件").arg(waitingName(w.stage)).arg(w.count);
        if (w.overdue > 0) part += QStringLiteral("（期限切れ %1件）").arg(w.overdue);
        parts << part;
    }
    return parts.join(QStringLiteral("、"));
}

}  // namespace sales
