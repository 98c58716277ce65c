#pragma once

#include <QString>

// Reading and writing the small values every pane shares.
namespace values {

// Lenient number reading: blanks (spaces, tabs, line feeds) are skipped
// anywhere, an optional sign, digits with at most one decimal point, and an
// optional exponent; reading stops at the first character that cannot
// continue the number; no digits gives 0.
double leadingNumber(const QString& text);

// The numeric value of a setting or memory-file value as an integer: the
// number above, truncated toward zero, 0 when out of the int range.
int leadingInt(const QString& text);

// The sum of two texts read as leadingNumber() reads them, written as a
// plain decimal number (no exponent, no separators, no trailing zeros),
// computed digit by digit: a 20-digit fee or a figure of 1e30 adds up
// exactly instead of overflowing or losing its last digits.
QString decimalSum(const QString& a, const QString& b);

// A number as a plain decimal text ("60", "60.5", "-3"), for any finite value:
// no exponent and no cast that could overflow.
QString plainDecimal(double value);

// "1,500 円" -> 1500: the unit and the thousands commas removed first.
double readMoney(const QString& text);

// 120 -> "120 円".
QString priceText(long long yen);

// A multi-line value is stored on one line: each CR LF pair becomes
// backslash "n", and comes back as CR LF.
QString toStoredLine(const QString& text);
QString fromStoredLine(const QString& stored);

// Multi-line text put into HTML: each CR LF pair becomes "<BR>".
QString crlfToBr(const QString& text);

inline const QString kCrLf = QStringLiteral("\r\n");

}  // namespace values
