#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The site speaks EUC-JP the way browsers do (the WHATWG Encoding Standard):
// pages are sent in it and browsers percent-encode form values in it. Its
// two-byte table is Windows' one, so ①, Ⅱ, ㈱, ～, ∥ and the NEC-selected IBM
// characters (纊, 褜, 髙) are sent as browsers send them, not as errors.
namespace eucjp {

// Characters EUC-JP cannot hold become numeric character references ("&#128512;"),
// as a browser sends them in a form.
QByteArray encode(const QString& text);

// Bytes that are not valid EUC-JP become U+FFFD, as a browser reads them.
QString decode(const QByteArray& bytes);

// Field name to value; when a name repeats, the last value wins.
using Form = QHash<QString, QString>;

// Parses an application/x-www-form-urlencoded body or a query string whose
// percent-encoded bytes are EUC-JP.
Form parseForm(const QByteArray& urlEncoded);

// Percent-encodes the EUC-JP bytes of a value for use inside a query string,
// the way the site's own links carry them.
QString percentEncode(const QString& value);

}  // namespace eucjp
