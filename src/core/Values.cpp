#include "core/Values.h"

#include <cmath>
#include <limits>

namespace values {
namespace {
bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
}  // namespace

double leadingNumber(const QString& text) {
    QString number;
    bool sawDigit = false, sawPoint = false, sawExponent = false, signAllowed = true;
    for (QChar c : text) {
        if (isBlank(c)) continue;
        if (signAllowed && (c == QLatin1Char('+') || c == QLatin1Char('-'))) {
            number += c;
            signAllowed = false;
            continue;
        }
        signAllowed = false;
        if (isDigit(c)) {
            number += c;
            sawDigit = true;
        } else if (c == QLatin1Char('.') && !sawPoint && !sawExponent) {
            number += c;
            sawPoint = true;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E')) && sawDigit && !sawExponent) {
            number += QLatin1Char('e');
            sawExponent = true;
            signAllowed = true;
        } else {
            break;
        }
    }
    if (!sawDigit) return 0.0;
    // An exponent with no digits after it ("12e", "12e-") is not part of the number.
    while (!number.isEmpty() && !isDigit(number.back()) && number.back() != QLatin1Char('.')) number.chop(1);
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

int leadingInt(const QString& text) {
    const double value = std::trunc(leadingNumber(text));
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) return 0;
    return static_cast<int>(value);
}

double readMoney(const QString& text) {
    QString plain = text;
    plain.remove(QStringLiteral("円"));
    plain.remove(QLatin1Char(','));
    return leadingNumber(plain);
}

QString priceText(long long yen) { return QString::number(yen) + QStringLiteral(" 円"); }

QString toStoredLine(const QString& text) {
    QString out = text;
    out.replace(kCrLf, QStringLiteral("\\n"));
    return out;
}

QString fromStoredLine(const QString& stored) {
    QString out = stored;
    out.replace(QStringLiteral("\\n"), kCrLf);
    return out;
}

QString crlfToBr(const QString& text) {
    QString out = text;
    out.replace(kCrLf, QStringLiteral("<BR>"));
    return out;
}

}  // namespace values
