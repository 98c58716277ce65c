#include "core/Values.h"

#include <cmath>
#include <limits>
#include <algorithm>
#include <optional>

namespace values {
namespace {

// A number as leadingNumber() reads it, kept as digits: sign, the digits
// without the point, and where the point goes (digits[0 .. point) are the
// whole part; point may lie outside the digits).
struct Decimal {
    bool negative = false;
    QString digits;
    int point = 0;
};

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
}  // namespace

// The lenient reading's characters: sign, digits, point, exponent; empty when no digit.
static QString leadingNumberText(const QString& text);

double leadingNumber(const QString& text) {
    const QString number = leadingNumberText(text);
    if (number.isEmpty()) return 0.0;
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

static QString leadingNumberText(const QString& text) {
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
    if (!sawDigit) return QString();
    // An exponent with no digits after it ("12e", "12e-") is not part of the number.
    while (!number.isEmpty() && !isDigit(number.back()) && number.back() != QLatin1Char('.')) number.chop(1);
    return number;
}

namespace {

// The lenient reading as digits; nothing for a number no double could hold
// either (leadingNumber() reads those as 0 too).
std::optional<Decimal> toDecimal(const QString& text) {
    const QString number = leadingNumberText(text);
    if (number.isEmpty()) return std::nullopt;
    const double value = number.toDouble();
    if (!std::isfinite(value)) return std::nullopt;
    Decimal d;
    // Zero, however it is written (0e2147483647, 1e-99999): no exponent to shift by.
    if (value == 0) return d;
    qsizetype i = 0;
    if (number[0] == QLatin1Char('-') || number[0] == QLatin1Char('+')) {
        d.negative = number[0] == QLatin1Char('-');
        ++i;
    }
    bool seenPoint = false;
    qint64 exponent = 0;
    for (; i < number.size(); ++i) {
        const QChar c = number[i];
        if (c == QLatin1Char('.')) {
            seenPoint = true;
        } else if (c == QLatin1Char('e')) {
            // A finite, non-zero double: the exponent is a few hundred plus the digits written.
            exponent = number.mid(i + 1).toLongLong();
            break;
        } else if (d.digits.isEmpty() && c == QLatin1Char('0')) {
            if (seenPoint) --d.point;  // leading zeros after the point move it, before it they are nothing
        } else {
            d.digits += c;
            if (!seenPoint) ++d.point;
        }
    }
    const qint64 point = d.point + exponent;
    if (point > 100000 || point < -100000) return std::nullopt;  // cannot happen for a finite double; no overflow if it did
    d.point = static_cast<int>(point);
    return d;
}

// Digit `i` counted from the point: i >= 0 the whole part's i-th from the right, i < 0 the fraction.
int digitAt(const Decimal& d, int i) {
    const int index = d.point - 1 - i;
    return index >= 0 && index < d.digits.size() ? d.digits[index].digitValue() : 0;
}

// |a| >= |b|, both as digit positions from `high` down to `low`.
bool notSmaller(const Decimal& a, const Decimal& b, int high, int low) {
    for (int i = high; i >= low; --i)
        if (digitAt(a, i) != digitAt(b, i)) return digitAt(a, i) > digitAt(b, i);
    return true;
}

}  // namespace

QString decimalSum(const QString& a, const QString& b) {
    const Decimal x = toDecimal(a).value_or(Decimal{}), y = toDecimal(b).value_or(Decimal{});
    const int high = qMax(qMax(x.point, y.point), 1);
    const int low = qMin(qMin(x.point - static_cast<int>(x.digits.size()), y.point - static_cast<int>(y.digits.size())), 0);
    // Same signs add; different signs subtract the smaller magnitude from the larger.
    const bool sameSign = x.negative == y.negative;
    const bool xFirst = sameSign || notSmaller(x, y, high, low);
    const Decimal& big = xFirst ? x : y;
    const Decimal& small = xFirst ? y : x;
    QString reversed;  // digits from the lowest place up
    int carry = 0;
    for (int i = low; i <= high; ++i) {
        int v = digitAt(big, i) + (sameSign ? digitAt(small, i) : -digitAt(small, i)) + carry;
        carry = 0;
        if (v < 0) {
            v += 10;
            carry = -1;
        } else if (v >= 10) {
            v -= 10;
            carry = 1;
        }
        reversed += QChar(QLatin1Char(static_cast<char>('0' + v)));
        if (i == -1) reversed += QLatin1Char('.');
    }
    if (carry > 0) reversed += QLatin1Char('1');
    QString out(reversed.size(), Qt::Uninitialized);
    std::reverse_copy(reversed.cbegin(), reversed.cend(), out.begin());
    if (out.contains(QLatin1Char('.'))) {
        while (out.endsWith(QLatin1Char('0'))) out.chop(1);
        if (out.endsWith(QLatin1Char('.'))) out.chop(1);
    }
    qsizetype lead = 0;
    while (lead + 1 < out.size() && out[lead] == QLatin1Char('0') && out[lead + 1] != QLatin1Char('.')) ++lead;
    out.remove(0, lead);
    if (out == QLatin1String("0")) return out;
    return big.negative ? QLatin1Char('-') + out : out;
}

QString plainDecimal(double value) {
    if (!std::isfinite(value)) return QStringLiteral("0");
    if (value == std::floor(value) && std::fabs(value) < 1e15) return QString::number(static_cast<long long>(value));
    QString text = QString::number(value, 'f', std::fabs(value) < 1e15 ? 10 : 0);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0'))) text.chop(1);
        if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;  // a tiny negative rounds to zero, unsigned
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
