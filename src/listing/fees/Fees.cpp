#include "listing/fees/Fees.h"

#include <QRegularExpression>

#include "core/Values.h"

namespace listing {

const QStringList& feeOptions() {
    static const QStringList options{QStringLiteral("太字テキスト"), QStringLiteral("背景色"), QStringLiteral("送料無料アイコン"),
                                     QStringLiteral("贈答品アイコン"), QStringLiteral("目立ちアイコン")};
    return options;
}

FeeTable parseFees(const QString& text) {
    FeeTable table;
    static const QRegularExpression fee(QStringLiteral("^[0-9]{1,9}(\\.[0-9]{1,2})?$"));
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    bool header = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        if (!header) {
            // The header names the columns; a file without it is some other list.
            if (line != kFeeHeader) {
                table.badLine = i + 1;
                return table;
            }
            header = true;
            continue;
        }
        const QStringList fields = line.split(QLatin1Char(','));
        const QString option = fields.value(0).trimmed();
        const QString yen = fields.value(1).trimmed();
        if (fields.size() != 2 || !feeOptions().contains(option) || table.yen.contains(option) || !fee.match(yen).hasMatch()) {
            table.badLine = i + 1;
            return table;
        }
        table.yen.insert(option, values::decimalSum(QStringLiteral("0"), yen));
    }
    if (!header) {
        table.badLine = 1;
        return table;
    }
    for (const QString& option : feeOptions())
        if (!table.yen.contains(option)) {
            table.missingOption = option;
            break;
        }
    return table;
}

namespace {
// The amount per day as whole yen: the box takes digits only, so anything else is read leniently.
QString perDay(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const QString t = text.trimmed();
    if (t.isEmpty()) return QStringLiteral("0");
    if (digits.match(t).hasMatch()) return values::decimalSum(QStringLiteral("0"), t);
    const double n = values::leadingNumber(t);
    return n > 0 ? values::plainDecimal(n) : QStringLiteral("0");
}
}  // namespace

bool PaidChoice::any() const {
    return bold || background || freeShipping || gift || eyeCatch || perDay(featuredPerDay) != QLatin1String("0");
}

Cost cost(const PaidChoice& choice, const FeeTable& fees) {
    Cost c;
    const auto add = [&](const QString& caption, const QString& detail, const QString& yen) {
        c.lines << CostLine{caption, detail, yen};
        c.total = values::decimalSum(c.total, yen);
    };
    const bool chosen[] = {choice.bold, choice.background, choice.freeShipping, choice.gift, choice.eyeCatch};
    for (int i = 0; i < feeOptions().size(); ++i)
        if (chosen[i]) add(feeOptions()[i], QString(), fees.yen.value(feeOptions()[i], QStringLiteral("0")));
    const QString amount = perDay(choice.featuredPerDay);
    if (amount != QLatin1String("0")) {
        const QString detail = yenText(amount) + QStringLiteral(" × ");
        if (choice.days <= 0) {
            c.durationMissing = true;
            c.lines << CostLine{QStringLiteral("注目のオークション"), detail + QStringLiteral("期間未選択"), QString()};
        } else {
            // Added day by day: exact for any amount the box can hold.
            QString sum = QStringLiteral("0");
            for (int d = 0; d < choice.days; ++d) sum = values::decimalSum(sum, amount);
            add(QStringLiteral("注目のオークション"), detail + QStringLiteral("%1日").arg(choice.days), sum);
        }
    }
    return c;
}

QString yenText(const QString& plainDecimal) {
    QString whole = plainDecimal.section(QLatin1Char('.'), 0, 0);
    QString sen = plainDecimal.section(QLatin1Char('.'), 1);
    const bool negative = whole.startsWith(QLatin1Char('-'));
    if (negative) whole.remove(0, 1);
    if (whole.isEmpty()) whole = QStringLiteral("0");
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3) whole.insert(at, QLatin1Char(','));
    if (!sen.isEmpty()) whole += QLatin1Char('.') + sen.leftJustified(2, QLatin1Char('0'));
    return (negative ? QStringLiteral("-") : QString()) + whole + QStringLiteral("円");
}

QString costHtml(const Cost& cost) {
    QString rows;
    for (const CostLine& line : cost.lines)
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td align=\"right\">%3</td></tr>")
                    .arg(line.caption.toHtmlEscaped(), line.detail.toHtmlEscaped(),
                         line.yen.isEmpty() ? QString() : yenText(line.yen).toHtmlEscaped());
    return QStringLiteral("<table width=\"100%\" cellspacing=\"2\">%1</table>").arg(rows);
}

}  // namespace listing
