#pragma once

#include <QString>
#include <QByteArray>
#include <QList>
#include <QStringList>

class QObject;
class UiServices;

// The one CSV writer of the program's exports: what a spreadsheet reads back
// as it was written (RFC 4180), lines ended by CR LF.
namespace csv {
// The field as written: quoted, with its quotes doubled, only when it holds a comma, a quote or a line break.
QString field(const QString& text);
// One line: the fields, separated by commas, and CR LF.
QString line(const QStringList& fields);

// A table read back: what a spreadsheet saved (Excel's CP932 "CSV（コンマ区切り）", UTF-8 with
// or without its BOM, comma or tab separated, quoted fields holding line breaks and doubled
// quotes). `lines` holds the file line each record starts on, for messages.
struct Table {
    QList<QStringList> records;
    QList<int> lines;
    QString problem;   // Japanese; the table is empty when it is set
    QString encoding;  // as it was read: "UTF-8" or "Shift_JIS"
};
Table read(const QByteArray& bytes);
// The bytes of a sheet the seller chose, or a Japanese `problem` naming the file: only a regular
// file (a pipe or a device would keep the window waiting for bytes that never come) and none
// larger than any seller's sheet. `what` names the file's kind in the message.
QByteArray readFile(const QString& path, const QString& what, QString* problem);

// Asks where (starting at `suggestedPath`), then writes `text` as CP932 with CR LF as Excel in
// Japan reads it; a character CP932 cannot hold becomes "?" and the seller is told which. False
// when cancelled or not written (and told).
bool saveAs(UiServices& ui, const QString& suggestedPath, const QString& text, const QString& caption, QObject* owner);
}  // namespace csv
