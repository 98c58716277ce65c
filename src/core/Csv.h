#pragma once

#include <QString>
#include <QStringList>

// The one CSV writer of the program's exports: what a spreadsheet reads back
// as it was written (RFC 4180), lines ended by CR LF.
namespace csv {
// The field as written: quoted, with its quotes doubled, only when it holds a comma, a quote or a line break.
QString field(const QString& text);
// One line: the fields, separated by commas, and CR LF.
QString line(const QStringList& fields);
}  // namespace csv
