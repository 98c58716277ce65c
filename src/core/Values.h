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
