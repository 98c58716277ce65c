#pragma once

#include <QJsonArray>
#include <QList>
#include <QPair>
#include <QString>

// A page's table as label and value rows in the page's order: the site's confirmation page is
// kept so in a listing's record on disk and in the history, written and read by these two alone.
using LabelledRows = QList<QPair<QString, QString>>;

namespace labelledrows {

// [[label, value], …]
QJsonArray toJson(const LabelledRows& rows);
// Rows that are not a pair of texts (a hand-mended file) are passed over, not guessed at.
LabelledRows fromJson(const QJsonArray& array);

}  // namespace labelledrows
